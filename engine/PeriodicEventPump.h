// Long work between two waits (thousands of hardware calls) lets the user-interface events through now
// and then, so the window keeps answering: call it at each step; it processes the pending events once
// whenever a few milliseconds have passed since it last did, and costs next to nothing otherwise.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>

class PeriodicEventPump
{
public:
    static constexpr qint64 IntervalMs = 20;

    PeriodicEventPump() { m_since.start(); }

    void operator()()
    {
        if (m_since.elapsed() < IntervalMs)
            return;
        if (QCoreApplication::instance())
            QCoreApplication::processEvents();
        m_since.restart();
    }

private:
    QElapsedTimer m_since;
};
