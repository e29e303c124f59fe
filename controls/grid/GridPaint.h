// Where the grid's painting meets Qt: grid rectangles (exclusive right and bottom) and COLORREF
// colours are converted here and nowhere else.
#pragma once

#include "controls/grid/UgRect.h"
#include "platform/ColorRef.h"

#include <QFont>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QHash>
#include <QList>
#include <QRectF>
#include <QSet>
#include <QString>
#include <memory>
#include <vector>

class QPainter;
class QPen;
class QPixmap;

namespace GridPaint {

// Single-line texts shaped once for the later paints of one grid: a page repainted or scrolled
// back draws its texts without shaping them again. A few fonts are kept, each with the texts of a
// few pages; a font's texts are dropped together when there are more.
class ShapedTextCache
{
public:
    struct Shaped
    {
        int width = 0; // the advance, as QFontMetrics gives it
        int height = 0;
        int ascent = 0;
        qreal lineAscent = 0; // the runs' baseline below their origin
        QList<QGlyphRun> runs;
        QRectF ink; // what the runs may paint, about their origin
    };

    ShapedTextCache();
    ~ShapedTextCache();
    ShapedTextCache(const ShapedTextCache &) = delete;
    ShapedTextCache &operator=(const ShapedTextCache &) = delete;

    // Makes `font` the painter's font unless it already is, and returns the text shaped in it; null
    // for a text drawn for the first time and for one the cache does not take (control characters
    // or line separators).
    const Shaped *shapedIn(QPainter &painter, const QFont &font, const QString &text);

private:
    static constexpr int kFonts = 8;
    static constexpr int kTextsPerFont = 4096;
    struct FontTexts
    {
        QFont requested; // as the cell names it
        QFont used;      // as the painter holds it
        int dpi;
        Qt::LayoutDirection direction;
        QFontMetrics metrics;
        QHash<QString, Shaped> texts;
        QSet<QString> seenOnce; // drawn once, not shaped yet
    };
    std::vector<std::unique_ptr<FontTexts>> m_fonts;
};

// A solid pen of the colour.
QPen makePen(COLORREF color, int width = 1);
void fillRect(QPainter &painter, const UgRect &rect, COLORREF color);
// The dotted frame of the focused cell, drawn just inside the rectangle.
void drawFocusRect(QPainter &painter, const UgRect &rect);
// A 1-pixel line from the start point up to, but not including, the end point.
void drawLine(QPainter &painter, const QPen &pen, int x1, int y1, int x2, int y2);
// A filled triangle (or any small polygon) of the colour.
void fillPolygon(QPainter &painter, const QPoint *points, int count, COLORREF color);

// Text placement: the grid's alignment bits (1 left, 2 right, 4 centre; 8 top, 16 bottom,
// 32 vertical centre) and its drawing modes.
enum TextMode
{
    TextClipped,   // one line at a point, clipped to the rectangle
    TextWordBreak, // several lines broken at words
    TextEllipsis,  // one line, cut with an ellipsis
};
struct TextPlacement
{
    int alignment = 1;
    int margin = 4;
    int xOffset = 0;
    TextMode mode = TextClipped;
};
// Clipped texts are shaped through the cache when one is given.
void drawText(QPainter &painter, const UgRect &rect, const QString &text, const QFont &font, COLORREF color,
              const TextPlacement &placement, ShapedTextCache *cache = nullptr);
// A pixmap at (x, y) scaled to the size.
void drawPixmap(QPainter &painter, int x, int y, int width, int height, const QPixmap &pixmap);

} // namespace GridPaint
