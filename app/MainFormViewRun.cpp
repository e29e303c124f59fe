// Run control of the main view: Run, the page validation, the test sequencer, the seven runners, Stop
// and the end of a run.
#include "app/DlgWaitProgress.h"
#include "app/HardwareLink.h"
#include "app/KvIGMPTQApp.h"
#include "app/MainFormView.h"
#include "app/MainFrame.h"
#include "app/ToolBarDlg.h"
#include "engine/EngineHost.h"
#include "engine/EngineUtils.h"
#include "engine/IGMPTestPlan.h"
#include "engine/LanguageText.h"
#include "engine/Session.h"
#include "platform/NumberText.h"
#include "platform/Prompter.h"
#include "ports/PortCheckGrid.h"
#include "ports/PortInfoConfig.h"
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

#include <QDateTime>
#include <cstring>
#include <functional>
#include <mutex>

using namespace std::chrono_literals;

namespace {

constexpr int kHeaderWidth = 69;
// The Filter result page's tab in the report sheet.
constexpr int kFilterTab = 4;

// What the view runs of each test, in test order: the status key shown while it runs, the message key
// of a page that refuses its fields, and the runner.
struct TestRun
{
    const char *startKey;
    const char *refusedPageKey;
    std::uint8_t (CMainFormView::*runner)();
};
constexpr TestRun kTestRuns[TestCount] = {
    {"Stat_Start_Mixclass", "TestPage_Refused_Mix_Class", &CMainFormView::RunMixedClassTest},
    {"Stat_Start_Aggregate", "TestPage_Refused_Aggregate", &CMainFormView::RunAggregateTest},
    {"Stat_Start_Scale", "TestPage_Refused_Scale", &CMainFormView::RunScaleGroupTest},
    {"Stat_Start_Latency", "TestPage_Refused_Latency", &CMainFormView::RunLatencyTest},
    {"Stat_Start_Capacity", "TestPage_Refused_Capacity", &CMainFormView::RunCapacityTest},
    {"Stat_Start_JoinLeave", "TestPage_Refused_Join_Leave", &CMainFormView::RunJoinLeaveTest},
    {"Stat_Start_SourceFilter", "TestPage_Refused_Source_Filter", &CMainFormView::RunSourceFilterTest},
};

// The report window's test number (1 for Mixed Class) names Mixed Class, Aggregate or Scale Group.
bool isThroughputTestNo(std::uint32_t testNo)
{
    return testNo >= TestMixClass + 1 && testNo <= TestScale + 1;
}

void setStatus(const QString &text)
{
    EngineHost::instance().showStatusText(text);
}

// The host ports of a test pair (0-based).
std::uint32_t receiverCount(const CIGMPTestPlan &plan, std::size_t pair)
{
    return pair < plan.TestPairs.size() ? plan.TestPairs[pair].num_of_destmember : 0;
}

} // namespace

QStringList CMainFormView::RunLogHeader(const UtLocalTime &start)
{
    const QString stars(kHeaderWidth, QLatin1Char('*'));
    QStringList lines = {stars,
                         QStringLiteral("*               Test Log"),
                         stars,
                         QStringLiteral("* Program    : Tavrix-IGMP-TQ"),
                         QStringLiteral("* Version    : v1.0b016"),
                         QStringLiteral("* Instruments: Halverns Series."),
                         stars,
                         QString::asprintf("*Test Start  :     %d/%d/%d  -  %d:%d:%d", start.Year,
                                           start.Month, start.Day, start.Hour, start.Minute, start.Second)};
    for (QString &line : lines)
        line = line.leftJustified(kHeaderWidth) + QLatin1Char('\n');
    return lines;
}

void CMainFormView::sendToFrame(int command)
{
    if (g_MainFrame)
        g_MainFrame->OnCommand(command);
    else
        OnCommand(command);
}

