// Run control in virtual time, inside the main frame with the application's test plan: Run with its
// validation, the sequencer's fixed order and status texts, Stop at a wait, and the end of a run.
#include "ShellTestSupport.h"
#include "app/DlgWaitProgress.h"
#include "app/KvIGMPTQApp.h"
#include "app/LogDlg.h"
#include "app/MainFormView.h"
#include "app/MainFrame.h"
#include "app/ToolBarDlg.h"
#include "controls/grid/MyCug.h"
#include "controls/grid/UGCheckBoxType.h"
#include "controls/widgets/ButtonST.h"
#include "controls/widgets/PictureEx.h"
#include "controls/widgets/StaticEx.h"
#include "controls/widgets/TransparentImage.h"
#include "engine/EngineHost.h"
#include "engine/Session.h"
#include "engine/TestReportDlg.h"
#include "engine/VirtualWaitClock.h"
#include "platform/ScriptedPrompter.h"
#include "ports/PageDirectory.h"
#include "ports/PortCheckGrid.h"
#include "reports/DlgButton.h"
#include "reports/MyPropSheet.h"
#include "reports/ReportLatency.h"
#include "testpages/DlgAggregate.h"
#include "testpages/DlgCapacity.h"
#include "testpages/DlgJoinLeave.h"
#include "testpages/DlgLatency.h"
#include "testpages/DlgMixClass.h"
#include "testpages/DlgScale.h"

#include <QLabel>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

class RunControlTest : public testing::Test
{
protected:
    RunControlTest()
    {
        app = std::make_unique<CKvIGMPTQApp>(std::make_unique<FakeServices>(folder.path()));
        app->DemoMode = 1;
        g_LangMag.SetLangFile(folder.languageFile("LangEng.lng"));
        frame = std::make_unique<CMainFrame>(folder.path());
        frame->show();
        view = frame->View();
        EngineHost::instance().setStatusText = [this](const QString &text) { status << text; };
        QObject::connect(view, &CMainFormView::commandReceived, [this](int command) { commands << command; });
        CIGMPTestPlan &plan = app->TestPlan;
        plan.NumberOfTrials = 1;
        plan.TestDuration = 2;
        plan.IgmpVersion = 2;
        view->LatencyPage->InitialRate = 10;
        view->LatencyPage->RateStep = 10;
        view->LatencyPage->MaxRate = 10;
    }
    ~RunControlTest() override { EngineHost::instance().reset(); }

    static QString key(const char *name) { return g_LangMag.GetString(QString::fromLatin1(name)); }
    // Pair 1 in use: source (1,2,1), host (1,2,2).
    void addPairOne()
    {
        for (std::uint8_t port = 1; port <= 2; ++port) {
            const UtPortId id{1, 2, port};
            g_Session.PortTable[g_Session.PortCount++] = {id, 53, 0};
            UtPortRecord record = MakePortRecord(id, 53, 11);
            (port == 1 ? record.SourcePair : record.HostPair) = 1;
            g_Session.Ports.push_back(record);
        }
        // The plan starts with its eight pairs, none in use: pair 1 takes the two ports.
        const UtTestPair pairOne{1, 1, 1, 1, 2, 1, 0, {239, 1, 1, 1}, 1, 0xFFFF, 0xFF, 0xFF};
        std::vector<UtTestPair> &pairs = app->TestPlan.TestPairs;
        if (pairs.empty())
            pairs.push_back(pairOne);
        else
            pairs[0] = pairOne;
    }
    QStringList logLines() const { return view->LogDlg->text().split(u'\n', Qt::SkipEmptyParts); }
    QStringList startLines() const
    {
        return logLines().filter(QRegularExpression(QStringLiteral("^\\* Start .*Test$")));
    }
    void select(std::initializer_list<int> tests)
    {
        for (int test : tests)
            view->TestSelected[test] = 1;
    }
    void expectIdle() const
    {
        EXPECT_EQ(view->RunActive, 0);
        EXPECT_EQ(view->Run.StopRequested, 0u);
        EXPECT_EQ(g_IsRunning, 0u);
        EXPECT_FALSE(view->ElapsedTimer.isActive());
        EXPECT_TRUE(frame->isEnabled());
    }

