#include "app/MainFrame.h"

#include "app/AppSettings.h"
#include "app/HardwareLink.h"
#include "app/KvIGMPTQApp.h"
#include "app/LangMag.h"
#include "app/MMStatusBar.h"
#include "app/MainFormView.h"
#include "app/ProgressInfoBar.h"
#include "app/ShellArt.h"
#include "app/ToolBarDlg.h"
#include "controls/widgets/ButtonST.h"
#include "engine/EngineUtils.h"
#include "engine/PortSet.h"
#include "engine/Session.h"
#include "platform/Prompter.h"
#include "ports/ModuleInfodlg.h"
#include "reports/DlgButton.h"
#include "run/TestReportDlg.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMenuBar>
#include <QScreen>
#include <QToolBar>
#include <QUrl>
#include <cstring>

using namespace std::chrono_literals;

CMainFrame *g_MainFrame = nullptr;

namespace {

const QString kTitle = QStringLiteral("Tavrix-IGMP-TQ");
const QString kEnglishFile = QStringLiteral("LangEng.lng");
const QString kChineseFile = QStringLiteral("LangChs.lng");
const QUrl kWebSite(QStringLiteral("https://www.corvane.example/"));

// The menu in table order: a popup (command 0) and its entries, each with its language key.
struct MenuEntry
{
    int command; // 0: a popup title
    const char *key;
};
const MenuEntry kMenu[] = {
    {0, "Menu_File"},
    {CMainFrame::ID_NEW_TEST, "Menu_New_Test"},
    {CMainFrame::ID_SAVE_CONFIG, "Menu_Save_Config"},
    {CMainFrame::ID_OPEN_CONFIG, "Menu_Open_Config"},
    {CMainFrame::ID_APP_EXIT, "Menu_Exit"},
    {0, "Menu_View"},
    {CMainFrame::ID_MODULE_INFO, "Menu_Module_Info"},
    {0, "Menu_Setting"},
    {CMainFrame::ID_PORT_SETTING, "Menu_Port_Setting"},
    {CMainFrame::ID_TRAFFIC_SETTING, "Menu_Traffic_Setting"},
    {0, "Menu_Language"},
    {CMainFrame::ID_LANGUAGE_ENGLISH, "Menu_English"},
    {CMainFrame::ID_LANGUAGE_CHINESE, "Menu_Chinese"},
    {0, "Menu_Help"},
    {CMainFrame::ID_APP_ABOUT, "Menu_About"},
    {CMainFrame::ID_WEB_LINK, "Menu_Corvane"},
    {CMainFrame::ID_SYSTEM_REQUIREMENTS, "Menu_System_Requirements"},
};

QString menuText(const char *key)
{
    return g_LangMag.GetString(QString::fromLatin1(key));
}

} // namespace

CMainFrame::CMainFrame(const QString &appDirectory, QWidget *parent)
    : QMainWindow(parent), DialogBar(new QToolBar(this)), ToolBar(nullptr), StatusBar(new MMStatusBar(this)),
      SettingsPath(appDirectory + QStringLiteral("Setting.ini")), m_appDirectory(appDirectory),
      m_view(new CMainFormView(this, SettingsPath))
{
    g_MainFrame = this;
    setWindowTitle(kTitle);
    setMinimumSize(1024, 768);
    if (const QScreen *screen = this->screen())
        setMaximumSize(screen->size().expandedTo(minimumSize()));
    resize(1000, 700);

    buildMenu();
    // The tool bar sits in a fixed bar at the top.
    DialogBar->setMovable(false);
    DialogBar->setFloatable(false);
    DialogBar->toggleViewAction()->setVisible(false);
    DialogBar->setContextMenuPolicy(Qt::PreventContextMenu);
    ToolBar = new CToolBarDlg(DialogBar);
    DialogBar->addWidget(ToolBar);
    addToolBar(Qt::TopToolBarArea, DialogBar);

    StatusIcon = ShellArt::icon(ShellArt::ConnectedIcon);
    StatusBar->SetPanes({QIcon(), StatusIcon});
    StatusBar->setMinimumHeight(21);
    setStatusBar(StatusBar);
    UpdateConnectionPane();
    setCentralWidget(m_view);
    m_view->OnInitialUpdate();
}

CMainFrame::~CMainFrame()
{
    deleteModuleWindow();
    if (g_MainFrame == this)
        g_MainFrame = nullptr;
}

