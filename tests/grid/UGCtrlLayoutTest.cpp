#include "ProbeGrid.h"

#include "controls/grid/UGGrid.h"
#include "controls/grid/UGMultiSelect.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <gtest/gtest.h>

namespace {

TEST(UGCtrlSizes, ColumnAndRowLimits)
{
    ProbeGrid grid;
    EXPECT_EQ(grid.SetColumnCount(32000), 0);
    EXPECT_EQ(grid.SetColumnCount(32001), 1);
    EXPECT_EQ(grid.GetColumnCount(), 32000);
    EXPECT_EQ(grid.SetColumnCount(-1), 1);

    EXPECT_EQ(grid.SetRowCount(64000), 0);
    EXPECT_EQ(grid.CurrentSheet()->m_uniformRowHeight, 0);
    EXPECT_EQ(grid.SetRowCount(64001), 0);
    EXPECT_EQ(grid.CurrentSheet()->m_uniformRowHeight, 1);
    EXPECT_TRUE(grid.CurrentSheet()->m_rowHeights.empty());
    grid.SetRowCount(10);
    EXPECT_EQ(grid.CurrentSheet()->m_uniformRowHeight, 1);
    ASSERT_EQ(grid.ChangeRowHeight(3, 30), 0);
    EXPECT_EQ(grid.GetRowHeight(0), 30);
    EXPECT_EQ(grid.GetRowHeight(9), 30);
    EXPECT_EQ(grid.GetRowHeight(10), 0);
}

TEST(UGCtrlSizes, ShrinkingTheRowCountMovesTheCurrentRow)
{
    ProbeGrid grid;
    grid.SetColumnCount(2);
    grid.SetRowCount(10);
    ASSERT_EQ(grid.MoveCurrentRowTo(5), 0);
    grid.SetRowCount(3);
    EXPECT_EQ(grid.GetCurrentRow(), 2);
    grid.SetRowCount(0);
    EXPECT_EQ(grid.GetCurrentRow(), -1);
    grid.SetRowCount(4);
    EXPECT_EQ(grid.GetCurrentRow(), 0);
}

TEST(UGCtrlSizes, HeadingHeightsRescale)
{
    ProbeGrid grid;
    CUGGridInfo *sheet = grid.CurrentSheet();
    sheet->m_topHdgRowCount = 2;
    sheet->m_topHdgRowHeights = {20, 10};
    ASSERT_EQ(grid.SetTopHeadingHeight(40), 0);
    EXPECT_EQ(sheet->m_topHdgRowHeights, (std::vector<int>{27, 13}));
    EXPECT_EQ(sheet->m_topHdgHeight, 40);

    // Headings set to 0 (as the check lists do) and then given a size again.
    ASSERT_EQ(grid.SetTopHeadingHeight(0), 0);
    EXPECT_EQ(sheet->m_topHdgRowHeights, (std::vector<int>{0, 0}));
    ASSERT_EQ(grid.SetTopHeadingHeight(31), 0);
    EXPECT_EQ(sheet->m_topHdgRowHeights, (std::vector<int>{15, 16}));
    ASSERT_EQ(grid.SetSideHeadingWidth(0), 0);
    ASSERT_EQ(grid.SetSideHeadingWidth(30), 0);
    EXPECT_EQ(sheet->m_sideHdgColWidths, (std::vector<int>{30}));

    EXPECT_EQ(grid.SetTopHeadingHeight(1025), 1);
    EXPECT_EQ(grid.SetTopHeadingHeight(-1), 1);
    EXPECT_EQ(sheet->m_topHdgHeight, 31);

    struct Case
    {
        int row;
        int height;
        int expected;
    };
    for (const Case &c :
         {Case{-3, 10, 1}, Case{0, 10, 1}, Case{-1, 1025, 2}, Case{-1, -5, 2}, Case{-2, 12, 0}})
        EXPECT_EQ(grid.SetTopHeadingRowHeight(c.row, c.height), c.expected) << c.row << " " << c.height;
    EXPECT_EQ(sheet->m_topHdgRowHeights[1], 12);
    EXPECT_EQ(grid.SetSideHeadingColumnWidth(-1, 25), 0);
    EXPECT_EQ(sheet->m_sideHdgWidth, 25);
    EXPECT_EQ(grid.SetSideHeadingColumnWidth(-2, 25), 1);
}

TEST(UGCtrlSizes, ColumnWidthsHiddenColumnsAndMoves)
{
    ProbeGrid grid;
    grid.SetColumnCount(3);
    grid.SetRowCount(1);
    for (int col = 0; col < 3; ++col)
        grid.SetCellText(col, 0, QString("c%1").arg(col));
    EXPECT_EQ(grid.ChangeColumnWidth(1, 0), 0);
    EXPECT_EQ(grid.GetColumnWidth(1), 0);
    EXPECT_EQ(grid.ChangeColumnWidth(2, -40), 0);
    EXPECT_EQ(grid.GetColumnWidth(2), 0);
    EXPECT_EQ(grid.ChangeColumnWidth(3, 10), 1);
    EXPECT_EQ(grid.ChangeColumnWidth(-1, 33), 0);
    EXPECT_EQ(grid.GetColumnWidth(-1), 33);
    EXPECT_EQ(grid.ChangeColumnWidth(-2, 33), 1);

    EXPECT_EQ(grid.MoveColumn(2, 3), 0);
    QString shown;
    grid.GetCellTextTo(2, 0, shown);
    EXPECT_EQ(shown, "c2");
    EXPECT_EQ(grid.MoveColumn(0, 3), 0);
    const char *expected[] = {"c1", "c2", "c0"};
    for (int col = 0; col < 3; ++col) {
        grid.GetCellTextTo(col, 0, shown);
        EXPECT_EQ(shown, expected[col]) << col;
    }
    EXPECT_EQ(grid.MoveColumn(0, 4), 1);
    EXPECT_EQ(grid.MoveColumn(-1, 0), 1);
}

TEST(UGCtrlSizes, LockedColumnsAndRows)
{
    ProbeGrid grid;
    grid.SetColumnCount(4);
    grid.SetRowCount(4);
    EXPECT_EQ(grid.SetLockedColumnCount(5), 1);
    EXPECT_EQ(grid.SetLockedColumnCount(2), 0);
    EXPECT_EQ(grid.CurrentSheet()->m_lockedColsWidth, 150);
    EXPECT_EQ(grid.GetLeftColumn(), 2);
    EXPECT_EQ(grid.SetLockedRowCount(1), 0);
    EXPECT_EQ(grid.CurrentSheet()->m_lockedRowsHeight, 20);
    grid.SetColumnCount(2); // no more columns than locked: one fewer is locked
    EXPECT_EQ(grid.CurrentSheet()->m_lockedColCount, 1);
}

class AttachedGrid : public testing::Test
{
protected:
    void SetUp() override { probe.grid->log.clear(); }
    void size(int cols, int rows)
    {
        grid().SetColumnCount(cols);
        grid().SetRowCount(rows);
        grid().log.clear();
    }
    ProbeGrid &grid() { return *probe.grid; }
    AttachedProbe probe;
};

TEST_F(AttachedGrid, LayoutRectangles)
{
    struct Case
    {
        int cols;
        int rows;
        UgRect grid;
        UgRect vScroll;
        UgRect hScroll;
    };
    const Case cases[] = {
        {3, 5, {40, 20, 400, 300}, {400, 0, 400, 300}, {0, 300, 400, 300}},   // all fits
        {10, 5, {40, 20, 400, 283}, {400, 0, 400, 283}, {0, 283, 400, 300}},  // columns overflow
        {10, 50, {40, 20, 383, 283}, {383, 0, 400, 283}, {0, 283, 383, 300}}, // both overflow
    };
    for (const Case &c : cases) {
        size(c.cols, c.rows);
        grid().LayOutChildWindows();
        const CUGGridInfo &sheet = *grid().CurrentSheet();
        EXPECT_EQ(sheet.m_gridRect, c.grid) << c.cols << "x" << c.rows;
        EXPECT_EQ(sheet.m_vScrollRect, c.vScroll) << c.cols << "x" << c.rows;
        EXPECT_EQ(sheet.m_hScrollRect, c.hScroll) << c.cols << "x" << c.rows;
        EXPECT_EQ(sheet.m_topHdgRect, (UgRect{40, 0, c.grid.right, 20}));
        EXPECT_EQ(sheet.m_sideHdgRect, (UgRect{0, 20, 40, c.grid.bottom}));
        EXPECT_EQ(sheet.m_cornerRect, (UgRect{0, 0, 40, 20}));
        EXPECT_EQ(grid().GridWindow()->geometry(), toQRect(c.grid));
        EXPECT_EQ(sheet.m_gridWidth, c.grid.width());
        EXPECT_EQ(sheet.m_gridHeight, c.grid.height());
    }
}

TEST_F(AttachedGrid, HookOrderOfMoves)
{
    size(10, 50);
    struct Step
    {
        const char *what;
        std::function<int()> act;
        int result;
        QStringList log;
    };
    const Step steps[] = {
        {"key move down",
         [&] { return grid().MoveCurrentRowBy(CUGCtrl::MoveDown); },
         0,
         {"HookMayMoveCell(0,0,0,1)", "HookCurrentRowChanged(0,1)", "HookCurrentCellChanged(0,0,0,1)"}},
        {"click move",
         [&] { return grid().MoveCurrentCellTo(2, 3); },
         0,
         {"HookMayMoveCell(0,1,2,3)", "HookCurrentColumnChanged(0,2)", "HookCurrentRowChanged(1,3)",
          "HookCurrentCellChanged(0,2,1,3)"}},
        {"move into view",
         [&] { return grid().MoveCurrentCellTo(9, 20); },
         0,
         {"HookMayMoveCell(2,3,9,20)", "HookMayMoveView(0,0,9,20)", "HookCurrentColumnChanged(2,9)",
          "HookCurrentRowChanged(3,20)", "HookCurrentCellChanged(2,9,3,20)", "HookLeftColumnChanged(0,6)",
          "HookTopRowChanged(0,8)", "HookViewScrolled(6,0,8)", "HookViewScrolled(5,0,6)"}},
        {"cell move refused",
         [&] {
             grid().refuseMoveCell = true;
             return grid().MoveCurrentCellTo(1, 1);
         },
         2,
         {"HookMayMoveCell(9,20,1,1)"}},
        {"view move refused",
         [&] {
             grid().refuseMoveCell = false;
             grid().refuseMoveView = true;
             return grid().MoveCurrentRowTo(0);
         },
         2,
         {"HookMayMoveCell(9,20,9,0)", "HookMayMoveView(6,8,6,0)"}},
        {"scroll",
         [&] {
             grid().refuseMoveView = false;
             return grid().ScrollTopRowBy(CUGCtrl::MoveUp);
         },
         0,
         {"HookMayMoveView(6,8,6,7)", "HookTopRowChanged(8,7)", "HookViewScrolled(6,8,7)"}},
        {"past the last row",
         [&] {
             grid().MoveCurrentRowBy(CUGCtrl::MoveLast);
             grid().log.clear();
             return grid().MoveCurrentRowBy(CUGCtrl::MoveDown);
         },
         1,
         {"HookRowsPastEnd(50,1,0)"}},
        {"out of range cell", [&] { return grid().MoveCurrentCellTo(10, 0); }, 1, {}},
        {"column sized",
         [&] {
             grid().sizedColumnLimit = 50;
             return grid().ChangeColumnWidth(1, 100);
         },
         0,
         {"HookColumnSized(1,50)"}},
        {"row sized", [&] { return grid().ChangeRowHeight(2, 33); }, 0, {"HookRowSized(2,33)"}},
    };
    for (const Step &step : steps) {
        const qsizetype from = grid().log.size();
        EXPECT_EQ(step.act(), step.result) << step.what;
        EXPECT_EQ(grid().movesSince(step.what == std::string("past the last row") ? 0 : from), step.log)
            << step.what;
        if (step.what == std::string("cell move refused")) {
            EXPECT_EQ(grid().GetCurrentColumn(), 9);
            EXPECT_EQ(grid().GetCurrentRow(), 20);
            EXPECT_EQ(grid().GetTopRow(), 8);
            EXPECT_EQ(grid().GetLeftColumn(), 6);
        }
    }
    EXPECT_EQ(grid().GetColumnWidth(1), 50);
    EXPECT_EQ(grid().GetRowHeight(2), 33);
}

TEST_F(AttachedGrid, MovesClampAndPage)
{
    size(10, 50);
    EXPECT_EQ(grid().MoveCurrentRowBy(CUGCtrl::MovePageDown), 0);
    EXPECT_EQ(grid().GetCurrentRow(), 13);
    EXPECT_EQ(grid().MoveCurrentRowBy(CUGCtrl::MovePageUp), 0);
    EXPECT_EQ(grid().GetCurrentRow(), 0);
    EXPECT_EQ(grid().MoveCurrentRowBy(CUGCtrl::MoveLast), 0);
    EXPECT_EQ(grid().GetCurrentRow(), 49);
    EXPECT_EQ(grid().GetTopRow(), 37);
    EXPECT_EQ(grid().MoveCurrentRowBy(6), 1);
    EXPECT_EQ(grid().MoveCurrentRowTo(-4), 0);
    EXPECT_EQ(grid().GetCurrentRow(), 0);
    EXPECT_EQ(grid().GetTopRow(), 0);
    // Hidden columns are stepped over by the column codes.
    grid().ChangeColumnWidth(1, 0);
    EXPECT_EQ(grid().MoveCurrentColumnBy(CUGCtrl::MoveDown), 0);
    EXPECT_EQ(grid().GetCurrentColumn(), 2);
    EXPECT_EQ(grid().MoveCurrentColumnBy(CUGCtrl::MoveUp), 0);
    EXPECT_EQ(grid().GetCurrentColumn(), 0);
    EXPECT_EQ(grid().ScrollTopRowTo(100), 0);
    EXPECT_EQ(grid().GetTopRow(), grid().CurrentSheet()->m_maxTopRow);
    EXPECT_EQ(grid().CurrentSheet()->m_maxTopRow, 37);
}

TEST_F(AttachedGrid, JoinedBlocksAreSteppedOver)
{
    size(4, 6);
    grid().JoinCellRange(0, 1, 0, 3);
    ASSERT_EQ(grid().MoveCurrentRowBy(CUGCtrl::MoveDown), 0);
    EXPECT_EQ(grid().GetCurrentRow(), 1);
    ASSERT_EQ(grid().MoveCurrentRowBy(CUGCtrl::MoveDown), 0);
    EXPECT_EQ(grid().GetCurrentRow(), 4);
    ASSERT_EQ(grid().MoveCurrentRowBy(CUGCtrl::MoveUp), 0);
    EXPECT_EQ(grid().GetCurrentRow(), 1);
    ASSERT_EQ(grid().MoveCurrentCellTo(0, 3), 0); // a click inside lands on the origin
    EXPECT_EQ(grid().GetCurrentRow(), 1);
}

TEST_F(AttachedGrid, CellsAndPoints)
{
    size(10, 50);
    int col = -1, row = -1;
    UgRect rect;
    ASSERT_EQ(grid().GetCellFromPoint(80, 45, &col, &row, &rect), 0);
    EXPECT_EQ(col, 1);
    EXPECT_EQ(row, 2);
    EXPECT_EQ(rect, (UgRect{75, 40, 150, 60}));
    EXPECT_EQ(grid().GetCellFromPoint(-1, 5, &col, &row, &rect), 1);
    EXPECT_EQ(grid().GetCellFromPoint(5, 263, &col, &row, &rect), 1);

    grid().JoinCellRange(1, 1, 2, 2);
    col = 2;
    row = 2;
    ASSERT_EQ(grid().GetCellRect(&col, &row, &rect), 0);
    EXPECT_EQ(col, 1);
    EXPECT_EQ(row, 1);
    EXPECT_EQ(rect, (UgRect{75, 20, 225, 60}));
    ASSERT_EQ(grid().GetCellFromPoint(200, 50, &col, &row, &rect), 0);
    EXPECT_EQ(rect, (UgRect{75, 20, 225, 60}));

    ASSERT_EQ(grid().GetRangeRect(1, 1, 2, 2, &rect), 0);
    EXPECT_EQ(rect, (UgRect{75, 20, 225, 60}));
    ASSERT_EQ(grid().GetRangeRect(0, 0, 9, 49, &rect), 0);
    EXPECT_EQ(rect, (UgRect{0, 0, 343 + 10, 263 + 10}));

    grid().SetLockedColumnCount(1);
    grid().ScrollLeftColumnTo(3);
    col = 2;
    row = 0;
    grid().CurrentSheet()->m_joining = 0;
    ASSERT_EQ(grid().GetCellRect(&col, &row, &rect), 0);
    EXPECT_EQ(rect.left, 75);
    EXPECT_EQ(rect.right, 75);
    col = 3;
    ASSERT_EQ(grid().GetCellRect(&col, &row, &rect), 0);
    EXPECT_EQ(rect, (UgRect{75, 0, 150, 20}));
    col = -1;
    row = 2;
    ASSERT_EQ(grid().GetCellRect(&col, &row, &rect), 0);
    EXPECT_EQ(rect, (UgRect{0, 40, 40, 60}));
    col = 3;
    row = -1;
    ASSERT_EQ(grid().GetCellRect(&col, &row, &rect), 0);
    EXPECT_EQ(rect, (UgRect{75, 0, 150, 20}));
}

TEST_F(AttachedGrid, FitColumnsToWidth)
{
    size(3, 5);
    ASSERT_EQ(grid().FitColumnsToWidth(0, 2), 0);
    EXPECT_EQ(grid().GetColumnWidth(0), 120);
    EXPECT_EQ(grid().GetColumnWidth(2), 120);
    for (int col = 0; col < 3; ++col)
        grid().ChangeColumnWidth(col, 0);
    ASSERT_EQ(grid().FitColumnsToWidth(0, 2), 0);
    EXPECT_EQ(grid().GetColumnWidth(0) + grid().GetColumnWidth(1) + grid().GetColumnWidth(2), 360);
    EXPECT_EQ(grid().FitColumnsToWidth(2, 1), 1);
    EXPECT_EQ(grid().FitColumnsToWidth(0, 3), 1);
}

TEST_F(AttachedGrid, FitColumnsToContent)
{
    size(3, 5);
    grid().SetCellText(0, 0, "a rather long text in the first column");
    EXPECT_EQ(grid().FitColumnsToContent(-2, 0, 5, 0), 1);
    EXPECT_EQ(grid().FitColumnsToContent(0, 3, 5, 0), 2);
    EXPECT_EQ(grid().FitColumnsToContent(1, 0, 5, 0), 3);
    ASSERT_EQ(grid().FitColumnsToContent(0, 1, 5, 0), 0);
    EXPECT_GT(grid().GetColumnWidth(0), 100);
    EXPECT_EQ(grid().GetColumnWidth(1), 8); // an empty cell measures its 6-pixel margins
    grid().SetCellText(0, 1, QString(300, u'W'));
    ASSERT_EQ(grid().FitColumnsToContent(0, 0, 5, 0), 0);
    EXPECT_EQ(grid().GetColumnWidth(0), 360 - 17);
}

TEST_F(AttachedGrid, SelectRangeMovesWithoutHooks)
{
    size(5, 5);
    grid().CurrentSheet()->m_multiSelect->SetSelectMode(CUGMultiSelect::kCellBlocks);
    ASSERT_EQ(grid().SelectRange(1, 1, 3, 2), 0);
    EXPECT_EQ(grid().GetCurrentColumn(), 3);
    EXPECT_EQ(grid().GetCurrentRow(), 2);
    EXPECT_EQ(grid().CurrentSheet()->m_multiSelect->IsSelected(2, 2), 1);
    EXPECT_EQ(grid().movesSince(0),
              (QStringList{"HookSelectionChanged(1,1,1,1,1)", "HookSelectionChanged(3,1,1,2,1)"}));
}

TEST_F(AttachedGrid, ShiftMovesExtendTheSelection)
{
    size(5, 5);
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
    grid().SetModifierSource([&] { return modifiers; });
    grid().CurrentSheet()->m_multiSelectFlag = 1;
    grid().CurrentSheet()->m_multiSelect->SetSelectMode(CUGMultiSelect::kCellBlocks);
    grid().MoveCurrentCellTo(1, 1);
    modifiers = Qt::ShiftModifier;
    grid().MoveCurrentCellTo(3, 2);
    CUGMultiSelect &selection = *grid().CurrentSheet()->m_multiSelect;
    EXPECT_EQ(selection.GetBlockCount(), 1);
    EXPECT_EQ(selection.IsSelected(2, 2), 1);
    // The reported cell stays on the block's anchor while it grows.
    EXPECT_EQ(grid().CurrentSheet()->m_reportedCol, 1);
    EXPECT_EQ(grid().CurrentSheet()->m_reportedRow, 1);
    modifiers = Qt::NoModifier;
    grid().MoveCurrentCellTo(0, 4);
    EXPECT_EQ(selection.IsSelected(2, 2), 0);
    EXPECT_EQ(selection.IsSelected(0, 4), 1);

    grid().SelectWholeRows();
    EXPECT_EQ(selection.GetSelectMode(), CUGMultiSelect::kWholeRows);
    EXPECT_EQ(grid().CurrentSheet()->m_highlightRow, 1);
}

TEST_F(AttachedGrid, PopupMenu)
{
    size(3, 3);
    QPoint point(10, 10);
    EXPECT_EQ(grid().ShowPopupMenu(1, 1, CUGCtrl::SectionGrid, &point), 1);
    EXPECT_TRUE(grid().log.isEmpty());
    grid().CurrentSheet()->m_menuOn = 1;
    grid().refuseMenu = true;
    EXPECT_EQ(grid().ShowPopupMenu(1, 1, CUGCtrl::SectionGrid, &point), 2);
    grid().refuseMenu = false;
    EXPECT_EQ(grid().ShowPopupMenu(1, 1, CUGCtrl::SectionGrid, &point), 3);
    grid().AppendMenuItem(1001, "Select all");
    grid().AppendMenuItem(7, "Low id");
    EXPECT_EQ(grid().ShowPopupMenu(2, 1, CUGCtrl::SectionSideHeading, &point), 0);
    grid().GetPopupMenu()->actions().at(0)->trigger();
    grid().GetPopupMenu()->actions().at(1)->trigger();
    grid().GetPopupMenu()->close();
    EXPECT_EQ(grid().log.last(), "HookMenuCommand(2,1,3,1001)");
}

TEST_F(AttachedGrid, TipTextAndDefaults)
{
    QString tip;
    EXPECT_EQ(grid().HookTipText(3, 7, CUGCtrl::SectionGrid, &tip), 1);
    EXPECT_EQ(tip, "Col:3 Row:7");
    EXPECT_EQ(grid().GetDefaultBackColor(CUGCtrl::SectionGrid), sysColor(SysColor::Window));
    EXPECT_EQ(grid().GetDefaultBackColor(CUGCtrl::SectionSideHeading), sysColor(SysColor::BtnFace));
    EXPECT_EQ(grid().GetScrollBarCtrl(Qt::Vertical), grid().GetScrollBarCtrl(Qt::Vertical));
    EXPECT_NE(grid().GetScrollBarCtrl(Qt::Vertical), grid().GetScrollBarCtrl(Qt::Horizontal));
}

} // namespace

