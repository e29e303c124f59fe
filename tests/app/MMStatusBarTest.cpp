#include "app/MMStatusBar.h"
#include "app/ShellArt.h"

#include <QLabel>
#include <QMainWindow>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>
#include <gtest/gtest.h>

TEST(MMStatusBar, ConnectionPaneFollowsTextAndIconAndPanesStayTwo)
{
    MMStatusBar bar;
    EXPECT_EQ(bar.PaneText(1), QStringLiteral("ConnectStatus   "));
    const int plainWidth = bar.ConnectionPane()->minimumWidth();
    const int iconWidth = bar.style()->pixelMetric(QStyle::PM_SmallIconSize);

    EXPECT_EQ(bar.SetPanes({QIcon(), ShellArt::icon(ShellArt::ConnectedIcon)}), 1);
    bar.SetPaneText(1, QStringLiteral("Connected"));
    EXPECT_EQ(bar.PaneText(1), QStringLiteral("Connected"));
    EXPECT_EQ(bar.ConnectionPane()->minimumWidth(), plainWidth + iconWidth);

    bar.SetPanes({QIcon(), ShellArt::icon(ShellArt::NotConnectedIcon)});
    bar.SetPaneText(1, QStringLiteral("Disconnected"));
    EXPECT_EQ(bar.PaneCount(), 2);
    EXPECT_EQ(bar.PaneIcon(1).cacheKey(), bar.PaneIcon(1).cacheKey());
    EXPECT_FALSE(bar.PaneIcon(1).isNull());
    EXPECT_TRUE(bar.PaneIcon(0).isNull());
    EXPECT_EQ(bar.PaneText(1), QStringLiteral("Disconnected"));
}

TEST(MMStatusBar, MessagePaneSurvivesMenuHoverTipsAndPaneClickSendsItsId)
{
    QMainWindow window;
    auto *bar = new MMStatusBar(&window);
    window.setStatusBar(bar);
    window.show();
    bar->SetPaneText(0, QStringLiteral("Perform testing ...5 sec"));
    bar->showMessage(QStringLiteral("hover tip")); // what a menu hover does
    bar->clearMessage();
    EXPECT_EQ(bar->PaneText(0), QStringLiteral("Perform testing ...5 sec"));

    QSignalSpy commands(bar, &MMStatusBar::paneCommand);
    QTest::mouseClick(bar->ConnectionPane(), Qt::LeftButton);
    ASSERT_EQ(commands.size(), 1);
    EXPECT_EQ(commands.first().first().toInt(), 102);
}
