// The tool bar: commands to the frame, refusals while running, the running look, the log toggle and
// the lamp.
#include "ShellTestSupport.h"

#include "app/KvIGMPTQApp.h"
#include "app/LogDlg.h"
#include "app/MainFormView.h"
#include "app/MainFrame.h"
#include "app/ShellArt.h"
#include "app/ToolBarDlg.h"
#include "controls/widgets/ButtonST.h"
#include "controls/widgets/PictureEx.h"
#include "controls/widgets/TransparentImage.h"
#include "platform/ScriptedPrompter.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class ToolBarTest : public testing::Test
{
protected:
    ToolBarTest()
        : frame(folder.path()), bar(frame.ToolBar), commands(frame.View(), &CMainFormView::commandReceived)
    {
        g_LangMag.SetLangFile(folder.languageFile("LangEng.lng"));
        frame.show();
    }
    QList<int> sent()
    {
        QList<int> list;
        for (const QList<QVariant> &arguments : commands)
            list << arguments.first().toInt();
        commands.clear();
        return list;
    }

    ShellGlobalsGuard guard;
    TempProgramFolder folder;
    ScriptedPrompter prompter;
    CMainFrame frame;
    CToolBarDlg *bar;
    QSignalSpy commands;
};

} // namespace

TEST_F(ToolBarTest, ButtonsSendTheirCommandsAndRefuseWhileRunning)
{
    const std::pair<CButtonST *, int> buttons[] = {
        {bar->Load, 128}, {bar->Save, 127}, {bar->Pairing, 103}, {bar->TestConfig, 106}, {bar->Report, 104}};
    for (const auto &[button, command] : buttons)
        button->click();
    EXPECT_EQ(sent(), (QList<int>{128, 127, 103, 106, 104}));

    g_IsRunning = 1;
    for (const auto &[button, command] : buttons)
        button->click();
    EXPECT_TRUE(sent().isEmpty());
    EXPECT_EQ(prompter.messages(), QStringList(5, g_LangMag.GetString(QStringLiteral("Note_System_Runing"))));
}

TEST_F(ToolBarTest, RunAndStopSwitchTheLookAndSendTheirCommands)
{
    // Idle, Stop is grey and takes no click.
    EXPECT_EQ(bar->RunPicture, 159);
    EXPECT_EQ(bar->StopPicture, 174);
    EXPECT_FALSE(bar->Stop->isEnabled());
    QTest::mouseClick(bar->Stop, Qt::LeftButton);
    EXPECT_TRUE(sent().isEmpty());
    EXPECT_FALSE(bar->IdlePicture->isHidden());
    EXPECT_TRUE(bar->Indicator->isHidden());

    bar->Run->click();
    EXPECT_EQ(sent(), QList<int>{125});
    EXPECT_EQ(bar->RunPicture, 160);
    EXPECT_EQ(bar->StopPicture, 173);
    EXPECT_TRUE(bar->Stop->isEnabled());
    EXPECT_FALSE(bar->Indicator->isHidden());
    EXPECT_TRUE(bar->IdlePicture->isHidden());
    for (CButtonST *button : {bar->TestConfig, bar->Report, bar->Pairing, bar->Save, bar->Load})
        EXPECT_FALSE(button->isEnabled());
    EXPECT_TRUE(bar->Log->isEnabled());

    // Run again while the run is active: nothing at all.
    frame.View()->RunActive = 1;
    bar->RunPicture = 0;
    bar->OnRunTest();
    EXPECT_TRUE(sent().isEmpty());
    EXPECT_EQ(bar->RunPicture, 0);

    bar->Stop->click();
    EXPECT_EQ(sent(), QList<int>{126});
    EXPECT_EQ(bar->RunPicture, 159);
    EXPECT_EQ(bar->StopPicture, 174);
    EXPECT_FALSE(bar->Stop->isEnabled());
    EXPECT_FALSE(bar->IdlePicture->isHidden());
    EXPECT_TRUE(bar->Indicator->isHidden());
    for (CButtonST *button : {bar->TestConfig, bar->Report, bar->Pairing, bar->Save, bar->Load})
        EXPECT_TRUE(button->isEnabled());
}

TEST_F(ToolBarTest, LogButtonTogglesTheLogWindowKeepingItsText)
{
    CMainFormView::AppendLog(frame.View(), QStringLiteral("line"));
    CLogDlg *log = frame.View()->LogDlg;
    EXPECT_FALSE(log->isVisible());
    bar->Log->click();
    EXPECT_TRUE(log->isVisible());
    bar->Log->click();
    EXPECT_FALSE(log->isVisible());
    bar->Log->click();
    log->close();
    bar->Log->click();
    EXPECT_TRUE(log->isVisible());
    EXPECT_EQ(log->text(), QStringLiteral("line\n"));
}

TEST_F(ToolBarTest, LampAlternatesEveryThreeSeconds)
{
    EXPECT_TRUE(bar->LampTimer.isActive());
    EXPECT_EQ(bar->LampTimer.interval(), 3000);
    EXPECT_EQ(bar->LampState, 1u);
    bar->OnTimer();
    EXPECT_EQ(bar->Lamp->GetBitmap(), ShellArt::bitmap(ShellArt::LampBlinkPicture));
    EXPECT_EQ(bar->LampState, 0u);
    bar->OnTimer();
    EXPECT_EQ(bar->Lamp->GetBitmap(), ShellArt::bitmap(ShellArt::LampOnPicture));
    EXPECT_EQ(bar->LampState, 1u);
    EXPECT_NE(ShellArt::bitmap(ShellArt::LampOnPicture), ShellArt::bitmap(ShellArt::LampBlinkPicture));
}

TEST_F(ToolBarTest, ReconnectStartsDisabledAndReenablesThePages)
{
    EXPECT_FALSE(bar->Reconnect->isEnabled());
    EXPECT_TRUE(bar->Spare->isHidden());
    bar->Report->setEnabled(false);
    bar->OnReconnect();
    EXPECT_EQ(g_Reconnected, 1u);
    EXPECT_TRUE(bar->Report->isEnabled());
    EXPECT_FALSE(bar->Reconnect->isEnabled());
    EXPECT_EQ(prompter.messages(), QStringList{QStringLiteral("Connection has been re-established!")});
}
