// How a run ends, inside the main frame in hardware mode against the chassis simulator in simulated time: a
// chassis lost mid-run, the user's Stop, and Reconnect while a run is on.
#include "MainWindowSimulator.h"
#include "MainWindowTest.h"
#include "app/LogDlg.h"
#include "app/MMStatusBar.h"
#include "app/PairOnePages.h"
#include "app/ToolBarDlg.h"
#include "common/PdfReadBack.h"
#include "common/XlsReadBack.h"
#include "controls/widgets/ButtonST.h"
#include "engine/EngineHost.h"
#include "engine/EngineUtils.h"
#include "reports/CounterLog.h"
#include "reports/ReportMixClass.h"
#include "run/TestReportDlg.h"

#include <QLabel>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

struct RunEndCase
{
    int test;
    const char *language;
};

void PrintTo(const RunEndCase &c, std::ostream *out)
{
    *out << "test " << c.test << ", " << c.language;
}

// Pair 1 sends from (2,1) to (2,2) and (2,3); every page runs it, Capacity watching (2,4). The status
// texts of the run are recorded as the status bar shows them.
class RunEndTest : public MainWindowTest, public testing::WithParamInterface<RunEndCase>
{
protected:
    RunEndTest() : MainWindowTest({.languageFile = GetParam().language, .shown = false}) {}

    void SetUp() override
    {
        bar = frame->ToolBar;
        ASSERT_NO_FATAL_FAILURE(simulator.start({}, app->TestPlan));
        EngineHost &host = EngineHost::instance();
        host.setStatusText = [this, shown = host.setStatusText](const QString &text) {
            statuses << text;
            if (shown)
                shown(text);
        };
        // The program's reservation of the simulator's ports that the simulator locked.
        std::fill(g_Session.LockedFlags.begin(), g_Session.LockedFlags.end(), std::uint8_t(1));
        CDlgMixClass *mixClass = view->MixClassPage;
        mixClass->PairChecked[1] = 1;
        mixClass->DurationField.edit->setText("30");
        mixClass->DelayAfterJoinField.edit->setText("1");
        CDlgCapacity *capacity = view->CapacityPage;
        capacity->InitialGroups.Edit->setText("100");
        capacity->GroupStep.Edit->setText("100");
        capacity->MaxGroups.Edit->setText("1000");
        CDlgJoinLeave *joinLeave = view->JoinLeavePage;
        joinLeave->TestDuration.Edit->setText("30");
        for (CTestPageBase *page :
             {static_cast<CTestPageBase *>(capacity), static_cast<CTestPageBase *>(joinLeave)}) {
            page->PairChecked[1] = 1;
            page->FillPairGrid();
        }
        capacity->MonitorCombo->setCurrentIndex(
            capacity->MonitorCombo->findText(QStringLiteral("(1, 2, 4)")));
        PairOnePages::sourceFilterRunsPairOne(*view);
        view->SourceFilterPage->DurationEdit->setText("30");
        view->TestSelected[GetParam().test] = 1;
    }
    void TearDown() override { simulator.stop(frame); }

    static QString text(const char *key) { return g_LangMag.GetString(QString::fromLatin1(key)); }
    QStringList logLines() const { return view->LogDlg->text().split(u'\n', Qt::SkipEmptyParts); }
    QString statusBarText() const { return frame->StatusBar->PaneText(0); }
    std::string logText() const { return view->LogDlg->text().toStdString(); }

    MainWindowSimulator simulator;
    SimulatedTimeClock &clock = simulator.clock;
    CToolBarDlg *bar = nullptr;
    QStringList statuses;
};

// The same set-up for a Stop and for Reconnect.
using StoppedRunTest = RunEndTest;
using ReconnectTest = RunEndTest;

} // namespace