    ShellGlobalsGuard guard;
    TempProgramFolder folder;
    ScriptedPrompter prompter;
    VirtualWaitClock clock;
    std::unique_ptr<CKvIGMPTQApp> app;
    std::unique_ptr<CMainFrame> frame;
    CMainFormView *view = nullptr;
    QStringList status;
    QList<int> commands;
};

} // namespace

TEST_F(RunControlTest, RunFromTheToolBarReturnsItToIdleAfterwards)
{
    select({TestLatency});
    CToolBarDlg *bar = frame->ToolBar;
    bar->Reconnect->setEnabled(true);
    bar->OnRunTest(); // the whole run happens inside this call
    EXPECT_EQ(prompter.messages(), QStringList{"Test Finished!"});
    EXPECT_EQ(bar->RunPicture, 159);
    EXPECT_EQ(bar->StopPicture, 174);
    EXPECT_TRUE(bar->Indicator->isHidden());
    EXPECT_FALSE(bar->IdlePicture->isHidden());
    EXPECT_FALSE(bar->Reconnect->isEnabled());
    for (CButtonST *button : {bar->Load, bar->Save, bar->Log, bar->TestConfig, bar->Report, bar->Pairing})
        EXPECT_TRUE(button->isEnabled());
    expectIdle();
}

TEST_F(RunControlTest, NothingSelectedLogsTheHeaderAndFinishes)
{
    view->OnCommand(CMainFormView::ID_RUN_TEST);
    const QStringList lines = logLines();
    ASSERT_GE(lines.size(), 9);
    EXPECT_EQ(lines[0], QString(69, u'*'));
    EXPECT_EQ(lines[1], QStringLiteral("*               Test Log").leftJustified(69));
    EXPECT_EQ(lines[3], QStringLiteral("* Program    : Tavrix-IGMP-TQ").leftJustified(69));
    EXPECT_TRUE(lines[7].startsWith("*Test Start  :     ")) << lines[7].toStdString();
    EXPECT_EQ(lines[8], "UI Field valid is not check currently");
    EXPECT_TRUE(startLines().isEmpty());
    EXPECT_EQ(status.first(), "Start Testing...");
    EXPECT_EQ(prompter.messages(), QStringList{"Test Finished!"});
    EXPECT_EQ(commands, (QList<int>{125, 133, 132}));
    EXPECT_TRUE(view->ReportDlg->ExcelBar->isHidden());
    EXPECT_TRUE(view->ReportDlg->PdfBar->isHidden());
    expectIdle();
}

TEST_F(RunControlTest, InvalidPagesEachShowTheirBoxAndNothingRuns)
{
    select({TestMixClass, TestScale, TestLatency});
    view->MixClassPage->FrameRows = {{100, 10, 100, 0, 64}}; // no resolution
    view->LatencyPage->RateStep = 0;
    view->OnRunTest();
    EXPECT_EQ(prompter.messages(),
              (QStringList{"Configuration of Mixed Class Test is not setting correctly\n",
                           "Configuration of Latency Test is not setting correctly\n"}));
    EXPECT_TRUE(startLines().isEmpty());
    EXPECT_EQ(commands, QList<int>{132});
    expectIdle();
}

TEST_F(RunControlTest, TestsRunInTheirFixedOrderWithTheirStatusTexts)
{
    select(
        {TestSourceFilter, TestJoinLeave, TestCapacity, TestLatency, TestScale, TestAggregate, TestMixClass});
    view->OnRunTest();
    EXPECT_EQ(startLines(),
              (QStringList{"* Start Mixed Class Test", "* Start Aggregate Test",
                           "* Start Scale Group Forwarding Test", "* Start Multicast Forwarding Latency Test",
                           "* Start Group Capacity Test", "* Start Group Join/Leave Delay Test",
                           "* Start IGMP V3 Source Filter Test"}));
    QStringList expected;
    for (const char *start :
         {"Stat_Start_Mixclass", "Stat_Start_Aggregate", "Stat_Start_Scale", "Stat_Start_Latency",
          "Stat_Start_Capacity", "Stat_Start_JoinLeave", "Stat_Start_SourceFilter"})
        expected << key(start) << key("Stat_Finshed");
    QStringList sequence = status;
    sequence.removeIf([&](const QString &text) { return !expected.contains(text); });
    EXPECT_EQ(sequence, expected);
    EXPECT_EQ(prompter.messages(), QStringList{"Test Finished!"});
    EXPECT_EQ(commands.count(133), 1);
    // The Source Filter procedure ran: results to save, the report on show.
    EXPECT_EQ(view->ReportDlg->ExcelBar->ResultsReady, 1);
    EXPECT_TRUE(view->ReportDlg->PdfBar->isVisible());
    for (int test = 0; test < TestCount; ++test)
        EXPECT_EQ(view->TestDone[test], 0) << test;
    expectIdle();
}

