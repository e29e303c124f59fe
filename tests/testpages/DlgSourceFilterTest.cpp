// The Source Filter page: its group list, the port moves with their refusals, the address settings
// and tree, the check before a run and the copy into the test plan, and what the engine reads of it.
#include "PageFixture.h"
#include "common/PortGridRows.h"

#include "controls/grid/KvAvlGrid.h"
#include "controls/grid/MyCug.h"
#include "controls/widgets/NumEdit.h"
#include "controls/widgets/NumSpinCtrl.h"
#include "platform/ScriptedPrompter.h"
#include "run/TestReportDlg.h"
#include "testpages/DlgSourceFilter.h"
#include "testpages/Ipv4Edit.h"

#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

class DlgSourceFilterTest : public testing::Test, public PageFixture
{
protected:
    // Four locked ports (1,2,1) .. (1,2,4), then the page.
    DlgSourceFilterTest()
    {
        for (std::uint8_t port = 1; port <= 4; ++port)
            addPort(1, 2, port, 0, 0);
        page = std::make_unique<CDlgSourceFilter>();
    }

    QString label(int port) const { return CDlgSourceFilter::LockedPortLabels().at(port - 1); }
    // Ticks the rows of the ports in a grid.
    void tick(CKvAvlGrid *grid, std::initializer_list<int> ports)
    {
        for (int port : ports)
            grid->SetRowChecked(int(rowNames(grid).indexOf(label(port))), 1);
    }
    // Port 1 as source, ports 2 and 3 as hosts.
    void selectPorts()
    {
        tick(page->SourceAvailableGrid, {1});
        page->OnAddSourcePorts();
        tick(page->HostAvailableGrid, {2, 3});
        page->OnAddHostPorts();
    }
    QTreeWidgetItem *groupItem(int host, int group) const
    {
        return page->AddressTree->topLevelItem(host)->child(group);
    }
    QStringList childTexts(const QTreeWidgetItem *item) const
    {
        QStringList texts;
        for (int i = 0; i < item->childCount(); ++i)
            texts << item->child(i)->text(0);
        return texts;
    }

    ScriptedPrompter prompter;
    std::unique_ptr<CDlgSourceFilter> page;
};

} // namespace

