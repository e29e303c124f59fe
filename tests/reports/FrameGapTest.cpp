// The packet rate and frame gap of a port at the plan's load, by the port's line speed.
#include "engine/EngineUtils.h"
#include "engine/IGMPTestPlan.h"
#include "engine/Session.h"

#include <cmath>
#include <gtest/gtest.h>

TEST(ComputeFrameGap, RateAndGapByLineSpeedAndLoad)
{
    g_Session.resetTables();
    g_Session.PortCount = 1;
    g_Session.allocatePortArrays(1);
    g_Session.PortIndex[1][2][1] = 0;
    struct Case
    {
        const char *name;
        std::uint16_t speedCode; // of port (1,2,1); 0 leaves the port out of the tables
        std::uint16_t frameSize;
        double rate;
        std::int32_t packets;
        std::int32_t gap;
    };
    const Case cases[] = {
        {"1 Gbit/s full load", 9, 64, 100, 1'488'095, 96},
        {"1 Gbit/s half load", 11, 64, 50, 744'047, 768},
        {"flags above the speed byte", 0x8000 | 8, 64, 50, 744'047, 768},
        {"100 Mbit/s", 6, 1518, 10, 812, 110'944},
        {"10 Gbit/s", 13, 1518, 100, 812'743, 96},
        {"speed code outside the table: 10 Mbit/s", 0xFF, 64, 100, 14'880, 96},
        {"port not in the session: 10 Mbit/s", 0, 64, 100, 14'880, 96},
        {"a load that gives no packet", 2, 1518, 0.01, 0, 0},
        {"no load", 9, 64, 0, 0, 0},
        {"a load over 100 % cannot make the gap negative", 9, 64, 200, 2'976'190, 0},
        {"a load that is not a number", 9, 64, std::nan(""), 0, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        g_Session.PortIndex[1][2][1] = c.speedCode ? 0 : -1;
        g_Session.PortHwInfo[0] = {{1, 2, 1}, c.speedCode, 0, 0, 0};
        CIGMPTestPlan plan;
        plan.FrameSize = c.frameSize;
        plan.CurrentRate = c.rate;
        std::int32_t packets = -1;
        std::int32_t gap = -1;
        ComputeFrameGap(plan, 1, 2, 1, packets, gap);
        EXPECT_EQ(packets, c.packets);
        EXPECT_EQ(gap, c.gap);
    }
    g_Session.resetTables();
}
