// What start-up asks of the machine: the packet-capture library, the single-instance lock, the server
// connection dialog, this host's addresses, the local server's process, and the start-up choice. Each
// is a virtual with the real behaviour, so that tests can stand in for any of them.
#pragma once

#include "platform/ProgramLauncher.h"
#include "platform/SingleInstanceLock.h"

#include <QString>
#include <QStringList>
#include <cstdint>

class QWidget;

class StartupServices
{
public:
    virtual ~StartupServices() = default;

    // The program folder (with a trailing '/'): Setting.ini, Language/ and the server program.
    virtual QString appDirectory();
    virtual bool packetCaptureInstalled();
    // Takes the lock of the executable's name; on failure *error says why.
    virtual SingleInstanceLock::Result lockSingleInstance(QString *error);
    // The connection dialog: fills the 256-byte answer; 1 connect, 0 demo, -1 cancel.
    virtual int showConnectDialog(std::uint8_t *answer, bool chinese);
    virtual QStringList localAddresses();
    virtual bool serverProcessRunning();
    // Starts the server program from the program folder, else from the PATH, listening on the address
    // (one of this host's own).
    virtual LaunchResult startServer(const QString &address);
    // The server accepts connections on its port at the address.
    virtual bool serverWindowExists(const QString &address);
    // Ends the server that startServer started, if any; a server started by anyone else stays.
    virtual void stopStartedServer();
    // The start-up choice: 1 open a configuration, 2 create one, -1 neither.
    virtual int runSelectConfig(QWidget *parent);

    static const QString ServerProgramName;

private:
    SingleInstanceLock m_instanceLock;
    qint64 m_startedServer = 0;
};
