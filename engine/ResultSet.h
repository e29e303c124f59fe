// Which tests of the last run ran, and for the throughput, latency and filter tests the counter-page
// rows of each result, which the report writers read.
#pragma once

#include <QStringList>
#include <array>
#include <cstdint>
#include <vector>

// The counter-page rows of one frame size's result.
struct UtCounterResult
{
    std::uint32_t FrameSize = 0;
    std::uint32_t FirstRow = 0;
    std::uint32_t LastRow = 0;
};

// The counter-page rows of one Source Filter group, with its texts.
struct UtV3FilterCounterResult
{
    std::uint32_t FirstRow = 0;
    std::uint32_t LastRow = 0;
    QStringList Texts;
};

class UtResultSet
{
public:
    // Indexes of Counters: Mixed Class, Aggregate, Scale Group, Latency.
    enum CounterKind
    {
        MixedClass = 0,
        Aggregate,
        ScaleGroup,
        Latency,
        CounterKinds
    };

    // Nothing ran, no results.
    void ClearResultRecord()
    {
        Ran.fill(0);
        for (auto &results : Counters)
            results.clear();
        Filter.clear();
    }
    bool AnyRan() const
    {
        for (std::uint8_t ran : Ran) {
            if (ran)
                return true;
        }
        return false;
    }

    // Per test in run order: 1 once its procedure started.
    std::array<std::uint8_t, 7> Ran{};
    std::array<std::vector<UtCounterResult>, CounterKinds> Counters;
    std::vector<UtV3FilterCounterResult> Filter;
};
