// The main view: its first show, the layout of its controls and pages at two sizes, the elapsed time,
// the navigation tree in both languages, ticks, page switches, the refusals during a run, the tab and the
// description page.
#include "MainWindowTest.h"

#include "app/DialogUnits.h"
#include "app/DlgDescription.h"
#include "app/KvIGMPTQApp.h"
#include "app/LogDlg.h"
#include "app/LogoDlg.h"
#include "app/MMStatusBar.h"
#include "app/MainFormView.h"
#include "app/MainFrame.h"
#include "controls/widgets/ButtonST.h"
#include "controls/widgets/SplitterControl.h"
#include "controls/widgets/StaticEx.h"
#include "controls/widgets/TransparentImage.h"
#include "platform/ScriptedPrompter.h"
#include "ports/PortConfig.h"
#include "ports/PortInfoConfig.h"
#include "ports/SysInfoDlg.h"
#include "reports/MyPropSheet.h"
#include "run/TestReportDlg.h"
#include "testpages/DlgAggregate.h"
#include "testpages/DlgCapacity.h"
#include "testpages/DlgJoinLeave.h"
#include "testpages/DlgLatency.h"
#include "testpages/DlgMixClass.h"
#include "testpages/DlgScale.h"
#include "testpages/DlgSourceFilter.h"
#include "testpages/DynamicDlg.h"
#include "testpages/MaxThroughputDlg.h"
#include "testpages/StandardDlg.h"

#include <QDateTime>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QStyleOptionViewItem>
#include <QTabBar>
#include <QTest>
#include <QTextEdit>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <gtest/gtest.h>

namespace {

QString text(const char *key)
{
    return g_LangMag.GetString(QString::fromLatin1(key));
}

// The view inside the main frame, in English, on screen.
class MainFormViewTest : public MainWindowTest
{
protected:
    MainFormViewTest() : MainWindowTest({.fakeLink = true}) {}

    QTreeWidget *tree() const { return view->NavTree; }

    // A left click on the middle of a node's row, as the user gives it.
    void clickNode(TreeNode node)
    {
        QTreeWidgetItem *item = view->TreeItem(node);
        ASSERT_NE(item, nullptr);
        tree()->scrollToItem(item);
        QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {}, tree()->visualItemRect(item).center());
    }

    // A left click on a node's check box.
    void clickCheckBox(TreeNode node)
    {
        QTreeWidgetItem *item = view->TreeItem(node);
        ASSERT_NE(item, nullptr);
        tree()->scrollToItem(item);
        QStyleOptionViewItem option;
        option.initFrom(tree());
        option.rect = tree()->visualItemRect(item);
        option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
        option.text = item->text(0);
        const QRect box =
            tree()->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, tree());
        QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {}, box.center());
    }

    // The pages shown inside the view.
    QList<QWidget *> shownPages() const
    {
        QList<QWidget *> shown;
        for (QWidget *page : allPages())
            if (view->IsPageShown(page))
                shown << page;
        return shown;
    }

    QList<QWidget *> allPages() const
    {
        return {view->PortConfigPage, view->StandardPage,  view->LogoPage,         view->SysInfoPage,
                view->PortInfoPage,   view->ReportDlg,     view->DynamicPage,      view->MaxThroughputPage,
                view->MixClassPage,   view->AggregatePage, view->ScalePage,        view->LatencyPage,
                view->CapacityPage,   view->JoinLeavePage, view->SourceFilterPage, view->DescriptionPage};
    }

    // The children of a node as (id, text) pairs.
    static QList<std::pair<TreeNode, QString>> childrenOf(const QTreeWidgetItem *item)
    {
        QList<std::pair<TreeNode, QString>> children;
        for (int i = 0; item && i < item->childCount(); ++i)
            children.append({CMainFormView::NodeOf(item->child(i)), item->child(i)->text(0)});
        return children;
    }

    QString status() const { return frame->StatusBar->PaneText(0); }
};

