#include "controls/widgets/TransparentImage.h"
#include "WidgetTestSupport.h"

#include <gtest/gtest.h>

TEST(TransparentImageTest, WhiteShowsTheParentAndEverythingElseStays)
{
    QWidget parent;
    parent.resize(20, 20);
    parent.setAutoFillBackground(true);
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(0, 255, 0));
    parent.setPalette(palette);
    auto *picture = new CTransparentImage(&parent);
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int y = 0; y < 4; ++y)
        for (int x = 2; x < 4; ++x)
            image.setPixel(x, y, qRgb(255, 0, 0));
    image.setPixel(0, 3, qRgb(254, 255, 255));
    picture->move(5, 5);
    picture->SetBitmap(image);
    EXPECT_EQ(picture->size(), QSize(4, 4));
    EXPECT_EQ(picture->GetBitmap(), image);

    const QImage shown = grabImage(parent);
    EXPECT_EQ(pixelRef(shown, 5, 5), RGB(0, 255, 0));
    EXPECT_EQ(pixelRef(shown, 6, 6), RGB(0, 255, 0));
    EXPECT_EQ(pixelRef(shown, 7, 5), RGB(255, 0, 0));
    EXPECT_EQ(pixelRef(shown, 8, 8), RGB(255, 0, 0));
    EXPECT_EQ(pixelRef(shown, 5, 8), RGB(254, 255, 255));
}