TEST_F(RunControlTest, MixedClassRunInDemoModeReachesTheMaximum)
{
    select({TestMixClass});
    view->MixClassPage->FrameRows = {{100, 10, 100, 1, 64}, {100, 10, 100, 1, 128}};
    view->OnRunTest();
    EXPECT_EQ(logLines().filter("Pass! Test achieve the Max. rate, Thoughput ==> 100.00").size(), 2);
    EXPECT_EQ(view->ReportDlg->Results.Counters[UtResultSet::MixedClass].size(), 2u);
    EXPECT_EQ(view->Run.FrameSizeIndex, 1u);
    EXPECT_EQ(prompter.messages(), QStringList{"Test Finished!"});
    expectIdle();
}

TEST_F(RunControlTest, StopAtAWaitEndsTheRun)
{
    select({TestMixClass, TestAggregate});
    app->TestPlan.TestDuration = 60;
    view->MixClassPage->FrameRows = {{100, 10, 100, 1, 64}};
    CDlgWaitProgress *first = nullptr;
    CDlgWaitProgress *second = nullptr;
    clock.callAt(10s, [&] {
        view->OnStopTest();
        first = view->WaitDialog;
        EXPECT_FALSE(frame->isEnabled());
        view->OnStopTest();
        second = view->WaitDialog;
    });
    view->OnRunTest();
    EXPECT_LT(clock.now(), 20s);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, second) << "a second Stop reuses the wait dialog";
    EXPECT_EQ(view->WaitDialog, nullptr);
    EXPECT_TRUE(logLines().filter("Mixclass throughput Test Complete").isEmpty());
    EXPECT_EQ(startLines(), QStringList{"* Start Mixed Class Test"});
    EXPECT_TRUE(prompter.messages().isEmpty()) << "a stopped procedure ends the run without a box";
    EXPECT_EQ(commands.count(133), 1);
    expectIdle();
}

// Without a chassis every hardware step fails: the first test ends the run, the others never start.
TEST_F(RunControlTest, FailedProcedureEndsTheRunOnce)
{
    app->DemoMode = 0;
    UtTestPort source{};
    source.Id = {1, 2, 1};
    app->TestPlan.SourcePorts.push_back(source);
    select({TestMixClass, TestAggregate, TestScale});
    view->MixClassPage->FrameRows = {{100, 10, 100, 1, 64}};
    view->OnRunTest();
    EXPECT_EQ(startLines(), QStringList{"* Start Mixed Class Test"});
    EXPECT_EQ(commands.count(133), 1);
    EXPECT_EQ(view->LinkDownStop, 1);
    EXPECT_TRUE(prompter.messages().isEmpty());
    EXPECT_EQ(view->TestDone[TestMixClass], 1) << "a failed runner keeps its byte";
    expectIdle();
}

TEST_F(RunControlTest, DemoRunStartsFromZeroCounters)
{
    g_Session.BuildDemoInventory();
    ASSERT_GE(g_Session.PortCounters.size(), 8u);
    for (std::size_t port = 0; port < 8; ++port) {
        g_Session.PortCounters[port].RxPackets = 5;
        g_Session.PortStates[port].RxCountA = 5;
    }
    view->OnRunTest();
    for (std::size_t port = 0; port < 8; ++port) {
        EXPECT_EQ(std::uint64_t{g_Session.PortCounters[port].RxPackets}, 0u) << port;
        EXPECT_EQ(std::uint64_t{g_Session.PortStates[port].RxCountA}, 0u) << port;
    }
}

