// The Group Capacity, Join/Leave delay and Source Filter procedures in virtual time against the
// recording server, with their test pages showing the results.
#include "RecordedProcedureTest.h"
#include "reports/CounterLog.h"
#include "reports/ReportFilter.h"
#include "run/TestReportDlg.h"
#include "testpages/DlgCapacity.h"
#include "testpages/DlgJoinLeave.h"

#include <QLabel>
#include <QTableWidget>

namespace {

using namespace std::chrono_literals;

class CapacityProcedureTest : public RecordedProcedureTest
{
protected:
    void SetUp() override
    {
        RecordedProcedureTest::SetUp();
        page = std::make_unique<CDlgCapacity>();
        plan.TestType = TestCapacity;
        plan.InitialGroups = 10;
        plan.GroupStep = 20;
        plan.MaxGroups = 45;
        // The counters the device leaves: the hosts get one frame per joined group up to the table size.
        EngineHost::instance().appendLog = [this](const QString &text) {
            log << text;
            unsigned groups = 0, trial = 0;
            if (std::sscanf(text.toLatin1().constData(),
                            "============     Number of  Group %u  joined in trail - %u", &groups,
                            &trial) == 2)
                joined = groups;
        };
        report.CountersRead = [this] {
            for (const UtTestPort &host : plan.HostPorts)
                g_Session.PortStates[host.PortIndex].RxCountA =
                    host.Monitor ? monitorFrames : std::min(joined, tableSize);
        };
    }

    std::unique_ptr<CDlgCapacity> page;
    uint32_t joined = 0;
    uint32_t tableSize = 1000;
    uint64_t monitorFrames = 0;
};

} // namespace

TEST_F(CapacityProcedureTest, StepsUpToTheMaximumAndLeavesTheLastCountRun)
{
    ASSERT_TRUE(report.PerformCapacityTest(128));
    EXPECT_EQ(plan.FrameSize, 128);
    EXPECT_EQ(report.Results.Ran[TestCapacity], 1);
    EXPECT_EQ(log.filter("joined in trail").size(), 2);
    EXPECT_TRUE(log.contains("============     Number of  Group 10  joined in trail - 1 ===========\n"));
    EXPECT_TRUE(log.contains("============     Number of  Group 30  joined in trail - 1 ===========\n"));
    EXPECT_TRUE(log.contains("============     Number of  Group 30  Leave in trail - 1 ===========\n"));
    EXPECT_TRUE(log.contains("* (  1, 2,2)       --      30\n"));
    EXPECT_EQ(log.back(), "* Finish Group Capacity Test ...\n");
    EXPECT_EQ(page->CapacityLabel->text(), "30");
    // The page's grid: pair 1 with its two hosts, then pair 2 with its host.
    EXPECT_EQ(page->ResultGrid->item(0, 0)->text(), "Test Pair -1");
    EXPECT_EQ(page->ResultGrid->item(1, 0)->text(), "(  1, 2,2)");
    EXPECT_EQ(page->ResultGrid->item(1, 1)->text(), "30 ");
    EXPECT_EQ(page->ResultGrid->item(3, 0)->text(), "Test Pair -2");
    EXPECT_TRUE(report.Results.Counters[UtResultSet::MixedClass].empty());
    EXPECT_FALSE(report.TxStopTimer.isActive());
}

TEST_F(CapacityProcedureTest, FirstFailingStepEndsTheTrialAndKeepsTheLabel)
{
    struct Case
    {
        const char *name;
        uint32_t tableSize;
        uint64_t monitorFrames;
        const char *label;
        const char *leaveLine;
    };
    const Case cases[] = {
        {"the table holds 20 groups", 20, 0, "10", "Number of  Group 30  Leave"},
        {"the first step fails", 5, 0, "n/a", "Number of  Group 10  Leave"},
        {"one frame on the monitor port", 1000, 1, "n/a", "Number of  Group 10  Leave"},
    };
    plan.HostPorts[1].Monitor = 1; // (2,3)
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        log.clear();
        tableSize = c.tableSize;
        monitorFrames = c.monitorFrames;
        ASSERT_TRUE(report.PerformCapacityTest(64));
        EXPECT_EQ(page->CapacityLabel->text(), c.label);
        EXPECT_EQ(log.filter(c.leaveLine).size(), 1) << log.join("").toStdString();
    }
    EXPECT_TRUE(log.contains("* (  1, 2,3)       --      1\t\t==>Mornitor Port\n"));
}

