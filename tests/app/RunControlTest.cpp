// Run control in virtual time, inside the main frame with the application's test plan: Run with its
// validation, the sequencer's fixed order and status texts, Stop at a wait, and the end of a run; and
// runs from each rate page against the chassis simulator in simulated time.
#include "MainWindowSimulator.h"
#include "MainWindowTest.h"
#include "app/DlgWaitProgress.h"
#include "app/KvIGMPTQApp.h"
#include "app/LangMag.h"
#include "app/LogDlg.h"
#include "app/MMStatusBar.h"
#include "app/MainFormView.h"
#include "app/MainFrame.h"
#include "app/PairOnePages.h"
#include "app/ToolBarDlg.h"
#include "common/PdfReadBack.h"
#include "controls/grid/KvAvlGrid.h"
#include "controls/grid/MyCug.h"
#include "controls/grid/UGCheckBoxType.h"
#include "controls/widgets/ButtonST.h"
#include "controls/widgets/NumEdit.h"
#include "controls/widgets/PictureEx.h"
#include "controls/widgets/SkinListCtrl.h"
#include "controls/widgets/StaticEx.h"
#include "controls/widgets/TransparentImage.h"
#include "engine/EngineHost.h"
#include "engine/EngineUtils.h"
#include "engine/Session.h"
#include "engine/VirtualWaitClock.h"
#include "kvserver/KvServer.h"
#include "platform/ScriptedPrompter.h"
#include "ports/ModuleInfodlg.h"
#include "ports/PageDirectory.h"
#include "ports/PortCheckGrid.h"
#include "ports/PortInfoConfig.h"
#include "ports/SysInfoDlg.h"
#include "reports/CounterLog.h"
#include "reports/DlgButton.h"
#include "reports/MyPropSheet.h"
#include "reports/ReportAggregate.h"
#include "reports/ReportFilter.h"
#include "reports/ReportLatency.h"
#include "reports/ReportMixClass.h"
#include "reports/ReportScale.h"
#include "run/TestReportDlg.h"
#include "testpages/DlgAggregate.h"
#include "testpages/DlgCapacity.h"
#include "testpages/DlgJoinLeave.h"
#include "testpages/DlgLatency.h"
#include "testpages/DlgMixClass.h"
#include "testpages/DlgScale.h"
#include "testpages/DlgSourceFilter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTreeWidget>
#include <QtEndian>
#include <array>
#include <cstring>
#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

class RunControlTest : public MainWindowTest
{
protected:
    RunControlTest() : MainWindowTest({.demo = true})
    {
        EngineHost::instance().setStatusText = [this](const QString &text) { status << text; };
        QObject::connect(view, &CMainFormView::commandReceived, [this](int command) { commands << command; });
        CIGMPTestPlan &plan = app->TestPlan;
        plan.NumberOfTrials = 1;
        plan.TestDuration = 2;
        plan.IgmpVersion = 2;
    }
    ~RunControlTest() override { EngineHost::instance().reset(); }

    static QString key(const char *name) { return g_LangMag.GetString(QString::fromLatin1(name)); }
    void addPairOne() { PairOnePages::addPairOne(app->TestPlan); }
    std::array<CRateTestPage *, 4> ratePages() const { return PairOnePages::ratePages(*view); }
    void readyRatePages() { PairOnePages::readyRatePages(*view, app->TestPlan); }
    void groupPagesRunPairOne() { PairOnePages::groupPagesRunPairOne(*view, app->TestPlan); }
    void sourceFilterRunsPairOne() { PairOnePages::sourceFilterRunsPairOne(*view); }
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

    VirtualWaitClock clock;
    QStringList status;
    QList<int> commands;
};

} // namespace

TEST_F(RunControlTest, TheClosingBoxSpeaksTheChosenLanguage)
{
    readyRatePages();
    select({TestLatency});
    g_LangMag.SetLangFile(folder.languageFile("LangChs.lng"));
    view->OnLanguageChanged();
    frame->ToolBar->OnRunTest();
    EXPECT_EQ(prompter.messages(), QStringList{QStringLiteral("测试完成！")});
}

TEST_F(RunControlTest, RunFromTheToolBarReturnsItToIdleAfterwards)
{
    readyRatePages();
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
    EXPECT_FALSE(bar->Stop->isEnabled()) << "nothing runs";
    EXPECT_TRUE(bar->Spare->isHidden()) << "the spare button has no action";
    expectIdle();
}

