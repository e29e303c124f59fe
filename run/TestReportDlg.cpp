#include "run/TestReportDlg.h"

#include "engine/EngineHost.h"
#include "engine/EngineUtils.h"
#include "engine/IGMPTestPlan.h"
#include "engine/PlanHostCalls.h"
#include "engine/RateSearch.h"
#include "engine/RunState.h"
#include "engine/Session.h"
#include "engine/TrialJudge.h"
#include "platform/Prompter.h"
#include "reports/CounterDlg.h"
#include "reports/CounterLog.h"
#include "reports/DlgButton.h"
#include "reports/MyPropSheet.h"
#include "reports/ReportAggregate.h"
#include "reports/ReportDynamicDlg.h"
#include "reports/ReportFile.h"
#include "reports/ReportFilter.h"
#include "reports/ReportLatency.h"
#include "reports/ReportMaxThroughputDlg.h"
#include "reports/ReportMixClass.h"
#include "reports/ReportScale.h"
#include "reports/ReportStandard.h"

#include <QDateTime>
#include <mutex>

using namespace std::chrono_literals;

namespace {

// An empty corner of the report's tab row that keeps the tabs clear of the export bars; the sheet
// lays its tab row out from the corner's size hint.
class TabRowReserve : public QWidget
{
public:
    using QWidget::QWidget;
    int reserved = 0;
    QSize sizeHint() const override { return {reserved, 1}; }
};

} // namespace

CTestReportDlg *g_ReportDlg = nullptr;

using TestPlanSupport::failureStatus;
using TestPlanSupport::log;
using TestPlanSupport::status;

CTestReportDlg::CTestReportDlg(QWidget *parent)
    : QWidget(parent), PropSheet(new CMyPropSheet(this)), MixClassPage(new CReportMixClass(PropSheet)),
      AggregatePage(new CReportAggregate(PropSheet)), ScalePage(new CReportScale(PropSheet)),
      LatencyPage(new CReportLatency(PropSheet)), FilterPage(new CReportFilter(PropSheet)),
      CounterPage(new CCounterLog(PropSheet)), CounterDlg(new CCounterDlg(this)),
      ExcelBar(new CDlgButton(0, this)), PdfBar(new CDlgButton(1, this)),
      StandardChart(new CReportStandard(this)), DynamicChart(new CReportDynamicDlg(this)),
      MaxThroughputChart(new CReportMaxThroughputDlg(this))
{
    PropSheet->addTab(MixClassPage, QStringLiteral("Mixed Class"));
    PropSheet->addTab(AggregatePage, QStringLiteral("Aggregate"));
    PropSheet->addTab(ScalePage, QStringLiteral("Scale"));
    PropSheet->addTab(LatencyPage, QStringLiteral("Latency"));
    PropSheet->addTab(FilterPage, QStringLiteral("Filter"));
    PropSheet->addTab(CounterPage, QStringLiteral("Counter"));
    PropSheet->SetActivePage(kCounterPage);
    // Tabs that do not fit beside the export bars scroll.
    PropSheet->setUsesScrollButtons(true);
    CounterDlg->hide();
    // No result page can be opened before its test has run.
    for (int page = 0; page < kCounterPage; ++page)
        PropSheet->LockPage(page);
    for (CDlgButton *bar : {ExcelBar, PdfBar})
        connect(bar, &CDlgButton::ExportClicked, this, &CTestReportDlg::SaveReport);

    for (QTimer *timer : {&TxStopTimer, &LatencyTimer, &JoinWaitTimer})
        timer->setInterval(1000);
    RelayoutTimer.setSingleShot(true);
    RelayoutTimer.setInterval(5);
    connect(&TxStopTimer, &QTimer::timeout, this, &CTestReportDlg::OnTxStopTimer);
    connect(&LatencyTimer, &QTimer::timeout, this, &CTestReportDlg::OnLatencyTimer);
    connect(&JoinWaitTimer, &QTimer::timeout, this, &CTestReportDlg::OnJoinWaitTimer);
    connect(&RelayoutTimer, &QTimer::timeout, this, &CTestReportDlg::Relayout);
    CounterPage->SetResultPages({&Results, MixClassPage, AggregatePage, ScalePage, LatencyPage, FilterPage});
    g_ReportDlg = this;
}