void CMainFormView::OnRunTest()
{
    if (RunActive || !ReportDlg || !ReportDlg->HasPlan())
        return; // one run at a time, and only once the pages and the plan exist
    Run.StopRequested = 0;
    storePortSettings(VisibleTestPage());
    const QDateTime now = QDateTime::currentDateTime();
    StartTime.Seconds = now.toSecsSinceEpoch();
    const QDate date = now.date();
    const QTime time = now.time();
    StartTime.Local = {std::uint16_t(date.year()),          std::uint16_t(date.month()),
                       std::uint16_t(date.dayOfWeek() % 7), std::uint16_t(date.day()),
                       std::uint16_t(time.hour()),          std::uint16_t(time.minute()),
                       std::uint16_t(time.second()),        std::uint16_t(time.msec())};
    // The elapsed time of this run starts from zero, whatever the last run left on show.
    OnTimer(kElapsedTimerId);
    for (const QString &line : RunLogHeader(StartTime.Local))
        AppendLog(this, line);
    setStatus(QStringLiteral("Start Testing..."));
    StartTest();
}

void CMainFormView::StartTest()
{
    if (!ValidateSelectedTests()) {
        g_IsRunning = 0;
        sendToFrame(ID_FINISHED_RUN);
        showStatusReady(); // nothing runs
        return;
    }
    for (CDlgButton *bar : {ReportDlg->ExcelBar, ReportDlg->PdfBar}) {
        bar->hide();
        bar->ResultsReady = 0;
    }
    ReportDlg->Results.ClearResultRecord();
    // The result pages of the last run close before the run-time tree lists what is open.
    for (int tab = 0; tab < CTestReportDlg::kCounterPage; ++tab)
        ReportDlg->PropSheet->LockPage(tab);
    ResetReportTree();
    RunActive = 1;
    ReportDlg->CounterPage->ResetCounterLog();
    ReportDlg->CounterPage->ClearButton->setEnabled(false);
    ReportDlg->LinkState = 0;
    RunSelectedTests();
    RunActive = 0;
    Run.StopRequested = 0;
}

bool CMainFormView::ValidateSelectedTests()
{
    AppendLog(this, QStringLiteral("UI Field valid is not check currently\n"));
    bool valid = true;
    for (int test = 0; test < TestCount; ++test) {
        if (!TestSelected[test])
            continue;
        // The pair grid is refilled first (the Source Filter page has none).
        CTestPageBase *page = TestPage(test);
        page->FillPairGrid();
        if (!page->CheckFieldsValid()) {
            // The page's reason, when it gave one, follows the test's message.
            Prompter::current().messageBox(
                languageText(kTestRuns[test].refusedPageKey) + page->RefusalReason(), MB_OK);
            valid = false;
        }
    }
    return valid;
}

void CMainFormView::RunSelectedTests()
{
    std::memset(TestDone, 0, sizeof TestDone);
    LinkDownStop = 0;
    if (EngineHost::instance().isDemoMode()) {
        // The demo inventory's ports start every run from zero.
        for (std::size_t port = 0; port < UtSession::kDemoPortCount; ++port) {
            if (port < g_Session.PortCounters.size())
                std::memset(&g_Session.PortCounters[port], 0, sizeof(UtPortCounters));
            if (port < g_Session.PortStates.size())
                std::memset(&g_Session.PortStates[port], 0, sizeof(UtPortState));
        }
    }
    for (int test = 0; test < TestCount; ++test) {
        // After a Stop no further test starts.
        if (!TestSelected[test] || RunActive != 1 || Run.StopRequested)
            continue;
        const TestRun &run = kTestRuns[test];
        EngineHost::instance().showStatus(QString::fromLatin1(run.startKey));
        // A test that failed or was stopped leaves the status line to the end of the run.
        if (std::invoke(run.runner, this))
            EngineHost::instance().showStatus(QStringLiteral("Stat_Finshed"));
    }
    if (LinkDownStop == 0)
        sendToFrame(ID_TEST_FINISHED);
    closeWaitDialog();
}

