#include "kvserver/KvServer.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace KvProtocol;

namespace {

// A client whose output backs up beyond this is dropped rather than buffered without end.
constexpr size_t MaxPendingOutput = 16 * 1024 * 1024;
// After accepting fails for want of descriptors or memory, the listener rests this long rather than
// wake the loop again at once.
constexpr std::chrono::milliseconds AcceptPause{500};

// Milliseconds from now until a moment, rounded up; 0 when it has passed.
int msUntil(KvServer::Clock::time_point moment, KvServer::Clock::time_point now)
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(moment - now).count();
    return static_cast<int>(std::clamp<long long>(left, 0, 60'000));
}

// The sooner of two poll timeouts, where -1 is none.
int soonerTimeout(int a, int b)
{
    if (a < 0)
        return b;
    return b < 0 ? a : std::min(a, b);
}

} // namespace

struct KvServer::Client
{
    int fd = -1;
    int id = 0;
    KvServer::Clock::time_point connectedAt;
    bool greeted = false;
    std::vector<uint8_t> input;
    std::vector<uint8_t> output;
    bool broken = false;
};

KvServer::KvServer(SimConfig config) : m_chassis(std::move(config))
{
    m_chassis.setLog([this](const std::string &line) { log(line); });
    m_chassis.setWarningLog([this](const std::string &line) { log(line, true); });
    m_wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
}

KvServer::~KvServer()
{
    stop();
    closeAll();
    if (m_listener >= 0)
        ::close(m_listener);
    if (m_wake >= 0)
        ::close(m_wake);
}

std::optional<uint32_t> KvServer::ipv4Address(const std::string &text)
{
    in_addr address{};
    if (::inet_pton(AF_INET, text.c_str(), &address) != 1)
        return std::nullopt;
    return address.s_addr;
}

bool KvServer::listen(uint16_t port, const std::string &address, std::string &error)
{
    const std::optional<uint32_t> listened = ipv4Address(address);
    if (!listened) {
        error = "not an IPv4 address: " + address;
        return false;
    }
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    local.sin_addr.s_addr = *listened;
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    const int on = 1;
    if (fd < 0 || ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0 ||
        ::bind(fd, reinterpret_cast<const sockaddr *>(&local), sizeof local) != 0 || ::listen(fd, 16) != 0) {
        error = std::string("cannot listen: ") + std::strerror(errno);
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    socklen_t size = sizeof local;
    ::getsockname(fd, reinterpret_cast<sockaddr *>(&local), &size);
    m_listener = fd;
    m_port = ntohs(local.sin_port);
    return true;
}

void KvServer::start()
{
    if (m_running)
        return;
    m_stopRequested = false;
    m_running = true;
    m_thread = std::thread(&KvServer::run, this);
}

int KvServer::exec()
{
    m_stopRequested = false;
    m_running = true;
    run();
    return 0;
}

void KvServer::stop()
{
    m_stopRequested = true;
    const uint64_t one = 1;
    if (m_wake >= 0) [[maybe_unused]]
        const auto written = ::write(m_wake, &one, sizeof one);
    if (m_thread.joinable())
        m_thread.join();
}

void KvServer::post(std::function<void()> command)
{
    {
        std::lock_guard lock(m_commandMutex);
        m_commands.push_back(std::move(command));
    }
    const uint64_t one = 1;
    [[maybe_unused]] const auto written = ::write(m_wake, &one, sizeof one);
}

void KvServer::runCommands()
{
    std::vector<std::function<void()>> commands;
    {
        std::lock_guard lock(m_commandMutex);
        if (m_commands.empty())
            return;
        commands.swap(m_commands);
    }
    for (auto &command : commands)
        command();
}

void KvServer::setLinkUp(uint8_t card, uint8_t port, bool up)
{
    post([=, this] {
        const SimAnswer answer = m_chassis.setLinkUp(card, port, up);
        log(std::string("control link ") + std::to_string(card) + "," + std::to_string(port) +
            (up ? " up" : " down"));
        broadcast(answer);
    });
}

void KvServer::advanceTime(std::chrono::nanoseconds duration)
{
    post([=, this] { broadcast(m_chassis.advanceTime(int64_t(duration.count()) * 1000)); });
}

void KvServer::broadcast(const SimAnswer &answer)
{
    for (auto &client : m_clients) {
        if (client->greeted) {
            for (const SimOutput &output : answer.messages)
                sendMessage(*client, output.message);
        }
    }
}

bool KvServer::failCall(std::string_view name, uint8_t card, uint8_t port, unsigned nth)
{
    const Op op = opFromName(name);
    if (op == Op::Count)
        return false;
    post([=, this] { m_chassis.failCall(op, card, port, nth); });
    return true;
}

void KvServer::setSourceDropped(uint32_t source, bool dropped)
{
    post([=, this] { m_chassis.setSourceDropped(source, dropped); });
}

void KvServer::dropClients()
{
    post([this] {
        for (auto &client : m_clients)
            client->broken = true;
    });
}

int KvServer::clientCount() const
{
    return m_clientCount;
}

std::vector<std::string> KvServer::callLog() const
{
    std::lock_guard lock(m_logMutex);
    return {m_log.begin(), m_log.end()};
}

void KvServer::setLogStream(FILE *stream, LogLines lines)
{
    std::lock_guard lock(m_logMutex);
    m_logStream = stream;
    m_logStreamLines = lines;
}

void KvServer::log(const std::string &line, bool warning)
{
    std::lock_guard lock(m_logMutex);
    m_log.push_back(line);
    if (m_log.size() > MaxLogLines)
        m_log.pop_front();
    if (m_logStream && (warning || m_logStreamLines == LogLines::All)) {
        std::fprintf(m_logStream, "%s\n", line.c_str());
        std::fflush(m_logStream);
    }
}

void KvServer::setHelloTimeout(std::chrono::milliseconds timeout)
{
    m_helloTimeoutMs = timeout.count();
}

int KvServer::msUntilHousekeeping(Clock::time_point now) const
{
    int timeout = now < m_acceptResumes ? msUntil(m_acceptResumes, now) : -1;
    const std::chrono::milliseconds helloTimeout{m_helloTimeoutMs.load()};
    for (const auto &client : m_clients) {
        if (!client->greeted)
            timeout = soonerTimeout(timeout, msUntil(client->connectedAt + helloTimeout, now));
    }
    return timeout;
}

void KvServer::run()
{
    while (!m_stopRequested) {
        const bool accepting = Clock::now() >= m_acceptResumes;
        std::vector<pollfd> waits;
        waits.push_back({m_wake, POLLIN, 0});
        waits.push_back({accepting ? m_listener : -1, POLLIN, 0}); // a negative descriptor is not watched
        for (const auto &client : m_clients)
            waits.push_back(
                {client->fd, static_cast<short>(POLLIN | (client->output.empty() ? 0 : POLLOUT)), 0});
        const int timeout = soonerTimeout(m_chassis.msUntilNextReport(), msUntilHousekeeping(Clock::now()));
        if (::poll(waits.data(), waits.size(), timeout) < 0 && errno != EINTR)
            break;
        broadcast(m_chassis.dueReports());
        if (waits[0].revents) {
            uint64_t count = 0;
            [[maybe_unused]] const auto read = ::read(m_wake, &count, sizeof count);
            runCommands();
        }
        if (waits[1].revents & POLLIN)
            acceptClients();
        // Clients accepted just now have no entry in this round's waits.
        for (size_t i = 0; i + 2 < waits.size() && i < m_clients.size(); ++i) {
            Client &client = *m_clients[i];
            if (waits[i + 2].revents & (POLLIN | POLLHUP | POLLERR)) {
                if (!readFrom(client))
                    client.broken = true;
            }
            if (!client.broken && (waits[i + 2].revents & POLLOUT))
                flush(client);
        }
        closeSilentClients();
        for (size_t i = m_clients.size(); i-- > 0;) {
            if (m_clients[i]->broken)
                closeClient(i);
        }
    }
    closeAll();
    m_running = false;
}

void KvServer::closeSilentClients()
{
    const std::chrono::milliseconds helloTimeout{m_helloTimeoutMs.load()};
    const auto now = Clock::now();
    for (auto &client : m_clients) {
        if (!client->greeted && !client->broken && now - client->connectedAt >= helloTimeout) {
            log("client " + std::to_string(client->id) + " closed: no greeting within " +
                std::to_string(helloTimeout.count()) + " ms");
            client->broken = true;
        }
    }
}

void KvServer::acceptClients()
{
    for (;;) {
        const int fd = ::accept4(m_listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK)
                return;
            // Out of descriptors or memory: the connection stays queued while the listener rests.
            m_acceptResumes = Clock::now() + AcceptPause;
            log(std::string("cannot accept a client: ") + std::strerror(errno) + "; trying again in " +
                std::to_string(AcceptPause.count()) + " ms");
            return;
        }
        if (m_clients.size() >= MaxClients) {
            ::close(fd);
            log("client refused: " + std::to_string(MaxClients) + " clients are connected already");
            continue;
        }
        const int on = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        auto client = std::make_unique<Client>();
        client->fd = fd;
        client->id = m_nextClientId++;
        client->connectedAt = Clock::now();
        log("client " + std::to_string(client->id) + " connected");
        m_clients.push_back(std::move(client));
    }
}

bool KvServer::readFrom(Client &client)
{
    uint8_t buffer[16384];
    for (;;) {
        const ssize_t got = ::recv(client.fd, buffer, sizeof buffer, 0);
        if (got == 0)
            return false;
        if (got < 0)
            return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
        client.input.insert(client.input.end(), buffer, buffer + got);
        size_t used = 0;
        while (client.input.size() - used >= 4) {
            const uint32_t size = Reader(client.input.data() + used, 4).u32();
            if (size < 6 || size > MaxFrameSize)
                return false; // not our protocol
            if (client.input.size() - used - 4 < size)
                break;
            if (!serveFrame(client, client.input.data() + used + 4, size))
                return false;
            used += 4 + size;
        }
        client.input.erase(client.input.begin(), client.input.begin() + static_cast<long>(used));
        // A short read emptied the socket; the next wait reports what comes later.
        if (m_stopRequested || static_cast<size_t>(got) < sizeof buffer)
            return true;
    }
}

bool KvServer::serveFrame(Client &client, const uint8_t *frame, size_t size)
{
    // Control commands given before this request was sent take effect before it is served.
    runCommands();
    Reader in(frame, size);
    const auto op = static_cast<Op>(in.u16());
    const uint32_t sequence = in.u32();
    const uint8_t *arguments = frame + 6;
    const size_t argumentSize = size - 6;

    SimAnswer answer;
    if (op == Op::Hello) {
        Reader hello(arguments, argumentSize);
        const bool accepted = hello.u32() == ProtocolVersion && hello.atEnd();
        if (accepted && !client.greeted) {
            client.greeted = true;
            m_chassis.addClient(client.id);
            m_clientCount = m_chassis.clientCount();
        }
        answer.result = accepted ? 1 : 0;
        if (accepted)
            answer.messages.push_back({SimOutput::Caller, m_chassis.inventoryMessage()});
    } else if (client.greeted && op < Op::Count) {
        answer = m_chassis.handle(client.id, op, arguments, argumentSize);
    }
    log("client " + std::to_string(client.id) + " " + std::string(opName(op)) + " -> " +
        std::to_string(answer.result));

    std::vector<uint8_t> reply;
    Writer(reply)
        .u32(static_cast<uint32_t>(7 + answer.data.size()))
        .u8(static_cast<uint8_t>(FrameKind::Reply))
        .u32(sequence)
        .u16(answer.result)
        .bytes(answer.data.data(), answer.data.size());
    // The other clients hear of a change (a lock, a link) before the caller's call returns.
    for (const SimOutput &output : answer.messages) {
        if (output.target != SimOutput::Everyone)
            continue;
        for (auto &other : m_clients) {
            if (other.get() != &client && other->greeted)
                sendMessage(*other, output.message);
        }
    }
    sendFrame(client, reply);
    for (const SimOutput &output : answer.messages)
        sendMessage(client, output.message);

    if (answer.terminateServer) {
        for (auto &each : m_clients) {
            flush(*each);
            each->broken = true;
        }
        m_stopRequested = true;
    }
    return true;
}

void KvServer::sendMessage(Client &client, const std::vector<uint8_t> &message)
{
    std::vector<uint8_t> frame;
    Writer(frame)
        .u32(static_cast<uint32_t>(1 + message.size()))
        .u8(static_cast<uint8_t>(FrameKind::Message))
        .bytes(message.data(), message.size());
    sendFrame(client, frame);
}

void KvServer::sendFrame(Client &client, const std::vector<uint8_t> &frame)
{
    if (client.broken)
        return;
    client.output.insert(client.output.end(), frame.begin(), frame.end());
    flush(client);
    if (client.output.size() > MaxPendingOutput)
        client.broken = true;
}

void KvServer::flush(Client &client)
{
    size_t sent = 0;
    while (sent < client.output.size()) {
        const ssize_t done =
            ::send(client.fd, client.output.data() + sent, client.output.size() - sent, MSG_NOSIGNAL);
        if (done < 0 && errno == EINTR)
            continue;
        if (done < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        if (done <= 0) {
            client.broken = true;
            break;
        }
        sent += static_cast<size_t>(done);
    }
    client.output.erase(client.output.begin(), client.output.begin() + static_cast<long>(sent));
}

void KvServer::closeClient(size_t index)
{
    std::unique_ptr<Client> client = std::move(m_clients[index]);
    m_clients.erase(m_clients.begin() + static_cast<long>(index));
    ::close(client->fd);
    log("client " + std::to_string(client->id) + " disconnected");
    if (!client->greeted)
        return;
    const SimAnswer answer = m_chassis.removeClient(client->id);
    m_clientCount = m_chassis.clientCount();
    broadcast(answer);
}

void KvServer::closeAll()
{
    while (!m_clients.empty())
        closeClient(m_clients.size() - 1);
}
