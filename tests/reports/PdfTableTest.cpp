#include "reports/PdfTable.h"

#include "platform/pdf/PdfDocument.h"

#include "common/PdfReadBack.h"

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct MergeCase
{
    int firstColumn, firstGridRow, lastGridRow, lastColumn;
};

TEST(PdfTableTest, MergeCellsTakesGridRowsInEitherOrder)
{
    for (const MergeCase &given :
         {MergeCase{1, 11, 12, 3}, MergeCase{3, 12, 11, 1}, MergeCase{1, 12, 11, 3}}) {
        PdfTable table;
        table.Create(nullptr, {15, 75}, 5, 4, 0, 7, 0, 15, -1);
        table.MergeCells(given.firstColumn, given.firstGridRow, given.lastGridRow, given.lastColumn, true);
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 5; ++c)
                EXPECT_EQ(table.IsMerged(r, c), r <= 1 && c >= 1 && c <= 3) << r << "," << c;
        table.MergeCells(given.firstColumn, given.firstGridRow, given.lastGridRow, given.lastColumn, false);
        EXPECT_FALSE(table.IsMerged(0, 1));
    }
}

class PdfTableDrawTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        font = doc.AddFont(QStringLiteral("Arial"), false);
        bold = doc.AddFont(QStringLiteral("Arial"), true);
        ASSERT_TRUE(doc.SetFont(font, 7));
    }
    PdfReadBack save()
    {
        const QString file = dir.filePath(QStringLiteral("table.pdf"));
        EXPECT_TRUE(doc.SaveToFile(file));
        return readPdfBack(file);
    }

    QTemporaryDir dir;
    PdfDocument doc;
    PdfTable table;
    int font = 0, bold = 0;
};

TEST_F(PdfTableDrawTest, LongTextsWidenTheirColumnExceptOnWholeRows)
{
    table.Create(&doc, {15, 75}, 2, 2, font, 7, bold, 15, -1);
    table.ColumnWidths = {10, 10};
    table.SetCellText(0, 0, QStringLiteral("a much longer text than ten units"), 0);
    EXPECT_EQ(table.ColumnWidths[0],
              int(doc.GetTextWidth(QStringLiteral("a much longer text than ten units"))));
    table.SetCellText(0, 1, QStringLiteral("."), 0);
    EXPECT_EQ(table.ColumnWidths[1], 10) << "never narrowed";
    table.MergeRow(1);
    table.SetCellText(1, 1, QStringLiteral("a whole-row text that is long"), 0);
    EXPECT_EQ(table.ColumnWidths[1], 10);
}

TEST_F(PdfTableDrawTest, RowsBreakToANewPageNearTheFoot)
{
    // 595 units high: the row at y 555 leaves 25 units, so the next row opens page 2 at y 40.
    const int rows = 40;
    table.Create(&doc, {15, 75}, 2, rows, font, 7, bold, 15, -1);
    table.ColumnWidths = {200, 200};
    table.SetHeaderRow(0);
    for (int r = 0; r < rows; ++r) {
        table.SetCellText(r, 0, QStringLiteral("R%1").arg(r), 0);
        table.SetCellText(r, 1, QString::number(r * 10), 2);
    }
    QPointF end;
    ASSERT_TRUE(table.Draw(end));
    EXPECT_EQ(end, QPointF(15, 40 + 7 * 15));

    const PdfReadBack read = save();
    EXPECT_EQ(read.Pages, 2);
    const PdfWord *last = read.find(QStringLiteral("R32"));
    const PdfWord *next = read.find(QStringLiteral("R33"));
    ASSERT_TRUE(last && next);
    EXPECT_EQ(last->Page, 0);
    EXPECT_EQ(next->Page, 1);
    EXPECT_GT(next->Top, 40);
    EXPECT_LT(next->Bottom, 55);
    const PdfWord *number = read.find(QStringLiteral("330"));
    ASSERT_TRUE(number);
    EXPECT_NEAR(number->Right, 15 + 200 + 200 - 2, 2) << "alignment 2 is right-aligned";
}

