// The report window's sheet and export bars: locked result tabs refuse the mouse and the keyboard but
// not the program, and each bar shows its kind's text and picture and asks for its kind of report.
#include "common/EnglishTexts.h"
#include "controls/widgets/ButtonST.h"
#include "reports/DlgButton.h"
#include "reports/MyPropSheet.h"
#include "run/TestReportDlg.h"

#include <QSignalSpy>
#include <QTabBar>
#include <QtTest>
#include <gtest/gtest.h>

namespace {

class ReportSheetTest : public testing::Test
{
protected:
    ReportSheetTest()
    {
        report.resize(800, 500);
        report.show();
        report.Relayout();
    }
    void click(int tab) { QTest::mouseClick(tabs(), Qt::LeftButton, {}, tabs()->tabRect(tab).center()); }
    void key(QWidget *target, Qt::Key key, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::keyClick(target, key, modifiers);
    }
    QTabBar *tabs() const { return report.PropSheet->tabBar(); }
    int current() const { return report.PropSheet->GetActiveIndex(); }

    CTestReportDlg report;
};

} // namespace

TEST_F(ReportSheetTest, ResultTabsAreLockedBeforeTheFirstRun)
{
    const QStringList texts{"Mixed Class", "Aggregate", "Scale", "Latency", "Filter", "Counter"};
    ASSERT_EQ(report.PropSheet->count(), texts.size());
    for (int tab = 0; tab < texts.size(); ++tab) {
        EXPECT_EQ(report.PropSheet->tabText(tab), texts[tab]);
        EXPECT_EQ(report.PropSheet->IsPageLocked(tab), tab != CTestReportDlg::kCounterPage) << tab;
    }
    EXPECT_EQ(current(), CTestReportDlg::kCounterPage);
    for (int tab = 0; tab < CTestReportDlg::kCounterPage; ++tab) {
        click(tab);
        EXPECT_EQ(current(), CTestReportDlg::kCounterPage) << tab;
    }
    // Neither the tab bar's arrow keys nor Ctrl+Tab reach a locked tab.
    tabs()->setFocus();
    key(tabs(), Qt::Key_Left);
    key(tabs(), Qt::Key_Home);
    EXPECT_EQ(current(), CTestReportDlg::kCounterPage);
    key(report.PropSheet, Qt::Key_Tab, Qt::ControlModifier);
    key(report.PropSheet, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(current(), CTestReportDlg::kCounterPage);
}

TEST_F(ReportSheetTest, UnlockedTabsAreReachableAndTheProgramReachesAny)
{
    report.PropSheet->UnlockPage(2);
    click(1);
    EXPECT_EQ(current(), CTestReportDlg::kCounterPage);
    click(2);
    EXPECT_EQ(current(), 2);
    click(CTestReportDlg::kCounterPage); // the Counter tab is always open
    EXPECT_EQ(current(), CTestReportDlg::kCounterPage);
    tabs()->setFocus();
    key(tabs(), Qt::Key_Left); // past the locked Filter and Latency tabs
    EXPECT_EQ(current(), 2);
    key(report.PropSheet, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(current(), CTestReportDlg::kCounterPage);
    key(report.PropSheet, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(current(), 2);

    // The program shows a locked page.
    report.PropSheet->SetActivePage(0);
    EXPECT_EQ(current(), 0);
    EXPECT_EQ(report.PropSheet->currentWidget(), report.PropSheet->widget(0));
    click(2);
    EXPECT_EQ(current(), 2);
}

// A locked page holds an earlier run's results: locking the page on show turns the sheet, tab and page
// alike, to the first page still open; locking another page leaves the page on show.
TEST_F(ReportSheetTest, LockingThePageOnShowTurnsToTheFirstOpenPage)
{
    CMyPropSheet &sheet = *report.PropSheet;
    sheet.UnlockPage(1);
    sheet.UnlockPage(3);
    sheet.SetActivePage(3);
    sheet.LockPage(1);
    EXPECT_EQ(current(), 3);
    sheet.UnlockPage(1);
    const struct
    {
        int locked;
        int shown;
    } cases[] = {{3, 1}, {1, CTestReportDlg::kCounterPage}};
    for (const auto &c : cases) {
        sheet.LockPage(c.locked);
        EXPECT_EQ(current(), c.shown) << c.locked;
        EXPECT_EQ(sheet.currentWidget(), sheet.widget(c.shown)) << c.locked;
        EXPECT_EQ(tabs()->currentIndex(), c.shown) << c.locked;
        EXPECT_FALSE(tabs()->isTabEnabled(c.locked)) << c.locked;
    }
}

TEST_F(ReportSheetTest, ExportBarsShowTheirKindAndAskForIt)
{
    g_LangMag.SetLangFile(QStringLiteral(KV_SOURCE_DIR "/resources/Language/LangEng.lng"));
    installLanguageTexts();
    CDlgButton excel(CDlgButton::kExcel);
    CDlgButton pdf(CDlgButton::kPdf);
    EXPECT_EQ(excel.Button->text(), QStringLiteral("Export to Excel"));
    EXPECT_EQ(pdf.Button->text(), QStringLiteral("Export to PDF"));
    EXPECT_NE(CDlgButton::ExportPicture(CDlgButton::kExcel), CDlgButton::ExportPicture(CDlgButton::kPdf));
    EXPECT_EQ(CDlgButton::ExportPicture(CDlgButton::kPdf).pixelColor(15, 15),
              QColor(Qt::white)); // transparent
    EXPECT_TRUE(excel.isHidden());
    EXPECT_EQ(excel.ResultsReady, 0);

    excel.show();
    pdf.show();
    QSignalSpy asked(&excel, &CDlgButton::ExportClicked);
    QSignalSpy askedPdf(&pdf, &CDlgButton::ExportClicked);
    QTest::mouseClick(excel.Button, Qt::LeftButton);
    QTest::mouseClick(pdf.Button, Qt::LeftButton);
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked[0][0].toInt(), CDlgButton::kExcel);
    ASSERT_EQ(askedPdf.size(), 1);
    EXPECT_EQ(askedPdf[0][0].toInt(), CDlgButton::kPdf);

    g_LangMag.SetLangFile(QStringLiteral(KV_SOURCE_DIR "/resources/Language/LangChs.lng"));
    EXPECT_EQ(CDlgButton(CDlgButton::kPdf).Button->text(), QStringLiteral("导出到 PDF"));
    g_LangMag.SetLangFile(QString());
    EngineHost::instance().reset();
}
