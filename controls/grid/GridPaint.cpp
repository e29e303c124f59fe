#include "controls/grid/GridPaint.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPixmap>

namespace GridPaint {

QPen makePen(COLORREF color, int width)
{
    QPen pen(fromColorRef(color), width, Qt::SolidLine);
    pen.setCosmetic(true);
    return pen;
}

void fillRect(QPainter &painter, const UgRect &rect, COLORREF color)
{
    if (rect.width() > 0 && rect.height() > 0)
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

void drawLine(QPainter &painter, const QPen &pen, int x1, int y1, int x2, int y2)
{
    if (x1 == x2 && y1 == y2)
        return;
    // Only horizontal and vertical lines are drawn by the grid: stop one pixel short of the end.
    const int stepX = x2 > x1 ? -1 : (x2 < x1 ? 1 : 0);
    const int stepY = y2 > y1 ? -1 : (y2 < y1 ? 1 : 0);
    // A 1-pixel line is a 1-pixel-wide rectangle: exact pixels, no antialiasing questions.
    const QColor color = pen.color();
    const int endX = x2 + stepX;
    const int endY = y2 + stepY;
    const QRect line(QPoint(std::min(x1, endX), std::min(y1, endY)),
                     QPoint(std::max(x1, endX), std::max(y1, endY)));
    painter.fillRect(line, color);
}

void fillPolygon(QPainter &painter, const QPoint *points, int count, COLORREF color)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fromColorRef(color));
    painter.drawPolygon(points, count);
    painter.restore();
}

void drawText(QPainter &painter, const UgRect &rect, const QString &text, const QFont &font, COLORREF color,
              const TextPlacement &placement)
{
    if (text.isEmpty() || rect.width() <= 0 || rect.height() <= 0)
        return;
    painter.save();
    painter.setFont(font);
    painter.setPen(fromColorRef(color));
    painter.setClipRect(toQRect(rect), Qt::IntersectClip);
    const QFontMetrics metrics(font);
    const int alignment = placement.alignment;
    if (placement.mode != TextClipped) {
        QRect area = toQRect(rect);
        int flags = 0;
        flags |= (alignment & 4) ? Qt::AlignHCenter : (alignment & 2) ? Qt::AlignRight : Qt::AlignLeft;
        flags |= (alignment & 32) ? Qt::AlignVCenter : (alignment & 16) ? Qt::AlignBottom : Qt::AlignTop;
        QString shown = text;
        if (placement.mode == TextWordBreak) {
            flags |= Qt::TextWordWrap;
        } else {
            flags |= Qt::TextSingleLine;
            shown = metrics.elidedText(text, Qt::ElideRight, area.width());
        }
        painter.drawText(area, flags, shown);
        painter.restore();
        return;
    }
    const int textWidth = metrics.horizontalAdvance(text);
    int x;
    if (alignment & 4)
        x = rect.left + (rect.width() - textWidth) / 2;
    else if (alignment & 2)
        x = rect.right - placement.margin - textWidth;
    else
        x = rect.left + placement.margin + placement.xOffset;
    int top;
    if (alignment & 32)
        top = rect.top + (rect.height() - metrics.height()) / 2;
    else if (alignment & 16)
        top = rect.bottom - metrics.height();
    else
        top = rect.top + 1;
    painter.drawText(QPoint(x, top + metrics.ascent()), text);
    painter.restore();
}

void drawPixmap(QPainter &painter, int x, int y, int width, int height, const QPixmap &pixmap)
{
    if (width == pixmap.width() && height == pixmap.height())
        painter.drawPixmap(x, y, pixmap);
    else
        painter.drawPixmap(QRect(x, y, width, height), pixmap);
}

} // namespace GridPaint
