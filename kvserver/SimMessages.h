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

struct BoardVersion
{
    uint16_t words[10]; // W1..W10
    uint16_t word68;
    uint8_t mac[6];
};

struct EepromText
{
    std::string modelName;       // at most 15 characters
    std::string serialNumber;    // at most 19 characters
    std::string manufactureDate; // 12 digits
};

std::vector<uint8_t> inventory(const std::vector<InventoryEntry> &entries);
std::vector<uint8_t> linkStatus(uint16_t chassis, const std::vector<LinkEntry> &entries);
std::vector<uint8_t> portStatus(KvPortId port, bool locked);
std::vector<uint8_t> clientCount(uint8_t count);
std::vector<uint8_t> boardVersion(uint16_t type, KvPortId port, const BoardVersion &version);
// selector: the record the request named, echoed in the u32 at offset 4.
std::vector<uint8_t> eeprom(uint16_t type, KvPortId port, uint32_t selector, const EepromText &text);

} // namespace SimMessages
