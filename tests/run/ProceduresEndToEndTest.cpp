// The procedures after Mixed Class against the simulated chassis and device, in simulated time: each
// benchmark recovers what the device is configured to do.
#include "common/PdfReadBack.h"
#include "common/SimulatorProcedureTest.h"
#include "common/XlsReadBack.h"
#include "controls/grid/UGCtrl.h"
#include "controls/widgets/SkinListCtrl.h"
#include "engine/EngineHost.h"
#include "engine/IGMPTestPlan.h"
#include "engine/RunState.h"
#include "engine/Session.h"
#include "kvserver/KvServer.h"
#include "ports/ModuleInfodlg.h"
#include "reports/CounterLog.h"
#include "reports/ReportAggregate.h"
#include "reports/ReportFilter.h"
#include "reports/ReportLatency.h"
#include "reports/ReportSources.h"
#include "run/TestReportDlg.h"
#include "testpages/DlgCapacity.h"
#include "testpages/DlgJoinLeave.h"

#include <QLabel>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>

namespace {

class ProceduresEndToEnd : public SimulatorProcedureTest
{
protected:
    // Pair 1: source (2,1); hosts (2,2) and (2,3); more ports by record index.
    void start(SimConfig config = {}, const std::vector<std::uint8_t> &hosts = {1, 2})
    {
        ASSERT_NO_FATAL_FAILURE(startEngineOnSimulator(std::move(config)));
        planPairOne(hosts);
    }

    // Source Filter with the sources (2,1) and (3,1) and the hosts (2,2) and (2,3).
    void setUpSourceFilter(const QStringList &groups, std::vector<UtFilterHost> hosts)
    {
        UtPortRecord &second = g_Session.Ports[4]; // (3,1)
        second.SourcePair = 2;
        second.StreamNumber = 100; // the Source Filter test counts every source in one stream
        plan.SourcePorts.push_back(testPortOf(4));
        filterGroups = groups;
        filterHosts = std::move(hosts);
        plan.TestType = TestSourceFilter;
        plan.IgmpVersion = 3;
        plan.InitialRate = 10;
        plan.DelayAfterJoin = 1;
        plan.TestDuration = 1;
        // The page as the runner leaves it: the grid, one record per group, the chart's bars.
        CReportFilter &page = *report.FilterPage;
        layOut(&page);
        page.Records.clear();
        const auto hostCount = std::uint32_t(plan.HostPorts.size());
        for (std::uint32_t group = 0; group < std::uint32_t(groups.size()); ++group)
            page.Records.emplace_back(plan.FrameSize, group, hostCount);
        page.ReceiverTotal = hostCount;
        page.InitChartViewPort();
    }

    // The address of a port record, as the filter settings write it.
    static QString addressOf(std::size_t record)
    {
        std::uint8_t bytes[4];
        std::memcpy(bytes, &g_Session.Ports[record].IPAddress, 4);
        return QString::asprintf("%d.%d.%d.%d", bytes[0], bytes[1], bytes[2], bytes[3]);
    }

    static std::uint32_t hostOrderAddressOf(std::size_t record)
    {
        std::uint8_t bytes[4];
        std::memcpy(bytes, &g_Session.Ports[record].IPAddress, 4);
        return std::uint32_t(bytes[0]) << 24 | std::uint32_t(bytes[1]) << 16 | std::uint32_t(bytes[2]) << 8 |
               bytes[3];
    }

    // Both reports of the run, read back; the module window is made when a writer first asks for it, as
    // the main frame makes it when it has none.
    struct Exported
    {
        QJsonObject xls;
        PdfReadBack pdf;
    };
    Exported exportReports()
    {
        std::unique_ptr<CModuleInfodlg> modules;
        ReportSources::instance().moduleInfoWindow = [&modules](QWidget *) {
            if (!modules)
                modules = std::make_unique<CModuleInfodlg>();
            return modules.get();
        };
        QTemporaryDir folder;
        const QString xls = folder.filePath(QStringLiteral("report.xls"));
        const QString pdf = folder.filePath(QStringLiteral("report.pdf"));
        EXPECT_TRUE(report.CounterPage->SaveExcelReport(xls));
        EXPECT_TRUE(report.CounterPage->SavePdfReport(pdf));
        ReportSources::instance().moduleInfoWindow = nullptr;

        return {readXlsBack(xls), readPdfBack(pdf)};
    }
};

} // namespace

