// The main frame: menus and bars in both languages, the language switch, module information and the
// close-down behind the busy dialog.
#include "MainWindowTest.h"
#include "common/FileSizeLimit.h"

#include "app/KvIGMPTQApp.h"
#include "app/LogDlg.h"
#include "app/MMStatusBar.h"
#include "app/MainFormView.h"
#include "app/MainFrame.h"
#include "app/ProgInfoDlg.h"
#include "app/ToolBarDlg.h"
#include "controls/widgets/ButtonST.h"
#include "engine/VirtualWaitClock.h"
#include "platform/IniFile.h"
#include "platform/ScriptedPrompter.h"
#include "ports/ModuleInfodlg.h"
#include "reports/DlgButton.h"
#include "reports/MyPropSheet.h"
#include "run/TestReportDlg.h"

#include <QCheckBox>
#include <QMenuBar>
#include <QSignalSpy>
#include <QWindowStateChangeEvent>
#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

class MainFrameTest : public MainWindowTest
{
protected:
    MainFrameTest() : MainWindowTest({.fakeLink = true, .menusRelabelled = true}) {}

    // A hardware session with ports locked by this program: (chassis, card, port).
    static void lockPorts(const std::vector<UtPortId> &ports)
    {
        g_Session.PortCount = std::uint16_t(ports.size());
        g_Session.allocatePortArrays(g_Session.PortCount);
        for (size_t i = 0; i < ports.size(); ++i) {
            g_Session.PortTable[i] = {ports[i], 53, 0};
            g_Session.LockedFlags[i] = 1;
        }
        g_Session.LockCount = g_Session.PortCount;
    }

    QStringList menuTexts() const
    {
        QStringList texts;
        for (QAction *popup : frame->menuBar()->actions()) {
            texts << popup->text();
            for (QAction *entry : popup->menu()->actions())
                texts << entry->text();
        }
        return texts;
    }
};

QStringList languageTexts(const QString &file, const QStringList &keys)
{
    QStringList texts;
    for (const QString &key : keys)
        texts << IniFile::getString(file, u"STRINGS", key, QString(), 1024)
                     .replace(QStringLiteral("\\n"), QStringLiteral("\n"));
    return texts;
}

const QStringList kMenuKeys{
    QStringLiteral("Menu_File"),
    QStringLiteral("Menu_New_Test"),
    QStringLiteral("Menu_Save_Config"),
    QStringLiteral("Menu_Open_Config"),
    QStringLiteral("Menu_Exit"),
    QStringLiteral("Menu_View"),
    QStringLiteral("Menu_Module_Info"),
    QStringLiteral("Menu_Setting"),
    QStringLiteral("Menu_Port_Setting"),
    QStringLiteral("Menu_Traffic_Setting"),
    QStringLiteral("Menu_Language"),
    QStringLiteral("Menu_English"),
    QStringLiteral("Menu_Chinese"),
    QStringLiteral("Menu_Help"),
    QStringLiteral("Menu_About"),
    QStringLiteral("Menu_Corvane"),
    QStringLiteral("Menu_System_Requirements"),
};
const QStringList kBarKeys{QStringLiteral("Bar_Reconnect"),      QStringLiteral("Bar_Load"),
                           QStringLiteral("Bar_Save"),           QStringLiteral("Bar_Port_Config"),
                           QStringLiteral("Bar_Traffic_Config"), QStringLiteral("Bar_Report"),
                           QStringLiteral("Bar_PortInfo")};

} // namespace

TEST_F(MainFrameTest, WindowTitleSizesAndBars)
{
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Tavrix-IGMP-TQ"));
    EXPECT_EQ(frame->minimumSize(), QSize(1024, 768));
    EXPECT_GE(frame->size().width(), 1024);
    EXPECT_EQ(frame->StatusBar->minimumHeight(), 21);
    EXPECT_EQ(frame->SettingsPath, folder.settingsPath());
    EXPECT_EQ(frame->View(), g_MainView);
}

