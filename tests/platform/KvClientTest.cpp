// The hardware library's transport: results, timeouts, and the order and thread of server messages.
#include "platform/kvapi/KvClient.h"
#include "common/LoopbackListener.h"
#include "common/TestFiles.h"
#include "kvserver/KvServer.h"
#include "platform/kvapi/KvAPI.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTest>
#include <QThread>
#include <arpa/inet.h>
#include <atomic>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <netinet/in.h>
#include <semaphore>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

struct Received
{
    uint16_t code;
    uint16_t linkCode; // of the first entry of a link status list
    bool onMainThread;
    uint32_t length;
};
std::vector<Received> g_received;
uint16_t g_resultInsideCallback = 0xFFFF;

void recordMessage(const uint8_t *message, uint32_t length)
{
    ASSERT_GE(length, 2u);
    const uint16_t code = KvProtocol::readBigEndian16(message);
    const uint16_t linkCode =
        code == KvProtocol::MsgLinkStatus && length >= 26 ? KvProtocol::readBigEndian16(message + 24) : 0;
    g_received.push_back({code, linkCode, QThread::currentThread() == qApp->thread(), length});
    // The inventory's handler asks for link status from inside the callback.
    if (code == KvProtocol::MsgInventory)
        g_resultInsideCallback = Kv_TQModule_LinkStatus(1, 2, 1);
}

class KvClientTest : public testing::Test
{
protected:
    void SetUp() override
    {
        g_received.clear();
        g_resultInsideCallback = 0xFFFF;
        Kv_SYS_Init(recordMessage, 0xFF);
    }
    void TearDown() override
    {
        Kv_SYS_TerminateProcess();
        KvClient::instance().setServerPort(0);
        KvClient::instance().setReplyTimeout(KvClient::DefaultReplyTimeout);
        server.reset();
        Kv_SYS_Init(nullptr, 0xFF);
    }

    void startServer()
    {
        server = std::make_unique<KvServer>();
        std::string error;
        ASSERT_TRUE(server->listen(0, "127.0.0.1", error)) << error;
        server->start();
        KvClient::instance().setServerPort(server->port());
    }

    static uint16_t connect()
    {
        const char address[32] = "127.0.0.1";
        return Kv_SYS_ConnectToServer(address);
    }

    std::unique_ptr<KvServer> server;
};

// A socket that accepts connections (the kernel does) but never answers.
class SilentServer
{
public:
    SilentServer()
    {
        const LoopbackListener listener = listenOnLoopback(4);
        m_fd = listener.fd;
        port = listener.port;
    }
    ~SilentServer() { close(); }
    // Closing the listener resets the connections it never accepted.
    void close()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }
    uint16_t port = 0;

private:
    int m_fd;
};

// A loopback port with nobody listening on it.
uint16_t freePort()
{
    SilentServer probe;
    return probe.port;
}

} // namespace

TEST_F(KvClientTest, MessagesArriveOnTheMainThreadInServerOrderAndCallsWorkInside)
{
    startServer();
    ASSERT_EQ(connect(), 1);
    EXPECT_TRUE(g_received.empty()) << "messages wait for the event loop";
    ASSERT_TRUE(QTest::qWaitFor([] { return g_received.size() >= 2; }, 3000));
    EXPECT_EQ(g_received[0].code, KvProtocol::MsgInventory);
    EXPECT_EQ(g_received[1].code, KvProtocol::MsgLinkStatus); // answer of the call made inside
    EXPECT_EQ(g_resultInsideCallback, 1);
    for (const Received &received : g_received)
        EXPECT_TRUE(received.onMainThread);

    // A burst keeps its order: the link of one port goes down and up again ten times. The first burst
    // is read between calls, the second by the call that follows it.
    for (const bool callFollows : {false, true}) {
        g_received.clear();
        for (int i = 0; i < 20; ++i)
            server->setLinkUp(2, 1, i % 2 == 1);
        if (callFollows) {
            EXPECT_EQ(Kv_TQModule_LinkStatus(1, 2, 1), 1);
        }
        const size_t expected = callFollows ? 21 : 20;
        ASSERT_TRUE(QTest::qWaitFor([&] { return g_received.size() >= expected; }, 3000));
        ASSERT_EQ(g_received.size(), expected);
        // The call's own answer comes last: the link is up by then.
        for (size_t i = 0; i < g_received.size(); ++i)
            EXPECT_EQ(g_received[i].linkCode, i % 2 == 0 && i < 20 ? 255 : 11) << callFollows << " " << i;
    }
}