// A device that forwards 64-byte multicast at 60 % of line rate: both searches settle just below it.
TEST_F(ProceduresEndToEnd, AggregateAndScaleFindTheForwardingLimit)
{
    SimConfig config;
    config.device.smallFrameForwardingPercent = 60;
    start(config);
    plan.InitialRate = 100;
    plan.MinRate = 10;
    plan.MaxRate = 100;
    plan.Resolution = 2;

    plan.TestType = TestAggregate;
    plan.InitialClients = 1;
    plan.MaxClients = 2;
    layOut(report.AggregatePage);
    ASSERT_TRUE(report.PerformAggregateTest()) << logText();
    ASSERT_EQ(report.Results.Counters[UtResultSet::Aggregate].size(), 2u);
    for (const int row : {12, 13}) {
        const double passed = report.AggregatePage->Cell(row, CReportAggregate::kPassedRateColumn).toDouble();
        EXPECT_LE(passed, 60.0);
        EXPECT_GE(passed, 60.0 - plan.Resolution) << logText();
    }

    log.clear();
    plan.TestType = TestScale;
    plan.InitialGroups = 2;
    plan.MaxGroups = 2;
    ASSERT_TRUE(report.PerformScaleGroupTest()) << logText();
    const QList<double> passed = passedRates();
    ASSERT_FALSE(passed.isEmpty()) << logText();
    const double best = *std::max_element(passed.begin(), passed.end());
    EXPECT_LE(best, 60.0);
    EXPECT_GE(best, 60.0 - plan.Resolution) << logText();
}

// The compensated latency is the device's own at each rate: its base latency, the frame's serialisation
// and its queueing, which grows with the load. No rate's figures hold a latency of the rate before.
TEST_F(ProceduresEndToEnd, LatencyReportsTheDeviceLatencyAtEveryRate)
{
    SimConfig config;
    config.device.baseLatency = 3'000'000;      // 3 us
    config.device.queueingLatency = 20'000'000; // 20 us at full load, in proportion to the load squared
    start(config);
    plan.TestType = TestLatency;
    plan.TestDuration = 2;
    const auto deviceUs = [](double rate) {
        return 3.0 + 68 * 8 / 1000.0 + 20 * (rate / 100) * (rate / 100); // 64 bytes and the check sequence
    };
    // Rates 10, 50 and 90: the step in MinRate, the end rate in MaxRate.
    plan.InitialRate = 10;
    plan.MinRate = 40;
    plan.MaxRate = 90;
    layOut(report.LatencyPage);
    int row = 12;
    report.LatencyPage->CurrentStep = 0;
    // Falling, as a frame size's first rate follows the last of the size before: a figure left from the
    // rate before would stand above this rate's own.
    for (const double rate : {90.0, 50.0, 10.0}) {
        SCOPED_TRACE(rate);
        for (UtTestPort &host : plan.HostPorts)
            host.LatencyMin = host.LatencyMax = host.LatencySum = host.LatencyCount = 0;
        ASSERT_TRUE(report.PerformLatencyTest(rate)) << logText();
        ++report.LatencyPage->CurrentStep;
        for (std::size_t h = 0; h < plan.HostPorts.size(); ++h, ++row) {
            const QStringList values =
                report.LatencyPage->Cell(row, CReportLatency::kCompensatedColumn).split('/');
            ASSERT_EQ(values.size(), 3) << logText();
            for (const QString &value : values)
                EXPECT_NEAR(value.toDouble(), deviceUs(rate), 0.1);
        }
    }
}

