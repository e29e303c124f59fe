// A stand-in chassis server for the test plan's tests: it accepts the hardware library on loopback,
// records every call with its argument bytes and answers each with a result chosen by the test (1
// unless told otherwise). It sends no messages.
#pragma once

#include "common/LoopbackListener.h"
#include "platform/kvapi/KvClient.h"
#include "platform/kvapi/KvProtocol.h"

#include <arpa/inet.h>
#include <atomic>
#include <cstring>
#include <functional>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

struct RecordedCall
{
    KvProtocol::Op op;
    std::vector<uint8_t> arguments;

    template <typename Block> Block block(size_t offset) const
    {
        Block value{};
        if (offset + sizeof value <= arguments.size())
            std::memcpy(&value, arguments.data() + offset, sizeof value);
        return value;
    }
    uint16_t u16(size_t offset) const { return block<uint16_t>(offset); }
    uint32_t u32(size_t offset) const { return block<uint32_t>(offset); }
    // (chassis, card, port) of a per-port call.
    bool isPort(uint16_t chassis, uint8_t card, uint8_t port) const
    {
        return u16(0) == chassis && arguments.size() > 3 && arguments[2] == card && arguments[3] == port;
    }
};

class RecordingKvServer
{
public:
    RecordingKvServer()
    {
        const LoopbackListener listener = listenOnLoopback(4);
        m_listener = listener.fd;
        m_port = listener.port;
        m_thread = std::thread([this] { serve(); });
        KvClient::instance().setServerPort(m_port);
        const char host[32] = "127.0.0.1";
        m_connected = Kv_SYS_ConnectToServer(host) == 1;
    }
    ~RecordingKvServer()
    {
        Kv_SYS_TerminateProcess();
        KvClient::instance().setServerPort(0);
        m_stop = true;
        ::shutdown(m_listener, SHUT_RDWR);
        m_thread.join();
        ::close(m_listener);
    }

    bool connected() const { return m_connected; }

    // The result of each later call; the default answers 1.
    void setAnswer(std::function<uint16_t(const RecordedCall &)> answer)
    {
        std::lock_guard lock(m_mutex);
        m_answer = std::move(answer);
    }

    std::vector<RecordedCall> calls() const
    {
        std::lock_guard lock(m_mutex);
        return m_calls;
    }
    std::vector<RecordedCall> calls(KvProtocol::Op op) const
    {
        std::vector<RecordedCall> found;
        for (const RecordedCall &call : calls()) {
            if (call.op == op)
                found.push_back(call);
        }
        return found;
    }
    void clear()
    {
        std::lock_guard lock(m_mutex);
        m_calls.clear();
    }

private:
    void serve()
    {
        int client = -1;
        std::vector<uint8_t> buffer;
        while (!m_stop) {
            pollfd wait[2] = {{m_listener, POLLIN, 0}, {client, POLLIN, 0}};
            if (::poll(wait, client < 0 ? 1 : 2, 100) <= 0)
                continue;
            if (wait[0].revents & POLLIN) {
                const int accepted = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
                if (accepted >= 0) {
                    if (client >= 0)
                        ::close(client);
                    client = accepted;
                    buffer.clear();
                }
                continue;
            }
            if (client < 0 || !(wait[1].revents & (POLLIN | POLLHUP)))
                continue;
            uint8_t chunk[65536];
            const ssize_t got = ::recv(client, chunk, sizeof chunk, 0);
            if (got <= 0) {
                ::close(client);
                client = -1;
                continue;
            }
            buffer.insert(buffer.end(), chunk, chunk + got);
            while (buffer.size() >= 4) {
                const uint32_t size = KvProtocol::Reader(buffer.data(), 4).u32();
                if (buffer.size() < 4 + size)
                    break;
                KvProtocol::Reader in(buffer.data() + 4, size);
                RecordedCall call{static_cast<KvProtocol::Op>(in.u16()), {}};
                const uint32_t sequence = in.u32();
                call.arguments.assign(buffer.begin() + 10, buffer.begin() + 4 + size);
                buffer.erase(buffer.begin(), buffer.begin() + 4 + size);
                uint16_t result = 1;
                if (call.op != KvProtocol::Op::Hello) {
                    std::lock_guard lock(m_mutex);
                    if (m_answer)
                        result = m_answer(call);
                    m_calls.push_back(std::move(call));
                }
                std::vector<uint8_t> reply;
                KvProtocol::Writer(reply)
                    .u32(7)
                    .u8(uint8_t(KvProtocol::FrameKind::Reply))
                    .u32(sequence)
                    .u16(result);
                ::send(client, reply.data(), reply.size(), MSG_NOSIGNAL);
            }
        }
        if (client >= 0)
            ::close(client);
    }

    int m_listener = -1;
    uint16_t m_port = 0;
    bool m_connected = false;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
    mutable std::mutex m_mutex;
    std::vector<RecordedCall> m_calls;
    std::function<uint16_t(const RecordedCall &)> m_answer;
};