// The chassis goes away 3 seconds into the run: the run ends with a message that the connection was lost
// and the test did not finish, the status bar and the log say the same, and Reconnect is offered.
TEST_P(RunEndTest, ALostChassisEndsTheRunUnfinished)
{
    clock.callAt(3s, [this] { simulator.server->dropClients(); });
    bar->OnRunTest();
    const QString lost = text("Stat_Connection_Lost");
    EXPECT_EQ(prompter.messages().join(u'|').toStdString(), lost.toStdString()) << logText();
    EXPECT_EQ(statusBarText().toStdString(), lost.toStdString());
    EXPECT_FALSE(statuses.contains(text("Stat_Finshed")));
    ASSERT_FALSE(logLines().isEmpty());
    EXPECT_EQ(logLines().last().toStdString(), ("* " + lost).toStdString());
    EXPECT_EQ(frame->ConnectionLost, 1);
    EXPECT_EQ(frame->StatusBar->PaneText(1).toStdString(), text("Status_UnConnect").toStdString());
    EXPECT_TRUE(bar->Reconnect->isEnabled());
    EXPECT_EQ(view->RunActive, 0);
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, RunEndTest,
                         testing::Values(RunEndCase{TestMixClass, "LangEng.lng"},
                                         RunEndCase{TestMixClass, "LangChs.lng"},
                                         RunEndCase{TestCapacity, "LangEng.lng"},
                                         RunEndCase{TestJoinLeave, "LangChs.lng"}));

// A Stop in the middle of a trial: no step it cut short is told as a failure, the run ends as stopped,
// the stopped result says so, and every membership the trial made is left: none of them times out on the
// device afterwards.
TEST_P(StoppedRunTest, AStoppedTrialSaysSoAndLeavesWhatItJoined)
{
    const int test = GetParam().test;
    // Capacity stops while its second step's joins go out, the others 20 seconds into the run.
    const QString secondJoin = QStringLiteral("Number of  Group 200  joined");
    EngineHost::instance().appendLog = [this, test, secondJoin,
                                        shown = EngineHost::instance().appendLog](const QString &line) {
        if (test == TestCapacity && line.contains(secondJoin))
            clock.callAfter(20ms, [this] { bar->Stop->click(); });
        if (shown)
            shown(line);
    };
    if (test != TestCapacity)
        clock.callAt(20s, [this] { bar->Stop->click(); });
    bar->OnRunTest();
    ASSERT_EQ(view->RunActive, 0);

    EXPECT_TRUE(prompter.messages().isEmpty()) << prompter.messages().join(u'|').toStdString();
    EXPECT_EQ(statusBarText().toStdString(), text("Stat_Test_Stopped").toStdString());
    const qsizetype stop = statuses.indexOf(text("Wait_Stop_Test"));
    ASSERT_GE(stop, 0);
    for (const char *failure : {"Stat_Send_Join_Fail", "Stat_Fill_AddEntty_Fail", "Stat_Send_Leave_Fail",
                                "Stat_Check_Link_Fail", "Stat_Send_Multicast_Fail"})
        EXPECT_FALSE(statuses.mid(stop).contains(text(failure))) << failure;
    EXPECT_FALSE(statuses.mid(stop).contains(text("Stat_Finshed")));
    EXPECT_EQ(logLines().last().toStdString(), "* Test stopped by the user.");
    if (test != TestMixClass) {
        EXPECT_EQ(logLines()
                      .filter(QRegularExpression("^\\* Test stopped: leaving the \\d+ groups it joined"))
                      .size(),
                  1)
            << logText();
    }

    // The result on screen and in the reports says that it was stopped: the capacity as the PDF report
    // shows it, the testing interval of a result page as the spreadsheet copies it.
    const QString stopped = text("Result_Stopped");
    const QString file = folder.path() + QStringLiteral("report");
    if (test == TestCapacity) {
        const QString capacity = view->CapacityPage->CapacityLabel->text();
        EXPECT_EQ(capacity.toStdString(), QString(stopped).replace("%s", "100").toStdString());
        ASSERT_TRUE(view->ReportDlg->CounterPage->SavePdfReport(file));
        QString pdfText;
        for (const PdfWord &word : readPdfBack(file).Words)
            pdfText += word.Text;
        EXPECT_TRUE(pdfText.contains(QString(capacity).remove(u' '))) << pdfText.toStdString();
    } else if (test == TestMixClass || test == TestSourceFilter) {
        ReportPage *page = test == TestMixClass ? static_cast<ReportPage *>(view->ReportDlg->MixClassPage)
                                                : static_cast<ReportPage *>(view->ReportDlg->FilterPage);
        // The testing interval ends with the time of the Stop, and says that the test was stopped.
        const QString time = QStringLiteral("\\d+/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d");
        const QRegularExpression expected(QStringLiteral("^") +
                                          QRegularExpression::escape(stopped).replace(
                                              QStringLiteral("\\%s"), time + QStringLiteral(" -") + time) +
                                          QStringLiteral("$"));
        const QString interval = page->Cell(ReportPage::kTestIntervalRow, page->ValueColumn);
        EXPECT_TRUE(expected.match(interval).hasMatch()) << interval.toStdString();
        ASSERT_TRUE(view->ReportDlg->CounterPage->SaveExcelReport(file));
        const QString book = QString::fromUtf8(QJsonDocument(readXlsBack(file)).toJson());
        EXPECT_TRUE(book.contains(interval)) << book.left(2000).toStdString();
    }

    // The device's membership time-out passes: what the test left joined would time out now.
    WaitPumping(300s);
    std::vector<std::string> timedOut;
    for (const std::string &line : simulator.server->callLog()) {
        if (line.find("timed out") != std::string::npos)
            timedOut.push_back(line);
    }
    EXPECT_TRUE(timedOut.empty()) << timedOut.size() << " memberships, the first: " << timedOut.front();
}

