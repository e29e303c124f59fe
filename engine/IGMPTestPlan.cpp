// The test plan's parameters and port lists, reservation, link checks and the chassis-wide commands.
#include "engine/IGMPTestPlan.h"
#include "engine/HardwareInfo.h"

#include "engine/PlanHostCalls.h"
#include "engine/PlanPortLookup.h"
#include "engine/PortSet.h"

#include <algorithm>
#include <cstdlib>

using namespace TestPlanSupport;

CIGMPTestPlan::CIGMPTestPlan() : Random([] { return std::rand(); })
{
    for (auto &list : PortLists)
        list.reserve(10);
}

CIGMPTestPlan::~CIGMPTestPlan() = default;

void CIGMPTestPlan::FillPortLists()
{
    ClearPortLists();
    const auto listed = [this](const UtPortId &id) {
        for (std::size_t list = 1; list < PortLists.size(); ++list) {
            for (const KV_PROJECT_PORT_T &entry : PortLists[list]) {
                if (entry.Id == id)
                    return true;
            }
        }
        return false;
    };
    for (const auto &[ports, list] : {std::pair{&HostPorts, 1}, std::pair{&SourcePorts, 2}}) {
        for (const UtTestPort &port : *ports) {
            if (!listed(port.Id))
                PortLists[std::size_t(list)].push_back({port.Id, {}});
        }
    }
}

std::uint16_t CIGMPTestPlan::ClearPortLists()
{
    for (auto &list : PortLists)
        list.clear();
    return 1;
}

std::uint16_t CIGMPTestPlan::ReservePorts()
{
    Text = QStringLiteral("Reserve Port:");
    PortSetBuilder sets;
    for (const auto &list : PortLists) {
        for (const KV_PROJECT_PORT_T &entry : list) {
            Text += portText(entry.Id) + u' ';
            sets.Enter(entry.Id);
        }
    }
    if (hardwareSkipped())
        return 1;
    std::uint16_t result = 1;
    for (const auto &[chassis, entry] : sets.Sets()) {
        if (Kv_LockPortStatus(entry.Set) == 0)
            result = 0;
    }
    if (result != 0) {
        EngineHost::instance().reservationLog(Text);
        EngineHost::instance().reservationLog(QStringLiteral("\tReserve Port ... Pass"));
    } else {
        EngineHost::instance().reservationLog(QStringLiteral("\tReserve Port ... Fail"));
    }
    return result;
}

std::uint16_t CIGMPTestPlan::ReleasePorts()
{
    PortSetBuilder sets;
    for (const auto &list : PortLists) {
        for (const KV_PROJECT_PORT_T &entry : list)
            sets.Enter(entry.Id);
    }
    if (hardwareSkipped())
        return 1;
    std::uint16_t result = 1;
    for (const auto &[chassis, entry] : sets.Sets()) {
        if (Kv_UnLockPortStatus(entry.Set) == 0)
            result = 0;
    }
    return result;
}

std::uint16_t CIGMPTestPlan::walkTestPorts(const PortWalkChecks &checks,
                                           const std::function<PortVisit(const UtTestPort &)> &visit)
{
    std::uint16_t result = 1;
    for (const auto *list : {&SourcePorts, &HostPorts}) {
        if (checks.stopBeforeEachList && stopRequested())
            return 0;
        for (const UtTestPort &port : *list) {
            if (stopRequested())
                return 0;
            if (checks.demoEndsWalk && demoMode())
                return 1;
            switch (visit(port)) {
            case PortVisit::Next:
                break;
            case PortVisit::Failed:
                result = 0;
                break;
            case PortVisit::Abort:
                return 0;
            }
        }
        if (checks.pauseAfterListMs)
            WaitPumpingAbortable(checks.pauseAfterListMs);
    }
    return result;
}

std::uint16_t CIGMPTestPlan::CheckLinkStates(std::uint8_t logFlag)
{
    return walkTestPorts({.demoEndsWalk = false}, [&](const UtTestPort &port) {
        if (demoMode()) {
            const int hw = hardwareIndex(port.Id);
            if (hw >= 0)
                g_Session.PortHwInfo[hw].SpeedMedia = port.SpeedMedia;
            const auto record =
                static_cast<std::size_t>(FindPortRecordIndex(port.Id.CID, port.Id.BID, port.Id.PID));
            if (record < g_Session.Ports.size())
                g_Session.Ports[record].SpeedMedia = port.SpeedMedia;
            return PortVisit::Next;
        }
        if (Kv_TQModule_LinkStatus(port.Id.CID, port.Id.BID, port.Id.PID) != 0)
            return PortVisit::Next;
        if (logFlag)
            log(QString::asprintf("(%d, %d, %d) Check link States failed!\n", port.Id.CID, port.Id.BID,
                                  port.Id.PID));
        return PortVisit::Failed;
    });
}