int CMainFormView::stoppedTest() const
{
    if (!Run.StopRequested)
        return -1;
    for (int test = 0; test < TestCount; ++test) {
        if (TestDone[test])
            return test;
    }
    return -1;
}

bool CMainFormView::chassisConnectionLost() const
{
    return !EngineHost::instance().isDemoMode() && g_Session.InventoryReceived == 1 &&
           !HardwareLink::current().IsConnected();
}

void CMainFormView::markResultStopped(int test)
{
    switch (test) {
    case TestCapacity:
        CapacityPage->CapacityLabel->setText(ReportPage::StoppedText(CapacityPage->CapacityLabel->text()));
        break;
    case TestJoinLeave:
        for (QLabel *average : {JoinLeavePage->JoinAverageLabel, JoinLeavePage->LeaveAverageLabel})
            average->setText(ReportPage::StoppedText(average->text()));
        break;
    default: {
        ReportPage *const pages[TestCount] = {ReportDlg->MixClassPage,
                                              ReportDlg->AggregatePage,
                                              ReportDlg->ScalePage,
                                              ReportDlg->LatencyPage,
                                              nullptr,
                                              nullptr,
                                              ReportDlg->FilterPage};
        pages[test]->StampTestTime(true);
        break;
    }
    }
}

void CMainFormView::closeWaitDialog()
{
    if (!WaitDialog)
        return;
    delete WaitDialog;
    WaitDialog = nullptr;
    if (g_MainFrame)
        g_MainFrame->setEnabled(true);
}

void CMainFormView::OnStopTest()
{
    if (RunActive != 1 || !ReportDlg || !ReportDlg->HasPlan())
        return;
    storePortSettings(VisibleTestPage());
    if (g_MainFrame)
        g_MainFrame->setEnabled(false);
    // A top-level window: disabling the frame must not disable it.
    if (!WaitDialog)
        WaitDialog = new CDlgWaitProgress();
    WaitDialog->show();
    AppendLog(this, QStringLiteral("* Stop test, please wait ...\n"));
    EngineHost::instance().showStatus(QStringLiteral("Wait_Stop_Test"));
    StopTest();
    RequestStop();
}

void CMainFormView::StopTest()
{
    BuildTree();
    g_IsRunning = 0;
    ElapsedTimer.stop();
    CIGMPTestPlan &plan = ReportDlg->Plan();
    ReportDlg->StopRunTimers();
    plan.ClearAllCounters();
    LayoutPages();
    if (!EngineHost::instance().isDemoMode())
        plan.StopAllTx();
    WaitPumpingAbortable(1s);
    if (isThroughputTestNo(ReportDlg->CurrentTestNo)) {
        ReportDlg->TimerSeconds = 1;
        if (!g_Session.PortStates.empty())
            ResetPortCounters();
    }
    plan.ClearPortLists();
    ReportDlg->RestorePortMedia();
}

void CMainFormView::ResetPortCounters()
{
    for (std::size_t port = 0; port < g_Session.PortCount && port < g_Session.PortStates.size(); ++port) {
        UtPortState &state = g_Session.PortStates[port];
        state.MaxLatencyTicks = 0;
        std::memset(state.LatencyWords, 0, sizeof state.LatencyWords);
        state.LatencyFlag = 0;
    }
}

