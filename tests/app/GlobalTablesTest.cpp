#include "app/GlobalTables.h"

#include <gtest/gtest.h>

TEST(GlobalTables, LookUpNamesAndVersions)
{
    EXPECT_EQ(g_PayloadPatternNames[6], u"Random");
    EXPECT_EQ(g_PayloadPatternNames[7], u"0xFFFF");
    EXPECT_EQ(g_IgmpVersionNames[2], u"Version 3");
    EXPECT_EQ(g_CounterColumnTitles[8], QString::fromUtf8("Packet loss rate(\xE2\x80\xB0)"));
    EXPECT_EQ(g_PortSettingTitles.back(), u"SFP Management Interface Mode");

    const UtModuleVersion *row = FindModuleVersion(u"QM-M05");
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->Fpga, u"v3.1b034");
    EXPECT_EQ(row->Firmware, u"v1.7b003");
    EXPECT_EQ(row->Prom, u"v1.6b001");
    EXPECT_EQ(FindModuleVersion(u"QM-M24")->Fpga, u"v1.4b008");
    EXPECT_EQ(FindModuleVersion(u"QM-M01"), nullptr);
}
