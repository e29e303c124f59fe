// GIF files for the tests, made with the program's own encoder.
#pragma once

#include "controls/widgets/GifEncoder.h"

#include <QByteArray>

inline QByteArray toBytes(const std::vector<std::uint8_t> &bytes)
{
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

// Palette: 0 white, 1 red, 2 green, 3 blue.
inline GifEncoderImage testImage(int width, int height)
{
    GifEncoderImage image;
    image.width = width;
    image.height = height;
    image.palette = {0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF};
    return image;
}

inline GifEncoderFrame solidFrame(int left, int top, int width, int height, std::uint8_t index,
                                  int delay = 10, int disposal = 0)
{
    GifEncoderFrame frame;
    frame.left = left;
    frame.top = top;
    frame.width = width;
    frame.height = height;
    frame.indexes.assign(static_cast<std::size_t>(width) * height, index);
    frame.delay = delay;
    frame.disposal = disposal;
    return frame;
}
