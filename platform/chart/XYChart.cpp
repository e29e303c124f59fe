#include "platform/chart/XYChart.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace {

// Below the x-axis title the chart keeps this much of its edge free.
constexpr int kBottomMargin = 4;
// The plot keeps at least this height when labels crowd it.
constexpr int kMinPlotHeight = 20;
// Between the labels (or the axis) and the x-axis title.
constexpr double kTitleGap = 2;
// The least depth the labels are given, when there are none.
constexpr double kMinLabelDepth = 4;
// Between the axis line with its ticks and the labels.
constexpr double kLabelGap = 2;

} // namespace

XYChart::XYChart(int width, int height, ChartColor background, ChartColor edge, int raised)
    : m_width(qBound(1, width, 16384)), m_height(qBound(1, height, 16384)), m_background(background),
      m_edge(edge), m_raised(qMax(0, raised)), m_plot(0, 0, m_width, m_height)
{
}

void XYChart::setBackground(ChartColor color, ChartColor edge, int raised)
{
    m_background = color;
    m_edge = edge;
    m_raised = qMax(0, raised);
}

void XYChart::setRoundedFrame(ChartColor outside, int radius)
{
    m_frameOutside = outside;
    m_frameRadius = qMax(0, radius);
}

void XYChart::setPlotArea(int x, int y, int width, int height, ChartColor background, ChartColor alternate,
                          ChartColor edge, ChartColor horizontalGrid, ChartColor verticalGrid)
{
    m_plot = QRect(x, y, qMax(1, width), qMax(1, height));
    m_plotBackground = background;
    m_plotAlternate = alternate;
    m_plotEdge = edge;
    m_horizontalGrid = horizontalGrid;
    m_verticalGrid = verticalGrid;
}

TextBox &XYChart::addTitle(const QString &text, const QString &font, double size, ChartColor color,
                           ChartColor background, ChartColor edge)
{
    m_title.emplace(text, font, size, color);
    m_title->setBackground(background, edge);
    return *m_title;
}

LegendBox &XYChart::addLegend(int x, int y, int columns, const QString &font, double size)
{
    m_legend.emplace(x, y, columns, font, size);
    return *m_legend;
}

TextBox &XYChart::addText(int x, int y, const QString &text, const QString &font, double size,
                          ChartColor color, int alignment)
{
    QString fontName = font;
    const QString plain = TextBox::applyMarkup(text, fontName, size, color);
    m_texts.push_back(std::make_unique<PlacedText>(PlacedText{x, y, TextBox(plain, fontName, size, color)}));
    m_texts.back()->box.setAlignment(alignment);
    return m_texts.back()->box;
}

BarLayer &XYChart::addBarLayer(int depth)
{
    m_layers.push_back(std::make_unique<BarLayer>(depth));
    return static_cast<BarLayer &>(*m_layers.back());
}

BoxWhiskerLayer &XYChart::addBoxWhiskerLayer(const std::vector<double> &top,
                                             const std::vector<double> &bottom,
                                             const std::vector<double> &max, const std::vector<double> &min,
                                             const std::vector<double> &mid, ChartColor fill,
                                             ChartColor whisker, ChartColor edge)
{
    m_layers.push_back(std::make_unique<BoxWhiskerLayer>(top, bottom, max, min, mid, fill, whisker, edge));
    return static_cast<BoxWhiskerLayer &>(*m_layers.back());
}

double XYChart::depthBelowPlot() const
{
    const TextBox &labelStyle = m_xAxis.labelStyle();
    double labelHeight = 0;
    for (const QString &label : m_xAxis.labels())
        labelHeight = qMax(labelHeight, labelStyle.rotatedSize(label).height());
    double depth = kMinLabelDepth;
    if (labelHeight > 0)
        depth = qMax(depth, m_xAxis.width() + m_xAxis.tickLength() + kLabelGap + labelHeight);
    if (!m_xAxis.title().text().isEmpty())
        depth += kTitleGap + m_xAxis.title().textSize(m_xAxis.title().text()).height();
    return depth;
}

QRect XYChart::plotArea() const
{
    if (m_xAxis.labels().isEmpty() && m_xAxis.title().text().isEmpty())
        return m_plot;
    const int room = m_height - kBottomMargin - (m_plot.top() + m_plot.height());
    const int excess = int(std::ceil(depthBelowPlot())) - room;
    if (excess <= 0)
        return m_plot;
    QRect fitted = m_plot;
    fitted.setHeight(qMax(qMin(m_plot.height(), kMinPlotHeight), m_plot.height() - excess));
    return fitted;
}

int XYChart::categoryCount() const
{
    int count = int(m_xAxis.labels().size());
    for (const auto &layer : m_layers)
        count = qMax(count, layer->categoryCount());
    return qMax(1, count);
}

bool XYChart::showsYAxis2() const
{
    if (!m_yAxis2.title().text().isEmpty())
        return true;
    for (const auto &layer : m_layers) {
        if (layer->usesYAxis2())
            return true;
    }
    return false;
}

