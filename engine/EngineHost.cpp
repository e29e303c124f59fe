#include "engine/EngineHost.h"

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
    return demoMode && demoMode();
}

void EngineHost::log(const QString &text) const
{
    if (appendLog)
        appendLog(text);
}

void EngineHost::reservationLog(const QString &text) const
{
    if (appendReservationLog)
        appendReservationLog(text);
}

QString EngineHost::text(const QString &key) const
{
    return languageText ? languageText(key) : key;
}

void EngineHost::showStatus(const QString &key) const
{
    showStatusText(text(key));
}

void EngineHost::showStatusText(const QString &text) const
{
    if (setStatusText)
        setStatusText(text);
}

bool EngineHost::isTestPageShown() const
{
    return testPageShown && testPageShown();
}

QStringList EngineHost::sourceFilterGroups() const
{
    return filterGroupTexts ? filterGroupTexts() : QStringList();
}

std::vector<UtFilterHost> EngineHost::sourceFilterHosts() const
{
    return filterAddressSettings ? filterAddressSettings() : std::vector<UtFilterHost>();
}
