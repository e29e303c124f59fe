// The session tables: demo inventory, port lookups and the module type sets.
#include "engine/Session.h"

#include <gtest/gtest.h>

namespace {

class SessionTest : public testing::Test
{
protected:
    void SetUp() override { g_Session.resetTables(); }
    void TearDown() override { g_Session.resetTables(); }
};

} // namespace

TEST_F(SessionTest, DemoInventoryHasEightPortsOnChassis255)
{
    g_Session.BuildDemoInventory();
    EXPECT_EQ(g_Session.PortCount, 8);
    EXPECT_EQ(g_Session.DemoHardware, 1);
    EXPECT_EQ(g_Session.InventoryReceived, 0);
    ASSERT_EQ(g_Session.Ports.size(), 8u);
    const struct
    {
        uint8_t card, port;
        int16_t index;
    } lookups[] = {{2, 4, 3}, {4, 2, 7}, {2, 1, 0}, {3, 2, 5}, {3, 3, -1}, {5, 1, -1}, {4, 3, -1}};
    for (const auto &lookup : lookups)
        EXPECT_EQ(LookupPortIndex(255, g_Session.PortIndex, lookup.card, lookup.port), lookup.index)
            << int(lookup.card) << "," << int(lookup.port);
    EXPECT_EQ(LookupPortIndex(1, g_Session.PortIndex, 2, 1), -1);

    const UtPortHwInfo &fibre = g_Session.PortHwInfo[7];
    EXPECT_EQ(fibre.SpeedMedia, 0x800B);
    EXPECT_EQ(fibre.Status2, 1);
    EXPECT_EQ(g_Session.PortTable[4].TYPE, 55);
    EXPECT_EQ(g_Session.PortHwInfo[0].SpeedMedia, 7);
}

TEST_F(SessionTest, NewPortRecordTakesItsAddressesFromThePort)
{
    g_Session.BuildDemoInventory();
    const UtPortRecord &record = g_Session.Ports[FindPortRecordIndex(255, 3, 2)];
    const uint8_t mac[6] = {0x0A, 0x3F, 0x5C, 0xFF, 0x03, 0x02};
    EXPECT_TRUE(std::equal(mac, mac + 6, record.MAC));
    const auto *ip = reinterpret_cast<const uint8_t *>(&record.IPAddress);
    const auto *gateway = reinterpret_cast<const uint8_t *>(&record.GatewayIP);
    const auto *mask = reinterpret_cast<const uint8_t *>(&record.Mask);
    EXPECT_EQ(std::vector<uint8_t>(ip, ip + 4), (std::vector<uint8_t>{192, 168, 3, 2}));
    EXPECT_EQ(std::vector<uint8_t>(gateway, gateway + 4), (std::vector<uint8_t>{192, 168, 1, 1}));
    EXPECT_EQ(std::vector<uint8_t>(mask, mask + 4), (std::vector<uint8_t>{255, 255, 255, 0}));
    EXPECT_EQ(record.Flag, 1);
    EXPECT_EQ(record.SpeedMedia, 11);
    EXPECT_EQ(record.ModuleType, 55);
    EXPECT_EQ(record.Select_state + record.SourcePair + record.HostPair + record.VLanState +
                  record.UniVLanState,
              0);
}

TEST_F(SessionTest, LookupsOutsideTheTableFindNothing)
{
    EXPECT_EQ(FindPortRecordIndex(255, 2, 1), 0); // empty: the count
    EXPECT_EQ(LookupPortIndex(256, g_Session.PortIndex, 2, 1), -1);
    EXPECT_EQ(LookupPortIndex(255, g_Session.PortIndex, 17, 1), -1);
    EXPECT_EQ(LookupPortIndex(255, g_Session.PortIndex, 2, 5), -1);
    EXPECT_EQ(LookupPortIndex(0xFFFF, g_Session.PortIndex, 255, 255), -1);
}

TEST_F(SessionTest, ModuleTypeAndCardCharacterSets)
{
    EXPECT_FALSE(IsPortModuleTypeCode(66));
    EXPECT_FALSE(IsPortModuleTypeCode(70));
    EXPECT_TRUE(IsPortModuleTypeCode(148));
    EXPECT_TRUE(IsPortModuleTypeCode(52));
    EXPECT_TRUE(IsCardSlotTypeChar('_'));
    EXPECT_TRUE(IsCardSlotTypeChar('0'));
    EXPECT_FALSE(IsCardSlotTypeChar('4'));
    EXPECT_FALSE(IsCardSlotTypeChar(53));
}
