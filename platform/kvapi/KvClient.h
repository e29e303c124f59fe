// The hardware library's connection to the chassis server: requests answered by a 16-bit result, and
// server messages handed to the registered callback on the user-interface thread.
#pragma once

#include "platform/kvapi/KvAPI.h"
#include "platform/kvapi/KvProtocol.h"

#include <QPointer>

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

class QSocketNotifier;

// A call reads the socket itself until its reply comes, so no other thread is woken on the way; server
// messages it meets are queued. Between calls the user-interface thread reads the socket when it has
// data. Queued messages reach the callback from the user-interface thread's event loop, in server order
// (without an application, on the calling thread as its call ends).
class KvClient
{
public:
    static constexpr std::chrono::milliseconds DefaultReplyTimeout{3000};
    // Server messages held for delivery at most, in bytes; a server that sends more before they are
    // taken breaks the connection.
    static constexpr size_t MaxQueuedBytes = 32 * 1024 * 1024;

    static KvClient &instance();
    ~KvClient();

    void setCallback(KvEventCallbackFunc callback);
    // Told once each time an open connection breaks (the server went away), after the client has let go
    // of its locks; not told for disconnect().
    void setBrokenCallback(std::function<void()> callback);

    // Opens the connection to host:serverPort() and greets the server; false when it does not answer.
    bool connectToServer(const std::string &host);
    // Closes the connection; messages not yet delivered are dropped. Harmless when closed.
    void disconnect();
    bool isConnected() const;

    // Sends one request and waits for its result without using the processor; 0 when there is no
    // connection, the connection breaks, or no answer comes within the reply timeout.
    uint16_t call(KvProtocol::Op op, const std::vector<uint8_t> &arguments,
                  std::vector<uint8_t> *replyData = nullptr);

    // How long connecting and each call may wait (tests shorten it).
    void setReplyTimeout(std::chrono::milliseconds timeout);
    std::chrono::milliseconds replyTimeout() const;

    // The server port: the one set here, else KV_SERVER_PORT, else KvProtocol::DefaultPort. 0 when
    // KV_SERVER_PORT names no port: connecting then fails rather than reach another port.
    void setServerPort(uint16_t port); // 0 goes back to the environment or the default
    uint16_t serverPort() const;

private:
    // The reply a call waits for.
    struct AwaitedReply
    {
        uint32_t sequence = 0;
        std::vector<uint8_t> *data = nullptr;
        bool arrived = false;
        uint16_t result = 0;
    };

    KvClient() = default;
    // With m_socketMutex held: reads what the socket holds (with wait, waits for data up to the socket's
    // receive timeout) and takes its whole frames; false when the connection is broken or the server
    // breaks the protocol.
    bool receive(int socket, AwaitedReply *awaited, size_t &queued, bool wait);
    // Takes one frame: the awaited reply, or a message queued for delivery. False for a frame of
    // another kind, one too short for its kind, a reply to a request never sent, or a message beyond
    // the queue's bound.
    bool takeFrame(const uint8_t *frame, size_t size, AwaitedReply *awaited, size_t &queued);
    // The user-interface thread's read of server messages between calls.
    void readBetweenCalls(int socket);
    void prepareDelivery();
    void stopWatching();
    // Has the messages a call queued delivered: from the event loop, or here without an application.
    void announce(size_t queued);
    // Hands the oldest queued message to the callback; false when none is queued.
    bool deliverOne();
    // True when the connection was open until now.
    bool markBroken();
    void announceBroken();

    mutable std::mutex m_mutex; // everything below but the socket's input
    // The socket's one reader at a time: a call, or the user-interface thread between calls. Taken
    // before m_mutex, never while holding it.
    std::mutex m_socketMutex;
    std::vector<uint8_t> m_input; // the start of a frame not yet whole (m_socketMutex)
    uint32_t m_sequence = 0;      // of the latest request (m_socketMutex)
    int m_socket = -1;
    std::chrono::milliseconds m_socketTimeout{}; // the receive timeout the socket was given
    bool m_connected = false;
    std::deque<std::vector<uint8_t>> m_messages;
    size_t m_queuedBytes = 0; // of m_messages, as queuedCost counts them
    KvEventCallbackFunc m_callback = nullptr;
    std::function<void()> m_brokenCallback;
    int m_wake = -1;                            // counts the messages calls queued for delivery
    QPointer<QSocketNotifier> m_wakeNotifier;   // delivers them on the user-interface thread
    QPointer<QSocketNotifier> m_socketNotifier; // reads messages there between calls
    std::chrono::milliseconds m_replyTimeout = DefaultReplyTimeout;
    uint16_t m_serverPort = 0;
};
