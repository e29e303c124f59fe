#include "controls/widgets/ButtonST.h"
#include "WidgetTestSupport.h"
#include "platform/SysColor.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

constexpr COLORREF blue = RGB(0, 0, 255);
constexpr COLORREF red = RGB(255, 0, 0);

QImage redWhiteBitmap()
{
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 4; ++x)
            image.setPixel(x, y, qRgb(255, 0, 0));
    return image;
}

} // namespace

TEST(ButtonSTTest, PlaceImage)
{
    struct Case
    {
        const char *name;
        QRect item;
        int w, h, alignment;
        bool caption, pressed, checkMode;
        QPoint image;
        QRect captionBox;
    };
    // clang-format off
    const Case cases[] = {
        {"no caption, left",      {0, 0, 40, 30}, 10, 8, 0, false, false, false, {15, 11}, {0, 0, 40, 30}},
        {"no caption, above",     {0, 0, 40, 30}, 10, 8, 1, false, false, false, {15, 11}, {0, 0, 40, 30}},
        {"left with caption",     {0, 0, 40, 30}, 10, 8, 0, true,  false, false, {3, 11},  {13, 0, 27, 30}},
        {"above with caption",    {0, 0, 40, 60}, 10, 8, 1, true,  false, false, {15, 3},  {0, 8, 40, 52}},
        {"pressed",               {0, 0, 40, 30}, 10, 8, 0, false, true,  false, {16, 12}, {0, 0, 40, 30}},
        {"pressed in check mode", {0, 0, 40, 30}, 10, 8, 0, false, true,  true,  {15, 11}, {0, 0, 40, 30}},
        {"wider than the button", {0, 0, 20, 20}, 25, 8, 0, false, false, false, {-2, 6},  {0, 0, 20, 20}},
    };
    // clang-format on
    for (const Case &test : cases) {
        const ButtonPlacement placement =
            PlaceImage(test.item, test.w, test.h, test.alignment, test.caption, test.pressed, test.checkMode);
        EXPECT_EQ(placement.image.topLeft(), test.image) << test.name;
        EXPECT_EQ(placement.image.size(), QSize(test.w, test.h)) << test.name;
        EXPECT_EQ(placement.caption, test.captionBox) << test.name;
    }
}

TEST(ButtonSTTest, LightenBackColorKeepsTheHue)
{
    EXPECT_EQ(LightenedColor(RGB(255, 255, 255)), RGB(255, 255, 255));
    EXPECT_EQ(LightenedColor(RGB(250, 100, 100)), RGB(255, 105, 105));
    EXPECT_EQ(LightenedColor(RGB(212, 208, 200)), RGB(242, 238, 230));
    CButtonST button;
    EXPECT_EQ(button.LightenBackColor(), 0u);
    EXPECT_EQ(button.SlotColor(CButtonST::BkHot), RGB(242, 238, 230));
    EXPECT_EQ(button.SlotColor(CButtonST::BkNormal), RGB(212, 208, 200));
}

TEST(ButtonSTTest, FacePaintsTheSlotOfItsState)
{
    CButtonST button;
    button.resize(40, 30);
    button.AssignSlotColor(CButtonST::BkNormal, blue);
    button.AssignSlotColor(CButtonST::BkHot, red);
    EXPECT_EQ(pixelRef(button, 20, 15), blue);
    EXPECT_EQ(pixelRef(button, 0, 0), blue); // no border at rest

    button.SetCheckMode(true);
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(button.GetCheck(), 1);
    const QImage checked = grabImage(button);
    EXPECT_EQ(pixelRef(checked, 20, 15), red);
    EXPECT_EQ(pixelRef(checked, 0, 0), sysColor(SysColor::BtnShadow));
    EXPECT_EQ(pixelRef(checked, 39, 29), sysColor(SysColor::BtnHighlight));
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(button.GetCheck(), 0);
}

TEST(ButtonSTTest, SetCheckFollowsTheCheckBoxRules)
{
    CButtonST plain;
    plain.SetCheck(1);
    EXPECT_EQ(plain.GetCheck(), 0);
    CButtonST toggle;
    toggle.SetCheckMode(true);
    toggle.SetCheck(2);
    EXPECT_EQ(toggle.GetCheck(), 1);
    toggle.SetCheck(3);
    EXPECT_EQ(toggle.GetCheck(), 0);
    toggle.SetCheck(1);
    EXPECT_EQ(toggle.GetCheck(), 1);
    toggle.SetCheck(0);
    EXPECT_EQ(toggle.GetCheck(), 0);
}

TEST(ButtonSTTest, DoubleClickGivesTwoClicks)
{
    CButtonST button;
    button.resize(40, 30);
    button.show();
    QSignalSpy clicks(&button, &QAbstractButton::clicked);
    // What a double-click delivers: press, release, double-click, release.
    QTest::mouseClick(&button, Qt::LeftButton);
    QTest::mouseDClick(&button, Qt::LeftButton);
    QTest::mouseRelease(&button, Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 2);
    EXPECT_TRUE(button.hasFocus() || !button.window()->isActiveWindow());
}

