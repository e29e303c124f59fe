// Each result page after a run against the simulated chassis and device, in simulated time and in both
// languages: the runner's steps around the test's procedure, then the grid's cells and the chart's data.
#include "ResultPageFixture.h"
#include "common/SimulatorProcedureTest.h"
#include "common/TestFiles.h"
#include "engine/LatencyRates.h"
#include "reports/ReportAggregate.h"
#include "reports/ReportFilter.h"
#include "reports/ReportLatency.h"
#include "reports/ReportMixClass.h"
#include "run/TestReportDlg.h"

#include <QRegularExpression>
#include <algorithm>

namespace {

class ResultPagesEndToEnd : public SimulatorProcedureTest, public testing::WithParamInterface<const char *>
{
protected:
    // Pair 1: source (2,1); hosts (2,2), (2,3) and the unicast port (2,4); 2-second trials at rates
    // from 100 % down to 10 %, in the language of the parameter.
    void SetUp() override
    {
        installEngineHooks();
        EngineHost &host = EngineHost::instance();
        host.testerNameSource = [] { return QStringLiteral("Tester A"); };
        host.dutNameSource = [] { return QStringLiteral("Switch B"); };
        g_LangMag.SetLangFile(sourceLanguageFile(QString::fromLatin1(GetParam())));
        ASSERT_NO_FATAL_FAILURE(startSimulator({}));

        planPairOne({1, 2, 3}, UnicastPort::Record3);
        plan.TestDuration = 2;
        plan.InitialRate = 100;
        plan.MinRate = 10;
        plan.MaxRate = 100;
        plan.Resolution = 1;
        report.resize(1000, 700);
    }

    static QString text(const char *key) { return g_LangMag.GetString(QString::fromLatin1(key)); }

    // What the runners do before the procedure: the page laid out for the plan's frame size, its
    // records built and the chart set up, row 12 next.
    template <typename Page, typename AddRecord>
    void prepareRun(Page &page, TestIndex test, std::uint32_t first, std::uint32_t last, AddRecord addRecord)
    {
        page.Viewer->SetUpdateInterval(0);
        layOut(&page);
        buildRunnerSteps(page, run, plan, test, {plan.FrameSize}, first, last, addRecord);
        page.InitChartViewPort();
        run.ReportRow = ReportPage::kFirstResultRow;
        run.FrameSizeIndex = 0;
        page.SetCell(ReportPage::kFrameSizeRow, page.ValueColumn, QString::number(plan.FrameSize));
    }

    // The header in the language of the run, with the end time after the start.
    void expectHeader(const ReportPage &page, const char *titleKey)
    {
        EXPECT_EQ(page.Cell(0, 0), text(titleKey));
        EXPECT_EQ(page.Cell(2, 0), text("ResultPage_Tester_Name"));
        EXPECT_EQ(page.Cell(2, page.ValueColumn), "Tester A");
        EXPECT_EQ(page.Cell(6, page.ValueColumn), "64");
        static const QRegularExpression interval(QStringLiteral(
            "^\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d -\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d$"));
        EXPECT_TRUE(interval.match(page.Cell(ReportPage::kTestIntervalRow, page.ValueColumn)).hasMatch());
    }

    // The chart on show: every bar labelled, its values drawn.
    static void expectChart(const ReportPage &page, const std::vector<double> &values)
    {
        ASSERT_NE(page.Viewer->GetChart(), nullptr);
        EXPECT_EQ(page.Viewer->GetChart()->xAxis().labels(), page.BarLabels);
        EXPECT_EQ(values.size(), std::size_t(page.BarCount));
        EXPECT_TRUE(std::all_of(values.begin(), values.end(), [](double value) { return value > 0; }));
        EXPECT_FALSE(page.ChartBusy);
        EXPECT_FALSE(page.MakeChartImageData().isEmpty());
    }
};

} // namespace

TEST_P(ResultPagesEndToEnd, MixedClassPageShowsThePassingRateAndTheRates)
{
    CReportMixClass &page = *report.MixClassPage;
    prepareRun(page, TestMixClass, 0, 0,
               [](CReportMixClass &p, std::uint16_t frame, std::uint8_t pair, std::uint32_t hosts,
                  std::uint32_t) { p.Records.emplace_back(frame, pair, hosts); });
    ASSERT_TRUE(report.PerformMixedClassTest()) << logText();
    page.StampTestTime();

    expectHeader(page, "ResultPage_Grid_Title_Mix_Class");
    EXPECT_EQ(page.Cell(ReportPage::kRateRow, page.ValueColumn), "100.00");
    EXPECT_EQ(page.Cell(12, CReportMixClass::kPassedRateColumn), "100.00") << logText();
    EXPECT_EQ(page.Cell(12, 5), "239.1.1.1");
    expectChart(page, page.TotalData);
    // The unicast port's marker stands at the full load, the others' at half of it.
    ASSERT_EQ(page.ExpectedData.size(), 3u);
    EXPECT_NEAR(page.ExpectedData[2], 2 * page.ExpectedData[0], 1.0);
    EXPECT_GT(page.UnicastData[2], 0.0);
    EXPECT_TRUE(page.BarLabels[0].contains(text("ResultPage_Label_Mix_Class").section(' ', 2, 2)));
}

