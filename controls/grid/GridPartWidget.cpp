#include "controls/grid/GridPartWidget.h"

#include "controls/grid/UGCtrl.h"
#include "controls/grid/UGGrid.h"
#include "controls/grid/UGGridInfo.h"

#include <QPainter>

GridPartWidget::GridPartWidget(CUGCtrl *ctrl, int section) : QWidget(ctrl), m_ctrl(ctrl), m_section(section)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

bool GridPartWidget::readyToPaint() const
{
    return m_GI && m_GI->m_createdFlag;
}

void GridPartWidget::preparePainter(QPainter &painter)
{
    m_ctrl->HookPaintDC(&painter, nullptr, m_section);
    if (m_GI->m_defFont)
        painter.setFont(*m_GI->m_defFont);
}

void GridPartWidget::focusGrid()
{
    CUGGrid *grid = m_ctrl->GridWindow();
    if (!grid->hasFocus())
        grid->setFocus(Qt::MouseFocusReason);
}

void GridPartWidget::popUpMenu(int col, int row, QPoint point)
{
    if (!m_GI->m_menuOn)
        return;
    QPoint global = mapToGlobal(point);
    m_ctrl->ShowPopupMenu(col, row, m_section, &global);
}
