// The server's side of the protocol, spoken directly over a socket.
#include "kvserver/KvServer.h"
#include "common/KvWireClient.h"
#include "platform/kvapi/KvAPI.h"

#include <QTest>
#include <gtest/gtest.h>

using KvProtocol::Op;

namespace {

class KvServerTest : public testing::Test
{
protected:
    void start(SimConfig config = {})
    {
        server = std::make_unique<KvServer>(config);
        std::string error;
        ASSERT_TRUE(server->listen(0, "127.0.0.1", error)) << error;
        server->start();
    }

    static std::vector<uint8_t> bytesOf(const UtPortSet &set)
    {
        std::vector<uint8_t> bytes;
        KvProtocol::Writer(bytes).bytes(&set, sizeof set);
        return bytes;
    }

    std::unique_ptr<KvServer> server;
};

} // namespace

TEST_F(KvServerTest, RequestsBeforeTheGreetingAndUnknownOperationsFail)
{
    start();
    KvWireClient client(server->port());
    ASSERT_TRUE(client.connected());
    EXPECT_EQ(client.call(Op::Kv_SYS_QueryNumOfClient), 0);
    std::vector<uint8_t> wrongVersion;
    KvProtocol::Writer(wrongVersion).u32(99);
    EXPECT_EQ(client.call(Op::Hello, wrongVersion), 0);
    EXPECT_EQ(server->clientCount(), 0);
    ASSERT_EQ(client.hello(), 1);
    EXPECT_EQ(server->clientCount(), 1);
    EXPECT_EQ(client.call(static_cast<Op>(999)), 0);
    EXPECT_EQ(client.call(Op::Kv_TQModule_LinkStatus, {1, 0, 2}), 0); // one byte short
    EXPECT_EQ(client.call(Op::Kv_TQModule_LinkStatus, {1, 0, 2, 1}), 1);
}

TEST_F(KvServerTest, MalformedFrameClosesOnlyThatClient)
{
    start();
    KvWireClient good(server->port());
    ASSERT_EQ(good.hello(), 1);
    const std::vector<std::vector<uint8_t>> bad = {
        {3, 0, 0, 0, 1, 2, 3},                      // shorter than an operation and a sequence
        {0xFF, 0xFF, 0xFF, 0x7F, 0, 0, 0, 0, 0, 0}, // longer than any frame
    };
    for (const auto &frame : bad) {
        KvWireClient client(server->port());
        ASSERT_TRUE(client.sendRaw(frame));
        EXPECT_TRUE(client.closedByServer());
    }
    EXPECT_EQ(good.call(Op::Kv_SYS_QueryNumOfClient), 1);
}

TEST_F(KvServerTest, PortSetBitsNameCardsAndPorts)
{
    SimConfig config;
    config.modules = {{2, 53, 4}, {6, 55, 4}, {13, 88, 2}};
    start(config);
    KvWireClient client(server->port());
    ASSERT_EQ(client.hello(), 1);
    // Card 6 port 3 is bit 2 of the second word; card 13 port 2 is bit 25 of the third.
    UtPortSet set{1, {0, 1u << 2, 1u << 25, 0}};
    ASSERT_EQ(client.call(Op::Kv_LockPortStatus, bytesOf(set)), 1);
    auto first = client.message(0x0E00), second = client.message(0x0E00);
    ASSERT_TRUE(first && second);
    EXPECT_EQ((*first)[22], 6);
    EXPECT_EQ((*first)[23], 3);
    EXPECT_EQ((*second)[22], 13);
    EXPECT_EQ((*second)[23], 2);
    // Locking again changes nothing and tells nobody; a port that does not exist fails the set.
    ASSERT_EQ(client.call(Op::Kv_LockPortStatus, bytesOf(set)), 1);
    EXPECT_FALSE(client.message(0x0E00, std::chrono::milliseconds(50)));
    set.Mask[2] |= 1u << 26; // card 13 port 3
    EXPECT_EQ(client.call(Op::Kv_LockPortStatus, bytesOf(set)), 0);
    set.Chassis = 2;
    EXPECT_EQ(client.call(Op::Kv_UnLockPortStatus, bytesOf(set)), 0);
}

TEST_F(KvServerTest, LeavingClientsLocksAreFreed)
{
    start();
    KvWireClient stays(server->port());
    ASSERT_EQ(stays.hello(), 1);
    {
        KvWireClient leaves(server->port());
        ASSERT_EQ(leaves.hello(), 1);
        ASSERT_EQ(leaves.call(Op::Kv_LockPortStatus, bytesOf({1, {1, 0, 0, 0}})), 1);
        auto locked = stays.message(0x0E00);
        ASSERT_TRUE(locked);
        EXPECT_EQ(KvProtocol::readBigEndian16(locked->data() + 24), 0x0100);
    }
    auto freed = stays.message(0x0E00);
    ASSERT_TRUE(freed);
    EXPECT_EQ(KvProtocol::readBigEndian16(freed->data() + 24), 0);
    EXPECT_EQ(stays.call(Op::Kv_LockPortStatus, bytesOf({1, {1, 0, 0, 0}})), 1);
}

TEST_F(KvServerTest, ClientsBeyondTheLimitAndClientsThatNeverGreetAreClosed)
{
    start();
    server->setHelloTimeout(std::chrono::milliseconds(200));
    std::vector<std::unique_ptr<KvWireClient>> clients;
    for (size_t i = 0; i < KvServer::MaxClients; ++i) {
        clients.push_back(std::make_unique<KvWireClient>(server->port()));
        ASSERT_EQ(clients.back()->hello(), 1) << i;
    }
    KvWireClient extra(server->port());
    EXPECT_TRUE(extra.closedByServer(std::chrono::milliseconds(5000)));
    clients.pop_back();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return server->clientCount() == int(KvServer::MaxClients) - 1; }, 5000));
    KvWireClient silent(server->port());
    EXPECT_TRUE(silent.closedByServer(std::chrono::milliseconds(5000)));
    EXPECT_EQ(clients.front()->call(Op::Kv_SYS_QueryNumOfClient), 1);

    const std::vector<std::string> log = server->callLog();
    const auto logged = [&](const std::string &text) {
        return std::any_of(log.begin(), log.end(),
                           [&](const std::string &line) { return line.find(text) != std::string::npos; });
    };
    EXPECT_TRUE(logged("client refused: 64 clients are connected already"));
    EXPECT_TRUE(logged("closed: no greeting within 200 ms"));
}
