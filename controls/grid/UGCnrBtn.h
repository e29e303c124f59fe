// The grid's corner button: the square where the two headings meet. Its right and bottom edges
// size the side and the top heading when dragged.
#pragma once

#include "controls/grid/GridPartWidget.h"

class CUGCnrBtn : public GridPartWidget
{
    Q_OBJECT

public:
    static constexpr int kEdgeReach = 4;

    explicit CUGCnrBtn(CUGCtrl *ctrl);

    int m_dragging = 0;
    int m_onEdge = 0;
    int m_heightEdge = 0;
    int m_widthEdge = 0;

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void updateCursor();
};