CTestReportDlg::~CTestReportDlg()
{
    Results.ClearResultRecord();
    if (g_ReportDlg == this)
        g_ReportDlg = nullptr;
}

CIGMPTestPlan &CTestReportDlg::Plan() const
{
    return *m_plan;
}

void CTestReportDlg::SetPlan(CIGMPTestPlan *plan)
{
    m_plan = plan;
    for (ReportPage *page : {static_cast<ReportPage *>(MixClassPage),
                             static_cast<ReportPage *>(AggregatePage), static_cast<ReportPage *>(ScalePage),
                             static_cast<ReportPage *>(LatencyPage), static_cast<ReportPage *>(FilterPage)})
        page->SetPlan(plan);
    for (CReportLiveChart *chart :
         std::initializer_list<CReportLiveChart *>{StandardChart, DynamicChart, MaxThroughputChart})
        chart->SetPlan(plan);
}

bool CTestReportDlg::HasPlan() const
{
    return m_plan != nullptr;
}

bool CTestReportDlg::stopped() const
{
    return g_RunState && g_RunState->StopRequested != 0;
}

std::uint32_t CTestReportDlg::reportRow() const
{
    return g_RunState ? g_RunState->ReportRow : std::uint32_t(ReportPage::kFirstResultRow);
}

void CTestReportDlg::setReportRow(std::uint32_t row)
{
    if (g_RunState)
        g_RunState->ReportRow = row;
}

std::uint32_t CTestReportDlg::frameSizeIndex() const
{
    return g_RunState ? g_RunState->FrameSizeIndex : 0;
}

bool CTestReportDlg::checkLinks(const char *logLine, const char *statusKey)
{
    CIGMPTestPlan &plan = Plan();
    log(QString::fromLatin1(logLine));
    status(statusKey);
    if (!plan.CheckLinkStates(0)) {
        // A second look logs the ports that are down.
        if (stopped() || !plan.CheckLinkStates(1)) {
            failureStatus("Stat_Check_Link_Fail");
            return false;
        }
        return true;
    }
    WaitPumpingAbortable(1s);
    status("Stat_Check_Link");
    bool up = plan.LogLinkStates() != 0;
    for (int retry = 0; !up && retry < 10; ++retry) {
        // Stop ends the run as a stop, not as a link down.
        if (stopped())
            return false;
        plan.CheckLinkStates(0);
        WaitPumpingAbortable(500ms);
        up = plan.LogLinkStates() != 0;
    }
    if (stopped())
        return false;
    if (!up) {
        failureStatus("Stat_Check_Link_Fail");
        log(QStringLiteral("* Detect the link down ports ."));
        LinkState = kLinkDown;
        return false;
    }
    log(QStringLiteral("Success!\n"));
    return true;
}

bool CTestReportDlg::startProcedure(std::uint32_t testType, const PrologueOptions &options)
{
    CIGMPTestPlan &plan = Plan();
    const auto pause = [&options] {
        if (options.pauseBetweenStepsMs != 0)
            WaitPumpingAbortable(options.pauseBetweenStepsMs);
    };
    const auto fail = [&options](const char *logLine, const char *statusKey) {
        if (options.logsFailedStep)
            log(QString::fromLatin1(logLine));
        failureStatus(statusKey);
        return false;
    };
    // A timer 2 left from an earlier step would stop this test's traffic.
    TxStopTimer.stop();
    Results.Ran[testType] = 1;
    plan.FillPortLists();
    if (stopped() || !checkLinks(options.linkCheckLine))
        return false;
    pause();
    if (!SetupPortGroup(plan, 1))
        return fail("SetupGroup Fail", "Stat_Set_Media_Fail");
    if (options.settleAfterPortGroup)
        WaitPumpingAbortable(2s);
    if (!EngineHost::instance().isDemoMode() && !plan.ClearTimestamps())
        return fail("SendSysTimeStamp Fail", "Stat_Send_Multicast_Fail");
    pause();
    log(QString::fromLatin1(options.learningLine));
    if (!plan.StartAutoArpReply())
        return fail("SetARPAutoReply Fail", "Stat_Set_Media_Fail");
    log(QStringLiteral("."));
    if (options.learningStatus)
        status("Stat_Send_Learning");
    pause();
    if (!plan.SendLearningFrames())
        return fail("SendPkt_Learning Fail", "Stat_Send_Learning_Fail");
    log(QStringLiteral(". Done!\n"));
    WaitPumpingAbortable(options.waitAfterLearningMs);
    return true;
}

