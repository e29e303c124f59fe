// Cost of one library call through the server program on loopback, beside a raw TCP echo of the same
// bytes, and of a 639-port inventory landing in the session tables (the inventory handler asks the
// server for each port's link status, as at start-up).
#include "BenchRatio.h"
#include "common/LoopbackListener.h"
#include "common/ServerProgram.h"
#include "engine/EventCallback.h"
#include "engine/Session.h"
#include "kvserver/SimConfig.h"
#include "platform/kvapi/KvAPI.h"
#include "platform/kvapi/KvClient.h"
#include "platform/kvapi/KvProtocol.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

// The version request: length, operation and sequence, no arguments.
constexpr size_t RequestSize = 4 + 2 + 4;
// Its reply: length, kind, sequence, result and the version text.
const size_t ReplySize = 4 + 1 + 4 + 2 + SimConfig{}.versionText.size();

// The server program with the library connected to it. Messages are not delivered (there is no event
// loop here); the benchmarks measure the calls and the decoding.
class ConnectedServer
{
public:
    ConnectedServer()
    {
        Kv_SYS_Init(nullptr, 0xFF);
        KvClient::instance().setServerPort(m_server.port());
        const char address[32] = "127.0.0.1";
        if (!Kv_SYS_ConnectToServer(address))
            throw std::runtime_error("no connection");
    }
    ~ConnectedServer() { Kv_SYS_TerminateProcess(); }

private:
    ServerProgram m_server;
};

// A process that answers every request of RequestSize bytes with ReplySize bytes (the request's, then
// zeros) on a loopback TCP connection, and the client's end of that connection.
class EchoProcess
{
public:
    EchoProcess()
    {
        const auto [listener, port] = listenOnLoopback(1);
        if (listener < 0)
            throw std::runtime_error("no echo listener");
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        local.sin_port = htons(port);
        m_pid = ::fork();
        if (m_pid == 0) {
            const int peer = ::accept(listener, nullptr, nullptr);
            noDelay(peer);
            std::vector<uint8_t> buffer(std::max(RequestSize, ReplySize), 0);
            while (transfer(peer, buffer.data(), RequestSize, false) &&
                   transfer(peer, buffer.data(), ReplySize, true)) {
            }
            ::_exit(0);
        }
        ::close(listener);
        m_socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (::connect(m_socket, reinterpret_cast<const sockaddr *>(&local), sizeof local) != 0)
            throw std::runtime_error("no echo connection");
        noDelay(m_socket);
    }
    ~EchoProcess()
    {
        ::close(m_socket);
        ::waitpid(m_pid, nullptr, 0);
    }

    bool roundTrip(uint8_t *request, uint8_t *reply)
    {
        return transfer(m_socket, request, RequestSize, true) && transfer(m_socket, reply, ReplySize, false);
    }

private:
    static void noDelay(int socket)
    {
        const int on = 1;
        ::setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    }

    // Blocking send or receive of exactly size bytes.
    static bool transfer(int socket, uint8_t *data, size_t size, bool send)
    {
        while (size > 0) {
            const ssize_t done =
                send ? ::send(socket, data, size, MSG_NOSIGNAL) : ::recv(socket, data, size, 0);
            if (done <= 0)
                return false;
            data += done;
            size -= static_cast<size_t>(done);
        }
        return true;
    }

    pid_t m_pid = -1;
    int m_socket = -1;
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

void KvApiRoundTrip(benchmark::State &state)
{
    ConnectedServer server;
    char version[11];
    for (auto _ : state) {
        if (Kv_SYS_GetVerNum(version) != 1) {
            state.SkipWithError("no answer");
            break;
        }
    }
}
BENCHMARK(KvApiRoundTrip)->Unit(benchmark::kMicrosecond)->UseRealTime();

void LoopbackEchoRoundTrip(benchmark::State &state)
{
    EchoProcess echo;
    std::vector<uint8_t> request(RequestSize, 1), reply(ReplySize);
    for (auto _ : state) {
        if (!echo.roundTrip(request.data(), reply.data())) {
            state.SkipWithError("echo broke");
            break;
        }
    }
}
BENCHMARK(LoopbackEchoRoundTrip)->Unit(benchmark::kMicrosecond)->UseRealTime();

void Inventory639Ports(benchmark::State &state)
{
    ConnectedServer server;
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

int main(int argc, char **argv)
{
    return BenchRatio::runAndPrint(
        argc, argv,
        {{"KvAPI request and reply round trip through KvServerAP", "raw loopback TCP echo of the same bytes",
          "KvApiRoundTrip", "LoopbackEchoRoundTrip", 1.5}});
}
