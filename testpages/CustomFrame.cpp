#include "testpages/CustomFrame.h"

#include "engine/IGMPTestPlan.h"

bool IsUsableFrameRow(const UtCustomFrame &row, bool rateStep)
{
    const auto inRange = [](double rate) { return rate > 0 && rate <= 100; }; // false for NaN
    if (row.FrameSize < kMinFrameSize || row.FrameSize > kMaxFrameSize)
        return false;
    if (!inRange(row.InitialRate) || !inRange(row.MaxRate))
        return false;
    // A latency row runs its rates from the initial one by the step; an initial rate above the
    // maximum runs none.
    if (rateStep)
        return row.MinRate > 0;
    return row.Resolution > 0 && inRange(row.MinRate) && row.MinRate <= row.InitialRate &&
           row.InitialRate <= row.MaxRate;
}