// A run the chassis refuses after the previous one passed: the label and the grid both show the refused
// run, with no count of the run before.
TEST_F(CapacityProcedureTest, RefusedRunClearsTheLabelAndTheGridTogether)
{
    ASSERT_TRUE(report.PerformCapacityTest(64));
    ASSERT_EQ(page->CapacityLabel->text(), "30");
    ASSERT_EQ(page->ResultGrid->item(1, 1)->text(), "30 ");

    server->setAnswer(
        [](const RecordedCall &call) { return call.op == Op::Kv_TQModule_StartAutoARPReply ? 0 : 1; });
    EXPECT_FALSE(report.PerformCapacityTest(64));
    EXPECT_EQ(page->CapacityLabel->text(), "n/a");
    EXPECT_EQ(page->ResultGrid->item(0, 0)->text(), "Test Pair -1");
    EXPECT_EQ(page->ResultGrid->item(1, 0)->text(), "(  1, 2,2)");
    for (const int row : {1, 2, 4})
        EXPECT_EQ(page->ResultGrid->item(row, 1)->text(), "") << row;
}

TEST_F(CapacityProcedureTest, EmptyRangeOrNoTrials)
{
    plan.InitialGroups = 50;
    ASSERT_TRUE(report.PerformCapacityTest(64));
    EXPECT_TRUE(log.filter("joined in trail").isEmpty());
    EXPECT_TRUE(log.contains("============     Number of  Group 0  Leave in trail - 1 ===========\n"));
    EXPECT_EQ(page->CapacityLabel->text(), "n/a");

    log.clear();
    plan.NumberOfTrials = 0;
    ASSERT_TRUE(report.PerformCapacityTest(64));
    EXPECT_TRUE(log.filter("in trail").isEmpty());
    EXPECT_EQ(log.back(), "* Finish Group Capacity Test ...\n");
}

// A step of 0 (the page refuses it) runs the first count once instead of for ever.
TEST_F(CapacityProcedureTest, StepZeroRunsOneCount)
{
    plan.GroupStep = 0;
    ASSERT_TRUE(report.PerformCapacityTest(64));
    EXPECT_EQ(log.filter("joined in trail").size(), 1);
    EXPECT_EQ(page->CapacityLabel->text(), "10");
}

TEST_F(CapacityProcedureTest, DemoCountersPassEveryStep)
{
    demo = true;
    report.CountersRead = nullptr;
    plan.HostPorts[1].Monitor = 1;
    ASSERT_TRUE(report.PerformCapacityTest(64));
    EXPECT_EQ(page->CapacityLabel->text(), "30");
    const UtPortCounters &host = g_Session.PortCounters[1];
    EXPECT_EQ(v(host.Bucket64), 30u);
    EXPECT_EQ(v(host.NormalSize), 30u);
    EXPECT_EQ(v(host.RxBytes), 68u * 30);
    EXPECT_EQ(v(g_Session.PortStates[2].RxCountA), 0u) << "the monitor port";
    EXPECT_EQ(v(g_Session.PortCounters[0].TxPackets), 30u) << "a source";
}

namespace {

class JoinLeaveProcedureTest : public RecordedProcedureTest
{
protected:
    void SetUp() override
    {
        RecordedProcedureTest::SetUp();
        page = std::make_unique<CDlgJoinLeave>();
        plan.TestType = TestJoinLeave;
        plan.MeasureFlags = 3;
        plan.TestDuration = 4;
        plan.DelayAfterStart = 1;
        report.TimeStampsArrived = [this](bool join) { setStamps(join ? joinDelaysUs : leaveDelaysUs); };
    }

    // Stamps of the hosts (port indexes 1, 2, 5) with these delays in microseconds (0: no answer).
    void setStamps(const std::vector<double> &delaysUs)
    {
        const uint8_t hosts[] = {1, 2, 5};
        for (size_t i = 0; i < std::size(hosts); ++i) {
            UtDelayStamp &stamp = g_Session.DelayStamps[hosts[i]];
            stamp.TxStamp = 1000;
            stamp.RxStamp = uint32_t(1000 + delaysUs[i] / 0.04 + 0.5);
        }
    }

