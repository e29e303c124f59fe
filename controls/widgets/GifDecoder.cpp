#include "GifDecoder.h"

#include <cstring>
#include <optional>

namespace {

enum class GifBlockKind
{
    Unknown,
    Application,
    Comment,
    GraphicControl,
    PlainText,
    Image,
    Trailer
};

constexpr std::size_t headerSize = 13;
constexpr int maxCodeBits = 12;

// A cursor over the file that never reads past its end.
class GifReader
{
public:
    GifReader(const std::uint8_t *data, std::size_t size) : m_data(data), m_size(size) {}

    std::size_t size() const { return m_size; }
    std::optional<std::uint8_t> byteAt(std::size_t offset) const
    {
        if (offset >= m_size)
            return std::nullopt;
        return m_data[offset];
    }
    std::optional<int> u16At(std::size_t offset) const
    {
        if (offset >= m_size || m_size - offset < 2)
            return std::nullopt;
        return m_data[offset] | (m_data[offset + 1] << 8);
    }

    GifBlockKind kindAt(std::size_t offset) const
    {
        const auto first = byteAt(offset);
        if (!first)
            return GifBlockKind::Unknown;
        if (*first == 0x2C)
            return GifBlockKind::Image;
        if (*first == 0x3B)
            return GifBlockKind::Trailer;
        if (*first != 0x21)
            return GifBlockKind::Unknown;
        const auto label = byteAt(offset + 1);
        if (!label)
            return GifBlockKind::Unknown;
        switch (*label) {
        case 0xFF:
            return GifBlockKind::Application;
        case 0xFE:
            return GifBlockKind::Comment;
        case 0xF9:
            return GifBlockKind::GraphicControl;
        case 0x01:
            return GifBlockKind::PlainText;
        default:
            return GifBlockKind::Unknown;
        }
    }

    // Length of the sub-block chain at offset, its zero terminator included; none when it runs past
    // the end.
    std::optional<std::size_t> subBlocksLength(std::size_t offset) const
    {
        std::size_t position = offset;
        for (;;) {
            const auto count = byteAt(position);
            if (!count)
                return std::nullopt;
            position += 1 + *count;
            if (*count == 0)
                return position - offset;
        }
    }

    // Whole length of the block at offset; none when unknown or not wholly inside the data.
    std::optional<std::size_t> blockLength(std::size_t offset) const
    {
        std::size_t fixed = 0;
        switch (kindAt(offset)) {
        case GifBlockKind::Application:
            fixed = 14;
            break;
        case GifBlockKind::Comment:
            fixed = 2;
            break;
        case GifBlockKind::GraphicControl:
            return fits(offset, 8) ? std::optional<std::size_t>(8) : std::nullopt;
        case GifBlockKind::PlainText:
            fixed = 15;
            break;
        case GifBlockKind::Image: {
            const auto packed = byteAt(offset + 9);
            if (!packed)
                return std::nullopt;
            fixed = 11 + colorTableBytes(*packed);
            break;
        }
        case GifBlockKind::Trailer:
            return std::size_t(1);
        case GifBlockKind::Unknown:
            return std::nullopt;
        }
        if (!fits(offset, fixed))
            return std::nullopt;
        const auto chain = subBlocksLength(offset + fixed);
        if (!chain || !fits(offset, fixed + *chain))
            return std::nullopt;
        return fixed + *chain;
    }

