// Ratios of the program's figures to their peers', printed after the benchmark table. Every ratio line
// has the same form, so scripts/bench.sh can gather them into one table:
//   ratio | <figure> | <peer> | <measured>x | goal <= <goal>x | met
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

namespace BenchRatio {

// Prints one ratio line.
inline void print(const std::string &figure, const std::string &peer, double ratio, double goal)
{
    std::printf("ratio | %s | %s | %.5gx | goal <= %.4gx | %s\n", figure.c_str(), peer.c_str(), ratio, goal,
                ratio <= goal ? "met" : "MISSED");
    std::fflush(stdout);
}

// One ratio of two benchmarks' results: their real time per iteration, or a counter they both set.
struct Pair
{
    std::string figure;
    std::string peer;
    std::string ours; // benchmark names as printed, e.g. "BM_XmlDocumentParse"
    std::string theirs;
    double goal;
    std::string counter = {}; // empty: real time
};

// The console table as usual, keeping each benchmark's figures (the median when repeated).
class Reporter : public benchmark::ConsoleReporter
{
public:
    // Colours only on a terminal, as the default reporter does.
    Reporter() : ConsoleReporter(::isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular) {}

    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            if (run.error_occurred || (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median"))
                continue;
            Figures &figures = m_figures[run.run_name.function_name];
            // A median follows its repetitions and replaces them.
            if (figures.fromMedian && run.run_type != Run::RT_Aggregate)
                continue;
            figures.fromMedian = run.run_type == Run::RT_Aggregate;
            figures.realTime = run.GetAdjustedRealTime();
            for (const auto &[name, counter] : run.counters)
                figures.counters[name] = counter.value;
        }
    }

    // Prints the ratio, or says which side did not run; nothing when neither ran.
    void print(const Pair &pair) const
    {
        const auto ours = m_figures.find(pair.ours);
        const auto theirs = m_figures.find(pair.theirs);
        if (ours == m_figures.end() && theirs == m_figures.end())
            return; // neither side was selected
        if (ours == m_figures.end() || theirs == m_figures.end()) {
            std::printf("ratio | %s | %s | not measured (%s or %s did not run) | goal <= %.4gx | MISSED\n",
                        pair.figure.c_str(), pair.peer.c_str(), pair.ours.c_str(), pair.theirs.c_str(),
                        pair.goal);
            return;
        }
        const double mine = valueOf(ours->second, pair.counter);
        const double peer = valueOf(theirs->second, pair.counter);
        BenchRatio::print(pair.figure, pair.peer, peer > 0 ? mine / peer : 0.0, pair.goal);
    }

private:
    struct Figures
    {
        bool fromMedian = false;
        double realTime = 0;
        std::map<std::string, double> counters;
    };

    static double valueOf(const Figures &figures, const std::string &counter)
    {
        if (counter.empty())
            return figures.realTime;
        const auto found = figures.counters.find(counter);
        return found == figures.counters.end() ? 0.0 : found->second;
    }

    std::map<std::string, Figures> m_figures;
};

// Runs the benchmarks selected on the command line, then prints the ratios.
inline int runAndPrint(int argc, char **argv, const std::vector<Pair> &pairs)
{
    benchmark::Initialize(&argc, argv);
    Reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    for (const Pair &pair : pairs)
        reporter.print(pair);
    return 0;
}

} // namespace BenchRatio
