// Port sets of the lock and unlock calls: the 20-byte block that names ports of one chassis, built from
// the reservation flags or from any list of ports, and the two ways the reservation calls them.
#pragma once

#include "platform/kvapi/KvAPI.h"

#include <array>
#include <cstdint>
#include <map>

class UtSession;

// Sets the bit of the port (card slot 2-17, port 1-8) and takes the port's chassis as the set's chassis.
// False, with the set unchanged, for a port outside those ranges.
bool EnterPortSet(UtPortSet &set, const UtPortId &port);
// The set as the library sends it: chassis and the four masks, each a little-endian u32.
std::array<std::uint8_t, 20> PortSetBytes(const UtPortSet &set);

// Collects ports into one set per chassis; a port the block cannot name is left out and logged.
class PortSetBuilder
{
public:
    struct Entry
    {
        UtPortSet Set{};
        std::uint16_t Count = 0;
    };

    // False when the port cannot be named (it is not counted).
    bool Enter(const UtPortId &port);
    // The sets by chassis, each with the number of ports entered into it.
    const std::map<std::uint16_t, Entry> &Sets() const { return m_sets; }
    // Ports entered into all sets.
    std::uint16_t Count() const;
    bool IsEmpty() const { return m_sets.empty(); }

private:
    std::map<std::uint16_t, Entry> m_sets;
};

// The ports whose reservation flag is 1, in port-table order.
PortSetBuilder BuildLockedPortSets(const UtSession &session);

// Releases a set: one call, and while it fails up to six more, each failing retry followed by a 50 ms
// message-pumping wait (at most seven calls). The last call's result.
std::uint16_t ReleasePortSet(const UtPortSet &set);
// Locks a set; when the server refuses, unlocks the same set again so that no part stays locked.
std::uint16_t LockPortSet(const UtPortSet &set);
