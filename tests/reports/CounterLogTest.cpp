// The counter page on a small session: the trial blocks of each kind of test over the page's empty
// rows, the counter columns from the per-port tables, the latency samples, the verdict and Clear.
#include "reports/CounterLog.h"
#include "common/EnglishTexts.h"
#include "common/TestPlanPorts.h"
#include "controls/widgets/SkinListCtrl.h"
#include "engine/IGMPTestPlan.h"
#include "engine/Session.h"

#include <gtest/gtest.h>

namespace {

// A packed record's field as a value (GoogleTest would bind a reference to it).
template <typename T> T packedValue(T value)
{
    return value;
}

class CounterLogTest : public testing::Test
{
protected:
    // Port records 0-5 = (1,2,1) (1,2,2) (1,2,3) (1,2,4) (1,3,1) (1,3,2), all at 1 Gbit/s. Pair 1: source
    // 0, hosts 1 and 2 (2 is its unicast port); pair 2: source 4, host 5. Record 6 = (1,4,1), a host of
    // pair 2 that the hardware tables do not know.
    void SetUp() override
    {
        EngineHost::instance().reset();
        g_Session.resetTables();
        const UtPortId ids[] = {{1, 2, 1}, {1, 2, 2}, {1, 2, 3}, {1, 2, 4}, {1, 3, 1}, {1, 3, 2}};
        g_Session.PortCount = std::size(ids);
        g_Session.allocatePortArrays(g_Session.PortCount);
        for (uint16_t i = 0; i < g_Session.PortCount; ++i) {
            g_Session.PortIndex[1][ids[i].BID][ids[i].PID] = int16_t(i);
            g_Session.PortHwInfo[i] = {ids[i], 11, 0, 0, 0};
            g_Session.Ports.push_back(MakePortRecord(ids[i], 53, 11));
        }
        g_Session.Ports.push_back(MakePortRecord({1, 4, 1}, 53, 11));
        for (uint8_t n = 1; n <= 2; ++n)
            plan.TestPairs.push_back(pairOf({.id = n, .hosts = 0, .source = {}, .group = {225, 0, n, 1}}));
        plan.TestPairs[0].UniCid = 1;
        plan.TestPairs[0].UniBid = 2;
        plan.TestPairs[0].UniPid = 3;
        addPort(0, true, 1);
        addPort(1, false, 1);
        addPort(2, false, 1);
        addPort(4, true, 2);
        addPort(5, false, 2);
        addPort(6, false, 2);
        plan.FrameSize = 64;
        plan.CurrentRate = 50;
    }

    void TearDown() override { g_Session.resetTables(); }

    void addPort(uint16_t index, bool source, uint8_t pair)
    {
        UtPortRecord &record = g_Session.Ports[index];
        (source ? record.SourcePair : record.HostPair) = pair;
        UtTestPort port{};
        port.Id = {record.CID, record.BID, record.PID};
        port.TYPE = 53;
        port.PortIndex = index;
        port.SpeedMedia = 11;
        (source ? plan.SourcePorts : plan.HostPorts).push_back(port);
    }

    // Columns 0 to 5 of a row, joined by '|'.
    QString rateCells(int row) const
    {
        QStringList cells;
        for (int column = 0; column <= CCounterLog::ColRate; ++column)
            cells << page.CellText(row, column);
        return cells.join(u'|');
    }

    CIGMPTestPlan plan;
    CCounterLog page;
};

} // namespace

