// The records of the test plan: port list entries, test pairs, tested ports and the Source Filter
// page's address settings.
#pragma once

#include "engine/EngineUtils.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

#pragma pack(push, 1)

// An entry of the test plan's port lists.
struct KV_PROJECT_PORT_T
{
    UtPortId Id;
    std::uint8_t Unused[4];
};
static_assert(sizeof(KV_PROJECT_PORT_T) == 8);

// One test pair: a source port, its hosts, a group address and a number of groups.
struct UtTestPair
{
    std::uint8_t PairID; // 1-based
    std::uint8_t Status; // 1 = in use
    std::uint16_t num_of_destmember;
    std::uint16_t Src_Cid;
    std::uint8_t Src_Bid;
    std::uint8_t Src_Pid;
    std::uint16_t mediatype;
    std::uint8_t GroupIP[4]; // a.b.c.d
    std::uint16_t NumofGroup;
    std::uint16_t UniCid; // 0xFFFF = no unicast port
    std::uint8_t UniBid;
    std::uint8_t UniPid;
};
static_assert(sizeof(UtTestPair) == 20);

// One tested port of the running test.
struct UtTestPort
{
    UtPortId Id;
    std::uint8_t TYPE;        // module type code
    std::uint16_t PortIndex;  // into UtSession::Ports
    std::uint16_t SpeedMedia; // chosen on the page
    std::uint8_t Flag;        // hosts: also receives the Mixed Class unicast stream
    std::uint64_t TxFrames;   // sources: frames to transmit
    std::uint64_t RxTotal;
    std::uint64_t RxUnicast;
    std::uint64_t RxMulticast;
    std::uint64_t RxValid;
    double LatencyMin;
    double LatencyMax;
    double LatencySum;
    std::uint32_t LatencyCount; // samples taken; wide enough for a trial of any length
    std::uint8_t Monitor;       // the Capacity monitor port: no joins and leaves of the batch senders
};
static_assert(sizeof(UtTestPort) == 79);

#pragma pack(pop)

// The Source Filter page's values kept in the plan.
struct UtFilterParams
{
    std::uint32_t V3GroupCount = 0;
    std::uint8_t V3GroupAddress[4] = {}; // a.b.c.d
};

// One group of a Source Filter host: its filter and sources.
struct UtFilterGroup
{
    QString GroupAddress;   // "a.b.c.d"
    std::uint32_t Mode = 1; // 1 include, otherwise exclude
    QStringList Sources;    // "a.b.c.d" texts
};

// The Source Filter settings of one host port.
struct UtFilterHost
{
    QString PortLabel; // "(%3d,%2d,%d) - " and the model
    std::vector<UtFilterGroup> Groups;
};
