#include <QApplication>
#include <gtest/gtest.h>

TEST(TestEnvironment, RunsOnTheOffscreenPlatform)
{
    EXPECT_EQ(QGuiApplication::platformName(), QStringLiteral("offscreen"));
}
