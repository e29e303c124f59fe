#include "controls/grid/UGMem.h"
#include "controls/grid/GridStoreOwner.h"

#include <bit>
#include <gtest/gtest.h>

namespace {

// Stands in for the grid: counts, a one-to-one column mapping and an ordinal text comparison.
class FakeOwner : public GridStoreOwner
{
public:
    int storeColumnCount() const override { return cols; }
    int storeRowCount() const override { return rows; }
    int gridColumnOfStoreColumn(int storeCol) const override { return storeCol < cols ? storeCol : -1; }
    void shiftStoreColumns(int from, int delta) override
    {
        shiftedFrom = from;
        shiftedBy = delta;
    }
    int compareForSort(CUGCell *a, CUGCell *b, int) override
    {
        const QString *textA = a->GetDisplayText();
        const QString *textB = b->GetDisplayText();
        if (!textA)
            return textB ? 1 : 0;
        if (!textB)
            return -1;
        return QString::compare(*textA, *textB);
    }

    int cols = 3;
    int rows = 6;
    int shiftedFrom = 0;
    int shiftedBy = 0;
};

class UGMemTest : public testing::Test
{
protected:
    void SetUp() override { store.SetOwner(&owner); }

    void put(int col, int row, const QString &text)
    {
        CUGCell cell;
        cell.AssignText(text);
        store.StoreCell(col, row, &cell);
    }
    QString get(int col, int row)
    {
        CUGCell cell;
        cell.m_properties = 0;
        if (store.LoadCell(col, row, &cell) != 0)
            return "<none>";
        const QString *text = cell.GetDisplayText();
        return text ? *text : "<no text>";
    }

