// Demo runs one after another on the real clock, as a user starts them from the tool bar: every run
// ends with "Test Finished!" and leaves its log behind.
#include "ShellTestSupport.h"
#include "app/KvIGMPTQApp.h"
#include "app/LogDlg.h"
#include "app/MainFormView.h"
#include "app/MainFrame.h"
#include "app/ToolBarDlg.h"
#include "platform/ScriptedPrompter.h"
#include "testpages/DlgMixClass.h"

#include <QElapsedTimer>
#include <QTest>
#include <gtest/gtest.h>

TEST(DemoRunRepeat, EveryRunEndsWithItsMessageAndItsLog)
{
    ShellGlobalsGuard guard;
    TempProgramFolder folder;
    ScriptedPrompter prompter;
    auto services = std::make_unique<FakeServices>(folder.path());
    services->dialogResult = 0; // demo
    CKvIGMPTQApp app(std::move(services));
    ASSERT_TRUE(app.InitInstance());
    CMainFrame *frame = app.MainFrame();
    CMainFormView *view = frame->View();
    CIGMPTestPlan &plan = app.TestPlan;
    view->TestSelected[TestMixClass] = 1;
    view->MixClassPage->FrameRows = {{100, 10, 100, 1, 64}};
    for (int run = 0; run < 8; ++run) {
        SCOPED_TRACE(run);
        plan.NumberOfTrials = 1;
        plan.TestDuration = 1;
        plan.DelayAfterJoin = 0;
        const qsizetype before = prompter.messages().size();
        QElapsedTimer took;
        took.start();
        frame->ToolBar->OnRunTest();
        const QStringList shown = prompter.messages().mid(before);
        EXPECT_EQ(shown, QStringList{"Test Finished!"});
        EXPECT_TRUE(view->LogDlg->text().contains("Mixclass throughput Test Complete")) << took.elapsed();
        std::printf("run %d took %lld ms, %d log chars\n", run, took.elapsed(), int(view->LogDlg->text().size()));
        // The user looks at the result for a moment before the next run.
        QTest::qWait(1500);
    }
}