INSTANTIATE_TEST_SUITE_P(EveryGroupTest, StoppedRunTest,
                         testing::Values(RunEndCase{TestCapacity, "LangEng.lng"},
                                         RunEndCase{TestCapacity, "LangChs.lng"},
                                         RunEndCase{TestJoinLeave, "LangEng.lng"},
                                         RunEndCase{TestSourceFilter, "LangEng.lng"},
                                         RunEndCase{TestMixClass, "LangChs.lng"}));

// The connection is told lost during a run: Reconnect is not offered until the run has ended, and pressed
// all the same it is refused as the other buttons are; the run goes on to its end.
TEST_P(ReconnectTest, IsRefusedWhileARunIsActive)
{
    bool offeredDuringTheRun = true;
    clock.callAt(3s, [&] {
        frame->OnConnectionLost();
        offeredDuringTheRun = bar->Reconnect->isEnabled();
        bar->OnReconnect();
    });
    bar->OnRunTest();
    EXPECT_FALSE(offeredDuringTheRun);
    EXPECT_EQ(prompter.messages().join(u'|').toStdString(),
              (text("Note_System_Runing") + "|Test Finished!").toStdString())
        << logText();
    EXPECT_EQ(g_Reconnected, 0u);
    EXPECT_TRUE(bar->Reconnect->isEnabled()) << "offered once the run has ended";
}

// While Reconnect waits for the server's inventory, neither a second Reconnect nor Run starts.
TEST_P(ReconnectTest, OneReconnectAtATimeAndNoRunDuringIt)
{
    FakeLink link;
    frame->OnConnectionLost();
    ASSERT_TRUE(bar->Reconnect->isEnabled());
    bool offeredDuringTheWait = true;
    clock.callAfter(1s, [&] {
        offeredDuringTheWait = bar->Reconnect->isEnabled();
        bar->OnReconnect();
        bar->OnRunTest();
    });
    bar->OnReconnect(); // no inventory comes: it gives up after its wait
    EXPECT_FALSE(offeredDuringTheWait);
    EXPECT_EQ(link.calls.count(QStringLiteral("ConnectToServer")), 1);
    EXPECT_EQ(prompter.messages().join(u'|').toStdString(), text("Note_Connect_Server_Fail").toStdString());
    EXPECT_TRUE(logLines().filter(QStringLiteral("Start Testing")).isEmpty());
    EXPECT_TRUE(bar->Reconnect->isEnabled()) << "on offer again after the failed attempt";
}

INSTANTIATE_TEST_SUITE_P(MixedClassRun, ReconnectTest,
                         testing::Values(RunEndCase{TestMixClass, "LangEng.lng"}));
