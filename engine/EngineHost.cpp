#include "engine/EngineHost.h"

#include "app/KvIGMPTQApp.h"
#include "app/LangMag.h"
#include "app/MMStatusBar.h"
#include "app/MainFormView.h"
#include "app/MainFrame.h"

EngineHost &EngineHost::instance()
{
    static EngineHost host;
    return host;
}

void EngineHost::reset()
{
    *this = EngineHost();
}

bool EngineHost::isDemoMode() const
{
    if (demoMode)
        return demoMode();
    return g_App && g_App->DemoMode != 0;
}

void EngineHost::log(const QString &text) const
{
    if (appendLog)
        appendLog(text);
    else if (g_MainView)
        CMainFormView::AppendLog(g_MainView, text);
}

void EngineHost::reservationLog(const QString &text) const
{
    if (appendReservationLog)
        appendReservationLog(text);
    else if (g_MainView)
        CMainFormView::AppendLog(g_MainView, text);
}

void EngineHost::showStatus(const QString &key) const
{
    showStatusText(languageText(key));
}

QString EngineHost::languageText(const QString &key) const
{
    return g_LangMag.GetString(key);
}

void EngineHost::showStatusText(const QString &text) const
{
    if (setStatusText)
        setStatusText(text);
    else if (g_MainFrame && g_MainFrame->StatusBar)
        g_MainFrame->StatusBar->SetPaneText(0, text);
}

QStringList EngineHost::sourceFilterGroups() const
{
    return filterGroupTexts ? filterGroupTexts() : QStringList();
}

std::vector<UtFilterHost> EngineHost::sourceFilterHosts() const
{
    return filterAddressSettings ? filterAddressSettings() : std::vector<UtFilterHost>();
}
