#include "platform/chart/LegendBox.h"

#include <QFontMetricsF>
#include <QPainter>

namespace {
constexpr double kSwatch = 10;
constexpr double kGap = 4;
constexpr double kPadding = 4;
} // namespace

LegendBox::LegendBox(int x, int y, int columns, const QString &font, double size)
    : TextBox(QStringLiteral("{dataSetName}"), font, size, ChartColor::kText), m_x(x), m_y(y),
      m_columns(qMax(1, columns))
{
    setAlignment(TopLeft);
}

void LegendBox::addKey(const QString &text, ChartColor color, int lineWidth)
{
    m_keys.push_back({text, color, qMax(0, lineWidth)});
}

QString LegendBox::keyText(const QString &dataSetName) const
{
    QString result = text();
    result.replace(QStringLiteral("{dataGroupName}"), QString());
    result.replace(QStringLiteral("{dataSetName}"), dataSetName);
    return result.trimmed();
}

QRectF LegendBox::paint(QPainter &painter, const std::vector<LegendKey> &layerKeys,
                        const QRectF &bounds) const
{
    std::vector<LegendKey> keys;
    for (const LegendKey &key : layerKeys)
        keys.push_back({keyText(key.name), key.color, key.lineWidth});
    keys.insert(keys.end(), m_keys.begin(), m_keys.end());
    if (keys.empty())
        return {};
    const QFontMetricsF metrics(font());
    const double rowHeight = qMax(kSwatch, metrics.height()) + 2;
    std::vector<double> columnWidths(std::size_t(m_columns), 0.0);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        double &width = columnWidths[i % std::size_t(m_columns)];
        width = qMax(width, kSwatch + kGap + metrics.horizontalAdvance(keys[i].name));
    }
    double width = 2 * kPadding - kGap * 2;
    for (double column : columnWidths)
        width += column + (column > 0 ? kGap * 2 : 0);
    const std::size_t rows = (keys.size() + std::size_t(m_columns) - 1) / std::size_t(m_columns);
    const QSizeF size(width, rows * rowHeight + 2 * kPadding);
    QRectF box(alignedTopLeft(QPointF(m_x, m_y), size, alignment()), size);
    // Kept inside the chart where it fits.
    box.moveLeft(qMax(bounds.left(), qMin(box.left(), bounds.right() + 1 - box.width())));
    box.moveTop(qMax(bounds.top(), qMin(box.top(), bounds.bottom() + 1 - box.height())));
    paintIn(painter, QString(), box);

    painter.save();
    painter.setFont(font());
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const std::size_t column = i % std::size_t(m_columns);
        double x = box.left() + kPadding;
        for (std::size_t c = 0; c < column; ++c)
            x += columnWidths[c] + kGap * 2;
        const double y = box.top() + kPadding + double(i / std::size_t(m_columns)) * rowHeight;
        const QRectF swatch(x, y + (rowHeight - kSwatch) / 2, kSwatch, kSwatch);
        if (keys[i].lineWidth > 0) {
            painter.setPen(keys[i].color.pen(keys[i].lineWidth));
            painter.drawLine(QPointF(swatch.left(), swatch.center().y()),
                             QPointF(swatch.right(), swatch.center().y()));
        } else {
            painter.fillRect(swatch, keys[i].color.brush());
            painter.setPen(QColor(0, 0, 0, 90));
            painter.drawRect(swatch.adjusted(0, 0, -1, -1));
        }
        painter.setPen(color().color());
        painter.drawText(QRectF(x + kSwatch + kGap, y, columnWidths[column], rowHeight),
                         Qt::AlignLeft | Qt::AlignVCenter, keys[i].name);
    }
    painter.restore();
    return box;
}
