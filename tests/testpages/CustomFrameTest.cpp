// The custom frame-size table of the rate pages and its editor: the default rows, the rules that hold
// typed sizes and rates within their bounds and order, the key filter, and OK, Default and Cancel.
#include "PageFixture.h"

#include "controls/grid/UGEdit.h"
#include "testpages/CustomFrame.h"
#include "testpages/DlgLatency.h"
#include "testpages/PacketCustomGrid.h"
#include "testpages/PacketCustomPage.h"

#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct CustomFrameTest : testing::Test, PageFixture
{
};

QString shown(CUGCtrl *grid, int col, int row)
{
    QString text;
    grid->GetCellTextTo(col, row, text);
    return text;
}

} // namespace

TEST(CustomFrameRules, FrameSizeIsHeldToItsBounds)
{
    const std::pair<const char *, const char *> cases[] = {
        {"20", "60"}, {"1,518", "1518"}, {"abc", "60"}, {"20000", "16100"}, {"1518", "1518"}, {",64", "60"}};
    for (const auto &[input, expected] : cases)
        EXPECT_EQ(NormaliseFrameSizeText(QString::fromLatin1(input)), expected) << input;
    EXPECT_EQ(FrameSizeOfText("1,518"), 1518);
}

TEST(CustomFrameRules, RatesAreHeldToTheirBoundsAndOrder)
{
    struct Case
    {
        int col;
        const char *text;
        const char *expected;
    };
    // A default row: initial 50, minimum 10, maximum 100.
    const Case cases[] = {{4, "0", "0.01"},     {4, "150", "100.00"},   {1, "0", "10.00"},
                          {1, "150", "100.00"}, {1, "5", "10.00"},      {2, "70", "50.00"},
                          {3, "30", "50.00"},   {4, "33.339", "33.34"}, {2, "abc", "0.01"},
                          {3, "1e9", "100.00"}, {4, "55.5", "55.50"}};
    for (const Case &c : cases)
        EXPECT_EQ(NormaliseRateText(c.col, c.text, 50, 10, 100), c.expected) << c.col << " " << c.text;
}

TEST(CustomFrameRules, KeyFilterRefusesAThirdDecimalAndSizesAbove16100)
{
    struct Case
    {
        const char *text;
        int key;
        bool selection;
        bool accepted;
    };
    const Case cases[] = {{"33.33", '3', false, false}, {"33.3", '3', false, true},
                          {"2000", '0', false, false},  {"1610", '0', false, true},
                          {"33.33", '3', true, true},   {"20000", 8, false, true},
                          {"33.33", 8, false, true}};
    for (const Case &c : cases)
        EXPECT_EQ(AcceptFrameEditKey(c.text, c.key, c.selection), c.accepted) << c.text << " " << c.key;
}

TEST_F(CustomFrameTest, NewPagesStartWithTheSevenDefaultRows)
{
    CDlgLatency page;
    ASSERT_EQ(page.CustomFrameTable.size(), 7u);
    const std::uint16_t sizes[] = {64, 128, 256, 512, 1024, 1280, 1518};
    for (std::size_t i = 0; i < 7; ++i) {
        const UtCustomFrame &row = page.CustomFrameTable[i];
        EXPECT_EQ(std::uint16_t{row.FrameSize}, sizes[i]);
        EXPECT_EQ(double{row.InitialRate}, 50);
        EXPECT_EQ(double{row.MinRate}, 10);
        EXPECT_EQ(double{row.MaxRate}, 100);
        EXPECT_EQ(double{row.Resolution}, 1);
    }
}

TEST_F(CustomFrameTest, EditButtonOpensTheEditorOnThePageTable)
{
    CDlgLatency page;
    int rows = 0;
    QString stepHeading;
    page.RunEditor = [&](CPacketCustomPage &editor) {
        rows = editor.Grid->GetRowCount();
        stepHeading = shown(editor.Grid, 2, -1);
        EXPECT_EQ(shown(editor.Grid, -1, 6), "7");
        EXPECT_EQ(shown(editor.Grid, 1, 0), "50.00");
        EXPECT_EQ(shown(editor.Grid, 4, 0), "1.00");
        return 0;
    };
    page.EditButton->click();
    EXPECT_EQ(rows, 7);
    EXPECT_EQ(stepHeading, "Step \nRate(%)");
}

