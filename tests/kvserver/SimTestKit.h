// Frames built by hand in the layouts the program sends, and a fixture that drives the simulator
// through the hardware library with simulated time moved only by the test.
#pragma once

#include "kvserver/KvServer.h"
#include "platform/kvapi/KvAPI.h"
#include "platform/kvapi/KvClient.h"
#include "platform/kvapi/KvProtocol.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace SimTestKit {

using Bytes = std::vector<uint8_t>;
using Mac = std::array<uint8_t, 6>;

constexpr int64_t Ms = 1'000'000; // nanoseconds

inline void put16(Bytes &b, size_t at, uint16_t v)
{
    b[at] = uint8_t(v >> 8);
    b[at + 1] = uint8_t(v);
}

inline void put32(Bytes &b, size_t at, uint32_t v)
{
    put16(b, at, uint16_t(v >> 16));
    put16(b, at + 2, uint16_t(v));
}

// Internet checksum of the bytes, written independently of the simulator's.
inline uint16_t checksum(const Bytes &b, size_t from, size_t size)
{
    uint64_t sum = 0;
    for (size_t i = 0; i < size; ++i)
        sum += (i % 2 == 0) ? uint64_t(b[from + i]) << 8 : b[from + i];
    while (sum > 0xFFFF)
        sum = (sum >> 16) + (sum & 0xFFFF);
    return uint16_t(~sum);
}

inline uint32_t ip(int a, int b, int c, int d)
{
    return uint32_t(a) << 24 | uint32_t(b) << 16 | uint32_t(c) << 8 | uint32_t(d);
}

// The MAC of a tester port: 0A:3F:5C, chassis, card, port.
inline Mac portMac(uint8_t card, uint8_t port)
{
    return {0x0A, 0x3F, 0x5C, 1, card, port};
}

inline Mac groupMac(uint32_t group)
{
    return {0x01, 0x00, 0x5E, uint8_t((group >> 16) & 0x7F), uint8_t(group >> 8), uint8_t(group)};
}

// Ethernet header (with a tag when vlan != 0) and an IPv4 header of the given protocol and total length.
inline Bytes ipv4Frame(const Mac &dst, const Mac &src, uint16_t vlan, uint32_t from, uint32_t to, uint8_t ttl,
                       uint8_t protocol, size_t ipTotal, size_t frameLength, bool routerAlert = false)
{
    Bytes b(frameLength, 0);
    std::copy(dst.begin(), dst.end(), b.begin());
    std::copy(src.begin(), src.end(), b.begin() + 6);
    size_t at = 12;
    if (vlan) {
        put16(b, 12, 0x8100);
        put16(b, 14, vlan);
        at = 16;
    }
    put16(b, at, 0x0800);
    const size_t h = at + 2;
    const size_t headerSize = routerAlert ? 24 : 20;
    b[h] = uint8_t(0x40 | headerSize / 4);
    put16(b, h + 2, uint16_t(ipTotal));
    b[h + 8] = ttl;
    b[h + 9] = protocol;
    put32(b, h + 12, from);
    put32(b, h + 16, to);
    if (routerAlert)
        put32(b, h + 20, 0x94040000);
    put16(b, h + 10, checksum(b, h, headerSize));
    return b;
}

inline size_t ipOffset(const Bytes &frame)
{
    return frame[12] == 0x81 ? 18 : 14;
}

// IGMPv1/v2 report (0x12, 0x16) or leave (0x17) of a group, 60 bytes.
inline Bytes igmpV2(uint8_t type, const Mac &src, uint32_t from, uint32_t group, uint16_t vlan = 0)
{
    Bytes b = ipv4Frame(groupMac(group), src, vlan, from, group, 1, 2, 28, 60);
    const size_t g = ipOffset(b) + 20;
    b[g] = type;
    put32(b, g + 4, group);
    put16(b, g + 2, checksum(b, g, 8));
    return b;
}

struct Record
{
    uint8_t type;
    uint32_t group;
    std::vector<uint32_t> sources;
};

