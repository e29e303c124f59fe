// What the user types on the test pages is what runs, driven as the user drives the main frame: port-grid
// edits survive every way out of a page and reach the frames of the run, Run refuses a page with a message
// that names the field and the rule, the description follows the page on show, and a stopped run says so.
#include "MainWindowSimulator.h"
#include "MainWindowTest.h"
#include "app/KvIGMPTQApp.h"
#include "app/LogDlg.h"
#include "app/MMStatusBar.h"
#include "app/MainFormView.h"
#include "app/MainFrame.h"
#include "app/PairOnePages.h"
#include "app/ToolBarDlg.h"
#include "common/CaptureReadBack.h"
#include "controls/grid/MyCug.h"
#include "controls/widgets/ButtonST.h"
#include "controls/widgets/NumEdit.h"
#include "controls/widgets/StaticEx.h"
#include "controls/widgets/TransparentImage.h"
#include "engine/EngineHost.h"
#include "engine/VirtualWaitClock.h"
#include "kvserver/KvServer.h"
#include "platform/ScriptedPrompter.h"
#include "ports/PortConfig.h"
#include "testpages/DlgAggregate.h"
#include "testpages/DlgCapacity.h"
#include "testpages/DlgJoinLeave.h"
#include "testpages/DlgLatency.h"
#include "testpages/DlgMixClass.h"
#include "testpages/DlgScale.h"
#include "testpages/DlgSourceFilter.h"

#include <QAction>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <QtEndian>
#include <functional>
#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

// Columns of the port grid of the Aggregate, Scale, Latency, Capacity and Join/Leave pages.
constexpr int kVlanEnableColumn = 7;
constexpr int kVlanIdColumn = 8;
constexpr int kAddressColumn = 11;

// The main frame on screen, in English, with the application's plan; demo mode unless a test says
// otherwise.
class PageEntryTest : public MainWindowTest
{
protected:
    PageEntryTest() : MainWindowTest({.demo = true})
    {
        bar = frame->ToolBar;
        CIGMPTestPlan &plan = app->TestPlan;
        plan.NumberOfTrials = 1;
        plan.TestDuration = 2;
        plan.IgmpVersion = 2;
    }
    ~PageEntryTest() override { EngineHost::instance().reset(); }

    void clickNode(TreeNode node)
    {
        QTreeWidget *tree = view->NavTree;
        QTreeWidgetItem *item = view->TreeItem(node);
        ASSERT_NE(item, nullptr);
        tree->scrollToItem(item);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
    }
    void clickTab(int index)
    {
        QTest::mouseClick(view->TabCtrl, Qt::LeftButton, {}, view->TabCtrl->tabRect(index).center());
    }
    static void click(QWidget *button) { QTest::mouseClick(button, Qt::LeftButton); }
    static QString key(const char *name) { return g_LangMag.GetString(QString::fromLatin1(name)); }
    // The row of the port grid that lists port record `index`.
    static int rowOfPort(const CTestPageBase &page, std::size_t index)
    {
        const QString label = CTestPageBase::PortLabelOf(g_Session.Ports[index]);
        for (int row = 0; row < page.PortGrid->GetRowCount(); ++row) {
            QString shown;
            page.PortGrid->GetCellTextTo(0, row, shown);
            if (shown == label)
                return row;
        }
        return -1;
    }
    static QString cell(const CTestPageBase &page, int col, int row)
    {
        QString shown;
        page.PortGrid->GetCellTextTo(col, row, shown);
        return shown;
    }
    QString statusText() const { return frame->StatusBar->PaneText(0); }

    CToolBarDlg *bar = nullptr;
};

class PageEntryInDemoModeTest : public PageEntryTest
{
protected:
    VirtualWaitClock clock;
};

} // namespace

