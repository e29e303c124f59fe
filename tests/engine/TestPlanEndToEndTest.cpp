// The test plan's steps against the simulated chassis and device under test, in simulated time moved
// by the test: what the hosts receive is exactly what the engine's streams and joins make of it.
#include "common/SimulatorPlanTest.h"
#include "engine/EngineHost.h"
#include "engine/IGMPTestPlan.h"
#include "engine/RunState.h"
#include "engine/Session.h"
#include "kvserver/KvServer.h"
#include "platform/kvapi/KvClient.h"

#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

using namespace std::chrono_literals;

class TestPlanEndToEnd : public SimulatorPlanTest
{
protected:
    // Pair 1: source (2,1); hosts (2,2), (2,3) and the unicast port (2,4).
    void start(SimConfig config = {})
    {
        ASSERT_NO_FATAL_FAILURE(startEngineOnSimulator(std::move(config)));
        filterGroups = {QStringLiteral("239.2.2.2")};
        planPairOne({1, 2, 3}, UnicastPort::Record3);
    }

    void advance(std::chrono::nanoseconds duration)
    {
        server->advanceTime(duration);
        char version[11];
        ASSERT_EQ(Kv_SYS_GetVerNum(version), 1);
    }

    // Link check, port group, ARP replies and learning frames, the joins, then clean counters.
    void prepare(std::uint32_t groups)
    {
        ASSERT_EQ(plan.CheckLinkStates(1), 1);
        ASSERT_EQ(SetupPortGroup(plan, 1), 1);
        ASSERT_EQ(plan.StartAutoArpReply(), 1);
        ASSERT_EQ(plan.SendLearningFrames(), 1);
        advance(50ms);
        ASSERT_EQ(plan.SendJoinAll(groups), 1);
        advance(50ms);
        ASSERT_EQ(plan.ClearAllCounters(), 1);
        ASSERT_EQ(SetStreamCounters(plan, 1), 1);
    }

    // Frames each port received since the counters were cleared.
    std::vector<std::uint64_t> received(int ports = 4)
    {
        for (std::uint16_t i = 0; i < g_Session.PortCount; ++i)
            g_Session.PortCounters[i].RxPackets = UINT64_MAX;
        EXPECT_EQ(Kv_TQReadCounterStatistics(1), 1);
        EXPECT_TRUE(QTest::qWaitFor(
            [ports] {
                for (int i = 0; i < ports; ++i) {
                    if (g_Session.PortCounters[i].RxPackets == UINT64_MAX)
                        return false;
                }
                return true;
            },
            3000));
        std::vector<std::uint64_t> counts;
        for (int i = 0; i < ports; ++i)
            counts.push_back(std::uint64_t{g_Session.PortCounters[i].RxPackets});
        return counts;
    }

    bool logHas(const std::string &text) const
    {
        const auto lines = server->callLog();
        return std::any_of(lines.begin(), lines.end(),
                           [&](const std::string &line) { return line.find(text) != std::string::npos; });
    }
};

} // namespace

TEST_F(TestPlanEndToEnd, MixedClassTrialAtFullRateReachesEveryHostWhole)
{
    start();
    prepare(1);
    plan.TestType = TestMixClass;
    plan.CurrentRate = 100;
    ASSERT_EQ(plan.StartTestPairTraffic(64), 1);
    advance(1100ms);
    EXPECT_EQ(plan.StopAllTx(), 1);
    const std::uint64_t sent = plan.TxFrameCount;
    ASSERT_EQ(sent, 1488095u);
    const auto counts = received();
    EXPECT_EQ(counts[0], 0u) << "the source receives nothing";
    EXPECT_EQ(counts[1], (sent + 1) / 2) << "multicast half";
    EXPECT_EQ(counts[2], (sent + 1) / 2);
    EXPECT_EQ(counts[3], sent) << "multicast and unicast";
    EXPECT_FALSE(logHas("malformed"));
}

