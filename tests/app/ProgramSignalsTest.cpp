// The program as a process of its own, started as the user starts it, and the signals it is sent.
#include "common/TestFiles.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#include <string>

namespace {

// Whether the process has a handler of its own for the signal (its "SigCgt" mask).
bool catchesSignal(qint64 pid, int signal)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("SigCgt:", 0) == 0)
            return (std::stoull(line.substr(7), nullptr, 16) >> (signal - 1)) & 1;
    }
    return false;
}

} // namespace

// SIGXFSZ, which the system sends for a write past the file size limit, leaves the program running (the
// write fails and its save reports it), and SIGTERM in the middle of start-up ends it cleanly there.
TEST(ProgramSignals, FileSizeSignalIsIgnoredAndTerminationEndsTheStartup)
{
    QTemporaryDir runtime; // a single-instance lock of its own
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(besideTestProgram(QStringLiteral("KvIGMPTQ")), {});
    ASSERT_TRUE(program.waitForStarted(10000));
    // Start-up has begun once the program catches SIGTERM; it then waits on its first dialog.
    QDeadlineTimer deadline(60000);
    while (!catchesSignal(program.processId(), SIGTERM) && !deadline.hasExpired() &&
           program.state() == QProcess::Running)
        QThread::msleep(20);
    ASSERT_TRUE(catchesSignal(program.processId(), SIGTERM)) << program.readAllStandardError().toStdString();

    ASSERT_EQ(::kill(pid_t(program.processId()), SIGXFSZ), 0);
    ASSERT_EQ(::kill(pid_t(program.processId()), SIGTERM), 0);
    ASSERT_TRUE(program.waitForFinished(30000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << program.readAllStandardError().toStdString();
    EXPECT_EQ(program.exitCode(), 0);
}