PlotFrame XYChart::frame() const
{
    double largest = 0;
    double largest2 = 0;
    for (const auto &layer : m_layers)
        (layer->usesYAxis2() ? largest2 : largest) =
            qMax(layer->usesYAxis2() ? largest2 : largest, layer->largestValue());
    const QRect plot = plotArea();
    for (Axis *axis : {&m_yAxis, &m_yAxis2})
        axis->fitScale(axis == &m_yAxis ? largest : largest2,
                       plot.height() - axis->marginTop() - axis->marginBottom());
    return {QRectF(plot), categoryCount(), &m_yAxis, &m_yAxis2};
}

void XYChart::paintGrid(QPainter &painter, const PlotFrame &frame) const
{
    const std::vector<double> ticks = m_yAxis.ticks();
    if (m_plotAlternate.isVisible()) {
        for (std::size_t i = 1; i < ticks.size(); i += 2) {
            const double y0 = frame.yOf(false, ticks[i - 1]);
            const double y1 = frame.yOf(false, ticks[i]);
            painter.fillRect(QRectF(QPointF(frame.plot.left(), y1), QPointF(frame.plot.right(), y0)),
                             m_plotAlternate.brush());
        }
    }
    if (m_horizontalGrid.isVisible()) {
        painter.setPen(m_horizontalGrid.pen(1));
        for (double tick : ticks) {
            const double y = qRound(frame.yOf(false, tick)) + 0.5;
            painter.drawLine(QPointF(frame.plot.left(), y), QPointF(frame.plot.right(), y));
        }
    }
    if (m_verticalGrid.isVisible()) {
        painter.setPen(m_verticalGrid.pen(1));
        const double offset = m_xAxis.tickOffset() > 0 ? 0 : 0.5;
        for (int i = 0; i <= frame.categories; ++i) {
            const double x = qRound(frame.categoryLeft(i) + offset * frame.categoryWidth()) + 0.5;
            if (x > frame.plot.left() + 1 && x < frame.plot.right() - 1)
                painter.drawLine(QPointF(x, frame.plot.top()), QPointF(x, frame.plot.bottom()));
        }
    }
}

