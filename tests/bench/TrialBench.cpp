// Cost of a Mixed Class trial's own work at eight test pairs, everything but the waits it prescribes:
// the preparation steps, one repetition's counter, stream and traffic calls, the counter page, the
// counter table and judgement and the result page, against the recording stand-in server in virtual
// time. A second benchmark runs one whole Mixed Class run (one frame size, 1-second trials) against
// the chassis simulator in real time and reports its wall time beside the sum of the waits it asked for.
#include "../engine/RecordingKvServer.h"
#include "common/TestPlanPorts.h"
#include "engine/EngineHost.h"
#include "engine/EngineUtils.h"
#include "engine/IGMPTestPlan.h"
#include "engine/RunState.h"
#include "engine/Session.h"
#include "engine/VirtualWaitClock.h"
#include "kvserver/KvServer.h"
#include "reports/CounterLog.h"
#include "run/TestReportDlg.h"

#include <QApplication>
#include <QElapsedTimer>
#include <benchmark/benchmark.h>

namespace {

void quietHost()
{
    EngineHost &host = EngineHost::instance();
    host.reset();
    host.demoMode = [] { return false; };
    host.appendLog = [](const QString &) {};
    host.setStatusText = [](const QString &) {};
}

void BM_MixedClassTrialWorkEightPairs(benchmark::State &state)
{
    quietHost();
    CIGMPTestPlan plan;
    addEightPairs(plan, 1);
    plan.IgmpVersion = 2;
    plan.FrameSize = 64;
    plan.TestDuration = 1;
    plan.NumberOfTrials = 1;
    // One repetition per trial: the maximum passes or the minimum fails.
    plan.InitialRate = plan.MinRate = plan.MaxRate = 100;
    plan.Resolution = 1;
    RecordingKvServer server;
    RunState run;
    CTestReportDlg report;
    report.SetPlan(&plan);
    VirtualWaitClock clock;
    for (auto _ : state) {
        server.clear();
        report.CounterPage->ResetCounterLog();
        benchmark::DoNotOptimize(report.PerformMixedClassTest());
    }
    EngineHost::instance().reset();
    g_Session.resetTables();
}
BENCHMARK(BM_MixedClassTrialWorkEightPairs)->Unit(benchmark::kMillisecond);

// The real clock, counting the time the waits asked for.
class CountingClock : public WaitClock
{
public:
    CountingClock() : m_previous(WaitClock::install(this)) {}
    ~CountingClock() override { WaitClock::install(m_previous); }
    void pump(std::chrono::milliseconds duration, bool abortable) override
    {
        asked += duration;
        WaitClock::pump(duration, abortable);
    }
    std::chrono::milliseconds asked{0};

private:
    WaitClock *m_previous;
};

void BM_WholeMixedClassRunAgainstSimulator(benchmark::State &state)
{
    quietHost();
    for (auto _ : state) {
        state.PauseTiming();
        g_Session.resetTables();
        KvServer server;
        std::string error;
        if (!server.listen(0, "127.0.0.1", error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        server.start();
        KvClient::instance().setServerPort(server.port());
        const char address[32] = "127.0.0.1";
        Kv_SYS_ConnectToServer(address);
        // The inventory and the link states arrive as server messages.
        for (int wait = 0;
             wait < 300 && !(g_Session.PortCount > 4 && (g_Session.PortHwInfo[4].SpeedMedia & 0xFF) != 0);
             ++wait)
            WaitPumping(10);
        Kv_LockPortStatus({1, {0x0F0F, 0, 0, 0}});
        CIGMPTestPlan plan;
        plan.TestPairs.push_back(pairOf({.hosts = 2}));
        plan.PairSelected[0] = 1;
        addPairOnePorts(plan, {0, 1, 2});
        plan.IgmpVersion = 2;
        plan.FrameSize = 64;
        plan.TestDuration = 1;
        plan.NumberOfTrials = 1;
        plan.InitialRate = 100;
        plan.MinRate = 10;
        plan.MaxRate = 100;
        plan.Resolution = 1;
        RunState run;
        CTestReportDlg report;
        report.SetPlan(&plan);
        CountingClock clock;
        QElapsedTimer wall;
        state.ResumeTiming();
        wall.start();
        const bool passed = report.PerformMixedClassTest();
        const qint64 wallMs = wall.elapsed();
        state.PauseTiming();
        state.counters["passed"] = passed;
        state.counters["wall_ms"] = double(wallMs);
        state.counters["waits_ms"] = double(clock.asked.count());
        state.counters["own_work_ms"] = double(wallMs - clock.asked.count());
        Kv_SYS_TerminateProcess();
        KvClient::instance().setServerPort(0);
        state.ResumeTiming();
    }
    EngineHost::instance().reset();
    g_Session.resetTables();
}
BENCHMARK(BM_WholeMixedClassRunAgainstSimulator)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
