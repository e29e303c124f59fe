// The group procedures past one batch of 32 groups, against the simulated chassis and device with
// several hosts: Group Capacity finds the device's group table at every frame size, Scale Group forwards
// a full batch, and the Capacity page's grid, the counter page and both reports show the same counts.
#include "common/PdfReadBack.h"
#include "common/ServerProgram.h"
#include "common/SimulatorProcedureTest.h"
#include "controls/widgets/SkinListCtrl.h"
#include "engine/EngineHost.h"
#include "engine/IGMPTestPlan.h"
#include "engine/PlanLineRates.h"
#include "engine/PlanPortLookup.h"
#include "engine/RunState.h"
#include "engine/Session.h"
#include "kvserver/KvServer.h"
#include "reports/CounterLog.h"
#include "reports/ReportReadBack.h"
#include "run/TestReportDlg.h"
#include "testpages/DlgCapacity.h"

#include <QLabel>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

namespace {

// Multicast frames received by one port, as the counter page's row of that port shows them.
constexpr int kCounterMulticastColumn = CCounterLog::ColTxPacket + 6;

class ManyGroupsEndToEnd : public SimulatorProcedureTest
{
protected:
    // The engine's hooks and a fresh log; the grid as it stands whenever the joins of a step begin.
    void installHooks()
    {
        installEngineHooks();
        // Status keys as they stand, so that the joins' status is known in any language.
        EngineHost &host = EngineHost::instance();
        host.languageText = [](const QString &key) { return key; };
        host.setStatusText = [this](const QString &text) {
            if (text == QLatin1String("Stat_Send_Join"))
                gridsAtJoins << gridCounts();
        };
        gridsAtJoins.clear();
    }

    // Connects to a simulator of `config` in simulated time, which the waits move on.
    void connect(SimConfig config)
    {
        installHooks();
        ASSERT_NO_FATAL_FAILURE(startSimulator(std::move(config)));
    }

    // Pair 1: source (2,1) and the hosts of the given port records.
    void preparePlan(const std::vector<std::uint8_t> &hosts, std::uint32_t testType)
    {
        planPairOne(hosts);
        plan.TestType = testType;
        report.CounterPage->ResetCounterLog();
    }

    void setSteps(std::uint32_t initial, std::uint32_t step, std::uint32_t max)
    {
        plan.InitialGroups = initial;
        plan.GroupStep = step;
        plan.MaxGroups = max;
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

    QString counterCell(const UtTestPort &port, int column) const
    {
        return report.CounterPage->List->GetItemText(int(g_Session.Ports[port.PortIndex].CounterRow), column)
            .trimmed();
    }

    // The multicast count of each host on the counter page.
    QStringList counterPageCounts() const
    {
        QStringList counts;
        for (const UtTestPort &host : plan.HostPorts)
            counts << counterCell(host, kCounterMulticastColumn);
        return counts;
    }

    CDlgCapacity page;
    QList<QStringList> gridsAtJoins;
};

} // namespace

// Three hosts, the table at the counts tried: every count up to the table passes and the next fails,
// whatever the frame size. The counter page shows the bursts' full line rate, and no count stands in the
// grid before a step has read its own.
TEST_F(ManyGroupsEndToEnd, CapacityIsTheDeviceGroupTableAtEveryFrameSize)
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
        preparePlan({1, 2, 3}, TestCapacity);
        setSteps(c.initial, c.step, c.max);
        // What the test before left: a rate and line-rate counts.
        plan.CurrentRate = 25;
        for (const UtTestPort &host : plan.HostPorts)
            g_Session.PortStates[std::size_t(TestPlanSupport::hardwareIndex(host.Id))].RxCountA = 1488095;

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

        const UtTestPort &source = plan.SourcePorts.front();
        const std::uint64_t lineRate = TestPlanSupport::fullLoadFps(125'000'000, c.frameSize);
        EXPECT_EQ(counterCell(source, CCounterLog::ColFrameGap), "96");
        EXPECT_EQ(counterCell(source, CCounterLog::ColPercent), "100.00");
        EXPECT_EQ(counterCell(source, CCounterLog::ColRate), QString::number(lineRate));

        // While the joins of a step go out: nothing before the first step, the step before after it.
        ASSERT_EQ(gridsAtJoins.size(), qsizetype((c.max - c.initial) / c.step + 1));
        EXPECT_EQ(gridsAtJoins[0], QStringList({"", "", ""}));
        for (qsizetype step = 1; step < gridsAtJoins.size(); ++step) {
            const QString before = QString::number(c.initial + (step - 1) * c.step);
            EXPECT_EQ(gridsAtJoins[step], QStringList({before, before, before}));
        }
        stopSimulator();
    }
}

