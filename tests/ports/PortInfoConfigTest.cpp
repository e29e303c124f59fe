// The port-settings page: the grid it fills from the session, what Apply sends (or simulates), the
// waiting times and the Router Alert switch; and the "Select Ports to Modify" dialog on its grid.
#include "PortSessionFixture.h"
#include "common/SimulatorPlanTest.h"
#include "engine/RecordingKvServer.h"

#include "controls/grid/MyCug.h"
#include "controls/widgets/NumEdit.h"
#include "engine/EngineHost.h"
#include "engine/VirtualWaitClock.h"
#include "ports/DlgPortCfgSet.h"
#include "ports/PortInfoConfig.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;
using Op = KvProtocol::Op;

// Rows: 1 (1,2,1) QM-M13 1G/Full/Auto; 2 (1,2,2) QM-M13 down; 3 (1,2,3) QM-M08 fibre 1G/Full/Force, slave;
// 4 (1,2,4) type 147 down, shadow mode; 5 (1,3,1) QM-M05 100M/Full/Auto. (1,3,2) is not locked.
std::vector<PortSpec> mixedPorts()
{
    return {{{1, 2, 1}, 53, 11},    {{1, 2, 2}, 53, 0xFF}, {{1, 2, 3}, 55, 0x8009},
            {{1, 2, 4}, 147, 0xFF}, {{1, 3, 1}, 66, 7},    {{1, 3, 2}, 53, 11, false}};
}

struct SettingsPage : PortSession
{
    SettingsPage() : PortSession(mixedPorts())
    {
        g_Session.PortHwInfo[2].Setting2 = 1;
        g_Session.PortHwInfo[3].Setting1 = 1;
        EngineHost::instance().demoMode = [this] { return demo; };
        page = std::make_unique<CPortInfoConfig>();
    }
    ~SettingsPage() { EngineHost::instance().reset(); }

    MyCug &grid() { return *page->SettingsGrid; }
    QString cell(int col, int row)
    {
        QString text;
        grid().GetCellTextTo(col, row, text);
        return text;
    }
    // Text, then "ro" when read-only.
    QString state(int col, int row)
    {
        return cell(col, row) + (grid().IsCellReadOnly(col, row) ? " ro" : "");
    }

    bool demo = false;
    std::unique_ptr<CPortInfoConfig> page;
};

} // namespace

TEST(PortInfoConfig, GridShowsEveryLockedPortAndItsLink)
{
    SettingsPage p;
    MyCug &grid = p.grid();
    ASSERT_EQ(grid.GetRowCount(), 6);
    ASSERT_EQ(grid.GetColumnCount(), 9);
    EXPECT_EQ(grid.parentWidget(), p.page.get());
    EXPECT_EQ(p.cell(-1, -1), "Port No.");
    EXPECT_EQ(p.cell(8, -1), "SFP Management Interface Mode");
    EXPECT_EQ(grid.GetColumnWidth(8), 100);
    EXPECT_EQ(p.page->RowFlags.size(), 5u);

    struct Row
    {
        int row;
        QStringList cells; // side heading, then columns 0 .. 8
    };
    const Row rows[] = {
        {1,
         {"(1,2,1)", "QM-M13 ro", "", "1G", "Full ro", "Off ro", "Auto", "Copper ro", "Master ro",
          "Normal Mode ro"}},
        {2,
         {"(1,2,2)", "QM-M13 ro", "", "Link Down ro", "Full ro", "Off ro", "Auto ro", "Copper ro",
          "Master ro", "Normal Mode ro"}},
        {3,
         {"(1,2,3)", "QM-M08 ro", "", "1G", "Full ro", "Off ro", "Force", "Fiber", "Slave",
          "Normal Mode ro"}},
        {4,
         {"(1,2,4)", "QM-M22 ro", "", "Link Down ro", "Full ro", "Off ro", "Auto ro", "Copper ro",
          "Master ro", "Shadow Mode"}},
        {5,
         {"(1,3,1)", "QM-M05 ro", "", "100M", "Full", "Off ro", "Auto", "Copper ro", "Master ro",
          "Normal Mode ro"}},
    };
    for (const Row &r : rows) {
        QStringList shown{p.cell(-1, r.row)};
        for (int col = 0; col < 9; ++col)
            shown << p.state(col, r.row);
        EXPECT_EQ(shown, r.cells) << r.row;
    }
    EXPECT_EQ(grid.GetCellLabel(2, 3), "1G\n");
    EXPECT_EQ(grid.GetCellLabel(2, 5), "100M\n10M\n");
    // Link down is grey.
    CUGCell cell;
    grid.ReadCell(3, 2, &cell);
    EXPECT_EQ(cell.m_backColor, MyCug::kDisabledBackColor);
    // The all-ports row offers every choice.
    EXPECT_EQ(grid.GetCellLabel(2, 0), "10M\n100M\n1G\n10G\n");
    EXPECT_EQ(grid.GetCellLabel(8, 0), "Normal Mode\nShadow Mode\n");
    EXPECT_TRUE(grid.IsCellReadOnly(4, 0));
}

