// The page frame shared by the seven test pages: the category buttons, the pair grid and the
// port-settings grid filled from the test pairs, the page's port-settings list and the copy of pairs,
// ports and settings into the test plan.
#include "PageFixture.h"

#include "controls/grid/MyCug.h"
#include "platform/ScriptedPrompter.h"
#include "ports/PortCheckGrid.h"
#include "testpages/DlgAggregate.h"
#include "testpages/DlgCapacity.h"
#include "testpages/DlgJoinLeave.h"
#include "testpages/DlgLatency.h"
#include "testpages/DlgMixClass.h"
#include "testpages/DlgScale.h"
#include "testpages/DlgSourceFilter.h"

#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <set>

namespace {

// A port record's address as it goes on the wire: its bytes in memory order.
QString recordAddress(const UtPortRecord &record)
{
    std::uint8_t bytes[4];
    std::memcpy(bytes, &record.IPAddress, 4);
    return DottedText(bytes);
}

QString cell(MyCug *grid, int col, int row)
{
    QString text;
    grid->GetCellTextTo(col, row, text);
    return text;
}

QStringList pairRows(CTestPageBase &page)
{
    QStringList rows;
    for (int row = 0; row < page.PairGrid->GetRowCount(); ++row) {
        QString label;
        page.PairGrid->GetRowText(row, label);
        rows << label + (IsRowChecked(page.PairGrid, row) ? "*" : "");
    }
    return rows;
}

QStringList portRows(CTestPageBase &page)
{
    QStringList rows;
    for (int row = 0; row < page.PortGrid->GetRowCount() && !cell(page.PortGrid, 0, row).isEmpty(); ++row)
        rows << cell(page.PortGrid, 0, row).left(11);
    return rows;
}

// The user ticks or unticks a pair row: the check cell changes, and the main view's page directory
// has the page on show store its port settings and refill its port grid for the row.
void clickPair(CTestPageBase &page, int row, bool checked)
{
    CUGCell check;
    page.PairGrid->ReadCell(0, row, &check);
    check.AssignText(checked ? QStringLiteral("1") : QStringLiteral("0"));
    page.PairGrid->WriteCell(0, row, &check);
    page.StorePortSettings();
    page.FillPortInfoGridForPairRow(row);
}

struct TestPageBaseTest : testing::Test, PageFixture
{
    // Pair 1: source (1,2,1), host (1,2,2). Pair 3: source (2,2,1), hosts (1,2,2) and (2,2,2). A port
    // of chassis 2 in no pair: (2,3,1).
    void twoChassis()
    {
        usePairs({1, 3});
        addPort(1, 2, 1, 1, 0);
        addPort(1, 2, 2, 0, 3);
        addPort(2, 2, 1, 3, 0);
        addPort(2, 2, 2, 0, 3);
        addPort(2, 3, 1, 0, 0);
        g_Session.Ports[1].SourcePair = 1; // also the source of pair 1's second role
    }
};

} // namespace