// A full batch of 32 groups to three hosts: every group forwarded at the full rate.
TEST_F(ManyGroupsEndToEnd, ScaleGroupForwardsAFullBatchToEveryHost)
{
    ASSERT_NO_FATAL_FAILURE(connect({}));
    preparePlan({1, 2, 3}, TestScale);
    plan.FrameSize = 64;
    plan.InitialRate = 100;
    plan.MinRate = 10;
    plan.MaxRate = 100;
    plan.Resolution = 2;
    setSteps(32, 1, 32);
    ASSERT_TRUE(report.PerformScaleGroupTest()) << logText();
    EXPECT_EQ(passedRates(), QList<double>({100.0})) << logText();
}

// Over two trials (the first one's leaves let the second join afresh), the page's figure, the counter
// page, the .xls and the PDF agree on the capacity and the counts.
TEST_F(ManyGroupsEndToEnd, ReportsShowTheCountsOfThePage)
{
    SimConfig config;
    config.device.groupTableSize = 40;
    ASSERT_NO_FATAL_FAILURE(connect(config));
    preparePlan({1, 2}, TestCapacity);
    plan.NumberOfTrials = 2;
    setSteps(33, 7, 47);
    ASSERT_TRUE(report.PerformCapacityTest(64)) << logText();
    EXPECT_EQ(log.filter(QStringLiteral("Leave in trail")).size(), 2);
    ASSERT_EQ(page.CapacityLabel->text(), "40");
    ASSERT_EQ(gridCounts(), QStringList({"40", "40"}));
    ASSERT_EQ(counterPageCounts(), gridCounts());

    QTemporaryDir folder;
    const QString xls = folder.filePath(QStringLiteral("report.xls"));
    const QString pdf = folder.filePath(QStringLiteral("report.pdf"));
    ASSERT_TRUE(report.CounterPage->SaveExcelReport(xls));
    ASSERT_TRUE(report.CounterPage->SavePdfReport(pdf));

    // The counter sheet: each host's row holds the page's count in the multicast column.
    const QJsonArray sheets = readReportBack(xls)["sheets"].toArray();
    QStringList sheetCounts;
    for (const QJsonValue &sheet : sheets) {
        for (const UtTestPort &host : plan.HostPorts) {
            const QString port = TestPlanSupport::portText(host.Id);
            for (const QJsonValue &cell : sheet.toObject()["cells"].toArray()) {
                const QJsonArray at = cell.toArray();
                if (at[1].toInt() == 0 && at[3].toString() == port)
                    sheetCounts << xlsCell(sheet.toObject(), at[0].toInt(), kCounterMulticastColumn)[3]
                                       .toVariant()
                                       .toString();
            }
        }
    }
    EXPECT_EQ(sheetCounts, gridCounts());

    // The PDF (texts by their keys here): the line of the last pass ends with it; each host's row of
    // the grid, which comes before the counter section, holds its count.
    const PdfReadBack read = readPdfBack(pdf);
    const auto lineOf = [&read](const PdfWord &first) {
        QString line;
        for (const PdfWord &word : read.Words) {
            if (word.Page == first.Page && std::abs(word.Top - first.Top) < 1 && word.Left >= first.Left)
                line += word.Text;
        }
        return line;
    };
    const auto lastPass = std::find_if(read.Words.begin(), read.Words.end(), [](const PdfWord &word) {
        return word.Text.startsWith(QLatin1String("PdfReport_Last_Pass"));
    });
    ASSERT_NE(lastPass, read.Words.end());
    EXPECT_TRUE(lineOf(*lastPass).endsWith(QLatin1String("40"))) << lineOf(*lastPass).toStdString();
    for (const char *label : {"2,2)", "2,3)"}) {
        const PdfWord *port = read.find(QLatin1String(label));
        ASSERT_NE(port, nullptr) << label;
        EXPECT_EQ(lineOf(*port), QLatin1String(label) + QLatin1String("40"));
    }
}

// Once in real time against the server program: two hosts at 100 groups, past three full bursts.
TEST_F(ManyGroupsEndToEnd, CapacityInRealTimeAgainstTheServerProgram)
{
    installHooks();
    ServerProgram program;
    ASSERT_NO_FATAL_FAILURE(connectAndLockPorts(program.port()));
    preparePlan({1, 2}, TestCapacity);
    setSteps(100, 1, 100);
    const bool done = report.PerformCapacityTest(1518);
    disconnectFromSimulator(server); // while the server program still runs
    ASSERT_TRUE(done) << logText();
    EXPECT_EQ(page.CapacityLabel->text(), "100") << logText();
    EXPECT_EQ(gridCounts(), QStringList({"100", "100"})) << logText();
}
