// The Group Capacity and Join/Leave pages: their checks before a run, the copy into the test plan and
// the Capacity monitor-port list.
#include "PageFixture.h"

#include "controls/widgets/NumEdit.h"
#include "platform/ScriptedPrompter.h"
#include "testpages/DlgCapacity.h"
#include "testpages/DlgJoinLeave.h"

#include <QCheckBox>
#include <QComboBox>
#include <gtest/gtest.h>

namespace {

struct GroupPages : PageFixture
{
    // Pair 1: source (1,2,1), hosts (1,2,2) and, when asked, (1,2,3); (1,10,1) and (1,3,1) in no pair.
    explicit GroupPages(bool thirdHost = false)
    {
        lock(1, 2, 1, 1, 0);
        lock(1, 2, 2, 0, 1);
        if (thirdHost)
            lock(1, 2, 3, 0, 1);
        lock(1, 10, 1, 0, 0);
        lock(1, 3, 1, 0, 0);
        usePairs({1});
    }
    void lock(std::uint16_t chassis, std::uint8_t card, std::uint8_t port, std::uint8_t source,
              std::uint8_t host)
    {
        addPort(chassis, card, port, source, host);
        g_Session.PortIndex[chassis][card][port] = std::int16_t(g_Session.PortCount - 1);
    }
    template <typename Page> void tickPairOne(Page &page)
    {
        page.PairChecked[1] = 1;
        page.FillPairGrid();
    }
    ScriptedPrompter prompter;
};

} // namespace

TEST(CapacityPage, MonitorListHoldsLockedNonSourcePortsInTextOrderAndKeepsTheChoice)
{
    GroupPages s;
    CDlgCapacity page;
    QStringList entries;
    for (int i = 0; i < page.MonitorCombo->count(); ++i)
        entries << page.MonitorCombo->itemText(i);
    EXPECT_EQ(entries, (QStringList{"(1, 10, 1)", "(1, 2, 2)", "(1, 3, 1)"}));
    EXPECT_EQ(page.MonitorCombo->currentIndex(), 0);

    page.MonitorCombo->setCurrentIndex(2);
    g_Session.LockedFlags[0] = 0;
    g_Session.Ports[0].SourcePair = 0; // (1,2,1) is no source any more, but not locked either
    page.FillPairGrid();
    EXPECT_EQ(page.MonitorCombo->count(), 3);
    EXPECT_EQ(page.MonitorCombo->currentText(), "(1, 3, 1)");
    // The chosen port gone: the first entry.
    g_Session.LockedFlags[3] = 0;
    page.FillMonitorPortCombo();
    EXPECT_EQ(page.MonitorCombo->currentText(), "(1, 10, 1)");
}

