// The test-pair editor: Set, its failures, deleting pairs, the tabs, the smallest host count and the
// port lists, on a session of locked ports.
#include "FakePages.h"
#include "PortSessionFixture.h"
#include "common/PortGridRows.h"

#include "controls/grid/KvAvlGrid.h"
#include "controls/grid/KvSelGrid.h"
#include "controls/widgets/ButtonST.h"
#include "controls/widgets/NumEdit.h"
#include "engine/IGMPTestPlan.h"
#include "ports/IpAddressEdit.h"
#include "ports/PortConfig.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <gtest/gtest.h>

namespace {

QString pairPortLabel(std::uint8_t card, std::uint8_t port, std::uint8_t type = 53)
{
    QString text;
    FormatPortLabel({{1, card, port}, type}, text);
    return text;
}

QStringList items(const QComboBox *combo)
{
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts << combo->itemText(i);
    return texts;
}

struct PairPage : PortSession
{
    explicit PairPage(const std::vector<PortSpec> &ports = eightPorts()) : PortSession(ports)
    {
        page.SetPlan(&plan);
    }

    const UtTestPair &pair(int number) const { return plan.TestPairs[std::size_t(number - 1)]; }

    // Shows the pair of a tab; the "+" tab adds one.
    void showTab(int tab) { page.TabCtrl->setCurrentIndex(tab); }

    void chooseSource(const QString &text)
    {
        const int index = page.SourceCombo->findText(text);
        ASSERT_GE(index, 0) << text.toStdString();
        page.SourceCombo->setCurrentIndex(index);
        page.OnSourceComboChange();
    }

    void addHosts(const QStringList &hosts)
    {
        for (const QString &host : hosts) {
            const int row = page.AvailableGrid->FindRowByKey(host);
            ASSERT_GE(row, 0) << host.toStdString();
            page.AvailableGrid->SetRowChecked(row, 1);
        }
        page.OnAddHosts();
    }

    // Forms the pair of a tab through the controls and presses Set.
    void setPair(int tab, const QString &source, const QStringList &hosts)
    {
        showTab(tab);
        ASSERT_NO_FATAL_FAILURE(chooseSource(source));
        ASSERT_NO_FATAL_FAILURE(addHosts(hosts));
        page.OnSet();
    }

    FakePages pages;
    CIGMPTestPlan plan;
    CPortConfig page;
};

void expectRecord(std::uint8_t card, std::uint8_t port, int source, int host, int state, int itemA,
                  int stream)
{
    const UtPortRecord &record = PortSession::record(card, port);
    EXPECT_EQ(record.SourcePair, source) << int(card) << "," << int(port);
    EXPECT_EQ(record.HostPair, host) << int(card) << "," << int(port);
    EXPECT_EQ(record.Select_state, state) << int(card) << "," << int(port);
    EXPECT_EQ(record.StreamItemA, itemA) << int(card) << "," << int(port);
    EXPECT_EQ(record.StreamItemB, stream ? itemA + 1 : 0) << int(card) << "," << int(port);
    EXPECT_EQ(record.StreamNumber, stream) << int(card) << "," << int(port);
}

} // namespace

TEST(PortConfig, OpensWithEightDefaultPairsAndOneTab)
{
    PairPage p;
    ASSERT_EQ(p.plan.TestPairs.size(), 8u);
    const UtTestPair &eighth = p.pair(8);
    EXPECT_EQ(eighth.PairID, 8);
    EXPECT_EQ(eighth.Status, 0);
    EXPECT_EQ(QString("%1.%2.%3.%4")
                  .arg(eighth.GroupIP[0])
                  .arg(eighth.GroupIP[1])
                  .arg(eighth.GroupIP[2])
                  .arg(eighth.GroupIP[3]),
              "224.0.8.1");
    EXPECT_EQ(eighth.NumofGroup, 1);
    EXPECT_EQ(eighth.UniCid, 0xFFFF);
    EXPECT_EQ(eighth.UniBid, 0xFF);
    EXPECT_EQ(p.page.TabCtrl->count(), 2);
    EXPECT_EQ(p.page.TabCtrl->tabText(0), "Test Pair 1");
    EXPECT_EQ(p.page.TabCtrl->tabText(1), "+");
    EXPECT_EQ(p.page.SourceEdit->text(), "Not set");
    EXPECT_EQ(p.page.SourceCombo->count(), 8);
    EXPECT_EQ(p.page.SourceCombo->currentText(), pairPortLabel(2, 1));
    // The proposed source is no available host.
    EXPECT_EQ(rowNames(p.page.AvailableGrid).size(), 7);
    EXPECT_FALSE(rowNames(p.page.AvailableGrid).contains(pairPortLabel(2, 1)));
}

