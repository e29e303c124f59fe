#include "engine/PortSet.h"

#include "engine/EngineUtils.h"
#include "engine/Session.h"

#include <QDebug>

namespace {

constexpr int kReleaseCalls = 7;
constexpr std::uint32_t kReleaseRetryWaitMs = 50;

void putLittleEndian32(std::uint8_t *at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

} // namespace

bool EnterPortSet(UtPortSet &set, const UtPortId &port)
{
    if (port.BID < 2 || port.BID > 17 || port.PID < 1 || port.PID > 8)
        return false;
    const unsigned slot = port.BID - 2u;
    set.Chassis = port.CID;
    set.Mask[slot / 4] |= 1u << ((slot % 4) * 8 + (port.PID - 1u));
    return true;
}

std::array<std::uint8_t, 20> PortSetBytes(const UtPortSet &set)
{
    std::array<std::uint8_t, 20> bytes{};
    putLittleEndian32(bytes.data(), set.Chassis);
    for (int word = 0; word < 4; ++word)
        putLittleEndian32(bytes.data() + 4 + 4 * word, set.Mask[word]);
    return bytes;
}

bool PortSetBuilder::Enter(const UtPortId &port)
{
    UtPortSet probe{};
    if (!EnterPortSet(probe, port)) {
        qWarning("port (%u,%u,%u) cannot be named in a port set; left out", port.CID, port.BID, port.PID);
        return false;
    }
    Entry &entry = m_sets[port.CID];
    EnterPortSet(entry.Set, port);
    ++entry.Count;
    return true;
}

std::uint16_t PortSetBuilder::Count() const
{
    std::uint16_t count = 0;
    for (const auto &[chassis, entry] : m_sets)
        count = static_cast<std::uint16_t>(count + entry.Count);
    return count;
}

PortSetBuilder BuildLockedPortSets(const UtSession &session)
{
    PortSetBuilder builder;
    for (std::uint16_t i = 0; i < session.PortCount && i < session.LockedFlags.size(); ++i) {
        if (session.LockedFlags[i] == 1)
            builder.Enter(session.PortTable[i].Id);
    }
    return builder;
}

std::uint16_t ReleasePortSet(const UtPortSet &set)
{
    std::uint16_t result = Kv_UnLockPortStatus(set);
    for (int call = 1; call < kReleaseCalls && result == 0; ++call) {
        result = Kv_UnLockPortStatus(set);
        if (result == 0)
            WaitPumping(kReleaseRetryWaitMs);
    }
    return result;
}

std::uint16_t LockPortSet(const UtPortSet &set)
{
    const std::uint16_t result = Kv_LockPortStatus(set);
    if (result == 0)
        Kv_UnLockPortStatus(set);
    return result;
}
