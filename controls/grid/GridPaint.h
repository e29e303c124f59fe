// Where the grid's painting meets Qt: grid rectangles (exclusive right and bottom) and COLORREF
// colours are converted here and nowhere else.
#pragma once

#include "controls/grid/UgRect.h"
#include "platform/ColorRef.h"

#include <QString>

class QFont;
class QPainter;
class QPen;
class QPixmap;

namespace GridPaint {

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
void drawText(QPainter &painter, const UgRect &rect, const QString &text, const QFont &font, COLORREF color,
              const TextPlacement &placement);
// A pixmap at (x, y) scaled to the size.
void drawPixmap(QPainter &painter, int x, int y, int width, int height, const QPixmap &pixmap);

} // namespace GridPaint
