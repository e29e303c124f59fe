// Saving a report from the report window: the proposed name, the save dialog, the busy dialog the
// writer runs in and the message after it; at the end a whole demo run in the main frame saved from
// its Excel bar and read back.
#include "app/KvIGMPTQApp.h"
#include "app/MainFormView.h"
#include "app/MainFrame.h"
#include "app/PairOnePages.h"
#include "app/ProgInfoDlg.h"
#include "app/ShellTestSupport.h"
#include "common/EnglishTexts.h"
#include "common/FileSizeLimit.h"
#include "controls/grid/KvAvlGrid.h"
#include "controls/grid/MyCug.h"
#include "controls/widgets/ButtonST.h"
#include "controls/widgets/NumEdit.h"
#include "engine/EngineHost.h"
#include "engine/EngineUtils.h"
#include "engine/VirtualWaitClock.h"
#include "platform/ScriptedPrompter.h"
#include "ports/ModuleInfodlg.h"
#include "reports/CounterLog.h"
#include "reports/DlgButton.h"
#include "reports/ReportFile.h"
#include "reports/ReportMixClass.h"
#include "reports/ReportReadBack.h"
#include "reports/ReportSources.h"
#include "run/TestReportDlg.h"
#include "testpages/DlgAggregate.h"
#include "testpages/DlgCapacity.h"
#include "testpages/DlgJoinLeave.h"
#include "testpages/DlgLatency.h"
#include "testpages/DlgMixClass.h"
#include "testpages/DlgScale.h"
#include "testpages/DlgSourceFilter.h"
#include "testpages/RateTestPage.h"

