// The load rates of a Latency run: from the initial rate by the rate step while not above the end
// rate. The runner's rate loop, its result records and the Latency result page all walk this one list,
// so that a record and a procedure call meet by the rate's index, never by comparing sums of doubles.
#pragma once

#include <cstdint>

// Calls body(index, rate) for each rate until it returns false. The rates are counted on an index, so
// that steps such as 0.1 reach the end rate exactly; a step of 0 or less (or NaN) gives the initial rate
// alone.
template <typename Body> void forEachRate(double initial, double step, double end, Body body)
{
    for (std::uint32_t index = 0;; ++index) {
        const double rate = initial + index * step;
        if (!(rate <= end + 1e-9))
            break;
        if (!body(index, rate))
            break;
        if (!(step > 0))
            break;
    }
}

// The number of rates of that list.
inline std::uint32_t latencyRateCount(double initial, double step, double end)
{
    std::uint32_t count = 0;
    forEachRate(initial, step, end, [&count](std::uint32_t, double) {
        ++count;
        return true;
    });
    return count;
}
