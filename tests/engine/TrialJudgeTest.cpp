// The counter table after a trial and its judgement, on the plan fixture's two pairs: pair 1 source
// (2,1) with hosts (2,2) and (2,3); pair 2 source (3,1) with host (3,2).
#include "engine/TrialJudge.h"
#include "TestPlanFixture.h"

namespace {

using Variant = TrialJudge::Variant;
using Verdict = TrialJudge::Verdict;

class TrialJudgeTest : public TestPlanFixture
{
protected:
    // Frames sent by the pairs' sources and received by each host (session index, multicast, unicast).
    void counts(uint64_t tx1, uint64_t tx2, std::vector<std::array<uint64_t, 3>> received)
    {
        plan.SourcePorts[0].TxFrames = tx1;
        plan.SourcePorts[1].TxFrames = tx2;
        for (const auto &[index, multicast, unicast] : received) {
            g_Session.PortStates[index].RxCountA = multicast;
            g_Session.PortStates[index].RxCountB = unicast;
        }
        TrialJudge::CollectHostCounters(plan, 64);
    }

    Verdict judge(Variant variant)
    {
        log.clear();
        return TrialJudge::PrintAndJudge(variant, plan,
                                         [this] { return stopAfter >= 0 && polls++ >= stopAfter; });
    }

    int stopAfter = -1;
    int polls = 0;
};

} // namespace

TEST_F(TrialJudgeTest, CollectsTheHostsCounters)
{
    g_Session.PortCounters[1].RxPackets = 100;
    g_Session.PortCounters[1].Oversize = 3;
    g_Session.PortCounters[1].Undersize = 2;
    counts(0, 0, {{1, 40, 7}});
    const UtTestPort &host = plan.HostPorts[0];
    EXPECT_EQ(v(host.RxMulticast), 40u);
    EXPECT_EQ(v(host.RxUnicast), 7u);
    EXPECT_EQ(v(host.RxTotal), 47u);
    EXPECT_EQ(v(host.RxValid), 95u);
}

