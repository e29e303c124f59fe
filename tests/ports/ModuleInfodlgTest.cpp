// The module information window: every field read back from the simulator's records through the grid,
// the marks of outdated and lite modules, the controller reads per model and the demo values.
#include "ports/ModuleInfodlg.h"
#include "controls/grid/MyCug.h"
#include "controls/grid/UGCell.h"
#include "engine/RecordingKvServer.h"
#include "engine/VirtualWaitClock.h"
#include "ports/PortsFixture.h"

using KvProtocol::Op;
using namespace std::chrono_literals;

namespace {

// The grid as text: each row's side heading, then its eight cells, joined by '|'.
QStringList gridRows(MyCug *grid)
{
    QStringList rows;
    for (int row = 0; row < grid->GetRowCount(); ++row) {
        QStringList cells;
        for (int col = -1; col < CModuleInfodlg::ColumnCount; ++col) {
            QString text;
            grid->GetCellTextTo(col, row, text);
            cells << text;
        }
        rows << cells.join(u'|');
    }
    return rows;
}

CUGCell cellAt(MyCug *grid, int col, int row)
{
    CUGCell cell;
    grid->GetCellComposite(col, row, &cell);
    return cell;
}

} // namespace

class ModuleInfoTest : public PortsTest
{
};

TEST_F(ModuleInfoTest, EveryFieldComesFromTheSimulatorsRecords)
{
    const struct
    {
        char controller;
        QStringList tail; // the controller row and the chassis rows
        QString modelName;
    } cases[] = {
        {'0',
         {"1|QM-C4|v1.3b002|n/a|v1.5b003|n/a|n/a|CB1001|n/a", "|QM-H4|n/a|v2.1b012|n/a|MP01|n/a|CS1001|n/a",
          "|QM-H5|n/a|n/a|n/a|n/a|n/a|CX1001|n/a"},
         "QM-C4"},
        {'1',
         {"1|QM-C2|v1.3b002|n/a|v1.5b003|n/a|n/a|CS1001|n/a", "|QM-H2|n/a|v2.1b012|n/a|MP01|n/a|CS1001|n/a"},
         "QM-C2"},
        {'_',
         {"1|QM-C6|v1.3b002|n/a|v1.5b003|n/a|n/a|CS1001|n/a", "|QM-H3|n/a|v2.1b012|n/a|MP01|n/a|CS1001|n/a"},
         "QM-C6"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.controller);
        SimConfig config;
        config.controller = c.controller;
        config.modules = {{4, 88, 4}, {2, 53, 4}, {3, 55, 4}}; // reported out of slot order
        connect(config);
        ASSERT_NE(Kv_LockPortStatus({1, {0x00010000, 0, 0, 0}}), 0); // port (1,4,1)
        ASSERT_TRUE(QTest::qWaitFor([this] { return g_Session.PortAddr[indexOf(4, 1)].Status != 0; }, 3000));
        CModuleInfodlg window;
        window.ReadBoardInfo();
        window.FillHardwareInfo();
        EXPECT_EQ(g_Session.ChassisModelName, c.modelName);
        QStringList expected = {
            c.tail.first(),
            "2|QM-M13|v1.8b005|v4.1b040|v1.6b001|v2|Unlocked|SN0010201|001A2B010201",
            "3|QM-M08|v1.8b005|v4.1b040|v1.6b001|v2|Unlocked|SN0010301|001A2B010301",
            "4|QM-M18|v1.8b005|v4.1b040|v1.6b001|v2|Locked|SN0010401|001A2B010401",
        };
        expected += c.tail.mid(1);
        EXPECT_EQ(gridRows(window.Grid()), expected);
        QString title;
        window.Grid()->GetCellTextTo(-1, -1, title);
        EXPECT_EQ(title, QStringLiteral("Slot No."));
        window.Grid()->GetCellTextTo(7, -1, title);
        EXPECT_EQ(title, QStringLiteral("MAC"));
        EXPECT_FALSE(window.IsOutdatedLegendShown());
        EXPECT_FALSE(window.IsLiteLegendShown());
        Kv_SYS_TerminateProcess();
        server.reset();
        g_Session.resetTables();
    }
}

// A second fill shows what the first did: the sorted rows of the first leave no text, colour or mark
// in a cell the second leaves empty (here the controller's name and serial, not read yet).
TEST_F(ModuleInfoTest, RefillShowsOnlyTheSessionsValues)
{
    connect();
    CModuleInfodlg window;
    window.FillHardwareInfo();
    const QStringList first = gridRows(window.Grid());
    ASSERT_TRUE(first.first().startsWith(QStringLiteral("1|"))) << first.join('\n').toStdString();
    window.FillHardwareInfo();
    EXPECT_EQ(gridRows(window.Grid()), first);
}

