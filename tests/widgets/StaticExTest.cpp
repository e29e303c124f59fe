#include "controls/widgets/StaticEx.h"
#include "WidgetTestSupport.h"
#include "platform/ScriptedPrompter.h"
#include "platform/SysColor.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

TEST(StaticExTest, PaintsBackgroundOrStretchedBitmap)
{
    CStaticEx label;
    label.resize(60, 20);
    EXPECT_EQ(pixelRef(label, 55, 15), sysColor(SysColor::BtnFace));
    label.SetBackColor(RGB(0, 0, 255));
    EXPECT_EQ(pixelRef(label, 55, 15), RGB(0, 0, 255));
    QPixmap bitmap(2, 2);
    bitmap.fill(QColor(255, 0, 0));
    label.SetBackgroundBitmap(bitmap);
    EXPECT_EQ(pixelRef(label, 55, 15), RGB(255, 0, 0));
}

TEST(StaticExTest, SetTextShowsTheTextInItsColour)
{
    CStaticEx label;
    label.resize(80, 20);
    label.SetTextColor(RGB(255, 0, 0));
    label.SetText(QStringLiteral("WWW"));
    EXPECT_EQ(label.GetText(), "WWW");
    const QImage image = grabImage(label);
    bool red = false;
    for (int x = 0; x < 40; ++x)
        for (int y = 0; y < 20; ++y)
            red = red || pixelRef(image, x, y) == RGB(255, 0, 0);
    EXPECT_TRUE(red);
}

TEST(StaticExTest, LinkThatCannotOpenBeepsAndTellsAndStaysUnvisited)
{
    CStaticEx label;
    label.resize(80, 20);
    ScriptedPrompter prompter;
    QStringList opened;
    bool canOpen = false;
    label.SetLinkOpener([&](const QString &target) {
        opened << target;
        return canOpen;
    });
    label.SetLinkTarget(QStringLiteral("http://example.invalid/"));
    QWidget toggled;
    toggled.show();
    label.SetToggleWindow(&toggled);
    QSignalSpy clicked(&label, &CStaticEx::clicked);

    QTest::mouseClick(&label, Qt::LeftButton);
    EXPECT_EQ(opened, QStringList{"http://example.invalid/"});
    EXPECT_EQ(prompter.messages(), QStringList{"Unable to open http://example.invalid/"});
    EXPECT_FALSE(label.IsVisited());
    EXPECT_FALSE(toggled.isVisible());
    EXPECT_EQ(clicked.count(), 1);

    canOpen = true;
    QTest::mouseClick(&label, Qt::LeftButton);
    EXPECT_TRUE(label.IsVisited());
    EXPECT_EQ(prompter.messages().size(), 1);
    EXPECT_TRUE(toggled.isVisible());
}

TEST(StaticExTest, HandCursorOnRequest)
{
    CStaticEx label;
    label.SetHandCursor(true);
    EXPECT_EQ(label.cursor().shape(), Qt::PointingHandCursor);
    label.SetHandCursor(false);
    EXPECT_EQ(label.cursor().shape(), Qt::ArrowCursor);
}
