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

const QString StartupServices::ServerProgramName = QStringLiteral("KvServerAP");

QString StartupServices::appDirectory()
{
    return GetAppDirectory();
}

bool StartupServices::packetCaptureInstalled()
{
    return IsWinPcapInstalled();
}

bool StartupServices::lockSingleInstance()
{
    return m_instanceLock.tryLock(QFileInfo(QCoreApplication::applicationFilePath()).fileName());
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

LaunchResult StartupServices::startServer()
{
    QString program = appDirectory() + ServerProgramName;
    if (!QFileInfo::exists(program)) {
        const QString onPath = QStandardPaths::findExecutable(ServerProgramName);
        if (!onPath.isEmpty())
            program = onPath;
    }
    return launchDetached(program);
}

bool StartupServices::serverWindowExists()
{
    return acceptsConnections(QStringLiteral("127.0.0.1"), KvClient::instance().serverPort());
}

int StartupServices::runSelectConfig(QWidget *parent)
{
    CSelectConfigDlg dialog(parent);
    return dialog.exec();
}
