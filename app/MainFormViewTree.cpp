// The navigation tree and the page switches: the tree's nodes carry their id, and every click, command
// and tab change acts on the id, never on a node's text.
#include "app/MainFormView.h"

#include "app/DlgDescription.h"
#include "app/KvIGMPTQApp.h"
#include "app/LangMag.h"
#include "app/LogDlg.h"
#include "app/LogoDlg.h"
#include "app/MMStatusBar.h"
#include "app/MainFrame.h"
#include "app/TextFit.h"
#include "controls/widgets/StaticEx.h"
#include "controls/widgets/TransparentImage.h"
#include "platform/Prompter.h"
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

#include <QAction>
#include <QLabel>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTabBar>
#include <QTextDocument>
#include <QTextEdit>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

namespace {

const QString kRootName = QStringLiteral("Tavrix-IGMP-TQ");
// The narrowest step of the tree's levels that still shows where each level starts.
constexpr int kMinTreeIndentation = 12;
// The test whose picture the start page's description shows, as do the other descriptions of no test.
constexpr int kStartPageTestPicture = TestMixClass;

// Per test: its node and key, its report node and key (none for Capacity and Join/Leave), and the
// description its node shows.
struct TestNodeInfo
{
    TreeNode node;
    const char *key;
    TreeNode reportNode;
    const char *reportKey;
    const char *titleKey;
    const char *textKey;
};
const TestNodeInfo kTests[TestCount] = {
    {TreeNode::MixClass, "Tree_Mix_Class", TreeNode::ReportMixClass, "Tree_Report_Mix_Class",
     "Tree_Mix_Class", "Des_Mixed_Class_Des"},
    {TreeNode::Aggregate, "Tree_Aggregate_Group", TreeNode::ReportAggregate, "Tree_Report_Aggregate_Group",
     "Tree_Aggregate_Group", "Des_Agg_Multicast_Des"},
    {TreeNode::Scale, "Tree_Scaled_Group", TreeNode::ReportScale, "Tree_Report_Scaled_Group",
     "Tree_Scaled_Group", "Des_Scale_Group_Des"},
    {TreeNode::Latency, "Tree_Latency", TreeNode::ReportLatency, "Tree_Report_Latency", "Tree_Latency",
     "Des_Latency_Test_Des"},
    {TreeNode::Capacity, "Tree_Capacity", TreeNode::None, nullptr, "Tree_Capacity", "Des_Group_Capacity_Des"},
    {TreeNode::JoinLeave, "Tree_Join_Leave", TreeNode::None, nullptr, "Des_IGMP_Des_JoinLeave",
     "Des_Latency_Des"},
    {TreeNode::SourceFilter, "Tree_Source_Filter", TreeNode::ReportSourceFilter, "Tree_Report_Source_Filter",
     "Tree_Source_Filter", "Des_Source_Filter_Des"},
};

// The report window's result pages of the report nodes: Mixed Class, Aggregate, Scale, Latency, Filter.
int resultPageOf(TreeNode node)
{
    switch (node) {
    case TreeNode::ReportMixClass:
        return 0;
    case TreeNode::ReportAggregate:
        return 1;
    case TreeNode::ReportScale:
        return 2;
    case TreeNode::ReportLatency:
        return 3;
    case TreeNode::ReportSourceFilter:
        return 4;
    default:
        return -1;
    }
}

int testOfNode(TreeNode node)
{
    for (int test = 0; test < TestCount; ++test)
        if (kTests[test].node == node)
            return test;
    return -1;
}

QString text(const char *key)
{
    return g_LangMag.GetString(QString::fromLatin1(key));
}

} // namespace

TreeNode CMainFormView::TestNode(int test)
{
    return test >= 0 && test < TestCount ? kTests[test].node : TreeNode::None;
}

TreeNode CMainFormView::NodeOf(const QTreeWidgetItem *item)
{
    return item ? static_cast<TreeNode>(item->data(0, Qt::UserRole).toInt()) : TreeNode::None;
}

QTreeWidgetItem *CMainFormView::TreeItem(TreeNode node) const
{
    if (!NavTree)
        return nullptr;
    for (QTreeWidgetItemIterator it(NavTree); *it; ++it)
        if (NodeOf(*it) == node)
            return *it;
    return nullptr;
}

QTreeWidgetItem *CMainFormView::addNode(QTreeWidgetItem *parent, TreeNode node, const QString &text)
{
    auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(NavTree);
    item->setText(0, text);
    item->setData(0, Qt::UserRole, static_cast<int>(node));
    item->setFlags(item->flags() & ~Qt::ItemIsUserCheckable);
    return item;
}