TEST_F(TestPageBaseTest, CategoryButtonsShowTheirColumnsOnEachLayout)
{
    CDlgAggregate five;
    CDlgSourceFilter filter;
    CDlgMixClass mixed;
    struct Case
    {
        CTestPageBase *page;
        QRadioButton *CTestPageBase::*button;
        std::set<int> shown;
    };
    const auto range = [](int first, int last, std::set<int> more = {}) {
        for (int col = first; col <= last; ++col)
            more.insert(col);
        return more;
    };
    const Case cases[] = {
        {&five, &CTestPageBase::CategoryAll, range(5, 18, {0})},
        {&five, &CTestPageBase::CategoryBasic, range(14, 17, {0})},
        {&five, &CTestPageBase::CategoryProtocol, range(5, 13, {0})},
        {&five, &CTestPageBase::CategoryIgmpSetting, {0, 18}},
        {&filter, &CTestPageBase::CategoryAll, range(5, 19, {0})},
        {&filter, &CTestPageBase::CategoryBasic, range(14, 17, {0})},
        {&filter, &CTestPageBase::CategoryProtocol, range(5, 13, {0})},
        {&filter, &CTestPageBase::CategoryIgmpSetting, {0, 18, 19}},
        {&mixed, &CTestPageBase::CategoryAll, range(5, 22, {0})},
        {&mixed, &CTestPageBase::CategoryBasic, range(18, 21, {0})},
        {&mixed, &CTestPageBase::CategoryProtocol, range(5, 17, {0})},
        {&mixed, &CTestPageBase::CategoryIgmpSetting, {0, 22, 23}},
    };
    for (const Case &c : cases) {
        (c.page->*c.button)->click();
        std::set<int> shown;
        for (int col = 0; col < c.page->PortGrid->GetColumnCount(); ++col) {
            if (c.page->PortGrid->GetColumnWidth(col) > 0)
                shown.insert(col);
        }
        EXPECT_EQ(shown, c.shown) << (c.page->*c.button)->text().toStdString();
        if (shown.count(5)) {
            EXPECT_EQ(c.page->PortGrid->GetColumnWidth(5), c.page == &mixed ? 125 : 135);
        }
    }
    // Only "All" resets the module column.
    five.PortGrid->ChangeColumnWidth(0, 300);
    five.OnCategoryBasic();
    EXPECT_EQ(five.PortGrid->GetColumnWidth(0), 300);
    five.OnCategoryAll();
    EXPECT_EQ(five.PortGrid->GetColumnWidth(0), 125);
}

TEST_F(TestPageBaseTest, NewGridShowsTheAllColumnsAndTheTitles)
{
    CDlgMixClass mixed;
    CDlgCapacity capacity;
    EXPECT_TRUE(capacity.CategoryAll->isChecked());
    EXPECT_EQ(capacity.PortGrid->GetRowCount(), 64);
    EXPECT_EQ(capacity.PortGrid->GetColumnCount(), 20);
    EXPECT_EQ(mixed.PortGrid->GetColumnCount(), 24);
    EXPECT_EQ(cell(capacity.PortGrid, 11, -1), "IP Address");
    EXPECT_EQ(cell(capacity.PortGrid, 19, -1), "Number of Group");
    EXPECT_EQ(cell(mixed.PortGrid, 12, -1), "Unicast VLAN ID");
    EXPECT_EQ(cell(mixed.PortGrid, 15, -1), "IP Address");
    EXPECT_EQ(capacity.PortGrid->GetColumnWidth(19), 0);
    EXPECT_EQ(capacity.PortGrid->GetColumnWidth(1), 0);
    EXPECT_EQ(capacity.PairBox->title(), "Test Pair :");
    EXPECT_EQ(mixed.PairBox->title(), "Source Pair :");
}

TEST_F(TestPageBaseTest, RatePagesLabelTheInitialRateFromTheLanguage)
{
    CDlgLatency latency;
    EXPECT_EQ(latency.InitialRateField.label->text(), "Initial Rate (%):");
    g_LangMag.SetLangFile(QStringLiteral(KV_SOURCE_DIR "/resources/Language/LangChs.lng"));
    latency.SetLanguageText();
    EXPECT_EQ(latency.InitialRateField.label->text(), g_LangMag.GetString("Defualt_Initrate"));
    EXPECT_EQ(cell(latency.PortGrid, 0, -1), g_LangMag.GetString("TestPage_Col_Module"));
}

