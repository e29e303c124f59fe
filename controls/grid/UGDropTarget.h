// Text dropped on the cell area: the grid's drag hooks decide, and accepted text is pasted from
// the cell it was dropped on. Only grids that register it get drops at all.
#pragma once

class CUGCtrl;
class QDragEnterEvent;
class QDragMoveEvent;
class QDropEvent;

class CUGDropTarget
{
public:
    static constexpr int kScrollMargin = 10;

    explicit CUGDropTarget(CUGCtrl *ctrl) : m_ctrl(ctrl) {}

    int OnDragEnter(QDragEnterEvent *event);
    int OnDragOver(QDragMoveEvent *event);
    // The drop hook's answer.
    int OnDrop(QDropEvent *event);
    // Scrolls by one column or row when the point lies near an edge of the cell area; true when
    // it did.
    bool OnDragScroll(int x, int y);

private:
    CUGCtrl *m_ctrl;
};