TEST(PortConfig, SetStoresThePairAndItsPortsStreams)
{
    PairPage p;
    p.showTab(1);
    ASSERT_EQ(p.page.PairCount(), 2);
    const std::uint8_t address[4] = {239, 1, 2, 3};
    p.page.GroupAddress->SetAddress(address);
    p.setPair(1, pairPortLabel(2, 1), {pairPortLabel(3, 1), pairPortLabel(3, 2)});
    EXPECT_TRUE(p.prompter.messages().isEmpty()) << p.prompter.messages().join("|").toStdString();
    const UtTestPair &second = p.pair(2);
    EXPECT_EQ(second.Status, 1);
    EXPECT_EQ(second.num_of_destmember, 2);
    EXPECT_EQ(second.Src_Cid, 1);
    EXPECT_EQ(second.Src_Bid, 2);
    EXPECT_EQ(second.Src_Pid, 1);
    EXPECT_EQ(second.GroupIP[0], 239);
    EXPECT_EQ(second.GroupIP[3], 3);
    EXPECT_EQ(p.page.SourceEdit->text(), pairPortLabel(2, 1));
    expectRecord(2, 1, 2, 0, 1, 2, 102);
    expectRecord(3, 1, 0, 2, 2, 2, 103);
    expectRecord(3, 2, 0, 2, 2, 2, 103);
    expectRecord(3, 3, 0, 0, 0, 0, 0);

    // The same Set again leaves every role as it was.
    p.page.OnSet();
    expectRecord(2, 1, 2, 0, 1, 2, 102);
    expectRecord(3, 1, 0, 2, 2, 2, 103);

    // A host removed and Set again leaves the pair with its stream fields cleared.
    p.page.SelectedGrid->SetRowChecked(1, 1);
    p.page.OnRemoveHosts();
    p.page.OnSet();
    EXPECT_EQ(p.pair(2).num_of_destmember, 1);
    expectRecord(3, 2, 0, 0, 0, 0, 0);
}

TEST(PortConfig, FailedSetChangesNothing)
{
    PairPage p;
    // No host chosen.
    p.page.OnSet();
    EXPECT_EQ(p.prompter.messages(), QStringList{"Setting failed!"});
    EXPECT_EQ(p.pair(1).Status, 0);

    for (const char *count : {"0", "257"}) {
        PairPage q;
        q.chooseSource(pairPortLabel(2, 1));
        q.addHosts({pairPortLabel(2, 2)});
        q.page.GroupCountEdit->setText(count);
        q.page.OnSet();
        EXPECT_EQ(q.prompter.messages(),
                  (QStringList{"The Range of Number of Groups is 1 - 256", "Setting failed!"}));
        EXPECT_EQ(q.pair(1).Status, 0);
        expectRecord(2, 1, 0, 0, 0, 0, 0);
        expectRecord(2, 2, 0, 0, 0, 0, 0);
    }
}

