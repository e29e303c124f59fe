// A whole Mixed Class run against the chassis server program in real time: the CPU time the program
// uses while the run waits on the device, and how far the run's wall time exceeds the waits its
// procedure asks for. The server is its own process (started from beside this program), so only the
// program's side is counted. Command-line arguments are ignored (scripts/bench.sh passes the same ones
// to every benchmark program).
#include "common/TestPlanPorts.h"
#include "engine/EngineHost.h"
#include "engine/IGMPTestPlan.h"
#include "engine/RunState.h"
#include "engine/Session.h"
#include "engine/WaitClock.h"
#include "platform/kvapi/KvAPI.h"
#include "platform/kvapi/KvClient.h"
#include "run/TestReportDlg.h"

#include "BenchRatio.h"
#include "common/ServerProgram.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string>
#include <sys/resource.h>

namespace {

using namespace std::chrono_literals;

// The real clock, adding up every wait asked of it.
class CountingWaitClock : public WaitClock
{
public:
    CountingWaitClock() : m_previous(WaitClock::install(this)) {}
    ~CountingWaitClock() override { WaitClock::install(m_previous); }
    CountingWaitClock(const CountingWaitClock &) = delete;
    CountingWaitClock &operator=(const CountingWaitClock &) = delete;

    void pump(std::chrono::milliseconds duration, bool abortable) override
    {
        m_asked += duration;
        ++m_waits;
        const auto start = std::chrono::steady_clock::now();
        WaitClock::pump(duration, abortable);
        m_waited += std::chrono::steady_clock::now() - start;
    }

    std::chrono::milliseconds asked() const { return m_asked; }
    // The time the waits took.
    std::chrono::nanoseconds waited() const { return m_waited; }
    int waits() const { return m_waits; }

private:
    WaitClock *m_previous;
    std::chrono::milliseconds m_asked{0};
    std::chrono::nanoseconds m_waited{0};
    int m_waits = 0;
};

// CPU time of this process (every thread), user and system, in seconds.
double processCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval &time) { return double(time.tv_sec) + double(time.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Keeps the event loop running until the condition holds; false when it does not within the time.
bool waitUntil(const std::function<bool()> &condition, std::chrono::milliseconds limit)
{
    const QDeadlineTimer deadline(limit);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        WaitClock::current().pump(10ms, false);
    }
    return true;
}

// The server program with a device that forwards small frames at 90 % of line rate at most, so the rate
// search meets both passes and failures.
class RealisticServer
{
public:
    RealisticServer() : m_program({"--config", writeConfiguration(m_folder)}) {}
    uint16_t port() const { return m_program.port(); }

private:
    static std::string writeConfiguration(const QTemporaryDir &folder)
    {
        const QString path = folder.filePath(QStringLiteral("server.ini"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write("[Device]\nProfile=realistic\n") < 0 ||
            !file.flush())
            throw std::runtime_error("cannot write the server configuration");
        return path.toStdString();
    }

    QTemporaryDir m_folder;
    ServerProgram m_program;
};

// Connects the hardware library as the program does, waits for the inventory and the link states of
// pair 1's ports, and locks them.
void connectAndLock(std::uint16_t port, std::uint8_t lastPortIndex)
{
    KvClient::instance().setServerPort(port);
    const char address[32] = "127.0.0.1";
    if (Kv_SYS_ConnectToServer(address) != 1)
        throw std::runtime_error("no connection to KvServerAP");
    const bool ready = waitUntil(
        [lastPortIndex] {
            return g_Session.InventoryReceived == 1 && g_Session.PortCount > lastPortIndex &&
                   (g_Session.PortHwInfo[lastPortIndex].SpeedMedia & 0xFF) != 0;
        },
        5s);
    if (!ready)
        throw std::runtime_error("no inventory or link states from KvServerAP");
    if (Kv_LockPortStatus({1, {0x0F0F, 0, 0, 0}}) == 0)
        throw std::runtime_error("the ports could not be locked");
}

struct RunFigures
{
    double wallSeconds = 0;
    double cpuSeconds = 0;
    double askedSeconds = 0;
    double waitedSeconds = 0;
    int waits = 0;
    int steps = 0;
    bool passed = false;
};

// Pair 1 (source: port record 0) with five hosts, two trials, each a rate search of 3-second steps.
RunFigures runMixedClass()
{
    constexpr std::uint8_t lastHost = 5;
    RealisticServer server;
    connectAndLock(server.port(), lastHost);

    int steps = 0;
    EngineHost &host = EngineHost::instance();
    host.reset();
    host.demoMode = [] { return false; };
    host.appendLog = [&steps](const QString &text) {
        if (text.startsWith(QStringLiteral("* Current rate ")))
            ++steps;
    };
    host.setStatusText = [](const QString &) {};

    RunState run;
    CIGMPTestPlan plan;
    CTestReportDlg report;
    plan.TestPairs.push_back(pairOf({.hosts = 3, .unicast = {1, 2, 4}}));
    plan.PairSelected[0] = 1;
    addPairOnePorts(plan, {0, 1, 2, 3, 4, lastHost});
    plan.IgmpVersion = 2;
    plan.FrameSize = 64;
    plan.TestDuration = 3;
    plan.NumberOfTrials = 2;
    plan.DelayAfterJoin = 1;
    plan.InitialRate = 100;
    plan.MinRate = 50;
    plan.MaxRate = 100;
    plan.Resolution = 10;
    report.SetPlan(&plan);
    run.ReportRow = 12;

    RunFigures figures;
    CountingWaitClock clock;
    QElapsedTimer wall;
    const double cpuBefore = processCpuSeconds();
    wall.start();
    figures.passed = report.PerformMixedClassTest() && report.FinishTest();
    figures.wallSeconds = double(wall.nsecsElapsed()) / 1e9;
    figures.cpuSeconds = processCpuSeconds() - cpuBefore;
    figures.askedSeconds = double(clock.asked().count()) / 1e3;
    figures.waitedSeconds = double(clock.waited().count()) / 1e9;
    figures.waits = clock.waits();
    figures.steps = steps;

    Kv_SYS_TerminateProcess();
    KvClient::instance().setServerPort(0);
    host.reset();
    return figures;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = argc > 0 ? 1 : 0; // the benchmark flags are not Qt's
    QApplication application(qtArgc, argv);
    try {
        const RunFigures run = runMixedClass();
        if (!run.passed)
            throw std::runtime_error("the Mixed Class run failed");
        std::printf("Mixed Class run: %d rate steps; %d waits asked for %.3f s and took %.3f s; wall %.3f s "
                    "(%.3f s outside the waits); CPU %.3f s\n",
                    run.steps, run.waits, run.askedSeconds, run.waitedSeconds, run.wallSeconds,
                    run.wallSeconds - run.waitedSeconds, run.cpuSeconds);
        BenchRatio::print("CPU time while a Mixed Class run waits (process CPU / wall)",
                          "none: the physical floor", run.cpuSeconds / run.wallSeconds, 0.01);
        BenchRatio::print("Mixed Class run wall time / the waits its procedure asks for", "none: the floor",
                          run.wallSeconds / run.askedSeconds, 1.005);
    } catch (const std::exception &error) {
        std::fprintf(stderr, "bench_MixedClassRun: %s\n", error.what());
        return 1;
    }
    return 0;
}
