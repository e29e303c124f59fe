// The main form view: the left column with the product title, the navigation tree, the elapsed-time box
// and the description box; the right area with the banner that names the page on show and one page at a
// time below it (the test pages inside a tab strip). The view owns every page for the life of the
// program, the test log window, and the state of a test run that the engine reads and writes.
#pragma once

#include "engine/RunState.h"
#include "platform/FileSave.h"

#include <QFont>
#include <QImage>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class CBoardInfo;
class CButtonST;
class CDlgAggregate;
class CDlgCapacity;
class CDlgDescription;
class CDlgJoinLeave;
class CDlgLatency;
class CDlgMixClass;
class CDlgScale;
class CDlgSourceFilter;
class CDlgWaitProgress;
class CDynamicDlg;
class CLogDlg;
class CLogoDlg;
class CMaxThroughputDlg;
class CPortConfig;
class CPortInfoConfig;
class CSplitterControl;
class CStandardDlg;
class CStaticEx;
class CSysInfoDlg;
class CTestPageBase;
class CTestReportDlg;
class CTransparentImage;
class ReportPage;
class ViewPageDirectory;
struct UtCustomFrame;
class QAction;
class QFrame;
class QGroupBox;
class QLabel;
class QTabBar;
class QTextEdit;
class QTreeWidget;
class QTreeWidgetItem;

// What a node of the navigation tree stands for; every node carries its id, and clicks act on the id.
enum class TreeNode
{
    None = 0,
    Root,
    SystemInfo,
    PortInfo,
    PortConfig,
    TestConfig,
    ForwardThroughput,
    MixClass,
    Aggregate,
    Scale,
    Latency,
    Capacity,
    JoinLeave,
    SourceFilter,
    Report,
    ReportMixClass,
    ReportAggregate,
    ReportScale,
    ReportLatency,
    ReportSourceFilter
};

// A moment as the local calendar shows it.
struct UtLocalTime
{
    std::uint16_t Year = 0;
    std::uint16_t Month = 0;
    std::uint16_t DayOfWeek = 0;
    std::uint16_t Day = 0;
    std::uint16_t Hour = 0;
    std::uint16_t Minute = 0;
    std::uint16_t Second = 0;
    std::uint16_t Milliseconds = 0;
};

// The start of a run: seconds since the epoch and the same moment in local time.
struct UtRunStartTime
{
    std::int64_t Seconds = 0;
    UtLocalTime Local;
};

class CMainFormView : public QWidget
{
    Q_OBJECT

public:
    // Commands the view handles (the others are the run's and the configuration file's).
    static constexpr int ID_PORT_SETTING = 103;
    static constexpr int ID_COUNTER_REPORT = 104;
    static constexpr int ID_TRAFFIC_SETTING = 106;
    static constexpr int ID_LANGUAGE_CHANGED = 129;
    static constexpr int ID_PORT_INFO = 131;
    static constexpr int ID_HOME_PAGE = 155;
    static constexpr int ID_APPLY = 1047;
    // The configuration file: the tool bar's Save and Load, the menu's Save, Open and New, and the
    // message that asks for the reservation dialog.
    static constexpr int ID_SAVE_CONFIG = 127;
    static constexpr int ID_LOAD_CONFIG = 128;
    static constexpr int ID_SAVE_CONFIGURATION = 32777;
    static constexpr int ID_OPEN_CONFIGURATION = 32797;
    static constexpr int ID_NEW_TEST = 32799;
    static constexpr int WM_SHOW_RESERVATION = 0x8c;
    // Run control.
    static constexpr int ID_RUN_TEST = 125;
    static constexpr int ID_STOP_TEST = 126;
    static constexpr int ID_FINISHED_RUN = 132;
    static constexpr int ID_TEST_FINISHED = 133;
    // The elapsed-time timer (timer 2) ticks once a second.
    static constexpr int kElapsedTimerId = 2;

