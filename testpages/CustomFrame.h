// One frame-size row of a throughput or latency test page: its rates (per cent of line rate) and frame
// size. On the Latency page MinRate is the rate step.
#pragma once

#include <cstdint>

#pragma pack(push, 1)
struct UtCustomFrame
{
    double InitialRate;
    double MinRate;
    double MaxRate;
    double Resolution;
    std::uint16_t FrameSize;
};
#pragma pack(pop)
static_assert(sizeof(UtCustomFrame) == 34);

// A row the runners can use: a frame size the streams take, rates within 0-100 and, for a throughput
// row, minimum <= initial <= maximum with a resolution above 0 (a latency row: a rate step above 0).
bool IsUsableFrameRow(const UtCustomFrame &row, bool rateStep);
