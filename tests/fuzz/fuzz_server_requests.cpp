// Feeds a client's byte stream to the chassis server: the input is everything a client sends after its
// greeting (request frames, whole or broken), served by a fresh simulated chassis whose time moves only
// by requests, so an input always runs the same way. The harness reads every answer until the server
// closes the connection; a server that never does is a hang the fuzzer reports.
#include "kvserver/KvServer.h"

#include <arpa/inet.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

// A connection to the server; a few tries, since a busy machine may run short of ephemeral ports for
// a moment while earlier runs' connections wait out their closing.
int connectTo(uint16_t port)
{
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_port = htons(port);
    peer.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    for (int attempt = 0; attempt < 50; ++attempt) {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd >= 0 && ::connect(fd, reinterpret_cast<const sockaddr *>(&peer), sizeof peer) == 0)
            return fd;
        std::perror("fuzz_server_requests: connect");
        if (fd >= 0)
            ::close(fd);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    SimConfig config;
    config.timeScale = 0;
    KvServer server(config);
    std::string error;
    if (!server.listen(0, "127.0.0.1", error))
        std::abort();
    server.start();

    std::vector<uint8_t> stream;
    KvProtocol::Writer(stream)
        .u32(10)
        .u16(static_cast<uint16_t>(KvProtocol::Op::Hello))
        .u32(1)
        .u32(KvProtocol::ProtocolVersion)
        .bytes(data, size);
    const int fd = connectTo(server.port());
    // The server answers as it reads, so the answers are read on the way to keep both sides moving.
    size_t sent = 0;
    uint8_t answer[65536];
    while (sent < stream.size()) {
        const ssize_t done =
            ::send(fd, stream.data() + sent, stream.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (done > 0)
            sent += static_cast<size_t>(done);
        else if (done < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            break; // the server closed the connection
        if (::recv(fd, answer, sizeof answer, MSG_DONTWAIT) == 0)
            break;
    }
    ::shutdown(fd, SHUT_WR);
    while (::recv(fd, answer, sizeof answer, 0) > 0) {
    }
    ::close(fd);
    return 0;
}