    // settingsPath: where the log window keeps its Auto Clear choice (empty: read and kept nowhere).
    // No control or page exists before OnInitialUpdate.
    explicit CMainFormView(QWidget *parent = nullptr, const QString &settingsPath = QString());
    ~CMainFormView() override;

    // Sets the run's stop flag and wakes every abortable wait at once.
    void RequestStop();

    // Appends text to the view's log, line by line: each line keeps its line feed, a last line without
    // one gets one. With Auto Clear on, the log empties itself before it would overflow.
    static void AppendLog(CMainFormView *view, const QString &text);

    // A command of the menu or the tool bar that the frame routes to the view.
    void OnCommand(int command);

    // Creation and layout.
    void OnInitialUpdate();
    void CreatePages();
    void LayoutPages();
    void LayoutControls(int delta);
    void HideAllPages();
    // The log is a pop-up of its own, centred on the main frame; placed again once the frame has its
    // place on the screen, unless the user has it open.
    void CenterLogOnFrame();
    void OnTimer(int timerId);
    // "%H:%M:%S" of a duration: hours of the day, so the display starts again at 00 after 24 hours.
    static QString ElapsedText(std::int64_t seconds);

    // The navigation tree and the page switches.
    void BuildTree();
    void ResetReportTree();
    // A click on a node's label or icon (a click on a check box goes to OnTreeCheckChanged).
    void OnTreeClick(QTreeWidgetItem *item);
    void OnTreeCheckChanged(QTreeWidgetItem *item);
    void OnTabSelChange(int index);
    void OnLanguageChanged();
    void OnShowHomePage();
    void ShowPortConfigPage();
    void ShowPortInfoPage();
    void ShowMixedClassPage();
    void ShowAggregatePage();
    void ShowScalePage();
    void ShowLatencyPage();
    void ShowCapacityPage();
    void ShowJoinLeavePage();
    void ShowSourceFilterPage();
    void ShowSystemInfoPage();
    // The reservation dialog; after a reservation the port grids are refilled, the pairs lose their
    // ports and the port-information page shows.
    void OnShowReservation();
    // The configuration file. Save asks for a path and writes the whole set-up there at once; Load asks
    // for a file, checks it against the live inventory, lets the user confirm the reservation and reads
    // every page back; New reserves ports afresh and starts from the default pairs.
    void SaveConfiguration();
    void LoadConfiguration();
    void OnNewTestingConfiguration();
    // Open, Save and New: off when the controller keeps them off, else enabled while no test runs.
    void OnUpdateConfigurationCommands(QAction *action) const;
    // The whole set-up into one document (head stamped with the moment), written to the path in one
    // piece: the file there is replaced whole or left as it was. On failure the result holds the reason.
    SaveResult SaveConfigurationTo(const QString &path, const UtLocalTime &stamp);
    // Open without the file dialog: true when every page was read back.
    bool LoadConfigurationFrom(const QString &path);
    // The five lines that open a configuration file.
    static QString ConfigHeadText(const UtLocalTime &stamp);
    // Runs the reservation dialog modally and answers its result; tests put a double here.
    void SetReservationRunner(std::function<int(CBoardInfo &)> runner)
    {
        m_runReservation = std::move(runner);
    }
    void ShowReportPage();
    void ShowTestReportPage();
    void ShowCounterReportPage();
    void ShowNextTestPage();
    // The Show...Page of a test (index in test order).
    void ShowTestPage(int test);
    // Enabled while no test runs; checked while the banner names the port or the traffic configuration.
    void OnUpdatePortSetting(QAction *action) const;
    void OnUpdateTrafficSetting(QAction *action) const;
    // The Apply button under the description.
    void OnApplyButton();

