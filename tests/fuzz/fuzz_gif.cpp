// Feeds arbitrary bytes to the GIF reader: it must never read past the data nor crash or hang.
#include "controls/widgets/GifDecoder.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const GifFile file = decodeGif(data, size);
    for (const GifFrame &frame : file.frames) {
        if (frame.pixels.size() != static_cast<std::size_t>(frame.width) * frame.height)
            __builtin_trap();
    }
    return 0;
}