    std::unique_ptr<CDlgJoinLeave> page;
    std::vector<double> joinDelaysUs = {1004, 1006, 1009};
    std::vector<double> leaveDelaysUs = {2000, 0, 3000};
};

} // namespace

TEST_F(JoinLeaveProcedureTest, DelaysOfBothMeasurements)
{
    ASSERT_TRUE(report.PerformJoinLeaveDelayTest());
    EXPECT_EQ(plan.FrameSize, 64);
    EXPECT_EQ(report.Results.Ran[TestJoinLeave], 1);
    EXPECT_EQ(status.front(), key("Check_Link"));
    // Truncated, not rounded: 1.0063 ms.
    EXPECT_EQ(page->JoinAverageLabel->text(), "1.00 ms");
    EXPECT_TRUE(log.contains("* Average Join Group Delay  :   1.00  ms \n"));
    EXPECT_EQ(page->ResultGrid->item(1, 1)->text(), "1.00 ms ");
    EXPECT_EQ(page->ResultGrid->item(2, 1)->text(), "1.01 ms ");
    EXPECT_EQ(page->ResultGrid->item(4, 1)->text(), "1.01 ms ");
    // The leave without an answer shows n/a and stays out of the average.
    EXPECT_EQ(page->ResultGrid->item(2, 2)->text(), "n/a");
    EXPECT_EQ(page->ResultGrid->item(1, 2)->text(), "2.00 ms");
    EXPECT_EQ(page->LeaveAverageLabel->text(), "2.50 ms");
    EXPECT_TRUE(log.contains("* (  1, 2,3)       --      n/a, ,TX : 3E8   ,  RX:  3E8 \n"));
    EXPECT_TRUE(log.contains("* (  1, 2,2)       --      2.00 ms ,TX : 3E8   ,  RX:  C738\n"));
    EXPECT_EQ(log.filter("Test Trail - 1").size(), 1);
    // Then every port leaves, the sources too, which the leave measurement left joined.
    EXPECT_EQ(log.mid(log.size() - 2),
              (QStringList{"* Finish Leave Group Delay Test...\n", "* Leave Group...\n\n"}));
    // Join: the delay after the start, then three one-second waits; leave: one wait of three seconds.
    const auto &waits = clock.waits();
    EXPECT_EQ(std::count(waits.begin(), waits.end(), 3000ms), 2) << "the leave wait and the pause after it";
}

TEST_F(JoinLeaveProcedureTest, NoValidDelayShowsNA)
{
    joinDelaysUs = {0, 0, 0};
    plan.MeasureFlags = 1;
    ASSERT_TRUE(report.PerformJoinLeaveDelayTest());
    EXPECT_EQ(page->JoinAverageLabel->text(), "N/A");
    EXPECT_TRUE(log.contains("* Average Join Group Delay  :   N/A  \n"));
    EXPECT_TRUE(log.contains("* (  1, 2,2)       --      n/a\n"));
    EXPECT_EQ(page->LeaveAverageLabel->text(), "n/a") << "the leave is not measured";
}

TEST_F(JoinLeaveProcedureTest, NoMeasurementLeavesAndWaits)
{
    plan.MeasureFlags = 0;
    for (const uint8_t version : {2, 1}) {
        SCOPED_TRACE(int(version));
        plan.IgmpVersion = version;
        log.clear();
        status.clear();
        ASSERT_TRUE(report.PerformJoinLeaveDelayTest());
        EXPECT_EQ(log.filter("* Leave Group...").size(), version == 2 ? 1 : 0);
        EXPECT_TRUE(status.contains("* Start Group Leave Delay Test"));
        EXPECT_TRUE(log.filter("Test Trail").isEmpty());
    }
    const auto &waits = clock.waits();
    EXPECT_EQ(std::count(waits.begin(), waits.end(), 3000ms), 2) << "the duration after the delay";
}

