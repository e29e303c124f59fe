// The main frame: menu, tool bar, status bar and the main view. It relabels itself in the chosen
// language, switches the language, runs module information and the close-down behind the busy dialog,
// and routes the other commands to the view.
#pragma once

#include <QIcon>
#include <QMainWindow>
#include <QPointer>
#include <cstdint>

class CMainFormView;
class CModuleInfodlg;
class CTestReportDlg;
class CToolBarDlg;
class MMStatusBar;
class QToolBar;

class CMainFrame : public QMainWindow
{
    Q_OBJECT

public:
    // Menu commands.
    static constexpr int ID_NEW_TEST = 32799;
    static constexpr int ID_SAVE_CONFIG = 32777;
    static constexpr int ID_OPEN_CONFIG = 32797;
    static constexpr int ID_APP_EXIT = 57665;
    static constexpr int ID_MODULE_INFO = 32789;
    static constexpr int ID_PORT_SETTING = 103;
    static constexpr int ID_TRAFFIC_SETTING = 106;
    static constexpr int ID_LANGUAGE_ENGLISH = 32793;
    static constexpr int ID_LANGUAGE_CHINESE = 32794;
    static constexpr int ID_APP_ABOUT = 57664;
    static constexpr int ID_WEB_LINK = 32785;
    static constexpr int ID_SYSTEM_REQUIREMENTS = 32829;
    // The view relabels its tree and pages.
    static constexpr int ID_RELABEL_VIEW = 129;

    // appDirectory: the program folder with a trailing '/' (Setting.ini and Language/ live there).
    explicit CMainFrame(const QString &appDirectory, QWidget *parent = nullptr);
    ~CMainFrame() override;

    // A command of the menu, the tool bar or the program: handled here or routed to the view.
    void OnCommand(int command);
    void RelabelMenus();
    void UpdateConnectionPane();
    // Enabled and checked states of the menu entries that depend on the run and the language.
    void UpdateMenuStates();
    // Writes a value into Setting.ini (line breaks stored as backslash-n); a failure is told to the user
    // with its reason.
    void WriteSetting(const QString &section, const QString &key, const QString &value);
    void CenterWindow();

    // Runs the busy dialog of the application's driver modally.
    void OnRunProgress();
    void OnModuleInformation();
    void OnShowModuleInfo();
    void OnReleasePorts();
    // 1 when the server was told to stop.
    std::uint8_t AskTerminateServer();
    // The server connection broke: the connection pane says so and Reconnect is offered.
    void OnConnectionLost();
    // Connects to the server again, waits for its inventory and takes this program's ports again; false
    // (after telling the user) when the server cannot be reached.
    bool ReconnectToServer();
    // The program was told to end (SIGTERM, SIGINT): the close-down of Exit without a question, then the
    // application quits.
    void CloseDownWithoutAsking();
    void OnLanguageEnglish();
    void OnLanguageChinese();
    void OnWebLink();

    QAction *commandAction(int command) const;
    CMainFormView *View() const { return m_view; }
    // The program folder the frame was made with, with a trailing '/'.
    const QString &AppDirectory() const { return m_appDirectory; }

    QToolBar *DialogBar;
    CToolBarDlg *ToolBar;
    QIcon StatusIcon;
    MMStatusBar *StatusBar;
    std::uint8_t Closing = 0;
    QPointer<CModuleInfodlg> ModuleInfoDlg;
    QString SettingsPath;
    std::uint8_t Restoring = 0;
    // 1 from a broken server connection until a reconnection.
    std::uint8_t ConnectionLost = 0;

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    // The view's report window follows the frame: its export bars on a move, its relayout (timer 4)
    // on a resize, its bars again after a restore from the task bar.
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    CTestReportDlg *reportWindow() const;
    void buildMenu();
    void switchLanguage(const QString &fileName);
    void deleteModuleWindow();
    // Releases this program's ports and ends its connection; a server on this machine that serves no
    // other client is stopped, after asking when askAboutServer is set.
    void releasePortsAndServer(bool askAboutServer);
    // 1 when the server on this machine serves this program only and was told to stop.
    std::uint8_t stopServerIfOnlyClient(bool ask);

    QString m_appDirectory;
    CMainFormView *m_view;
    // Set by the close-down job; the pending close event is then accepted.
    bool m_closeApproved = false;
};

// The one main frame, null while it does not exist.
extern CMainFrame *g_MainFrame;
