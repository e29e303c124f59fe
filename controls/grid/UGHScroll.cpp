#include "controls/grid/UGHScroll.h"

#include "controls/grid/UGCtrl.h"
#include "controls/grid/UGGrid.h"
#include "controls/grid/UGGridInfo.h"
#include "controls/grid/UGSideHdg.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWheelEvent>
#include <algorithm>

CUGHScroll::CUGHScroll(CUGCtrl *ctrl) : QScrollBar(Qt::Horizontal, ctrl), m_ctrl(ctrl)
{
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QAbstractSlider::actionTriggered, this, &CUGHScroll::onAction);
    connect(this, &QAbstractSlider::sliderReleased, this,
            [this] { OnScroll(ThumbPosition, sliderPosition()); });
}

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
        setValue(m_GI->m_leftCol - m_GI->m_lockedColCount);
        m_ctrl->HookViewScrolled(CUGCtrl::SectionHScroll, m_GI->m_prevLeftCol, m_GI->m_leftCol);
    }
}

void CUGHScroll::onAction(int action)
{
    switch (action) {
    case SliderSingleStepSub:
        OnScroll(LineLeft, 0);
        break;
    case SliderSingleStepAdd:
        OnScroll(LineRight, 0);
        break;
    case SliderPageStepSub:
        OnScroll(PageLeft, 0);
        break;
    case SliderPageStepAdd:
        OnScroll(PageRight, 0);
        break;
    case SliderToMinimum:
        OnScroll(Left, 0);
        break;
    case SliderToMaximum:
        OnScroll(Right, 0);
        break;
    case SliderMove:
        if (isSliderDown())
            OnScroll(ThumbTrack, sliderPosition());
        return;
    default:
        return;
    }
    if (m_GI)
        setSliderPosition(m_GI->m_leftCol - m_GI->m_lockedColCount);
}

void CUGHScroll::OnScroll(int code, int position)
{
    if (!m_GI)
        return;
    CUGGrid *grid = m_ctrl->GridWindow();
    if (!grid->hasFocus())
        grid->setFocus(Qt::OtherFocusReason);
    m_GI->m_selectKeyState = 4;
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
    m_GI->m_selectKeyState = 0;
    m_ctrl->SideHeadingWindow()->update();
}

void CUGHScroll::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton && m_GI && m_GI->m_menuOn) {
        QPoint global = event->globalPosition().toPoint();
        m_ctrl->ShowPopupMenu(m_GI->m_reportedCol, m_GI->m_reportedRow, CUGCtrl::SectionHScroll, &global);
    }
    QScrollBar::mousePressEvent(event);
}

void CUGHScroll::wheelEvent(QWheelEvent *event)
{
    QApplication::sendEvent(m_ctrl->GridWindow(), event);
}
