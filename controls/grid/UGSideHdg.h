// The grid's side heading: the row headings left of the cell area. Dragging a row border sizes
// the row, dragging a heading-column border sizes the heading; clicks go to the heading hooks.
#pragma once

#include "controls/grid/GridHeading.h"

class CUGSideHdg : public GridHeading
{
    Q_OBJECT

public:
    explicit CUGSideHdg(CUGCtrl *ctrl);

    // The rectangle of a heading cell (heading column -n lies at the left), in heading coordinates.
    int GetCellRect(int col, int row, UgRect *rect) const;
    // The heading cell under the point; 1 and (-1, -1) off the cells.
    int GetCellFromPoint(int x, int y, int *col, int *row, UgRect *rect) const override;
    // Repaints the rows after the current cell or the top row changed.
    void RepaintPending();
    // The heading column farthest from the cells takes the width the others leave.
    void FitLastColumnToWidth();

    // Sizing kind 0 is a heading column, 1 a grid row.
    int m_rowsAbove = 0;
    int m_lastBottom = 0;

protected:
    void paintEvent(QPaintEvent *event) override;
    // Off a border the cursor goes back to the arrow.
    void mouseMoveEvent(QMouseEvent *event) override;

    void trackSizingCursor(QPoint point) override;
    void dragTo(QPoint point) override;
    void endDrag() override;
    // A double-click on a border does nothing.
    bool doubleClickOnBorder(QPoint point) override;

    void hookLeftButton(int col, int row, int down, UgRect *rect, QPoint *point, int processed) override;
    void hookRightButton(int col, int row, int down, UgRect *rect, QPoint *point, int processed) override;
    void hookDoubleClick(int col, int row, UgRect *rect, QPoint *point, int processed) override;

private:
    void tellRowSized(int row, int *height, bool done);

    int m_lastTopRow = -1;
    int m_lastCurrentRow = -1;
};
