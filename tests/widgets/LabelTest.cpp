#include "controls/widgets/Label.h"
#include "WidgetTestSupport.h"
#include "platform/SysColor.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

bool showsColour(const QImage &image, COLORREF colour)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (pixelRef(image, x, y) == colour)
                return true;
    return false;
}

} // namespace

TEST(LabelTest, GradientBands)
{
    EXPECT_TRUE(gradientBands(QRect(0, 0, 0, 10), 0, 0xFFFFFF).isEmpty());

    const QList<GradientBand> narrow = gradientBands(QRect(10, 0, 50, 10), RGB(0, 0, 0), RGB(100, 200, 50));
    ASSERT_EQ(narrow.size(), 50);
    for (int k = 0; k < 50; ++k)
        EXPECT_EQ(narrow[k].rect, QRect(10 + k, 0, 1, 10));

    const COLORREF from = RGB(250, 10, 0);
    const COLORREF to = RGB(0, 10, 200);
    const QList<GradientBand> wide = gradientBands(QRect(0, 0, 250, 20), from, to);
    ASSERT_EQ(wide.size(), 100);
    EXPECT_EQ(wide[0].color, from);
    EXPECT_EQ(wide[1].rect.left(), 2);
    EXPECT_EQ(wide[99].rect.left(), 198);
    EXPECT_EQ(wide[99].rect.right(), 249);
    for (int k = 1; k < 100; ++k) {
        EXPECT_LE(GetRValue(wide[k].color), GetRValue(wide[k - 1].color));
        EXPECT_EQ(GetGValue(wide[k].color), 10);
        EXPECT_GE(GetBValue(wide[k].color), GetBValue(wide[k - 1].color));
    }
    EXPECT_EQ(GetRValue(wide[99].color), 2); // 250*256 - 99*640, truncated
    EXPECT_EQ(GetBValue(wide[99].color), 198);
}

TEST(LabelTest, TextFlagsFromTheStaticStyle)
{
    EXPECT_EQ(labelTextFlags(SS_CENTERIMAGE, "one line"),
              Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine);
    EXPECT_EQ(labelTextFlags(SS_CENTERIMAGE | SS_RIGHT, "two\r\nlines"), int(Qt::AlignHCenter));
    EXPECT_EQ(labelTextFlags(SS_LEFTNOWORDWRAP, "a"), int(Qt::AlignLeft));
    EXPECT_EQ(labelTextFlags(SS_CENTER, "a"), Qt::AlignHCenter | Qt::TextWordWrap);
    EXPECT_EQ(labelTextFlags(SS_RIGHT, "a\tb"), Qt::AlignRight | Qt::TextWordWrap | Qt::TextExpandTabs);
    EXPECT_EQ(labelTextFlags(SS_LEFT, "a"), Qt::AlignLeft | Qt::TextWordWrap);
}

TEST(LabelTest, PaintsGradientOrSolidBackground)
{
    CLabel label;
    label.resize(250, 20);
    EXPECT_EQ(pixelRef(label, 5, 10), sysColor(SysColor::BtnFace));
    label.ChangeBackColor(RGB(0, 0, 255), RGB(255, 0, 0), true);
    const QImage gradient = grabImage(label);
    EXPECT_EQ(pixelRef(gradient, 0, 10), RGB(0, 0, 255));
    EXPECT_EQ(pixelRef(gradient, 0, 19), RGB(0, 0, 255)); // the bottom row is filled too
    EXPECT_EQ(GetRValue(pixelRef(gradient, 249, 10)), 252);
    label.ChangeBackColor(RGB(0, 255, 0));
    EXPECT_EQ(pixelRef(label, 249, 19), RGB(0, 255, 0));
}

