// The reservation dialog against the chassis simulator: the tree it builds from the inventory and the
// server's locks, its clicks and group boxes, Lock, Cancel and the presets of a loaded configuration.
#include "ports/BoardInfo.h"
#include "common/KvWireClient.h"
#include "controls/widgets/TreeCtrlEx.h"
#include "engine/PortSet.h"
#include "engine/RecordingKvServer.h"
#include "ports/PortsFixture.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTreeWidgetItem>

using KvProtocol::Op;

namespace {

// Chassis 3: slot 2 QM-M08, slot 5 a lite QM-M10, slot 6 an outdated QM-M05, slot 7 QM-M05, slot 9 QM-M13.
SimConfig reservationChassis()
{
    SimConfig config;
    config.chassis = 3;
    config.modules = {{2, 55, 4}, {5, 57, 2}, {6, 66, 2, true}, {7, 66, 4}, {9, 53, 2}};
    return config;
}

std::vector<uint8_t> setBytes(std::initializer_list<std::pair<int, int>> ports)
{
    UtPortSet set{};
    for (auto [card, port] : ports)
        EnterPortSet(set, {3, std::uint8_t(card), std::uint8_t(port)});
    const auto bytes = PortSetBytes(set);
    return {bytes.begin(), bytes.end()};
}

QTreeWidgetItem *child(QTreeWidgetItem *parent, int number)
{
    for (int i = 0; parent && i < parent->childCount(); ++i) {
        if (CBoardInfo::ItemNumber(parent->child(i)->text(0)) == number)
            return parent->child(i);
    }
    return nullptr;
}

QList<int> numbers(QTreeWidgetItem *parent)
{
    QList<int> found;
    for (int i = 0; parent && i < parent->childCount(); ++i)
        found << CBoardInfo::ItemNumber(parent->child(i)->text(0));
    return found;
}

int state(QTreeWidgetItem *item)
{
    return CTreeCtrlEx::GetStateImage(item);
}

QTreeWidgetItem *board(CBoardInfo &dialog, int slot)
{
    return child(dialog.ChassisItem(), slot);
}

QTreeWidgetItem *port(CBoardInfo &dialog, int slot, int number)
{
    return child(board(dialog, slot), number);
}

// Clicks a check box the way the tree does: toggle, then the dialog's handler.
void click(CBoardInfo &dialog, QTreeWidgetItem *item)
{
    ASSERT_NE(item, nullptr);
    const int now = state(item);
    if (now >= CTreeCtrlEx::Prohibited || CTreeCtrlEx::GetItemData(item) == 1)
        return;
    CTreeCtrlEx::SetStateImage(item,
                               now == CTreeCtrlEx::Checked ? CTreeCtrlEx::Unchecked : CTreeCtrlEx::Checked);
    dialog.OnTreeClick(item);
}

} // namespace

class BoardInfoTest : public PortsTest
{
protected:
    void SetUp() override
    {
        connect(reservationChassis());
        other = std::make_unique<KvWireClient>(server->port());
        ASSERT_EQ(other->hello(), 1);
    }

    // Another program locks ports; this program hears of it.
    void lockElsewhere(std::initializer_list<std::pair<int, int>> ports)
    {
        ASSERT_EQ(other->call(Op::Kv_LockPortStatus, setBytes(ports)), 1);
        for (auto [card, port] : ports) {
            const int index = indexOf(std::uint8_t(card), std::uint8_t(port));
            ASSERT_TRUE(QTest::qWaitFor([index] { return g_Session.PortAddr[index].Status != 0; }, 3000));
        }
    }

    bool lockableElsewhere(std::initializer_list<std::pair<int, int>> ports)
    {
        const bool locked = other->call(Op::Kv_LockPortStatus, setBytes(ports)) == 1;
        if (locked)
            other->call(Op::Kv_UnLockPortStatus, setBytes(ports));
        return locked;
    }

    std::unique_ptr<KvWireClient> other;
};

