// Demo mode: no step calls the hardware library, and the simulated counters follow the rate.
#include "TestPlanFixture.h"

namespace {

using TestPlanDemo = TestPlanFixture;

} // namespace

TEST_F(TestPlanDemo, NoStepCallsTheHardware)
{
    for (const uint8_t demoHardware : {0, 1}) {
        demo = true;
        g_Session.DemoHardware = demoHardware;
        plan.ScaleTrial = 2;
        filterGroups = {"225.1.1.1"};
        for (uint32_t type = TestMixClass; type <= TestSourceFilter; ++type) {
            plan.TestType = type;
            plan.IgmpVersion = type == TestSourceFilter ? 3 : 2;
            EXPECT_EQ(plan.ReservePorts(), 1);
            EXPECT_EQ(plan.ReleasePorts(), 1);
            EXPECT_EQ(plan.CheckLinkStates(1), 1);
            EXPECT_EQ(plan.LogLinkStates(), 1);
            EXPECT_EQ(SetupPortGroup(plan, 1), 1);
            EXPECT_EQ(plan.StartAutoArpReply(), 1);
            EXPECT_EQ(plan.SendLearningFrames(), 1);
            EXPECT_EQ(plan.ClearAllCounters(), 1);
            EXPECT_EQ(SetStreamCounters(plan, 1), 1);
            EXPECT_EQ(plan.StartGroupStreamCounters(1), 1);
            EXPECT_EQ(plan.SendJoinPerPort(), 1);
            EXPECT_EQ(plan.SendJoinNicLatency(), 1);
            EXPECT_EQ(plan.SendJoinAggregate(2), 1);
            EXPECT_EQ(plan.SendJoinNicAggregate(2), 1);
            EXPECT_EQ(plan.SendJoinNic(3), 1);
            EXPECT_EQ(plan.SendJoinAll(40), 1);
            EXPECT_EQ(plan.SendV3ReportNic(0), 1);
            EXPECT_EQ(plan.SendTimestampedJoinsFromSources(), 1);
            EXPECT_EQ(plan.SendTimestampedJoinsFromHosts(), 1);
            EXPECT_EQ(plan.SendTimestampedLeavesFromHosts(), 1);
            EXPECT_EQ(plan.StartTestPairTraffic(64), 1);
            EXPECT_EQ(plan.StartSourcePortTraffic(64, 0), 1);
            EXPECT_EQ(plan.FillCapacityStreams(64, 10), 1);
            EXPECT_EQ(plan.StartRxCapture(0), 1);
            EXPECT_EQ(plan.StopRxCapture(1), 1);
            EXPECT_EQ(plan.StopRxCaptureNext(), 1);
            EXPECT_EQ(plan.ClearTimestamps(), 1);
            EXPECT_EQ(plan.StopAllTx(), 1);
            EXPECT_EQ(plan.LeaveGroups(), 1);
            EXPECT_EQ(plan.SendLeaveAggregate(2), 1);
            EXPECT_EQ(plan.SendLeaveAll(40), 1);
        }
    }
    EXPECT_TRUE(server->calls().empty());
}

TEST_F(TestPlanDemo, LinkCheckCopiesTheChosenCodes)
{
    demo = true;
    plan.HostPorts[0].SpeedMedia = 7;
    ASSERT_EQ(plan.CheckLinkStates(1), 1);
    EXPECT_EQ(v(g_Session.PortHwInfo[1].SpeedMedia), 7);
    EXPECT_EQ(g_Session.Ports[1].SpeedMedia, 7);
}

