// The Aggregate, Scale Group and Latency procedures in virtual time against the recording server, with
// the hosts' counters written as a device would leave them when the counters are read.
#include "RecordedProcedureTest.h"
#include "engine/RateSearch.h"
#include "reports/CounterLog.h"
#include "reports/ReportAggregate.h"
#include "reports/ReportLatency.h"
#include "reports/ReportMixClass.h"
#include "reports/ReportScale.h"
#include "run/TestReportDlg.h"

namespace {

using namespace std::chrono_literals;

class GroupProceduresTest : public RecordedProcedureTest
{
protected:
    void SetUp() override
    {
        RecordedProcedureTest::SetUp();
        report.CountersRead = [this] { deliverCounters(); };
        searchFromFullRate();
    }

    // Every host that should receive gets the source's frames (one fewer on a failing repetition);
    // an Aggregate host beyond the client count gets `strayFrames`.
    void deliverCounters()
    {
        const bool pass = passes.isEmpty() ? true : passes.takeFirst();
        std::map<uint8_t, unsigned> hostsSeen;
        for (const UtTestPort &host : plan.HostPorts) {
            const uint8_t pair = g_Session.Ports[host.PortIndex].HostPair;
            const unsigned k = hostsSeen[pair]++;
            for (const UtTestPort &source : plan.SourcePorts) {
                if (g_Session.Ports[source.PortIndex].SourcePair != pair)
                    continue;
                const bool joined = plan.TestType != TestAggregate || k < plan.AggregateTrial;
                g_Session.PortStates[host.PortIndex].RxCountA =
                    joined ? source.TxFrames - (pass ? 0 : 1) : strayFrames;
            }
        }
    }

    QList<bool> passes;
    uint64_t strayFrames = 0;
};

} // namespace

TEST_F(GroupProceduresTest, AggregateRunsEveryClientCountAndWritesItsResults)
{
    plan.TestType = TestAggregate;
    plan.InitialClients = 1;
    plan.MaxClients = 2;
    layOut(report.AggregatePage);
    ASSERT_TRUE(report.PerformAggregateTest());

    EXPECT_EQ(log.filter("Current Client - 1, Max. Client 2").size(), 1);
    EXPECT_EQ(log.filter("Current Client - 2, Max. Client 2").size(), 1);
    EXPECT_EQ(log.filter("* Current rate 100.00, Pass! Test achieve the maximum rate, Thoughput ==> 100.00\n")
                  .size(),
              2);
    EXPECT_EQ(log.back(), "* Aggregate Test Complete...\n\n");
    EXPECT_EQ(plan.AggregateTrial, 2);
    EXPECT_EQ(plan.TrialClients, 2u);
    EXPECT_EQ(report.Results.Ran[TestAggregate], 1);
    EXPECT_EQ(report.Results.Counters[UtResultSet::Aggregate].size(), 2u);
    // Two sources: the second count's rows start two rows further down.
    EXPECT_EQ(report.AggregatePage->Cell(12, CReportAggregate::kPassedRateColumn), "100.00");
    EXPECT_EQ(report.AggregatePage->Cell(14, CReportAggregate::kPassedRateColumn), "100.00");
    EXPECT_EQ(report.AggregatePage->Cell(12, CReportMixClass::kPassedRateColumn), "239.1.1.1")
        << "not the Mixed Class column";
    EXPECT_EQ(run.ReportRow, 16u);
    EXPECT_TRUE(report.TxStopTimer.isActive());
}

// A host beyond the client count that receives any multicast fails the trial.
TEST_F(GroupProceduresTest, AggregateHostWithoutJoinMustReceiveNothing)
{
    plan.TestType = TestAggregate;
    plan.InitialClients = 1;
    plan.MaxClients = 1;
    plan.InitialRate = plan.MinRate = 10; // one repetition either way
    strayFrames = 1;
    layOut(report.AggregatePage);
    ASSERT_TRUE(report.PerformAggregateTest());
    EXPECT_TRUE(log.contains(
        "* Current rate 10.00, Fail in first tx! Test achieve the Min. rate, Throughput : n/a\n"))
        << log.join("").toStdString();
    EXPECT_FALSE(log.filter("received multicast pkt without join group").isEmpty());
    EXPECT_EQ(report.AggregatePage->Cell(12, CReportAggregate::kPassedRateColumn), "NA");
}

