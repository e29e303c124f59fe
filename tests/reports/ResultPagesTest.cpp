// What each result page makes of a run: its grid's header and table, the records it fills from the
// tested ports' counters (only those of the step under test), the chart series and bar labels.
#include "ResultPageFixture.h"
#include "controls/grid/UGCtrl.h"
#include "engine/EngineUtils.h"
#include "engine/LatencyRates.h"
#include "ports/PortCheckGrid.h"
#include "reports/ReportAggregate.h"
#include "reports/ReportFilter.h"
#include "reports/ReportLatency.h"
#include "reports/ReportMixClass.h"
#include "reports/ReportScale.h"

namespace {

// The rows a joined cell spans, [first, last]; the cell alone when it is not joined.
std::pair<int, int> joinedRows(CUGCtrl *grid, int col, int row)
{
    int lastCol = col;
    int lastRow = row;
    if (grid->FindJoinedBlock(&col, &row, &lastCol, &lastRow) != 0)
        return {row, row};
    return {row, lastRow};
}

class ResultPagesTest : public ResultPageFixture
{
protected:
    template <typename Page, typename AddRecord>
    void buildSteps(Page &page, TestIndex test, const std::vector<std::uint16_t> &frames, std::uint32_t first,
                    std::uint32_t last, AddRecord addRecord)
    {
        buildRunnerSteps(page, run, plan, test, frames, first, last, addRecord);
    }

    static std::vector<UtCustomFrame> rowsOf(const std::vector<std::uint16_t> &frames)
    {
        std::vector<UtCustomFrame> rows;
        for (const std::uint16_t frame : frames)
            rows.push_back({100, 10, 100, 1, frame});
        return rows;
    }

    // What every host received during the trial.
    void receive(std::uint64_t total, std::uint64_t unicast, std::uint64_t multicast)
    {
        for (UtTestPort &host : plan.HostPorts) {
            host.RxTotal = total;
            host.RxUnicast = unicast;
            host.RxMulticast = multicast;
        }
    }
};

} // namespace

TEST_F(ResultPagesTest, MixedClassGridHasABlockOfSourceRowsPerFrameSize)
{
    for (std::uint8_t n = 1; n <= 3; ++n)
        addPair(n, 1);
    CReportMixClass page;
    prepare(page, plan);
    page.FrameRows = rowsOf({64, 128});
    page.FillReportGrid();

    ASSERT_EQ(page.Grid->GetRowCount(), 18);
    ASSERT_EQ(page.Grid->GetColumnCount(), 7);
    EXPECT_EQ(page.Cell(0, 0), "Tavrix-IGMP-TQ Mixed Class Mode Test Result");
    const std::pair<const char *, const char *> header[] = {
        {"Tester Name:", "Tester A"}, {"Device Name:", "Switch B"}, {"Testing Interval:", nullptr},
        {"Test Time:", "10 Secs"},    {"Frame Size:", "64"},        {"Load Rate%:", "0"}};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(page.Cell(2 + i, 0), header[i].first);
        if (header[i].second) {
            EXPECT_EQ(page.Cell(2 + i, 3), header[i].second);
        }
    }
    EXPECT_EQ(page.ValueColumn, 3);
    EXPECT_EQ(page.Cell(9, 0), "Summary");
    EXPECT_EQ(page.Cell(11, 6), "Last Pass Rate(%)");
    // Two blocks of three rows; columns 0, 1, 2 and 6 joined over each.
    for (const int first : {12, 15}) {
        for (const int col : {0, 1, 2, 6})
            EXPECT_EQ(joinedRows(page.Grid, col, first + 1), std::make_pair(first, first + 2))
                << first << col;
        EXPECT_EQ(page.Cell(first, 0), first == 12 ? "64" : "128");
        EXPECT_EQ(page.Cell(first, 1), "1.00");
        EXPECT_EQ(page.Cell(first, 2), "V2");
        EXPECT_EQ(page.Cell(first, 6), "NA");
    }
    EXPECT_EQ(page.Cell(13, 3), "2");
    EXPECT_EQ(page.Cell(13, 4), "(1,3,1)");
    EXPECT_EQ(page.Cell(13, 5), "239.0.0.2");
}