void XYChart::paintAxes(QPainter &painter, const PlotFrame &frame) const
{
    const QRectF plot = frame.plot;
    const QPen black(Qt::black);
    // Category axis: ticks, labels under the categories, then the title under the labels.
    const int xTick = m_xAxis.tickLength();
    painter.setPen(black);
    if (xTick > 0) {
        const double offset = m_xAxis.tickOffset() > 0 ? 0 : 0.5;
        for (int i = 0; i <= frame.categories; ++i) {
            const double x = frame.categoryLeft(i) + offset * frame.categoryWidth();
            if (x <= plot.right() + 0.5)
                painter.drawLine(QPointF(x, plot.bottom()), QPointF(x, plot.bottom() + xTick));
        }
    }
    double labelDepth = 0;
    const TextBox &labelStyle = m_xAxis.labelStyle();
    const int rotated = labelStyle.fontAngle() != 0 ? TextBox::TopRight : TextBox::Top;
    for (int i = 0; i < m_xAxis.labels().size() && i < frame.categories; ++i) {
        const double x = frame.categoryLeft(i) + frame.categoryWidth() / 2;
        const QRectF box =
            labelStyle.paintAt(painter, m_xAxis.labels()[i],
                               QPointF(x, plot.bottom() + m_xAxis.width() + xTick + kLabelGap), rotated);
        labelDepth = qMax(labelDepth, box.bottom() - plot.bottom());
    }
    if (!m_xAxis.title().text().isEmpty())
        m_xAxis.title().paintAt(
            painter, m_xAxis.title().text(),
            QPointF(plot.center().x(), plot.bottom() + qMax(labelDepth, kMinLabelDepth) + kTitleGap),
            TextBox::Top);

    // Value axes: ticks with their numbers, the title turned along the axis.
    for (const Axis *axis : {&m_yAxis, &m_yAxis2}) {
        const bool right = axis == &m_yAxis2;
        if (right && !showsYAxis2())
            continue;
        const double x = right ? plot.right() : plot.left();
        const double direction = right ? 1 : -1;
        const double tickEnd = x + direction * (axis->width() / 2.0 + axis->tickLength());
        TextBox numbers(QString(), QString(), 8, ChartColor::kText);
        double widest = 0;
        for (double tick : axis->ticks()) {
            const double y = frame.yOf(right, tick);
            painter.setPen(black);
            painter.drawLine(QPointF(x, y), QPointF(tickEnd, y));
            const QRectF box =
                numbers.paintAt(painter, Axis::formatNumber(tick), QPointF(tickEnd + direction * 2, y),
                                right ? TextBox::Left : TextBox::Right);
            widest = qMax(widest, box.width());
        }
        if (!axis->title().text().isEmpty()) {
            TextBox title = axis->title();
            title.setFontAngle(right ? 270 : 90);
            title.paintAt(painter, title.text(),
                          QPointF(tickEnd + direction * (widest + 5), plot.center().y()),
                          right ? TextBox::Left : TextBox::Right);
        }
        painter.setPen(QPen(Qt::black, axis->width(), Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom() + m_xAxis.width() / 2.0));
    }
    painter.setPen(QPen(Qt::black, m_xAxis.width(), Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(QPointF(plot.left() - m_yAxis.width() / 2.0, plot.bottom()),
                     QPointF(plot.right(), plot.bottom()));
}

QImage XYChart::render() const
{
    QImage image(m_width, m_height, QImage::Format_ARGB32);
    image.fill(ChartColor(ChartColor::kBackground).color());
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    const QRect whole(0, 0, m_width, m_height);
    painter.fillRect(whole, m_background.brush());
    if (m_raised > 0) {
        // A 3-D border: light on the top and left edges, shade on the bottom and right.
        for (int i = 0; i < m_raised; ++i) {
            painter.setPen(QColor(255, 255, 255, 200));
            painter.drawLine(i, i, m_width - 1 - i, i);
            painter.drawLine(i, i, i, m_height - 1 - i);
            painter.setPen(QColor(0, 0, 0, 90));
            painter.drawLine(i, m_height - 1 - i, m_width - 1 - i, m_height - 1 - i);
            painter.drawLine(m_width - 1 - i, i, m_width - 1 - i, m_height - 1 - i);
        }
    }
    if (m_edge.isVisible()) {
        painter.setPen(m_edge.pen(1));
        painter.drawRect(whole.adjusted(0, 0, -1, -1));
    }

    const PlotFrame plotFrame = frame();
    const QRect plot = plotFrame.plot.toRect();
    painter.fillRect(plot, m_plotBackground.brush());
    paintGrid(painter, plotFrame);
    for (const auto &layer : m_layers)
        layer->paint(painter, plotFrame);
    if (m_plotEdge.isVisible()) {
        painter.setPen(m_plotEdge.pen(1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(plot.adjusted(0, 0, -1, -1));
    }
    paintAxes(painter, plotFrame);

    if (m_title) {
        const QSizeF size = m_title->textSize(m_title->text());
        const QRectF box(QPointF((m_width - size.width()) / 2 - 10, 4),
                         QSizeF(size.width() + 20, size.height() + 4));
        m_title->paintIn(painter, m_title->text(), box);
    }
    for (const auto &text : m_texts)
        text->box.paintAt(painter, text->box.text(), QPointF(text->x, text->y), text->box.alignment());
    if (m_legend) {
        std::vector<LegendKey> keys;
        for (const auto &layer : m_layers)
            layer->legendKeys(keys);
        m_legend->paint(painter, keys, QRectF(whole).adjusted(2, 2, -2, -2));
    }
    if (m_frameOutside) {
        QPainterPath outside;
        outside.addRect(whole);
        QPainterPath inside;
        inside.addRoundedRect(QRectF(whole), m_frameRadius, m_frameRadius);
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.fillPath(outside.subtracted(inside), m_frameOutside->brush());
    }
    return image;
}

QByteArray XYChart::encode(int format) const
{
    const char *name = format == Png ? "PNG" : format == Jpeg ? "JPEG" : format == Bmp ? "BMP" : nullptr;
    if (!name)
        return {};
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, name);
    if (format == Jpeg)
        writer.setQuality(90);
    // JPEG and BMP carry no transparency; the chart's background is opaque anyway.
    const QImage image = render();
    if (!writer.write(format == Png ? image : image.convertToFormat(QImage::Format_RGB32)))
        return {};
    return bytes;
}

std::vector<HotSpot> XYChart::imageMap(const QString &attributes) const
{
    const PlotFrame plotFrame = frame();
    std::vector<ChartMark> marks;
    for (const auto &layer : m_layers)
        layer->marks(plotFrame, marks);
    std::vector<HotSpot> spots;
    spots.reserve(marks.size());
    for (const ChartMark &mark : marks) {
        HotSpot spot =
            ImageMapHandler::parseAttributes(mark.attributes.isEmpty() ? attributes : mark.attributes);
        const auto fieldText = [&](const QStringList &texts) {
            return mark.category < texts.size() ? texts[mark.category] : QString();
        };
        for (QString *text : {&spot.title, &spot.path}) {
            for (std::size_t field = 0; field < m_extraFields.size(); ++field)
                text->replace(QStringLiteral("{field%1}").arg(field), fieldText(m_extraFields[field]));
            text->replace(QStringLiteral("{xLabel}"), fieldText(m_xAxis.labels()));
            text->replace(QStringLiteral("{dataSetName}"), mark.dataSetName);
            text->replace(QStringLiteral("{dataGroupName}"), QString());
            text->replace(QStringLiteral("{value}"), Axis::formatNumber(mark.value));
            text->replace(QStringLiteral("{max}"), Axis::formatNumber(mark.max));
            text->replace(QStringLiteral("{min}"), Axis::formatNumber(mark.min));
        }
        spot.rect = mark.rect;
        spots.push_back(std::move(spot));
    }
    return spots;
}
