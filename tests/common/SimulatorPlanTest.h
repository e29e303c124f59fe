// The engine against the chassis simulator: the engine's hooks with a log, a simulator whose time the
// engine's waits move (or real time), and pair 1 of the simulator's inventory in a plan.
#pragma once

#include "common/EnglishTexts.h"
#include "common/SimulatedTimeClock.h"
#include "common/SimulatorConnection.h"
#include "common/TestPlanPorts.h"
#include "engine/EngineHost.h"
#include "engine/IGMPTestPlan.h"
#include "engine/RunState.h"
#include "engine/Session.h"
#include "kvserver/KvServer.h"

#include <QRegularExpression>
#include <QStringList>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class SimulatorPlanTest : public testing::Test
{
protected:
    // Clean session tables; the engine in hardware mode with its log in `log`, its status texts dropped,
    // English texts, and the Source Filter settings from `filterGroups` and `filterHosts`.
    void installEngineHooks()
    {
        g_Session.resetTables();
        EngineHost &host = EngineHost::instance();
        host.reset();
        host.demoMode = [] { return false; };
        host.appendLog = [this](const QString &text) { log << text; };
        host.setStatusText = [](const QString &) {};
        host.filterGroupTexts = [this] { return filterGroups; };
        host.filterAddressSettings = [this] { return filterHosts; };
        english.install();
        log.clear();
    }

    // A simulator of `config` in simulated time, which the engine's waits move; its ports locked.
    void startSimulator(SimConfig config)
    {
        config.timeScale = 0;
        if (!clock)
            clock.emplace();
        ASSERT_NO_FATAL_FAILURE(startLockedSimulator(server, config, &*clock));
    }

    // A simulator of `config` in real time, and the engine's waits in real time; its ports locked.
    void startSimulatorInRealTime(const SimConfig &config)
    {
        ASSERT_NO_FATAL_FAILURE(startLockedSimulator(server, config, nullptr));
    }

    // Both steps above, for the tests that need nothing between them.
    void startEngineOnSimulator(SimConfig config = {})
    {
        installEngineHooks();
        ASSERT_NO_FATAL_FAILURE(startSimulator(std::move(config)));
    }

    void stopSimulator()
    {
        if (clock)
            clock->server = nullptr;
        if (server)
            disconnectFromSimulator(server);
    }

    void TearDown() override { stopSimulator(); }

    // The plan with pair 1 alone: source (2,1), the hosts of the given port records, IGMPv2 and one
    // 1-second trial of 64-byte frames with no delay after the joins. With `UnicastPort::Record3` port
    // record 3, (2,4), is also the pair's unicast port; without it every host takes multicast only.
    enum class UnicastPort
    {
        None,
        Record3
    };
    void planPairOne(const std::vector<std::uint8_t> &hosts, UnicastPort unicast = UnicastPort::None)
    {
        plan.SourcePorts.clear();
        plan.HostPorts.clear();
        plan.TestPairs.clear();
        PairFields pair{.hosts = std::uint16_t(hosts.size())};
        if (unicast == UnicastPort::Record3)
            pair.unicast = {1, 2, 4};
        plan.TestPairs.push_back(pairOf(pair));
        plan.PairSelected[0] = 1;
        std::vector<std::uint8_t> ports = {0};
        ports.insert(ports.end(), hosts.begin(), hosts.end());
        addPairOnePorts(plan, ports);
        if (unicast == UnicastPort::None) {
            for (UtTestPort &port : plan.HostPorts)
                port.Flag = 0;
        }
        plan.IgmpVersion = 2;
        plan.V3ReportSize = 540;
        plan.FrameSize = 64;
        plan.TestDuration = 1;
        plan.NumberOfTrials = 1;
        plan.DelayAfterJoin = 0;
    }

    // The rates the log reports as passed, in order.
    QList<double> passedRates() const
    {
        QList<double> rates;
        static const QRegularExpression pass(QStringLiteral("^\\* Current rate ([0-9.]+), Pass!"));
        for (const QString &line : log) {
            const auto match = pass.match(line);
            if (match.hasMatch())
                rates << match.captured(1).toDouble();
        }
        return rates;
    }

    std::string logText() const { return log.join(QString()).toStdString(); }

    RunState run;
    // Made by startSimulator: a run in real time has none.
    std::optional<SimulatedTimeClock> clock;
    CIGMPTestPlan plan;
    QStringList log;
    QStringList filterGroups;
    std::vector<UtFilterHost> filterHosts;
    EnglishTexts english;
    std::unique_ptr<KvServer> server;
};
