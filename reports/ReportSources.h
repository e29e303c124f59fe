// What the report writers read of the windows outside the report window: the run's start time, the
// main frame's module information window and the main view's system information and port settings
// pages. The application installs them at start-up and tests install their own; a source that is not
// installed gives nothing, and the report leaves its part empty.
#pragma once

#include <QDateTime>
#include <functional>

class CModuleInfodlg;
class CPortInfoConfig;
class CSysInfoDlg;
class QWidget;

class ReportSources
{
public:
    static ReportSources &instance();
    // Back to nothing installed.
    void reset();

    // The local time at which the last run started.
    std::function<QDateTime()> runStartTime;
    // The module information window the main frame keeps, made with this parent when it has none yet.
    std::function<CModuleInfodlg *(QWidget *parent)> moduleInfoWindow;
    // That window with what the chassis reports now, read afresh (demo mode: its fixed values), so that
    // a report does not depend on the windows opened before; null when none is installed.
    CModuleInfodlg *readModuleInfo(QWidget *parent) const;
    std::function<CSysInfoDlg *()> systemInfoPage;
    std::function<CPortInfoConfig *()> portInfoPage;
};