#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(ReportFile, ProposedNameIsTheNamesAndTheTime)
{
    const QDateTime time(QDate(2017, 11, 27), QTime(9, 5, 3));
    struct Case
    {
        const char *tester, *dut;
        int kind;
        const char *expected;
    };
    const Case cases[] = {
        {"T1", "D1", ReportFile::kSpreadsheet, "T1_D1_2017_11_27_09_05_03.xls"},
        {"T1", "D1", ReportFile::kPdf, "T1_D1_2017_11_27_09_05_03.pdf"},
        {"New Tester", "New DUT_Device", 0, "New Tester_New DUT_Device_2017_11_27_09_05_03.xls"},
        {"../lab", "a\\b", 0, ".._lab_a_b_2017_11_27_09_05_03.xls"},
        {"", "", 0, "__2017_11_27_09_05_03.xls"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ReportFile::proposedName(c.tester, c.dut, c.kind, time), c.expected);
    EXPECT_EQ(ReportFile::folder(), GetAppDirectory() + "Report/");
}

TEST(ExportBars, ShownOnlyWithTheWindowAfterARunWithResultsAndNoTestPageOnShow)
{
    struct Case
    {
        bool windowShown, anyRan, testPageVisible, resultsReady, visible;
    };
    const Case cases[] = {
        {true, true, false, true, true}, {false, true, false, true, false}, {true, false, false, true, false},
        {true, true, true, true, false}, {true, true, false, false, false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(
            CTestReportDlg::ExportBarVisible(c.windowShown, c.anyRan, c.testPageVisible, c.resultsReady),
            c.visible)
            << c.windowShown << c.anyRan << c.testPageVisible << c.resultsReady;
}

namespace {

class ReportSaveTest : public testing::Test
{
protected:
    ReportSaveTest()
    {
        english.install();
        EngineHost &host = EngineHost::instance();
        host.testerNameSource = [] { return QStringLiteral("T1"); };
        host.dutNameSource = [] { return QStringLiteral("D1"); };
        host.busyDialog = [this](const QString &text, std::uint32_t seconds, std::function<void()> job) {
            events << QStringLiteral("busy %1 %2").arg(text).arg(seconds);
            job();
            events << QStringLiteral("busy ended");
        };
        host.busyDialogClose = [this] { events << QStringLiteral("close"); };
        host.setStatusText = [](const QString &) {};
    }
    ~ReportSaveTest() override
    {
        EngineHost::instance().reset();
        ReportSources::instance().reset();
    }

    EnglishTexts english;
    ScriptedPrompter prompter;
    VirtualWaitClock clock;
    QTemporaryDir dir;
    CTestReportDlg report;
    QStringList events;
};

} // namespace

TEST_F(ReportSaveTest, ACancelledDialogLeavesNoTrace)
{
    report.ReportPath = QStringLiteral("earlier.xls");
    prompter.queueFileName(QString());
    report.SaveReport(ReportFile::kSpreadsheet);
    ASSERT_EQ(prompter.prompts().size(), 1);
    const ScriptedPrompter::Prompt &dialog = prompter.prompts()[0];
    EXPECT_EQ(dialog.kind, ScriptedPrompter::Kind::SaveFile);
    EXPECT_EQ(QFileInfo(dialog.fileName).path() + u'/', GetAppDirectory() + "Report/");
    EXPECT_TRUE(QFileInfo(GetAppDirectory() + "Report").isDir());
    EXPECT_TRUE(QRegularExpression("^T1_D1_\\d{4}_\\d\\d_\\d\\d_\\d\\d_\\d\\d_\\d\\d\\.xls$")
                    .match(QFileInfo(dialog.fileName).fileName())
                    .hasMatch())
        << dialog.fileName.toStdString();
    EXPECT_EQ(dialog.filter, "XLS Files (*.xls);;All Files (*)");
    EXPECT_TRUE(events.isEmpty());
    EXPECT_TRUE(prompter.messages().isEmpty());
    EXPECT_EQ(report.ReportPath, "earlier.xls");
}

TEST_F(ReportSaveTest, TheWriterRunsInsideTheBusyDialogAndItsResultIsTold)
{
    struct Case
    {
        int kind;
        const char *file;
        const char *message;
    };
    const Case cases[] = {
        {ReportFile::kSpreadsheet, "report.xls", "Save File Complete."},
        {ReportFile::kSpreadsheet, "missing/report.xls", "Save File Fail.\nNo such file or directory"},
        {ReportFile::kPdf, "report.pdf", "Save File Complete."},
        {ReportFile::kPdf, "missing/report.pdf", "Save File Fail.\nNo such file or directory"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file);
        events.clear();
        const QString path = dir.filePath(QString::fromLatin1(c.file));
        const qsizetype shown = prompter.messages().size();
        prompter.queueFileName(path);
        report.SaveReport(c.kind);
        const ScriptedPrompter::Prompt &dialog = prompter.prompts()[prompter.prompts().size() - 2];
        EXPECT_TRUE(dialog.fileName.endsWith(c.kind == ReportFile::kPdf ? ".pdf" : ".xls"));
        EXPECT_EQ(dialog.filter, c.kind == ReportFile::kPdf ? "PDF Files (*.pdf);;All Files (*)"
                                                            : "XLS Files (*.xls);;All Files (*)");
        EXPECT_EQ(report.ReportPath, path);
        EXPECT_EQ(prompter.messages().mid(shown), QStringList{c.message});
        // The dialog closes after the writer's second, before the message.
        EXPECT_EQ(events, (QStringList{"busy Saving Files... 3", "close", "busy ended"}));
        EXPECT_EQ(clock.waits().back(), std::chrono::milliseconds(1000));
        EXPECT_EQ(QFileInfo::exists(path), QString(c.message) == "Save File Complete.");
    }
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("missing")));
    const QJsonArray sheets = readReportBack(dir.filePath("report.xls"), "0-0")["sheets"].toArray();
    EXPECT_EQ(sheets.size(), 5);
}

// A report saved over an older one on a full disk: the user is told why, and the older file stays as
// it was, whatever the report's size.
TEST_F(ReportSaveTest, AFullDiskIsToldAndTheOlderReportStays)
{
    for (const int kind : {ReportFile::kSpreadsheet, ReportFile::kPdf}) {
        const QString path = dir.filePath(kind == ReportFile::kPdf ? "old.pdf" : "old.xls");
        {
            QFile old(path);
            ASSERT_TRUE(old.open(QIODevice::WriteOnly));
            old.write("an older report");
        }
        const qsizetype shown = prompter.messages().size();
        prompter.queueFileName(path);
        {
            const FileSizeLimit fullDisk(1024);
            report.SaveReport(kind);
        }
        EXPECT_EQ(prompter.messages().mid(shown), QStringList{"Save File Fail.\nThe disk is full."}) << kind;
        QFile saved(path);
        ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
        EXPECT_EQ(saved.readAll(), "an older report") << kind;
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(),
                  kind == ReportFile::kPdf ? 2 : 1);
    }
}

