// Result records of the result pages: one per (frame size, step, pair) of the running test, or per
// group for Source Filter, made zeroed by the runner with the fields that name the step. Each record has
// one slot per host port of its pair (or of the test), sized from the run's counts; the pages fill the
// slots after each trial.
#pragma once

#include <cstdint>
#include <vector>

struct UtMixClassResult
{
    UtMixClassResult(std::uint16_t frameSize, std::uint8_t pairNo, std::uint32_t hostCount)
        : FrameSize(frameSize), PairNo(pairNo), HostCount(hostCount), RxTotal(hostCount),
          RxUnicast(hostCount), RxMulticast(hostCount), Expected(hostCount)
    {
    }

    std::uint16_t FrameSize;
    std::uint8_t PairNo;
    std::uint32_t HostCount;
    // Received frames per second of each host slot, and the frames per second expected at the row's
    // maximum load (the chart's markers).
    std::vector<std::uint64_t> RxTotal;
    std::vector<std::uint64_t> RxUnicast;
    std::vector<std::uint64_t> RxMulticast;
    std::vector<std::uint64_t> Expected;
};

// Aggregate and Scale Group.
struct UtAggregateResult
{
    UtAggregateResult(std::uint16_t frameSize, std::uint8_t pairNo, std::uint32_t hostCount,
                      std::uint32_t stepCount)
        : FrameSize(frameSize), PairNo(pairNo), HostCount(hostCount), StepCount(stepCount), RxRate(hostCount),
          ExpectedRate(hostCount)
    {
    }

    std::uint16_t FrameSize;
    std::uint8_t PairNo;
    std::uint32_t HostCount;
    std::uint32_t StepCount; // clients (Aggregate) or groups (Scale Group)
    std::vector<std::uint64_t> RxRate;
    std::vector<std::uint64_t> ExpectedRate;
};

struct UtLatencyResult
{
    UtLatencyResult(std::uint16_t frameSize, std::uint8_t pairNo, std::uint32_t hostCount, double rate,
                    std::uint32_t step)
        : FrameSize(frameSize), PairNo(pairNo), HostCount(hostCount), Rate(rate), Step(step),
          AvgLatency(hostCount), MaxLatency(hostCount), MinLatency(hostCount)
    {
    }

    std::uint16_t FrameSize;
    std::uint8_t PairNo;
    std::uint32_t HostCount;
    // The load rate, and the index of the (frame-size row, rate) step in the run.
    double Rate;
    std::uint32_t Step;
    // Microseconds, as measured (no compensation).
    std::vector<double> AvgLatency;
    std::vector<double> MaxLatency;
    std::vector<double> MinLatency;
};

struct UtSourceFilterResult
{
    UtSourceFilterResult(std::uint16_t frameSize, std::uint32_t groupIndex, std::uint32_t hostCount)
        : FrameSize(frameSize), GroupIndex(groupIndex), HostCount(hostCount), RxTotal(hostCount),
          RxMulticast(hostCount), RxReference(hostCount)
    {
    }

    std::uint16_t FrameSize;
    std::uint32_t GroupIndex; // 0-based, in the group list's order
    std::uint32_t HostCount;
    // Frames each host port received in the group's measurement, and the frames the sources sent.
    std::vector<std::uint64_t> RxTotal;
    std::vector<std::uint64_t> RxMulticast;
    std::vector<std::uint64_t> RxReference;
};