TEST_F(BoardInfoTest, TheTreeShowsWhatThisProgramMayReserve)
{
    lockElsewhere({{2, 4}, {9, 1}, {9, 2}});
    CBoardInfo dialog;
    ASSERT_TRUE(dialog.OnInitDialog());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Reserved Config"));
    ASSERT_EQ(dialog.RootItem()->childCount(), 1);
    EXPECT_EQ(dialog.ChassisItem()->text(0), QStringLiteral("Chassis(3)"));
    EXPECT_EQ(numbers(dialog.ChassisItem()), (QList<int>{2, 5, 6, 7})) << "slot 9 is held elsewhere";
    EXPECT_EQ(board(dialog, 2)->text(0), QStringLiteral("Board(2)-QM-M08"));
    EXPECT_EQ(numbers(board(dialog, 2)), (QList<int>{1, 2, 3})) << "port 4 is held elsewhere";
    EXPECT_EQ(state(board(dialog, 5)), CTreeCtrlEx::LockedHere);
    EXPECT_EQ(state(port(dialog, 5, 2)), CTreeCtrlEx::LockedHere);
    EXPECT_EQ(state(board(dialog, 6)), CTreeCtrlEx::Prohibited) << "the probe found old firmware";
    EXPECT_EQ(state(port(dialog, 6, 1)), CTreeCtrlEx::Prohibited);
    EXPECT_EQ(state(port(dialog, 7, 4)), CTreeCtrlEx::Unchecked);
    EXPECT_TRUE(dialog.IsLiteNoteShown());
    EXPECT_TRUE(dialog.IsOutdatedNoteShown());
    EXPECT_EQ(dialog.SelectedCountText(), QStringLiteral("0"));
    EXPECT_EQ(dialog.TesterNameEdit()->text(), QStringLiteral("New Tester"));
    EXPECT_EQ(dialog.TesterNameEdit()->maxLength(), 32);

    // A lock taken elsewhere while no dialog is open shows at the next opening.
    lockElsewhere({{7, 1}});
    CBoardInfo again;
    ASSERT_TRUE(again.OnInitDialog());
    EXPECT_EQ(numbers(board(again, 7)), (QList<int>{2, 3, 4}));
}

TEST_F(BoardInfoTest, ClicksSetTheFlagsAndLockReservesThemOnTheServer)
{
    CBoardInfo dialog;
    ASSERT_TRUE(dialog.OnInitDialog());
    dialog.show();
    // One real click on a port's check box.
    QTreeWidgetItem *first = port(dialog, 2, 1);
    dialog.Tree()->scrollToItem(first);
    const QPoint box = dialog.Tree()->StateIconRect(first).center();
    QTest::mouseClick(dialog.Tree()->viewport(), Qt::LeftButton, {}, box);
    EXPECT_EQ(state(first), CTreeCtrlEx::Checked);
    EXPECT_EQ(g_Session.LockedFlags[indexOf(2, 1)], 1);
    click(dialog, port(dialog, 2, 2));
    click(dialog, port(dialog, 7, 3));
    click(dialog, port(dialog, 5, 1)); // lite: refused
    EXPECT_EQ(dialog.SelectedCountText(), QStringLiteral("3"));
    EXPECT_TRUE(dialog.GroupBox(3)->isChecked()) << "QM-M08";
    EXPECT_TRUE(dialog.GroupBox(0)->isChecked()) << "QM-M05";
    click(dialog, port(dialog, 7, 3));
    EXPECT_FALSE(dialog.GroupBox(0)->isChecked()) << "its last port was unchecked";
    EXPECT_EQ(g_Session.LockedFlags[indexOf(7, 3)], 0);
    click(dialog, port(dialog, 7, 3));

    dialog.TesterNameEdit()->setText(QStringLiteral("Bench 4"));
    dialog.OnLock();
    EXPECT_EQ(dialog.result(), 1);
    EXPECT_EQ(prompter.messages(),
              QStringList{QStringLiteral("The selected ports have been reserved successfully.")});
    EXPECT_EQ(g_Session.LockCount, 3);
    EXPECT_EQ(g_Session.BoardCount, 1);
    EXPECT_EQ(dialog.TesterName, QStringLiteral("Bench 4"));
    EXPECT_FALSE(lockableElsewhere({{2, 1}}));
    EXPECT_FALSE(lockableElsewhere({{7, 3}}));
    EXPECT_TRUE(lockableElsewhere({{2, 3}}));
}

