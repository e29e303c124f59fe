// Feeds a server's byte stream to the hardware library's client: a server thread answers the greeting,
// then sends the input in answer to the next request and ends its side. The client calls until the
// connection ends; every message it takes reaches the callback, which reads all of it.
#include "platform/kvapi/KvClient.h"

#include <arpa/inet.h>
#include <atomic>
#include <cstdlib>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

std::atomic<uint32_t> g_messageSum{0};

void readMessage(const uint8_t *message, uint32_t length)
{
    uint32_t sum = 0;
    for (uint32_t i = 0; i < length; ++i)
        sum += message[i];
    g_messageSum += sum;
}

bool readAll(int fd, uint8_t *data, size_t size)
{
    while (size > 0) {
        const ssize_t got = ::recv(fd, data, size, 0);
        if (got <= 0)
            return false;
        data += got;
        size -= static_cast<size_t>(got);
    }
    return true;
}

// The sequence number of the next request; false when the connection ends first.
bool readRequest(int fd, uint32_t &sequence)
{
    uint8_t length[4];
    if (!readAll(fd, length, 4))
        return false;
    std::vector<uint8_t> body(KvProtocol::Reader(length, 4).u32());
    if (body.size() < 6 || body.size() > KvProtocol::MaxFrameSize || !readAll(fd, body.data(), body.size()))
        return false;
    sequence = KvProtocol::Reader(body.data() + 2, 4).u32();
    return true;
}

void sendAll(int fd, const uint8_t *data, size_t size)
{
    while (size > 0) {
        const ssize_t sent = ::send(fd, data, size, MSG_NOSIGNAL);
        if (sent <= 0)
            return;
        data += sent;
        size -= static_cast<size_t>(sent);
    }
}

void serve(int listener, const uint8_t *data, size_t size)
{
    const int fd = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0)
        std::abort();
    uint32_t sequence = 0;
    if (readRequest(fd, sequence)) {
        std::vector<uint8_t> reply;
        KvProtocol::Writer(reply).u32(7).u8(uint8_t(KvProtocol::FrameKind::Reply)).u32(sequence).u16(1);
        sendAll(fd, reply.data(), reply.size());
        if (readRequest(fd, sequence))
            sendAll(fd, data, size);
    }
    ::shutdown(fd, SHUT_WR);
    uint8_t rest[4096];
    while (::recv(fd, rest, sizeof rest, 0) > 0) {
    }
    ::close(fd);
}

int listenOnLoopback(uint16_t &port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof local;
    if (fd < 0 || ::bind(fd, reinterpret_cast<const sockaddr *>(&local), sizeof local) != 0 ||
        ::listen(fd, 4) != 0 || ::getsockname(fd, reinterpret_cast<sockaddr *>(&local), &length) != 0)
        std::abort();
    port = ntohs(local.sin_port);
    return fd;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static uint16_t port = 0;
    static const int listener = listenOnLoopback(port);
    KvClient &client = KvClient::instance();
    client.setCallback(readMessage);
    client.setServerPort(port);
    std::thread server(serve, listener, data, size);
    if (client.connectToServer("127.0.0.1")) {
        std::vector<uint8_t> reply;
        for (int calls = 0; calls < 4 && client.isConnected(); ++calls)
            client.call(KvProtocol::Op::Kv_SYS_GetVerNum, {}, &reply);
    }
    client.disconnect();
    server.join();
    return 0;
}
