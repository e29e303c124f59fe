// Counter control: stopping, clearing and arming the port and stream counters of the test ports.
#include "engine/IGMPTestPlan.h"

#include "engine/PlanHostCalls.h"
#include "engine/PlanPortLookup.h"

using namespace TestPlanSupport;

std::uint16_t CIGMPTestPlan::perPortCall(std::uint16_t (*call)(std::uint16_t, std::uint8_t, std::uint8_t),
                                         std::uint32_t pauseMs, bool pauseAfterList)
{
    return walkTestPorts({.pauseAfterListMs = pauseAfterList ? pauseMs : 0}, [&](const UtTestPort &port) {
        const bool failed = call(port.Id.CID, port.Id.BID, port.Id.PID) == 0;
        if (pauseMs && !pauseAfterList)
            WaitPumpingAbortable(pauseMs);
        return failed ? PortVisit::Failed : PortVisit::Next;
    });
}

std::uint16_t CIGMPTestPlan::ClearPortCounters()
{
    return perPortCall(Kv_TQModule_ClearCounterStatistics, 0, false);
}

std::uint16_t CIGMPTestPlan::ClearAllStreamCounters()
{
    // A new count starts: the largest latency seen so far belongs to the one before.
    for (const auto *list : {&SourcePorts, &HostPorts}) {
        for (const UtTestPort &port : *list) {
            const int hw = hardwareIndex(port.Id);
            if (hw >= 0 && static_cast<std::size_t>(hw) < g_Session.PortStates.size())
                g_Session.PortStates[hw].MaxLatencyTicks = 0;
        }
    }
    return perPortCall(Kv_TQModule_ClearAllStreamCounter, 10, true);
}

std::uint16_t CIGMPTestPlan::StopStreamCounters()
{
    return perPortCall(Kv_TQModule_StopStreamCounter, 10, false);
}

std::uint16_t CIGMPTestPlan::StopCounterStatistics()
{
    return perPortCall(Kv_TQModule_StopCounterStatistics, 10, false);
}

std::uint16_t CIGMPTestPlan::ClearAllCounters()
{
    log(QStringLiteral("* Clear counter for all ports ..."));
    if (stopRequested())
        return 0;
    const struct
    {
        std::uint16_t (CIGMPTestPlan::*operation)();
        const char *failureKey;
    } steps[] = {
        {&CIGMPTestPlan::StopCounterStatistics, "Stat_Stop_Trigger_Fail"},
        {&CIGMPTestPlan::StopStreamCounters, "Stat_Stop_Stream_Fail"},
        {&CIGMPTestPlan::ClearPortCounters, "Stat_Clear_Counter_Fail"},
        {&CIGMPTestPlan::ClearAllStreamCounters, "Stat_Clear_Stream_Fail"},
    };
    for (const auto &step : steps) {
        if ((this->*step.operation)() == 0) {
            failureStatus(step.failureKey);
            log(QStringLiteral("Failed! \n"));
            return 0;
        }
    }
    log(QStringLiteral("Done! \n"));
    return 1;
}

std::uint16_t SetStreamCounters(CIGMPTestPlan &plan, std::uint32_t selector)
{
    if (demoMode())
        return 1;
    KvStreamCounterTable table{};
    table.BaseStream = 100;
    table.Byte648 = 14;
    if (plan.TestType == TestSourceFilter) {
        table.EnableBits[0] = 3;
    } else {
        // Counter items 2i and 2i + 1 belong to pair i.
        for (std::size_t i = 0; i < plan.TestPairs.size() && i < kMaxTestPairs; ++i) {
            if (stopRequested())
                return 0;
            if (plan.TestPairs[i].Status == 1)
                table.EnableBits[i / 4] |= static_cast<std::uint8_t>(3u << (2 * (i % 4)));
        }
    }
    std::copy(std::begin(table.EnableBits), std::end(table.EnableBits), table.EnableBitsCopy);
    std::uint16_t result = Kv_TQSetStreamCounter(selector, table);
    if (result == 0)
        log(QStringLiteral("Failed!\n"));
    log(QStringLiteral("Done!\n"));
    return result;
}

std::uint16_t CIGMPTestPlan::StartGroupStreamCounters(std::uint32_t selector)
{
    if (demoMode())
        return 1;
    log(QStringLiteral("* Start Group Stream Counter Report ..."));
    const std::uint16_t result = Kv_TQStartStreamCounter(selector, 1);
    if (result == 0)
        log(QStringLiteral("Failed!\n"));
    log(QStringLiteral("Done!\n"));
    return result;
}
