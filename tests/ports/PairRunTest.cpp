// Pairs formed only through the test-pair editor, run against the simulated chassis and device: the
// stream numbers and counter items the editor gives the ports make the hosts count what the source sends.
#include "PortSessionFixture.h"
#include "common/SimulatorProcedureTest.h"

#include "controls/grid/KvAvlGrid.h"
#include "engine/IGMPTestPlan.h"
#include "engine/RunState.h"
#include "ports/PortConfig.h"
#include "run/TestReportDlg.h"

#include <QComboBox>
#include <QTabBar>
#include <gtest/gtest.h>

namespace {

QString runPortLabel(std::uint8_t card, std::uint8_t port)
{
    QString text;
    FormatPortLabel(
        {{1, card, port}, g_Session.PortTable[LookupPortIndex(1, g_Session.PortIndex, card, port)].TYPE},
        text);
    return text;
}

// The simulator in real time, every port locked by this program.
class PairRun : public SimulatorProcedureTest
{
};

} // namespace

TEST_F(PairRun, MixedClassCountsThePairsStreams)
{
    installEngineHooks();
    ASSERT_NO_FATAL_FAILURE(startSimulatorInRealTime({}));
    for (std::uint16_t i = 0; i < g_Session.PortCount; ++i)
        g_Session.LockedFlags[i] = 1;
    ScriptedPrompter prompter;

    // Pair 2: source (2,1), hosts (2,2) and (2,3).
    CPortConfig page;
    page.SetPlan(&plan);
    page.TabCtrl->setCurrentIndex(1);
    page.SourceCombo->setCurrentIndex(page.SourceCombo->findText(runPortLabel(2, 1)));
    page.OnSourceComboChange();
    for (std::uint8_t port : {2, 3})
        page.AvailableGrid->SetRowChecked(page.AvailableGrid->FindRowByKey(runPortLabel(2, port)), 1);
    page.OnAddHosts();
    page.OnSet();
    ASSERT_TRUE(prompter.messages().isEmpty()) << prompter.messages().join("|").toStdString();
    ASSERT_EQ(plan.TestPairs[1].Status, 1);

    // What the Mixed Class page makes of the pair: its ports, the unicast port and the pair selected.
    UtTestPair &pair = plan.TestPairs[1];
    pair.UniCid = 1;
    pair.UniBid = 2;
    pair.UniPid = 3;
    for (std::uint8_t i = 0; i < g_Session.Ports.size(); ++i) {
        const UtPortRecord &record = g_Session.Ports[i];
        if (record.SourcePair == 2)
            plan.SourcePorts.push_back(testPortOf(i));
        if (record.HostPair == 2) {
            UtTestPort port = testPortOf(i);
            port.Flag = record.PID == 3;
            plan.HostPorts.push_back(port);
        }
    }
    plan.PairSelected[1] = 1;
    plan.IgmpVersion = 2;
    plan.FrameSize = 64;
    plan.TestDuration = 1;
    plan.NumberOfTrials = 1;
    plan.DelayAfterJoin = 0;
    plan.InitialRate = 100;
    plan.MinRate = 10;
    plan.MaxRate = 100;
    plan.Resolution = 1;
    report.SetPlan(&plan);
    run.ReportRow = ReportPage::kFirstResultRow;
    EXPECT_TRUE(report.PerformMixedClassTest()) << logText();
    EXPECT_FALSE(passedRates().isEmpty()) << logText();
}
