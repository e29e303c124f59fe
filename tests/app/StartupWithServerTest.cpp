// Start-up and close-down against the real chassis simulator: in-process on a free loopback port, and
// as the server program that start-up launches itself.
#include "ShellTestSupport.h"

#include "app/KvIGMPTQApp.h"
#include "app/MMStatusBar.h"
#include "app/MainFrame.h"
#include "app/SelectConfigDlg.h"
#include "app/ToolBarDlg.h"
#include "controls/widgets/ButtonST.h"
#include "engine/EngineUtils.h"
#include "engine/PortSet.h"
#include "kvserver/KvServer.h"
#include "platform/ProcessList.h"
#include "platform/ScriptedPrompter.h"
#include "platform/ServerConnectDialog.h"
#include "platform/ServerProbe.h"
#include "platform/kvapi/KvClient.h"

#include <QDeadlineTimer>
#include <QPushButton>
#include <QTcpServer>
#include <QTest>
#include <QTimer>
#include <QUuid>
#include <csignal>
#include <gtest/gtest.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

namespace {

// The real machine, but the loopback server chosen without a dialog unless asked for, no start-up choice, a
// lock of the test's own and the program folder a temporary one.
class LoopbackServices : public StartupServices
{
public:
    explicit LoopbackServices(QString directory) : directory(std::move(directory)) {}
    QString directory;
    std::function<bool()> processRunning;

    QString appDirectory() override { return directory; }
    SingleInstanceLock::Result lockSingleInstance(QString *) override
    {
        return lock.tryLock(QStringLiteral("kvtest-") + QUuid::createUuid().toString(QUuid::Id128));
    }
    int showConnectDialog(std::uint8_t *answer, bool chinese) override
    {
        if (throughDialog)
            return StartupServices::showConnectDialog(answer, chinese);
        KvConnectAnswer chosen = {1, {{{address[0], address[1], address[2], address[3]}, 1}}, {}};
        std::memcpy(answer, &chosen, sizeof chosen);
        return 1;
    }
    bool throughDialog = false;
    std::uint8_t address[4] = {127, 0, 0, 1};
    bool serverProcessRunning() override
    {
        return processRunning ? processRunning() : StartupServices::serverProcessRunning();
    }
    int runSelectConfig(QWidget *parent) override
    {
        return realStartupChoice ? StartupServices::runSelectConfig(parent) : -1;
    }
    bool realStartupChoice = false;

    SingleInstanceLock lock;
};

std::uint16_t freeLoopbackPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return std::uint16_t(probe.serverPort());
}

// The first IPv4 address of this machine's interfaces that is not loopback, empty when it has none.
QString ownNetworkAddress(std::uint8_t (&bytes)[4])
{
    ifaddrs *list = nullptr;
    if (::getifaddrs(&list) != 0)
        return QString();
    QString found;
    for (const ifaddrs *entry = list; entry && found.isEmpty(); entry = entry->ifa_next) {
        if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_INET || (entry->ifa_flags & IFF_LOOPBACK) ||
            !(entry->ifa_flags & IFF_UP))
            continue;
        const auto *in = reinterpret_cast<const sockaddr_in *>(entry->ifa_addr);
        std::memcpy(bytes, &in->sin_addr, 4);
        found = QString::asprintf("%d.%d.%d.%d", bytes[0], bytes[1], bytes[2], bytes[3]);
    }
    ::freeifaddrs(list);
    return found;
}

class ServerStartupTest : public testing::Test
{
protected:
    ~ServerStartupTest() override
    {
        KvClient::instance().setServerPort(0);
        Kv_SYS_TerminateProcess();
    }
    // Starts the server in this process on a free loopback port, the one the client connects to.
    static void startInProcess(KvServer &server)
    {
        std::string error;
        ASSERT_TRUE(server.listen(0, "127.0.0.1", error)) << error;
        server.start();
        KvClient::instance().setServerPort(server.port());
    }
    // Start-up services that find the server of this process running.
    std::unique_ptr<LoopbackServices> inProcessServices() const
    {
        auto services = std::make_unique<LoopbackServices>(folder.path());
        services->processRunning = [] { return true; };
        return services;
    }