TEST_F(CounterLogTest, FreshPageIsTwentyEightEmptyRowsThatTheFirstBlockOverwrites)
{
    ASSERT_EQ(page.RowCount(), CCounterLog::kEmptyRows);
    ASSERT_EQ(page.List->GetColumnCount(), CCounterLog::kColumnCount);
    EXPECT_EQ(page.List->columnWidth(1), 150);
    EXPECT_EQ(page.List->columnWidth(CCounterLog::ColOverSize), 120);
    EXPECT_FALSE(page.ClearButton->isVisibleTo(&page));
    EXPECT_FALSE(page.SaveButton->isVisibleTo(&page));
    for (int row = 0; row < page.RowCount(); ++row)
        EXPECT_EQ(page.CellText(row, 0), "") << row;

    plan.TestType = TestMixClass;
    page.InsertTrialRows(plan, QString(), 1, 3, 10);
    // 64 bytes at 50 % of 1 Gbit/s: 744,047 packets per second, 768 bit times apart. The hosts show
    // their source's figures; only the pair's unicast port is named.
    const QStringList expected = {
        "Benchmark:Mixed Class Throughput  Trial:2  Repetition:3  Duration:10 sec.|||||",
        "Test Pair - 1|||||",
        "(  1, 2,1)|Source Port|64|768|50.00|744047",
        "(  1, 2,2)||n/a|768|50.00|744047",
        "(  1, 2,3)|Unicast Port|n/a|768|50.00|744047",
        "Test Pair - 2|||||",
        "(  1, 3,1)|Source Port|64|768|50.00|744047",
        "(  1, 3,2)||n/a|768|50.00|744047",
        "(  1, 4,1)||n/a|768|50.00|744047",
        "|||||",
    };
    for (int row = 0; row < expected.size(); ++row)
        EXPECT_EQ(rateCells(row), expected[row]) << row;
    EXPECT_EQ(page.RowCount(), CCounterLog::kEmptyRows);
    EXPECT_EQ(page.FirstRow, 0u);
    EXPECT_EQ(page.LastRow, 9u);
    EXPECT_EQ(packedValue(page.RowStyle(0).HeaderRow), 1);
    EXPECT_EQ(packedValue(page.RowStyle(1).HeaderRow), 0);
    EXPECT_EQ(packedValue(page.RowStyle(2).TextFormat), CCounterLog::kAlignRight);
    EXPECT_EQ(packedValue(page.RowStyle(3).TextFormat), CCounterLog::kAlignRight);
    EXPECT_EQ(packedValue(page.RowStyle(9).TextFormat), 0u);
    const uint32_t counterRows[] = {2, 3, 4, 0, 6, 7, 8};
    for (size_t index = 0; index < std::size(counterRows); ++index)
        EXPECT_EQ(g_Session.Ports[index].CounterRow, counterRows[index]) << index;

    // A block near the end of the empty rows goes on past them.
    page.FirstRow = 25;
    page.InsertTrialRows(plan, QString(), 0, 1, 10);
    EXPECT_EQ(page.RowCount(), 35);
    EXPECT_EQ(page.LastRow, 34u);
    EXPECT_EQ(page.CellText(33, 0), "(  1, 4,1)");
}

TEST_F(CounterLogTest, HeaderOfEachTestAndThePairsUnicastPort)
{
    struct Case
    {
        uint32_t testType;
        const char *header;
        const char *unicastAlias; // column 1 of pair 1's unicast host
    };
    const Case cases[] = {
        {TestMixClass, "Benchmark:Mixed Class Throughput  Trial:1  Repetition:2  Duration:30 sec.",
         "Unicast Port"},
        {TestAggregate, "Benchmark:Aggregate Multicast Throughput  Trial:1  Repetition:2  Duration:30 sec.",
         ""},
        {TestScale, "Benchmark:Scale Group Throughput  Trial:1  Repetition:2  Duration:30 sec.", ""},
        {TestCapacity, "Benchmark:Capacity Test  Trial:1  Repetition:2  Duration:30 sec.", ""},
        // No block of its own: an empty header that is still a header row.
        {TestJoinLeave, "", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.header);
        page.ResetCounterLog();
        plan.TestType = c.testType;
        page.InsertTrialRows(plan, QString(), 0, 2, 30);
        EXPECT_EQ(page.CellText(0, 0), c.header);
        EXPECT_EQ(packedValue(page.RowStyle(0).HeaderRow), 1);
        EXPECT_EQ(page.CellText(4, CCounterLog::ColAlias), c.unicastAlias);
    }
}

TEST_F(CounterLogTest, SourceFilterBlockHasTheGroupAndNoPairRows)
{
    plan.TestType = TestSourceFilter;
    g_Session.PortHwInfo[5].SpeedMedia = 7; // (1,3,2) at 100 Mbit/s: its own figures
    page.FirstRow = 3;
    page.InsertTrialRows(plan, "232.1.1.1", 0, 0, 20);
    const QStringList expected = {
        "Benchmark:IGMP V3 Source Filter Test  Trial:1  Repetition:0  Duration:20 sec.|||||",
        "Group - 232.1.1.1|||||",
        "(  1, 2,1)|Source Port|64|768|50.00|744047",
        "(  1, 3,1)|Source Port|64|768|50.00|744047",
        "(  1, 2,2)|Host Port|n/a|768|50.00|744047",
        "(  1, 2,3)|Host Port|n/a|768|50.00|744047",
        "(  1, 3,2)|Host Port|n/a|768|50.00|74404",
        // A port the session's hardware tables do not know runs at 10 Mbit/s.
        "(  1, 4,1)|Host Port|n/a|768|50.00|7440",
        "|||||",
    };
    for (int row = 0; row < expected.size(); ++row)
        EXPECT_EQ(rateCells(3 + row), expected[row]) << row;
    EXPECT_EQ(packedValue(page.RowStyle(4).HeaderRow), 1);
    EXPECT_EQ(page.LastRow, 11u);
    EXPECT_EQ(g_Session.Ports[5].CounterRow, 9u);
}

