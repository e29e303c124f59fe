// Demo runs one after another on the real clock, started from the tool bar while another program has
// the focus: every run ends with its "Test Finished!" box, owned by the main frame and on show, and
// leaves its log behind.
#include "ShellTestSupport.h"
#include "app/KvIGMPTQApp.h"
#include "app/LogDlg.h"
#include "app/MainFormView.h"
#include "app/MainFrame.h"
#include "app/ToolBarDlg.h"
#include "controls/widgets/NumEdit.h"
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
    // Pair 1 of the demo ports, ticked on the page, one second per trial at one rate.
    ASSERT_GE(g_Session.Ports.size(), 2u);
    ASSERT_FALSE(app.TestPlan.TestPairs.empty());
    app.TestPlan.TestPairs[0].Status = 1;
    g_Session.Ports[0].SourcePair = 1;
    g_Session.Ports[1].HostPair = 1;
    CDlgMixClass *page = view->MixClassPage;
    page->PairChecked[1] = 1;
    page->DurationField.edit->setText("1");
    page->DelayAfterJoinField.edit->setText("1");
    for (const auto *rate : {&page->InitialRateField, &page->MinRateField, &page->MaxRateField})
        rate->edit->setText("100");

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

    // A run of the page's pair takes some 17 seconds of waits on the real clock.
    constexpr int kRuns = 3;
    for (int run = 0; run < kRuns; ++run) {
        SCOPED_TRACE(run);
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
