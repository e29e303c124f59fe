#include "controls/grid/UGGrid.h"

#include "controls/grid/GridPaint.h"
#include "controls/grid/UGCtrl.h"
#include "controls/grid/UGGridInfo.h"

#include <QPainter>

CUGGrid::CUGGrid(CUGCtrl *ctrl) : QWidget(ctrl), m_ctrl(ctrl)
{
    // Every pixel is painted by the grid; there is no background to erase.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
}

void CUGGrid::RepaintPending()
{
    // A hidden cell area paints nothing later, so what is queued is dropped now.
    if (!isVisible()) {
        m_redrawList.Clear();
        return;
    }
    update();
}

void CUGGrid::paintEvent(QPaintEvent *)
{
    if (!m_GI || !m_GI->m_createdFlag)
        return;
    QPainter painter(this);
    GridPaint::fillRect(painter, fromQRect(rect()), m_ctrl->GetDefaultBackColor(CUGCtrl::SectionGrid));
    m_redrawList.Clear();
}
