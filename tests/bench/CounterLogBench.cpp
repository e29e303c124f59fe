// The counter page at the program's largest size: 100,000 rows of 26 columns, shown 1024 x 768 on the
// offscreen platform. Appending trial blocks (each with its counter refresh and verdict) until the page
// holds 100,000 rows, and the once-a-second refresh of the current trial's port rows, with the repaint
// that follows, on a full page scrolled to its end. A session of 8 pairs of one source and 15 hosts
// each gives blocks of 138 rows.
#include "common/TestPlanPorts.h"
#include "controls/widgets/SkinListCtrl.h"
#include "engine/EngineHost.h"
#include "engine/IGMPTestPlan.h"
#include "engine/Session.h"
#include "reports/CounterLog.h"

#include <QApplication>
#include <QFile>
#include <benchmark/benchmark.h>

namespace {

constexpr int kPageRows = 100000;
constexpr std::uint8_t kPairs = 8;
constexpr std::uint8_t kPortsPerPair = 16;

// Pair n: ports 16 (n - 1) to 16 n - 1 on chassis 1 and 2, the first its source, the others its hosts.
void buildSession(CIGMPTestPlan &plan)
{
    g_Session.resetTables();
    g_Session.PortCount = kPairs * kPortsPerPair;
    g_Session.allocatePortArrays(g_Session.PortCount);
    for (std::uint16_t index = 0; index < g_Session.PortCount; ++index) {
        const UtPortId id{std::uint16_t(1 + index / 64), std::uint8_t(1 + index / 4 % 16),
                          std::uint8_t(1 + index % 4)};
        g_Session.PortIndex[id.CID][id.BID][id.PID] = std::int16_t(index);
        g_Session.PortHwInfo[index] = {id, 11, 0, 0, 0};
        UtPortRecord record = MakePortRecord(id, 53, 11);
        const auto pair = std::uint8_t(1 + index / kPortsPerPair);
        const bool source = index % kPortsPerPair == 0;
        (source ? record.SourcePair : record.HostPair) = pair;
        g_Session.Ports.push_back(record);
        UtTestPort port{};
        port.Id = id;
        port.TYPE = 53;
        port.PortIndex = index;
        port.SpeedMedia = 11;
        (source ? plan.SourcePorts : plan.HostPorts).push_back(port);
    }
    for (std::uint8_t n = 1; n <= kPairs; ++n)
        plan.TestPairs.push_back(
            pairOf({.id = n, .hosts = 15, .source = {1, 0, 0}, .group = {225, 0, n, 1}}));
    plan.TestType = TestMixClass;
    plan.FrameSize = 64;
    plan.CurrentRate = 100;
    plan.TestDuration = 10;
}

// Every counter of every port moves, as in a second of traffic.
void tickCounters(std::uint64_t second)
{
    for (std::size_t index = 0; index < g_Session.PortCounters.size(); ++index) {
        UtPortCounters &counters = g_Session.PortCounters[index];
        UtPortState &state = g_Session.PortStates[index];
        const std::uint64_t frames = second * 1'488'095 + index;
        counters.TxPackets = counters.NormalSize = counters.Bucket64 = counters.Ipv4Frames = frames;
        counters.TxBytes = counters.RxBytes = frames * 68;
        state.TxCountA = state.RxCountA = frames / 2;
        state.TxCountB = state.RxCountB = frames - frames / 2;
    }
}

// One trial block as a procedure writes it: the rows, a refresh, the verdict, the next block's row.
void appendBlock(CCounterLog &page, const CIGMPTestPlan &plan, std::uint32_t trial)
{
    page.InsertTrialRows(plan, QString(), trial, 1, plan.TestDuration);
    page.UpdateCounterRows(plan);
    page.SetRowResult(int(page.LastRow), QStringLiteral("Pass"), 0xFF8000);
    page.FirstRow = page.LastRow + 1;
}

double residentMegabytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * 4096 / (1024 * 1024) : 0;
}

struct ShownPage
{
    ShownPage()
    {
        EngineHost::instance().reset();
        buildSession(plan);
        page.resize(1024, 768);
        page.show();
        QApplication::processEvents();
    }
    ~ShownPage() { g_Session.resetTables(); }

    void fill()
    {
        page.ResetCounterLog();
        for (std::uint32_t trial = 0; page.RowCount() < kPageRows; ++trial) {
            appendBlock(page, plan, trial);
            // The procedures pump events between the steps of a trial.
            if (trial % 8 == 0)
                QApplication::processEvents();
        }
        QApplication::processEvents();
    }

    CIGMPTestPlan plan;
    CCounterLog page;
};

void BM_CounterPageAppendTo100kRows(benchmark::State &state)
{
    ShownPage shown;
    for (auto _ : state)
        shown.fill();
    state.counters["rows"] = shown.page.RowCount();
    state.counters["rowsPerSecond"] = benchmark::Counter(
        double(shown.page.RowCount()) * double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["residentMB"] = residentMegabytes();
}
BENCHMARK(BM_CounterPageAppendTo100kRows)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_CounterPageRefreshAt100kRows(benchmark::State &state)
{
    ShownPage shown;
    shown.fill();
    // The current trial: one more block at the end, in view.
    shown.page.InsertTrialRows(shown.plan, QString(), 0, 1, shown.plan.TestDuration);
    shown.page.List->scrollToBottom();
    QApplication::processEvents();
    std::uint64_t second = 0;
    for (auto _ : state) {
        tickCounters(++second);
        shown.page.UpdateCounterRows(shown.plan);
        QApplication::processEvents();
    }
    state.counters["rows"] = shown.page.RowCount();
    state.counters["portRows"] = double(g_Session.Ports.size());
}
BENCHMARK(BM_CounterPageRefreshAt100kRows)->Unit(benchmark::kMillisecond);

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
