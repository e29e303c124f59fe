// Result records of the result pages: one per (frame size, step, pair), zeroed by the runner with the
// fields that name the step; the pages fill in the counts after each trial.
#pragma once

#include <cstdint>

struct UtMixClassResult
{
    std::uint16_t FrameSize = 0;
    std::uint8_t PairNo = 0;
    std::uint8_t HostCount = 0;
    double PassedRate = 0;
};

// Aggregate and Scale Group.
struct UtAggregateResult
{
    std::uint16_t FrameSize = 0;
    std::uint8_t PairNo = 0;
    std::uint8_t HostCount = 0;
    std::uint8_t StepCount = 0; // clients (Aggregate) or groups (Scale Group)
    double PassedRate = 0;
};

struct UtLatencyResult
{
    std::uint16_t FrameSize = 0;
    std::uint8_t PairNo = 0;
    std::uint8_t HostCount = 0;
    double Rate = 0;
};

struct UtSourceFilterResult
{
    std::uint16_t FrameSize = 0;
    std::uint8_t GroupIndex = 0;
    std::uint8_t HostCount = 0;
};
