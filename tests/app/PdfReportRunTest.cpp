// The PDF test report of a demo run with all seven tests, in English and in Chinese: every section is
// there with the texts of the windows it copies, every page renders, and every word lies inside the
// page's 15-unit margins.
#include "ShellTestSupport.h"
#include "app/KvIGMPTQApp.h"
#include "app/LangMag.h"
#include "app/MainFormView.h"
#include "app/MainFrame.h"
#include "controls/grid/MyCug.h"
#include "controls/widgets/SkinListCtrl.h"
#include "engine/EngineUtils.h"
#include "engine/Session.h"
#include "engine/TestReportDlg.h"
#include "engine/VirtualWaitClock.h"
#include "platform/ScriptedPrompter.h"
#include "ports/ModuleInfodlg.h"
#include "ports/PortInfoConfig.h"
#include "ports/SysInfoDlg.h"
#include "reports/CounterLog.h"
#include "reports/ReportAggregate.h"
#include "reports/ReportFilter.h"
#include "reports/ReportLatency.h"
#include "reports/ReportMixClass.h"
#include "reports/ReportScale.h"
#include "testpages/DlgCapacity.h"
#include "testpages/DlgJoinLeave.h"
#include "testpages/DlgLatency.h"
#include "testpages/DlgMixClass.h"
#include "testpages/DlgScale.h"
#include "testpages/DlgAggregate.h"

#include "common/PdfReadBack.h"

#include <QImage>
#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QTableWidget>
#include <gtest/gtest.h>

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

class PdfReportRunTest : public testing::TestWithParam<const char *>
{
protected:
    PdfReportRunTest()
    {
        app = std::make_unique<CKvIGMPTQApp>(std::make_unique<FakeServices>(folder.path()));
        app->DemoMode = 1;
        g_LangMag.SetLangFile(folder.languageFile(GetParam()));
        frame = std::make_unique<CMainFrame>(folder.path());
        frame->show();
        view = frame->View();
    }

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
        const UtTestPair pairOne{1, 1, 1, 1, 2, 1, 0, {239, 1, 1, 1}, 1, 0xFFFF, 0xFF, 0xFF};
        std::vector<UtTestPair> &pairs = app->TestPlan.TestPairs;
        if (pairs.empty())
            pairs.push_back(pairOne);
        else
            pairs[0] = pairOne;
    }

    // One demo run of every test with one trial of one frame size each, pair 1 ticked where a page
    // takes pairs.
    void runEveryTest()
    {
        addPairOne();
        for (CTestPageBase *page : std::initializer_list<CTestPageBase *>{
                 view->MixClassPage, view->AggregatePage, view->ScalePage, view->LatencyPage, view->CapacityPage,
                 view->JoinLeavePage})
            page->PairChecked[1] = 1;
        CIGMPTestPlan &plan = app->TestPlan;
        plan.NumberOfTrials = 1;
        plan.TestDuration = 2;
        plan.IgmpVersion = 2;
        plan.InitialClients = plan.MaxClients = 1;
        plan.InitialGroups = 1;
        plan.MaxGroups = 2;
        plan.GroupStep = 1;
        plan.MeasureFlags = 3;
        std::fill(std::begin(view->TestSelected), std::end(view->TestSelected), std::uint8_t(1));
        view->LatencyPage->InitialRate = 10;
        view->LatencyPage->RateStep = 10;
        view->LatencyPage->MaxRate = 10;
        view->MixClassPage->FrameRows = {{100, 10, 100, 1, 64}};
        view->AggregatePage->FrameRows = {{100, 10, 100, 1, 64}};
        view->ScalePage->FrameRows = {{100, 10, 100, 1, 64}};
        view->LatencyPage->FrameRows = {{10, 10, 10, 1, 64}};
        view->CapacityPage->RunList = {64};
        view->JoinLeavePage->RunList = {64};
        view->OnRunTest();
        for (int test = 0; test < TestCount; ++test)
            ASSERT_EQ(view->ReportDlg->Results.Ran[std::size_t(test)], 1) << test;
    }

    static QString text(const char *key) { return g_LangMag.GetString(QString::fromLatin1(key)); }

    ShellGlobalsGuard guard;
    TempProgramFolder folder;
    ScriptedPrompter prompter;
    VirtualWaitClock clock;
    std::unique_ptr<CKvIGMPTQApp> app;
    std::unique_ptr<CMainFrame> frame;
    CMainFormView *view = nullptr;
};

TEST_P(PdfReportRunTest, EverySectionOfARunWithEveryTestIsInTheFile)
{
    ASSERT_NO_FATAL_FAILURE(runEveryTest());
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
    QStringList contents{text("PdfReport_Title"), text("PdfReport_Test_Content"), text("PdfReport_Test_Time")};
    int number = 1;
    for (const char *key : {"PdfReport_Content_Mix_Class", "PdfReport_Content_Aggregate", "PdfReport_Content_Scale",
                            "PdfReport_Content_Latency", "PdfReport_Content_Capacity", "PdfReport_Content_Join_Leave",
                            "PdfReport_Content_Filter"})
        contents << text(key).replace(QStringLiteral("%d"), QString::number(number++));
    for (const QString &expected : contents)
        EXPECT_TRUE(pages[0].contains(withoutBlanks(expected))) << expected.toStdString();

    // A result page's section shows its headings and its grid's column titles.
    const auto resultTexts = [&](const ReportPage &resultPage) {
        QStringList texts{text("PdfReport_Chart_Report"), text("PdfReport_Result")};
        for (int c = 0; c < resultPage.Grid->GetColumnCount(); ++c)
            texts << resultPage.Cell(ReportPage::kColumnTitleRow, c) << resultPage.Cell(ReportPage::kFirstResultRow, c);
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
            QStringList{text("PdfReport_Last_Pass").replace(QStringLiteral("%s"), view->CapacityPage->CapacityLabel->text()),
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
            {list.GetColumnCaption(0), list.GetColumnCaption(12), list.GetColumnCaption(17), list.GetItemText(0, 0),
             list.GetItemText(2, 0), list.GetItemText(2, 6)});
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
    render.start(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("36"), QStringLiteral("-png"), file,
                                              folder.path() + QStringLiteral("page")});
    ASSERT_TRUE(render.waitForFinished(60000) && render.exitCode() == 0);
    const int digits = read.Pages >= 10 ? 2 : 1;
    for (int rendered = 1; rendered <= read.Pages; ++rendered)
        EXPECT_FALSE(QImage(folder.path() + QStringLiteral("page-%1.png").arg(rendered, digits, 10, QChar(u'0')))
                         .isNull())
            << rendered;
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, PdfReportRunTest, testing::Values("LangEng.lng", "LangChs.lng"));

} // namespace
