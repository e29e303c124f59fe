#include "NumSpinCtrl.h"

#include "NumEdit.h"
#include "platform/NumberText.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>
#include <charconv>
#include <cmath>

namespace {
constexpr int maxIntegerRange = 32767;
constexpr int repeatDelayMs = 400;
constexpr int repeatIntervalMs = 100;

// printf's "%g" and "%.{precision}e", in the C locale.
QString formatGeneral(double value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

QString formatScientific(double value, int precision)
{
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific,
                                      std::clamp(precision, 0, 60));
    return QString::fromLatin1(buffer, result.ptr - buffer);
}
} // namespace

int SpinMath::integerRange(double minimum, double maximum, double step)
{
    const double steps = std::fabs((maximum - minimum) / step);
    return steps > maxIntegerRange ? maxIntegerRange : static_cast<int>(steps);
}

int SpinMath::position(double value, double minimum, double maximum, int range)
{
    if (value < minimum)
        return 0;
    if (value > maximum)
        return range;
    return static_cast<int>((value - minimum) / (maximum - minimum) * range + 0.5);
}

double SpinMath::stepValue(double value, int delta, double step, double minimum, double maximum, bool wrap)
{
    const double next = value + delta * step;
    if (delta < 0) {
        const double tolerance = std::max(1e-9, std::fabs(std::max(next, minimum) * 1e-9));
        if (minimum - next <= tolerance)
            return next;
        return wrap ? maximum : minimum;
    }
    const double tolerance = std::max(1e-9, std::fabs(std::max(next, maximum) * 1e-9));
    if (next - maximum <= tolerance)
        return next;
    return wrap ? minimum : maximum;
}

QString SpinMath::format(double value, int precision, bool trim)
{
    const QString general = formatGeneral(value);
    if (precision < 0)
        return general;
    const bool exponent = general.contains(QLatin1Char('e'));
    QString text = exponent ? formatScientific(value, precision) : formatFixed(value, precision);
    if (!trim)
        return text;
    const qsizetype e = text.indexOf(QLatin1Char('e'));
    QString mantissa = e < 0 ? text : text.left(e);
    const QString tail = e < 0 ? QString() : text.mid(e);
    if (!mantissa.contains(QLatin1Char('.')))
        return text;
    while (mantissa.endsWith(QLatin1Char('0')))
        mantissa.chop(1);
    if (mantissa.endsWith(QLatin1Char('.')))
        mantissa.chop(1);
    return mantissa + tail;
}

CNumSpinCtrl::CNumSpinCtrl(QWidget *parent) : QWidget(parent)
{
    m_repeat.setSingleShot(false);
    connect(&m_repeat, &QTimer::timeout, this, [this] {
        m_repeat.setInterval(repeatIntervalMs);
        DeltaPos(m_heldDelta);
    });
}

void CNumSpinCtrl::SetBuddy(CNumEdit *buddy)
{
    if (m_buddy) {
        m_buddy->removeEventFilter(this);
        disconnect(m_buddy, &QObject::destroyed, this, nullptr);
    }
    m_buddy = buddy;
    if (m_buddy) {
        m_buddy->installEventFilter(this);
        connect(m_buddy, &QObject::destroyed, this, [this] { m_buddy = nullptr; });
    }
    SetRangeAndStep(m_minimum, m_maximum, m_step);
}

void CNumSpinCtrl::SetRangeAndStep(double minimum, double maximum, double step)
{
    m_minimum = minimum;
    m_maximum = maximum;
    m_step = step;
    if (step == 0)
        return;
    m_range = SpinMath::integerRange(minimum, maximum, step);
    m_position = std::clamp(m_position, 0, m_range);
    SetValue(GetValue());
}

void CNumSpinCtrl::SetValue(double value)
{
    if (m_minimum == m_maximum)
        return;
    m_position = SpinMath::position(value, m_minimum, m_maximum, m_range);
}

void CNumSpinCtrl::SetBuddyValue(double value)
{
    if (m_buddy)
        m_buddy->setText(SpinMath::format(value, m_precision, m_trim));
}

double CNumSpinCtrl::GetValue() const
{
    return m_buddy ? toDoublePrefix(m_buddy->text().left(255)) : 0.0;
}

void CNumSpinCtrl::DeltaPos(int delta)
{
    SetBuddyValue(SpinMath::stepValue(GetValue(), delta, m_step, m_minimum, m_maximum, m_wrap));
    // The control then moves its own position, as an up-down control does.
    const int next = m_position + delta;
    if (next > m_range)
        m_position = m_wrap ? 0 : m_range;
    else if (next < 0)
        m_position = m_wrap ? m_range : 0;
    else
        m_position = next;
}

QSize CNumSpinCtrl::sizeHint() const
{
    return QSize(16, 22);
}

void CNumSpinCtrl::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QStyleOption option;
    option.initFrom(this);
    const int half = height() / 2;
    const QRect halves[2] = {QRect(0, 0, width(), half), QRect(0, half, width(), height() - half)};
    const QStyle::PrimitiveElement arrows[2] = {QStyle::PE_IndicatorSpinUp, QStyle::PE_IndicatorSpinDown};
    for (int i = 0; i < 2; ++i) {
        option.rect = halves[i];
        option.state &= ~QStyle::State_Sunken;
        if (m_heldDelta == (i == 0 ? 1 : -1))
            option.state |= QStyle::State_Sunken;
        style()->drawPrimitive(QStyle::PE_PanelButtonTool, &option, &painter, this);
        style()->drawPrimitive(arrows[i], &option, &painter, this);
    }
}

void CNumSpinCtrl::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !isEnabled())
        return;
    m_heldDelta = event->position().y() < height() / 2 ? 1 : -1;
    DeltaPos(m_heldDelta);
    m_repeat.start(repeatDelayMs);
    update();
}

void CNumSpinCtrl::mouseReleaseEvent(QMouseEvent *)
{
    m_repeat.stop();
    m_heldDelta = 0;
    update();
}

// Up and Down in the buddy step the value as the arrows do.
bool CNumSpinCtrl::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_buddy && event->type() == QEvent::KeyPress && isEnabled()) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            DeltaPos(key == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