TEST_F(TrialJudgeTest, VerdictsOfTheVariants)
{
    struct Case
    {
        const char *name;
        Variant variant;
        uint8_t aggregateTrial;
        uint64_t tx1, tx2;
        std::vector<std::array<uint64_t, 3>> received;
        Verdict verdict;
        int rows; // host rows printed
    };
    const Case cases[] = {
        {"MC: every host gets half, rounded up",
         Variant::MixedClass,
         0,
         7,
         2,
         {{1, 4, 0}, {2, 4, 0}, {5, 1, 0}},
         Verdict::Pass,
         3},
        {"MC: one frame too many fails",
         Variant::MixedClass,
         0,
         7,
         2,
         {{1, 5, 0}, {2, 4, 0}, {5, 1, 0}},
         Verdict::Fail,
         3},
        {"MC: a failing pair 1 still prints pair 2",
         Variant::MixedClass,
         0,
         7,
         2,
         {{1, 0, 0}, {2, 0, 0}, {5, 1, 0}},
         Verdict::Fail,
         3},
        {"Scale: every host gets every frame",
         Variant::Scale,
         0,
         7,
         2,
         {{1, 7, 0}, {2, 7, 0}, {5, 2, 0}},
         Verdict::Pass,
         3},
        {"Scale: a failing pair 1 ends the table",
         Variant::Scale,
         0,
         7,
         2,
         {{1, 6, 0}, {2, 7, 0}, {5, 2, 0}},
         Verdict::Fail,
         2},
        {"Aggregate: client 1 joined, client 2 not",
         Variant::Aggregate,
         1,
         7,
         2,
         {{1, 7, 0}, {2, 0, 0}, {5, 2, 0}},
         Verdict::Pass,
         3},
        {"Aggregate: frames at a client that did not join",
         Variant::Aggregate,
         1,
         7,
         2,
         {{1, 7, 0}, {2, 3, 0}, {5, 2, 0}},
         Verdict::Fail,
         2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        plan.AggregateTrial = c.aggregateTrial;
        counts(c.tx1, c.tx2, c.received);
        EXPECT_EQ(judge(c.variant), c.verdict);
        EXPECT_EQ(log.filter(QStringLiteral("*   (")).size(), c.rows) << log.join("").toStdString();
    }
}

TEST_F(TrialJudgeTest, MixedClassTableText)
{
    plan.PairSelected[1] = 0;
    plan.TestPairs[0].UniCid = Chassis;
    plan.TestPairs[0].UniBid = 2;
    plan.TestPairs[0].UniPid = 3;
    plan.HostPorts[1].Flag = 1;
    counts(7, 0, {{1, 3, 0}, {2, 4, 2}});
    EXPECT_EQ(judge(Variant::MixedClass), Verdict::Fail);
    const QString separator = QString::fromLatin1(TrialJudge::kSeparator);
    EXPECT_EQ(separator.size(), 2 + 148 + 1);
    const QStringList expected = {
        separator,
        "* Tx Port             RxPort             TxPkts     Expect RxPkts         RxPkts(Multicast)         "
        " "
        "RxPkts(Unicast)  \n",
        separator,
        "*   (  1, 2,1)     (  1, 2,2)              7* (  1, 2,2) failed due to multicast packet loss 1\n"
        "             4                       3                                  0 \n",
        "*   (  1, 2,1)     (  1, 2,3)              7* (  1, 2,3) failed due to  unicast packet loss 1\n"
        "             7                       4                                  2 \n",
        separator};
    EXPECT_EQ(log.join(QStringLiteral("|")).toStdString(), expected.join(QStringLiteral("|")).toStdString());
}

TEST_F(TrialJudgeTest, AggregateLineOfAClientWithoutJoin)
{
    plan.PairSelected[1] = 0;
    plan.AggregateTrial = 1;
    counts(7, 0, {{1, 7, 0}, {2, 5, 0}});
    EXPECT_EQ(judge(Variant::Aggregate), Verdict::Fail);
    ASSERT_EQ(log.size(), 7);
    EXPECT_EQ(log[3].toStdString(),
              "*   (  1, 2,1)     (  1, 2,2)              7             7                       7   \n");
    EXPECT_EQ(log[4].toStdString(),
              "*   (  1, 2,1)     (  1, 2,3)              7* (  1, 2,3) failed, received multicast pkt "
              "without join group ==> 5.\n             0                             5   \n");
    EXPECT_EQ(log[5].toStdString(), "*\n");
}

TEST_F(TrialJudgeTest, StopBeforeTheSecondHostKeepsTheFirstRow)
{
    counts(7, 2, {{1, 4, 0}, {2, 4, 0}, {5, 1, 0}});
    stopAfter = 2; // pair 1, host 1 pass; host 2 sees the stop
    EXPECT_EQ(judge(Variant::MixedClass), Verdict::Stopped);
    EXPECT_EQ(log.filter(QStringLiteral("*   (")).size(), 1);
}

// A pair that sent nothing proves no throughput, whether it has no source or its rate gave no frame;
// its hosts are still listed against 0.
TEST_F(TrialJudgeTest, PairThatSentNothingFails)
{
    plan.PairSelected[0] = 0;
    for (Variant variant : {Variant::Scale, Variant::MixedClass}) {
        counts(7, 0, {{5, 0, 0}}); // pair 2's source sent 0 frames
        EXPECT_EQ(judge(variant), Verdict::Fail);
        EXPECT_TRUE(log[3].startsWith("*   (  1, 3,1)     (  1, 3,2)              0"))
            << log[3].toStdString();
    }
    plan.SourcePorts.pop_back(); // pair 2 has no source any more
    EXPECT_EQ(judge(Variant::Scale), Verdict::Fail);
    EXPECT_TRUE(log[3].startsWith("*   (  0, 0,0)     (  1, 3,2)              0")) << log[3].toStdString();
}
