// A session with ports on two chassis that share card and port numbers, eight test pairs in a plan
// the pages read through EngineHost, and the English language file.
#pragma once

#include "common/EnglishTexts.h"
#include "common/TestPlanPorts.h"
#include "engine/EngineHost.h"
#include "engine/IGMPTestPlan.h"
#include "engine/Session.h"

#include <QString>
#include <cstdint>

struct PageFixture
{
    PageFixture() : language(g_LangMag.GetLangFile())
    {
        g_LangMag.SetLangFile(QStringLiteral(KV_SOURCE_DIR "/resources/Language/LangEng.lng"));
        g_Session.resetTables();
        EngineHost::instance().reset();
        installLanguageTexts();
        EngineHost::instance().planSource = [this] { return &plan; };
        for (std::uint8_t n = 1; n <= 8; ++n)
            plan.TestPairs.push_back(pairOf({.id = n,
                                             .status = 0,
                                             .source = {},
                                             .group = {224, 0, n, 1},
                                             .groups = std::uint16_t(n * 10)}));
    }
    ~PageFixture()
    {
        EngineHost::instance().reset();
        g_Session.resetTables();
        g_LangMag.SetLangFile(language);
    }

    // Appends a port record (and its inventory entry) and answers its index.
    std::size_t addPort(std::uint16_t chassis, std::uint8_t card, std::uint8_t port, std::uint8_t sourcePair,
                        std::uint8_t hostPair, std::uint8_t type = 53, std::uint16_t link = 11)
    {
        const UtPortId id{chassis, card, port};
        const std::size_t index = g_Session.Ports.size();
        g_Session.PortTable[g_Session.PortCount++] = {id, type, 0};
        UtPortRecord record = MakePortRecord(id, type, link);
        record.SourcePair = sourcePair;
        record.HostPair = hostPair;
        g_Session.Ports.push_back(record);
        g_Session.LockedFlags.resize(g_Session.PortCount, 0);
        g_Session.LockedFlags[g_Session.PortCount - 1u] = 1;
        return index;
    }
    void usePairs(std::initializer_list<int> numbers)
    {
        for (int n : numbers)
            plan.TestPairs[std::size_t(n - 1)].Status = 1;
    }

    QString language;
    CIGMPTestPlan plan;
};