TEST_F(RunControlTest, LatencyRunnerStepsEveryRateOfEveryRow)
{
    select({TestLatency});
    CIGMPTestPlan &plan = app->TestPlan;
    addPairOne();
    view->LatencyPage->PairChecked[1] = 1;
    view->LatencyPage->InitialRate = 10;
    view->LatencyPage->RateStep = 10;
    view->LatencyPage->MaxRate = 30;
    view->LatencyPage->FrameRows = {{10, 10, 30, 1, 64}, {10, 10, 30, 1, 128}, {40, 10, 30, 1, 256}};
    view->OnRunTest();
    // Three rates for the first two rows, none for a row starting above its maximum.
    EXPECT_EQ(view->ReportDlg->LatencyPage->Records.size(), 9u);
    EXPECT_EQ(view->Run.PairFrameLists[TestLatency].size(), 9u);
    EXPECT_EQ(view->Run.FrameSizeIndex, 2u);
    EXPECT_EQ(plan.PairSelected[0], 1);
    ASSERT_EQ(plan.HostPorts.size(), 1u);
    EXPECT_EQ(std::uint32_t{plan.HostPorts[0].LatencyCount}, 0u);
    EXPECT_EQ(double{plan.HostPorts[0].LatencySum}, 0.0);
}

// The run-value fields are read as the C runtime reads an integer: leading digits, then stop.
TEST_F(RunControlTest, RunValuesTakeTheLeadingNumberOfTheirFields)
{
    select({TestLatency});
    view->RunValueTextA = QStringLiteral("12abc");
    view->RunValueTextB = QStringLiteral(" -3 ms");
    view->OnRunTest();
    EXPECT_EQ(app->TestPlan.RunValueA, 12u);
    EXPECT_EQ(app->TestPlan.RunValueB, std::uint32_t(-3));
}

// A Stop given while the run ends (its "test finished" step) shows the wait dialog; that dialog is gone
// before "Test Finished!" appears, so that only one message is on screen at a time.
TEST_F(RunControlTest, StopWhileTheRunEndsShowsOneMessageAtATime)
{
    struct WatchingPrompter : ScriptedPrompter
    {
        CMainFormView *view = nullptr;
        QList<bool> waitDialogShown;
        int messageBox(const QString &text, unsigned type, const QString &caption) override
        {
            waitDialogShown << (view->WaitDialog && view->WaitDialog->isVisible());
            return ScriptedPrompter::messageBox(text, type, caption);
        }
    } watching;
    watching.view = view;
    select({TestLatency});
    QObject::connect(view, &CMainFormView::commandReceived, view, [this](int command) {
        if (command == CMainFormView::ID_TEST_FINISHED)
            view->OnStopTest();
    });
    view->OnRunTest();
    EXPECT_EQ(watching.messages(), QStringList{"Test Finished!"});
    EXPECT_EQ(watching.waitDialogShown, QList<bool>{false});
    EXPECT_EQ(view->WaitDialog, nullptr);
    expectIdle();
}

TEST_F(RunControlTest, ElapsedTimeStartsFromZeroAtEveryRun)
{
    select({TestMixClass});
    view->MixClassPage->FrameRows = {{100, 10, 100, 1, 64}};
    view->ElapsedValue->SetText(QStringLiteral("00:03:25")); // what the last run left
    clock.callAt(0s, [this] { view->OnStopTest(); });
    view->OnRunTest();
    EXPECT_EQ(view->ElapsedValue->GetText(), QStringLiteral("00:00:00"));
}

// Every procedure runs whole in demo mode, one after the other in one run.
TEST_F(RunControlTest, AllSevenProceduresRunToTheirEndInDemoMode)
{
    select(
        {TestMixClass, TestAggregate, TestScale, TestLatency, TestCapacity, TestJoinLeave, TestSourceFilter});
    CIGMPTestPlan &plan = app->TestPlan;
    plan.InitialClients = plan.MaxClients = 1;
    plan.InitialGroups = 1;
    plan.MaxGroups = 2;
    plan.GroupStep = 1;
    plan.MeasureFlags = 3;
    view->MixClassPage->FrameRows = {{100, 10, 100, 1, 64}};
    view->AggregatePage->FrameRows = {{100, 10, 100, 1, 64}};
    view->ScalePage->FrameRows = {{100, 10, 100, 1, 64}};
    view->LatencyPage->FrameRows = {{10, 10, 10, 1, 64}};
    view->CapacityPage->RunList = {64};
    view->JoinLeavePage->RunList = {64};
    view->OnRunTest();
    const QString log = view->LogDlg->text();
    for (const char *end : {"* Mixclass throughput Test Complete", "* Aggregate Test Complete",
                            "* Scale Group Forwarding Test Complete", "* Forwarding Latency Test Complete",
                            "* Finish Group Capacity Test", "* Finish Join Group Delay Test",
                            "* Finish Leave Group Delay Test", "* IGMP V3 Filter Test Complete"})
        EXPECT_TRUE(log.contains(QLatin1String(end))) << end;
    for (int ran = 0; ran < 7; ++ran)
        EXPECT_EQ(view->ReportDlg->Results.Ran[std::size_t(ran)], 1) << ran;
    EXPECT_EQ(view->CapacityPage->CapacityLabel->text(), "2");
    EXPECT_EQ(prompter.messages(), QStringList{"Test Finished!"});
    expectIdle();
}