TEST_F(PdfTableDrawTest, MergedBlockAndWholeRowTexts)
{
    table.Create(&doc, {15, 75}, 4, 3, font, 7, bold, 15, -1);
    table.ColumnWidths = {100, 100, 100, 100};
    table.MergeCells(1, 11, 12, 3, true);
    table.SetCellText(0, 1, QStringLiteral("Block"), 1);
    table.MergeRow(2);
    table.SetCellText(2, 0, QStringLiteral("Benchmark:Latency Trial:1 Repetition:1 Duration:10 sec."), 0);
    QPointF end;
    ASSERT_TRUE(table.Draw(end));
    EXPECT_EQ(end, QPointF(15, 75 + 45));
    const PdfReadBack read = save();
    const PdfWord *block = read.find(QStringLiteral("Block"));
    ASSERT_TRUE(block);
    EXPECT_NEAR((block->Left + block->Right) / 2, 115 + 150 - 1, 3) << "centred over three columns";
    EXPECT_NEAR((block->Top + block->Bottom) / 2, 75 + 15, 4) << "centred over two rows";
    const PdfWord *duration = read.find(QStringLiteral("sec."));
    ASSERT_TRUE(duration);
    EXPECT_GT(duration->Left, 115) << "a whole-row text runs on across the columns";
}

TEST_F(PdfTableDrawTest, ATableWiderThanThePageIsNarrowedToItsMarginsAndItsTextsShrink)
{
    const QString wide = QStringLiteral("Wide").repeated(50);
    table.Create(&doc, {15, 75}, 2, 1, font, 12, bold, 15, -1);
    table.ColumnWidths = {10, 10};
    table.SetCellText(0, 0, wide, 0);
    table.SetCellText(0, 1, QStringLiteral("RightMost"), 2);
    ASSERT_GT(table.ColumnWidths[0] + table.ColumnWidths[1], 842 - 30)
        << "measured at 7, wider than the page";
    QPointF end;
    ASSERT_TRUE(table.Draw(end));
    const PdfReadBack read = save();
    const PdfWord *left = read.find(wide);
    const PdfWord *right = read.find(QStringLiteral("RightMost"));
    ASSERT_TRUE(left && right);
    EXPECT_GE(left->Left, 15);
    EXPECT_LE(left->Right, right->Left) << "the long text shrinks into its own column";
    EXPECT_NEAR(right->Right, 842 - 15 - 2, 2) << "the right edge lies at the right margin";
}

TEST_F(PdfTableDrawTest, EmptyTableOrNoDocumentEndsWhereItStarts)
{
    table.Create(&doc, {15, 75}, 3, 0, font, 7, bold, 15, -1);
    table.ColumnWidths = {100, 100, 100};
    QPointF end;
    ASSERT_TRUE(table.Draw(end));
    EXPECT_EQ(end, QPointF(15, 75));
    table.Create(nullptr, {20, 90}, 3, 3, font, 7, bold, 15, -1);
    ASSERT_TRUE(table.Draw(end));
    EXPECT_EQ(end, QPointF(20, 90));

    // Not even a bottom edge: the page stays blank.
    const QString file = dir.filePath(QStringLiteral("empty.pdf"));
    ASSERT_TRUE(doc.SaveToFile(file));
    QProcess render;
    render.start(QStringLiteral("pdftoppm"),
                 {QStringLiteral("-r"), QStringLiteral("144"), QStringLiteral("-png"),
                  QStringLiteral("-singlefile"), file, dir.filePath(QStringLiteral("empty"))});
    ASSERT_TRUE(render.waitForFinished(60000) && render.exitCode() == 0);
    const QImage page(dir.filePath(QStringLiteral("empty.png")));
    ASSERT_FALSE(page.isNull());
    for (int y = 140; y < 160; ++y)
        for (int x = 0; x < page.width(); ++x)
            ASSERT_EQ(qGray(page.pixel(x, y)), 255) << x << "," << y;
}

} // namespace