// IGMPv3 report to 224.0.0.22 with router alert, sized to its content (at least 60 bytes).
inline Bytes igmpV3(const Mac &src, uint32_t from, const std::vector<Record> &records)
{
    size_t igmpSize = 8;
    for (const Record &r : records)
        igmpSize += 8 + 4 * r.sources.size();
    const size_t ipTotal = 24 + igmpSize;
    Bytes b = ipv4Frame(groupMac(ip(224, 0, 0, 22)), src, 0, from, ip(224, 0, 0, 22), 1, 2, ipTotal,
                        std::max<size_t>(60, 14 + ipTotal), true);
    const size_t g = 14 + 24;
    b[g] = 0x22;
    put16(b, g + 6, uint16_t(records.size()));
    size_t at = g + 8;
    for (const Record &r : records) {
        b[at] = r.type;
        put16(b, at + 2, uint16_t(r.sources.size()));
        put32(b, at + 4, r.group);
        at += 8;
        for (uint32_t s : r.sources) {
            put32(b, at, s);
            at += 4;
        }
    }
    put16(b, g + 2, checksum(b, g, igmpSize));
    return b;
}

// Multicast UDP data frame of frameSize bytes on the wire (the entry holds frameSize - 4).
inline Bytes multicastData(const Mac &src, uint32_t from, uint32_t group, size_t frameSize,
                           uint8_t ttl = 0x40)
{
    const size_t length = frameSize - 4;
    Bytes b = ipv4Frame(groupMac(group), src, 0, from, group, ttl, 17, frameSize - 18, length);
    const size_t u = 14 + 20;
    put16(b, u, 7);
    put16(b, u + 2, 7);
    put16(b, u + 4, uint16_t(frameSize - 38));
    for (size_t i = u + 8; i < length; ++i)
        b[i] = 0x55;
    return b;
}

// The Mixed Class unicast frame: EtherType 0xFFFF to a host port's MAC.
inline Bytes unicastData(const Mac &dst, const Mac &src, size_t frameSize)
{
    Bytes b(frameSize - 4, 0x55);
    std::copy(dst.begin(), dst.end(), b.begin());
    std::copy(src.begin(), src.end(), b.begin() + 6);
    put16(b, 12, 0xFFFF);
    return b;
}

// Line-rate pacing of the program's data streams: the gap and the frame count of a trial.
struct Pacing
{
    uint32_t gap;
    uint64_t count;
};

inline Pacing pacing(double lineBytesPerSecond, size_t frameSize, double ratePercent, double seconds)
{
    const double maxRate = std::floor(lineBytesPerSecond / double(frameSize + 20));
    if (ratePercent >= 100)
        return {96, uint64_t(maxRate * seconds)};
    const double rate = ratePercent / 100 * maxRate;
    return {uint32_t(8 * std::floor(lineBytesPerSecond / rate - double(frameSize + 8))),
            uint64_t(rate * seconds)};
}

struct Port
{
    uint8_t card;
    uint8_t port;
};

class SimFixture : public testing::Test
{
protected:
    static inline std::vector<Bytes> s_messages;
    static void collect(const uint8_t *message, uint32_t length)
    {
        s_messages.emplace_back(message, message + length);
    }

    // Simulated time moves only by advance(), unless the configuration's time scale is kept.
    void start(SimConfig config = {}, bool keepTimeScale = false)
    {
        if (!keepTimeScale)
            config.timeScale = 0;
        s_messages.clear();
        server = std::make_unique<KvServer>(config);
        std::string error;
        ASSERT_TRUE(server->listen(0, "127.0.0.1", error)) << error;
        server->start();
        Kv_SYS_Init(collect, 0xFF);
        KvClient::instance().setServerPort(server->port());
        const char address[32] = "127.0.0.1";
        ASSERT_EQ(Kv_SYS_ConnectToServer(address), 1);
        UtPortSet all{1, {}};
        for (const SimModule &module : config.modules) {
            for (uint8_t p = 1; p <= module.ports; ++p)
                all.Mask[(module.card - 2) / 4] |= 1u << (((module.card - 2) % 4) * 8 + p - 1);
        }
        ASSERT_EQ(Kv_LockPortStatus(all), 1);
        ASSERT_EQ(Kv_SetupGroup({all, 1}), 1);
        KvStreamCounterTable table{};
        table.BaseStream = 100;
        std::memset(table.EnableBits, 0xFF, 2); // items 0-15: pairs 1-8
        ASSERT_EQ(Kv_TQSetStreamCounter(1, table), 1);
    }

