#include "app/GlobalTables.h"

#include <gtest/gtest.h>

TEST(GlobalTables, LookUpNames)
{
    EXPECT_EQ(g_PayloadPatternNames[6], u"Random");
    EXPECT_EQ(g_PayloadPatternNames[7], u"0xFFFF");
    EXPECT_EQ(g_IgmpVersionNames[2], u"Version 3");
    EXPECT_EQ(g_CounterColumnTitles[8], QString::fromUtf8("Packet loss rate(\xE2\x80\xB0)"));
}