TEST(PortInfoConfig, ApplySendsOneCallPerPort)
{
    SettingsPage p;
    RecordingKvServer server;
    ASSERT_TRUE(server.connected());
    MyCug &grid = p.grid();
    grid.SetCellText(3, 5, "Half");
    grid.SetCellText(5, 5, "Force");
    grid.SetCellText(2, 5, "100M");
    grid.SetCellText(8, 4, "Normal Mode");
    // Each call waits for its answer: the server has recorded them all once Apply returns.
    p.page->OnApply();
    ASSERT_GE(server.calls().size(), 4u);

    const auto media = server.calls(Op::Kv_TQModule_MediaType);
    ASSERT_EQ(media.size(), 2u);
    EXPECT_TRUE(media[0].isPort(1, 2, 1));
    EXPECT_EQ(media[0].arguments[4], 11);
    EXPECT_EQ(media[0].arguments[5], 0);
    EXPECT_TRUE(media[1].isPort(1, 3, 1));
    EXPECT_EQ(media[1].arguments[4], 2);

    const auto change = server.calls(Op::Kv_TQModule_MediaTypeChange);
    ASSERT_EQ(change.size(), 1u);
    EXPECT_TRUE(change[0].isPort(1, 2, 3));
    const std::vector<uint8_t> block(change[0].arguments.begin() + 4, change[0].arguments.begin() + 16);
    EXPECT_EQ(block, (std::vector<uint8_t>{0, 0, 0, 0, 9, 0, 0x20, 0, 2, 0, 0, 0}));
    EXPECT_EQ(change[0].arguments[16], 1); // fibre

    const auto config = server.calls(Op::Kv_TQModule_PortConfig);
    ASSERT_EQ(config.size(), 1u);
    EXPECT_TRUE(config[0].isPort(1, 2, 4));
    const KvPortConfigBlock sent = config[0].block<KvPortConfigBlock>(4);
    EXPECT_EQ(sent.Port.CID, 1);
    EXPECT_EQ(sent.Port.BID, 2);
    EXPECT_EQ(sent.Port.PID, 4);
    EXPECT_EQ(sent.Settings[0], 0xFF);
    EXPECT_EQ(sent.SfpMode, 0);
    // The down QM-M13 port sends nothing; the roles are kept at once.
    EXPECT_EQ(server.calls().size(), 4u);
    EXPECT_EQ(g_Session.PortHwInfo[2].Setting2, 1);
    EXPECT_EQ(g_Session.PortHwInfo[3].Setting1, 0);
}

TEST(PortInfoConfig, DemoApplyDropsEveryLinkThenSetsTheNewOnes)
{
    SettingsPage p;
    p.demo = true;
    VirtualWaitClock clock;
    std::vector<std::uint16_t> during;
    clock.callAt(600ms, [&] {
        for (int i = 0; i < 5; ++i)
            during.push_back(g_Session.PortHwInfo[std::size_t(i)].SpeedMedia);
    });
    p.grid().SetCellText(2, 5, "10M");
    p.page->OnApply();
    EXPECT_EQ(during, (std::vector<std::uint16_t>{0xFF, 0xFF, 0x80FF, 0xFF, 0xFF}));
    EXPECT_EQ(g_Session.PortHwInfo[0].SpeedMedia, 11);
    EXPECT_EQ(g_Session.PortHwInfo[2].SpeedMedia, 0x8009);
    EXPECT_EQ(g_Session.PortHwInfo[4].SpeedMedia, 5);
    EXPECT_EQ(g_Session.Ports[4].SpeedMedia, 5);
    // Link-down rows read no valid setting and keep their link.
    EXPECT_EQ(g_Session.PortHwInfo[1].SpeedMedia, 0xFF);
    EXPECT_EQ(p.cell(2, 5), "10M");
}

