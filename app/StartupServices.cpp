#include "app/StartupServices.h"

#include "app/SelectConfigDlg.h"
#include "engine/EngineUtils.h"
#include "platform/HostAddresses.h"
#include "platform/ProcessList.h"
#include "platform/ServerConnectDialog.h"
#include "platform/ServerProbe.h"
#include "platform/kvapi/KvClient.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStandardPaths>

#include <csignal>

const QString StartupServices::ServerProgramName = QStringLiteral("KvServerAP");

QString StartupServices::appDirectory()
{
    return GetAppDirectory();
}

bool StartupServices::packetCaptureInstalled()
{
    return IsWinPcapInstalled();
}

SingleInstanceLock::Result StartupServices::lockSingleInstance(QString *error)
{
    const SingleInstanceLock::Result result =
        m_instanceLock.tryLock(QFileInfo(QCoreApplication::applicationFilePath()).fileName());
    *error = m_instanceLock.error();
    return result;
}

int StartupServices::showConnectDialog(std::uint8_t *answer, bool chinese)
{
    return KvAPI_ShowConnectDlg(answer, 1, chinese ? 1 : 0);
}

QStringList StartupServices::localAddresses()
{
    return hostIPv4Addresses();
}

bool StartupServices::serverProcessRunning()
{
    return isProcessRunning(ServerProgramName);
}

LaunchResult StartupServices::startServer(const QString &address)
{
    QString program = appDirectory() + ServerProgramName;
    if (!QFileInfo::exists(program)) {
        const QString onPath = QStandardPaths::findExecutable(ServerProgramName);
        if (!onPath.isEmpty())
            program = onPath;
    }
    QStringList arguments;
    if (address != QStringLiteral("127.0.0.1"))
        arguments << QStringLiteral("--listen") << address;
    qint64 pid = 0;
    const LaunchResult result = launchDetached(program, arguments, &pid);
    if (result == LaunchResult::Started)
        m_startedServer = pid;
    return result;
}

bool StartupServices::serverWindowExists(const QString &address)
{
    return acceptsConnections(address, KvClient::instance().serverPort());
}

void StartupServices::stopStartedServer()
{
    if (m_startedServer > 0)
        ::kill(pid_t(m_startedServer), SIGTERM);
    m_startedServer = 0;
}

int StartupServices::runSelectConfig(QWidget *parent)
{
    CSelectConfigDlg dialog(parent);
    return dialog.exec();
}
