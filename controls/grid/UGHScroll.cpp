#include "controls/grid/UGHScroll.h"

#include "controls/grid/UGCtrl.h"
#include "controls/grid/UGGridInfo.h"

#include <algorithm>

CUGHScroll::CUGHScroll(CUGCtrl *ctrl) : GridScrollBar(Qt::Horizontal, ctrl, CUGCtrl::SectionHScroll) {}

void CUGHScroll::Update()
{
    if (!m_GI || !m_GI->m_scrollBarsShown)
        return;
    const bool countsChanged =
        m_GI->m_colCount != m_lastColCount || m_GI->m_lockedColCount != m_lastLockedCols;
    // The page follows the cell area's width too, so the thumb keeps its size after a resize.
    if (countsChanged || m_GI->m_gridWidth != m_lastGridWidth) {
        m_lastColCount = m_GI->m_colCount;
        m_lastLockedCols = m_GI->m_lockedColCount;
        m_lastGridWidth = m_GI->m_gridWidth;
        // Pages may set the default column width to 0: the page is then counted in pixels.
        const int page =
            std::max(1, (m_GI->m_gridWidth - m_GI->m_lockedColsWidth) / std::max(1, m_GI->m_defColWidth));
        const int maximum = m_GI->m_colCount - m_GI->m_lockedColCount + page - 1;
        setRange(0, std::max(0, maximum - page + 1));
        setPageStep(page);
        // With the last column in view the bar may no longer be needed.
        m_ctrl->UpdateVisibleEdges();
        if (countsChanged && m_GI->m_colCount > 0 && m_GI->m_rightVisibleCol >= m_GI->m_colCount - 1 &&
            !m_relayingOut) {
            m_relayingOut = true;
            m_ctrl->LayOutChildWindows();
            m_relayingOut = false;
        }
    }
    if (m_GI->m_leftCol != m_GI->m_prevLeftCol) {
        setValue(viewPosition());
        m_ctrl->HookViewScrolled(CUGCtrl::SectionHScroll, m_GI->m_prevLeftCol, m_GI->m_leftCol);
    }
}

void CUGHScroll::scrollView(int code, int position)
{
    switch (code) {
    case LineLeft:
    case LineRight:
        m_ctrl->ScrollLeftColumnBy(code);
        break;
    case PageLeft:
    case PageRight:
        if (m_GI->m_gridWidth - m_GI->m_lockedColsWidth >= 0)
            m_ctrl->ScrollLeftColumnBy(code);
        break;
    case ThumbPosition:
        m_ctrl->ScrollLeftColumnTo(position + m_GI->m_lockedColCount);
        break;
    case ThumbTrack:
        // The view waits for the release; the column under the thumb names the tip.
        m_trackCol = position + m_GI->m_lockedColCount;
        break;
    case Left:
        if (m_GI->m_colCount > 0)
            m_ctrl->ScrollLeftColumnTo(0);
        break;
    case Right:
        if (m_GI->m_colCount > 0)
            m_ctrl->ScrollLeftColumnTo(m_GI->m_colCount - 1);
        break;
    default:
        break;
    }
}

int CUGHScroll::viewPosition() const
{
    return m_GI->m_leftCol - m_GI->m_lockedColCount;
}

bool CUGHScroll::thumbTip(QString *text) const
{
    *text = QStringLiteral("Col:%1").arg(m_trackCol);
    return m_ctrl->HookHScrollTipText(m_trackCol, text) != 0;
}
