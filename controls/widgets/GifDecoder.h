// Our own GIF reader: a block walker that splits the file into frames and an LZW decoder for each
// frame. Every read is checked against the end of the data: a truncated or malformed block ends the
// frame list, and nothing is ever read past the end. Free of widgets, so a fuzzer can build it alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Delay of a frame that has no graphic control extension.
constexpr std::uint32_t GifNoDelay = 0xFFFFFFFF;

// Bounds of what we agree to decode, so a hostile header cannot ask for gigabytes.
constexpr int GifMaxSide = 4096;
constexpr std::size_t GifMaxPixels = 4u * 1024 * 1024;
constexpr std::size_t GifMaxTotalPixels = 16u * 1024 * 1024; // over all frames of a file

struct GifFrame
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::uint32_t delay = GifNoDelay; // hundredths of a second
    int disposal = 0;
    // width x height pixels of the frame's own rectangle, 0xAARRGGBB; alpha 0 where transparent or
    // where the image data ended early.
    std::vector<std::uint32_t> pixels;
};

struct GifFile
{
    bool isGif = false; // began with "GIF87a" or "GIF89a"
    int width = 0;      // logical screen
    int height = 0;
    int frameCount = 0;           // frames the block walker found, decodable or not
    std::vector<GifFrame> frames; // the frames that decoded, in file order
};

bool hasGifHeader(const std::uint8_t *data, std::size_t size);
// Walks and decodes a whole file. A frame that does not decode (a plain-text frame, bad LZW data, or one
// past the total pixel budget) is left out of frames but counted in frameCount.
GifFile decodeGif(const std::uint8_t *data, std::size_t size);
