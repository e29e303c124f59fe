// Test pairs, and test ports of a plan made from the session's port records, shared by the tests and
// the benchmarks (no test framework needed).
#pragma once

#include "engine/IGMPTestPlan.h"
#include "engine/Session.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

// The fields of a test pair that a test names; the others stay as a pair in use from (2,1) to one
// host with one group at 239.1.1.1 and no unicast port.
struct PairFields
{
    std::uint8_t id = 1;
    std::uint8_t status = 1; // 1 = in use
    std::uint16_t hosts = 1;
    UtPortId source{1, 2, 1};
    std::uint16_t mediaType = 0;
    std::array<std::uint8_t, 4> group{239, 1, 1, 1};
    std::uint16_t groups = 1;
    UtPortId unicast{0xFFFF, 0xFF, 0xFF}; // none
};

// A pair made with designated fields, for example pairOf({.hosts = 2, .unicast = {1, 2, 4}}).
inline UtTestPair pairOf(const PairFields &fields)
{
    UtTestPair pair{};
    pair.PairID = fields.id;
    pair.Status = fields.status;
    pair.num_of_destmember = fields.hosts;
    pair.Src_Cid = fields.source.CID;
    pair.Src_Bid = fields.source.BID;
    pair.Src_Pid = fields.source.PID;
    pair.mediatype = fields.mediaType;
    std::copy(fields.group.begin(), fields.group.end(), pair.GroupIP);
    pair.NumofGroup = fields.groups;
    pair.UniCid = fields.unicast.CID;
    pair.UniBid = fields.unicast.BID;
    pair.UniPid = fields.unicast.PID;
    return pair;
}

// The test port of port record `index`, at the link speed the fixtures use.
inline UtTestPort testPortOf(std::uint8_t index)
{
    const UtPortRecord &record = g_Session.Ports[index];
    UtTestPort port{};
    port.Id = {record.CID, record.BID, record.PID};
    port.TYPE = record.ModuleType;
    port.PortIndex = index;
    port.SpeedMedia = 11;
    return port;
}

// Pair 1 on the simulator's inventory: port record 0 is its source, the others its hosts; port record 3
// is the unicast port. The pair itself is the caller's.
inline void addPairOnePorts(CIGMPTestPlan &plan, const std::vector<std::uint8_t> &indexes)
{
    for (const std::uint8_t index : indexes) {
        UtPortRecord &record = g_Session.Ports[index];
        (index == 0 ? record.SourcePair : record.HostPair) = 1;
        record.StreamNumber = index == 0 ? 100 : 101;
        record.StreamItemA = 0;
        record.StreamItemB = 1;
        UtTestPort port = testPortOf(index);
        port.Flag = index == 3;
        (index == 0 ? plan.SourcePorts : plan.HostPorts).push_back(port);
    }
}

// Eight pairs on chassis 1 in the session tables: pair n has its source on card n + 1 port 1 and a host
// on port 2, with `groups` groups.
inline void addEightPairs(CIGMPTestPlan &plan, std::uint16_t groups)
{
    constexpr std::uint8_t pairs = 8;
    g_Session.resetTables();
    g_Session.PortCount = 2 * pairs;
    g_Session.allocatePortArrays(g_Session.PortCount);
    for (std::uint8_t n = 1; n <= pairs; ++n) {
        for (std::uint8_t side = 0; side < 2; ++side) {
            const auto index = static_cast<std::uint8_t>(2 * (n - 1) + side);
            const UtPortId id{1, static_cast<std::uint8_t>(n + 1), static_cast<std::uint8_t>(side + 1)};
            g_Session.PortTable[index] = {id, 53, 0};
            g_Session.PortIndex[1][id.BID][id.PID] = index;
            g_Session.PortHwInfo[index] = {id, 11, 0, 0, 0};
            UtPortRecord record = MakePortRecord(id, 53, 11);
            (side == 0 ? record.SourcePair : record.HostPair) = n;
            record.StreamNumber = static_cast<std::uint16_t>(100 + 2 * (n - 1) + side);
            g_Session.Ports.push_back(record);
            (side == 0 ? plan.SourcePorts : plan.HostPorts).push_back(testPortOf(index));
        }
        plan.TestPairs.push_back(
            pairOf({.id = n, .source = {1, 0, 0}, .group = {225, 0, n, 1}, .groups = groups}));
        plan.PairSelected[n - 1] = 1;
    }
}
