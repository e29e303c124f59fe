// IGMP joins and leaves of the test ports: through the transmit table or as single frames.
#include "engine/IGMPTestPlan.h"

#include "engine/PeriodicEventPump.h"
#include "engine/PlanHostCalls.h"
#include "engine/PlanLineRates.h"
#include "engine/PlanPortLookup.h"
#include "engine/PlanWireFormat.h"

#include <algorithm>
#include <cstring>

using namespace std::chrono_literals;

using namespace TestPlanSupport;

namespace {

constexpr std::uint32_t kJoin = 0;
constexpr std::uint32_t kLeave = 1;
constexpr std::uint32_t kBatchEntries = 32;

UtNicModeSettings nicSettings(const UtTestPort &port, const UtPortRecord &record)
{
    UtNicModeSettings settings{};
    settings.Port = {port.Id.CID, port.Id.BID, port.Id.PID};
    settings.Word6 = 16;
    settings.Word8 = 96;
    std::memset(settings.DestMac, 0xFF, 6);
    std::memcpy(settings.PortMac, record.MAC, 6);
    return settings;
}

// A host that the batch senders and the per-port leaves pass over: the Capacity monitor port.
bool excludedHost(const UtTestPort &port)
{
    return port.Monitor != 0;
}

void logLeaveAndWait()
{
    log(QStringLiteral("* Leave Group...\n\n"));
    WaitPumpingAbortable(5s);
}

} // namespace

bool CIGMPTestPlan::buildIgmpEntry(UtTxEntry &entry, const UtTestPort &port, std::uint32_t message,
                                   std::uint32_t side, std::uint8_t step, std::uint32_t groupIndex) const
{
    std::memset(&entry, 0, sizeof entry);
    if (!recordOf(port) || !BuildFrameTemplate(entry, port.PortIndex))
        return false;
    return BuildIgmpFrame(entry, message, side, port.PortIndex, step, groupIndex);
}

std::uint16_t CIGMPTestPlan::sendIgmpByTable(const UtTestPort &port, std::uint32_t message,
                                             std::uint32_t side, std::uint32_t pauseMs,
                                             const StartWords &start)
{
    if (hardwareSkipped())
        return 1;
    UtTxEntry entry;
    if (!buildIgmpEntry(entry, port, message, side, 0, 0))
        return 0;
    const UtPortId &id = port.Id;
    std::uint16_t result = 1;
    if (Kv_TQModule_FillTxPkt_AddEntry(id.CID, id.BID, id.PID, entry) == 0)
        result = 0;
    if (pauseMs)
        WaitPumpingAbortable(pauseMs);
    if (Kv_TQModule_StartTxPkt(id.CID, id.BID, id.PID,
                               startBlock(id, start.first, start.last, start.count, start.final)) == 0)
        result = 0;
    return result;
}

void CIGMPTestPlan::sendIgmpByNic(const UtTestPort &port, std::uint32_t message, std::uint32_t side,
                                  std::uint8_t step, std::uint32_t groupIndex, std::uint32_t copyBytes,
                                  bool sendSkipped)
{
    const UtPortRecord *record = recordOf(port);
    if (!record || demoMode())
        return;
    const UtPortId &id = port.Id;
    Kv_TQModule_NICModeSet(id.CID, id.BID, id.PID, nicSettings(port, *record));
    UtTxEntry entry;
    if (!buildIgmpEntry(entry, port, message, side, step, groupIndex) || sendSkipped)
        return;
    UtNicSendBlock block;
    std::memset(&block, 0xFF, sizeof block);
    block.Port = {id.CID, id.BID, id.PID};
    block.FrameLength = entry.FrameLength;
    // Never fewer bytes than the frame holds (a Source Filter report may outgrow the usual copy).
    const std::size_t copied = std::max<std::size_t>(copyBytes, entry.FrameLength + 4u);
    std::memcpy(block.Frame, entry.Frame, std::min(copied, sizeof block.Frame));
    Kv_TQModule_NICModeSend(id.CID, id.BID, id.PID, block);
}