// Each way out of a page, then back through the tree: the grid shows what was typed before leaving.
TEST_F(PageEntryInDemoModeTest, PortGridEditsSurviveEveryWayOutOfThePage)
{
    PairOnePages::readyRatePages(*view, app->TestPlan);
    const std::pair<const char *, std::function<void()>> ways[] = {
        {"tree", [&] { clickNode(TreeNode::PortConfig); }},
        {"tool bar Pairing", [&] { click(bar->Pairing); }},
        {"tool bar Report", [&] { click(bar->Report); }},
        {"tool bar Test Config", [&] { click(bar->TestConfig); }},
        {"tab strip", [&] { clickTab(TestLatency); }},
        {"description page", [&] { click(view->ApplyButton); }},
        {"language switch", [&] { frame->commandAction(CMainFrame::ID_LANGUAGE_CHINESE)->trigger(); }},
    };
    CDlgAggregate *page = view->AggregatePage;
    int vlan = 100;
    for (const auto &[name, leave] : ways) {
        SCOPED_TRACE(name);
        ASSERT_NO_FATAL_FAILURE(clickNode(TreeNode::Aggregate));
        ASSERT_TRUE(view->IsPageShown(page));
        const int row = rowOfPort(*page, 0);
        ASSERT_GE(row, 0);
        page->PortGrid->SetCellText(kVlanIdColumn, row, QString::number(++vlan));
        leave();
        EXPECT_FALSE(view->IsPageShown(page));
        ASSERT_NO_FATAL_FAILURE(clickNode(TreeNode::Aggregate));
        EXPECT_EQ(cell(*page, kVlanIdColumn, rowOfPort(*page, 0)), QString::number(vlan));
    }
}

// Run pressed while another page shows keeps the grids of the pages that are not on show.
TEST_F(PageEntryInDemoModeTest, RunFromAnotherPageKeepsTheEditsOfEverySelectedPage)
{
    PairOnePages::readyEveryPage(*view, app->TestPlan);
    for (int test : {TestAggregate, TestCapacity})
        view->TestSelected[test] = 1;
    view->CapacityPage->InitialGroups.Edit->setText(QStringLiteral("1"));
    view->CapacityPage->MaxGroups.Edit->setText(QStringLiteral("2"));
    view->CapacityPage->GroupStep.Edit->setText(QStringLiteral("1"));
    for (TreeNode node : {TreeNode::Aggregate, TreeNode::Capacity}) {
        ASSERT_NO_FATAL_FAILURE(clickNode(node));
        const auto *page = static_cast<CTestPageBase *>(
            view->TestPage(node == TreeNode::Aggregate ? TestAggregate : TestCapacity));
        page->PortGrid->SetCellText(kAddressColumn, rowOfPort(*page, 0),
                                    node == TreeNode::Aggregate ? "10.1.1.1" : "10.2.2.2");
    }
    click(bar->Pairing);
    click(bar->Run);
    EXPECT_EQ(prompter.messages(), QStringList{"Test Finished!"});
    // Capacity ran last: its address is in the port record, and the Aggregate page's grid kept its own.
    EXPECT_EQ(g_Session.Ports[0].IPAddress, qFromBigEndian<std::uint32_t>(0x0A020202));
    EXPECT_EQ(cell(*view->AggregatePage, kAddressColumn, rowOfPort(*view->AggregatePage, 0)), "10.1.1.1");
}

