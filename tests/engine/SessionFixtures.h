// Server messages written byte by byte for the session tests, independent of the simulator's encoder.
#pragma once

#include "engine/Session.h"

#include <cstdint>
#include <vector>

struct TestMessage
{
    std::vector<uint8_t> bytes;

    TestMessage(uint16_t code, size_t length) : bytes(length, 0) { be16(0, code); }
    TestMessage &be16(size_t at, uint16_t value)
    {
        bytes.at(at) = uint8_t(value >> 8);
        bytes.at(at + 1) = uint8_t(value);
        return *this;
    }
    TestMessage &be32(size_t at, uint32_t value)
    {
        be16(at, uint16_t(value >> 16));
        return be16(at + 2, uint16_t(value));
    }
    TestMessage &u8(size_t at, uint8_t value)
    {
        bytes.at(at) = value;
        return *this;
    }
    TestMessage &port(uint16_t chassis, uint8_t card, uint8_t port)
    {
        be16(20, chassis);
        u8(22, card);
        return u8(23, port);
    }
};

struct InventoryEntry
{
    uint16_t chassis;
    uint8_t card, port, type, status;
};

inline TestMessage inventoryMessage(const std::vector<InventoryEntry> &entries)
{
    TestMessage message(0x80FE, 22 + 6 * entries.size());
    message.be16(20, uint16_t(entries.size()));
    size_t at = 22;
    for (const InventoryEntry &entry : entries) {
        message.be16(at, entry.chassis).u8(at + 2, entry.card).u8(at + 3, entry.port).u8(at + 4, entry.type);
        message.u8(at + 5, entry.status);
        at += 6;
    }
    return message;
}

inline void deliver(const TestMessage &message)
{
    KvEventCallback(message.bytes.data(), uint32_t(message.bytes.size()));
}