std::uint16_t CIGMPTestPlan::LogLinkStates()
{
    return walkTestPorts({}, [](const UtTestPort &port) {
        const int hw = hardwareIndex(port.Id);
        const std::uint8_t code = hw < 0 ? kLinkDownMediaCode : g_Session.PortHwInfo[hw].SpeedMedia & 0xFF;
        return code == kLinkDownMediaCode ? PortVisit::Failed : PortVisit::Next;
    });
}

const UtPortRecord *CIGMPTestPlan::recordOf(const UtTestPort &port) const
{
    if (const UtPortRecord *record = g_Session.RecordOf(port))
        return record;
    log(QString::asprintf("* Port %s has no port record (index %d), skipped.\n",
                          qPrintable(portText(port.Id)), port.PortIndex));
    return nullptr;
}

std::uint64_t CIGMPTestPlan::PortMask(const std::vector<UtTestPort> &ports)
{
    std::uint64_t mask = 0;
    for (const UtTestPort &port : ports) {
        const int bit = port.Id.BID * 4 + port.Id.PID - 9;
        if (port.Id.BID >= 2 && port.Id.PID >= 1 && port.Id.PID <= 4 && bit < 64)
            mask |= std::uint64_t(1) << bit;
    }
    return mask;
}

std::uint64_t CIGMPTestPlan::AllTestPortsMask() const
{
    return PortMask(SourcePorts) | PortMask(HostPorts);
}

namespace {

enum class GlobalCommand
{
    Start,
    Stop,
};

void globalCommand(GlobalCommand command, std::uint64_t mask)
{
    if (hardwareSkipped())
        return;
    const std::uint16_t chassis = g_Session.Controller.Id.CID;
    const auto low = static_cast<std::uint32_t>(mask);
    const auto high = static_cast<std::uint32_t>(mask >> 32);
    const bool start = command == GlobalCommand::Start;
    switch (ControllerModel(g_Session.Controller.Model)) {
    case ControllerModel::C2:
        start ? Kv_QMC2_GlobalCmd_StartTx(chassis, low) : Kv_QMC2_GlobalCmd_StopTx(chassis, low);
        break;
    case ControllerModel::C4:
        start ? Kv_QMC4_GlobalCmd_StartTx(chassis, low, high) : Kv_QMC4_GlobalCmd_StopTx(chassis, low, high);
        break;
    case ControllerModel::C6:
        start ? Kv_QMC6_GlobalCmd_StartTx(chassis, low, 0) : Kv_QMC6_GlobalCmd_StopTx(chassis, low, 0);
        break;
    default:
        break;
    }
}

} // namespace

void CIGMPTestPlan::GlobalStartTx(std::uint64_t mask)
{
    globalCommand(GlobalCommand::Start, mask);
}

void CIGMPTestPlan::GlobalStopTx(std::uint64_t mask)
{
    globalCommand(GlobalCommand::Stop, mask);
}

std::uint16_t SetupPortGroup(CIGMPTestPlan &plan, std::uint8_t flag)
{
    KvGroupBlock group{};
    group.Ports.Chassis = g_Session.Controller.Id.CID;
    for (const auto *list : {&plan.SourcePorts, &plan.HostPorts}) {
        for (const UtTestPort &port : *list) {
            if (stopRequested())
                return 0;
            EnterPortSet(group.Ports, port.Id);
        }
    }
    if (hardwareSkipped())
        return 1;
    group.Flag = flag;
    return Kv_SetupGroup(group);
}

std::uint8_t CIGMPTestPlan::PairOfUnicastPort(const UtPortId &id) const
{
    const std::size_t count = std::min(TestPairs.size(), kMaxTestPairs);
    for (std::size_t index = 0; index < count; ++index) {
        const UtTestPair &pair = TestPairs[index];
        if (PairSelected[index] == 1 && pair.UniCid == id.CID && pair.UniBid == id.BID &&
            pair.UniPid == id.PID)
            return std::uint8_t(index + 1);
    }
    return 0;
}