// Each page refused at Run names the field, its value and the rule after the test's own message, and
// the status bar returns to its idle text.
TEST_F(PageEntryInDemoModeTest, RefusalsNameTheFieldItsValueAndTheRule)
{
    PairOnePages::readyEveryPage(*view, app->TestPlan);
    struct Case
    {
        int test;
        std::vector<std::pair<CNumEdit *, const char *>> edits;
        const char *reason;
    };
    const Case cases[] = {
        {TestMixClass,
         {{view->MixClassPage->InitialRateField.edit, "50"}, {view->MixClassPage->MinRateField.edit, "60"}},
         "Min Rate (%) is 60 but Initial Rate (%) is 50: Min Rate (%) must not be above Initial Rate (%)."},
        {TestAggregate,
         {{view->AggregatePage->MaxRateField.edit, "90"}},
         "Initial Rate (%) is 100 but Max Rate (%) is 90: Initial Rate (%) must not be above Max Rate (%)."},
        {TestAggregate,
         {{view->AggregatePage->TrialsField.edit, "6"}},
         "Number of Trails is 6: it must lie between 1 and 5."},
        {TestAggregate,
         {{view->AggregatePage->ResolutionField.edit, "0"}},
         "Resolution (%) is 0: it must lie between 0.01 and 100.00."},
        {TestScale,
         {{view->ScalePage->InitialGroupsField.edit, "5"}, {view->ScalePage->MaxGroupsField.edit, "3"}},
         "Number of Initial Group is 5 but Number of Max Group is 3: Number of Initial Group must not be "
         "above "
         "Number of Max Group."},
        {TestLatency,
         {{view->LatencyPage->InitialRateField.edit, "40"}, {view->LatencyPage->MaxRateField.edit, "30"}},
         "Initial Rate (%) is 40 but Max Rate (%) is 30: Initial Rate (%) must not be above Max Rate (%)."},
        {TestCapacity,
         {{view->CapacityPage->FrameSize.Edit, "62"}},
         "Frame Size(byte) is 62: it must lie between 64 and 16100."},
        {TestJoinLeave,
         {{view->JoinLeavePage->DelayAfterJoin.Edit, "5"}, {view->JoinLeavePage->TestDuration.Edit, "5"}},
         "Delay Time after Source Join is 5 but Test Duration is 5: Delay Time after Source Join must be "
         "below "
         "Test Duration."},
    };
    const char *const names[TestCount] = {
        "Mixed Class",          "Aggregate", "Scale", "Latency", "Group Capacity", "Join/Leave",
        "IGMP V3 Source Filter"};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.reason);
        std::fill(std::begin(view->TestSelected), std::end(view->TestSelected), std::uint8_t(0));
        view->TestSelected[c.test] = 1;
        QStringList kept;
        for (const auto &[edit, value] : c.edits) {
            kept << edit->text();
            edit->setText(QString::fromLatin1(value));
        }
        const qsizetype before = prompter.messages().size();
        click(bar->Run);
        EXPECT_EQ(prompter.messages().mid(before).join(u'|').toStdString(),
                  QStringLiteral("Configuration of %1 Test is not setting correctly\n%2")
                      .arg(QLatin1String(names[c.test]), QLatin1String(c.reason))
                      .toStdString());
        EXPECT_EQ(statusText(), key("Status_Ready"));
        EXPECT_EQ(view->RunActive, 0);
        // The Join/Leave case stays spoiled for the check in the other language below.
        if (c.test != TestJoinLeave)
            for (qsizetype i = 0; i < kept.size(); ++i)
                c.edits[std::size_t(i)].first->setText(kept[i]);
    }
    // The Capacity field keeps typing to the sizes the check takes.
    EXPECT_EQ(view->CapacityPage->FrameSize.Edit->config().minimum, 64);

    // The rule in the other language.
    frame->commandAction(CMainFrame::ID_LANGUAGE_CHINESE)->trigger();
    const qsizetype before = prompter.messages().size();
    click(bar->Run);
    ASSERT_EQ(prompter.messages().size(), before + 1);
    EXPECT_TRUE(prompter.messages().last().contains(QStringLiteral("必须小于")))
        << prompter.messages().last().toStdString();
}

