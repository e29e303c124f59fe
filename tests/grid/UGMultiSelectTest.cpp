#include "controls/grid/UGMultiSelect.h"
#include "controls/grid/GridSelectionOwner.h"
#include "controls/grid/UGRedrawList.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class FakeSelectionOwner : public GridSelectionOwner
{
public:
    void selectionChanged(int right, int top, int left, int bottom, int blockCount) override
    {
        changes.push_back({right, top, left, bottom, blockCount});
    }
    CUGRedrawList *selectionRedrawList() override { return &redraw; }
    int selectionColumnCount() const override { return 6; }
    void reportedCell(int *col, int *row) const override
    {
        *col = currentCol;
        *row = currentRow;
    }
    Qt::KeyboardModifiers selectionModifiers() const override { return modifiers; }

    std::vector<std::vector<int>> changes;
    CUGRedrawList redraw;
    int currentCol = 0;
    int currentRow = 0;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
};

class UGMultiSelectTest : public testing::Test
{
protected:
    FakeSelectionOwner owner;
    CUGMultiSelect selection{&owner};
};

TEST_F(UGMultiSelectTest, EndBlockNormalisesAndKeepsTheAnchor)
{
    selection.SetSelectMode(CUGMultiSelect::kCellBlocks);
    selection.StartBlock(3, 5);
    ASSERT_EQ(selection.EndBlock(1, 2), 0);
    int left, top, right, bottom;
    ASSERT_EQ(selection.GetCurrentBlock(&left, &top, &right, &bottom), 0);
    EXPECT_EQ((std::vector<int>{left, top, right, bottom}), (std::vector<int>{1, 2, 3, 5}));
    int col, row;
    ASSERT_EQ(selection.GetOrigin(&col, &row), 0);
    EXPECT_EQ(col, 3);
    EXPECT_EQ(row, 5);
    // The hook gets right, top, left, bottom and the block count.
    ASSERT_EQ(owner.changes.size(), 2u);
    EXPECT_EQ(owner.changes[1], (std::vector<int>{3, 2, 1, 5, 1}));
}

TEST_F(UGMultiSelectTest, EndBlockQueuesTheUncoveredStrips)
{
    selection.StartBlock(1, 1);
    selection.EndBlock(3, 4);
    ASSERT_EQ(owner.redraw.Ranges().size(), 2u);
    EXPECT_EQ(owner.redraw.Ranges()[0], (UgCellRange{1, 1, 3, 4})); // rows 1 to 4 across columns 1-3
    EXPECT_EQ(owner.redraw.Ranges()[1], (UgCellRange{1, 1, 3, 4})); // columns 1 to 3 across rows 1-4
    owner.redraw.Clear();
    selection.EndBlock(3, 2);
    ASSERT_EQ(owner.redraw.Ranges().size(), 1u);
    EXPECT_EQ(owner.redraw.Ranges()[0], (UgCellRange{1, 2, 3, 4}));
}

TEST_F(UGMultiSelectTest, EndBlockWithoutABlockChangesNothing)
{
    EXPECT_EQ(selection.EndBlock(1, 1), 1);
    EXPECT_EQ(selection.GetBlockCount(), 0);
    EXPECT_TRUE(owner.changes.empty());
}

TEST_F(UGMultiSelectTest, Toggling)
{
    selection.StartBlock(2, 2);
    selection.ToggleCell(2, 2);
    EXPECT_EQ(selection.IsSelected(2, 2), 0);
    selection.ToggleCell(2, 2);
    EXPECT_EQ(selection.IsSelected(2, 2), 1);
    EXPECT_EQ(selection.GetBlockCount(), 1);

    selection.StartBlock(0, 0);
    selection.EndBlock(4, 4);
    selection.ToggleCell(1, 1);
    EXPECT_EQ(selection.IsSelected(1, 1), 0);
    EXPECT_EQ(selection.IsSelected(1, 2), 1);
    EXPECT_EQ(selection.GetBlockCount(), 3);
    selection.SetSelectMode(CUGMultiSelect::kCellBlocks);
    EXPECT_EQ(selection.GetBlockCount(), 0); // setting the mode clears
}

TEST_F(UGMultiSelectTest, FirstMatchDecides)
{
    selection.SetSelectMode(CUGMultiSelect::kCellBlocks | CUGMultiSelect::kFirstMatchDecides);
    selection.StartBlock(0, 0);
    selection.EndBlock(4, 4);
    selection.ToggleCell(1, 1);
    int block = -1;
    EXPECT_EQ(selection.IsSelected(1, 1, &block), 1);
    EXPECT_EQ(block, 0);
}

