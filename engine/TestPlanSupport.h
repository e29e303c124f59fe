// Small helpers shared by the test plan's source files.
#pragma once

#include "engine/EngineHost.h"
#include "engine/Session.h"
#include "engine/TestPlanRecords.h"
#include "engine/WaitClock.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace TestPlanSupport {

inline bool demoMode()
{
    return EngineHost::instance().isDemoMode();
}

// Per-port hardware calls are skipped with the demo inventory, and always in demo mode.
inline bool hardwareSkipped()
{
    return g_Session.DemoHardware != 0 || demoMode();
}

inline bool stopRequested()
{
    return WaitClock::stopRequested();
}

inline void log(const QString &text)
{
    EngineHost::instance().log(text);
}

// The status line shows the language text of the key, or the text as it stands.
inline void status(const char *key)
{
    EngineHost::instance().showStatus(QString::fromLatin1(key));
}

// The status of a failed step. A step that a Stop cut short has not failed: the line is left to the Stop.
inline void failureStatus(const char *key)
{
    if (!stopRequested())
        status(key);
}

inline void statusText(const char *text)
{
    EngineHost::instance().showStatusText(QString::fromLatin1(text));
}

// Index of the port in the per-port session arrays, -1 when it has none.
inline int hardwareIndex(const UtPortId &id)
{
    const int index = LookupPortIndex(id.CID, g_Session.PortIndex, id.BID, id.PID);
    return index >= 0 && static_cast<std::size_t>(index) < g_Session.PortHwInfo.size() ? index : -1;
}

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

// Line rate in bytes per second of a media code (its low byte).
inline std::uint64_t lineRateOfMedia(std::uint16_t media)
{
    switch (media & 0xFF) {
    case 2:
    case 3:
    case 6:
    case 7:
        return 12'500'000;
    case 8:
    case 9:
    case 10:
    case 11:
        return 125'000'000;
    case 12:
    case 13:
        return 1'250'000'000;
    default:
        return 1'250'000;
    }
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

inline QString portText(const UtPortId &id)
{
    return QString::asprintf("(%3d,%2d,%d)", id.CID, id.BID, id.PID);
}

inline UtPortId recordId(const UtPortRecord &record)
{
    return UtPortId{record.CID, record.BID, record.PID};
}

inline bool samePort(const UtPortId &a, const UtPortId &b)
{
    return a.CID == b.CID && a.BID == b.BID && a.PID == b.PID;
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