TEST_F(ResultPagesTest, MixedClassCollectsTheFrameSizeUnderTestAndMarksTheUnicastPort)
{
    addPair(1, 2);
    addPair(2, 1);
    // Pair 1's unicast port is its second host.
    plan.TestPairs[0].UniCid = 1;
    plan.TestPairs[0].UniBid = 2;
    plan.TestPairs[0].UniPid = 3;
    CReportMixClass page;
    prepare(page, plan);
    buildSteps(page, TestMixClass, {64, 128}, 0, 0,
               [](CReportMixClass &p, std::uint16_t frame, std::uint8_t pair, std::uint32_t hosts,
                  std::uint32_t) { p.Records.emplace_back(frame, pair, hosts); });
    page.InitChartViewPort();
    EXPECT_EQ(page.BarCount, 6);
    EXPECT_EQ(page.BarLabels[1], "(  1, 2,3)\n 64 bytes\nPair - 1");
    EXPECT_EQ(page.BarLabels[5], "(  1, 3,2)\n 128 bytes\nPair - 2");

    plan.ChartScale = 1000;
    plan.MaxRate = 50;
    receive(1000, 300, 700);
    page.CollectResults();
    page.BuildChartArrays();
    EXPECT_EQ(page.TotalData, (std::vector<double>{100, 100, 100, 0, 0, 0}));
    EXPECT_EQ(page.UnicastData, (std::vector<double>{30, 30, 30, 0, 0, 0}));
    EXPECT_EQ(page.MulticastData, (std::vector<double>{70, 70, 70, 0, 0, 0}));
    EXPECT_EQ(page.ExpectedData, (std::vector<double>{250, 500, 250, 0, 0, 0}));

    // The next frame size fills its own records and leaves the first ones as they were.
    plan.FrameSize = 128;
    receive(2000, 0, 2000);
    page.CollectResults();
    page.BuildChartArrays();
    EXPECT_EQ(page.TotalData, (std::vector<double>{100, 100, 100, 200, 200, 200}));
    // The chart on show has the three sets and the markers' tool tips.
    page.UpdateViewPort();
    ASSERT_NE(page.Viewer->GetChart(), nullptr);
    EXPECT_EQ(page.Viewer->GetChart()->xAxis().labels(), page.BarLabels);
    ASSERT_NE(page.Viewer->GetImageMapHandler(), nullptr);
}

