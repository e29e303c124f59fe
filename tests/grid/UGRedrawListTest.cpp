#include "controls/grid/UGRedrawList.h"

#include <gtest/gtest.h>

namespace {

TEST(UGRedrawList, RangesKeepTheirOrderAndWidenTheBounds)
{
    CUGRedrawList list;
    list.AddRange(2, 3, 2, 3);
    list.AddRange(0, 5, 4, 6);
    ASSERT_EQ(list.Ranges().size(), 2u);
    EXPECT_EQ(list.Ranges()[0], (UgCellRange{2, 3, 2, 3}));
    EXPECT_EQ(list.Ranges()[1], (UgCellRange{0, 5, 4, 6}));
    EXPECT_EQ(list.Bounds(), (UgCellRange{0, 3, 4, 6}));

    list.AddCell(7, 8);
    EXPECT_TRUE(list.Contains(7, 8));
    EXPECT_TRUE(list.Contains(3, 5));
    EXPECT_FALSE(list.Contains(3, 4));

    list.Clear();
    EXPECT_TRUE(list.IsEmpty());
    list.AddRange(9, 9, 10, 10);
    EXPECT_EQ(list.Bounds(), (UgCellRange{9, 9, 10, 10}));
}

TEST(UGRedrawList, RangesAreStoredAsGiven)
{
    CUGRedrawList list;
    list.AddRange(5, 5, 1, 1);
    EXPECT_EQ(list.Ranges()[0], (UgCellRange{5, 5, 1, 1}));
}

TEST(UGRedrawList, WidenFirstRange)
{
    CUGRedrawList list;
    list.WidenFirstRange(2, 5, 9);
    ASSERT_EQ(list.Ranges().size(), 1u);
    EXPECT_EQ(list.Ranges()[0], (UgCellRange{2, 5, 0, 9}));
    list.WidenFirstRange(1, 7, 8);
    ASSERT_EQ(list.Ranges().size(), 1u);
    EXPECT_EQ(list.Ranges()[0], (UgCellRange{1, 5, 0, 9}));
}

} // namespace
