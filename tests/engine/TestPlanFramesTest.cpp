// Frames the test plan builds: golden bytes derived by hand, address helpers, and every builder's
// output read back by an independent checker.
#include "TestPlanFixture.h"

#include <cstring>

namespace {

class TestPlanFrames : public TestPlanFixture
{
protected:
    // The IGMP frame of host port 1 ((2,2), 192.168.2.2, pair 1 = 239.1.1.1).
    UtTxEntry igmpEntry(uint32_t message, uint8_t portIndex = 1, uint32_t side = 1)
    {
        UtTxEntry entry;
        std::memset(&entry, 0, sizeof entry);
        EXPECT_TRUE(plan.BuildFrameTemplate(entry, portIndex));
        EXPECT_TRUE(plan.BuildIgmpFrame(entry, message, side, portIndex, 0, 0));
        return entry;
    }

    static void expectFrame(const UtTxEntry &entry, const char *hex)
    {
        std::vector<uint8_t> expected = hexBytes(hex);
        expected.resize(60, 0);
        EXPECT_EQ(frameOf(entry), expected);
        const CheckedFrame checked = checkFrame(entry.Frame, entry.FrameLength);
        EXPECT_EQ(checked.error, "");
    }
};

} // namespace

TEST_F(TestPlanFrames, IgmpV1V2ReportsAndLeavesAreTheGoldenBytes)
{
    const struct
    {
        uint8_t version;
        uint32_t message;
        bool routerAlert;
        const char *frame;
    } cases[] = {
        {2, 0, false,
         "01005E010101 0A3F5C010202 0800 4500001C 00000000 0102 0734 C0A80202 EF010101 1600F9FC EF010101"},
        {2, 0, true,
         "01005E010101 0A3F5C010202 0800 46000020 00000000 0102 722B C0A80202 EF010101 94040000 1600F9FC "
         "EF010101"},
        {1, 0, false,
         "01005E010101 0A3F5C010202 0800 4500001C 00000000 0102 0734 C0A80202 EF010101 1200FDFC EF010101"},
        {1, 1, false,
         "01005E010101 0A3F5C010202 0800 4500001C 00000000 0102 0734 C0A80202 EF010101 1700F8FC EF010101"},
        {2, 1, false,
         "01005E010101 0A3F5C010202 0800 4500001C 00000000 0102 0734 C0A80202 EF010101 1700F8FC EF010101"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.frame);
        plan.IgmpVersion = c.version;
        g_Session.RouterAlert = c.routerAlert;
        const UtTxEntry entry = igmpEntry(c.message);
        expectFrame(entry, c.frame);
        EXPECT_EQ(entry.FrameLength, 60);
        EXPECT_EQ(entry.FrameLength2, 60);
    }
}

TEST_F(TestPlanFrames, IgmpV3JoinAndLeaveOutsideSourceFilter)
{
    plan.IgmpVersion = 3;
    expectFrame(igmpEntry(0), "01005E000016 0A3F5C010202 0800 45000024 00000000 0102 1718 C0A80202 E0000016 "
                              "2200EBFB 00000001 02000000 EF010101");
    expectFrame(igmpEntry(1), "01005E000016 0A3F5C010202 0800 45000024 00000000 0102 1718 C0A80202 E0000016 "
                              "2200EAFB 00000001 03000000 EF010101");
    g_Session.RouterAlert = 1;
    expectFrame(igmpEntry(0), "01005E000016 0A3F5C010202 0800 46000028 00000000 0102 820F C0A80202 E0000016 "
                              "94040000 2200EBFB 00000001 02000000 EF010101");
}

TEST_F(TestPlanFrames, VlanTagOfThePortPrecedesTheHeader)
{
    UtPortRecord &record = g_Session.Ports[1];
    record.VLanState = 1;
    record.VLanPriority = 5;
    record.CFI = 0;
    record.VLanID = 100;
    expectFrame(igmpEntry(0), "01005E010101 0A3F5C010202 8100A064 0800 4500001C 00000000 0102 0734 C0A80202 "
                              "EF010101 1600F9FC EF010101");
    // Any non-zero VLAN state tags every frame of the port alike.
    record.VLanState = 2;
    EXPECT_EQ(checkFrame(igmpEntry(0).Frame, 60).tagControl, 0xA064);
}