TEST_P(ResultPagesEndToEnd, AggregatePageShowsEachCountsRate)
{
    plan.TestType = TestAggregate;
    plan.InitialClients = 1;
    plan.MaxClients = 2;
    CReportAggregate &page = *report.AggregatePage;
    prepareRun(page, TestAggregate, 1, 2,
               [](ReportCountPage &p, std::uint16_t frame, std::uint8_t pair, std::uint32_t hosts,
                  std::uint32_t count) { p.Records.emplace_back(frame, pair, hosts, count); });
    ASSERT_TRUE(report.PerformAggregateTest()) << logText();
    page.StampTestTime();

    expectHeader(page, "ResultPage_Grid_Title_Aggregate");
    EXPECT_EQ(page.Cell(12, ReportCountPage::kPassedRateColumn), "100.00") << logText();
    EXPECT_EQ(page.Cell(13, ReportCountPage::kPassedRateColumn), "100.00");
    ASSERT_EQ(page.BarCount, 6);
    // One client: the first host of the pair receives; two clients: the first two.
    EXPECT_GT(page.MeasuredData[0], 0.0);
    EXPECT_EQ(page.MeasuredData[1], 0.0);
    EXPECT_GT(page.MeasuredData[4], 0.0);
    EXPECT_EQ(page.ExpectedData[0], page.ExpectedData[5]);
    ASSERT_NE(page.Viewer->GetChart(), nullptr);
    EXPECT_EQ(page.Viewer->GetChart()->xAxis().labels(), page.BarLabels);
}

TEST_P(ResultPagesEndToEnd, LatencyPageShowsTheLatencyOfEveryRate)
{
    plan.TestType = TestLatency;
    // Rates 10, 50 and 90: the step in MinRate, the end rate in MaxRate.
    plan.InitialRate = 10;
    plan.MinRate = 40;
    plan.MaxRate = 90;
    CReportLatency &page = *report.LatencyPage;
    std::vector<double> rates;
    forEachRate(plan.InitialRate, plan.MinRate, plan.MaxRate, [&rates](std::uint32_t, double rate) {
        rates.push_back(rate);
        return true;
    });
    prepareRun(
        page, TestLatency, 0, std::uint32_t(rates.size() - 1),
        [&rates](CReportLatency &p, std::uint16_t frame, std::uint8_t pair, std::uint32_t hosts,
                 std::uint32_t index) { p.Records.emplace_back(frame, pair, hosts, rates[index], index); });
    for (std::uint32_t index = 0; index < rates.size(); ++index) {
        page.CurrentRate = rates[index];
        page.CurrentStep = index;
        for (UtTestPort &host : plan.HostPorts)
            host.LatencyMin = host.LatencyMax = host.LatencySum = host.LatencyCount = 0;
        ASSERT_TRUE(report.PerformLatencyTest(rates[index])) << logText();
    }
    page.StampTestTime();

    expectHeader(page, "ResultPage_Grid_Title_Latency");
    ASSERT_EQ(page.Grid->GetRowCount(), 12 + 3 * 3);
    for (int row = 12; row < 21; ++row) {
        EXPECT_EQ(page.Cell(row, CReportLatency::kMeasuredColumn).split('/').size(), 3) << row;
        EXPECT_FALSE(page.Cell(row, CReportLatency::kCompensatedColumn).isEmpty()) << row;
    }
    EXPECT_EQ(page.Cell(15, 1), "50.00");
    expectChart(page, page.AvgCtData);
    EXPECT_TRUE(
        std::all_of(page.MaxData.begin(), page.MaxData.end(), [](double value) { return value > 0; }));
    const std::vector<HotSpot> spots = page.Viewer->GetChart()->imageMap(QString());
    EXPECT_TRUE(std::any_of(spots.begin(), spots.end(),
                            [](const HotSpot &spot) { return spot.title.contains(" us."); }));
}

TEST_P(ResultPagesEndToEnd, FilterPageShowsEachGroupsVerdictAndCounts)
{
    plan.TestType = TestSourceFilter;
    plan.IgmpVersion = 3;
    plan.InitialRate = plan.MinRate = plan.MaxRate = 50;
    plan.DelayAfterJoin = 1;
    filterGroups = {"239.2.2.2"};
    filterHosts = {{"(  1, 2,2) - QM-M13", {{"239.2.2.2", 1, {"192.168.2.1"}}}},
                   {"(  1, 2,3) - QM-M13", {{"239.2.2.2", 1, {"192.168.2.1"}}}},
                   {"(  1, 2,4) - QM-M13", {{"239.2.2.2", 1, {"192.168.2.1"}}}}};
    CReportFilter &page = *report.FilterPage;
    page.Viewer->SetUpdateInterval(0);
    page.FillReportGrid();
    for (std::uint32_t group = 0; group < 1; ++group) {
        page.Records.emplace_back(plan.FrameSize, group, std::uint32_t(plan.HostPorts.size()));
        page.AddGroupRow(group);
    }
    page.ReceiverTotal = std::uint32_t(plan.HostPorts.size());
    page.InitChartViewPort();
    ASSERT_TRUE(report.PerformSourceFilterTest()) << logText();
    page.StampTestTime();

    expectHeader(page, "ResultPage_Grid_Title_Filter");
    EXPECT_EQ(page.Cell(12, CReportFilter::kVerdictColumn), "Pass") << logText();
    EXPECT_EQ(page.Cell(12, 1), "239.2.2.2");
    expectChart(page, page.MulticastData);
    EXPECT_EQ(page.ReferenceData[0], page.ReferenceData[2]);
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, ResultPagesEndToEnd, testing::Values("LangEng.lng", "LangChs.lng"),
                         [](const testing::TestParamInfo<const char *> &info) {
                             return std::string(info.param).substr(0, 7);
                         });
