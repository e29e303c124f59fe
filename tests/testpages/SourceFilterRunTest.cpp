// A Source Filter run set up only through the page, against the simulated chassis and device in
// simulated time: every group's verdict follows whether the device filters by source.
#include "common/SimulatorProcedureTest.h"
#include "controls/grid/KvAvlGrid.h"
#include "controls/grid/MyCug.h"
#include "controls/widgets/NumEdit.h"
#include "engine/EngineHost.h"
#include "engine/IGMPTestPlan.h"
#include "engine/RunState.h"
#include "engine/Session.h"
#include "kvserver/KvServer.h"
#include "platform/ScriptedPrompter.h"
#include "reports/ReportFilter.h"
#include "run/TestReportDlg.h"
#include "testpages/DlgAddressEdit.h"
#include "testpages/DlgSourceFilter.h"
#include "testpages/Ipv4Edit.h"

#include <QComboBox>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <memory>

namespace {

class SourceFilterRunTest : public SimulatorProcedureTest
{
protected:
    void start(bool filtering)
    {
        SimConfig config;
        config.device.sourceFiltering = filtering;
        ASSERT_NO_FATAL_FAILURE(startEngineOnSimulator(config));
        std::fill(g_Session.LockedFlags.begin(), g_Session.LockedFlags.end(), 1);
        page = std::make_unique<CDlgSourceFilter>();
    }

    void TearDown() override
    {
        page.reset();
        SimulatorProcedureTest::TearDown();
    }

    QString labelOf(std::uint8_t card, std::uint8_t port) const
    {
        for (const QString &label : CDlgSourceFilter::LockedPortLabels()) {
            if (label.startsWith(QString::asprintf("(  1,%2d,%d)", card, port)))
                return label;
        }
        return {};
    }
    void tick(CKvAvlGrid *grid, const QString &label)
    {
        for (int row = 0; row < grid->GetRowCount(); ++row) {
            QString text;
            grid->GetRowName(row, text);
            if (text == label)
                grid->SetRowChecked(row, 1);
        }
    }
    // Sets a group of a host item through the tree: its mode with "Set", its source with the editor.
    void setGroup(int host, int group, int modeIndex, const QString &source)
    {
        QTreeWidgetItem *item = page->AddressTree->topLevelItem(host)->child(group);
        page->AddressTree->setCurrentItem(item);
        page->FilterTypeList->setCurrentIndex(modeIndex);
        page->OnSetFilterMode();
        page->RunAddressEditor = [&source](CDlgAddressEdit &editor) {
            editor.AddressCtrl->setText(source);
            editor.OnApply();
            return editor.result();
        };
        page->OnAddAddress();
    }
    QString sourceAddress(std::uint8_t card, std::uint8_t port) const
    {
        const UtPortRecord &record = g_Session.Ports[std::size_t(FindPortRecordIndex(1, card, port))];
        const auto *bytes = reinterpret_cast<const std::uint8_t *>(&record.IPAddress);
        return QString::asprintf("%d.%d.%d.%d", bytes[0], bytes[1], bytes[2], bytes[3]);
    }

    ScriptedPrompter prompter;
    std::unique_ptr<CDlgSourceFilter> page;
};

// The device filters by source or not.
class SourceFilterDevices : public SourceFilterRunTest, public testing::WithParamInterface<bool>
{
};

} // namespace

// Sources (2,1) and (3,1); hosts (2,2) and (2,3); groups 239.2.2.2 and 239.2.2.3. Each host includes
// (2,1) in one group and excludes it in the other, so a device that ignores the source lists sends both
// sources everywhere and fails every group.
TEST_P(SourceFilterDevices, EachGroupsVerdictFollowsTheDevice)
{
    const bool filtering = GetParam();
    ASSERT_NO_FATAL_FAILURE(start(filtering));
    page->GroupAddressCtrl->setText(QStringLiteral("239.2.2.2"));
    page->GroupCountEdit->setText(QStringLiteral("2"));
    page->OnGroupCountChanged();
    page->DurationEdit->setText(QStringLiteral("2"));
    for (const QString &source : {labelOf(2, 1), labelOf(3, 1)})
        tick(page->SourceAvailableGrid, source);
    page->OnAddSourcePorts();
    for (const QString &host : {labelOf(2, 2), labelOf(2, 3)})
        tick(page->HostAvailableGrid, host);
    page->OnAddHostPorts();
    ASSERT_EQ(page->AddressTree->topLevelItemCount(), 2);
    const QString filtered = sourceAddress(2, 1);
    // The port-settings grid shows the address the source sends from.
    QString shown;
    page->PortGrid->GetCellTextTo(page->GetColumns().address, page->FindPortInfoRow(labelOf(2, 1)), shown);
    EXPECT_EQ(shown, filtered);
    setGroup(0, 0, 0, filtered); // (2,2): 239.2.2.2 include, 239.2.2.3 exclude
    setGroup(0, 1, 1, filtered);
    setGroup(1, 0, 1, filtered); // (2,3): the other way round
    setGroup(1, 1, 0, filtered);

    ASSERT_TRUE(page->CheckFieldsValid());
    page->ApplyToTestConfig(plan);
    ASSERT_EQ(plan.SourcePorts.size(), 2u);
    ASSERT_EQ(plan.HostPorts.size(), 2u);
    plan.TestType = TestSourceFilter;
    report.SetPlan(&plan);
    run.ReportRow = ReportPage::kFirstResultRow;
    ASSERT_TRUE(report.PerformSourceFilterTest()) << logText();
    ASSERT_EQ(report.Results.Filter.size(), 2u);
    const QString verdict = filtering ? "Pass" : "Failed";
    EXPECT_EQ(report.Results.Filter[0].Texts.front(), "Group 239.2.2.2 Test Result: " + verdict) << logText();
    EXPECT_EQ(report.Results.Filter[1].Texts.front(), "Group 239.2.2.3 Test Result: " + verdict);
    EXPECT_TRUE(prompter.messages().isEmpty());
    report.RestorePortMedia();
}

INSTANTIATE_TEST_SUITE_P(FilteringOrNot, SourceFilterDevices, testing::Bool());
