// Helpers of the widget tests: grabbed pixels as COLORREF values, so a red/blue swap shows.
#pragma once

#include "platform/ColorRef.h"

#include <QImage>
#include <QWidget>

inline QImage grabImage(QWidget &widget)
{
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

inline COLORREF pixelRef(const QImage &image, int x, int y)
{
    return toColorRef(QColor(image.pixel(x, y)));
}

inline COLORREF pixelRef(QWidget &widget, int x, int y)
{
    return pixelRef(grabImage(widget), x, y);
}