TEST_F(MainFormViewTest, FirstShowIsTheStartPageWithTheRootSelected)
{
    EXPECT_EQ(shownPages(), QList<QWidget *>{view->LogoPage});
    for (QWidget *page : allPages())
        EXPECT_EQ(page->parentWidget(), view);
    EXPECT_FALSE(view->IsPageShown(view->TabCtrl));
    EXPECT_FALSE(view->LogDlg->isVisible());
    EXPECT_EQ(view->LogDlg->size(), QSize(694, 440));
    EXPECT_EQ(view->LogDlg->textLimit(), 10'000'000);
    EXPECT_TRUE(view->Banner->GetText().isEmpty());
    EXPECT_EQ(tree()->currentItem(), view->TreeItem(TreeNode::Root));
    EXPECT_EQ(view->CurrentTreeItem, view->TreeItem(TreeNode::Root));
    EXPECT_EQ(view->ElapsedValue->GetText(), QStringLiteral("00:00:00"));
    EXPECT_EQ(view->ElapsedValue->GetTextColor(), RGB(34, 139, 34));
    EXPECT_EQ(view->DescriptionTitle->GetTextColor(), RGB(160, 82, 13));
    EXPECT_EQ(view->DescriptionTitle->GetText(), text("Des_IGMP_Des"));
    EXPECT_EQ(view->DescriptionText->toPlainText(), text("Des_IGMP_TQ"));
    EXPECT_TRUE(view->DescriptionText->isReadOnly());
    EXPECT_EQ(view->TitleLabel->GetText(), QStringLiteral("Tavrix-IGMP-TQ"));
    EXPECT_EQ(view->TestPicture->GetBitmap(), view->TestPictureImage(0));
    EXPECT_EQ(view->TestPicture->size(), QSize(190, 128));
    EXPECT_EQ(view->Splitter->GetMinimum(), 240);
    EXPECT_EQ(view->Splitter->GetMaximum(), 240);
    EXPECT_EQ(view->BannerFont.pixelSize(), 24);
    EXPECT_EQ(view->ElapsedFont.pixelSize(), 35);
    EXPECT_EQ(g_ReportDlg, view->ReportDlg);
    for (const std::uint8_t selected : view->TestSelected)
        EXPECT_EQ(selected, 0);
    EXPECT_EQ(view->Run.StopRequested, 0u);
    EXPECT_EQ(view->RunActive, 0);
    EXPECT_EQ(view->LinkDownStop, 0);
    EXPECT_EQ(view->WaitDialog, nullptr);
    EXPECT_EQ(view->StartTime.Seconds, 0);
    // The seven test pages' tab.
    ASSERT_EQ(view->TabCtrl->count(), TestCount);
    EXPECT_EQ(view->TabCtrl->tabText(TestSourceFilter), text("Tree_Source_Filter"));
}

// Every control and page at two sizes of the view, as the layout table gives them.
TEST(MainFormViewLayout, PlacesEveryControlAndPageFromTheSize)
{
    ShellGlobalsGuard guard;
    QWidget host;
    auto *view = new CMainFormView(&host);
    host.resize(1600, 1000);
    host.show();
    view->OnInitialUpdate();
    view->CreatePages();
    for (const QSize size : {QSize(1000, 700), QSize(1400, 900)}) {
        SCOPED_TRACE(size.width());
        view->resize(size);
        const int W = size.width();
        const int H = size.height();
        // Title 228 x 32, description frame 249 high, elapsed frame 59 high, picture 190 x 128, button 21
        // x 19.
        const std::pair<QWidget *, QRect> expected[] = {
            {view->TitleLabel, QRect(0, 0, 228, 32)},
            {view->DescriptionFrame, QRect(0, H - 254, 228, 249)},
            {view->DescriptionTitle, QRect(10, H - 234, 217, 17)},
            {view->DescriptionText, QRect(10, H - 212, 208, 80)},
            {view->TestPicture, QRect(3, H - 133, 190, 128)},
            {view->ApplyButton, QRect(199, H - 29, 21, 19)},
            {view->ElapsedFrame, QRect(0, H - 314, 228, 59)},
            {view->ElapsedValue, QRect(98, H - 299, 120, 34)},
            {view->ElapsedCaption, QRect(7, H - 296, 55, 31)},
            {view->Separator, QRect(67, H - 299, 2, 39)},
            {view->NavTree, QRect(0, 37, 228, H - 352)},
            {view->Splitter, QRect(228, 0, 5, H)},
            {view->Banner, QRect(230, 0, W - 230, 32)},
            {view->LogoPage, QRect(232, 37, W - 232, H - 37)},
            {view->SysInfoPage, QRect(232, 37, W - 232, H - 37)},
            {view->PortInfoPage, QRect(232, 37, W - 232, H - 37)},
            {view->PortConfigPage, QRect(232, 37, W - 232, H - 37)},
            {view->TabCtrl, QRect(232, 32, W - 232, H - 32)},
            {view->StandardPage, QRect(237, 57, W - 242, H - 62)},
            {view->DynamicPage, QRect(237, 57, W - 242, H - 62)},
            {view->MaxThroughputPage, QRect(237, 57, W - 242, H - 62)},
            {view->MixClassPage, QRect(237, 57, W - 242, H - 62)},
            {view->SourceFilterPage, QRect(237, 57, W - 242, H - 62)},
            {view->DescriptionPage, QRect(237, 57, W - 242, H - 62)},
            {view->ReportDlg, QRect(232, 37, W - 232, H - 37)},
        };
        for (const auto &[widget, rect] : expected)
            EXPECT_EQ(widget->geometry(), rect) << widget->metaObject()->className();
        // The tree ends one pixel above the elapsed-time box.
        EXPECT_EQ(view->NavTree->geometry().bottom() + 2, view->ElapsedFrame->geometry().top());
    }
}

TEST(MainFormViewLayout, SecondCreatePagesCreatesAndMovesNothing)
{
    ShellGlobalsGuard guard;
    QWidget host;
    auto *view = new CMainFormView(&host);
    host.show();
    view->OnInitialUpdate();
    view->resize(1000, 700);
    const QWidget *report = view->ReportDlg;
    const QWidget *mixClass = view->MixClassPage;
    const QRect reportPlace = report->geometry();
    const QRect mixPlace = mixClass->geometry();
    const int children = view->children().size();
    view->CreatePages();
    EXPECT_EQ(view->children().size(), children);
    EXPECT_EQ(view->ReportDlg, report);
    EXPECT_EQ(view->MixClassPage, mixClass);
    EXPECT_EQ(report->geometry(), reportPlace);
    EXPECT_EQ(mixClass->geometry(), mixPlace);
}

