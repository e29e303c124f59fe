#include "controls/widgets/PictureEx.h"
#include "GifTestFiles.h"
#include "WidgetTestSupport.h"
#include "platform/SysColor.h"

#include <QBuffer>
#include <QTest>
#include <gtest/gtest.h>

TEST(PictureExTest, OneFrameGifIsAStillPicture)
{
    GifEncoderImage image = testImage(6, 6);
    image.frames.push_back(solidFrame(2, 2, 2, 2, 1));
    CPictureEx picture;
    ASSERT_TRUE(picture.LoadPictureData(toBytes(encodeGif(image))));
    EXPECT_EQ(picture.size(), QSize(6, 6));
    EXPECT_TRUE(picture.StartAnimation());
    EXPECT_FALSE(picture.IsAnimating());
    const QImage shown = grabImage(picture);
    EXPECT_EQ(pixelRef(shown, 2, 2), RGB(255, 0, 0));
    EXPECT_EQ(pixelRef(shown, 0, 0), sysColor(SysColor::Menu));
}

TEST(PictureExTest, AnimatedGifRunsOnATimerAndStopsAtOnce)
{
    GifEncoderImage image = testImage(8, 8);
    image.frames.push_back(solidFrame(0, 0, 8, 8, 1, 1));
    image.frames.push_back(solidFrame(0, 0, 8, 8, 3, 1));
    CPictureEx picture;
    ASSERT_TRUE(picture.LoadPictureData(toBytes(encodeGif(image))));
    EXPECT_FALSE(picture.StartAnimation());
    EXPECT_TRUE(picture.IsAnimating());
    EXPECT_EQ(pixelRef(picture, 4, 4), RGB(255, 0, 0));
    QTRY_COMPARE_WITH_TIMEOUT(picture.Animator().currentFrame(), 1, 5000);
    EXPECT_EQ(pixelRef(picture, 4, 4), RGB(0, 0, 255));
    picture.StopAnimation();
    EXPECT_FALSE(picture.IsAnimating());
    picture.StopAnimation();
    EXPECT_EQ(picture.Animator().currentFrame(), 1);
    EXPECT_FALSE(picture.StartAnimation());
    EXPECT_EQ(picture.Animator().currentFrame(), 1);
}

TEST(PictureExTest, DestroyingWhilePlayingIsClean)
{
    auto *picture = new CPictureEx;
    ASSERT_TRUE(picture->LoadGifResource());
    picture->StartAnimation();
    QTest::qWait(30);
    delete picture;
}

TEST(PictureExTest, RunningIndicatorAnimatesAt100MsPerFrame)
{
    CPictureEx picture;
    ASSERT_TRUE(picture.LoadGifResource());
    EXPECT_EQ(picture.GetPictureSize(), QSize(28, 28));
    EXPECT_EQ(picture.Animator().frameCount(), 6);
    picture.StartAnimation();
    EXPECT_TRUE(picture.IsAnimating());
}

TEST(PictureExTest, OtherPicturesGoToTheImageLoaders)
{
    QImage png(5, 3, QImage::Format_RGB32);
    png.fill(QColor(0, 0, 255));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    png.save(&buffer, "PNG");
    CPictureEx picture;
    ASSERT_TRUE(picture.LoadPictureData(bytes));
    EXPECT_EQ(picture.GetPictureSize(), QSize(5, 3));
    EXPECT_TRUE(picture.StartAnimation());
    EXPECT_EQ(pixelRef(picture, 2, 1), RGB(0, 0, 255));

    EXPECT_FALSE(picture.LoadPictureData(QByteArray("not a picture")));
    EXPECT_FALSE(picture.StartAnimation());
    EXPECT_FALSE(picture.LoadPictureData(QByteArray("GIF89a\x01")));
}
