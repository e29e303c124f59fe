#include "controls/grid/GridHeading.h"

#include "controls/grid/GridToolTip.h"
#include "controls/grid/UGCtrl.h"
#include "controls/grid/UGGridInfo.h"

#include <QHelpEvent>
#include <QMouseEvent>

bool GridHeading::event(QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return QWidget::event(event);
    auto *help = static_cast<QHelpEvent *>(event);
    int col = -1, row = -1;
    UgRect rect;
    if (!m_toolTips || GetCellFromPoint(help->pos().x(), help->pos().y(), &col, &row, &rect) != 0) {
        GridToolTip::show(this, help, 0, QString(), QRect());
        return true;
    }
    QString text;
    const int result = m_ctrl->HookTipText(col, row, m_section, &text);
    GridToolTip::show(this, help, result, text, toQRect(rect));
    return true;
}

void GridHeading::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
    if (!m_GI)
        return;
    if (m_inProgress) {
        dragTo(event->position().toPoint());
        return;
    }
    if (!(event->buttons() & Qt::LeftButton) && m_GI->m_userSizingMode > 0)
        trackSizingCursor(event->position().toPoint());
}

void GridHeading::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    if (!m_GI)
        return;
    focusGrid();
    QPoint point = event->position().toPoint();
    int col = -1, row = -1;
    UgRect rect;
    const bool onCell = GetCellFromPoint(point.x(), point.y(), &col, &row, &rect) == 0;
    if (event->button() == Qt::LeftButton) {
        if (m_armed) {
            m_inProgress = 1;
            return;
        }
        if (onCell) {
            const int handled = m_ctrl->GetCellTypeOfCell(col, row)->OnLeftButton(col, row, 1, &rect, &point);
            hookLeftButton(col, row, 1, &rect, &point, handled);
        }
    } else if (event->button() == Qt::RightButton) {
        if (onCell) {
            const int handled =
                m_ctrl->GetCellTypeOfCell(col, row)->OnRightButton(col, row, 1, &rect, &point);
            hookRightButton(col, row, 1, &rect, &point, handled);
        }
        popUpMenu(col, row, point);
    }
}

void GridHeading::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    if (!m_GI)
        return;
    if (event->button() == Qt::LeftButton && m_inProgress) {
        endDrag();
        return;
    }
    QPoint point = event->position().toPoint();
    int col = -1, row = -1;
    UgRect rect;
    if (GetCellFromPoint(point.x(), point.y(), &col, &row, &rect) != 0)
        return;
    CUGCellType *type = m_ctrl->GetCellTypeOfCell(col, row);
    if (event->button() == Qt::LeftButton)
        hookLeftButton(col, row, 0, &rect, &point, type->OnLeftButton(col, row, 0, &rect, &point));
    else if (event->button() == Qt::RightButton)
        hookRightButton(col, row, 0, &rect, &point, type->OnRightButton(col, row, 0, &rect, &point));
}

void GridHeading::mouseDoubleClickEvent(QMouseEvent *event)
{
    event->accept();
    if (!m_GI || event->button() != Qt::LeftButton)
        return;
    QPoint point = event->position().toPoint();
    if (m_armed && doubleClickOnBorder(point))
        return;
    int col = -1, row = -1;
    UgRect rect;
    if (GetCellFromPoint(point.x(), point.y(), &col, &row, &rect) != 0)
        return;
    const int handled = m_ctrl->GetCellTypeOfCell(col, row)->OnDoubleClick(col, row, &rect, &point);
    hookDoubleClick(col, row, &rect, &point, handled);
}
