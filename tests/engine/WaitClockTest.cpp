// The real pumping waits: a nested event loop, ended by its deadline or by the stop flag.
#include "engine/WaitClock.h"
#include "engine/EngineUtils.h"
#include "engine/RunState.h"

#include <QElapsedTimer>
#include <QTimer>
#include <gtest/gtest.h>

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
    WaitPumping(60);
    EXPECT_GE(elapsed.elapsed(), 60);
    EXPECT_GE(ticks, 3);
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
