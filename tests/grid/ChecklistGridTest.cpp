// The check-list grid: rows added, checked, toggled, removed; the fit of column 0; the menu
// commands on the selection.
#include "ShownGrid.h"

#include "controls/grid/ChecklistGrid.h"
#include "controls/grid/UGGridInfo.h"

#include <gtest/gtest.h>

namespace {

struct CheckList : ShownGrid<CChecklistGrid>
{
    QString storedText(int row)
    {
        CUGCell cell;
        grid->ReadCell(0, row, &cell);
        return cell.Has(CellProp::Text) ? cell.m_text : QString();
    }
    void addRows(int count, int checked = 0)
    {
        for (int row = 0; row < count; ++row)
            ASSERT_EQ(
                grid->AddCheckRow(grid->GetRowCount(), QString("row %1").arg(row), checked, nullptr, row), 1);
    }
};

} // namespace

TEST(ChecklistGrid, SetUpHidesHeadingsAndLines)
{
    CheckList list;
    CUGGridInfo *sheet = list.grid->CurrentSheet();
    EXPECT_EQ(list.grid->GetColumnCount(), 2);
    EXPECT_EQ(list.grid->GetRowCount(), 0);
    EXPECT_EQ(sheet->m_gridLines, 0);
    EXPECT_EQ(sheet->m_topHdgHeight, 0);
    EXPECT_EQ(sheet->m_sideHdgWidth, 0);
    EXPECT_EQ(sheet->m_currentCellMode, 2);
    EXPECT_EQ(sheet->m_multiSelectFlag, 1);
    EXPECT_EQ(sheet->m_menuOn, 1);
    EXPECT_EQ(list.grid->GetTag(), 1);
    EXPECT_TRUE(list.grid->GridWindow()->ToolTipsEnabled());
    QString tip = "unchanged";
    EXPECT_EQ(list.grid->HookTipText(0, 0, CUGCtrl::SectionGrid, &tip), 1);
    EXPECT_EQ(tip, "unchanged");
}

TEST(ChecklistGrid, AnEmptyGridRefusesEveryRowOperation)
{
    CheckList list;
    EXPECT_EQ(list.grid->IsRowChecked(0), 0);
    EXPECT_EQ(list.grid->GetRowValue(0), -1);
    EXPECT_EQ(list.grid->SetRowChecked(0, 1), 0);
    EXPECT_EQ(list.grid->SetRowValue(0, 3), 0);
    EXPECT_EQ(list.grid->RemoveRow(0, 1), 0);
    EXPECT_EQ(list.grid->ToggleRowCheck(0), 0);
    EXPECT_EQ(list.grid->GetRowCount(), 0);

    list.grid->SetColumnCount(0);
    EXPECT_EQ(list.grid->GetFirstColumnWidth(), -1);
    EXPECT_EQ(list.grid->GetRowValue(0), -1);
    EXPECT_EQ(list.grid->IsRowChecked(0), 0);
}

TEST(ChecklistGrid, ToggleStoresTextAndAClickStoresANumber)
{
    CheckList list;
    list.show();
    ASSERT_EQ(list.grid->AddCheckRow(0, "x", 1, nullptr, 7), 1);
    EXPECT_EQ(list.grid->GetRowCount(), 1);
    EXPECT_EQ(list.grid->IsRowChecked(0), 1);
    EXPECT_EQ(list.grid->GetRowValue(0), 7);
    CUGCell cell;
    ASSERT_EQ(list.grid->ReadCell(0, 0, &cell), 0);
    EXPECT_EQ(cell.m_label, "x");
    EXPECT_EQ(cell.m_cellTypeIndex, CUGCtrl::CellTypeCheckBox);
    EXPECT_EQ(cell.m_dataType, CellData::Check);
    EXPECT_FALSE(cell.Has(CellProp::Font));

    EXPECT_EQ(list.grid->ToggleRowCheck(0), 1);
    EXPECT_EQ(list.grid->IsRowChecked(0), 0);
    EXPECT_EQ(list.storedText(0), "0");

    // A click in the box stores the state as a number, with no "1" text.
    QTest::mouseClick(list.grid->GridWindow(), Qt::LeftButton, Qt::NoModifier, QPoint(8, 10));
    ASSERT_EQ(list.grid->ReadCell(0, 0, &cell), 0);
    EXPECT_EQ(cell.m_dataType, CellData::Number);
    EXPECT_EQ(list.grid->IsRowChecked(0), 1);
    EXPECT_EQ(list.grid->ToggleRowCheck(0), 1);
    EXPECT_EQ(list.grid->IsRowChecked(0), 0);

    EXPECT_EQ(list.grid->SetRowValue(0, 42), 1);
    EXPECT_EQ(list.grid->GetRowValue(0), 42);
    EXPECT_EQ(list.grid->IsRowChecked(0), 0);
}