TEST_F(KvClientTest, CallsFromAnotherThreadWhileTheMainThreadReadsMessages)
{
    startServer();
    ASSERT_EQ(connect(), 1);
    constexpr int Calls = 50;
    std::atomic<int> answered{0};
    std::atomic<bool> done{false};
    std::thread caller([&] {
        for (int i = 0; i < Calls; ++i)
            answered += Kv_TQModule_LinkStatus(1, 2, 1);
        done = true;
    });
    // Another port's link flaps meanwhile, so messages come between the calls and during them.
    for (int i = 0; i < 20; ++i)
        server->setLinkUp(2, 2, i % 2 == 1);
    const bool finished = QTest::qWaitFor([&] { return done.load(); }, 10000);
    caller.join();
    ASSERT_TRUE(finished);
    EXPECT_EQ(answered, Calls);
    // The inventory with the answer of the call inside it, one answer a call, and the flaps.
    const size_t expected = 2 + Calls + 20;
    ASSERT_TRUE(QTest::qWaitFor([&] { return g_received.size() >= expected; }, 3000));
    EXPECT_EQ(g_received.size(), expected);
    for (const Received &received : g_received)
        EXPECT_TRUE(received.onMainThread);
}

namespace {

// A server that answers the greeting, then sends a message larger than one read in pieces, then a
// frame longer than the protocol allows.
class PiecewiseServer
{
public:
    static constexpr uint32_t MessageLength = 20000;

    PiecewiseServer()
    {
        const LoopbackListener listener = listenOnLoopback(1);
        m_listener = listener.fd;
        port = listener.port;
        m_thread = std::thread([this] { serve(); });
    }
    ~PiecewiseServer()
    {
        sendOversizedFrame();
        // Ends the wait for a connection or for the client to close it.
        ::shutdown(m_listener, SHUT_RDWR);
        if (m_peer >= 0)
            ::shutdown(m_peer, SHUT_RDWR);
        m_thread.join();
        if (m_peer >= 0)
            ::close(m_peer);
        ::close(m_listener);
    }
    void sendOversizedFrame() { m_oversized.release(); }

    uint16_t port = 0;

private:
    void serve()
    {
        const int peer = ::accept(m_listener, nullptr, nullptr);
        if (peer < 0)
            return;
        m_peer = peer;
        uint8_t hello[14];
        size_t got = 0;
        while (got < sizeof hello) {
            const ssize_t part = ::recv(peer, hello + got, sizeof hello - got, 0);
            if (part <= 0)
                break;
            got += static_cast<size_t>(part);
        }
        std::vector<uint8_t> out;
        KvProtocol::Writer(out).u32(7).u8(uint8_t(KvProtocol::FrameKind::Reply)).bytes(hello + 6, 4).u16(1);
        KvProtocol::Writer(out).u32(1 + MessageLength).u8(uint8_t(KvProtocol::FrameKind::Message));
        std::vector<uint8_t> message(MessageLength, 0);
        KvProtocol::writeBigEndian16(message.data(), KvProtocol::MsgClientCount);
        out.insert(out.end(), message.begin(), message.end());
        // The reply with the message's first bytes, then the rest of it a little later.
        const size_t firstPart = 7 + 4 + 3;
        ::send(peer, out.data(), firstPart, MSG_NOSIGNAL);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        ::send(peer, out.data() + firstPart, out.size() - firstPart, MSG_NOSIGNAL);
        m_oversized.acquire();
        std::vector<uint8_t> oversized;
        KvProtocol::Writer(oversized)
            .u32(KvProtocol::MaxFrameSize + 1)
            .u8(uint8_t(KvProtocol::FrameKind::Message));
        ::send(peer, oversized.data(), oversized.size(), MSG_NOSIGNAL);
        // Holds the connection open until the client closes it or the test ends.
        uint8_t rest[64];
        while (::recv(peer, rest, sizeof rest, 0) > 0) {
        }
    }

    int m_listener = -1;
    std::atomic<int> m_peer{-1};
    std::thread m_thread;
    std::counting_semaphore<2> m_oversized{0};
};

} // namespace

