// Decoding of the server's event messages into the session tables, from hand-written messages.
#include "engine/EventCallback.h"
#include "SessionFixtures.h"

#include <cstring>
#include <gtest/gtest.h>

namespace {

class EventCallbackTest : public testing::Test
{
protected:
    void SetUp() override
    {
        g_Session.resetTables();
        // Controller '0' on card 1, three test ports on cards 2 and 3.
        deliver(inventoryMessage({{1, 1, 1, '0', 0}, {1, 2, 1, 53, 0}, {1, 2, 2, 53, 1}, {1, 3, 1, 66, 0}}));
    }
    void TearDown() override { g_Session.resetTables(); }

    static TestMessage eeprom(uint16_t type, uint32_t selector, const char *model)
    {
        TestMessage message(0x1E00, 282);
        message.be16(8, type).be32(4, selector).port(1, 2, 1);
        std::memcpy(message.bytes.data() + 58, model, std::strlen(model));
        std::memcpy(message.bytes.data() + 102, "SN-42", 5);
        std::memcpy(message.bytes.data() + 122, "202301020304", 12);
        return message;
    }
};

} // namespace

TEST_F(EventCallbackTest, InventoryFillsPortTablesAndController)
{
    EXPECT_EQ(g_Session.PortCount, 3);
    EXPECT_EQ(g_Session.InventoryReceived, 1);
    EXPECT_EQ(g_Session.InventoryReady, 1);
    EXPECT_EQ(g_Session.Controller.Model, '0');
    EXPECT_EQ(g_Session.Controller.Id.BID, 1);
    EXPECT_EQ(LookupPortIndex(1, g_Session.PortIndex, 3, 1), 2);
    EXPECT_EQ(g_Session.PortTable[2].TYPE, 66);
    EXPECT_EQ(g_Session.PortAddr[1].Status, 0x0100);
    EXPECT_EQ(g_Session.Ports.size(), 3u);
    EXPECT_EQ(g_Session.Ports[0].SpeedMedia, 0); // until its link status arrives
}

TEST_F(EventCallbackTest, InventoriesThatChangeNothing)
{
    deliver(TestMessage(0x80FE, 22).be16(20, 0xFFFF));
    EXPECT_EQ(g_Session.PortCount, 3);
    // Count larger than the message: ignored as a whole.
    deliver(TestMessage(0x80FE, 28).be16(20, 2));
    EXPECT_EQ(g_Session.PortCount, 3);
    // 640 test ports do not fit the port table: refused, the old inventory stays.
    std::vector<InventoryEntry> many;
    for (int i = 0; i < 640; ++i)
        many.push_back({uint16_t(i / 60), uint8_t(2 + i % 60 / 4), uint8_t(1 + i % 4), 53, 0});
    deliver(inventoryMessage(many));
    EXPECT_EQ(g_Session.PortCount, 3);
    EXPECT_EQ(LookupPortIndex(1, g_Session.PortIndex, 2, 2), 1);
}

TEST_F(EventCallbackTest, InventoryWithoutTestPortsEmptiesTheTables)
{
    deliver(inventoryMessage({{1, 1, 1, '1', 0}}));
    EXPECT_EQ(g_Session.PortCount, 0);
    EXPECT_EQ(g_Session.InventoryReady, 0);
    EXPECT_EQ(g_Session.InventoryReceived, 1);
    EXPECT_EQ(LookupPortIndex(1, g_Session.PortIndex, 2, 1), -1);
    EXPECT_EQ(g_Session.Controller.Model, '1');
}

TEST_F(EventCallbackTest, EntriesOutsideThePortTableAreSkipped)
{
    deliver(inventoryMessage({{1, 17, 1, 53, 0}, {1, 2, 5, 53, 0}, {256, 2, 1, 53, 0}, {1, 4, 4, 88, 0}}));
    EXPECT_EQ(g_Session.PortCount, 1);
    EXPECT_EQ(LookupPortIndex(1, g_Session.PortIndex, 4, 4), 0);
}