// A 100 Mb/s host behind the 1 Gb/s source: its half of the Mixed Class load overflows it at 50 %
// and fits at 15 %.
TEST_F(TestPlanEndToEnd, SlowHostLosesFramesOnlyAboveItsLineRate)
{
    SimConfig config;
    config.modules = {{2, 53, 4}, {3, 66, 4}};
    start(config);
    UtPortRecord &slow = g_Session.Ports[4]; // (3,1), 100 Mb/s
    slow.HostPair = 1;
    slow.StreamNumber = 101;
    UtTestPort port{};
    port.Id = {slow.CID, slow.BID, slow.PID};
    port.TYPE = slow.ModuleType;
    port.PortIndex = 4;
    plan.HostPorts.push_back(port);
    plan.TestType = TestMixClass;
    prepare(1);
    for (const double rate : {50.0, 15.0}) {
        SCOPED_TRACE(rate);
        ASSERT_EQ(plan.ClearAllCounters(), 1);
        plan.CurrentRate = rate;
        ASSERT_EQ(plan.StartTestPairTraffic(64), 1);
        advance(1100ms);
        const std::uint64_t multicast = (plan.TxFrameCount + 1) / 2;
        const auto counts = received(5);
        EXPECT_EQ(counts[1], multicast);
        if (rate > 20) {
            EXPECT_LT(counts[4], multicast);
        } else {
            EXPECT_EQ(counts[4], multicast);
        }
    }
}

// One burst of 21 groups (a burst holds up to 32) against a table of 20: the 21st group reaches no port.
TEST_F(TestPlanEndToEnd, GroupsBeyondTheTableReachNoPort)
{
    SimConfig config;
    config.device.groupTableSize = 20;
    start(config);
    plan.TestType = TestCapacity;
    prepare(21);
    ASSERT_EQ(plan.FillCapacityStreams(64, 21), 1);
    EXPECT_EQ(std::uint64_t{plan.SourcePorts[0].TxFrames}, 21u);
    advance(50ms);
    const auto counts = received();
    EXPECT_EQ(counts[1], 20u);
    EXPECT_EQ(counts[2], 20u);
    EXPECT_EQ(counts[3], 20u);
    EXPECT_TRUE(logHas("group table full"));
}

// Two sources send to one group; one host admits only the first, one excludes it, one reports nothing.
TEST_F(TestPlanEndToEnd, SourceFilterDeliversExactlyTheAdmittedSources)
{
    start();
    UtPortRecord &second = g_Session.Ports[4]; // (3,1)
    second.SourcePair = 2;
    second.StreamNumber = 102;
    UtTestPort port{};
    port.Id = {second.CID, second.BID, second.PID};
    port.TYPE = second.ModuleType;
    port.PortIndex = 4;
    plan.SourcePorts.push_back(port);
    filterHosts = {{"(  1, 2,2) - QM-M13", {{"239.2.2.2", 1, {"192.168.2.1"}}}},
                   {"(  1, 2,3) - QM-M13", {{"239.2.2.2", 2, {"192.168.2.1"}}}}};
    plan.TestType = TestSourceFilter;
    plan.IgmpVersion = 3;
    plan.V3ReportSize = 540;
    plan.CurrentRate = 10;
    ASSERT_EQ(plan.CheckLinkStates(1), 1);
    ASSERT_EQ(SetupPortGroup(plan, 1), 1);
    ASSERT_EQ(plan.StartAutoArpReply(), 1);
    ASSERT_EQ(plan.SendLearningFrames(), 1);
    ASSERT_EQ(plan.SendV3ReportNic(0), 1);
    advance(50ms);
    ASSERT_EQ(plan.ClearAllCounters(), 1);
    ASSERT_EQ(plan.StartSourcePortTraffic(64, 0), 1);
    advance(1100ms);
    ASSERT_EQ(plan.StopAllTx(), 1);
    const std::uint64_t each = 148809; // 10 % of 1 Gb/s at 64 bytes for 1 s
    EXPECT_EQ(std::uint64_t{plan.SourcePorts[0].TxFrames}, each);
    EXPECT_EQ(std::uint64_t{plan.SourcePorts[1].TxFrames}, each);
    const auto counts = received();
    EXPECT_EQ(counts[1], each) << "includes (2,1) only";
    EXPECT_EQ(counts[2], each) << "excludes (2,1): gets (3,1)";
    EXPECT_EQ(counts[3], 0u) << "no record, no membership";

    // The leave leaves: after it the group reaches no host.
    ASSERT_EQ(plan.SendLeavePerPort(), 1);
    advance(50ms);
    ASSERT_EQ(plan.ClearAllCounters(), 1);
    ASSERT_EQ(plan.StartSourcePortTraffic(64, 0), 1);
    advance(1100ms);
    const auto after = received();
    EXPECT_EQ(after[1], 0u);
    EXPECT_EQ(after[2], 0u);
    EXPECT_FALSE(logHas("malformed"));
}