std::uint16_t CIGMPTestPlan::SendJoinPerPort()
{
    if (demoMode())
        return 1;
    std::uint16_t result = 1;
    for (const UtTestPort &port : HostPorts)
        result &= sendIgmpByTable(port, kJoin, AsHost, 500, {0, 0, 5, 1});
    for (const UtTestPort &port : SourcePorts)
        result &= sendIgmpByTable(port, kJoin, AsSource, 500, {0, 0, 5, 1});
    return result;
}

std::uint16_t CIGMPTestPlan::SendJoinNicLatency()
{
    if (demoMode())
        return 1;
    for (const UtTestPort &port : HostPorts)
        sendIgmpByNic(port, kJoin, AsHost, 0, 0, 64, g_Session.DemoHardware);
    for (const UtTestPort &port : SourcePorts)
        sendIgmpByNic(port, kJoin, AsSource, 0, 0, 64, g_Session.DemoHardware);
    return 1;
}

// The first `clients` hosts (list order) of each source's pair, source by source: the members of an
// Aggregate step, whom its joins make members and its leaves take out again.
static std::vector<const UtTestPort *> aggregateClients(const CIGMPTestPlan &plan, std::uint8_t clients)
{
    std::vector<const UtTestPort *> members;
    for (const UtTestPort &source : plan.SourcePorts) {
        const UtPortRecord *sourceRecord = g_Session.RecordOf(source);
        if (!sourceRecord)
            continue;
        const std::uint8_t pair = sourceRecord->SourcePair;
        unsigned joined = 0;
        for (const UtTestPort &host : plan.HostPorts) {
            if (joined >= clients)
                break;
            if (!IsHostOfPair(host, pair))
                continue;
            ++joined;
            members.push_back(&host);
        }
    }
    return members;
}

// Joins of the step's clients, then of the sources.
static bool forEachAggregateJoin(const CIGMPTestPlan &plan, std::uint8_t clients,
                                 const std::function<void(const UtTestPort &, std::uint32_t)> &join)
{
    for (const UtTestPort *host : aggregateClients(plan, clients)) {
        if (stopRequested())
            return false;
        join(*host, 1);
    }
    for (const UtTestPort &source : plan.SourcePorts) {
        if (stopRequested())
            return false;
        join(source, 0);
    }
    return true;
}

std::uint16_t CIGMPTestPlan::SendJoinAggregate(std::uint8_t clients)
{
    if (demoMode())
        return 1;
    GlobalStopTx(AllTestPortsMask());
    std::uint16_t result = 1;
    const bool completed =
        forEachAggregateJoin(*this, clients, [&](const UtTestPort &port, std::uint32_t side) {
            result &= sendIgmpByTable(port, kJoin, side, 0, {0, 0, 5, 0});
        });
    if (!completed)
        return 0;
    GlobalStartTx(AllTestPortsMask());
    return result;
}

std::uint16_t CIGMPTestPlan::SendJoinNicAggregate(std::uint8_t clients)
{
    if (demoMode())
        return 1;
    const bool completed =
        forEachAggregateJoin(*this, clients, [&](const UtTestPort &port, std::uint32_t side) {
            sendIgmpByNic(port, kJoin, side, 0, 0, 64, false);
        });
    return completed ? 1 : 0;
}

std::uint16_t CIGMPTestPlan::SendJoinNic(std::uint32_t groups)
{
    if (demoMode())
        return 1;
    if (groups > kMaxGroupCount) {
        log(QString::asprintf("* %u groups are more than %u, no join sent.\n", groups, kMaxGroupCount));
        return 0;
    }
    for (std::uint32_t g = 0; g < groups; ++g) {
        if (stopRequested())
            return 0;
        for (const auto &[list, side] : {std::pair{&SourcePorts, AsSource}, std::pair{&HostPorts, AsHost}}) {
            for (const UtTestPort &port : *list) {
                if (stopRequested())
                    return 0;
                sendIgmpByNic(port, kJoin, side, 1, g, 64, g_Session.DemoHardware);
            }
        }
    }
    return 1;
}