TEST_F(ResultPagesTest, AggregateAndScaleHaveARecordPerCountAndPair)
{
    addPair(1, 3);
    addPair(2, 2);
    for (const bool scale : {false, true}) {
        SCOPED_TRACE(scale);
        CReportAggregate aggregate;
        CReportScale scalePage;
        ReportCountPage &page = scale ? static_cast<ReportCountPage &>(scalePage) : aggregate;
        prepare(page, plan);
        plan.InitialClients = 1;
        plan.MaxClients = 2;
        plan.InitialGroups = 1;
        plan.MaxGroups = 2;
        page.FrameRows = rowsOf({64});
        page.FillReportGrid();
        // Two sources, one frame size, two counts.
        ASSERT_EQ(page.Grid->GetRowCount(), 16);
        EXPECT_EQ(page.ValueColumn, 4);
        EXPECT_EQ(page.Cell(11, 3), scale ? "Group Number" : "Client Number");
        EXPECT_EQ(page.Cell(11, 6), scale ? "Initial Group Address" : "Group Address");
        // At least the page's width, wider where the column's title needs it.
        EXPECT_GE(page.Grid->GetColumnWidth(0), scale ? 150 : 100);
        EXPECT_EQ(joinedRows(page.Grid, 0, 15), std::make_pair(12, 15));
        EXPECT_EQ(page.Cell(12, 3), "1");
        EXPECT_EQ(page.Cell(14, 3), "2");
        EXPECT_EQ(joinedRows(page.Grid, 7, 15), std::make_pair(14, 15));
        EXPECT_EQ(page.Cell(14, ReportCountPage::kPassedRateColumn), "NA");
        EXPECT_EQ(page.Cell(15, 5), "(1,3,1)");

        buildSteps(page, scale ? TestScale : TestAggregate, {64}, 1, 2,
                   [](ReportCountPage &p, std::uint16_t frame, std::uint8_t pair, std::uint32_t hosts,
                      std::uint32_t count) { p.Records.emplace_back(frame, pair, hosts, count); });
        ASSERT_EQ(page.Records.size(), 4u);
        page.InitChartViewPort();
        EXPECT_EQ(page.BarCount, 10);
        EXPECT_EQ(page.ReceiverTotal, 5u);
        EXPECT_EQ(page.BarLabels[5],
                  scale ? "(  1, 2,2)\n 64 bytes\nP-1/G-2" : "(  1, 2,2)\n 64 bytes\nP-1/C-2");

        // A trial of the second count fills that count's records only.
        plan.ChartScale = 2000;
        plan.MaxRate = 100;
        receive(500, 0, 500);
        page.CurrentCount = 2;
        page.CollectResults();
        page.BuildChartArrays();
        EXPECT_EQ(page.MeasuredData, (std::vector<double>{0, 0, 0, 0, 0, 50, 50, 50, 50, 50}));
        EXPECT_EQ(page.ExpectedData[9], 2000.0);
        EXPECT_EQ(page.ExpectedData[4], 0.0);
    }
}

// Group counts above 255 keep their own records: the count is not cut to a byte.
TEST_F(ResultPagesTest, ScaleMatchesGroupCountsAboveOneByte)
{
    addPair(1, 1);
    CReportScale page;
    prepare(page, plan);
    plan.InitialGroups = 44;
    plan.MaxGroups = 300;
    buildSteps(page, TestScale, {64}, 44, 300,
               [](ReportCountPage &p, std::uint16_t frame, std::uint8_t pair, std::uint32_t hosts,
                  std::uint32_t count) { p.Records.emplace_back(frame, pair, hosts, count); });
    page.InitChartViewPort();
    receive(100, 0, 100);
    page.CurrentCount = 300;
    page.CollectResults();
    EXPECT_EQ(page.Records.back().RxRate[0], 10u);
    EXPECT_EQ(page.Records[0].RxRate[0], 0u) << "count 44 is not 300 cut to a byte";
    EXPECT_EQ(page.BarLabels.back(), "(  1, 2,2)\n 64 bytes\nP-1/G-300");
}

