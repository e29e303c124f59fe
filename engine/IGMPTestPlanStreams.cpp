// Data streams of the source ports and the traffic start and stop.
#include "engine/IGMPTestPlan.h"

#include "engine/PeriodicEventPump.h"
#include "engine/PlanHostCalls.h"
#include "engine/PlanLineRates.h"
#include "engine/PlanPortLookup.h"
#include "engine/PlanWireFormat.h"

#include <cinttypes>
#include <cmath>
#include <cstring>

using namespace std::chrono_literals;

using namespace TestPlanSupport;

namespace {

constexpr std::uint32_t kFullRateGap = 96; // bit times
constexpr std::uint32_t kBurstEntries = 32;

// The transmit-table calls of the stream builders; none with the demo inventory or in demo mode.
void addEntry(const UtTxEntry &entry)
{
    if (!hardwareSkipped())
        Kv_TQModule_FillTxPkt_AddEntry(entry.Port.CID, entry.Port.BID, entry.Port.PID, entry);
}

void dataTxConfig(const UtTxEntry &entry)
{
    if (!hardwareSkipped())
        Kv_TQModule_FillTxPkt_TxConfig(entry.Port.CID, entry.Port.BID, entry.Port.PID, txConfig(0));
}

std::uint16_t startTable(const UtPortId &id, std::uint16_t first, std::uint16_t last, std::uint64_t count,
                         std::uint16_t final)
{
    if (hardwareSkipped())
        return 1;
    return Kv_TQModule_StartTxPkt(id.CID, id.BID, id.PID, startBlock(id, first, last, count, final));
}

} // namespace

bool CIGMPTestPlan::applyRate(UtTxEntry &entry, std::uint32_t frameSize, std::uint16_t portIndex, double rate)
{
    TxFrameCount = 0;
    if (frameSize < kMinFrameSize || frameSize > kMaxFrameSize || portIndex >= g_Session.Ports.size())
        return false;
    const std::uint64_t line = lineRateOfPort(g_Session.Ports[portIndex].Id());
    const std::uint64_t maxFps = fullLoadFps(line, frameSize);
    ChartScale = maxFps;
    if (!(rate > 0) || !std::isfinite(rate)) {
        log(QString::asprintf("* A rate of %.2f%% sends no frames; stream not started.\n", rate));
        return false;
    }
    double fps = static_cast<double>(maxFps);
    std::uint64_t gap = kFullRateGap;
    if (rate < 100) {
        fps = rate / 100 * static_cast<double>(maxFps);
        const double gapBytes = std::floor(static_cast<double>(line) / fps - (frameSize + 8));
        gap = static_cast<std::uint64_t>(std::min(gapBytes * 8, double(UINT32_MAX)));
    }
    entry.Gap = static_cast<std::uint32_t>(gap);
    entry.FrameLength = static_cast<std::uint16_t>(frameSize - 4);
    TxFrameCount = static_cast<std::uint64_t>(fps * TestDuration);
    if (TxFrameCount == 0) {
        log(QString::asprintf("* A rate of %.2f%% for %u s sends no frames; stream not started.\n", rate,
                              TestDuration));
        return false;
    }
    return true;
}

std::uint16_t CIGMPTestPlan::FillTestPairStreams(UtTxEntry entry, std::uint32_t frameSize,
                                                 std::uint8_t pairIndex, std::uint16_t portIndex, double rate)
{
    if (!applyRate(entry, frameSize, portIndex, rate))
        return 0;
    if (pairIndex >= TestPairs.size()) {
        TxFrameCount = 0;
        return 0;
    }
    const UtPortRecord &record = g_Session.Ports[portIndex];
    const UtTestPair &pair = TestPairs[pairIndex];
    entry.EntryNumber = 0;
    entry.Word40 = 1;
    entry.StreamNumber = record.StreamNumber;
    addEntry(entry);

    entry.EntryNumber = 1;
    entry.Word40 = 0;
    entry.StreamNumber = static_cast<std::uint16_t>(record.StreamNumber + 1);
    const std::uint8_t destination[6] = {
        0x0A, 0x3F, 0x5C, static_cast<std::uint8_t>(pair.UniCid & 0xFF), pair.UniBid, pair.UniPid};
    const std::uint8_t source[6] = {0x0A, 0x3F, 0x5C, record.MAC[3], record.MAC[4], record.MAC[5]};
    std::memcpy(entry.Frame, destination, 6);
    std::memcpy(entry.Frame + 6, source, 6);
    if (unicastTagged(record)) {
        putTag(entry.Frame + 12, record.UniVLanPriority, record.UniCFI, record.UniVLanID);
        putBe16(entry.Frame + 16, 0xFFFF);
    } else {
        putBe16(entry.Frame + 12, 0xFFFF);
    }
    addEntry(entry);
    dataTxConfig(entry);
    return 1;
}

