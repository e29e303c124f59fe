// The session against the simulated chassis: the hardware library talks to an in-process server on
// loopback and the server's messages land in g_Session through KvEventCallback.
#include "common/KvWireClient.h"
#include "common/SimulatorConnection.h"
#include "engine/EventCallback.h"
#include "engine/Session.h"
#include "kvserver/KvServer.h"
#include "platform/kvapi/KvAPI.h"
#include "platform/kvapi/KvClient.h"

#include <QTest>
#include <gtest/gtest.h>
#include <memory>

using KvProtocol::Op;

namespace {

class HardwareSessionTest : public testing::Test
{
protected:
    void SetUp() override { g_Session.resetTables(); }
    void TearDown() override { disconnectFromSimulator(server); }

    // Starts the simulator and connects, waiting for the inventory and every port's link code.
    void connect(const SimConfig &config = {})
    {
        ASSERT_NO_FATAL_FAILURE(startSimulatorServer(server, config));
        ASSERT_NO_FATAL_FAILURE(connectToServerPort(server->port(), kEveryPort));
    }

    static UtPortSet portSet(std::initializer_list<std::pair<int, int>> ports)
    {
        UtPortSet set{1, {}};
        for (auto [card, port] : ports)
            set.Mask[(card - 2) / 4] |= 1u << (((card - 2) % 4) * 8 + port - 1);
        return set;
    }

    std::unique_ptr<KvServer> server;
};

} // namespace

TEST_F(HardwareSessionTest, InventoryAndLinkCodesLandInTheSession)
{
    connect();
    EXPECT_EQ(g_Session.PortCount, 12);
    EXPECT_EQ(g_Session.InventoryReady, 1);
    EXPECT_EQ(g_Session.Controller.Model, '0');
    EXPECT_EQ(LookupPortIndex(1, g_Session.PortIndex, 2, 1), 0);
    EXPECT_EQ(LookupPortIndex(1, g_Session.PortIndex, 4, 4), 11);
    EXPECT_EQ(g_Session.PortTable[8].TYPE, 88);
    EXPECT_EQ(g_Session.PortHwInfo[0].SpeedMedia, 11);  // 1G module
    EXPECT_EQ(g_Session.PortHwInfo[11].SpeedMedia, 13); // 10G module
    EXPECT_EQ(g_Session.Ports[11].SpeedMedia, 13);
    // The library's link result: non-zero only while the link is up.
    EXPECT_EQ(Kv_TQModule_LinkStatus(1, 2, 1), 1);
    EXPECT_EQ(Kv_TQModule_LinkStatus(1, 9, 1), 0);
}

TEST_F(HardwareSessionTest, LinkChangeReachesTheSession)
{
    connect();
    server->setLinkUp(3, 2, false);
    EXPECT_TRUE(QTest::qWaitFor([] { return g_Session.PortHwInfo[5].SpeedMedia == 255; }, 3000));
    EXPECT_EQ(Kv_TQModule_LinkStatus(1, 3, 2), 0);
    server->setLinkUp(3, 2, true);
    EXPECT_TRUE(QTest::qWaitFor([] { return g_Session.PortHwInfo[5].SpeedMedia == 11; }, 3000));
}

