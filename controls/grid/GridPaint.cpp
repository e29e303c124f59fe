#include "controls/grid/GridPaint.h"

#include <QPainter>

namespace GridPaint {

QPen makePen(COLORREF color, int width)
{
    return QPen(fromColorRef(color), width, Qt::SolidLine);
}

void fillRect(QPainter &painter, const UgRect &rect, COLORREF color)
{
    painter.fillRect(toQRect(rect), fromColorRef(color));
}

void drawFocusRect(QPainter &painter, const UgRect &rect)
{
    if (rect.width() <= 0 || rect.height() <= 0)
        return;
    painter.save();
    QPen pen(Qt::black, 1, Qt::DotLine);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    // QPainter outlines a rectangle one pixel wider and taller than its size.
    painter.drawRect(QRect(rect.left, rect.top, rect.width() - 1, rect.height() - 1));
    painter.restore();
}

} // namespace GridPaint
