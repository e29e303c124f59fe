#include "controls/grid/UGCnrBtn.h"

#include "controls/grid/GridPaint.h"
#include "controls/grid/UGCtrl.h"
#include "controls/grid/UGGridInfo.h"

#include <QPainter>

CUGCnrBtn::CUGCnrBtn(CUGCtrl *ctrl) : QWidget(ctrl), m_ctrl(ctrl)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CUGCnrBtn::paintEvent(QPaintEvent *)
{
    if (!m_GI || !m_GI->m_createdFlag)
        return;
    QPainter painter(this);
    GridPaint::fillRect(painter, fromQRect(rect()), m_ctrl->GetDefaultBackColor(CUGCtrl::SectionCorner));
}
