// What the test procedures share: the source of a pair, the trial and dash lines of the
// log, and the second counts of their waits.
#pragma once

#include "engine/IGMPTestPlan.h"
#include "engine/Session.h"

#include <QString>
#include <algorithm>
#include <cstdint>

namespace ProcedureSupport {

// The first source port of a test pair (1-based), null when the pair has none.
inline const UtTestPort *sourceOfPair(const CIGMPTestPlan &plan, std::uint8_t pair)
{
    for (const UtTestPort &source : plan.SourcePorts) {
        const UtPortRecord *record = g_Session.RecordOf(source);
        if (record && record->SourcePair == pair)
            return &source;
    }
    return nullptr;
}

inline QString trialLine(std::uint32_t trial, std::uint16_t frameSize)
{
    return QString::asprintf(
        "* ===============        Test Trail - %d, Frame Size %d bytes        ===============\n", int(trial),
        int(frameSize));
}

// The log line of the leaves that follow a Stop: a stopped test still leaves the groups it joined.
inline QString stopLeaveLine(std::uint32_t groups)
{
    return QString::asprintf("* Test stopped: leaving the %u groups it joined...\n", groups);
}

inline QString dashLine()
{
    return QStringLiteral("* ") + QString(148, QLatin1Char('-')) + QStringLiteral("\n");
}

// A wait of whole seconds in milliseconds, held to what one wait takes.
inline std::uint32_t millisecondsOf(std::uint32_t seconds)
{
    return std::uint32_t(std::min<std::uint64_t>(std::uint64_t(seconds) * 1000, UINT32_MAX));
}

// The seconds of a Join/Leave measurement after the delay: none when the delay is not below the duration.
inline std::uint32_t secondsAfterStart(const CIGMPTestPlan &plan)
{
    return plan.TestDuration > plan.DelayAfterStart ? plan.TestDuration - plan.DelayAfterStart : 0;
}

} // namespace ProcedureSupport
