// The Mixed Class procedure against the simulated chassis and device in real time, with 1-second
// trials: what the hosts receive is what the device forwards of the procedure's own streams.
#include "common/SimulatorProcedureTest.h"
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

class MixedClassEndToEnd : public SimulatorProcedureTest
{
protected:
    // Pair 1: source (2,1); hosts (2,2), (2,3) and the unicast port (2,4); more hosts by port index.
    void start(const SimConfig &config = {}, const std::vector<std::uint8_t> &extraHosts = {})
    {
        installEngineHooks();
        ASSERT_NO_FATAL_FAILURE(startSimulatorInRealTime(config));
        std::vector<std::uint8_t> hosts = {1, 2, 3};
        hosts.insert(hosts.end(), extraHosts.begin(), extraHosts.end());
        planPairOne(hosts, UnicastPort::Record3);
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
    ASSERT_TRUE(report.PerformMixedClassTest()) << logText();
    EXPECT_TRUE(
        log.contains("* Current rate 100.00, Pass! Test achieve the Max. rate, Thoughput ==> 100.00\n"))
        << logText();
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
    ASSERT_TRUE(report.PerformMixedClassTest()) << logText();
    const QList<double> passed = passedRates();
    ASSERT_FALSE(passed.isEmpty()) << logText();
    const double best = *std::max_element(passed.begin(), passed.end());
    EXPECT_LE(best, 20.0 + 0.01) << logText();
    EXPECT_GE(best, 20.0 - plan.Resolution) << logText();
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
