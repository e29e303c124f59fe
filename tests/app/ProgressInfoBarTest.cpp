// The busy dialog runs its job from its own modal loop 300 ms after it shows; the wait dialog sweeps.
#include "app/ProgressInfoBar.h"
#include "app/DlgWaitProgress.h"
#include "app/ProgInfoDlg.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

TEST(ProgressInfoBar, RunsTheJobInsideTheShownDialogAfter300msAndReturnsWhenTheJobClosesIt)
{
    CProgressInfoBar bar;
    bar.Count = 3;
    bar.SetText(QStringLiteral("Detecting Halvern System..."));
    QElapsedTimer shown;
    qint64 startedAfter = -1;
    bool dialogVisibleDuringJob = false;
    QString textDuringJob;
    bar.Notify = [&] {
        startedAfter = shown.elapsed();
        dialogVisibleDuringJob = bar.Dialog() && bar.Dialog()->isVisible();
        textDuringJob = bar.Dialog()->textLabel()->text();
        bar.CloseDialog();
    };
    shown.start();
    bar.RunDialog(nullptr);
    EXPECT_GE(startedAfter, 300);
    EXPECT_TRUE(dialogVisibleDuringJob);
    EXPECT_EQ(textDuringJob, QStringLiteral("Detecting Halvern System..."));
    EXPECT_EQ(bar.Dialog(), nullptr); // gone once RunDialog returns
}

TEST(ProgressInfoBar, BarFillsInCountSecondsThenStaysFullAndEscapeDoesNotClose)
{
    CProgressInfoBar bar;
    bar.Count = 3;
    std::vector<int> positions;
    bool stillOpenAfterEscape = false;
    bar.Notify = [&] {
        CProgInfoDlg *dialog = bar.Dialog();
        EXPECT_EQ(dialog->progressBar()->maximum(), 6);
        for (int tick = 0; tick < 8; ++tick) {
            dialog->OnTimer(CProgInfoDlg::kStepTimer);
            positions.push_back(dialog->progressBar()->value());
        }
        QTest::keyClick(dialog, Qt::Key_Escape);
        stillOpenAfterEscape = dialog->isVisible();
        bar.CloseDialog();
    };
    bar.RunDialog(nullptr);
    EXPECT_EQ(positions, (std::vector<int>{1, 2, 3, 4, 5, 6, 6, 6}));
    EXPECT_TRUE(stillOpenAfterEscape);
}

TEST(ProgressInfoBar, DestroyingTheDriverWhileShownClosesTheDialog)
{
    auto bar = std::make_unique<CProgressInfoBar>();
    CProgressInfoBar *current = bar.get();
    EXPECT_EQ(g_ProgressBar, current);
    bool closedWithoutTheJob = false;
    bar->Notify = [&] { bar.reset(); };
    current->RunDialog(nullptr); // returns only because the destructor closed the dialog
    closedWithoutTheJob = !bar;
    EXPECT_TRUE(closedWithoutTheJob);
    EXPECT_EQ(g_ProgressBar, nullptr);
    EXPECT_EQ(g_ProgInfoDlg, nullptr);
}

TEST(ProgressInfoBar, StartWithoutAMainFrameDoesNothing)
{
    CProgressInfoBar bar;
    bool ran = false;
    bar.Notify = [&] { ran = true; };
    bar.Start();
    EXPECT_FALSE(ran);
}

TEST(DlgWaitProgress, SweepsAndStartsAgainPastTheEnd)
{
    CDlgWaitProgress dialog;
    EXPECT_EQ(dialog.parent(), nullptr); // stays usable while the frame is disabled
    for (int tick = 0; tick < 100; ++tick)
        dialog.OnTimer();
    EXPECT_EQ(dialog.progressBar()->value(), 100);
    dialog.OnTimer();
    EXPECT_EQ(dialog.progressBar()->value(), 0);
}