TEST(PortInfoConfig, DefaultSetsTheFirstSpeedFullAndAuto)
{
    SettingsPage p;
    p.demo = true;
    VirtualWaitClock clock;
    p.page->OnDefault();
    EXPECT_EQ(g_Session.PortHwInfo[2].SpeedMedia, 0x800B);
    EXPECT_EQ(g_Session.PortHwInfo[4].SpeedMedia, 7);
    EXPECT_EQ(g_Session.PortHwInfo[1].SpeedMedia, 11); // "reset everything", down ports too
}

TEST(PortInfoConfig, WaitingTimesRefuseValuesOutOfRange)
{
    SettingsPage p;
    EXPECT_EQ(p.page->MinWaitTime, 4);
    EXPECT_EQ(p.page->MediaChangeTimeout, 15);
    struct Case
    {
        bool timeout;
        const char *typed;
        const char *shown;
        int wait, media;
        const char *message;
    };
    const Case cases[] = {
        {false, "0", "4", 4, 15,
         "The Min Waiting Time must be at least 1 and less than the Mediatype Change Timeout."},
        {false, "15", "4", 4, 15,
         "The Min Waiting Time must be at least 1 and less than the Mediatype Change Timeout."},
        {false, "14", "14", 14, 15, nullptr},
        {true, "21", "15", 14, 15,
         "The Mediatype Change Timeout must be greater than the Min Waiting Time and at most 20."},
        {true, "20", "20", 14, 20, nullptr},
    };
    for (const Case &c : cases) {
        const qsizetype shownBefore = p.prompter.messages().size();
        CNumEdit *edit = c.timeout ? p.page->MediaTimeoutEdit : p.page->MinWaitEdit;
        edit->setText(c.typed);
        EXPECT_EQ(edit->text(), c.shown) << c.typed;
        EXPECT_EQ(p.page->MinWaitTime, c.wait) << c.typed;
        EXPECT_EQ(p.page->MediaChangeTimeout, c.media) << c.typed;
        EXPECT_EQ(p.prompter.messages().mid(shownBefore), c.message ? QStringList{c.message} : QStringList())
            << c.typed;
    }
    g_Session.RouterAlert = 0;
    SettingsPage fresh;
    EXPECT_TRUE(fresh.page->RouterAlertBox->isChecked());
    EXPECT_EQ(g_Session.RouterAlert, 1);
    fresh.page->RouterAlertBox->click();
    EXPECT_EQ(g_Session.RouterAlert, 0);
}

TEST(PortInfoConfig, RefillRequestsCoalesce)
{
    SettingsPage p;
    const std::uint32_t before = p.page->FillGeneration;
    for (int i = 0; i < 5; ++i)
        p.page->RequestPortGridRefresh();
    EXPECT_EQ(p.page->FillGeneration, before);
    QCoreApplication::processEvents(); // the posted refill
    EXPECT_EQ(p.page->FillGeneration, before + 1);
}

TEST(DlgPortCfgSet, ListsThePortsThatCanTakeTheValue)
{
    SettingsPage p;
    struct Case
    {
        int column;
        const char *value;
        QStringList listed;
    };
    const Case cases[] = {
        // The speed goes by the row's choices: the link-down (1,2,2) takes one as well.
        {2, "1G", {"(1,2,1)-QM-M13", "(1,2,2)-QM-M13", "(1,2,3)-QM-M08"}},
        {2, "10M", {"(1,2,1)-QM-M13", "(1,2,2)-QM-M13", "(1,3,1)-QM-M05"}},
        {3, "Half", {"(1,3,1)-QM-M05"}},
        {8, "Shadow Mode", {"(1,2,4)-QM-M22"}},
    };
    for (const Case &c : cases) {
        CDlgPortCfgSet dialog;
        dialog.Owner = p.page.get();
        dialog.Column = c.column;
        dialog.Value = c.value;
        dialog.FillPortTree();
        QStringList listed;
        for (int i = 0; i < dialog.Tree->topLevelItemCount(); ++i) {
            listed << dialog.Tree->topLevelItem(i)->text(0);
            EXPECT_EQ(dialog.Tree->topLevelItem(i)->checkState(0), Qt::Checked);
        }
        EXPECT_EQ(listed, c.listed) << c.value;
    }
}