TEST_F(EventCallbackTest, LaterInventoryKeepsRecordsAndRenumbers)
{
    g_Session.Ports[FindPortRecordIndex(1, 3, 1)].VLanID = 77;
    g_Session.LockedFlags[2] = 1;
    // Port (1,2,1) is gone, (1,3,1) moves to index 0, (1,4,1) is new.
    deliver(inventoryMessage({{1, 3, 1, 66, 0}, {1, 4, 1, 88, 1}}));
    EXPECT_EQ(g_Session.PortCount, 2);
    EXPECT_EQ(LookupPortIndex(1, g_Session.PortIndex, 2, 1), -1);
    EXPECT_EQ(LookupPortIndex(1, g_Session.PortIndex, 3, 1), 0);
    EXPECT_EQ(LookupPortIndex(1, g_Session.PortIndex, 4, 1), 1);
    EXPECT_EQ(g_Session.Ports.size(), 4u);
    EXPECT_EQ(g_Session.Ports[FindPortRecordIndex(1, 3, 1)].VLanID, 77);
    EXPECT_EQ(g_Session.LockedFlags[0], 1); // this program's lock stays with its port
    EXPECT_EQ(g_Session.LockedFlags[1], 0);
}

TEST_F(EventCallbackTest, LinkStatusListUpdatesKnownPorts)
{
    int refreshed = 0;
    g_Session.PortGridRefresh = [&] { ++refreshed; };
    TestMessage list(0x80FC, 24 + 4 * 3);
    list.be16(20, 1);
    list.u8(22, 2).u8(23, 1).be16(24, 11);
    list.u8(26, 9).u8(27, 1).be16(28, 7); // unknown card
    list.u8(30, 2).u8(31, 2).be16(32, 255);
    list.be16(34, 0xFFAB);
    deliver(list);
    g_Session.PortGridRefresh = nullptr;
    EXPECT_EQ(refreshed, 1);
    EXPECT_EQ(g_Session.PortHwInfo[0].SpeedMedia, 11);
    EXPECT_EQ(g_Session.PortHwInfo[0].Status2, 9 * 256 + 1); // the word after the entry
    EXPECT_EQ(g_Session.PortHwInfo[1].SpeedMedia, 255);
    EXPECT_EQ(g_Session.PortHwInfo[1].Status2, 0xFFAB);
    EXPECT_EQ(g_Session.Ports[FindPortRecordIndex(1, 2, 1)].SpeedMedia, 11);

    // A list for chassis 0xFFAB, or one cut short, changes nothing beyond what it holds.
    deliver(TestMessage(0x80FC, 28).be16(20, 0xFFAB).u8(22, 2).u8(23, 1).be16(24, 3));
    EXPECT_EQ(g_Session.PortHwInfo[0].SpeedMedia, 11);
    deliver(TestMessage(0x80FC, 25).be16(20, 1).u8(22, 2).u8(23, 1).u8(24, 3));
    EXPECT_EQ(g_Session.PortHwInfo[0].SpeedMedia, 11);
}

TEST_F(EventCallbackTest, PortCountersConvertBigEndianFields)
{
    TestMessage counters(0x0100, 1392);
    counters.port(1, 2, 2);
    counters.be16(20 + 12, 1).be32(20 + 12 + 4, 2); // 48-bit-sized value in a 64-bit field
    counters.be32(20 + 944, 1).be32(20 + 948, 5);   // tx bytes
    counters.be32(20 + 1368, 0xDEADBEEF);
    deliver(counters);
    const UtPortCounters &result = g_Session.PortCounters[1];
    EXPECT_EQ(uint64_t(result.MulticastRx), (uint64_t(1) << 48) + 2);
    EXPECT_EQ(uint64_t(result.TxBytes), (uint64_t(1) << 32) + 5);
    EXPECT_EQ(uint64_t(result.Value10), 0xDEADBEEFu);
    EXPECT_EQ(result.Id.PID, 2);

    TestMessage subCode = counters;
    subCode.be16(10, 1).be32(20 + 948, 9);
    deliver(subCode);
    EXPECT_EQ(uint64_t(g_Session.PortCounters[1].TxBytes), (uint64_t(1) << 32) + 5);

    TestMessage shortened(0x0100, 1391);
    shortened.port(1, 2, 2);
    deliver(shortened);
    EXPECT_EQ(uint64_t(g_Session.PortCounters[1].TxBytes), (uint64_t(1) << 32) + 5);
}

