// The program's resident size over a long series of large Group Capacity steps: 8000 groups to six hosts
// each, against the simulator in this process in simulated time, with the test log in its window as the
// program keeps it. The steps themselves keep nothing; the log grows by its text until it reaches its
// limit (about nine such steps), and from then on the size stays level.
// Command-line arguments are ignored (scripts/bench.sh passes the same ones to every benchmark program).
#include "app/LogDlg.h"
#include "common/SimulatedTimeClock.h"
#include "common/TestPlanPorts.h"
#include "engine/EngineHost.h"
#include "engine/IGMPTestPlan.h"
#include "engine/RunState.h"
#include "engine/Session.h"
#include "kvserver/KvServer.h"
#include "platform/kvapi/KvAPI.h"
#include "platform/kvapi/KvClient.h"
#include "run/TestReportDlg.h"
#include "testpages/DlgCapacity.h"

#include "BenchRatio.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QLabel>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace std::chrono_literals;

constexpr int Steps = 16;
constexpr std::uint32_t Groups = 8000;
constexpr std::uint8_t LastHost = 6; // port records 1 to 6

double residentMegabytes()
{
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

void connectAndLock(const KvServer &server)
{
    KvClient::instance().setServerPort(server.port());
    const char address[32] = "127.0.0.1";
    if (Kv_SYS_ConnectToServer(address) != 1)
        throw std::runtime_error("no connection to the simulator");
    const QDeadlineTimer deadline(5s);
    while (!(g_Session.InventoryReceived == 1 && g_Session.PortCount > LastHost &&
             (g_Session.PortHwInfo[LastHost].SpeedMedia & 0xFF) != 0)) {
        if (deadline.hasExpired())
            throw std::runtime_error("no inventory or link states from the simulator");
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    if (Kv_LockPortStatus({1, {0x0F0F, 0, 0, 0}}) == 0)
        throw std::runtime_error("the ports could not be locked");
}

// The resident size after each step.
std::vector<double> runSteps()
{
    SimConfig config;
    config.timeScale = 0;
    config.device.groupTableSize = Groups;
    KvServer server(config);
    std::string error;
    if (!server.listen(0, "127.0.0.1", error))
        throw std::runtime_error(error);
    server.start();
    SimulatedTimeClock clock;
    clock.server = &server;
    connectAndLock(server);

    CLogDlg logWindow(QString{});
    EngineHost &host = EngineHost::instance();
    host.reset();
    host.demoMode = [] { return false; };
    host.appendLog = [&logWindow](const QString &text) { logWindow.AppendLog(text); };
    host.setStatusText = [](const QString &) {};

    RunState run;
    CIGMPTestPlan plan;
    CTestReportDlg report;
    CDlgCapacity page;
    plan.TestPairs.push_back(pairOf({.hosts = LastHost}));
    plan.PairSelected[0] = 1;
    addPairOnePorts(plan, {0, 1, 2, 3, 4, 5, LastHost});
    plan.IgmpVersion = 2;
    plan.TestType = TestCapacity;
    plan.NumberOfTrials = 1;
    plan.InitialGroups = plan.MaxGroups = Groups;
    plan.GroupStep = 1;
    report.SetPlan(&plan);

    std::vector<double> sizes;
    for (int step = 0; step < Steps; ++step) {
        if (!report.PerformCapacityTest(64) || page.CapacityLabel->text() != QString::number(Groups))
            throw std::runtime_error("a Capacity step failed");
        sizes.push_back(residentMegabytes());
    }
    clock.server = nullptr;
    Kv_SYS_TerminateProcess();
    KvClient::instance().setServerPort(0);
    host.reset();
    return sizes;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = argc > 0 ? 1 : 0; // the benchmark flags are not Qt's
    QApplication application(qtArgc, argv);
    try {
        const double before = residentMegabytes();
        const std::vector<double> sizes = runSteps();
        std::printf("Resident size before: %.1f MB; after each %u-group step:", before, Groups);
        for (const double size : sizes)
            std::printf(" %.1f", size);
        std::printf(" MB\n");
        // The last quarter of the series adds (next to) nothing: the log is full by then.
        const double threeQuarters = sizes[Steps * 3 / 4 - 1];
        BenchRatio::print("Resident size after the last Capacity step / after three quarters of them",
                          "1.0: nothing kept per step", sizes.back() / threeQuarters, 1.02);
    } catch (const std::exception &error) {
        std::fprintf(stderr, "bench_CapacitySteps: %s\n", error.what());
        return 1;
    }
    return 0;
}
