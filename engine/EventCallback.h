// The server event callback: decodes each server message (big-endian) into the session tables.
#pragma once

#include "engine/SessionRecords.h"

#include <QString>
#include <cstdint>

// Called by the hardware library with one message and its length. A message shorter than its fields,
// of an unknown code, or about a port outside the inventory is ignored.
void KvEventCallback(const std::uint8_t *message, std::uint32_t length);

// The 1,372-byte counter record of message 0x0100 (starting at its chassis field) into a port's
// counters; fields the record does not carry keep their values.
void ConvertPortCounters(const std::uint8_t *record, UtPortCounters &counters);

// The 48-bit count at offset 2 of a stream statistics item, replacing one count of the port state:
// A the multicast receive count, B the unicast receive count, C and D the two transmit counts.
void UnpackWireCounter48A(const std::uint8_t *item, UtPortState &state);
void UnpackWireCounter48B(const std::uint8_t *item, UtPortState &state);
void UnpackWireCounter48C(const std::uint8_t *item, UtPortState &state);
void UnpackWireCounter48D(const std::uint8_t *item, UtPortState &state);

// The minimum FPGA and firmware version texts of a module type; false when its model has none.
bool LookupRequiredFirmware(std::uint16_t moduleType, QString &fpga, QString &firmware);
// True when a module's firmware (version A) or FPGA (version B) is below the minimum of its model.
bool IsFirmwareOlderThanRequired(std::uint16_t moduleType, std::uint16_t aMajor, std::uint16_t aMinor,
                                 std::uint16_t aBuild, std::uint16_t bMajor, std::uint16_t bMinor,
                                 std::uint16_t bBuild);
