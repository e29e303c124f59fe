#include "app/TextFit.h"

#include <QFontInfo>

namespace TextFit {

QFont shrunkToFit(const QFont &font, const std::function<bool(const QFont &)> &fits, int minPixelSize)
{
    if (fits(font))
        return font;
    QFont smaller = font;
    for (int size = QFontInfo(font).pixelSize() - 1; size >= minPixelSize; --size) {
        smaller.setPixelSize(size);
        if (fits(smaller))
            return smaller;
    }
    return smaller;
}

} // namespace TextFit