    void TearDown() override
    {
        Kv_SYS_TerminateProcess();
        KvClient::instance().setServerPort(0);
        server.reset();
        Kv_SYS_Init(nullptr, 0xFF);
    }

    // Moves simulated time on; a call without messages makes sure it took effect.
    void advance(int64_t nanoseconds)
    {
        server->advanceTime(std::chrono::nanoseconds(nanoseconds));
        char version[11];
        EXPECT_EQ(Kv_SYS_GetVerNum(version), 1);
    }

    static bool addEntry(Port port, const Bytes &frame, uint32_t gap, uint16_t stream)
    {
        auto entry = std::make_unique<UtTxEntry>();
        std::memset(entry.get(), 0, sizeof *entry);
        entry->Port = {1, port.card, port.port};
        entry->Gap = gap;
        entry->FrameLength = uint16_t(frame.size());
        entry->StreamNumber = stream;
        // A longer frame's head: the module fills the rest.
        std::copy_n(frame.begin(), std::min(frame.size(), sizeof entry->Frame), entry->Frame);
        return Kv_TQModule_FillTxPkt_AddEntry(1, port.card, port.port, *entry) == 1;
    }

    static uint16_t startTx(Port port, uint16_t first, uint16_t last, uint64_t count, uint16_t final)
    {
        return Kv_TQModule_StartTxPkt(1, port.card, port.port,
                                      {{1, port.card, port.port}, first, last, count, 0, 0, final});
    }

    static uint16_t sendNic(Port port, const Bytes &frame)
    {
        auto block = std::make_unique<UtNicSendBlock>();
        std::memset(block.get(), 0xFF, sizeof *block);
        block->Port = {1, port.card, port.port};
        block->FrameLength = uint16_t(frame.size());
        std::copy(frame.begin(), frame.end(), block->Frame);
        return Kv_TQModule_NICModeSend(1, port.card, port.port, *block);
    }

    // Drops the messages received so far, including those still queued for delivery.
    static void discardMessages()
    {
        QCoreApplication::processEvents();
        s_messages.clear();
    }

    // Waits for the next message of the code about the port.
    static std::optional<Bytes> message(uint16_t code, Port port)
    {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 3000) {
            for (auto it = s_messages.begin(); it != s_messages.end(); ++it) {
                if (KvProtocol::readBigEndian16(it->data()) == code && (*it)[22] == port.card &&
                    (*it)[23] == port.port) {
                    Bytes found = std::move(*it);
                    s_messages.erase(it);
                    return found;
                }
            }
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            QThread::msleep(1);
        }
        return std::nullopt;
    }

    struct StreamCounts
    {
        std::map<unsigned, uint64_t> tx; // by transmit table entry
        std::map<unsigned, uint64_t> rx; // by counter item
        std::map<unsigned, uint32_t> latency;
    };

    // Reads the stream counters of a port (message 0x1500), decoded here.
    static StreamCounts streams(Port port)
    {
        discardMessages();
        EXPECT_EQ(Kv_TQReadStreamCounter(1), 1);
        StreamCounts counts;
        const auto m = message(KvProtocol::MsgStreamStatistics, port);
        EXPECT_TRUE(m);
        if (!m)
            return counts;
        for (size_t at = 24; at + 2 <= m->size();) {
            const unsigned head = KvProtocol::readBigEndian16(&(*m)[at]);
            const uint64_t value = uint64_t(KvProtocol::readBigEndian16(&(*m)[at + 2])) << 32 |
                                   KvProtocol::readBigEndian32(&(*m)[at + 4]);
            if (head >> 12 == 1) {
                counts.tx[head & 0xFFF] = value;
                at += 22;
            } else {
                EXPECT_EQ(head >> 12, 2u);
                counts.rx[head & 0xFFF] = value;
                counts.latency[head & 0xFFF] = KvProtocol::readBigEndian32(&(*m)[at + 24]);
                at += 50;
            }
        }
        return counts;
    }

    // How many lines of the server's log hold the text.
    long logLinesWith(const std::string &text) const
    {
        const std::vector<std::string> lines = server->callLog();
        return std::count_if(lines.begin(), lines.end(),
                             [&](const std::string &line) { return line.find(text) != std::string::npos; });
    }

    bool logHas(const std::string &text) const { return logLinesWith(text) > 0; }

    std::unique_ptr<KvServer> server;
};

} // namespace SimTestKit