bool CTestReportDlg::learnWithPortGroup(const QString &learningLine)
{
    CIGMPTestPlan &plan = Plan();
    if (!SetupPortGroup(plan, 1)) {
        failureStatus("Stat_Set_Media_Fail");
        return false;
    }
    if (!plan.StartAutoArpReply()) {
        failureStatus("Stat_Set_Media_Fail");
        return false;
    }
    log(learningLine);
    status("Stat_Send_Learning");
    if (EngineHost::instance().isDemoMode())
        WaitPumpingAbortable(1s);
    if (!plan.SendLearningFrames()) {
        failureStatus("Stat_Send_Learning_Fail");
        return false;
    }
    log(QStringLiteral(". Done!\n"));
    WaitPumpingAbortable(100ms);
    return true;
}

bool CTestReportDlg::runRepetitions(std::uint32_t trial, const RepetitionSteps &steps)
{
    CIGMPTestPlan &plan = Plan();
    ReportPage *page = steps.page;
    RateSearch search(plan.InitialRate, plan.MinRate, plan.MaxRate, plan.Resolution);
    bool goOn = true;
    for (std::uint32_t repetition = 1; goOn; ++repetition) {
        if (stopped())
            return false;
        TrialSeconds = 0;
        plan.CurrentRate = search.current();
        CounterPage->InsertTrialRows(plan, QString(), trial, repetition, plan.TestDuration);
        if (!resetTrialCounters())
            return false;
        status("Stat_Fill_Addentry");
        if (!plan.StartTestPairTraffic(plan.FrameSize)) {
            failureStatus("Stat_Fill_AddEntty_Fail");
            return false;
        }
        startTrialCounters();
        for (std::uint32_t second = 0; second < plan.TestDuration; ++second) {
            if (stopped())
                return false;
            WaitPumpingAbortable(1s);
            if (second != 0 && second % 5 == 0)
                steps.refreshJoins();
            TickTestProgress();
        }
        const TrialJudge::Verdict verdict = steps.readAndJudge();
        if (verdict == TrialJudge::Verdict::Stopped)
            return false;
        const bool pass = verdict == TrialJudge::Verdict::Pass;
        log(QStringLiteral("* Result : \n"));

        page->CollectResults();
        page->BuildChartArrays();
        const QString rate = QString::asprintf("%.2f", search.current());
        writeResultCell(page, ReportPage::kRateRow, page->ValueColumn, rate);
        showTrialOnChart(page, steps.chartStep);
        if (pass) {
            CounterPage->SetRowResult(int(CounterPage->LastRow), QStringLiteral("Pass"), kPassColor);
            writeResultCell(page, int(reportRow()), steps.passedRateColumn, rate);
        } else {
            CounterPage->SetRowResult(int(CounterPage->LastRow), QStringLiteral("Failed"), kFailColor);
        }
        QString line;
        goOn = search.step(pass, *steps.searchTexts, &line) == RateSearch::Step::Continue;
        log(line);
        if (!goOn)
            Results.Counters[steps.counters].push_back(
                {plan.FrameSize, CounterPage->FirstRow, CounterPage->LastRow});
        CounterPage->FirstRow = CounterPage->LastRow + 1;
    }
    return true;
}

void CTestReportDlg::writeResultCell(ReportPage *page, int row, int column, const QString &text)
{
    std::lock_guard<std::recursive_mutex> lock(g_ChartLock);
    page->SetCell(row, column, text);
}

void CTestReportDlg::showTrialOnChart(ReportPage *page, std::uint32_t step)
{
    page->ChartBusy = true;
    page->ScrollViewPort(step);
    page->UpdateViewPort();
    page->ChartBusy = false;
}

