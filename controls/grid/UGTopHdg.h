// The grid's top heading: the column headings above the cell area. Dragging a column border sizes
// the column, dragging a heading-row border sizes the heading; clicks go to the heading hooks.
#pragma once

#include "controls/grid/UGRedrawList.h"
#include "controls/grid/UgRect.h"

#include <QWidget>
#include <vector>

class CUGCtrl;
class CUGGridInfo;

class CUGTopHdg : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kBorderReach = 3;

    explicit CUGTopHdg(CUGCtrl *ctrl);

    void SetSheet(CUGGridInfo *sheet) { m_GI = sheet; }
    // The rectangle of a heading cell (heading row -n lies at the top), in heading coordinates.
    int GetCellRect(int col, int row, UgRect *rect) const;
    // The heading cell under the point, a joined one as its origin with the block's rectangle;
    // 1 and (-1, -1) off the cells.
    int GetCellFromPoint(int x, int y, int *col, int *row, UgRect *rect) const;
    // The heading row farthest from the cells takes the height the others leave.
    void FitLastRowToHeight();
    void EnableToolTips(bool on) { m_toolTips = on; }

    // Sizing state: armed over a border, in progress while dragged; kind 0 a column, 1 a heading row.
    int m_armed = 0;
    int m_inProgress = 0;
    int m_kind = 0;
    int m_index = 0;
    int m_initial = 0;
    int m_start = 0;
    int m_initialTotal = 0;

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void trackSizingCursor(QPoint point);
    void dragTo(QPoint point);
    void endDrag();
    // Tells the column's visible cells and the hook the width a drag or a fit left.
    void reportColumnSized(int col);
    bool blockRect(int *col, int *row, UgRect *rect) const;

    CUGCtrl *m_ctrl;
    CUGGridInfo *m_GI = nullptr;
    std::vector<UgCellPos> m_drawnJoins;
    bool m_toolTips = false;
};
