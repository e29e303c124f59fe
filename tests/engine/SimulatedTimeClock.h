// Virtual waits that move the simulator's time along: a pause of the engine passes on both sides, so
// long trials against the simulated chassis run in no real time.
#pragma once

#include "engine/VirtualWaitClock.h"
#include "kvserver/KvServer.h"

class SimulatedTimeClock : public VirtualWaitClock
{
public:
    void pump(std::chrono::milliseconds duration, bool abortable) override
    {
        if (server)
            server->advanceTime(duration);
        VirtualWaitClock::pump(duration, abortable);
    }
    KvServer *server = nullptr;
};