TEST_F(GroupProceduresTest, AggregateAndScaleWithAnEmptyRangeRunNoStep)
{
    plan.TestType = TestAggregate;
    plan.InitialClients = 3;
    plan.MaxClients = 2;
    ASSERT_TRUE(report.PerformAggregateTest());
    EXPECT_TRUE(log.filter("Current Client").isEmpty());
    EXPECT_EQ(log.back(), "* Aggregate Test Complete...\n\n");

    plan.TestType = TestScale;
    plan.InitialGroups = 5;
    plan.MaxGroups = 4;
    ASSERT_TRUE(report.PerformScaleGroupTest());
    EXPECT_TRUE(log.filter("Current Groups").isEmpty());
    EXPECT_EQ(log.back(), "* Scale Group Forwarding Test Complete...\n\n");
    EXPECT_EQ(run.ReportRow, 12u);
}

// A client count of 255 is the last: the loop ends instead of wrapping.
TEST_F(GroupProceduresTest, AggregateEndsAtTheLargestClientCount)
{
    plan.TestType = TestAggregate;
    plan.InitialClients = 255;
    plan.MaxClients = 255;
    plan.NumberOfTrials = 0;
    ASSERT_TRUE(report.PerformAggregateTest());
    EXPECT_EQ(plan.AggregateTrial, 255);
}

TEST_F(GroupProceduresTest, AggregateLeavesEachCountOnlyFromVersionTwo)
{
    plan.TestType = TestAggregate;
    plan.InitialClients = 1;
    plan.MaxClients = 2;
    plan.NumberOfTrials = 0;
    for (const uint8_t version : {2, 1}) {
        SCOPED_TRACE(int(version));
        plan.IgmpVersion = version;
        log.clear();
        ASSERT_TRUE(report.PerformAggregateTest());
        EXPECT_EQ(log.filter("* Leave Group...").size(), version == 2 ? 2 : 0);
    }
}

TEST_F(GroupProceduresTest, ScaleSearchesEachGroupCountAndLeavesEvenInVersionOne)
{
    plan.TestType = TestScale;
    plan.IgmpVersion = 1;
    plan.InitialGroups = 1;
    plan.MaxGroups = 2;
    passes = {false, true, true};
    plan.Resolution = 100;
    layOut(report.ScalePage);
    ASSERT_TRUE(report.PerformScaleGroupTest());
    EXPECT_EQ(log.filter("Current Groups - 1, Max. Groups 2").size(), 1);
    EXPECT_EQ(log.filter("Current Groups - 2, Max. Groups 2").size(), 1);
    EXPECT_TRUE(
        log.contains("* Current rate 100.00, Fail in first Tx! Next current rate :  10.00, Min. rate : "
                     "10.00, Max. rate : 100.00\n"))
        << log.join("").toStdString();
    EXPECT_TRUE(
        log.contains("* Current rate 10.00, Pass! Test achieve the resolution, Thoughput ==> 10.00\n"));
    EXPECT_EQ(plan.ScaleTrial, 2);
    EXPECT_EQ(report.Results.Ran[TestScale], 1);
    ASSERT_EQ(report.Results.Counters[UtResultSet::ScaleGroup].size(), 2u);
    EXPECT_EQ(report.ScalePage->Cell(12, CReportScale::kPassedRateColumn), "10.00");
    EXPECT_EQ(report.ScalePage->Cell(14, CReportScale::kPassedRateColumn), "100.00");
    // Version 1 has no leave message, yet each group step sends its leaves.
    EXPECT_EQ(log.filter("* Leave Group...").size(), 2);
}