TEST_F(TestPlanFrames, TemplateOfTheLearningFrame)
{
    UtTxEntry entry;
    std::memset(&entry, 0xFF, sizeof entry);
    plan.PayloadPattern = 9;
    ASSERT_TRUE(plan.BuildFrameTemplate(entry, 0));
    std::vector<uint8_t> expected =
        hexBytes("FFFFFFFFFFFF 0A3F5C010201 0800 4500002E 00000000 8001 B67C C0A80201 "
                 "C0A80101 080000000000");
    expected.resize(60, 0xFF);
    EXPECT_EQ(frameOf(entry), expected);
    EXPECT_EQ(checkFrame(entry.Frame, 60).error, "");
    EXPECT_EQ(entry.Port.CID, 1);
    EXPECT_EQ(entry.Port.BID, 2);
    EXPECT_EQ(entry.Port.PID, 1);
    EXPECT_EQ(entry.EntryNumber, 0u);
    EXPECT_EQ(entry.Gap, 500000u);
    EXPECT_EQ(entry.Word12, 96u);
    EXPECT_EQ(entry.Word16, 1u);
    EXPECT_EQ(entry.PayloadPattern, 9);
    EXPECT_EQ(entry.StreamNumber, 1);
    EXPECT_EQ(entry.FrameLength2, 60);
    EXPECT_EQ(entry.Byte80, 0);
    EXPECT_EQ(entry.Byte81, 0xFF);
    EXPECT_EQ(entry.Words84[3], 0xFFFFFFFFu);

    // The pacing word follows the low byte of the speed code, fibre ports included.
    const struct
    {
        uint16_t media;
        uint32_t gap;
    } speeds[] = {{0x800B, 500000}, {7, 50000}, {5, 250000}, {13, 0xFFFFFFFF}};
    for (const auto &speed : speeds) {
        g_Session.Ports[0].SpeedMedia = speed.media;
        std::memset(&entry, 0xFF, sizeof entry);
        plan.BuildFrameTemplate(entry, 0);
        EXPECT_EQ(entry.Gap, speed.gap) << speed.media;
    }
}

TEST_F(TestPlanFrames, MulticastDataFrameOfAPair)
{
    UtTxEntry entry;
    std::memset(&entry, 0xFF, sizeof entry);
    ASSERT_TRUE(plan.BuildFrameTemplate(entry, 0));
    ASSERT_TRUE(plan.BuildMulticastDataFrame(entry, 64, 0, 0));
    entry.FrameLength = 60;
    std::vector<uint8_t> expected = hexBytes(
        "01005E010101 0A3F5C010201 0800 4500002E 00000000 4011 C813 C0A80201 EF010101 00070007 001A0000");
    expected.resize(60, 0xFF);
    EXPECT_EQ(frameOf(entry), expected);
    EXPECT_EQ(entry.FrameLength2, 60);

    // 1518 bytes behind a tag: IP 1496, UDP 1476.
    g_Session.Ports[0].VLanState = 1;
    std::memset(&entry, 0xFF, sizeof entry);
    plan.BuildFrameTemplate(entry, 0);
    ASSERT_TRUE(plan.BuildMulticastDataFrame(entry, 1518, 0, 0));
    entry.FrameLength = 1514;
    const CheckedFrame checked = checkFrame(entry.Frame, entry.FrameLength);
    EXPECT_EQ(checked.error, "");
    EXPECT_EQ(checked.ipTotal, 1496u);
    EXPECT_EQ(checked.udpLength, 1476);
    EXPECT_EQ(checked.ttl, 0x40);
}