    // Run control: Run (125) validates the selected pages and runs their tests in the fixed order inside
    // this one call; Stop (126) ends the run at its next wait; 133 ends a run, 132 returns to idle.
    void OnRunTest();
    void StartTest();
    bool ValidateSelectedTests();
    void RunSelectedTests();
    void OnStopTest();
    void StopTest();
    void ResetPortCounters();
    void OnTestFinished();
    void OnFinishedRun();
    // The runners: 1 when every step ran, 0 when the run stopped or a procedure failed.
    std::uint8_t RunMixedClassTest();
    std::uint8_t RunAggregateTest();
    std::uint8_t RunScaleGroupTest();
    std::uint8_t RunLatencyTest();
    std::uint8_t RunCapacityTest();
    std::uint8_t RunJoinLeaveTest();
    std::uint8_t RunSourceFilterTest();
    // The log header of a run: lines padded to 69 characters.
    static QStringList RunLogHeader(const UtLocalTime &start);

    // The node of an id in the tree as it stands (null when the tree has none).
    QTreeWidgetItem *TreeItem(TreeNode node) const;
    static TreeNode NodeOf(const QTreeWidgetItem *item);
    // The node of a test, its page and its test picture (Source Filter has none: a null image).
    static TreeNode TestNode(int test);
    CTestPageBase *TestPage(int test) const;
    // The first visible test page in test order, or -1.
    int VisibleTestPage() const;
    // The page is shown inside the view (whether or not the view itself is on screen).
    bool IsPageShown(const QWidget *page) const;
    // The description box's default heading and text, with the start page's picture.
    void setDefaultDescription();

    // Controls of the form.
    CStaticEx *TitleLabel = nullptr;
    QTreeWidget *NavTree = nullptr;
    CStaticEx *Banner = nullptr;
    QTabBar *TabCtrl = nullptr;
    CSplitterControl *Splitter = nullptr;
    QFont BannerFont;
    QFont TitleFont;
    QFont ElapsedFont;

    // Pages, created once by CreatePages.
    CPortInfoConfig *PortInfoPage = nullptr;
    CLogoDlg *LogoPage = nullptr;
    CPortConfig *PortConfigPage = nullptr;
    CSysInfoDlg *SysInfoPage = nullptr;
    CStandardDlg *StandardPage = nullptr;
    CDynamicDlg *DynamicPage = nullptr;
    CMaxThroughputDlg *MaxThroughputPage = nullptr;
    CTestReportDlg *ReportDlg = nullptr;
    // The test log: a separate window, created hidden with the view.
    CLogDlg *LogDlg;
    CDlgMixClass *MixClassPage = nullptr;
    CDlgAggregate *AggregatePage = nullptr;
    CDlgScale *ScalePage = nullptr;
    CDlgLatency *LatencyPage = nullptr;
    CDlgCapacity *CapacityPage = nullptr;
    CDlgJoinLeave *JoinLeavePage = nullptr;
    CDlgDescription *DescriptionPage = nullptr;
    CDlgSourceFilter *SourceFilterPage = nullptr;

    CStaticEx *ElapsedValue = nullptr;
    QGroupBox *DescriptionFrame = nullptr;
    CStaticEx *DescriptionTitle = nullptr;
    QFrame *Separator = nullptr;
    QGroupBox *ElapsedFrame = nullptr;
    QLabel *ElapsedCaption = nullptr;
    // The pictures of Mixed Class, Aggregate, Scale Group, Latency, Capacity and Join/Leave (0..5), in
    // the current language; each is drawn when first needed and again when its caption has changed.
    const QImage &TestPictureImage(int index);
    CTransparentImage *TestPicture = nullptr;
    QTextEdit *DescriptionText = nullptr;
    CButtonST *ApplyButton = nullptr;

