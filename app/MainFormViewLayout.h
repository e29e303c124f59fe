// The view's form: its size and the rectangles of its controls in dialog units (x, y, width, height).
#pragma once

#include <QRect>

namespace ViewLayout {

constexpr QRect kTitle(8, 4, 152, 20);
constexpr QRect kBanner(164, 4, 378, 20);
constexpr QRect kSplitterPlace(160, 4, 4, 328);
constexpr QRect kTree(8, 28, 152, 115);
constexpr QRect kTab(173, 36, 339, 192);
constexpr QRect kElapsedValue(54, 162, 72, 20);
constexpr QRect kDescriptionFrame(7, 184, 125, 153);
constexpr QRect kDescriptionTitle(16, 194, 135, 15);
constexpr QRect kElapsedFrame(8, 146, 124, 36);
constexpr QRect kElapsedCaption(16, 158, 32, 20);
constexpr QRect kSeparator(59, 157, 1, 22);
constexpr QRect kPicture(20, 271, 15, 13);
constexpr QRect kDescriptionText(13, 207, 114, 58);
constexpr QRect kApplyButton(111, 316, 14, 12);
// Where the splitter's range ends, in pixels.
constexpr int kSplitterPosition = 240;

} // namespace ViewLayout
