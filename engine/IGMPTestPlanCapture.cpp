// Receive capture of the join/leave delay test and the hardware time stamps.
#include "engine/HardwareInfo.h"
#include "engine/IGMPTestPlan.h"

#include "engine/PlanHostCalls.h"
#include "engine/PlanPortLookup.h"

#include <algorithm>
#include <cstring>

using namespace std::chrono_literals;

using namespace TestPlanSupport;

namespace {

constexpr std::uint8_t kLatestCaptureModule = 0x37;

bool capturesWithNewFlags(std::uint8_t moduleType)
{
    static constexpr std::uint8_t Types[] = {0x37, 0x54, 0x57, 0x58, 0x59, 0x64, 0x65, 0x66, 0x93, 0x94};
    return std::find(std::begin(Types), std::end(Types), moduleType) != std::end(Types);
}

UtDelayStamp *delayStampOf(const UtTestPort &port)
{
    const int hw = hardwareIndex(port.Id);
    if (hw < 0 || static_cast<std::size_t>(hw) >= g_Session.DelayStamps.size())
        return nullptr;
    return &g_Session.DelayStamps[hw];
}

} // namespace

std::uint32_t CIGMPTestPlan::pairGroupMacFilter(const UtTestPort &port, PortSide side, bool &ok) const
{
    ok = false;
    const UtPortRecord *record = g_Session.RecordOf(port);
    if (!record)
        return 0;
    const std::uint8_t pair = side == AsHost ? record->HostPair : record->SourcePair;
    std::uint8_t group[4];
    if (!NextGroupAddress(group, pair, 0, 0))
        return 0;
    ok = true;
    return 0x5Eu << 24 | std::uint32_t(group[1] & 0x7F) << 16 | std::uint32_t(group[2]) << 8 | group[3];
}

std::uint16_t CIGMPTestPlan::StartRxCapture(std::uint8_t phase)
{
    std::uint16_t result = 1;
    for (const auto &[list, side] : {std::pair{&HostPorts, AsHost}, std::pair{&SourcePorts, AsSource}}) {
        for (const UtTestPort &port : *list) {
            // The capture of this phase answers anew: an earlier phase's stamp must not stand in for it.
            if (UtDelayStamp *stamp = delayStampOf(port)) {
                stamp->RxStamp = 0;
                stamp->CaptureWord = 0;
            }
            if (!hardwareSkipped()) {
                bool ok = false;
                UtRxCaptureBlock block;
                std::memset(&block, 0xFF, sizeof block);
                block.Port = {port.Id.CID, port.Id.BID, port.Id.PID};
                block.MacFilter = pairGroupMacFilter(port, side, ok);
                block.Word132 = 0x80000000;
                block.Flags = (phase == 1 ? 0x80000000u : 0) |
                              (capturesWithNewFlags(port.TYPE) ? 0x00100000u : 0x04000000u);
                block.Word160 = 0;
                block.Word162 = 0;
                if (!ok) {
                    log(QStringLiteral("* Port %1 has no test pair group; no capture.\n")
                            .arg(portText(port.Id)));
                    result = 0;
                } else if (Kv_TQModule_StartRxCapture(port.Id.CID, port.Id.BID, port.Id.PID, block) == 0) {
                    result = 0;
                }
            }
            WaitPumpingAbortable(100ms);
        }
    }
    return result;
}

std::uint16_t CIGMPTestPlan::StopRxCapture(std::uint8_t phase)
{
    if (hardwareSkipped())
        return 1;
    std::uint16_t result = 1;
    for (const auto *list : {&HostPorts, &SourcePorts}) {
        for (const UtTestPort &port : *list) {
            const auto stop = port.TYPE == kLatestCaptureModule && phase != 0
                                  ? Kv_TQModule_StopRxCaptureLatest
                                  : Kv_TQModule_StopRxCapture;
            if (stop(port.Id.CID, port.Id.BID, port.Id.PID) == 0)
                result = 0;
        }
    }
    return result;
}

std::uint16_t CIGMPTestPlan::StopRxCaptureNext()
{
    if (hardwareSkipped())
        return 1;
    std::uint16_t result = 1;
    for (const auto *list : {&HostPorts, &SourcePorts}) {
        for (const UtTestPort &port : *list) {
            if (Kv_TQModule_StopRxCaptureNext(port.Id.CID, port.Id.BID, port.Id.PID, 1) == 0)
                result = 0;
        }
    }
    return result;
}

std::uint16_t CIGMPTestPlan::ClearTimestamps()
{
    const std::uint16_t chassis = g_Session.PortTable[0].Id.CID;
    std::uint32_t mask = 0;
    const auto collectBit = [&mask](const UtTestPort &port) {
        const int bit = port.Id.BID * 4 + port.Id.PID - 9;
        if (bit >= 0 && bit < 32)
            mask |= 1u << bit;
        return PortVisit::Next;
    };
    if (walkTestPorts({.stopBeforeEachList = false, .demoEndsWalk = false}, collectBit) == 0)
        return 0;
    // The hardware clocks restart: stamps taken before mean nothing now.
    for (const auto *list : {&SourcePorts, &HostPorts}) {
        for (const UtTestPort &port : *list) {
            if (UtDelayStamp *stamp = delayStampOf(port))
                stamp->TxStamp = stamp->RxStamp = 0;
        }
    }
    if (hardwareSkipped())
        return 1;
    switch (ControllerModel(g_Session.Controller.Model)) {
    case ControllerModel::C2:
        return Kv_QMC2_GlobalCmd_ClearTS(chassis, mask);
    case ControllerModel::C4:
        return Kv_QMC4_GlobalCmd_ClearTS(chassis, mask, 0);
    case ControllerModel::C6:
        return Kv_QMC6_GlobalCmd_ClearTS(chassis, mask, 0);
    default:
        return 0;
    }
}
