// Shrinking a font until a text fits its place.
#pragma once

#include <QFont>
#include <functional>

namespace TextFit {

// The smallest font size at which a text is still read comfortably.
constexpr int kMinPixelSize = 9;

// The largest font, from the given one down to minPixelSize pixels, for which fits() holds; the smallest
// one tried when none does.
QFont shrunkToFit(const QFont &font, const std::function<bool(const QFont &)> &fits,
                  int minPixelSize = kMinPixelSize);

} // namespace TextFit