// A table of 20 groups: the capacity is 20, and the leaves go out for the count that failed.
TEST_F(ProceduresEndToEnd, CapacityFindsTheGroupTableSize)
{
    SimConfig config;
    config.device.groupTableSize = 20;
    start(config);
    CDlgCapacity page;
    // (2,4) watches: it joins nothing and must receive nothing.
    UtTestPort monitor = testPortOf(3);
    monitor.Monitor = 1;
    plan.HostPorts.push_back(monitor);
    plan.TestType = TestCapacity;
    plan.InitialGroups = 10;
    plan.GroupStep = 5;
    plan.MaxGroups = 40;
    ASSERT_TRUE(report.PerformCapacityTest(64)) << logText();
    EXPECT_EQ(page.CapacityLabel->text(), "20") << logText();
    EXPECT_TRUE(log.contains("============     Number of  Group 25  Leave in trail - 1 ===========\n"));
    EXPECT_TRUE(log.contains("* (  1, 2,4)       --      0\t\t==>Mornitor Port\n")) << logText();
}

TEST_F(ProceduresEndToEnd, JoinLeaveMeasuresTheConfiguredDelays)
{
    SimConfig config;
    config.device.joinDelay = 3'000'000'000;  // 3 ms
    config.device.leaveDelay = 2'000'000'000; // 2 ms
    start(config);
    CDlgJoinLeave page;
    plan.TestType = TestJoinLeave;
    plan.MeasureFlags = 3;
    plan.CurrentRate = 10;
    plan.TestDuration = 3;
    plan.DelayAfterStart = 1;
    plan.NumberOfTrials = 2;
    ASSERT_TRUE(report.PerformJoinLeaveDelayTest()) << logText();
    const auto average = [](const QLabel *label) { return label->text().chopped(3).toDouble(); };
    EXPECT_NEAR(average(page.JoinAverageLabel), 3.0, 0.011) << logText();
    EXPECT_NEAR(average(page.LeaveAverageLabel), 2.0, 0.011) << logText();
    EXPECT_EQ(log.filter("* Average Join Group Delay").size(), 2);
}

// Two sources to one group; (2,2) admits only (2,1), (2,3) excludes it. A device without source filtering
// forwards both sources to both hosts.
TEST_F(ProceduresEndToEnd, SourceFilterVerdictFollowsTheDevice)
{
    for (const bool filtering : {true, false}) {
        SCOPED_TRACE(filtering);
        SimConfig config;
        config.device.sourceFiltering = filtering;
        report.Results.ClearResultRecord();
        start(config);
        setUpSourceFilter({"239.2.2.2"}, {{"(  1, 2,2) - QM-M13", {{"239.2.2.2", 1, {"192.168.2.1"}}}},
                                          {"(  1, 2,3) - QM-M13", {{"239.2.2.2", 2, {"192.168.2.1"}}}}});
        ASSERT_TRUE(report.PerformSourceFilterTest()) << logText();
        ASSERT_EQ(report.Results.Filter.size(), 1u);
        EXPECT_EQ(report.Results.Filter[0].Texts.front(),
                  filtering ? "Group 239.2.2.2 Test Result: Pass" : "Group 239.2.2.2 Test Result: Failed")
            << logText();
        EXPECT_EQ(report.FilterPage->Cell(12, CReportFilter::kVerdictColumn), filtering ? "Pass" : "Fail");
        stopSimulator();
    }
}

namespace {

// The sheet with this text at (row, column), or an empty object.
QJsonObject sheetWithCell(const QJsonObject &book, int row, int column, const QString &text)
{
    for (const QJsonValue &sheet : book[QStringLiteral("sheets")].toArray()) {
        if (xlsCell(sheet.toObject(), row, column).at(3).toString() == text)
            return sheet.toObject();
    }
    return {};
}

// The words of the PDF on the line of the first word with this text (same page, overlapping heights).
QStringList pdfLineOf(const PdfReadBack &pdf, const QString &text)
{
    const PdfWord *anchor = pdf.find(text);
    QStringList line;
    for (const PdfWord &word : pdf.Words) {
        if (anchor && word.Page == anchor->Page && word.Top < anchor->Bottom && word.Bottom > anchor->Top)
            line << word.Text;
    }
    return line;
}

} // namespace

