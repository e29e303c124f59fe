// Line rates of the tested ports, full-load frame rates and the time a burst takes on the wire.
#pragma once

#include "engine/EngineUtils.h"
#include "engine/PlanPortLookup.h"
#include "engine/TestPlanRecords.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace TestPlanSupport {

// Line rate in bytes per second of a media code; a code with no running speed counts as 10M.
inline std::uint64_t lineRateOfMedia(std::uint16_t media)
{
    const std::uint64_t rate = LineRateOfMedia(media);
    return rate != 0 ? rate : kLineRate10M;
}

// Frames per second at 100 % load: each frame takes 20 bytes more of the line (preamble and minimum gap).
inline std::uint64_t fullLoadFps(std::uint64_t lineRate, std::uint32_t frameSize)
{
    return lineRate / (std::uint64_t(frameSize) + 20);
}

inline std::uint64_t lineRateOfPort(const UtPortId &id)
{
    const int index = hardwareIndex(id);
    return lineRateOfMedia(index < 0 ? 0xFF : g_Session.PortHwInfo[index].SpeedMedia);
}

// Milliseconds the entry's port needs to send `frames` copies of the entry's frame at the entry's gap,
// rounded up, and one more for the start to reach the port: a stop or a new start on the port before
// then would cut the burst short.
inline std::uint32_t burstMilliseconds(const UtTxEntry &entry, std::uint64_t frames)
{
    // The frame with its check sequence and preamble, then the gap.
    const double bitsPerFrame = (double(entry.FrameLength) + 4 + 8) * 8 + double(entry.Gap);
    const double lineBitsPerMs =
        8.0 * double(lineRateOfPort({entry.Port.CID, entry.Port.BID, entry.Port.PID})) / 1000;
    const double ms = std::ceil(double(frames) * bitsPerFrame / lineBitsPerMs) + 1;
    return static_cast<std::uint32_t>(std::min(ms, double(UINT32_MAX)));
}

} // namespace TestPlanSupport
