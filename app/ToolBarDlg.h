// The tool bar under the menu: picture buttons for reconnecting, loading and saving the configuration,
// the set-up pages, the report, the log, Run and Stop; a running indicator and a blinking lamp.
#pragma once

#include <QTimer>
#include <QWidget>
#include <cstdint>

class CButtonST;
class CPictureEx;
class CTransparentImage;
class QGroupBox;
class QLabel;

class CToolBarDlg : public QWidget
{
    Q_OBJECT

public:
    // Commands the buttons send to the frame.
    static constexpr int ID_RUN_TEST = 125;
    static constexpr int ID_STOP_TEST = 126;
    static constexpr int ID_SAVE_CONFIG = 127;
    static constexpr int ID_LOAD_CONFIG = 128;
    static constexpr int ID_PORT_SETUP = 103;
    static constexpr int ID_COUNTER_REPORT = 104;
    static constexpr int ID_TRAFFIC_SETUP = 106;

    explicit CToolBarDlg(QWidget *parent = nullptr);

    void RelabelButtons();
    // Shows every button and picture again (after a run).
    void ShowAllButtons();
    // The idle state after a run: every button back, the idle pictures, Reconnect only after a lost
    // connection.
    void ReturnToIdle();
    // Run is ignored while a run or a reconnect is on.
    void OnRunTest();
    void OnStopTest();
    // Connects again after a lost connection; refused while a run is active, and one at a time (its wait
    // for the server takes input).
    void OnReconnect();
    // A run is active from Run to its end, the end of a stopped run included.
    static bool IsRunActive();
    // Timer 1: the lamp shows its other picture.
    void OnTimer();

    CButtonST *Reconnect;
    CButtonST *Save;
    CButtonST *Load;
    CButtonST *Log;
    CButtonST *TestConfig;
    CButtonST *Report;
    CButtonST *Run;
    CButtonST *Stop;
    CButtonST *Pairing;
    CButtonST *Spare;
    QGroupBox *Group;
    CPictureEx *Indicator;
    CTransparentImage *IdlePicture;
    QLabel *Static1080;
    CTransparentImage *Lamp;
    std::uint32_t LampState = 0;
    QTimer LampTimer;

    // The pictures Run and Stop show now (their bitmap ids).
    int RunPicture = 0;
    int StopPicture = 0;
    // Set while Reconnect waits for the server.
    bool Reconnecting = false;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    CButtonST *makeButton(int bitmap);
    void setPicture(CButtonST *button, int bitmap, int &current);
    // The configuration buttons refuse to act while a test runs.
    void sendUnlessRunning(int command);
    // True, after telling the user, while a run is active.
    static bool refusedWhileRunning();
    void setConfigButtonsEnabled(bool enabled);
    void setStopActive(bool active);
};