    // State of a run.
    UtRunStartTime StartTime;
    std::uint8_t TestSelected[TestCount] = {};
    std::uint8_t TestDone[TestCount] = {};
    // What the engine reads of the run: the stop flag, the rows the runner is on, the steps per test.
    RunState Run;
    std::uint8_t LinkDownStop = 0;
    QTreeWidgetItem *CurrentTreeItem = nullptr;
    // Set while a run is active.
    std::uint8_t RunActive = 0;
    CDlgWaitProgress *WaitDialog = nullptr;
    // Timer 2: shows the elapsed time of a run once a second; run control starts and stops it.
    QTimer ElapsedTimer;
    // The texts of the two run-value fields (RunValueA and RunValueB of the plan).
    QString RunValueTextA;
    QString RunValueTextB;

signals:
    void commandReceived(int command);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    // The page-switch family: refused (with a message, or silently) while a test runs.
    bool refusedWhileRunning(bool tellUser) const;
    void setBanner(const char *key);
    void showStatusReady() const;
    void selectNode(TreeNode node);
    // Shows a test page with its tab item, preparing the page when it was not on show.
    void showTestPageOf(int test);
    void prepareTestPage(int test);
    // The description box and the picture follow the test on show, however its page was reached.
    void showTestDescription(int test);
    void storePortSettings(int test);
    void selectTab(int index);
    void fillTabItems();
    // The description box's heading and text with the picture of a test (none for a test without one).
    void setDescription(const char *titleKey, const char *textKey, int pictureTest);
    // Adds under the report node one node per result page open in the report window (a test of the last
    // run that has one) that is not listed yet.
    void insertReportNodes(QTreeWidgetItem *report);
    QTreeWidgetItem *addNode(QTreeWidgetItem *parent, TreeNode node, const QString &text);
    void connectControls();
    // The texts of the view's own controls and its windows in the current language.
    void relabelWindows();
    // Narrows the tree's indentation, then its font, until every item's text fits beside the scroll bar.
    void fitTreeTexts();
    // The description title and text in a font that shows them whole.
    void fitDescription();
    // The reservation dialog with the application's names, which a Lock takes back; its result.
    int runReservation(CBoardInfo &dialog);
    // Run control helpers.
    void sendToFrame(int command);
    // The start of every runner: flags, plan test type, run values and the elapsed-time timer.
    void beginRunner(int test);
    // The result page of a test opened, listed under the report node, emptied (for the frame-size rows
    // of the run) and shown.
    void prepareResultPage(int test, int tab, ReportPage *page, const std::vector<UtCustomFrame> &rows);
    // A procedure returned false: the run ends here.
    std::uint8_t failRunner();
    // The test whose runner the user's Stop cut short, -1 when the run was not stopped before its end.
    int stoppedTest() const;
    // Whether the connection to the chassis broke: a run that ends so did not finish.
    bool chassisConnectionLost() const;
    // The result of a test that a Stop cut short says so: the end of the result page's testing interval,
    // the capacity or the join and leave averages.
    void markResultStopped(int test);
    // Closes the "Stop test, please wait..." dialog of a Stop and enables the frame again.
    void closeWaitDialog();
    void applyFrameRow(const UtCustomFrame &row, bool withMinRate);
    void writeFrameSizeCell(ReportPage *page, std::uint16_t frameSize);
    // Per throughput runner: row x step x pair, a record each (the step value given to addRecord).
    template <typename AddRecord>
    bool buildPairSteps(int test, const std::vector<UtCustomFrame> &rows, std::uint32_t firstStep,
                        std::uint32_t lastStep, ReportPage *page, bool stopChecks, AddRecord addRecord);
    std::uint8_t runFrameRows(int test, const std::vector<UtCustomFrame> &rows, ReportPage *page,
                              bool withMinRate, const std::function<bool(std::size_t)> &procedure);
    std::uint8_t runEntries(int test, const std::vector<std::uint32_t> &entries, bool stopChecks,
                            const std::function<bool(std::uint32_t)> &procedure);

    // The item whose check box the current click toggled: that click is no label click.
    QTreeWidgetItem *m_checkToggled = nullptr;
    // While the tree is rebuilt as a whole, its texts are fitted once at the end.
    bool m_treeRebuilding = false;
    std::array<QImage, 6> m_testPictures;
    // The captions the test pictures were drawn with.
    std::array<QString, 6> m_pictureCaptions;
    bool m_logPlaced = false;
    std::function<int(CBoardInfo &)> m_runReservation;
    std::unique_ptr<ViewPageDirectory> m_pageDirectory;
};

// The one main view; null while it does not exist.
extern CMainFormView *g_MainView;
