// What the engine needs of the application around it: the demo-mode flag, the test log, the
// reservation log, the frame's status text and the Source Filter page's address settings. A sink that
// is not set goes to the application itself (CKvIGMPTQApp::DemoMode, the main view's log, pane 0 of the
// frame's status bar); the Source Filter page wires its settings, and tests wire their own sinks.
#pragma once

#include "engine/TestPlanRecords.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class EngineHost
{
public:
    static EngineHost &instance();

    // Back to the unwired state.
    void reset();

    bool isDemoMode() const;
    void log(const QString &text) const;
    void reservationLog(const QString &text) const;
    // The status line shows the language text of the key.
    void showStatus(const QString &key) const;
    // The status line shows the text as it stands.
    void showStatusText(const QString &text) const;
    // The text of a key in the current language file.
    QString languageText(const QString &key) const;
    QStringList sourceFilterGroups() const;
    std::vector<UtFilterHost> sourceFilterHosts() const;

    std::function<bool()> demoMode;
    std::function<void(const QString &)> appendLog;
    std::function<void(const QString &)> appendReservationLog;
    std::function<void(const QString &)> setStatusText;
    // The group list of the Source Filter page ("a.b.c.d" texts, list order).
    std::function<QStringList()> filterGroupTexts;
    // The Source Filter page's per-host address settings.
    std::function<std::vector<UtFilterHost>()> filterAddressSettings;
};
