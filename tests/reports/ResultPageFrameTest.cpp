// The frame every result page shares, on the Mixed Class page: the view of at most ten bars and the
// scroll bar that moves it, the forward-only view of the running step, the zoom toggles, the axis labels
// of a view, the test-time stamp, the cells the grid refuses and the layout.
#include "ResultPageFixture.h"
#include "controls/grid/UGCtrl.h"
#include "controls/widgets/ButtonST.h"
#include "ports/PortCheckGrid.h"
#include "reports/ChartSettingOpener.h"
#include "reports/ReportMixClass.h"

#include <QApplication>
#include <QGroupBox>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTimer>
#include <QtTest>

namespace {

class ResultPageFrameTest : public ResultPageFixture
{
protected:
    void SetUp() override
    {
        ResultPageFixture::SetUp();
        prepare(page, plan);
    }

    // Entries of `bars` bars: pairs 1 and 2 take turns, each with the given host count.
    void makeBars(int entries, std::uint16_t hostsPerPair)
    {
        for (std::uint8_t n = 1; n <= 2; ++n)
            plan.TestPairs[n - 1].num_of_destmember = hostsPerPair;
        for (int i = 0; i < entries; ++i) {
            const auto pair = std::uint8_t(1 + i % 2);
            run.PairFrameLists[TestMixClass].push_back({pair, 64, 1});
            page.Records.emplace_back(64, pair, hostsPerPair);
        }
    }

    double left() const { return page.Viewer->getViewPortLeft(); }
    double width() const { return page.Viewer->getViewPortWidth(); }

    CReportMixClass page;
};

} // namespace

TEST_F(ResultPageFrameTest, ViewShowsTenBarsAtMostAndTheScrollBarTheRest)
{
    struct Case
    {
        int entries;
        std::uint16_t hosts;
        double width;
        bool scrollable;
    };
    // 25 bars, 10 bars, and no bar at all (no pair in use): the whole empty chart, no NaN.
    const Case cases[] = {{25, 1, 0.4, true}, {5, 2, 1.0, false}, {0, 1, 1.0, false}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.entries * c.hosts);
        run.PairFrameLists[TestMixClass].clear();
        page.Records.clear();
        makeBars(c.entries, c.hosts);
        page.InitChartViewPort();
        EXPECT_EQ(page.BarCount, c.entries * c.hosts);
        EXPECT_DOUBLE_EQ(width(), c.width);
        EXPECT_EQ(left(), 0.0);
        EXPECT_FALSE(page.ChartBusy);
        EXPECT_EQ(page.ScrollBar->isEnabled(), c.scrollable);
        ASSERT_NE(page.Viewer->GetChart(), nullptr);
        EXPECT_EQ(page.Viewer->GetChart()->xAxis().labels().size(), qMin(10, c.entries * c.hosts));
    }
    // The last case's chart is empty; the 25-bar one's scroll bar: a page of 40 % and steps of a tenth.
    run.PairFrameLists[TestMixClass].clear();
    page.Records.clear();
    makeBars(25, 1);
    page.InitChartViewPort();
    const int pageStep = int(std::ceil(0.4 * ReportPage::kScrollRange));
    EXPECT_EQ(page.ScrollBar->pageStep(), pageStep);
    EXPECT_EQ(page.ScrollBar->maximum(), ReportPage::kScrollRange - pageStep);
    EXPECT_EQ(page.ScrollBar->singleStep(), pageStep / 10);
}

TEST_F(ResultPageFrameTest, ScrollViewPortMovesForwardToTheStepOnly)
{
    makeBars(6, 2); // N = 12
    page.ReceiverTotal = 4;
    page.InitChartViewPort();
    page.ScrollViewPort(0);
    EXPECT_EQ(left(), 0.0);
    page.ScrollViewPort(1); // bars 4 to 7 are in view already
    EXPECT_EQ(left(), 0.0);
    // Step 2 sets the left edge to 8/12; the viewer keeps the ten bars inside the chart: 2/12.
    page.ScrollViewPort(2);
    EXPECT_DOUBLE_EQ(left(), 2.0 / 12);
    page.ScrollViewPort(3);
    EXPECT_DOUBLE_EQ(left(), 2.0 / 12) << "bars 2 to 11 show step 3 already";
    page.ScrollViewPort(1);
    EXPECT_DOUBLE_EQ(left(), 2.0 / 12) << "never backward";
}

TEST_F(ResultPageFrameTest, ScrollBarMovesTheViewOnceTheChartIsSetUp)
{
    makeBars(25, 1);
    page.ScrollBar->setRange(0, ReportPage::kScrollRange);
    page.ScrollBar->setValue(ReportPage::kScrollRange / 2);
    EXPECT_EQ(left(), 0.0) << "before the first run the scroll bar does nothing";

    page.InitChartViewPort();
    page.ScrollBar->setValue(page.ScrollBar->maximum());
    EXPECT_NEAR(left(), 0.6, 1e-6);
    // The chart shows bars 15 to 24.
    const QStringList labels = page.Viewer->GetChart()->xAxis().labels();
    ASSERT_EQ(labels.size(), 10);
    EXPECT_EQ(labels.front(), page.BarLabels[15]);

    // A procedure's redraw holds the lock: the user's scrolling waits.
    page.ChartBusy = true;
    page.ScrollBar->setValue(0);
    EXPECT_NEAR(left(), 0.6, 1e-6);
}

