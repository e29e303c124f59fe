// The counter table printed after a throughput trial and its judgement: per selected test pair, the
// frames the source sent against what each host received.
#pragma once

#include <cstdint>
#include <functional>

class CIGMPTestPlan;

class TrialJudge
{
public:
    enum class Variant
    {
        MixedClass, // half the frames to every host, the unicast port also gets the other half
        Aggregate,  // the first AggregateTrial hosts of a pair get every frame, the others none
        Scale       // every host gets every frame
    };
    enum class Verdict
    {
        Pass,
        Fail,
        Stopped
    };

    // Copies the hosts' receive counters from the session into the plan's host records.
    static void CollectHostCounters(CIGMPTestPlan &plan, std::uint16_t frameSize);

    // Prints the table through the engine's log and judges every host of the selected pairs.
    // `stopped` is asked before each pair and each host.
    static Verdict PrintAndJudge(Variant variant, const CIGMPTestPlan &plan,
                                 const std::function<bool()> &stopped);

    static const char *const kSeparator;
};