TEST_F(TestPlanDemo, SimulatedCounters)
{
    demo = true;
    plan.Random = [] { return 27; }; // 27 % 20 = 7
    const struct
    {
        const char *name;
        uint32_t testType;
        uint16_t media;
        uint16_t frameSize;
        double rate;
        int32_t seconds;
        uint64_t txPackets, txBytes, streamA, streamB;
        uint64_t host1Multicast, host1Unicast, host2Multicast;
        uint64_t framesToSend; // in the 10-second test duration
        uint64_t chartScale;   // of the last source: 1 Gb/s at the frame size
    } cases[] = {
        {"1G 64 B 100 % 10 s", TestLatency, 8, 64, 100, 10, 14880950, 1011904600, 14880950, 0, 14880950, 0,
         14880950, 14880950, 1488095},
        // 100 Mb/s at 6,224 bytes: 2,001 frames/s at most, 1,000.5 at 50 %.
        {"Mixed Class 3 s at 1,000.5 fps", TestMixClass, 7, 6224, 50, 3, 3001, 18693342, 1500, 1500, 1501,
         1500, 1501, 10005, 20019},
        {"Aggregate, one client", TestAggregate, 8, 64, 50, 2, 1488095, 101190460, 1488095, 0, 1488095, 0, 0,
         7440475, 1488095},
        {"1,520 B", TestLatency, 8, 1520, 100, 1, 81168, 123700032, 81168, 0, 81168, 0, 81168, 811680, 81168},
    };
    plan.HostPorts[0].Flag = 1;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        plan.TestType = c.testType;
        plan.FrameSize = c.frameSize;
        plan.TrialClients = 1;
        plan.CurrentRate = c.rate;
        g_Session.PortHwInfo[0].SpeedMedia = c.media;
        plan.SimulateCounters(c.seconds);
        EXPECT_EQ(plan.ChartScale, c.chartScale);
        const UtPortCounters &source = g_Session.PortCounters[0];
        EXPECT_EQ(v(source.TxPackets), c.txPackets);
        EXPECT_EQ(v(source.TxBytes), c.txBytes);
        EXPECT_EQ(v(g_Session.PortStates[0].TxCountA), c.streamA);
        EXPECT_EQ(v(g_Session.PortStates[0].TxCountB), c.streamB);
        EXPECT_EQ(v(source.RxPackets), 0u);
        EXPECT_EQ(v(plan.SourcePorts[0].TxFrames), c.framesToSend);
        const UtPortCounters &host1 = g_Session.PortCounters[1];
        const UtPortCounters &host2 = g_Session.PortCounters[2];
        EXPECT_EQ(v(host1.MulticastRx), c.host1Multicast);
        EXPECT_EQ(v(host1.UnicastRx), c.host1Unicast);
        EXPECT_EQ(v(host1.RxPackets), c.host1Multicast + c.host1Unicast);
        EXPECT_EQ(v(host1.RxBytes), (c.frameSize + 4u) * (c.host1Multicast + c.host1Unicast));
        EXPECT_EQ(v(host2.MulticastRx), c.host2Multicast);
        EXPECT_EQ(v(host2.UnicastRx), 0u);
        EXPECT_EQ(v(g_Session.PortStates[1].MaxLatencyTicks), c.frameSize + 207u);
        EXPECT_EQ(v(host1.TxPackets), 0u);
        const bool oversize = c.frameSize + 4 > 1522;
        EXPECT_EQ(v(host1.Oversize), oversize ? v(host1.RxPackets) : 0u);
        EXPECT_EQ(v(host1.NormalSize), oversize ? 0u : v(host1.RxPackets));
        EXPECT_EQ(v(host1.Bucket64), c.frameSize == 64 ? v(host1.RxPackets) : 0u);
        EXPECT_EQ(v(host1.Bucket1024To1522), c.frameSize == 1520 ? v(host1.RxPackets) : 0u);
    }
}

TEST_F(TestPlanDemo, PortsWithoutCountersAreSkipped)
{
    plan.HostPorts[0].Id = {Chassis, 9, 4}; // no such port in the inventory
    plan.HostPorts[1].PortIndex = 200;      // no such port record
    plan.SourcePorts[1].Id = {Chassis, 16, 4};
    plan.SimulateCounters(5);
    EXPECT_EQ(v(g_Session.PortCounters[3].RxPackets), 0u);
    EXPECT_GT(v(g_Session.PortCounters[0].TxPackets), 0u);
    plan.SimulateCounters(-5);
    EXPECT_EQ(v(g_Session.PortCounters[0].TxPackets), 0u);
}
