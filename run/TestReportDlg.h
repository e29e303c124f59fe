// The report window: a child page of the main view with the result pages (Mixed Class, Aggregate,
// Scale, Latency, Filter) and the counter page in its property sheet, and the two export bars. It
// runs the test procedures the runners call, keeps the result set of the last run and owns the timers
// of a run: 2 stops the traffic a test left running once its duration has passed, 4 relays out the
// window after a resize, 11 refreshes the latency columns and 12 counts the wait after the joins.
#pragma once

#include "engine/RateSearch.h"
#include "engine/ResultSet.h"
#include "engine/TrialJudge.h"
#include "platform/FileSave.h"

#include <QString>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <functional>

class CCounterDlg;
class CCounterLog;
class CDlgButton;
class CIGMPTestPlan;
class CMyPropSheet;
class CReportAggregate;
class CReportDynamicDlg;
class CReportFilter;
class CReportLatency;
class CReportMaxThroughputDlg;
class CReportMixClass;
class CReportScale;
class CReportStandard;
class ReportPage;
struct UtTestPort;

class CTestReportDlg : public QWidget
{
public:
    static constexpr int kSheetPages = 6;
    static constexpr int kCounterPage = 5;
    // LinkState after a procedure found a port without link.
    static constexpr std::uint32_t kLinkDown = 2;
    // Text colours of a repetition's verdict on the counter page.
    static constexpr std::uint32_t kPassColor = 0xFF8000;
    static constexpr std::uint32_t kFailColor = 0x0000FF;

    explicit CTestReportDlg(QWidget *parent = nullptr);
    ~CTestReportDlg() override;

    // The test plan the procedures run, set by the owner; only valid while HasPlan().
    CIGMPTestPlan &Plan() const;
    bool HasPlan() const;
    // Also the plan of the result pages and of the live charts.
    void SetPlan(CIGMPTestPlan *plan);

    // The test procedures: false when the run must end (a step failed, a link is down, or Stop).
    bool PerformMixedClassTest();
    bool PerformAggregateTest();
    bool PerformScaleGroupTest();
    bool PerformLatencyTest(double rate);
    bool PerformCapacityTest(std::uint32_t frameSize);
    bool PerformJoinLeaveDelayTest();
    bool PerformSourceFilterTest();
    // Whether the host's Source Filter settings for the group admit the source's traffic.
    bool IsSourceExpected(const UtTestPort &source, const UtTestPort &host, const QString &groupText) const;

    // The clean-up after every run: saved port settings back, traffic stopped, groups left, counters
    // stopped and cleared.
    bool FinishTest();
    // One second of a trial: the trial's seconds, the status line and the counter page.
    void TickTestProgress();
    // Asks the chassis for the port and stream counters, whose reports arrive during the next wait, then
    // calls CountersRead.
    void ReadCounters();
    // Puts back the port settings the Source Filter page saved.
    void RestorePortMedia();
    // Stops every timer of a run (Stop).
    void StopRunTimers();

    // Timer slots, public so that tests in virtual time can run them.
    void OnTxStopTimer();
    void OnJoinWaitTimer();
    void OnLatencyTimer();
    void Relayout();
    // The export bars at the top right of the window: the PDF bar 20 pixels from the right edge, the
    // Excel bar 10 pixels left of it. The frame calls it when it moves.
    void AlignToFrame();

    // The export bars are shown after a run with results unless a test page is on show.
    static bool ExportBarVisible(bool windowShown, bool anyRan, bool testPageVisible, bool resultsReady);
    // Shows or hides both bars by the rule above.
    void ShowWithFrame();
    // Saves the report of the last run: kind 0 as a spreadsheet, 1 as a PDF file (the export bars). Asks
    // for the file in Report/ and writes it from inside the busy dialog "Saving Files...".
    void SaveReport(int kind);
    // The writing itself, once the busy dialog is up: the writer with ReportPath, then the dialog
    // closed and the user told whether the file was written.
    void OnSaveExcelReport();
    void OnSavePdfReport();

    CMyPropSheet *PropSheet;
    CReportMixClass *MixClassPage;
    CReportAggregate *AggregatePage;
    CReportScale *ScalePage;
    CReportLatency *LatencyPage;
    CReportFilter *FilterPage;
    CCounterLog *CounterPage;
    // Built but never shown: nothing in a run opens it.
    CCounterDlg *CounterDlg;
    CDlgButton *ExcelBar;
    CDlgButton *PdfBar;
    // The live chart dialogs: hidden; shown, each redraws its chart once a second.
    CReportStandard *StandardChart;
    CReportDynamicDlg *DynamicChart;
    CReportMaxThroughputDlg *MaxThroughputChart;

    UtResultSet Results;
    std::uint32_t TimerSeconds = 1;
    std::uint16_t TrialSeconds = 0;
    std::uint32_t LinkState = 0;
    std::uint32_t CurrentTestNo = 0;
    QString ReportPath;

