#include "engine/EngineHost.h"

#include <cerrno>
#include <utility>

EngineHost &EngineHost::instance()
{
    static EngineHost host;
    return host;
}

void EngineHost::reset()
{
    // The pages stay installed: they take themselves out when they go.
    CapacityPageHooks *const capacity = capacityPage;
    JoinLeavePageHooks *const joinLeave = joinLeavePage;
    EngineHost kept;
    if (filterPage) {
        kept.filterGroupTexts = std::move(filterGroupTexts);
        kept.filterAddressSettings = std::move(filterAddressSettings);
        kept.filterPage = filterPage;
    }
    *this = std::move(kept);
    capacityPage = capacity;
    joinLeavePage = joinLeave;
}

bool EngineHost::isDemoMode() const
{
    return demoMode && demoMode();
}

bool EngineHost::isTestRunning() const
{
    return testRunning && testRunning();
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

QString EngineHost::saveFailureText(const QString &key, const SaveResult &result) const
{
    QString reason;
    switch (result.error) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        reason = text(QStringLiteral("Save_Reason_Disk_Full"));
        break;
    case EACCES:
    case EPERM:
        reason = text(QStringLiteral("Save_Reason_Permission"));
        break;
    case EROFS:
        reason = text(QStringLiteral("Save_Reason_Read_Only"));
        break;
    case EISDIR:
        reason = text(QStringLiteral("Save_Reason_Folder"));
        break;
    default:
        reason = result.reason();
        break;
    }
    return text(key) + QLatin1Char('\n') + reason;
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

CIGMPTestPlan *EngineHost::testPlan() const
{
    return planSource ? planSource() : nullptr;
}

QStringList EngineHost::sourceFilterGroups() const
{
    return filterGroupTexts ? filterGroupTexts() : QStringList();
}

std::vector<UtFilterHost> EngineHost::sourceFilterHosts() const
{
    return filterAddressSettings ? filterAddressSettings() : std::vector<UtFilterHost>();
}

QString EngineHost::testerName() const
{
    return testerNameSource ? testerNameSource() : QString();
}

QString EngineHost::dutName() const
{
    return dutNameSource ? dutNameSource() : QString();
}

void EngineHost::runBusyDialog(const QString &text, std::uint32_t seconds, std::function<void()> job) const
{
    if (busyDialog)
        busyDialog(text, seconds, std::move(job));
    else if (job)
        job();
}

void EngineHost::closeBusyDialog() const
{
    if (busyDialogClose)
        busyDialogClose();
}
