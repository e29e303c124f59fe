// The Group Capacity procedure against the simulated chassis and device: the capacity it finds is the
// device's group table, past the 32 entries of one burst, with several hosts and at every frame size; the
// page's grid, the counter page and both reports show the same counts.
#include "bench/ServerProgram.h"
#include "common/EnglishTexts.h"
#include "common/PdfReadBack.h"
#include "controls/widgets/SkinListCtrl.h"
#include "engine/EngineHost.h"
#include "engine/IGMPTestPlan.h"
#include "engine/RunState.h"
#include "engine/Session.h"
#include "engine/SimulatedTimeClock.h"
#include "engine/SimulatorConnection.h"
#include "engine/TestPlanPorts.h"
#include "engine/WaitClock.h"
#include "kvserver/KvServer.h"
#include "reports/CounterLog.h"
#include "reports/ReportReadBack.h"
#include "run/TestReportDlg.h"
#include "testpages/DlgCapacity.h"

#include <QLabel>
#include <QTableWidget>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

// Multicast frames received by one port, as the counter page's row of that port shows them.
constexpr int kCounterMulticastColumn = CCounterLog::ColTxPacket + 6;

class CapacityEndToEnd : public testing::Test
{
protected:
    // The engine's hooks, a connection to a simulator with `config` and a fresh log.
    void connect(SimConfig config)
    {
        g_Session.resetTables();
        EngineHost &host = EngineHost::instance();
        host.reset();
        host.demoMode = [] { return false; };
        host.appendLog = [this](const QString &text) { log << text; };
        host.setStatusText = [](const QString &) {};
        english.install();
        log.clear();
        config.timeScale = 0;
        ASSERT_NO_FATAL_FAILURE(startLockedSimulator(server, config, &clock));
    }

    void TearDown() override
    {
        clock.server = nullptr;
        if (server)
            disconnectFromSimulator(server);
    }

    // Pair 1: source (2,1) and the hosts of the given port records.
    void preparePlan(const std::vector<std::uint8_t> &hosts)
    {
        plan.SourcePorts.clear();
        plan.HostPorts.clear();
        plan.TestPairs.clear();
        plan.TestPairs.push_back(
            {1, 1, std::uint16_t(hosts.size()), 1, 2, 1, 0, {239, 1, 1, 1}, 1, 0xFFFF, 0xFF, 0xFF});
        plan.PairSelected[0] = 1;
        std::vector<std::uint8_t> ports = {0};
        ports.insert(ports.end(), hosts.begin(), hosts.end());
        addPairOnePorts(plan, ports);
        for (UtTestPort &port : plan.HostPorts)
            port.Flag = 0;
        plan.IgmpVersion = 2;
        plan.TestType = kTestCapacity;
        plan.NumberOfTrials = 1;
        report.SetPlan(&plan);
    }

    // The count of the grid's host rows, which follow the pair's title row.
    QStringList gridCounts() const
    {
        QStringList counts;
        for (int row = 1; row < page.ResultGrid->rowCount(); ++row) {
            const QTableWidgetItem *item = page.ResultGrid->item(row, 1);
            counts << (item ? item->text().trimmed() : QString());
        }
        return counts;
    }

    // The multicast count of each host on the counter page.
    QStringList counterPageCounts() const
    {
        QStringList counts;
        for (const UtTestPort &host : plan.HostPorts)
            counts << report.CounterPage->List
                          ->GetItemText(int(g_Session.Ports[host.PortIndex].CounterRow),
                                        kCounterMulticastColumn)
                          .trimmed();
        return counts;
    }

    std::string logText() const { return log.join("").toStdString(); }

    RunState run;
    SimulatedTimeClock clock;
    CIGMPTestPlan plan;
    CTestReportDlg report;
    CDlgCapacity page;
    QStringList log;
    EnglishTexts english;
    std::unique_ptr<KvServer> server;
};

} // namespace

// Three hosts, the table just at or just under the counts tried: every count up to the table passes,
// the next fails, whatever the frame size.
TEST_F(CapacityEndToEnd, CapacityIsTheDeviceGroupTableAtEveryFrameSize)
{
    struct Case
    {
        std::uint32_t frameSize, table, initial, step, max;
    };
    const Case cases[] = {
        {64, 70, 33, 37, 107},
        {1518, 1000, 999, 1, 1001},
        {9000, 7999, 7999, 1, 8000},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.frameSize << " bytes, table " << c.table);
        SimConfig config;
        config.device.groupTableSize = c.table;
        ASSERT_NO_FATAL_FAILURE(connect(config));
        preparePlan({1, 2, 3});
        plan.InitialGroups = c.initial;
        plan.GroupStep = c.step;
        plan.MaxGroups = c.max;
        report.CounterPage->ResetCounterLog();

        ASSERT_TRUE(report.PerformCapacityTest(c.frameSize)) << logText();
        EXPECT_EQ(page.CapacityLabel->text(), QString::number(c.table)) << logText();
        // The failing step: every host got the table's groups, not one more.
        const QString table = QString::number(c.table);
        EXPECT_EQ(gridCounts(), QStringList({table, table, table})) << logText();
        EXPECT_EQ(counterPageCounts(), gridCounts());
        EXPECT_TRUE(log.contains(QStringLiteral("============     Number of  Group %1  Leave in trail - 1 "
                                                "===========\n")
                                     .arg(c.max)))
            << logText();
        clock.server = nullptr;
        disconnectFromSimulator(server);
    }
}
