// The Mixed Class procedure in virtual time against the recording server, with the hosts' counters
// written as a device would leave them: every host gets its half of the frames on a passing repetition
// and one frame less on a failing one. Also the report window's timers and the clean-up after a run.
#include "RecordedProcedureTest.h"
#include "reports/CounterLog.h"
#include "reports/ReportMixClass.h"
#include "run/TestReportDlg.h"

#include <QTest>

namespace {

using namespace std::chrono_literals;

class MixedClassProcedureTest : public RecordedProcedureTest
{
protected:
    void SetUp() override
    {
        RecordedProcedureTest::SetUp();
        report.CountersRead = [this] { deliverCounters(); };
        searchFromFullRate();
        layOut(report.MixClassPage);
    }

    // What the hosts received in the repetition now ending.
    void deliverCounters()
    {
        const bool pass = passes.isEmpty() ? true : passes.takeFirst();
        for (const UtTestPort &host : plan.HostPorts) {
            const uint8_t pair = g_Session.Ports[host.PortIndex].HostPair;
            for (const UtTestPort &source : plan.SourcePorts) {
                if (g_Session.Ports[source.PortIndex].SourcePair == pair)
                    g_Session.PortStates[host.PortIndex].RxCountA =
                        (source.TxFrames + 1) / 2 - (pass ? 0 : 1);
            }
        }
    }

    void setLink(uint8_t portIndex, bool up) { g_Session.PortHwInfo[portIndex].SpeedMedia = up ? 11 : 0xFF; }

    QList<bool> passes;
};

} // namespace

TEST_F(MixedClassProcedureTest, FailThenPassRecordsTheLastRepetition)
{
    plan.Resolution = 100; // 100 % fails, 80 % is within the resolution of 10 %: next 10 %
    passes = {false, true};
    ASSERT_TRUE(report.PerformMixedClassTest());

    EXPECT_TRUE(
        log.contains("* Current rate 100.00, Failed! Next current rate is 10.00, Min. rate : 10.00, Max. "
                     "rate : 100.00\n"));
    EXPECT_TRUE(
        log.contains("* Current rate 10.00, Pass! Test achieve the resolution, Thoughput ==> 10.00\n"));
    EXPECT_EQ(log.filter("Test Trail - 1, Frame Size 64 bytes").size(), 1);
    EXPECT_EQ(log.back(), "* Mixclass throughput Test Complete...\n\n");

    // Two repetitions of header, 2 pairs of a pair row, a source and its hosts (3 in all), and the
    // verdict row after them, over the page's empty rows; the record covers the second.
    const CCounterLog &counters = *report.CounterPage;
    ASSERT_EQ(counters.RowCount(), CCounterLog::kEmptyRows);
    EXPECT_EQ(counters.CellText(8, 0), "Failed");
    EXPECT_EQ(counters.RowColor(8), CTestReportDlg::kFailColor);
    EXPECT_EQ(counters.CellText(9, 0).left(43), "Benchmark:Mixed Class Throughput  Trial:1  ");
    EXPECT_EQ(counters.CellText(17, 0), "Pass");
    EXPECT_EQ(counters.RowColor(17), CTestReportDlg::kPassColor);
    const auto &results = report.Results.Counters[UtResultSet::MixedClass];
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].FrameSize, 64u);
    EXPECT_EQ(results[0].FirstRow, 9u);
    EXPECT_EQ(results[0].LastRow, 17u);
    EXPECT_EQ(report.Results.Ran[TestMixClass], 1);

    EXPECT_EQ(report.MixClassPage->Cell(ReportPage::kRateRow, report.MixClassPage->ValueColumn), "10.00");
    EXPECT_EQ(report.MixClassPage->Cell(12, CReportMixClass::kPassedRateColumn), "10.00");
    EXPECT_TRUE(report.TxStopTimer.isActive()) << "timer 2 runs after a normal end";
    EXPECT_EQ(plan.CurrentRate, 10.0);
}

// With a minimum rate of 0 the search reaches a rate that gives no frame; the hosts then receive the
// nothing that was sent, which proves no throughput.
TEST_F(MixedClassProcedureTest, ARateThatSendsNoFrameFailsAtTheMinimum)
{
    plan.MinRate = 0;
    plan.Resolution = 100;
    passes = {false, true};
    ASSERT_TRUE(report.PerformMixedClassTest());

    EXPECT_TRUE(log.contains("* A rate of 0.00% sends no frames; stream not started.\n"));
    EXPECT_TRUE(log.contains("* Current rate 0.00, Failed! Test achieve the Min. rate, throughput is n/a\n"))
        << log.join("").toStdString();
    EXPECT_TRUE(log.filter("Pass!").isEmpty());
    const CCounterLog &counters = *report.CounterPage;
    ASSERT_EQ(counters.RowCount(), CCounterLog::kEmptyRows);
    EXPECT_EQ(counters.CellText(17, 0), "Failed");
    EXPECT_EQ(report.MixClassPage->Cell(12, CReportMixClass::kPassedRateColumn), "NA");
}