    FakeOwner owner;
    CUGMem store;
};

TEST_F(UGMemTest, StoringCreatesEveryRowAndCellInBetween)
{
    EXPECT_EQ(store.GetLastStoredRow(), 0);
    put(2, 5, "x");
    for (int row = 0; row <= 5; ++row)
        EXPECT_TRUE(store.HasRowNode(row)) << row;
    EXPECT_FALSE(store.HasRowNode(6));
    EXPECT_TRUE(store.HasCellNode(0, 5));
    EXPECT_TRUE(store.HasCellNode(2, 5));
    EXPECT_FALSE(store.HasCellNode(3, 5));
    EXPECT_EQ(get(1, 5), "<none>"); // a place without a stored cell
    EXPECT_EQ(get(2, 4), "<none>"); // a row without places
    EXPECT_EQ(get(2, 5), "x");
    EXPECT_EQ(store.GetLastStoredRow(), 5);
}

TEST_F(UGMemTest, HeadingRowsLieBeforeRowZero)
{
    put(0, 0, "data");
    put(-1, -1, "corner");
    EXPECT_EQ(store.FirstRowIndex(), -1);
    EXPECT_TRUE(store.HasCellNode(-1, -1));
    EXPECT_EQ(get(-1, -1), "corner");
    EXPECT_EQ(store.GetLastStoredRow(), 0);
}

TEST_F(UGMemTest, StoringKeepsExactlyTheIncomingProperties)
{
    put(0, 0, "text");
    CUGCell colourOnly;
    colourOnly.m_properties = CellProp::BackColor;
    colourOnly.m_backColor = RGB(1, 2, 3);
    store.StoreCell(0, 0, &colourOnly);
    CUGCell read;
    read.m_properties = 0;
    ASSERT_EQ(store.LoadCell(0, 0, &read), 0);
    EXPECT_EQ(read.m_properties, CellProp::BackColor);
    EXPECT_EQ(read.GetDisplayText(), nullptr);
}

TEST_F(UGMemTest, ResultCodesOfMissingRowsAndCells)
{
    put(1, 1, "a");
    struct Case
    {
        const char *what;
        int result;
        int expected;
    };
    const Case cases[] = {
        {"delete missing row", store.DeleteRowAt(9), 0},   {"clear missing cell", store.ClearCellAt(5, 1), 1},
        {"clear missing row", store.ClearCellAt(0, 7), 1}, {"clear empty place", store.ClearCellAt(0, 1), 0},
        {"clear stored cell", store.ClearCellAt(1, 1), 0}, {"open missing row", store.OpenRowAt(4), 1},
        {"open existing row", store.OpenRowAt(1), 0},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.result, c.expected) << c.what;
    EXPECT_TRUE(store.HasCellNode(1, 2)); // the cleared place stays, one row further down
}

TEST_F(UGMemTest, OpenAndDeleteShiftOnlyTheRowsFromThere)
{
    put(0, -1, "heading");
    put(0, 0, "r0");
    put(0, 1, "r1");
    ASSERT_EQ(store.OpenRowAt(1), 0);
    EXPECT_EQ(get(0, -1), "heading");
    EXPECT_EQ(get(0, 0), "r0");
    EXPECT_EQ(get(0, 1), "<none>");
    EXPECT_EQ(get(0, 2), "r1");
    ASSERT_EQ(store.DeleteRowAt(0), 0);
    EXPECT_EQ(get(0, -1), "heading");
    EXPECT_EQ(get(0, 1), "r1");
}

TEST_F(UGMemTest, AppendingThroughASentinelRow)
{
    // The check lists store one empty cell at row 0 of an empty grid, then open rows before it.
    CUGCell empty;
    empty.m_properties = 0;
    store.StoreCell(0, 0, &empty);
    for (int row = 0; row < 3; ++row) {
        ASSERT_EQ(store.OpenRowAt(row), 0) << row;
        put(0, row, QString("item %1").arg(row));
    }
    EXPECT_EQ(get(0, 0), "item 0");
    EXPECT_EQ(get(0, 1), "item 1");
    EXPECT_EQ(get(0, 2), "item 2");
    EXPECT_EQ(get(0, 3), "<no text>");
    EXPECT_EQ(store.OpenRowAt(4), 1);
}

TEST_F(UGMemTest, FindTextAcrossColumnsWrapsAndFails)
{
    owner.cols = 2;
    owner.rows = 3;
    put(0, 0, "alpha");
    put(1, 1, "Beta");
    put(0, 2, "alphabet");
    int col = 0, row = 0;
    ASSERT_EQ(store.FindText("alpha", &col, &row, CUGMem::kFindAllColumns), 0);
    EXPECT_EQ(col, 0);
    EXPECT_EQ(row, 0);
    ASSERT_EQ(store.FindNextText("ALPHA", &col, &row,
                                 CUGMem::kFindAllColumns | CUGMem::kFindPartial | CUGMem::kFindIgnoreCase),
              0);
    EXPECT_EQ(col, 0);
    EXPECT_EQ(row, 2);
    // From the last cell the search wraps to the first row.
    ASSERT_EQ(store.FindNextText("alpha", &col, &row, CUGMem::kFindAllColumns), 0);
    EXPECT_EQ(row, 0);
    ASSERT_EQ(store.FindNextText("beta", &col, &row, CUGMem::kFindAllColumns | CUGMem::kFindIgnoreCase), 0);
    EXPECT_EQ(col, 1);
    EXPECT_EQ(row, 1);
    ASSERT_EQ(store.FindNextText("beta", &col, &row,
                                 CUGMem::kFindAllColumns | CUGMem::kFindBackwards | CUGMem::kFindIgnoreCase),
              0);
    EXPECT_EQ(row, 1);
    EXPECT_EQ(store.FindText("gamma", &col, &row, CUGMem::kFindAllColumns), 1);
    // One column only: column 1 holds no "alpha".
    col = 1;
    EXPECT_EQ(store.FindText("alpha", &col, &row, 0), 1);
    owner.rows = 0;
    EXPECT_EQ(store.FindText("alpha", &col, &row, CUGMem::kFindAllColumns), 1);
}

TEST_F(UGMemTest, SortIsStableAndLeavesHeadingsInPlace)
{
    put(0, -1, "heading");
    const char *keys[][2] = {{"b", "1"}, {"a", "2"}, {"b", "3"}, {"a", "4"}};
    for (int row = 0; row < 4; ++row) {
        put(0, row, keys[row][0]);
        put(1, row, keys[row][1]);
    }
    ASSERT_EQ(store.SortByColumn(0, 0), 0);
    const char *expected[] = {"2", "4", "1", "3"};
    for (int row = 0; row < 4; ++row)
        EXPECT_EQ(get(1, row), expected[row]) << row;
    EXPECT_EQ(get(0, -1), "heading");
}

TEST_F(UGMemTest, SortByTwoColumnsAndAbsentKeysLast)
{
    const char *rows[][2] = {{"2", "1"}, {"1", "3"}, {nullptr, nullptr}, {"1", "2"}};
    for (int row = 0; row < 4; ++row) {
        if (rows[row][0]) {
            put(0, row, rows[row][0]);
            put(1, row, rows[row][1]);
        } else {
            CUGCell empty;
            empty.m_properties = 0;
            store.StoreCell(2, row, &empty);
        }
    }
    const int cols[] = {0, 1};
    ASSERT_EQ(store.SortRows(cols, 2, 0), 0);
    EXPECT_EQ(get(0, 0) + get(1, 0), "12");
    EXPECT_EQ(get(0, 1) + get(1, 1), "13");
    EXPECT_EQ(get(0, 2) + get(1, 2), "21");
    EXPECT_EQ(get(0, 3), "<none>");
}

TEST_F(UGMemTest, SortWithoutRowZeroFails)
{
    EXPECT_EQ(store.SortByColumn(0, 0), 1);
    put(0, -1, "h");
    put(0, 0, "r");
    store.DeleteRowAt(0);
    EXPECT_EQ(store.SortByColumn(0, 0), 1);
}

TEST_F(UGMemTest, InsertAndDeleteColumns)
{
    put(0, 0, "a");
    put(1, 0, "b");
    put(0, 1, "c");
    ASSERT_EQ(store.InsertColumnAt(1), 0);
    EXPECT_EQ(get(0, 0), "a");
    EXPECT_EQ(get(1, 0), "<none>");
    EXPECT_EQ(get(2, 0), "b");
    EXPECT_EQ(get(0, 1), "c"); // row 1 ends before column 1
    EXPECT_EQ(owner.shiftedFrom, 1);
    EXPECT_EQ(owner.shiftedBy, 1);
    ASSERT_EQ(store.DeleteColumnAt(0), 0);
    EXPECT_EQ(get(1, 0), "b");
    EXPECT_EQ(owner.shiftedBy, -1);
    // The last place of a row is emptied, not removed.
    ASSERT_EQ(store.DeleteColumnAt(0), 0);
    EXPECT_TRUE(store.HasCellNode(0, 1));
    EXPECT_EQ(get(0, 1), "<none>");
    CUGMem empty;
    EXPECT_EQ(empty.InsertColumnAt(0), 1);
    EXPECT_EQ(empty.DeleteColumnAt(0), 1);
}

TEST_F(UGMemTest, FindPrevFilledCell)
{
    put(0, 0, "a");
    CUGCell empty;
    empty.m_properties = 0;
    store.StoreCell(2, 0, &empty);
    int col = 3; // past the row's end: the walk goes on from its last place
    ASSERT_EQ(store.FindPrevFilledCell(&col, 0), 0);
    EXPECT_EQ(col, 0);
    put(1, 1, "y");
    store.ClearCellAt(1, 1);
    col = 3; // past the end of a row whose last place holds nothing
    EXPECT_EQ(store.FindPrevFilledCell(&col, 1), 1);
    col = 2;
    ASSERT_EQ(store.FindPrevFilledCell(&col, 0), 0);
    EXPECT_EQ(col, 0);
    col = 0;
    EXPECT_EQ(store.FindPrevFilledCell(&col, 0), 1);
    col = 1;
    EXPECT_EQ(store.FindPrevFilledCell(&col, 5), 1);
}

} // namespace

