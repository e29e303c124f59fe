// Bytes of the frames and transmit blocks the test plan hands to the hardware library: big-endian
// words, 802.1Q tags, transmit configuration and start blocks.
#pragma once

#include "engine/Session.h"
#include "engine/TestPlanRecords.h"

#include <cstdint>
#include <cstring>

namespace TestPlanSupport {

inline void putBe16(std::uint8_t *at, std::uint16_t value)
{
    at[0] = static_cast<std::uint8_t>(value >> 8);
    at[1] = static_cast<std::uint8_t>(value);
}

// 802.1Q tag control word.
inline std::uint16_t tagControl(std::uint8_t priority, std::uint8_t cfi, std::uint16_t vlanId)
{
    return static_cast<std::uint16_t>(((priority & 7) << 13) | ((cfi & 1) << 12) | (vlanId & 0x0FFF));
}

inline void putTag(std::uint8_t *at, std::uint8_t priority, std::uint8_t cfi, std::uint16_t vlanId)
{
    at[0] = 0x81;
    at[1] = 0x00;
    putBe16(at + 2, tagControl(priority, cfi, vlanId));
}

// A VLAN state of any non-zero value means tagged, the same for every frame of the port.
inline bool portTagged(const UtPortRecord &record)
{
    return record.VLanState != 0;
}
inline bool unicastTagged(const UtPortRecord &record)
{
    return record.UniVLanState != 0;
}

inline UtTxConfig txConfig(std::uint8_t mode)
{
    UtTxConfig config;
    std::memset(&config, 0xFF, sizeof config);
    config.Mode = mode;
    return config;
}

inline UtTxStartBlock startBlock(const UtPortId &id, std::uint16_t first, std::uint16_t last,
                                 std::uint64_t count, std::uint16_t final)
{
    UtTxStartBlock block{};
    block.Port = {id.CID, id.BID, id.PID};
    block.FirstEntry = first;
    block.LastEntry = last;
    block.FrameCount = count;
    block.Final = final;
    return block;
}

} // namespace TestPlanSupport
