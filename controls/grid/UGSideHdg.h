// The grid's side heading: the row headings left of the cell area.
#pragma once

#include "controls/grid/UgRect.h"

#include <QWidget>

class CUGCtrl;
class CUGGridInfo;

class CUGSideHdg : public QWidget
{
    Q_OBJECT

public:
    explicit CUGSideHdg(CUGCtrl *ctrl);

    void SetSheet(CUGGridInfo *sheet) { m_GI = sheet; }
    // The rectangle of a heading cell (heading column -n lies at the left), in heading coordinates.
    int GetCellRect(int col, int row, UgRect *rect) const;
    // Repaints the rows after the current cell or the top row changed.
    void RepaintPending();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    CUGCtrl *m_ctrl;
    CUGGridInfo *m_GI = nullptr;
};