    ShellGlobalsGuard guard;
    TempProgramFolder folder;
    ScriptedPrompter prompter;
};

} // namespace

TEST_F(ServerStartupTest, RunningServerGivesHardwareModeAndCloseDownReleasesAndDisconnects)
{
    KvServer server;
    ASSERT_NO_FATAL_FAILURE(startInProcess(server));
    auto services = inProcessServices();
    services->throughDialog = true;
    // The user accepts the proposed address in the connection dialog.
    QTimer connectClicker;
    QObject::connect(&connectClicker, &QTimer::timeout, [] {
        if (auto *dialog = qobject_cast<ServerConnectDialog *>(QApplication::activeModalWidget()))
            dialog->connectButton()->click();
    });
    connectClicker.start(20);
    CKvIGMPTQApp app(std::move(services));
    ASSERT_TRUE(app.InitInstance()) << prompter.messages().join(u'|').toStdString();
    connectClicker.stop();
    EXPECT_EQ(app.ServerAddress, QStringLiteral("127.0.0.1"));
    EXPECT_EQ(app.DemoMode, 0u);
    EXPECT_EQ(g_Session.InventoryReady, 1);
    EXPECT_GT(g_Session.PortCount, 0);
    EXPECT_EQ(g_ServerOnThisMachine, 1);
    EXPECT_EQ(g_Session.ChassisModelName, QStringLiteral("QM-C4"));
    ASSERT_NE(app.MainFrame(), nullptr);
    EXPECT_TRUE(app.MainFrame()->isVisible());
    EXPECT_EQ(app.MainFrame()->StatusBar->PaneText(1), QStringLiteral("Connected"));
    EXPECT_TRUE(prompter.messages().isEmpty());
    EXPECT_EQ(server.clientCount(), 1);

    prompter.queueAnswer(IDYES); // close
    prompter.queueAnswer(IDNO);  // keep the server running
    EXPECT_TRUE(app.MainFrame()->close());
    EXPECT_EQ(prompter.messages(), (QStringList{g_LangMag.GetString(QStringLiteral("Note_Close_Client")),
                                                g_LangMag.GetString(QStringLiteral("Note_Close_Kvserver"))}));
    EXPECT_FALSE(KvClient::instance().isConnected());
    EXPECT_TRUE(server.isRunning());
    server.stop();
}

TEST_F(ServerStartupTest, LoopbackWithoutARunningServerStartsTheServerProgram)
{
    const std::uint16_t port = freeLoopbackPort();
    qputenv("KV_SERVER_PORT", QByteArray::number(port));
    KvClient::instance().setServerPort(0);
    ASSERT_EQ(KvClient::instance().serverPort(), port);
    // The server program beside this test program, reached from the temporary program folder.
    ASSERT_TRUE(QFile::link(GetAppDirectory() + QStringLiteral("KvServerAP"), folder.path() + "KvServerAP"));

    auto services = std::make_unique<LoopbackServices>(folder.path());
    // Only our own server counts: other tests may run servers of their own on other ports.
    services->processRunning = [port] {
        return isProcessRunning(StartupServices::ServerProgramName) &&
               acceptsConnections(QStringLiteral("127.0.0.1"), port);
    };
    CKvIGMPTQApp app(std::move(services));
    const bool started = app.InitInstance();
    const bool hardware = app.DemoMode == 0;
    // Stop the server we started, whatever happened.
    const char loopback[32] = "127.0.0.1";
    if (KvClient::instance().isConnected() || Kv_SYS_ConnectToServer(loopback))
        Kv_SYS_TerminateServer();
    qunsetenv("KV_SERVER_PORT");

    ASSERT_TRUE(started) << prompter.messages().join(u'|').toStdString();
    EXPECT_TRUE(hardware);
    EXPECT_TRUE(prompter.messages().isEmpty());
    EXPECT_EQ(g_ServerOnThisMachine, 1);
    EXPECT_GT(g_Session.PortCount, 0);
}

