// Text drawn from the grid's shaped-text cache against the same text drawn by QPainter itself.
#include "controls/grid/GridPaint.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

QImage drawnText(const QString &text, const QFont &font, int alignment, int width,
                 GridPaint::ShapedTextCache *cache)
{
    QImage image(120, 30, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    GridPaint::TextPlacement placement;
    placement.alignment = alignment;
    // Twice, so a cached text is drawn from the cache at least once.
    for (int pass = 0; pass < 2; ++pass)
        GridPaint::drawText(painter, UgRect{10, 5, 10 + width, 25}, text, font, RGB(20, 40, 160), placement,
                            cache);
    return image;
}

TEST(GridPaint, CachedTextDrawsTheSamePixelsAsThePainter)
{
    QFont bold;
    bold.setPointSize(14);
    bold.setBold(true);
    bold.setItalic(true);
    QFont underlined;
    underlined.setUnderline(true);
    struct Case
    {
        const char *what;
        QString text;
        QFont font;
        int alignment;
        int width;
    };
    const Case cases[] = {
        {"number", "1234567", QFont(), 1, 90},
        {"right", "1234567", QFont(), 2, 90},
        {"centre, middle", "Column 7", QFont(), 4 | 32, 90},
        {"bottom", "Wjgy|", QFont(), 16, 90},
        {"clipped at the right", "a text far wider than its cell", QFont(), 1, 60},
        {"clipped at the left", "a text far wider than its cell", QFont(), 2, 60},
        {"bold italic, taller than the cell", "Tall", bold, 1, 90},
        {"underlined", "under", underlined, 1, 90},
        {"Latin-1", QString::fromUtf8("caf\u00e9 \u00fc"), QFont(), 1, 90},
        {"fallback font", QString::fromUtf8("\u7aef\u53e3 1"), QFont(), 1, 90},
        {"right to left", QString::fromUtf8("\u05e9\u05dc\u05d5\u05dd 12"), QFont(), 2, 90},
        {"tab", "a\tb", QFont(), 1, 90},
    };
    GridPaint::ShapedTextCache cache;
    for (const Case &c : cases) {
        const QImage expected = drawnText(c.text, c.font, c.alignment, c.width, nullptr);
        EXPECT_EQ(drawnText(c.text, c.font, c.alignment, c.width, &cache), expected) << c.what;
    }
    // Single lines come from the cache; a text with control characters is left to the painter.
    QImage image(10, 10, QImage::Format_RGB32);
    QPainter painter(&image);
    EXPECT_NE(cache.shapedIn(painter, QFont(), "1234567"), nullptr);
    EXPECT_EQ(cache.shapedIn(painter, QFont(), "a\tb"), nullptr);
}

} // namespace
