// Dialog units of the window layouts ("MS Shell Dlg" 8 points at 96 dpi: base units 6 x 13) to pixels.
// Edges are converted one by one and rounded, so adjacent rectangles stay adjacent.
#pragma once

#include <QRect>

namespace DialogUnits {

// dlu * base / divisor, rounded half away from zero.
constexpr int scale(int dlu, int base, int divisor)
{
    const int product = dlu * base;
    return product >= 0 ? (product + divisor / 2) / divisor : -((-product + divisor / 2) / divisor);
}

constexpr int toPixelsX(int dlu)
{
    return scale(dlu, 6, 4);
}

constexpr int toPixelsY(int dlu)
{
    return scale(dlu, 13, 8);
}

// A rectangle given as x, y, width, height in dialog units.
inline QRect toPixels(const QRect &dlu)
{
    const int left = toPixelsX(dlu.x());
    const int top = toPixelsY(dlu.y());
    return QRect(left, top, toPixelsX(dlu.x() + dlu.width()) - left, toPixelsY(dlu.y() + dlu.height()) - top);
}

} // namespace DialogUnits
