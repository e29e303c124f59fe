#include "controls/grid/GridScrollBar.h"

#include "controls/grid/UGCtrl.h"
#include "controls/grid/UGGrid.h"
#include "controls/grid/UGGridInfo.h"
#include "controls/grid/UGHint.h"
#include "controls/grid/UGSideHdg.h"

#include <QApplication>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QWheelEvent>

GridScrollBar::GridScrollBar(Qt::Orientation orientation, CUGCtrl *ctrl, int section)
    : QScrollBar(orientation, ctrl), m_ctrl(ctrl), m_section(section)
{
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QAbstractSlider::actionTriggered, this, &GridScrollBar::onAction);
    connect(this, &QAbstractSlider::sliderReleased, this, [this] {
        hideThumbTip();
        OnScroll(StepThumbPosition, sliderPosition());
    });
}

void GridScrollBar::onAction(int action)
{
    switch (action) {
    case SliderSingleStepSub:
        OnScroll(StepLineBack, 0);
        break;
    case SliderSingleStepAdd:
        OnScroll(StepLineForward, 0);
        break;
    case SliderPageStepSub:
        OnScroll(StepPageBack, 0);
        break;
    case SliderPageStepAdd:
        OnScroll(StepPageForward, 0);
        break;
    case SliderToMinimum:
        OnScroll(StepToStart, 0);
        break;
    case SliderToMaximum:
        OnScroll(StepToEnd, 0);
        break;
    case SliderMove:
        if (isSliderDown()) {
            OnScroll(StepThumbTrack, sliderPosition());
            showThumbTip();
        }
        return;
    default:
        return;
    }
    // The bar shows where the grid went, not where the action alone would have put it.
    if (m_GI)
        setSliderPosition(viewPosition());
}

void GridScrollBar::OnScroll(int code, int position)
{
    if (!m_GI)
        return;
    CUGGrid *grid = m_ctrl->GridWindow();
    if (!grid->hasFocus())
        grid->setFocus(Qt::OtherFocusReason);
    m_GI->m_selectKeyState = 4;
    scrollView(code, position);
    m_GI->m_selectKeyState = 0;
    m_ctrl->SideHeadingWindow()->update();
}

void GridScrollBar::showThumbTip()
{
    QString text;
    if (!m_GI || !thumbTip(&text) || text.isEmpty()) {
        hideThumbTip();
        return;
    }
    // Beside the thumb, on the cells' side of the bar: left of a vertical bar, above a horizontal one.
    QStyleOptionSlider option;
    initStyleOption(&option);
    option.sliderPosition = sliderPosition();
    option.sliderValue = sliderPosition();
    const QRect thumb =
        style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this);
    const QPoint centre = mapTo(m_ctrl, thumb.center());
    CUGHint *hint = m_ctrl->HintWindow();
    hint->SetText(text);
    if (orientation() == Qt::Vertical) {
        hint->SetAlignment(2 | 32);
        hint->MoveHint(mapTo(m_ctrl, QPoint(0, 0)).x(), centre.y());
    } else {
        hint->SetAlignment(4 | 16);
        hint->MoveHint(centre.x(), mapTo(m_ctrl, QPoint(0, 0)).y());
    }
}

void GridScrollBar::hideThumbTip()
{
    m_ctrl->HintWindow()->hide();
}

void GridScrollBar::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton && m_GI && m_GI->m_menuOn) {
        QPoint global = event->globalPosition().toPoint();
        m_ctrl->ShowPopupMenu(m_GI->m_reportedCol, m_GI->m_reportedRow, m_section, &global);
    }
    QScrollBar::mousePressEvent(event);
}

void GridScrollBar::wheelEvent(QWheelEvent *event)
{
    // The wheel scrolls the grid as it does over the cells.
    QApplication::sendEvent(m_ctrl->GridWindow(), event);
}