// Three trials, and the device drops the source (2,1) in the second only. The group that needs (2,1)
// fails for good: the grid, the log and both reports say so; its counts are those of the last trial.
// Each trial's block on the counter page gives that trial's own verdict. The group that needs only
// (3,1) passes every trial.
TEST_F(ProceduresEndToEnd, SourceFilterGroupPassesOnlyWhenItPassedEveryTrial)
{
    start();
    const QString first = addressOf(0);
    const QString second = addressOf(4);
    setUpSourceFilter({"239.2.2.2", "239.2.2.3"},
                      {{"(  1, 2,2) - QM-M13", {{"239.2.2.2", 1, {first}}, {"239.2.2.3", 1, {second}}}},
                       {"(  1, 2,3) - QM-M13", {{"239.2.2.2", 2, {first}}, {"239.2.2.3", 1, {second}}}}});
    plan.NumberOfTrials = 3;
    const std::uint32_t dropped = hostOrderAddressOf(0);
    EngineHost::instance().appendLog = [this, dropped](const QString &text) {
        log << text;
        if (text.contains(QStringLiteral("Test Trail - 2,")))
            server->setSourceDropped(dropped, true);
        else if (text.contains(QStringLiteral("Test Trail - 3,")))
            server->setSourceDropped(dropped, false);
    };
    ASSERT_TRUE(report.PerformSourceFilterTest()) << logText();

    // One block per (trial, group) on the counter page, with the trial's own verdict in its last row.
    const QString pass = QStringLiteral("Pass");
    const QString failed = QStringLiteral("Failed");
    const QStringList verdicts{pass, pass, failed, pass, pass, pass};
    ASSERT_EQ(report.Results.Filter.size(), std::size_t(verdicts.size()));
    for (int block = 0; block < verdicts.size(); ++block) {
        SCOPED_TRACE(block);
        const UtV3FilterCounterResult &result = report.Results.Filter[std::size_t(block)];
        const QString line =
            QStringLiteral("Group %1 Test Result: %2")
                .arg(block % 2 == 0 ? QStringLiteral("239.2.2.2") : QStringLiteral("239.2.2.3"),
                     verdicts[block]);
        EXPECT_EQ(result.Texts.front(), line) << logText();
        EXPECT_EQ(report.CounterPage->List->GetItemText(int(result.LastRow), 0), line);
        EXPECT_EQ(report.CounterPage->RowColor(int(result.LastRow)),
                  verdicts[block] == pass ? CTestReportDlg::kPassColor : CTestReportDlg::kFailColor);
        // A block lists its own trial's failures only.
        EXPECT_EQ(result.Texts.size() > 1, verdicts[block] == failed) << result.Texts.join("").toStdString();
    }
    EXPECT_TRUE(report.Results.Filter[2].Texts.join("").contains(" failed due to multicast packet loss"));
    // The log's verdicts cover the trials so far.
    EXPECT_EQ(log.count(QStringLiteral("Pass!\n")), 4) << logText();
    EXPECT_EQ(log.count(QStringLiteral("* Group 239.2.2.2 failed in trial 2 \n")), 1) << logText();

    // Group 1 owns rows 12 and 13, group 2 rows 14 and 15; nothing is written past them.
    const CReportFilter &page = *report.FilterPage;
    EXPECT_EQ(page.Cell(12, CReportFilter::kVerdictColumn), "Fail");
    EXPECT_EQ(page.Cell(14, CReportFilter::kVerdictColumn), "Pass");
    EXPECT_EQ(page.Grid->GetRowCount(), 16);
    // The last trial's counts in group 1: (2,2) got all of (2,1) again, (2,3) all of (3,1).
    const std::uint64_t sent = plan.SourcePorts[0].TxFrames;
    ASSERT_GT(sent, 0u);
    EXPECT_EQ(std::uint64_t{page.Records[0].RxMulticast[0]}, sent); // a packed record: read by value
    EXPECT_EQ(std::uint64_t{page.Records[0].RxMulticast[1]}, std::uint64_t{plan.SourcePorts[1].TxFrames});
    EXPECT_EQ(page.MulticastData[0], double(sent));

    const Exported reports = exportReports();
    const QJsonObject sheet = sheetWithCell(reports.xls, ReportPage::kColumnTitleRow,
                                            CReportFilter::kVerdictColumn, QStringLiteral("Test Result"));
    EXPECT_EQ(xlsCell(sheet, 12, CReportFilter::kVerdictColumn).at(3).toString(), "Fail");
    EXPECT_EQ(xlsCell(sheet, 14, CReportFilter::kVerdictColumn).at(3).toString(), "Pass");
    EXPECT_TRUE(pdfLineOf(reports.pdf, QStringLiteral("239.2.2.2")).contains(QStringLiteral("Fail")));
    EXPECT_FALSE(pdfLineOf(reports.pdf, QStringLiteral("239.2.2.2")).contains(QStringLiteral("Pass")));
    EXPECT_TRUE(pdfLineOf(reports.pdf, QStringLiteral("239.2.2.3")).contains(QStringLiteral("Pass")));
}

