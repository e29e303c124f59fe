// The time source of the pumping waits. The installed clock decides how a wait passes: this one runs a
// nested event loop until the deadline (no CPU is used meanwhile); tests install a VirtualWaitClock,
// in which waits pass instantly.
#pragma once

#include <chrono>

class WaitClock
{
public:
    virtual ~WaitClock() = default;

    // Milliseconds on a monotonic time line.
    virtual std::chrono::milliseconds now() const;
    // Keeps the event loop running for the duration; an abortable wait also ends once the run state's
    // stop flag is set. A zero duration processes the pending events once.
    virtual void pump(std::chrono::milliseconds duration, bool abortable);

    // The clock the waits use: the real one unless another was installed.
    static WaitClock &current();
    // Installs a clock (null: the real one) and returns the one installed before.
    static WaitClock *install(WaitClock *clock);

    // True when a run state exists and its stop flag is set.
    static bool stopRequested();
};
