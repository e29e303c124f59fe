#include "RunningIndicator.h"

#include "GifEncoder.h"

#include <cmath>

namespace {
constexpr int side = 28;
constexpr int frameCount = 6;
constexpr int dotRadius = 3;
constexpr int ringRadius = 9;
} // namespace

QByteArray RunningIndicatorGif()
{
    GifEncoderImage image;
    image.width = side;
    image.height = side;
    // 0 the tool bar's face, 1 a dim dot, 2 the bright dot.
    image.palette = {0xD4D0C8, 0x9DB4D8, 0x1F4FB0, 0x000000};
    for (int frame = 0; frame < frameCount; ++frame) {
        GifEncoderFrame gifFrame;
        gifFrame.width = side;
        gifFrame.height = side;
        gifFrame.delay = 10;
        gifFrame.indexes.assign(side * side, 0);
        for (int dot = 0; dot < frameCount; ++dot) {
            const double angle = 2.0 * M_PI * dot / frameCount;
            const double cx = side / 2.0 + ringRadius * std::sin(angle);
            const double cy = side / 2.0 - ringRadius * std::cos(angle);
            const std::uint8_t color = dot == frame ? 2 : 1;
            for (int y = 0; y < side; ++y) {
                for (int x = 0; x < side; ++x) {
                    const double dx = x + 0.5 - cx;
                    const double dy = y + 0.5 - cy;
                    if (dx * dx + dy * dy <= dotRadius * dotRadius)
                        gifFrame.indexes[y * side + x] = color;
                }
            }
        }
        image.frames.push_back(std::move(gifFrame));
    }
    const std::vector<std::uint8_t> bytes = encodeGif(image);
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}
