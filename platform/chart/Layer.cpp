#include "platform/chart/Layer.h"

#include <cmath>

void Layer::setBorderColor(ChartColor color, ChartEffect effect)
{
    m_border = color;
    m_effect = effect;
}

void Layer::setDataLabelStyle(const QString &font, double size, ChartColor color, double angle)
{
    m_dataLabels.emplace(QString(), font, size, color);
    m_dataLabels->setFontAngle(angle);
}

std::optional<double> Layer::drawable(const std::vector<double> &values, int index)
{
    if (index < 0 || std::size_t(index) >= values.size() || !std::isfinite(values[std::size_t(index)]))
        return std::nullopt;
    return qMax(0.0, values[std::size_t(index)]);
}
