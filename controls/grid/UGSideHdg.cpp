#include "controls/grid/UGSideHdg.h"

#include "controls/grid/GridPaint.h"
#include "controls/grid/UGCtrl.h"
#include "controls/grid/UGGridInfo.h"

#include <QPainter>

CUGSideHdg::CUGSideHdg(CUGCtrl *ctrl) : QWidget(ctrl), m_ctrl(ctrl)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CUGSideHdg::paintEvent(QPaintEvent *)
{
    if (!m_GI || !m_GI->m_createdFlag)
        return;
    QPainter painter(this);
    GridPaint::fillRect(painter, fromQRect(rect()), m_ctrl->GetDefaultBackColor(CUGCtrl::SectionSideHeading));
}

int CUGSideHdg::GetCellRect(int col, int row, UgRect *rect) const
{
    const int index = -1 - col;
    if (!m_GI || index < 0 || index >= int(m_GI->m_sideHdgColWidths.size()))
        return 1;
    int left = 0;
    for (int i = int(m_GI->m_sideHdgColWidths.size()) - 1; i > index; --i)
        left += m_GI->m_sideHdgColWidths[std::size_t(i)];
    rect->left = left;
    rect->right = left + m_GI->m_sideHdgColWidths[std::size_t(index)];
    rect->top = rect->bottom = 0;
    m_ctrl->RowEdges(row, &rect->top, &rect->bottom);
    return 0;
}

void CUGSideHdg::RepaintPending()
{
    update();
}
