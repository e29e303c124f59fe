#include "controls/grid/UGCnrBtn.h"

#include "controls/grid/GridToolTip.h"
#include "controls/grid/UGCtrl.h"
#include "controls/grid/UGGridInfo.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>

CUGCnrBtn::CUGCnrBtn(CUGCtrl *ctrl) : GridPartWidget(ctrl, CUGCtrl::SectionCorner) {}

void CUGCnrBtn::paintEvent(QPaintEvent *)
{
    if (!readyToPaint())
        return;
    QPainter painter(this);
    preparePainter(painter);
    CUGCell cell;
    m_ctrl->GetCellComposite(-1, -1, &cell);
    UgRect rect = fromQRect(this->rect());
    m_ctrl->CellTypeOf(cell)->Draw(&painter, &rect, -1, -1, &cell, 0, 0);
}

bool CUGCnrBtn::event(QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return QWidget::event(event);
    auto *help = static_cast<QHelpEvent *>(event);
    QString text;
    const int result = m_toolTips ? m_ctrl->HookTipText(-1, -1, CUGCtrl::SectionCorner, &text) : 0;
    GridToolTip::show(this, help, result, text, rect());
    return true;
}

void CUGCnrBtn::updateCursor()
{
    if (!m_onEdge)
        setCursor(m_GI->m_arrowCursor);
    else if (m_widthEdge && m_heightEdge)
        setCursor(Qt::SizeFDiagCursor);
    else if (m_widthEdge)
        setCursor(m_GI->m_sizeWECursor);
    else
        setCursor(m_GI->m_sizeNSCursor);
}

void CUGCnrBtn::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
    if (!m_GI)
        return;
    const QPoint point = event->position().toPoint();
    if (m_dragging) {
        if (m_heightEdge) {
            int height = std::max(0, point.y());
            if (m_ctrl->HookTopHeadingSizing(&height))
                m_ctrl->SetTopHeadingHeight(height);
        } else if (m_widthEdge) {
            int width = std::max(0, point.x());
            if (m_ctrl->HookSideHeadingSizing(&width))
                m_ctrl->SetSideHeadingWidth(width);
        }
        return;
    }
    if (event->buttons() != Qt::NoButton || !m_GI->m_headingSizing)
        return;
    m_onEdge = m_widthEdge = m_heightEdge = 0;
    if (point.x() >= width() - kEdgeReach && m_ctrl->HookMaySizeSideHeading())
        m_onEdge = m_widthEdge = 1;
    else if (point.y() >= height() - kEdgeReach && m_ctrl->HookMaySizeTopHeading())
        m_onEdge = m_heightEdge = 1;
    updateCursor();
}

void CUGCnrBtn::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    if (!m_GI)
        return;
    focusGrid();
    QPoint point = event->position().toPoint();
    UgRect rect = fromQRect(this->rect());
    if (event->button() == Qt::LeftButton) {
        if (m_onEdge)
            m_dragging = 1;
        m_ctrl->HookCornerLeftButton(1, &rect, &point, m_dragging);
    } else if (event->button() == Qt::RightButton) {
        m_ctrl->HookCornerRightButton(1, &rect, &point, 0);
        popUpMenu(-1, -1, point);
    }
}

void CUGCnrBtn::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    if (!m_GI)
        return;
    QPoint point = event->position().toPoint();
    UgRect rect = fromQRect(this->rect());
    if (event->button() == Qt::LeftButton) {
        const int dragged = m_dragging;
        if (m_dragging) {
            m_dragging = 0;
            if (m_widthEdge)
                m_ctrl->HookSideHeadingSized(&m_GI->m_sideHdgWidth);
            else
                m_ctrl->HookTopHeadingSized(&m_GI->m_topHdgHeight);
        }
        m_ctrl->HookCornerLeftButton(0, &rect, &point, dragged);
    } else if (event->button() == Qt::RightButton) {
        m_ctrl->HookCornerRightButton(0, &rect, &point, 0);
    }
}

void CUGCnrBtn::mouseDoubleClickEvent(QMouseEvent *event)
{
    event->accept();
    if (!m_GI || event->button() != Qt::LeftButton)
        return;
    QPoint point = event->position().toPoint();
    UgRect rect = fromQRect(this->rect());
    m_ctrl->HookCornerDoubleClick(&rect, &point, 0);
}
