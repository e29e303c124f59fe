#include "engine/VirtualWaitClock.h"

#include <QCoreApplication>

VirtualWaitClock::VirtualWaitClock() : m_previous(WaitClock::install(this)) {}

VirtualWaitClock::~VirtualWaitClock()
{
    WaitClock::install(m_previous);
}

std::chrono::milliseconds VirtualWaitClock::now() const
{
    return m_now;
}

void VirtualWaitClock::pump(std::chrono::milliseconds duration, bool abortable)
{
    m_waits.push_back(duration);
    const auto deadline = m_now + std::max(duration, std::chrono::milliseconds::zero());
    QCoreApplication::processEvents();
    // An action may itself wait (and so move time on, or run later actions): take them one by one.
    while (!(abortable && stopRequested()) && !m_actions.empty() && m_actions.begin()->first <= deadline) {
        auto next = m_actions.extract(m_actions.begin());
        m_now = std::max(m_now, next.key());
        next.mapped()();
        QCoreApplication::processEvents();
    }
    if (abortable && stopRequested())
        return;
    m_now = std::max(m_now, deadline);
}

void VirtualWaitClock::callAt(std::chrono::milliseconds when, std::function<void()> action)
{
    m_actions.emplace(when, std::move(action));
}

void VirtualWaitClock::callAfter(std::chrono::milliseconds delay, std::function<void()> action)
{
    callAt(m_now + delay, std::move(action));
}
