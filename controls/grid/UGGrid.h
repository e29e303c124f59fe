// The cell area of a grid: the cells of the current sheet, right of the side heading and below
// the top heading. Changes of cells and of the selection queue cell ranges in its redraw list;
// RepaintPending paints them at once. It also takes the keys, the mouse, the wheel and dropped
// text for the cells.
#pragma once

#include "controls/grid/UGRedrawList.h"
#include "controls/grid/UgRect.h"

#include <QPoint>
#include <QTimer>
#include <QWidget>
#include <vector>

class CUGCell;
class CUGCtrl;
class CUGDropTarget;
class CUGGridInfo;
class QPainter;

class CUGGrid : public QWidget
{
    Q_OBJECT

public:
    explicit CUGGrid(CUGCtrl *ctrl);
    ~CUGGrid() override;

    void SetSheet(CUGGridInfo *sheet) { m_GI = sheet; }
    // Paints what the redraw list holds, with the previous and the current cell, and empties it.
    void RepaintPending();
    // Paints the rectangle now; the redraw list must already hold its cells.
    void PaintRectNow(const UgRect &rect);
    // One drawing pass over the redraw list.
    void DrawCells(QPainter *painter);
    // The thin line shown over the cells while a heading border is dragged; an empty rectangle
    // removes it.
    void SetTrackingRect(const UgRect &rect);
    void EnableToolTips(bool on) { m_toolTips = on; }
    bool ToolTipsEnabled() const { return m_toolTips; }
    // Dropped text reaches the grid only once a drop target is registered.
    void RegisterDropTarget();
    CUGDropTarget *DropTarget() const { return m_dropTarget; }

    CUGRedrawList m_redrawList;
    int m_keyRepeatCount = 0;
    int m_hasFocus = 0;
    int m_cellTypeHoldsMouse = 0;
    int m_buttonDown = 0;
    // While 0, dragging with the left button does not move the current cell.
    int m_dragSelection = 1;

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void keyDown(int key, Qt::KeyboardModifiers modifiers);
    void character(int key);
    void addCurrentCell();
    // Whether (col, row) lies in a joined block; then the block's origin.
    bool joinedOrigin(int col, int row, int *originCol, int *originRow, int *lastCol, int *lastRow);
    void drawCell(QPainter *painter, int col, int row, UgRect rect, CUGCell *cell);
    void leftButtonDown(QPoint point, unsigned flags);
    void rightButtonDown(QPoint point, unsigned flags);
    // One step of a drag with the left button: moves the current cell to the point and scrolls
    // when the point lies past an edge; true while the drag should keep scrolling.
    bool dragStep(QPoint point);
    void repeatDragStep();

    CUGCtrl *m_ctrl;
    CUGGridInfo *m_GI = nullptr;
    std::vector<UgCellPos> m_drawnJoins;
    UgRect m_trackingRect{-1, -1, -1, -1};
    bool m_toolTips = false;
    CUGDropTarget *m_dropTarget = nullptr;
    QTimer m_dragTimer;
    QPoint m_dragPoint;
};