// A refusal that is no number range names what stops the run too: a VLAN id typed into the port grid
// and left there, no ticked pair, an emptied field. The whole message is in the language on show, the
// labels without their colons.
TEST_F(PageEntryInDemoModeTest, RefusalsNameTheCellThePairAndTheEmptyFieldInEachLanguage)
{
    PairOnePages::readyEveryPage(*view, app->TestPlan);
    struct Case
    {
        const char *languageFile;
        int test;
        std::function<void()> spoil;
        QString message;
    };
    const QString port = CTestPageBase::PortLabelOf(g_Session.Ports[0]).trimmed();
    const Case cases[] = {
        {"LangEng.lng", TestAggregate,
         [&] {
             ASSERT_NO_FATAL_FAILURE(clickNode(TreeNode::Aggregate));
             view->AggregatePage->PortGrid->SetCellText(kVlanIdColumn, rowOfPort(*view->AggregatePage, 0),
                                                        "70000");
             clickNode(TreeNode::PortConfig); // the page stores its grid on the way out
         },
         "Configuration of Aggregate Test is not setting correctly\nRow 1, port " + port +
             ": VLAN ID is 70000, but it must lie between 0 and 4095."},
        {"LangEng.lng", TestCapacity, [&] { view->CapacityPage->PairChecked[1] = 0; },
         "Configuration of Group Capacity Test is not setting correctly\n"
         "No pair is ticked: tick at least one pair of the pair list."},
        {"LangEng.lng", TestSourceFilter, [&] { view->SourceFilterPage->DurationEdit->clear(); },
         "Configuration of IGMP V3 Source Filter Test is not setting correctly\n"
         "Test Duration is empty: it must lie between 1 and 30000."},
        {"LangChs.lng", TestLatency,
         [&] {
             view->LatencyPage->InitialRateField.edit->setText("40");
             view->LatencyPage->MaxRateField.edit->setText("30");
         },
         QStringLiteral("时延测试的配置不正确。\n"
                        "初始速率(%) 为 40，而 最大速率（%） 为 30：初始速率(%) 不能大于 最大速率（%）。")},
        {"LangChs.lng", TestCapacity, [&] { view->CapacityPage->PairChecked[1] = 0; },
         QStringLiteral("组容量测试的配置不正确。\n未勾选任何测试对：请在测试对列表中至少勾选一个。")},
    };
    bool chinese = false;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.message.toStdString());
        if (!chinese && QLatin1String(c.languageFile) == "LangChs.lng") {
            frame->commandAction(CMainFrame::ID_LANGUAGE_CHINESE)->trigger();
            chinese = true;
        }
        std::fill(std::begin(view->TestSelected), std::end(view->TestSelected), std::uint8_t(0));
        view->TestSelected[c.test] = 1;
        ASSERT_NO_FATAL_FAILURE(c.spoil());
        const qsizetype before = prompter.messages().size();
        click(bar->Run);
        EXPECT_EQ(prompter.messages().mid(before).join(u'|').toStdString(), c.message.toStdString());
        EXPECT_EQ(view->RunActive, 0);
    }
    // The typed id stays on show for the user to mend; nothing was cut into another id.
    EXPECT_EQ(cell(*view->AggregatePage, kVlanIdColumn, rowOfPort(*view->AggregatePage, 0)), "70000");
    EXPECT_EQ(std::uint16_t{g_Session.Ports[0].VLanID}, 0);
}

TEST_F(PageEntryInDemoModeTest, TheDescriptionFollowsThePageOnShow)
{
    const auto title = [&] { return view->DescriptionTitle->GetText(); };
    ASSERT_NO_FATAL_FAILURE(clickNode(TreeNode::Aggregate));
    EXPECT_EQ(title(), key("Tree_Aggregate_Group"));
    click(bar->TestConfig); // the test after the tree's current one
    ASSERT_TRUE(view->IsPageShown(view->ScalePage));
    EXPECT_EQ(title(), key("Tree_Scaled_Group"));
    clickTab(TestLatency);
    EXPECT_EQ(title(), key("Tree_Latency"));
    clickTab(TestSourceFilter);
    EXPECT_EQ(title(), key("Tree_Source_Filter"));
    EXPECT_TRUE(view->TestPicture->isHidden()) << "Source Filter has no picture";
    clickTab(TestMixClass);
    EXPECT_EQ(title(), key("Tree_Mix_Class"));
    EXPECT_FALSE(view->TestPicture->isHidden());
}

TEST_F(PageEntryInDemoModeTest, AStoppedRunSaysSoInTheLogAndTheStatusBar)
{
    PairOnePages::readyRatePages(*view, app->TestPlan);
    view->TestSelected[TestMixClass] = 1;
    view->MixClassPage->DurationField.edit->setText("60");
    QString statusWhileStopping;
    clock.callAt(10s, [&] {
        click(bar->Stop);
        statusWhileStopping = statusText();
    });
    click(bar->Run);
    EXPECT_EQ(statusWhileStopping, key("Wait_Stop_Test"));
    const QStringList lines = view->LogDlg->text().split(u'\n', Qt::SkipEmptyParts);
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.last(), "* Test stopped by the user.");
    EXPECT_EQ(lines.filter("* Test stopped by the user.").size(), 1);
    EXPECT_EQ(statusText(), key("Stat_Test_Stopped"));
    EXPECT_EQ(view->RunActive, 0);
}

