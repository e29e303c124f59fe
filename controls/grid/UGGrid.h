// The cell area of a grid: the cells of the current sheet, right of the side heading and below
// the top heading. Changes of cells and of the selection queue cell ranges in its redraw list;
// RepaintPending paints them.
#pragma once

#include "controls/grid/UGRedrawList.h"

#include <QWidget>

class CUGCtrl;
class CUGGridInfo;

class CUGGrid : public QWidget
{
    Q_OBJECT

public:
    explicit CUGGrid(CUGCtrl *ctrl);

    void SetSheet(CUGGridInfo *sheet) { m_GI = sheet; }
    // Paints what the redraw list holds and empties it.
    void RepaintPending();

    CUGRedrawList m_redrawList;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    CUGCtrl *m_ctrl;
    CUGGridInfo *m_GI = nullptr;
};