TEST_F(MainFrameTest, SwitchingLanguageRelabelsEverythingAndPersists)
{
    const QStringList allKeys = kMenuKeys + kBarKeys;
    const auto labels = [this] {
        QStringList texts = menuTexts();
        for (CButtonST *button :
             {frame->ToolBar->Reconnect, frame->ToolBar->Load, frame->ToolBar->Save, frame->ToolBar->Pairing,
              frame->ToolBar->TestConfig, frame->ToolBar->Report, frame->ToolBar->Log})
            texts << button->text();
        return texts;
    };
    EXPECT_EQ(labels(), languageTexts(folder.languageFile("LangEng.lng"), allKeys));
    EXPECT_TRUE(frame->commandAction(CMainFrame::ID_LANGUAGE_ENGLISH)->isChecked());

    QSignalSpy viewCommands(frame->View(), &CMainFormView::commandReceived);
    frame->commandAction(CMainFrame::ID_LANGUAGE_CHINESE)->trigger();
    EXPECT_EQ(labels(), languageTexts(folder.languageFile("LangChs.lng"), allKeys));
    EXPECT_EQ(IniFile::getString(folder.settingsPath(), u"Language", u"SelLangFile", QString(), 1024),
              QStringLiteral("LangChs.lng"));
    EXPECT_TRUE(frame->commandAction(CMainFrame::ID_LANGUAGE_CHINESE)->isChecked());
    EXPECT_FALSE(frame->commandAction(CMainFrame::ID_LANGUAGE_ENGLISH)->isChecked());
    EXPECT_EQ(
        frame->StatusBar->PaneText(1),
        languageTexts(folder.languageFile("LangChs.lng"), {QStringLiteral("Status_UnConnect")}).first());
    ASSERT_EQ(viewCommands.size(), 1); // the view relabels its tree and pages
    EXPECT_EQ(viewCommands.first().first().toInt(), CMainFrame::ID_RELABEL_VIEW);

    frame->OnCommand(CMainFrame::ID_LANGUAGE_ENGLISH);
    EXPECT_EQ(IniFile::getString(folder.settingsPath(), u"Language", u"SelLangFile", QString(), 1024),
              QStringLiteral("LangEng.lng"));
    EXPECT_EQ(labels(), languageTexts(folder.languageFile("LangEng.lng"), allKeys));
}

// A setting that cannot be saved in Setting.ini is told with its reason, in the language on show; the
// choice holds for this run.
TEST_F(MainFrameTest, SettingsThatCannotBeSavedAreToldWithTheReason)
{
    const QString chinese = folder.languageFile("LangChs.lng");
    const QString english = folder.languageFile("LangEng.lng");
    const QStringList folderInPlace =
        languageTexts(chinese, {QStringLiteral("Setting_Save_Fail"), QStringLiteral("Save_Reason_Folder")});
    const QStringList diskFull = languageTexts(
        english, {QStringLiteral("Setting_Save_Fail"), QStringLiteral("Save_Reason_Disk_Full")});

    {
        const FileSizeLimit limit(8); // a full disk
        frame->OnCommand(CMainFrame::ID_LANGUAGE_CHINESE);
        frame->OnCommand(CMainFrame::ID_LANGUAGE_ENGLISH);
    }
    ASSERT_EQ(prompter.messages().size(), 2);
    EXPECT_EQ(prompter.messages().last(), diskFull.join(u'\n'));
    EXPECT_EQ(IniFile::getString(folder.settingsPath(), u"Language", u"SelLangFile", QString(), 1024),
              QStringLiteral("LangEng.lng"));

    ASSERT_TRUE(QFile::remove(folder.settingsPath()));
    ASSERT_TRUE(QDir().mkdir(folder.settingsPath())); // a folder in the file's place
    frame->OnCommand(CMainFrame::ID_LANGUAGE_CHINESE);
    EXPECT_TRUE(frame->commandAction(CMainFrame::ID_LANGUAGE_CHINESE)->isChecked());
    ASSERT_EQ(prompter.messages().size(), 3);
    EXPECT_EQ(prompter.messages().last(), folderInPlace.join(u'\n'));

    CLogDlg *log = frame->View()->LogDlg;
    log->autoClearBox()->click();
    EXPECT_EQ(log->AutoClear, 1);
    ASSERT_EQ(prompter.messages().size(), 4);
    EXPECT_EQ(prompter.messages().last(), folderInPlace.join(u'\n'));
}

