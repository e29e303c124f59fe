#include "app/ToolBarDlg.h"

#include "app/KvIGMPTQApp.h"
#include "app/LangMag.h"
#include "app/LogDlg.h"
#include "app/MainFormView.h"
#include "app/MainFrame.h"
#include "app/ShellArt.h"
#include "controls/widgets/ButtonST.h"
#include "controls/widgets/PictureEx.h"
#include "controls/widgets/TransparentImage.h"
#include "platform/Prompter.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

constexpr COLORREF kToolTransparentWhite = RGB(255, 255, 255);
constexpr QSize kButtonSize(84, 50);

void sendToFrame(int command)
{
    if (g_MainFrame)
        g_MainFrame->OnCommand(command);
}

} // namespace

CToolBarDlg::CToolBarDlg(QWidget *parent)
    : QWidget(parent), Reconnect(makeButton(ShellArt::ReconnectPicture)),
      Save(makeButton(ShellArt::SavePicture)), Load(makeButton(ShellArt::LoadPicture)),
      Log(makeButton(ShellArt::LogPicture)), TestConfig(makeButton(ShellArt::TestConfigPicture)),
      Report(makeButton(ShellArt::ReportPicture)), Run(makeButton(ShellArt::RunRunningPicture)),
      Stop(makeButton(ShellArt::StopIdlePicture)), Pairing(makeButton(ShellArt::PairingPicture)),
      Spare(makeButton(ShellArt::SparePicture)), Group(new QGroupBox(this)), Indicator(new CPictureEx(this)),
      IdlePicture(new CTransparentImage(this)), Static1080(new QLabel(this)),
      Lamp(new CTransparentImage(this))
{
    setMinimumHeight(kButtonSize.height() + 8);
    Group->lower();
    Reconnect->setEnabled(false);
    Spare->hide();
    RelabelButtons();

    // Left: the set-up buttons in template order; right, 3 pixels apart: Run, Stop, the running
    // indicator or idle picture, the static and the lamp.
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(4, 4, 3, 4);
    row->setSpacing(3);
    for (CButtonST *button : {Reconnect, Load, Save, Pairing, TestConfig, Report, Log, Spare})
        row->addWidget(button);
    row->addStretch(1);
    row->addWidget(Run);
    row->addWidget(Stop);
    row->addWidget(Indicator);
    row->addWidget(IdlePicture);
    row->addWidget(Static1080);
    auto *lampColumn = new QVBoxLayout;
    lampColumn->addSpacing(12 - row->contentsMargins().top()); // the lamp's top 12 pixels below the box's
    lampColumn->addWidget(Lamp);
    lampColumn->addStretch(1);
    row->addLayout(lampColumn);

    Indicator->setFixedSize(28, 28);
    Indicator->LoadGifResource();
    Indicator->StartAnimation();
    Indicator->hide();
    IdlePicture->SetBitmap(ShellArt::bitmap(ShellArt::IdleToolPicture));
    IdlePicture->setFixedSize(IdlePicture->GetBitmap().size());
    IdlePicture->show();
    setPicture(Run, ShellArt::RunIdlePicture, RunPicture);
    setStopActive(false);
    Lamp->SetBitmap(ShellArt::bitmap(ShellArt::LampOffPicture));
    Lamp->setFixedSize(Lamp->GetBitmap().size());
    LampState = 1;

    connect(Reconnect, &CButtonST::clicked, this, &CToolBarDlg::OnReconnect);
    connect(Load, &CButtonST::clicked, this, [this] { sendUnlessRunning(ID_LOAD_CONFIG); });
    connect(Save, &CButtonST::clicked, this, [this] { sendUnlessRunning(ID_SAVE_CONFIG); });
    connect(Pairing, &CButtonST::clicked, this, [this] { sendUnlessRunning(ID_PORT_SETUP); });
    connect(TestConfig, &CButtonST::clicked, this, [this] { sendUnlessRunning(ID_TRAFFIC_SETUP); });
    connect(Report, &CButtonST::clicked, this, [this] { sendUnlessRunning(ID_COUNTER_REPORT); });
    connect(Log, &CButtonST::clicked, this, [] {
        if (g_MainView)
            g_MainView->LogDlg->setVisible(!g_MainView->LogDlg->isVisible());
    });
    connect(Run, &CButtonST::clicked, this, &CToolBarDlg::OnRunTest);
    connect(Stop, &CButtonST::clicked, this, &CToolBarDlg::OnStopTest);
    connect(&LampTimer, &QTimer::timeout, this, &CToolBarDlg::OnTimer);
    LampTimer.start(3000);
}

CButtonST *CToolBarDlg::makeButton(int bitmap)
{
    auto *button = new CButtonST(this);
    button->setFixedSize(kButtonSize);
    button->AssignAlignment(1); // picture above the caption
    button->AssignStateBitmaps(ShellArt::bitmap(bitmap), kToolTransparentWhite);
    button->LightenBackColor();
    return button;
}

