// The records of the hardware session tables (UtSession): what the program knows of each port.
// Records filled from server messages hold host byte order.
#pragma once

#include "engine/EngineUtils.h"

#include <cstdint>

// Most test ports one inventory may hold (the size of UtSession::PortTable).
constexpr int kMaxTestPorts = 640;

#pragma pack(push, 1)

// One test port of the inventory, in index order.
struct UtPortTableEntry
{
    UtPortId Id;
    std::uint8_t TYPE; // module type code
    std::uint8_t Reserved;
};
static_assert(sizeof(UtPortTableEntry) == 6);

// Link state and physical settings of a port.
struct UtPortHwInfo
{
    UtPortId Id;
    std::uint16_t SpeedMedia; // media code of the link, 255 down; bit 0x8000 marks a fibre port
    std::uint16_t Status2;    // second status word of the link list
    std::uint8_t Setting1;    // physical settings written by the port-settings page
    std::uint8_t Setting2;
};
static_assert(sizeof(UtPortHwInfo) == 10);

// Lock state of a port on the server.
struct UtPortAddr
{
    UtPortId Id;
    std::uint16_t Status;  // non-zero: locked by some client
    std::uint16_t Status2; // 0 until a port status message
};
static_assert(sizeof(UtPortAddr) == 8);

// The management card of the chassis.
struct UtControllerId
{
    UtPortId Id;
    std::uint8_t Model; // '0', '1', '2', '3' or '_': selects the family of chassis-wide calls
    std::uint8_t Reserved;
};
static_assert(sizeof(UtControllerId) == 6);

// Version record of a board (server message 0x0500). Version A is (W1, W2, W8), version B (W5, W6, W7).
struct UtBoardVersion
{
    UtPortId Id;
    std::uint32_t Value24;
    std::uint16_t W[10]; // W1..W10
    std::uint32_t Values48[5];
    std::uint16_t Word68;
    std::uint8_t MAC[6];
    std::uint32_t Value76;
    std::uint16_t Word80;
    std::uint16_t Word82;
};
static_assert(sizeof(UtBoardVersion) == 64);

// A board's EEPROM contents as server message 0x1E00 carries them (record offset = message offset - 26).
struct UtEepromRecord
{
    std::uint8_t Reserved0[32];
    char ModelName[16]; // 8-bit text, zero-ended when shorter
    std::uint8_t Reserved48[28];
    char SerialNumber[20];
    char ManufactureDate[12];    // YYYYMMDDhhmm
    char SecondSerialNumber[20]; // a chassis record's: the serial number of the chassis's second board
    std::uint8_t Reserved128[128];
};
static_assert(sizeof(UtEepromRecord) == 256);

// Counters of a port (server message 0x0100) and further fields the counter pages write.
struct UtPortCounters
{
    UtPortId Id;
    std::uint64_t Counter1;
    std::uint64_t MulticastRx; // counter 2
    std::uint64_t UnicastRx;   // counter 3
    std::uint64_t PauseFrames;
    std::uint64_t VlanFrames;
    std::uint64_t Ipv4Frames;
    std::uint64_t CrcErrors;
    std::uint64_t Undersize;
    std::uint64_t Oversize;
    std::uint64_t NormalSize;
    std::uint64_t Counter4;
    std::uint64_t Counter5;
    std::uint64_t Bucket64;
    std::uint64_t Bucket65To127;
    std::uint64_t Bucket128To255;
    std::uint64_t Bucket256To511;
    std::uint64_t Bucket512To1023;
    std::uint64_t Bucket1024To1522;
    std::uint64_t Counter6;
    std::uint64_t Counter7;
    std::uint64_t Counter8;
    std::uint64_t RxPackets; // counter 9
    std::uint64_t Counter10;
    std::uint64_t RxBytes;
    std::uint64_t TxPackets;
    std::uint64_t Counter11;
    std::uint64_t TxBytes;
    std::uint32_t Value1;
    std::uint32_t Values2To9[8];
    std::uint32_t Value10;
    std::uint64_t Collisions; // not in the counter message
    std::uint8_t Reserved[904];
};
static_assert(sizeof(UtPortCounters) == 1172);

// Stream counters and latency of a port (server message 0x1500).
struct UtPortState
{
    std::uint32_t MaxLatencyTicks; // largest latency seen, 40 ns ticks
    std::uint32_t LatencyWords[3];
    std::uint8_t LatencyFlag;
    std::uint64_t RxCountA; // multicast stream
    std::uint64_t RxCountB; // unicast stream
    std::uint64_t TxCountA;
    std::uint64_t TxCountB;
    std::uint8_t Reserved[46];
};
static_assert(sizeof(UtPortState) == 95);

// Join/leave time stamps of a port, 40 ns ticks.
struct UtDelayStamp
{
    std::uint32_t Reserved;
    std::uint32_t TxStamp;
    std::uint32_t RxStamp;
    std::uint16_t CaptureWord;
};
static_assert(sizeof(UtDelayStamp) == 14);

// Stream-item bytes of a port record saved around the Source Filter test.
struct UtPortSaveEntry
{
    std::uint16_t PortIndex;
    std::uint8_t StreamItemA;
    std::uint8_t StreamItemB;
    std::uint16_t StreamNumber;
};
static_assert(sizeof(UtPortSaveEntry) == 6);

#pragma pack(pop)

// A port as the user edits it (kept in memory only).
struct UtPortRecord
{
    std::uint16_t CID = 0;
    std::uint8_t BID = 0;
    std::uint8_t PID = 0;
    std::uint8_t Select_state = 0;
    std::uint8_t SourcePair = 0;
    std::uint8_t HostPair = 0;
    std::uint8_t ModuleType = 0;
    std::uint16_t SpeedMedia = 0; // copied from UtPortHwInfo when the link status arrives
    std::uint8_t MAC[6] = {};
    std::uint32_t IPAddress = 0; // the three addresses most significant byte first, as on the wire
    std::uint32_t GatewayIP = 0;
    std::uint32_t Mask = 0;
    std::uint8_t Flag = 0; // 1 in a new record; also the ARP reply mode
    std::uint8_t VLanState = 0;
    std::uint8_t VLanPriority = 0;
    std::uint8_t CFI = 0;
    std::uint16_t VLanID = 0;
    std::uint32_t CounterRow = 0;
    std::uint8_t StreamItemA = 0; // stream whose counters land in UtPortState receive count A
    std::uint8_t StreamItemB = 0;
    std::uint16_t StreamNumber = 0; // saved with the stream items
    std::uint8_t UniVLanState = 0;
    std::uint8_t UniVLanPriority = 0;
    std::uint8_t UniCFI = 0;
    std::uint16_t UniVLanID = 0;

    UtPortId Id() const { return UtPortId{CID, BID, PID}; }
};
