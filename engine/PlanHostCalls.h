// What the test plan and the procedures ask of the program around them: demo mode, the stop
// request, the log and the status line.
#pragma once

#include "engine/EngineHost.h"
#include "engine/Session.h"
#include "engine/WaitClock.h"

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

} // namespace TestPlanSupport