TEST_F(TestPlanFrames, SourceFilterReportCarriesTheRecordsItCounts)
{
    plan.IgmpVersion = 3;
    plan.TestType = TestSourceFilter;
    filterGroups = {"225.1.1.1", "225.1.1.2"};
    filterHosts = {{"(  1, 2,2) - QM-M13",
                    {{"225.1.1.1", 1, {"10.0.0.1", "10.0.0.2"}}, {"225.1.1.2", 2, {"10.0.0.3"}}}}};
    const UtTxEntry join = igmpEntry(0);
    EXPECT_EQ(join.FrameLength, 536);
    EXPECT_EQ(join.FrameLength2, 536);
    std::vector<uint8_t> expected = hexBytes(
        "01005E000016 0A3F5C010202 0800 45000038 00000000 0102 1704 C0A80202 E0000016 2200F8ED 00000002 "
        "01000002 E1010101 0A000001 0A000002 02000001 E1010102 0A000003");
    expected.resize(536, 0);
    EXPECT_EQ(frameOf(join), expected);
    EXPECT_EQ(checkFrame(join.Frame, join.FrameLength).igmpRecords, 2u);

    // The leave: CHANGE_TO_INCLUDE without sources, one record per group.
    const UtTxEntry leave = igmpEntry(1);
    EXPECT_EQ(leave.FrameLength, 60);
    expectFrame(leave, "01005E000016 0A3F5C010202 0800 4500002C 00000000 0102 1710 C0A80202 E0000016 "
                       "220013F7 00000002 03000000 E1010101 03000000 E1010102");

    // A port without settings (the source) announces no record rather than records it does not carry.
    const UtTxEntry source = igmpEntry(0, 0, 0);
    const CheckedFrame checked = checkFrame(source.Frame, source.FrameLength);
    EXPECT_EQ(checked.error, "");
    EXPECT_EQ(checked.igmpRecords, 0u);
}

TEST_F(TestPlanFrames, SourceFilterReportLargerThanTheUsualFrameIsSizedToItsContent)
{
    plan.IgmpVersion = 3;
    plan.TestType = TestSourceFilter;
    UtFilterHost host{"(  1, 2,2) - QM-M13", {}};
    for (int g = 0; g < 20; ++g) {
        UtFilterGroup group{QString("225.1.1.%1").arg(g + 1), 2, {}};
        for (int s = 0; s < 10; ++s)
            group.Sources << QString("10.0.%1.%2").arg(g).arg(s + 1);
        host.Groups.push_back(group);
    }
    filterHosts = {host};
    const UtTxEntry entry = igmpEntry(0);
    const size_t igmpLength = 8 + 20 * (8 + 40);
    EXPECT_EQ(entry.FrameLength, 14 + 20 + igmpLength);
    const CheckedFrame checked = checkFrame(entry.Frame, entry.FrameLength);
    EXPECT_EQ(checked.error, "");
    EXPECT_EQ(checked.igmpRecords, 20u);

    // More than one frame holds is refused, not cut.
    for (int g = 20; g < 40; ++g)
        filterHosts[0].Groups.push_back(host.Groups[0]);
    UtTxEntry tooLarge;
    std::memset(&tooLarge, 0, sizeof tooLarge);
    plan.BuildFrameTemplate(tooLarge, 1);
    EXPECT_FALSE(plan.BuildIgmpFrame(tooLarge, 0, 1, 1, 0, 0));
}

TEST_F(TestPlanFrames, GroupAddressStepping)
{
    const struct
    {
        std::array<uint8_t, 4> base;
        uint32_t index;
        std::array<uint8_t, 4> expected;
    } cases[] = {
        {{225, 0, 0, 250}, 10, {225, 0, 1, 4}},     {{225, 0, 0, 1}, 0, {225, 0, 0, 1}},
        {{225, 0, 0, 1}, 0x010203, {225, 1, 2, 4}}, {{225, 255, 255, 250}, 10, {226, 0, 0, 4}},
        {{239, 255, 255, 250}, 10, {224, 0, 1, 4}},
    };
    for (const auto &c : cases) {
        std::copy(c.base.begin(), c.base.end(), plan.TestPairs[2].GroupIP);
        uint8_t out[4];
        ASSERT_TRUE(plan.NextGroupAddress(out, 3, c.index, 1));
        EXPECT_EQ((std::array<uint8_t, 4>{out[0], out[1], out[2], out[3]}), c.expected) << c.index;
        ASSERT_TRUE(plan.NextGroupAddress(out, 3, c.index, 0));
        EXPECT_EQ(out[3], c.base[3]);
    }
    // Only indexes above 250 are logged.
    EXPECT_EQ(log, QStringList{"bf 225,0,0,1 -- af 225,1,2,4   -idx 66051 \n"});

    // Pair numbers that name no pair are refused, not read outside the table.
    uint8_t out[4];
    EXPECT_FALSE(plan.NextGroupAddress(out, 0, 0, 0));
    EXPECT_FALSE(plan.NextGroupAddress(out, 9, 0, 0));
    g_Session.Ports[1].HostPair = 0;
    UtTxEntry entry{};
    plan.BuildFrameTemplate(entry, 1);
    EXPECT_FALSE(plan.BuildIgmpFrame(entry, 0, 1, 1, 0, 0));
    EXPECT_FALSE(plan.BuildFrameTemplate(entry, 6));
    // An IGMP version the page never sets builds nothing.
    plan.IgmpVersion = 0;
    plan.BuildFrameTemplate(entry, 2);
    EXPECT_FALSE(plan.BuildIgmpFrame(entry, 0, 1, 2, 0, 0));
}

