// Where the grid's painting meets Qt: grid rectangles (exclusive right and bottom) and COLORREF
// colours are converted here and nowhere else.
#pragma once

#include "controls/grid/UgRect.h"
#include "platform/ColorRef.h"

class QPainter;
class QPen;

namespace GridPaint {

// A solid pen of the colour.
QPen makePen(COLORREF color, int width = 1);
void fillRect(QPainter &painter, const UgRect &rect, COLORREF color);
// The dotted frame of the focused cell, drawn just inside the rectangle.
void drawFocusRect(QPainter &painter, const UgRect &rect);

} // namespace GridPaint
