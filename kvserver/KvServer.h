// The chassis server: accepts library clients on a TCP port and answers them from one simulated chassis.
// It runs on its own thread (start) or on the caller's (exec); the control calls are thread-safe.
#pragma once

#include "kvserver/SimChassis.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

class KvServer
{
public:
    using Clock = std::chrono::steady_clock;

    // Connections served at once; a further one is closed as soon as it is accepted, with a log line.
    static constexpr size_t MaxClients = 64;
    // A connection that has not greeted the server within this long is closed.
    static constexpr std::chrono::milliseconds DefaultHelloTimeout{10'000};

    explicit KvServer(SimConfig config = {});
    ~KvServer();
    KvServer(const KvServer &) = delete;
    KvServer &operator=(const KvServer &) = delete;

    // Why the configured capture file could not be created; empty when fine.
    const std::string &recordingError() const { return m_chassis.recordingError(); }

    // The address of dotted IPv4 text ("127.0.0.1") in network byte order; none for other text.
    static std::optional<uint32_t> ipv4Address(const std::string &text);
    // Binds the listening socket; port 0 picks a free one. Only loopback unless another address is given.
    bool listen(uint16_t port, const std::string &address, std::string &error);
    uint16_t port() const { return m_port; }

    void start(); // serves on a thread of its own until stop() or a terminate request
    int exec();   // serves on this thread until a terminate request; returns 0
    void stop();
    bool isRunning() const { return m_running; }

    // Test control.
    void setLinkUp(uint8_t card, uint8_t port, bool up);
    // Moves simulated time on (the only way it moves with a time scale of 0); takes effect before
    // the next request is served.
    void advanceTime(std::chrono::nanoseconds duration);
    // The nth next call of the named operation on the port (card and port 0 for group and global calls)
    // answers 0; false for an unknown name.
    bool failCall(std::string_view name, uint8_t card, uint8_t port, unsigned nth);
    // The device drops multicast from the source address (host order) from the next request on, or
    // forwards it again: a fault that tests stage for part of a run.
    void setSourceDropped(uint32_t source, bool dropped);
    void dropClients(); // closes every connection as if the network failed
    void setHelloTimeout(std::chrono::milliseconds timeout);
    int clientCount() const;

    // The calls served, one line each ("client <id> <operation> -> <result>"), the latest MaxLogLines.
    static constexpr size_t MaxLogLines = 10000;
    std::vector<std::string> callLog() const;
    // Which lines of the log are also written to the log stream: every one (the server program's verbose
    // mode) or only warnings, the faults of the server itself (a capture file that stopped being written).
    enum class LogLines
    {
        Warnings,
        All,
    };
    void setLogStream(FILE *stream, LogLines lines);

private:
    struct Client;

    void run();
    void post(std::function<void()> command);
    void runCommands();
    void acceptClients();
    void closeSilentClients();
    // Real milliseconds until the listener is watched again or a connection's greeting is overdue.
    int msUntilHousekeeping(Clock::time_point now) const;
    bool readFrom(Client &client);
    bool serveFrame(Client &client, const uint8_t *frame, size_t size);
    void sendFrame(Client &client, const std::vector<uint8_t> &frame);
    void sendMessage(Client &client, const std::vector<uint8_t> &message);
    void flush(Client &client);
    void closeClient(size_t index);
    void closeAll();
    void log(const std::string &line, bool warning = false);
    void broadcast(const SimAnswer &answer);

    int m_listener = -1;
    int m_wake = -1; // eventfd that interrupts the wait for commands and stop
    uint16_t m_port = 0;
    std::thread m_thread;
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_stopRequested{false};
    std::atomic<int> m_clientCount{0};
    std::vector<std::unique_ptr<Client>> m_clients;
    int m_nextClientId = 1;
    Clock::time_point m_acceptResumes; // the listener rests until then
    std::atomic<int64_t> m_helloTimeoutMs{DefaultHelloTimeout.count()};

    std::mutex m_commandMutex;
    std::vector<std::function<void()>> m_commands;

    mutable std::mutex m_logMutex;
    std::deque<std::string> m_log; // the latest MaxLogLines lines
    FILE *m_logStream = nullptr;
    LogLines m_logStreamLines = LogLines::All;

    // Last, so that it goes first: shutting down, it still logs what it sends and a capture that failed.
    SimChassis m_chassis;
};
