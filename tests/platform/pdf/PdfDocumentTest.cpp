#include "platform/pdf/PdfDocument.h"

#include "common/PdfReadBack.h"

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(PdfDocumentTest, TextLandsWhereItIsDrawnOnLandscapePages)
{
    QTemporaryDir dir;
    PdfDocument doc;
    EXPECT_EQ(doc.GetPageWidth(), 842);
    EXPECT_EQ(doc.GetPageHeight(), 595);
    const int bold = doc.AddFont(QStringLiteral("Arial"), true);
    const int chinese = doc.AddFont(QStringLiteral("Arial Unicode MS"), false);
    ASSERT_TRUE(doc.SetFont(bold, 25));
    doc.DrawText(168, 148, QStringLiteral("Report"));
    EXPECT_GT(doc.GetTextWidth(QStringLiteral("Report")), doc.GetTextWidth(QStringLiteral("Rep")));
    ASSERT_TRUE(doc.AddPage());
    EXPECT_EQ(doc.GetCurrentPage(), 1);
    ASSERT_TRUE(doc.SetFont(chinese, 15));
    EXPECT_TRUE(doc.DrawTextBox(0, 35, 842, 57, PdfDocument::AlignCentre, false, QStringLiteral("系统信息")));
    EXPECT_FALSE(doc.SetFont(7, 10));
    EXPECT_FALSE(doc.DrawTextBox(10, 10, 5, 20, PdfDocument::AlignLeft, false, QStringLiteral("x")));
    ASSERT_TRUE(doc.SaveToFile(dir.filePath(QStringLiteral("doc.pdf"))));

    const PdfReadBack read = readPdfBack(dir.filePath(QStringLiteral("doc.pdf")));
    EXPECT_EQ(read.Pages, 2);
    EXPECT_EQ(read.PageWidth, 842);
    const PdfWord *title = read.find(QStringLiteral("Report"));
    ASSERT_TRUE(title);
    EXPECT_EQ(title->Page, 0);
    EXPECT_NEAR(title->Left, 168, 2);
    EXPECT_NEAR(title->Top, 148, 4);
    const PdfWord *section = read.find(QStringLiteral("系统信息"));
    ASSERT_TRUE(section);
    EXPECT_EQ(section->Page, 1);
    EXPECT_NEAR((section->Left + section->Right) / 2, 421, 3) << "centred in its box";
}

// A text too large for its box is set smaller until it fits: nothing of it is cut.
TEST(PdfDocumentTest, TextBoxesShrinkTextsThatDoNotFit)
{
    QTemporaryDir dir;
    PdfDocument doc;
    ASSERT_TRUE(doc.SetFont(doc.AddFont(QStringLiteral("Arial"), false), 12));
    const QString wide = QStringLiteral("Shrunk").repeated(6);
    ASSERT_GT(doc.GetTextWidth(wide), 200);
    EXPECT_TRUE(doc.DrawTextBox(100, 100, 200, 115, PdfDocument::AlignLeft, false, wide));
    EXPECT_TRUE(doc.DrawTextBox(100, 200, 300, 215, PdfDocument::AlignLeft, false, QStringLiteral("Fits")));
    EXPECT_TRUE(doc.DrawTextBox(100, 300, 160, 330, PdfDocument::AlignCentre, true,
                                QStringLiteral("several words wrapped into a small block")));
    ASSERT_TRUE(doc.SaveToFile(dir.filePath(QStringLiteral("boxes.pdf"))));

    const PdfReadBack read = readPdfBack(dir.filePath(QStringLiteral("boxes.pdf")));
    const PdfWord *shrunk = read.find(wide);
    ASSERT_TRUE(shrunk);
    EXPECT_GE(shrunk->Left, 99);
    EXPECT_LE(shrunk->Right, 201);
    const PdfWord *fits = read.find(QStringLiteral("Fits"));
    ASSERT_TRUE(fits);
    EXPECT_NEAR(fits->Right - fits->Left, doc.GetTextWidth(QStringLiteral("Fits")), 1) << "kept at its size";
    for (const char *word : {"several", "wrapped", "block"}) {
        const PdfWord *found = read.find(QString::fromLatin1(word));
        ASSERT_TRUE(found) << word;
        EXPECT_GE(found->Left, 99) << word;
        EXPECT_LE(found->Right, 161) << word;
        EXPECT_GE(found->Top, 299) << word;
        EXPECT_LE(found->Bottom, 331) << word;
    }
}

TEST(PdfDocumentTest, TemplateShowsOnEveryPageThatPlacesIt)
{
    QTemporaryDir dir;
    PdfDocument doc;
    QImage mark(40, 40, QImage::Format_RGB32);
    mark.fill(Qt::red);
    const int image = doc.AddImage(mark);
    EXPECT_EQ(doc.AddImage(QImage()), -1);
    EXPECT_EQ(doc.LoadImageFile(dir.filePath(QStringLiteral("missing.png"))), -1);
    const int pageTemplate = doc.AddTemplate();
    ASSERT_TRUE(doc.BeginTemplate(pageTemplate));
    ASSERT_TRUE(doc.DrawImage(image, 100, 200, 40, 40));
    doc.EndTemplate();
    EXPECT_TRUE(doc.PlaceTemplate(0, pageTemplate));
    ASSERT_TRUE(doc.AddPage());
    EXPECT_FALSE(doc.PlaceTemplate(0, pageTemplate)) << "a finished page cannot be drawn";
    EXPECT_FALSE(doc.PlaceTemplate(1, pageTemplate + 1));
    EXPECT_TRUE(doc.PlaceTemplate(1, pageTemplate));
    ASSERT_TRUE(doc.AddPage());
    const QString file = dir.filePath(QStringLiteral("marks.pdf"));
    ASSERT_TRUE(doc.SaveToFile(file));

    QProcess render;
    render.start(QStringLiteral("pdftoppm"),
                 {QStringLiteral("-r"), QStringLiteral("72"), QStringLiteral("-png"), file,
                  dir.filePath(QStringLiteral("page"))});
    ASSERT_TRUE(render.waitForFinished(60000) && render.exitCode() == 0);
    for (int page = 1; page <= 3; ++page) {
        const QImage rendered(dir.filePath(QStringLiteral("page-%1.png").arg(page)));
        ASSERT_FALSE(rendered.isNull()) << "page " << page;
        // The writer may store the image lossily: near red is red.
        const QColor pixel = rendered.pixelColor(120, 220);
        EXPECT_EQ(pixel.red() > 200 && pixel.green() < 60 && pixel.blue() < 60, page < 3) << "page " << page;
    }
}

TEST(PdfDocumentTest, SaveFailsWhereNoFileCanBeWritten)
{
    QTemporaryDir dir;
    PdfDocument doc;
    EXPECT_FALSE(doc.SaveToFile(dir.filePath(QStringLiteral("missing/report.pdf"))));
    EXPECT_TRUE(doc.SaveToFile(dir.filePath(QStringLiteral("report.pdf"))));
}

} // namespace