TEST_F(GroupProceduresTest, StopDuringTheTrafficEndsAggregateAfterTheSeconds)
{
    plan.TestType = TestAggregate;
    plan.InitialClients = 1;
    plan.MaxClients = 3;
    plan.TestDuration = 30;
    clock.callAt(5000ms, [this] { run.RequestStop(); });
    EXPECT_FALSE(report.PerformAggregateTest());
    EXPECT_LT(clock.now(), 6000ms);
    EXPECT_TRUE(log.filter("Aggregate Test Complete").isEmpty());
    EXPECT_FALSE(report.TxStopTimer.isActive());
}

class LatencyProcedureTest : public GroupProceduresTest
{
protected:
    void SetUp() override
    {
        GroupProceduresTest::SetUp();
        plan.TestType = TestLatency;
        plan.TestDuration = 3;
        // Module 53 at 1 Gb/s adds 0.2 us of its own.
        for (const uint8_t host : {1, 2, 5})
            g_Session.PortStates[host].MaxLatencyTicks = ticks[host];
    }
    std::map<uint8_t, uint32_t> ticks = {{1, 100}, {2, 0}, {5, 50}};
};

TEST_F(LatencyProcedureTest, TrialWritesTheLatencyCellsAndTable)
{
    // The counters are cleared before the traffic: the samples arrive each second.
    report.LatencySamplesArrived = [this] {
        for (const auto &[host, value] : ticks)
            g_Session.PortStates[host].MaxLatencyTicks = value;
    };
    plan.InitialRate = 50;
    layOut(report.LatencyPage);
    ASSERT_TRUE(report.PerformLatencyTest(50));
    EXPECT_EQ(plan.CurrentRate, 50.0);
    EXPECT_EQ(report.Results.Ran[TestLatency], 1);
    EXPECT_EQ(report.LatencyPage->Cell(ReportPage::kRateRow, report.LatencyPage->ValueColumn), "50.00");
    // Hosts in pair order: (2,2) 4 us, (2,3) no sample, then pair 2's (3,2) 2 us; each sampled every
    // second and once more after the reads.
    EXPECT_EQ(report.LatencyPage->Cell(12, CReportLatency::kMeasuredColumn), "4.00/4.00/4.00");
    EXPECT_EQ(report.LatencyPage->Cell(12, CReportLatency::kCompensatedColumn), "3.80/3.80/3.80");
    EXPECT_EQ(report.LatencyPage->Cell(13, CReportLatency::kMeasuredColumn), "0.00/0.00/0.00");
    EXPECT_EQ(report.LatencyPage->Cell(13, CReportLatency::kCompensatedColumn), "0.00/0.00/0.00");
    EXPECT_EQ(report.LatencyPage->Cell(14, CReportLatency::kMeasuredColumn), "2.00/2.00/2.00");
    // A host's row follows from the step and the host; the trial does not move the runner's row.
    EXPECT_EQ(run.ReportRow, 12u);
    EXPECT_EQ(v(plan.HostPorts[0].LatencyCount), 4u);

    const QString value = QString(16, ' ') + "4.00";
    const QString line = "*   (  1, 2,1)     (  1, 2,2) " +
                         QString::asprintf("%14llu", (unsigned long long)plan.SourcePorts[0].TxFrames) +
                         value + QString(10, ' ') + value + QString(7, ' ') + value + "\n";
    EXPECT_TRUE(log.contains(line)) << log.join("").toStdString();
    EXPECT_TRUE(log.contains(
        "* Tx Port            RxPort               RxPkts             Avg. Latency           Max. "
        "Latency          Min. Latency       \n"));
    EXPECT_EQ(log.filter("* Forwarding Latency Test Complete...").size(), 1);
    const auto &results = report.Results.Counters[UtResultSet::Latency];
    ASSERT_EQ(results.size(), 1u);
    // Header, then per pair its row, the source, the latency captions and the hosts; the row after.
    EXPECT_EQ(results[0].FirstRow, 0u);
    EXPECT_EQ(results[0].LastRow, 10u);
    EXPECT_EQ(report.CounterPage->CellText(4, CCounterLog::ColFrameGap), "4.00 ");
    EXPECT_FALSE(report.LatencyTimer.isActive());
    EXPECT_FALSE(report.TxStopTimer.isActive()) << "Latency starts no timer 2";
}

