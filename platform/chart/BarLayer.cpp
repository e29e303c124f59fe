#include "platform/chart/BarLayer.h"

#include "platform/chart/Axis.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPolygonF>

void BarLayer::addDataSet(const std::vector<double> &values, ChartColor color, const QString &name)
{
    m_sets.push_back({values, color, name});
}

void BarLayer::setBarGap(double gap, double subGap)
{
    m_barGap = qBound(0.0, gap, 0.95);
    m_subGap = qBound(0.0, subGap, 0.95);
}

int BarLayer::categoryCount() const
{
    std::size_t count = 0;
    for (const DataSet &set : m_sets)
        count = qMax(count, set.values.size());
    return int(count);
}

double BarLayer::largestValue() const
{
    double largest = 0;
    for (const DataSet &set : m_sets) {
        for (int i = 0; i < int(set.values.size()); ++i)
            largest = qMax(largest, drawable(set.values, i).value_or(0));
    }
    return largest;
}

QRectF BarLayer::barRect(const PlotFrame &frame, int dataSet, int category) const
{
    const double width = frame.categoryWidth();
    const double group = width * (1 - m_barGap);
    const double slot = group / qMax<std::size_t>(1, m_sets.size());
    const double left =
        frame.categoryLeft(category) + (width - group) / 2 + dataSet * slot + slot * m_subGap / 2;
    const double value = drawable(m_sets[std::size_t(dataSet)].values, category).value_or(0);
    const double base = frame.yOf(m_secondAxis, 0);
    const double top = frame.yOf(m_secondAxis, value);
    return QRectF(QPointF(left, top), QPointF(left + slot * (1 - m_subGap), base));
}

void BarLayer::paintBar(QPainter &painter, const QRectF &face, const DataSet &set) const
{
    const QColor color = set.color.color();
    if (m_depth > 0) {
        const double d = m_depth;
        const QPolygonF top{face.topLeft(), face.topLeft() + QPointF(d, -d), face.topRight() + QPointF(d, -d),
                            face.topRight()};
        const QPolygonF side{face.topRight(), face.topRight() + QPointF(d, -d),
                             face.bottomRight() + QPointF(d, -d), face.bottomRight()};
        painter.setPen(Qt::NoPen);
        painter.setBrush(color.lighter(125));
        painter.drawPolygon(top);
        painter.setBrush(color.darker(135));
        painter.drawPolygon(side);
    }
    painter.fillRect(face, color);
    if (m_effect.kind == ChartEffect::SoftLighting) {
        // Light from the left edge fading to a shade at the right.
        QLinearGradient light(face.topLeft(), face.topRight());
        light.setColorAt(0, QColor(255, 255, 255, 110));
        light.setColorAt(0.45, QColor(255, 255, 255, 0));
        light.setColorAt(1, QColor(0, 0, 0, 50));
        painter.fillRect(face, light);
    } else if (m_effect.kind == ChartEffect::Glass) {
        QLinearGradient glare(face.topLeft(), face.topRight());
        glare.setColorAt(0, QColor(255, 255, 255, 40));
        glare.setColorAt(0.5, QColor(255, 255, 255, 150));
        glare.setColorAt(1, QColor(255, 255, 255, 40));
        painter.fillRect(QRectF(face.left(), face.top(), face.width(), face.height() / 2), glare);
    }
    if (m_border.isVisible()) {
        painter.setPen(m_border.pen(1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(face);
    }
}

void BarLayer::paint(QPainter &painter, const PlotFrame &frame) const
{
    painter.save();
    for (int category = 0; category < frame.categories; ++category) {
        for (int set = 0; set < int(m_sets.size()); ++set) {
            if (!drawable(m_sets[std::size_t(set)].values, category))
                continue;
            const QRectF face = barRect(frame, set, category);
            paintBar(painter, face, m_sets[std::size_t(set)]);
            if (m_dataLabels) {
                const double value = drawable(m_sets[std::size_t(set)].values, category).value_or(0);
                m_dataLabels->paintAt(painter, Axis::formatNumber(value),
                                      QPointF(face.center().x() + m_depth / 2.0, face.top() - m_depth - 1),
                                      TextBox::Bottom);
            }
        }
    }
    painter.restore();
}

void BarLayer::marks(const PlotFrame &frame, std::vector<ChartMark> &out) const
{
    for (int category = 0; category < frame.categories; ++category) {
        for (int set = 0; set < int(m_sets.size()); ++set) {
            const std::optional<double> value = drawable(m_sets[std::size_t(set)].values, category);
            if (!value)
                continue;
            QRect rect = barRect(frame, set, category).toAlignedRect();
            // A bar of 0 still answers under the pointer at its base.
            if (rect.height() < 2)
                rect.setTop(rect.bottom() - 1);
            out.push_back(
                {rect, category, m_sets[std::size_t(set)].name, *value, *value, *value, m_attributes});
        }
    }
}

void BarLayer::legendKeys(std::vector<LegendKey> &out) const
{
    for (const DataSet &set : m_sets) {
        if (!set.name.isEmpty())
            out.push_back({set.name, set.color, 0});
    }
}
