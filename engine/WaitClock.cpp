#include "engine/WaitClock.h"

#include "engine/RunState.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <thread>

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
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.setTimerType(Qt::PreciseTimer);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    if (abortable && g_RunState)
        QObject::connect(g_RunState, &RunState::stopRequested, &loop, &QEventLoop::quit);
    deadline.start(duration);
    loop.exec();
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