TEST_F(UGMultiSelectTest, WholeRowEnumerationGivesColumnZeroOncePerRow)
{
    selection.SetSelectMode(CUGMultiSelect::kWholeRows);
    selection.StartBlock(3, 1);
    selection.EndBlock(2, 2);
    selection.StartBlock(4, 5);
    int left, top, right, bottom;
    selection.GetCurrentBlock(&left, &top, &right, &bottom);
    EXPECT_EQ(left, 0);
    EXPECT_EQ(right, 6);
    owner.currentCol = 4;
    owner.currentRow = 5;
    std::vector<std::pair<int, int>> cells;
    int col, row;
    for (int result = selection.EnumFirstCell(&col, &row); result == 0;
         result = selection.EnumNextCell(&col, &row))
        cells.push_back({col, row});
    EXPECT_EQ(cells, (std::vector<std::pair<int, int>>{{0, 1}, {0, 2}, {0, 5}}));
    EXPECT_EQ(selection.EnumNextCell(&col, &row), 1);
}

TEST_F(UGMultiSelectTest, CellAndBlockEnumeration)
{
    selection.SetSelectMode(CUGMultiSelect::kCellBlocks);
    int col = -1, row = -1;
    owner.currentCol = 2;
    owner.currentRow = 3;
    ASSERT_EQ(selection.EnumFirstCell(&col, &row), 0); // nothing selected: the current cell
    EXPECT_EQ(col, 2);
    EXPECT_EQ(row, 3);

    selection.StartBlock(1, 1);
    selection.EndBlock(2, 1);
    selection.StartBlock(0, 3);
    std::vector<std::pair<int, int>> cells;
    for (int result = selection.EnumFirstCell(&col, &row); result == 0;
         result = selection.EnumNextCell(&col, &row))
        cells.push_back({col, row});
    EXPECT_EQ(cells, (std::vector<std::pair<int, int>>{{1, 1}, {2, 1}, {0, 3}}));

    std::vector<std::vector<int>> blocks;
    int left, top, right, bottom;
    for (int result = selection.EnumFirstBlock(&left, &top, &right, &bottom); result == 0;
         result = selection.EnumNextBlock(&left, &top, &right, &bottom))
        blocks.push_back({left, top, right, bottom});
    EXPECT_EQ(blocks, (std::vector<std::vector<int>>{{1, 1, 2, 1}, {0, 3, 0, 3}}));
    int total[4];
    ASSERT_EQ(selection.GetTotalRange(&total[0], &total[1], &total[2], &total[3]), 0);
    EXPECT_EQ((std::vector<int>(total, total + 4)), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(selection.IsRowSelected(3), 1);
    EXPECT_EQ(selection.IsRowSelected(2), 0);
    EXPECT_EQ(selection.IsColumnSelected(2), 1);
}

TEST_F(UGMultiSelectTest, ClickAndKeySelectionFollowTheModifiers)
{
    selection.SetSelectMode(CUGMultiSelect::kCellBlocks);
    selection.OnClickSelect(1, 1, 0);
    selection.OnClickSelect(3, 2, CUGMultiSelect::kKeyShift);
    EXPECT_EQ(selection.GetBlockCount(), 1);
    selection.OnClickSelect(5, 5, CUGMultiSelect::kKeyControl);
    EXPECT_EQ(selection.GetBlockCount(), 2);
    EXPECT_EQ(selection.IsSelected(2, 2), 1);

    owner.modifiers = Qt::NoModifier;
    selection.OnKeyMoveSelect(0, 0);
    EXPECT_EQ(selection.GetBlockCount(), 1);
    owner.modifiers = Qt::ShiftModifier;
    selection.OnKeyMoveSelect(0, 2);
    EXPECT_EQ(selection.IsSelected(0, 1), 1);
    owner.modifiers = Qt::ControlModifier;
    selection.OnKeyMoveSelect(4, 4);
    EXPECT_EQ(selection.GetBlockCount(), 2);

    selection.OnSelectIfNotSelected(0, 1); // already selected: nothing changes
    EXPECT_EQ(selection.GetBlockCount(), 2);
    selection.OnSelectIfNotSelected(5, 0);
    EXPECT_EQ(selection.GetBlockCount(), 1);
}

} // namespace
