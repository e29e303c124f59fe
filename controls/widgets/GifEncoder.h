// A small GIF89a writer with real LZW compression: it makes the program's running indicator and the
// test files of the GIF reader (chosen offsets, delays, disposals, extensions).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct GifEncoderFrame
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> indexes; // width x height palette indexes
    bool controlExtension = true;      // without one the frame has no delay
    int delay = 10;                    // hundredths of a second
    int disposal = 0;
    int transparentIndex = -1;
    bool interlaced = false;
};

struct GifEncoderImage
{
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> palette; // 0xRRGGBB, at most 256 entries
    bool loopExtension = false;         // a NETSCAPE2.0 application extension before the first frame
    std::string comment;                // a comment extension before the first frame when not empty
    std::vector<GifEncoderFrame> frames;
};

std::vector<std::uint8_t> encodeGif(const GifEncoderImage &image);
