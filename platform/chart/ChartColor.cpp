#include "platform/chart/ChartColor.h"

#include <QLinearGradient>

namespace {

QColor decode(std::uint32_t value)
{
    if (value >= ChartColor::kBackground && value <= ChartColor::kText)
        return value == ChartColor::kBackground ? QColor(Qt::white) : QColor(Qt::black);
    const int alpha = 255 - int(value >> 24);
    return QColor(int((value >> 16) & 0xFF), int((value >> 8) & 0xFF), int(value & 0xFF), alpha);
}

} // namespace

ChartColor ChartColor::linearGradient(int x1, int y1, int x2, int y2, ChartColor from, ChartColor to)
{
    ChartColor result(from.m_value);
    result.m_gradient = true;
    result.m_from = QPointF(x1, y1);
    result.m_to = QPointF(x2, y2);
    result.m_toValue = to.m_value;
    return result;
}

ChartColor ChartColor::dashLine(ChartColor color, std::uint32_t pattern)
{
    ChartColor result(color);
    for (; pattern & 0xFF; pattern >>= 8)
        result.m_dashes.append(qreal(pattern & 0xFF));
    // Qt needs an even count of runs: an odd pattern repeats its last gap as long as its last dash.
    if (result.m_dashes.size() % 2)
        result.m_dashes.append(result.m_dashes.last());
    return result;
}

QColor ChartColor::color() const
{
    return decode(m_value);
}

bool ChartColor::isVisible() const
{
    return color().alpha() > 0 || (m_gradient && decode(m_toValue).alpha() > 0);
}

QBrush ChartColor::brush() const
{
    if (!m_gradient)
        return QBrush(color());
    QLinearGradient gradient(m_from, m_to);
    gradient.setColorAt(0, color());
    gradient.setColorAt(1, decode(m_toValue));
    return QBrush(gradient);
}

QPen ChartColor::pen(double width) const
{
    QPen pen(brush(), width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    if (!m_dashes.isEmpty()) {
        // Qt counts dash runs in pen widths.
        QVector<qreal> runs = m_dashes;
        for (qreal &run : runs)
            run /= width;
        pen.setDashPattern(runs);
    }
    return pen;
}
