#include "engine/EngineHost.h"

#include "app/LangMag.h"

EngineHost &EngineHost::instance()
{
    static EngineHost host;
    return host;
}

void EngineHost::reset()
{
    *this = EngineHost();
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

void EngineHost::showStatus(const QString &key) const
{
    if (setStatusText)
        setStatusText(g_LangMag.GetString(key));
}

QStringList EngineHost::sourceFilterGroups() const
{
    return filterGroupTexts ? filterGroupTexts() : QStringList();
}

std::vector<UtFilterHost> EngineHost::sourceFilterHosts() const
{
    return filterAddressSettings ? filterAddressSettings() : std::vector<UtFilterHost>();
}
