#include "ColorKey.h"

QImage withColorKeyedOut(const QImage &image, COLORREF key)
{
    QImage keyed = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb keyRgb = fromColorRef(key).rgb() & RGB_MASK;
    for (int y = 0; y < keyed.height(); ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(keyed.scanLine(y));
        for (int x = 0; x < keyed.width(); ++x) {
            if ((line[x] & RGB_MASK) == keyRgb)
                line[x] = 0;
        }
    }
    return keyed;
}
