// The test plan's steps against the chassis simulator on loopback: with the ports locked every step
// succeeds; the simulator's refusals (a link down, ports not locked) come back as failures.
#include "common/SimulatorConnection.h"
#include "common/TestPlanPorts.h"
#include "engine/EngineHost.h"
#include "engine/IGMPTestPlan.h"
#include "engine/RunState.h"
#include "engine/Session.h"
#include "engine/VirtualWaitClock.h"
#include "kvserver/KvServer.h"
#include "platform/kvapi/KvClient.h"

#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

class TestPlanSimulator : public testing::Test
{
protected:
    void SetUp() override
    {
        g_Session.resetTables();
        EngineHost::instance().reset();
        EngineHost::instance().demoMode = [] { return false; };
        EngineHost::instance().appendLog = [this](const QString &text) { log << text; };
        server = std::make_unique<KvServer>();
        std::string error;
        ASSERT_TRUE(server->listen(0, "127.0.0.1", error)) << error;
        server->start();
        ASSERT_NO_FATAL_FAILURE(connectToSimulator(*server, 2));

        // Pair 1: source (2,1), hosts (2,2) and (2,3).
        plan.TestPairs.push_back(pairOf({.hosts = 2, .groups = 4}));
        plan.PairSelected[0] = 1;
        for (std::uint8_t index = 0; index < 3; ++index) {
            UtPortRecord &record = g_Session.Ports[index];
            (index == 0 ? record.SourcePair : record.HostPair) = 1;
            record.StreamNumber = index == 0 ? 100 : 101;
            (index == 0 ? plan.SourcePorts : plan.HostPorts).push_back(testPortOf(index));
        }
        plan.IgmpVersion = 2;
        plan.TestType = TestMixClass;
        plan.TestDuration = 1;
        plan.CurrentRate = 10;
    }
    void TearDown() override { disconnectFromSimulator(server); }

    static UtPortSet firstThreePorts()
    {
        UtPortSet set{1, {0x07, 0, 0, 0}};
        return set;
    }

    RunState run;
    VirtualWaitClock clock;
    CIGMPTestPlan plan;
    QStringList log;
    std::unique_ptr<KvServer> server;
};

} // namespace

TEST_F(TestPlanSimulator, EveryStepOfATrialSucceedsOnLockedPorts)
{
    ASSERT_NE(Kv_LockPortStatus(firstThreePorts()), 0);
    EXPECT_EQ(plan.CheckLinkStates(1), 1);
    EXPECT_EQ(SetupPortGroup(plan, 1), 1);
    EXPECT_EQ(plan.StartAutoArpReply(), 1);
    EXPECT_EQ(plan.SendLearningFrames(), 1);
    EXPECT_EQ(plan.SendJoinAll(4), 1);
    EXPECT_EQ(plan.ClearAllCounters(), 1);
    EXPECT_EQ(SetStreamCounters(plan, 1), 1);
    EXPECT_EQ(plan.StartGroupStreamCounters(1), 1);
    EXPECT_EQ(plan.StartTestPairTraffic(64), 1);
    EXPECT_EQ(plan.StopAllTx(), 1);
    EXPECT_EQ(plan.LeaveGroups(), 1);
    EXPECT_EQ(std::uint64_t(plan.SourcePorts[0].TxFrames), 148809u) << "10 % of 1 Gb/s at 64 bytes for 1 s";
    const auto calls = server->callLog();
    const auto served = [&](const char *name) {
        return std::count_if(calls.begin(), calls.end(),
                             [&](const std::string &line) { return line.find(name) != std::string::npos; });
    };
    EXPECT_EQ(served("Kv_TQModule_StartAutoARPReply"), 3);
    EXPECT_EQ(served("Kv_QMC4_GlobalCmd_StartTx"), 2);
    EXPECT_EQ(served("-> 0"), 0) << "no call was refused";
}

TEST_F(TestPlanSimulator, RefusalsOfTheSimulatorAreFailures)
{
    // Not locked: the port-changing calls are refused.
    EXPECT_EQ(plan.SendLearningFrames(), 0);
    EXPECT_EQ(plan.StartAutoArpReply(), 0);

    server->setLinkUp(2, 3, false);
    EXPECT_EQ(plan.CheckLinkStates(1), 0);
    EXPECT_EQ(log.last(), "(1, 2, 3) Check link States failed!\n");
}
