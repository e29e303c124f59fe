// The base cell type's drawing: text running on into empty neighbours, borders, bitmaps and
// disabled text.
#include "ProbeGrid.h"

#include <QPainter>
#include <QPixmap>
#include <gtest/gtest.h>

namespace {

// Records the x offset and the column each text is drawn with.
class OffsetType : public CUGCellType
{
public:
    int lastOffset = 0;
    int lastCol = -1;
    void DrawText(QPainter *painter, UgRect *rect, int xOffset, int col, int row, CUGCell *cell, int selected,
                  int current) override
    {
        lastOffset = xOffset;
        lastCol = col;
        CUGCellType::DrawText(painter, rect, xOffset, col, row, cell, selected, current);
    }
};

struct Painted
{
    Painted() : image(200, 40, QImage::Format_RGB32), painter(&image) { image.fill(Qt::white); }
    QImage image;
    QPainter painter;
};

} // namespace

TEST(UGCellType, TextRunsOnIntoAnEmptyNeighbour)
{
    struct Case
    {
        const char *name;
        int overflow;
        unsigned short alignment;
        int param;
        bool runsOn;
    };
    for (const Case &c : {Case{"left", 1, 1, -1, true}, Case{"overflow off", 0, 1, -1, false},
                          Case{"right", 1, 2, -1, false}, Case{"parameter", 1, 1, 4, false}}) {
        AttachedProbe probe;
        probe.grid->SetColumnCount(3);
        probe.grid->SetRowCount(2);
        probe.grid->CurrentSheet()->m_overflow = c.overflow;
        probe.grid->SetCellText(0, 0, "a text far wider than its own column");
        probe.grid->SetCellAlignment(0, 0, c.alignment);
        if (c.param >= 0)
            probe.grid->SetCellTypeParam(0, 0, unsigned(c.param));
        OffsetType type;
        probe.grid->AddCellType(&type);
        CUGCell empty;
        probe.grid->GetCellComposite(1, 0, &empty);
        Painted paint;
        UgRect rect{0, 0, 75, 20};
        type.Draw(&paint.painter, &rect, 1, 0, &empty, 0, 0);
        EXPECT_EQ(type.lastCol == 0 && type.lastOffset == -75, c.runsOn) << c.name;
    }
}

// After a column move, grid and store columns differ: the text runs on from the grid column that
// shows it into the empty grid column on its right.
TEST(UGCellType, TextRunsOnAcrossMovedColumns)
{
    AttachedProbe probe;
    probe.grid->SetColumnCount(3);
    probe.grid->SetRowCount(1);
    probe.grid->CurrentSheet()->m_overflow = 1;
    probe.grid->SetCellText(0, 0, "a text far wider than its own column");
    probe.grid->SetCellAlignment(0, 0, 1);
    // Grid columns now show store columns 2, 0 and 1.
    ASSERT_EQ(probe.grid->MoveColumn(2, 0), 0);
    OffsetType type;
    probe.grid->AddCellType(&type);
    CUGCell empty;
    probe.grid->GetCellComposite(2, 0, &empty);
    Painted paint;
    UgRect rect{0, 0, 75, 20};
    type.Draw(&paint.painter, &rect, 2, 0, &empty, 0, 0);
    EXPECT_EQ(type.lastCol, 1);
    EXPECT_EQ(type.lastOffset, -75);
}

TEST(UGCellType, BordersShrinkTheInnerRectangleByTheWidestLine)
{
    AttachedProbe probe;
    CUGCellType type;
    probe.grid->AddCellType(&type);
    CUGCell cell;
    cell.m_properties = CellProp::BorderStyle;
    cell.m_borderStyle = 0x1 | 0x10;
    Painted paint;
    UgRect rect{10, 10, 60, 30};
    UgRect inner;
    type.DrawBorder(&paint.painter, &rect, &inner, &cell);
    // Grid lines take the right and bottom pixel.
    EXPECT_EQ(inner, (UgRect{12, 10, 59, 29}));
    EXPECT_EQ(paint.image.pixelColor(11, 20), QColor(Qt::black));
    EXPECT_EQ(paint.image.pixelColor(59, 20), fromColorRef(0xDCDCDC));
    probe.grid->CurrentSheet()->m_gridLines = 0;
    cell.m_properties = 0;
    type.DrawBorder(&paint.painter, &rect, &inner, &cell);
    EXPECT_EQ(inner, rect);
}

TEST(UGCellType, TallBitmapIsScaledToTheCell)
{
    AttachedProbe probe;
    CUGCellType type;
    probe.grid->AddCellType(&type);
    QPixmap bitmap(10, 40);
    bitmap.fill(Qt::red);
    Painted paint;
    UgRect rect{0, 0, 100, 20};
    // Scaled to 20 - 4 = 16 high, 4 wide, with a margin of 2 each side.
    EXPECT_EQ(type.DrawBitmap(&paint.painter, &bitmap, &rect, 0xFFFFFF), 8);
    EXPECT_EQ(paint.image.pixelColor(3, 10), QColor(Qt::red));
    EXPECT_EQ(paint.image.pixelColor(3, 1), QColor(Qt::white));
}

TEST(UGCellType, DisabledTextIsGrey)
{
    AttachedProbe probe;
    CUGCellType type;
    probe.grid->AddCellType(&type);
    CUGCell cell;
    cell.AssignText("IIIIIIII");
    cell.m_properties |= CellProp::CellTypeParam | CellProp::Font;
    cell.m_cellTypeParam = 0x4000;
    QFont font;
    font.setPixelSize(30);
    font.setStyleStrategy(QFont::NoAntialias);
    cell.m_font = &font;
    Painted paint;
    UgRect rect{0, 0, 200, 40};
    type.DrawText(&paint.painter, &rect, 0, 0, 0, &cell, 0, 0);
    bool grey = false;
    for (int x = 0; x < 200 && !grey; ++x) {
        for (int y = 0; y < 40 && !grey; ++y)
            grey = paint.image.pixelColor(x, y) == fromColorRef(CUGCellType::kDisabledTextColor);
    }
    EXPECT_TRUE(grey);
}

// Only text runs on: a wide number stays in its cell, and a text to its left does not run through it.
TEST(UGCellType, NumbersDoNotRunOn)
{
    ShownProbe probe(4, 3);
    probe.grid->CurrentSheet()->m_overflow = 1;
    for (int row : {0, 1}) {
        for (int col = 0; col < 4; ++col)
            probe.grid->SetCellAlignment(col, row, 1);
    }
    CUGCell number;
    probe.grid->ReadCell(0, 0, &number);
    number.SetNumber(123456789012345.5);
    probe.grid->WriteCell(0, 0, &number);
    probe.grid->SetCellText(0, 1, "a text far wider than its own column and the next");
    probe.grid->ReadCell(1, 1, &number);
    number.SetNumber(7);
    probe.grid->WriteCell(1, 1, &number);
    probe.grid->MoveCurrentCellTo(3, 2);
    const QImage image = probe.image();
    // Columns of 75 pixels, rows of 20: the empty cells (1, 0) and (2, 1) show no ink.
    auto inked = [&](int left, int top) {
        for (int y = top + 2; y < top + 17; ++y) {
            for (int x = left + 2; x < left + 72; ++x) {
                if (qGray(image.pixel(x, y)) < 128)
                    return true;
            }
        }
        return false;
    };
    EXPECT_TRUE(inked(0, 0));
    EXPECT_FALSE(inked(75, 0));
    EXPECT_TRUE(inked(0, 20));
    EXPECT_FALSE(inked(150, 20));
}