// A pair's groups are multicast groups: Set refuses a range that starts or ends outside
// 224.0.0.0-239.255.255.255, says so in the language on show, and changes nothing.
TEST(PortConfig, SetTakesOnlyGroupRangesThatAreWhollyMulticast)
{
    const struct
    {
        const char *address;
        const char *count;
        bool taken;
    } cases[] = {
        {"10.0.0.1", "1", false},         {"223.255.255.255", "1", false}, {"240.0.0.0", "1", false},
        {"239.255.255.250", "10", false}, {"239.255.255.247", "9", true},  {"224.0.0.0", "256", true},
        {"239.255.255.255", "1", true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.address);
        PairPage p;
        p.page.GroupAddress->setText(QString::fromLatin1(c.address));
        p.page.GroupCountEdit->setText(QString::fromLatin1(c.count));
        p.setPair(0, pairPortLabel(2, 1), {pairPortLabel(2, 2)});
        EXPECT_EQ(p.pair(1).Status, c.taken ? 1 : 0);
        if (c.taken) {
            EXPECT_TRUE(p.prompter.messages().isEmpty());
            continue;
        }
        EXPECT_EQ(
            p.prompter.messages(),
            (QStringList{QStringLiteral("The %1 group(s) from %2 are not all multicast addresses: every "
                                        "group must lie between 224.0.0.0 and 239.255.255.255.")
                             .arg(QLatin1String(c.count), QLatin1String(c.address)),
                         "Setting failed!"}));
        EXPECT_EQ(p.pair(1).GroupIP[0], 224); // the default pair's 224.0.1.1
        EXPECT_EQ(p.pair(1).GroupIP[3], 1);
        expectRecord(2, 1, 0, 0, 0, 0, 0);
        expectRecord(2, 2, 0, 0, 0, 0, 0);
    }

    PairPage p;
    g_LangMag.SetLangFile(QStringLiteral(KV_SOURCE_DIR "/resources/Language/LangChs.lng"));
    p.page.GroupAddress->setText(QStringLiteral("10.0.0.1"));
    p.setPair(0, pairPortLabel(2, 1), {pairPortLabel(2, 2)});
    EXPECT_EQ(
        p.prompter.messages(),
        (QStringList{QStringLiteral("1 个组（从 10.0.0.1 开始）不全是组播地址：每个组都必须在 224.0.0.0 到 "
                                    "239.255.255.255 之间。"),
                     QStringLiteral("设置失败！")}));
    g_LangMag.SetLangFile(QStringLiteral(KV_SOURCE_DIR "/resources/Language/LangEng.lng"));
}

TEST(PortConfig, ShowingAPairListsOnlyFreePorts)
{
    PairPage p;
    p.setPair(0, pairPortLabel(2, 1), {pairPortLabel(2, 2), pairPortLabel(2, 3)});
    p.showTab(1);
    EXPECT_EQ(items(p.page.SourceCombo),
              (QStringList{pairPortLabel(2, 4), pairPortLabel(3, 1), pairPortLabel(3, 2), pairPortLabel(3, 3),
                           pairPortLabel(3, 4)}));
    EXPECT_EQ(rowNames(p.page.AvailableGrid), (QStringList{pairPortLabel(3, 1), pairPortLabel(3, 2),
                                                           pairPortLabel(3, 3), pairPortLabel(3, 4)}));
    EXPECT_TRUE(rowNames(p.page.SelectedGrid).isEmpty());

    // Back on pair 1 its source heads the list and its hosts are selected.
    p.showTab(0);
    EXPECT_EQ(p.page.SourceCombo->currentText(), pairPortLabel(2, 1));
    EXPECT_EQ(rowNames(p.page.SelectedGrid), (QStringList{pairPortLabel(2, 2), pairPortLabel(2, 3)}));
    EXPECT_EQ(p.page.SourceEdit->text(), pairPortLabel(2, 1));
    // Another source: the set one becomes an available host, other pairs' ports never do.
    p.chooseSource(pairPortLabel(3, 1));
    const QStringList available = rowNames(p.page.AvailableGrid);
    EXPECT_TRUE(available.contains(pairPortLabel(2, 1)));
    EXPECT_FALSE(available.contains(pairPortLabel(3, 1)));
    EXPECT_FALSE(available.contains(pairPortLabel(2, 2)));
}

TEST(PortConfig, NoLockedPortLeavesNoSource)
{
    std::vector<PortSpec> ports = eightPorts();
    for (PortSpec &port : ports)
        port.locked = false;
    PairPage p(ports);
    p.showTab(0);
    EXPECT_EQ(p.page.SourceCombo->count(), 0);
    EXPECT_FALSE(p.page.SourceCombo->isEnabled());
    EXPECT_EQ(p.page.SourceEdit->text(), "No free port for the source");
}

