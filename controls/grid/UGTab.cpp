#include "controls/grid/UGTab.h"

#include "controls/grid/GridPaint.h"
#include "controls/grid/UGCtrl.h"
#include "controls/grid/UGGridInfo.h"
#include "platform/SysColor.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

CUGTab::CUGTab(CUGCtrl *ctrl)
    : QWidget(ctrl), m_ctrl(ctrl), m_scrollBar(new QScrollBar(Qt::Horizontal, this)),
      m_font(QStringLiteral("Arial"))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    m_font.setPixelSize(14);
    m_font.setWeight(QFont::Medium);
    m_scrollBar->setObjectName(QStringLiteral("UGTabScroll%1").arg(kScrollBarId));
    m_scrollBar->setFocusPolicy(Qt::NoFocus);
    // The bar only gives its arrows; each arrow click moves the tabs by a few pixels.
    m_scrollBar->setRange(-1, 1);
    connect(m_scrollBar, &QAbstractSlider::actionTriggered, this, &CUGTab::scrollBy);
}

int CUGTab::buttonWidth() const
{
    return 2 * kScrollBarSize;
}

int CUGTab::AddTab(const QString &label, int tabId)
{
    if (int(m_tabs.size()) >= kMaxTabs)
        return 1;
    const int width = QFontMetrics(m_font).horizontalAdvance(label) + 16;
    m_tabs.push_back(Tab{label, width, tabId});
    UpdateScrollRange();
    update();
    return 0;
}

int CUGTab::UpdateScrollRange()
{
    if (m_tabs.empty())
        return 1;
    int excess = buttonWidth() - width();
    for (const Tab &tab : m_tabs)
        excess += tab.width;
    m_maxScrollOffset = excess > 0 ? excess + 20 : 0;
    m_scrollOffset = std::min(m_scrollOffset, m_maxScrollOffset);
    return 0;
}

void CUGTab::SetTabAreaWidth(int width)
{
    if (!m_GI)
        return;
    m_GI->m_tabWidth = std::max(kMinAreaWidth, width);
    m_ctrl->LayOutTabArea();
}

int CUGTab::tabAt(int x) const
{
    int left = buttonWidth() - m_scrollOffset;
    for (int i = 0; i < int(m_tabs.size()); ++i) {
        const int right = left + m_tabs[std::size_t(i)].width;
        if (x >= left && x < right + 2)
            return i;
        left = right;
    }
    return -1;
}

void CUGTab::scrollBy(int action)
{
    if (action == QAbstractSlider::SliderSingleStepSub && m_scrollOffset >= 1)
        m_scrollOffset = std::max(0, m_scrollOffset - kScrollStep);
    else if (action == QAbstractSlider::SliderSingleStepAdd &&
             m_scrollOffset < m_maxScrollOffset - kScrollStep)
        m_scrollOffset += kScrollStep;
    m_scrollBar->setSliderPosition(0);
    update();
}

void CUGTab::resizeEvent(QResizeEvent *)
{
    m_scrollBar->setGeometry(0, 0, std::min(buttonWidth(), width()), height());
    UpdateScrollRange();
}

void CUGTab::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    const QPoint point = event->position().toPoint();
    if (event->button() == Qt::RightButton) {
        if (!m_GI || !m_GI->m_menuOn)
            return;
        const int tab = tabAt(point.x());
        QPoint global = mapToGlobal(point);
        m_ctrl->ShowPopupMenu(tab, 0, CUGCtrl::SectionTabs, &global);
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    if (point.x() >= width() - kSizingEdge) {
        m_dragging = 1;
        return;
    }
    const int tab = tabAt(point.x());
    if (tab < 0)
        return;
    m_currentTab = tab;
    // The tab is scrolled into view whole.
    int left = buttonWidth() - m_scrollOffset;
    for (int i = 0; i < tab; ++i)
        left += m_tabs[std::size_t(i)].width;
    const int right = left + m_tabs[std::size_t(tab)].width;
    if (left - 5 < buttonWidth())
        m_scrollOffset -= buttonWidth() - (left - 5);
    else if (right + 19 > width())
        m_scrollOffset += right + 19 - width();
    m_scrollOffset = std::max(0, std::min(m_scrollOffset, m_maxScrollOffset));
    update();
    m_ctrl->HookSheetTabClicked(m_tabs[std::size_t(tab)].id);
}

void CUGTab::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
    const int x = int(event->position().x());
    if (m_dragging) {
        SetTabAreaWidth(x);
        return;
    }
    m_onEdge = x >= width() - kSizingEdge ? 1 : 0;
    setCursor(m_onEdge ? Qt::SizeHorCursor : Qt::ArrowCursor);
}

void CUGTab::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    m_dragging = 0;
}

void CUGTab::paintEvent(QPaintEvent *)
{
    if (!m_GI || !m_GI->m_createdFlag)
        return;
    QPainter painter(this);
    GridPaint::fillRect(painter, fromQRect(rect()), m_ctrl->GetDefaultBackColor(CUGCtrl::SectionTabs));
    painter.setFont(m_font);
    painter.setClipRect(QRect(buttonWidth(), 0, width() - buttonWidth(), height()));
    int left = buttonWidth() - m_scrollOffset;
    for (int i = 0; i < int(m_tabs.size()); ++i) {
        const Tab &tab = m_tabs[std::size_t(i)];
        const UgRect area{left, 0, left + tab.width, height() - (i == m_currentTab ? 0 : 2)};
        GridPaint::fillRect(painter, area,
                            i == m_currentTab ? sysColor(SysColor::Window) : sysColor(SysColor::BtnFace));
        painter.setPen(fromColorRef(sysColor(SysColor::BtnShadow)));
        painter.drawRect(toQRect(area).adjusted(0, 0, -1, -1));
        painter.setPen(fromColorRef(sysColor(SysColor::BtnText)));
        painter.drawText(toQRect(area), Qt::AlignCenter, tab.label);
        left += tab.width;
    }
}