// A delay after the start above the duration waits nothing instead of some 2^32 seconds.
TEST_F(JoinLeaveProcedureTest, DelayAboveTheDurationWaitsNothing)
{
    plan.DelayAfterStart = 6;
    ASSERT_TRUE(report.PerformJoinLeaveDelayTest());
    EXPECT_LT(clock.now(), 30000ms);
}

TEST_F(JoinLeaveProcedureTest, StopDuringTheJoinWaitEndsTheTest)
{
    plan.TestDuration = 60;
    clock.callAt(10000ms, [this] { run.RequestStop(); });
    EXPECT_FALSE(report.PerformJoinLeaveDelayTest());
    EXPECT_LT(clock.now(), 12000ms);
    EXPECT_TRUE(log.filter("Average").isEmpty());
}

TEST_F(JoinLeaveProcedureTest, DemoModeMakesUpTheStamps)
{
    demo = true;
    report.TimeStampsArrived = nullptr;
    int draw = 0;
    plan.Random = [&draw] { return (draw++ % 2) * 250; }; // tx 40000, rx 45250: 0.21 ms
    ASSERT_TRUE(report.PerformJoinLeaveDelayTest());
    EXPECT_EQ(page->JoinAverageLabel->text(), "0.21 ms");
    EXPECT_EQ(page->LeaveAverageLabel->text(), "0.61 ms");
}

namespace {

class SourceFilterProcedureTest : public RecordedProcedureTest
{
protected:
    void SetUp() override
    {
        RecordedProcedureTest::SetUp();
        plan.TestType = TestSourceFilter;
        plan.IgmpVersion = 3;
        plan.InitialRate = 25;
        setIp(g_Session.Ports[0].IPAddress, {10, 0, 0, 1});
        setIp(g_Session.Ports[4].IPAddress, {10, 0, 0, 5});
        filterGroups = {"232.1.1.1"};
        // (2,2) takes only 10.0.0.1, (2,3) everything but 10.0.0.1, (3,2) has no settings.
        filterHosts = {{"(  1, 2,2) - 53", {{"232.1.1.1", 1, {"10.0.0.1"}}}},
                       {"(  1, 2,3) - 53", {{"232.1.1.1", 2, {"10.0.0.1"}}}}};
        report.CountersRead = [this] {
            const uint64_t a = plan.SourcePorts[0].TxFrames;
            const uint64_t b = plan.SourcePorts[1].TxFrames;
            g_Session.PortStates[1].RxCountA = a;
            g_Session.PortStates[2].RxCountA = b;
            g_Session.PortStates[5].RxCountA = strayFrames;
        };
    }
    uint64_t strayFrames = 0;
};

} // namespace

TEST_F(SourceFilterProcedureTest, IsSourceExpectedByFilterMode)
{
    const UtTestPort &a = plan.SourcePorts[0];
    const UtTestPort &b = plan.SourcePorts[1];
    const UtTestPort &include = plan.HostPorts[0];
    const UtTestPort &exclude = plan.HostPorts[1];
    const UtTestPort &none = plan.HostPorts[2];
    EXPECT_TRUE(report.IsSourceExpected(a, include, "232.1.1.1"));
    EXPECT_FALSE(report.IsSourceExpected(b, include, "232.1.1.1"));
    EXPECT_FALSE(report.IsSourceExpected(a, exclude, "232.1.1.1"));
    EXPECT_TRUE(report.IsSourceExpected(b, exclude, "232.1.1.1"));
    EXPECT_FALSE(report.IsSourceExpected(a, none, "232.1.1.1")) << "no host entry";
    EXPECT_FALSE(report.IsSourceExpected(b, exclude, "232.1.1.2")) << "no group entry";
}