std::uint16_t CIGMPTestPlan::FillSourceStreams(UtTxEntry entry, std::uint32_t frameSize,
                                               std::uint16_t portIndex, double rate)
{
    if (!applyRate(entry, frameSize, portIndex, rate))
        return 0;
    entry.EntryNumber = 0;
    entry.Word40 = 0;
    entry.StreamNumber = g_Session.Ports[portIndex].StreamNumber;
    addEntry(entry);
    dataTxConfig(entry);
    return 1;
}

bool CIGMPTestPlan::addGroupEntry(UtTxEntry &entry, std::uint32_t frameSize, std::uint8_t pairIndex,
                                  std::uint16_t portIndex, std::uint32_t groupIndex, std::uint16_t stream)
{
    std::uint8_t group[4];
    if (!NextGroupAddress(group, static_cast<std::uint8_t>(pairIndex + 1), groupIndex, 1) ||
        !writeDataFrame(entry, frameSize, group, 1, false, portIndex))
        return false;
    entry.EntryNumber = groupIndex;
    entry.Word40 = static_cast<std::uint16_t>(groupIndex + 1);
    entry.StreamNumber = stream;
    addEntry(entry);
    return true;
}

std::uint16_t CIGMPTestPlan::FillGroupStreams(UtTxEntry entry, std::uint32_t frameSize,
                                              std::uint8_t pairIndex, std::uint16_t portIndex, double rate)
{
    if (!applyRate(entry, frameSize, portIndex, rate))
        return 0;
    const std::uint32_t groups = ScaleTrial;
    if (groups == 0) {
        log(QStringLiteral("* No group to send to; stream not started.\n"));
        return 0;
    }
    dataTxConfig(entry);
    const std::uint16_t stream = g_Session.Ports[portIndex].StreamNumber;
    for (std::uint32_t g = 0; g < groups; ++g) {
        if (!addGroupEntry(entry, frameSize, pairIndex, portIndex, g, stream))
            return 0;
    }
    return startTable(g_Session.Ports[portIndex].Id(), 0, static_cast<std::uint16_t>(groups - 1),
                      TxFrameCount, 0) != 0;
}

std::uint16_t CIGMPTestPlan::FillCapacityGroupBursts(UtTxEntry entry, std::uint32_t frameSize,
                                                     std::uint8_t pairIndex, std::uint16_t portIndex,
                                                     std::uint32_t groups)
{
    if (frameSize < kMinFrameSize || frameSize > kMaxFrameSize || groups > kMaxGroupCount ||
        portIndex >= g_Session.Ports.size())
        return 0;
    entry.Gap = kFullRateGap;
    entry.FrameLength = static_cast<std::uint16_t>(frameSize - 4);
    // One frame to each group.
    TxFrameCount = groups;
    dataTxConfig(entry);
    const UtPortId id = g_Session.Ports[portIndex].Id();
    const std::uint16_t stream = g_Session.Ports[portIndex].StreamNumber;
    std::uint32_t index = 0;
    // One call per group: thousands at the largest sizes.
    PeriodicEventPump letEventsThrough;
    for (std::uint32_t g = 0; g < groups; ++g) {
        letEventsThrough();
        if (!addGroupEntry(entry, frameSize, pairIndex, portIndex, g, stream))
            return 0;
        if (index == kBurstEntries - 1 || g == groups - 1) {
            startTable(id, 0, static_cast<std::uint16_t>(index), index + 1, 1);
            // A new start would replace the burst: it goes out whole before the next block, and the
            // last one before the counters are read.
            if (!hardwareSkipped())
                WaitPumpingAbortable(burstMilliseconds(entry, index + 1));
            index = 0;
        } else {
            ++index;
        }
    }
    return 1;
}

void CIGMPTestPlan::copyTxFrameCount(const UtPortRecord &record)
{
    for (UtTestPort &source : SourcePorts) {
        if (source.Id == record.Id())
            source.TxFrames = TxFrameCount;
    }
}

std::uint16_t CIGMPTestPlan::FillCapacityStreams(std::uint32_t frameSize, std::uint32_t groups)
{
    if (demoMode())
        return 1;
    if (frameSize < kMinFrameSize || frameSize > kMaxFrameSize || groups > kMaxGroupCount) {
        log(QString::asprintf("* Frame size %u or %u groups out of range; no burst built.\n", frameSize,
                              groups));
        return 0;
    }
    std::uint16_t result = 1;
    for (std::uint8_t k = 0; k < kMaxTestPairs; ++k) {
        if (PairSelected[k] != 1)
            continue;
        for (std::size_t r = 0; r < g_Session.Ports.size(); ++r) {
            const UtPortRecord &record = g_Session.Ports[r];
            if (record.SourcePair != k + 1 || g_Session.DemoHardware)
                continue;
            UtTxEntry entry;
            if (!buildDataEntry(entry, r, frameSize, k) ||
                !FillCapacityGroupBursts(entry, frameSize, k, static_cast<std::uint16_t>(r), groups)) {
                result = 0;
                continue;
            }
            copyTxFrameCount(record);
        }
    }
    return result;
}