TEST_F(KvClientTest, FramesSplitAcrossReadsArriveWholeAndAnOversizedFrameBreaksTheConnection)
{
    PiecewiseServer piecewise;
    KvClient::instance().setServerPort(piecewise.port);
    ASSERT_EQ(connect(), 1);
    ASSERT_TRUE(QTest::qWaitFor([] { return !g_received.empty(); }, 3000));
    EXPECT_EQ(g_received[0].code, KvProtocol::MsgClientCount);
    EXPECT_EQ(g_received[0].length, PiecewiseServer::MessageLength);
    EXPECT_TRUE(KvClient::instance().isConnected());
    piecewise.sendOversizedFrame();
    EXPECT_TRUE(QTest::qWaitFor([] { return !KvClient::instance().isConnected(); }, 3000));
    EXPECT_EQ(g_received.size(), 1u);
}

TEST_F(KvClientTest, NoServerGivesZeroAtOnce)
{
    KvClient::instance().setServerPort(freePort());
    QElapsedTimer elapsed;
    elapsed.start();
    EXPECT_EQ(Kv_SYS_QueryNumOfClient(), 0); // not connected
    EXPECT_EQ(connect(), 0);                 // refused
    const char badAddress[32] = "not an address";
    EXPECT_EQ(Kv_SYS_ConnectToServer(badAddress), 0);
    EXPECT_LT(elapsed.elapsed(), 1000);
    EXPECT_EQ(Kv_SYS_TerminateProcess(), 1);
    EXPECT_EQ(Kv_SYS_TerminateProcess(), 1); // harmless twice
}

TEST_F(KvClientTest, ServerThatNeverAnswersTimesOut)
{
    SilentServer silent;
    KvClient::instance().setServerPort(silent.port);
    KvClient::instance().setReplyTimeout(std::chrono::milliseconds(200));
    QElapsedTimer elapsed;
    elapsed.start();
    EXPECT_EQ(connect(), 0); // the greeting is never answered
    EXPECT_GE(elapsed.elapsed(), 190);
    EXPECT_LT(elapsed.elapsed(), 2000);
    EXPECT_FALSE(KvClient::instance().isConnected());
}

TEST_F(KvClientTest, ServerDyingDuringACallEndsItAtOnce)
{
    SilentServer silent;
    KvClient::instance().setServerPort(silent.port);
    std::thread killer([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        silent.close();
    });
    QElapsedTimer elapsed;
    elapsed.start();
    EXPECT_EQ(connect(), 0);
    EXPECT_LT(elapsed.elapsed(), 2000) << "well before the three-second timeout";
    killer.join();
}

TEST_F(KvClientTest, CallWaitingWhenTheServerDiesReturnsZero)
{
    startServer();
    ASSERT_EQ(connect(), 1);
    server->dropClients();
    EXPECT_TRUE(QTest::qWaitFor([] { return !KvClient::instance().isConnected(); }, 3000));
    EXPECT_EQ(Kv_TQModule_LinkStatus(1, 2, 1), 0);
    ASSERT_EQ(connect(), 1); // a new connection works
    EXPECT_EQ(Kv_TQModule_LinkStatus(1, 2, 1), 1);
}

TEST_F(KvClientTest, TerminateServerEndsTheServer)
{
    startServer();
    ASSERT_EQ(connect(), 1);
    EXPECT_EQ(Kv_SYS_TerminateServer(), 1);
    EXPECT_TRUE(QTest::qWaitFor([this] { return !server->isRunning(); }, 3000));
    EXPECT_EQ(Kv_SYS_QueryNumOfClient(), 0);
}

TEST_F(KvClientTest, BlocksOfWrongSizeOrUnknownPortsFail)
{
    startServer();
    ASSERT_EQ(connect(), 1);
    EXPECT_EQ(KvClient::instance().call(KvProtocol::Op::Kv_SetupGroup, std::vector<uint8_t>(20)), 0);
    EXPECT_EQ(Kv_TQModule_BoardStatus(1, 15, 1), 0);
    EXPECT_EQ(Kv_TQModule_BoardStatus(2, 2, 1), 0);
    UtPortSet unknown{1, {0, 0, 0, 0x80000000u}};
    EXPECT_EQ(Kv_LockPortStatus(unknown), 0);
    KvGroupBlock group{};
    group.Ports.Chassis = 1;
    group.Flag = 1;
    EXPECT_EQ(Kv_SetupGroup(group), 1);
    EXPECT_EQ(Kv_QMC4_GlobalCmd_ClearTS(1, 0xF, 0), 1);
    EXPECT_EQ(Kv_QMC2_GlobalCmd_ClearTS(1, 0xF), 0); // another controller family
}

