// Cost of the simulator's bookkeeping for a 60-second trial at line rate: eight pairs, 256 groups a
// pair, every port's counters read each second; with the argument 1 every host also refreshes its
// joins every 5 s, as the program does during traffic.
#include "kvserver/SimTraffic.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <stdexcept>
#include <vector>

namespace {

constexpr int Pairs = 8;
constexpr int Groups = 256;
constexpr int64_t Ms = 1'000'000'000; // picoseconds

uint16_t checksum(const uint8_t *bytes, size_t size)
{
    uint32_t sum = 0;
    for (size_t i = 0; i < size; i += 2)
        sum += uint32_t(bytes[i] << 8 | bytes[i + 1]);
    while (sum >> 16)
        sum = (sum & 0xFFFF) + (sum >> 16);
    return uint16_t(~sum);
}

uint32_t groupOf(int pair, int group)
{
    return 0xEF000000u | uint32_t(pair + 1) << 16 | uint32_t(group / 256) << 8 | uint32_t(group % 256);
}

// Ethernet and IPv4 headers of a frame to a group.
void ipv4Head(uint8_t *frame, uint8_t port, uint32_t group, uint8_t protocol, uint16_t total, uint8_t ttl)
{
    const uint8_t head[] = {0x01,
                            0x00,
                            0x5E,
                            uint8_t((group >> 16) & 0x7F),
                            uint8_t(group >> 8),
                            uint8_t(group),
                            0x0A,
                            0x3F,
                            0x5C,
                            1,
                            2,
                            port,
                            0x08,
                            0x00};
    std::memcpy(frame, head, sizeof head);
    uint8_t *ip = frame + 14;
    const uint8_t header[] = {0x45,
                              0,
                              uint8_t(total >> 8),
                              uint8_t(total),
                              0,
                              0,
                              0,
                              0,
                              ttl,
                              protocol,
                              0,
                              0,
                              192,
                              168,
                              0,
                              port,
                              uint8_t(group >> 24),
                              uint8_t(group >> 16),
                              uint8_t(group >> 8),
                              uint8_t(group)};
    std::memcpy(ip, header, sizeof header);
    const uint16_t sum = checksum(ip, 20);
    ip[10] = uint8_t(sum >> 8);
    ip[11] = uint8_t(sum);
}

std::unique_ptr<UtNicSendBlock> joinOf(uint8_t port, uint32_t group)
{
    auto block = std::make_unique<UtNicSendBlock>();
    std::memset(block.get(), 0, sizeof *block);
    block->FrameLength = 60;
    ipv4Head(block->Frame, port, group, 2, 28, 1);
    uint8_t *igmp = block->Frame + 34;
    const uint8_t message[] = {
        0x16, 0, 0, 0, uint8_t(group >> 24), uint8_t(group >> 16), uint8_t(group >> 8), uint8_t(group)};
    std::memcpy(igmp, message, sizeof message);
    const uint16_t sum = checksum(igmp, 8);
    igmp[2] = uint8_t(sum >> 8);
    igmp[3] = uint8_t(sum);
    return block;
}

std::unique_ptr<UtTxEntry> streamEntryOf(uint8_t port, uint32_t group, uint16_t stream)
{
    auto entry = std::make_unique<UtTxEntry>();
    std::memset(entry.get(), 0, sizeof *entry);
    entry->Gap = 96;
    entry->FrameLength = 60; // 64-byte frames
    entry->StreamNumber = stream;
    ipv4Head(entry->Frame, port, group, 17, 46, 1);
    const uint8_t udp[] = {0, 7, 0, 7, 0, 26, 0, 0};
    std::memcpy(entry->Frame + 34, udp, sizeof udp);
    return entry;
}

void Trial60Seconds(benchmark::State &state)
{
    SimConfig config;
    config.modules = {{2, 53, 4}, {3, 53, 4}, {4, 53, 4}, {5, 53, 4}};
    std::vector<SimPortInfo> ports;
    for (const SimModule &module : config.modules) {
        for (uint8_t p = 1; p <= module.ports; ++p)
            ports.push_back({module.card, p, module.type});
    }
    // Pair i: source port i, host port 8 + i.
    std::vector<std::vector<std::unique_ptr<UtNicSendBlock>>> joins(Pairs);
    std::vector<std::vector<std::unique_ptr<UtTxEntry>>> entries(Pairs);
    for (int pair = 0; pair < Pairs; ++pair) {
        for (int g = 0; g < Groups; ++g) {
            joins[pair].push_back(joinOf(uint8_t(Pairs + pair), groupOf(pair, g)));
            entries[pair].push_back(streamEntryOf(uint8_t(pair), groupOf(pair, g), uint16_t(100 + 2 * pair)));
        }
    }
    const uint64_t count = 1'488'095ull * 60; // 64 bytes at 1 Gb/s for 60 s
    uint64_t received = 0;
    const bool refreshJoins = state.range(0) != 0;
    for (auto _ : state) {
        SimTraffic traffic(config, ports, nullptr);
        for (size_t port = 0; port < ports.size(); ++port)
            traffic.setLink(port, 11);
        const auto join = [&] {
            for (int pair = 0; pair < Pairs; ++pair) {
                for (const auto &block : joins[pair])
                    traffic.nicSend(size_t(Pairs + pair), *block);
            }
        };
        join();
        traffic.advanceTo(10 * Ms);
        for (int pair = 0; pair < Pairs; ++pair) {
            for (const auto &entry : entries[pair])
                traffic.addEntry(size_t(pair), *entry);
            traffic.startTxPkt(size_t(pair), {{}, 0, Groups - 1, count, 0, 0, 1});
        }
        for (int second = 1; second <= 61; ++second) {
            if (refreshJoins && second % 5 == 0)
                join();
            traffic.advanceTo(10 * Ms + second * 1000 * Ms);
            for (size_t port = 0; port < ports.size(); ++port) {
                benchmark::DoNotOptimize(
                    traffic.portCounterMessage(port, {1, ports[port].card, ports[port].port}));
                benchmark::DoNotOptimize(
                    traffic.streamMessage(port, {1, ports[port].card, ports[port].port}));
            }
        }
        received = traffic.rxItemFrames(Pairs, 0);
    }
    if (received != count)
        throw std::runtime_error("the trial lost frames");
    state.counters["frames per host"] = double(received);
}
BENCHMARK(Trial60Seconds)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