TEST_F(CounterLogTest, LatencyBlockHasCaptionRowsAndHighlightedHostCells)
{
    plan.TestType = TestLatency;
    page.InsertTrialRows(plan, QString(), 0, 1, 5);
    EXPECT_EQ(page.CellText(0, 0), "Benchmark:Latency Test Trial:1  Repetition:1  Duration:5 sec.");
    EXPECT_EQ(rateCells(3), "|||Max Latency|Min Latency|Avg Latency");
    const UtListRowStyle caption = page.RowStyle(3);
    EXPECT_EQ(packedValue(caption.TextFormat), CCounterLog::kAlignCentre);
    EXPECT_EQ(packedValue(caption.HighlightMask), CCounterLog::kLatencyCells);
    // Host rows wait for the samples; neither gap nor rate is written.
    EXPECT_EQ(rateCells(4), "(  1, 2,2)||n/a|||");
    EXPECT_EQ(packedValue(page.RowStyle(4).HighlightMask), CCounterLog::kLatencyCells);
    EXPECT_EQ(packedValue(page.RowStyle(2).HighlightMask), 0u);
    EXPECT_EQ(rateCells(8), "|||Max Latency|Min Latency|Avg Latency");
    EXPECT_EQ(page.LastRow, 11u);
}

TEST_F(CounterLogTest, CounterColumnsOfEveryPortOfTheBlock)
{
    plan.TestType = TestMixClass;
    page.InsertTrialRows(plan, QString(), 0, 1, 10);
    for (uint16_t index = 0; index < g_Session.PortCount; ++index) {
        UtPortCounters &cnt = g_Session.PortCounters[index];
        const uint64_t base = uint64_t(index + 1) * 1000;
        cnt.TxPackets = base + 1;
        cnt.TxBytes = base + 2;
        cnt.Undersize = base + 3;
        cnt.Oversize = base + 4;
        cnt.NormalSize = base + 5;
        cnt.RxBytes = base + 6;
        cnt.Ipv4Frames = base + 7;
        cnt.Collisions = base + 8;
        cnt.CrcErrors = base + 9;
        cnt.PauseFrames = base + 10;
        cnt.VlanFrames = base + 11;
        cnt.Bucket64 = base + 12;
        cnt.Bucket65To127 = base + 13;
        cnt.Bucket128To255 = base + 14;
        cnt.Bucket256To511 = base + 15;
        cnt.Bucket512To1023 = base + 16;
        cnt.Bucket1024To1522 = base + 17;
        UtPortState &st = g_Session.PortStates[index];
        st.RxCountA = base + 20;
        st.RxCountB = base + 30;
        st.TxCountA = base + 40;
        st.TxCountB = base + 50;
    }
    // Beyond 32 bits the counts stay exact.
    g_Session.PortCounters[1].TxBytes = 0x123456789ABCDEull;
    page.UpdateCounterRows(plan);

    const auto counterCells = [this](int row) {
        QStringList cells;
        for (int column = CCounterLog::ColTxPacket; column <= CCounterLog::ColOverSize; ++column)
            cells << page.CellText(row, column);
        return cells.join(u'|');
    };
    EXPECT_EQ(counterCells(3), "4090 |5124095576030430|6012 |2006|4050 |2030|2020|2007|2008 |2009|2010 |"
                               "2011|2003|2012 |2013|2014 |2015|2016 |2017|2004 ");
    EXPECT_EQ(counterCells(2).section(u'|', 0, 0), "2090 ");
    EXPECT_EQ(counterCells(7).section(u'|', 0, 0), "12090 ");
    // The host without hardware tables and the rows outside the block keep their texts.
    EXPECT_EQ(counterCells(8), QString(19, u'|'));
    EXPECT_EQ(counterCells(1), QString(19, u'|'));

    plan.TestType = TestCapacity;
    page.UpdateCounterRows(plan);
    EXPECT_EQ(counterCells(3).section(u'|', 0, 0), "2001 ");
    // A port record or hardware index outside the tables is skipped.
    page.UpdateCounterRow(plan, -1, 1);
    page.UpdateCounterRow(plan, 1, 99);
    page.UpdateCounterRow(plan, g_Session.PortCount, 1);
    EXPECT_EQ(counterCells(3).section(u'|', 0, 0), "2001 ");
}

