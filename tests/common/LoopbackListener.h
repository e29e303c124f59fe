// A listening TCP socket on a free loopback port, for the small servers the tests and benchmarks run.
#pragma once

#include <arpa/inet.h>
#include <cstdint>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

struct LoopbackListener
{
    int fd = -1;       // -1 when no socket could be bound
    uint16_t port = 0; // host order
};

// Binds a new socket to 127.0.0.1 on a port the kernel picks and listens with the given backlog.
inline LoopbackListener listenOnLoopback(int backlog)
{
    LoopbackListener listener;
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof local;
    if (fd < 0 || ::bind(fd, reinterpret_cast<const sockaddr *>(&local), sizeof local) != 0 ||
        ::listen(fd, backlog) != 0 || ::getsockname(fd, reinterpret_cast<sockaddr *>(&local), &size) != 0) {
        if (fd >= 0)
            ::close(fd);
        return listener;
    }
    listener.fd = fd;
    listener.port = ntohs(local.sin_port);
    return listener;
}
