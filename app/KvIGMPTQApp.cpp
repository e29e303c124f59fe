#include "app/KvIGMPTQApp.h"

#include "app/AboutDlg.h"
#include "app/AppSettings.h"
#include "app/HardwareLink.h"
#include "app/LangMag.h"
#include "app/MMStatusBar.h"
#include "app/MainFormView.h"
#include "app/MainFrame.h"
#include "app/ProgressInfoBar.h"
#include "app/StartupServices.h"
#include "app/SystemRequirements.h"
#include "app/TerminationSignals.h"
#include "engine/EngineHost.h"
#include "engine/EngineUtils.h"
#include "engine/HardwareInfo.h"
#include "engine/Session.h"
#include "platform/Prompter.h"
#include "platform/ServerConnectDialog.h"
#include "platform/kvapi/KvClient.h"
#include "ports/ModuleInfodlg.h"
#include "reports/ReportSources.h"

#include <QApplication>
#include <QDialog>
#include <cstring>

using namespace std::chrono_literals;

CKvIGMPTQApp *g_App = nullptr;
std::uint32_t g_IsRunning = 0;
std::uint32_t g_Reconnected = 0;
std::uint8_t g_ServerOnThisMachine = 0;

namespace {

const QString kDemoQuestion = QStringLiteral("Can't connect to server\nDo you want to run in Demo mode?");
constexpr int kServerWaitPasses = 100;
constexpr int kInventoryWaitPasses = 100;
constexpr int kEepromTries = 5;

QString launchFailureText(LaunchResult result)
{
    switch (result) {
    case LaunchResult::OutOfResources:
        return QStringLiteral("The system is out of memory or resources.");
    case LaunchResult::FileNotFound:
        return QStringLiteral("ERROR_FILE_NOT_FOUND");
    case LaunchResult::PathNotFound:
        return QStringLiteral("ERROR_PATH_NOT_FOUND");
    case LaunchResult::BadFormat:
        return QStringLiteral("ERROR_BAD_FORMAT");
    case LaunchResult::Started:
        break;
    }
    return QString();
}

// The address of the first entry marked as chosen, empty when none is.
QString chosenAddress(const KvConnectAnswer &answer)
{
    const int count = std::clamp<int>(answer.Count, 0, int(std::size(answer.Entries)));
    for (int i = 0; i < count; ++i) {
        const KvConnectAnswerEntry &entry = answer.Entries[i];
        if (entry.Chosen == 1)
            return QString::asprintf("%d.%d.%d.%d", entry.Address[0], entry.Address[1], entry.Address[2],
                                     entry.Address[3]);
    }
    return QString();
}

// What the engine tells the user goes to the main view's log and the frame's status line, in the
// chosen language; it asks the application for the mode and the view for the page on show.
void installEngineSinks()
{
    EngineHost &host = EngineHost::instance();
    host.demoMode = [] { return g_App && g_App->DemoMode != 0; };
    host.testRunning = [] { return g_IsRunning != 0; };
    host.appendLog = [](const QString &text) { CMainFormView::AppendLog(g_MainView, text); };
    host.appendReservationLog = host.appendLog;
    host.setStatusText = [](const QString &text) {
        if (g_MainFrame && g_MainFrame->StatusBar)
            g_MainFrame->StatusBar->SetPaneText(0, text);
    };
    host.languageText = [](const QString &key) { return g_LangMag.GetString(key); };
    host.testPageShown = [] { return g_MainView && g_MainView->VisibleTestPage() >= 0; };
    host.planSource = [] { return g_App ? &g_App->TestPlan : nullptr; };
    host.testerNameSource = [] { return g_App ? g_App->TesterName : QString(); };
    host.dutNameSource = [] { return g_App ? g_App->DutName : QString(); };
    // Saving a report runs the writer inside the frame's busy dialog.
    host.busyDialog = [](const QString &text, std::uint32_t seconds, std::function<void()> job) {
        if (!g_ProgressBar || !g_MainFrame) {
            job();
            return;
        }
        g_ProgressBar->Notify = std::move(job);
        g_ProgressBar->SetText(text);
        g_ProgressBar->Count = seconds;
        g_ProgressBar->Start();
    };
    host.busyDialogClose = [] {
        if (g_ProgressBar)
            g_ProgressBar->CloseDialog();
    };
}

// The report writers read the run's start time, the frame's module window and the view's pages.
void installReportSources()
{
    ReportSources &sources = ReportSources::instance();
    sources.runStartTime = [] {
        if (!g_MainView)
            return QDateTime();
        const UtLocalTime &local = g_MainView->StartTime.Local;
        return QDateTime(QDate(local.Year, local.Month, local.Day),
                         QTime(local.Hour, local.Minute, local.Second));
    };
    sources.moduleInfoWindow = [](QWidget *parent) -> CModuleInfodlg * {
        if (!g_MainFrame)
            return nullptr;
        if (!g_MainFrame->ModuleInfoDlg)
            g_MainFrame->ModuleInfoDlg = new CModuleInfodlg(parent);
        return g_MainFrame->ModuleInfoDlg.data();
    };
    sources.systemInfoPage = [] { return g_MainView ? g_MainView->SysInfoPage : nullptr; };
    sources.portInfoPage = [] { return g_MainView ? g_MainView->PortInfoPage : nullptr; };
}

// The management-card calls of each controller family that start-up reads; a lite card has none.
struct ManagementCardFamily
{
    ControllerModel model;
    std::uint16_t (*boardStatus)(HardwareLink &, std::uint16_t, std::uint8_t, std::uint8_t);
    std::uint16_t (*readEeprom)(HardwareLink &, std::uint16_t, std::uint8_t, std::uint8_t);
    const char *chassisModelName;
};

const ManagementCardFamily kManagementCardFamilies[] = {
    {ControllerModel::C4,
     [](HardwareLink &link, std::uint16_t chassis, std::uint8_t card, std::uint8_t port) {
         return link.QMC4_BoardStatus(chassis, card, port);
     },
     [](HardwareLink &link, std::uint16_t chassis, std::uint8_t card, std::uint8_t port) {
         return link.QMC4_93C56_Read(chassis, card, port, 0);
     },
     "QM-C4"},
    {ControllerModel::C2,
     [](HardwareLink &link, std::uint16_t chassis, std::uint8_t card, std::uint8_t port) {
         return link.QMC2_BoardStatus(chassis, card, port);
     },
     [](HardwareLink &link, std::uint16_t chassis, std::uint8_t card, std::uint8_t port) {
         return link.QMC2_93C56_Read(chassis, card, port);
     },
     "QM-C2"},
    {ControllerModel::C6,
     [](HardwareLink &link, std::uint16_t chassis, std::uint8_t card, std::uint8_t port) {
         return link.QMC6_BoardStatus(chassis, card, port);
     },
     [](HardwareLink &link, std::uint16_t chassis, std::uint8_t card, std::uint8_t port) {
         return link.QMC6_93C56_Read(chassis, card, port, 0);
     },
     "QM-C6"},
};

const ManagementCardFamily *managementCardFamily(std::uint8_t model)
{
    for (const ManagementCardFamily &family : kManagementCardFamilies) {
        if (family.model == ControllerModel(model))
            return &family;
    }
    return nullptr;
}

} // namespace

