// The grid's side heading: the row headings left of the cell area. Dragging a row border sizes
// the row, dragging a heading-column border sizes the heading; clicks go to the heading hooks.
#pragma once

#include "controls/grid/UGRedrawList.h"
#include "controls/grid/UgRect.h"

#include <QWidget>
#include <vector>

class CUGCtrl;
class CUGGridInfo;

class CUGSideHdg : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kBorderReach = 3;

    explicit CUGSideHdg(CUGCtrl *ctrl);

    void SetSheet(CUGGridInfo *sheet) { m_GI = sheet; }
    // The rectangle of a heading cell (heading column -n lies at the left), in heading coordinates.
    int GetCellRect(int col, int row, UgRect *rect) const;
    // The heading cell under the point; 1 and (-1, -1) off the cells.
    int GetCellFromPoint(int x, int y, int *col, int *row, UgRect *rect) const;
    // Repaints the rows after the current cell or the top row changed.
    void RepaintPending();
    // The heading column farthest from the cells takes the width the others leave.
    void FitLastColumnToWidth();
    void EnableToolTips(bool on) { m_toolTips = on; }

    // Sizing state: kind 0 a heading column, 1 a grid row.
    int m_armed = 0;
    int m_inProgress = 0;
    int m_kind = 0;
    int m_index = 0;
    int m_initial = 0;
    int m_start = 0;
    int m_initialTotal = 0;
    int m_rowsAbove = 0;
    int m_lastBottom = 0;

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
    void tellRowSized(int row, int *height, bool done);

    CUGCtrl *m_ctrl;
    CUGGridInfo *m_GI = nullptr;
    std::vector<UgCellPos> m_drawnJoins;
    bool m_toolTips = false;
    int m_lastTopRow = -1;
    int m_lastCurrentRow = -1;
};