std::uint16_t CIGMPTestPlan::sendBatches(std::uint32_t groups, std::uint32_t message, bool stoppable)
{
    if (groups > kMaxGroupCount) {
        log(QString::asprintf("* %u groups are more than %u, nothing sent.\n", groups, kMaxGroupCount));
        return 0;
    }
    std::uint16_t result = 1;
    std::uint32_t k = 0;
    std::uint32_t batchMs = 0; // the longest burst of the batch
    // Batches that take no Stop (the leaves) also wait whole: every burst is out before the next batch's
    // global stop, or before the stop of all traffic that follows a stopped test.
    const auto pause = [stoppable](std::uint32_t ms) {
        stoppable ? WaitPumpingAbortable(ms) : WaitPumping(ms);
    };
    // A batch is thousands of calls at the largest sizes.
    PeriodicEventPump letEventsThrough;
    for (std::uint32_t g = 0; g < groups; ++g) {
        if (stoppable && stopRequested())
            return 0;
        if (k == 0)
            GlobalStopTx(AllTestPortsMask());
        const bool batchEnds = k == kBatchEntries - 1 || g == groups - 1;
        for (const auto &[list, side] : {std::pair{&SourcePorts, AsSource}, std::pair{&HostPorts, AsHost}}) {
            for (const UtTestPort &port : *list) {
                letEventsThrough();
                if (stoppable && stopRequested())
                    return 0;
                if ((side == AsHost && excludedHost(port)) || hardwareSkipped())
                    continue;
                UtTxEntry entry;
                if (!buildIgmpEntry(entry, port, message, side, 1, g)) {
                    result = 0;
                    continue;
                }
                entry.Word40 = static_cast<std::uint16_t>(k + 1);
                entry.StreamNumber = static_cast<std::uint16_t>(k);
                const UtPortId &id = port.Id;
                if (Kv_TQModule_FillTxPkt_AddEntry(id.CID, id.BID, id.PID, entry) == 0)
                    result = 0;
                if (batchEnds) {
                    pause(50);
                    const std::uint16_t final = message == kJoin ? 1 : 0;
                    if (Kv_TQModule_StartTxPkt(
                            id.CID, id.BID, id.PID,
                            startBlock(id, 0, static_cast<std::uint16_t>(k), k + 1, final)) == 0)
                        result = 0;
                    batchMs = std::max(batchMs, burstMilliseconds(entry, k + 1));
                }
            }
        }
        if (batchEnds) {
            GlobalStartTx(AllTestPortsMask());
            // The next batch opens with a global stop and the caller goes on to its traffic: the reports
            // of this batch are all sent first.
            if (batchMs > 0)
                pause(batchMs);
            batchMs = 0;
            k = 0;
        } else {
            ++k;
        }
    }
    return result;
}

std::uint16_t CIGMPTestPlan::SendJoinAll(std::uint32_t groups)
{
    return sendBatches(groups, kJoin, true);
}

std::uint16_t CIGMPTestPlan::SendLeaveAll(std::uint32_t groups)
{
    const std::uint16_t result = sendBatches(groups, kLeave, false);
    if (groups == 0 || groups > kMaxGroupCount)
        return result;
    logLeaveAndWait();
    return result;
}

std::uint16_t CIGMPTestPlan::SendV3ReportNic(std::uint32_t operation)
{
    if (demoMode())
        return 1;
    const std::uint32_t copyBytes = operation == kJoin ? std::max<std::uint32_t>(V3ReportSize, 64) : 64;
    for (const auto *list : {&HostPorts, &SourcePorts}) {
        for (const UtTestPort &port : *list) {
            // The leaves go out whole after a Stop too: no membership of a test outlives it.
            if (operation == kJoin && stopRequested())
                return 0;
            sendIgmpByNic(port, operation, AsHost, 0, 0, copyBytes, g_Session.DemoHardware);
        }
    }
    return 1;
}