// Every refusal names what stops the run; the view shows it after the test's own line.
TEST(CapacityPage, ChecksBeforeARun)
{
    struct Case
    {
        const char *name;
        bool thirdHost, tick;
        const char *monitor;
        const char *initial, *step, *frameSize;
        const char *reason; // empty: the page can run
    };
    const Case cases[] = {
        {"monitor of no pair", false, true, "(1, 3, 1)", "100", "10", "64", ""},
        {"initial above maximum", false, true, "(1, 3, 1)", "200", "10", "64",
         "Number of Initial Groups is 200 but Number of Max Groups is 110: Number of Initial Groups must not "
         "be above Number of Max Groups."},
        {"no pair ticked", false, false, "(1, 3, 1)", "100", "10", "64",
         "No pair is ticked: tick at least one pair of the pair list."},
        {"monitor and one port more", false, true, "(1, 2, 2)", "100", "10", "64",
         "There's no other Rx port except the monitoring port."},
        {"monitor and two ports more", true, true, "(1, 2, 2)", "100", "10", "64", ""},
        {"group step 0 from a file", false, true, "(1, 3, 1)", "100", "0", "64",
         "Group Increase Step is 0: it must lie between 1 and 8000."},
        {"frame size beyond the range", false, true, "(1, 3, 1)", "100", "10", "70000",
         "Frame Size(byte) is 70000: it must lie between 64 and 16100."},
        {"frame size below the streams' minimum", false, true, "(1, 3, 1)", "100", "10", "60",
         "Frame Size(byte) is 60: it must lie between 64 and 16100."},
        {"text that is no number", false, true, "(1, 3, 1)", "1x", "10", "64",
         "Number of Initial Groups is 1x: it must lie between 1 and 8000."},
        {"an empty field", false, true, "(1, 3, 1)", "", "10", "64",
         "Number of Initial Groups is empty: it must lie between 1 and 8000."},
        {"a sign as a file may write it", false, true, "(1, 3, 1)", "+100", "10", "64", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        GroupPages s(c.thirdHost);
        CDlgCapacity page;
        if (c.tick)
            s.tickPairOne(page);
        page.MonitorCombo->setCurrentIndex(page.MonitorCombo->findText(c.monitor));
        page.InitialGroups.Edit->setText(c.initial);
        page.GroupStep.Edit->setText(c.step);
        page.FrameSize.Edit->setText(c.frameSize);
        EXPECT_EQ(page.CheckFieldsValid(), *c.reason == '\0');
        EXPECT_EQ(page.RefusalReason().toStdString(), c.reason);
        EXPECT_EQ(s.prompter.messages(), QStringList{});
    }

    // Every locked port a source: nothing to watch with.
    GroupPages s;
    for (UtPortRecord &record : g_Session.Ports)
        record.SourcePair = record.SourcePair ? record.SourcePair : 2;
    CDlgCapacity page;
    s.tickPairOne(page);
    EXPECT_EQ(page.MonitorCombo->count(), 0);
    EXPECT_FALSE(page.CheckFieldsValid());
    EXPECT_EQ(page.RefusalReason(), "No monitor port is chosen: the Monitor Port Select list holds no port.");
}

TEST(CapacityPage, ApplyFlagsTheMonitorAmongTheHostsOrAddsIt)
{
    for (const bool monitorIsHost : {true, false}) {
        GroupPages s(true);
        CDlgCapacity page;
        s.tickPairOne(page);
        page.MonitorCombo->setCurrentIndex(
            page.MonitorCombo->findText(monitorIsHost ? "(1, 2, 2)" : "(1, 3, 1)"));
        page.Trials.Edit->setText("3");
        page.DelayAfterStart.Edit->setText("7");
        page.FrameSize.Edit->setText("128");
        page.InitialGroups.Edit->setText("5");
        page.GroupStep.Edit->setText("2");
        page.MaxGroups.Edit->setText("9");
        page.IgmpVersionCombo->setCurrentIndex(2);
        page.ApplyToTestConfig(s.plan);
        EXPECT_EQ(page.RunList, std::vector<std::uint32_t>{128});
        EXPECT_EQ(s.plan.NumberOfTrials, 3u);
        EXPECT_EQ(s.plan.DelayAfterStart, 7u);
        EXPECT_EQ(s.plan.TestDuration, 0u);
        EXPECT_EQ(s.plan.IgmpVersion, 3);
        EXPECT_EQ(s.plan.InitialGroups, 5u);
        EXPECT_EQ(s.plan.GroupStep, 2u);
        EXPECT_EQ(s.plan.MaxGroups, 9u);
        EXPECT_EQ(s.plan.PairSelected[0], 1);
        ASSERT_EQ(s.plan.SourcePorts.size(), 1u);
        ASSERT_EQ(s.plan.HostPorts.size(), monitorIsHost ? 2u : 3u);
        int monitors = 0;
        for (const UtTestPort &host : s.plan.HostPorts)
            monitors += host.Monitor;
        EXPECT_EQ(monitors, 1);
        const UtTestPort &monitor = monitorIsHost ? s.plan.HostPorts[0] : s.plan.HostPorts[2];
        EXPECT_EQ(monitor.Monitor, 1);
        EXPECT_EQ(monitor.Id.BID, monitorIsHost ? 2 : 3);
        EXPECT_EQ(int(monitor.PortIndex), monitorIsHost ? 1 : 4);
        EXPECT_EQ(monitor.TYPE, monitorIsHost ? 53 : 0);
    }
}

TEST(JoinLeavePage, ChecksApplyAndTheLastMeasureBox)
{
    GroupPages s;
    CDlgJoinLeave page;
    EXPECT_FALSE(page.CheckFieldsValid());
    EXPECT_EQ(page.RefusalReason(), "No pair is ticked: tick at least one pair of the pair list.");
    s.tickPairOne(page);
    EXPECT_TRUE(page.CheckFieldsValid());
    page.TestDuration.Edit->setText("0");
    EXPECT_FALSE(page.CheckFieldsValid());
    page.TestDuration.Edit->setText("20");

    // Unticking the last ticked box is undone at once.
    page.MeasureJoinCheck->click();
    EXPECT_FALSE(page.MeasureJoinCheck->isChecked());
    page.MeasureLeaveCheck->click();
    EXPECT_TRUE(page.MeasureLeaveCheck->isChecked());
    // Both unticked another way: no run.
    page.MeasureLeaveCheck->setChecked(false);
    EXPECT_FALSE(page.CheckFieldsValid());
    EXPECT_EQ(
        page.RefusalReason(),
        "Neither Enable Measure Join Delay nor Enable Measure Leave Delay is ticked: tick at least one.");
    page.MeasureLeaveCheck->setChecked(true);

    page.DelayAfterJoin.Edit->setText("3");
    page.IgmpVersionCombo->setCurrentIndex(0);
    page.ApplyToTestConfig(s.plan);
    EXPECT_EQ(s.plan.TestDuration, 20u);
    EXPECT_EQ(s.plan.DelayAfterStart, 3u);
    EXPECT_EQ(s.plan.NumberOfTrials, 1u);
    EXPECT_EQ(s.plan.CurrentRate, 100.0);
    EXPECT_EQ(s.plan.IgmpVersion, 1);
    EXPECT_EQ(s.plan.MeasureFlags, 2);
    EXPECT_EQ(page.RunList, std::vector<std::uint32_t>{64});
    EXPECT_EQ(s.plan.HostPorts.size(), 1u);
}
