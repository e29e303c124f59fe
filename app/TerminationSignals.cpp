#include "app/TerminationSignals.h"

#include <QSocketNotifier>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The pipe of the one catching object: [0] read by the notifier, [1] written by the handler.
int g_signalPipe[2] = {-1, -1};

extern "C" void writeSignalNumber(int number)
{
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(number);
    // A full pipe already holds a signal waiting to be handled: this one may be dropped.
    [[maybe_unused]] const ssize_t written = ::write(g_signalPipe[1], &byte, 1);
    errno = savedErrno;
}

} // namespace

TerminationSignals::TerminationSignals(std::function<void(int)> onSignal, QObject *parent)
    : QObject(parent), m_onSignal(std::move(onSignal))
{
    if (g_signalPipe[0] >= 0 || ::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        if (g_signalPipe[0] < 0)
            qWarning("no pipe for the termination signals: %s", strerror(errno));
        return;
    }
    m_catching = true;
    m_notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::onReadable);

    struct sigaction action = {};
    action.sa_handler = writeSignalNumber;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, &m_previousTerm);
    ::sigaction(SIGINT, &action, &m_previousInt);
    m_restored = false;
}

TerminationSignals::~TerminationSignals()
{
    if (!m_catching)
        return;
    restoreDispositions();
    delete m_notifier;
    ::close(g_signalPipe[0]);
    ::close(g_signalPipe[1]);
    g_signalPipe[0] = g_signalPipe[1] = -1;
}

void TerminationSignals::restoreDispositions()
{
    if (m_restored)
        return;
    ::sigaction(SIGTERM, &m_previousTerm, nullptr);
    ::sigaction(SIGINT, &m_previousInt, nullptr);
    m_restored = true;
}

void TerminationSignals::onReadable()
{
    unsigned char byte = 0;
    if (::read(g_signalPipe[0], &byte, 1) != 1)
        return;
    if (m_restored)
        return; // a signal already being handled
    restoreDispositions();
    if (m_onSignal)
        m_onSignal(byte);
}