namespace {

TEST_F(UGMemTest, EveryStoredFormReadsBackAsStored)
{
    struct Case
    {
        const char *what;
        std::function<void(CUGCell &)> make;
    };
    const Case cases[] = {
        {"text", [](CUGCell &cell) { cell.AssignText("plain"); }},
        {"number", [](CUGCell &cell) { cell.SetNumber(-1234.5); }},
        {"colours",
         [](CUGCell &cell) {
             cell.AssignText("red");
             cell.m_backColor = RGB(255, 0, 0);
         }},
        {"no theme",
         [](CUGCell &cell) {
             cell.m_properties = CellProp::Text;
             cell.m_text = "x";
             cell.m_useTheme = 0;
         }},
        {"auxiliary",
         [](CUGCell &cell) {
             cell.m_properties = CellProp::Text;
             cell.m_text = "x";
             cell.m_auxiliary = std::make_shared<int>(5);
         }},
        {"nothing", [](CUGCell &cell) { cell.m_properties = 0; }},
        {"text again", [](CUGCell &cell) { cell.AssignText("plain"); }},
        {"twelve Latin-1 characters",
         [](CUGCell &cell) { cell.AssignText(QString::fromUtf8("caf\u00e9 au lait")); }},
        {"thirteen characters", [](CUGCell &cell) { cell.AssignText("thirteen char"); }},
        {"short text again", [](CUGCell &cell) { cell.AssignText("1"); }},
        {"beyond Latin-1", [](CUGCell &cell) { cell.AssignText(QString::fromUtf8("\u7aef\u53e3")); }},
        {"embedded NUL", [](CUGCell &cell) { cell.AssignText(QString("a") + QChar(0) + "b"); }},
        {"text with a number",
         [](CUGCell &cell) {
             cell.AssignText("7");
             cell.m_number = 7.0;
         }},
        {"negative zero", [](CUGCell &cell) { cell.SetNumber(-0.0); }},
        {"data type alone",
         [](CUGCell &cell) {
             cell.m_properties = CellProp::DataType;
             cell.m_dataType = CellData::Date;
         }},
    };
    CUGCell reused;
    for (const Case &c : cases) {
        CUGCell incoming;
        c.make(incoming);
        store.StoreCell(1, 1, &incoming);
        CUGCell read;
        read.m_properties = 0;
        read.m_useTheme = 7;
        read.m_text = "a text the load must not change";
        const QString shared = read.m_text;
        ASSERT_EQ(store.LoadCell(1, 1, &read), 0) << c.what;
        EXPECT_EQ(shared, "a text the load must not change") << c.what;
        EXPECT_EQ(read.m_properties, incoming.m_properties) << c.what;
        if (incoming.Has(CellProp::Text)) {
            EXPECT_EQ(read.m_text, incoming.m_text) << c.what;
            EXPECT_EQ(std::bit_cast<quint64>(read.m_number), std::bit_cast<quint64>(incoming.m_number))
                << c.what;
        }
        if (incoming.Has(CellProp::DataType)) {
            EXPECT_EQ(read.m_dataType, incoming.m_dataType) << c.what;
        }
        // Loading into a cell that read the cases before, whose text buffer the load may reuse.
        reused.m_properties = 0;
        ASSERT_EQ(store.LoadCell(1, 1, &reused), 0) << c.what;
        if (incoming.Has(CellProp::Text)) {
            EXPECT_EQ(reused.m_text, incoming.m_text) << c.what;
        }
        EXPECT_EQ(read.m_useTheme, incoming.m_useTheme) << c.what;
        EXPECT_EQ(read.m_auxiliary, incoming.m_auxiliary) << c.what;
        const QString *expected = incoming.GetDisplayText();
        const QString *shown = read.GetDisplayText();
        ASSERT_EQ(expected == nullptr, shown == nullptr) << c.what;
        if (expected) {
            EXPECT_EQ(*shown, *expected) << c.what;
        }
        EXPECT_EQ(read.m_backColor, incoming.m_backColor) << c.what;
    }
}

} // namespace
