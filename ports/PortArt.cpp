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
    case AddPicture:
        p.drawLine(QPointF(4, 11), QPointF(12, 11));
        arrow(p, 18, 1);
        break;
    case RemovePicture:
        p.drawLine(QPointF(10, 11), QPointF(18, 11));
        arrow(p, 4, -1);
        break;
    case RemoveAllPicture:
        arrow(p, 3, -1);
        arrow(p, 11, -1);
        p.drawLine(QPointF(14, 11), QPointF(19, 11));
        break;
    case UntickAllPicture:
    case TickAllPicture:
        p.setPen(QPen(QColor(0x55, 0x55, 0x55), 1.2));
        box(p, id == 309);
        break;
    default:
        return QImage();
    }
    return image;
}

QImage treeBitmap(int id)
{
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    switch (id) {
    case ActiveDevicesPicture: // the active devices: a screen on its stand
        p.setPen(QPen(QColor(0x33, 0x33, 0x33), 1));
        p.setBrush(QColor(0x6f, 0xa8, 0xdc));
        p.drawRect(QRectF(1.5, 2.5, 13, 9));
        p.drawLine(QPointF(8, 12), QPointF(8, 14));
        p.drawLine(QPointF(4, 14.5), QPointF(12, 14.5));
        break;
    case ChassisPicture: // a chassis: a box with its card slots
        p.setPen(QPen(QColor(0x40, 0x40, 0x40), 1));
        p.setBrush(QColor(0xc8, 0xc8, 0xc8));
        p.drawRect(QRectF(1.5, 3.5, 13, 9));
        for (int slot = 0; slot < 4; ++slot)
            p.drawLine(QPointF(4 + 3 * slot, 5.5), QPointF(4 + 3 * slot, 10.5));
        break;
    case BoardPicture: // a board: a green card with its connectors
        p.setPen(QPen(QColor(0x1b, 0x5e, 0x20), 1));
        p.setBrush(QColor(0x4c, 0xaf, 0x50));
        p.drawRect(QRectF(1.5, 4.5, 13, 7));
        p.setBrush(QColor(0xff, 0xd5, 0x4f));
        for (int connector = 0; connector < 3; ++connector)
            p.drawRect(QRectF(3.5 + 4 * connector, 11.5, 2, 2));
        break;
    case PortPicture: // a port: an RJ-45 socket
        p.setPen(QPen(QColor(0x40, 0x40, 0x40), 1));
        p.setBrush(QColor(0xe0, 0xe0, 0xe0));
        p.drawRect(QRectF(2.5, 3.5, 11, 9));
        p.setBrush(QColor(0x30, 0x30, 0x30));
        p.drawRect(QRectF(5.5, 6.5, 5, 4));
        p.drawRect(QRectF(7, 10.5, 2, 2));
        break;
    case OutdatedModulePicture: // the red sign of a module that needs newer firmware
        p.setPen(QPen(QColor(0xc8, 0x00, 0x00), 2));
        p.drawEllipse(QRectF(2, 2, 12, 12));
        p.drawLine(QPointF(4.5, 4.5), QPointF(11.5, 11.5));
        break;
    case LiteModulePicture: // the letter L of a lite module
        p.setPen(QPen(QColor(0x00, 0x00, 0xa0), 2));
        p.drawLine(QPointF(5, 3), QPointF(5, 12));
        p.drawLine(QPointF(5, 12), QPointF(12, 12));
        break;
    default:
        return QImage();
    }
    return image;
}

} // namespace PortArt
