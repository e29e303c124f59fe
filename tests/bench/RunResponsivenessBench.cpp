// How long the window goes without handling events during a run at the largest sizes: a Mixed Class run
// of 60 ports in 8 pairs started as the tool bar's Run starts it, and a Group Capacity step of 8000
// groups. The runs go through the main view against the chassis simulator in this process, in simulated
// time, so the waits pass at once and what is left is the program's own work; a timer ticking every 5 ms
// finds the longest time its events waited. Command-line arguments are ignored.
#include "common/SimulatedTimeClock.h"
#include "common/TestPlanPorts.h"

#include "app/KvIGMPTQApp.h"
#include "app/LangMag.h"
#include "app/MainFormView.h"
#include "app/MainFrame.h"
#include "controls/widgets/NumEdit.h"
#include "engine/EngineUtils.h"
#include "engine/Session.h"
#include "kvserver/KvServer.h"
#include "platform/ScriptedPrompter.h"
#include "platform/kvapi/KvAPI.h"
#include "platform/kvapi/KvClient.h"
#include "ports/PortConfig.h"
#include "testpages/DlgCapacity.h"
#include "testpages/DlgMixClass.h"

#include "BenchRatio.h"

#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <memory>
#include <stdexcept>

namespace {

constexpr int kPorts = 60;
constexpr int kPairs = 8;

// A timer every few milliseconds, as the window's own timers and input would need: the longest time
// between two of its ticks is the longest the window went without handling events.
class EventGapMeter
{
public:
    EventGapMeter()
    {
        m_tick.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_tick, &QTimer::timeout, [this] {
            m_longest = std::max(m_longest, m_since.nsecsElapsed());
            m_since.start();
        });
    }
    void start()
    {
        m_longest = 0;
        m_since.start();
        m_tick.start(5);
    }
    // Milliseconds of the longest gap between ticks since start(), the last one up to now included.
    double stopAndGetLongestMs()
    {
        m_tick.stop();
        return double(std::max(m_longest, m_since.nsecsElapsed())) / 1e6;
    }

private:
    QTimer m_tick;
    QElapsedTimer m_since;
    qint64 m_longest = 0;
};

// A chassis of 15 four-port cards (slots 2 to 16) in this process, every port locked by the program.
std::unique_ptr<KvServer> startChassis(SimulatedTimeClock &clock)
{
    SimConfig config;
    config.timeScale = 0;
    config.modules.clear();
    for (std::uint8_t slot = 2; slot <= 16; ++slot)
        config.modules.push_back({slot, 53, 4});
    auto server = std::make_unique<KvServer>(config);
    std::string error;
    if (!server->listen(0, "127.0.0.1", error))
        throw std::runtime_error(error);
    server->start();
    clock.server = server.get();
    KvClient::instance().setServerPort(server->port());
    const char address[32] = "127.0.0.1";
    if (Kv_SYS_ConnectToServer(address) != 1)
        throw std::runtime_error("no connection to the simulator");
    const QDeadlineTimer deadline(10000);
    while (!(g_Session.PortCount == kPorts && (g_Session.PortHwInfo[kPorts - 1].SpeedMedia & 0xFF) != 0)) {
        if (deadline.hasExpired())
            throw std::runtime_error("no inventory from the simulator");
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    }
    if (Kv_LockPortStatus({1, {0x0F0F0F0F, 0x0F0F0F0F, 0x0F0F0F0F, 0x000F0F0F}}) == 0)
        throw std::runtime_error("the ports could not be locked");
    std::fill(g_Session.LockedFlags.begin(), g_Session.LockedFlags.end(), std::uint8_t(1));
    return server;
}

// Pair n has its source on port record n - 1; the hosts (records 8 on) go round the pairs. The last
// record stays out of every pair: the Capacity page watches it.
void makePairs(CIGMPTestPlan &plan)
{
    plan.TestPairs.resize(kPairs);
    for (int n = 1; n <= kPairs; ++n) {
        UtPortRecord &source = g_Session.Ports[std::size_t(n - 1)];
        source.SourcePair = std::uint8_t(n);
        UpdatePairFields(source);
        plan.TestPairs[std::size_t(n - 1)] = pairOf({.id = std::uint8_t(n),
                                                     .hosts = 0,
                                                     .source = {source.CID, source.BID, source.PID},
                                                     .mediaType = 1,
                                                     .group = {239, 1, std::uint8_t(n), 1}});
    }
    for (int i = kPairs; i < kPorts - 1; ++i) {
        UtPortRecord &host = g_Session.Ports[std::size_t(i)];
        const int n = 1 + (i - kPairs) % kPairs;
        host.HostPair = std::uint8_t(n);
        UpdatePairFields(host);
        ++plan.TestPairs[std::size_t(n - 1)].num_of_destmember;
    }
}

