#include "ProbeGrid.h"

#include "controls/grid/UGCellFormat.h"
#include "controls/grid/UGDataSource.h"
#include "controls/grid/UGMem.h"

#include <QFont>
#include <QMessageBox>
#include <gtest/gtest.h>

namespace {

TEST(UGCtrlAttach, HooksRunInOrderBeforeTheGridCountsAsCreated)
{
    AttachedProbe probe;
    EXPECT_EQ(probe.grid->log, (QStringList{"HookSetUpGrid", "HookSetUpSheet(0)", "HookAdjustLayout"}));
    EXPECT_EQ(probe.grid->createdFlagInSetUpGrid, 0);
    EXPECT_EQ(probe.grid->CurrentSheet()->m_createdFlag, 1);
}

// A grid built and attached in a dialog leaves the dialog's first focus to the first control.
TEST(UGCtrlAttach, BuildingAndAttachingTakeNoFocus)
{
    QDialog dialog;
    auto *first = new QPushButton("First", &dialog);
    first->setGeometry(0, 270, 60, 24);
    auto *grid = new ProbeGrid(&dialog);
    grid->setGeometry(0, 0, 400, 260);
    grid->InitAttachedWindow(&dialog);
    grid->SetSheetCount(2);
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    EXPECT_EQ(QApplication::focusWidget(), first);
    // A click gives it the focus.
    QTest::mouseClick(grid->GridWindow(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 50));
    EXPECT_EQ(QApplication::focusWidget(), grid->GridWindow());
    // Switching sheets of an attached grid takes the focus as before.
    first->setFocus();
    grid->SetCurrentSheet(1);
    EXPECT_EQ(QApplication::focusWidget(), grid->GridWindow());
}

TEST(UGCtrlAttach, DialogFontBecomesTheDefaultAndHeadingsGetABolderOne)
{
    QDialog dialog;
    QFont font("Liberation Sans");
    font.setPixelSize(13);
    font.setWeight(QFont::Normal);
    dialog.setFont(font);
    ProbeGrid grid(&dialog);
    grid.InitAttachedWindow(&dialog);
    const QFont *cellFont = grid.CurrentSheet()->m_defFont;
    ASSERT_NE(cellFont, nullptr);
    EXPECT_EQ(cellFont->pixelSize(), 13);
    EXPECT_EQ(cellFont->weight(), QFont::Normal);
    const CUGCell &heading = *grid.CurrentSheet()->m_hdgDefaultCell;
    ASSERT_TRUE(heading.Has(CellProp::Font));
    ASSERT_NE(heading.m_font, nullptr);
    EXPECT_EQ(heading.m_font->weight(), QFont::Normal + 200);
}

TEST(UGCtrlAttach, WithoutADialogNoFontIsSet)
{
    ProbeGrid grid;
    grid.InitAttachedWindow(nullptr);
    EXPECT_EQ(grid.CurrentSheet()->m_defFont, nullptr);
    EXPECT_FALSE(grid.CurrentSheet()->m_hdgDefaultCell->Has(CellProp::Font));
}

TEST(UGCtrlAttach, TakesThePlaceOfAPlaceholder)
{
    QDialog dialog;
    auto *placeholder = new QWidget(&dialog);
    placeholder->setGeometry(10, 20, 300, 200);
    placeholder->setObjectName("IDC_GRID");
    ProbeGrid grid;
    EXPECT_EQ(grid.AttachToPlaceholder(placeholder), 1);
    EXPECT_EQ(grid.parentWidget(), &dialog);
    EXPECT_EQ(grid.geometry(), QRect(10, 20, 300, 200));
    EXPECT_EQ(grid.objectName(), "IDC_GRID");
    EXPECT_TRUE(placeholder->isHidden());
    grid.setParent(nullptr);
}

TEST(UGCtrlStructure, SheetCounts)
{
    struct Case
    {
        int count;
        int result;
        int sheets;
    };
    const Case cases[] = {{1025, 1, 1}, {1024, 0, 1024}, {0, 1, 1024}, {-3, 1, 1024}, {2, 0, 2}};
    ProbeGrid grid;
    for (const Case &c : cases) {
        EXPECT_EQ(grid.SetSheetCount(c.count), c.result) << c.count;
        EXPECT_EQ(grid.GetSheetCount(), c.sheets) << c.count;
        EXPECT_NE(grid.CurrentSheet(), nullptr);
    }
}

TEST(UGCtrlStructure, DroppingTheCurrentSheetMakesSheetZeroCurrent)
{
    ProbeGrid grid;
    grid.SetSheetCount(3);
    EXPECT_EQ(grid.log, (QStringList{"HookSetUpSheet(1)", "HookSetUpSheet(2)"}));
    EXPECT_EQ(grid.GetCurrentSheetNumber(), 0);
    ASSERT_EQ(grid.SetCurrentSheet(2), 0);
    grid.SetColumnCount(4);
    EXPECT_EQ(grid.SetCurrentSheet(3), 1);
    grid.SetSheetCount(1);
    EXPECT_EQ(grid.GetCurrentSheetNumber(), 0);
    EXPECT_EQ(grid.GetColumnCount(), 0);
    grid.SetColumnCount(2);
    EXPECT_EQ(grid.GetColumnCount(), 2);
}

TEST(UGCtrlStructure, SameFontTwiceGivesTheSameIndex)
{
    ProbeGrid grid;
    UgLogFont logFont;
    logFont.height = -12;
    logFont.weight = 700;
    logFont.faceName = "Liberation Sans";
    const int first = grid.FindOrAddFont(logFont);
    ASSERT_GE(first, 0);
    EXPECT_EQ(grid.FindOrAddFont(logFont), first);
    EXPECT_EQ(grid.FontUseCount(first), 1);
    logFont.italic = 1;
    EXPECT_NE(grid.FindOrAddFont(logFont), first);
    EXPECT_EQ(grid.GetFont(first)->weight(), 700);
    EXPECT_EQ(grid.GetFont(first)->family(), "Liberation Sans");
}

TEST(UGCtrlStructure, FaceNamesOf32CharactersAreDropped)
{
    ProbeGrid grid;
    UgLogFont longName;
    longName.faceName = QString(32, u'x');
    UgLogFont noName;
    const int index = grid.FindOrAddFont(longName);
    EXPECT_EQ(grid.FindOrAddFont(noName), index);
    UgLogFont fitting;
    fitting.faceName = QString(31, u'x');
    EXPECT_NE(grid.FindOrAddFont(fitting), index);
}

TEST(UGCtrlStructure, FontListGrowsByTen)
{
    CUGPtrList list;
    int values[11];
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ(list.AddPointer(&values[i]), i);
    EXPECT_EQ(list.GetMaxCount(), 20);
    EXPECT_EQ(list.GetPointer(10), &values[10]);
    EXPECT_EQ(list.GetPointer(11), nullptr);
    EXPECT_EQ(list.GetPointer(-1), nullptr);
}

class EchoType : public CUGCellType
{
public:
    qint64 OnUserMessage(qint64 value) override { return value * 2; }
};

TEST(UGCtrlStructure, CellTypesByIndex)
{
    ProbeGrid grid;
    EchoType echo;
    ASSERT_EQ(grid.AddCellType(&echo), 4);
    EXPECT_EQ(echo.TypeId(), 4);
    EXPECT_EQ(grid.SendCellTypeMessage(4, 21), 42);
    EXPECT_EQ(grid.SendCellTypeMessage(0, 21), 0);
    EXPECT_EQ(grid.SendCellTypeMessage(7, 21), 0);
    EXPECT_EQ(grid.GetCellTypeByIndex(2)->TypeId(), 2);
    EXPECT_EQ(grid.GetCellTypeByIndex(-1), grid.GetCellTypeByIndex(0));
    EXPECT_EQ(grid.GetCellTypeByIndex(7), grid.GetCellTypeByIndex(0));

    grid.SetColumnCount(1);
    grid.SetRowCount(1);
    CUGCell cell;
    cell.m_cellTypeIndex = 7;
    cell.m_properties |= CellProp::CellType;
    grid.WriteCell(0, 0, &cell);
    EXPECT_EQ(grid.GetCellTypeOfCell(0, 0), grid.GetCellTypeByIndex(0));
    grid.MakeCellDropList(0, 0);
    EXPECT_EQ(grid.GetCellTypeOfCell(0, 0)->TypeId(), CUGCtrl::CellTypeDropList);
}

class CellAccess : public testing::Test
{
protected:
    void SetUp() override
    {
        grid.SetColumnCount(4);
        grid.SetRowCount(3);
    }
    QString text(int col, int row)
    {
        const std::optional<QString> shown = grid.GetCellTextPtr(col, row);
        return shown ? *shown : QString("<none>");
    }
    ProbeGrid grid;
};

TEST_F(CellAccess, CompositeLayers)
{
    CUGCell style;
    style.m_properties = CellProp::BackColor;
    style.m_backColor = RGB(7, 7, 7);
    struct Case
    {
        const char *what;
        std::function<void()> arrange;
        int col;
        int row;
        std::function<void(CUGCell &)> check;
    };
    const Case cases[] = {
        {"column default shows through",
         [&] {
             grid.CurrentSheet()->m_columns[1].defaultCell->m_backColor = RGB(1, 2, 3);
             grid.CurrentSheet()->m_columns[1].defaultCell->m_properties |= CellProp::BackColor;
         },
         1, 0, [](CUGCell &cell) { EXPECT_EQ(cell.m_backColor, RGB(1, 2, 3)); }},
        {"stored back colour wins", [&] { grid.SetCellBackColor(1, 0, RGB(4, 5, 6)); }, 1, 0,
         [](CUGCell &cell) { EXPECT_EQ(cell.m_backColor, RGB(4, 5, 6)); }},
        {"other rows keep the default", [] {}, 1, 1,
         [](CUGCell &cell) { EXPECT_EQ(cell.m_backColor, RGB(1, 2, 3)); }},
        {"empty text reveals the column default text",
         [&] {
             grid.CurrentSheet()->m_columns[2].defaultCell->AssignText("default");
             grid.SetCellText(2, 0, "own");
             grid.SetCellText(2, 0, "");
         },
         2, 0, [](CUGCell &cell) { EXPECT_EQ(*cell.GetDisplayText(), "default"); }},
        {"read hook fills an empty cell", [&] { grid.readHookText = "hooked"; }, 3, 2,
         [](CUGCell &cell) { EXPECT_EQ(*cell.GetDisplayText(), "hooked"); }},
        {"style cell beats the hook",
         [&] {
             grid.readHookColor = RGB(9, 9, 9);
             CUGCell cell;
             cell.m_properties = CellProp::StyleCell;
             cell.m_styleCell = &style;
             grid.WriteCell(0, 1, &cell);
         },
         0, 1, [](CUGCell &cell) { EXPECT_EQ(cell.m_backColor, RGB(7, 7, 7)); }},
        {"hook colour without style", [] {}, 0, 2,
         [](CUGCell &cell) { EXPECT_EQ(cell.m_backColor, RGB(9, 9, 9)); }},
        {"corner is the heading default with theme 32", [&] { grid.readHookColor = 0; }, -1, -1,
         [](CUGCell &cell) {
             EXPECT_EQ(cell.m_themeStyle, 32);
             EXPECT_EQ(cell.m_backColor, sysColor(SysColor::BtnFace));
             EXPECT_EQ(cell.m_borderStyle, 0x2000);
             EXPECT_EQ(cell.m_alignment, 36);
         }},
        {"side heading below the top gets theme 64", [] {}, -1, 0,
         [](CUGCell &cell) { EXPECT_EQ(cell.m_themeStyle, 64); }},
        {"a row past the end has only the base layer", [&] { grid.SetCellText(3, 3, "stored ahead"); }, 3, 3,
         [](CUGCell &cell) {
             EXPECT_EQ(cell.GetDisplayText(), nullptr);
             EXPECT_EQ(cell.m_backColor, sysColor(SysColor::Window));
         }},
    };
    for (const Case &c : cases) {
        c.arrange();
        CUGCell cell;
        ASSERT_EQ(grid.GetCellComposite(c.col, c.row, &cell), 0) << c.what;
        SCOPED_TRACE(c.what);
        c.check(cell);
    }
}

class UpperCaseFormat : public CUGCellFormat
{
public:
    void ApplyFormat(CUGCell *cell) override { cell->m_text = cell->m_text.toUpper(); }
};

TEST_F(CellAccess, FormatObjectSeesTheStoredCell)
{
    UpperCaseFormat format;
    CUGCell cell;
    cell.AssignText("abc");
    cell.m_format = &format;
    cell.m_properties |= CellProp::Format;
    grid.WriteCell(0, 0, &cell);
    EXPECT_EQ(text(0, 0), "ABC");
}

TEST_F(CellAccess, WriteCellBounds)
{
    CUGCell cell;
    cell.AssignText("x");
    struct Case
    {
        int col;
        int row;
        int expected;
    };
    const Case cases[] = {{0, 3, 0}, {0, 4, 1}, {4, 0, 1}, {-1, -1, 0}, {-2, 0, 1}, {0, -2, 1}, {3, 2, 0}};
    for (const Case &c : cases)
        EXPECT_EQ(grid.WriteCell(c.col, c.row, &cell), c.expected) << c.col << "," << c.row;
    // Written at the row count, the cell shows once the row exists.
    EXPECT_EQ(text(0, 3), "<none>");
    grid.SetRowCount(4);
    EXPECT_EQ(text(0, 3), "x");
    CUGCell read;
    EXPECT_EQ(grid.ReadCell(4, 0, &read), 1);
    EXPECT_EQ(grid.ReadCell(0, 0, &read), 1); // nothing stored there
}

TEST_F(CellAccess, SettersWriteOnlyTheStoredCell)
{
    grid.CurrentSheet()->m_columns[0].defaultCell->m_textColor = RGB(1, 1, 1);
    grid.CurrentSheet()->m_columns[0].defaultCell->m_properties |= CellProp::TextColor;
    grid.SetCellNumber(0, 0, 1234.5);
    grid.SetCellLabel(0, 0, "Enable\nDisable\n");
    grid.SetCellAlignment(0, 0, 2);
    grid.SetCellTypeParam(0, 0, 512);
    CUGCell stored;
    ASSERT_EQ(grid.ReadCell(0, 0, &stored), 0);
    EXPECT_EQ(stored.m_properties, CellProp::Text | CellProp::DataType | CellProp::Label |
                                       CellProp::Alignment | CellProp::CellTypeParam);
    EXPECT_EQ(*stored.GetDisplayText(), "1,234.5");
    EXPECT_EQ(stored.m_label, "Enable\nDisable\n");
    QString shown;
    grid.GetCellTextTo(0, 0, shown);
    EXPECT_EQ(shown, "1,234.5");
    EXPECT_EQ(text(1, 1), "<none>");
    QPixmap pixmap(2, 2);
    grid.SetCellBitmap(1, 1, &pixmap);
    grid.SetCellBitmap(1, 1, nullptr);
    ASSERT_EQ(grid.ReadCell(1, 1, &stored), 0);
    EXPECT_FALSE(stored.Has(CellProp::Bitmap));
    // Refused writes are hidden by the setters.
    EXPECT_EQ(grid.SetCellText(9, 9, "x"), 0);
}

TEST_F(CellAccess, ColumnDefaultIsCopiedWhenTheColumnIsCreated)
{
    CUGCell &gridDefault = *grid.CurrentSheet()->m_gridDefaultCell;
    gridDefault.m_backColor = RGB(10, 20, 30);
    gridDefault.m_properties |= CellProp::BackColor;
    grid.SetColumnCount(5);
    gridDefault.m_backColor = RGB(99, 99, 99);
    CUGCell old, added;
    grid.GetCellComposite(0, 0, &old);
    grid.GetCellComposite(4, 0, &added);
    EXPECT_EQ(old.m_backColor, sysColor(SysColor::Window));
    EXPECT_EQ(added.m_backColor, RGB(10, 20, 30));
}

TEST_F(CellAccess, JoinedBlocks)
{
    ASSERT_EQ(grid.JoinCellRange(1, 2, 3, 2), 0);
    CUGCell cell;
    ASSERT_EQ(grid.ReadCell(2, 2, &cell), 0);
    EXPECT_EQ((std::vector<int>{cell.m_joinOrigin, cell.m_joinRowOffset, cell.m_joinColOffset}),
              (std::vector<int>{0, 0, -1}));
    ASSERT_EQ(grid.ReadCell(3, 2, &cell), 0);
    EXPECT_EQ(cell.m_joinColOffset, -2);
    ASSERT_EQ(grid.ReadCell(1, 2, &cell), 0);
    EXPECT_EQ((std::vector<int>{cell.m_joinOrigin, cell.m_joinRowOffset, cell.m_joinColOffset}),
              (std::vector<int>{1, 0, 2}));

    int col = 3, row = 2, lastCol = 0, lastRow = 0;
    ASSERT_EQ(grid.FindJoinedBlock(&col, &row, &lastCol, &lastRow), 0);
    EXPECT_EQ((std::vector<int>{col, row, lastCol, lastRow}), (std::vector<int>{1, 2, 3, 2}));
    col = 0;
    EXPECT_EQ(grid.FindJoinedBlock(&col, &row, &lastCol, &lastRow), 2);
    col = 2;
    ASSERT_EQ(grid.MoveToJoinOrigin(&col, &row), 0);
    EXPECT_EQ(col, 1);

    grid.CurrentSheet()->m_joining = 0;
    col = 3;
    lastCol = -7;
    EXPECT_EQ(grid.FindJoinedBlock(&col, &row, &lastCol, &lastRow), 1);
    EXPECT_EQ(col, 3);
    EXPECT_EQ(lastCol, -7);
    EXPECT_EQ(grid.MoveToJoinOrigin(&col, &row), 1);

    struct Bad
    {
        int fc, fr, lc, lr;
    };
    for (const Bad &bad : {Bad{2, 0, 1, 0}, Bad{0, 2, 0, 1}, Bad{0, 0, 4, 0}, Bad{0, 0, 0, 3},
                           Bad{-2, 0, 0, 0}, Bad{0, -2, 0, 0}})
        EXPECT_EQ(grid.JoinCellRange(bad.fc, bad.fr, bad.lc, bad.lr), 1);
    EXPECT_EQ(grid.JoinCellRange(-1, -1, 0, 0), 0);
}

TEST_F(CellAccess, CompareCellsForSort)
{
    auto number = [](double value, std::uint16_t type = CellData::Number) {
        auto cell = std::make_shared<CUGCell>();
        cell->SetNumber(value);
        cell->m_dataType = type;
        return cell;
    };
    auto textCell = [](const QString &value, std::uint16_t type = CellData::Text) {
        auto cell = std::make_shared<CUGCell>();
        cell->AssignText(value);
        cell->m_dataType = type;
        return cell;
    };
    auto empty = std::make_shared<CUGCell>();
    struct Case
    {
        const char *what;
        std::shared_ptr<CUGCell> a;
        std::shared_ptr<CUGCell> b;
        int flags;
        int expected;
    };
    const Case cases[] = {
        {"both absent", nullptr, nullptr, 0, 0},
        {"a absent", nullptr, empty, 0, 1},
        {"b absent", empty, nullptr, 0, -1},
        {"numbers", number(10), number(9), 0, 1},
        {"numbers equal", number(2), number(2), 0, 0},
        {"check cells compare numerically", textCell("10", CellData::Check), textCell("9", CellData::Check),
         0, 1},
        {"currency numerically", number(1, CellData::Currency), number(3, CellData::Currency), 0, -1},
        {"dates in text order", textCell("10", CellData::Date), textCell("9", CellData::Date), 0, -1},
        {"texts ordinal", textCell("B"), textCell("a"), 0, -1},
        {"descending swaps", textCell("B"), textCell("a"), 2, 1},
        {"a without text sorts last", empty, textCell("a"), 0, 1},
        {"b without text", textCell("a"), empty, 0, -1},
    };
    for (const Case &c : cases)
        EXPECT_EQ(grid.CompareCellsForSort(c.a.get(), c.b.get(), c.flags), c.expected) << c.what;
}

TEST_F(CellAccess, PasteText)
{
    ASSERT_EQ(grid.GetCurrentColumn(), 0);
    ASSERT_EQ(grid.GetCurrentRow(), 0);
    ASSERT_EQ(grid.PasteText("a\tb\r\nc"), 0);
    EXPECT_EQ(text(0, 0), "a");
    EXPECT_EQ(text(1, 0), "b");
    EXPECT_EQ(text(0, 1), "c");
    EXPECT_EQ(grid.GetCurrentColumn(), 1);
    EXPECT_EQ(grid.GetCurrentRow(), 1);
}

TEST_F(CellAccess, PasteStopsAtTheEdgesAndSkipsReadOnlyCells)
{
    CUGCell locked;
    locked.AssignText("locked");
    locked.m_readOnly = 1;
    locked.m_properties |= CellProp::ReadOnly;
    grid.WriteCell(3, 2, &locked);
    grid.SelectRange(2, 1, 2, 1);
    grid.PasteText("w\tx\ty\nz\tlost\tgone\r\rfar\n");
    EXPECT_EQ(text(2, 1), "w");
    EXPECT_EQ(text(3, 1), "x");
    EXPECT_EQ(text(2, 2), "z");
    EXPECT_EQ(text(3, 2), "locked");
    EXPECT_EQ(grid.GetCurrentColumn(), 3);
    EXPECT_EQ(grid.GetCurrentRow(), 2);
}

TEST_F(CellAccess, AppendingRowsThroughASentinelAndSortingKeepsItLast)
{
    grid.SetRowCount(0);
    grid.SetCellText(0, 0, "");
    const char *items[] = {"(2,1,1)", "(1,3,2)", "(1,2,1)"};
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(grid.InsertRowAt(grid.GetRowCount()), 0) << i;
        grid.SetCellText(0, i, items[i]);
    }
    EXPECT_EQ(grid.GetRowCount(), 3);
    EXPECT_EQ(text(0, 0), "(2,1,1)");
    EXPECT_EQ(text(0, 2), "(1,2,1)");
    auto *store = static_cast<CUGMem *>(grid.CurrentSheet()->m_dataSource);
    EXPECT_TRUE(store->HasRowNode(3));
    ASSERT_EQ(store->SortByColumn(0, 0), 0);
    EXPECT_EQ(text(0, 0), "(1,2,1)");
    EXPECT_EQ(text(0, 1), "(1,3,2)");
    EXPECT_EQ(text(0, 2), "(2,1,1)");
    ASSERT_EQ(grid.InsertRowAt(3), 0); // the sentinel is still last
    EXPECT_EQ(grid.InsertRowAt(-1), 1);
    EXPECT_EQ(grid.InsertRowAt(9), 1);
}