TEST(ChecklistGrid, RowsAppendInsertAndRemove)
{
    CheckList list;
    const QFont font("Sans", 9);
    ASSERT_EQ(list.grid->AddCheckRow(0, "b", 0, nullptr, 2), 1);
    ASSERT_EQ(list.grid->AddCheckRow(1, "c", 1, &font, 3), 1);
    ASSERT_EQ(list.grid->AddCheckRow(0, "a", 0, nullptr, 1), 1);
    EXPECT_EQ(list.grid->AddCheckRow(5, "past the end", 0, nullptr, 9), 0);
    ASSERT_EQ(list.grid->GetRowCount(), 3);
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(list.grid->GetRowValue(row), row + 1);
    CUGCell cell;
    list.grid->ReadCell(0, 2, &cell);
    EXPECT_EQ(cell.m_font, &font);
    EXPECT_EQ(list.grid->IsRowChecked(2), 1);

    EXPECT_EQ(list.grid->RemoveRow(3, 1), 0);
    EXPECT_EQ(list.grid->RemoveRow(-1, 1), 0);
    EXPECT_EQ(list.grid->RemoveRow(2, 1), 1);
    EXPECT_EQ(list.grid->GetRowCount(), 2);
    EXPECT_EQ(list.grid->GetRowValue(2), -1);
    EXPECT_EQ(list.grid->RemoveRow(0, 0), 1);
    EXPECT_EQ(list.grid->GetRowValue(0), 2);
    // Appending still works after removals.
    ASSERT_EQ(list.grid->AddCheckRow(1, "d", 1, nullptr, 4), 1);
    EXPECT_EQ(list.grid->GetRowValue(1), 4);
}

TEST(ChecklistGrid, SixHundredFortyRowsAppend)
{
    CheckList list;
    list.addRows(640, 1);
    list.show();
    ASSERT_EQ(list.grid->GetRowCount(), 640);
    EXPECT_EQ(list.grid->GetRowValue(639), 639);
    EXPECT_EQ(list.grid->IsRowChecked(639), 1);
    EXPECT_EQ(list.grid->GetRowValue(640), -1);
    list.grid->MoveCurrentRowTo(639);
    QCoreApplication::processEvents();
    EXPECT_EQ(list.grid->GetCurrentRow(), 639);
}

TEST(ChecklistGrid, ColumnZeroFollowsTheWidthWhileTheFitFlagIsOn)
{
    CheckList list;
    list.show();
    list.grid->resize(300, 200);
    EXPECT_EQ(list.grid->GetFirstColumnWidth(), 299);
    list.grid->SetTag(0);
    list.grid->resize(250, 200);
    EXPECT_EQ(list.grid->GetFirstColumnWidth(), 299);
    EXPECT_EQ(list.grid->SetListColumnWidth(120), 0);
    EXPECT_EQ(list.grid->GetFirstColumnWidth(), 120);
}

TEST(ChecklistGrid, MenuCommandsActOnTheSelectedRowsOfTheCellArea)
{
    CheckList list;
    list.grid->SelectWholeRows();
    list.show();
    list.addRows(5, 1);
    list.grid->MoveCurrentCellTo(0, 1);
    QTest::mouseClick(list.grid->GridWindow(), Qt::LeftButton, Qt::ControlModifier, QPoint(100, 70));
    // A heading's command changes nothing.
    list.grid->HookMenuCommand(0, 0, CUGCtrl::SectionTopHeading, CChecklistGrid::kCommandUncheck);
    for (int row = 0; row < 5; ++row)
        EXPECT_EQ(list.grid->IsRowChecked(row), 1) << row;

    list.grid->HookMenuCommand(0, 0, CUGCtrl::SectionGrid, CChecklistGrid::kCommandUncheck);
    std::vector<int> checked;
    for (int row = 0; row < 5; ++row)
        checked.push_back(list.grid->IsRowChecked(row));
    EXPECT_EQ(checked, (std::vector<int>{1, 0, 1, 0, 1}));

    list.grid->HookMenuCommand(0, 0, CUGCtrl::SectionGrid, CChecklistGrid::kCommandInvert);
    EXPECT_EQ(list.grid->IsRowChecked(1), 1);
    EXPECT_EQ(list.grid->IsRowChecked(3), 1);
    EXPECT_EQ(list.grid->IsRowChecked(0), 1);
}

TEST(ChecklistGrid, CellBlocksInvertEachRowOnceAndWriteOnlyItsCheckCell)
{
    CheckList list;
    list.show();
    list.addRows(4, 0);
    list.grid->SetTag(0);
    list.grid->SetListColumnWidth(100);
    // A block from (0, 1) to (1, 2), dragged out with Shift.
    QTest::mouseClick(list.grid->GridWindow(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 30));
    QTest::mouseClick(list.grid->GridWindow(), Qt::LeftButton, Qt::ShiftModifier, QPoint(150, 50));
    list.grid->HookMenuCommand(0, 0, CUGCtrl::SectionGrid, CChecklistGrid::kCommandInvert);
    std::vector<int> checked;
    for (int row = 0; row < 4; ++row)
        checked.push_back(list.grid->IsRowChecked(row));
    EXPECT_EQ(checked, (std::vector<int>{0, 1, 1, 0}));
    CUGCell cell;
    EXPECT_NE(list.grid->ReadCell(1, 1, &cell), 0);
}
