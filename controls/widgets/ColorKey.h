// Transparency by colour key: the masks of the original, as an alpha channel set once per image.
#pragma once

#include "platform/ColorRef.h"

#include <QImage>

// A copy of image in which every pixel of exactly the key colour is fully transparent.
QImage withColorKeyedOut(const QImage &image, COLORREF key);
