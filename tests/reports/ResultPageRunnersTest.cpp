// The runners' part of the result pages, in a demo run inside the main frame: each page laid out for
// the run's frame sizes, its records and entries built, its chart set up and the end time stamped.
#include "app/KvIGMPTQApp.h"
#include "app/LangMag.h"
#include "app/MainFormView.h"
#include "app/MainFrame.h"
#include "app/MainWindowTest.h"
#include "app/PairOnePages.h"
#include "controls/grid/UGCtrl.h"
#include "controls/widgets/NumEdit.h"
#include "engine/EngineHost.h"
#include "engine/Session.h"
#include "engine/VirtualWaitClock.h"
#include "platform/ScriptedPrompter.h"
#include "platform/chart/ChartViewer.h"
#include "reports/ReportLatency.h"
#include "reports/ReportMixClass.h"
#include "run/TestReportDlg.h"
#include "testpages/DlgLatency.h"
#include "testpages/DlgMixClass.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

class ResultPageRunnersTest : public MainWindowTest
{
protected:
    ResultPageRunnersTest() : MainWindowTest({.demo = true})
    {
        app->TesterName = QStringLiteral("Tester A");
        CIGMPTestPlan &plan = app->TestPlan;
        plan.NumberOfTrials = 1;
        plan.TestDuration = 2;
        plan.IgmpVersion = 2;
        PairOnePages::addPairOne(plan);
    }
    ~ResultPageRunnersTest() override { EngineHost::instance().reset(); }

    static bool stamped(const ReportPage &page)
    {
        static const QRegularExpression interval(
            QStringLiteral(" -\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d$"));
        return interval.match(page.Cell(ReportPage::kTestIntervalRow, page.ValueColumn)).hasMatch();
    }

    VirtualWaitClock clock;
};

} // namespace

TEST_F(ResultPageRunnersTest, MixedClassAndLatencyRunnersFillTheirPages)
{
    view->TestSelected[TestMixClass] = 1;
    view->TestSelected[TestLatency] = 1;
    view->MixClassPage->PairChecked[1] = 1;
    // Frame sizes 64 and 128 at rates from 100 % down by a resolution of 50.
    CDlgMixClass &mixedPage = *view->MixClassPage;
    mixedPage.FrameStopField.edit->setText(QStringLiteral("128"));
    mixedPage.InitialRateField.edit->setText(QStringLiteral("100"));
    mixedPage.ResolutionField.edit->setText(QStringLiteral("50"));
    view->LatencyPage->PairChecked[1] = 1;
    // Rates 10, 20 and 30 % at 64 bytes.
    CDlgLatency &latencyPage = *view->LatencyPage;
    latencyPage.InitialRateField.edit->setText(QStringLiteral("10"));
    latencyPage.MinRateField.edit->setText(QStringLiteral("10"));
    latencyPage.MaxRateField.edit->setText(QStringLiteral("30"));
    view->OnRunTest();

    const CReportMixClass &mixed = *view->ReportDlg->MixClassPage;
    // Two frame sizes of one source row each.
    ASSERT_EQ(mixed.Grid->GetRowCount(), 14);
    EXPECT_EQ(mixed.Cell(2, mixed.ValueColumn), "Tester A");
    EXPECT_EQ(mixed.Cell(ReportPage::kFrameSizeRow, mixed.ValueColumn), "128") << "the last frame size run";
    EXPECT_EQ(mixed.Cell(13, 0), "128");
    EXPECT_EQ(mixed.Cell(13, 1), "50.00");
    ASSERT_EQ(mixed.Records.size(), 2u);
    EXPECT_EQ(mixed.BarCount, 2);
    EXPECT_EQ(mixed.ReceiverTotal, 1u);
    EXPECT_EQ(mixed.FirstStep, 1);
    EXPECT_EQ(mixed.BarLabels[1], "(  1, 2,2)\n 128 bytes\nPair - 1");
    EXPECT_TRUE(stamped(mixed));
    EXPECT_FALSE(mixed.ChartBusy);

    const CReportLatency &latency = *view->ReportDlg->LatencyPage;
    // One host, one frame size, rates 10, 20 and 30: one row each.
    ASSERT_EQ(latency.Grid->GetRowCount(), 15);
    EXPECT_EQ(latency.Cell(13, 1), "20.00");
    ASSERT_EQ(latency.Records.size(), 3u);
    EXPECT_EQ(latency.Records[2].Step, 2u);
    EXPECT_EQ(latency.BarLabels[2], "(  1, 2,2)\n 64 / Pair 1\n30.00%");
    for (int row = 12; row < 15; ++row)
        EXPECT_EQ(latency.Cell(row, CReportLatency::kMeasuredColumn).split('/').size(), 3) << row;
    EXPECT_EQ(latency.CurrentStep, 2u);
    EXPECT_TRUE(stamped(latency));
    ASSERT_NE(latency.Viewer->GetChart(), nullptr);
}
