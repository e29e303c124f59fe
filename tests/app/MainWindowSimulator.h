// The chassis simulator under the main window, in simulated time: the main view runs in hardware mode
// against it, with pair 1 of its inventory (source on port record 0, hosts on records 1 and 2) in the
// application's plan.
#pragma once

#include "app/MainFrame.h"
#include "common/SimulatedTimeClock.h"
#include "common/SimulatorConnection.h"
#include "common/TestPlanPorts.h"
#include "engine/IGMPTestPlan.h"
#include "kvserver/KvServer.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <memory>

struct MainWindowSimulator
{
    // Starts a simulator of `config`, locks its ports and puts pair 1 in `plan`; the pages choose what
    // runs.
    void start(SimConfig config, CIGMPTestPlan &plan)
    {
        config.timeScale = 0;
        ASSERT_NO_FATAL_FAILURE(startLockedSimulator(server, config, &clock));
        // Only the port records' pairs and streams: the pages make the plan's ports.
        CIGMPTestPlan records;
        addPairOnePorts(records, {0, 1, 2});
        plan.TestPairs.resize(std::max<std::size_t>(plan.TestPairs.size(), 1));
        plan.TestPairs[0] = pairOf({.hosts = 2});
    }

    // Closes the frame while the simulator still answers, then stops it.
    void stop(std::unique_ptr<CMainFrame> &frame)
    {
        clock.server = nullptr;
        frame.reset();
        if (server)
            disconnectFromSimulator(server);
    }

    SimulatedTimeClock clock;
    std::unique_ptr<KvServer> server;
};
