// The port check grids: rows added and read, the free row functions, and what a tick makes the page on
// show do (through a recording page directory).
#include "grid/ShownGrid.h"

#include "FakePages.h"
#include "ports/PortCheckGrid.h"

#include <gtest/gtest.h>

namespace {

template <typename Grid> struct CheckGrid : ShownGrid<Grid>
{
    CheckGrid(int rows, int checkedRow = -1)
    {
        for (int row = 0; row < rows; ++row)
            EXPECT_EQ(this->grid->AddRow(row, QString("Test Pair %1").arg(row + 1), row == checkedRow,
                                         nullptr, 0x1000),
                      1);
        this->show();
    }
    // A click in the box of a row, as the user gives it.
    void clickBox(int row)
    {
        QTest::mouseClick(this->grid->GridWindow(), Qt::LeftButton, Qt::NoModifier, QPoint(8, 10 + 20 * row));
    }
    std::vector<int> checked()
    {
        std::vector<int> rows;
        for (int row = 0; row < this->grid->GetRowCount(); ++row)
            rows.push_back(IsRowChecked(this->grid, row));
        return rows;
    }
};

} // namespace

TEST(PortCheckGrid, RowsAddedReadAndDeleted)
{
    CheckGrid<CPortCheckGrid> list(0);
    CPortCheckGrid *grid = list.grid;
    EXPECT_EQ(grid->GetColumnCount(), 2);
    EXPECT_EQ(grid->GetColumnWidth(0), 130);
    EXPECT_EQ(grid->GetColumnWidth(1), 0);
    EXPECT_EQ(grid->OwnerId(), 1);

    ASSERT_EQ(grid->AddRow(0, "b", 1, nullptr, 0x1000), 1);
    ASSERT_EQ(grid->AddRow(0, "a", 0, nullptr, 0x1000), 1);
    ASSERT_EQ(grid->AddRow(2, "c", 1, nullptr, 0x1000), 1); // appends at the row count
    EXPECT_EQ(grid->AddRow(4, "past", 1, nullptr, 0x1000), 0);
    ASSERT_EQ(grid->GetRowCount(), 3);
    EXPECT_EQ(list.checked(), (std::vector<int>{0, 1, 1}));
    QString text = "untouched";
    EXPECT_EQ(grid->GetRowText(1, text), 1);
    EXPECT_EQ(text, "b");
    EXPECT_EQ(grid->GetRowText(3, text), 0);
    EXPECT_EQ(text, "b");
    CUGCell cell;
    grid->ReadCell(0, 0, &cell);
    EXPECT_EQ(cell.m_cellTypeIndex, CUGCtrl::CellTypeCheckBox);
    EXPECT_EQ(cell.m_cellTypeParam, 0x1000);

    // Rows outside the grid, and a grid without columns, are never checked.
    EXPECT_EQ(IsRowChecked(grid, -1), 0);
    EXPECT_EQ(IsRowChecked(grid, 3), 0);
    DeleteAllRows(grid);
    EXPECT_EQ(grid->GetRowCount(), 0);
    DeleteAllRows(grid);
    EXPECT_EQ(grid->GetRowCount(), 0);
    CUGCtrl bare;
    EXPECT_EQ(IsRowChecked(&bare, 0), 0);
}

TEST(PortCheckGrid, PairListRefreshesTheFirstShownTestPage)
{
    FakePages pages;
    CheckGrid<CGroupPortCheck> list(3);
    // None shown: the box only toggles.
    list.clickBox(1);
    EXPECT_EQ(list.checked(), (std::vector<int>{0, 1, 0}));
    EXPECT_TRUE(pages.calls.isEmpty());

    pages.shownTest = {PageDirectory::Aggregate, PageDirectory::Latency};
    list.clickBox(2);
    EXPECT_EQ(pages.calls, (QStringList{"store 1", "fill 1 2"}));

    // Source Filter keeps no port settings of its own to store.
    pages.calls.clear();
    pages.shownTest = {PageDirectory::SourceFilter};
    list.clickBox(0);
    EXPECT_EQ(pages.calls, (QStringList{"fill 6 0"}));

    // An event of another cell type changes nothing.
    pages.calls.clear();
    EXPECT_EQ(list.grid->HookCellTypeEvent(CUGCtrl::CellTypeDropList, 0, 0, 53, 0), 1);
    EXPECT_TRUE(pages.calls.isEmpty());

    // A press and a release on a row while Mixed Class is shown show its unicast ports.
    pages.shownTest = {PageDirectory::MixClass};
    QTest::mouseClick(list.grid->GridWindow(), Qt::LeftButton, Qt::NoModifier, QPoint(80, 30));
    EXPECT_EQ(pages.calls, (QStringList{"show 1", "show 1"}));
}

TEST(PortCheckGrid, UnicastListKeepsOneRowTicked)
{
    FakePages pages;
    CheckGrid<CUniPortCheck> list(3, 0);
    list.clickBox(2);
    EXPECT_EQ(list.checked(), (std::vector<int>{0, 0, 1}));
    // Unticking the ticked row leaves it ticked.
    list.clickBox(2);
    EXPECT_EQ(list.checked(), (std::vector<int>{0, 0, 1}));
    EXPECT_EQ(pages.calls, (QStringList{"unicast 2", "unicast 2"}));
}

TEST(PortCheckGrid, SelectorRedrawsTheShownResultPage)
{
    FakePages pages;
    CheckGrid<CPairSel> list(3, 0);
    EXPECT_EQ(list.grid->GetColumnCount(), 3);
    EXPECT_EQ(list.grid->GetColumnWidth(0), 120);
    list.clickBox(1);
    EXPECT_EQ(list.checked(), (std::vector<int>{1, 1, 0}));
    EXPECT_TRUE(pages.calls.isEmpty());

    pages.shownResult = {PageDirectory::ResultAggregate, PageDirectory::ResultFilter};
    list.clickBox(2);
    list.clickBox(2);
    EXPECT_EQ(list.checked(), (std::vector<int>{0, 0, 1}));
    EXPECT_EQ(pages.calls, (QStringList{"collect 1", "draw 1", "collect 1", "draw 1"}));

    // A selector never changes the Mixed Class test page's pair.
    pages.calls.clear();
    pages.shownTest = {PageDirectory::MixClass};
    QTest::mouseClick(list.grid->GridWindow(), Qt::LeftButton, Qt::NoModifier, QPoint(80, 30));
    EXPECT_TRUE(pages.calls.isEmpty());
}

TEST(PortCheckGrid, ChartListsStoreTheMixedClassGridBeforeTheRefill)
{
    FakePages pages;
    CheckGrid<CPortCheckGrid> list(2);
    list.clickBox(1);
    EXPECT_EQ(pages.calls, (QStringList{"store 0", "fill 0 1"}));
}