TEST_F(MainFrameTest, LanguageAndModuleEntriesAreDisabledWhileRunning)
{
    g_IsRunning = 1;
    frame->UpdateMenuStates();
    for (int command :
         {CMainFrame::ID_MODULE_INFO, CMainFrame::ID_LANGUAGE_ENGLISH, CMainFrame::ID_LANGUAGE_CHINESE})
        EXPECT_FALSE(frame->commandAction(command)->isEnabled()) << command;
    frame->OnModuleInformation();
    EXPECT_EQ(prompter.messages(), QStringList{g_LangMag.GetString(QStringLiteral("Note_System_Runing"))});
    EXPECT_TRUE(frame->ModuleInfoDlg.isNull());
    g_IsRunning = 0;
    frame->UpdateMenuStates();
    EXPECT_TRUE(frame->commandAction(CMainFrame::ID_MODULE_INFO)->isEnabled());
}

TEST_F(MainFrameTest, ConnectionPaneFollowsModeAndInventory)
{
    const struct
    {
        std::uint32_t demo;
        std::uint8_t ready;
        const char *key;
    } cases[] = {{1, 1, "Status_Demo"}, {0, 1, "Status_Connected"}, {0, 0, "Status_UnConnect"}};
    for (const auto &c : cases) {
        app->DemoMode = c.demo;
        g_Session.InventoryReady = c.ready;
        frame->UpdateConnectionPane();
        EXPECT_EQ(frame->StatusBar->PaneText(1), g_LangMag.GetString(QLatin1String(c.key)));
        EXPECT_EQ(frame->StatusBar->PaneCount(), 2);
        EXPECT_EQ(frame->StatusBar->PaneIcon(1).cacheKey(), frame->StatusIcon.cacheKey());
    }
    EXPECT_EQ(g_LangMag.GetString(QStringLiteral("Status_Demo")), QStringLiteral("Demo"));
}

TEST_F(MainFrameTest, ModuleInformationRunsBehindTheBusyDialog)
{
    app->DemoMode = 1;
    VirtualWaitClock clock;
    QString busyText;
    bool busyShownDuringJob = false;
    // The demo pause inside the job: the busy dialog is on screen meanwhile.
    clock.callAfter(1000ms, [&] {
        CProgInfoDlg *busy = app->ProgressBar.Dialog();
        busyShownDuringJob = busy && busy->isVisible();
        busyText = busy ? busy->Text : QString();
    });
    frame->OnCommand(CMainFrame::ID_MODULE_INFO);
    EXPECT_TRUE(busyShownDuringJob);
    EXPECT_EQ(busyText, QStringLiteral("Detecting Halvern System..."));
    ASSERT_FALSE(frame->ModuleInfoDlg.isNull());
    EXPECT_TRUE(frame->ModuleInfoDlg->isVisible());
    EXPECT_EQ(app->ProgressBar.Count, 3u);
    EXPECT_EQ(app->ProgressBar.Dialog(), nullptr);
    // The demo pause, then the module window's own 100 ms read wait (taken in demo mode too).
    EXPECT_EQ(clock.waits(), (std::vector<std::chrono::milliseconds>{2000ms, 100ms}));

    // A second use replaces the window.
    QPointer<CModuleInfodlg> first = frame->ModuleInfoDlg;
    frame->OnCommand(CMainFrame::ID_MODULE_INFO);
    EXPECT_TRUE(first.isNull());
    EXPECT_FALSE(frame->ModuleInfoDlg.isNull());
}

TEST_F(MainFrameTest, ClosingDuringARunOnlyShowsTheNote)
{
    g_IsRunning = 1;
    EXPECT_FALSE(frame->close());
    EXPECT_EQ(prompter.messages(), QStringList{g_LangMag.GetString(QStringLiteral("Note_System_Runing"))});
    EXPECT_EQ(frame->Closing, 0);
    EXPECT_TRUE(link->calls.isEmpty()) << link->calls.join(u',').toStdString();
}