TEST(PortConfig, DeletingAPairMovesTheLaterPairsUp)
{
    PairPage p;
    p.setPair(0, pairPortLabel(2, 1), {pairPortLabel(2, 2)});
    p.setPair(1, pairPortLabel(2, 3), {pairPortLabel(2, 4)});
    const std::uint8_t address[4] = {239, 255, 255, 250};
    p.showTab(2);
    p.page.GroupAddress->SetAddress(address);
    p.setPair(2, pairPortLabel(3, 1), {pairPortLabel(3, 2), pairPortLabel(3, 3)});
    p.showTab(3); // a fourth tab whose pair is not set
    ASSERT_EQ(p.page.PairCount(), 4);
    p.plan.PairSelected[2] = 1;

    p.showTab(1);
    p.page.OnDeletePair();
    EXPECT_EQ(p.page.PairCount(), 3);
    EXPECT_EQ(p.page.TabCtrl->count(), 4);
    EXPECT_EQ(p.page.TabCtrl->tabText(2), "Test Pair 3");
    EXPECT_EQ(p.page.SelectedTab(), 1);
    // Pair 3 now sits in place 2 with its ports, streams and selection.
    expectRecord(2, 3, 0, 0, 0, 0, 0);
    expectRecord(2, 4, 0, 0, 0, 0, 0);
    expectRecord(3, 1, 2, 0, 1, 2, 102);
    expectRecord(3, 3, 0, 2, 2, 2, 103);
    EXPECT_EQ(p.pair(2).Status, 1);
    EXPECT_EQ(p.pair(2).PairID, 2);
    EXPECT_EQ(p.pair(2).num_of_destmember, 2);
    EXPECT_EQ(p.pair(2).GroupIP[3], 250);
    EXPECT_EQ(p.plan.PairSelected[1], 1);
    EXPECT_EQ(p.plan.PairSelected[2], 0);
    // The unset pair 4 moved to place 3 as defaults: no pair is left twice.
    EXPECT_EQ(p.pair(3).Status, 0);
    EXPECT_EQ(p.pair(3).GroupIP[2], 3);
    EXPECT_EQ(p.pair(4).Status, 0);
    EXPECT_EQ(p.pages.calls.filter("move").first(), "move 2 1");
    EXPECT_EQ(p.page.SourceEdit->text(), pairPortLabel(3, 1));
}

TEST(PortConfig, TabsGrowToEightAndPairOneStays)
{
    PairPage p;
    p.page.OnDeletePair();
    EXPECT_EQ(p.prompter.messages(), QStringList{"Test Pair 1 cannot be deleted!"});
    for (int tab = 1; tab < 8; ++tab)
        p.showTab(tab);
    EXPECT_EQ(p.page.PairCount(), 8);
    EXPECT_EQ(p.page.TabCtrl->tabText(7), "Test Pair 8");
    EXPECT_EQ(p.page.TabCtrl->tabText(8), "+");
    p.showTab(8);
    EXPECT_EQ(p.prompter.messages().last(), "Maximum Eight Test Pair Support");
    EXPECT_EQ(p.page.TabCtrl->count(), 9);
    EXPECT_EQ(p.page.SelectedTab(), 7);

    // Deleting pair 1 of several is allowed.
    p.showTab(0);
    p.page.OnDeletePair();
    EXPECT_EQ(p.page.PairCount(), 7);
    EXPECT_EQ(p.page.TabCtrl->tabText(0), "Test Pair 1");
}

TEST(PortConfig, SmallestHostCountGoesToTheAggregatePage)
{
    std::vector<PortSpec> ports = eightPorts();
    for (std::uint8_t port = 1; port <= 4; ++port)
        ports.push_back({{1, 4, port}});
    PairPage p(ports);
    p.setPair(0, pairPortLabel(2, 1), {pairPortLabel(2, 2), pairPortLabel(2, 3)});
    p.setPair(1, pairPortLabel(2, 4),
              {pairPortLabel(3, 1), pairPortLabel(3, 2), pairPortLabel(3, 3), pairPortLabel(3, 4),
               pairPortLabel(4, 1)});
    EXPECT_EQ(p.page.MinHostCount(), 2);
    EXPECT_EQ(p.pages.calls.filter("limit").last(), "limit 2");
    p.page.OnReset();
    p.page.UpdateMinHostCount();
    EXPECT_EQ(p.pages.calls.filter("limit").last(), "limit -1");
    EXPECT_EQ(p.pages.calls.filter("clear").size(), 16); // SetPlan and Reset
    expectRecord(2, 2, 0, 0, 0, 0, 0);
}