// A whole demo run of every test in the main frame, saved from the Excel bar through the frame's busy
// dialog.
TEST(ReportSaveEndToEnd, ADemoRunOfEveryTestSavesAsASpreadsheet)
{
    ShellGlobalsGuard guard;
    TempProgramFolder folder;
    ScriptedPrompter prompter;
    VirtualWaitClock clock;
    CKvIGMPTQApp app(std::make_unique<FakeServices>(folder.path()));
    app.DemoMode = 1;
    g_LangMag.SetLangFile(folder.languageFile("LangEng.lng"));
    CMainFrame frame(folder.path());
    frame.show();
    CMainFormView *view = frame.View();
    CIGMPTestPlan &plan = app.TestPlan;
    plan.NumberOfTrials = 1;
    plan.TestDuration = 2;
    plan.IgmpVersion = 2;
    // Every page runs pair 1: the rate pages at fixed rates, the group pages with their watched port, the
    // Source Filter page from the source to the host.
    PairOnePages::readyEveryPage(*view, plan);
    for (int test = 0; test < TestCount; ++test)
        view->TestSelected[test] = 1;
    view->OnRunTest();
    ASSERT_EQ(prompter.messages(), QStringList{"Test Finished!"});
    CTestReportDlg &report = *view->ReportDlg;
    for (int test = 0; test < TestCount; ++test)
        ASSERT_EQ(report.Results.Ran[std::size_t(test)], 1) << test;
    ASSERT_TRUE(report.ExcelBar->isVisible());

    QTemporaryDir dir;
    const QString path = dir.filePath("run.xls");
    prompter.queueFileName(path);
    bool busyShownWhileWriting = false;
    // The writer runs inside the busy dialog; its text is the saving one. The frame's driver is wrapped so
    // that the dialog is looked at when the writer starts.
    EngineHost &host = EngineHost::instance();
    const auto frameBusyDialog = host.busyDialog;
    ASSERT_TRUE(frameBusyDialog);
    host.busyDialog = [&](const QString &text, std::uint32_t seconds, std::function<void()> job) {
        frameBusyDialog(text, seconds, [&, job = std::move(job)] {
            busyShownWhileWriting =
                g_ProgInfoDlg && g_ProgInfoDlg->isVisible() && g_ProgInfoDlg->Text == "Saving Files...";
            job();
        });
    };
    report.ExcelBar->Button->click();
    host.busyDialog = frameBusyDialog;
    EXPECT_TRUE(busyShownWhileWriting);
    EXPECT_EQ(g_ProgInfoDlg, nullptr) << "the busy dialog is gone";
    EXPECT_EQ(prompter.messages().back(), "Save File Complete.");
    EXPECT_EQ(report.ReportPath, path);
    // The module window the report filled stays with the frame.
    ASSERT_TRUE(frame.ModuleInfoDlg);

    const QJsonObject read = readReportBack(path, "0-30");
    QStringList names;
    int pictures = 0;
    for (const QJsonValue sheet : read["sheets"].toArray()) {
        names << sheet["name"].toString();
        pictures += int(sheet["pictures"].toArray().size());
    }
    EXPECT_EQ(names, (QStringList{"Chassis Information", "System Information", "Port Information",
                                  "Test Summary", "Mixed Class Throughput", "Aggregated Multicast Throughput",
                                  "Scaled Group Forwarding", "Latency", "IGMP V3 Source Filter",
                                  "Counter Report P1"}));
    EXPECT_EQ(pictures, 10) << "each chart in the summary and on its sheet";
    const QJsonArray sheets = read["sheets"].toArray();
    QString firstHeading;
    frame.ModuleInfoDlg->Grid()->GetCellTextTo(0, -1, firstHeading);
    EXPECT_FALSE(firstHeading.isEmpty());
    EXPECT_EQ(xlsCell(sheets[0].toObject(), 0, 1).at(3).toString(), firstHeading)
        << "the module window's grid";
    EXPECT_EQ(xlsCell(sheets[1].toObject(), 0, 0).at(3).toString(), "Model:");
    EXPECT_EQ(xlsCell(sheets[4].toObject(), 0, 0).at(3).toString(), report.MixClassPage->Cell(0, 0));
    EXPECT_TRUE(xlsCell(sheets[9].toObject(), 1, 0).at(3).toString().startsWith("Benchmark:Mixed Class"));
}