void CMainFrame::buildMenu()
{
    QMenu *popup = nullptr;
    for (const MenuEntry &entry : kMenu) {
        if (entry.command == 0) {
            popup = menuBar()->addMenu(menuText(entry.key));
            connect(popup, &QMenu::aboutToShow, this, &CMainFrame::UpdateMenuStates);
            continue;
        }
        QAction *action = popup->addAction(menuText(entry.key));
        action->setData(entry.command);
        if (entry.command == ID_LANGUAGE_ENGLISH || entry.command == ID_LANGUAGE_CHINESE)
            action->setCheckable(true);
        const int command = entry.command;
        connect(action, &QAction::triggered, this, [this, command] { OnCommand(command); });
    }
    UpdateMenuStates();
}

QAction *CMainFrame::commandAction(int command) const
{
    for (QAction *popup : menuBar()->actions())
        for (QAction *action : popup->menu()->actions())
            if (action->data().toInt() == command)
                return action;
    return nullptr;
}

void CMainFrame::OnCommand(int command)
{
    switch (command) {
    case ID_MODULE_INFO:
        OnModuleInformation();
        break;
    case ID_LANGUAGE_ENGLISH:
        OnLanguageEnglish();
        break;
    case ID_LANGUAGE_CHINESE:
        OnLanguageChinese();
        break;
    case ID_WEB_LINK:
        OnWebLink();
        break;
    case ID_APP_ABOUT:
        if (g_App)
            g_App->OnAppAbout();
        break;
    case ID_SYSTEM_REQUIREMENTS:
        if (g_App)
            g_App->OnSystemRequirements();
        break;
    case ID_APP_EXIT:
        close();
        break;
    default:
        m_view->OnCommand(command);
        break;
    }
}

void CMainFrame::RelabelMenus()
{
    int position = -1;
    for (const MenuEntry &entry : kMenu) {
        if (entry.command == 0)
            g_LangMag.SetMenuTextByPosition(menuBar(), QString::fromLatin1(entry.key), ++position);
        else
            g_LangMag.SetMenuTextByCommand(menuBar(), QString::fromLatin1(entry.key), entry.command);
    }
    menuBar()->update();
    ToolBar->RelabelButtons();
    OnCommand(ID_RELABEL_VIEW);
    UpdateConnectionPane();
}

void CMainFrame::UpdateConnectionPane()
{
    // Demo mode has no server: the pane names the mode instead of a connection.
    const bool demo = g_App && g_App->DemoMode;
    const bool connected = !demo && g_Session.InventoryReady == 1 && ConnectionLost == 0;
    StatusIcon = ShellArt::icon(connected ? ShellArt::ConnectedIcon : ShellArt::NotConnectedIcon);
    StatusBar->SetPanes({QIcon(), StatusIcon});
    const QString key = demo        ? QStringLiteral("Status_Demo")
                        : connected ? QStringLiteral("Status_Connected")
                                    : QStringLiteral("Status_UnConnect");
    StatusBar->SetPaneText(1, g_LangMag.GetString(key));
}

void CMainFrame::OnConnectionLost()
{
    if (Closing || (g_App && g_App->DemoMode))
        return;
    ConnectionLost = 1;
    // Not during a run or a reconnect: the end of the run offers it (the tool bar's return to idle).
    ToolBar->Reconnect->setEnabled(!CToolBarDlg::IsRunActive() && !ToolBar->Reconnecting);
    UpdateConnectionPane();
}

