// The Mixed Class procedure against the simulated chassis and device in real time, with 1-second
// trials: what the hosts receive is what the device forwards of the procedure's own streams.
#include "common/SimulatorConnection.h"
#include "common/TestPlanPorts.h"
#include "engine/EngineHost.h"
#include "engine/IGMPTestPlan.h"
#include "engine/RunState.h"
#include "engine/Session.h"
#include "kvserver/KvServer.h"
#include "platform/kvapi/KvClient.h"
#include "reports/ReportMixClass.h"
#include "run/TestReportDlg.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

class MixedClassEndToEnd : public testing::Test
{
protected:
    // Pair 1: source (2,1); hosts (2,2), (2,3) and the unicast port (2,4); more hosts by port index.
    void start(SimConfig config = {}, std::vector<std::uint8_t> extraHosts = {})
    {
        g_Session.resetTables();
        EngineHost &host = EngineHost::instance();
        host.reset();
        host.demoMode = [] { return false; };
        host.appendLog = [this](const QString &text) { log << text; };
        host.setStatusText = [](const QString &) {};
        ASSERT_NO_FATAL_FAILURE(startLockedSimulator(server, config, nullptr));

        plan.TestPairs.push_back({1, 1, 3, 1, 2, 1, 0, {239, 1, 1, 1}, 1, 1, 2, 4});
        plan.PairSelected[0] = 1;
        std::vector<std::uint8_t> ports = {0, 1, 2, 3};
        ports.insert(ports.end(), extraHosts.begin(), extraHosts.end());
        addPairOnePorts(plan, ports);
        plan.IgmpVersion = 2;
        plan.FrameSize = 64;
        plan.TestDuration = 1;
        plan.NumberOfTrials = 1;
        plan.DelayAfterJoin = 0;
        report.SetPlan(&plan);
        run.ReportRow = 12;
    }

    void TearDown() override { disconnectFromSimulator(server); }

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

    // Frames each host received since the counters were cleared.
    std::vector<std::uint64_t> hostFrames()
    {
        for (const UtTestPort &port : plan.HostPorts)
            g_Session.PortCounters[port.PortIndex].RxPackets = UINT64_MAX;
        EXPECT_EQ(Kv_TQReadCounterStatistics(1), 1);
        EXPECT_TRUE(QTest::qWaitFor(
            [this] {
                for (const UtTestPort &port : plan.HostPorts) {
                    if (g_Session.PortCounters[port.PortIndex].RxPackets == UINT64_MAX)
                        return false;
                }
                return true;
            },
            3000));
        std::vector<std::uint64_t> frames;
        for (const UtTestPort &port : plan.HostPorts)
            frames.push_back(std::uint64_t{g_Session.PortCounters[port.PortIndex].RxPackets});
        return frames;
    }

    RunState run;
    CIGMPTestPlan plan;
    CTestReportDlg report;
    QStringList log;
    std::unique_ptr<KvServer> server;
};

} // namespace

TEST_F(MixedClassEndToEnd, IdealDevicePassesAtTheMaximumRate)
{
    start();
    plan.InitialRate = 100;
    plan.MinRate = 10;
    plan.MaxRate = 100;
    plan.Resolution = 1;
    report.MixClassPage->FrameRows = {{100, 10, 100, 1, 64}};
    report.MixClassPage->FillReportGrid();
    ASSERT_TRUE(report.PerformMixedClassTest()) << log.join("").toStdString();
    EXPECT_TRUE(
        log.contains("* Current rate 100.00, Pass! Test achieve the Max. rate, Thoughput ==> 100.00\n"))
        << log.join("").toStdString();
    EXPECT_EQ(report.MixClassPage->Cell(12, CReportMixClass::kPassedRateColumn), "100.00");
    ASSERT_EQ(report.Results.Counters[UtResultSet::MixedClass].size(), 1u);
}

// A 100 Mb/s host behind the 1 Gb/s source carries its half of the Mixed Class load up to 20 %.
TEST_F(MixedClassEndToEnd, SlowHostSettlesOnTheBottleneckRate)
{
    SimConfig config;
    config.modules = {{2, 53, 4}, {3, 66, 4}};
    start(config, {4}); // (3,1), 100 Mb/s
    plan.InitialRate = 100;
    plan.MinRate = 1;
    plan.MaxRate = 100;
    plan.Resolution = 2;
    ASSERT_TRUE(report.PerformMixedClassTest()) << log.join("").toStdString();
    const QList<double> passed = passedRates();
    ASSERT_FALSE(passed.isEmpty()) << log.join("").toStdString();
    const double best = *std::max_element(passed.begin(), passed.end());
    EXPECT_LE(best, 20.0 + 0.01) << log.join("").toStdString();
    EXPECT_GE(best, 20.0 - plan.Resolution) << log.join("").toStdString();
    EXPECT_TRUE(log.back().startsWith("* Mixclass throughput Test Complete"));
}

TEST_F(MixedClassEndToEnd, StopMidTrialLeavesNoTrafficRunning)
{
    start();
    plan.InitialRate = 50;
    plan.MinRate = 10;
    plan.MaxRate = 100;
    plan.Resolution = 1;
    plan.TestDuration = 10;
    // Stop is pressed once the trial's first second has passed, while its traffic runs; the run ends
    // well before the trial's other nine seconds.
    QElapsedTimer sinceStop;
    EngineHost::instance().setStatusText = [&](const QString &text) {
        if (text.startsWith("Perform testing") && !sinceStop.isValid()) {
            sinceStop.start();
            run.RequestStop();
        }
    };
    EXPECT_FALSE(report.PerformMixedClassTest());
    ASSERT_TRUE(sinceStop.isValid()) << "the trial ran";
    EXPECT_LT(sinceStop.elapsed(), 5000);
    EXPECT_TRUE(log.filter("Current rate").isEmpty()) << "no judgement of a stopped trial";

    // The trial's burst is still under way until the end of the run cleans up.
    run.StopRequested = 0;
    ASSERT_EQ(plan.ClearAllCounters(), 1);
    QTest::qWait(200);
    EXPECT_GT(hostFrames()[0], 0u);

    run.StopRequested = 1;
    EXPECT_TRUE(report.FinishTest());
    run.StopRequested = 0;
    ASSERT_EQ(plan.ClearAllCounters(), 1);
    QTest::qWait(300);
    for (const std::uint64_t frames : hostFrames())
        EXPECT_EQ(frames, 0u);
}