void CIGMPTestPlan::sendTimestamped(const UtTestPort &port, std::uint32_t message, std::uint32_t side)
{
    const UtPortRecord *record = recordOf(port);
    if (!record || hardwareSkipped())
        return;
    // A new measurement of the port: no stamp of an earlier one may stand in for its answer.
    const int hw = hardwareIndex(port.Id);
    if (hw >= 0 && static_cast<std::size_t>(hw) < g_Session.DelayStamps.size())
        g_Session.DelayStamps[hw].TxStamp = 0;
    const UtPortId &id = port.Id;
    Kv_TQModule_NICModeSet(id.CID, id.BID, id.PID, nicSettings(port, *record));
    UtNicSendBlock block;
    std::memset(&block, 0xFF, sizeof block);
    block.Port = {id.CID, id.BID, id.PID};
    block.FrameLength = 60;
    UtTxEntry entry;
    if (!buildIgmpEntry(entry, port, message, side, 0, 0))
        return;
    std::memcpy(block.Frame, entry.Frame, 504);
    Kv_TQModule_NICModeSetTimestampCaptureNo(id.CID, id.BID, id.PID, 1);
    Kv_TQModule_NICModeSend(id.CID, id.BID, id.PID, block);
    Kv_TQModule_NICModeGetTimestampCap(id.CID, id.BID, id.PID);
}

void CIGMPTestPlan::SendJoinTimestamped(const UtTestPort &port, std::uint32_t list)
{
    sendTimestamped(port, kJoin, list == 0 ? AsSource : AsHost);
}

void CIGMPTestPlan::SendLeaveTimestamped(const UtTestPort &port)
{
    sendTimestamped(port, kLeave, AsHost);
}

std::uint16_t CIGMPTestPlan::SendTimestampedJoinsFromSources()
{
    if (demoMode())
        return 1;
    for (const UtTestPort &port : SourcePorts)
        SendJoinTimestamped(port, 0);
    return 1;
}

std::uint16_t CIGMPTestPlan::SendTimestampedJoinsFromHosts()
{
    if (demoMode())
        return 1;
    for (const UtTestPort &port : HostPorts)
        SendJoinTimestamped(port, 1);
    return 1;
}

std::uint16_t CIGMPTestPlan::SendTimestampedLeavesFromHosts()
{
    if (demoMode())
        return 1;
    for (const UtTestPort &port : HostPorts) {
        if (stopRequested())
            return 0;
        SendLeaveTimestamped(port);
    }
    return 1;
}

std::uint16_t CIGMPTestPlan::SendLeavePerPort()
{
    if (IgmpVersion == 3 && TestType == TestSourceFilter)
        return SendV3ReportNic(kLeave);
    if (demoMode())
        return 1;
    const std::uint32_t pause = IgmpVersion == 3 ? 500 : 50;
    std::uint16_t result = 1;
    for (const UtTestPort &port : SourcePorts)
        result &= sendIgmpByTable(port, kLeave, AsSource, pause, {0, 0, 1, 1});
    for (const UtTestPort &port : HostPorts) {
        if (!excludedHost(port))
            result &= sendIgmpByTable(port, kLeave, AsHost, pause, {0, 0, 1, 1});
    }
    WaitPumpingAbortable(200ms);
    return result;
}

std::uint16_t CIGMPTestPlan::LeaveGroups()
{
    if (SendLeavePerPort() == 0)
        return 0;
    logLeaveAndWait();
    return 1;
}

std::uint16_t CIGMPTestPlan::SendLeaveAggregate(std::uint8_t clients)
{
    if (demoMode())
        return 1;
    // Every port the step's joins made a member leaves: each source, and the clients of every pair.
    std::uint16_t result = 1;
    for (const UtTestPort &source : SourcePorts)
        result &= sendIgmpByTable(source, kLeave, AsSource, 50, {0, 0, 1, 1});
    for (const UtTestPort *host : aggregateClients(*this, clients))
        result &= sendIgmpByTable(*host, kLeave, AsHost, 50, {0, 0, 1, 1});
    WaitPumpingAbortable(200ms);
    logLeaveAndWait();
    return result;
}