void CMainFormView::insertReportNodes(QTreeWidgetItem *report)
{
    if (!report || !ReportDlg)
        return;
    // What ran: the result pages open in the report window. The tests run in the order of the nodes,
    // so a node added as its test starts comes after those of the tests before it.
    for (int test = 0; test < TestCount; ++test) {
        const TreeNode node = kTests[test].reportNode;
        const int page = resultPageOf(node);
        if (page >= 0 && !ReportDlg->PropSheet->IsPageLocked(page) && !TreeItem(node))
            addNode(report, node, text(kTests[test].reportKey));
    }
}

void CMainFormView::BuildTree()
{
    if (!NavTree)
        return;
    const QSignalBlocker quiet(NavTree);
    // The texts are fitted once to the finished tree, not after every node.
    m_treeRebuilding = true;
    NavTree->clear();
    m_checkToggled = nullptr;
    QTreeWidgetItem *root = addNode(nullptr, TreeNode::Root, kRootName);
    QTreeWidgetItem *expanded[] = {
        root,
        addNode(root, TreeNode::SystemInfo, text("Tree_System_Info")),
        addNode(root, TreeNode::PortInfo, text("Tree_Port_Info_Config")),
        addNode(root, TreeNode::PortConfig, text("Tree_Port_Config")),
        nullptr, // test configuration
        nullptr, // forward throughput
        nullptr, // report
    };
    QTreeWidgetItem *testConfig = expanded[4] = addNode(root, TreeNode::TestConfig, text("Tree_Test_Config"));
    QTreeWidgetItem *forward = expanded[5] =
        addNode(testConfig, TreeNode::ForwardThroughput, text("Tree_Forward_Throughput"));
    QTreeWidgetItem *parents[TestCount] = {forward,    forward,    forward,   testConfig,
                                           testConfig, testConfig, testConfig};
    // In the order of insertion: Latency, Capacity and Join/Leave come before the three under forward
    // throughput, Source Filter last.
    for (int test : {TestLatency, TestCapacity, TestJoinLeave, TestMixClass, TestAggregate, TestScale,
                     TestSourceFilter}) {
        QTreeWidgetItem *item = addNode(parents[test], kTests[test].node, text(kTests[test].key));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, TestSelected[test] ? Qt::Checked : Qt::Unchecked);
    }
    expanded[6] = addNode(root, TreeNode::Report, text("Tree_Report"));
    insertReportNodes(expanded[6]);
    for (QTreeWidgetItem *item : expanded)
        item->setExpanded(true);
    NavTree->scrollToTop();
    CurrentTreeItem = root;
    m_treeRebuilding = false;
    fitTreeTexts();
}

void CMainFormView::ResetReportTree()
{
    if (!NavTree)
        return;
    const QSignalBlocker quiet(NavTree);
    m_treeRebuilding = true;
    NavTree->clear();
    m_checkToggled = nullptr;
    QTreeWidgetItem *root = addNode(nullptr, TreeNode::Root, kRootName);
    addNode(root, TreeNode::SystemInfo, text("Tree_System_Info"));
    addNode(root, TreeNode::PortConfig, text("Tree_Port_Config"));
    addNode(root, TreeNode::TestConfig, text("Tree_Test_Config"));
    insertReportNodes(addNode(root, TreeNode::Report, text("Tree_Report")));
    NavTree->expandAll();
    // The node last clicked is gone with the old tree.
    CurrentTreeItem = root;
    m_treeRebuilding = false;
    fitTreeTexts();
}

void CMainFormView::storePortSettings(int test)
{
    if (auto *page = TestPage(test))
        page->StorePortSettings();
}

void CMainFormView::OnTreeCheckChanged(QTreeWidgetItem *item)
{
    const int test = testOfNode(NodeOf(item));
    if (test < 0)
        return;
    const std::uint8_t ticked = item->checkState(0) == Qt::Checked ? 1 : 0;
    if (ticked == TestSelected[test])
        return; // the node changed otherwise (its text)
    storePortSettings(VisibleTestPage());
    TestSelected[test] = ticked;
    m_checkToggled = item;
}

