// The device's reading of the frames the program sends, built here byte by byte.
#include "kvserver/SimFrame.h"
#include "SimTestKit.h"

using namespace SimTestKit;

TEST(SimFrameTest, ReadsTheProgramsFrames)
{
    const uint32_t group = ip(239, 1, 1, 1), host = ip(192, 168, 2, 2);
    {
        SimFrame frame;
        const Bytes tagged = igmpV2(0x16, portMac(2, 2), host, group, 0xA064); // priority 5, VLAN 100
        ASSERT_EQ(SimFrame::parse(tagged.data(), tagged.size(), frame), "");
        EXPECT_TRUE(frame.tagged);
        EXPECT_EQ(frame.vlan, 100);
        EXPECT_TRUE(frame.igmp);
        EXPECT_EQ(frame.igmpType, 0x16);
        EXPECT_EQ(frame.igmpGroup, group);
        EXPECT_EQ(frame.ipSource, host);
    }
    {
        // A source filter report of two groups with three and no sources; router alert option.
        SimFrame frame;
        const Bytes v3 =
            igmpV3(portMac(2, 2), host,
                   {{1, group, {ip(10, 0, 0, 1), ip(10, 0, 0, 2), ip(10, 0, 0, 3)}}, {2, group + 1, {}}});
        ASSERT_EQ(SimFrame::parse(v3.data(), v3.size(), frame), "");
        EXPECT_EQ(frame.ipDestination, ip(224, 0, 0, 22));
        ASSERT_EQ(frame.records.size(), 2u);
        EXPECT_EQ(frame.records[0].type, 1);
        EXPECT_EQ(frame.records[0].sources,
                  (std::vector<uint32_t>{ip(10, 0, 0, 1), ip(10, 0, 0, 2), ip(10, 0, 0, 3)}));
        EXPECT_EQ(frame.records[1].group, group + 1);
        EXPECT_TRUE(frame.records[1].sources.empty());
    }
    {
        SimFrame frame;
        const Bytes data = multicastData(portMac(2, 1), ip(192, 168, 2, 1), group, 1518);
        ASSERT_EQ(SimFrame::parse(data.data(), data.size(), frame), "");
        EXPECT_TRUE(frame.ipv4 && frame.isMulticast() && !frame.igmp);
        EXPECT_EQ(frame.protocol, 17);
        EXPECT_EQ(frame.length, 1514u);
    }
    {
        // A UDP length beyond its packet, with sound IP header checksum.
        SimFrame frame;
        Bytes data = multicastData(portMac(2, 1), ip(192, 168, 2, 1), group, 128);
        put16(data, 34 + 4, 200);
        EXPECT_EQ(SimFrame::parse(data.data(), data.size(), frame), "UDP length");
        EXPECT_EQ(SimFrame::parse(data.data(), 40, frame), "frame shorter than 64 bytes");
    }
}