TEST_F(ModuleInfoTest, OutdatedAndLiteModulesAreMarked)
{
    SimConfig config;
    config.controller = '1';
    config.modules = {{2, 53, 2}, {3, 55, 2, true}, {5, 57, 2}};
    connect(config);
    CModuleInfodlg window;
    window.ReadBoardInfo();
    window.FillHardwareInfo();
    MyCug *grid = window.Grid();
    const QStringList rows = gridRows(grid);
    ASSERT_EQ(rows.size(), 5);
    EXPECT_EQ(rows[2], "3|QM-M08|v1.0b001(Outdated)|v1.0b001|v1.6b001|v2|Unlocked|SN0010301|001A2B010301");
    for (int col = -1; col < CModuleInfodlg::ColumnCount; ++col)
        EXPECT_EQ(cellAt(grid, col, 2).m_textColor, CModuleInfodlg::GreyText) << col;
    EXPECT_NE(cellAt(grid, CModuleInfodlg::FirmwareColumn, 2).m_bitmap, nullptr);
    EXPECT_NE(cellAt(grid, CModuleInfodlg::NameColumn, 3).m_bitmap, nullptr) << "the lite QM-M10";
    EXPECT_EQ(cellAt(grid, CModuleInfodlg::NameColumn, 3).m_textColor, CModuleInfodlg::GreyText);
    EXPECT_EQ(cellAt(grid, CModuleInfodlg::NameColumn, 1).m_bitmap, nullptr);
    EXPECT_NE(cellAt(grid, CModuleInfodlg::NameColumn, 1).m_textColor, CModuleInfodlg::GreyText);
    EXPECT_TRUE(window.IsOutdatedLegendShown());
    EXPECT_TRUE(window.IsLiteLegendShown());
}

TEST_F(ModuleInfoTest, ControllerReadsPerModel)
{
    RecordingKvServer recorder;
    VirtualWaitClock clock;
    g_Session.resetTables();
    g_Session.Controller = {{1, 1, 1}, '0', 0};
    // '0' with no answer: two bounded waits, and the name is still set by the second read.
    recorder.clear();
    CModuleInfodlg window;
    window.ReadBoardInfo();
    QList<Op> ops;
    for (const RecordedCall &call : recorder.calls())
        ops << call.op;
    EXPECT_EQ(ops, (QList<Op>{Op::Kv_QMC4_BoardStatus, Op::Kv_QMC4_93C56_Read, Op::Kv_QMC4_93C56_Read}));
    EXPECT_EQ(recorder.calls()[1].u32(4), 1u);
    EXPECT_EQ(recorder.calls()[2].u32(4), 0u);
    EXPECT_EQ(clock.now(), 20 * 200ms + 100ms);
    EXPECT_EQ(g_Session.ChassisModelName, QStringLiteral("QM-C4"));

    // '1' where both reads answer: QM-C2 stands.
    g_Session.Controller.Model = '1';
    recorder.clear();
    window.ReadBoardInfo();
    ops.clear();
    for (const RecordedCall &call : recorder.calls())
        ops << call.op;
    EXPECT_EQ(ops, (QList<Op>{Op::Kv_QMC1_BoardStatus, Op::Kv_QMC1_93C56_Read, Op::Kv_QMC2_BoardStatus,
                              Op::Kv_QMC2_93C56_Read}));
    EXPECT_EQ(g_Session.ChassisModelName, QStringLiteral("QM-C2"));

    // Another model reads no controller; demo mode reads nothing.
    g_Session.Controller.Model = '3';
    recorder.clear();
    window.ReadBoardInfo();
    EXPECT_TRUE(recorder.calls().empty());
    app.DemoMode = 1;
    g_Session.Controller.Model = '0';
    window.ReadBoardInfo();
    EXPECT_TRUE(recorder.calls().empty());
}

TEST_F(ModuleInfoTest, DemoShowsEveryModuleWhateverIsReserved)
{
    app.DemoMode = 1;
    g_Session.BuildDemoInventory();
    g_Session.BoardCount = 1;
    g_Session.Controller.Model = '2';
    CModuleInfodlg window;
    window.FillDemoInfo();
    EXPECT_EQ(gridRows(window.Grid()), (QStringList{
                                           "2|QM-M13|v0.1b000|n/a|v0.1b000|n/a|Lock|n/a|n/a",
                                           "3|QM-M08|v0.1b000|n/a|v0.1b000|n/a|Lock|n/a|n/a",
                                           "4|QM-M08|v0.1b000|n/a|v0.1b000|n/a|Lock|n/a|n/a",
                                           "1|QM-C2|v0.1b000|n/a|n/a|n/a|n/a|n/a|n/a",
                                           "Chassis|QM-H1|n/a|v0.1b000|n/a|MP01|n/a|n/a|n/a",
                                       }));
    EXPECT_NE(cellAt(window.Grid(), CModuleInfodlg::NameColumn, 3).m_bitmap, nullptr)
        << "controller '2' is lite";
    EXPECT_TRUE(window.IsLiteLegendShown());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Module Information"));
}

// Esc closes the window from its grid, which keeps every other key for itself.
TEST_F(ModuleInfoTest, EscapeClosesTheWindowFromTheGrid)
{
    app.DemoMode = 1;
    g_Session.BuildDemoInventory();
    CModuleInfodlg window;
    window.FillDemoInfo();
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    window.Grid()->setFocus();
    QWidget *focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    ASSERT_TRUE(window.isAncestorOf(focus));
    QTest::keyClick(focus, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
}
