#include "controls/widgets/SkinListCtrl.h"
#include "WidgetTestSupport.h"
#include "controls/widgets/SkinHeaderCtrl.h"

#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A list of six 50-pixel columns in a 400 x 200 view, with three rows.
struct ListFixture
{
    QWidget window;
    CSkinListCtrl *list = new CSkinListCtrl(&window);
    QLineEdit *other = new QLineEdit(&window);
    ListFixture()
    {
        window.resize(420, 260);
        list->setGeometry(0, 0, 400, 200);
        other->move(0, 220);
        for (int column = 0; column < 6; ++column)
            list->InsertColumn(column, QStringLiteral("C%1").arg(column), Qt::AlignLeft, 50);
        for (int row = 0; row < 3; ++row)
            list->InsertRow(row, QStringLiteral("row %1").arg(row));
    }
    // The middle of a cell (row may be below the items), in list coordinates.
    QPoint cell(int row, int column) const
    {
        return list->viewport()->mapTo(list, QPoint(column * 50 + 25, row * CSkinListCtrl::RowHeight + 10));
    }
    COLORREF at(const QImage &image, int row, int column) const
    {
        const QPoint point = cell(row, column);
        return pixelRef(image, point.x(), point.y() + 6); // below the text
    }
};

} // namespace

TEST(SkinListCtrlTest, StripesContinueIntoEmptyRowsAndTheStrip)
{
    ListFixture fixture;
    const QImage image = grabImage(*fixture.list);
    EXPECT_EQ(fixture.at(image, 0, 1), RGB(255, 255, 255));
    EXPECT_EQ(fixture.at(image, 1, 1), RGB(240, 243, 240));
    EXPECT_EQ(fixture.at(image, 2, 1), RGB(255, 255, 255));
    EXPECT_EQ(fixture.at(image, 3, 1), RGB(240, 243, 240));
    EXPECT_EQ(fixture.at(image, 4, 1), RGB(255, 255, 255));
    // Right of the last column (x 300..400) the rows keep their colours.
    const QPoint strip = fixture.cell(1, 7);
    EXPECT_EQ(pixelRef(image, strip.x(), strip.y() + 6), RGB(240, 243, 240));
    // Grid lines on each cell's right and bottom edges, empty rows included.
    const QPoint corner = fixture.list->viewport()->mapTo(fixture.list, QPoint(49, 19));
    EXPECT_EQ(pixelRef(image, corner.x(), corner.y() - 5), RGB(100, 100, 100));
    EXPECT_EQ(pixelRef(image, corner.x() - 5, corner.y()), RGB(100, 100, 100));
    const QPoint emptyCorner = fixture.list->viewport()->mapTo(fixture.list, QPoint(99, 4 * 20 + 10));
    EXPECT_EQ(pixelRef(image, emptyCorner.x(), emptyCorner.y()), RGB(100, 100, 100));
}

TEST(SkinListCtrlTest, HighlightAndSelectionColours)
{
    ListFixture fixture;
    fixture.list->Style(1)->HighlightMask = 0x38;
    fixture.list->RefreshRow(1);
    const QImage highlighted = grabImage(*fixture.list);
    for (int column : {3, 4, 5})
        EXPECT_EQ(fixture.at(highlighted, 1, column), RGB(200, 200, 220)) << column;
    EXPECT_EQ(fixture.at(highlighted, 1, 2), RGB(240, 243, 240));

    fixture.window.show();
    fixture.window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&fixture.window));
    fixture.list->setFocus();
    fixture.list->selectRow(1);
    const QImage focused = grabImage(*fixture.list);
    EXPECT_EQ(fixture.at(focused, 1, 4), RGB(203, 223, 239));
    EXPECT_EQ(fixture.at(focused, 1, 0), RGB(203, 223, 239));
    fixture.other->setFocus();
    const QImage unfocused = grabImage(*fixture.list);
    EXPECT_EQ(fixture.at(unfocused, 1, 4), RGB(206, 206, 206));
}

TEST(SkinListCtrlTest, RowTextUsesItsColourAndTheColumnAlignment)
{
    ListFixture fixture;
    fixture.list->InsertColumn(6, QStringLiteral("Result"), Qt::AlignRight, 90);
    fixture.list->SetItemText(0, 6, QStringLiteral("Failed"));
    fixture.list->Style(0)->TextColor = 0x0000FF; // red
    fixture.list->SetItemText(1, 6, QStringLiteral("Pass"));
    fixture.list->Style(1)->TextColor = 0xFF8000; // blue
    const QImage image = grabImage(*fixture.list);
    const auto countColour = [&](int row, COLORREF colour, int fromX, int toX) {
        int found = 0;
        const QPoint origin = fixture.list->viewport()->mapTo(fixture.list, QPoint(0, row * 20));
        for (int y = origin.y(); y < origin.y() + 19; ++y)
            for (int x = origin.x() + fromX; x < origin.x() + toX; ++x)
                found += pixelRef(image, x, y) == colour;
        return found;
    };
    EXPECT_GT(countColour(0, RGB(255, 0, 0), 300, 390), 0);
    EXPECT_EQ(countColour(0, RGB(0, 128, 255), 300, 390), 0);
    EXPECT_GT(countColour(1, RGB(0, 128, 255), 300, 390), 0);
    EXPECT_EQ(countColour(1, RGB(255, 0, 0), 300, 390), 0);
    // Right alignment: the text sits in the right half of the column.
    EXPECT_EQ(countColour(0, RGB(255, 0, 0), 300, 330), 0);
}