TEST_F(MixedClassProcedureTest, StatusTextsOfARepetitionInOrder)
{
    ASSERT_TRUE(report.PerformMixedClassTest());
    const QStringList expected = {key("Stat_Clear_Counter"),    key("Stat_Start_Counter"),
                                  key("Stat_Fill_Addentry"),    "Perform testing ...1 sec",
                                  "Perform testing ...2 sec",   key("Stat_Print_Counter"),
                                  key("Stat_Judgement_result"), key("Stat_Send_Leave")};
    const int from = int(status.indexOf(key("Stat_Clear_Counter")));
    ASSERT_GE(from, 0);
    EXPECT_EQ(status.mid(from), expected);
}

// The joins are refreshed after the 6th, 11th, ... second of a trial.
TEST_F(MixedClassProcedureTest, JoinRefreshEveryFiveSeconds)
{
    plan.IgmpVersion = 1;
    std::vector<size_t> sends;
    for (const uint32_t duration : {5u, 6u, 11u}) {
        plan.TestDuration = duration;
        server->clear();
        ASSERT_TRUE(report.PerformMixedClassTest());
        sends.push_back(callCount(Op::Kv_TQModule_NICModeSend));
    }
    EXPECT_EQ(sends[0], 0u);
    EXPECT_GT(sends[1], 0u);
    EXPECT_EQ(sends[2], 2 * sends[1]);
}

TEST_F(MixedClassProcedureTest, NoTrialsStillLeavesTheGroupsUnlessVersionOne)
{
    plan.NumberOfTrials = 0;
    std::vector<size_t> calls;
    for (const uint8_t version : {2, 1}) {
        plan.IgmpVersion = version;
        server->clear();
        status.clear();
        ASSERT_TRUE(report.PerformMixedClassTest());
        EXPECT_TRUE(status.contains(key("Stat_Send_Leave")));
        calls.push_back(server->calls().size());
    }
    EXPECT_TRUE(log.filter("Test Trail").isEmpty());
    EXPECT_GT(calls[0], calls[1]) << "version 2 sends leaves, version 1 none";
}

TEST_F(MixedClassProcedureTest, LinkCheckRetries)
{
    struct Case
    {
        const char *name;
        std::chrono::milliseconds upAt; // 0: never
        std::chrono::milliseconds stopAt;
        bool result;
        uint32_t linkState;
        const char *logged;
    };
    // The first look is at 1 s, the retries every 500 ms after it: the 10th at 6 s.
    const Case cases[] = {
        {"up at the 10th retry", 5800ms, 0ms, true, 0, "Success!\n"},
        {"never up", 0ms, 0ms, false, CTestReportDlg::kLinkDown, "* Detect the link down ports ."},
        {"Stop during the retries", 0ms, 2200ms, false, 0, nullptr},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        VirtualWaitClock caseClock;
        run.StopRequested = 0;
        report.LinkState = 0;
        log.clear();
        plan.NumberOfTrials = 0;
        setLink(1, false);
        if (c.upAt > 0ms)
            caseClock.callAt(c.upAt, [this] { setLink(1, true); });
        if (c.stopAt > 0ms)
            caseClock.callAt(c.stopAt, [this] { run.RequestStop(); });
        EXPECT_EQ(report.PerformMixedClassTest(), c.result);
        EXPECT_EQ(report.LinkState, c.linkState);
        if (c.logged) {
            EXPECT_TRUE(log.contains(c.logged)) << log.join("").toStdString();
        }
        if (c.stopAt > 0ms) {
            EXPECT_LT(caseClock.now(), 3000ms) << "no retries burnt after Stop";
            EXPECT_FALSE(log.contains("* Detect the link down ports ."));
        }
    }
}

TEST_F(MixedClassProcedureTest, StopDuringTrafficEndsWithoutLeaves)
{
    plan.TestDuration = 30;
    clock.callAt(8000ms, [this] { run.RequestStop(); });
    EXPECT_FALSE(report.PerformMixedClassTest());
    EXPECT_LT(clock.now(), 9000ms);
    EXPECT_FALSE(status.contains(key("Stat_Send_Leave")));
    EXPECT_FALSE(report.TxStopTimer.isActive());
}