TEST_F(EventCallbackTest, StreamStatisticsWalkItsItems)
{
    UtPortRecord &record = g_Session.Ports[FindPortRecordIndex(1, 2, 1)];
    record.StreamItemA = 4;
    record.StreamItemB = 5;
    // type 1 stream 0 (tx A = 2^32 + 2), type 2 stream 4 (rx A, latency 900), type 8 skipped,
    // type 2 stream 9 (another stream: no change), type 2 stream 5 (rx B, latency 300)
    TestMessage stats(0x1500, 24 + 22 + 50 + 18 + 50 + 50);
    stats.port(1, 2, 1);
    size_t at = 24;
    stats.be16(at, 0x1000).be16(at + 2, 1).be32(at + 4, 2);
    at += 22;
    stats.be16(at, 0x2004).be32(at + 4, 40).be32(at + 24, 900);
    at += 50;
    stats.be16(at, 0x8000);
    at += 18;
    stats.be16(at, 0x2009).be32(at + 4, 99).be32(at + 24, 5000);
    at += 50;
    stats.be16(at, 0x2005).be32(at + 4, 30).be32(at + 24, 300);
    deliver(stats);
    const UtPortState &state = g_Session.PortStates[0];
    EXPECT_EQ(uint64_t(state.TxCountA), (uint64_t(1) << 32) + 2);
    EXPECT_EQ(uint64_t(state.RxCountA), 40u);
    EXPECT_EQ(uint64_t(state.RxCountB), 30u);
    EXPECT_EQ(uint64_t(state.MaxLatencyTicks), 900u);

    // An item of unknown type ends the walk: the item after it is not read.
    TestMessage unknown(0x1500, 24 + 2 + 50);
    unknown.port(1, 2, 1).be16(24, 0x9000).be16(26, 0x2004).be32(30, 7);
    deliver(unknown);
    EXPECT_EQ(uint64_t(g_Session.PortStates[0].RxCountA), 40u);
    // An item cut off by the message's end is not read either.
    TestMessage cut(0x1500, 24 + 30);
    cut.port(1, 2, 1).be16(24, 0x2004).be32(28, 8);
    deliver(cut);
    EXPECT_EQ(uint64_t(g_Session.PortStates[0].RxCountA), 40u);
}

TEST_F(EventCallbackTest, TimeStampsAndPortStatusAndClientCount)
{
    deliver(TestMessage(0x1A00, 32).port(1, 3, 1).be32(28, 1234));
    deliver(TestMessage(0x0200, 40).port(1, 3, 1).be16(26, 3).be32(36, 5678));
    EXPECT_EQ(uint64_t(g_Session.DelayStamps[2].TxStamp), 1234u);
    EXPECT_EQ(uint64_t(g_Session.DelayStamps[2].RxStamp), 5678u);
    EXPECT_EQ(uint64_t(g_Session.DelayStamps[2].CaptureWord), 3);
    deliver(TestMessage(0x0E00, 28).port(1, 2, 1).be16(24, 0x0100).be16(26, 2));
    EXPECT_EQ(g_Session.PortAddr[0].Status, 0x0100);
    EXPECT_EQ(g_Session.PortAddr[0].Status2, 2);
    deliver(TestMessage(0x0E00, 28).port(1, 9, 1).be16(24, 0x0100)); // unknown port
    deliver(TestMessage(0x80F9, 25).u8(24, 3));
    EXPECT_EQ(g_Session.ClientCount, 3);
}

TEST_F(EventCallbackTest, ControllerEepromRecordsFollowTheSelector)
{
    deliver(eeprom('0', 1, "QM-C4"));
    EXPECT_STREQ(g_Session.ChassisEeprom[1].ModelName, "QM-C4");
    EXPECT_EQ(g_Session.EepromArrived, 1);
    EXPECT_EQ(g_Session.ControllerEepromArrived, 1);
    deliver(eeprom('0', 0, "CHASSIS"));
    EXPECT_STREQ(g_Session.ChassisEeprom[2].ModelName, "CHASSIS");
    EXPECT_EQ(g_Session.EepromAnswerCount, 0u);
    // Start-up reads selector 0 alone: the chassis record, whatever came before.
    deliver(eeprom('0', 0, "CHASSIS2"));
    EXPECT_STREQ(g_Session.ChassisEeprom[2].ModelName, "CHASSIS2");
    EXPECT_STREQ(g_Session.ChassisEeprom[1].ModelName, "QM-C4");
    EXPECT_EQ(std::string(g_Session.ChassisEeprom[1].SerialNumber), "SN-42");
    EXPECT_EQ(std::string(g_Session.ChassisEeprom[1].ManufactureDate, 12), "202301020304");
}