TEST(SkinListCtrlTest, HeaderRowIsOneBandWithCentredText)
{
    ListFixture fixture;
    fixture.list->SetItemText(1, 0, QStringLiteral("Trial 1"));
    UtListRowStyle *style = fixture.list->Style(1);
    style->HeaderRow = 1;
    style->TextFormat = 1;
    style->HighlightMask = 0xFF;
    fixture.list->RefreshRow(1);
    fixture.list->selectRow(1);
    const QImage image = grabImage(*fixture.list);
    const QPoint origin = fixture.list->viewport()->mapTo(fixture.list, QPoint(0, 20));
    const int width = fixture.list->viewport()->width();
    int textLeft = 10000, textRight = -1;
    // The band ends in its grid lines: the bottom one below, the right one at the row's end.
    EXPECT_EQ(pixelRef(image, origin.x() + width - 1, origin.y() + 10), RGB(100, 100, 100));
    EXPECT_EQ(pixelRef(image, origin.x() + 150, origin.y() + 19), RGB(100, 100, 100));
    for (int x = origin.x(); x < origin.x() + width - 1; ++x) {
        for (int y = origin.y(); y < origin.y() + 19; ++y) {
            const COLORREF colour = pixelRef(image, x, y);
            if (colour != RGB(220, 220, 220)) {
                EXPECT_LT(GetRValue(colour), 220) << x << "," << y; // only text on the band
                textLeft = std::min(textLeft, x);
                textRight = std::max(textRight, x);
            }
        }
    }
    ASSERT_GE(textRight, textLeft);
    EXPECT_NEAR((textLeft + textRight) / 2, origin.x() + width / 2, 6);
}

TEST(SkinListCtrlTest, StylesMoveWithTheirRows)
{
    ListFixture fixture;
    fixture.list->Style(0)->TextColor = 1;
    fixture.list->Style(1)->TextColor = 2;
    EXPECT_EQ(fixture.list->InsertRow(0, QStringLiteral("new")), 0);
    EXPECT_EQ(fixture.list->Style(0)->TextColor, 0u);
    EXPECT_EQ(fixture.list->Style(1)->TextColor, 1u);
    EXPECT_EQ(fixture.list->Style(2)->TextColor, 2u);
    EXPECT_EQ(fixture.list->GetItemText(1, 0), "row 0");
    EXPECT_EQ(fixture.list->InsertRow(99, QStringLiteral("last")), 4);
    EXPECT_EQ(fixture.list->Style(5), nullptr);
    EXPECT_EQ(fixture.list->Style(-1), nullptr);

    fixture.list->RemoveAllRows();
    EXPECT_EQ(fixture.list->GetItemCount(), 0);
    EXPECT_EQ(fixture.list->Style(0), nullptr);
    fixture.list->InsertRow(0, QStringLiteral("again"));
    const UtListRowStyle zero{};
    EXPECT_EQ(std::memcmp(fixture.list->Style(0), &zero, sizeof zero), 0);
}

TEST(SkinListCtrlTest, FacadeReadsWhatTheReportsNeed)
{
    ListFixture fixture;
    EXPECT_EQ(fixture.list->GetColumnCount(), 6);
    EXPECT_EQ(fixture.list->GetColumnCaption(2), "C2");
    EXPECT_EQ(fixture.list->GetColumnCaption(9), "");
    EXPECT_TRUE(fixture.list->SetItemText(2, 5, QStringLiteral("x")));
    EXPECT_FALSE(fixture.list->SetItemText(3, 0, QStringLiteral("x")));
    EXPECT_FALSE(fixture.list->SetItemText(0, 6, QStringLiteral("x")));
    EXPECT_EQ(fixture.list->GetItemText(2, 5), "x");
    EXPECT_EQ(fixture.list->GetItemText(2, 4), "");
    EXPECT_EQ(fixture.list->GetItemText(7, 0), "");
}

TEST(SkinListCtrlTest, HeaderIsSkinnedAnd22High)
{
    ListFixture fixture;
    fixture.window.show();
    CSkinHeaderCtrl *header = fixture.list->Header();
    EXPECT_EQ(header->height(), 22);
    EXPECT_EQ(header->sizeHint().height(), 22);

    CSkinListCtrl centred;
    centred.resize(300, 100);
    centred.InsertColumn(0, QStringLiteral("MMMM"), Qt::AlignHCenter, 200);
    QPixmap plain(4, 4);
    plain.fill(Qt::white);
    centred.Header()->SetSkinBitmaps(plain, plain);
    const QImage image = grabImage(*centred.Header());
    int left = 10000, right = -1;
    for (int x = 0; x < 200; ++x)
        for (int y = 0; y < image.height(); ++y)
            if (pixelRef(image, x, y) != RGB(255, 255, 255)) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    ASSERT_GE(right, left);
    EXPECT_NEAR((left + right) / 2, 100, 3);
}
