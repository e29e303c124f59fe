#include "GifEncoder.h"

#include <unordered_map>

namespace {

void putU16(std::vector<std::uint8_t> &out, int value)
{
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void putSubBlocks(std::vector<std::uint8_t> &out, const std::vector<std::uint8_t> &bytes)
{
    for (std::size_t start = 0; start < bytes.size(); start += 255) {
        const std::size_t count = std::min<std::size_t>(255, bytes.size() - start);
        out.push_back(static_cast<std::uint8_t>(count));
        out.insert(out.end(), bytes.begin() + static_cast<long>(start),
                   bytes.begin() + static_cast<long>(start + count));
    }
    out.push_back(0);
}

// Bits of the smallest table that holds count colours (1 for up to 2, at most 8).
int tableBits(std::size_t count)
{
    int bits = 1;
    while ((std::size_t(1) << bits) < count && bits < 8)
        ++bits;
    return bits;
}

class BitWriter
{
public:
    void put(int code, int bits)
    {
        m_accumulator |= static_cast<std::uint32_t>(code) << m_filled;
        m_filled += bits;
        while (m_filled >= 8) {
            bytes.push_back(static_cast<std::uint8_t>(m_accumulator & 0xFF));
            m_accumulator >>= 8;
            m_filled -= 8;
        }
    }
    void flush()
    {
        if (m_filled > 0)
            bytes.push_back(static_cast<std::uint8_t>(m_accumulator & 0xFF));
        m_accumulator = 0;
        m_filled = 0;
    }
    std::vector<std::uint8_t> bytes;

private:
    std::uint32_t m_accumulator = 0;
    int m_filled = 0;
};

std::vector<std::uint8_t> compressLzw(const std::vector<std::uint8_t> &indexes, int minimumCodeSize)
{
    const int clearCode = 1 << minimumCodeSize;
    const int endCode = clearCode + 1;
    std::unordered_map<std::uint32_t, int> table; // (prefix << 8 | next index) -> code
    int nextCode = endCode + 1;
    int codeBits = minimumCodeSize + 1;
    BitWriter writer;
    writer.put(clearCode, codeBits);
    int current = -1;
    for (const std::uint8_t index : indexes) {
        if (current < 0) {
            current = index;
            continue;
        }
        const std::uint32_t key = (static_cast<std::uint32_t>(current) << 8) | index;
        const auto found = table.find(key);
        if (found != table.end()) {
            current = found->second;
            continue;
        }
        writer.put(current, codeBits);
        if (nextCode < 4096) {
            table.emplace(key, nextCode++);
            if (nextCode > (1 << codeBits) && codeBits < 12)
                ++codeBits;
        } else {
            writer.put(clearCode, codeBits);
            table.clear();
            nextCode = endCode + 1;
            codeBits = minimumCodeSize + 1;
        }
        current = index;
    }
    if (current >= 0) {
        writer.put(current, codeBits);
        // The reader adds a table entry for this last code too, and may widen its codes for the end.
        if (nextCode < 4096 && ++nextCode > (1 << codeBits) && codeBits < 12)
            ++codeBits;
    }
    writer.put(endCode, codeBits);
    writer.flush();
    return writer.bytes;
}

} // namespace

std::vector<std::uint8_t> encodeGif(const GifEncoderImage &image)
{
    std::vector<std::uint8_t> out = {'G', 'I', 'F', '8', '9', 'a'};
    putU16(out, image.width);
    putU16(out, image.height);
    const int bits = tableBits(image.palette.size());
    out.push_back(static_cast<std::uint8_t>(0x80 | ((bits - 1) << 4) | (bits - 1)));
    out.push_back(0); // background index
    out.push_back(0); // aspect
    for (int i = 0; i < (1 << bits); ++i) {
        const std::uint32_t rgb = i < static_cast<int>(image.palette.size()) ? image.palette[i] : 0;
        out.push_back(static_cast<std::uint8_t>(rgb >> 16));
        out.push_back(static_cast<std::uint8_t>(rgb >> 8));
        out.push_back(static_cast<std::uint8_t>(rgb));
    }
    if (image.loopExtension) {
        const std::uint8_t netscape[] = {0x21, 0xFF, 0x0B, 'N', 'E', 'T', 'S', 'C', 'A', 'P',
                                         'E',  '2',  '.',  '0', 3,   1,   0,   0,   0};
        out.insert(out.end(), std::begin(netscape), std::end(netscape));
    }
    if (!image.comment.empty()) {
        out.push_back(0x21);
        out.push_back(0xFE);
        putSubBlocks(out, std::vector<std::uint8_t>(image.comment.begin(), image.comment.end()));
    }
    const int minimumCodeSize = bits < 2 ? 2 : bits;
    for (const GifEncoderFrame &frame : image.frames) {
        if (frame.controlExtension) {
            out.insert(out.end(), {0x21, 0xF9, 0x04});
            out.push_back(static_cast<std::uint8_t>(((frame.disposal & 0x07) << 2) |
                                                    (frame.transparentIndex >= 0 ? 1 : 0)));
            putU16(out, frame.delay);
            out.push_back(
                static_cast<std::uint8_t>(frame.transparentIndex >= 0 ? frame.transparentIndex : 0));
            out.push_back(0);
        }
        out.push_back(0x2C);
        putU16(out, frame.left);
        putU16(out, frame.top);
        putU16(out, frame.width);
        putU16(out, frame.height);
        out.push_back(frame.interlaced ? 0x40 : 0x00);
        std::vector<std::uint8_t> ordered = frame.indexes;
        if (frame.interlaced) {
            // Rows in the four passes of an interlaced image.
            ordered.clear();
            const int starts[4] = {0, 4, 2, 1};
            const int steps[4] = {8, 8, 4, 2};
            for (int pass = 0; pass < 4; ++pass) {
                for (int row = starts[pass]; row < frame.height; row += steps[pass])
                    ordered.insert(ordered.end(), frame.indexes.begin() + row * frame.width,
                                   frame.indexes.begin() + (row + 1) * frame.width);
            }
        }
        out.push_back(static_cast<std::uint8_t>(minimumCodeSize));
        putSubBlocks(out, compressLzw(ordered, minimumCodeSize));
    }
    out.push_back(0x3B);
    return out;
}
