// A clock for tests: every wait passes instantly in virtual time, so a procedure that waits minutes
// runs in milliseconds. Each wait still processes the pending events once, and actions scheduled with
// callAt/callAfter run (in time order) when a wait passes their time; an abortable wait ends at the
// moment such an action sets the stop flag.
//
// Constructing one installs it for the waits; destroying it puts the previous clock back:
//
//     VirtualWaitClock clock;
//     clock.callAfter(5000ms, [] { g_RunState->RequestStop(); });
//     runTheProcedure();               // its 60 s trial ends at virtual 5 s
//     EXPECT_EQ(clock.now(), 5000ms);
#pragma once

#include "engine/WaitClock.h"

#include <functional>
#include <map>
#include <vector>

class VirtualWaitClock : public WaitClock
{
public:
    VirtualWaitClock();
    ~VirtualWaitClock() override;
    VirtualWaitClock(const VirtualWaitClock &) = delete;
    VirtualWaitClock &operator=(const VirtualWaitClock &) = delete;

    // Virtual time, 0 at construction.
    std::chrono::milliseconds now() const override;
    void pump(std::chrono::milliseconds duration, bool abortable) override;

    // Runs an action when a wait passes the virtual time `when` (at once in the next wait when it
    // has already passed).
    void callAt(std::chrono::milliseconds when, std::function<void()> action);
    void callAfter(std::chrono::milliseconds delay, std::function<void()> action);

    // Every wait asked for, in order.
    const std::vector<std::chrono::milliseconds> &waits() const { return m_waits; }

private:
    WaitClock *m_previous;
    std::chrono::milliseconds m_now{0};
    std::multimap<std::chrono::milliseconds, std::function<void()>> m_actions;
    std::vector<std::chrono::milliseconds> m_waits;
};