TEST_F(EventCallbackTest, EepromOfOtherCardsAndModules)
{
    g_Session.EepromArrived = 0;
    deliver(eeprom('1', 0, "QM-C2"));
    EXPECT_STREQ(g_Session.ChassisEeprom[0].ModelName, "QM-C2");
    EXPECT_EQ(g_Session.EepromArrived, 0);
    g_Session.ControllerEepromArrived = 0;
    deliver(eeprom('2', 0, "X"));
    EXPECT_EQ(g_Session.ControllerEepromArrived, 1);
    EXPECT_STREQ(g_Session.ChassisEeprom[0].ModelName, "QM-C2");
    deliver(eeprom(53, 0, "QM-M13"));
    EXPECT_STREQ(g_Session.PortEeprom[0].ModelName, "QM-M13");
    TestMessage unknownPort = eeprom(53, 0, "OTHER");
    unknownPort.port(1, 8, 1);
    deliver(unknownPort);
    TestMessage shortened(0x1E00, 133);
    shortened.be16(8, '1');
    deliver(shortened);
    EXPECT_STREQ(g_Session.ChassisEeprom[0].ModelName, "QM-C2");
}

TEST_F(EventCallbackTest, BoardVersionsAndFirmwareCheck)
{
    // Module QM-M13 (53) on port (1,2,1): firmware W1.W2 b W8, FPGA W5.W6 b W7.
    auto version = [](uint16_t type, uint16_t a1, uint16_t a2, uint16_t a3, uint16_t b1, uint16_t b2,
                      uint16_t b3) {
        TestMessage message(0x0500, 84);
        message.be16(8, type).port(1, 2, 1);
        message.be16(28, a1).be16(30, a2).be16(42, a3).be16(36, b1).be16(38, b2).be16(40, b3);
        message.u8(70, 0xAB);
        return message;
    };
    deliver(version(53, 1, 7, 2, 4, 0, 6));
    EXPECT_EQ(g_Session.FirmwareOutdated[0], 1);
    EXPECT_EQ(g_Session.BoardVersions[0].W[7], 2);
    EXPECT_EQ(g_Session.BoardVersions[0].MAC[0], 0xAB);
    deliver(version(53, 1, 7, 3, 4, 0, 6));
    EXPECT_EQ(g_Session.FirmwareOutdated[0], 0);
    deliver(version('0', 2, 1, 0, 0, 0, 0));
    EXPECT_EQ(g_Session.ControllerVersionSeen, 1);
    EXPECT_EQ(g_Session.ControllerVersion.W[0], 2);
}

TEST(FirmwareCheck, ComparesVersionTriples)
{
    const struct
    {
        uint16_t type;
        uint16_t a[3], b[3];
        bool outdated;
    } cases[] = {
        {66, {1, 7, 2}, {3, 1, 34}, true},   // QM-M05 firmware below 1.7b003
        {66, {1, 7, 3}, {3, 1, 34}, false},  // at the minimum
        {66, {1, 7, 3}, {3, 1, 33}, true},   // FPGA below 3.1b034
        {66, {1, 10, 0}, {3, 1, 34}, false}, // a minor of 10 is above 7
        {66, {2, 0, 0}, {3, 1, 34}, false},  // 2.0b000 is above 1.7b003
        {88, {0, 9, 30}, {1, 4, 14}, false}, // QM-M18
        {88, {0, 9, 29}, {1, 4, 14}, true},  {57, {0, 0, 0}, {0, 0, 0}, false}, // QM-M10 has no minimum
        {200, {0, 0, 0}, {0, 0, 0}, false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(IsFirmwareOlderThanRequired(c.type, c.a[0], c.a[1], c.a[2], c.b[0], c.b[1], c.b[2]),
                  c.outdated)
            << c.type << " " << c.a[0] << "." << c.a[1] << "b" << c.a[2];
    QString fpga, firmware;
    ASSERT_TRUE(LookupRequiredFirmware(55, fpga, firmware));
    EXPECT_EQ(fpga, "v3.0b003");
    EXPECT_EQ(firmware, "v1.7b003");
    EXPECT_FALSE(LookupRequiredFirmware(52 + 200, fpga, firmware));
}

TEST(StreamCounters, Unpack48BitCountsReplace)
{
    uint8_t item[22] = {};
    item[3] = 1; // high word 1
    item[7] = 2; // low word 2
    UtPortState state{};
    state.RxCountA = 99;
    UnpackWireCounter48A(item, state);
    EXPECT_EQ(uint64_t(state.RxCountA), 4294967298u);
    UnpackWireCounter48D(item, state);
    EXPECT_EQ(uint64_t(state.TxCountB), 4294967298u);
}

TEST(EventCallbackInput, ShortAndUnknownMessagesAreIgnored)
{
    KvEventCallback(nullptr, 0);
    const uint8_t one[1] = {0x80};
    KvEventCallback(one, 1);
    const uint8_t header[21] = {0x80, 0xFE};
    KvEventCallback(header, sizeof header);
    TestMessage unknown(0x1234, 64);
    deliver(unknown);
    SUCCEED();
}
