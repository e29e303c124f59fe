// The grid's top heading: the column headings above the cell area. Dragging a column border sizes
// the column, dragging a heading-row border sizes the heading; clicks go to the heading hooks.
#pragma once

#include "controls/grid/GridHeading.h"

class CUGTopHdg : public GridHeading
{
    Q_OBJECT

public:
    explicit CUGTopHdg(CUGCtrl *ctrl);

    // The rectangle of a heading cell (heading row -n lies at the top), in heading coordinates.
    int GetCellRect(int col, int row, UgRect *rect) const;
    // The heading cell under the point, a joined one as its origin with the block's rectangle;
    // 1 and (-1, -1) off the cells.
    int GetCellFromPoint(int x, int y, int *col, int *row, UgRect *rect) const override;
    // The heading row farthest from the cells takes the height the others leave.
    void FitLastRowToHeight();

protected:
    void paintEvent(QPaintEvent *event) override;

    // Sizing kind 0 is a column, 1 a heading row.
    void trackSizingCursor(QPoint point) override;
    void dragTo(QPoint point) override;
    void endDrag() override;
    // Fits the column under the cursor to its content when best fit is on.
    bool doubleClickOnBorder(QPoint point) override;

    void hookLeftButton(int col, int row, int down, UgRect *rect, QPoint *point, int processed) override;
    void hookRightButton(int col, int row, int down, UgRect *rect, QPoint *point, int processed) override;
    void hookDoubleClick(int col, int row, UgRect *rect, QPoint *point, int processed) override;

private:
    // Tells the column's visible cells and the hook the width a drag or a fit left.
    void reportColumnSized(int col);
    bool blockRect(int *col, int *row, UgRect *rect) const;
};