TEST_F(TestPageBaseTest, PairGridListsThePairsInUseWithTheirFlags)
{
    twoChassis();
    plan.TestPairs[4].Status = 0; // flagged but not in use: no row
    CDlgScale page;
    page.PairChecked[3] = 1;
    page.PairChecked[5] = 1;
    page.FillPairGrid();
    EXPECT_EQ(pairRows(page), (QStringList{"Test Pair 1", "Test Pair 3*"}));
    g_LangMag.SetLangFile(QStringLiteral(KV_SOURCE_DIR "/resources/Language/LangChs.lng"));
    page.FillPairGrid();
    EXPECT_EQ(pairRows(page), (QStringList{QStringLiteral("测试对 1"), QStringLiteral("测试对 3*")}));
    EXPECT_EQ(CTestPageBase::ResultPairLabel(2), QStringLiteral("测试对 -2"));
    // Pair 3's ports; the host shared with no other ticked pair shows once.
    EXPECT_EQ(portRows(page), (QStringList{"(  1, 2,2) ", "(  2, 2,1) ", "(  2, 2,2) "}));
    // A new row shows the group of its own pair.
    EXPECT_EQ(cell(page.PortGrid, 18, 0), "224.0.3.1");
}

TEST_F(TestPageBaseTest, APortOfTwoTickedPairsHasOneRowAddedTwice)
{
    twoChassis();
    CDlgLatency page;
    page.PairChecked[1] = page.PairChecked[3] = 1;
    page.FillPairGrid();
    // (1,2,2) is host of pair 3 and source of pair 1.
    EXPECT_EQ(portRows(page), (QStringList{"(  1, 2,1) ", "(  1, 2,2) ", "(  2, 2,1) ", "(  2, 2,2) "}));
    EXPECT_EQ(cell(page.PortGrid, 1, 1), "2");
    EXPECT_EQ(cell(page.PortGrid, 1, 0), "1");
    // The row met again shows the group of the pair the fill was called for.
    EXPECT_EQ(cell(page.PortGrid, 18, 1), "224.0.3.1");
    EXPECT_EQ(cell(page.PortGrid, 19, 1), "30");
}

TEST_F(TestPageBaseTest, UntickingAPairStoresTheGridAndDropsItsPorts)
{
    twoChassis();
    CDlgAggregate page;
    page.PairChecked[1] = page.PairChecked[3] = 1;
    page.FillPairGrid();
    const int row = page.FindPortInfoRow(CTestPageBase::PortLabelOf(g_Session.Ports[2]));
    ASSERT_GE(row, 0);
    page.PortGrid->SetCellText(11, row, "10.1.2");
    clickPair(page, 1, false); // pair 3
    EXPECT_EQ(page.PairChecked[3], 0);
    EXPECT_EQ(page.FindPortInfoRow(CTestPageBase::PortLabelOf(g_Session.Ports[2])), -1);
    EXPECT_EQ(portRows(page), (QStringList{"(  1, 2,1) ", "(  1, 2,2) "}));
    // Ticked again, the port shows what was typed before.
    clickPair(page, 1, true);
    EXPECT_EQ(page.PairChecked[3], 1);
    const int again = page.FindPortInfoRow(CTestPageBase::PortLabelOf(g_Session.Ports[2]));
    EXPECT_EQ(cell(page.PortGrid, 11, again), "10.1.0.2");
    // Unticking the only ticked rows empties the grid.
    clickPair(page, 0, false);
    clickPair(page, 1, false);
    EXPECT_TRUE(portRows(page).isEmpty());
    EXPECT_EQ(page.PairChecked[1], 0);
}

TEST_F(TestPageBaseTest, FillPairGridWithNothingFlaggedLeavesNoStaleRows)
{
    twoChassis();
    CDlgJoinLeave page;
    page.PairChecked[1] = 1;
    page.FillPairGrid();
    ASSERT_FALSE(portRows(page).isEmpty());
    page.PairChecked[1] = 0;
    page.FillPairGrid();
    EXPECT_TRUE(portRows(page).isEmpty());
}