void CToolBarDlg::setPicture(CButtonST *button, int bitmap, int &current)
{
    button->AssignStateBitmaps(ShellArt::bitmap(bitmap), kToolTransparentWhite);
    current = bitmap;
}

void CToolBarDlg::RelabelButtons()
{
    const std::pair<CButtonST *, const char *> captions[] = {
        {Reconnect, "Bar_Reconnect"},
        {Load, "Bar_Load"},
        {Save, "Bar_Save"},
        {Pairing, "Bar_Port_Config"},
        {TestConfig, "Bar_Traffic_Config"},
        {Report, "Bar_Report"},
        {Log, "Bar_PortInfo"},
    };
    for (const auto &[button, key] : captions)
        button->setText(g_LangMag.GetString(QString::fromLatin1(key)));
}

void CToolBarDlg::ShowAllButtons()
{
    // The spare button has no action and stays hidden.
    for (QWidget *widget :
         std::initializer_list<QWidget *>{Reconnect, Save, Load, Log, TestConfig, Report, Run, Stop, Pairing,
                                          Indicator, IdlePicture, Static1080, Lamp})
        widget->show();
}

void CToolBarDlg::ReturnToIdle()
{
    ShowAllButtons();
    Indicator->hide();
    // Offered only while a lost connection waits to be made again.
    Reconnect->setEnabled(g_MainFrame && g_MainFrame->ConnectionLost == 1);
    for (CButtonST *button : {Load, Save, Log, TestConfig, Report, Pairing, Spare})
        button->setEnabled(true);
    setPicture(Run, ShellArt::RunIdlePicture, RunPicture);
    setStopActive(false);
}

bool CToolBarDlg::IsRunActive()
{
    return g_IsRunning == 1 || (g_MainView && g_MainView->RunActive);
}

bool CToolBarDlg::refusedWhileRunning()
{
    if (!IsRunActive())
        return false;
    Prompter::current().messageBox(g_LangMag.GetString(QStringLiteral("Note_System_Runing")), MB_OK);
    return true;
}

void CToolBarDlg::sendUnlessRunning(int command)
{
    if (!refusedWhileRunning())
        sendToFrame(command);
}

void CToolBarDlg::setStopActive(bool active)
{
    // Stop only acts during a run: idle, it shows its grey picture and takes no click.
    setPicture(Stop, active ? 173 : 174, StopPicture);
    Stop->setEnabled(active);
}

void CToolBarDlg::setConfigButtonsEnabled(bool enabled)
{
    for (CButtonST *button : {TestConfig, Report, Pairing, Save, Load})
        button->setEnabled(enabled);
}

void CToolBarDlg::OnRunTest()
{
    // A reconnect ends on the home page, which ends the run state: no run starts during one.
    if ((g_MainView && g_MainView->RunActive) || Reconnecting)
        return;
    setConfigButtonsEnabled(false);
    setPicture(Run, ShellArt::RunRunningPicture, RunPicture);
    setStopActive(true);
    Indicator->show();
    IdlePicture->hide();
    sendToFrame(ID_RUN_TEST);
}

void CToolBarDlg::OnStopTest()
{
    setConfigButtonsEnabled(true);
    setPicture(Run, ShellArt::RunIdlePicture, RunPicture);
    setStopActive(false);
    IdlePicture->show();
    Indicator->hide();
    sendToFrame(ID_STOP_TEST);
}

void CToolBarDlg::OnReconnect()
{
    // The home page it ends on would end the run state under a running test.
    if (Reconnecting || refusedWhileRunning())
        return;
    // A lost connection is made again first; while that fails, Reconnect stays on offer.
    Reconnecting = true;
    Reconnect->setEnabled(false);
    const bool connected = !g_MainFrame || g_MainFrame->ReconnectToServer();
    Reconnecting = false;
    if (!connected) {
        Reconnect->setEnabled(true);
        return;
    }
    if (g_MainView) {
        g_MainView->BuildTree();
        g_MainView->CreatePages();
        g_MainView->LayoutPages();
        g_MainView->OnShowHomePage();
    }
    Reconnect->setEnabled(false);
    for (CButtonST *button : {Report, Log, TestConfig, Pairing})
        button->setEnabled(true);
    g_Reconnected = 1;
    Prompter::current().messageBox(QStringLiteral("Connection has been re-established!"), MB_OK);
}

void CToolBarDlg::OnTimer()
{
    Lamp->SetBitmap(ShellArt::bitmap(LampState == 0 ? ShellArt::LampOnPicture : ShellArt::LampBlinkPicture));
    LampState = LampState == 0 ? 1 : 0;
}

void CToolBarDlg::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Group->setGeometry(rect());
}