    // Called by ReadCounters once the counters are asked for; tests write there what a device would count.
    std::function<void()> CountersRead;
    // Called each second of a Latency trial once the second's latency samples have arrived, before they
    // are taken; tests write there what a device would measure.
    std::function<void()> LatencySamplesArrived;
    // Called once the time stamps of a Join/Leave measurement (`join`: the join delays) have arrived,
    // before they are read; tests write there what a device would stamp.
    std::function<void(bool join)> TimeStampsArrived;

    QTimer TxStopTimer;   // 2
    QTimer RelayoutTimer; // 4
    QTimer LatencyTimer;  // 11
    QTimer JoinWaitTimer; // 12

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    // The run state as the procedures read it: the stop request, the next result row of the running
    // test, and the frame-size row under test.
    bool stopped() const;
    std::uint32_t reportRow() const;
    void setReportRow(std::uint32_t row);
    std::uint32_t frameSizeIndex() const;
    // The log line of a link check; Mixed Class writes it without the blank before the dots.
    static constexpr const char *kLinkCheckLine = "* Checking link status of all ports ...";
    // Link check with retries, announced by `logLine` in the log and `statusKey` in the status line
    // (Join/Leave shows the bare "Check_Link" key); false (LinkState 2 only when a link stayed down) ends the
    // procedure.
    bool checkLinks(const char *logLine = kLinkCheckLine, const char *statusKey = "Stat_Check_Link");
    // Where the start of the throughput and filter procedures differs.
    struct PrologueOptions
    {
        const char *linkCheckLine = kLinkCheckLine;
        // Two seconds for the port group to settle before the time stamps are cleared.
        bool settleAfterPortGroup = true;
        // The "Stat_Send_Learning" status before the learning frames.
        bool learningStatus = false;
        std::uint32_t waitAfterLearningMs = 100;
        const char *learningLine = "* Start learning procedure of all ports.";
        // Latency pauses this long after the link check, after the time stamps and before the learning
        // frames, and names a failed step in the log.
        std::uint32_t pauseBetweenStepsMs = 0;
        bool logsFailedStep = false;
    };
    // The start the procedures share: timer 2 stopped, the test marked as ran, the port lists filled, links
    // checked, the port group set, time stamps cleared (not in demo mode) and the learning frames sent. False
    // when the run must end.
    bool startProcedure(std::uint32_t testType, const PrologueOptions &options);
    // Where the throughput procedures' repetitions differ.
    struct RepetitionSteps
    {
        ReportPage *page = nullptr;
        int passedRateColumn = 0;
        std::uint32_t chartStep = 0;
        const RateSearch::Texts *searchTexts = nullptr;
        UtResultSet::CounterKind counters = UtResultSet::MixedClass;
        // Every fifth second of the traffic: the joins that keep the groups alive on the device.
        std::function<void()> refreshJoins;
        // After the traffic: the counters stopped, read and judged.
        std::function<TrialJudge::Verdict()> readAndJudge;
    };
    // One trial of a throughput procedure: repetitions at the rates the halving search sets until it ends,
    // each verdict on the counter page and the result page. False when the run must end.
    bool runRepetitions(std::uint32_t trial, const RepetitionSteps &steps);
    // Capacity's and Join/Leave's opening after the link check: the port group, the automatic ARP replies
    // and the learning frames, logged with the given line; false when the chassis refused.
    bool learnWithPortGroup(const QString &learningLine);
    // The counters cleared and the stream counters started before a trial's traffic; false when the
    // chassis refused.
    bool resetTrialCounters();
    // The counter reports and the group streams' counters started, unless Stop was pressed.
    void startTrialCounters();
    // Joins, then the wait after them with timer 12 counting.
    void waitAfterJoin();
    // A result-page cell, written under the lock the runners take around their grid rows.
    void writeResultCell(ReportPage *page, int row, int column, const QString &text);
    // After a trial: the view moved to the frame size under test and the chart redrawn, with the page's
    // scroll lock held so that neither the user nor a relayout scrolls or redraws in between.
    void showTrialOnChart(ReportPage *page, std::uint32_t step);
    // The trials of one client count (Aggregate) or group count (Scale Group).
    bool runCountTrials(bool aggregate, std::uint32_t count);
    // After an Aggregate or Scale Group repetition's traffic: the counters stopped, read and judged.
    TrialJudge::Verdict readCountCounters(bool aggregate);
    // Latency: the per-host latency lines and result cells of a trial.
    void printLatencyTable();
    // Join/Leave: the delay of every receiving port into its result column; false on Stop (join only).
    bool printDelayTable(bool join);
    // Source Filter: one group's filter check; false when a host got other than its sources' frames.
    bool checkFilterGroup(const QString &groupText, QStringList &failures);
    // The end of a save: a second for the busy dialog to show its bar, then the dialog closed and the
    // result told.
    void finishSave(const SaveResult &saved);

    CIGMPTestPlan *m_plan = nullptr;
};

// The one report window; null while it does not exist.
extern CTestReportDlg *g_ReportDlg;
