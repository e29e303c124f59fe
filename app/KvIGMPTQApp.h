// The application object: the whole start-up (settings and language, the packet-capture test, one
// instance, the server choice, starting a local server, connecting, the inventory, the management
// card, demo mode, the main frame and the start-up choice) and what the program keeps for its whole
// run: the test set-up, the names, the server address and the mode.
#pragma once

#include "app/ProgressInfoBar.h"
#include "app/StartupServices.h"
#include "engine/IGMPTestPlan.h"

#include <QString>
#include <QStringList>
#include <chrono>
#include <cstdint>
#include <memory>

class CMainFrame;
class TerminationSignals;

struct UtBuildDate
{
    std::uint16_t Year = 0;
    std::uint8_t Month = 0;
    std::uint8_t Day = 0;
};

class CKvIGMPTQApp
{
public:
    // Start-up asks the machine through the services (null: the real ones).
    explicit CKvIGMPTQApp(std::unique_ptr<StartupServices> services = nullptr);
    ~CKvIGMPTQApp();
    CKvIGMPTQApp(const CKvIGMPTQApp &) = delete;
    CKvIGMPTQApp &operator=(const CKvIGMPTQApp &) = delete;

    // True: the main frame is shown and the event loop may run; false: the program ends (also when
    // SIGTERM or SIGINT came during start-up: what start-up had started is closed down first).
    bool InitInstance();
    // 1 hardware mode, 0 go on in demo mode, -1 end the program.
    std::int32_t CheckManagementCard();
    int CollectLocalAddresses();
    int ShowConnectFailure();
    // Demo mode: every port locked by this program, default names.
    void InitReservedPorts();

    // Help menu commands.
    void OnAppAbout();
    void OnSystemRequirements();

    std::uint32_t DemoMode = 0;
    std::uint32_t ServerIsLoopback = 0;
    QString TesterName = QStringLiteral("New Tester");
    QString DutName = QStringLiteral("New DUT_Device");
    CIGMPTestPlan TestPlan;
    CProgressInfoBar ProgressBar;
    UtBuildDate BuildDate{2017, 11, 27};
    QString ServerAddress;
    std::uint8_t ConfigCommandsOff = 0;
    QStringList LocalAddresses;
    std::uint32_t LanguageIsChinese = 0;

    CMainFrame *MainFrame() const { return m_mainFrame.get(); }

private:
    // How start-up goes on after the connection dialog and the server.
    enum class ChassisConnection
    {
        Connected, // a server with a management card: hardware mode
        Demo,      // demo mode, chosen or accepted after a failure
        Quit       // the program ends
    };
    // The server chosen in the connection dialog: started when it is on this machine (serverIsLocal),
    // connected, its inventory awaited and its management card read.
    ChassisConnection connectToChassis(bool &serverIsLocal);
    // Starts the local server listening at the address when none runs there and waits until it accepts
    // connections at the address. False when the wait was used up (a server started here is stopped,
    // the user has been asked; demoChosen tells the answer).
    bool startLocalServer(const QString &address, bool &demoChosen);
    // "Can't connect to server ..." question: true when the user chose demo mode.
    bool askDemoMode();
    // A message or question of start-up; none once a termination signal has come (IDCANCEL then).
    int startupMessage(const QString &text, unsigned type);
    // A wait of start-up, skipped once a termination signal has come: false when start-up must end.
    bool startupWait(std::chrono::milliseconds duration);
    // SIGTERM or SIGINT: during start-up, ends it at its next step (the dialog it waits on is closed);
    // afterwards, closes the program down as Exit does, without asking.
    void onTerminationSignal();
    // Start-up ends on a signal: the main frame closes down as it would later, or, before it exists,
    // the server that start-up started is stopped and the connection closed. Always false.
    bool endStartupOnSignal();

    std::unique_ptr<StartupServices> m_services;
    std::unique_ptr<CMainFrame> m_mainFrame;
    // From the start of start-up on: SIGTERM and SIGINT end the program.
    std::unique_ptr<TerminationSignals> m_terminationSignals;
    bool m_endRequested = false; // a signal came during start-up
    bool m_started = false;      // start-up is over: the event loop runs the program
};

// The application object, null while it does not exist.
extern CKvIGMPTQApp *g_App;
// 1 while a test runs.
extern std::uint32_t g_IsRunning;
// Set by the tool bar's reconnection.
extern std::uint32_t g_Reconnected;
// 1 when the server runs on this machine.
extern std::uint8_t g_ServerOnThisMachine;