TEST_F(ResultPagesTest, LatencyRecordsMeetTheirStepByIndex)
{
    addPair(1, 2);
    addPair(2, 2);
    CReportLatency page;
    prepare(page, plan);
    // Rates 10, 10.1 and 10.2: the step sums never equal the listed rates exactly.
    plan.InitialRate = 10;
    plan.MinRate = 0.1;
    plan.MaxRate = 10.2;
    page.FrameRows = {{plan.InitialRate, plan.MinRate, plan.MaxRate, 0, 64}};
    page.FillReportGrid();
    ASSERT_EQ(page.Grid->GetRowCount(), 24);
    EXPECT_EQ(page.ValueColumn, 5);
    EXPECT_EQ(page.Cell(16, 1), "10.10");
    EXPECT_EQ(joinedRows(page.Grid, 1, 17), std::make_pair(16, 19));
    EXPECT_EQ(joinedRows(page.Grid, 0, 23), std::make_pair(12, 23));
    EXPECT_EQ(page.Cell(14, 2), "(1,3,2)");
    EXPECT_EQ(page.Cell(14, 3), "2");
    EXPECT_EQ(page.Cell(14, 4), "(1,3,1)");
    EXPECT_EQ(page.Cell(14, 5), "239.0.0.2");
    EXPECT_EQ(page.Cell(11, 7), "CT (Max/Min/Avg)");

    run.PairFrameLists[TestLatency].clear();
    forEachRate(plan.InitialRate, plan.MinRate, plan.MaxRate, [&](std::uint32_t index, double rate) {
        for (std::uint8_t n = 1; n <= 2; ++n) {
            run.PairFrameLists[TestLatency].push_back({n, 64, 1});
            page.Records.emplace_back(64, n, 2, rate, index);
        }
        return true;
    });
    ASSERT_EQ(page.Records.size(), 6u);
    page.InitChartViewPort();
    EXPECT_EQ(page.BarCount, 12);
    EXPECT_EQ(page.BarLabels[4], "(  1, 2,2)\n 64 / Pair 1\n10.10%");

    // The second rate: (2,2) measured 4 us twice, (2,3) has no sample, pair 2's first host averages
    // 0.1 us, below its module's own latency.
    UtTestPort *first = hostsOf(1)[0];
    first->LatencyMax = first->LatencyMin = 4;
    first->LatencySum = 8;
    first->LatencyCount = 2;
    UtTestPort *slow = hostsOf(2)[0];
    slow->LatencyMax = slow->LatencyMin = slow->LatencySum = 0.1;
    slow->LatencyCount = 1;
    page.CurrentRate = 10 + 0.1; // not the listed rate to the last bit
    page.CurrentStep = 1;
    page.CollectResults();
    page.BuildChartArrays();
    EXPECT_EQ(page.Records[2].AvgLatency, (std::vector<double>{4, 0}));
    EXPECT_EQ(page.Records[0].MaxLatency, (std::vector<double>{0, 0})) << "another rate";
    EXPECT_EQ(plan.ChartScale, 4u);
    EXPECT_EQ(page.AvgCtData[4], 4.0);
    EXPECT_EQ(page.AvgSfData[4], CReportLatency::TwoDecimals(CompensatedLatency(*first, 4)));
    EXPECT_EQ(page.AvgCtData[6], 0.1);
    EXPECT_EQ(page.AvgSfData[6], 0.0) << "never below 0";

    page.UpdateViewPort();
    const std::vector<HotSpot> spots = page.Viewer->GetChart()->imageMap(QString());
    EXPECT_TRUE(std::any_of(spots.begin(), spots.end(), [](const HotSpot &spot) {
        return spot.title.startsWith("Max. Latency : 4 us.");
    }));
    EXPECT_TRUE(std::none_of(spots.begin(), spots.end(),
                             [](const HotSpot &spot) { return spot.title.contains("ms."); }));
}

// Each frame-size row runs from its own initial rate to its own end rate by the test's step: its block
// has those rates, and a row without any has no block.
TEST_F(ResultPagesTest, LatencyGridHasTheRatesOfEachRow)
{
    addPair(1, 1);
    CReportLatency page;
    prepare(page, plan);
    plan.MinRate = 10;
    page.FrameRows = {{10, 10, 20, 0, 64}, {40, 10, 30, 0, 128}, {50, 10, 70, 0, 256}};
    page.FillReportGrid();
    ASSERT_EQ(page.Grid->GetRowCount(), 12 + 5);
    EXPECT_EQ(page.Cell(12, 0), "64");
    EXPECT_EQ(page.Cell(14, 0), "256");
    EXPECT_EQ(joinedRows(page.Grid, 0, 16), std::make_pair(14, 16));
    const QStringList rates = {"10.00", "20.00", "50.00", "60.00", "70.00"};
    for (int step = 0; step < rates.size(); ++step) {
        EXPECT_EQ(page.ResultRow(std::uint32_t(step), 0), 12 + step);
        EXPECT_EQ(page.Cell(12 + step, 1), rates[step]);
    }
}