TEST_F(KvClientTest, ServerProgramOnLoopback)
{
    const uint16_t port = freePort();
    QProcess program;
    program.setProgram(besideTestProgram(QStringLiteral("KvServerAP")));
    program.setArguments({QStringLiteral("--port"), QString::number(port)});
    program.setChildProcessModifier([] {});
    program.start();
    ASSERT_TRUE(program.waitForStarted(5000));
    ASSERT_TRUE(program.waitForReadyRead(5000)) << "the server announces its port";
    KvClient::instance().setServerPort(port);
    EXPECT_EQ(connect(), 1);
    EXPECT_TRUE(QTest::qWaitFor([] { return !g_received.empty(); }, 3000));
    EXPECT_EQ(Kv_SYS_TerminateServer(), 1);
    EXPECT_TRUE(program.waitForFinished(5000));
    EXPECT_EQ(program.exitCode(), 0);
}

TEST_F(KvClientTest, ServerProgramKilledThenStartedAgain)
{
    const uint16_t port = freePort();
    KvClient::instance().setServerPort(port);
    auto startProgram = [port](QProcess &program) {
        program.start(besideTestProgram(QStringLiteral("KvServerAP")),
                      {QStringLiteral("--port"), QString::number(port)});
        return program.waitForStarted(5000) && program.waitForReadyRead(5000);
    };
    QProcess first;
    ASSERT_TRUE(startProgram(first));
    ASSERT_EQ(connect(), 1);
    first.kill();
    ASSERT_TRUE(first.waitForFinished(5000));
    QElapsedTimer elapsed;
    elapsed.start();
    EXPECT_EQ(Kv_SYS_QueryNumOfClient(), 0);
    EXPECT_LT(elapsed.elapsed(), 3500);

    QProcess second;
    ASSERT_TRUE(startProgram(second));
    EXPECT_EQ(connect(), 1);
    EXPECT_EQ(Kv_SYS_QueryNumOfClient(), 1);
    Kv_SYS_TerminateServer();
    EXPECT_TRUE(second.waitForFinished(5000));
}

TEST_F(KvClientTest, ServerPortVariableThatNamesNoPortIsNotReplacedByTheDefault)
{
    const struct
    {
        const char *text;
        uint16_t port;
    } cases[] = {{"6000", 6000}, {"notanumber", 0}, {"-1", 0}, {"0", 0}, {"70000", 0}, {"5168x", 0}, {"", 0}};
    for (const auto &each : cases) {
        qputenv("KV_SERVER_PORT", each.text);
        EXPECT_EQ(KvClient::instance().serverPort(), each.port) << each.text;
    }
    qputenv("KV_SERVER_PORT", "notanumber");
    EXPECT_EQ(connect(), 0);
    qunsetenv("KV_SERVER_PORT");
    EXPECT_EQ(KvClient::instance().serverPort(), KvProtocol::DefaultPort);
}

namespace {

// A server that answers the greeting, then answers the next request with the given bytes (made from
// its sequence number) and holds the connection until the client ends it.
class ScriptedServer
{
public:
    using Answer = std::function<std::vector<uint8_t>(uint32_t sequence)>;

    explicit ScriptedServer(Answer answer) : m_answer(std::move(answer))
    {
        const LoopbackListener listener = listenOnLoopback(1);
        m_listener = listener.fd;
        port = listener.port;
        m_thread = std::thread([this] { serve(); });
    }
    ~ScriptedServer()
    {
        ::shutdown(m_listener, SHUT_RDWR);
        if (m_peer >= 0)
            ::shutdown(m_peer, SHUT_RDWR);
        m_thread.join();
        if (m_peer >= 0)
            ::close(m_peer);
        ::close(m_listener);
    }
    // True once the client ended the connection.
    bool clientEnded() const { return m_clientEnded; }

