#include "engine/TrialJudge.h"

#include "engine/EngineHost.h"
#include "engine/IGMPTestPlan.h"
#include "engine/Session.h"

namespace {

const char *const kMixedClassHeader =
    "* Tx Port             RxPort             TxPkts     Expect RxPkts         "
    "RxPkts(Multicast)          RxPkts(Unicast)  \n";
const char *const kGroupHeader = "* Tx Port             RxPort             TxPkts     Expect RxPkts         "
                                 "RxPkts(Multicast)        \n";

// Index of a tested port in the session's per-port arrays, -1 when it has none.
int sessionIndexOf(const UtTestPort &port)
{
    const int index = LookupPortIndex(port.Id.CID, g_Session.PortIndex, port.Id.BID, port.Id.PID);
    return index >= 0 && std::size_t(index) < g_Session.PortStates.size() ? index : -1;
}

std::uint8_t recordPair(const UtTestPort &port, bool source)
{
    const UtPortRecord *record = g_Session.RecordOf(port);
    if (!record)
        return 0;
    return source ? record->SourcePair : record->HostPair;
}

QString portId(const char *format, const UtPortId &id)
{
    return QString::asprintf(format, int(id.CID), int(id.BID), int(id.PID));
}

} // namespace

const char *const TrialJudge::kSeparator =
    "* ----------------------------------------------------------------------------------------------------"
    "------------------------------------------------\n";

void TrialJudge::CollectHostCounters(CIGMPTestPlan &plan, std::uint16_t)
{
    for (UtTestPort &host : plan.HostPorts) {
        const int index = sessionIndexOf(host);
        if (index < 0)
            continue;
        const UtPortState &state = g_Session.PortStates[std::size_t(index)];
        const UtPortCounters &counters = g_Session.PortCounters[std::size_t(index)];
        host.RxMulticast = state.RxCountA;
        host.RxUnicast = state.RxCountB;
        host.RxTotal = state.RxCountA + state.RxCountB;
        host.RxValid = counters.RxPackets - counters.Oversize - counters.Undersize;
    }
}

TrialJudge::Verdict TrialJudge::PrintAndJudge(Variant variant, const CIGMPTestPlan &plan,
                                              const std::function<bool()> &stopped)
{
    const EngineHost &host = EngineHost::instance();
    const bool mixed = variant == Variant::MixedClass;
    host.log(kSeparator);
    host.log(mixed ? kMixedClassHeader : kGroupHeader);
    host.log(kSeparator);
    bool pass = true;
    for (std::uint8_t pair = 1; pair <= kMaxTestPairs; ++pair) {
        if (plan.PairSelected[pair - 1] != 1)
            continue;
        if (stopped())
            return Verdict::Stopped;
        // A pair that sent nothing (no source, or a rate too low to give a frame) proves no throughput:
        // its hosts are listed against 0 and the run fails.
        UtPortId sourceId{0, 0, 0};
        std::uint64_t tx = 0;
        for (const UtTestPort &source : plan.SourcePorts) {
            if (recordPair(source, true) == pair) {
                sourceId = source.Id;
                tx = source.TxFrames;
                break;
            }
        }
        if (tx == 0)
            pass = false;
        const std::uint64_t expected = mixed ? (tx + 1) / 2 : tx;
        const UtTestPair *testPair = pair <= plan.TestPairs.size() ? &plan.TestPairs[pair - 1] : nullptr;
        std::uint32_t examined = 0;
        for (const UtTestPort &port : plan.HostPorts) {
            if (recordPair(port, false) != pair)
                continue;
            if (stopped())
                return Verdict::Stopped;
            const std::uint64_t multicast = port.RxMulticast;
            const std::uint64_t unicast = port.RxUnicast;
            QString row = portId("*   (%3d,%2d,%d)", sourceId) + portId("     (%3d,%2d,%d)", port.Id) +
                          QString::asprintf(" %14llu", static_cast<unsigned long long>(tx));
            const QString hostId = portId("* (%3d,%2d,%d)", port.Id);
            if (mixed) {
                if (multicast != expected) {
                    row += hostId + QString::asprintf(" failed due to multicast packet loss %lld\n",
                                                      static_cast<long long>(expected - multicast));
                    pass = false;
                }
                const bool unicastPort = testPair && testPair->UniCid == port.Id.CID &&
                                         testPair->UniBid == port.Id.BID && testPair->UniPid == port.Id.PID;
                if (unicastPort && unicast + multicast != tx) {
                    row += hostId + QString::asprintf(" failed due to  unicast packet loss %lld\n",
                                                      static_cast<long long>(tx - unicast - expected));
                    pass = false;
                }
                row += QString::asprintf("%14llu          %14llu          %25llu \n",
                                         static_cast<unsigned long long>(port.Flag ? tx : expected),
                                         static_cast<unsigned long long>(multicast),
                                         static_cast<unsigned long long>(unicast));
            } else if (variant == Variant::Scale || examined < plan.AggregateTrial) {
                if (multicast != tx) {
                    row += hostId + QString::asprintf(" failed, when check multicast ==> %llu \n",
                                                      static_cast<unsigned long long>(multicast));
                    pass = false;
                }
                row += QString::asprintf("%14llu          %14llu   \n", static_cast<unsigned long long>(tx),
                                         static_cast<unsigned long long>(multicast));
                ++examined;
            } else {
                if (multicast != 0) {
                    row += hostId +
                           QString::asprintf(" failed, received multicast pkt without join group ==> %llu.\n",
                                             static_cast<unsigned long long>(multicast));
                    pass = false;
                }
                row += QString::asprintf("%14llu                %14llu   \n", 0ULL,
                                         static_cast<unsigned long long>(multicast));
            }
            host.log(row);
        }
        if (mixed)
            host.log(kSeparator);
        else if (variant == Variant::Aggregate)
            host.log("*\n");
        if (!mixed && !pass)
            break;
    }
    if (!mixed)
        host.log(kSeparator);
    return pass ? Verdict::Pass : Verdict::Fail;
}
