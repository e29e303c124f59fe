// The port windows against the chassis simulator: the hardware library connected to an in-process
// KvServer on loopback, the English or Chinese texts, an application object for the demo flag and the
// names, and a scripted prompter that records the messages.
#pragma once

#include "app/KvIGMPTQApp.h"
#include "app/LangMag.h"
#include "engine/Session.h"
#include "kvserver/KvServer.h"
#include "platform/ScriptedPrompter.h"
#include "platform/kvapi/KvClient.h"

#include <QTest>
#include <gtest/gtest.h>
#include <memory>

class PortsTest : public testing::Test
{
protected:
    PortsTest() : language(g_LangMag.GetLangFile()) { useLanguage("LangEng.lng"); }
    ~PortsTest() override
    {
        Kv_SYS_TerminateProcess();
        KvClient::instance().setServerPort(0);
        server.reset();
        g_Session.resetTables();
        g_LangMag.SetLangFile(language);
    }

    static void useLanguage(const char *file)
    {
        g_LangMag.SetLangFile(QStringLiteral(KV_SOURCE_DIR "/resources/Language/") +
                              QString::fromLatin1(file));
    }

    // Starts the simulator and connects, waiting for the inventory and every link code.
    void connect(SimConfig config = {})
    {
        server = std::make_unique<KvServer>(config);
        std::string error;
        ASSERT_TRUE(server->listen(0, "127.0.0.1", error)) << error;
        server->start();
        KvClient::instance().setServerPort(server->port());
        const char address[32] = "127.0.0.1";
        ASSERT_EQ(Kv_SYS_ConnectToServer(address), 1);
        ASSERT_TRUE(QTest::qWaitFor([] { return g_Session.InventoryReceived == 1; }, 3000));
        ASSERT_TRUE(QTest::qWaitFor(
            [] {
                for (int i = 0; i < g_Session.PortCount; ++i) {
                    if (g_Session.PortHwInfo[i].SpeedMedia == 0)
                        return false;
                }
                return true;
            },
            3000));
    }

    int indexOf(std::uint8_t card, std::uint8_t port) const
    {
        return LookupPortIndex(g_Session.PortTable[0].Id.CID, g_Session.PortIndex, card, port);
    }

    QString language;
    CKvIGMPTQApp app;
    ScriptedPrompter prompter;
    std::unique_ptr<KvServer> server;
};
