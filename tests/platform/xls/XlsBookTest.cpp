#include "platform/xls/XlsBook.h"

#include "common/XlsReadBack.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray pngImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return data;
}

class XlsBookTest : public ::testing::Test
{
protected:
    QString path(const QString &name) const { return dir.filePath(name); }
    QJsonObject saveAndRead(const XlsBook &book, const QString &name = QStringLiteral("book.xls"))
    {
        EXPECT_TRUE(book.save(path(name)));
        return readXlsBack(path(name));
    }

    QTemporaryDir dir;
};

TEST_F(XlsBookTest, CellsFormatsMergesAndSizesReadBack)
{
    XlsBook book;
    XlsFont *bold = book.addFont();
    bold->setBold(true);
    XlsFormat *heading = book.addFormat();
    heading->setFont(bold);
    heading->setFillPattern(XlsFormat::FillSolid);
    heading->setPatternForegroundColor(24);
    heading->setBorder(XlsFormat::BorderThin);
    heading->setBorderColor(22);
    XlsFormat *number = book.addFormat();
    number->setNumFormat(4);
    number->setAlignH(XlsFormat::AlignHRight);
    number->setAlignV(XlsFormat::AlignVDistributed);

    XlsSheet *sheet = book.addSheet(QStringLiteral("Test Summary"));
    XlsSheet *other = book.addSheet(QStringLiteral("测试 Sheet"));
    ASSERT_TRUE(sheet && other);
    EXPECT_TRUE(sheet->writeStr(0, 0, QStringLiteral("Title"), heading));
    EXPECT_TRUE(sheet->writeNum(3, 2, 1234.5, number));
    EXPECT_TRUE(sheet->writeStr(3, 1, QStringLiteral("吞吐量 Throughput")));
    EXPECT_TRUE(sheet->writeStr(3, 1, QStringLiteral("written twice")));
    EXPECT_TRUE(sheet->writeNum(2, 255, -0.25));
    EXPECT_TRUE(sheet->setMerge(0, 0, 0, 9));
    EXPECT_TRUE(sheet->setCol(1, 3, 25));
    EXPECT_TRUE(sheet->setRow(0, 20));
    EXPECT_TRUE(other->writeStr(0, 0, QString()));

    const QJsonObject read = saveAndRead(book);
    const QJsonArray sheets = read[QStringLiteral("sheets")].toArray();
    ASSERT_EQ(sheets.size(), 2);
    const QJsonObject first = sheets[0].toObject();
    EXPECT_EQ(first[QStringLiteral("name")].toString(), QStringLiteral("Test Summary"));
    EXPECT_EQ(sheets[1].toObject()[QStringLiteral("name")].toString(), QStringLiteral("测试 Sheet"));
    EXPECT_EQ(first[QStringLiteral("rows")].toInt(), 4);
    EXPECT_EQ(first[QStringLiteral("columns")].toInt(), 256);
    EXPECT_EQ(xlsCell(first, 3, 1)[3].toString(), QStringLiteral("written twice"));
    EXPECT_EQ(xlsCell(first, 3, 2)[3].toDouble(), 1234.5);
    EXPECT_EQ(xlsCell(first, 2, 255)[3].toDouble(), -0.25);
    EXPECT_EQ(first[QStringLiteral("merged")].toArray(), QJsonArray({QJsonArray({0, 1, 0, 10})}));
    EXPECT_EQ(first[QStringLiteral("rowHeights")].toObject()[QStringLiteral("0")].toInt(), 400);
    // 25 characters wide as the spreadsheet shows it: 180 pixels, padding included.
    EXPECT_NEAR(first[QStringLiteral("columnWidths")].toObject()[QStringLiteral("2")].toInt(), 180 * 256 / 7,
                2);

    const QJsonArray formats = read[QStringLiteral("formats")].toArray();
    const QJsonObject headingRead = formats[xlsCell(first, 0, 0)[4].toInt()].toObject();
    EXPECT_TRUE(headingRead[QStringLiteral("bold")].toBool());
    EXPECT_EQ(headingRead[QStringLiteral("fill")].toInt(), 1);
    EXPECT_EQ(headingRead[QStringLiteral("fillColour")].toInt(), 24);
    EXPECT_EQ(headingRead[QStringLiteral("border")].toInt(), 1);
    EXPECT_EQ(headingRead[QStringLiteral("borderColour")].toInt(), 22);
    const QJsonObject numberRead = formats[xlsCell(first, 3, 2)[4].toInt()].toObject();
    EXPECT_FALSE(numberRead[QStringLiteral("bold")].toBool());
    EXPECT_EQ(numberRead[QStringLiteral("numFormat")].toString(), QStringLiteral("#,##0.00"));
    EXPECT_EQ(numberRead[QStringLiteral("alignH")].toInt(), 3);
    EXPECT_EQ(numberRead[QStringLiteral("alignV")].toInt(), 4);
    EXPECT_EQ(numberRead[QStringLiteral("fill")].toInt(), 0);
}

TEST_F(XlsBookTest, SharedStringsContinueAcrossRecords)
{
    // Long texts in both character sizes cross many 8,224-byte record boundaries at every position.
    XlsBook book;
    XlsSheet *sheet = book.addSheet(QStringLiteral("Strings"));
    QStringList texts;
    for (int i = 0; i < 700; ++i) {
        const QString piece = i % 3 == 0 ? QStringLiteral("组播") : QStringLiteral("Group");
        texts << QStringLiteral("%1:").arg(i) + piece.repeated(1 + (i * 37) % 90);
        ASSERT_TRUE(sheet->writeStr(i, 0, texts.back()));
        ASSERT_TRUE(sheet->writeStr(i, 1, texts.front())); // repeated strings are stored once
    }
    const QJsonObject read = saveAndRead(book);
    const QJsonObject sheetRead = read[QStringLiteral("sheets")].toArray()[0].toObject();
    for (int i = 0; i < texts.size(); ++i) {
        ASSERT_EQ(xlsCell(sheetRead, i, 0)[3].toString(), texts[i]) << "row " << i;
        ASSERT_EQ(xlsCell(sheetRead, i, 1)[3].toString(), texts.front());
    }
}

