// The real pumping waits: a nested event loop, ended by its deadline or by the stop flag.
#include "engine/WaitClock.h"
#include "engine/EngineUtils.h"
#include "engine/RunState.h"

#include <QElapsedTimer>
#include <QTimer>
#include <chrono>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace {

class WaitClockTest : public testing::Test
{
protected:
    RunState run;
    QElapsedTimer elapsed;
    void SetUp() override { elapsed.start(); }
};

} // namespace

TEST_F(WaitClockTest, WaitPumpingRunsTimersUntilItsDeadline)
{
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(5);
    // Forty ticks are due; three must come even when the machine is busy.
    WaitPumping(200);
    EXPECT_GE(elapsed.elapsed(), 200);
    EXPECT_GE(ticks, 3);
}

TEST_F(WaitClockTest, WaitsNeverEndBeforeTheirDeadline)
{
    for (const int ms : {1, 2, 3, 7, 15}) {
        const auto start = std::chrono::steady_clock::now();
        WaitPumping(ms);
        EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(ms)) << ms << " ms";
    }
}

TEST_F(WaitClockTest, OuterWaitPastItsDeadlineCostsNoCpuWhileAnInnerOneRuns)
{
    const auto threadCpu = [] {
        rusage usage{};
        getrusage(RUSAGE_THREAD, &usage);
        return std::chrono::seconds(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
               std::chrono::microseconds(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
    };
    QTimer::singleShot(0, &run, [] { WaitPumping(200); });
    const auto cpuBefore = threadCpu();
    WaitPumping(5);
    EXPECT_GE(elapsed.elapsed(), 200);
    EXPECT_LT(threadCpu() - cpuBefore, std::chrono::milliseconds(60));
}

TEST_F(WaitClockTest, ZeroWaitStillHandlesPendingEvents)
{
    bool handled = false;
    QTimer::singleShot(0, &run, [&] { handled = true; });
    WaitPumping(0);
    EXPECT_TRUE(handled);
}

TEST_F(WaitClockTest, AbortableWaitReturnsAtOnceWhenStopIsAlreadySet)
{
    run.StopRequested = 1;
    bool handled = false;
    QTimer::singleShot(0, &run, [&] { handled = true; });
    WaitPumpingAbortable(10000);
    EXPECT_LT(elapsed.elapsed(), 1000);
    EXPECT_FALSE(handled); // returned before pumping
}

TEST_F(WaitClockTest, AbortableWaitEndsWhenATimerRequestsStop)
{
    QTimer::singleShot(20, &run, &RunState::RequestStop);
    WaitPumpingAbortable(10000);
    EXPECT_EQ(run.StopRequested, 1u);
    EXPECT_GE(elapsed.elapsed(), 20);
    EXPECT_LT(elapsed.elapsed(), 5000);
}

TEST_F(WaitClockTest, StopEndsTheOuterWaitToo)
{
    // A wait inside a handler that runs inside another wait: Stop ends both.
    QTimer::singleShot(5, &run, [] { WaitPumpingAbortable(10000); });
    QTimer::singleShot(20, &run, &RunState::RequestStop);
    WaitPumpingAbortable(10000);
    EXPECT_LT(elapsed.elapsed(), 5000);
}

TEST_F(WaitClockTest, PlainWaitIgnoresStop)
{
    QTimer::singleShot(5, &run, &RunState::RequestStop);
    WaitPumping(40);
    EXPECT_GE(elapsed.elapsed(), 40);
}