void CMainFormView::OnTestFinished()
{
    if (!ReportDlg || !ReportDlg->HasPlan())
        return;
    // The run is over: its elapsed time stands still while the closing messages wait for the user.
    ElapsedTimer.stop();
    if (EngineHost::instance().isDemoMode())
        ReportDlg->Plan().SimulateCounters(std::int32_t(ReportDlg->TimerSeconds));
    ReportDlg->CounterPage->ClearButton->setEnabled(true);
    ReportDlg->FinishTest();
    if (PortInfoPage)
        PortInfoPage->FillPortGrid();
    // The log's last line, the status line and the closing message say how the run ended: a lost
    // chassis, the user's Stop (whose test's result says so), or its end.
    const bool connectionLost = chassisConnectionLost();
    const int stopped = connectionLost ? -1 : stoppedTest();
    if (connectionLost) {
        AppendLog(this, QStringLiteral("* ") + languageText("Stat_Connection_Lost") + QLatin1Char('\n'));
        EngineHost::instance().showStatus(QStringLiteral("Stat_Connection_Lost"));
        if (g_MainFrame)
            g_MainFrame->OnConnectionLost();
    } else if (stopped >= 0) {
        if (ReportDlg->Results.Ran[std::size_t(stopped)])
            markResultStopped(stopped);
        AppendLog(this, QStringLiteral("* Test stopped by the user.\n"));
        EngineHost::instance().showStatus(QStringLiteral("Stat_Test_Stopped"));
    }
    // A Stop given while the run ended is over by now: its wait dialog goes before the closing message.
    closeWaitDialog();
    if (connectionLost)
        Prompter::current().messageBox(languageText("Stat_Connection_Lost"), MB_OK | MB_ICONEXCLAMATION);
    else if (LinkDownStop == 0 && stopped < 0)
        Prompter::current().messageBox(languageText("Note_Test_Finished"), MB_OK);
    else if (ReportDlg->LinkState == CTestReportDlg::kLinkDown)
        Prompter::current().messageBox(languageText("Note_Link_Down_Stop"), MB_OK);
    const bool showBars = ReportDlg->Results.AnyRan();
    const bool testPageVisible = VisibleTestPage() >= 0;
    for (CDlgButton *bar : {ReportDlg->ExcelBar, ReportDlg->PdfBar}) {
        bar->ResultsReady = showBars ? 1 : 0;
        bar->setVisible(showBars && !testPageVisible);
    }
    sendToFrame(ID_FINISHED_RUN);
}

void CMainFormView::OnFinishedRun()
{
    if (g_MainFrame && g_MainFrame->ToolBar)
        g_MainFrame->ToolBar->ReturnToIdle();
    ElapsedTimer.stop();
    BuildTree();
    g_IsRunning = 0;
    RunActive = 0;
    if (g_MainFrame)
        g_MainFrame->UpdateMenuStates();
}

// ---- Runners ----

void CMainFormView::beginRunner(int test)
{
    g_IsRunning = 1;
    if (g_MainFrame)
        g_MainFrame->UpdateMenuStates();
    ReportDlg->TimerSeconds = 1;
    ReportDlg->CurrentTestNo = std::uint32_t(test + 1);
    TestDone[test] = 1;
    CIGMPTestPlan &plan = ReportDlg->Plan();
    plan.TestType = std::uint32_t(test);
    plan.RunValueA = std::uint32_t(toIntPrefix(RunValueTextA));
    plan.RunValueB = std::uint32_t(toIntPrefix(RunValueTextB));
    ElapsedTimer.start(1000);
    // The pages' validation, or the test before, took its time: the window answers before this one.
    WaitPumping(0ms);
}

void CMainFormView::prepareResultPage(int test, int tab, ReportPage *page,
                                      const std::vector<UtCustomFrame> &rows)
{
    ReportDlg->PropSheet->UnlockPage(tab);
    insertReportNodes(TreeItem(TreeNode::Report));
    // No redraw of the chart while its records are rebuilt; InitChartViewPort ends the lock.
    page->ChartBusy = true;
    page->FrameRows = rows;
    page->FillReportGrid();
    ShowTestReportPage();
    Run.ReportRow = ReportPage::kFirstResultRow;
    ReportDlg->PropSheet->SetActivePage(tab);
    Run.PairFrameLists[std::size_t(test)].clear();
    // The chart follows the running step, but for Source Filter.
    if (test != TestSourceFilter)
        page->FirstStep = 1;
    page->ReceiverTotal = 0;
}