void CTestReportDlg::waitAfterJoin()
{
    TrialSeconds = 0;
    JoinWaitTimer.start(1000);
    WaitPumpingAbortable(Plan().DelayAfterJoin * 1000);
    JoinWaitTimer.stop();
}

bool CTestReportDlg::FinishTest()
{
    CIGMPTestPlan &plan = Plan();
    // The clean-up runs whole after a Stop too: the steps would skip the leaves while the flag is set.
    std::uint32_t *stopFlag = g_RunState ? &g_RunState->StopRequested : nullptr;
    const std::uint32_t stopWas = stopFlag ? *stopFlag : 0;
    if (stopFlag)
        *stopFlag = 0;
    // A run that ended before its Source Filter procedure could put the page's stream settings back.
    RestorePortMedia();
    bool done = true;
    if (!plan.StopAllTx()) {
        plan.ClearPortLists();
        done = false;
    } else if (plan.IgmpVersion != 1 && !plan.LeaveGroups()) {
        failureStatus("Stat_Send_Leave_Fail");
        plan.ClearPortLists();
        done = false;
    } else {
        plan.StopStreamCounters();
        plan.StopCounterStatistics();
        plan.ClearPortCounters();
        plan.ClearAllStreamCounters();
    }
    if (stopFlag)
        *stopFlag = stopWas;
    return done;
}

void CTestReportDlg::TickTestProgress()
{
    if (stopped())
        return;
    ++TrialSeconds;
    EngineHost::instance().showStatusText(QString::asprintf("Perform testing ...%d sec", int(TrialSeconds)));
    if (EngineHost::instance().isDemoMode())
        Plan().SimulateCounters(TrialSeconds);
    CounterPage->UpdateCounterRows(Plan());
}

bool CTestReportDlg::resetTrialCounters()
{
    CIGMPTestPlan &plan = Plan();
    status("Stat_Clear_Counter");
    if (!plan.ClearAllCounters())
        return false;
    status("Stat_Start_Counter");
    if (!SetStreamCounters(plan, 1))
        return false;
    WaitPumpingAbortable(20ms);
    return true;
}

void CTestReportDlg::startTrialCounters()
{
    if (!stopped())
        Kv_StartCounterStatistics(1, 1);
    if (!stopped())
        Plan().StartGroupStreamCounters(1);
}

void CTestReportDlg::ReadCounters()
{
    Kv_TQReadCounterStatistics(1);
    Kv_TQReadStreamCounter(1);
    if (CountersRead)
        CountersRead();
}

void CTestReportDlg::RestorePortMedia()
{
    for (const UtPortSaveEntry &saved : g_Session.PortSaves) {
        if (saved.PortIndex >= g_Session.Ports.size())
            continue;
        UtPortRecord &record = g_Session.Ports[saved.PortIndex];
        record.StreamItemA = saved.StreamItemA;
        record.StreamItemB = saved.StreamItemB;
        record.StreamNumber = saved.StreamNumber;
    }
    g_Session.PortSaves.clear();
}

void CTestReportDlg::StopRunTimers()
{
    TxStopTimer.stop();
    LatencyTimer.stop();
    JoinWaitTimer.stop();
}

void CTestReportDlg::OnTxStopTimer()
{
    if (TimerSeconds > Plan().TestDuration) {
        TxStopTimer.stop();
        Plan().StopAllTx();
        RestorePortMedia();
    } else {
        ++TimerSeconds;
    }
}

void CTestReportDlg::OnJoinWaitTimer()
{
    ++TrialSeconds;
    EngineHost::instance().showStatusText(
        QString::asprintf("Waiting time after Join group ... %d Secs", int(TrialSeconds)));
}

void CTestReportDlg::OnLatencyTimer()
{
    CounterPage->UpdateLatencyColumns(Plan());
}

