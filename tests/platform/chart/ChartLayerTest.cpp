// The chart layer: colours, texts, the geometry of bars and box-whisker marks, the fitted scale, hot
// spots as data, the drawn pixels of each part, and the encoded output.
#include "platform/chart/XYChart.h"

#include <QBuffer>
#include <QFontMetrics>
#include <QImageReader>
#include <gtest/gtest.h>

namespace {

constexpr std::uint32_t kPlotTop = 0xB3C3D9;
constexpr std::uint32_t kPlotBottom = 0xDFE8F2;
const QString kBarLabel = QStringLiteral("(  1, 2,3)\n 64 bytes\nPair - 1");

// A page-like chart: 3 data sets over 4 categories and a maximum mark per category.
std::unique_ptr<XYChart> pageChart(int width = 800, int height = 280, double mark = 2500)
{
    auto chart = std::make_unique<XYChart>(width, height);
    chart->setBackground(ChartColor::linearGradient(0, 0, 0, height, 0xE1F3F6, 0xD2D6DF),
                         ChartColor::kTransparent, 1);
    chart->setRoundedFrame(0x00FF00, 10);
    chart->setPlotArea(70, 40, width - 150, height - 120,
                       ChartColor::linearGradient(70, 40, 60, height - 80, kPlotTop, kPlotBottom),
                       ChartColor::kNone, ChartColor::kTransparent, ChartColor::dashLine(0xAAAAAA, 0x0202),
                       ChartColor::dashLine(0xAAAAAA, 0x0202));
    TextBox &title = chart->addTitle(QStringLiteral("Tavrix-IGMP-TQ Mixed Class Mode"),
                                     QStringLiteral("timesbi.ttf"), 15, ChartColor::kText);
    title.setBackground(0xCAD3E1, 0x000000, ChartEffect::glassEffect(3, 8, 5));
    chart->xAxis().setTitle(QStringLiteral("Rx Ports"));
    chart->yAxis().setTitle(QStringLiteral("Rx Packets"));
    chart->yAxis().setTickDensity(12);
    chart->xAxis().setWidth(2);
    chart->yAxis().setWidth(2);
    chart->yAxis().setMargin(20);
    LegendBox &legend = chart->addLegend(width - 40, 50, 0, QStringLiteral("arialbi.ttf"), 8);
    legend.setAlignment(TextBox::Top);
    legend.setText(QStringLiteral("{dataGroupName} {dataSetName}"));
    BarLayer &bars = chart->addBarLayer(4);
    chart->xAxis().setTickOffset(0.5);
    chart->xAxis()
        .setLabels({kBarLabel, QStringLiteral("-"), kBarLabel, QStringLiteral("-")})
        .setFontAngle(30);
    bars.addDataSet({1488095, 1000, 1500, 0}, 0xFF8080, QStringLiteral("Total"));
    bars.addDataSet({500, 400, 300, 0}, 0xC20061, QStringLiteral("Multicast"));
    bars.addDataSet({2000, 100, 50, 0}, 0x3D9EFF, QStringLiteral("Unicast"));
    bars.setBorderColor(ChartColor::kTransparent, ChartEffect::softLighting(8, 4));
    BoxWhiskerLayer &marks =
        chart->addBoxWhiskerLayer({}, {}, {mark, mark, mark, mark}, {}, {}, ChartColor::kTransparent,
                                  0x00AA00, ChartColor::kTransparent);
    marks.setLineWidth(3);
    marks.setDataGap(0.1);
    marks.setHTMLImageMap(QStringLiteral("title='{max} save frame count'"));
    chart->addExtraField({kBarLabel, QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d")});
    return chart;
}

} // namespace

TEST(ChartColor, DecodesTheCallersValues)
{
    struct Case
    {
        std::uint32_t value;
        QColor expected;
    } cases[] = {
        {0xFF8080, QColor(0xFF, 0x80, 0x80)},
        {0x818181FF, QColor(0x81, 0x81, 0xFF, 255 - 0x81)}, // about half transparent
        {ChartColor::kTransparent, QColor(0, 0, 0, 0)},
        {ChartColor::kBackground, QColor(Qt::white)},
        {ChartColor::kText, QColor(Qt::black)},
        {ChartColor::kNone, QColor(0xFF, 0xFF, 0xFF, 0)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(ChartColor(c.value).color(), c.expected);
        EXPECT_EQ(ChartColor(c.value).isVisible(), c.expected.alpha() > 0);
    }
    EXPECT_EQ(ChartColor(-1).isVisible(), false);
    EXPECT_EQ(ChartColor::dashLine(0xAAAAAA, 0x0202).dashPattern(), (QVector<qreal>{2, 2}));
    EXPECT_EQ(ChartColor::dashLine(0xAAAAAA, 0x010305).dashPattern(), (QVector<qreal>{5, 3, 1, 1}));
    const QBrush gradient = ChartColor::linearGradient(0, 0, 0, 100, 0x102030, 0x405060).brush();
    ASSERT_NE(gradient.gradient(), nullptr);
    EXPECT_EQ(gradient.gradient()->stops().last().second, QColor(0x40, 0x50, 0x60));
}

TEST(ChartText, MarkupPrefixSetsFontSizeAndColour)
{
    QString font = QStringLiteral("arial.ttf");
    double size = 8;
    ChartColor color = ChartColor::kText;
    EXPECT_EQ(TextBox::applyMarkup(QStringLiteral("<*font=arialbd.ttf,size=10,color=FF0000*>%4d clients"),
                                   font, size, color),
              QStringLiteral("%4d clients"));
    EXPECT_EQ(font, QStringLiteral("arialbd.ttf"));
    EXPECT_EQ(size, 10);
    EXPECT_EQ(color.color(), QColor(0xFF, 0, 0));
    // Without a prefix (or with a broken one) the text and the settings stay as they are.
    for (const QString &plain : {QStringLiteral("   1 client"), QStringLiteral("<*size=10 no end")}) {
        EXPECT_EQ(TextBox::applyMarkup(plain, font, size, color), plain);
        EXPECT_EQ(size, 10);
    }
}

TEST(ChartText, FontFileNamesMapToFamiliesAndStyles)
{
    struct Case
    {
        const char *file;
        QFont::StyleHint hint;
        bool bold;
        bool italic;
    } cases[] = {
        {"timesbi.ttf", QFont::Serif, true, true},
        {"arialbi.ttf", QFont::SansSerif, true, true},
        {"arialbd.ttf", QFont::SansSerif, true, false},
        {"", QFont::SansSerif, false, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file);
        const QFont font = TextBox::fontOf(QString::fromLatin1(c.file), 15);
        EXPECT_EQ(font.styleHint(), c.hint);
        EXPECT_EQ(font.bold(), c.bold);
        EXPECT_EQ(font.italic(), c.italic);
        EXPECT_EQ(font.pixelSize(), 20);
    }
}

TEST(ChartAxis, NumbersAndFittedScale)
{
    EXPECT_EQ(Axis::formatNumber(1488095), QStringLiteral("1488095"));
    EXPECT_EQ(Axis::formatNumber(12.5), QStringLiteral("12.5"));
    EXPECT_EQ(Axis::formatNumber(0.1 + 0.2), QStringLiteral("0.3"));
    EXPECT_EQ(Axis::formatNumber(2.0 / 3), QStringLiteral("0.67"));

    Axis axis;
    axis.setTickDensity(12);
    axis.fitScale(1488095, 140); // 11 intervals at most
    EXPECT_GE(axis.upper(), 1488095);
    EXPECT_LE(axis.ticks().size(), 12u);
    EXPECT_EQ(axis.ticks().front(), 0);
    EXPECT_DOUBLE_EQ(axis.ticks().back(), axis.upper());
    axis.fitScale(0, 140); // nothing to show still gives a scale
    EXPECT_GT(axis.upper(), 0);
    axis.setLinearScale(0, 50, 10);
    axis.fitScale(1000, 140);
    EXPECT_EQ(axis.upper(), 50);
    EXPECT_EQ(axis.ticks(), (std::vector<double>{0, 10, 20, 30, 40, 50}));
}

TEST(ChartGeometry, SideBySideBarsLieInThePlotAreaInOrder)
{
    auto chart = pageChart();
    const PlotFrame frame = chart->frame();
    ASSERT_EQ(frame.categories, 4);
    const QRectF plot(chart->plotArea());
    BarLayer bars;
    bars.addDataSet({10, 20}, 0xFF0000);
    bars.addDataSet({30, 40}, 0x00FF00);
    bars.addDataSet({50, 60}, 0x0000FF);
    double lastRight = plot.left();
    for (int category = 0; category < 2; ++category) {
        for (int set = 0; set < 3; ++set) {
            const QRectF bar = bars.barRect(frame, set, category);
            EXPECT_TRUE(plot.contains(bar)) << category << ' ' << set;
            EXPECT_GE(bar.left(), lastRight);
            EXPECT_NEAR(bar.bottom(), plot.bottom(), 0.5);
            lastRight = bar.right();
        }
    }
    // The y scale covers the largest value, the marks included, below the top margin.
    EXPECT_GE(chart->yAxis().upper(), 1488095);
    EXPECT_GE(frame.yOf(false, 1488095), plot.top() + 20 - 0.5);
}

TEST(ChartGeometry, MaximumMarkSitsAtItsValueAcrossTheCategory)
{
    // The mark above every bar sets the scale.
    auto chart = pageChart(800, 280, 3000000);
    const PlotFrame frame = chart->frame();
    EXPECT_GE(chart->yAxis().upper(), 3000000);
    BoxWhiskerLayer marks({}, {}, {3000000}, {}, {}, ChartColor::kTransparent, 0x00AA00,
                          ChartColor::kTransparent);
    marks.setLineWidth(3);
    marks.setDataGap(0.1);
    const QRectF rect = marks.markRect(frame, 0);
    EXPECT_NEAR(rect.center().y(), frame.yOf(false, 3000000), 0.01);
    EXPECT_NEAR(rect.width(), frame.categoryWidth() * 0.9, 0.01);
    EXPECT_TRUE(marks.markRect(frame, 1).isEmpty());
}

TEST(ChartImageMap, HotSpotTitlesExpandTheirFields)
{
    auto chart = pageChart();
    const std::vector<HotSpot> spots =
        chart->imageMap(QStringLiteral("title='{field0}-{dataSetName}:{value}'"));
    // 4 categories x 3 data sets, then 4 marks.
    ASSERT_EQ(spots.size(), 16u);
    EXPECT_EQ(spots[0].title, QStringLiteral("(  1, 2,3)\n 64 bytes\nPair - 1-Total:1488095"));
    EXPECT_EQ(spots[4].title, QStringLiteral("b-Multicast:400"));
    EXPECT_EQ(spots[12].title, QStringLiteral("2500 save frame count"));
    EXPECT_TRUE(spots[0].path.isEmpty());
    // Bars lie in the plot area; a mark reaches a little above and below its value.
    const QRect plot = chart->plotArea();
    for (std::size_t i = 0; i < spots.size(); ++i) {
        const QRect rect = spots[i].rect;
        EXPECT_TRUE(i < 12 ? plot.adjusted(-1, -1, 1, 1).contains(rect)
                           : rect.left() >= plot.left() && rect.right() <= plot.right() + 1)
            << spots[i].title.toStdString();
    }

    // The live dialogs name the axis label; min marks their minimum.
    XYChart live(500, 300);
    live.setPlotArea(80, 40, 350, 200, 0xFFFFFF);
    live.xAxis().setLabels({QStringLiteral("(1,1,1)")});
    live.addBarLayer().addDataSet({12.5}, 0x818181FF, QStringLiteral("Throughput"));
    live.addBoxWhiskerLayer({}, {}, {}, {3.25})
        .setHTMLImageMap(QStringLiteral("title='Min. Latency : {min} ms.'"));
    const std::vector<HotSpot> liveSpots =
        live.imageMap(QStringLiteral("title='{xLabel}-{dataSetName}:{value}'"));
    ASSERT_EQ(liveSpots.size(), 2u);
    EXPECT_EQ(liveSpots[0].title, QStringLiteral("(1,1,1)-Throughput:12.5"));
    EXPECT_EQ(liveSpots[1].title, QStringLiteral("Min. Latency : 3.25 ms."));

    const ImageMapHandler handler(spots);
    EXPECT_EQ(handler.getHotSpot(spots[0].rect.center()), 1);
    EXPECT_EQ(handler.getHotSpot(spots[13].rect.center()), 14); // the mark lies over the low bars
    EXPECT_EQ(handler.getHotSpot(QPoint(1, 1)), 0);
    EXPECT_EQ(handler.hotSpot(0), nullptr);
    EXPECT_EQ(handler.hotSpot(17), nullptr);
}

TEST(ChartImage, DrawsBarsMarksAxesLegendAndFrame)
{
    auto chart = pageChart(800, 280, 1000000);
    const QImage image = chart->render();
    ASSERT_EQ(image.size(), QSize(800, 280));
    const PlotFrame frame = chart->frame();
    const auto rgb = [&](QPointF p) { return image.pixelColor(p.toPoint()).rgb() & 0xFFFFFF; };
    const auto near = [](QRgb a, QRgb b) {
        return qAbs(qRed(a) - qRed(b)) < 40 && qAbs(qGreen(a) - qGreen(b)) < 40 &&
               qAbs(qBlue(a) - qBlue(b)) < 40;
    };
    // The first bar (Total, 0xFF8080) low down, away from its lit edge.
    const std::vector<HotSpot> spots = chart->imageMap(QString());
    const QRect total = spots[0].rect;
    EXPECT_TRUE(near(rgb(QPointF(total.center().x(), total.bottom() - 5)), 0xFF8080))
        << std::hex << rgb(QPointF(total.center().x(), total.bottom() - 5));
    // The maximum mark of category 1, green, above its low bars.
    const double markY = frame.yOf(false, 1000000);
    EXPECT_EQ(rgb(QPointF(frame.categoryLeft(1) + frame.categoryWidth() * 0.5 + 1, markY)), 0x00AA00u);
    // Axis lines are black; the plot is filled with its gradient.
    EXPECT_EQ(rgb(QPointF(70, 120)), 0u);
    EXPECT_EQ(rgb(QPointF(300, frame.plot.bottom())), 0u);
    EXPECT_TRUE(near(rgb(QPointF(690, 45)), kPlotTop) || near(rgb(QPointF(690, 45)), 0xAAAAAA));
    // Legend keys right of the plot: the Total swatch is there somewhere near (760, 50).
    bool swatch = false;
    for (int y = 50; y < 80 && !swatch; ++y) {
        for (int x = 722; x < 800 && !swatch; ++x)
            swatch = rgb(QPointF(x, y)) == 0xFF8080u;
    }
    EXPECT_TRUE(swatch);
    // The rounded frame paints the corners outside it; the middle of an edge is the chart's.
    EXPECT_EQ(rgb(QPointF(0, 0)), 0x00FF00u);
    EXPECT_EQ(rgb(QPointF(799, 279)), 0x00FF00u);
    EXPECT_NE(rgb(QPointF(400, 279)), 0x00FF00u);
}

// Three-line category labels at 30 degrees in a 280-pixel chart: the plot gives way so that the
// labels and the x-axis title under them stay inside the chart, in either language.
TEST(ChartImage, AxisTitleFitsUnderTurnedLabels)
{
    struct Case
    {
        QString label;
        QString title;
    };
    for (const Case &c :
         {Case{kBarLabel, QStringLiteral("Rx Ports")},
          Case{QStringLiteral("(  1, 2,3)\n 1518 字节\n测试对 - 12"), QStringLiteral("接收端口")}}) {
        // The title's ink: the chart with the title less the chart with blanks of the same size.
        auto image = [&](const QString &title) {
            auto chart = pageChart(800, 280);
            chart->xAxis().setLabels({c.label, c.label, c.label, c.label});
            chart->xAxis().setTitle(title);
            return chart->render();
        };
        const QImage titled = image(c.title);
        const QImage blank = image(QString(c.title.size(), QLatin1Char(' ')));
        QRect ink;
        for (int y = 0; y < titled.height(); ++y) {
            for (int x = 0; x < titled.width(); ++x) {
                if (titled.pixel(x, y) != blank.pixel(x, y))
                    ink |= QRect(x, y, 1, 1);
            }
        }
        ASSERT_FALSE(ink.isEmpty()) << c.title.toStdString();
        EXPECT_LT(ink.bottom(), 280 - 2) << c.title.toStdString();
        // Whole: as tall as the font draws it.
        auto chart = pageChart(800, 280);
        chart->xAxis().setTitle(c.title);
        EXPECT_GE(ink.height(), QFontMetrics(chart->xAxis().title().font()).ascent() / 2)
            << c.title.toStdString();
    }
}

TEST(ChartImage, EncodesPngJpegAndBmpOfItsSize)
{
    auto chart = pageChart();
    for (int format : {XYChart::Png, XYChart::Jpeg, XYChart::Bmp}) {
        SCOPED_TRACE(format);
        QByteArray bytes = chart->encode(format);
        ASSERT_FALSE(bytes.isEmpty());
        QBuffer buffer(&bytes);
        QImageReader reader(&buffer);
        EXPECT_EQ(reader.format(), format == XYChart::Png ? "png" : format == XYChart::Jpeg ? "jpeg" : "bmp");
        EXPECT_EQ(reader.read().size(), QSize(800, 280));
    }
    EXPECT_TRUE(chart->encode(7).isEmpty());
}