TEST_F(TestPageBaseTest, StoreReadsRowsUntilTheFirstEmptyLabel)
{
    twoChassis();
    CDlgCapacity page;
    ASSERT_EQ(page.PortSettingsList.size(), 5u);
    const QString first = CTestPageBase::PortLabelOf(g_Session.Ports[0]);
    const QString second = CTestPageBase::PortLabelOf(g_Session.Ports[4]);
    page.AddPortInfoRow(first);
    page.SetPortInfoRow(0, 0, 0);
    page.PortGrid->SetCellText(11, 0, "192.168.1.300");
    page.PortGrid->SetCellText(12, 0, "10.1");
    page.PortGrid->SetCellText(7, 0, "enable");
    page.PortGrid->SetCellText(8, 0, "70000");
    page.PortGrid->SetCellText(0, 2, second); // below an empty row
    page.PortGrid->SetCellText(11, 2, "9.9.9.9");
    const std::uint16_t idBefore = page.PortSettingsList[0].VLanID;
    page.StorePortSettings();
    const UtPortProtocolSettings &settings = page.PortSettingsList[0];
    EXPECT_EQ(DottedText(settings.IPAddress), "192.168.1.44");
    EXPECT_EQ(DottedText(settings.GatewayIP), "10.0.0.1");
    EXPECT_EQ(std::uint8_t{settings.VLanState}, 0);
    EXPECT_EQ(std::uint16_t{settings.VLanID}, idBefore) << "an id beyond 12 bits is never cut";
    EXPECT_NE(DottedText(page.PortSettingsList[4].IPAddress), "9.9.9.9");
}