TEST(ButtonSTTest, HoverLightsOnlyWithoutAHeldButton)
{
    QWidget window;
    window.resize(200, 100);
    auto *button = new CButtonST(&window);
    button->setGeometry(10, 10, 60, 30);
    button->AssignSlotColor(CButtonST::BkNormal, blue);
    button->AssignSlotColor(CButtonST::BkHot, red);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    QTest::mouseMove(&window, QPoint(150, 80));
    QTest::mouseMove(button, QPoint(30, 15));
    EXPECT_TRUE(button->IsHot());
    const QImage hot = grabImage(*button);
    EXPECT_EQ(pixelRef(hot, 30, 15), red);
    EXPECT_EQ(pixelRef(hot, 0, 0), sysColor(SysColor::BtnHighlight));
    QTest::mouseMove(&window, QPoint(150, 80));
    EXPECT_FALSE(button->IsHot());

    // A press outside, then moving in with the button held: no light.
    QTest::mousePress(&window, Qt::LeftButton, {}, QPoint(150, 80));
    QMouseEvent heldMove(QEvent::MouseMove, QPointF(30, 15), button->mapToGlobal(QPointF(30, 15)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(button, &heldMove);
    EXPECT_FALSE(button->IsHot());
    QTest::mouseRelease(&window, Qt::LeftButton, {}, QPoint(150, 80));
    QTest::mouseMove(button, QPoint(31, 15));
    EXPECT_TRUE(button->IsHot());
    button->setEnabled(false);
    EXPECT_FALSE(button->IsHot());
}

TEST(ButtonSTTest, BitmapShowsTheFaceThroughItsTransparentColour)
{
    CButtonST button;
    button.resize(20, 20);
    button.AssignSlotColor(CButtonST::BkNormal, blue);
    const QImage bitmap = redWhiteBitmap();
    EXPECT_EQ(button.AssignStateBitmaps(bitmap, RGB(255, 255, 255)), 0u);
    EXPECT_EQ(bitmap.pixel(7, 0), qRgb(255, 255, 255)); // the caller's bitmap stays as it was
    const QImage face = grabImage(button);
    // The 8x8 bitmap is centred at (6, 6): red on its left half, the face where it was white.
    EXPECT_EQ(pixelRef(face, 7, 9), red);
    EXPECT_EQ(pixelRef(face, 12, 9), blue);

    QImage opaque(8, 8, QImage::Format_RGB32);
    opaque.fill(qRgb(0, 128, 0));
    button.AssignStateBitmaps(opaque, RGB(255, 255, 255));
    const QImage opaqueFace = grabImage(button);
    for (int x = 6; x < 14; ++x)
        EXPECT_EQ(pixelRef(opaqueFace, x, 9), RGB(0, 128, 0));

    button.AssignStateBitmaps(bitmap, RGB(255, 255, 255));
    button.setEnabled(false);
    const QImage disabled = grabImage(button);
    EXPECT_NE(pixelRef(disabled, 7, 9), red);
    EXPECT_NE(disabled, face);
}

TEST(ButtonSTTest, CaptionDrawsInTheSlotColour)
{
    CButtonST button(QStringLiteral("WWWW"));
    button.resize(80, 30);
    button.AssignSlotColor(CButtonST::BkNormal, RGB(255, 255, 255));
    button.AssignSlotColor(CButtonST::FgNormal, red);
    const QImage image = grabImage(button);
    bool redText = false;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            redText = redText || pixelRef(image, x, y) == red;
    EXPECT_TRUE(redText);
}

TEST(ButtonSTTest, DisablingMovesTheFocusOnlyWhenTheButtonHadIt)
{
    QWidget window;
    auto *edit = new QLineEdit(&window);
    auto *button = new CButtonST(QStringLiteral("Run"), &window);
    auto *next = new QLineEdit(&window);
    button->move(0, 30);
    next->move(0, 60);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    edit->setFocus();
    button->setEnabled(false);
    EXPECT_TRUE(edit->hasFocus());

    button->setEnabled(true);
    button->setFocus();
    button->setEnabled(false);
    EXPECT_TRUE(next->hasFocus());
}

TEST(ButtonSTTest, PaletteChangeResetsTheSlots)
{
    CButtonST button;
    button.AssignSlotColor(CButtonST::BkNormal, blue);
    button.LightenBackColor();
    button.setPalette(QPalette(Qt::green));
    EXPECT_EQ(button.SlotColor(CButtonST::BkNormal), sysColor(SysColor::BtnFace));
    EXPECT_EQ(button.SlotColor(CButtonST::BkHot), sysColor(SysColor::BtnFace));
}