bool CMainFrame::ReconnectToServer()
{
    if (ConnectionLost == 0 || !g_App || g_App->DemoMode)
        return true;
    HardwareLink &link = HardwareLink::current();
    link.TerminateProcess(); // the broken connection goes first
    UtSession &session = g_Session;
    session.InventoryReady = 0;
    char address[32] = {};
    const QByteArray narrow = g_App->ServerAddress.toLatin1().left(sizeof address - 1);
    std::memcpy(address, narrow.constData(), std::size_t(narrow.size()));
    bool ready = link.ConnectToServer(address) != 0;
    // The server sends its inventory to every new client.
    for (int pass = 0; ready && pass < 100 && session.InventoryReady != 1; ++pass)
        WaitPumping(100ms);
    ready = ready && session.InventoryReady == 1;
    if (!ready) {
        link.TerminateProcess();
        Prompter::current().messageBox(g_LangMag.GetString(QStringLiteral("Note_Connect_Server_Fail")),
                                       MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    // The server let go of this program's ports with the old connection: take them again, or hold none.
    const PortSetBuilder sets = BuildLockedPortSets(session);
    bool refused = false;
    for (const auto &[chassis, entry] : sets.Sets())
        refused = LockPortSet(entry.Set) == 0 || refused;
    if (refused) {
        for (const auto &[chassis, entry] : sets.Sets())
            ReleasePortSet(entry.Set);
        std::fill(session.LockedFlags.begin(), session.LockedFlags.end(), std::uint8_t(0));
        session.LockCount = 0;
        session.BoardCount = 0;
        Prompter::current().messageBox(g_LangMag.GetString(QStringLiteral("Reserved_Note_Failed")), MB_OK);
    }
    ConnectionLost = 0;
    UpdateConnectionPane();
    return true;
}

void CMainFrame::UpdateMenuStates()
{
    if (QAction *action = commandAction(ID_PORT_SETTING))
        m_view->OnUpdatePortSetting(action);
    if (QAction *action = commandAction(ID_TRAFFIC_SETTING))
        m_view->OnUpdateTrafficSetting(action);
    for (const int command : {ID_OPEN_CONFIG, ID_SAVE_CONFIG, ID_NEW_TEST}) {
        if (QAction *action = commandAction(command))
            m_view->OnUpdateConfigurationCommands(action);
    }
    const bool idle = g_IsRunning == 0;
    const QString languageFolder = m_appDirectory + QStringLiteral("Language/");
    if (QAction *action = commandAction(ID_MODULE_INFO))
        action->setEnabled(idle);
    if (QAction *action = commandAction(ID_LANGUAGE_ENGLISH)) {
        action->setEnabled(idle);
        action->setChecked(g_LangMag.GetLangFile() == languageFolder + kEnglishFile);
    }
    if (QAction *action = commandAction(ID_LANGUAGE_CHINESE)) {
        action->setEnabled(idle);
        action->setChecked(g_LangMag.GetLangFile() == languageFolder + kChineseFile);
    }
}

void CMainFrame::WriteSetting(const QString &section, const QString &key, const QString &value)
{
    if (const SaveResult saved = writeSetting(SettingsPath, section, key, value); !saved)
        reportSettingNotSaved(saved);
}

void CMainFrame::CenterWindow()
{
    if (const QScreen *screen = this->screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    if (m_view)
        m_view->CenterLogOnFrame();
}

void CMainFrame::switchLanguage(const QString &fileName)
{
    const QString folder = m_appDirectory + QStringLiteral("Language/");
    QString problem;
    if (!g_LangMag.SelectLanguage(folder, fileName, problem)) {
        Prompter::current().messageBox(CLangMag::NoLanguageText(folder), MB_OK | MB_ICONERROR);
        return;
    }
    if (!problem.isEmpty())
        Prompter::current().messageBox(problem, MB_OK | MB_ICONEXCLAMATION);
    // The setting names the file shown, so a file that gave way is not complained of at every start.
    WriteSetting(QStringLiteral("Language"), QStringLiteral("SelLangFile"),
                 QFileInfo(g_LangMag.GetLangFile()).fileName());
    RelabelMenus();
    UpdateMenuStates();
}

void CMainFrame::OnLanguageEnglish()
{
    switchLanguage(kEnglishFile);
}

void CMainFrame::OnLanguageChinese()
{
    switchLanguage(kChineseFile);
}

void CMainFrame::OnWebLink()
{
    QDesktopServices::openUrl(kWebSite);
}

void CMainFrame::OnRunProgress()
{
    if (g_ProgressBar)
        g_ProgressBar->RunDialog(this);
}

void CMainFrame::deleteModuleWindow()
{
    delete ModuleInfoDlg.data();
}

void CMainFrame::OnModuleInformation()
{
    if (g_IsRunning == 1) {
        Prompter::current().messageBox(g_LangMag.GetString(QStringLiteral("Note_System_Runing")), MB_OK);
        return;
    }
    if (!g_ProgressBar)
        return;
    g_ProgressBar->Notify = [this] { OnShowModuleInfo(); };
    g_ProgressBar->SetText(g_LangMag.GetString(QStringLiteral("Busy_Detecting_System")));
    g_ProgressBar->Count = 3;
    g_ProgressBar->Start();
}

void CMainFrame::OnShowModuleInfo()
{
    deleteModuleWindow();
    auto *window = new CModuleInfodlg(this);
    ModuleInfoDlg = window;
    const bool demo = g_App && g_App->DemoMode;
    if (demo)
        WaitPumping(2s);
    window->ReadBoardInfo();
    if (demo)
        window->FillDemoInfo();
    else
        window->FillHardwareInfo();
    if (g_ProgressBar)
        g_ProgressBar->CloseDialog();
    window->show();
}

void CMainFrame::closeEvent(QCloseEvent *event)
{
    if (m_closeApproved) {
        event->accept();
        return;
    }
    event->ignore();
    Prompter &prompter = Prompter::current();
    if (g_IsRunning == 1) {
        prompter.messageBox(g_LangMag.GetString(QStringLiteral("Note_System_Runing")), MB_OK);
        return;
    }
    if (prompter.messageBox(g_LangMag.GetString(QStringLiteral("Note_Close_Client")),
                            MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    Closing = 1;
    deleteModuleWindow();
    if (!g_App || g_App->DemoMode || !g_ProgressBar) {
        // Demo mode: nothing to release and no server to talk to.
        m_closeApproved = true;
        event->accept();
        return;
    }
    const std::uint16_t locked = g_Session.LockCount;
    g_ProgressBar->Notify = [this] { OnReleasePorts(); };
    g_ProgressBar->SetText(g_LangMag.GetString(QStringLiteral("Busy_Terminating")));
    g_ProgressBar->Count = locked == 0 ? 10 : locked * 3u / 2u;
    // The job runs inside the busy dialog's loop; the frame closes once that loop has ended.
    g_ProgressBar->Start();
    if (m_closeApproved)
        event->accept();
}

void CMainFrame::OnReleasePorts()
{
    releasePortsAndServer(true);
}

void CMainFrame::CloseDownWithoutAsking()
{
    if (m_closeApproved)
        return;
    Closing = 1;
    deleteModuleWindow();
    // A run still going stops at its next wait; the ports and the server go now.
    if (m_view->RunActive)
        m_view->RequestStop();
    if (g_App && !g_App->DemoMode)
        releasePortsAndServer(false);
    m_closeApproved = true;
    QCoreApplication::quit();
}

void CMainFrame::releasePortsAndServer(bool askAboutServer)
{
    HardwareLink &link = HardwareLink::current();
    UtSession &session = g_Session;
    link.QueryNumOfClient();

    // One unlock per chassis: a port set carries the ports of one chassis only.
    const PortSetBuilder sets = BuildLockedPortSets(session);
    if (!(g_App && g_App->DemoMode))
        for (const auto &[chassis, entry] : sets.Sets())
            link.UnLockPortStatus(entry.Set);

    // The client count comes back as a server message: wait briefly for the fresh answer.
    session.ClientCount = 0;
    link.QueryNumOfClient();
    for (int pass = 0; pass < 10 && session.ClientCount == 0; ++pass)
        WaitPumping(50ms);

    if (g_ProgressBar)
        g_ProgressBar->CloseDialog();
    if (g_ServerOnThisMachine == 1)
        stopServerIfOnlyClient(askAboutServer);
    link.TerminateProcess();
    m_closeApproved = true;
}

std::uint8_t CMainFrame::AskTerminateServer()
{
    return stopServerIfOnlyClient(true);
}

std::uint8_t CMainFrame::stopServerIfOnlyClient(bool ask)
{
    const UtSession &session = g_Session;
    if (session.InventoryReceived == 0 || session.ClientCount != 1)
        return 0;
    if (ask && Prompter::current().messageBox(g_LangMag.GetString(QStringLiteral("Note_Close_Kvserver")),
                                              MB_YESNO | MB_ICONQUESTION) != IDYES)
        return 0;
    HardwareLink &link = HardwareLink::current();
    link.TerminateServer();
    WaitPumping(1s);
    link.TerminateProcess();
    return 1;
}

void CMainFrame::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    const auto *change = static_cast<QWindowStateChangeEvent *>(event);
    if (change->oldState().testFlag(Qt::WindowMinimized) && !isMinimized()) {
        // Back from the task bar: the export bars stay hidden until the report window follows the
        // frame again.
        CTestReportDlg *report = reportWindow();
        if (report) {
            report->ExcelBar->hide();
            report->PdfBar->hide();
            report->PdfBar->update();
        }
        Restoring = 1;
        WaitPumping(250ms);
        Restoring = 0;
        if ((report = reportWindow()))
            report->ShowWithFrame();
    }
}

CTestReportDlg *CMainFrame::reportWindow() const
{
    return m_view ? m_view->ReportDlg : nullptr;
}

void CMainFrame::moveEvent(QMoveEvent *event)
{
    QMainWindow::moveEvent(event);
    if (CTestReportDlg *report = reportWindow())
        report->AlignToFrame();
}

void CMainFrame::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    CTestReportDlg *report = reportWindow();
    if (report && report->isVisible())
        report->RelayoutTimer.start(5);
}
