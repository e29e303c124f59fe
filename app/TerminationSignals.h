// SIGTERM and SIGINT as a call on the user-interface thread: the signal handler only writes the signal's
// number into a pipe, and a socket notifier on the pipe's other end makes the call from the event loop.
// The first signal puts the earlier dispositions back, so that a second one ends the program at once.
#pragma once

#include <QObject>
#include <functional>
#include <signal.h>

class QSocketNotifier;

class TerminationSignals : public QObject
{
public:
    // One at a time: a second object while one exists catches nothing.
    explicit TerminationSignals(std::function<void(int)> onSignal, QObject *parent = nullptr);
    ~TerminationSignals() override;

    bool IsCatching() const { return m_catching; }

private:
    void restoreDispositions();
    void onReadable();

    std::function<void(int)> m_onSignal;
    QSocketNotifier *m_notifier = nullptr;
    bool m_catching = false;
    bool m_restored = true;
    struct sigaction m_previousTerm = {};
    struct sigaction m_previousInt = {};
};
