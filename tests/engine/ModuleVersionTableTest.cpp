#include "engine/ModuleVersionTable.h"

#include <gtest/gtest.h>

TEST(ModuleVersionTable, FindsTheMinimumVersionsOfAModel)
{
    const UtModuleVersion *row = FindModuleVersion(u"QM-M05");
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->Fpga, u"v3.1b034");
    EXPECT_EQ(row->Firmware, u"v1.7b003");
    EXPECT_EQ(row->Prom, u"v1.6b001");
    EXPECT_EQ(FindModuleVersion(u"QM-M24")->Fpga, u"v1.4b008");
    EXPECT_EQ(FindModuleVersion(u"QM-M01"), nullptr);
}