void CTestReportDlg::Relayout()
{
    const int w = width();
    const int h = height();
    PropSheet->setGeometry(5, 15, qMax(0, w - 10), qMax(0, h - 25));
    // The pages at (5, 20) of the sheet, whatever their own parent inside it.
    const QRect pageArea(5, 20, qMax(0, w - 30), qMax(0, h - 50));
    for (int index = 0; index < PropSheet->count(); ++index) {
        QWidget *page = PropSheet->widget(index);
        page->setGeometry(pageArea.translated(-page->parentWidget()->mapTo(PropSheet, QPoint())));
    }
    AlignToFrame();
    update(0, 0, w, 25);
    if (QWidget *active = PropSheet->currentWidget()) {
        active->raise();
        active->update();
    }
    for (ReportPage *page : {static_cast<ReportPage *>(MixClassPage),
                             static_cast<ReportPage *>(AggregatePage), static_cast<ReportPage *>(ScalePage),
                             static_cast<ReportPage *>(LatencyPage), static_cast<ReportPage *>(FilterPage)}) {
        if (!page->ChartBusy)
            page->UpdateViewPort();
    }
}

void CTestReportDlg::AlignToFrame()
{
    for (CDlgButton *bar : {PdfBar, ExcelBar})
        bar->adjustSize();
    PdfBar->move(width() - 20 - PdfBar->width(), 10);
    ExcelBar->setFixedHeight(PdfBar->height());
    ExcelBar->move(PdfBar->x() - 10 - ExcelBar->width(), 10);
    PdfBar->raise();
    ExcelBar->raise();
    // The tab row keeps clear of the bars: an empty corner as wide as they reach; tabs that do not fit
    // beside it scroll.
    auto *corner = static_cast<TabRowReserve *>(PropSheet->cornerWidget(Qt::TopRightCorner));
    if (!corner)
        corner = new TabRowReserve(PropSheet);
    corner->reserved = qMax(0, PropSheet->x() + PropSheet->width() - ExcelBar->x());
    // Setting the corner lays the tab row out again with its new width.
    PropSheet->setCornerWidget(corner, Qt::TopRightCorner);
}

bool CTestReportDlg::ExportBarVisible(bool windowShown, bool anyRan, bool testPageVisible, bool resultsReady)
{
    return windowShown && anyRan && !testPageVisible && resultsReady;
}

void CTestReportDlg::ShowWithFrame()
{
    const bool testPageVisible = EngineHost::instance().isTestPageShown();
    for (CDlgButton *bar : {ExcelBar, PdfBar})
        bar->setVisible(
            ExportBarVisible(isVisible(), Results.AnyRan(), testPageVisible, bar->ResultsReady != 0));
}

void CTestReportDlg::SaveReport(int kind)
{
    const EngineHost &host = EngineHost::instance();
    const QString folder = ReportFile::folder();
    CreateDirectoryTree(folder);
    const QString proposed = folder + ReportFile::proposedName(host.testerName(), host.dutName(), kind,
                                                               QDateTime::currentDateTime());
    const QString path = Prompter::current().saveFileName(
        QString(), proposed, host.text(ReportFile::filterKey(kind)), ReportFile::extension(kind));
    if (path.isEmpty())
        return;
    ReportPath = path;
    host.runBusyDialog(host.text(QStringLiteral("Busy_Saving_Files")), 3, [this, kind] {
        if (kind == ReportFile::kPdf)
            OnSavePdfReport();
        else
            OnSaveExcelReport();
    });
}

void CTestReportDlg::OnSaveExcelReport()
{
    finishSave(CounterPage->SaveExcelReport(ReportPath));
}

void CTestReportDlg::OnSavePdfReport()
{
    finishSave(CounterPage->SavePdfReport(ReportPath));
}

void CTestReportDlg::finishSave(const SaveResult &saved)
{
    WaitPumping(1s);
    const EngineHost &host = EngineHost::instance();
    host.closeBusyDialog();
    Prompter::current().messageBox(saved ? host.text(QStringLiteral("Report_Save_Complete"))
                                         : host.saveFailureText(QStringLiteral("Report_Save_Fail"), saved),
                                   MB_OK);
}

void CTestReportDlg::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    RelayoutTimer.start();
}

void CTestReportDlg::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    ShowWithFrame();
}

void CTestReportDlg::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    ExcelBar->hide();
    PdfBar->hide();
}