void CMainFormView::OnTreeClick(QTreeWidgetItem *item)
{
    if (!item)
        return;
    if (std::exchange(m_checkToggled, nullptr) == item)
        return; // the click ticked the check box
    CurrentTreeItem = item;
    const TreeNode node = NodeOf(item);
    if (const int test = testOfNode(node); test >= 0) {
        if (g_IsRunning)
            return;
        ShowTestPage(test);
        return;
    }
    if (const int page = resultPageOf(node); page >= 0) {
        ReportDlg->PropSheet->SetActivePage(page);
        ShowReportPage();
        setDefaultDescription();
        return;
    }
    if (node != TreeNode::Report && g_IsRunning)
        return;
    switch (node) {
    case TreeNode::PortConfig:
        ShowPortConfigPage();
        break;
    case TreeNode::PortInfo:
        ShowPortInfoPage();
        break;
    case TreeNode::TestConfig:
    case TreeNode::ForwardThroughput:
        ShowMixedClassPage();
        break;
    case TreeNode::Report:
        ShowReportPage();
        break;
    case TreeNode::Root:
        OnShowHomePage();
        break;
    case TreeNode::SystemInfo:
        ShowSystemInfoPage();
        break;
    default:
        return;
    }
    if (node == TreeNode::ForwardThroughput)
        setDescription("Des_Forward_Throughput", "Des_Throughput_Des", kStartPageTestPicture);
    else
        setDefaultDescription();
}

void CMainFormView::setDescription(const char *titleKey, const char *textKey, int pictureTest)
{
    DescriptionTitle->SetText(text(titleKey));
    DescriptionText->setPlainText(text(textKey));
    fitDescription();
    const QImage &picture = TestPictureImage(pictureTest);
    if (picture.isNull()) {
        TestPicture->hide();
        return;
    }
    // Hidden while it changes, so that no trace of the last picture stays on screen.
    TestPicture->hide();
    TestPicture->SetBitmap(picture);
    TestPicture->show();
}

void CMainFormView::fitDescription()
{
    const QRect titleRoom = DescriptionTitle->contentsRect();
    const QString title = DescriptionTitle->GetText();
    DescriptionTitle->setFont(TextFit::shrunkToFit(font(), [&](const QFont &candidate) {
        return QFontMetrics(candidate)
                   .boundingRect(titleRoom, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, title)
                   .height() <= titleRoom.height();
    }));
    // Laid out apart from the editor, which may not have its size yet.
    const int frame = 2 * DescriptionText->frameWidth();
    const QSize room(DescriptionText->width() - frame, DescriptionText->height() - frame);
    const QString body = DescriptionText->toPlainText();
    DescriptionText->setFont(TextFit::shrunkToFit(font(), [&](const QFont &candidate) {
        QTextDocument document;
        document.setDocumentMargin(DescriptionText->document()->documentMargin());
        document.setDefaultFont(candidate);
        document.setPlainText(body);
        document.setTextWidth(room.width());
        return document.size().height() <= room.height();
    }));
}

void CMainFormView::fitTreeTexts()
{
    QStyle *style = NavTree->style();
    const int room = NavTree->width() - 2 * NavTree->frameWidth() -
                     style->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, NavTree);
    NavTree->resetIndentation();
    const int fullIndentation = NavTree->indentation();
    const auto fits = [&](const QFont &font, int indentation) {
        QStyleOptionViewItem option;
        option.initFrom(NavTree);
        option.font = font;
        option.fontMetrics = QFontMetrics(font);
        for (QTreeWidgetItemIterator it(NavTree); *it; ++it) {
            int depth = 1; // the root's own decoration
            for (const QTreeWidgetItem *parent = (*it)->parent(); parent; parent = parent->parent())
                ++depth;
            const QSize hint = NavTree->itemDelegate()->sizeHint(option, NavTree->indexFromItem(*it));
            if (depth * indentation + hint.width() > room)
                return false;
        }
        return true;
    };
    for (int indentation = fullIndentation; indentation >= kMinTreeIndentation; indentation -= 4) {
        if (fits(font(), indentation)) {
            NavTree->setIndentation(indentation);
            NavTree->setFont(font());
            return;
        }
    }
    NavTree->setIndentation(kMinTreeIndentation);
    NavTree->setFont(TextFit::shrunkToFit(
        font(), [&](const QFont &candidate) { return fits(candidate, kMinTreeIndentation); }));
}

void CMainFormView::setDefaultDescription()
{
    setDescription("Des_IGMP_Des", "Des_IGMP_TQ", kStartPageTestPicture);
}

bool CMainFormView::refusedWhileRunning(bool tellUser) const
{
    if (!g_IsRunning)
        return false;
    if (tellUser)
        Prompter::current().messageBox(text("Note_System_Runing"), MB_OK);
    return true;
}

void CMainFormView::setBanner(const char *key)
{
    Banner->SetText(u' ' + text(key));
}

void CMainFormView::showStatusReady() const
{
    if (g_MainFrame)
        g_MainFrame->StatusBar->SetPaneText(0, text("Status_Ready"));
}

