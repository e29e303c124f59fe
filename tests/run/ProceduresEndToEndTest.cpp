// The procedures after Mixed Class against the simulated chassis and device, in simulated time: each
// benchmark recovers what the device is configured to do.
#include "common/EnglishTexts.h"
#include "engine/SimulatedTimeClock.h"
#include "engine/SimulatorConnection.h"
#include "engine/TestPlanPorts.h"
#include "engine/RunState.h"
#include "engine/EngineHost.h"
#include "engine/IGMPTestPlan.h"
#include "engine/Session.h"
#include "run/TestReportDlg.h"
#include "kvserver/KvServer.h"
#include "reports/ReportAggregate.h"
#include "reports/ReportFilter.h"
#include "reports/ReportLatency.h"
#include "testpages/DlgCapacity.h"
#include "testpages/DlgJoinLeave.h"

#include <QLabel>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <memory>

namespace {

class ProceduresEndToEnd : public testing::Test
{
protected:
    // Pair 1: source (2,1); hosts (2,2) and (2,3); more ports by record index.
    void start(SimConfig config = {}, std::vector<std::uint8_t> hosts = {1, 2})
    {
        g_Session.resetTables();
        EngineHost &host = EngineHost::instance();
        host.reset();
        host.demoMode = [] { return false; };
        host.appendLog = [this](const QString &text) { log << text; };
        host.setStatusText = [](const QString &) {};
        english.install();
        host.filterGroupTexts = [this] { return filterGroups; };
        host.filterAddressSettings = [this] { return filterHosts; };
        config.timeScale = 0;
        ASSERT_NO_FATAL_FAILURE(startLockedSimulator(server, config, &clock));

        plan.TestPairs.push_back(
            {1, 1, std::uint16_t(hosts.size()), 1, 2, 1, 0, {239, 1, 1, 1}, 1, 0xFFFF, 0xFF, 0xFF});
        plan.PairSelected[0] = 1;
        std::vector<std::uint8_t> ports = {0};
        ports.insert(ports.end(), hosts.begin(), hosts.end());
        addPairOnePorts(plan, ports);
        for (UtTestPort &port : plan.HostPorts)
            port.Flag = 0;
        plan.IgmpVersion = 2;
        plan.V3ReportSize = 540;
        plan.FrameSize = 64;
        plan.TestDuration = 1;
        plan.NumberOfTrials = 1;
        plan.DelayAfterJoin = 0;
        report.SetPlan(&plan);
        run.ReportRow = 12;
    }

    void TearDown() override
    {
        clock.server = nullptr;
        disconnectFromSimulator(server);
    }

    // The rates that passed, in order.
    QList<double> passedRates() const
    {
        QList<double> rates;
        const QRegularExpression pass(QStringLiteral("^\\* Current rate ([0-9.]+), Pass!"));
        for (const QString &line : log) {
            const auto match = pass.match(line);
            if (match.hasMatch())
                rates << match.captured(1).toDouble();
        }
        return rates;
    }

    std::string logText() const { return log.join("").toStdString(); }

    RunState run;
    SimulatedTimeClock clock;
    CIGMPTestPlan plan;
    CTestReportDlg report;
    QStringList log;
    QStringList filterGroups;
    std::vector<UtFilterHost> filterHosts;
    EnglishTexts english;
    std::unique_ptr<KvServer> server;

    // The page's grid laid out for the plan's frame size, as the runner leaves it.
    void layOut(ReportPage *page)
    {
        page->FrameRows = {{plan.InitialRate, plan.MinRate, plan.MaxRate, plan.Resolution, plan.FrameSize}};
        page->FillReportGrid();
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

    plan.TestType = kTestAggregate;
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
    plan.TestType = kTestScaleGroup;
    plan.InitialGroups = 2;
    plan.MaxGroups = 2;
    ASSERT_TRUE(report.PerformScaleGroupTest()) << logText();
    const QList<double> passed = passedRates();
    ASSERT_FALSE(passed.isEmpty()) << logText();
    const double best = *std::max_element(passed.begin(), passed.end());
    EXPECT_LE(best, 60.0);
    EXPECT_GE(best, 60.0 - plan.Resolution) << logText();
}

// The compensated latency is the device's own: its base latency and the frame's serialisation.
TEST_F(ProceduresEndToEnd, LatencyReportsTheDeviceLatencyAtEveryRate)
{
    SimConfig config;
    config.device.baseLatency = 3'000'000; // 3 us
    start(config);
    plan.TestType = kTestLatency;
    plan.TestDuration = 2;
    const double deviceUs = 3.0 + 68 * 8 / 1000.0; // 64 bytes and the check sequence at 1 Gb/s
    // Rates 10, 50 and 90: the step in MinRate, the end rate in MaxRate.
    plan.InitialRate = 10;
    plan.MinRate = 40;
    plan.MaxRate = 90;
    layOut(report.LatencyPage);
    int row = 12;
    report.LatencyPage->CurrentStep = 0;
    for (const double rate : {10.0, 50.0, 90.0}) {
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
                EXPECT_NEAR(value.toDouble(), deviceUs, 0.1);
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
    plan.TestType = kTestCapacity;
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
    plan.TestType = kTestJoinLeave;
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
        plan.SourcePorts.clear();
        plan.HostPorts.clear();
        plan.TestPairs.clear();
        log.clear();
        report.Results.ClearResultRecord();
        start(config);
        UtPortRecord &second = g_Session.Ports[4]; // (3,1)
        second.SourcePair = 2;
        second.StreamNumber = 100; // the Source Filter test counts every source in one stream
        plan.SourcePorts.push_back(testPortOf(4));
        filterGroups = {"239.2.2.2"};
        filterHosts = {{"(  1, 2,2) - QM-M13", {{"239.2.2.2", 1, {"192.168.2.1"}}}},
                       {"(  1, 2,3) - QM-M13", {{"239.2.2.2", 2, {"192.168.2.1"}}}}};
        plan.TestType = kTestSourceFilter;
        plan.IgmpVersion = 3;
        plan.InitialRate = 10;
        plan.DelayAfterJoin = 1;
        layOut(report.FilterPage);
        ASSERT_TRUE(report.PerformSourceFilterTest()) << logText();
        ASSERT_EQ(report.Results.Filter.size(), 1u);
        EXPECT_EQ(report.Results.Filter[0].Texts.front(),
                  filtering ? "Group 239.2.2.2 Test Result: Pass" : "Group 239.2.2.2 Test Result: Failed")
            << logText();
        EXPECT_EQ(report.FilterPage->Cell(12, CReportFilter::kVerdictColumn), filtering ? "Pass" : "Fail");
        clock.server = nullptr;
        disconnectFromSimulator(server);
    }
}