// One of this host's own network addresses is a local server too: start-up launches the server
// program listening there, waits for it there and connects there.
TEST_F(ServerStartupTest, OwnNetworkAddressStartsTheServerThereAndConnects)
{
    std::uint8_t bytes[4] = {};
    const QString address = ownNetworkAddress(bytes);
    if (address.isEmpty())
        GTEST_SKIP() << "this machine has no IPv4 address besides loopback";
    const std::uint16_t port = freeLoopbackPort();
    qputenv("KV_SERVER_PORT", QByteArray::number(port));
    KvClient::instance().setServerPort(0);
    ASSERT_TRUE(QFile::link(GetAppDirectory() + QStringLiteral("KvServerAP"), folder.path() + "KvServerAP"));

    auto services = std::make_unique<LoopbackServices>(folder.path());
    std::copy(std::begin(bytes), std::end(bytes), services->address);
    services->processRunning = [port, address] {
        return isProcessRunning(StartupServices::ServerProgramName) && acceptsConnections(address, port);
    };
    CKvIGMPTQApp app(std::move(services));
    const bool started = app.InitInstance();
    const bool hardware = app.DemoMode == 0;
    // Stop the server we started, whatever happened.
    char at[32] = {};
    std::memcpy(at, address.toLatin1().constData(), size_t(address.size()));
    if (KvClient::instance().isConnected() || Kv_SYS_ConnectToServer(at))
        Kv_SYS_TerminateServer();
    qunsetenv("KV_SERVER_PORT");

    ASSERT_TRUE(started) << prompter.messages().join(u'|').toStdString();
    EXPECT_TRUE(hardware);
    EXPECT_TRUE(prompter.messages().isEmpty()) << prompter.messages().join(u'|').toStdString();
    EXPECT_EQ(app.ServerAddress, address);
    EXPECT_EQ(g_ServerOnThisMachine, 1);
    EXPECT_GT(g_Session.PortCount, 0);
}

