// The grid's top heading: the column headings above the cell area.
#pragma once

#include "controls/grid/UgRect.h"

#include <QWidget>

class CUGCtrl;
class CUGGridInfo;

class CUGTopHdg : public QWidget
{
    Q_OBJECT

public:
    explicit CUGTopHdg(CUGCtrl *ctrl);

    void SetSheet(CUGGridInfo *sheet) { m_GI = sheet; }
    // The rectangle of a heading cell (heading row -n lies at the top), in heading coordinates.
    int GetCellRect(int col, int row, UgRect *rect) const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    CUGCtrl *m_ctrl;
    CUGGridInfo *m_GI = nullptr;
};
