#include "controls/grid/UGVScroll.h"

#include "controls/grid/UGCtrl.h"
#include "controls/grid/UGGridInfo.h"

#include <algorithm>

CUGVScroll::CUGVScroll(CUGCtrl *ctrl) : QScrollBar(Qt::Vertical, ctrl), m_ctrl(ctrl) {}

void CUGVScroll::Update()
{
    if (!m_GI || !m_GI->m_scrollBarsShown)
        return;
    bool rangeSet = false;
    const int scrollMode = 0;
    if (m_GI->m_rowCount != m_lastRowCount || scrollMode != m_lastScrollMode ||
        m_GI->m_lockedRowCount != m_lastLockedRows) {
        m_lastRowCount = m_GI->m_rowCount;
        m_lastScrollMode = scrollMode;
        m_lastLockedRows = m_GI->m_lockedRowCount;
        if (m_GI->m_rowCount > kMaxSteps) {
            m_scale = double(kMaxSteps) / m_GI->m_rowCount;
            m_inverseScale = double(m_GI->m_rowCount) / kMaxSteps;
            setRange(0, kMaxSteps);
            setPageStep(1);
        } else {
            const int page = m_GI->m_gridHeight / std::max(1, m_GI->m_defRowHeight);
            // The bar's maximum counts the page; QScrollBar's maximum is the last position.
            const int maximum = m_GI->m_rowCount + page - 1;
            setRange(m_GI->m_lockedRowCount,
                     std::max(m_GI->m_lockedRowCount, maximum - std::max(page, 1) + 1));
            setPageStep(std::max(page, 1));
            m_scale = m_inverseScale = 1.0;
        }
        rangeSet = true;
    }
    if (m_GI->m_topRow != m_GI->m_prevTopRow || rangeSet) {
        setValue(int(m_GI->m_topRow * m_scale));
        m_ctrl->HookViewScrolled(CUGCtrl::SectionVScroll, m_GI->m_prevTopRow, m_GI->m_topRow);
    }
}
