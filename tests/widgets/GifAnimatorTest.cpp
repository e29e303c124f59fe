#include "controls/widgets/GifAnimator.h"
#include "GifTestFiles.h"
#include "controls/widgets/GifDecoder.h"

#include <gtest/gtest.h>

namespace {

constexpr COLORREF background = RGB(212, 208, 200);

GifAnimator animatorOf(const GifEncoderImage &image)
{
    const std::vector<std::uint8_t> bytes = encodeGif(image);
    const GifFile file = decodeGif(bytes.data(), bytes.size());
    QList<AnimationFrame> frames;
    for (const GifFrame &frame : file.frames)
        frames.append(GifAnimator::fromGifFrame(frame));
    return GifAnimator(QSize(file.width, file.height), background, frames);
}

COLORREF at(const GifAnimator &animator, int x, int y)
{
    return toColorRef(QColor(animator.surface().pixel(x, y)));
}

} // namespace

TEST(GifAnimatorTest, FrameDelays)
{
    EXPECT_EQ(GifAnimator::frameDelayMs(0), 100);
    EXPECT_EQ(GifAnimator::frameDelayMs(4), 100);
    EXPECT_EQ(GifAnimator::frameDelayMs(5), 50);
    EXPECT_EQ(GifAnimator::frameDelayMs(10), 100);
    EXPECT_EQ(GifAnimator::frameDelayMs(65535), 655350);

    // A frame without a control extension shows for 100 ms, not for ever.
    GifEncoderImage image = testImage(4, 4);
    image.frames.push_back(solidFrame(0, 0, 4, 4, 1));
    image.frames.back().controlExtension = false;
    image.frames.push_back(solidFrame(0, 0, 4, 4, 2, 7));
    GifAnimator animator = animatorOf(image);
    EXPECT_EQ(animator.start(), 100);
    EXPECT_EQ(animator.step(), 70);
}

TEST(GifAnimatorTest, DisposalRules)
{
    struct Case
    {
        int disposal;
        COLORREF afterStep; // inside frame 0's rectangle, which frame 1 does not cover
    } cases[] = {{0, RGB(255, 0, 0)}, {1, RGB(255, 0, 0)}, {2, background}, {3, RGB(0, 0, 255)}};
    for (const Case &test : cases) {
        GifEncoderImage image = testImage(12, 12);
        image.frames.push_back(solidFrame(0, 0, 12, 12, 3)); // blue everywhere
        image.frames.push_back(solidFrame(2, 2, 4, 4, 1, 10, test.disposal));
        image.frames.push_back(solidFrame(8, 8, 2, 2, 2));
        GifAnimator animator = animatorOf(image);
        animator.start();
        animator.step();
        EXPECT_EQ(at(animator, 3, 3), RGB(255, 0, 0)) << test.disposal;
        animator.step();
        EXPECT_EQ(at(animator, 3, 3), test.afterStep) << test.disposal;
        EXPECT_EQ(at(animator, 8, 8), RGB(0, 255, 0)) << test.disposal;
        EXPECT_EQ(at(animator, 0, 0), RGB(0, 0, 255)) << test.disposal;
    }
}

TEST(GifAnimatorTest, AfterTheLastFrameTheWholeSurfaceIsCleared)
{
    GifEncoderImage image = testImage(10, 10);
    image.frames.push_back(solidFrame(0, 0, 3, 3, 1));
    image.frames.push_back(solidFrame(5, 5, 3, 3, 3));
    GifAnimator animator = animatorOf(image);
    animator.start();
    animator.step();
    EXPECT_EQ(at(animator, 1, 1), RGB(255, 0, 0));
    EXPECT_EQ(at(animator, 6, 6), RGB(0, 0, 255));
    animator.step();
    EXPECT_EQ(animator.currentFrame(), 0);
    EXPECT_EQ(at(animator, 1, 1), RGB(255, 0, 0));
    EXPECT_EQ(at(animator, 6, 6), background);
}

TEST(GifAnimatorTest, RestartResumesAtTheKeptFrameAfterDisposingIt)
{
    GifEncoderImage image = testImage(10, 10);
    image.frames.push_back(solidFrame(0, 0, 10, 10, 3));
    image.frames.push_back(solidFrame(2, 2, 3, 3, 1, 10, 2));
    image.frames.push_back(solidFrame(6, 6, 3, 3, 2));
    GifAnimator animator = animatorOf(image);
    animator.start();
    animator.step();
    EXPECT_EQ(animator.currentFrame(), 1);
    // Stopped here; a new start first disposes of frame 1, then shows it again.
    animator.start();
    EXPECT_EQ(animator.currentFrame(), 1);
    EXPECT_EQ(at(animator, 3, 3), RGB(255, 0, 0));
    animator.step();
    EXPECT_EQ(at(animator, 3, 3), background);
}

TEST(GifAnimatorTest, FrameDrawsOnlyItsOwnRectangle)
{
    GifEncoderImage image = testImage(28, 28);
    image.frames.push_back(solidFrame(0, 0, 28, 28, 3));
    image.frames.push_back(solidFrame(5, 5, 10, 10, 1));
    GifAnimator animator = animatorOf(image);
    animator.start();
    animator.step();
    EXPECT_EQ(at(animator, 5, 5), RGB(255, 0, 0));
    EXPECT_EQ(at(animator, 14, 14), RGB(255, 0, 0));
    EXPECT_EQ(at(animator, 15, 15), RGB(0, 0, 255));
    EXPECT_EQ(at(animator, 4, 4), RGB(0, 0, 255));
    EXPECT_EQ(at(animator, 27, 27), RGB(0, 0, 255));
}

TEST(GifAnimatorTest, TransparentPixelsKeepWhatIsUnder)
{
    GifEncoderImage image = testImage(4, 4);
    image.frames.push_back(solidFrame(0, 0, 4, 4, 3));
    GifEncoderFrame holed = solidFrame(0, 0, 4, 4, 1);
    holed.indexes[0] = 0;
    holed.transparentIndex = 0;
    image.frames.push_back(holed);
    GifAnimator animator = animatorOf(image);
    animator.start();
    animator.step();
    EXPECT_EQ(at(animator, 0, 0), RGB(0, 0, 255));
    EXPECT_EQ(at(animator, 1, 0), RGB(255, 0, 0));
}