// The join/leave delay sequence: the stamps of each host give the device's configured delays.
TEST_F(TestPlanEndToEnd, JoinAndLeaveStampsGiveTheConfiguredDelays)
{
    SimConfig config;
    config.device.joinDelay = 3'000'000'000;  // 3 ms
    config.device.leaveDelay = 2'000'000'000; // 2 ms
    start(config);
    plan.TestType = TestJoinLeave;
    plan.CurrentRate = 100;
    plan.TestDuration = 30;
    const auto delaysMs = [] {
        std::vector<double> delays;
        for (int host = 1; host <= 3; ++host) {
            const UtDelayStamp stamp = g_Session.DelayStamps[host];
            delays.push_back((stamp.RxStamp * 0.04 - stamp.TxStamp * 0.04) / 1000);
        }
        return delays;
    };
    const auto stampsArrived = [] {
        for (int host = 1; host <= 3; ++host) {
            if (g_Session.DelayStamps[host].RxStamp == 0 || g_Session.DelayStamps[host].TxStamp == 0)
                return false;
        }
        return true;
    };
    ASSERT_EQ(plan.CheckLinkStates(1), 1);
    ASSERT_EQ(SetupPortGroup(plan, 1), 1);
    ASSERT_EQ(plan.StartAutoArpReply(), 1);
    ASSERT_EQ(plan.SendLearningFrames(), 1);

    ASSERT_EQ(plan.SendTimestampedJoinsFromSources(), 1);
    ASSERT_EQ(plan.StartTestPairTraffic(64), 1);
    ASSERT_EQ(plan.StartRxCapture(0), 1);
    ASSERT_EQ(plan.SendTimestampedJoinsFromHosts(), 1);
    advance(10ms);
    ASSERT_EQ(plan.StopRxCapture(0), 1);
    ASSERT_EQ(plan.StopRxCaptureNext(), 1);
    WaitPumping(1000);
    ASSERT_TRUE(QTest::qWaitFor(stampsArrived, 3000));
    for (double delay : delaysMs())
        EXPECT_NEAR(delay, 3.0, 0.01);

    ASSERT_EQ(plan.ClearTimestamps(), 1);
    ASSERT_EQ(plan.StartTestPairTraffic(64), 1);
    ASSERT_EQ(plan.StartRxCapture(1), 1);
    ASSERT_EQ(plan.SendTimestampedLeavesFromHosts(), 1);
    advance(10ms);
    ASSERT_EQ(plan.StopRxCapture(1), 1);
    WaitPumping(3000);
    ASSERT_TRUE(QTest::qWaitFor(stampsArrived, 3000));
    for (double delay : delaysMs())
        EXPECT_NEAR(delay, 2.0, 0.01);
}

// Every frame the builders make passes the simulated device's checks.
TEST_F(TestPlanEndToEnd, TheDeviceDropsNoFrameOfTheEngine)
{
    start();
    g_Session.Ports[2].VLanState = 1;
    g_Session.Ports[2].VLanID = 5;
    plan.ScaleTrial = 3;
    plan.TestDuration = 1;
    plan.CurrentRate = 1;
    for (std::uint8_t version : {1, 2, 3}) {
        for (std::uint8_t routerAlert : {0, 1}) {
            plan.IgmpVersion = version;
            g_Session.RouterAlert = routerAlert;
            plan.TestType = TestMixClass;
            prepare(3);
            plan.SendJoinPerPort();
            plan.SendJoinNic(2);
            plan.SendJoinNicAggregate(2);
            plan.SendTimestampedJoinsFromHosts();
            plan.SendTimestampedLeavesFromHosts();
            for (std::uint32_t type : {TestMixClass, TestAggregate, TestScale, TestLatency}) {
                plan.TestType = type;
                plan.StartTestPairTraffic(128);
                advance(20ms);
                plan.StopAllTx();
            }
            plan.FillCapacityStreams(64, 40);
            advance(20ms);
            plan.SendLeavePerPort();
            plan.SendLeaveAll(3);
            advance(20ms);
        }
    }
    EXPECT_FALSE(logHas("malformed"));
    EXPECT_FALSE(logHas("refused"));
}