// What is typed into a page's port grid lives through a tree click, a language change and a run, and
// the run writes it into the port record.
TEST_F(RunControlTest, TypedPortSettingsSurviveTreeClicksLanguageChangesAndRuns)
{
    addPairOne();
    view->AggregatePage->PairChecked[1] = 1;
    view->ShowTestPage(TestAggregate);
    MyCug *grid = view->AggregatePage->PortGrid;
    QString label;
    grid->GetCellTextTo(0, 0, label);
    ASSERT_FALSE(label.isEmpty());
    grid->SetCellText(11, 0, "10.9.8.7");
    view->OnTreeClick(view->TreeItem(TreeNode::Root));
    view->OnLanguageChanged();
    view->ShowTestPage(TestAggregate);
    QString shown;
    grid->GetCellTextTo(11, 0, shown);
    EXPECT_EQ(shown, "10.9.8.7");
    select({TestAggregate});
    view->OnRunTest();
    EXPECT_EQ(g_Session.Ports[0].IPAddress, 0x0A090807u);
    EXPECT_EQ(app->TestPlan.SourcePorts.size(), 1u);
}

TEST_F(RunControlTest, PairTickReachesThePageOnShowThroughTheViewsDirectory)
{
    addPairOne();
    view->ShowTestPage(TestAggregate);
    CTestPageBase *page = view->AggregatePage;
    ASSERT_EQ(page->PairGrid->GetRowCount(), 1);
    QString label;
    page->PortGrid->GetCellTextTo(0, 0, label);
    EXPECT_TRUE(label.isEmpty()) << "an unticked pair lists no port";

    CUGCell check;
    page->PairGrid->ReadCell(0, 0, &check);
    check.AssignText(QStringLiteral("1"));
    page->PairGrid->WriteCell(0, 0, &check);
    page->PairGrid->HookCellTypeEvent(CUGCtrl::CellTypeCheckBox, 0, 0, CUGCheckBoxType::kMessageStateChanged, 0);
    EXPECT_EQ(page->PairChecked[1], 1);
    page->PortGrid->GetCellTextTo(0, 0, label);
    EXPECT_FALSE(label.isEmpty());
    EXPECT_EQ(view->ScalePage->PairChecked[1], 0) << "a page not on show is left alone";

    // Deleting the pair in the pair editor clears its selection on every page.
    PageDirectory::current()->ClearPairSelection(0);
    EXPECT_EQ(page->PairChecked[1], 0);
}

TEST_F(RunControlTest, RunsUnlockOnlyTheResultTabsOfTheirTests)
{
    const CMyPropSheet *sheet = view->ReportDlg->PropSheet;
    const auto locked = [&] {
        QList<int> tabs;
        for (int tab = 0; tab < sheet->count(); ++tab) {
            if (sheet->IsPageLocked(tab))
                tabs << tab;
        }
        return tabs;
    };
    EXPECT_EQ(locked(), (QList<int>{0, 1, 2, 3, 4}));
    // Capacity and Join/Leave have no result tab: all five stay locked.
    select({TestCapacity, TestJoinLeave});
    view->OnRunTest();
    EXPECT_EQ(locked(), (QList<int>{0, 1, 2, 3, 4}));
    std::fill(std::begin(view->TestSelected), std::end(view->TestSelected), std::uint8_t(0));
    select({TestAggregate});
    view->OnRunTest();
    EXPECT_EQ(locked(), (QList<int>{0, 2, 3, 4}));
    expectIdle();
}