void CMainFormView::selectNode(TreeNode node)
{
    if (QTreeWidgetItem *item = TreeItem(node))
        NavTree->setCurrentItem(item);
}

void CMainFormView::selectTab(int index)
{
    const QSignalBlocker quiet(TabCtrl);
    TabCtrl->setCurrentIndex(index);
}

void CMainFormView::fillTabItems()
{
    const QSignalBlocker quiet(TabCtrl);
    while (TabCtrl->count() > 0)
        TabCtrl->removeTab(0);
    for (const TestNodeInfo &test : kTests)
        TabCtrl->addTab(text(test.key));
}

void CMainFormView::ShowPortConfigPage()
{
    if (refusedWhileRunning(true))
        return;
    setBanner("Tab_Port_Config");
    if (!IsPageShown(PortConfigPage)) {
        HideAllPages();
        PortConfigPage->show();
    }
    selectNode(TreeNode::PortConfig);
    NavTree->setFocus();
    showStatusReady();
}

void CMainFormView::ShowPortInfoPage()
{
    if (refusedWhileRunning(true))
        return;
    setBanner("Tree_Port_Info_Config");
    if (!IsPageShown(PortInfoPage)) {
        HideAllPages();
        PortInfoPage->show();
    }
    selectNode(TreeNode::PortInfo);
    NavTree->setFocus();
    showStatusReady();
}

void CMainFormView::prepareTestPage(int test)
{
    switch (test) {
    case TestMixClass:
        MixClassPage->StorePortSettings();
        MixClassPage->FillPairGrid();
        break;
    case TestAggregate:
        AggregatePage->FillPairGrid();
        break;
    case TestScale:
        ScalePage->FillPairGrid();
        break;
    case TestLatency:
        LatencyPage->FillPairGrid();
        break;
    case TestCapacity:
        CapacityPage->FillPairGrid();
        break;
    case TestJoinLeave:
        JoinLeavePage->FillPairGrid();
        break;
    case TestSourceFilter:
        // Lists the locked ports, keeping what was typed into the grid.
        SourceFilterPage->StorePortSettings();
        SourceFilterPage->FillPortInfoGrid();
        break;
    default:
        break;
    }
}

void CMainFormView::showTestPageOf(int test)
{
    if (refusedWhileRunning(true))
        return;
    setBanner("Tree_Test_Config");
    QWidget *page = TestPage(test);
    if (!IsPageShown(page)) {
        HideAllPages();
        TabCtrl->show();
        selectTab(test);
        page->show();
        prepareTestPage(test);
    }
    showTestDescription(test);
    showStatusReady();
}

void CMainFormView::showTestDescription(int test)
{
    setDescription(kTests[test].titleKey, kTests[test].textKey, test);
}

void CMainFormView::ShowTestPage(int test)
{
    if (test >= 0 && test < TestCount)
        showTestPageOf(test);
}

void CMainFormView::ShowMixedClassPage()
{
    showTestPageOf(TestMixClass);
}

void CMainFormView::ShowAggregatePage()
{
    showTestPageOf(TestAggregate);
}

void CMainFormView::ShowScalePage()
{
    showTestPageOf(TestScale);
}

void CMainFormView::ShowLatencyPage()
{
    showTestPageOf(TestLatency);
}

void CMainFormView::ShowCapacityPage()
{
    showTestPageOf(TestCapacity);
}

void CMainFormView::ShowJoinLeavePage()
{
    showTestPageOf(TestJoinLeave);
}

void CMainFormView::ShowSourceFilterPage()
{
    showTestPageOf(TestSourceFilter);
}

void CMainFormView::ShowSystemInfoPage()
{
    if (refusedWhileRunning(true))
        return;
    setBanner("Tree_System_Info");
    if (!IsPageShown(SysInfoPage)) {
        HideAllPages();
        SysInfoPage->show();
    }
    showStatusReady();
}

void CMainFormView::ShowReportPage()
{
    setBanner("Tab_Test_Report");
    if (!IsPageShown(ReportDlg)) {
        HideAllPages();
        ReportDlg->show();
    }
    showStatusReady();
}

void CMainFormView::ShowTestReportPage()
{
    setBanner("Tab_Test_Report");
    HideAllPages();
    ReportDlg->show();
    update();
    showStatusReady();
}

void CMainFormView::ShowCounterReportPage()
{
    if (refusedWhileRunning(true))
        return;
    ShowReportPage();
    selectNode(TreeNode::Report);
    NavTree->setFocus();
    showStatusReady();
}