TEST_F(XlsBookTest, LastRowAndColumnAreTheLimits)
{
    XlsBook book;
    XlsSheet *sheet = book.addSheet(QStringLiteral("Rows"));
    EXPECT_TRUE(sheet->writeNum(XlsSheet::kMaxRows - 1, 0, 7));
    EXPECT_FALSE(sheet->writeNum(XlsSheet::kMaxRows, 0, 8));
    EXPECT_FALSE(sheet->writeStr(0, XlsSheet::kMaxColumns, QStringLiteral("x")));
    EXPECT_FALSE(sheet->writeStr(-1, 0, QStringLiteral("x")));
    EXPECT_FALSE(sheet->writeStr(0, 0, QString(XlsSheet::kMaxTextLength + 1, u'x')));
    EXPECT_FALSE(sheet->setMerge(2, 1, 0, 0));
    EXPECT_FALSE(sheet->setCol(0, 256, 10));
    EXPECT_FALSE(sheet->setRow(0, -1));
    const QJsonObject sheetRead = saveAndRead(book)[QStringLiteral("sheets")].toArray()[0].toObject();
    EXPECT_EQ(sheetRead[QStringLiteral("rows")].toInt(), XlsSheet::kMaxRows);
    EXPECT_EQ(xlsCell(sheetRead, XlsSheet::kMaxRows - 1, 0)[3].toDouble(), 7);
    EXPECT_EQ(sheetRead[QStringLiteral("cells")].toArray().size(), 1);
}

TEST_F(XlsBookTest, FilesPastTheFirstAllocationTableListReadBack)
{
    // Over about 6.8 MB the allocation table's sector list continues in extension sectors; long
    // distinct texts make such a file with few cells, so reading it back stays quick.
    XlsBook book;
    XlsSheet *sheet = book.addSheet(QStringLiteral("Counters"));
    const QString filler(8000, u'x');
    for (int r = 0; r < 950; ++r)
        sheet->writeStr(r, 0, QString::number(r) + filler);
    ASSERT_TRUE(book.save(path(QStringLiteral("large.xls"))));
    EXPECT_GT(QFile(path(QStringLiteral("large.xls"))).size(), 7'500'000);
    const QJsonObject sheetRead =
        readXlsBack(path(QStringLiteral("large.xls")))[QStringLiteral("sheets")].toArray()[0].toObject();
    EXPECT_EQ(sheetRead[QStringLiteral("rows")].toInt(), 950);
    EXPECT_EQ(xlsCell(sheetRead, 949, 0)[3].toString(), QStringLiteral("949") + filler);
}

TEST_F(XlsBookTest, PicturesArePlacedOnTheirSheets)
{
    XlsBook book;
    const int chart = book.addPicture(pngImage(800, 280));
    EXPECT_EQ(chart, 0);
    EXPECT_EQ(book.addPicture(QByteArray("not an image")), -1);
    XlsSheet *summary = book.addSheet(QStringLiteral("Summary"));
    XlsSheet *plain = book.addSheet(QStringLiteral("Plain"));
    XlsSheet *detail = book.addSheet(QStringLiteral("Detail"));
    summary->writeStr(0, 0, QStringLiteral("Title"));
    EXPECT_TRUE(summary->setPicture(2, 0, chart, 800, 280));
    EXPECT_TRUE(summary->setPicture(30, 0, chart, 800, 280));
    EXPECT_TRUE(detail->setPicture(5, 1, chart, 800, 280));
    EXPECT_FALSE(detail->setPicture(5, 1, 1, 800, 280));
    plain->writeNum(0, 0, 1);

    const QByteArray bytes = book.toBytes();
    // The image is stored once, in the book-wide drawing group.
    const QByteArray image = pngImage(800, 280);
    EXPECT_EQ(bytes.count(image), 1);
    const QJsonArray sheets = saveAndRead(book)[QStringLiteral("sheets")].toArray();
    ASSERT_EQ(sheets.size(), 3);
    EXPECT_EQ(xlsCell(sheets[0].toObject(), 0, 0)[3].toString(), QStringLiteral("Title"));
    EXPECT_EQ(xlsCell(sheets[1].toObject(), 0, 0)[3].toDouble(), 1);
}

TEST_F(XlsBookTest, RefusedNamesAndForeignFormats)
{
    XlsBook book;
    EXPECT_TRUE(book.addSheet(QStringLiteral("Latency")));
    for (const QString &name : {QString(), QStringLiteral("latency"), QStringLiteral("a/b"),
                                QStringLiteral("a[1]"), QString(32, u'x')})
        EXPECT_EQ(book.addSheet(name), nullptr) << name.toStdString();
    EXPECT_TRUE(book.addSheet(QString(31, u'x')));

    XlsBook other;
    XlsFormat *foreign = other.addFormat();
    EXPECT_FALSE(book.addSheet(QStringLiteral("Cells"))->writeStr(0, 0, QStringLiteral("x"), foreign));
}

TEST_F(XlsBookTest, SaveFailsWhereNoFileCanBeWritten)
{
    XlsBook book;
    book.addSheet(QStringLiteral("Sheet"));
    EXPECT_FALSE(book.save(path(QStringLiteral("missing/folder/report.xls"))));
    EXPECT_FALSE(book.save(dir.path()));
    EXPECT_TRUE(QFileInfo(dir.path()).isDir());
}

} // namespace