CKvIGMPTQApp::CKvIGMPTQApp(std::unique_ptr<StartupServices> services)
    : m_services(services ? std::move(services) : std::make_unique<StartupServices>())
{
    g_App = this;
    installEngineSinks();
    installReportSources();
}

CKvIGMPTQApp::~CKvIGMPTQApp()
{
    m_terminationSignals.reset();
    KvClient::instance().setBrokenCallback(nullptr);
    m_mainFrame.reset();
    if (g_App == this) {
        g_App = nullptr;
        EngineHost::instance().reset();
        ReportSources::instance().reset();
    }
}

bool CKvIGMPTQApp::askDemoMode()
{
    return startupMessage(kDemoQuestion, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

bool CKvIGMPTQApp::startLocalServer(const QString &address, bool &demoChosen)
{
    demoChosen = false;
    // A server that runs but does not listen at the chosen address cannot be reached there.
    if (!m_services->serverProcessRunning() || !m_services->serverWindowExists(address)) {
        const LaunchResult launched = m_services->startServer(address);
        if (launched != LaunchResult::Started) {
            startupMessage(launchFailureText(launched), MB_OK | MB_ICONEXCLAMATION);
            DemoMode = 1;
        }
    }
    // The wait runs even after a failed start: a server started by someone else still counts.
    for (int pass = 0; pass < kServerWaitPasses; ++pass) {
        if (m_services->serverProcessRunning() && m_services->serverWindowExists(address))
            return startupWait(2s);
        if (!startupWait(200ms))
            return false;
    }
    m_services->stopStartedServer();
    demoChosen = askDemoMode();
    return false;
}

int CKvIGMPTQApp::startupMessage(const QString &text, unsigned type)
{
    return m_endRequested ? IDCANCEL : Prompter::current().messageBox(text, type);
}

bool CKvIGMPTQApp::startupWait(std::chrono::milliseconds duration)
{
    if (!m_endRequested)
        WaitPumping(duration);
    return !m_endRequested;
}

void CKvIGMPTQApp::onTerminationSignal()
{
    if (m_started) {
        if (g_MainFrame)
            g_MainFrame->CloseDownWithoutAsking();
        return;
    }
    m_endRequested = true;
    // The dialog or question that start-up waits on is closed, so that start-up sees the request now.
    for (QWidget *window : QApplication::topLevelWidgets()) {
        auto *dialog = qobject_cast<QDialog *>(window);
        if (dialog && dialog->isVisible() && dialog->isModal())
            dialog->reject();
    }
}

bool CKvIGMPTQApp::endStartupOnSignal()
{
    if (m_mainFrame) {
        m_mainFrame->CloseDownWithoutAsking();
    } else {
        m_services->stopStartedServer();
        HardwareLink::current().TerminateProcess();
    }
    return false;
}

bool CKvIGMPTQApp::InitInstance()
{
    // SIGTERM and SIGINT from the first moment: during start-up they end it at its next step, and the
    // server it started with it.
    m_terminationSignals.reset();
    m_terminationSignals = std::make_unique<TerminationSignals>([this](int) { onTerminationSignal(); });

    // Settings and language.
    const QString appDirectory = m_services->appDirectory();
    const QString languageName = readSetting(appDirectory + QStringLiteral("Setting.ini"), u"Language",
                                             u"SelLangFile", QString(), 101);
    const QString languageFolder = appDirectory + QStringLiteral("Language/");
    QString languageProblem;
    if (!g_LangMag.SelectLanguage(languageFolder, languageName, languageProblem)) {
        startupMessage(CLangMag::NoLanguageText(languageFolder) +
                           QStringLiteral("\nTavrix-IGMP-TQ cannot start."),
                       MB_OK | MB_ICONSTOP);
        return false;
    }
    if (!languageProblem.isEmpty())
        startupMessage(languageProblem, MB_OK | MB_ICONEXCLAMATION);
    if (m_endRequested)
        return false;
    LanguageIsChinese = g_LangMag.GetLangFile() == languageFolder + QStringLiteral("LangChs.lng") ? 1 : 0;

    if (!m_services->packetCaptureInstalled()) {
        startupMessage(QStringLiteral("Please install WinPcap first!"), MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    QString lockError;
    switch (m_services->lockSingleInstance(&lockError)) {
    case SingleInstanceLock::Result::Locked:
        break;
    case SingleInstanceLock::Result::HeldByAnother:
        startupMessage(g_LangMag.GetString(QStringLiteral("Note_Run_Only_One")), MB_OK | MB_ICONEXCLAMATION);
        return false;
    case SingleInstanceLock::Result::Failed:
        startupMessage(g_LangMag.GetString(QStringLiteral("Note_Instance_Lock_Fail")).arg(lockError),
                       MB_OK | MB_ICONEXCLAMATION);
        return false;
    }

    // The server: chosen in the connection dialog, started when it is local, then connected.
    bool serverIsLocal = false;
    const ChassisConnection connection = connectToChassis(serverIsLocal);
    if (m_endRequested)
        return endStartupOnSignal();
    if (connection == ChassisConnection::Quit)
        return false;
    DemoMode = connection == ChassisConnection::Connected ? 0 : 1;
    g_ServerOnThisMachine = serverIsLocal ? 1 : 0;

    if (DemoMode == 1)
        g_Session.BuildDemoInventory();
    if (DemoMode != 0)
        InitReservedPorts();

    // The main frame with its view, in the chosen language: building and relabelling every page reads
    // each text from the language file once.
    {
        const CLangMag::LabelPass labelPass(g_LangMag);
        m_mainFrame = std::make_unique<CMainFrame>(appDirectory);
        g_MainFrame = m_mainFrame.get();
        m_mainFrame->RelabelMenus();
    }
    m_mainFrame->CenterWindow();
    m_mainFrame->show();
    // A broken server connection is told to the frame from the event loop, after the client's call.
    if (DemoMode == 0) {
        KvClient::instance().setBrokenCallback([] {
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [] {
                    if (g_MainFrame)
                        g_MainFrame->OnConnectionLost();
                },
                Qt::QueuedConnection);
        });
    }

    // The start-up choice, unless the controller keeps the configuration commands off.
    const std::uint8_t model = g_Session.Controller.Model;
    if (IsLiteControllerModel(model)) {
        ConfigCommandsOff = 1;
    } else {
        ConfigCommandsOff = 0;
        const int selected = m_services->runSelectConfig(m_mainFrame.get());
        if (m_endRequested)
            return endStartupOnSignal();
        if (selected == 1)
            m_mainFrame->OnCommand(CMainFrame::ID_OPEN_CONFIG);
        else if (selected == 2)
            m_mainFrame->OnCommand(CMainFrame::ID_NEW_TEST);
    }
    if (m_endRequested)
        return endStartupOnSignal();
    m_started = true;
    return true;
}

CKvIGMPTQApp::ChassisConnection CKvIGMPTQApp::connectToChassis(bool &serverIsLocal)
{
    serverIsLocal = false;
    ServerIsLoopback = 0;
    KvConnectAnswer answer = {};
    const int choice =
        m_services->showConnectDialog(reinterpret_cast<std::uint8_t *>(&answer), LanguageIsChinese);
    if (choice == -1 || m_endRequested)
        return ChassisConnection::Quit;
    if (choice != 1)
        return ChassisConnection::Demo;

    HardwareLink &link = HardwareLink::current();
    ServerAddress = chosenAddress(answer);
    ServerIsLoopback = ServerAddress == QStringLiteral("127.0.0.1") ? 1 : 0;
    char address[32] = {};
    const QByteArray narrow = ServerAddress.toLatin1();
    std::memcpy(address, narrow.constData(), std::min<size_t>(size_t(narrow.size()), sizeof address - 1));

    CollectLocalAddresses();
    serverIsLocal = ServerIsLoopback == 1 || LocalAddresses.contains(ServerAddress);
    bool demoChosen = false;
    if (serverIsLocal && !startLocalServer(ServerAddress, demoChosen)) {
        if (demoChosen && !m_endRequested)
            return ChassisConnection::Demo;
        link.TerminateProcess();
        return ChassisConnection::Quit;
    }
    const std::uint16_t connected = link.ConnectToServer(address);
    if (m_endRequested)
        return ChassisConnection::Quit;
    if (connected == 0) {
        // A server that this start-up launched and cannot reach is of no use to anyone.
        m_services->stopStartedServer();
        ShowConnectFailure();
        if (askDemoMode())
            return ChassisConnection::Demo;
        link.TerminateProcess();
        return ChassisConnection::Quit;
    }
    for (int pass = 0; pass < kInventoryWaitPasses && g_Session.InventoryReady != 1; ++pass) {
        if (!startupWait(100ms))
            return ChassisConnection::Quit;
    }
    if (g_Session.InventoryReady != 1)
        return startupMessage(g_LangMag.GetString(QStringLiteral("Note_No_Active_Port")),
                              MB_YESNO | MB_ICONQUESTION) == IDYES
                   ? ChassisConnection::Demo
                   : ChassisConnection::Quit;
    const std::int32_t card = CheckManagementCard();
    if (card == -1 || m_endRequested)
        return ChassisConnection::Quit;
    return card == 1 ? ChassisConnection::Connected : ChassisConnection::Demo;
}

std::int32_t CKvIGMPTQApp::CheckManagementCard()
{
    UtSession &session = g_Session;
    HardwareLink &link = HardwareLink::current();
    const UtControllerId controller = session.Controller;
    const auto [chassis, card, port] = controller.Id;
    const auto askDemo = [this] {
        return startupMessage(g_LangMag.GetString(QStringLiteral("Note_No_Active_Port")),
                              MB_YESNO | MB_ICONQUESTION) == IDYES
                   ? 0
                   : -1;
    };

    session.ControllerVersionSeen = 0;
    const ManagementCardFamily *family = managementCardFamily(controller.Model);
    if (family)
        family->boardStatus(link, chassis, card, port);
    if (!startupWait(1s))
        return -1;
    if (!session.ControllerVersionSeen)
        return askDemo();
    if (session.ControllerVersion.Word68 == 0xFF)
        startupMessage(QStringLiteral("No active management card!"), MB_OK);

    for (int attempt = 0; attempt < kEepromTries; ++attempt) {
        session.ControllerEepromArrived = 0;
        if (family && family->readEeprom(link, chassis, card, port))
            session.ChassisModelName = QString::fromLatin1(family->chassisModelName);
        if (!startupWait(1s))
            return -1;
        if (session.ControllerEepromArrived)
            break;
    }
    if (!startupWait(200ms))
        return -1;
    if (!session.ControllerEepromArrived)
        return askDemo();
    return 1;
}

int CKvIGMPTQApp::CollectLocalAddresses()
{
    LocalAddresses = m_services->localAddresses();
    return 0;
}

int CKvIGMPTQApp::ShowConnectFailure()
{
    startupMessage(g_LangMag.GetString(QStringLiteral("Note_Connect_Server_Fail")),
                   MB_OK | MB_ICONEXCLAMATION);
    return 0;
}

void CKvIGMPTQApp::InitReservedPorts()
{
    UtSession &session = g_Session;
    if (session.LockedFlags.size() < session.PortCount)
        session.LockedFlags.resize(session.PortCount);
    std::uint16_t boards = 0;
    for (std::uint16_t i = 0; i < session.PortCount; ++i) {
        session.LockedFlags[i] = 1;
        if (session.PortTable[i].Id.PID == 1)
            ++boards;
    }
    session.LockCount = session.PortCount;
    session.BoardCount = boards;
    TesterName = QStringLiteral("New Tester");
    DutName = QStringLiteral("New DUT_Device");
}

void CKvIGMPTQApp::OnAppAbout()
{
    CAboutDlg dialog(m_mainFrame.get());
    dialog.exec();
}

void CKvIGMPTQApp::OnSystemRequirements()
{
    CSystemRequirements dialog(m_mainFrame.get());
    dialog.exec();
}