// A drag of the splitter moves the boundary between the left column and the right area.
TEST(MainFormViewLayout, SplitterMoveShiftsTheColumnBoundary)
{
    ShellGlobalsGuard guard;
    QWidget host;
    auto *view = new CMainFormView(&host);
    host.resize(1200, 800);
    host.show();
    view->OnInitialUpdate();
    view->resize(1000, 700);
    const QRect title = view->TitleLabel->geometry();
    const QRect banner = view->Banner->geometry();
    const QRect report = view->ReportDlg->geometry();
    const QRect scale = view->ScalePage->geometry();
    // The bar's range is one position (240), so any drag ends there.
    const QPoint bar = view->Splitter->rect().center();
    QTest::mousePress(view->Splitter, Qt::LeftButton, {}, bar);
    QTest::mouseMove(view->Splitter, bar + QPoint(30, 0));
    QTest::mouseRelease(view->Splitter, Qt::LeftButton, {}, bar + QPoint(30, 0));
    const int delta = 240 - (228 + CSplitterControl::Thickness / 2);
    EXPECT_EQ(view->TitleLabel->geometry(), title.adjusted(0, 0, delta, 0));
    EXPECT_EQ(view->Banner->geometry(), banner.adjusted(delta, 0, 0, 0));
    EXPECT_EQ(view->ReportDlg->geometry(), report.adjusted(delta, 0, 0, 0));
    EXPECT_EQ(view->ScalePage->geometry(), scale); // not among the windows that follow the bar
    view->LayoutPages();
    EXPECT_EQ(view->TitleLabel->geometry(), title);
}

TEST(MainFormViewLayout, DialogUnitsBecomePixelsEdgeByEdge)
{
    EXPECT_EQ(DialogUnits::toPixelsX(152), 228);
    EXPECT_EQ(DialogUnits::toPixelsY(20), 33); // 32.5 rounds up
    EXPECT_EQ(DialogUnits::toPixelsY(-20), -33);
    // The title's rectangle: its edges at 6.5 and 39 pixels make it 32 high.
    EXPECT_EQ(DialogUnits::toPixels(QRect(8, 4, 152, 20)), QRect(12, 7, 228, 32));
}

TEST(MainFormViewElapsed, ShowsHoursOfTheDayMinutesAndSeconds)
{
    const struct
    {
        std::int64_t seconds;
        const char *text;
    } cases[] = {{0, "00:00:00"},
                 {59, "00:00:59"},
                 {3600 + 61, "01:01:01"},
                 {86399, "23:59:59"},
                 {25 * 3600 + 180, "01:03:00"},
                 {-5, "00:00:00"}};
    for (const auto &c : cases)
        EXPECT_EQ(CMainFormView::ElapsedText(c.seconds), QLatin1String(c.text)) << c.seconds;
}

TEST_F(MainFormViewTest, ElapsedTimerShowsTheTimeSinceTheStartWhileRunning)
{
    view->StartTime.Seconds = QDateTime::currentSecsSinceEpoch() - (25 * 3600 + 3 * 60);
    view->OnTimer(7); // another timer: nothing
    EXPECT_EQ(view->ElapsedValue->GetText(), QStringLiteral("00:00:00"));
    view->OnTimer(CMainFormView::kElapsedTimerId);
    EXPECT_TRUE(view->ElapsedValue->GetText().startsWith(QStringLiteral("01:03:0")));

    // Run control starts timer 2; the value follows once a second.
    view->StartTime.Seconds = QDateTime::currentSecsSinceEpoch() - 3 * 60;
    EXPECT_EQ(view->ElapsedTimer.interval(), 1000);
    view->ElapsedTimer.start();
    EXPECT_TRUE(QTest::qWaitFor([&] { return view->ElapsedValue->GetText().startsWith(u"00:03:0"); }, 3000));
    view->ElapsedTimer.stop();
}