std::uint8_t CMainFormView::failRunner()
{
    LinkDownStop = 1;
    sendToFrame(ID_TEST_FINISHED);
    return 0;
}

void CMainFormView::applyFrameRow(const UtCustomFrame &row, bool withMinRate)
{
    CIGMPTestPlan &plan = ReportDlg->Plan();
    plan.FrameSize = row.FrameSize;
    plan.InitialRate = row.InitialRate;
    if (withMinRate)
        plan.MinRate = row.MinRate;
    plan.MaxRate = row.MaxRate;
    plan.Resolution = row.Resolution;
}

void CMainFormView::writeFrameSizeCell(ReportPage *page, std::uint16_t frameSize)
{
    std::lock_guard<std::recursive_mutex> lock(g_ChartLock);
    page->SetCell(ReportPage::kFrameSizeRow, page->ValueColumn, QString::number(frameSize));
}

template <typename AddRecord>
bool CMainFormView::buildPairSteps(int test, const std::vector<UtCustomFrame> &rows, std::uint32_t firstStep,
                                   std::uint32_t lastStep, ReportPage *page, bool stopChecks,
                                   AddRecord addRecord)
{
    const CIGMPTestPlan &plan = ReportDlg->Plan();
    for (std::size_t row = 0; row < rows.size(); ++row) {
        if (stopChecks && Run.StopRequested)
            return false;
        for (std::uint32_t step = firstStep; step <= lastStep; ++step) {
            for (std::size_t pair = 0; pair < kMaxTestPairs; ++pair) {
                if (stopChecks && Run.StopRequested)
                    return false;
                if (plan.PairSelected[pair] != 1)
                    continue;
                Run.PairFrameLists[std::size_t(test)].push_back(
                    {std::uint16_t(pair + 1), rows[row].FrameSize, 1});
                addRecord(rows[row].FrameSize, std::uint8_t(pair + 1), receiverCount(plan, pair), step);
                if (row == 0 && step == firstStep)
                    page->ReceiverTotal += receiverCount(plan, pair);
            }
        }
    }
    return true;
}

std::uint8_t CMainFormView::runFrameRows(int test, const std::vector<UtCustomFrame> &rows, ReportPage *page,
                                         bool withMinRate, const std::function<bool(std::size_t)> &procedure)
{
    for (std::size_t row = 0; row < rows.size(); ++row) {
        if (test == TestMixClass && Run.StopRequested)
            return 0;
        // The result page's set-up, or the last row's bookkeeping, took its time: let events through.
        WaitPumping(0ms);
        Run.FrameSizeIndex = std::uint32_t(row);
        applyFrameRow(rows[row], withMinRate);
        writeFrameSizeCell(page, rows[row].FrameSize);
        if (!procedure(row))
            return failRunner();
    }
    TestDone[test] = 0;
    page->StampTestTime();
    return 1;
}

std::uint8_t CMainFormView::RunMixedClassTest()
{
    AppendLog(this, QStringLiteral("* Start Mixed Class Test\n"));
    beginRunner(TestMixClass);
    if (Run.StopRequested)
        return 0;
    CIGMPTestPlan &plan = ReportDlg->Plan();
    MixClassPage->ApplyToTestConfig(plan);
    CReportMixClass *page = ReportDlg->MixClassPage;
    const auto &rows = MixClassPage->FrameRows;
    prepareResultPage(TestMixClass, TestMixClass, page, rows);
    page->Records.clear();
    if (!buildPairSteps(TestMixClass, rows, 0, 0, page, true,
                        [page](std::uint16_t frameSize, std::uint8_t pair, std::uint32_t hosts,
                               std::uint32_t) { page->Records.emplace_back(frameSize, pair, hosts); }))
        return 0;
    page->InitChartViewPort();
    return runFrameRows(TestMixClass, rows, page, true, [this, &plan](std::size_t) {
        if (!ReportDlg->PerformMixedClassTest())
            return false;
        Run.ReportRow += std::uint32_t(plan.SourcePorts.size());
        return true;
    });
}

