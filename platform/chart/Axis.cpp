#include "platform/chart/Axis.h"

#include <QtMath>
#include <cmath>

Axis::Axis()
    : m_labelStyle(QString(), QString(), 8, ChartColor::kText),
      m_title(QString(), QString(), 8, ChartColor::kText)
{
}

TextBox &Axis::setLabels(const QStringList &labels)
{
    m_labels = labels;
    return m_labelStyle;
}

void Axis::setLinearScale(double lower, double upper, double majorStep, double)
{
    if (!(upper > lower) || !(majorStep > 0))
        return;
    m_fixed = true;
    m_lower = lower;
    m_upper = upper;
    m_step = majorStep;
}

void Axis::setMargin(int top, int bottom)
{
    m_marginTop = qMax(0, top);
    m_marginBottom = qMax(0, bottom);
}

TextBox &Axis::setTitle(const QString &text, const QString &font, double size, ChartColor color)
{
    m_title = TextBox(text, font, size, color);
    return m_title;
}

void Axis::fitScale(double largest, int length)
{
    if (m_fixed)
        return;
    m_lower = 0;
    if (!(largest > 0) || !std::isfinite(largest))
        largest = 1;
    // The smallest 1, 2 or 5 times a power of ten whose ticks stay the tick density apart.
    const int intervals = qMax(1, length / m_tickDensity);
    const double raw = largest / intervals;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    double step = power * 10;
    for (double factor : {1.0, 2.0, 5.0}) {
        if (power * factor >= raw * (1 - 1e-9)) {
            step = power * factor;
            break;
        }
    }
    m_step = step;
    m_upper = std::ceil(largest / step - 1e-9) * step;
}

std::vector<double> Axis::ticks() const
{
    std::vector<double> values;
    const int count = int(std::floor((m_upper - m_lower) / m_step + 1e-9));
    for (int i = 0; i <= count && i <= 1000; ++i)
        values.push_back(m_lower + i * m_step);
    return values;
}

double Axis::toPixel(double value, double bottom, double length) const
{
    const double usable = length - m_marginTop - m_marginBottom;
    return bottom - m_marginBottom - (value - m_lower) / (m_upper - m_lower) * usable;
}

QString Axis::formatNumber(double value)
{
    if (!std::isfinite(value))
        return QString();
    const double rounded = std::round(value);
    if (std::abs(value - rounded) < 1e-9 && std::abs(rounded) < 9.2e18)
        return QString::number(qint64(rounded));
    QString text = QString::number(value, 'f', 2);
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.'))
        text.chop(1);
    return text;
}
