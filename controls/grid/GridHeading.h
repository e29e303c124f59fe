// Base of the grid's two headings. Both size a line of the sheet or a line of the heading by
// dragging a border, and send clicks on their cells to the cell type, then to the heading's hooks.
#pragma once

#include "controls/grid/GridPartWidget.h"
#include "controls/grid/UGRedrawList.h"
#include "controls/grid/UgRect.h"

#include <vector>

class GridHeading : public GridPartWidget
{
    Q_OBJECT

public:
    static constexpr int kBorderReach = 3;

    // The heading cell under the point; 1 and (-1, -1) off the cells.
    virtual int GetCellFromPoint(int x, int y, int *col, int *row, UgRect *rect) const = 0;

    // Sizing state: armed over a border, in progress while dragged; m_kind tells which border.
    int m_armed = 0;
    int m_inProgress = 0;
    int m_kind = 0;
    int m_index = 0;
    int m_initial = 0;
    int m_start = 0;
    int m_initialTotal = 0;

protected:
    using GridPartWidget::GridPartWidget;

    bool event(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

    // Arms sizing when the point is over a border the hooks let be sized.
    virtual void trackSizingCursor(QPoint point) = 0;
    virtual void dragTo(QPoint point) = 0;
    virtual void endDrag() = 0;
    // A double-click while armed; true when the heading dealt with it.
    virtual bool doubleClickOnBorder(QPoint point) = 0;

    // The heading's own hooks.
    virtual void hookLeftButton(int col, int row, int down, UgRect *rect, QPoint *point, int processed) = 0;
    virtual void hookRightButton(int col, int row, int down, UgRect *rect, QPoint *point, int processed) = 0;
    virtual void hookDoubleClick(int col, int row, UgRect *rect, QPoint *point, int processed) = 0;

    std::vector<UgCellPos> m_drawnJoins;
};