std::uint8_t CMainFormView::RunAggregateTest()
{
    AppendLog(this, QStringLiteral("* Start Aggregate Test\n"));
    beginRunner(TestAggregate);
    CIGMPTestPlan &plan = ReportDlg->Plan();
    AggregatePage->ApplyToTestConfig(plan);
    if (Run.StopRequested)
        return 0;
    CReportAggregate *page = ReportDlg->AggregatePage;
    const auto &rows = AggregatePage->FrameRows;
    prepareResultPage(TestAggregate, TestAggregate, page, rows);
    page->Records.clear();
    buildPairSteps(
        TestAggregate, rows, plan.InitialClients, plan.MaxClients, page, false,
        [page](std::uint16_t frameSize, std::uint8_t pair, std::uint32_t hosts, std::uint32_t clients) {
            page->Records.emplace_back(frameSize, pair, hosts, clients);
        });
    page->InitChartViewPort();
    return runFrameRows(TestAggregate, rows, page, true,
                        [this](std::size_t) { return ReportDlg->PerformAggregateTest(); });
}

std::uint8_t CMainFormView::RunScaleGroupTest()
{
    AppendLog(this, QStringLiteral("* Start Scale Group Forwarding Test\n"));
    beginRunner(TestScale);
    CIGMPTestPlan &plan = ReportDlg->Plan();
    ScalePage->ApplyToTestConfig(plan);
    if (Run.StopRequested)
        return 0;
    CReportScale *page = ReportDlg->ScalePage;
    const auto &rows = ScalePage->FrameRows;
    prepareResultPage(TestScale, TestScale, page, rows);
    page->Records.clear();
    buildPairSteps(
        TestScale, rows, plan.InitialGroups, plan.MaxGroups, page, false,
        [page](std::uint16_t frameSize, std::uint8_t pair, std::uint32_t hosts, std::uint32_t groups) {
            page->Records.emplace_back(frameSize, pair, hosts, groups);
        });
    page->InitChartViewPort();
    return runFrameRows(TestScale, rows, page, true, [this, &rows](std::size_t row) {
        AppendLog(this, QString::asprintf("Excute the frame size %d \n", int(rows[row].FrameSize)));
        return ReportDlg->PerformScaleGroupTest();
    });
}

std::uint8_t CMainFormView::RunLatencyTest()
{
    AppendLog(this, QStringLiteral("* Start Multicast Forwarding Latency Test\n"));
    if (Run.StopRequested)
        return 0;
    beginRunner(TestLatency);
    CIGMPTestPlan &plan = ReportDlg->Plan();
    LatencyPage->ApplyToTestConfig(plan);
    CReportLatency *page = ReportDlg->LatencyPage;
    const auto &rows = LatencyPage->FrameRows;
    prepareResultPage(TestLatency, TestLatency, page, rows);
    page->Records.clear();
    // MinRate holds the page's rate step; each row runs from its own initial rate to its own end rate.
    std::uint32_t step = 0;
    for (std::size_t row = 0; row < rows.size(); ++row) {
        for (const double rate : CReportLatency::RowRates(rows[row], plan.MinRate)) {
            for (std::size_t pair = 0; pair < kMaxTestPairs; ++pair) {
                if (plan.PairSelected[pair] != 1)
                    continue;
                Run.PairFrameLists[TestLatency].push_back({std::uint16_t(pair + 1), rows[row].FrameSize, 1});
                page->Records.emplace_back(rows[row].FrameSize, std::uint8_t(pair + 1),
                                           receiverCount(plan, pair), rate, step);
                if (step == 0)
                    page->ReceiverTotal += receiverCount(plan, pair);
            }
            ++step;
        }
    }
    page->InitChartViewPort();
    // The steps are counted again in the same order, so that each call meets its records and grid rows.
    step = 0;
    return runFrameRows(TestLatency, rows, page, false, [this, &plan, &rows, &step, page](std::size_t row) {
        for (const double rate : CReportLatency::RowRates(rows[row], plan.MinRate)) {
            page->CurrentRate = rate;
            page->CurrentStep = step++;
            for (UtTestPort &host : plan.HostPorts) {
                host.LatencyMin = 0;
                host.LatencyMax = 0;
                host.LatencySum = 0;
                host.LatencyCount = 0;
            }
            if (!ReportDlg->PerformLatencyTest(rate))
                return false;
        }
        return true;
    });
}