// A VLAN id or priority that no tag can carry stays on show through every refill of the grid, is never
// cut into another value, and Run refuses it by row, port, column, text and range.
TEST_F(TestPageBaseTest, PortTagsThatFitNoTagStayOnShowAndAreRefusedAtRun)
{
    twoChassis();
    const struct
    {
        bool mixed;
        int column;
        const char *text;
        const char *reason; // empty: the value is taken
    } cases[] = {
        {false, 8, "70000",
         "Row 1, port (  1, 2,1) - QM-M13: VLAN ID is 70000, but it must lie between 0 and 4095."},
        {false, 8, "5000",
         "Row 1, port (  1, 2,1) - QM-M13: VLAN ID is 5000, but it must lie between 0 and 4095."},
        {false, 8, "4096",
         "Row 1, port (  1, 2,1) - QM-M13: VLAN ID is 4096, but it must lie between 0 and 4095."},
        {false, 8, "-1",
         "Row 1, port (  1, 2,1) - QM-M13: VLAN ID is -1, but it must lie between 0 and 4095."},
        {false, 8, "abc",
         "Row 1, port (  1, 2,1) - QM-M13: VLAN ID is abc, but it must lie between 0 and 4095."},
        {false, 8, "12abc",
         "Row 1, port (  1, 2,1) - QM-M13: VLAN ID is 12abc, but it must lie between 0 and 4095."},
        {false, 10, "300",
         "Row 1, port (  1, 2,1) - QM-M13: VLan Priority is 300, but it must lie between 0 and 7."},
        {false, 10, "8",
         "Row 1, port (  1, 2,1) - QM-M13: VLan Priority is 8, but it must lie between 0 and 7."},
        {true, 12, "4096",
         "Row 1, port (  1, 2,1) - QM-M13: Unicast VLAN ID is 4096, but it must lie between 0 and 4095."},
        {true, 14, "9",
         "Row 1, port (  1, 2,1) - QM-M13: Unicast VLan Priority is 9, but it must lie between 0 and 7."},
        {false, 8, "4095", ""},
        {false, 10, "+7", ""},
        {true, 12, "0", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        std::unique_ptr<CRateTestPage> page;
        if (c.mixed)
            page = std::make_unique<CDlgMixClass>();
        else
            page = std::make_unique<CDlgLatency>();
        page->PairChecked[1] = 1;
        page->FillPairGrid();
        const int row = page->FindPortInfoRow(CTestPageBase::PortLabelOf(g_Session.Ports[0]));
        ASSERT_EQ(row, 0);
        const UtPortProtocolSettings before = page->PortSettingsList[0];
        page->PortGrid->SetCellText(c.column, row, QString::fromLatin1(c.text));
        // Run stores the page on show and refills its grids before the check.
        page->StorePortSettings();
        page->FillPairGrid();
        const QString typed = QString::fromLatin1(c.text);
        EXPECT_EQ(cell(page->PortGrid, c.column, row), *c.reason ? typed : QString::number(typed.toInt()));
        EXPECT_EQ(page->CheckFieldsValid(), *c.reason == '\0');
        EXPECT_EQ(page->RefusalReason().toStdString(), c.reason);
        if (*c.reason) {
            EXPECT_EQ(std::memcmp(&page->PortSettingsList[0], &before, sizeof before), 0);
        }
    }

    // The reason in the other language, the column titled in it.
    CDlgLatency page;
    page.PairChecked[1] = 1;
    page.FillPairGrid();
    g_LangMag.SetLangFile(QStringLiteral(KV_SOURCE_DIR "/resources/Language/LangChs.lng"));
    page.SetLanguageText();
    page.PortGrid->SetCellText(8, 0, "5000");
    page.StorePortSettings();
    EXPECT_FALSE(page.CheckFieldsValid());
    EXPECT_EQ(
        page.RefusalReason(),
        QStringLiteral("第 1 行，端口 (  1, 2,1) - QM-M13：VLAN 标识 为 5000，但必须在 0 到 4095 之间。"));
}

TEST_F(TestPageBaseTest, ListGrowsWithPortsAddedAfterThePage)
{
    usePairs({2});
    CDlgAggregate page;
    EXPECT_TRUE(page.PortSettingsList.empty());
    const std::size_t index = addPort(1, 4, 1, 2, 0);
    const std::uint8_t address[4] = {10, 0, 0, 5};
    std::memcpy(&g_Session.Ports[index].IPAddress, address, 4);
    page.PairChecked[2] = 1;
    page.FillPairGrid();
    ASSERT_EQ(page.PortSettingsList.size(), 1u);
    EXPECT_EQ(cell(page.PortGrid, 11, 0), "10.0.0.5");
}

TEST_F(TestPageBaseTest, RowShowsMacVlanAndLinkCells)
{
    usePairs({1});
    addPort(1, 2, 1, 1, 0, 0x93, 255);
    addPort(1, 2, 2, 0, 1, 53, 5);
    g_Session.Ports[1].VLanState = 1;
    g_Session.Ports[1].VLanID = 12;
    const std::uint8_t mac[6] = {0x00, 0x1A, 0xFF, 0x0B, 0x02, 0xC3};
    std::copy(mac, mac + 6, g_Session.Ports[0].MAC);
    CDlgAggregate page;
    page.PairChecked[1] = 1;
    page.FillPairGrid();
    MyCug *grid = page.PortGrid;
    EXPECT_EQ(cell(grid, 6, 0), "00-1A-FF-0B-02-C3");
    // Link down on a 10G module.
    EXPECT_EQ(cell(grid, 14, 0), "LinkDown");
    EXPECT_EQ(cell(grid, 15, 0), "10G");
    EXPECT_EQ(cell(grid, 16, 0), "");
    EXPECT_EQ(cell(grid, 17, 0), "");
    EXPECT_EQ(cell(grid, 14, 1), "10M / Full / Auto");
    EXPECT_EQ(grid->GetLinkModeCode(1), 5);
    // A disabled tag greys its three cells and locks them.
    EXPECT_EQ(cell(grid, 7, 0), "Disable");
    EXPECT_EQ(grid->IsCellReadOnly(8, 0), 1);
    CUGCell shown;
    grid->GetCellComposite(9, 0, &shown);
    EXPECT_EQ(shown.m_backColor, RGB(230, 230, 230));
    EXPECT_EQ(cell(grid, 7, 1), "Enable");
    EXPECT_EQ(cell(grid, 8, 1), "12");
    EXPECT_EQ(grid->IsCellReadOnly(8, 1), 0);
    EXPECT_EQ(grid->GetCellLabel(10, 1), "0\n1\n2\n3\n4\n5\n6\n7\n");
}

TEST_F(TestPageBaseTest, SourceFilterGridListsEveryLockedPortPastSixtyFourRows)
{
    plan.TestPairs[0].Status = 1;
    for (int i = 0; i < 70; ++i)
        addPort(1, std::uint8_t(i / 5), std::uint8_t(i % 5), 0, 0);
    g_Session.LockedFlags[3] = 0;
    CDlgSourceFilter page;
    page.FillPortInfoGrid();
    EXPECT_EQ(portRows(page).size(), 69);
    EXPECT_EQ(page.PortGrid->GetRowCount(), 69);
    EXPECT_EQ(page.FindPortInfoRow(CTestPageBase::PortLabelOf(g_Session.Ports[3])), -1);
    EXPECT_EQ(cell(page.PortGrid, 0, 68), CTestPageBase::PortLabelOf(g_Session.Ports[69]));
}

TEST_F(TestPageBaseTest, ApplyCopiesPairsPortsAndSettings)
{
    twoChassis();
    g_Session.Ports[4].SourcePair = 0;
    CDlgMixClass page;
    page.PairChecked[1] = page.PairChecked[3] = 1;
    page.FillPairGrid();
    // The port in no pair gets a row of its own.
    const int loose = page.AddPortInfoRow(CTestPageBase::PortLabelOf(g_Session.Ports[4]));
    page.SetPortInfoRow(loose, 4, 0);
    page.PortGrid->SetCellText(15, loose, "10.1.2");
    page.PortGrid->SetCellText(7, loose, "Enable");
    page.PortGrid->SetCellText(8, loose, "100");
    page.PortGrid->SetCellText(11, loose, "Enable");
    page.PortGrid->SetCellText(12, loose, "4095");
    const int host = page.FindPortInfoRow(CTestPageBase::PortLabelOf(g_Session.Ports[3]));
    page.PortGrid->SetCellText(9, host, "Disable");
    page.PortGrid->SetCellText(15, host, "10.1.2.3");
    plan.TestPairs[2].UniCid = 2;
    plan.TestPairs[2].UniBid = 2;
    plan.TestPairs[2].UniPid = 2;
    plan.PairSelected[7] = 1;
    page.ApplyToTestConfig(plan);

    EXPECT_EQ(std::vector<std::uint8_t>(plan.PairSelected, plan.PairSelected + 8),
              (std::vector<std::uint8_t>{1, 0, 1, 0, 0, 0, 0, 0}));
    const auto ids = [](const std::vector<UtTestPort> &ports) {
        QStringList list;
        for (const UtTestPort &port : ports)
            list << QString("%1/%2/%3@%4")
                        .arg(int(port.Id.CID))
                        .arg(int(port.Id.BID))
                        .arg(int(port.Id.PID))
                        .arg(int(port.PortIndex));
        return list;
    };
    // (1,2,2) is source of pair 1 and host of pair 3: a source only.
    EXPECT_EQ(ids(plan.SourcePorts), (QStringList{"1/2/1@0", "1/2/2@1", "2/2/1@2"}));
    EXPECT_EQ(ids(plan.HostPorts), QStringList{"2/2/2@3"});
    EXPECT_EQ(ids(page.HostPortList), ids(plan.HostPorts));
    EXPECT_EQ(std::uint8_t{plan.HostPorts[0].Flag}, 1); // pair 3's unicast port
    EXPECT_EQ(std::uint16_t{plan.SourcePorts[0].SpeedMedia}, 11);
    // Settings go to the row's own chassis only.
    EXPECT_EQ(recordAddress(g_Session.Ports[3]), "10.1.2.3");
    EXPECT_EQ(g_Session.Ports[3].CFI, 0);
    EXPECT_EQ(g_Session.Ports[1].IPAddress, MakePortRecord({1, 2, 2}, 53, 11).IPAddress);
    const UtPortRecord &looseRecord = g_Session.Ports[4];
    EXPECT_EQ(recordAddress(looseRecord), "10.1.0.2");
    EXPECT_EQ(looseRecord.VLanState, 1);
    EXPECT_EQ(looseRecord.VLanID, 100);
    EXPECT_EQ(looseRecord.UniVLanState, 1);
    EXPECT_EQ(looseRecord.UniVLanID, 4095);
    EXPECT_EQ(page.PairChecked[1], 1);
}

TEST_F(TestPageBaseTest, FixedPlanValuesOfTheCapacityJoinLeaveAndSourceFilterPages)
{
    plan.TestDuration = 9;
    plan.InitialRate = plan.MinRate = plan.MaxRate = plan.Resolution = 5;
    plan.PayloadPattern = 7;
    CDlgCapacity capacity;
    capacity.ApplyToTestConfig(plan);
    EXPECT_EQ(plan.TestDuration, 0u);
    EXPECT_EQ(plan.InitialRate + plan.MinRate + plan.MaxRate + plan.Resolution, 0.0);
    EXPECT_EQ(plan.PayloadPattern, 0);
    CDlgJoinLeave joinLeave;
    joinLeave.ApplyToTestConfig(plan);
    EXPECT_EQ(plan.CurrentRate, 100.0);
    CDlgSourceFilter filter;
    ScriptedPrompter prompter; // no source port: the page says so after the fixed values
    filter.ApplyToTestConfig(plan);
    EXPECT_EQ(prompter.messages(), QStringList{"Source Port is Null."});
    EXPECT_EQ(plan.DelayAfterJoin, 2u);
    EXPECT_EQ(plan.FrameSize, 64);
    EXPECT_EQ(plan.IgmpVersion, 3);
    EXPECT_EQ(plan.V3ReportSize, 540u);
}

TEST(TestPageConversions, ComboIndexesGiveThePlanCodes)
{
    const std::pair<int, int> payloads[] = {{0, 14}, {1, 4}, {2, 6},  {3, 9},
                                            {4, 15}, {5, 0}, {-1, 0}, {9, 0}};
    for (const auto &[index, code] : payloads)
        EXPECT_EQ(CTestPageBase::PayloadPatternOfIndex(index), code) << index;
    const std::pair<int, int> versions[] = {{0, 1}, {1, 2}, {2, 3}, {-1, 2}};
    for (const auto &[index, version] : versions)
        EXPECT_EQ(CTestPageBase::IgmpVersionOfIndex(index), version) << index;
}

TEST(TestPageConversions, DottedTextKeepsEachPartToEightBits)
{
    const std::pair<const char *, const char *> cases[] = {
        {"192.168.1.10", "192.168.1.10"}, {"10.1", "10.0.0.1"},    {"192.168.1.300", "192.168.1.44"},
        {"10.1.2", "10.1.0.2"},           {"", "0.0.0.0"},         {"a.b.c.d", "0.0.0.0"},
        {"-1.2.3.4", "255.2.3.4"},        {"1.2.3.4.5", "1.2.3.4"}};
    for (const auto &[input, expected] : cases) {
        std::uint8_t bytes[4] = {9, 9, 9, 9};
        ParseDottedText(QString::fromLatin1(input), bytes);
        EXPECT_EQ(DottedText(bytes), expected) << input;
    }
    EXPECT_EQ(FlagOfText(u"Enable"), 1);
    EXPECT_EQ(FlagOfText(u"enable"), 0);
}
