#include "app/MMStatusBar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QStyle>

namespace {
// The connection pane's initial text; its trailing blanks set the pane's least width.
const QString kConnectionPaneText = QStringLiteral("ConnectStatus   ");
} // namespace

MMStatusBar::MMStatusBar(QWidget *parent)
    : QStatusBar(parent), m_message(new QLabel(this)), m_connection(new QWidget(this)),
      m_connectionIcon(new QLabel(m_connection)),
      m_connectionText(new QLabel(kConnectionPaneText, m_connection))
{
    setSizeGripEnabled(false);
    auto *layout = new QHBoxLayout(m_connection);
    layout->setContentsMargins(2, 0, 2, 0);
    layout->setSpacing(2);
    layout->addWidget(m_connectionIcon);
    layout->addWidget(m_connectionText, 1);
    m_connectionIcon->hide();
    addWidget(m_message, 1);
    addPermanentWidget(m_connection);
    m_connection->installEventFilter(this);
    fitConnectionPane();
}

int MMStatusBar::SetPanes(const std::array<QIcon, kPaneCount> &icons)
{
    m_icons = icons;
    const QIcon &icon = m_icons[1];
    if (icon.isNull()) {
        m_connectionIcon->clear();
        m_connectionIcon->hide();
    } else {
        const int side = style()->pixelMetric(QStyle::PM_SmallIconSize);
        m_connectionIcon->setPixmap(icon.pixmap(QSize(side, side)));
        m_connectionIcon->show();
    }
    fitConnectionPane();
    return 1;
}

void MMStatusBar::SetPaneText(int pane, const QString &text)
{
    if (pane == 0) {
        m_message->setText(text);
    } else if (pane == 1) {
        m_connectionText->setText(text);
        fitConnectionPane();
    }
}

QString MMStatusBar::PaneText(int pane) const
{
    return pane == 0 ? m_message->text() : pane == 1 ? m_connectionText->text() : QString();
}

void MMStatusBar::fitConnectionPane()
{
    // As wide as its text, and never narrower than the initial text; plus the icon when one is shown.
    const QFontMetrics metrics(m_connectionText->font());
    int width = std::max(metrics.horizontalAdvance(m_connectionText->text()),
                         metrics.horizontalAdvance(kConnectionPaneText));
    if (!m_icons[1].isNull())
        width += style()->pixelMetric(QStyle::PM_SmallIconSize);
    m_connection->setMinimumWidth(width + 8);
}

bool MMStatusBar::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton && watched == m_connection)
        emit paneCommand(kConnectionPaneId);
    return QStatusBar::eventFilter(watched, event);
}