TEST_F(LatencyProcedureTest, JoinsRepeatAtSecondsFiveAndTenNotZero)
{
    std::vector<size_t> sends;
    for (const uint32_t duration : {5u, 6u, 11u}) {
        plan.TestDuration = duration;
        plan.IgmpVersion = 1;
        server->clear();
        ASSERT_TRUE(report.PerformLatencyTest(10));
        sends.push_back(callCount(Op::Kv_TQModule_NICModeSend));
    }
    EXPECT_GT(sends[1], sends[0]);
    EXPECT_EQ(sends[2] - sends[0], 2 * (sends[1] - sends[0]));
}

TEST_F(LatencyProcedureTest, NoTrialsStillLeaveUnlessVersionOne)
{
    plan.NumberOfTrials = 0;
    std::vector<size_t> calls;
    for (const uint8_t version : {2, 1}) {
        plan.IgmpVersion = version;
        server->clear();
        ASSERT_TRUE(report.PerformLatencyTest(10));
        calls.push_back(server->calls().size());
    }
    EXPECT_GT(calls[0], calls[1]);
    EXPECT_EQ(report.CounterPage->RowCount(), CCounterLog::kEmptyRows);
    EXPECT_TRUE(report.Results.Counters[UtResultSet::Latency].empty());
}

TEST_F(LatencyProcedureTest, FailingTrafficStartClearsThePortLists)
{
    plan.PortLists[0].push_back({});
    // The learning frames go out; the traffic start fails.
    auto failing = std::make_shared<std::atomic<bool>>(false);
    EngineHost::instance().setStatusText = [this, failing](const QString &text) {
        status << text;
        if (text == key("Stat_Fill_AddEntty"))
            *failing = true;
    };
    server->setAnswer([failing](const RecordedCall &call) {
        return call.op == Op::Kv_TQModule_StartTxPkt && *failing ? 0 : 1;
    });
    EXPECT_FALSE(report.PerformLatencyTest(10));
    EXPECT_TRUE(log.contains("FillAddEntry_Multicast Fail"));
    EXPECT_EQ(status.back(), key("Stat_Fill_AddEntty_Fail"));
    EXPECT_TRUE(plan.PortLists[0].empty());
}

TEST(LatencyCompensation, ModuleTableAndFloor)
{
    struct Case
    {
        uint16_t speed;
        uint8_t port;
        uint8_t type;
        double offset;
    };
    const Case cases[] = {
        {11, 1, 53, 0.2},          {0, 1, 53, 2.24}, {3, 1, 53, 0.48}, {0, 1, 54, 0.32}, {0, 3, 54, 2.24},
        {0x8000 | 9, 1, 55, 0.32}, {9, 1, 55, 0.2},  {1, 1, 68, 3.12}, {9, 1, 68, 0},    {9, 1, 88, 0.36},
        {9, 1, 89, 0.44},          {9, 1, 66, 0.2},  {9, 1, 1, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << int(c.type) << " speed " << c.speed);
        EXPECT_DOUBLE_EQ(LatencyCompensation(c.speed, c.port, c.type), c.offset);
    }
    UtTestPort port{};
    port.TYPE = 89;
    port.SpeedMedia = 9;
    EXPECT_EQ(CompensatedLatency(port, 0.1), 0.0);
    EXPECT_DOUBLE_EQ(CompensatedLatency(port, 1.0), 0.56);
    EXPECT_EQ(CompensatedLatency(port, std::nan("")), 0.0);
}