TEST_F(HardwareSessionTest, TwoClientsSeeEachOthersLocks)
{
    connect();
    ASSERT_NE(Kv_LockPortStatus(portSet({{2, 1}, {2, 2}})), 0);
    EXPECT_TRUE(QTest::qWaitFor(
        [] { return g_Session.PortAddr[0].Status != 0 && g_Session.PortAddr[1].Status != 0; }, 3000));

    KvWireClient other(server->port());
    ASSERT_EQ(other.hello(), 1);
    auto inventory = other.message(0x80FE);
    ASSERT_TRUE(inventory);
    EXPECT_EQ((*inventory)[22 + 6 + 5], 1) << "port (1,2,1) is reported locked";
    // A set that holds a port of another client is refused as a whole.
    std::vector<uint8_t> set;
    const UtPortSet conflicting = portSet({{2, 2}, {2, 3}});
    KvProtocol::Writer(set).bytes(&conflicting, sizeof conflicting);
    EXPECT_EQ(other.call(Op::Kv_LockPortStatus, set), 0);
    const UtPortSet free = portSet({{2, 3}});
    set.clear();
    KvProtocol::Writer(set).bytes(&free, sizeof free);
    EXPECT_EQ(other.call(Op::Kv_LockPortStatus, set), 1);
    ASSERT_TRUE(other.message(0x0E00)) << "its own lock";
    EXPECT_TRUE(QTest::qWaitFor([] { return g_Session.PortAddr[2].Status != 0; }, 3000));

    // Our unlock reaches the other client before our call returns.
    ASSERT_NE(Kv_UnLockPortStatus(portSet({{2, 1}, {2, 2}})), 0);
    auto status = other.message(0x0E00, std::chrono::milliseconds(0));
    ASSERT_TRUE(status) << "0x0E00 already there";
    EXPECT_EQ(KvProtocol::readBigEndian16(status->data() + 24), 0);
    EXPECT_TRUE(QTest::qWaitFor([] { return g_Session.PortAddr[0].Status == 0; }, 3000));
}

TEST_F(HardwareSessionTest, ClientCountArrives)
{
    connect();
    KvWireClient other(server->port());
    ASSERT_EQ(other.hello(), 1);
    ASSERT_EQ(Kv_SYS_QueryNumOfClient(), 1);
    EXPECT_EQ(g_Session.ClientCount, 0) << "the answer comes after the call, through the event loop";
    EXPECT_TRUE(QTest::qWaitFor([] { return g_Session.ClientCount == 2; }, 3000));
    char version[11] = "xxxxxxxxxx";
    EXPECT_EQ(Kv_SYS_GetVerNum(version), 1);
    EXPECT_STREQ(version, "2.0.1");
}

TEST_F(HardwareSessionTest, ControllerStatusAndEepromOfEachModel)
{
    const struct
    {
        char model;
        uint16_t (*status)(uint16_t, uint8_t, uint8_t);
    } models[] = {{'0', Kv_QMC4_BoardStatus}, {'1', Kv_QMC2_BoardStatus}, {'_', Kv_QMC6_BoardStatus}};
    for (const auto &model : models) {
        SCOPED_TRACE(model.model);
        g_Session.resetTables();
        SimConfig config;
        config.controller = model.model;
        connect(config);
        const UtPortId card = g_Session.Controller.Id;
        EXPECT_EQ(g_Session.Controller.Model, model.model);
        // Only the family of the card answers.
        EXPECT_EQ(Kv_QMC1_BoardStatus(card.CID, card.BID, card.PID), 0);
        ASSERT_EQ(model.status(card.CID, card.BID, card.PID), 1);
        EXPECT_TRUE(QTest::qWaitFor([] { return g_Session.ControllerVersionSeen == 1; }, 3000));
        EXPECT_NE(g_Session.ControllerVersion.Word68, 0xFF);

        g_Session.ControllerEepromArrived = 0;
        if (model.model == '0') {
            EXPECT_EQ(Kv_QMC2_93C56_Read(card.CID, card.BID, card.PID), 0);
            ASSERT_EQ(Kv_QMC4_93C56_Read(card.CID, card.BID, card.PID, 1), 1);
            ASSERT_EQ(Kv_QMC4_93C56_Read(card.CID, card.BID, card.PID, 0), 1);
            EXPECT_TRUE(QTest::qWaitFor([] { return g_Session.ChassisEeprom[2].ModelName[0] != 0; }, 3000));
            EXPECT_STREQ(g_Session.ChassisEeprom[1].ModelName, "QM-C4");
            EXPECT_STREQ(g_Session.ChassisEeprom[2].ModelName, "QM-H4");
            EXPECT_EQ(g_Session.EepromArrived, 1);
        } else if (model.model == '1') {
            EXPECT_EQ(Kv_QMC1_93C56_Read(card.CID, card.BID, card.PID), 0);
            ASSERT_EQ(Kv_QMC2_93C56_Read(card.CID, card.BID, card.PID), 1);
            EXPECT_TRUE(QTest::qWaitFor([] { return g_Session.ControllerEepromArrived == 1; }, 3000));
            EXPECT_STREQ(g_Session.ChassisEeprom[0].ModelName, "QM-C2");
        } else {
            ASSERT_EQ(Kv_QMC6_93C56_Read(card.CID, card.BID, card.PID, 0), 1);
            EXPECT_TRUE(QTest::qWaitFor([] { return g_Session.ControllerEepromArrived == 1; }, 3000));
            EXPECT_STREQ(g_Session.ChassisEeprom[0].ModelName, "QM-C6");
        }
        Kv_SYS_TerminateProcess();
        server.reset();
    }
}

