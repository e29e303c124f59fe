// A small chassis for the test plan's tests: one chassis with six ports in the session tables, two test
// pairs, the plan's source and host lists, a virtual clock, a main view for Stop, the engine's log
// captured, and a recording server behind the hardware library. Also an independent reader of the
// frames the plan builds (its own checksum, lengths and record walk).
#pragma once

#include "RecordingKvServer.h"
#include "common/TestPlanPorts.h"
#include "engine/EngineHost.h"
#include "engine/IGMPTestPlan.h"
#include "engine/RunState.h"
#include "engine/Session.h"
#include "engine/VirtualWaitClock.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <memory>
#include <string>

using KvProtocol::Op;

// A packed record's field as a value (GoogleTest would bind a reference to it).
template <typename T> constexpr T v(T value)
{
    return value;
}

// The one's-complement sum of big-endian 16-bit words, folded; 0xFFFF over a header with a correct
// checksum.
inline uint16_t foldedSum(const uint8_t *data, size_t length)
{
    uint32_t sum = 0;
    for (size_t i = 0; i + 1 < length; i += 2)
        sum += uint32_t(data[i]) << 8 | data[i + 1];
    if (length % 2)
        sum += uint32_t(data[length - 1]) << 8;
    while (sum >> 16)
        sum = (sum & 0xFFFF) + (sum >> 16);
    return uint16_t(sum);
}

struct CheckedFrame
{
    std::string error; // empty when the frame is well formed
    bool tagged = false;
    uint16_t tagControl = 0;
    uint16_t etherType = 0;
    uint8_t protocol = 0;
    uint8_t ttl = 0;
    size_t ipHeader = 0;
    size_t ipTotal = 0;
    uint8_t igmpType = 0;
    size_t igmpRecords = 0;
    uint16_t udpLength = 0;
};

// Reads an Ethernet frame (without check sequence) of the given length as a device would.
inline CheckedFrame checkFrame(const uint8_t *frame, size_t length)
{
    CheckedFrame out;
    auto fail = [&](std::string why) {
        out.error = std::move(why);
        return out;
    };
    if (length < 60)
        return fail("shorter than 60 bytes");
    size_t at = 12;
    if (frame[12] == 0x81 && frame[13] == 0x00) {
        out.tagged = true;
        out.tagControl = uint16_t(frame[14] << 8 | frame[15]);
        at = 16;
    }
    out.etherType = uint16_t(frame[at] << 8 | frame[at + 1]);
    at += 2;
    if (out.etherType != 0x0800)
        return out;
    const uint8_t *ip = frame + at;
    if (ip[0] >> 4 != 4 || (ip[0] & 15) < 5)
        return fail("not an IPv4 header");
    out.ipHeader = (ip[0] & 15) * 4u;
    out.ipTotal = size_t(ip[2] << 8 | ip[3]);
    if (out.ipTotal < out.ipHeader || at + out.ipTotal > length)
        return fail("IPv4 total length beyond the frame");
    if (foldedSum(ip, out.ipHeader) != 0xFFFF)
        return fail("IPv4 header checksum");
    out.ttl = ip[8];
    out.protocol = ip[9];
    const uint8_t *payload = ip + out.ipHeader;
    const size_t payloadLength = out.ipTotal - out.ipHeader;
    if (out.protocol == 2) {
        if (payloadLength < 8 || foldedSum(payload, payloadLength) != 0xFFFF)
            return fail("IGMP checksum");
        out.igmpType = payload[0];
        if (out.igmpType == 0x22) {
            const size_t records = size_t(payload[6] << 8 | payload[7]);
            size_t walk = 8;
            for (size_t r = 0; r < records; ++r) {
                if (walk + 8 > payloadLength)
                    return fail("IGMPv3 record beyond the message");
                walk += 8 + payload[walk + 1] * 4u + size_t(payload[walk + 2] << 8 | payload[walk + 3]) * 4;
            }
            if (walk != payloadLength)
                return fail("IGMPv3 records do not fill the message");
            out.igmpRecords = records;
        } else if (payloadLength != 8) {
            return fail("IGMP message is not 8 bytes");
        }
    } else if (out.protocol == 17) {
        out.udpLength = uint16_t(payload[4] << 8 | payload[5]);
        if (out.udpLength != payloadLength)
            return fail("UDP length");
    }
    return out;
}

