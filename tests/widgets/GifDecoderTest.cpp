#include "controls/widgets/GifDecoder.h"
#include "GifTestFiles.h"
#include "controls/widgets/RunningIndicator.h"

#include <QImage>
#include <gtest/gtest.h>
#include <random>

namespace {

GifFile decode(const std::vector<std::uint8_t> &bytes)
{
    return decodeGif(bytes.data(), bytes.size());
}

GifFile decode(const QByteArray &bytes)
{
    return decodeGif(reinterpret_cast<const std::uint8_t *>(bytes.constData()),
                     static_cast<std::size_t>(bytes.size()));
}

std::vector<std::uint8_t> sixFrames()
{
    GifEncoderImage image = testImage(28, 28);
    for (int i = 0; i < 6; ++i)
        image.frames.push_back(solidFrame(i, 2 * i, 10, 8, static_cast<std::uint8_t>(i % 4)));
    return encodeGif(image);
}

// Where frame n's image block ends in the six-frame file (the trailer is the last byte).
std::size_t endOfFrame(const std::vector<std::uint8_t> &bytes, int frame)
{
    for (std::size_t size = 14; size < bytes.size(); ++size) {
        if (decodeGif(bytes.data(), size).frameCount == frame + 1)
            return size;
    }
    return bytes.size();
}

} // namespace

TEST(GifDecoderTest, SixFramesWithDelaysAndOffsets)
{
    const GifFile file = decode(sixFrames());
    EXPECT_TRUE(file.isGif);
    EXPECT_EQ(file.width, 28);
    EXPECT_EQ(file.height, 28);
    EXPECT_EQ(file.frameCount, 6);
    ASSERT_EQ(file.frames.size(), 6u);
    const std::uint32_t colours[4] = {0xFFFFFFFF, 0xFFFF0000, 0xFF00FF00, 0xFF0000FF};
    for (int i = 0; i < 6; ++i) {
        const GifFrame &frame = file.frames[i];
        EXPECT_EQ(frame.left, i);
        EXPECT_EQ(frame.top, 2 * i);
        EXPECT_EQ(frame.width, 10);
        EXPECT_EQ(frame.height, 8);
        EXPECT_EQ(frame.delay, 10u);
        ASSERT_EQ(frame.pixels.size(), 80u);
        EXPECT_EQ(frame.pixels.front(), colours[i % 4]);
        EXPECT_EQ(frame.pixels.back(), colours[i % 4]);
    }
}

TEST(GifDecoderTest, ExtensionsAndControlValuesAreRead)
{
    GifEncoderImage image = testImage(8, 8);
    image.loopExtension = true;
    image.comment = "made for a test";
    image.frames.push_back(solidFrame(0, 0, 8, 8, 1, 0, 2));
    image.frames.push_back(solidFrame(2, 2, 4, 4, 2, 77, 3));
    image.frames.back().transparentIndex = 2;
    image.frames.push_back(solidFrame(0, 0, 8, 8, 3));
    image.frames.back().controlExtension = false;
    const GifFile file = decode(encodeGif(image));
    ASSERT_EQ(file.frames.size(), 3u);
    EXPECT_EQ(file.frames[0].delay, 0u);
    EXPECT_EQ(file.frames[0].disposal, 2);
    EXPECT_EQ(file.frames[1].delay, 77u);
    EXPECT_EQ(file.frames[1].disposal, 3);
    EXPECT_EQ(file.frames[1].pixels[5], 0u); // transparent
    EXPECT_EQ(file.frames[2].delay, GifNoDelay);
    EXPECT_EQ(file.frames[2].disposal, 0);
}

// Our decoder and Qt's give the same pixels for files with real LZW compression: noise that fills the
// 12-bit table and forces clears, runs that give long strings, and an interlaced image.
TEST(GifDecoderTest, AgreesWithAnIndependentDecoder)
{
    std::mt19937 random(7);
    GifEncoderImage noise = testImage(120, 90);
    noise.palette.resize(256);
    for (std::size_t i = 0; i < noise.palette.size(); ++i)
        noise.palette[i] = static_cast<std::uint32_t>(random() & 0xFFFFFF);
    GifEncoderFrame noisy = solidFrame(0, 0, 120, 90, 0);
    for (auto &index : noisy.indexes)
        index = static_cast<std::uint8_t>(random() % 256);
    noise.frames.push_back(noisy);

    GifEncoderImage runs = testImage(64, 50);
    GifEncoderFrame striped = solidFrame(0, 0, 64, 50, 0);
    for (std::size_t i = 0; i < striped.indexes.size(); ++i)
        striped.indexes[i] = static_cast<std::uint8_t>((i / 37) % 4);
    striped.interlaced = true;
    runs.frames.push_back(striped);

    GifEncoderImage twoColours = testImage(9, 5);
    twoColours.palette = {0x102030, 0xA0B0C0};
    GifEncoderFrame checker = solidFrame(0, 0, 9, 5, 0);
    for (std::size_t i = 0; i < checker.indexes.size(); ++i)
        checker.indexes[i] = static_cast<std::uint8_t>(i % 3 == 0);
    twoColours.frames.push_back(checker);

    for (const GifEncoderImage *source : {&noise, &runs, &twoColours}) {
        const QByteArray bytes = toBytes(encodeGif(*source));
        const QImage reference = QImage::fromData(bytes, "GIF").convertToFormat(QImage::Format_ARGB32);
        ASSERT_FALSE(reference.isNull());
        const GifFile file = decode(bytes);
        ASSERT_EQ(file.frames.size(), 1u);
        const GifFrame &frame = file.frames[0];
        int differences = 0;
        for (int y = 0; y < frame.height; ++y)
            for (int x = 0; x < frame.width; ++x)
                differences += frame.pixels[y * frame.width + x] != reference.pixel(x, y);
        EXPECT_EQ(differences, 0) << source->width << "x" << source->height;
    }
}

