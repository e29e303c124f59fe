#include "controls/grid/UGVScroll.h"

#include "controls/grid/UGCtrl.h"
#include "controls/grid/UGGridInfo.h"

#include <algorithm>

CUGVScroll::CUGVScroll(CUGCtrl *ctrl) : GridScrollBar(Qt::Vertical, ctrl, CUGCtrl::SectionVScroll) {}

void CUGVScroll::Update()
{
    if (!m_GI || !m_GI->m_scrollBarsShown)
        return;
    const int scrollMode = 0;
    const bool countsChanged = m_GI->m_rowCount != m_lastRowCount || scrollMode != m_lastScrollMode ||
                               m_GI->m_lockedRowCount != m_lastLockedRows;
    // The page follows the cell area's height too, so the thumb keeps its size after a resize;
    // a resize alone moves nothing and reports nothing.
    if (countsChanged || m_GI->m_gridHeight != m_lastGridHeight) {
        m_lastRowCount = m_GI->m_rowCount;
        m_lastScrollMode = scrollMode;
        m_lastLockedRows = m_GI->m_lockedRowCount;
        m_lastGridHeight = m_GI->m_gridHeight;
        if (m_GI->m_rowCount > kMaxSteps) {
            m_scale = double(kMaxSteps) / m_GI->m_rowCount;
            m_inverseScale = double(m_GI->m_rowCount) / kMaxSteps;
            setRange(0, kMaxSteps);
            setPageStep(1);
        } else {
            const int page = std::max(1, m_GI->m_gridHeight / std::max(1, m_GI->m_defRowHeight));
            // The bar's maximum counts the page; QScrollBar's maximum is the last position.
            const int maximum = m_GI->m_rowCount + page - 1;
            setRange(m_GI->m_lockedRowCount, std::max(m_GI->m_lockedRowCount, maximum - page + 1));
            setPageStep(page);
            m_scale = m_inverseScale = 1.0;
        }
    }
    if (m_GI->m_topRow != m_GI->m_prevTopRow || countsChanged) {
        setValue(viewPosition());
        m_ctrl->HookViewScrolled(CUGCtrl::SectionVScroll, m_GI->m_prevTopRow, m_GI->m_topRow);
    }
}

void CUGVScroll::scrollView(int code, int position)
{
    switch (code) {
    case LineUp:
    case LineDown:
    case PageUp:
    case PageDown:
        m_ctrl->ScrollTopRowBy(code);
        break;
    case ThumbPosition:
        m_ctrl->ScrollTopRowTo(int(unsigned(std::max(0, position)) * m_inverseScale));
        break;
    case ThumbTrack:
        // The view waits for the release; the row under the thumb names the tip.
        m_trackRow = int(position * m_inverseScale) + m_GI->m_lockedRowCount;
        break;
    case Top:
        if (m_GI->m_rowCount > 0)
            m_ctrl->ScrollTopRowTo(0);
        break;
    case Bottom:
        if (m_GI->m_rowCount > 0)
            m_ctrl->ScrollTopRowTo(m_GI->m_rowCount - 1);
        break;
    default:
        break;
    }
}

int CUGVScroll::viewPosition() const
{
    return int(m_GI->m_topRow * m_scale);
}

bool CUGVScroll::thumbTip(QString *text) const
{
    *text = QStringLiteral("Row:%1").arg(m_trackRow);
    return m_ctrl->HookVScrollTipText(m_trackRow, text) != 0;
}