    static std::size_t colorTableBytes(std::uint8_t packed)
    {
        return (packed & 0x80) ? 3u * (2u << (packed & 0x07)) : 0u;
    }
    bool fits(std::size_t offset, std::size_t length) const
    {
        return offset <= m_size && length <= m_size - offset;
    }
    const std::uint8_t *at(std::size_t offset) const { return m_data + offset; }

private:
    const std::uint8_t *m_data;
    std::size_t m_size;
};

// One frame as the walker finds it: its control extension values and the image block.
struct FrameSpan
{
    std::uint32_t delay = GifNoDelay;
    int disposal = 0;
    int transparentIndex = -1;
    bool isImage = false;
    std::size_t blockOffset = 0;
};

// Steps over one frame from offset; none at the trailer or on any bad block.
std::optional<FrameSpan> nextFrame(const GifReader &reader, std::size_t &offset)
{
    FrameSpan span;
    for (;;) {
        const GifBlockKind kind = reader.kindAt(offset);
        if (kind == GifBlockKind::Unknown || kind == GifBlockKind::Trailer)
            return std::nullopt;
        const auto length = reader.blockLength(offset);
        if (!length)
            return std::nullopt;
        if (kind == GifBlockKind::GraphicControl) {
            const std::uint8_t packed = *reader.byteAt(offset + 3);
            span.disposal = (packed >> 2) & 0x07;
            span.delay = static_cast<std::uint32_t>(*reader.u16At(offset + 4));
            span.transparentIndex = (packed & 0x01) ? *reader.byteAt(offset + 6) : -1;
        }
        if (kind == GifBlockKind::Image || kind == GifBlockKind::PlainText) {
            span.isImage = kind == GifBlockKind::Image;
            span.blockOffset = offset;
            offset += *length;
            return span;
        }
        offset += *length;
    }
}

// The LZW-coded pixel indexes of an image, decoded into at most pixelCount indexes. Returns false for
// a stream that is malformed; a stream that ends early leaves the rest unwritten.
bool decodeLzw(const std::vector<std::uint8_t> &stream, int minimumCodeSize, std::vector<int> &indexes,
               std::size_t pixelCount)
{
    if (minimumCodeSize < 2 || minimumCodeSize > 8)
        return false;
    const int clearCode = 1 << minimumCodeSize;
    const int endCode = clearCode + 1;
    std::vector<std::uint16_t> prefix(1 << maxCodeBits);
    std::vector<std::uint8_t> suffix(1 << maxCodeBits);
    std::vector<std::uint8_t> expansion(1 << maxCodeBits);
    for (int code = 0; code < clearCode; ++code)
        suffix[code] = static_cast<std::uint8_t>(code);

    int codeBits = minimumCodeSize + 1;
    int nextCode = endCode + 1;
    int previous = -1;
    std::uint8_t firstOfPrevious = 0;
    std::size_t bitPosition = 0;
    const std::size_t totalBits = stream.size() * 8;

    while (indexes.size() < pixelCount && bitPosition + codeBits <= totalBits) {
        int code = 0;
        for (int bit = 0; bit < codeBits; ++bit, ++bitPosition)
            code |= ((stream[bitPosition / 8] >> (bitPosition % 8)) & 1) << bit;
        if (code == clearCode) {
            codeBits = minimumCodeSize + 1;
            nextCode = endCode + 1;
            previous = -1;
            continue;
        }
        if (code == endCode)
            break;
        if (previous < 0) {
            if (code >= clearCode)
                return false;
            indexes.push_back(code);
            previous = code;
            firstOfPrevious = static_cast<std::uint8_t>(code);
            continue;
        }
        if (code > nextCode || (code == nextCode && nextCode >= (1 << maxCodeBits)))
            return false;
        // Expand the code (or, for the code not yet in the table, the previous string plus its own
        // first character) back to front.
        std::size_t length = 0;
        int walk = code;
        if (code == nextCode) {
            expansion[length++] = firstOfPrevious;
            walk = previous;
        }
        while (walk >= clearCode) {
            expansion[length++] = suffix[walk];
            walk = prefix[walk];
        }
        expansion[length++] = static_cast<std::uint8_t>(walk);
        const std::uint8_t first = static_cast<std::uint8_t>(walk);
        for (std::size_t i = length; i > 0 && indexes.size() < pixelCount; --i)
            indexes.push_back(expansion[i - 1]);
        if (nextCode < (1 << maxCodeBits)) {
            prefix[nextCode] = static_cast<std::uint16_t>(previous);
            suffix[nextCode] = first;
            ++nextCode;
            if (nextCode == (1 << codeBits) && codeBits < maxCodeBits)
                ++codeBits;
        }
        previous = code;
        firstOfPrevious = first;
    }
    return true;
}

// The row of the image that the n-th decoded row fills, for interlaced images.
int interlacedRow(int n, int height)
{
    const int passStart[4] = {0, 4, 2, 1};
    const int passStep[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
        const int rows =
            passStart[pass] < height ? (height - passStart[pass] + passStep[pass] - 1) / passStep[pass] : 0;
        if (n < rows)
            return passStart[pass] + n * passStep[pass];
        n -= rows;
    }
    return height - 1;
}

std::optional<GifFrame> decodeImage(const GifReader &reader, const FrameSpan &span,
                                    const std::vector<std::uint32_t> &globalPalette)
{
    const std::size_t offset = span.blockOffset;
    GifFrame frame;
    frame.left = *reader.u16At(offset + 1);
    frame.top = *reader.u16At(offset + 3);
    frame.width = *reader.u16At(offset + 5);
    frame.height = *reader.u16At(offset + 7);
    frame.delay = span.delay;
    frame.disposal = span.disposal;
    const std::uint8_t packed = *reader.byteAt(offset + 9);
    if (frame.width == 0 || frame.height == 0 || frame.width > GifMaxSide || frame.height > GifMaxSide ||
        static_cast<std::size_t>(frame.width) * frame.height > GifMaxPixels)
        return std::nullopt;

    std::vector<std::uint32_t> palette = globalPalette;
    std::size_t position = offset + 10;
    const std::size_t localBytes = GifReader::colorTableBytes(packed);
    if (localBytes > 0) {
        palette.clear();
        for (std::size_t i = 0; i < localBytes; i += 3) {
            const std::uint8_t *rgb = reader.at(position + i);
            palette.push_back(0xFF000000u | (rgb[0] << 16) | (rgb[1] << 8) | rgb[2]);
        }
        position += localBytes;
    }
    if (palette.empty())
        return std::nullopt;
    const int minimumCodeSize = *reader.byteAt(position++);

    std::vector<std::uint8_t> stream;
    for (;;) {
        const std::uint8_t count = *reader.byteAt(position++);
        if (count == 0)
            break;
        stream.insert(stream.end(), reader.at(position), reader.at(position) + count);
        position += count;
    }

    const std::size_t pixelCount = static_cast<std::size_t>(frame.width) * frame.height;
    std::vector<int> indexes;
    indexes.reserve(pixelCount);
    if (!decodeLzw(stream, minimumCodeSize, indexes, pixelCount))
        return std::nullopt;

    const bool interlaced = packed & 0x40;
    frame.pixels.assign(pixelCount, 0);
    for (std::size_t i = 0; i < indexes.size(); ++i) {
        const int index = indexes[i];
        if (index == span.transparentIndex || static_cast<std::size_t>(index) >= palette.size())
            continue;
        int row = static_cast<int>(i / frame.width);
        if (interlaced)
            row = interlacedRow(row, frame.height);
        frame.pixels[static_cast<std::size_t>(row) * frame.width + i % frame.width] = palette[index];
    }
    return frame;
}

} // namespace

