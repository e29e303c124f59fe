#include "platform/chart/BoxWhiskerLayer.h"

#include <QPainter>

BoxWhiskerLayer::BoxWhiskerLayer(const std::vector<double> &top, const std::vector<double> &bottom,
                                 const std::vector<double> &max, const std::vector<double> &min,
                                 const std::vector<double> &mid, ChartColor fill, ChartColor whisker,
                                 ChartColor edge)
    : m_top(top), m_bottom(bottom), m_max(max), m_min(min), m_mid(mid), m_fill(fill), m_whisker(whisker),
      m_edge(edge)
{
}

int BoxWhiskerLayer::categoryCount() const
{
    std::size_t count = 0;
    for (const auto *series : {&m_top, &m_bottom, &m_max, &m_min, &m_mid})
        count = qMax(count, series->size());
    return int(count);
}

double BoxWhiskerLayer::largestValue() const
{
    double largest = 0;
    for (const auto *series : {&m_top, &m_bottom, &m_max, &m_min, &m_mid}) {
        for (int i = 0; i < int(series->size()); ++i)
            largest = qMax(largest, drawable(*series, i).value_or(0));
    }
    return largest;
}

double BoxWhiskerLayer::left(const PlotFrame &frame, int category) const
{
    return frame.categoryLeft(category) + frame.categoryWidth() * m_dataGap / 2;
}

double BoxWhiskerLayer::right(const PlotFrame &frame, int category) const
{
    return frame.categoryLeft(category) + frame.categoryWidth() * (1 - m_dataGap / 2);
}

QRectF BoxWhiskerLayer::markRect(const PlotFrame &frame, int category) const
{
    double upper = 1e300;
    double lower = -1e300;
    bool any = false;
    for (const auto *series : {&m_top, &m_bottom, &m_max, &m_min, &m_mid}) {
        if (const std::optional<double> value = drawable(*series, category)) {
            const double y = frame.yOf(m_secondAxis, *value);
            upper = any ? qMin(upper, y) : y;
            lower = any ? qMax(lower, y) : y;
            any = true;
        }
    }
    if (!any)
        return {};
    const double half = m_lineWidth / 2.0 + 2;
    return QRectF(QPointF(left(frame, category), upper - half),
                  QPointF(right(frame, category), lower + half));
}

void BoxWhiskerLayer::paint(QPainter &painter, const PlotFrame &frame) const
{
    painter.save();
    const QPen whisker = m_whisker.pen(m_lineWidth);
    for (int category = 0; category < frame.categories; ++category) {
        const double x0 = left(frame, category);
        const double x1 = right(frame, category);
        const double centre = (x0 + x1) / 2;
        const auto y = [&](const std::vector<double> &series) -> std::optional<double> {
            if (const std::optional<double> value = drawable(series, category))
                return frame.yOf(m_secondAxis, *value);
            return std::nullopt;
        };
        const std::optional<double> top = y(m_top), bottom = y(m_bottom), max = y(m_max), min = y(m_min),
                                    mid = y(m_mid);
        painter.setPen(whisker);
        // Whiskers join the box, or each other when there is no box.
        if (max && (top || min))
            painter.drawLine(QPointF(centre, *max), QPointF(centre, top ? *top : *min));
        if (min && bottom)
            painter.drawLine(QPointF(centre, *bottom), QPointF(centre, *min));
        if (top && bottom) {
            painter.setPen(m_edge.isVisible() ? m_edge.pen(1) : QPen(Qt::NoPen));
            painter.setBrush(m_fill.isVisible() ? m_fill.brush() : QBrush(Qt::NoBrush));
            painter.drawRect(QRectF(QPointF(x0, qMin(*top, *bottom)), QPointF(x1, qMax(*top, *bottom))));
            painter.setPen(whisker);
        }
        for (const std::optional<double> &cap : {max, min, mid}) {
            if (cap)
                painter.drawLine(QPointF(x0, *cap), QPointF(x1, *cap));
        }
    }
    painter.restore();
}

void BoxWhiskerLayer::marks(const PlotFrame &frame, std::vector<ChartMark> &out) const
{
    for (int category = 0; category < frame.categories; ++category) {
        const QRectF rect = markRect(frame, category);
        if (rect.isEmpty())
            continue;
        const auto value = [&](const std::vector<double> &series) {
            return drawable(series, category).value_or(0);
        };
        out.push_back({rect.toAlignedRect(), category, QString(), value(m_mid), value(m_max), value(m_min),
                       m_attributes});
    }
}
