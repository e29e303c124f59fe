// The hardware library connected to a chassis simulator on loopback, for the tests that run the engine
// against it.
#pragma once

#include "common/SimulatedTimeClock.h"
#include "engine/EngineHost.h"
#include "engine/Session.h"
#include "kvserver/KvServer.h"
#include "platform/kvapi/KvClient.h"

#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <string>

// The link state to wait for on connecting: of every port record.
constexpr int kEveryPort = -1;

// Connects to a server listening on loopback `port` and waits until its inventory and the link state of
// port record `linkedPort` (or of every port record) have arrived.
inline void connectToServerPort(std::uint16_t port, int linkedPort)
{
    KvClient::instance().setServerPort(port);
    const char address[32] = "127.0.0.1";
    ASSERT_EQ(Kv_SYS_ConnectToServer(address), 1);
    ASSERT_TRUE(QTest::qWaitFor([] { return g_Session.InventoryReceived == 1; }, 3000));
    const auto linked = [](int record) { return (g_Session.PortHwInfo[record].SpeedMedia & 0xFF) != 0; };
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            if (linkedPort != kEveryPort)
                return g_Session.PortCount > linkedPort && linked(linkedPort);
            for (int record = 0; record < g_Session.PortCount; ++record) {
                if (!linked(record))
                    return false;
            }
            return true;
        },
        3000));
}

inline void connectToSimulator(const KvServer &server, int linkedPort)
{
    connectToServerPort(server.port(), linkedPort);
}

// Connects to a server listening on loopback `port` and locks the ports of cards 1 to 4 of chassis 1.
inline void connectAndLockPorts(std::uint16_t port)
{
    ASSERT_NO_FATAL_FAILURE(connectToServerPort(port, 4));
    ASSERT_NE(Kv_LockPortStatus({1, {0x0F0F, 0, 0, 0}}), 0);
}

// Starts a simulator with `config` on a free loopback port.
inline void startSimulatorServer(std::unique_ptr<KvServer> &server, const SimConfig &config)
{
    server = std::make_unique<KvServer>(config);
    std::string error;
    ASSERT_TRUE(server->listen(0, "127.0.0.1", error)) << error;
    server->start();
}

// Starts a simulator with `config` on a free loopback port, lets `clock` (when given) move its time,
// connects and locks the ports of cards 1 to 4 of chassis 1.
inline void startLockedSimulator(std::unique_ptr<KvServer> &server, const SimConfig &config,
                                 SimulatedTimeClock *clock)
{
    ASSERT_NO_FATAL_FAILURE(startSimulatorServer(server, config));
    if (clock)
        clock->server = server.get();
    ASSERT_NO_FATAL_FAILURE(connectAndLockPorts(server->port()));
}

// Ends the connection, stops the simulator and clears what the test set up in the engine.
inline void disconnectFromSimulator(std::unique_ptr<KvServer> &server)
{
    Kv_SYS_TerminateProcess();
    KvClient::instance().setServerPort(0);
    server.reset();
    EngineHost::instance().reset();
    g_Session.resetTables();
}
