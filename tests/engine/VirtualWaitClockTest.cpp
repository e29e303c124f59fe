// Waits in virtual time: long waits pass at once, scheduled actions run at their time.
#include "engine/VirtualWaitClock.h"
#include "engine/EngineUtils.h"
#include "engine/RunState.h"

#include <QElapsedTimer>
#include <QTimer>
#include <gtest/gtest.h>

using namespace std::chrono_literals;

TEST(VirtualWaitClock, LongWaitsPassInstantlyAndStillHandleEvents)
{
    RunState run;
    VirtualWaitClock clock;
    QElapsedTimer elapsed;
    elapsed.start();
    bool handled = false;
    QTimer::singleShot(0, &run, [&] { handled = true; });
    for (int trial = 0; trial < 10; ++trial)
        WaitPumpingAbortable(60000);
    WaitPumping(500);
    EXPECT_TRUE(handled);
    EXPECT_EQ(clock.now(), 600500ms);
    EXPECT_EQ(clock.waits().size(), 11u);
    EXPECT_EQ(clock.waits().back(), 500ms);
    EXPECT_LT(elapsed.elapsed(), 5000);
}

TEST(VirtualWaitClock, StopFromAScheduledActionEndsTheWaitAtThatTime)
{
    RunState run;
    VirtualWaitClock clock;
    std::vector<std::chrono::milliseconds> seen;
    clock.callAt(1500ms, [&] { seen.push_back(clock.now()); });
    clock.callAfter(5000ms, [&] { run.RequestStop(); });
    clock.callAt(7000ms, [&] { seen.push_back(clock.now()); });
    WaitPumpingAbortable(60000);
    EXPECT_EQ(clock.now(), 5000ms);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], 1500ms);

    WaitPumpingAbortable(1000); // stop still set: no time passes
    EXPECT_EQ(clock.now(), 5000ms);
    WaitPumping(3000); // a plain wait goes on and runs the later action
    EXPECT_EQ(clock.now(), 8000ms);
    EXPECT_EQ(seen.size(), 2u);
}

TEST(VirtualWaitClock, ActionsThatWaitMoveTimeForward)
{
    VirtualWaitClock clock;
    clock.callAt(100ms, [] { WaitPumping(1000); });
    WaitPumping(200);
    EXPECT_EQ(clock.now(), 1100ms); // time never runs backwards
}

TEST(VirtualWaitClock, RestoresThePreviousClock)
{
    WaitClock *real = &WaitClock::current();
    {
        VirtualWaitClock clock;
        EXPECT_EQ(&WaitClock::current(), &clock);
    }
    EXPECT_EQ(&WaitClock::current(), real);
}