TEST_F(MainFormViewTest, TreeIsBuiltInBothLanguagesWithChecksOnTheTestsOnly)
{
    for (const char *file : {"LangEng.lng", "LangChs.lng"}) {
        SCOPED_TRACE(file);
        g_LangMag.SetLangFile(folder.languageFile(file));
        view->BuildTree();
        ASSERT_EQ(tree()->topLevelItemCount(), 1);
        const QTreeWidgetItem *root = tree()->topLevelItem(0);
        EXPECT_EQ(root->text(0), QStringLiteral("Tavrix-IGMP-TQ"));
        using Children = QList<std::pair<TreeNode, QString>>;
        EXPECT_EQ(childrenOf(root), (Children{{TreeNode::SystemInfo, text("Tree_System_Info")},
                                              {TreeNode::PortInfo, text("Tree_Port_Info_Config")},
                                              {TreeNode::PortConfig, text("Tree_Port_Config")},
                                              {TreeNode::TestConfig, text("Tree_Test_Config")},
                                              {TreeNode::Report, text("Tree_Report")}}));
        EXPECT_EQ(childrenOf(view->TreeItem(TreeNode::TestConfig)),
                  (Children{{TreeNode::ForwardThroughput, text("Tree_Forward_Throughput")},
                            {TreeNode::Latency, text("Tree_Latency")},
                            {TreeNode::Capacity, text("Tree_Capacity")},
                            {TreeNode::JoinLeave, text("Tree_Join_Leave")},
                            {TreeNode::SourceFilter, text("Tree_Source_Filter")}}));
        EXPECT_EQ(childrenOf(view->TreeItem(TreeNode::ForwardThroughput)),
                  (Children{{TreeNode::MixClass, text("Tree_Mix_Class")},
                            {TreeNode::Aggregate, text("Tree_Aggregate_Group")},
                            {TreeNode::Scale, text("Tree_Scaled_Group")}}));
        EXPECT_TRUE(childrenOf(view->TreeItem(TreeNode::Report)).isEmpty());
        for (QTreeWidgetItemIterator it(tree()); *it; ++it) {
            const TreeNode node = CMainFormView::NodeOf(*it);
            const bool isTest = node >= TreeNode::MixClass && node <= TreeNode::SourceFilter;
            EXPECT_EQ((*it)->data(0, Qt::CheckStateRole).isValid(), isTest) << int(node);
            EXPECT_EQ((*it)->flags().testFlag(Qt::ItemIsUserCheckable), isTest) << int(node);
            if (!isTest) {
                EXPECT_TRUE((*it)->isExpanded()) << int(node);
            }
        }
    }
}

TEST_F(MainFormViewTest, TicksSelectTestsAndLeaveThePageOnShow)
{
    view->ShowPortConfigPage();
    clickCheckBox(TreeNode::Latency);
    EXPECT_EQ(view->TestSelected[TestLatency], 1);
    EXPECT_EQ(view->TreeItem(TreeNode::Latency)->checkState(0), Qt::Checked);
    EXPECT_EQ(shownPages(), QList<QWidget *>{view->PortConfigPage});
    EXPECT_EQ(view->CurrentTreeItem, view->TreeItem(TreeNode::Root));

    // A label click after the tick is a label click again.
    clickNode(TreeNode::Latency);
    EXPECT_EQ(shownPages(), QList<QWidget *>{view->LatencyPage});

    view->BuildTree(); // a rebuilt tree keeps the tick
    EXPECT_EQ(view->TreeItem(TreeNode::Latency)->checkState(0), Qt::Checked);
    clickCheckBox(TreeNode::Latency);
    EXPECT_EQ(view->TestSelected[TestLatency], 0);
    EXPECT_EQ(shownPages(), QList<QWidget *>{view->LatencyPage});
    // Space on the selected node ticks as well.
    tree()->setCurrentItem(view->TreeItem(TreeNode::Capacity));
    QTest::keyClick(tree(), Qt::Key_Space);
    EXPECT_EQ(view->TestSelected[TestCapacity], 1);
    EXPECT_TRUE(prompter.messages().isEmpty());
}

// The report node lists the result pages the last run opened, whatever is ticked now; the ticks stay.
TEST_F(MainFormViewTest, ReportNodesListTheResultPagesOfTheLastRun)
{
    CMyPropSheet *sheet = view->ReportDlg->PropSheet;
    const struct
    {
        std::array<std::uint8_t, TestCount> selected;
        QList<int> openPages;
        QList<TreeNode> reportNodes;
    } cases[] = {
        {{1, 1, 1, 1, 1, 1, 1}, {}, {}},
        {{0, 0, 0, 0, 1, 1, 0},
         {0, 1, 2, 3, 4},
         {TreeNode::ReportMixClass, TreeNode::ReportAggregate, TreeNode::ReportScale, TreeNode::ReportLatency,
          TreeNode::ReportSourceFilter}},
        {{1, 0, 0, 0, 0, 0, 0}, {1, 4}, {TreeNode::ReportAggregate, TreeNode::ReportSourceFilter}},
    };
    for (const auto &c : cases) {
        std::copy(c.selected.begin(), c.selected.end(), view->TestSelected);
        for (int page = 0; page < CTestReportDlg::kCounterPage; ++page) {
            if (c.openPages.contains(page))
                sheet->UnlockPage(page);
            else
                sheet->LockPage(page);
        }
        view->BuildTree();
        QList<TreeNode> nodes;
        for (const auto &[node, label] : childrenOf(view->TreeItem(TreeNode::Report))) {
            nodes << node;
            EXPECT_FALSE(label.isEmpty());
        }
        EXPECT_EQ(nodes, c.reportNodes);
        for (int test = 0; test < TestCount; ++test)
            EXPECT_EQ(view->TreeItem(CMainFormView::TestNode(test))->checkState(0),
                      c.selected[test] ? Qt::Checked : Qt::Unchecked);
    }
    EXPECT_EQ(view->TreeItem(TreeNode::ReportLatency), nullptr);
    // A language change with nothing run lists no report, in the new language too.
    for (int page = 0; page < CTestReportDlg::kCounterPage; ++page)
        sheet->LockPage(page);
    g_LangMag.SetLangFile(folder.languageFile("LangChs.lng"));
    view->OnLanguageChanged();
    EXPECT_TRUE(childrenOf(view->TreeItem(TreeNode::Report)).isEmpty());
}