TEST_F(CounterLogTest, LatencySamplesKeepMaximumMinimumAndAverage)
{
    plan.TestType = TestLatency;
    page.InsertTrialRows(plan, QString(), 0, 1, 5);
    const auto latencyCells = [this](int row) {
        return QStringList{page.CellText(row, 3), page.CellText(row, 4), page.CellText(row, 5)}.join(u'|');
    };
    // Host (1,2,2) of module 53 at 1 Gbit/s adds 0.2 us of its own; (1,2,3) is of a module without any.
    plan.HostPorts[1].TYPE = 1;
    const auto sample = [this](uint32_t first, uint32_t second) {
        g_Session.PortStates[1].MaxLatencyTicks = first;
        g_Session.PortStates[2].MaxLatencyTicks = second;
        page.UpdateLatencyColumns(plan);
    };
    sample(100, 0); // 4 us; 0 ticks is no sample, even on a module without compensation
    sample(4, 50);  // 0.16 us is below the compensation: nothing changes
    sample(50, 25); // 2 us
    sample(0, 25);  // a cleared reading: nothing changes
    const UtTestPort &host = plan.HostPorts[0];
    EXPECT_DOUBLE_EQ(host.LatencyMax, 4.0);
    EXPECT_DOUBLE_EQ(host.LatencyMin, 2.0);
    EXPECT_EQ(packedValue(host.LatencyCount), 2u);
    EXPECT_EQ(latencyCells(4), "4.00 |2.00 |3.00 ");
    EXPECT_EQ(packedValue(plan.HostPorts[1].LatencyCount), 3u);
    EXPECT_EQ(latencyCells(5), "2.00 |1.00 |1.33 ");
    // A host the hardware tables do not know takes no sample.
    EXPECT_EQ(packedValue(plan.HostPorts[3].LatencyCount), 0u);

    // Far more samples than a byte counts: the average stays right.
    for (int i = 0; i < 300; ++i)
        sample(25, 25);
    EXPECT_EQ(packedValue(host.LatencyCount), 302u);
    EXPECT_NEAR(host.LatencySum / host.LatencyCount, (6.0 + 300) / 302, 1e-9);

    // A host without a port record keeps its figures but shows nothing.
    g_Session.Ports[1].CID = 9;
    const QString shown = latencyCells(4);
    sample(200, 25);
    EXPECT_DOUBLE_EQ(host.LatencyMax, 8.0);
    EXPECT_EQ(latencyCells(4), shown);
}

TEST_F(CounterLogTest, VerdictClearAndReset)
{
    plan.TestType = TestMixClass;
    page.InsertTrialRows(plan, QString(), 0, 1, 10);
    page.SetRowResult(int(page.LastRow), "Pass", 0xFF8000);
    EXPECT_EQ(page.CellText(9, 0), "Pass");
    EXPECT_EQ(page.RowColor(9), 0xFF8000u);
    EXPECT_EQ(packedValue(page.RowStyle(9).HeaderRow), 0);
    page.SetRowResult(99, "Failed", 0x0000FF); // no such row
    EXPECT_EQ(page.RowCount(), CCounterLog::kEmptyRows);

    // Clear empties the list but keeps the indices; the next block still lands on its own rows.
    page.FirstRow = page.LastRow + 1;
    page.ClearButton->click();
    EXPECT_EQ(page.RowCount(), 0);
    EXPECT_EQ(page.FirstRow, 10u);
    EXPECT_EQ(page.LastRow, 9u);
    page.InsertTrialRows(plan, QString(), 0, 2, 10);
    EXPECT_EQ(page.CellText(10, 0),
              "Benchmark:Mixed Class Throughput  Trial:1  Repetition:2  Duration:10 sec.");
    EXPECT_EQ(page.CellText(9, 0), "");
    EXPECT_EQ(page.LastRow, 19u);
    EXPECT_EQ(page.RowCount(), 20);
    EXPECT_EQ(packedValue(page.RowStyle(10).HeaderRow), 1);
    EXPECT_EQ(packedValue(page.RowStyle(9).HeaderRow), 0);

    page.ResetCounterLog();
    EXPECT_EQ(page.FirstRow, 0u);
    EXPECT_EQ(page.LastRow, 0u);
    EXPECT_EQ(page.RowCount(), CCounterLog::kEmptyRows);
    EXPECT_EQ(page.CellText(0, 0), "");
    EXPECT_EQ(packedValue(page.RowStyle(0).HeaderRow), 0);
}

TEST_F(CounterLogTest, ColumnTitlesFollowTheLanguage)
{
    EnglishTexts english;
    english.install();
    page.SetLanguageText();
    EXPECT_EQ(page.List->GetColumnCaption(0), "Port");
    EXPECT_EQ(page.List->GetColumnCaption(4), "Percent(%)");
    EXPECT_EQ(page.List->GetColumnCaption(20), "Packet Size = 65~127");
    EXPECT_EQ(page.List->GetColumnCaption(CCounterLog::ColOverSize), "Over Size");
    EXPECT_EQ(page.ClearButton->text(), "Clear");
}