TEST_F(CustomFrameTest, DefaultStaysAfterCancelAndOkStoresTheRowsAsShown)
{
    std::vector<UtCustomFrame> table{{33.333, 10, 100, 1, 100}};
    {
        CPacketCustomPage editor(table, 1);
        editor.DefaultButton->click();
        EXPECT_EQ(table.size(), 7u);
        editor.CancelButton->click();
    }
    EXPECT_EQ(table.size(), 7u);

    table = {{33.333, 10.005, 100, 1, 100}, {50, 10, 100, 1, 1518}};
    CPacketCustomPage editor(table, 2);
    editor.OkButton->click();
    ASSERT_EQ(table.size(), 2u);
    EXPECT_DOUBLE_EQ(double{table[0].InitialRate}, 33.33);
    EXPECT_DOUBLE_EQ(double{table[0].MinRate}, 10.01);
    EXPECT_EQ(std::uint16_t{table[1].FrameSize}, 1518);
    EXPECT_EQ(editor.result(), QDialog::Accepted);
}

TEST_F(CustomFrameTest, FinishedEditsAreNormalisedEvenAfterEscape)
{
    std::vector<UtCustomFrame> table = DefaultCustomFrames();
    CPacketCustomPage editor(table, 3);
    editor.show();
    CPacketCustomGrid *grid = editor.Grid;
    const auto type = [&](int col, int row, const QString &text, Qt::Key end) {
        // Enter may have moved the edit on to the next cell; Escape ends it there, unchanged.
        if (grid->IsEditing())
            QTest::keyClick(grid->ActiveEditor(), Qt::Key_Escape);
        ASSERT_EQ(grid->BeginCellEdit(col, row), 0);
        auto *edit = qobject_cast<QLineEdit *>(grid->ActiveEditor());
        ASSERT_NE(edit, nullptr);
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, end);
    };
    type(0, 0, "20", Qt::Key_Return);
    EXPECT_EQ(shown(grid, 0, 0), "60");
    type(2, 1, "70", Qt::Key_Escape);
    EXPECT_EQ(shown(grid, 2, 1), "50.00");
    type(4, 2, "33.339", Qt::Key_Return); // the third decimal is refused while typing
    EXPECT_EQ(shown(grid, 4, 2), "33.33");
    EXPECT_EQ(std::uint16_t{table[0].FrameSize}, 64) << "nothing is stored before OK";
    editor.OkButton->click();
    EXPECT_EQ(std::uint16_t{table[0].FrameSize}, 60);
    EXPECT_DOUBLE_EQ(double{table[1].MinRate}, 50);
}

// Esc from the grid closes the editor without storing; inside a cell edit it only ends the edit.
TEST_F(CustomFrameTest, EscapeFromTheGridClosesWithoutStoring)
{
    std::vector<UtCustomFrame> table = DefaultCustomFrames();
    CPacketCustomPage editor(table, 3);
    editor.show();
    editor.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&editor));
    CPacketCustomGrid *grid = editor.Grid;
    ASSERT_EQ(grid->BeginCellEdit(0, 0), 0);
    QWidget *edit = grid->ActiveEditor();
    ASSERT_NE(edit, nullptr);
    edit->setFocus();
    QTest::keyClicks(edit, "100");
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_FALSE(grid->IsEditing());
    ASSERT_TRUE(editor.isVisible()) << "the first Esc ends the cell edit only";

    QWidget *focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    ASSERT_TRUE(editor.isAncestorOf(focus));
    QTest::keyClick(focus, Qt::Key_Escape);
    EXPECT_FALSE(editor.isVisible());
    EXPECT_EQ(editor.result(), QDialog::Rejected);
    EXPECT_EQ(std::uint16_t{table[0].FrameSize}, 64);
}
