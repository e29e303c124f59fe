#include "engine/Session.h"

#include "engine/EventCallback.h"
#include "engine/TestPlanRecords.h"
#include "platform/kvapi/KvAPI.h"

#include <algorithm>
#include <cstring>

UtSession g_Session;

UtSession::UtSession()
{
    resetTables();
    Kv_SYS_Init_API();
    Kv_SYS_Init(KvEventCallback, 0xFF);
}

UtSession::~UtSession()
{
    Kv_SYS_TerminateProcess();
}

void UtSession::resetTables()
{
    std::fill_n(&PortIndex[0][0][0], sizeof PortIndex / sizeof(std::int16_t), std::int16_t(-1));
    DemoHardware = InventoryReceived = ClientCount = 0;
    PortCount = 0;
    std::fill(std::begin(PortTable), std::end(PortTable), UtPortTableEntry{});
    Ports.clear();
    PortSaves.clear();
    BoardCount = LockCount = 0;
    allocatePortArrays(0);
    EepromArrived = 0;
    EepromAnswerCount = 0;
    Controller = {};
    ControllerVersion = {};
    std::fill(std::begin(ChassisEeprom), std::end(ChassisEeprom), UtEepromRecord{});
    ChassisModelName.clear();
    InventoryReady = ControllerEepromArrived = ControllerVersionSeen = RouterAlert = 0;
}

void UtSession::allocatePortArrays(std::uint16_t count)
{
    PortHwInfo.assign(count, {});
    PortAddr.assign(count, {});
    PortCounters.assign(count, {});
    LockedFlags.assign(count, 0);
    FirmwareOutdated.assign(count, 0);
    PortEeprom.assign(count, {});
    BoardVersions.assign(count, {});
    PortStates.assign(count, {});
    DelayStamps.assign(count, {});
}

const UtPortRecord *UtSession::RecordOf(const UtTestPort &port) const
{
    return port.PortIndex < Ports.size() ? &Ports[port.PortIndex] : nullptr;
}

bool IsHostOfPair(const UtTestPort &port, std::uint8_t pair)
{
    const UtPortRecord *record = g_Session.RecordOf(port);
    return record && IsHostOfPair(*record, pair);
}

void UtSession::BuildDemoInventory()
{
    struct DemoPort
    {
        std::uint8_t card, port, type;
        std::uint16_t media;
    };
    static constexpr DemoPort Demo[] = {{2, 1, 53, 7},      {2, 2, 53, 7},     {2, 3, 53, 7},
                                        {2, 4, 53, 7},      {3, 1, 55, 11},    {3, 2, 55, 11},
                                        {4, 1, 55, 0x800B}, {4, 2, 55, 0x800B}};
    static_assert(std::size(Demo) == kDemoPortCount);
    constexpr std::uint16_t DemoChassis = 255;
    PortCount = std::size(Demo);
    allocatePortArrays(PortCount);
    for (std::uint16_t i = 0; i < PortCount; ++i) {
        const DemoPort &demo = Demo[i];
        const UtPortId id{DemoChassis, demo.card, demo.port};
        PortTable[i] = {id, demo.type, 0};
        PortIndex[DemoChassis][demo.card][demo.port] = static_cast<std::int16_t>(i);
        PortAddr[i] = {id, 0, 0};
        PortHwInfo[i] = {id, demo.media, 1, 0, 0};
        Ports.push_back(MakePortRecord(id, demo.type, demo.media));
    }
    DemoHardware = 1;
    InventoryReceived = 0;
}

std::int16_t LookupPortIndex(std::uint16_t chassis, const std::int16_t (*table)[17][5], std::uint8_t card,
                             std::uint8_t port)
{
    if (chassis > kMaxChassis || card > kMaxCard || port > kMaxPort)
        return -1;
    return table[chassis][card][port];
}

std::int32_t FindPortRecordIndex(std::uint16_t chassis, std::uint8_t card, std::uint8_t port)
{
    const auto &ports = g_Session.Ports;
    const auto found = std::find_if(ports.begin(), ports.end(), [&](const UtPortRecord &record) {
        return record.CID == chassis && record.BID == card && record.PID == port;
    });
    return static_cast<std::int32_t>(found - ports.begin());
}

UtPortRecord MakePortRecord(UtPortId id, std::uint8_t moduleType, std::uint16_t speedMedia)
{
    UtPortRecord record;
    record.CID = id.CID;
    record.BID = id.BID;
    record.PID = id.PID;
    record.ModuleType = moduleType;
    record.SpeedMedia = speedMedia;
    const std::uint8_t mac[6] = {0x0A, 0x3F, 0x5C, static_cast<std::uint8_t>(id.CID & 0xFF), id.BID, id.PID};
    std::copy_n(mac, 6, record.MAC);
    // Most significant byte first in memory: 192.168.card.port.
    const std::uint8_t ip[4] = {192, 168, id.BID, id.PID};
    const std::uint8_t gateway[4] = {192, 168, 1, 1};
    const std::uint8_t mask[4] = {255, 255, 255, 0};
    std::memcpy(&record.IPAddress, ip, 4);
    std::memcpy(&record.GatewayIP, gateway, 4);
    std::memcpy(&record.Mask, mask, 4);
    record.Flag = 1;
    return record;
}

bool IsPortModuleTypeCode(std::uint16_t code)
{
    static constexpr std::uint16_t Codes[] = {52, 53, 54, 55,  57,  58,  59,  67,  68, 84,
                                              87, 88, 89, 100, 101, 102, 103, 147, 148};
    return std::find(std::begin(Codes), std::end(Codes), code) != std::end(Codes);
}

bool IsCardSlotTypeChar(std::uint16_t code)
{
    return code == '0' || code == '1' || code == '2' || code == '3' || code == '_';
}