inline std::vector<uint8_t> hexBytes(const char *text)
{
    std::vector<uint8_t> bytes;
    for (const char *at = text; *at;) {
        if (*at == ' ') {
            ++at;
            continue;
        }
        bytes.push_back(uint8_t(std::stoi(std::string(at, 2), nullptr, 16)));
        at += 2;
    }
    return bytes;
}

class TestPlanFixture : public testing::Test
{
protected:
    // Ports of chassis 1: index 0-5 = (2,1) (2,2) (2,3) (2,4) (3,1) (3,2).
    static constexpr uint16_t Chassis = 1;

    void SetUp() override
    {
        g_Session.resetTables();
        const UtPortId ids[] = {{Chassis, 2, 1}, {Chassis, 2, 2}, {Chassis, 2, 3},
                                {Chassis, 2, 4}, {Chassis, 3, 1}, {Chassis, 3, 2}};
        g_Session.PortCount = std::size(ids);
        g_Session.allocatePortArrays(g_Session.PortCount);
        for (uint16_t i = 0; i < g_Session.PortCount; ++i) {
            g_Session.PortTable[i] = {ids[i], 53, 0};
            g_Session.PortIndex[Chassis][ids[i].BID][ids[i].PID] = int16_t(i);
            g_Session.PortHwInfo[i] = {ids[i], 11, 0, 0, 0};
            g_Session.Ports.push_back(MakePortRecord(ids[i], 53, 11));
        }
        g_Session.Controller = {{Chassis, 1, 1}, '0', 0};

        for (uint8_t n = 1; n <= 8; ++n)
            plan.TestPairs.push_back(
                pairOf({.id = n, .status = 0, .hosts = 0, .source = {}, .group = {224, 0, n, 1}}));
        setPair(1, {239, 1, 1, 1}, 0, {1, 2});
        setPair(2, {225, 0, 0, 250}, 4, {5});
        plan.IgmpVersion = 2;
        plan.V3ReportSize = 540;
        plan.TestDuration = 10;
        plan.CurrentRate = 100;
        plan.FrameSize = 64;

        EngineHost &host = EngineHost::instance();
        host.reset();
        host.appendLog = [this](const QString &text) { log << text; };
        host.setStatusText = [this](const QString &text) { status << text; };
        host.demoMode = [this] { return demo; };
        host.filterGroupTexts = [this] { return filterGroups; };
        host.filterAddressSettings = [this] { return filterHosts; };

        server = std::make_unique<RecordingKvServer>();
        ASSERT_TRUE(server->connected());
    }

    void TearDown() override
    {
        server.reset();
        EngineHost::instance().reset();
        g_Session.resetTables();
    }

    // Pair n (1-based) in use: its source port and host ports (port indexes).
    void setPair(uint8_t n, std::array<uint8_t, 4> group, uint8_t source, std::vector<uint8_t> hosts)
    {
        UtTestPair &pair = plan.TestPairs[n - 1];
        pair.Status = 1;
        std::copy(group.begin(), group.end(), pair.GroupIP);
        UtPortRecord &src = g_Session.Ports[source];
        src.SourcePair = n;
        src.StreamNumber = uint16_t(100 + 2 * (n - 1));
        plan.SourcePorts.push_back(testPortOf(source));
        for (uint8_t h : hosts) {
            g_Session.Ports[h].HostPair = n;
            g_Session.Ports[h].StreamNumber = uint16_t(101 + 2 * (n - 1));
            plan.HostPorts.push_back(testPortOf(h));
        }
        plan.PairSelected[n - 1] = 1;
    }

    static void setIp(uint32_t &field, std::array<uint8_t, 4> bytes) { std::memcpy(&field, bytes.data(), 4); }

    // Frame bytes of an entry, as far as its length says.
    static std::vector<uint8_t> frameOf(const UtTxEntry &entry)
    {
        return {entry.Frame, entry.Frame + entry.FrameLength};
    }

    RunState run;
    VirtualWaitClock clock;
    CIGMPTestPlan plan;
    QStringList log;
    QStringList status;
    bool demo = false;
    QStringList filterGroups;
    std::vector<UtFilterHost> filterHosts;
    std::unique_ptr<RecordingKvServer> server;
};
