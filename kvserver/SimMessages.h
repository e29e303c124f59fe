// Builders of the server event messages the simulated chassis sends (big-endian fields).
#pragma once

#include "platform/kvapi/KvAPI.h"

#include <cstdint>
#include <string>
#include <vector>

namespace SimMessages {

struct InventoryEntry
{
    KvPortId port;
    uint8_t type;   // module type code, or the management card's character
    uint8_t status; // 0 free, 1 locked by some client
};

struct LinkEntry
{
    uint8_t card;
    uint8_t port;
    uint16_t code; // media code, 255 link down
};

struct Version
{
    uint16_t major, minor, build;
};

// A version record (0x0500): words W1..W10 carry firmware W1.W2 build W8, the secondary version W5.W6
// build W7 (a module's FPGA, the controller's hardware), the tertiary version W3.W4 build W9 (a
// module's PROM, the controller's further version) and the single number W10 (a module's hardware
// version, the controller's PCB version).
struct BoardVersion
{
    Version firmware;
    Version secondary;
    Version tertiary;
    uint16_t single;
    uint16_t word68;
    uint8_t mac[6];
};

struct EepromText
{
    std::string modelName;          // at most 15 characters
    std::string serialNumber;       // at most 19 characters
    std::string manufactureDate;    // 12 digits
    std::string secondSerialNumber; // a chassis record's second board, at most 19 characters
};

// Port counters as message 0x0100 carries them.
struct PortCounters
{
    uint64_t rxPackets = 0, rxBytes = 0, rxMulticast = 0, rxUnicast = 0, rxVlan = 0, rxIpv4 = 0;
    uint64_t undersize = 0, oversize = 0, normalSize = 0;
    uint64_t buckets[6] = {}; // 64, 65-127, 128-255, 256-511, 512-1023, 1024-1522
    uint64_t txPackets = 0, txBytes = 0;
};

struct TxStreamItem
{
    uint16_t slot; // entry of the port's transmit table
    uint64_t frames;
};

struct RxStreamItem
{
    uint16_t item; // counter item: stream number less the base
    uint64_t frames;
    uint32_t latencyTicks; // largest of the reporting interval
};

std::vector<uint8_t> inventory(const std::vector<InventoryEntry> &entries);
std::vector<uint8_t> linkStatus(uint16_t chassis, const std::vector<LinkEntry> &entries);
std::vector<uint8_t> portStatus(KvPortId port, bool locked);
std::vector<uint8_t> clientCount(uint8_t count);
std::vector<uint8_t> boardVersion(uint16_t type, KvPortId port, const BoardVersion &version);
// selector: the record the request named, echoed in the u32 at offset 4.
std::vector<uint8_t> eeprom(uint16_t type, KvPortId port, uint32_t selector, const EepromText &text);

std::vector<uint8_t> portCounters(uint16_t type, KvPortId port, const PortCounters &counters);
std::vector<uint8_t> streamStatistics(uint16_t type, KvPortId port, const std::vector<TxStreamItem> &tx,
                                      const std::vector<RxStreamItem> &rx);
// captured: whether a frame matched; the stamp is 0 otherwise.
std::vector<uint8_t> rxTimestamp(uint16_t type, KvPortId port, bool captured, uint32_t stamp);
std::vector<uint8_t> txTimestamp(uint16_t type, KvPortId port, uint32_t stamp);

} // namespace SimMessages
