// The halving rate search: each step's next rates, its end and its log line.
#include "engine/RateSearch.h"

#include <gtest/gtest.h>
#include <limits>
#include <vector>

namespace {

using Step = RateSearch::Step;

struct Expected
{
    bool pass;
    Step step;
    double current, minimum, maximum;
    const char *line;
};

struct SearchCase
{
    const char *name;
    double initial, minimum, maximum, resolution;
    std::vector<Expected> steps;
};

} // namespace

TEST(RateSearch, StepsTheRatesAndLogsEachStep)
{
    // Each case: its name, initial, minimum and maximum rates and resolution, then one step a line: the
    // verdict, the step, the next current, minimum and maximum rates, and the log line (none: not checked).
    // clang-format off
    const SearchCase cases[] = {
        {"pass at the maximum ends at once", 100, 10, 100, 1, {
            {true,  Step::StopPassMax,        100,    10, 100,    "* Current rate 100.00, Pass! Test achieve the Max. rate, Thoughput ==> 100.00\n"},
        }},
        {"first failure at the minimum: n/a", 10, 10, 100, 1, {
            {false, Step::StopFailMin,        10,     10, 100,    "* Current rate 10.00, Failed! Test achieve the Min. rate, Throughput ==> n/a\n"},
        }},
        {"first failure steps down to 80 %, a pass then halves upwards", 100, 10, 100, 1, {
            {false, Step::Continue,           80,     10, 100,    "* Current rate 100.00, Failed! Next current rate is 80.00, Min. rate : 10.00, Max. rate : 100.00\n"},
            {true,  Step::Continue,           90,     80, 100,    "* Current rate 80.00, Pass! Next current rate : 90.00, Min. rate : 80.00, Max. rate : 100.00\n"},
            {false, Step::Continue,           85,     80, 90,     "* Current rate 90.00, Failed! Next Current rate : 85.00, Min. rate : 80.00, Max. rate : 90.00\n"},
        }},
        {"80 % below the minimum by less than the resolution goes to the minimum", 50, 39, 100, 2, {
            {false, Step::Continue,           39,     39, 50,     nullptr},
            {false, Step::StopFailMin,        39,     39, 50,     "* Current rate 39.00, Failed! Test achieve the Min. rate, throughput is n/a\n"},
        }},
        {"a pass closer to the maximum than the resolution goes to the maximum", 60, 10, 100, 6, {
            {true,  Step::Continue,           80,     60, 100,    nullptr},
            {true,  Step::Continue,           90,     80, 100,    nullptr},
            {true,  Step::Continue,           95,     90, 100,    nullptr},
            {true,  Step::Continue,           100,    95, 100,    nullptr},
            {true,  Step::StopPassMax,        100,    95, 100,    nullptr},
        }},
        {"a pass with the range under the resolution ends on the resolution", 50, 10, 100, 100, {
            {true,  Step::StopPassResolution, 50,     10, 100,    "* Current rate 50.00, Pass! Test achieve the resolution, Thoughput ==> 50.00\n"},
        }},
        {"a later failure within the resolution of the minimum goes to the minimum", 100, 10, 100, 1, {
            {false, Step::Continue,           80,     10, 100,    nullptr},
            {true,  Step::Continue,           90,     80, 100,    nullptr},
            {false, Step::Continue,           85,     80, 90,     nullptr},
            {false, Step::Continue,           82.5,   80, 85,     nullptr},
            {false, Step::Continue,           81.25,  80, 82.5,   nullptr},
            {false, Step::Continue,           80.625, 80, 81.25,  nullptr},
            {false, Step::Continue,           80,     80, 80.625, nullptr},
        }},
    };
    // clang-format on
    for (const SearchCase &c : cases) {
        SCOPED_TRACE(c.name);
        RateSearch search(c.initial, c.minimum, c.maximum, c.resolution);
        for (std::size_t i = 0; i < c.steps.size(); ++i) {
            SCOPED_TRACE(i);
            const Expected &e = c.steps[i];
            QString line;
            EXPECT_EQ(search.step(e.pass, RateSearch::kMixedClassTexts, &line), e.step);
            EXPECT_DOUBLE_EQ(search.current(), e.current);
            EXPECT_DOUBLE_EQ(search.minimum(), e.minimum);
            EXPECT_DOUBLE_EQ(search.maximum(), e.maximum);
            if (e.line) {
                EXPECT_EQ(line.toStdString(), e.line);
            }
        }
    }
}

// With no usable resolution a device that passes everything below the maximum must not keep the
// search going for ever.
TEST(RateSearch, ResolutionOfZeroOrLessStillEnds)
{
    for (const double resolution : {0.0, -1.0, std::numeric_limits<double>::quiet_NaN()}) {
        SCOPED_TRACE(resolution);
        RateSearch search(50, 10, 100, resolution);
        EXPECT_DOUBLE_EQ(search.resolution(), RateSearch::kMinResolution);
        int steps = 0;
        // Passes up to 99.999 %, fails above.
        while (search.step(search.current() < 99.999, RateSearch::kMixedClassTexts) == Step::Continue)
            ASSERT_LT(++steps, 64);
        EXPECT_NEAR(search.current(), 99.99, 0.02);
    }
}
