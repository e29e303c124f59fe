// Virtual waits that move the simulator's time along: a pause of the engine passes on both sides, so
// long trials against the simulated chassis run in no real time. A call to the server after each move
// lets every message it sent in that time (counters, time stamps) arrive before the wait ends.
#pragma once

#include "engine/VirtualWaitClock.h"
#include "kvserver/KvServer.h"
#include "platform/kvapi/KvAPI.h"

class SimulatedTimeClock : public VirtualWaitClock
{
public:
    void pump(std::chrono::milliseconds duration, bool abortable) override
    {
        if (server) {
            server->advanceTime(duration);
            char version[11];
            Kv_SYS_GetVerNum(version);
        }
        VirtualWaitClock::pump(duration, abortable);
    }
    KvServer *server = nullptr;
};
