// The main form view. For now it holds the run's stop flag, which the abortable waits watch, the test
// log window, and the entry through which the frame hands it the commands it routes to the view.
#pragma once

#include <QWidget>
#include <cstdint>

class CLogDlg;

class CMainFormView : public QWidget
{
    Q_OBJECT

public:
    // settingsPath: where the log window keeps its Auto Clear choice (empty: read and kept nowhere).
    explicit CMainFormView(QWidget *parent = nullptr, const QString &settingsPath = QString());
    ~CMainFormView() override;

    // Sets the stop flag and wakes every abortable wait at once.
    void RequestStop();

    // Appends text to the view's log, line by line: each line keeps its line feed, a last line without
    // one gets one. With Auto Clear on, the log empties itself before it would overflow.
    static void AppendLog(CMainFormView *view, const QString &text);

    // A command of the menu or the tool bar that the frame routes to the view.
    void OnCommand(int command);

    // Navigation after a reconnection.
    void BuildTree();
    void UpdateTreeState();
    void LayoutPages();
    void OnShowHomePage();

    // 1 once Stop was given; cleared at Run and after the run.
    std::uint32_t StopRequested = 0;
    // Set while a run is active.
    std::uint8_t RunActive = 0;
    // The test log: a separate window, created hidden.
    CLogDlg *LogDlg;

signals:
    void stopRequested();
    void commandReceived(int command);
};

// The one main view; null while it does not exist.
extern CMainFormView *g_MainView;