// The hidden available grid is refilled and emptied with the shown one: by a refresh, by the hosts an
// Add takes, by showing a pair and by a reset of the page.
TEST(PortConfig, HiddenGridsFollowTheShownOnes)
{
    PairPage p;
    p.page.OnReset();
    EXPECT_EQ(rowNames(p.page.AvailableGrid).size(), 7);
    EXPECT_EQ(rowNames(p.page.HiddenAvailableGrid), rowNames(p.page.AvailableGrid));
    EXPECT_TRUE(rowNames(p.page.HiddenSelectedGrid).isEmpty());
    EXPECT_EQ(p.page.HiddenSourceList, items(p.page.SourceCombo));

    p.addHosts({pairPortLabel(2, 2), pairPortLabel(3, 1)});
    EXPECT_EQ(rowNames(p.page.AvailableGrid).size(), 5);
    EXPECT_EQ(rowNames(p.page.HiddenAvailableGrid), rowNames(p.page.AvailableGrid));
    EXPECT_FALSE(p.page.HiddenSourceList.contains(pairPortLabel(3, 1)));

    p.page.OnSet();
    p.showTab(1);
    EXPECT_TRUE(rowNames(p.page.HiddenAvailableGrid).isEmpty());
    p.page.RefreshPortGrids();
    EXPECT_EQ(rowNames(p.page.HiddenAvailableGrid), rowNames(p.page.AvailableGrid));
    p.page.ResetDialog();
    EXPECT_TRUE(rowNames(p.page.HiddenAvailableGrid).isEmpty());
    EXPECT_TRUE(p.page.HiddenSourceList.isEmpty());

    // None of them is ever shown.
    p.page.show();
    for (QWidget *hidden : std::initializer_list<QWidget *>{
             p.page.HiddenAvailableGrid, p.page.HiddenSelectedGrid, p.page.HiddenAddButton,
             p.page.HiddenRemoveButton, p.page.HiddenRemoveAllButton, p.page.DebugButton})
        EXPECT_FALSE(hidden->isVisible());
}

// The hidden buttons move rows between the hidden grids and rebuild the source lists from them: the
// hidden selection leaves the lists and the shown available hosts, the lists keep the remembered
// source and take the hidden available ports (the shown list only the QM-M08 ones).
TEST(PortConfig, HiddenButtonsMoveRowsAndRebuildTheSourceLists)
{
    std::vector<PortSpec> ports;
    for (std::uint8_t port = 1; port <= 4; ++port)
        ports.push_back({{1, 2, port}, 53});
    for (std::uint8_t port = 1; port <= 4; ++port)
        ports.push_back({{1, 3, port}, 55});
    PairPage p(ports);
    p.page.OnReset();
    const QString source = pairPortLabel(2, 1);
    ASSERT_EQ(p.page.SourceCombo->currentText(), source);
    const auto label = [](std::uint8_t card, std::uint8_t port) {
        return pairPortLabel(card, port, card == 2 ? 53 : 55);
    };

    for (const QString &host : {label(2, 2), label(3, 1)})
        p.page.HiddenAvailableGrid->SetRowChecked(p.page.HiddenAvailableGrid->FindRowByKey(host), 1);
    p.page.HiddenAddButton->click();
    EXPECT_EQ(rowNames(p.page.HiddenSelectedGrid), (QStringList{label(2, 2), label(3, 1)}));
    const QStringList left{label(2, 3), label(2, 4), label(3, 2), label(3, 3), label(3, 4)};
    EXPECT_EQ(rowNames(p.page.HiddenAvailableGrid), left);
    EXPECT_EQ(rowNames(p.page.AvailableGrid), left);
    EXPECT_EQ(items(p.page.SourceCombo), (QStringList{source, label(3, 2), label(3, 3), label(3, 4)}));
    EXPECT_EQ(p.page.HiddenSourceList, QStringList{source} + left);

    p.page.HiddenRemoveAllButton->click();
    EXPECT_TRUE(rowNames(p.page.HiddenSelectedGrid).isEmpty());
    EXPECT_EQ(rowNames(p.page.HiddenAvailableGrid).size(), 7);
    EXPECT_EQ(rowNames(p.page.AvailableGrid), rowNames(p.page.HiddenAvailableGrid));
    EXPECT_EQ(items(p.page.SourceCombo),
              (QStringList{source, label(3, 1), label(3, 2), label(3, 3), label(3, 4)}));
    EXPECT_EQ(p.page.HiddenSourceList.size(), 8);
    // With nothing selected, Remove all changes nothing.
    p.page.HiddenRemoveAllButton->click();
    EXPECT_EQ(rowNames(p.page.HiddenAvailableGrid).size(), 7);
}
