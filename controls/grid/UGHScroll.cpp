#include "controls/grid/UGHScroll.h"

#include "controls/grid/UGCtrl.h"
#include "controls/grid/UGGridInfo.h"

#include <algorithm>

CUGHScroll::CUGHScroll(CUGCtrl *ctrl) : QScrollBar(Qt::Horizontal, ctrl), m_ctrl(ctrl) {}

void CUGHScroll::Update()
{
    if (!m_GI || !m_GI->m_scrollBarsShown)
        return;
    if (m_GI->m_colCount != m_lastColCount || m_GI->m_lockedColCount != m_lastLockedCols) {
        m_lastColCount = m_GI->m_colCount;
        m_lastLockedCols = m_GI->m_lockedColCount;
        const int page =
            std::max(0, (m_GI->m_gridWidth - m_GI->m_lockedColsWidth) / std::max(1, m_GI->m_defColWidth));
        const int maximum = m_GI->m_colCount - m_GI->m_lockedColCount + page - 1;
        setRange(0, std::max(0, maximum - std::max(page, 1) + 1));
        setPageStep(std::max(page, 1));
    }
    if (m_GI->m_leftCol != m_GI->m_prevLeftCol) {
        setValue(m_GI->m_leftCol - m_GI->m_lockedColCount);
        m_ctrl->HookViewScrolled(CUGCtrl::SectionHScroll, m_GI->m_prevLeftCol, m_GI->m_leftCol);
    }
}