// A timer 2 left from an earlier step must not stop this procedure's traffic.
TEST_F(MixedClassProcedureTest, StartStopsALeftOverTimerTwo)
{
    report.TxStopTimer.start();
    run.StopRequested = 1;
    EXPECT_FALSE(report.PerformMixedClassTest());
    EXPECT_FALSE(report.TxStopTimer.isActive());
}

TEST_F(MixedClassProcedureTest, TimerTwoStopsTheTrafficOnceTheDurationHasPassed)
{
    plan.TestDuration = 10;
    report.TimerSeconds = 1;
    g_Session.PortSaves.push_back({1, 7, 8, 900});
    report.TxStopTimer.start();
    for (int tick = 1; tick <= 10; ++tick)
        report.OnTxStopTimer();
    EXPECT_TRUE(report.TxStopTimer.isActive());
    EXPECT_EQ(report.TimerSeconds, 11u);
    server->clear();
    report.OnTxStopTimer();
    EXPECT_FALSE(report.TxStopTimer.isActive());
    EXPECT_FALSE(server->calls().empty()) << "the sources are stopped";
    EXPECT_TRUE(g_Session.PortSaves.empty());
    EXPECT_EQ(g_Session.Ports[1].StreamNumber, 900);
    EXPECT_EQ(g_Session.Ports[1].StreamItemA, 7);
}

TEST_F(MixedClassProcedureTest, TimerTwelveCountsTheWaitAfterJoin)
{
    report.TrialSeconds = 0;
    for (int tick = 0; tick < 3; ++tick)
        report.OnJoinWaitTimer();
    EXPECT_EQ(status.back(), "Waiting time after Join group ... 3 Secs");
}

TEST_F(MixedClassProcedureTest, WaitAfterJoinLastsItsSeconds)
{
    plan.NumberOfTrials = 0;
    plan.DelayAfterJoin = 4;
    ASSERT_TRUE(report.PerformMixedClassTest());
    const auto &waits = clock.waits();
    EXPECT_NE(std::find(waits.begin(), waits.end(), 4000ms), waits.end());
    EXPECT_FALSE(report.JoinWaitTimer.isActive());
}

TEST_F(MixedClassProcedureTest, CleanUpAfterARun)
{
    // Version 1: no leaves; the counters are stopped and cleared.
    plan.IgmpVersion = 1;
    EXPECT_TRUE(report.FinishTest());
    EXPECT_GT(callCount(Op::Kv_TQModule_ClearCounterStatistics), 0u);

    // After a Stop the leaves still go out and the counters are cleared.
    plan.IgmpVersion = 2;
    run.StopRequested = 1;
    server->clear();
    EXPECT_TRUE(report.FinishTest());
    EXPECT_GT(callCount(Op::Kv_TQModule_ClearCounterStatistics), 0u);
    EXPECT_EQ(run.StopRequested, 1u) << "the flag is kept for the run's end";

    // A failing leave: lists emptied, counters untouched.
    run.StopRequested = 0;
    plan.PortLists[0].push_back({});
    server->clear();
    server->setAnswer([](const RecordedCall &call) { return call.op == Op::Kv_TQModule_StartTxPkt ? 0 : 1; });
    EXPECT_FALSE(report.FinishTest());
    EXPECT_EQ(callCount(Op::Kv_TQModule_ClearCounterStatistics), 0u);
    EXPECT_TRUE(plan.PortLists[0].empty());
}

// A run stopped after the Source Filter page saved the ports' stream settings, before its procedure
// ran: the clean-up puts them back.
TEST_F(MixedClassProcedureTest, CleanUpPutsBackSavedStreamSettings)
{
    g_Session.PortSaves = {{1, 7, 8, 900}};
    g_Session.Ports[1].StreamNumber = 100;
    run.StopRequested = 1;
    EXPECT_TRUE(report.FinishTest());
    EXPECT_TRUE(g_Session.PortSaves.empty());
    EXPECT_EQ(int(g_Session.Ports[1].StreamItemA), 7);
    EXPECT_EQ(int(g_Session.Ports[1].StreamNumber), 900);
}

TEST(ResultSet, ClearEmptiesEverything)
{
    UtResultSet results;
    results.Ran = {1, 1, 1, 1, 1, 1, 1};
    for (auto &counters : results.Counters)
        counters.push_back({64, 0, 5});
    results.Filter.push_back({0, 3, {"a", "b"}});
    results.Filter.push_back({4, 7, {"c"}});
    for (int pass = 0; pass < 2; ++pass) {
        results.ClearResultRecord();
        EXPECT_FALSE(results.AnyRan());
        for (const auto &counters : results.Counters)
            EXPECT_TRUE(counters.empty());
        EXPECT_TRUE(results.Filter.empty());
    }
}
