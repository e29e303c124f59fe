#include "controls/grid/UGTopHdg.h"

#include "controls/grid/GridPaint.h"
#include "controls/grid/UGCtrl.h"
#include "controls/grid/UGGridInfo.h"

#include <QPainter>

CUGTopHdg::CUGTopHdg(CUGCtrl *ctrl) : QWidget(ctrl), m_ctrl(ctrl)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CUGTopHdg::paintEvent(QPaintEvent *)
{
    if (!m_GI || !m_GI->m_createdFlag)
        return;
    QPainter painter(this);
    GridPaint::fillRect(painter, fromQRect(rect()), m_ctrl->GetDefaultBackColor(CUGCtrl::SectionTopHeading));
}

int CUGTopHdg::GetCellRect(int col, int row, UgRect *rect) const
{
    const int index = -1 - row;
    if (!m_GI || index < 0 || index >= int(m_GI->m_topHdgRowHeights.size()))
        return 1;
    int top = 0;
    for (int i = int(m_GI->m_topHdgRowHeights.size()) - 1; i > index; --i)
        top += m_GI->m_topHdgRowHeights[std::size_t(i)];
    rect->top = top;
    rect->bottom = top + m_GI->m_topHdgRowHeights[std::size_t(index)];
    rect->left = rect->right = 0;
    m_ctrl->ColumnEdges(col, &rect->left, &rect->right);
    return 0;
}