// The program folder's files, copied from the sources: Setting.ini and the two language files.
void makeProgramFolder(const QString &folder)
{
    const QString resources = QStringLiteral(KV_SOURCE_DIR "/resources/");
    QDir().mkpath(folder + QStringLiteral("Language"));
    for (const char *file : {"Setting.ini", "Language/LangEng.lng", "Language/LangChs.lng"}) {
        if (!QFile::copy(resources + QLatin1String(file), folder + QLatin1String(file)))
            throw std::runtime_error(std::string("cannot copy ") + file);
    }
}

struct Stretches
{
    double mixedClassMs = 0;
    double capacityMs = 0;
};

Stretches measure()
{
    ScriptedPrompter prompter; // "Test Finished!" answers itself
    SimulatedTimeClock clock;
    EventGapMeter meter;
    CKvIGMPTQApp app;
    const QTemporaryDir programFolder;
    const QString folder = programFolder.path() + QLatin1Char('/');
    makeProgramFolder(folder);
    g_LangMag.SetLangFile(folder + QStringLiteral("Language/LangEng.lng"));
    auto frame = std::make_unique<CMainFrame>(folder);
    frame->show(); // its pages are painted as on screen
    CMainFormView *view = frame->View();
    std::unique_ptr<KvServer> server = startChassis(clock);
    makePairs(app.TestPlan);

    CDlgMixClass *mixClass = view->MixClassPage;
    CDlgCapacity *capacity = view->CapacityPage;
    for (int n = 1; n <= kPairs; ++n)
        mixClass->PairChecked[n] = 1;
    // The Capacity step runs one pair: its 8000 groups go to every port of the step, and the simulated
    // device's bookkeeping of them, not the program's, would otherwise take the time.
    capacity->PairChecked[1] = 1;
    for (CRateTestPage::NumberField field : {mixClass->DurationField, mixClass->DelayAfterJoinField})
        field.edit->setText(QStringLiteral("1"));
    mixClass->FrameStopField.edit->setText(QStringLiteral("64"));
    // One rate step of 64-byte frames at 100 %.
    for (CRateTestPage::NumberField field : {mixClass->InitialRateField, mixClass->MaxRateField})
        field.edit->setText(QStringLiteral("100"));
    capacity->FillPairGrid();
    capacity->RunList = {64};
    capacity->InitialGroups.Edit->setText(QStringLiteral("8000"));
    capacity->MaxGroups.Edit->setText(QStringLiteral("8000"));
    capacity->Trials.Edit->setText(QStringLiteral("1"));
    QComboBox *monitors = capacity->MonitorCombo;
    monitors->setCurrentIndex(monitors->count() - 1);

    Stretches stretches;
    for (const int test : {TestMixClass, TestCapacity}) {
        std::fill(std::begin(view->TestSelected), std::end(view->TestSelected), std::uint8_t(0));
        view->TestSelected[test] = 1;
        meter.start();
        view->OnRunTest();
        (test == TestMixClass ? stretches.mixedClassMs : stretches.capacityMs) = meter.stopAndGetLongestMs();
        if (prompter.messages().value(prompter.messages().size() - 1) != QStringLiteral("Test Finished!"))
            throw std::runtime_error("a run did not finish: " + prompter.messages().join(u'|').toStdString());
    }
    frame.reset();
    clock.server = nullptr;
    Kv_SYS_TerminateProcess();
    KvClient::instance().setServerPort(0);
    return stretches;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = argc > 0 ? 1 : 0; // the benchmark flags are not Qt's
    QApplication application(qtArgc, argv);
    try {
        const Stretches stretches = measure();
        std::printf("Longest time without events: Mixed Class run of %d ports in %d pairs %.1f ms; "
                    "Group Capacity step of 8000 groups %.1f ms\n",
                    kPorts, kPairs, stretches.mixedClassMs, stretches.capacityMs);
        BenchRatio::print("Longest stretch without events, 60-port Mixed Class run / 100 ms",
                          "100 ms, where a pause shows", stretches.mixedClassMs / 100, 1.0);
        BenchRatio::print("Longest stretch without events, 8000-group Capacity step / 100 ms",
                          "100 ms, where a pause shows", stretches.capacityMs / 100, 1.0);
    } catch (const std::exception &error) {
        std::fprintf(stderr, "bench_RunResponsiveness: %s\n", error.what());
        return 1;
    }
    return 0;
}