TEST_F(MainFrameTest, NoToTheCloseQuestionKeepsTheFrame)
{
    prompter.queueAnswer(IDNO);
    EXPECT_FALSE(frame->close());
    EXPECT_EQ(prompter.messages(), QStringList{g_LangMag.GetString(QStringLiteral("Note_Close_Client"))});
    EXPECT_TRUE(frame->isVisible());
}

TEST_F(MainFrameTest, DemoCloseIsImmediateWithoutBusyDialogOrServerCall)
{
    app->DemoMode = 1;
    lockPorts({{255, 2, 1}});
    prompter.queueAnswer(IDYES);
    app->ProgressBar.Count = 1234;
    EXPECT_TRUE(frame->close());
    EXPECT_EQ(frame->Closing, 1);
    EXPECT_TRUE(link->calls.isEmpty()) << link->calls.join(u',').toStdString();
    EXPECT_EQ(app->ProgressBar.Count, 1234u); // the busy dialog was never set up
}

TEST_F(MainFrameTest, HardwareCloseReleasesPortsPerChassisBehindTheBusyDialog)
{
    const struct
    {
        const char *name;
        std::vector<UtPortId> ports;
        std::uint32_t count;
        std::vector<UtPortSet> sets;
    } cases[] = {
        {"nothing locked", {}, 10, {}},
        {"seven ports",
         {{1, 2, 1}, {1, 2, 2}, {1, 2, 3}, {1, 2, 4}, {1, 3, 1}, {1, 6, 1}, {1, 17, 8}},
         10,
         {{1, {0x0000'010Fu, 0x01u, 0, 0x8000'0000u}}}},
        {"two chassis",
         {{1, 2, 1}, {2, 3, 2}, {1, 4, 4}, {2, 2, 1}},
         6,
         {{1, {0x0008'0001u, 0, 0, 0}}, {2, {0x0000'0201u, 0, 0, 0}}}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ShellGlobalsGuard::resetGlobals();
        app->DemoMode = 0;
        lockPorts(c.ports);
        FakeLink server;
        ScriptedPrompter answers;
        answers.queueAnswer(IDYES);
        CMainFrame closing(folder.path());
        closing.show();
        bool busyShown = false;
        QString busyText;
        server.onCall = [&](const QString &call) {
            if (call == QStringLiteral("QueryNumOfClient")) {
                g_Session.ClientCount = 2;
                if (CProgInfoDlg *busy = app->ProgressBar.Dialog()) {
                    busyShown = busy->isVisible();
                    busyText = busy->Text;
                }
            }
        };
        EXPECT_TRUE(closing.close());
        EXPECT_TRUE(busyShown);
        EXPECT_EQ(busyText, QStringLiteral("Terminating..."));
        EXPECT_EQ(app->ProgressBar.Count, c.count);
        ASSERT_EQ(server.unlocked.size(), c.sets.size());
        for (size_t i = 0; i < c.sets.size(); ++i)
            EXPECT_EQ(std::memcmp(&server.unlocked[i], &c.sets[i], sizeof(UtPortSet)), 0) << i;
        EXPECT_EQ(server.calls.last(), QStringLiteral("TerminateProcess"));
        EXPECT_EQ(answers.messages().size(), 1); // only the close question: the server is remote
    }
}

TEST_F(MainFrameTest, LocalServerIsOfferedToStopOnlyToItsLastClient)
{
    const struct
    {
        std::uint8_t local;
        std::uint8_t inventory;
        std::uint8_t clients;
        int answer;
        bool asked;
        QStringList calls;
    } cases[] = {
        {1,
         1,
         1,
         IDYES,
         true,
         {"QueryNumOfClient", "QueryNumOfClient", "TerminateServer", "TerminateProcess", "TerminateProcess"}},
        {1, 1, 1, IDNO, true, {"QueryNumOfClient", "QueryNumOfClient", "TerminateProcess"}},
        {1, 1, 2, IDYES, false, {"QueryNumOfClient", "QueryNumOfClient", "TerminateProcess"}},
        {1, 0, 1, IDYES, false, {"QueryNumOfClient", "QueryNumOfClient", "TerminateProcess"}},
        {0, 1, 1, IDYES, false, {"QueryNumOfClient", "QueryNumOfClient", "TerminateProcess"}},
    };
    for (const auto &c : cases) {
        ShellGlobalsGuard::resetGlobals();
        VirtualWaitClock clock;
        app->DemoMode = 0;
        g_ServerOnThisMachine = c.local;
        g_Session.InventoryReceived = c.inventory;
        FakeLink server;
        server.onCall = [&](const QString &call) {
            if (call == QStringLiteral("QueryNumOfClient"))
                g_Session.ClientCount = c.clients;
        };
        ScriptedPrompter answers;
        answers.queueAnswer(IDYES);
        answers.queueAnswer(c.answer);
        CMainFrame closing(folder.path());
        closing.show();
        EXPECT_TRUE(closing.close());
        EXPECT_EQ(answers.messages().contains(g_LangMag.GetString(QStringLiteral("Note_Close_Kvserver"))),
                  c.asked);
        EXPECT_EQ(server.calls, c.calls);
    }
}

TEST_F(MainFrameTest, RestoringFromMinimisedHoldsTheFlagFor250ms)
{
    VirtualWaitClock clock;
    std::uint8_t during = 0;
    clock.callAfter(100ms, [&] { during = frame->Restoring; });
    QWindowStateChangeEvent restore(Qt::WindowMinimized);
    QCoreApplication::sendEvent(frame.get(), &restore);
    EXPECT_EQ(during, 1);
    EXPECT_EQ(frame->Restoring, 0);
    EXPECT_EQ(clock.waits(), std::vector<std::chrono::milliseconds>{250ms});
}

// The report window follows the frame: its export bars go back to their place when the frame moves,
// a resize lays its pages out at (5, 20) of the sheet, and after a restore from the task bar the bars
// are hidden during the restore and then follow the showing rule again.
TEST_F(MainFrameTest, ReportWindowFollowsTheFrame)
{
    CMainFormView *view = frame->View();
    CTestReportDlg *report = view->ReportDlg;
    ASSERT_NE(report, nullptr);
    view->ShowTestReportPage();
    report->Results.Ran[TestMixClass] = 1;
    for (CDlgButton *bar : {report->ExcelBar, report->PdfBar})
        bar->ResultsReady = 1;
    report->ShowWithFrame();
    ASSERT_TRUE(report->PdfBar->isVisible());

    report->PdfBar->move(0, 0);
    frame->move(frame->pos() + QPoint(7, 5));
    QCoreApplication::processEvents();
    EXPECT_EQ(report->PdfBar->pos(), QPoint(report->width() - 20 - report->PdfBar->width(), 10));
    EXPECT_EQ(report->ExcelBar->x(), report->PdfBar->x() - 10 - report->ExcelBar->width());

    // The new size reaches the report window through the frame's layout, and its pages through the
    // relayout timer: waited for until the pages have the window's new size.
    const QSize reportBefore = report->size();
    frame->resize(frame->size() + QSize(40, 30));
    const auto pageInSheet = [report](int index) {
        QWidget *page = report->PropSheet->widget(index);
        return QRect(page->parentWidget()->mapTo(report->PropSheet, page->pos()), page->size());
    };
    const auto laidOut = [&] {
        if (report->size() == reportBefore)
            return false;
        const QRect expected(5, 20, report->width() - 30, report->height() - 50);
        for (int index = 0; index < report->PropSheet->count(); ++index) {
            if (pageInSheet(index) != expected)
                return false;
        }
        return true;
    };
    QTRY_VERIFY(laidOut());
    for (int index = 0; index < report->PropSheet->count(); ++index)
        EXPECT_EQ(pageInSheet(index), QRect(5, 20, report->width() - 30, report->height() - 50)) << index;

    VirtualWaitClock clock;
    bool shownDuringRestore = true;
    clock.callAfter(100ms, [&] { shownDuringRestore = report->PdfBar->isVisible(); });
    QWindowStateChangeEvent restore(Qt::WindowMinimized);
    QCoreApplication::sendEvent(frame.get(), &restore);
    EXPECT_FALSE(shownDuringRestore);
    EXPECT_TRUE(report->PdfBar->isVisible());
    EXPECT_TRUE(report->ExcelBar->isVisible());
}