TEST_F(BoardInfoTest, LockWithNothingCheckedKeepsTheDialogOpen)
{
    CBoardInfo dialog;
    ASSERT_TRUE(dialog.OnInitDialog());
    dialog.setResult(-1);
    dialog.OnLock();
    EXPECT_EQ(dialog.result(), -1);
    EXPECT_EQ(prompter.messages(),
              QStringList{QStringLiteral("No port is selected. Please select at least one port.")});
    EXPECT_TRUE(dialog.TesterNameEdit()->isEnabled());
}

TEST_F(BoardInfoTest, ARefusedLockLeavesNothingReserved)
{
    CBoardInfo dialog;
    ASSERT_TRUE(dialog.OnInitDialog());
    click(dialog, board(dialog, 7));
    EXPECT_EQ(dialog.SelectedCountText(), QStringLiteral("4"));
    lockElsewhere({{7, 4}}); // taken while the dialog is open
    dialog.OnLock();
    EXPECT_EQ(dialog.result(), 0);
    EXPECT_EQ(prompter.messages().last(), QStringLiteral("Reserving the selected ports failed!"));
    EXPECT_EQ(std::count(g_Session.LockedFlags.begin(), g_Session.LockedFlags.end(), 1), 0);
    EXPECT_EQ(g_Session.LockCount, 0);
    EXPECT_EQ(g_Session.BoardCount, 0);
    EXPECT_TRUE(lockableElsewhere({{7, 1}, {7, 2}, {7, 3}}));
}

TEST_F(BoardInfoTest, OpeningReleasesOurPortsAndCancelTakesThemBack)
{
    {
        CBoardInfo dialog;
        ASSERT_TRUE(dialog.OnInitDialog());
        click(dialog, port(dialog, 2, 1));
        click(dialog, port(dialog, 2, 2));
        dialog.OnLock();
        ASSERT_EQ(dialog.result(), 1);
    }
    CBoardInfo dialog;
    ASSERT_TRUE(dialog.OnInitDialog());
    EXPECT_EQ(numbers(board(dialog, 2)), (QList<int>{1, 2, 3, 4})) << "our own ports are offered again";
    EXPECT_EQ(std::count(g_Session.LockedFlags.begin(), g_Session.LockedFlags.end(), 1), 0);
    EXPECT_TRUE(lockableElsewhere({{2, 1}})) << "released at opening";
    dialog.reject();
    EXPECT_EQ(dialog.result(), 0);
    EXPECT_EQ(g_Session.LockedFlags[indexOf(2, 1)], 1);
    EXPECT_EQ(g_Session.LockedFlags[indexOf(2, 2)], 1);
    EXPECT_FALSE(lockableElsewhere({{2, 1}})) << "locked again on Cancel";
    EXPECT_FALSE(lockableElsewhere({{2, 2}}));
}

TEST_F(BoardInfoTest, CancelThatCannotLockAgainHoldsNothing)
{
    {
        CBoardInfo dialog;
        ASSERT_TRUE(dialog.OnInitDialog());
        click(dialog, port(dialog, 2, 1));
        dialog.OnLock();
    }
    CBoardInfo dialog;
    ASSERT_TRUE(dialog.OnInitDialog());
    lockElsewhere({{2, 1}});
    dialog.OnCancel();
    EXPECT_EQ(prompter.messages().last(), QStringLiteral("Reserving the selected ports failed!"));
    EXPECT_EQ(std::count(g_Session.LockedFlags.begin(), g_Session.LockedFlags.end(), 1), 0);
    EXPECT_EQ(g_Session.LockCount, 0);
}