// A run as run control drives it: the run-time tree at the start, refusals meanwhile, the configuration
// tree with its report nodes at the end.
TEST_F(MainFormViewTest, DuringARunOnlyTheReportAnswersAndReportNodesStayAfterIt)
{
    view->TestSelected[TestMixClass] = 1;
    view->TestSelected[TestLatency] = 1;
    view->TestSelected[TestCapacity] = 1;
    // The runners of Mixed Class and Latency have opened their result pages.
    view->ReportDlg->PropSheet->UnlockPage(0);
    view->ReportDlg->PropSheet->UnlockPage(3);
    clickNode(TreeNode::Aggregate);
    ASSERT_EQ(shownPages(), QList<QWidget *>{view->AggregatePage});

    view->ResetReportTree();
    g_IsRunning = 1;
    const QTreeWidgetItem *root = tree()->topLevelItem(0);
    using Children = QList<std::pair<TreeNode, QString>>;
    EXPECT_EQ(childrenOf(root), (Children{{TreeNode::SystemInfo, text("Tree_System_Info")},
                                          {TreeNode::PortConfig, text("Tree_Port_Config")},
                                          {TreeNode::TestConfig, text("Tree_Test_Config")},
                                          {TreeNode::Report, text("Tree_Report")}}));
    EXPECT_EQ(childrenOf(view->TreeItem(TreeNode::Report)),
              (Children{{TreeNode::ReportMixClass, text("Tree_Report_Mix_Class")},
                        {TreeNode::ReportLatency, text("Tree_Report_Latency")}}));
    EXPECT_EQ(view->CurrentTreeItem, root);
    for (QTreeWidgetItemIterator it(tree()); *it; ++it)
        EXPECT_FALSE((*it)->data(0, Qt::CheckStateRole).isValid());

    view->ShowTestReportPage();
    for (TreeNode node : {TreeNode::Root, TreeNode::SystemInfo, TreeNode::PortConfig, TreeNode::TestConfig}) {
        clickNode(node);
        EXPECT_EQ(shownPages(), QList<QWidget *>{view->ReportDlg}) << int(node);
    }
    EXPECT_EQ(g_IsRunning, 1u);
    EXPECT_TRUE(prompter.messages().isEmpty());

    clickNode(TreeNode::ReportLatency);
    EXPECT_EQ(view->ReportDlg->PropSheet->GetActiveIndex(), 3);
    EXPECT_EQ(view->Banner->GetText(), u' ' + text("Tab_Test_Report"));
    clickNode(TreeNode::ReportMixClass);
    EXPECT_EQ(view->ReportDlg->PropSheet->GetActiveIndex(), 0);
    EXPECT_EQ(shownPages(), QList<QWidget *>{view->ReportDlg});

    const QString refusal = text("Note_System_Runing");
    for (int command :
         {CMainFormView::ID_PORT_SETTING, CMainFormView::ID_TRAFFIC_SETTING, CMainFormView::ID_COUNTER_REPORT,
          CMainFormView::ID_PORT_INFO, CMainFormView::ID_APPLY}) {
        const qsizetype before = prompter.messages().size();
        frame->OnCommand(command);
        EXPECT_EQ(prompter.messages().mid(before), QStringList{refusal}) << command;
        EXPECT_EQ(shownPages(), QList<QWidget *>{view->ReportDlg}) << command;
    }
    const qsizetype before = prompter.messages().size();
    view->ShowSystemInfoPage();
    view->ShowSourceFilterPage();
    view->OnTabSelChange(0);
    EXPECT_EQ(prompter.messages().mid(before), (QStringList{refusal, refusal, refusal}));
    EXPECT_EQ(shownPages(), QList<QWidget *>{view->ReportDlg});

    // The end of the run: the configuration tree comes back with the report nodes of the tests that ran.
    g_IsRunning = 0;
    view->BuildTree();
    EXPECT_EQ(childrenOf(view->TreeItem(TreeNode::Report)),
              (Children{{TreeNode::ReportMixClass, text("Tree_Report_Mix_Class")},
                        {TreeNode::ReportLatency, text("Tree_Report_Latency")}}));
    EXPECT_EQ(view->TreeItem(TreeNode::Capacity)->checkState(0), Qt::Checked);
}

