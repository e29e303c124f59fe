// The hardware library's connection to the chassis server: requests answered by a 16-bit result, and
// server messages handed to the registered callback on the user-interface thread.
#pragma once

#include "platform/kvapi/KvAPI.h"
#include "platform/kvapi/KvProtocol.h"

#include <QPointer>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class QSocketNotifier;

class KvClient
{
public:
    static constexpr std::chrono::milliseconds DefaultReplyTimeout{3000};

    static KvClient &instance();
    ~KvClient();

    void setCallback(KvEventCallbackFunc callback);

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

    // The server port: the one set here, else KV_SERVER_PORT, else KvProtocol::DefaultPort.
    void setServerPort(uint16_t port); // 0 goes back to the environment or the default
    uint16_t serverPort() const;

private:
    KvClient() = default;
    void readLoop(int socket);
    void handleFrame(const std::vector<uint8_t> &frame);
    void prepareDelivery();
    // Hands the oldest queued message to the callback; false when none is queued.
    bool deliverOne();
    void dropConnection(std::unique_lock<std::mutex> &lock);

    mutable std::mutex m_mutex;
    std::condition_variable m_replyArrived;
    std::mutex m_callMutex; // one request in flight at a time
    int m_socket = -1;
    bool m_connected = false;
    std::thread m_reader;
    uint32_t m_sequence = 0;
    uint32_t m_pendingSequence = 0;
    bool m_replyReady = false;
    uint16_t m_replyResult = 0;
    std::vector<uint8_t> m_replyData;
    std::deque<std::vector<uint8_t>> m_messages;
    KvEventCallbackFunc m_callback = nullptr;
    int m_wake = -1;                          // counts the messages queued for delivery
    QPointer<QSocketNotifier> m_wakeNotifier; // delivers them on the user-interface thread
    std::chrono::milliseconds m_replyTimeout = DefaultReplyTimeout;
    uint16_t m_serverPort = 0;
};