TEST_F(SourceFilterProcedureTest, GroupVerdictsTextsAndCells)
{
    filterGroups = {"232.1.1.1", "232.1.1.2"};
    strayFrames = 7;
    report.FilterPage->FillReportGrid();
    ASSERT_TRUE(report.PerformSourceFilterTest());
    EXPECT_EQ(report.Results.Ran[TestSourceFilter], 1);
    EXPECT_EQ(plan.CurrentRate, 25.0);
    ASSERT_EQ(report.Results.Filter.size(), 2u);
    const UtV3FilterCounterResult &first = report.Results.Filter[0];
    ASSERT_EQ(first.Texts.size(), 2);
    EXPECT_EQ(first.Texts[0], "Group 232.1.1.1 Test Result: Failed");
    EXPECT_EQ(first.Texts[1], "* (  1, 3,2) failed to receive multicast pkt accidentally ==> 7 \n");
    // Header, group, both sources, the three hosts, then the verdict row.
    EXPECT_EQ(first.FirstRow, 0u);
    EXPECT_EQ(first.LastRow, 7u);
    EXPECT_EQ(report.CounterPage->CellText(1, 0), "Group - 232.1.1.1");
    EXPECT_EQ(report.CounterPage->CellText(7, 0), "Group 232.1.1.1 Test Result: Failed");
    EXPECT_EQ(report.CounterPage->RowColor(7), CTestReportDlg::kFailColor);
    // The second group has no settings: every host expects nothing, two got frames.
    const UtV3FilterCounterResult &second = report.Results.Filter[1];
    EXPECT_EQ(second.FirstRow, 8u);
    EXPECT_EQ(second.Texts.size(), 4);
    EXPECT_EQ(report.FilterPage->Cell(12, CReportFilter::kVerdictColumn), "Fail");
    EXPECT_EQ(report.FilterPage->Cell(15, CReportFilter::kVerdictColumn), "Fail");
    EXPECT_EQ(report.FilterPage->Cell(ReportPage::kRateRow, report.FilterPage->ValueColumn), "25.00");
    EXPECT_EQ(run.ReportRow, 15u) << "the last group's first row";
    EXPECT_EQ(log.filter("Rx Port         Expect RxPkts     RxPkts(Multicast)").size(), 2)
        << "one heading per group";
    EXPECT_EQ(log.back(), "* IGMP V3 Filter Test Complete...\n\n");
    EXPECT_TRUE(report.TxStopTimer.isActive());
}

TEST_F(SourceFilterProcedureTest, PassingGroup)
{
    filterHosts.push_back({"(  1, 3,2) - 53", {{"232.1.1.1", 1, {}}}}); // an include list naming no source
    report.FilterPage->FillReportGrid();
    ASSERT_TRUE(report.PerformSourceFilterTest());
    ASSERT_EQ(report.Results.Filter.size(), 1u);
    EXPECT_EQ(report.Results.Filter[0].Texts, QStringList{"Group 232.1.1.1 Test Result: Pass"});
    EXPECT_EQ(report.CounterPage->RowColor(7), CTestReportDlg::kPassColor);
    EXPECT_TRUE(log.contains("Pass!\n"));
    EXPECT_EQ(report.FilterPage->Cell(12, CReportFilter::kVerdictColumn), "Pass");
}

TEST_F(SourceFilterProcedureTest, EmptyGroupListStillLeaves)
{
    filterGroups.clear();
    std::vector<size_t> calls;
    for (const uint8_t version : {3, 1}) {
        plan.IgmpVersion = version;
        server->clear();
        ASSERT_TRUE(report.PerformSourceFilterTest());
        calls.push_back(server->calls().size());
    }
    EXPECT_TRUE(report.Results.Filter.empty());
    EXPECT_GT(calls[0], calls[1]);
}

// The Source Filter page's stream settings go back when the procedure ends, normally or not, without
// waiting for timer 2: a run that starts within the test's duration finds the ports' own values.
TEST_F(SourceFilterProcedureTest, StreamSettingsGoBackWhenTheProcedureEnds)
{
    for (const bool stop : {false, true}) {
        SCOPED_TRACE(stop);
        UtPortRecord &record = g_Session.Ports[0];
        g_Session.PortSaves = {{0, 7, 8, 900}};
        record.StreamItemA = 0;
        record.StreamItemB = 1;
        record.StreamNumber = 100;
        run.StopRequested = stop ? 1 : 0;
        EXPECT_EQ(report.PerformSourceFilterTest(), !stop);
        EXPECT_TRUE(g_Session.PortSaves.empty());
        EXPECT_EQ(int(record.StreamItemA), 7);
        EXPECT_EQ(int(record.StreamItemB), 8);
        EXPECT_EQ(int(record.StreamNumber), 900);
    }
}