TEST_F(MainFormViewTest, NodeClicksShowTheirPageBannerAndDescription)
{
    const struct
    {
        TreeNode node;
        QWidget *page;
        const char *banner;
        const char *title;
        const char *description;
        int tab; // -1: the tab is hidden
    } cases[] = {
        {TreeNode::PortConfig, view->PortConfigPage, "Tab_Port_Config", "Des_IGMP_Des", "Des_IGMP_TQ", -1},
        {TreeNode::PortInfo, view->PortInfoPage, "Tree_Port_Info_Config", "Des_IGMP_Des", "Des_IGMP_TQ", -1},
        {TreeNode::SystemInfo, view->SysInfoPage, "Tree_System_Info", "Des_IGMP_Des", "Des_IGMP_TQ", -1},
        {TreeNode::Report, view->ReportDlg, "Tab_Test_Report", "Des_IGMP_Des", "Des_IGMP_TQ", -1},
        {TreeNode::MixClass, view->MixClassPage, "Tree_Test_Config", "Tree_Mix_Class", "Des_Mixed_Class_Des",
         0},
        {TreeNode::Aggregate, view->AggregatePage, "Tree_Test_Config", "Tree_Aggregate_Group",
         "Des_Agg_Multicast_Des", 1},
        {TreeNode::Scale, view->ScalePage, "Tree_Test_Config", "Tree_Scaled_Group", "Des_Scale_Group_Des", 2},
        {TreeNode::Latency, view->LatencyPage, "Tree_Test_Config", "Tree_Latency", "Des_Latency_Test_Des", 3},
        {TreeNode::Capacity, view->CapacityPage, "Tree_Test_Config", "Tree_Capacity",
         "Des_Group_Capacity_Des", 4},
        {TreeNode::JoinLeave, view->JoinLeavePage, "Tree_Test_Config", "Des_IGMP_Des_JoinLeave",
         "Des_Latency_Des", 5},
        {TreeNode::SourceFilter, view->SourceFilterPage, "Tree_Test_Config", "Tree_Source_Filter",
         "Des_Source_Filter_Des", 6},
        {TreeNode::TestConfig, view->MixClassPage, "Tree_Test_Config", "Des_IGMP_Des", "Des_IGMP_TQ", 0},
        {TreeNode::ForwardThroughput, view->MixClassPage, "Tree_Test_Config", "Des_Forward_Throughput",
         "Des_Throughput_Des", 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(int(c.node));
        clickNode(c.node);
        EXPECT_EQ(shownPages(), QList<QWidget *>{c.page});
        EXPECT_EQ(view->Banner->GetText(), u' ' + text(c.banner));
        EXPECT_EQ(view->DescriptionTitle->GetText(), text(c.title));
        EXPECT_EQ(view->DescriptionText->toPlainText(), text(c.description));
        EXPECT_EQ(view->IsPageShown(view->TabCtrl), c.tab >= 0);
        if (c.tab >= 0) {
            EXPECT_EQ(view->TabCtrl->currentIndex(), c.tab);
        }
        EXPECT_EQ(view->CurrentTreeItem, view->TreeItem(c.node));
        EXPECT_EQ(status(), text("Status_Ready"));
    }
    // Test nodes show their picture; Source Filter has none.
    clickNode(TreeNode::Capacity);
    EXPECT_EQ(view->TestPicture->GetBitmap(), view->TestPictureImage(TestCapacity));
    EXPECT_TRUE(view->TestPicture->isVisibleTo(view));
    clickNode(TreeNode::SourceFilter);
    EXPECT_FALSE(view->TestPicture->isVisibleTo(view));

    clickNode(TreeNode::Root);
    EXPECT_EQ(shownPages(), QList<QWidget *>{view->LogoPage});
    EXPECT_TRUE(view->Banner->GetText().isEmpty());
    EXPECT_TRUE(prompter.messages().isEmpty());
}

// With no language file every text is empty; a click still acts on its own node only.
TEST_F(MainFormViewTest, ClicksActOnTheNodeEvenWithoutLanguageTexts)
{
    g_LangMag.SetLangFile(folder.path() + QStringLiteral("Language/Missing.lng"));
    view->BuildTree();
    clickNode(TreeNode::Latency);
    EXPECT_EQ(shownPages(), QList<QWidget *>{view->LatencyPage});
    EXPECT_EQ(view->TabCtrl->currentIndex(), TestLatency);
    clickNode(TreeNode::PortInfo);
    EXPECT_EQ(shownPages(), QList<QWidget *>{view->PortInfoPage});
}

TEST_F(MainFormViewTest, TrafficCommandStepsThroughTheTestPages)
{
    const struct
    {
        TreeNode selected;
        QWidget *page;
        TreeNode shown;
    } cases[] = {
        {TreeNode::MixClass, view->AggregatePage, TreeNode::Aggregate},
        {TreeNode::Aggregate, view->ScalePage, TreeNode::Scale},
        {TreeNode::Scale, view->LatencyPage, TreeNode::Latency},
        {TreeNode::Latency, view->CapacityPage, TreeNode::Capacity},
        {TreeNode::Capacity, view->JoinLeavePage, TreeNode::JoinLeave},
        {TreeNode::JoinLeave, view->SourceFilterPage, TreeNode::SourceFilter},
        {TreeNode::SourceFilter, view->MixClassPage, TreeNode::MixClass},
        {TreeNode::Report, view->MixClassPage, TreeNode::MixClass},
        {TreeNode::None, view->MixClassPage, TreeNode::MixClass},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(int(c.selected));
        tree()->setCurrentItem(view->TreeItem(c.selected));
        frame->OnCommand(CMainFormView::ID_TRAFFIC_SETTING);
        EXPECT_EQ(shownPages(), QList<QWidget *>{c.page});
        EXPECT_EQ(CMainFormView::NodeOf(tree()->currentItem()), c.shown);
    }
    QAction traffic;
    view->OnUpdateTrafficSetting(&traffic);
    EXPECT_TRUE(traffic.isChecked());
    EXPECT_TRUE(traffic.isEnabled());

    frame->OnCommand(CMainFormView::ID_PORT_SETTING);
    EXPECT_EQ(shownPages(), QList<QWidget *>{view->PortConfigPage});
    EXPECT_EQ(CMainFormView::NodeOf(tree()->currentItem()), TreeNode::PortConfig);
    QAction port;
    view->OnUpdatePortSetting(&port);
    view->OnUpdateTrafficSetting(&traffic);
    EXPECT_TRUE(port.isChecked());
    EXPECT_FALSE(traffic.isChecked());
    g_IsRunning = 1;
    view->OnUpdatePortSetting(&port);
    EXPECT_FALSE(port.isEnabled());
    g_IsRunning = 0;

    frame->OnCommand(CMainFormView::ID_COUNTER_REPORT);
    EXPECT_EQ(shownPages(), QList<QWidget *>{view->ReportDlg});
    EXPECT_EQ(CMainFormView::NodeOf(tree()->currentItem()), TreeNode::Report);
    frame->OnCommand(CMainFormView::ID_PORT_INFO);
    EXPECT_EQ(shownPages(), QList<QWidget *>{view->PortInfoPage});
    frame->OnCommand(CMainFormView::ID_HOME_PAGE);
    EXPECT_EQ(shownPages(), QList<QWidget *>{view->LogoPage});
}

TEST_F(MainFormViewTest, TabItemsShowTheirTestPage)
{
    view->ShowLatencyPage();
    view->TabCtrl->setCurrentIndex(TestCapacity);
    EXPECT_EQ(shownPages(), QList<QWidget *>{view->CapacityPage});
    EXPECT_EQ(tree()->currentItem(), nullptr);
    view->TabCtrl->setCurrentIndex(0);
    EXPECT_EQ(shownPages(), QList<QWidget *>{view->MixClassPage});
    EXPECT_EQ(view->Banner->GetText(), u' ' + text("Tree_Test_Config"));
    EXPECT_EQ(status(), text("Status_Ready"));
}

TEST_F(MainFormViewTest, LanguageChangeReturnsHomeAndRelabelsKeepingTheTicks)
{
    view->TestSelected[TestScale] = 1;
    view->BuildTree();
    clickNode(TreeNode::Scale);
    view->LogDlg->show();
    g_LangMag.SetLangFile(folder.languageFile("LangChs.lng"));
    frame->RelabelMenus();
    EXPECT_EQ(shownPages(), QList<QWidget *>{view->LogoPage});
    EXPECT_FALSE(view->LogDlg->isVisible());
    EXPECT_TRUE(view->Banner->GetText().isEmpty());
    EXPECT_EQ(view->TreeItem(TreeNode::Scale)->text(0), text("Tree_Scaled_Group"));
    EXPECT_EQ(view->TreeItem(TreeNode::Scale)->checkState(0), Qt::Checked);
    EXPECT_EQ(view->TestSelected[TestScale], 1);
    EXPECT_EQ(tree()->currentItem(), view->TreeItem(TreeNode::Root));
    for (int test = 0; test < TestCount; ++test)
        EXPECT_EQ(view->TabCtrl->tabText(test), view->TreeItem(CMainFormView::TestNode(test))->text(0));
    EXPECT_EQ(view->ElapsedCaption->text(), text("Tree_Elapsed_Time"));
    EXPECT_NE(text("Tree_Scaled_Group"), QStringLiteral("Scaled Group"));
}

// The description box shows a picture with its text: the start page's description, however it is
// reached from a test page, comes with the start page's picture in the language on show.
TEST_F(MainFormViewTest, DescriptionPictureGoesWithItsText)
{
    const auto expectStartDescription = [this] {
        EXPECT_EQ(view->DescriptionTitle->GetText(), text("Des_IGMP_Des"));
        EXPECT_EQ(view->DescriptionText->toPlainText(), text("Des_IGMP_TQ"));
        EXPECT_EQ(view->TestPicture->GetBitmap(), view->TestPictureImage(TestMixClass));
        EXPECT_TRUE(view->TestPicture->isVisibleTo(view));
    };
    expectStartDescription();
    const char *language = "LangChs.lng";
    for (const TreeNode test : {TreeNode::Latency, TreeNode::SourceFilter}) {
        for (const TreeNode other :
             {TreeNode::Report, TreeNode::PortConfig, TreeNode::SystemInfo, TreeNode::Root}) {
            SCOPED_TRACE(int(other));
            clickNode(test);
            clickNode(other);
            expectStartDescription();
        }
        clickNode(test);
        g_LangMag.SetLangFile(folder.languageFile(language));
        frame->RelabelMenus();
        expectStartDescription();
        language = "LangEng.lng";
    }
}

TEST_F(MainFormViewTest, HomePageHidesTheDescriptionPageToo)
{
    view->OnApplyButton();
    ASSERT_EQ(shownPages(), QList<QWidget *>{view->DescriptionPage});
    view->OnShowHomePage();
    EXPECT_EQ(shownPages(), QList<QWidget *>{view->LogoPage});
    EXPECT_FALSE(view->IsPageShown(view->TabCtrl));
}

TEST_F(MainFormViewTest, DescriptionPageShowsEachObjectiveAndItsPicture)
{
    CDlgDescription *page = view->DescriptionPage;
    ASSERT_EQ(page->TestList->count(), CDlgDescription::kEntryCount);
    EXPECT_EQ(page->TestList->item(5)->text(), QStringLiteral("Join/Leave Delay"));
    page->TestList->setCurrentRow(5);
    EXPECT_EQ(page->Objective->text(), CDlgDescription::ObjectiveText(5));
    EXPECT_TRUE(
        page->Objective->text().startsWith(QStringLiteral("Objective:\n    To determine the time duration")));
    EXPECT_EQ(page->Picture->pixmap().toImage().convertToFormat(QImage::Format_ARGB32),
              view->TestPictureImage(5));
    page->ShowObjective(1);
    EXPECT_EQ(page->TestList->currentRow(), 1);
    EXPECT_EQ(page->Objective->text(), CDlgDescription::ObjectiveText(1));
    for (int index : {6, -1}) { // no entry for Source Filter, nothing else either
        page->ShowObjective(index);
        EXPECT_EQ(page->TestList->currentRow(), 1);
        EXPECT_EQ(page->Objective->text(), CDlgDescription::ObjectiveText(1));
    }
}

TEST_F(MainFormViewTest, ApplyShowsTheDescriptionThenOpensTheSelectedTestsPage)
{
    const struct
    {
        TreeNode node;
        QWidget *page;
        int test;
    } cases[] = {
        {TreeNode::MixClass, view->MixClassPage, TestMixClass},
        {TreeNode::Aggregate, view->AggregatePage, TestAggregate},
        {TreeNode::Scale, view->ScalePage, TestScale},
        {TreeNode::Latency, view->LatencyPage, TestLatency},
        {TreeNode::Capacity, view->CapacityPage, TestCapacity},
        {TreeNode::JoinLeave, view->JoinLeavePage, TestJoinLeave},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.test);
        view->OnShowHomePage();
        tree()->setCurrentItem(view->TreeItem(c.node));
        QTest::mouseClick(view->ApplyButton, Qt::LeftButton);
        EXPECT_EQ(shownPages(), QList<QWidget *>{view->DescriptionPage});
        EXPECT_TRUE(view->IsPageShown(view->TabCtrl));
        EXPECT_EQ(view->Banner->GetText(), u' ' + text("Tree_Test_Config"));
        QTest::mouseClick(view->ApplyButton, Qt::LeftButton);
        EXPECT_EQ(shownPages(), QList<QWidget *>{c.page});
        EXPECT_EQ(view->TestPicture->GetBitmap(), view->TestPictureImage(c.test));
        EXPECT_EQ(tree()->currentItem(), view->TreeItem(c.node));
        EXPECT_EQ(status(), text("Status_Ready"));
    }
    // The objective shown follows the tab's item.
    view->OnShowHomePage();
    view->ShowLatencyPage();
    view->HideAllPages();
    view->OnApplyButton();
    EXPECT_EQ(view->DescriptionPage->Objective->text(), CDlgDescription::ObjectiveText(TestLatency));
    EXPECT_TRUE(prompter.messages().isEmpty());
}

