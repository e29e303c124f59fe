// What the engine needs of the application around it: the demo-mode flag, the test log, the
// reservation log, the frame's status text, the language texts, whether a test page is on show, the
// test plan, the Source Filter page's address settings, the Group Capacity and Join/Leave pages' results
// and the busy dialog. The application installs its sinks at start-up, the test pages wire their own parts
// and tests wire their own; a sink that is not set does nothing (demo mode off, a key stands for its text,
// a busy job runs at once).
#pragma once

#include "engine/TestPageHooks.h"
#include "engine/TestPlanRecords.h"
#include "platform/FileSave.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <vector>

class CIGMPTestPlan;

class EngineHost
{
public:
    static EngineHost &instance();

    // Back to the unwired state, but for the test pages, which are installed while they exist.
    void reset();

    bool isDemoMode() const;
    // True while a test runs.
    bool isTestRunning() const;
    void log(const QString &text) const;
    void reservationLog(const QString &text) const;
    // The language text of a key.
    QString text(const QString &key) const;
    // The language text of a failed save's key and, on the next line, the reason: a full disk, a missing
    // permission, a read-only disk and a folder in the file's place in the language's words, any other in
    // the system's.
    QString saveFailureText(const QString &key, const SaveResult &result) const;
    // The status line shows the language text of the key.
    void showStatus(const QString &key) const;
    // The status line shows the text as it stands.
    void showStatusText(const QString &text) const;
    bool isTestPageShown() const;
    // The test plan the pages read and write; null while none is installed.
    CIGMPTestPlan *testPlan() const;
    QStringList sourceFilterGroups() const;
    std::vector<UtFilterHost> sourceFilterHosts() const;
    // The tester's and the device's names of the report headers; empty while none is installed.
    QString testerName() const;
    QString dutName() const;
    // Runs the busy dialog with the text, its bar filling in `seconds`, and starts the job from inside
    // it; returns once the dialog has closed. Without a driver the job runs at once.
    void runBusyDialog(const QString &text, std::uint32_t seconds, std::function<void()> job) const;
    // Ends the busy dialog the running job was started from; nothing without a driver.
    void closeBusyDialog() const;

    std::function<bool()> demoMode;
    std::function<bool()> testRunning;
    std::function<void(const QString &)> appendLog;
    std::function<void(const QString &)> appendReservationLog;
    std::function<void(const QString &)> setStatusText;
    std::function<QString(const QString &)> languageText;
    // True while the main view shows a test configuration page.
    std::function<bool()> testPageShown;
    // The group list of the Source Filter page ("a.b.c.d" texts, list order).
    std::function<QStringList()> filterGroupTexts;
    // The Source Filter page's per-host address settings.
    std::function<std::vector<UtFilterHost>()> filterAddressSettings;
    // The Source Filter page that installed the two above while it exists; null when they are a test's own.
    const void *filterPage = nullptr;
    // The Group Capacity and Join/Leave pages, installed by the pages themselves.
    CapacityPageHooks *capacityPage = nullptr;
    JoinLeavePageHooks *joinLeavePage = nullptr;
    // The test plan the pages read and write (the application's, or a test's own).
    std::function<CIGMPTestPlan *()> planSource;
    std::function<QString()> testerNameSource;
    std::function<QString()> dutNameSource;
    std::function<void(const QString &, std::uint32_t, std::function<void()>)> busyDialog;
    std::function<void()> busyDialogClose;
};
