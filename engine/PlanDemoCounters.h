// The counters of demo mode, which has no hardware to count.
#pragma once

#include "engine/Session.h"

#include <cstdint>

namespace TestPlanSupport {

// Demo counters: nothing received.
inline void clearReceiveSide(UtPortCounters &counters, UtPortState &state)
{
    counters.MulticastRx = counters.UnicastRx = counters.RxPackets = counters.RxBytes = 0;
    counters.Ipv4Frames = counters.PauseFrames = counters.VlanFrames = counters.CrcErrors = 0;
    counters.Undersize = counters.Oversize = counters.NormalSize = 0;
    counters.Bucket64 = counters.Bucket65To127 = counters.Bucket128To255 = 0;
    counters.Bucket256To511 = counters.Bucket512To1023 = counters.Bucket1024To1522 = 0;
    counters.Collisions = 0;
    state.RxCountA = state.RxCountB = 0;
}

// Demo counters: `frames` received frames of the size, in the size counters and buckets.
inline void setReceivedSizes(UtPortCounters &counters, std::uint32_t frameSize, std::uint64_t frames)
{
    const std::uint32_t wireSize = frameSize + 4;
    if (wireSize > 1522)
        counters.Oversize = frames;
    else if (wireSize < 60)
        counters.Undersize = frames;
    else
        counters.NormalSize = frames;
    counters.RxBytes = wireSize * frames;
    counters.Ipv4Frames = frames;
    counters.Collisions = counters.CrcErrors = counters.PauseFrames = counters.VlanFrames = 0;
    counters.Bucket64 = frameSize == 64 ? frames : 0;
    counters.Bucket65To127 = frameSize >= 65 && frameSize <= 127 ? frames : 0;
    counters.Bucket128To255 = frameSize >= 128 && frameSize <= 255 ? frames : 0;
    counters.Bucket256To511 = frameSize >= 256 && frameSize <= 511 ? frames : 0;
    counters.Bucket512To1023 = frameSize >= 512 && frameSize <= 1023 ? frames : 0;
    counters.Bucket1024To1522 = frameSize >= 1024 && frameSize <= 1522 ? frames : 0;
}

} // namespace TestPlanSupport