TEST_F(HardwareSessionTest, ModuleVersionsAndEepromFillPortRecords)
{
    SimConfig config;
    config.outdatedFirmware = true;
    connect(config);
    ASSERT_EQ(Kv_TQModule_BoardStatus(1, 3, 1), 1);
    ASSERT_EQ(Kv_TQModule_93C56_Read(1, 3, 1), 1);
    const int index = LookupPortIndex(1, g_Session.PortIndex, 3, 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return g_Session.PortEeprom[index].ModelName[0] != 0; }, 3000));
    EXPECT_STREQ(g_Session.PortEeprom[index].ModelName, "QM-M08");
    EXPECT_EQ(std::string(g_Session.PortEeprom[index].ManufactureDate, 12).size(), 12u);
    EXPECT_EQ(g_Session.FirmwareOutdated[index], 1);
    EXPECT_EQ(g_Session.BoardVersions[index].Id.BID, 3);
}

TEST_F(HardwareSessionTest, PortChangingCallsNeedTheLock)
{
    connect();
    EXPECT_EQ(Kv_TQModule_MediaType(1, 2, 1, 3, 0), 0);
    ASSERT_NE(Kv_LockPortStatus(portSet({{2, 1}})), 0);
    EXPECT_EQ(Kv_TQModule_MediaType(1, 2, 1, 3, 0), 1);
    EXPECT_TRUE(QTest::qWaitFor([] { return g_Session.PortHwInfo[0].SpeedMedia == 3; }, 3000));
    KvMediaChangeBlock change{};
    change.Media = 9;
    change.Word6 = 0x20;
    change.Role = 1;
    EXPECT_EQ(Kv_TQModule_MediaTypeChange(1, 2, 1, change, 0), 1);
    EXPECT_TRUE(QTest::qWaitFor([] { return g_Session.PortHwInfo[0].SpeedMedia == 9; }, 3000));
    KvPortConfigBlock config;
    std::memset(&config, 0xFF, sizeof config);
    config.Port = {1, 2, 1};
    config.SfpMode = 1;
    EXPECT_EQ(Kv_TQModule_PortConfig(1, 2, 1, config), 1);
}

TEST_F(HardwareSessionTest, InjectedFaultFailsOneCall)
{
    connect();
    ASSERT_TRUE(server->failCall("Kv_TQModule_LinkStatus", 2, 1, 2));
    EXPECT_EQ(Kv_TQModule_LinkStatus(1, 2, 1), 1);
    EXPECT_EQ(Kv_TQModule_LinkStatus(1, 2, 1), 0);
    EXPECT_EQ(Kv_TQModule_LinkStatus(1, 2, 1), 1);
    EXPECT_FALSE(server->failCall("Kv_NoSuchCall", 0, 0, 1));
    const auto log = server->callLog();
    EXPECT_NE(std::find(log.begin(), log.end(), "client 1 Kv_TQModule_LinkStatus -> 0"), log.end());
}

TEST_F(HardwareSessionTest, ServerGoneThenANewConnectionWorks)
{
    connect();
    server.reset(); // the server dies
    EXPECT_EQ(Kv_SYS_QueryNumOfClient(), 0);
    EXPECT_EQ(Kv_TQModule_LinkStatus(1, 2, 1), 0);
    g_Session.resetTables();
    connect();
    EXPECT_EQ(g_Session.PortCount, 12);
}
