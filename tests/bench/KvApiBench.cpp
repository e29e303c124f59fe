// Cost of one library call on loopback, and of a 639-port inventory landing in the session tables
// (the inventory handler asks the server for each port's link status, as at start-up).
#include "engine/EventCallback.h"
#include "engine/Session.h"
#include "kvserver/KvServer.h"
#include "platform/kvapi/KvAPI.h"
#include "platform/kvapi/KvClient.h"
#include "platform/kvapi/KvProtocol.h"

#include <benchmark/benchmark.h>

namespace {

// A server on a free loopback port with the library connected to it. Messages are not delivered
// (there is no event loop here); the benchmarks measure the calls and the decoding.
struct Connection
{
    KvServer server;
    Connection()
    {
        Kv_SYS_Init(nullptr, 0xFF);
        std::string error;
        if (!server.listen(0, "127.0.0.1", error))
            throw std::runtime_error(error);
        server.start();
        KvClient::instance().setServerPort(server.port());
        const char address[32] = "127.0.0.1";
        if (!Kv_SYS_ConnectToServer(address))
            throw std::runtime_error("no connection");
    }
    ~Connection() { Kv_SYS_TerminateProcess(); }
};

std::vector<uint8_t> inventoryOf(int ports)
{
    std::vector<uint8_t> message(22 + 6 * (ports + 1), 0);
    KvProtocol::writeBigEndian16(&message[0], KvProtocol::MsgInventory);
    KvProtocol::writeBigEndian16(&message[20], static_cast<uint16_t>(ports + 1));
    uint8_t *entry = &message[22];
    KvProtocol::writeBigEndian16(entry, 1);
    entry[2] = 1;
    entry[3] = 1;
    entry[4] = '0';
    for (int i = 0; i < ports; ++i) {
        entry += 6;
        KvProtocol::writeBigEndian16(entry,
                                     static_cast<uint16_t>(1 + i / 60)); // 15 cards of 4 ports a chassis
        entry[2] = static_cast<uint8_t>(2 + (i % 60) / 4);
        entry[3] = static_cast<uint8_t>(1 + i % 4);
        entry[4] = 53;
    }
    return message;
}

void RoundTrip(benchmark::State &state)
{
    Connection connection;
    char version[11];
    for (auto _ : state)
        benchmark::DoNotOptimize(Kv_SYS_GetVerNum(version));
}
BENCHMARK(RoundTrip)->Unit(benchmark::kMicrosecond);

void Inventory639Ports(benchmark::State &state)
{
    Connection connection;
    const std::vector<uint8_t> message = inventoryOf(639);
    for (auto _ : state) {
        g_Session.resetTables();
        KvEventCallback(message.data(), static_cast<uint32_t>(message.size()));
    }
    if (g_Session.PortCount != 639)
        state.SkipWithError("inventory refused");
}
BENCHMARK(Inventory639Ports)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