TEST_F(CellAccess, InsertRowAtRefusedByTheStore)
{
    EXPECT_EQ(grid.InsertRowAt(1), 1); // nothing stored yet: the store has no row 1
    EXPECT_EQ(grid.GetRowCount(), 3);
}

} // namespace

namespace {

class FindReplace : public CellAccess
{
protected:
    void SetUp() override
    {
        CellAccess::SetUp();
        grid.SetFindAllColumns(true);
        grid.SetCellText(0, 0, "start");
        grid.SetCellText(2, 1, "apple pie");
        grid.SetCellText(1, 2, "Apple");
    }
    QMessageBox *notFoundBox() { return grid.findChild<QMessageBox *>(); }
};

TEST_F(FindReplace, FindsPartsIgnoringCaseAndWraps)
{
    UgFindRequest request;
    request.findText = "apple";
    EXPECT_EQ(grid.OnFindReplace(request), 0);
    EXPECT_EQ(grid.GetCurrentColumn(), 2);
    EXPECT_EQ(grid.GetCurrentRow(), 1);
    grid.OnFindReplace(request);
    EXPECT_EQ(grid.GetCurrentColumn(), 1);
    EXPECT_EQ(grid.GetCurrentRow(), 2);
    request.matchCase = true;
    request.wholeWord = true;
    grid.OnFindReplace(request); // "apple" matches no whole cell: nothing moves
    EXPECT_EQ(grid.GetCurrentRow(), 2);
    ASSERT_NE(notFoundBox(), nullptr);
    EXPECT_EQ(notFoundBox()->text(), "Item not found");
    EXPECT_EQ(notFoundBox()->windowTitle(), "Not Found");
    request.closing = true;
    EXPECT_EQ(grid.OnFindReplace(request), 1);
}

TEST_F(FindReplace, ReplaceAllEndsAfterOnePassEvenWhenTheTextStays)
{
    UgFindRequest request;
    request.findText = "apple";
    request.replaceText = "big apple";
    grid.OnFindReplace(request);
    request.replaceAll = true;
    EXPECT_EQ(grid.OnFindReplace(request), 0);
    EXPECT_EQ(text(2, 1), "big apple");
    EXPECT_EQ(text(1, 2), "big apple");
    EXPECT_EQ(text(0, 0), "start");
}

} // namespace