TEST_F(TestPlanFrames, AddressHelpers)
{
    uint32_t value = 0;
    EXPECT_TRUE(ParseIpv4Text(u"225.1.2.3", value));
    EXPECT_EQ(value, 0xE1010203u);
    EXPECT_FALSE(ParseIpv4Text(u"225.1.2", value));
    EXPECT_FALSE(ParseIpv4Text(u"300.1.2.3", value));
    EXPECT_FALSE(ParseIpv4Text(u"a.b.c.d", value));

    uint8_t mac[6];
    const uint8_t group[4] = {239, 129, 2, 3};
    GroupIpToMac(mac, group);
    EXPECT_EQ(std::vector<uint8_t>(mac, mac + 6), hexBytes("01005E010203"));

    EXPECT_EQ(SubnetPrefixLength(0), 24);
    setIp(g_Session.Ports[0].Mask, {255, 255, 255, 255});
    EXPECT_EQ(SubnetPrefixLength(0), -1);
    setIp(g_Session.Ports[0].Mask, {255, 240, 0, 0});
    EXPECT_EQ(SubnetPrefixLength(0), 12);
    EXPECT_EQ(SubnetPrefixLength(200), -1);
}

// Every frame any step hands to the hardware reads back as a well-formed frame.
TEST_F(TestPlanFrames, EveryBuilderFrameIsWellFormed)
{
    g_Session.Ports[4].VLanState = 1;
    g_Session.Ports[4].VLanID = 7;
    g_Session.Ports[2].UniVLanState = 1;
    plan.ScaleTrial = 3;
    filterGroups = {"225.1.1.1"};
    filterHosts = {{"(  1, 2,2) - QM-M13", {{"225.1.1.1", 1, {"10.0.0.1"}}}}};
    for (uint8_t version : {1, 2, 3}) {
        for (uint8_t routerAlert : {0, 1}) {
            plan.IgmpVersion = version;
            g_Session.RouterAlert = routerAlert;
            plan.TestType = TestMixClass;
            plan.SendJoinPerPort();
            plan.SendJoinAll(3);
            plan.SendLeaveAll(2);
            plan.SendJoinNic(2);
            plan.SendTimestampedJoinsFromHosts();
            plan.SendTimestampedLeavesFromHosts();
            plan.SendLeavePerPort();
            plan.SendLearningFrames();
            for (uint32_t type : {TestMixClass, TestAggregate, TestScale, TestLatency}) {
                plan.TestType = type;
                plan.StartTestPairTraffic(128);
            }
            plan.FillCapacityStreams(64, 40);
            plan.TestType = TestSourceFilter;
            plan.SendV3ReportNic(0);
            plan.SendV3ReportNic(1);
            plan.StartSourcePortTraffic(64, 0);
        }
    }
    size_t frames = 0;
    for (const RecordedCall &call : server->calls()) {
        if (call.op == Op::Kv_TQModule_FillTxPkt_AddEntry) {
            const auto entry = std::make_unique<UtTxEntry>(call.block<UtTxEntry>(4));
            const CheckedFrame checked = checkFrame(entry->Frame, std::min<size_t>(entry->FrameLength, 2048));
            EXPECT_EQ(checked.error, "") << "entry of stream " << entry->StreamNumber;
            ++frames;
        } else if (call.op == Op::Kv_TQModule_NICModeSend) {
            const auto block = std::make_unique<UtNicSendBlock>(call.block<UtNicSendBlock>(4));
            const CheckedFrame checked = checkFrame(block->Frame, block->FrameLength);
            EXPECT_EQ(checked.error, "");
            EXPECT_EQ(checked.protocol, 2);
            ++frames;
        }
    }
    EXPECT_GT(frames, 300u);
}
