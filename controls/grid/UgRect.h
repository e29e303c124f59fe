// Rectangles as the grid keeps them: left/top inclusive, right/bottom exclusive. They are turned
// into QRect (whose right() and bottom() are inclusive) only through toQRect/fromQRect.
#pragma once

#include <QRect>

struct UgRect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const UgRect &) const = default;
};

inline QRect toQRect(const UgRect &rect)
{
    return QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

inline UgRect fromQRect(const QRect &rect)
{
    return UgRect{rect.x(), rect.y(), rect.x() + rect.width(), rect.y() + rect.height()};
}