std::uint8_t CMainFormView::runEntries(int test, const std::vector<std::uint32_t> &entries, bool stopChecks,
                                       const std::function<bool(std::uint32_t)> &procedure)
{
    const CIGMPTestPlan &plan = ReportDlg->Plan();
    for (const std::uint32_t entry : entries) {
        if (stopChecks && Run.StopRequested)
            return 0;
        WaitPumping(0ms); // the window answers between entries
        // Capacity and Join/Leave share one list of (pair, entry) steps.
        std::vector<UtPairFrame> &steps = Run.PairFrameLists[TestCapacity];
        steps.clear();
        for (std::size_t pair = 0; pair < kMaxTestPairs; ++pair) {
            if (plan.PairSelected[pair] == 1)
                steps.push_back({std::uint16_t(pair + 1), std::uint16_t(entry), 1});
        }
        if (!procedure(entry))
            return failRunner();
    }
    TestDone[test] = 0;
    return 1;
}

std::uint8_t CMainFormView::RunCapacityTest()
{
    AppendLog(this, QStringLiteral("* Start Group Capacity Test\n"));
    if (Run.StopRequested)
        return 0;
    beginRunner(TestCapacity);
    CapacityPage->ApplyToTestConfig(ReportDlg->Plan());
    return runEntries(TestCapacity, CapacityPage->RunList, false,
                      [this](std::uint32_t frameSize) { return ReportDlg->PerformCapacityTest(frameSize); });
}

std::uint8_t CMainFormView::RunJoinLeaveTest()
{
    AppendLog(this, QStringLiteral("* Start Group Join/Leave Delay Test\n"));
    beginRunner(TestJoinLeave);
    if (Run.StopRequested)
        return 0;
    JoinLeavePage->ApplyToTestConfig(ReportDlg->Plan());
    return runEntries(TestJoinLeave, JoinLeavePage->RunList, true,
                      [this](std::uint32_t) { return ReportDlg->PerformJoinLeaveDelayTest(); });
}

std::uint8_t CMainFormView::RunSourceFilterTest()
{
    AppendLog(this, QStringLiteral("* Start IGMP V3 Source Filter Test\n"));
    beginRunner(TestSourceFilter);
    CIGMPTestPlan &plan = ReportDlg->Plan();
    SourceFilterPage->ApplyToTestConfig(plan);
    if (Run.StopRequested)
        return 0;
    CReportFilter *page = ReportDlg->FilterPage;
    prepareResultPage(TestSourceFilter, kFilterTab, page, {});
    page->Records.clear();
    DeleteAllRows(page->PairSel);
    // One record per group of the procedure's list, one slot per host port of the test.
    const auto groups = std::uint32_t(EngineHost::instance().sourceFilterGroups().size());
    const auto hosts = std::uint32_t(plan.HostPorts.size());
    for (std::uint32_t group = 0; group < groups; ++group) {
        page->Records.emplace_back(plan.FrameSize, group, hosts);
        page->AddGroupRow(group);
    }
    // The view follows the group under measurement: a group's bars are the host ports.
    page->ReceiverTotal = hosts;
    page->InitChartViewPort();
    WaitPumping(0ms); // the window answers before the procedure starts
    if (!ReportDlg->PerformSourceFilterTest())
        return failRunner();
    TestDone[TestSourceFilter] = 0;
    page->StampTestTime();
    return 1;
}
