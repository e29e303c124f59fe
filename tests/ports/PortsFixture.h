// The port windows against the chassis simulator: the hardware library connected to an in-process
// KvServer on loopback, the English or Chinese texts, an application object for the demo flag and the
// names, and a scripted prompter that records the messages.
#pragma once

#include "app/KvIGMPTQApp.h"
#include "app/LangMag.h"
#include "common/SimulatorConnection.h"
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
        disconnectFromSimulator(server);
        g_LangMag.SetLangFile(language);
    }

    static void useLanguage(const char *file)
    {
        g_LangMag.SetLangFile(QStringLiteral(KV_SOURCE_DIR "/resources/Language/") +
                              QString::fromLatin1(file));
    }

    // Starts the simulator and connects, waiting for the inventory and every link code.
    void connect(const SimConfig &config = {})
    {
        ASSERT_NO_FATAL_FAILURE(startSimulatorServer(server, config));
        ASSERT_NO_FATAL_FAILURE(connectToServerPort(server->port(), kEveryPort));
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
