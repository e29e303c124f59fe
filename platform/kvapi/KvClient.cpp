#include "platform/kvapi/KvClient.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QThread>

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
    // A server that stops reading must not block a request for longer than the reply timeout, and a
    // blocking receive of its reply waits no longer either.
    timeval limit{};
    limit.tv_sec = static_cast<time_t>(timeout.count() / 1000);
    limit.tv_usec = static_cast<suseconds_t>((timeout.count() % 1000) * 1000);
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    return fd;
}

// What a queued message of the given size costs the queue's bound, with its bookkeeping.
size_t queuedCost(size_t messageSize)
{
    return messageSize + 64;
}

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

void KvClient::setBrokenCallback(std::function<void()> callback)
{
    std::lock_guard lock(m_mutex);
    m_brokenCallback = std::move(callback);
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
    const char *text = std::getenv("KV_SERVER_PORT");
    if (!text)
        return DefaultPort;
    return portFromText(text).value_or(0);
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
    const uint16_t port = serverPort();
    if (port == 0) {
        qWarning("KV_SERVER_PORT is not a port number: %s", std::getenv("KV_SERVER_PORT"));
        return false;
    }
    const auto timeout = replyTimeout();
    const int fd = connectWithin(address, port, timeout);
    if (fd < 0)
        return false;
    prepareDelivery();
    {
        std::lock_guard lock(m_mutex);
        m_socket = fd;
        m_socketTimeout = timeout;
        m_connected = true;
    }
    if (m_socketNotifier && QThread::currentThread() == m_socketNotifier->thread()) {
        m_socketNotifier->setSocket(fd);
        m_socketNotifier->setEnabled(true);
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
    int fd = -1;
    {
        std::lock_guard lock(m_mutex);
        m_connected = false;
        fd = m_socket;
    }
    // Ends a call waiting on another thread at once.
    if (fd >= 0)
        ::shutdown(fd, SHUT_RDWR);
    std::lock_guard socketLock(m_socketMutex);
    stopWatching();
    {
        std::lock_guard lock(m_mutex);
        m_socket = -1;
        m_messages.clear();
        m_queuedBytes = 0;
    }
    m_input.clear();
    if (fd >= 0)
        ::close(fd);
}

bool KvClient::markBroken()
{
    std::lock_guard lock(m_mutex);
    const bool wasConnected = m_connected;
    m_connected = false;
    // The server sees the connection end; the descriptor stays until disconnect() closes it.
    if (m_socket >= 0)
        ::shutdown(m_socket, SHUT_RDWR);
    return wasConnected;
}

void KvClient::announceBroken()
{
    std::function<void()> callback;
    {
        std::lock_guard lock(m_mutex);
        callback = m_brokenCallback;
    }
    if (callback)
        callback();
}

uint16_t KvClient::call(Op op, const std::vector<uint8_t> &arguments, std::vector<uint8_t> *replyData)
{
    if (replyData)
        replyData->clear();
    std::unique_lock socketLock(m_socketMutex);
    int fd = -1;
    std::chrono::milliseconds timeout{};
    bool receiveWaits = false;
    {
        std::lock_guard lock(m_mutex);
        if (!m_connected)
            return 0;
        fd = m_socket;
        timeout = m_replyTimeout;
        // The first wait is the receive itself while the socket's receive timeout is the reply timeout.
        receiveWaits = m_socketTimeout == timeout;
    }
    AwaitedReply reply;
    reply.sequence = ++m_sequence;
    reply.data = replyData;
    std::vector<uint8_t> frame;
    frame.reserve(10 + arguments.size());
    Writer(frame)
        .u32(static_cast<uint32_t>(6 + arguments.size()))
        .u16(static_cast<uint16_t>(op))
        .u32(reply.sequence)
        .bytes(arguments.data(), arguments.size());
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    bool intact = sendAll(fd, frame.data(), frame.size());
    size_t queued = 0;
    if (intact && receiveWaits)
        intact = receive(fd, &reply, queued, true);
    while (intact && !reply.arrived) {
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            break;
        pollfd readable{fd, POLLIN, 0};
        const int ready = ::poll(&readable, 1, static_cast<int>(left.count()));
        if (ready > 0)
            intact = receive(fd, &reply, queued, false);
        else if (ready < 0 && errno != EINTR)
            intact = false;
    }
    const bool broke = !intact && markBroken();
    socketLock.unlock();
    announce(queued);
    if (broke)
        announceBroken();
    return reply.arrived ? reply.result : 0;
}

bool KvClient::receive(int socket, AwaitedReply *awaited, size_t &queued, bool wait)
{
    uint8_t chunk[16384];
    const ssize_t got = ::recv(socket, chunk, sizeof chunk, wait ? 0 : MSG_DONTWAIT);
    if (got == 0)
        return false;
    if (got < 0)
        return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
    // The frames are taken from the chunk itself unless a frame's start is waiting from before.
    const bool fromChunk = m_input.empty();
    if (!fromChunk)
        m_input.insert(m_input.end(), chunk, chunk + got);
    const uint8_t *data = fromChunk ? chunk : m_input.data();
    const size_t size = fromChunk ? static_cast<size_t>(got) : m_input.size();
    size_t used = 0;
    while (size - used >= 4) {
        const uint32_t length = Reader(data + used, 4).u32();
        if (length == 0 || length > MaxFrameSize)
            return false;
        if (size - used - 4 < length)
            break;
        if (!takeFrame(data + used + 4, length, awaited, queued))
            return false;
        used += 4 + length;
    }
    if (fromChunk)
        m_input.assign(chunk + used, chunk + got);
    else
        m_input.erase(m_input.begin(), m_input.begin() + static_cast<long>(used));
    return true;
}

bool KvClient::takeFrame(const uint8_t *frame, size_t size, AwaitedReply *awaited, size_t &queued)
{
    const auto kind = static_cast<FrameKind>(frame[0]);
    if (kind == FrameKind::Reply) {
        Reader reader(frame + 1, size - 1);
        const uint32_t sequence = reader.u32();
        const uint16_t result = reader.u16();
        // A reply to a request not yet sent is not the server's.
        if (!reader.ok() || static_cast<int32_t>(sequence - m_sequence) > 0)
            return false;
        // A reply that comes after its caller gave up is dropped.
        if (!awaited || sequence != awaited->sequence)
            return true;
        awaited->arrived = true;
        awaited->result = result;
        if (awaited->data)
            awaited->data->assign(frame + 7, frame + size);
        return true;
    }
    // A message carries at least its code.
    if (kind != FrameKind::Message || size < 3)
        return false;
    std::lock_guard lock(m_mutex);
    m_queuedBytes += queuedCost(size - 1);
    if (m_queuedBytes > MaxQueuedBytes)
        return false; // a server flooding faster than the messages are taken
    m_messages.emplace_back(frame + 1, frame + size);
    ++queued;
    return true;
}

void KvClient::prepareDelivery()
{
    QCoreApplication *application = QCoreApplication::instance();
    if (!application || m_wakeNotifier || QThread::currentThread() != application->thread())
        return;
    // A call counts each message it queued on an event descriptor; one wake-up delivers as many
    // messages as were counted, so a single pass of the event loop hands over everything that had
    // arrived. The notifiers belong to the application, so they go away with it.
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
    // Between calls the socket is read when it has data; each connection sets its descriptor.
    m_socketNotifier = new QSocketNotifier(QSocketNotifier::Read, application);
    QObject::connect(m_socketNotifier, &QSocketNotifier::activated, m_socketNotifier,
                     [this](QSocketDescriptor socket) { readBetweenCalls(socket); });
}

void KvClient::stopWatching()
{
    // From another thread it is left to stop itself: it finds its connection gone.
    if (m_socketNotifier && QThread::currentThread() == m_socketNotifier->thread())
        m_socketNotifier->setEnabled(false);
}

void KvClient::readBetweenCalls(int socket)
{
    size_t queued = 0;
    bool broke = false;
    {
        // A call on another thread is reading: its reply is on its way, so this waits briefly.
        std::lock_guard socketLock(m_socketMutex);
        bool current = false;
        {
            std::lock_guard lock(m_mutex);
            current = m_connected && m_socket == socket;
        }
        // A closed or broken connection stays readable; it is not watched any longer.
        if (!current) {
            stopWatching();
        } else if (!receive(socket, nullptr, queued, false)) {
            broke = markBroken();
            stopWatching();
        }
    }
    // This runs in the event loop, so the messages are handed over at once.
    while (queued-- > 0 && deliverOne()) {
    }
    if (broke)
        announceBroken();
}

void KvClient::announce(size_t queued)
{
    if (queued == 0)
        return;
    int wake = -1;
    {
        std::lock_guard lock(m_mutex);
        wake = m_wake;
    }
    // One count per message keeps the server's order: each delivery on the user-interface thread takes
    // the oldest message. Without an application the messages are handed over right here.
    const uint64_t count = queued;
    if (wake >= 0 && QCoreApplication::instance() && ::write(wake, &count, sizeof count) == sizeof count)
        return;
    while (queued-- > 0 && deliverOne()) {
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
        m_queuedBytes -= queuedCost(message.size());
        callback = m_callback;
    }
    if (callback)
        callback(message.data(), static_cast<uint32_t>(message.size()));
    return true;
}
