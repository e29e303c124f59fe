// A session for the port windows' tests: ports on chassis 1 with their records and link states, locked
// by this program unless told otherwise, and the English language file.
#pragma once

#include "common/EnglishTexts.h"
#include "engine/Session.h"
#include "platform/ScriptedPrompter.h"

#include <QString>
#include <vector>

struct PortSpec
{
    UtPortId id;
    std::uint8_t type = 53;
    std::uint16_t link = 11;
    bool locked = true;
};

// Cards 2 and 3, ports 1-4, type 53, link 1G/Full/Auto.
inline std::vector<PortSpec> eightPorts()
{
    std::vector<PortSpec> ports;
    for (std::uint8_t card : {2, 3})
        for (std::uint8_t port = 1; port <= 4; ++port)
            ports.push_back({{1, card, port}});
    return ports;
}

inline void fillSession(const std::vector<PortSpec> &ports)
{
    UtSession &session = g_Session;
    session.resetTables();
    session.PortCount = std::uint16_t(ports.size());
    session.allocatePortArrays(session.PortCount);
    for (std::size_t i = 0; i < ports.size(); ++i) {
        const PortSpec &spec = ports[i];
        session.PortTable[i] = {spec.id, spec.type, 0};
        session.PortIndex[spec.id.CID][spec.id.BID][spec.id.PID] = std::int16_t(i);
        session.PortHwInfo[i] = {spec.id, spec.link, 0, 0, 0};
        session.LockedFlags[i] = spec.locked ? 1 : 0;
        session.Ports.push_back(MakePortRecord(spec.id, spec.type, spec.link));
    }
    session.LockCount = std::uint16_t(ports.size());
}

struct PortSession
{
    explicit PortSession(const std::vector<PortSpec> &ports = eightPorts())
    {
        fillSession(ports);
        g_LangMag.SetLangFile(QStringLiteral(KV_SOURCE_DIR "/resources/Language/LangEng.lng"));
        installLanguageTexts();
    }
    ~PortSession()
    {
        EngineHost::instance().languageText = nullptr;
        g_Session.resetTables();
    }

    static const UtPortRecord &record(std::uint8_t card, std::uint8_t port)
    {
        return g_Session.Ports[std::size_t(FindPortRecordIndex(1, card, port))];
    }

    ScriptedPrompter prompter;
};