TEST(ResultPagesLatency, TwoDecimalsRoundHalfUp)
{
    const std::pair<double, double> cases[] = {{12.344, 12.34}, {12.346, 12.35}, {0, 0}, {3.999, 4.0}};
    for (const auto &[value, shown] : cases)
        EXPECT_DOUBLE_EQ(CReportLatency::TwoDecimals(value), shown) << value;
}

TEST_F(ResultPagesTest, FilterGridHasABlockOfHostRowsPerGroup)
{
    addPair(1, 2);
    CReportFilter page;
    prepare(page, plan);
    groups = {"225.0.0.1", "225.0.0.2", "225.0.0.3"};
    page.FillReportGrid();
    ASSERT_EQ(page.Grid->GetRowCount(), 18);
    EXPECT_EQ(page.ValueColumn, 3);
    EXPECT_EQ(page.Cell(0, 0), "Tavrix-IGMP-TQ IGMP V3 Source Filter Test Result");
    EXPECT_EQ(page.Cell(16, 0), "3");
    EXPECT_EQ(joinedRows(page.Grid, 0, 17), std::make_pair(16, 17));
    EXPECT_EQ(page.Cell(16, 1), "225.0.0.3");
    EXPECT_EQ(page.Cell(16, 2), "1");
    EXPECT_EQ(page.Cell(16, 3), "V2");
    EXPECT_EQ(page.Cell(17, 4), "(  1, 2,3)");
    EXPECT_EQ(page.Cell(16, CReportFilter::kVerdictColumn), "N/A");

    // A second run with one group: nothing of the first is left.
    groups = {"225.0.0.9"};
    page.FillReportGrid();
    ASSERT_EQ(page.Grid->GetRowCount(), 14);
    EXPECT_EQ(page.Cell(12, 1), "225.0.0.9");
    page.Grid->SetRowCount(18);
    EXPECT_EQ(page.Cell(16, 0), "");
}

TEST(ResultPagesFilter, RxPortTextCutsTheLabelBeforeItsDash)
{
    const std::pair<const char *, const char *> cases[] = {
        {"(  1, 2,3) - QM-M13", "(  1, 2,3)"}, {"(  1, 2,3)", "(  1, 2,3)"}, {"-(1,2,3)", "-(1,2,3)"}};
    for (const auto &[label, text] : cases)
        EXPECT_EQ(CReportFilter::RxPortText(label), text) << label;
}

TEST_F(ResultPagesTest, FilterBarsAreTheHostsOfEachGroup)
{
    addPair(1, 3);
    CReportFilter page;
    prepare(page, plan);
    groups = {"225.0.0.1", "225.0.0.2"};
    page.FillReportGrid();
    for (std::uint32_t group = 0; group < 2; ++group) {
        page.Records.emplace_back(64, group, 3);
        page.AddGroupRow(group);
    }
    EXPECT_EQ(page.PairSel->GetRowCount(), 0) << "the selector's row lies past its end";
    page.InitChartViewPort();
    ASSERT_EQ(page.BarCount, 6);
    EXPECT_EQ(page.BarsInView, 6.0);
    EXPECT_EQ(page.BarLabels[1], "(  1, 2,3)\n 64 bytes\n G-225.0.0.1");

    // Group 1's measurement: the reference is what the source sends at the load during the test.
    plan.MaxRate = 50;
    plan.ChartScale = 1000;
    receive(900, 0, 800);
    page.CollectResults(1);
    page.BuildChartArrays();
    EXPECT_EQ(page.TotalData, (std::vector<double>{0, 0, 0, 900, 900, 900}));
    EXPECT_EQ(page.MulticastData[5], 800.0);
    EXPECT_EQ(page.ReferenceData[5], 5000.0);
    EXPECT_EQ(page.Records[0].RxTotal, (std::vector<std::uint64_t>{0, 0, 0}));
}
