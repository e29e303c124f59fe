// The hardware session: everything the program knows about the chassis, filled by the server's
// messages (KvEventCallback) or by the demo inventory. Written and read on the user-interface thread
// only. The program drives one chassis; the inventory may name several, but chassis-wide commands
// take the chassis of the management card.
#pragma once

#include "engine/SessionRecords.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

struct UtTestPort;

class UtSession
{
public:
    // Empties the tables, then initialises the hardware library and registers KvEventCallback.
    UtSession();
    // Closes the library's connection.
    ~UtSession();
    UtSession(const UtSession &) = delete;
    UtSession &operator=(const UtSession &) = delete;

    // The ports of the demo inventory.
    static constexpr std::uint16_t kDemoPortCount = 8;
    // Eight simulated ports on chassis 255 (demo mode).
    void BuildDemoInventory();

    // Back to the state after construction (no inventory, no records).
    void resetTables();
    // Per-port arrays for count ports, zero-filled.
    void allocatePortArrays(std::uint16_t count);
    // The port record of a tested port, null when its index names none.
    const UtPortRecord *RecordOf(const UtTestPort &port) const;

    std::int16_t PortIndex[256][17][5]; // -1 = no such port
    std::uint8_t DemoHardware = 0;
    std::uint8_t InventoryReceived = 0;
    std::uint8_t ClientCount = 0;
    std::uint16_t PortCount = 0;
    UtPortTableEntry PortTable[kMaxTestPorts] = {};
    std::vector<UtPortRecord> Ports; // survive a later inventory
    std::vector<UtPortSaveEntry> PortSaves;
    std::uint16_t BoardCount = 0;
    std::uint16_t LockCount = 0;
    std::vector<std::uint8_t> LockedFlags;      // per port: 1 = locked by this program
    std::vector<std::uint8_t> FirmwareOutdated; // per port
    std::uint8_t EepromArrived = 0;
    std::uint32_t EepromAnswerCount = 0; // answers of a '0' card within a pair: 1 after the first
    std::vector<UtPortHwInfo> PortHwInfo;
    std::vector<UtPortAddr> PortAddr;
    std::vector<UtPortCounters> PortCounters;
    std::vector<UtPortState> PortStates;
    std::vector<UtDelayStamp> DelayStamps;
    UtControllerId Controller = {};
    UtBoardVersion ControllerVersion = {};
    UtEepromRecord ChassisEeprom[3] = {};
    std::vector<UtEepromRecord> PortEeprom;
    std::vector<UtBoardVersion> BoardVersions;
    QString ChassisModelName;
    std::uint8_t InventoryReady = 0;
    std::uint8_t ControllerEepromArrived = 0;
    std::uint8_t ControllerVersionSeen = 0;
    std::uint8_t RouterAlert = 0;

    // Called after each link status list; the main view sets it to refill its port-settings grid.
    std::function<void()> PortGridRefresh;
};

extern UtSession g_Session;

// The index of a port in the table, -1 when absent or outside the table (chassis 0-255, card 0-16,
// port 0-4).
std::int16_t LookupPortIndex(std::uint16_t chassis, const std::int16_t (*table)[17][5], std::uint8_t card,
                             std::uint8_t port);
// Position of the first record of the port in g_Session.Ports, or the number of records.
std::int32_t FindPortRecordIndex(std::uint16_t chassis, std::uint8_t card, std::uint8_t port);
// A new port record with the default addresses of its port.
UtPortRecord MakePortRecord(UtPortId id, std::uint8_t moduleType, std::uint16_t speedMedia);

// Whether a port record is a host of the test pair (1-based).
inline bool IsHostOfPair(const UtPortRecord &record, std::uint8_t pair)
{
    return record.HostPair == pair;
}
// Whether a tested port has a port record and it is a host of the test pair.
bool IsHostOfPair(const UtTestPort &port, std::uint8_t pair);

// Module type codes of test modules (66 is a test module too; callers accept it beside these).
bool IsPortModuleTypeCode(std::uint16_t code);
// Characters of management cards: '0', '1', '2', '3', '_'.
bool IsCardSlotTypeChar(std::uint16_t code);
