// A second library client for tests: speaks the server protocol directly over its own socket, so a
// test can act as another program beside the process-wide hardware library.
#pragma once

#include "platform/kvapi/KvProtocol.h"

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <cstdint>
#include <deque>
#include <netinet/in.h>
#include <optional>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

class KvWireClient
{
public:
    explicit KvWireClient(uint16_t port)
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in peer{};
        peer.sin_family = AF_INET;
        peer.sin_port = htons(port);
        peer.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        m_connected = ::connect(m_fd, reinterpret_cast<const sockaddr *>(&peer), sizeof peer) == 0;
    }
    ~KvWireClient() { ::close(m_fd); }

    bool connected() const { return m_connected; }

    bool sendRaw(const std::vector<uint8_t> &bytes)
    {
        return ::send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size());
    }
    // True when the server closed the connection within the timeout.
    bool closedByServer(std::chrono::milliseconds timeout = std::chrono::milliseconds(2000))
    {
        pollfd wait{m_fd, POLLIN, 0};
        uint8_t byte;
        while (::poll(&wait, 1, static_cast<int>(timeout.count())) == 1) {
            if (::recv(m_fd, &byte, 1, 0) <= 0)
                return true;
        }
        return false;
    }

    // Sends a request and returns its result; messages read meanwhile are kept for message().
    std::optional<uint16_t> call(KvProtocol::Op op, const std::vector<uint8_t> &arguments = {})
    {
        std::vector<uint8_t> frame;
        KvProtocol::Writer(frame)
            .u32(static_cast<uint32_t>(6 + arguments.size()))
            .u16(uint16_t(op))
            .u32(++m_sequence);
        frame.insert(frame.end(), arguments.begin(), arguments.end());
        if (::send(m_fd, frame.data(), frame.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(frame.size()))
            return std::nullopt;
        for (;;) {
            auto body = readFrame();
            if (!body)
                return std::nullopt;
            if ((*body)[0] == uint8_t(KvProtocol::FrameKind::Reply)) {
                KvProtocol::Reader in(body->data() + 1, body->size() - 1);
                const uint32_t sequence = in.u32();
                const uint16_t result = in.u16();
                if (sequence == m_sequence)
                    return result;
            } else {
                m_messages.emplace_back(body->begin() + 1, body->end());
            }
        }
    }

    std::optional<uint16_t> hello()
    {
        std::vector<uint8_t> version;
        KvProtocol::Writer(version).u32(KvProtocol::ProtocolVersion);
        return call(KvProtocol::Op::Hello, version);
    }

    // The next server message with the given code, waiting up to the timeout for it.
    std::optional<std::vector<uint8_t>>
    message(uint16_t code, std::chrono::milliseconds timeout = std::chrono::milliseconds(2000))
    {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            for (auto it = m_messages.begin(); it != m_messages.end(); ++it) {
                if (it->size() >= 2 && KvProtocol::readBigEndian16(it->data()) == code) {
                    auto found = std::move(*it);
                    m_messages.erase(it);
                    return found;
                }
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd wait{m_fd, POLLIN, 0};
            if (::poll(&wait, 1, static_cast<int>(std::max<long>(left.count(), 0))) != 1)
                return std::nullopt;
            auto body = readFrame();
            if (!body)
                return std::nullopt;
            if ((*body)[0] == uint8_t(KvProtocol::FrameKind::Message))
                m_messages.emplace_back(body->begin() + 1, body->end());
        }
    }

private:
    bool readAll(uint8_t *data, size_t size)
    {
        while (size > 0) {
            const ssize_t got = ::recv(m_fd, data, size, 0);
            if (got <= 0)
                return false;
            data += got;
            size -= static_cast<size_t>(got);
        }
        return true;
    }
    std::optional<std::vector<uint8_t>> readFrame()
    {
        uint8_t header[4];
        if (!readAll(header, 4))
            return std::nullopt;
        const uint32_t size = KvProtocol::Reader(header, 4).u32();
        if (size == 0 || size > KvProtocol::MaxFrameSize)
            return std::nullopt;
        std::vector<uint8_t> body(size);
        if (!readAll(body.data(), size))
            return std::nullopt;
        return body;
    }

    int m_fd = -1;
    bool m_connected = false;
    uint32_t m_sequence = 0;
    std::deque<std::vector<uint8_t>> m_messages;
};
