// Cost of building the transmit tables of eight test pairs with 256 groups each: every port's IGMP
// report entries for all groups and every source's group stream entries. The tables are built as for
// the hardware, without handing them over (the demo inventory suppresses the library calls).
#include "common/TestPlanPorts.h"
#include "engine/IGMPTestPlan.h"
#include "engine/Session.h"

#include <benchmark/benchmark.h>
#include <cstring>

namespace {

constexpr int kPairs = 8;
constexpr std::uint32_t kGroups = 256;

// The eight pairs with their tables built as for the hardware, without handing them over.
void buildPlan(CIGMPTestPlan &plan)
{
    addEightPairs(plan, kGroups);
    g_Session.DemoHardware = 1;
    plan.IgmpVersion = 2;
    plan.TestDuration = 60;
    plan.ScaleTrial = 255; // the largest group count of a group stream table
}

void BM_TransmitTablesOfEightPairs(benchmark::State &state)
{
    CIGMPTestPlan plan;
    buildPlan(plan);
    UtTxEntry entry;
    for (auto _ : state) {
        for (const auto *list : {&plan.SourcePorts, &plan.HostPorts}) {
            for (const UtTestPort &port : *list) {
                const std::uint32_t side = list == &plan.SourcePorts ? 0 : 1;
                for (std::uint32_t g = 0; g < kGroups; ++g) {
                    std::memset(&entry, 0, sizeof entry);
                    plan.BuildFrameTemplate(entry, port.PortIndex);
                    plan.BuildIgmpFrame(entry, 0, side, port.PortIndex, 1, g);
                    benchmark::DoNotOptimize(entry.Frame[30]);
                }
            }
        }
        for (std::uint8_t s = 0; s < kPairs; ++s) {
            const std::uint8_t source = plan.SourcePorts[s].PortIndex;
            std::memset(&entry, 0xFF, sizeof entry);
            plan.BuildFrameTemplate(entry, source);
            plan.BuildMulticastDataFrame(entry, 64, s, source);
            plan.FillGroupStreams(entry, 64, s, source, 50);
        }
        benchmark::DoNotOptimize(plan.TxFrameCount);
    }
    g_Session.resetTables();
}
BENCHMARK(BM_TransmitTablesOfEightPairs)->Unit(benchmark::kMillisecond);

// The demo counters of one second of a trial of eight pairs.
void BM_SimulatedCountersOfEightPairs(benchmark::State &state)
{
    CIGMPTestPlan plan;
    buildPlan(plan);
    plan.FrameSize = 64;
    plan.CurrentRate = 50;
    plan.TestType = TestMixClass;
    for (auto _ : state)
        plan.SimulateCounters(60);
    g_Session.resetTables();
}
BENCHMARK(BM_SimulatedCountersOfEightPairs)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
