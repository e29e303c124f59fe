#include "platform/kvapi/KvClient.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <arpa/inet.h>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace KvProtocol;

namespace {

bool sendAll(int socket, const uint8_t *data, size_t size)
{
    while (size > 0) {
        const ssize_t sent = ::send(socket, data, size, MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent <= 0)
            return false;
        data += sent;
        size -= static_cast<size_t>(sent);
    }
    return true;
}

bool receiveAll(int socket, uint8_t *data, size_t size)
{
    while (size > 0) {
        const ssize_t got = ::recv(socket, data, size, 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        data += got;
        size -= static_cast<size_t>(got);
    }
    return true;
}

// The IPv4 address of a host text (dotted or a name), false when it has none.
bool resolveIpv4(const std::string &host, in_addr &address)
{
    if (::inet_pton(AF_INET, host.c_str(), &address) == 1)
        return true;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo *found = nullptr;
    if (::getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found)
        return false;
    address = reinterpret_cast<const sockaddr_in *>(found->ai_addr)->sin_addr;
    ::freeaddrinfo(found);
    return true;
}

// Connects within the timeout; returns the blocking socket, or -1.
int connectWithin(const in_addr &address, uint16_t port, std::chrono::milliseconds timeout)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return -1;
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_port = htons(port);
    peer.sin_addr = address;
    int status = ::connect(fd, reinterpret_cast<const sockaddr *>(&peer), sizeof peer);
    if (status < 0 && errno == EINPROGRESS) {
        pollfd waitFor{fd, POLLOUT, 0};
        int error = ETIMEDOUT;
        socklen_t errorSize = sizeof error;
        if (::poll(&waitFor, 1, static_cast<int>(timeout.count())) == 1)
            ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &errorSize);
        status = error == 0 ? 0 : -1;
    }
    if (status < 0) {
        ::close(fd);
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    // A server that stops reading must not block a request for longer than the reply timeout.
    timeval sendTimeout{};
    sendTimeout.tv_sec = static_cast<time_t>(timeout.count() / 1000);
    sendTimeout.tv_usec = static_cast<suseconds_t>((timeout.count() % 1000) * 1000);
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &sendTimeout, sizeof sendTimeout);
    return fd;
}

// Set on the reader thread, which must never wait for a reply itself.
thread_local bool t_isReaderThread = false;

} // namespace

KvClient &KvClient::instance()
{
    static KvClient client;
    return client;
}

KvClient::~KvClient()
{
    disconnect();
    if (m_wake >= 0)
        ::close(m_wake);
}

void KvClient::setCallback(KvEventCallbackFunc callback)
{
    std::lock_guard lock(m_mutex);
    m_callback = callback;
}

void KvClient::setReplyTimeout(std::chrono::milliseconds timeout)
{
    std::lock_guard lock(m_mutex);
    m_replyTimeout = timeout;
}

std::chrono::milliseconds KvClient::replyTimeout() const
{
    std::lock_guard lock(m_mutex);
    return m_replyTimeout;
}

void KvClient::setServerPort(uint16_t port)
{
    std::lock_guard lock(m_mutex);
    m_serverPort = port;
}

uint16_t KvClient::serverPort() const
{
    {
        std::lock_guard lock(m_mutex);
        if (m_serverPort != 0)
            return m_serverPort;
    }
    if (const char *text = std::getenv("KV_SERVER_PORT")) {
        char *end = nullptr;
        const unsigned long port = std::strtoul(text, &end, 10);
        if (end != text && *end == '\0' && port > 0 && port <= 65535)
            return static_cast<uint16_t>(port);
    }
    return DefaultPort;
}

bool KvClient::isConnected() const
{
    std::lock_guard lock(m_mutex);
    return m_connected;
}

bool KvClient::connectToServer(const std::string &host)
{
    disconnect();
    in_addr address{};
    if (!resolveIpv4(host, address))
        return false;
    const int fd = connectWithin(address, serverPort(), replyTimeout());
    if (fd < 0)
        return false;
    prepareDelivery();
    {
        std::lock_guard lock(m_mutex);
        m_socket = fd;
        m_connected = true;
        m_reader = std::thread(&KvClient::readLoop, this, fd);
    }
    std::vector<uint8_t> hello;
    Writer(hello).u32(ProtocolVersion);
    if (call(Op::Hello, hello) == 0) {
        disconnect();
        return false;
    }
    return true;
}

void KvClient::disconnect()
{
    std::thread reader;
    int fd = -1;
    {
        std::unique_lock lock(m_mutex);
        dropConnection(lock);
        reader = std::move(m_reader);
        fd = m_socket;
        m_socket = -1;
        m_messages.clear();
    }
    if (fd >= 0)
        ::shutdown(fd, SHUT_RDWR);
    if (reader.joinable()) {
        if (t_isReaderThread)
            reader.detach();
        else
            reader.join();
    }
    if (fd >= 0)
        ::close(fd);
}

