#include "ports/PortArt.h"

#include <QPainter>

namespace PortArt {
namespace {

void arrow(QPainter &p, qreal tipX, int direction)
{
    const qreal back = tipX - direction * 7;
    p.drawPolygon(QPolygonF({QPointF(tipX, 11), QPointF(back, 5), QPointF(back, 17)}));
}

void box(QPainter &p, bool ticked)
{
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4, 4, 14, 14));
    if (ticked) {
        p.setPen(QPen(QColor(0x2e, 0x7d, 0x32), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({QPointF(7, 11), QPointF(10, 14), QPointF(15, 7)}));
    }
}

} // namespace

QImage bitmap(int id)
{
    QImage image(22, 22, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor color(0x1e, 0x5a, 0xa8);
    p.setPen(QPen(color, 1.5));
    p.setBrush(color);
    switch (id) {
    case 222:
        p.drawLine(QPointF(4, 11), QPointF(12, 11));
        arrow(p, 18, 1);
        break;
    case 223:
        p.drawLine(QPointF(10, 11), QPointF(18, 11));
        arrow(p, 4, -1);
        break;
    case 224:
        arrow(p, 3, -1);
        arrow(p, 11, -1);
        p.drawLine(QPointF(14, 11), QPointF(19, 11));
        break;
    case 308:
    case 309:
        p.setPen(QPen(QColor(0x55, 0x55, 0x55), 1.2));
        box(p, id == 309);
        break;
    default:
        return QImage();
    }
    return image;
}

} // namespace PortArt