TEST_F(MainFormViewTest, DescriptionButtonLeadsToTheOtherNodesPages)
{
    const struct
    {
        TreeNode node;
        QWidget *page;
    } cases[] = {
        {TreeNode::Report, view->ReportDlg},          {TreeNode::SystemInfo, view->SysInfoPage},
        {TreeNode::PortConfig, view->PortConfigPage}, {TreeNode::Root, view->DescriptionPage},
        {TreeNode::PortInfo, view->DescriptionPage}, // not one of its nodes: nothing happens
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(int(c.node));
        view->OnApplyButton();
        ASSERT_EQ(shownPages(), QList<QWidget *>{view->DescriptionPage});
        view->DescriptionTitle->SetText(QStringLiteral("other"));
        tree()->setCurrentItem(view->TreeItem(c.node));
        QTest::mouseClick(view->DescriptionPage->GoButton, Qt::LeftButton);
        EXPECT_EQ(shownPages(), QList<QWidget *>{c.page});
        if (c.node == TreeNode::Root || c.node == TreeNode::SystemInfo) {
            EXPECT_EQ(view->DescriptionTitle->GetText(), text("Des_IGMP_Des"));
        }
        view->OnShowHomePage();
    }
}

TEST_F(MainFormViewTest, DuringARunTheDescriptionLeavesTestPagesClosed)
{
    view->OnApplyButton();
    ASSERT_EQ(shownPages(), QList<QWidget *>{view->DescriptionPage});
    g_IsRunning = 1;
    tree()->setCurrentItem(view->TreeItem(TreeNode::Latency));
    view->DescriptionPage->OnGoToTest();
    EXPECT_EQ(shownPages(), QList<QWidget *>{view->DescriptionPage});
    EXPECT_TRUE(prompter.messages().isEmpty());
    view->OnApplyButton();
    EXPECT_EQ(prompter.messages(), QStringList{text("Note_System_Runing")});
    EXPECT_EQ(shownPages(), QList<QWidget *>{view->DescriptionPage});
}

} // namespace
