// The halving search of the throughput procedures: after each judged repetition it decides the next
// rate under trial (per cent of line rate) and whether the trial goes on, and gives the log line of
// the step.
#pragma once

#include <QString>

class RateSearch
{
public:
    enum class Step
    {
        Continue,
        StopPassMax,        // passed at the maximum rate
        StopPassResolution, // passed with the range narrower than the resolution
        StopFailMin         // failed at the minimum rate: no throughput
    };

    // The smallest resolution the search accepts; a resolution of 0 or less (or NaN) means this.
    static constexpr double kMinResolution = 0.01;

    RateSearch(double initial, double minimum, double maximum, double resolution);

    // One step after a repetition judged pass or fail. The texts of the log line come from `texts`
    // (the procedures word them differently); the line starts with "* Current rate %.2f, ".
    struct Texts
    {
        const char *passMax;
        const char *passResolution;
        const char *passNext;
        const char *failMinFirst;
        const char *failNextFirst;
        const char *failMinLater;
        const char *failNextLater;
    };
    static const Texts kMixedClassTexts;
    // Aggregate and Scale Group.
    static const Texts kAggregateTexts;

    Step step(bool pass, const Texts &texts, QString *logLine = nullptr);

    double current() const { return m_current; }
    double minimum() const { return m_min; }
    double maximum() const { return m_max; }
    double resolution() const { return m_resolution; }

private:
    double m_current;
    double m_min;
    double m_max;
    double m_resolution;
    bool m_first = true;
};