TEST(SourceFilterGroups, AddressesCarryIntoTheHigherOctets)
{
    const struct
    {
        std::uint32_t first;
        int count;
        QStringList groups;
    } cases[] = {
        {0xE0000101, 2, {"224.0.1.1", "224.0.1.2"}},
        {0xE00001FE, 3, {"224.0.1.254", "224.0.1.255", "224.0.2.0"}},
        {0xE000FFFF, 2, {"224.0.255.255", "224.1.0.0"}},
        // Past 239 the first octet wraps to 224 and the third octet steps once more.
        {0xEFFFFFFF, 2, {"239.255.255.255", "224.0.1.0"}},
        {0xE0000101, 0, {}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(CDlgSourceFilter::GroupAddressesOf(c.first, c.count), c.groups) << c.first;
}

TEST_F(DlgSourceFilterTest, GroupListIsInTextOrderAndFollowsEveryCountChange)
{
    EXPECT_EQ(page->GroupList.Items(), (QStringList{"224.0.1.1", "224.0.1.2"}));
    EXPECT_EQ(EngineHost::instance().sourceFilterGroups(), page->GroupList.Items());
    page->GroupAddressCtrl->setText(QStringLiteral("224.0.1.250"));
    page->GroupCountEdit->selectAll();
    QTest::keyClicks(page->GroupCountEdit, QStringLiteral("10")); // typed: waits for the field to be left
    EXPECT_EQ(page->GroupCount(), 2u);
    page->OnGroupCountChanged();
    EXPECT_EQ(page->GroupList.Items(),
              (QStringList{"224.0.1.250", "224.0.1.251", "224.0.1.252", "224.0.1.253", "224.0.1.254",
                           "224.0.1.255", "224.0.2.0", "224.0.2.1", "224.0.2.2", "224.0.2.3"}));
    // A spin click counts at once, whatever the other fields hold.
    page->DurationEdit->clear();
    page->GroupCountSpin->SetValue(10);
    page->GroupCountSpin->DeltaPos(-1);
    EXPECT_EQ(page->GroupCountEdit->text(), "9");
    EXPECT_EQ(page->GroupCount(), 9u);
    EXPECT_EQ(page->GroupList.At(0), "224.0.1.250");
}

TEST_F(DlgSourceFilterTest, MovesAreRefusedOnlyWhenEveryRowIsTickedAndTheOtherSideIsEmpty)
{
    page->OnAddAllSourcePorts();
    page->OnAddSourcePorts(); // no row ticked: not every row is, so nothing is refused or moved
    tick(page->HostAvailableGrid, {1, 2, 3, 4});
    page->OnAddHostPorts();
    page->OnAddAllHostPorts();
    EXPECT_EQ(prompter.messages(), (QStringList{"The Host Port is N/A, Please Set Host Port!",
                                                "The Source Port is N/A, Please Set Source Port!",
                                                "The Source Port is N/A, Please Set Source Port!"}));
    EXPECT_EQ(rowNames(page->SourceAvailableGrid).size(), 4);
    EXPECT_EQ(page->SelectedSourceList.Count(), 0);

    // Some rows ticked move even with the other side empty; both available lists lose them.
    tick(page->SourceAvailableGrid, {3, 1});
    page->OnAddSourcePorts();
    EXPECT_EQ(rowNames(page->SelectedSourceGrid), (QStringList{label(1), label(3)}));
    EXPECT_EQ(page->SelectedSourceList.Items(), (QStringList{label(1), label(3)}));
    EXPECT_EQ(rowNames(page->SourceAvailableGrid), (QStringList{label(2), label(4)}));
    EXPECT_EQ(rowNames(page->HostAvailableGrid), (QStringList{label(2), label(4)}));
    page->OnAddAllHostPorts();
    EXPECT_EQ(page->SelectedHostList.Items(), (QStringList{label(2), label(4)}));
    EXPECT_EQ(page->RecordCount(), 2u);
    EXPECT_TRUE(rowNames(page->SourceAvailableGrid).isEmpty());

    // Returning one source takes exactly its label out of the list.
    tick(page->SelectedSourceGrid, {3});
    page->OnRemoveSourcePorts();
    EXPECT_EQ(page->SelectedSourceList.Items(), QStringList{label(1)});
    EXPECT_EQ(rowNames(page->SourceAvailableGrid), QStringList{label(3)});
    EXPECT_EQ(rowNames(page->HostAvailableGrid), QStringList{label(3)});
    page->OnRemoveAllHostPorts();
    page->OnRemoveAllSourcePorts();
    EXPECT_EQ(rowNames(page->SourceAvailableGrid), (QStringList{label(1), label(2), label(3), label(4)}));
    EXPECT_EQ(rowNames(page->HostAvailableGrid), rowNames(page->SourceAvailableGrid));
    EXPECT_EQ(page->SelectedHostList.Count() + page->SelectedSourceList.Count(), 0);
}

TEST_F(DlgSourceFilterTest, HostRecordsOutliveTheirReturnUntilTheGroupCountChanges)
{
    selectPorts();
    ASSERT_EQ(page->AddressSettings.size(), 2u);
    const UtFilterHost &first = page->AddressSettings[0];
    EXPECT_EQ(first.PortLabel, label(2));
    ASSERT_EQ(first.Groups.size(), 2u);
    EXPECT_EQ(first.Groups[1].GroupAddress, "224.0.1.2");
    EXPECT_EQ(first.Groups[1].Mode, 1u);
    ASSERT_EQ(page->AddressTree->topLevelItemCount(), 2);
    EXPECT_TRUE(page->AddressTree->topLevelItem(0)->isExpanded());
    EXPECT_EQ(groupItem(0, 0)->text(0), "Group:224.0.1.1 - (Filter Mode:Include)");
    EXPECT_EQ(childTexts(groupItem(0, 1)), QStringList{"Null"});

    page->AddressSettings[0].Groups[1] = {"224.0.1.2", 2, {"10.0.0.1"}};
    tick(page->SelectedHostGrid, {2});
    page->OnRemoveHostPorts();
    EXPECT_EQ(page->AddressTree->topLevelItemCount(), 1);
    tick(page->HostAvailableGrid, {2});
    page->OnAddHostPorts();
    ASSERT_EQ(page->AddressSettings.size(), 2u);
    EXPECT_EQ(groupItem(0, 1)->text(0), "Group:224.0.1.2 - (Filter Mode:Exclude)");
    EXPECT_EQ(childTexts(groupItem(0, 1)), QStringList{"10.0.0.1"});

    // Leaving the count field in range, changed or not, drops every setting and returns the hosts.
    page->OnGroupCountChanged();
    EXPECT_TRUE(page->AddressSettings.empty());
    EXPECT_EQ(page->SelectedHostList.Count(), 0);
    EXPECT_EQ(page->AddressTree->topLevelItemCount(), 0);
    EXPECT_EQ(page->SelectedSourceList.Count(), 1);
    // A new initial address names new groups: the same.
    tick(page->HostAvailableGrid, {2});
    page->OnAddHostPorts();
    page->GroupAddressCtrl->setText(QStringLiteral("225.1.1.1"));
    emit page->GroupAddressCtrl->editingFinished();
    EXPECT_TRUE(page->AddressSettings.empty());
    EXPECT_EQ(page->GroupList.At(0), "225.1.1.1");
}

TEST_F(DlgSourceFilterTest, SetModeAndDeleteWorkOnTheGroupOfTheSelectedItem)
{
    selectPorts();
    page->AddressSettings[1].Groups[0].Sources = QStringList{"10.0.0.1", "10.0.0.2"};
    page->RefreshAddressTree();
    QTreeWidgetItem *source = groupItem(1, 0)->child(1);
    page->AddressTree->setCurrentItem(source);
    EXPECT_TRUE(page->FilterTypeList->isEnabled());
    page->FilterTypeList->setCurrentIndex(1);
    page->OnSetFilterMode();
    EXPECT_EQ(groupItem(1, 0)->text(0), "Group:224.0.1.1 - (Filter Mode:Exclude)");
    EXPECT_EQ(page->AddressSettings[1].Groups[0].Mode, 2u);
    EXPECT_EQ(page->AddressSettings[1].Groups[1].Mode, 1u);
    EXPECT_EQ(page->AddressSettings[0].Groups[0].Mode, 1u);

    // A host item shows its first group's mode and locks the choice.
    page->AddressTree->setCurrentItem(page->AddressTree->topLevelItem(0));
    EXPECT_EQ(page->FilterTypeList->currentIndex(), 0);
    EXPECT_FALSE(page->SetButton->isEnabled());
    page->AddressTree->setCurrentItem(groupItem(1, 0));
    EXPECT_EQ(page->FilterTypeList->currentIndex(), 1);

    page->AddressTree->setCurrentItem(groupItem(1, 0)->child(0));
    page->OnDeleteAddress();
    EXPECT_EQ(childTexts(groupItem(1, 0)), QStringList{"10.0.0.2"});
    EXPECT_EQ(page->AddressSettings[1].Groups[0].Sources, QStringList{"10.0.0.2"});
    page->AddressTree->setCurrentItem(groupItem(1, 0)->child(0));
    page->OnDeleteAddress();
    EXPECT_EQ(childTexts(groupItem(1, 0)), QStringList{"Null"});
    EXPECT_TRUE(page->AddressSettings[1].Groups[0].Sources.isEmpty());
}

TEST_F(DlgSourceFilterTest, MenuCommandsFollowTheLevelOfTheItem)
{
    selectPorts();
    using State = std::vector<bool>;
    EXPECT_EQ(CDlgSourceFilter::MenuStateOf(nullptr), (State{false, false, false}));
    EXPECT_EQ(CDlgSourceFilter::MenuStateOf(page->AddressTree->topLevelItem(0)),
              (State{false, false, false}));
    EXPECT_EQ(CDlgSourceFilter::MenuStateOf(groupItem(0, 0)), (State{true, false, false}));
    EXPECT_EQ(CDlgSourceFilter::MenuStateOf(groupItem(0, 0)->child(0)), (State{true, true, true}));
    EXPECT_EQ(CDlgSourceFilter::ExtractGroupText(" Group: 224.0.1.9 - (Filter Mode: Exclude )"), "224.0.1.9");
    EXPECT_EQ(CDlgSourceFilter::ExtractFilterModeText("Group:224.0.1.9 - (Filter Mode: Exclude )"),
              "Exclude");
}

TEST_F(DlgSourceFilterTest, CheckFieldsJudgesEachFieldAndFocusesTheFirstBadOne)
{
    page->show();
    page->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(page.get()));
    selectPorts();
    EXPECT_TRUE(page->CheckFieldsValid());
    const struct
    {
        CNumEdit *CDlgSourceFilter::*edit;
        const char *text;
        const char *reason; // empty: the page can run
    } cases[] = {
        {&CDlgSourceFilter::DelayEdit, "0",
         "Delay Time after Test Start is 0: it must lie between 1 and 300."},
        {&CDlgSourceFilter::DelayEdit, "300", ""},
        {&CDlgSourceFilter::TrialsEdit, "100", ""},
        {&CDlgSourceFilter::TrialsEdit, "+2", ""},
        {&CDlgSourceFilter::TrialsEdit, "101", "Number of Trails is 101: it must lie between 1 and 100."},
        {&CDlgSourceFilter::TrialsEdit, "2x", "Number of Trails is 2x: it must lie between 1 and 100."},
        {&CDlgSourceFilter::DurationEdit, "30001",
         "Test Duration is 30001: it must lie between 1 and 30000."},
        {&CDlgSourceFilter::GroupCountEdit, "11", "Number of Groups is 11: it must lie between 1 and 10."},
        {&CDlgSourceFilter::DurationEdit, "", "Test Duration is empty: it must lie between 1 and 30000."},
        {&CDlgSourceFilter::GroupCountEdit, " ", "Number of Groups is empty: it must lie between 1 and 10."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        CNumEdit *edit = page.get()->*c.edit;
        const QString before = edit->text();
        edit->setText(QString::fromLatin1(c.text));
        page->GroupCountEdit->setModified(true);
        EXPECT_EQ(page->CheckFieldsValid(), *c.reason == '\0');
        EXPECT_EQ(page->RefusalReason().toStdString(), c.reason);
        if (*c.reason) {
            EXPECT_TRUE(edit->hasFocus());
        }
        edit->setText(before);
    }
    page->GroupAddressCtrl->setText(QStringLiteral("240.0.0.1"));
    EXPECT_FALSE(page->CheckFieldsValid());
    EXPECT_EQ(page->RefusalReason(),
              "Initial Group Address is 240.0.0.1: it must lie between 224.0.0.0 and 239.255.255.255.");
    EXPECT_TRUE(page->GroupAddressCtrl->hasFocus());
    page->GroupAddressCtrl->setText(QStringLiteral("239.0.0.1"));
    page->OnAddAllHostPorts(); // leaving the group count field returned them
    EXPECT_TRUE(page->CheckFieldsValid());
    page->OnRemoveAllHostPorts();
    EXPECT_FALSE(page->CheckFieldsValid());
    EXPECT_EQ(page->RefusalReason(), "The Host Port is N/A, Please Set Host Port!");
    page->OnAddAllHostPorts();
    page->SelectedSourceGrid->SetRowChecked(0, 1);
    page->OnRemoveSourcePorts();
    EXPECT_FALSE(page->CheckFieldsValid());
    EXPECT_EQ(page->RefusalReason(), "The Source Port is N/A, Please Set Source Port!");
}

TEST_F(DlgSourceFilterTest, ApplyWritesRatesPortsAndStreamValuesThatTheReportWindowRestores)
{
    g_Session.Ports[0].StreamNumber = 7;
    g_Session.Ports[0].StreamItemA = 5;
    tick(page->SourceAvailableGrid, {1, 2, 4});
    page->OnAddSourcePorts();
    tick(page->HostAvailableGrid, {3});
    page->OnAddHostPorts();
    page->DurationEdit->setText(QStringLiteral("30"));
    QStringList log;
    EngineHost::instance().appendLog = [&log](const QString &text) { log << text; };
    page->ApplyToTestConfig(plan);
    EXPECT_EQ(log, (QStringList{"* Configuration Test Parameter... \n",
                                "* Test Duration :   30 secs,      Test Trails :  1 times\n"}));
    EXPECT_EQ(plan.InitialRate, 16.0);
    EXPECT_EQ(plan.MinRate, 16.0);
    EXPECT_EQ(plan.MaxRate, 16.0);
    EXPECT_EQ(plan.FilterParams.V3GroupCount, 2u);
    EXPECT_EQ(plan.FilterParams.V3GroupAddress[2], 1);
    ASSERT_EQ(plan.SourcePorts.size(), 3u);
    EXPECT_EQ(int(plan.SourcePorts[2].Id.PID), 4);
    ASSERT_EQ(plan.HostPorts.size(), 1u);
    EXPECT_EQ(int(plan.HostPorts[0].PortIndex), 2);
    ASSERT_EQ(g_Session.PortSaves.size(), 4u);
    EXPECT_EQ(int(g_Session.PortSaves[0].StreamNumber), 7);
    EXPECT_EQ(int(g_Session.PortSaves[0].StreamItemA), 5);
    for (const UtPortRecord &record : g_Session.Ports) {
        EXPECT_EQ(int(record.StreamItemA), 0);
        EXPECT_EQ(int(record.StreamItemB), 1);
        EXPECT_EQ(int(record.StreamNumber), 100);
    }
    // A second apply before the values went back keeps the ports' own values, not the test's set-up.
    page->ApplyToTestConfig(plan);
    ASSERT_EQ(g_Session.PortSaves.size(), 4u);
    CTestReportDlg report;
    report.RestorePortMedia();
    EXPECT_EQ(int(g_Session.Ports[0].StreamNumber), 7);
    EXPECT_EQ(int(g_Session.Ports[0].StreamItemA), 5);
    EXPECT_TRUE(g_Session.PortSaves.empty());
}

// The pairs an earlier test selected take no part: the test selects none.
TEST_F(DlgSourceFilterTest, ApplyClearsThePairSelection)
{
    std::fill(std::begin(plan.PairSelected), std::end(plan.PairSelected), std::uint8_t(1));
    tick(page->SourceAvailableGrid, {1});
    page->OnAddSourcePorts();
    tick(page->HostAvailableGrid, {2});
    page->OnAddHostPorts();
    page->ApplyToTestConfig(plan);
    EXPECT_TRUE(std::all_of(std::begin(plan.PairSelected), std::end(plan.PairSelected),
                            [](std::uint8_t selected) { return selected == 0; }));
}

TEST_F(DlgSourceFilterTest, EngineReadsThePageUntilItGoes)
{
    selectPorts();
    EngineHost::instance().reset(); // a test's reset keeps the page wired
    EXPECT_EQ(EngineHost::instance().sourceFilterHosts().size(), 2u);
    EXPECT_EQ(EngineHost::instance().sourceFilterGroups().size(), 2);
    page.reset();
    EXPECT_TRUE(EngineHost::instance().sourceFilterHosts().empty());
    EXPECT_TRUE(EngineHost::instance().sourceFilterGroups().isEmpty());
}

// Leaving the group count as it was keeps the hosts, modes and sources; a new count resets them.
TEST_F(DlgSourceFilterTest, LeavingTheGroupCountResetsTheSetUpOnlyWhenItChanged)
{
    selectPorts();
    page->AddHostPort(label(2), QStringLiteral("10.0.0.9"));
    page->RemoveAddress(label(3), QStringLiteral("224.0.1.2"), {}, false, CDlgSourceFilter::kExcludeMode,
                        true);
    const auto leaveCountField = [this] {
        QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(page->GroupCountEdit, &leave);
    };
    leaveCountField();
    EXPECT_EQ(page->SelectedHostList.Count(), 2);
    ASSERT_EQ(page->AddressSettings.size(), 2u);
    EXPECT_EQ(page->AddressSettings[0].Groups[0].Sources, QStringList{"10.0.0.9"});
    EXPECT_EQ(page->AddressSettings[1].Groups[1].Mode, CDlgSourceFilter::kExcludeMode);

    page->GroupCountEdit->setText(QStringLiteral("3"));
    leaveCountField();
    EXPECT_EQ(page->SelectedHostList.Count(), 0);
    EXPECT_TRUE(page->AddressSettings.empty());
    EXPECT_EQ(page->GroupCount(), 3u);
}

// Every row of the port grid shows the initial group address and the number of groups, and follows them.
TEST_F(DlgSourceFilterTest, EveryPortRowShowsTheGroupAddressAndCount)
{
    const auto groupCells = [this] {
        const CTestPageBase::Columns columns = page->GetColumns();
        QStringList cells;
        for (int row = 0; row < 4; ++row) {
            QString address, count;
            page->PortGrid->GetCellTextTo(columns.group, row, address);
            page->PortGrid->GetCellTextTo(columns.group + 1, row, count);
            cells << address + " x" + count;
        }
        return cells;
    };
    EXPECT_EQ(groupCells(), QStringList(4, QStringLiteral("224.0.1.1 x2")));
    page->GroupCountSpin->DeltaPos(1);
    EXPECT_EQ(groupCells(), QStringList(4, QStringLiteral("224.0.1.1 x3")));
}