TEST_F(BoardInfoTest, GroupSelectionTakesEveryPortOfTheModelItMay)
{
    CBoardInfo dialog;
    ASSERT_TRUE(dialog.OnInitDialog());
    QCheckBox *m05 = dialog.GroupBox(0);
    m05->click();
    EXPECT_EQ(state(board(dialog, 7)), CTreeCtrlEx::Checked);
    EXPECT_EQ(state(port(dialog, 7, 4)), CTreeCtrlEx::Checked);
    EXPECT_EQ(state(board(dialog, 6)), CTreeCtrlEx::Prohibited)
        << "the outdated board is skipped, not the end";
    EXPECT_EQ(dialog.SelectedCountText(), QStringLiteral("4"));
    EXPECT_EQ(g_Session.LockedFlags[indexOf(7, 4)], 1);
    EXPECT_EQ(g_Session.LockedFlags[indexOf(6, 1)], 0);
    m05->click();
    EXPECT_EQ(dialog.SelectedCountText(), QStringLiteral("0"));
    EXPECT_EQ(g_Session.LockedFlags[indexOf(7, 4)], 0);
}

TEST_F(BoardInfoTest, PresetPortsAreCheckedAndFixed)
{
    CBoardInfo dialog;
    dialog.PresetFromConfig = 1;
    dialog.PresetPorts = {{{3, 2, 1}, 55, 0}, {{3, 2, 2}, 55, 0}};
    dialog.TesterName = QStringLiteral("From file");
    ASSERT_TRUE(dialog.OnInitDialog());
    EXPECT_EQ(dialog.TesterNameEdit()->text(), QStringLiteral("From file"));
    QTreeWidgetItem *fixed = port(dialog, 2, 1);
    EXPECT_EQ(state(fixed), CTreeCtrlEx::Checked);
    EXPECT_EQ(CTreeCtrlEx::GetItemData(fixed), 1);
    EXPECT_EQ(fixed->foreground(0).color(), fromColorRef(CBoardInfo::FixedColor));
    EXPECT_EQ(CTreeCtrlEx::GetItemData(board(dialog, 2)), 1);
    EXPECT_EQ(CTreeCtrlEx::GetItemData(dialog.ChassisItem()), 1);
    click(dialog, fixed);
    EXPECT_EQ(state(fixed), CTreeCtrlEx::Checked) << "a fixed port refuses clicks";
    EXPECT_TRUE(dialog.GroupBox(3)->isChecked());
    EXPECT_FALSE(dialog.GroupBox(3)->isEnabled());
    EXPECT_EQ(dialog.SelectedCountText(), QStringLiteral("2"));
    EXPECT_EQ(g_Session.LockedFlags[indexOf(2, 2)], 1);
}

// A configuration file's ports: a board whose ports are all preset shows ticked, a board with some or
// none does not, and neither does the chassis while a board stays unticked.
TEST_F(BoardInfoTest, BoardsWithEveryPortPresetShowTicked)
{
    CBoardInfo dialog;
    dialog.PresetFromConfig = 1;
    dialog.PresetPorts = {{{3, 2, 1}, 55, 0}, {{3, 2, 2}, 55, 0}, {{3, 2, 3}, 55, 0},
                          {{3, 2, 4}, 55, 0}, {{3, 9, 1}, 53, 0}, {{3, 7, 1}, 66, 0}};
    ASSERT_TRUE(dialog.OnInitDialog());
    EXPECT_EQ(state(board(dialog, 2)), CTreeCtrlEx::Checked);
    EXPECT_EQ(state(board(dialog, 9)), CTreeCtrlEx::Unchecked) << "one of its two ports";
    EXPECT_EQ(state(board(dialog, 7)), CTreeCtrlEx::Unchecked);
    EXPECT_EQ(state(dialog.ChassisItem()), CTreeCtrlEx::Unchecked);
}

TEST_F(BoardInfoTest, APresetPortMissingFromTheTreeEndsTheDialog)
{
    lockElsewhere({{2, 4}});
    CBoardInfo dialog;
    dialog.PresetFromConfig = 1;
    dialog.PresetPorts = {{{3, 2, 1}, 55, 0}, {{3, 2, 4}, 55, 0}};
    EXPECT_EQ(dialog.exec(), 0);
    EXPECT_EQ(prompter.messages(),
              QStringList{QStringLiteral("Configuration file doesn't match with current connection!")});
    EXPECT_EQ(std::count(g_Session.LockedFlags.begin(), g_Session.LockedFlags.end(), 1), 0)
        << "the presets found so far are not left marked";
}