// Join/Leave, then Source Filter on the same group in one run: the sources of Join/Leave joined the
// group too, and left it, so the source port receives nothing of the other source's traffic.
TEST_F(ProceduresEndToEnd, JoinLeaveLeavesEveryMembershipBeforeTheNextTest)
{
    start();
    CDlgJoinLeave page;
    plan.TestType = TestJoinLeave;
    plan.IgmpVersion = 3;
    plan.MeasureFlags = 3;
    plan.CurrentRate = 10;
    plan.TestDuration = 3;
    plan.DelayAfterStart = 1;
    ASSERT_TRUE(report.PerformJoinLeaveDelayTest()) << logText();

    const QString first = addressOf(0);
    const QString second = addressOf(4);
    setUpSourceFilter({"239.1.1.1"}, {{"(  1, 2,2) - QM-M13", {{"239.1.1.1", 1, {first, second}}}},
                                      {"(  1, 2,3) - QM-M13", {{"239.1.1.1", 1, {first, second}}}}});
    ASSERT_TRUE(report.PerformSourceFilterTest()) << logText();
    EXPECT_EQ(report.Results.Filter.back().Texts.front(), "Group 239.1.1.1 Test Result: Pass") << logText();
    const int source = LookupPortIndex(1, g_Session.PortIndex, 2, 1);
    ASSERT_GE(source, 0);
    EXPECT_GT(std::uint64_t{plan.SourcePorts[1].TxFrames}, 0u);
    EXPECT_EQ(std::uint64_t{g_Session.PortStates[std::size_t(source)].RxCountA}, 0u) << logText();
}

// The reports after a run, with no module window opened before: the controller's row of slot 1 is the
// chassis' own in both, and no module's model or serial turns up in another row.
TEST_F(ProceduresEndToEnd, ReportsShowTheChassisAsItReportsItself)
{
    start();
    setUpSourceFilter({"239.2.2.2"}, {{"(  1, 2,2) - QM-M13", {{"239.2.2.2", 1, {addressOf(0)}}}}});
    ASSERT_TRUE(report.PerformSourceFilterTest()) << logText();

    const Exported reports = exportReports();
    const QJsonArray sheets = reports.xls[QStringLiteral("sheets")].toArray();
    ASSERT_FALSE(sheets.isEmpty());
    const QJsonObject chassis = sheets[0].toObject();
    EXPECT_EQ(xlsCell(chassis, 1, 0).at(3).toString(), "1");
    EXPECT_EQ(xlsCell(chassis, 1, 1).at(3).toString(), "QM-C4");
    EXPECT_EQ(xlsCell(chassis, 1, 7).at(3).toString(), "CB1001");
    EXPECT_EQ(xlsCell(chassis, 4, 7).at(3).toString(), "SN0010401");
    EXPECT_TRUE(pdfLineOf(reports.pdf, QStringLiteral("CB1001")).contains(QStringLiteral("QM-C4")));
    EXPECT_EQ(std::count_if(reports.pdf.Words.begin(), reports.pdf.Words.end(),
                            [](const PdfWord &word) { return word.Text == QStringLiteral("SN0010401"); }),
              1);
}