TEST_F(ResultPageFrameTest, AxisLabelsEveryBarInViewAndEveryThirdOfTheWhole)
{
    makeBars(25, 1);
    page.InitChartViewPort();
    EXPECT_FALSE(page.Viewer->GetChart()->xAxis().labels().contains("-"));
    // Zoomed out to all 25 bars: trunc(2.5 + 0.8) = 3.
    page.Viewer->setViewPortWidth(1.0);
    page.UpdateViewPort();
    const QStringList labels = page.Viewer->GetChart()->xAxis().labels();
    ASSERT_EQ(labels.size(), 25);
    for (int bar = 0; bar < 25; ++bar)
        EXPECT_EQ(labels[bar] == "-", bar % 3 != 0) << bar;
    // The report pictures show every bar with the same step.
    EXPECT_EQ(page.MakeChartImage(900).height(), 280);
    EXPECT_FALSE(page.MakeChartImageData().isEmpty());
}

TEST_F(ResultPageFrameTest, ZoomTogglesExcludeEachOther)
{
    page.show();
    QTest::mouseClick(page.ZoomOut, Qt::LeftButton);
    EXPECT_EQ(page.Viewer->GetMouseUsage(), ChartViewer::MouseUsageZoomOut);
    QTest::mouseClick(page.ZoomIn, Qt::LeftButton);
    EXPECT_EQ(page.ZoomIn->GetCheck(), 1);
    EXPECT_EQ(page.ZoomOut->GetCheck(), 0);
    EXPECT_EQ(page.Viewer->GetMouseUsage(), ChartViewer::MouseUsageZoomIn);
    QTest::mouseClick(page.ZoomIn, Qt::LeftButton);
    EXPECT_EQ(page.Viewer->GetMouseUsage(), ChartViewer::MouseUsageDefault);
}

TEST_F(ResultPageFrameTest, LayoutFromTheGroupBox)
{
    page.show();
    page.resize(1000, 500);
    EXPECT_EQ(page.GroupBox->geometry(), QRect(0, 0, 1000, 500));
    EXPECT_EQ(page.ZoomIn->geometry(), QRect(805, 10, 95, 24));
    EXPECT_EQ(page.ZoomOut->geometry(), QRect(902, 10, 95, 24));
    EXPECT_EQ(page.ScrollBar->geometry(), QRect(3, 12, 800, 20));
    EXPECT_EQ(page.Viewer->geometry(), QRect(3, 35, 994, 300));
    EXPECT_EQ(page.ChartPlaceholder->geometry(), page.Viewer->geometry());
    EXPECT_EQ(page.Grid->geometry(), QRect(0, 336, 1000, 164));
    EXPECT_TRUE(page.SettingButton->isHidden());
    EXPECT_TRUE(page.RedrawButton->isHidden());
    EXPECT_TRUE(page.PairSel->isHidden());
}

TEST_F(ResultPageFrameTest, StampTestTimeAppendsTheEndAfterTheDash)
{
    addPair(1, 1);
    page.FrameRows = {{100, 10, 100, 1, 64}};
    page.FillReportGrid();
    const QString start = page.Cell(ReportPage::kTestIntervalRow, page.ValueColumn);
    static const QRegularExpression stamp(QStringLiteral("^\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d"));
    EXPECT_TRUE(start.endsWith(" -"));
    page.StampTestTime();
    const QString interval = page.Cell(ReportPage::kTestIntervalRow, page.ValueColumn);
    ASSERT_TRUE(interval.startsWith(start));
    EXPECT_TRUE(stamp.match(interval.mid(start.size())).hasMatch()) << interval.toStdString();
    EXPECT_EQ(interval.size(), start.size() + 19);
}

TEST_F(ResultPageFrameTest, CellsOutsideTheGridAreNeitherWrittenNorGrown)
{
    addPair(1, 1);
    page.FrameRows = {{100, 10, 100, 1, 64}};
    page.FillReportGrid();
    ASSERT_EQ(page.Grid->GetRowCount(), 13);
    page.SetCell(13, 6, "99.00");
    page.SetCell(12, 7, "99.00");
    EXPECT_EQ(page.Grid->GetRowCount(), 13);
    EXPECT_EQ(page.Grid->GetColumnCount(), 7);
    EXPECT_EQ(page.Cell(13, 6), "");
    page.SetCell(12, CReportMixClass::kPassedRateColumn, "99.00");
    EXPECT_EQ(page.Cell(12, CReportMixClass::kPassedRateColumn), "99.00");
}

TEST_F(ResultPageFrameTest, SettingOpensTheChartSettingDialogWithItsPageAsTheOpener)
{
    std::array<std::uint8_t, 5> whileOpen{};
    QTimer::singleShot(0, [&whileOpen] {
        whileOpen = ChartSettingOpener::Bytes();
        if (QWidget *dialog = QApplication::activeModalWidget())
            dialog->close();
    });
    page.OnSetting();
    EXPECT_EQ(whileOpen, (std::array<std::uint8_t, 5>{1, 0, 0, 0, 0}));
    EXPECT_EQ(ChartSettingOpener::OpeningPage(), ChartSettingOpener::kNone);
}