TEST(DlgPortCfgSet, OkAppliesTheValueToTheTickedRows)
{
    SettingsPage p;
    p.grid().SetCellText(5, 1, "Force");
    {
        CDlgPortCfgSet dialog;
        dialog.Owner = p.page.get();
        dialog.Column = 2;
        dialog.Value = "10M";
        dialog.FillPortTree();
        dialog.OnUnselectAll();
        dialog.OnOK();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        dialog.ApplyToCheckedPorts(dialog.Value, dialog.Column);
        EXPECT_EQ(p.cell(2, 5), "100M");
    }
    CDlgPortCfgSet dialog;
    dialog.Owner = p.page.get();
    dialog.Column = 2;
    dialog.Value = "1G";
    dialog.FillPortTree();
    ASSERT_EQ(dialog.Tree->topLevelItemCount(), 3);
    dialog.Tree->topLevelItem(2)->setCheckState(0, Qt::Unchecked);
    dialog.OnOK();
    EXPECT_EQ(p.page->RowFlags, (std::vector<bool>{true, true, false, false, false}));
    p.grid().SetCellText(2, 1, "100M");
    dialog.ApplyToCheckedPorts(dialog.Value, dialog.Column);
    EXPECT_EQ(p.state(2, 1), "1G");
    EXPECT_EQ(p.cell(2, 2), "1G") << "the link-down port";
    EXPECT_EQ(p.state(3, 1), "Full ro");
    EXPECT_EQ(p.state(7, 1), "Master"); // 1G with Force: master/slave open
    EXPECT_EQ(p.cell(2, 0), "");

    // After a refill the flags belong to another grid: nothing is applied.
    p.page->FillPortGrid();
    p.grid().SetCellText(2, 1, "100M");
    p.page->RowFlags[0] = true;
    dialog.ApplyToCheckedPorts(dialog.Value, dialog.Column);
    EXPECT_EQ(p.cell(2, 1), "100M");
}

// Apply against the simulated chassis: each changed port drops its link and comes back with the new
// setting, and the page refills itself from the link reports.
namespace {

class PortInfoConfigOnTheSimulator : public SimulatorPlanTest
{
};

} // namespace

TEST_F(PortInfoConfigOnTheSimulator, ApplyChangesTheSimulatedLinks)
{
    installEngineHooks();
    ASSERT_NO_FATAL_FAILURE(startSimulatorInRealTime({}));
    for (std::uint16_t i = 0; i < g_Session.PortCount; ++i)
        g_Session.LockedFlags[i] = i < 8 ? 1 : 0;
    CPortInfoConfig page;
    // The link codes (1,3,1) goes through; a report of another port (a late one of the connection
    // included) leaves it as it was and adds nothing.
    std::vector<std::uint16_t> seen;
    const int fibrePort = LookupPortIndex(1, g_Session.PortIndex, 3, 1);
    std::uint16_t last = g_Session.PortHwInfo[std::size_t(fibrePort)].SpeedMedia;
    g_Session.PortGridRefresh = [&] {
        const std::uint16_t now = g_Session.PortHwInfo[std::size_t(fibrePort)].SpeedMedia;
        if (now != last)
            seen.push_back(last = now);
        page.RequestPortGridRefresh();
    };
    page.FillPortGrid();
    ASSERT_EQ(page.SettingsGrid->GetRowCount(), 9);
    QString heading;
    page.SettingsGrid->GetCellTextTo(-1, 5, heading);
    ASSERT_EQ(heading, "(1,3,1)");
    page.SettingsGrid->SetCellText(6, 5, "Fiber");
    page.SettingsGrid->SetCellText(5, 5, "Force");
    page.OnApply();
    ASSERT_TRUE(QTest::qWaitFor([&] { return seen.size() >= 2; }, 3000));
    EXPECT_EQ(seen[0], 0xFF);
    EXPECT_EQ(seen[1], 0x8009);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            QString media;
            page.SettingsGrid->GetCellTextTo(6, 5, media);
            QString negotiation;
            page.SettingsGrid->GetCellTextTo(5, 5, negotiation);
            return media == "Fiber" && negotiation == "Force";
        },
        3000));
    g_Session.PortGridRefresh = nullptr;
}