TEST_F(BoardInfoTest, ChassisClickTakesEveryBoardThatMayBeReservedAndChineseTextsWork)
{
    useLanguage("LangChs.lng");
    CBoardInfo dialog;
    ASSERT_TRUE(dialog.OnInitDialog());
    EXPECT_NE(dialog.windowTitle(), QStringLiteral("Reserved Config"));
    EXPECT_EQ(CBoardInfo::ItemNumber(dialog.ChassisItem()->text(0)), 3);
    click(dialog, dialog.ChassisItem());
    EXPECT_EQ(dialog.SelectedCountText(), QStringLiteral("10"))
        << "slots 2, 7 and 9; not the lite or outdated";
    EXPECT_EQ(state(board(dialog, 5)), CTreeCtrlEx::LockedHere);
}

// The opening against a server whose unlock keeps failing, and the demo flags.
class BoardInfoCallsTest : public PortsTest
{
protected:
    // Chassis 3: slot 2 with two ports and slot 4 with one, the first two flagged as reserved here.
    void fillInventory()
    {
        g_Session.resetTables();
        const UtPortTableEntry entries[] = {{{3, 2, 1}, 55, 0}, {{3, 2, 2}, 55, 0}, {{3, 4, 1}, 53, 0}};
        g_Session.PortCount = 3;
        for (int i = 0; i < 3; ++i) {
            g_Session.PortTable[i] = entries[i];
            g_Session.PortIndex[3][entries[i].Id.BID][entries[i].Id.PID] = std::int16_t(i);
        }
        g_Session.allocatePortArrays(3);
        g_Session.LockedFlags = {1, 1, 0};
    }
};

TEST_F(BoardInfoCallsTest, ReleaseRetriesSevenTimesThenProbesEachModule)
{
    RecordingKvServer recorder;
    recorder.setAnswer([](const RecordedCall &call) { return call.op == Op::Kv_UnLockPortStatus ? 0 : 1; });
    fillInventory();
    recorder.clear();
    CBoardInfo dialog;
    ASSERT_TRUE(dialog.OnInitDialog());
    const auto unlocks = recorder.calls(Op::Kv_UnLockPortStatus);
    ASSERT_EQ(unlocks.size(), 7u);
    EXPECT_EQ(unlocks.front().u32(0), 3u);
    EXPECT_EQ(unlocks.front().u32(4), 0x3u);
    QList<Op> probes;
    for (const RecordedCall &call : recorder.calls()) {
        if (call.op != Op::Kv_UnLockPortStatus)
            probes << call.op;
    }
    EXPECT_EQ(probes, (QList<Op>{Op::Kv_TQModule_93C56_Read, Op::Kv_TQModule_BoardStatus,
                                 Op::Kv_TQModule_93C56_Read, Op::Kv_TQModule_BoardStatus}));
    EXPECT_TRUE(recorder.calls(Op::Kv_TQModule_93C56_Read)[1].isPort(3, 4, 1));
    // Lock refused: one unlock of the same 20 bytes.
    recorder.setAnswer([](const RecordedCall &) { return 0; });
    click(dialog, port(dialog, 2, 1));
    recorder.clear();
    dialog.OnLock();
    const auto calls = recorder.calls();
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls[calls.size() - 2].op, Op::Kv_LockPortStatus);
    EXPECT_EQ(calls.back().op, Op::Kv_UnLockPortStatus);
    EXPECT_EQ(calls.back().arguments, calls[calls.size() - 2].arguments);
    EXPECT_EQ(calls.back().arguments.size(), 20u);
}

TEST_F(BoardInfoCallsTest, DemoModeReservesWithoutTheLibrary)
{
    RecordingKvServer recorder;
    app.DemoMode = 1;
    g_Session.BuildDemoInventory();
    app.InitReservedPorts();
    recorder.clear();
    CBoardInfo dialog;
    ASSERT_TRUE(dialog.OnInitDialog());
    EXPECT_EQ(std::count(g_Session.LockedFlags.begin(), g_Session.LockedFlags.end(), 1), 0);
    click(dialog, dialog.ChassisItem());
    dialog.OnLock();
    EXPECT_EQ(dialog.result(), 1);
    EXPECT_EQ(g_Session.LockCount, g_Session.PortCount);
    EXPECT_TRUE(recorder.calls().empty()) << "no call in demo mode";
}
