// Stand-ins for the server and the machine, and a temporary program folder, for the tests of start-up,
// the main frame and the tool bar.
#pragma once

#include "app/HardwareLink.h"
#include "app/KvIGMPTQApp.h"
#include "app/LangMag.h"
#include "app/MainFormView.h"
#include "app/StartupServices.h"
#include "engine/Session.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <optional>
#include <vector>

// Records every hardware call; onCall lets a test play the server's answers (session flags).
class FakeLink : public HardwareLink
{
public:
    FakeLink() : m_previous(HardwareLink::install(this)) {}
    ~FakeLink() override { HardwareLink::install(m_previous); }
    FakeLink(const FakeLink &) = delete;
    FakeLink &operator=(const FakeLink &) = delete;

    QStringList calls;
    std::vector<UtPortSet> unlocked;
    std::uint16_t connectResult = 1;
    std::uint16_t eepromResult = 1;
    std::function<void(const QString &)> onCall;

    std::uint16_t ConnectToServer(const char address[32]) override
    {
        connectedTo = QString::fromLatin1(address, qstrnlen(address, 32));
        return record(QStringLiteral("ConnectToServer"), connectResult);
    }
    std::uint16_t TerminateProcess() override { return record(QStringLiteral("TerminateProcess")); }
    std::uint16_t TerminateServer() override { return record(QStringLiteral("TerminateServer")); }
    std::uint16_t QueryNumOfClient() override { return record(QStringLiteral("QueryNumOfClient")); }
    std::uint16_t GetVerNum(char *buffer) override
    {
        qstrcpy(buffer, "2.0.1");
        return record(QStringLiteral("GetVerNum"));
    }
    std::uint16_t UnLockPortStatus(UtPortSet ports) override
    {
        unlocked.push_back(ports);
        return record(QStringLiteral("UnLockPortStatus"));
    }
    std::uint16_t QMC2_BoardStatus(std::uint16_t, std::uint8_t, std::uint8_t) override
    {
        return record(QStringLiteral("QMC2_BoardStatus"));
    }
    std::uint16_t QMC4_BoardStatus(std::uint16_t, std::uint8_t, std::uint8_t) override
    {
        return record(QStringLiteral("QMC4_BoardStatus"));
    }
    std::uint16_t QMC6_BoardStatus(std::uint16_t, std::uint8_t, std::uint8_t) override
    {
        return record(QStringLiteral("QMC6_BoardStatus"));
    }
    std::uint16_t QMC2_93C56_Read(std::uint16_t, std::uint8_t, std::uint8_t) override
    {
        return record(QStringLiteral("QMC2_93C56_Read"), eepromResult);
    }
    std::uint16_t QMC4_93C56_Read(std::uint16_t, std::uint8_t, std::uint8_t, std::uint32_t) override
    {
        return record(QStringLiteral("QMC4_93C56_Read"), eepromResult);
    }
    std::uint16_t QMC6_93C56_Read(std::uint16_t, std::uint8_t, std::uint8_t, std::uint32_t) override
    {
        return record(QStringLiteral("QMC6_93C56_Read"), eepromResult);
    }

    QString connectedTo;

private:
    std::uint16_t record(const QString &name, std::uint16_t result = 1)
    {
        calls << name;
        if (onCall)
            onCall(name);
        return result;
    }

    HardwareLink *m_previous;
};

// A program folder of its own: Setting.ini and copies of the two language files.
class TempProgramFolder
{
public:
    explicit TempProgramFolder(const QByteArray &settings = "[Language]\nSelLangFile=LangEng.lng\n")
    {
        QDir(m_dir.path()).mkdir(QStringLiteral("Language"));
        for (const char *name : {"LangEng.lng", "LangChs.lng"})
            QFile::copy(QStringLiteral(KV_SOURCE_DIR "/resources/Language/") + QLatin1String(name),
                        m_dir.filePath(QStringLiteral("Language/") + QLatin1String(name)));
        QFile file(settingsPath());
        file.open(QIODevice::WriteOnly);
        file.write(settings);
    }
    QString path() const { return m_dir.path() + u'/'; }
    QString settingsPath() const { return m_dir.filePath(QStringLiteral("Setting.ini")); }
    QString languageFile(const char *name) const
    {
        return path() + QStringLiteral("Language/") + QLatin1String(name);
    }

private:
    QTemporaryDir m_dir;
};

// Every start-up question of the machine answered by the test.
class FakeServices : public StartupServices
{
public:
    explicit FakeServices(QString directory) : directory(std::move(directory)) {}

    QString directory;
    bool pcap = true;
    // Empty: the real lock of the executable's name.
    std::optional<SingleInstanceLock::Result> lockResult = SingleInstanceLock::Result::Locked;
    int dialogResult = 1;
    std::uint8_t address[4] = {127, 0, 0, 1};
    QStringList addresses{QStringLiteral("127.0.0.1"), QStringLiteral("10.1.2.3")};
    bool processRunning = false;
    LaunchResult launch = LaunchResult::Started;
    bool windowExists = true;
    int selectConfig = -1;
    QStringList calls;

    QString appDirectory() override { return directory; }
    bool packetCaptureInstalled() override { return pcap; }
    SingleInstanceLock::Result lockSingleInstance(QString *error) override
    {
        calls << QStringLiteral("lock");
        return lockResult ? *lockResult : StartupServices::lockSingleInstance(error);
    }
    int showConnectDialog(std::uint8_t *answer, bool chinese) override
    {
        calls << (chinese ? QStringLiteral("dialog(chinese)") : QStringLiteral("dialog"));
        answer[0] = 1; // one entry, chosen
        std::copy(std::begin(address), std::end(address), answer + 4);
        answer[8] = 1;
        return dialogResult;
    }
    QStringList localAddresses() override { return addresses; }
    bool serverProcessRunning() override
    {
        calls << QStringLiteral("process");
        return processRunning;
    }
    LaunchResult startServer(const QString &address) override
    {
        calls << QStringLiteral("start");
        startAddress = address;
        processRunning = launch == LaunchResult::Started;
        started = processRunning;
        return launch;
    }
    bool serverWindowExists(const QString &) override { return windowExists; }
    void stopStartedServer() override
    {
        if (started)
            calls << QStringLiteral("stop");
        started = false;
    }
    QString startAddress;
    bool started = false;
    // Also starts recording the commands the view receives from here on.
    int runSelectConfig(QWidget *) override
    {
        calls << QStringLiteral("select");
        if (g_MainView)
            QObject::connect(g_MainView, &CMainFormView::commandReceived, g_MainView,
                             [this](int command) { viewCommands << command; });
        return selectConfig;
    }
    QList<int> viewCommands;
};

// Puts the session, the language and the globals the shell reads back as a test found them.
struct ShellGlobalsGuard
{
    ShellGlobalsGuard() : language(g_LangMag.GetLangFile())
    {
        resetGlobals();
        QApplication::setQuitOnLastWindowClosed(false);
    }
    ~ShellGlobalsGuard()
    {
        resetGlobals();
        g_LangMag.SetLangFile(language);
    }
    static void resetGlobals()
    {
        g_Session.resetTables();
        g_IsRunning = 0;
        g_Reconnected = 0;
        g_ServerOnThisMachine = 0;
    }
    QString language;
};
