// Demo runs one after another on the real clock, started from the tool bar while another program has
// the focus: every run ends with its "Test Finished!" box, owned by the main frame and on show, and
// leaves its log behind.
#include "ShellTestSupport.h"
#include "app/KvIGMPTQApp.h"
#include "app/LogDlg.h"
#include "app/MainFormView.h"
#include "app/MainFrame.h"
#include "app/ToolBarDlg.h"
#include "testpages/DlgMixClass.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

TEST(DemoRunRepeat, EveryRunEndsWithItsBoxOverTheFrameAndItsLog)
{
    ShellGlobalsGuard guard;
    TempProgramFolder folder;
    auto services = std::make_unique<FakeServices>(folder.path());
    services->dialogResult = 0; // demo
    CKvIGMPTQApp app(std::move(services));
    ASSERT_TRUE(app.InitInstance());
    CMainFrame *frame = app.MainFrame();
    CMainFormView *view = frame->View();
    view->TestSelected[TestMixClass] = 1;
    view->MixClassPage->FrameRows = {{100, 10, 100, 1, 64}};

    struct Box
    {
        QString text;
        bool ownedByFrame;
        bool shown;
    };
    QList<Box> boxes;
    // The user answers every box that comes up.
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        boxes.push_back(
            {box->text(), box->parentWidget() && box->parentWidget()->window() == frame, box->isVisible()});
        box->button(QMessageBox::Ok)->click();
    });
    answer.start(20);

    constexpr int kRuns = 6;
    for (int run = 0; run < kRuns; ++run) {
        SCOPED_TRACE(run);
        CIGMPTestPlan &plan = app.TestPlan;
        plan.NumberOfTrials = 1;
        plan.TestDuration = 1;
        plan.DelayAfterJoin = 0;
        QApplication::setActiveWindow(nullptr); // the user works in another program meanwhile
        const qsizetype before = boxes.size();
        frame->ToolBar->OnRunTest();
        ASSERT_EQ(boxes.size(), before + 1);
        EXPECT_EQ(boxes.back().text, QStringLiteral("Test Finished!"));
        EXPECT_TRUE(boxes.back().ownedByFrame);
        EXPECT_TRUE(boxes.back().shown);
        EXPECT_EQ(view->LogDlg->text().count(QStringLiteral("* Mixclass throughput Test Complete...")),
                  run + 1);
        EXPECT_EQ(view->RunActive, 0);
        // The results stay on show for a moment before the next run; the report window's timers go on.
        QTest::qWait(300);
    }
}