bool CIGMPTestPlan::trafficFrameSizeUsable(std::uint32_t frameSize) const
{
    if (frameSize >= kMinFrameSize && frameSize <= kMaxFrameSize)
        return true;
    log(QString::asprintf("* Frame size %u is outside %u-%u; traffic not started.\n", frameSize,
                          kMinFrameSize, kMaxFrameSize));
    return false;
}

bool CIGMPTestPlan::buildDataEntry(UtTxEntry &entry, std::size_t recordIndex, std::uint32_t frameSize,
                                   std::uint8_t pairIndex) const
{
    std::memset(&entry, 0xFF, sizeof entry);
    const auto portIndex = static_cast<std::uint16_t>(recordIndex);
    return recordIndex <= UINT16_MAX && BuildFrameTemplate(entry, portIndex) &&
           BuildMulticastDataFrame(entry, frameSize, pairIndex, portIndex);
}

std::uint16_t CIGMPTestPlan::startSourcePorts(std::uint16_t result)
{
    if (stopRequested())
        return 0;
    GlobalStartTx(PortMask(SourcePorts));
    return result;
}

std::uint16_t CIGMPTestPlan::StartTestPairTraffic(std::uint32_t frameSize)
{
    if (demoMode())
        return 1;
    if (!trafficFrameSizeUsable(frameSize))
        return 0;
    std::uint16_t result = 1;
    for (std::uint8_t s = 0; s < kMaxTestPairs; ++s) {
        if (stopRequested())
            return 0;
        if (PairSelected[s] != 1)
            continue;
        for (std::size_t r = 0; r < g_Session.Ports.size(); ++r) {
            if (stopRequested())
                return 0;
            const UtPortRecord record = g_Session.Ports[r];
            if (record.SourcePair != s + 1 || g_Session.DemoHardware)
                continue;
            const auto portIndex = static_cast<std::uint16_t>(r);
            UtTxEntry entry;
            if (!buildDataEntry(entry, r, frameSize, s)) {
                result = 0;
                continue;
            }
            const UtPortId id = record.Id();
            const auto logTransmit = [&] {
                log(QString::asprintf(
                    "* Source Port of Test Pair - %d ( %3d, %2d, %d) Transmit packet  ==>   %" PRIu64 "\n", s,
                    id.CID, id.BID, id.PID, TxFrameCount));
            };
            switch (TestType) {
            case TestMixClass:
                if (FillTestPairStreams(entry, frameSize, s, portIndex, CurrentRate)) {
                    WaitPumpingAbortable(500ms);
                    logTransmit();
                    if (startTable(id, 0, 1, TxFrameCount, 0) == 0)
                        result = 0;
                }
                break;
            case TestScale:
                if (!FillGroupStreams(entry, frameSize, s, portIndex, CurrentRate) && TxFrameCount > 0)
                    result = 0;
                break;
            default:
                if (FillSourceStreams(entry, frameSize, portIndex, CurrentRate)) {
                    WaitPumpingAbortable(500ms);
                    if (TestType == TestAggregate)
                        logTransmit();
                    if (startTable(id, 0, 0, TxFrameCount, 0) == 0)
                        result = 0;
                }
                break;
            }
            copyTxFrameCount(record);
        }
    }
    return startSourcePorts(result);
}

std::uint16_t CIGMPTestPlan::StartSourcePortTraffic(std::uint32_t frameSize, std::uint8_t pairNumber)
{
    SourceFilterGroup = pairNumber;
    if (demoMode())
        return 1;
    if (!trafficFrameSizeUsable(frameSize))
        return 0;
    std::uint16_t result = 1;
    for (UtTestPort &source : SourcePorts) {
        if (stopRequested())
            return 0;
        for (std::size_t r = 0; r < g_Session.Ports.size(); ++r) {
            if (stopRequested())
                return 0;
            if (g_Session.Ports[r].Id() != source.Id || g_Session.DemoHardware)
                continue;
            const auto portIndex = static_cast<std::uint16_t>(r);
            UtTxEntry entry;
            if (!buildDataEntry(entry, r, frameSize, pairNumber)) {
                result = 0;
                continue;
            }
            // One entry is built, so the table starts that one entry only.
            if (TestType == TestSourceFilter && FillSourceStreams(entry, frameSize, portIndex, CurrentRate)) {
                WaitPumpingAbortable(500ms);
                log(QString::asprintf("* Source Port ( %3d, %2d, %d) Transmit packet  ==>   %" PRIu64 "\n",
                                      source.Id.CID, source.Id.BID, source.Id.PID, TxFrameCount));
                if (startTable(source.Id, 0, 0, TxFrameCount, 0) == 0)
                    result = 0;
            }
            source.TxFrames = TxFrameCount;
        }
    }
    return startSourcePorts(result);
}

std::uint16_t CIGMPTestPlan::StopAllTx()
{
    GlobalStopTx(PortMask(SourcePorts));
    return 1;
}