namespace {

class FocusRecordingType : public CUGCellType
{
public:
    void OnCurrentCellEntered(int col, int row, CUGCell *) override
    {
        events << QString("in(%1,%2)").arg(col).arg(row);
    }
    void OnCurrentCellLeft(int col, int row, CUGCell *) override
    {
        events << QString("out(%1,%2)").arg(col).arg(row);
    }
    QStringList events;
};

TEST_F(AttachedGrid, CellTypesAreToldWhenTheCurrentCellComesAndGoes)
{
    FocusRecordingType recording;
    const int index = grid().AddCellType(&recording);
    size(3, 3);
    CUGCell &columnDefault = *grid().CurrentSheet()->m_columns[1].defaultCell;
    columnDefault.m_cellTypeIndex = index;
    columnDefault.m_properties |= CellProp::CellType;
    grid().MoveCurrentCellTo(1, 0);
    grid().MoveCurrentCellTo(1, 2);
    grid().MoveCurrentCellTo(2, 2);
    EXPECT_EQ(recording.events, (QStringList{"in(1,0)", "out(1,0)", "in(1,2)", "out(1,2)"}));
}

} // namespace

namespace {

class Editing : public AttachedGrid
{
protected:
    void SetUp() override
    {
        size(3, 4);
        editor = new QLineEdit(&grid());
        editor->hide();
        grid().CurrentSheet()->m_editCtrl = editor;
        grid().SetCellText(1, 1, "old");
    }
    QString text(int col, int row)
    {
        QString shown;
        grid().GetCellTextTo(col, row, shown);
        return shown;
    }
    QLineEdit *editor = nullptr;
};

TEST_F(Editing, EnterCommitsAndMovesDown)
{
    ASSERT_EQ(grid().BeginCellEdit(1, 1), 0);
    EXPECT_TRUE(grid().IsEditing());
    EXPECT_FALSE(editor->isHidden());
    EXPECT_EQ(editor->parentWidget(), grid().GridWindow());
    EXPECT_EQ(editor->text(), "old");
    EXPECT_EQ(editor->geometry(), QRect(75, 20, 74, 19));
    EXPECT_EQ(grid().GetCurrentColumn(), 1);
    EXPECT_EQ(grid().GetCurrentRow(), 1);

    grid().log.clear();
    ASSERT_EQ(grid().EndCellEdit(0, "typed", 13, 1, 2), 1);
    EXPECT_EQ(text(1, 1), "typed");
    EXPECT_EQ(grid().movesSince(0),
              (QStringList{"HookEditFinished(1,1,typed,0)", "HookCellWrite(1,1)", "HookEditMoveOn(1,1,1,2)",
                           "HookMayMoveCell(1,1,1,2)", "HookCurrentRowChanged(1,2)",
                           "HookCurrentCellChanged(1,1,1,2)", "HookMayStartEdit(1,2)"}));
    EXPECT_TRUE(grid().IsEditing());
    EXPECT_EQ(grid().GetCurrentRow(), 2);
    EXPECT_FALSE(editor->isHidden());

    // Moving on past the last row wraps to the first.
    ASSERT_EQ(grid().EndCellEdit(0, "x", 13, 1, 2), 1);
    ASSERT_EQ(grid().EndCellEdit(0, "y", 13, 1, 3), 1);
    ASSERT_EQ(grid().EndCellEdit(0, "z", 13, 1, 4), 1);
    EXPECT_EQ(grid().GetCurrentRow(), 0);
    ASSERT_EQ(grid().EndCellEdit(1, "ignored", 0, 0, 0), 1);
    EXPECT_FALSE(grid().IsEditing());
    EXPECT_TRUE(editor->isHidden());
    EXPECT_EQ(text(1, 0), "");
}

TEST_F(Editing, RefusedTextKeepsTheEditorOpen)
{
    ASSERT_EQ(grid().BeginCellEdit(1, 1), 0);
    grid().refuseEditFinished = true;
    EXPECT_EQ(grid().EndCellEdit(0, "bad", 13, 1, 2), 0);
    EXPECT_FALSE(editor->isHidden());
    EXPECT_TRUE(grid().IsEditing());
    EXPECT_EQ(text(1, 1), "old");
}

TEST_F(Editing, RefusalsEndTheEditSoTheNextOneStarts)
{
    CUGCell locked;
    locked.AssignText("locked");
    locked.m_readOnly = 1;
    locked.m_properties |= CellProp::ReadOnly;
    grid().WriteCell(0, 0, &locked);
    EXPECT_EQ(grid().BeginCellEdit(0, 0), 1);
    EXPECT_FALSE(grid().IsEditing());
    grid().refuseStartEdit = true;
    EXPECT_EQ(grid().BeginCellEdit(2, 2), 1);
    EXPECT_FALSE(grid().IsEditing());
    grid().refuseStartEdit = false;
    grid().refuseMoveCell = true;
    EXPECT_EQ(grid().BeginCellEdit(2, 3), 2);
    EXPECT_FALSE(grid().IsEditing());
    grid().refuseMoveCell = false;
    // A cell with an input mask needs the masked editor, which this grid lacks.
    grid().CurrentSheet()->m_maskedEditCtrl = nullptr;
    CUGCell masked;
    masked.m_editMask = "000";
    masked.m_properties = CellProp::EditMask;
    grid().WriteCell(2, 1, &masked);
    EXPECT_EQ(grid().BeginCellEdit(2, 1), 1);
    EXPECT_FALSE(grid().IsEditing());

    ASSERT_EQ(grid().BeginCellEdit(2, 2), 0);
    EXPECT_EQ(grid().BeginCellEdit(1, 1), 1); // one edit at a time
    EXPECT_FALSE(editor->isHidden());
}

TEST_F(Editing, NumberCellsStayNumbers)
{
    grid().SetCellNumber(2, 0, 1.5);
    ASSERT_EQ(grid().BeginCellEdit(2, 0), 0);
    EXPECT_EQ(editor->text(), "1.5");
    ASSERT_EQ(grid().EndCellEdit(0, "1,234", 0, 0, 0), 1);
    CUGCell cell;
    grid().ReadCell(2, 0, &cell);
    EXPECT_EQ(cell.m_dataType, CellData::Number);
    EXPECT_DOUBLE_EQ(cell.m_number, 1234);
    EXPECT_FALSE(grid().IsEditing());
    EXPECT_EQ(grid().EndCellEdit(0, "late", 13, 0, 1), 1); // no edit open: treated as cancelled
    EXPECT_EQ(text(0, 1), "");
}

} // namespace