TEST(LabelTest, FlashingTextAlternatesWithTheBrushColour)
{
    CLabel label(QStringLiteral("WWWWWW"));
    label.resize(120, 30);
    label.UseFontPointSize(14).UseBoldFont(true);
    label.ChangeBackColor(RGB(255, 255, 255)).ChangeTextColor(RGB(255, 0, 0)).BlinkText(true);
    EXPECT_TRUE(label.FlashTimer().isActive());
    EXPECT_EQ(label.FlashTimer().interval(), 500);
    EXPECT_FALSE(showsColour(grabImage(label), RGB(255, 0, 0))); // phase 0: text in the brush colour
    QMetaObject::invokeMethod(&label.FlashTimer(), "timeout");
    EXPECT_TRUE(showsColour(grabImage(label), RGB(255, 0, 0)));
    QMetaObject::invokeMethod(&label.FlashTimer(), "timeout");
    EXPECT_FALSE(showsColour(grabImage(label), RGB(255, 0, 0)));

    CLabel plain(QStringLiteral("WWWWWW"));
    plain.resize(120, 30);
    plain.UseFontPointSize(14).ChangeTextColor(RGB(255, 0, 0)).BlinkText(true);
    EXPECT_TRUE(showsColour(grabImage(plain), RGB(0, 0, 0))); // without a brush the text turns black
    plain.BlinkText(false);
    EXPECT_FALSE(plain.FlashTimer().isActive());
    EXPECT_TRUE(showsColour(grabImage(plain), RGB(255, 0, 0)));
}

TEST(LabelTest, ShadowDrawsTheSecondColour)
{
    CLabel label(QStringLiteral("WWWW"));
    label.resize(100, 30);
    label.UseFontPointSize(14).ChangeSecondColor(RGB(0, 0, 255));
    EXPECT_FALSE(showsColour(grabImage(label), RGB(0, 0, 255)));
    label.SetShadowValues(true, 1);
    EXPECT_TRUE(showsColour(grabImage(label), RGB(0, 0, 255)));
}

TEST(LabelTest, LinksOpenTheirTargetsOrNotifyTheParent)
{
    QList<QUrl> opened;
    CLabel web(QStringLiteral("www.example.com"));
    web.resize(100, 20);
    web.SetUrlOpener([&](const QUrl &url) {
        opened.append(url);
        return true;
    });
    web.MakeHyperlink(true, false)
        .ChangeTextColor(0xFF0000)
        .UseUnderline(true)
        .UseLinkCursor(Qt::PointingHandCursor);
    QTest::mouseClick(&web, Qt::LeftButton);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0], QUrl("http://www.example.com"));
    web.ChangeLinkTarget(QStringLiteral("https://example.org/about"));
    QTest::mouseClick(&web, Qt::LeftButton);
    EXPECT_EQ(opened.last(), QUrl("https://example.org/about"));
    EXPECT_EQ(web.cursor().shape(), Qt::PointingHandCursor);

    CLabel mail(QStringLiteral("someone@example.com"));
    mail.resize(100, 20);
    mail.SetUrlOpener([&](const QUrl &url) {
        opened.append(url);
        return true;
    });
    mail.MakeMailLink(true, false).ChangeLinkTarget(QStringLiteral("ignored"));
    QTest::mouseClick(&mail, Qt::LeftButton);
    EXPECT_EQ(opened.last(), QUrl("mailto:someone@example.com"));

    mail.MakeMailLink(true, true);
    mail.SetControlId(1201);
    QSignalSpy notified(&mail, &CLabel::linkNotify);
    const qsizetype before = opened.size();
    QTest::mouseClick(&mail, Qt::LeftButton);
    EXPECT_EQ(opened.size(), before);
    ASSERT_EQ(notified.count(), 1);
    EXPECT_EQ(notified.at(0).at(0).toInt(), 1201);
    EXPECT_EQ(notified.at(0).at(1).toInt(), 0x8200);

    CLabel none(QStringLiteral("plain"));
    none.SetUrlOpener([&](const QUrl &url) {
        opened.append(url);
        return true;
    });
    QTest::mouseClick(&none, Qt::LeftButton);
    EXPECT_EQ(opened.size(), before);
}

TEST(LabelTest, FontSettersChainAndFaceIsCut)
{
    CLabel label;
    label.UseFontFace(QString(40, QLatin1Char('A'))).UseItalic(true).UseStrikeOut(true);
    label.RotateText(90, true).MakeTransparent(true).ShowSunkenEdge(true);
    EXPECT_EQ(label.frameStyle(), QFrame::Panel | QFrame::Sunken);
    label.ShowSunkenEdge(false).ShowBorder(true);
    EXPECT_EQ(label.frameStyle(), QFrame::Box | QFrame::Plain);
    label.resize(40, 40);
    (void)label.grab(); // rotated and transparent painting runs
}
