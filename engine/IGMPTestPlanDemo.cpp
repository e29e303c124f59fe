// Counters of demo mode: what the hardware would report had the sources sent at the trial's rate.
#include "engine/IGMPTestPlan.h"

#include "engine/EngineHost.h"
#include "engine/PlanDemoCounters.h"
#include "engine/PlanLineRates.h"
#include "engine/PlanPortLookup.h"
#include "engine/SourceFilterAdmission.h"

#include <algorithm>
#include <cmath>
#include <set>

using namespace TestPlanSupport;

namespace {

std::uint64_t truncated(double value)
{
    return value > 0 ? static_cast<std::uint64_t>(value) : 0;
}

bool hasCounterRecords(int hw)
{
    return hw >= 0 && static_cast<std::size_t>(hw) < g_Session.PortCounters.size() &&
           static_cast<std::size_t>(hw) < g_Session.PortStates.size();
}

} // namespace

void CIGMPTestPlan::SimulateCounters(std::int32_t seconds)
{
    const double elapsed = std::max(seconds, 0);
    const double rate = std::isfinite(CurrentRate) ? std::max(CurrentRate, 0.0) : 0.0;
    // Source Filter: a host receives what its filter for the group on test admits, from every source of
    // its pair together, as a device that honours the filters would deliver.
    const bool filtering = TestType == TestSourceFilter;
    std::vector<UtFilterHost> filters;
    QString group;
    if (filtering) {
        filters = EngineHost::instance().sourceFilterHosts();
        const QStringList groups = EngineHost::instance().sourceFilterGroups();
        group = SourceFilterGroup < groups.size() ? groups[SourceFilterGroup] : QString();
    }
    std::set<int> hostsCounted;
    for (UtTestPort &source : SourcePorts) {
        const int hw = hardwareIndex(source.Id);
        const UtPortRecord *sourceRecord = g_Session.RecordOf(source);
        if (!hasCounterRecords(hw) || !sourceRecord)
            continue;
        const std::uint64_t maxFps =
            fullLoadFps(lineRateOfMedia(g_Session.PortHwInfo[hw].SpeedMedia), FrameSize);
        ChartScale = maxFps;
        const double fps = static_cast<double>(maxFps) * rate / 100;
        source.TxFrames = truncated(TestDuration * fps);
        const double tx = elapsed * fps;
        UtPortCounters &counters = g_Session.PortCounters[hw];
        UtPortState &state = g_Session.PortStates[hw];
        counters.TxPackets = truncated(tx);
        counters.TxBytes = truncated((FrameSize + 4.0) * tx);
        if (TestType == TestMixClass) {
            const bool odd = (truncated(fps) * static_cast<std::uint64_t>(elapsed)) % 2 == 1;
            state.TxCountA = odd ? truncated(0.5 * tx + 1) : truncated(0.5 * tx);
            state.TxCountB = truncated(0.5 * tx);
        } else {
            state.TxCountA = truncated(tx);
            state.TxCountB = 0;
        }
        clearReceiveSide(counters, state);

        const std::uint8_t pair = sourceRecord->SourcePair;
        std::uint32_t k = 1;
        for (const UtTestPort &host : HostPorts) {
            const int hostHw = hardwareIndex(host.Id);
            if (!hasCounterRecords(hostHw) || !IsHostOfPair(host, pair))
                continue;
            UtPortCounters &rx = g_Session.PortCounters[hostHw];
            UtPortState &rxState = g_Session.PortStates[hostHw];
            rx.TxPackets = rx.TxBytes = rx.Undersize = rx.Oversize = rx.NormalSize = 0;
            rxState.TxCountA = rxState.TxCountB = 0;
            rxState.MaxLatencyTicks = FrameSize + static_cast<std::uint32_t>(Random() % 20) + 200;
            std::uint64_t multicast = truncated(tx);
            std::uint64_t unicast = 0;
            if (filtering) {
                if (!SourceFilterAdmits(source.Id, host.Id, group, filters))
                    multicast = 0;
                // The other sources of the pair counted before add to it.
                if (!hostsCounted.insert(hostHw).second)
                    multicast += rx.MulticastRx;
            } else if (TestType == TestMixClass) {
                multicast = truncated(tx) % 2 == 1 ? truncated(0.5 * tx + 1) : truncated(0.5 * tx);
                if (host.Flag == 1)
                    unicast = truncated(tx - static_cast<double>(multicast));
            } else if (TestType == TestAggregate) {
                if (TrialClients < k)
                    multicast = 0;
                else
                    ++k;
            }
            rx.MulticastRx = rxState.RxCountA = multicast;
            rx.UnicastRx = unicast;
            rxState.RxCountB = TestType == TestAggregate ? 0 : unicast;
            rx.RxPackets = multicast + unicast;
            setReceivedSizes(rx, FrameSize, rx.RxPackets);
        }
    }
}