TEST(GifDecoderTest, TruncatedFilesKeepTheWholeFramesBeforeTheCut)
{
    const std::vector<std::uint8_t> bytes = sixFrames();
    const std::size_t frame3End = endOfFrame(bytes, 2);
    const std::size_t frame4End = endOfFrame(bytes, 3);
    ASSERT_LT(frame3End, frame4End);
    const GifFile cut = decodeGif(bytes.data(), (frame3End + frame4End) / 2);
    EXPECT_EQ(cut.frameCount, 3);
    EXPECT_EQ(cut.frames.size(), 3u);

    // Every prefix decodes without reading past its end (the sanitizer watches), and never yields
    // more frames than a longer prefix.
    int previous = 0;
    for (std::size_t size = 0; size <= bytes.size(); ++size) {
        const std::vector<std::uint8_t> prefix(bytes.begin(), bytes.begin() + static_cast<long>(size));
        const GifFile file = decode(prefix);
        EXPECT_GE(file.frameCount, previous);
        previous = file.frameCount;
    }
    EXPECT_EQ(previous, 6);
}

TEST(GifDecoderTest, ShortAndMalformedFilesGiveNoFrames)
{
    const std::vector<std::uint8_t> bytes = sixFrames();
    const std::size_t tableEnd = 13 + 3 * 4;
    for (const std::size_t size : {std::size_t(0), std::size_t(6), std::size_t(12), tableEnd - 1, tableEnd}) {
        const std::vector<std::uint8_t> prefix(bytes.begin(), bytes.begin() + static_cast<long>(size));
        EXPECT_EQ(decode(prefix).frameCount, 0) << size;
    }
    std::vector<std::uint8_t> dangling(bytes.begin(), bytes.begin() + static_cast<long>(tableEnd));
    dangling.push_back(0x21);
    EXPECT_EQ(decode(dangling).frameCount, 0);
    dangling.back() = 0x99; // an unknown block
    EXPECT_EQ(decode(dangling).frameCount, 0);

    // A bad minimum code size and a code beyond the table refuse the frame but keep walking.
    std::vector<std::uint8_t> badCode = bytes;
    const std::size_t firstImage = tableEnd + 8;
    ASSERT_EQ(badCode[firstImage], 0x2C);
    badCode[firstImage + 10] = 11;
    const GifFile refused = decode(badCode);
    EXPECT_EQ(refused.frameCount, 6);
    EXPECT_EQ(refused.frames.size(), 5u);
}

TEST(GifDecoderTest, OnlyGif87aAndGif89aAreGifs)
{
    std::vector<std::uint8_t> bytes = sixFrames();
    EXPECT_TRUE(hasGifHeader(bytes.data(), bytes.size()));
    bytes[4] = '7';
    EXPECT_TRUE(hasGifHeader(bytes.data(), bytes.size()));
    bytes[4] = '8';
    EXPECT_FALSE(hasGifHeader(bytes.data(), bytes.size()));
    EXPECT_FALSE(decode(bytes).isGif);
    const std::uint8_t png[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    EXPECT_FALSE(hasGifHeader(png, sizeof png));
}

TEST(GifDecoderTest, HugeDimensionsAreRefused)
{
    GifEncoderImage image = testImage(8, 8);
    image.frames.push_back(solidFrame(0, 0, 8, 8, 1));
    std::vector<std::uint8_t> bytes = encodeGif(image);
    bytes[6] = bytes[7] = 0xFF; // a 65535-pixel-wide screen
    EXPECT_TRUE(decode(bytes).frames.empty());
}

TEST(GifDecoderTest, RunningIndicatorIsSixFramesOf28Pixels)
{
    const GifFile file = decode(RunningIndicatorGif());
    EXPECT_EQ(file.width, 28);
    EXPECT_EQ(file.height, 28);
    ASSERT_EQ(file.frames.size(), 6u);
    for (const GifFrame &frame : file.frames)
        EXPECT_EQ(frame.delay, 10u);
    EXPECT_NE(file.frames[0].pixels, file.frames[1].pixels);
}