void KvClient::dropConnection(std::unique_lock<std::mutex> &)
{
    m_connected = false;
    m_replyArrived.notify_all();
}

uint16_t KvClient::call(Op op, const std::vector<uint8_t> &arguments, std::vector<uint8_t> *replyData)
{
    if (replyData)
        replyData->clear();
    // Without an event loop to post to, messages are handed over on the reader thread: a request made
    // there could never receive its reply.
    if (t_isReaderThread)
        return 0;
    std::lock_guard callLock(m_callMutex);
    std::unique_lock lock(m_mutex);
    if (!m_connected)
        return 0;
    const uint32_t sequence = ++m_sequence;
    m_pendingSequence = sequence;
    m_replyReady = false;
    const int fd = m_socket;
    const auto timeout = m_replyTimeout;
    lock.unlock();

    std::vector<uint8_t> frame;
    Writer(frame)
        .u32(static_cast<uint32_t>(6 + arguments.size()))
        .u16(static_cast<uint16_t>(op))
        .u32(sequence);
    frame.insert(frame.end(), arguments.begin(), arguments.end());
    const bool sent = sendAll(fd, frame.data(), frame.size());

    lock.lock();
    if (!sent) {
        dropConnection(lock);
        return 0;
    }
    const bool answered = m_replyArrived.wait_for(lock, timeout, [this] {
        return m_replyReady || !m_connected;
    }) && m_replyReady;
    m_pendingSequence = 0;
    if (!answered)
        return 0;
    if (replyData)
        *replyData = std::move(m_replyData);
    return m_replyResult;
}

void KvClient::readLoop(int socket)
{
    t_isReaderThread = true;
    for (;;) {
        uint8_t header[4];
        if (!receiveAll(socket, header, sizeof header))
            break;
        const uint32_t size = Reader(header, sizeof header).u32();
        if (size == 0 || size > MaxFrameSize)
            break;
        std::vector<uint8_t> frame(size);
        if (!receiveAll(socket, frame.data(), frame.size()))
            break;
        handleFrame(frame);
    }
    std::unique_lock lock(m_mutex);
    if (m_socket == socket)
        dropConnection(lock);
}

void KvClient::prepareDelivery()
{
    QCoreApplication *application = QCoreApplication::instance();
    if (!application || m_wakeNotifier)
        return;
    // The reader thread counts each queued message on an event descriptor; one wake-up delivers as
    // many messages as were counted, so a single pass of the event loop hands over everything that
    // had arrived. Its notifier belongs to the application, so it goes away with it.
    std::lock_guard lock(m_mutex);
    if (m_wake < 0)
        m_wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_wake < 0)
        return;
    m_wakeNotifier = new QSocketNotifier(m_wake, QSocketNotifier::Read, application);
    QObject::connect(m_wakeNotifier, &QSocketNotifier::activated, m_wakeNotifier, [this] {
        uint64_t count = 0;
        if (::read(m_wake, &count, sizeof count) != sizeof count)
            return;
        while (count-- > 0 && deliverOne()) {
        }
    });
}

void KvClient::handleFrame(const std::vector<uint8_t> &frame)
{
    const auto kind = static_cast<FrameKind>(frame[0]);
    if (kind == FrameKind::Reply) {
        Reader reader(frame.data() + 1, frame.size() - 1);
        const uint32_t sequence = reader.u32();
        const uint16_t result = reader.u16();
        if (!reader.ok())
            return;
        std::lock_guard lock(m_mutex);
        // A reply that comes after its caller gave up is dropped.
        if (sequence != m_pendingSequence || m_pendingSequence == 0)
            return;
        m_replyResult = result;
        m_replyData.assign(frame.begin() + 7, frame.end());
        m_replyReady = true;
        m_replyArrived.notify_all();
    } else if (kind == FrameKind::Message && frame.size() > 1) {
        int wake = -1;
        {
            std::lock_guard lock(m_mutex);
            m_messages.emplace_back(frame.begin() + 1, frame.end());
            wake = m_wake;
        }
        // One count per message keeps the server's order: each delivery on the user-interface thread
        // takes the oldest message. Without an application the message is handed over right here.
        const uint64_t one = 1;
        if (wake < 0 || !QCoreApplication::instance() || ::write(wake, &one, sizeof one) != sizeof one)
            deliverOne();
    }
}

bool KvClient::deliverOne()
{
    std::vector<uint8_t> message;
    KvEventCallbackFunc callback = nullptr;
    {
        std::lock_guard lock(m_mutex);
        if (m_messages.empty())
            return false;
        message = std::move(m_messages.front());
        m_messages.pop_front();
        callback = m_callback;
    }
    if (callback)
        callback(message.data(), static_cast<uint32_t>(message.size()));
    return true;
}