void CMainFormView::ShowNextTestPage()
{
    if (refusedWhileRunning(true))
        return;
    const int current = testOfNode(NodeOf(NavTree->currentItem()));
    const int next = current >= TestMixClass && current < TestSourceFilter ? current + 1 : TestMixClass;
    ShowTestPage(next);
    selectNode(kTests[next].node);
    NavTree->setFocus();
    showStatusReady();
}

void CMainFormView::OnShowHomePage()
{
    if (Banner) {
        Banner->SetText(QString());
        // Every page goes, the description page too, so that the start page is the one on show.
        HideAllPages();
        LogDlg->hide();
        LogoPage->show();
    }
    g_IsRunning = 0;
}

void CMainFormView::OnLanguageChanged()
{
    if (!NavTree)
        return;
    relabelWindows();
    OnShowHomePage();
    setDefaultDescription();
    PortConfigPage->SetLanguageText();
    PortInfoPage->SetLanguageText();
    SysInfoPage->SetLanguageText();
    StandardPage->SetLanguageText();
    DynamicPage->SetLanguageText();
    MaxThroughputPage->SetLanguageText();
    MixClassPage->SetLanguageText();
    AggregatePage->SetLanguageText();
    ScalePage->SetLanguageText();
    LatencyPage->SetLanguageText();
    CapacityPage->SetLanguageText();
    JoinLeavePage->SetLanguageText();
    SourceFilterPage->SetLanguageText();
    BuildTree();
    NavTree->setCurrentItem(TreeItem(TreeNode::Root));
    NavTree->setFocus();
    fillTabItems();
}

void CMainFormView::OnTabSelChange(int index)
{
    NavTree->setCurrentItem(nullptr);
    NavTree->clearSelection();
    if (index != 0) {
        // The strip and the page stay in step: another item shows its test's page.
        ShowTestPage(index);
        return;
    }
    if (refusedWhileRunning(true))
        return;
    if (!IsPageShown(MixClassPage)) {
        setBanner("Tree_Test_Config");
        HideAllPages();
        TabCtrl->show();
        selectTab(0);
        MixClassPage->show();
    }
    showTestDescription(TestMixClass);
    NavTree->setFocus();
    showStatusReady();
}

void CMainFormView::OnUpdatePortSetting(QAction *action) const
{
    action->setEnabled(!g_IsRunning);
    action->setCheckable(true);
    action->setChecked(Banner && Banner->GetText().remove(u' ') == QStringLiteral("PortConfig"));
}

void CMainFormView::OnUpdateTrafficSetting(QAction *action) const
{
    action->setEnabled(!g_IsRunning);
    action->setCheckable(true);
    action->setChecked(Banner && Banner->GetText().remove(u' ') == QStringLiteral("TrafficConfig"));
}

void CMainFormView::OnApplyButton()
{
    if (refusedWhileRunning(true))
        return;
    setBanner("Tree_Test_Config");
    TabCtrl->update();
    if (!IsPageShown(DescriptionPage)) {
        HideAllPages();
        TabCtrl->show();
        DescriptionPage->ShowObjective(TabCtrl->currentIndex());
        DescriptionPage->show();
    } else {
        DescriptionPage->OnGoToTest();
    }
    showStatusReady();
}

void CMainFormView::OnCommand(int command)
{
    emit commandReceived(command);
    if (!NavTree)
        return; // no window yet
    switch (command) {
    case ID_PORT_SETTING:
        ShowPortConfigPage();
        break;
    case ID_COUNTER_REPORT:
        ShowCounterReportPage();
        break;
    case ID_TRAFFIC_SETTING:
        ShowNextTestPage();
        break;
    case ID_LANGUAGE_CHANGED:
        OnLanguageChanged();
        break;
    case ID_PORT_INFO:
        ShowPortInfoPage();
        break;
    case ID_HOME_PAGE:
        OnShowHomePage();
        break;
    case ID_APPLY:
        OnApplyButton();
        break;
    case ID_SAVE_CONFIG:
    case ID_SAVE_CONFIGURATION:
        SaveConfiguration();
        break;
    case ID_LOAD_CONFIG:
    case ID_OPEN_CONFIGURATION:
        LoadConfiguration();
        break;
    case ID_NEW_TEST:
        OnNewTestingConfiguration();
        break;
    case WM_SHOW_RESERVATION:
        OnShowReservation();
        break;
    case ID_RUN_TEST:
        OnRunTest();
        break;
    case ID_STOP_TEST:
        OnStopTest();
        break;
    case ID_FINISHED_RUN:
        OnFinishedRun();
        break;
    case ID_TEST_FINISHED:
        OnTestFinished();
        break;
    default:
        break;
    }
}