namespace {

// The same frame in hardware mode against the chassis simulator in simulated time, recording every
// frame: pair 1 has its source on port record 0 and hosts on records 1 and 2.
class PageEntryOnTheSimulatorTest : public PageEntryTest
{
protected:
    void SetUp() override
    {
        app->DemoMode = 0;
        SimConfig config;
        config.pcapFile = capturePath().toStdString();
        config.pcapFrameLimit = 2000;
        ASSERT_NO_FATAL_FAILURE(simulator.start(config, app->TestPlan));
        CDlgAggregate *page = view->AggregatePage;
        page->PairChecked[1] = 1;
        for (CRateTestPage::NumberField *field : {&page->DurationField, &page->DelayAfterJoinField})
            field->edit->setText("1");
        for (CRateTestPage::NumberField *field :
             {&page->InitialRateField, &page->MinRateField, &page->MaxRateField})
            field->edit->setText("100");
        page->ResolutionField.edit->setText("1");
    }
    void TearDown() override { simulator.stop(frame); }
    QString capturePath() const { return captureFolder.filePath(QStringLiteral("run.pcapng")); }

    QTemporaryDir captureFolder;
    MainWindowSimulator simulator;
};

} // namespace

// Edited on the page, left for the pairing page, run from there: the source's frames on the wire carry the
// edited VLAN tag and address.
TEST_F(PageEntryOnTheSimulatorTest, TheRunsFramesCarryTheEditedAddressAndVlanTag)
{
    ASSERT_NO_FATAL_FAILURE(clickNode(TreeNode::Aggregate));
    CDlgAggregate *page = view->AggregatePage;
    const int row = rowOfPort(*page, 0);
    ASSERT_GE(row, 0);
    page->PortGrid->SetCellText(kVlanEnableColumn, row, "Enable");
    page->PortGrid->SetCellText(kVlanIdColumn, row, "123");
    page->PortGrid->SetCellText(kAddressColumn, row, "10.9.8.7");
    click(bar->Pairing);
    ASSERT_TRUE(view->IsPageShown(view->PortConfigPage));
    view->TestSelected[TestAggregate] = 1;
    click(bar->Run);
    EXPECT_EQ(prompter.messages(), QStringList{"Test Finished!"}) << view->LogDlg->text().toStdString();
    const UtPortRecord source = g_Session.Ports[0];
    simulator.stop(frame); // the recording closes with the server

    const CaptureReadBack::Capture capture = CaptureReadBack::readCapture(capturePath());
    ASSERT_TRUE(capture.valid);
    const std::string name = QStringLiteral("port %1/%2").arg(source.BID).arg(source.PID).toStdString();
    const auto at = std::find(capture.interfaces.begin(), capture.interfaces.end(), name);
    ASSERT_NE(at, capture.interfaces.end()) << name;
    const auto sourceInterface = std::uint32_t(at - capture.interfaces.begin());
    // The source's group traffic (to 01-00-5E-...): every frame tagged with the edited VLAN and sent from
    // the edited address.
    int groupFrames = 0;
    for (const CaptureReadBack::Packet &packet : capture.packets) {
        const CaptureReadBack::Bytes &b = packet.data;
        if (packet.interface != sourceInterface || packet.flags != 2 || b.size() < 34 || b[0] != 0x01 ||
            b[1] != 0x00 || b[2] != 0x5E)
            continue;
        ++groupFrames;
        ASSERT_EQ(b[12] << 8 | b[13], 0x8100) << "group frame " << groupFrames << " carries no VLAN tag";
        EXPECT_EQ((b[14] << 8 | b[15]) & 0x0FFF, 123);
        ASSERT_EQ(b[16] << 8 | b[17], 0x0800);
        EXPECT_EQ(QString::asprintf("%d.%d.%d.%d", b[30], b[31], b[32], b[33]), "10.9.8.7");
    }
    EXPECT_GT(groupFrames, 0);
}
