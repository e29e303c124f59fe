#include "engine/WaitClock.h"

#include "engine/RunState.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>
#include <thread>

#include <sys/timerfd.h>
#include <unistd.h>

namespace {
WaitClock *installedClock = nullptr;
}

std::chrono::milliseconds WaitClock::now() const
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
}

void WaitClock::pump(std::chrono::milliseconds duration, bool abortable)
{
    if (!QCoreApplication::instance()) {
        std::this_thread::sleep_for(duration);
        return;
    }
    if (duration <= std::chrono::milliseconds::zero()) {
        QCoreApplication::processEvents();
        return;
    }
    QEventLoop loop;
    if (abortable && g_RunState)
        QObject::connect(g_RunState, &RunState::stopRequested, &loop, &QEventLoop::quit);
    // The event loop's own timers wake it to the nearest millisecond only, late by half a millisecond on
    // average, which a run's hundreds of waits add up; a timer descriptor wakes it at the deadline.
    const int timer = ::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(duration);
    const itimerspec deadline{{0, 0},
                              {seconds.count(), long(std::chrono::nanoseconds(duration - seconds).count())}};
    if (timer >= 0 && ::timerfd_settime(timer, 0, &deadline, nullptr) == 0) {
        QSocketNotifier expired(timer, QSocketNotifier::Read);
        // Disabled at once: a wait nested in this one would otherwise be woken again and again.
        QObject::connect(&expired, &QSocketNotifier::activated, &loop, [&expired, &loop] {
            expired.setEnabled(false);
            loop.quit();
        });
        loop.exec();
    } else {
        QTimer fallback; // no descriptor left: a millisecond-precise timer
        fallback.setSingleShot(true);
        fallback.setTimerType(Qt::PreciseTimer);
        QObject::connect(&fallback, &QTimer::timeout, &loop, &QEventLoop::quit);
        fallback.start(duration);
        loop.exec();
    }
    if (timer >= 0)
        ::close(timer);
}

WaitClock &WaitClock::current()
{
    static WaitClock realClock;
    return installedClock ? *installedClock : realClock;
}

WaitClock *WaitClock::install(WaitClock *clock)
{
    return std::exchange(installedClock, clock);
}

bool WaitClock::stopRequested()
{
    return g_RunState && g_RunState->StopRequested != 0;
}
