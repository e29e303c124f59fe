// The simulated device's group memberships time out on their own.
#include "kvserver/SimDevice.h"

#include <ctime>
#include <gtest/gtest.h>

namespace {

SimFrame deviceJoinFrame(uint32_t group)
{
    SimFrame join;
    join.src = {0x00, 0x10, 0x94, 0x00, 0x00, 0x02};
    join.ipv4 = true;
    join.igmp = true;
    join.igmpType = 0x16;
    join.igmpGroup = group;
    return join;
}

SimFrame deviceMulticastFrame(uint32_t group)
{
    SimFrame data;
    data.dst = {0x01, 0x00, 0x5E, uint8_t(group >> 16 & 0x7F), uint8_t(group >> 8), uint8_t(group)};
    data.src = {0x00, 0x10, 0x94, 0x00, 0x00, 0x01};
    data.ipv4 = true;
    data.ipSource = 0x0A000001;
    data.ipDestination = group;
    return data;
}

} // namespace

TEST(SimDeviceTest, ManyMembershipsTimeOutOneAtATimeCheaply)
{
    constexpr uint32_t Groups = 30000, FirstGroup = 0xE8000000;
    constexpr int64_t Ms = 1'000'000'000;
    SimDeviceProfile profile;
    profile.groupTableSize = Groups;
    SimDevice device(profile, {"(2,1)", "(2,2)"}, nullptr);
    std::vector<size_t> egress;
    for (uint32_t i = 0; i < Groups; ++i)
        device.receive(deviceJoinFrame(FirstGroup + i), {}, 1, int64_t(i) * Ms, egress);

    // Time moves from one change to the next, as the traffic does when nothing else is due: every join
    // takes effect, then every membership times out at a moment of its own.
    const std::clock_t started = std::clock();
    int64_t now = 0;
    size_t steps = 0;
    for (int64_t next = device.nextChangeTime(); next != INT64_MAX; next = device.nextChangeTime()) {
        now = next;
        device.applyChanges(now);
        if (++steps == Groups) {
            device.forwardTargets(deviceMulticastFrame(FirstGroup + Groups - 1), 0, now, egress);
            EXPECT_EQ(egress, std::vector<size_t>{1}) << "the last join has taken effect";
        }
    }
    const double seconds = double(std::clock() - started) / CLOCKS_PER_SEC;
    EXPECT_EQ(steps, 2 * size_t(Groups));
    EXPECT_EQ(now, int64_t(Groups - 1) * Ms + profile.joinDelay + profile.membershipTimeout);
    device.forwardTargets(deviceMulticastFrame(FirstGroup), 0, now, egress);
    EXPECT_TRUE(egress.empty());
    EXPECT_LT(seconds, 2.0) << "each timeout is found without a walk over every group";
}