// The elapsed time counts while the run goes on and stands still from its end, while "Test Finished!" waits.
TEST_F(RunControlTest, ElapsedTimeStopsWhenTheRunEnds)
{
    struct ElapsedProbe : ScriptedPrompter
    {
        explicit ElapsedProbe(const CMainFormView &view) : view(view) {}
        int messageBox(const QString &text, unsigned type, const QString &caption) override
        {
            countingAt << view.ElapsedTimer.isActive();
            return ScriptedPrompter::messageBox(text, type, caption);
        }
        const CMainFormView &view;
        QList<bool> countingAt;
    } probe(*view);
    readyRatePages();
    select({TestLatency});
    bool countedDuringTheRun = false;
    clock.callAfter(1500ms, [&] { countedDuringTheRun = view->ElapsedTimer.isActive(); });
    frame->ToolBar->OnRunTest();
    EXPECT_TRUE(countedDuringTheRun);
    EXPECT_EQ(probe.messages(), QStringList{"Test Finished!"});
    EXPECT_EQ(probe.countingAt, QList<bool>{false});
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
    readyRatePages();
    select({TestMixClass, TestScale, TestLatency});
    view->MixClassPage->ResolutionField.edit->setText("0");
    view->LatencyPage->MinRateField.edit->setText("0"); // the rate step
    view->OnRunTest();
    EXPECT_EQ(prompter.messages(), (QStringList{"Configuration of Mixed Class Test is not setting correctly\n"
                                                "Resolution (%) is 0: it must lie between 0.01 and 100.00.",
                                                "Configuration of Latency Test is not setting correctly\n"
                                                "Step Rate (%) is 0: it must lie between 0.01 and 100.00."}));
    EXPECT_TRUE(startLines().isEmpty());
    EXPECT_EQ(commands, QList<int>{132});
    expectIdle();
}