namespace {

// Lets the event loop run until the condition holds or a generous time has passed.
bool eventuallyTrue(const std::function<bool()> &condition)
{
    QDeadlineTimer deadline(20000);
    while (!condition() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    return condition();
}

} // namespace

// Ended by a signal, the program releases its ports and stops the server on this machine that serves it
// alone, as Exit does, but asks nothing.
TEST_F(ServerStartupTest, TerminationSignalClosesDownAndStopsTheServerWithoutAsking)
{
    for (const int signal : {SIGTERM, SIGINT}) {
        KvServer server;
        ASSERT_NO_FATAL_FAILURE(startInProcess(server));
        auto services = inProcessServices();
        CKvIGMPTQApp app(std::move(services));
        ASSERT_TRUE(app.InitInstance()) << prompter.messages().join(u'|').toStdString();
        ASSERT_EQ(g_ServerOnThisMachine, 1);
        ASSERT_EQ(server.clientCount(), 1);

        ASSERT_EQ(::raise(signal), 0);
        EXPECT_TRUE(eventuallyTrue([&] { return !server.isRunning(); })) << signal;
        EXPECT_FALSE(KvClient::instance().isConnected());
        EXPECT_TRUE(prompter.messages().isEmpty()) << prompter.messages().join(u'|').toStdString();
        EXPECT_TRUE(app.MainFrame()->close()) << "the close-down is done";
        server.stop();
    }
}

// SIGTERM while the start-up choice is on show ends the program there: the dialog closes, start-up goes
// no further, and the server on this machine that serves it alone stops.
TEST_F(ServerStartupTest, TerminationSignalDuringTheStartupChoiceEndsTheProgramAndItsServer)
{
    KvServer server;
    ASSERT_NO_FATAL_FAILURE(startInProcess(server));
    auto services = inProcessServices();
    services->realStartupChoice = true;
    bool raised = false;
    QTimer signaller;
    QObject::connect(&signaller, &QTimer::timeout, [&] {
        if (!raised && qobject_cast<CSelectConfigDlg *>(QApplication::activeModalWidget()))
            raised = ::raise(SIGTERM) == 0;
    });
    signaller.start(20);
    // Should the signal leave the dialog open, it is closed after a while so that the test ends.
    QTimer giveUp;
    giveUp.setSingleShot(true);
    QObject::connect(&giveUp, &QTimer::timeout, [] {
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
            dialog->reject();
    });
    giveUp.start(20000);
    CKvIGMPTQApp app(std::move(services));
    EXPECT_FALSE(app.InitInstance());
    signaller.stop();
    giveUp.stop();
    EXPECT_TRUE(raised);
    EXPECT_TRUE(eventuallyTrue([&] { return !server.isRunning(); }));
    EXPECT_FALSE(KvClient::instance().isConnected());
    EXPECT_TRUE(prompter.messages().isEmpty()) << prompter.messages().join(u'|').toStdString();
    server.stop();
}

// A server that goes away leaves the program disconnected with Reconnect on offer; pressing it connects
// again, takes the program's ports back and says so.
TEST_F(ServerStartupTest, LostConnectionOffersReconnectWhichConnectsAgain)
{
    auto server = std::make_unique<KvServer>();
    std::string error;
    ASSERT_TRUE(server->listen(0, "127.0.0.1", error)) << error;
    const std::uint16_t port = server->port();
    server->start();
    KvClient::instance().setServerPort(port);
    auto services = std::make_unique<LoopbackServices>(folder.path());
    services->processRunning = [] { return true; };
    CKvIGMPTQApp app(std::move(services));
    ASSERT_TRUE(app.InitInstance()) << prompter.messages().join(u'|').toStdString();
    CMainFrame *frame = app.MainFrame();
    CToolBarDlg *bar = frame->ToolBar;
    EXPECT_FALSE(bar->Reconnect->isEnabled());
    g_Session.LockedFlags[0] = 1;
    ASSERT_NE(Kv_LockPortStatus(BuildLockedPortSets(g_Session).Sets().begin()->second.Set), 0);

    server->stop();
    server.reset();
    ASSERT_TRUE(eventuallyTrue([&] { return bar->Reconnect->isEnabled(); }));
    EXPECT_EQ(frame->StatusBar->PaneText(1), QStringLiteral("Disconnected"));

    // Pressed while no server answers: it says so and stays on offer.
    KvClient::instance().setReplyTimeout(std::chrono::milliseconds(200));
    QTest::mouseClick(bar->Reconnect, Qt::LeftButton);
    EXPECT_EQ(prompter.messages(),
              QStringList{g_LangMag.GetString(QStringLiteral("Note_Connect_Server_Fail"))});
    EXPECT_TRUE(bar->Reconnect->isEnabled());

    KvServer again;
    ASSERT_TRUE(again.listen(port, "127.0.0.1", error)) << error;
    again.start();
    QTest::mouseClick(bar->Reconnect, Qt::LeftButton);
    EXPECT_EQ(prompter.messages().last(), QStringLiteral("Connection has been re-established!"));
    EXPECT_FALSE(bar->Reconnect->isEnabled());
    EXPECT_EQ(frame->StatusBar->PaneText(1), QStringLiteral("Connected"));
    EXPECT_TRUE(KvClient::instance().isConnected());
    EXPECT_EQ(g_Session.LockedFlags[0], 1) << "the port is this program's again";
    EXPECT_EQ(again.clientCount(), 1);
    KvClient::instance().setReplyTimeout(KvClient::DefaultReplyTimeout);
    Kv_SYS_TerminateProcess();
    again.stop();
}