bool hasGifHeader(const std::uint8_t *data, std::size_t size)
{
    return size >= 6 && (std::memcmp(data, "GIF87a", 6) == 0 || std::memcmp(data, "GIF89a", 6) == 0);
}

GifFile decodeGif(const std::uint8_t *data, std::size_t size)
{
    GifFile file;
    if (!hasGifHeader(data, size))
        return file;
    file.isGif = true;
    const GifReader reader(data, size);
    if (size < headerSize)
        return file;
    const std::uint8_t packed = data[10];
    const std::size_t tableBytes = GifReader::colorTableBytes(packed);
    if (!reader.fits(headerSize, tableBytes))
        return file;
    file.width = *reader.u16At(6);
    file.height = *reader.u16At(8);
    if (file.width > GifMaxSide || file.height > GifMaxSide ||
        static_cast<std::size_t>(file.width) * file.height > GifMaxPixels)
        return file;

    std::vector<std::uint32_t> globalPalette;
    for (std::size_t i = 0; i < tableBytes; i += 3) {
        const std::uint8_t *rgb = data + headerSize + i;
        globalPalette.push_back(0xFF000000u | (rgb[0] << 16) | (rgb[1] << 8) | rgb[2]);
    }

    std::size_t offset = headerSize + tableBytes;
    std::size_t decodedPixels = 0;
    while (const auto span = nextFrame(reader, offset)) {
        ++file.frameCount;
        if (!span->isImage)
            continue;
        const std::size_t framePixels = static_cast<std::size_t>(*reader.u16At(span->blockOffset + 5)) *
                                        *reader.u16At(span->blockOffset + 7);
        if (decodedPixels + framePixels > GifMaxTotalPixels)
            continue;
        if (auto frame = decodeImage(reader, *span, globalPalette)) {
            decodedPixels += framePixels;
            file.frames.push_back(std::move(*frame));
        }
    }
    return file;
}