TEST_F(RunControlTest, TestsRunInTheirFixedOrderWithTheirStatusTexts)
{
    readyRatePages();
    select(
        {TestSourceFilter, TestJoinLeave, TestCapacity, TestLatency, TestScale, TestAggregate, TestMixClass});
    groupPagesRunPairOne();
    sourceFilterRunsPairOne();
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

// The runner walks the frame rows the page builds from its fields, one procedure run each.
TEST_F(RunControlTest, MixedClassRunInDemoModeRunsEveryFrameRowOfThePage)
{
    readyRatePages();
    select({TestMixClass});
    view->MixClassPage->MinRateField.edit->setText("100");
    view->MixClassPage->FrameStopField.edit->setText("128");
    view->OnRunTest();
    const QStringList lines = logLines();
    EXPECT_EQ(lines.filter("Total Tested Frame : 2").size(), 1);
    for (const char *size : {"64", "128"})
        EXPECT_EQ(lines.filter(QStringLiteral("Test Trail - 1, Frame Size %1 bytes").arg(size)).size(), 1)
            << size;
    EXPECT_EQ(view->ReportDlg->Results.Counters[UtResultSet::MixedClass].size(), 2u);
    EXPECT_EQ(view->Run.FrameSizeIndex, 1u);
    EXPECT_EQ(prompter.messages(), QStringList{"Test Finished!"});
    expectIdle();
}

TEST_F(RunControlTest, StopAtAWaitEndsTheRun)
{
    readyRatePages();
    select({TestMixClass, TestAggregate});
    view->MixClassPage->DurationField.edit->setText("60");
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
    readyRatePages();
    select({TestMixClass, TestAggregate, TestScale});
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
    readyRatePages();
    select({TestLatency});
    CIGMPTestPlan &plan = app->TestPlan;
    CDlgLatency *latency = view->LatencyPage;
    latency->MaxRateField.edit->setText("30");
    latency->CustomCheck->setChecked(true);
    latency->CustomFrameTable = {{10, 10, 30, 1, 64}, {10, 10, 30, 1, 128}, {40, 10, 30, 1, 256}};
    view->OnRunTest();
    // Three rates for the first two rows, none for a row starting above its maximum: records only for
    // the rates run.
    EXPECT_EQ(view->ReportDlg->LatencyPage->Records.size(), 6u);
    EXPECT_EQ(view->Run.PairFrameLists[TestLatency].size(), 6u);
    EXPECT_EQ(view->Run.FrameSizeIndex, 2u);
    EXPECT_EQ(plan.PairSelected[0], 1);
    ASSERT_EQ(plan.HostPorts.size(), 1u);
    EXPECT_EQ(std::uint32_t{plan.HostPorts[0].LatencyCount}, 0u);
    EXPECT_EQ(double{plan.HostPorts[0].LatencySum}, 0.0);
}

// The run-value fields are read as the C runtime reads an integer: leading digits, then stop.
TEST_F(RunControlTest, RunValuesTakeTheLeadingNumberOfTheirFields)
{
    readyRatePages();
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
    readyRatePages();
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
    readyRatePages();
    select({TestMixClass});
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
    readyRatePages();
    CIGMPTestPlan &plan = app->TestPlan;
    // The Scale page leaves two groups in the plan for the Capacity test after it.
    view->ScalePage->MaxGroupsField.edit->setText("2");
    plan.GroupStep = 1;
    plan.MeasureFlags = 3;
    view->CapacityPage->RunList = {64};
    view->JoinLeavePage->RunList = {64};
    plan.InitialClients = plan.MaxClients = 1;
    readyRatePages();
    groupPagesRunPairOne();
    sourceFilterRunsPairOne();
    view->CapacityPage->InitialGroups.Edit->setText(QStringLiteral("1"));
    view->CapacityPage->MaxGroups.Edit->setText(QStringLiteral("2"));
    view->CapacityPage->GroupStep.Edit->setText(QStringLiteral("1"));
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
    readyRatePages();
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
    EXPECT_EQ(g_Session.Ports[0].IPAddress, qFromBigEndian<std::uint32_t>(0x0A090807));
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
    page->PairGrid->HookCellTypeEvent(CUGCtrl::CellTypeCheckBox, 0, 0, CUGCheckBoxType::kMessageStateChanged,
                                      0);
    EXPECT_EQ(page->PairChecked[1], 1);
    page->PortGrid->GetCellTextTo(0, 0, label);
    EXPECT_FALSE(label.isEmpty());
    EXPECT_EQ(view->ScalePage->PairChecked[1], 0) << "a page not on show is left alone";

    // Deleting the pair in the pair editor clears its selection on every page.
    PageDirectory::current()->ClearPairSelection(0);
    EXPECT_EQ(page->PairChecked[1], 0);
}

// A tick in the Mixed Class page's unicast-port list and the pair editor's client limit reach the
// view's pages through its directory.
TEST_F(RunControlTest, UnicastTicksAndClientLimitsReachThePagesThroughTheViewsDirectory)
{
    addPairOne();
    const UtPortId second{1, 2, 3};
    g_Session.PortTable[g_Session.PortCount++] = {second, 53, 0};
    UtPortRecord host = MakePortRecord(second, 53, 11);
    host.HostPair = 1;
    g_Session.Ports.push_back(host);
    view->MixClassPage->PairChecked[1] = 1;
    view->ShowTestPage(TestMixClass);
    const UtTestPair &pair = app->TestPlan.TestPairs[0];
    EXPECT_EQ(int(pair.UniPid), 2) << "the first host became the unicast port";
    view->MixClassPage->UnicastGrid->SelectUnicastPort(1);
    EXPECT_EQ(int(pair.UniPid), 3);

    PageDirectory::current()->SetClientLimit(3);
    EXPECT_EQ(view->AggregatePage->MaxClientsField.edit->toolTip(), "Range is 1~3");
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
    readyRatePages();
    select({TestAggregate});
    view->OnRunTest();
    EXPECT_EQ(locked(), (QList<int>{0, 2, 3, 4}));
    expectIdle();
}

// The report shows only what the last run ran: its result tabs, the report node's children (during the
// run as each test starts, after it, and after a language change) and the page the Report opens on.
TEST_F(RunControlTest, ReportShowsOnlyWhatTheLastRunRan)
{
    readyRatePages();
    groupPagesRunPairOne();
    view->CapacityPage->RunList = {64};
    view->CapacityPage->InitialGroups.Edit->setText(QStringLiteral("1"));
    view->CapacityPage->MaxGroups.Edit->setText(QStringLiteral("2"));
    view->CapacityPage->GroupStep.Edit->setText(QStringLiteral("1"));
    const CMyPropSheet *sheet = view->ReportDlg->PropSheet;
    const auto reportNodes = [this] {
        QList<TreeNode> nodes;
        const QTreeWidgetItem *report = view->TreeItem(TreeNode::Report);
        for (int child = 0; report && child < report->childCount(); ++child)
            nodes << CMainFormView::NodeOf(report->child(child));
        return nodes;
    };
    QList<TreeNode> nodesAtCapacityStart;
    EngineHost::instance().setStatusText = [&](const QString &text) {
        if (text == key("Stat_Start_Capacity"))
            nodesAtCapacityStart = reportNodes();
    };

    select({TestAggregate, TestCapacity});
    view->OnRunTest();
    EXPECT_EQ(nodesAtCapacityStart, QList<TreeNode>{TreeNode::ReportAggregate});
    EXPECT_EQ(reportNodes(), QList<TreeNode>{TreeNode::ReportAggregate});
    EXPECT_EQ(sheet->GetActiveIndex(), TestAggregate);

    // A Capacity-only run: no result page of the Aggregate run is left to open, whatever is ticked.
    view->TestSelected[TestAggregate] = 0;
    view->OnRunTest();
    EXPECT_TRUE(nodesAtCapacityStart.isEmpty());
    ASSERT_EQ(prompter.messages(), (QStringList{"Test Finished!", "Test Finished!"}));
    select({TestMixClass, TestLatency});
    frame->OnCommand(CMainFormView::ID_COUNTER_REPORT);
    EXPECT_TRUE(view->IsPageShown(view->ReportDlg));
    EXPECT_EQ(sheet->GetActiveIndex(), CTestReportDlg::kCounterPage);
    EXPECT_EQ(sheet->currentWidget(), view->ReportDlg->CounterPage);
    EXPECT_TRUE(reportNodes().isEmpty());
    g_LangMag.SetLangFile(folder.languageFile("LangChs.lng"));
    view->OnLanguageChanged();
    EXPECT_TRUE(reportNodes().isEmpty());
}

namespace {

// The main view in hardware mode against the chassis simulator, in simulated time: pair 1 has its
// source on port record 0 and hosts on records 1 and 2, and every rate page has it ticked.
class RatePagesOnTheSimulatorTest : public MainWindowTest
{
protected:
    RatePagesOnTheSimulatorTest() : MainWindowTest({.shown = false}) {}

    void SetUp() override
    {
        SimConfig config;
        config.device.smallFrameForwardingPercent = 60;
        ASSERT_NO_FATAL_FAILURE(simulator.start(config, app->TestPlan));
        for (CRateTestPage *page : std::initializer_list<CRateTestPage *>{
                 view->MixClassPage, view->AggregatePage, view->ScalePage, view->LatencyPage}) {
            page->PairChecked[1] = 1;
            page->DurationField.edit->setText("1");
            page->DelayAfterJoinField.edit->setText("1");
        }
    }
    void TearDown() override { simulator.stop(frame); }
    static void set(const CRateTestPage::NumberField &field, const char *text) { field.edit->setText(text); }
    // Every line is in the log.
    static void expectLines(const QString &log, std::initializer_list<const char *> lines)
    {
        for (const char *line : lines)
            EXPECT_TRUE(log.contains(QLatin1String(line))) << line << "\n" << log.toStdString();
    }
    // The log of the run's test, from its start line on.
    QString testLog(const char *start) const
    {
        const QString log = view->LogDlg->text();
        const qsizetype from = log.indexOf(QLatin1String(start));
        return from < 0 ? QString() : log.mid(from);
    }
    void run(int test)
    {
        view->TestSelected[test] = 1;
        view->OnRunTest();
        EXPECT_EQ(prompter.messages(), QStringList{"Test Finished!"}) << view->LogDlg->text().toStdString();
    }

    MainWindowSimulator simulator;
};

} // namespace

// The device forwards 64-byte multicast at 60 % of line rate: the search starts at the page's initial
// rate and falls back towards its minimum, for each of the page's frame sizes.
TEST_F(RatePagesOnTheSimulatorTest, MixedClassRunsThePagesFrameSizesAndRateSearch)
{
    CDlgMixClass *page = view->MixClassPage;
    set(page->InitialRateField, "100");
    set(page->MinRateField, "50");
    set(page->ResolutionField, "5");
    set(page->FrameStopField, "128");
    run(TestMixClass);
    const QString log = testLog("* Start Mixed Class Test");
    expectLines(log, {"* Test Duration :   1 secs,      Test Trails :  1 times\n",
                      "Minimum Rate: 50.00 %   Maximum Rate:  100.00%   Rate Resoultion: 5.00%\n",
                      "Total Tested Frame : 2\n", "* Selected Test Pair =>Pair 1 .\n",
                      "Test Trail - 1, Frame Size 64 bytes", "Test Trail - 1, Frame Size 128 bytes",
                      "* Current rate 100.00, Failed! Next current rate is 80.00, Min. rate : 50.00"});
    EXPECT_EQ(view->ReportDlg->Results.Counters[UtResultSet::MixedClass].size(), 2u);
}

TEST_F(RatePagesOnTheSimulatorTest, AggregateStepsThePagesClients)
{
    CDlgAggregate *page = view->AggregatePage;
    set(page->MaxClientsField, "2");
    set(page->FrameStartField, "128");
    set(page->FrameStopField, "128");
    set(page->InitialRateField, "100");
    set(page->MinRateField, "80");
    set(page->ResolutionField, "10");
    run(TestAggregate);
    const QString log = testLog("* Start Aggregate Test");
    expectLines(log, {"* Initial Rate:   100.00%   Minimum Rate: 80.00 %",
                      "Current Client - 1, Max. Client 2", "Current Client - 2, Max. Client 2",
                      "Test Trail - 1, Frame Size 128 bytes", "* Current rate 100.00, Pass!"});
    EXPECT_FALSE(log.contains("Current Client - 3"));
}

TEST_F(RatePagesOnTheSimulatorTest, ScaleStepsThePagesGroups)
{
    CDlgScale *page = view->ScalePage;
    set(page->InitialGroupsField, "2");
    set(page->MaxGroupsField, "3");
    set(page->FrameStartField, "256");
    set(page->FrameStopField, "256");
    run(TestScale);
    const QString log = testLog("* Start Scale Group Forwarding Test");
    expectLines(log, {"Excute the frame size 256", "Current Groups - 2, Max. Groups 3",
                      "Current Groups - 3, Max. Groups 3", "* Current rate 50.00, Pass!"});
    EXPECT_FALSE(log.contains("Current Groups - 1,"));
}

TEST_F(RatePagesOnTheSimulatorTest, LatencyMeasuresEveryRateOfThePage)
{
    CDlgLatency *page = view->LatencyPage;
    set(page->InitialRateField, "20");
    set(page->MinRateField, "30");
    set(page->MaxRateField, "80");
    run(TestLatency);
    const QString log = testLog("* Start Multicast Forwarding Latency Test");
    EXPECT_TRUE(log.contains("* Initial Rate:   20.00%   Step Rate: 30.00 %   Maximum Rate:  80.00%\n"))
        << log.toStdString();
    EXPECT_EQ(log.count("* Forwarding Latency Test Complete"), 3) << "20, 50 and 80 %";
    EXPECT_EQ(view->ReportDlg->LatencyPage->CurrentRate, 80.0);
}

// The PDF test report of a demo run with all seven tests, in English and in Chinese: every section is
// there with the texts of the windows it copies, every page renders, and every word lies inside the
// page's 15-unit margins.
namespace {

// A text without its blanks: pdftotext splits words where the font changes, as it does between Chinese
// and Latin letters, and the report's texts are compared without them.
QString withoutBlanks(QString text)
{
    text.remove(QRegularExpression(QStringLiteral("\\s")));
    return text;
}

// Each page's words in reading order, without blanks.
QStringList pageTexts(const PdfReadBack &read)
{
    QStringList pages(read.Pages);
    for (const PdfWord &word : read.Words)
        pages[word.Page] += withoutBlanks(word.Text);
    return pages;
}

class PdfReportOfARun : public RunControlTest, public testing::WithParamInterface<const char *>
{
protected:
    static QString text(const char *key) { return g_LangMag.GetString(QString::fromLatin1(key)); }
};

TEST_P(PdfReportOfARun, EverySectionOfARunWithEveryTestIsInTheFile)
{
    if (QLatin1String(GetParam()) == QLatin1String("LangChs.lng"))
        frame->commandAction(CMainFrame::ID_LANGUAGE_CHINESE)->trigger();
    select(
        {TestMixClass, TestAggregate, TestScale, TestLatency, TestCapacity, TestJoinLeave, TestSourceFilter});
    readyRatePages();
    view->ScalePage->MaxGroupsField.edit->setText("2");
    CIGMPTestPlan &plan = app->TestPlan;
    plan.GroupStep = 1;
    plan.MeasureFlags = 3;
    plan.InitialClients = plan.MaxClients = 1;
    view->CapacityPage->RunList = {64};
    view->JoinLeavePage->RunList = {64};
    groupPagesRunPairOne();
    sourceFilterRunsPairOne();
    view->CapacityPage->InitialGroups.Edit->setText(QStringLiteral("1"));
    view->CapacityPage->MaxGroups.Edit->setText(QStringLiteral("2"));
    view->CapacityPage->GroupStep.Edit->setText(QStringLiteral("1"));
    view->OnRunTest();
    for (int test = 0; test < TestCount; ++test)
        ASSERT_EQ(view->ReportDlg->Results.Ran[std::size_t(test)], 1) << test;
    const QString file = folder.path() + QStringLiteral("report.pdf");
    ASSERT_TRUE(view->ReportDlg->CounterPage->SavePdfReport(file));
    const PdfReadBack read = readPdfBack(file);
    const QStringList pages = pageTexts(read);
    ASSERT_GE(pages.size(), 12) << "title, seven tests, counter, chassis, system and port";

    // Every section starts a page of its own, in test order; its texts are found on that page.
    int page = 0;
    const auto section = [&](const char *titleKey, const QStringList &texts) {
        const QString title = withoutBlanks(text(titleKey));
        while (page < pages.size() && !pages[page].contains(title))
            ++page;
        ASSERT_LT(page, pages.size()) << title.toStdString();
        for (const QString &expected : texts)
            EXPECT_TRUE(pages[page].contains(withoutBlanks(expected)))
                << title.toStdString() << ": " << expected.toStdString();
    };
    QStringList contents{text("PdfReport_Title"), text("PdfReport_Test_Content"),
                         text("PdfReport_Test_Time")};
    int number = 1;
    for (const char *key :
         {"PdfReport_Content_Mix_Class", "PdfReport_Content_Aggregate", "PdfReport_Content_Scale",
          "PdfReport_Content_Latency", "PdfReport_Content_Capacity", "PdfReport_Content_Join_Leave",
          "PdfReport_Content_Filter"})
        contents << text(key).replace(QStringLiteral("%d"), QString::number(number++));
    for (const QString &expected : contents)
        EXPECT_TRUE(pages[0].contains(withoutBlanks(expected))) << expected.toStdString();

    // A result page's section shows its headings and its grid's column titles.
    const auto resultTexts = [&](const ReportPage &resultPage) {
        QStringList texts{text("PdfReport_Chart_Report"), text("PdfReport_Result")};
        for (int c = 0; c < resultPage.Grid->GetColumnCount(); ++c)
            texts << resultPage.Cell(ReportPage::kColumnTitleRow, c)
                  << resultPage.Cell(ReportPage::kFirstResultRow, c);
        return texts;
    };
    const auto gridTexts = [](const QTableWidget &grid) {
        QStringList texts;
        for (int c = 0; c < grid.columnCount(); ++c) {
            texts << grid.horizontalHeaderItem(c)->text();
            for (int r = 0; r < grid.rowCount(); ++r)
                texts << (grid.item(r, c) ? grid.item(r, c)->text() : QString());
        }
        return texts;
    };
    const CTestReportDlg &report = *view->ReportDlg;
    section("PdfReport_Section_Mix_Class", resultTexts(*report.MixClassPage));
    section("PdfReport_Section_Aggregate", resultTexts(*report.AggregatePage));
    section("PdfReport_Section_Scale", resultTexts(*report.ScalePage));
    section("PdfReport_Section_Latency", resultTexts(*report.LatencyPage));
    section("PdfReport_Section_Capacity",
            QStringList{text("PdfReport_Last_Pass")
                            .replace(QStringLiteral("%s"), view->CapacityPage->CapacityLabel->text()),
                        text("PdfReport_Result_Report")} +
                gridTexts(*view->CapacityPage->ResultGrid));
    section("PdfReport_Section_Join_Leave",
            QStringList{text("PdfReport_Join_Average")
                            .replace(QStringLiteral("%s"), view->JoinLeavePage->JoinAverageLabel->text()),
                        text("PdfReport_Leave_Average")
                            .replace(QStringLiteral("%s"), view->JoinLeavePage->LeaveAverageLabel->text())} +
                gridTexts(*view->JoinLeavePage->ResultGrid));
    section("PdfReport_Section_Filter", resultTexts(*report.FilterPage));
    const CSkinListCtrl &list = *report.CounterPage->List;
    section("PdfReport_Section_Counter",
            {list.GetColumnCaption(0), list.GetColumnCaption(12), list.GetColumnCaption(17),
             list.GetItemText(0, 0), list.GetItemText(2, 0), list.GetItemText(2, 6)});
    MyCug &modules = *frame->ModuleInfoDlg->Grid();
    QStringList moduleTitles;
    for (int c = 0; c < modules.GetColumnCount(); ++c)
        moduleTitles << modules.GetCellTextPtr(c, -1).value_or(QString());
    section("PdfReport_Section_Chassis", moduleTitles);
    QStringList systemTexts;
    for (int field = 0; field < CSysInfoDlg::FieldCount; ++field)
        systemTexts << view->SysInfoPage->labelText(field);
    section("PdfReport_Section_System", systemTexts);
    MyCug &portGrid = *view->PortInfoPage->SettingsGrid;
    QStringList portTitles;
    for (int c = 0; c < portGrid.GetColumnCount(); ++c)
        portTitles << portGrid.GetCellTextPtr(c, -1).value_or(QString());
    section("PdfReport_Section_Port", portTitles);

    for (const PdfWord &word : read.Words) {
        EXPECT_GE(word.Left, 14) << word.Text.toStdString();
        EXPECT_LE(word.Right, read.PageWidth - 14) << word.Text.toStdString();
    }
    QProcess render;
    render.start(QStringLiteral("pdftoppm"),
                 {QStringLiteral("-r"), QStringLiteral("36"), QStringLiteral("-png"), file,
                  folder.path() + QStringLiteral("page")});
    ASSERT_TRUE(render.waitForFinished(60000) && render.exitCode() == 0);
    const int digits = read.Pages >= 10 ? 2 : 1;
    for (int rendered = 1; rendered <= read.Pages; ++rendered)
        EXPECT_FALSE(
            QImage(folder.path() + QStringLiteral("page-%1.png").arg(rendered, digits, 10, QChar(u'0')))
                .isNull())
            << rendered;
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, PdfReportOfARun, testing::Values("LangEng.lng", "LangChs.lng"));

} // namespace

// Demo mode delivers what the hosts' filters admit, so a Source Filter run passes with the page's own
// filters and with one that lets the source through.
TEST_F(RunControlTest, DemoSourceFilterRunsPassWhateverTheFilters)
{
    select({TestSourceFilter});
    groupPagesRunPairOne();
    sourceFilterRunsPairOne();
    CDlgSourceFilter *page = view->SourceFilterPage;
    const QStringList groups = EngineHost::instance().sourceFilterGroups();
    ASSERT_FALSE(groups.isEmpty());
    UtFilterHost admitting{QString::asprintf("(%3d,%2d,%d) - QM-M13", 1, 2, 2), {}};
    for (const QString &group : groups)
        admitting.Groups.push_back({group, 1, {QStringLiteral("192.168.2.1")}});

    for (const bool admitSource : {false, true}) {
        if (admitSource)
            page->AddressSettings = {admitting};
        view->LogDlg->ClearLog();
        frame->ToolBar->OnRunTest();
        const QString log = view->LogDlg->text();
        EXPECT_TRUE(log.contains(QLatin1String("* IGMP V3 Filter Test Complete"))) << admitSource;
        EXPECT_FALSE(log.contains(QLatin1String("failed"))) << log.toStdString();
        EXPECT_EQ(log.count(QLatin1String("Pass!")), groups.size()) << admitSource;
        const int host = LookupPortIndex(1, g_Session.PortIndex, 2, 2);
        ASSERT_GE(host, 0);
        const std::uint64_t received = g_Session.PortCounters[std::size_t(host)].MulticastRx;
        EXPECT_EQ(received > 0, admitSource) << received;
    }
    EXPECT_EQ(frame->StatusBar->PaneText(1), QStringLiteral("Demo"));
}