    uint16_t port = 0;

private:
    bool readAll(uint8_t *data, size_t size) const
    {
        while (size > 0) {
            const ssize_t part = ::recv(m_peer, data, size, 0);
            if (part <= 0)
                return false;
            data += part;
            size -= static_cast<size_t>(part);
        }
        return true;
    }
    // The sequence number of the next request, 0 when the connection ends first.
    uint32_t readRequest() const
    {
        uint8_t length[4];
        if (!readAll(length, 4))
            return 0;
        std::vector<uint8_t> body(KvProtocol::Reader(length, 4).u32());
        if (body.size() < 6 || !readAll(body.data(), body.size()))
            return 0;
        return KvProtocol::Reader(body.data() + 2, 4).u32();
    }
    void send(const std::vector<uint8_t> &bytes) const
    {
        ::send(m_peer, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    }
    void serve()
    {
        m_peer = ::accept(m_listener, nullptr, nullptr);
        if (m_peer < 0)
            return;
        std::vector<uint8_t> reply;
        KvProtocol::Writer(reply).u32(7).u8(uint8_t(KvProtocol::FrameKind::Reply)).u32(readRequest()).u16(1);
        send(reply);
        if (const uint32_t sequence = readRequest())
            send(m_answer(sequence));
        uint8_t rest[64];
        while (::recv(m_peer, rest, sizeof rest, 0) > 0) {
        }
        m_clientEnded = true;
    }

    Answer m_answer;
    int m_listener = -1;
    std::atomic<int> m_peer{-1};
    std::atomic<bool> m_clientEnded{false};
    std::thread m_thread;
};

std::vector<uint8_t> serverFrame(KvProtocol::FrameKind kind, const std::vector<uint8_t> &body)
{
    std::vector<uint8_t> frame;
    KvProtocol::Writer(frame)
        .u32(uint32_t(1 + body.size()))
        .u8(uint8_t(kind))
        .bytes(body.data(), body.size());
    return frame;
}

std::vector<uint8_t> replyBody(uint32_t sequence, uint16_t result)
{
    std::vector<uint8_t> body;
    KvProtocol::Writer(body).u32(sequence).u16(result);
    return body;
}

} // namespace

TEST_F(KvClientTest, MalformedAnswerOrFloodEndsTheConnectionAndTheCallAtOnce)
{
    using KvProtocol::FrameKind;
    const struct
    {
        const char *name;
        ScriptedServer::Answer answer;
    } cases[] = {
        {"frame of an unknown kind",
         [](uint32_t) {
             return serverFrame(FrameKind(3), {0, 1, 2, 3, 4, 5});
         }},
        {"reply too short",
         [](uint32_t) {
             return serverFrame(FrameKind::Reply, {1, 0, 0});
         }},
        {"reply to a request never sent",
         [](uint32_t sequence) { return serverFrame(FrameKind::Reply, replyBody(sequence + 5, 1)); }},
        {"message without a code", [](uint32_t) { return serverFrame(FrameKind::Message, {0x01}); }},
        {"messages beyond the queue's bound, then the reply",
         [](uint32_t sequence) {
             std::vector<uint8_t> message(60'000, 0);
             KvProtocol::writeBigEndian16(message.data(), KvProtocol::MsgPortCounters);
             const std::vector<uint8_t> one = serverFrame(FrameKind::Message, message);
             std::vector<uint8_t> flood;
             while (flood.size() <= KvClient::MaxQueuedBytes + one.size())
                 flood.insert(flood.end(), one.begin(), one.end());
             const std::vector<uint8_t> reply = serverFrame(FrameKind::Reply, replyBody(sequence, 1));
             flood.insert(flood.end(), reply.begin(), reply.end());
             return flood;
         }},
    };
    for (const auto &each : cases) {
        ScriptedServer scripted(each.answer);
        KvClient::instance().setServerPort(scripted.port);
        KvClient::instance().setReplyTimeout(std::chrono::seconds(30));
        ASSERT_EQ(connect(), 1) << each.name;
        QElapsedTimer elapsed;
        elapsed.start();
        EXPECT_EQ(Kv_TQModule_LinkStatus(1, 2, 1), 0) << each.name;
        EXPECT_LT(elapsed.elapsed(), 15000) << each.name << ": well before the reply timeout";
        EXPECT_FALSE(KvClient::instance().isConnected()) << each.name;
        EXPECT_TRUE(QTest::qWaitFor([&] { return scripted.clientEnded(); }, 5000)) << each.name;
        Kv_SYS_TerminateProcess();
    }
}
