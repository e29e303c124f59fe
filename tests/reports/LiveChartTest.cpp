// The live chart dialogs: the values they take from the per-port tables, their chart and layout, the
// timer that redraws them while shown, and their updates during a run against the simulated chassis.
#include "common/EnglishTexts.h"
#include "common/SimulatorProcedureTest.h"
#include "controls/grid/MyCug.h"
#include "engine/EngineHost.h"
#include "engine/IGMPTestPlan.h"
#include "engine/RunState.h"
#include "engine/Session.h"
#include "kvserver/KvServer.h"
#include "platform/chart/ChartViewer.h"
#include "reports/ReportDynamicDlg.h"
#include "reports/ReportMaxThroughputDlg.h"
#include "reports/ReportStandard.h"
#include "run/TestReportDlg.h"
#include "widgets/WidgetTestSupport.h"

#include <QTest>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>
#include <mutex>

namespace {

using namespace std::chrono_literals;

// Four ports of chassis 1 in the session tables, by index: (1,2,1) type 53, (1,2,2) type 5 with a
// 0.4 us time-stamp tick, (1,2,3) type 13 with 0.0004 us, (1,2,4) type 53.
class LiveChartTest : public testing::Test
{
protected:
    void SetUp() override
    {
        g_Session.resetTables();
        EngineHost::instance().reset();
        english.install();
        const std::uint8_t types[] = {53, 5, 13, 53};
        g_Session.PortCount = 4;
        for (std::uint8_t i = 0; i < 4; ++i) {
            const UtPortId id{1, 2, std::uint8_t(i + 1)};
            g_Session.PortTable[i] = {id, types[i], 0};
            g_Session.PortIndex[1][2][i + 1] = i;
        }
        plan.FrameSize = 64;
        // List 2: (1,2,2), (1,2,3) and a port the inventory does not hold; list 3: (1,2,1).
        plan.PortLists[1] = {{{1, 2, 2}, {}}, {{1, 2, 3}, {}}, {{1, 9, 4}, {}}};
        plan.PortLists[2] = {{{1, 2, 1}, {}}};
    }
    void TearDown() override
    {
        EngineHost::instance().reset();
        g_Session.resetTables();
    }

    // Counters and latency ticks of every port.
    void fillTables()
    {
        g_Session.allocatePortArrays(4);
        for (std::uint8_t i = 0; i < 4; ++i) {
            g_Session.PortCounters[i].NormalSize = 1000u * (i + 1);
            g_Session.PortStates[i].MaxLatencyTicks = 1000;
        }
    }

    // The hot-spot titles of the chart the dialog shows.
    static QStringList hotSpotTitles(const CReportLiveChart &dialog)
    {
        QStringList titles;
        if (const ImageMapHandler *map = dialog.Viewer->GetImageMapHandler()) {
            for (const HotSpot &spot : map->spots())
                titles << spot.title;
        }
        return titles;
    }

    EnglishTexts english;
    CIGMPTestPlan plan;
};

} // namespace

TEST_F(LiveChartTest, PointsFollowThePortListsAndTheTables)
{
    fillTables();
    const LivePoints points = CReportLiveChart::ComputeLivePoints(plan, g_Session);
    EXPECT_TRUE(points.HasCounters);
    EXPECT_TRUE(points.HasStates);
    EXPECT_EQ(points.XLabels, QStringList({"(1,2,2)", "(1,2,3)", "(1,9,4)", "(1,2,1)"}));
    ASSERT_EQ(points.PointCount(), 4);
    struct Case
    {
        const char *port;
        double throughput, ct, sf;
    };
    const Case cases[] = {
        // CT 1000 ticks = 40 us; 0.4 us x (2 x 64 + 16) = 57.6 us is more than that: SF 0.
        {"(1,2,2)", 2000, 40, 0},
        {"(1,2,3)", 3000, 40, 40 - double(0.0004f * 144.0f)},
        {"unknown port", 0, 0, 0},
        {"third list", 1000, 0, 0},
    };
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(cases[i].port);
        EXPECT_DOUBLE_EQ(points.ThroughputValues[std::size_t(i)], cases[i].throughput);
        EXPECT_NEAR(points.CTLatencyValues[std::size_t(i)], cases[i].ct, 1e-9);
        EXPECT_NEAR(points.SFLatencyValues[std::size_t(i)], cases[i].sf, 1e-9);
        EXPECT_FALSE(std::isfinite(points.FillerValues[std::size_t(i)])) << "fillers draw no bar";
    }

    // Without the tables the points keep their labels and have no layers.
    g_Session.resetTables();
    const LivePoints bare = CReportLiveChart::ComputeLivePoints(plan, g_Session);
    EXPECT_FALSE(bare.HasCounters);
    EXPECT_FALSE(bare.HasStates);
    EXPECT_EQ(bare.PointCount(), 4);
}

TEST_F(LiveChartTest, ProcedureListsHostsThenSourcesEachOnce)
{
    const auto port = [](std::uint8_t number) {
        UtTestPort p{};
        p.Id = {1, 2, number};
        return p;
    };
    plan.HostPorts = {port(2), port(3), port(2)};
    plan.SourcePorts = {port(1), port(3)};
    plan.PortLists[0] = {{{1, 9, 9}, {}}};
    plan.FillPortLists();
    const auto ids = [](const std::vector<KV_PROJECT_PORT_T> &list) {
        std::vector<int> numbers;
        for (const KV_PROJECT_PORT_T &entry : list)
            numbers.push_back(entry.Id.PID);
        return numbers;
    };
    EXPECT_TRUE(plan.PortLists[0].empty());
    EXPECT_EQ(ids(plan.PortLists[1]), std::vector<int>({2, 3}));
    EXPECT_EQ(ids(plan.PortLists[2]), std::vector<int>({1})) << "a host that also sends stays on list 2";
}

TEST_F(LiveChartTest, RedrawShowsOneBarPerValueAndNoneWithoutTables)
{
    fillTables();
    CReportStandard dialog;
    dialog.SetPlan(&plan);
    dialog.RedrawChart(600, 300, *dialog.Viewer);
    ASSERT_NE(dialog.Viewer->GetChart(), nullptr);
    EXPECT_EQ(dialog.Viewer->GetChart()->width(), 600);
    const QStringList titles = hotSpotTitles(dialog);
    EXPECT_EQ(titles.size(), 12) << "throughput, CT and SF of four points; fillers leave none";
    for (const char *title : {"(1,2,2)-Throughput:2000", "(1,2,3)-Latency(CT):40", "(1,2,2)-Latency(SF):0",
                              "(1,2,1)-Latency(CT):0", "(1,9,4)-Throughput:0"})
        EXPECT_TRUE(titles.contains(QString::fromLatin1(title))) << title << "\n"
                                                                 << titles.join('\n').toStdString();

    g_Session.resetTables();
    dialog.RedrawChart(600, 300, *dialog.Viewer);
    ASSERT_NE(dialog.Viewer->GetChart(), nullptr) << "axes, title and legend still show";
    EXPECT_TRUE(hotSpotTitles(dialog).isEmpty());

    // Without a plan there are no points at all.
    fillTables();
    dialog.SetPlan(nullptr);
    dialog.RedrawChart(600, 300, *dialog.Viewer);
    EXPECT_EQ(dialog.Points().PointCount(), 0);
    EXPECT_TRUE(hotSpotTitles(dialog).isEmpty());
}

TEST_F(LiveChartTest, EachDialogLaysOutItsChartOverItsGrid)
{
    CReportStandard standard;
    CReportDynamicDlg dynamic;
    CReportMaxThroughputDlg maxThroughput;
    struct Case
    {
        CReportLiveChart *dialog;
        COLORREF background;
        QSize size;
        const char *chartName;
    };
    const Case cases[] = {
        {&standard, RGB(0x87, 0xCE, 0xFA), {672, 418}, "ctl1180"},
        {&dynamic, RGB(0xBB, 0xFE, 0xFE), {672, 431}, "ctl1183"},
        {&maxThroughput, RGB(0x11, 0xEE, 0xC2), {684, 444}, "ctl1186"},
    };
    for (const Case &c : cases) {
        CReportLiveChart &dialog = *c.dialog;
        SCOPED_TRACE(c.chartName);
        // Not yet laid out: the chart takes the default size.
        dialog.InitChart();
        ASSERT_NE(dialog.Viewer->GetChart(), nullptr);
        EXPECT_EQ(dialog.Viewer->GetChart()->width(), CReportLiveChart::kDefaultWidth);
        EXPECT_EQ(dialog.Viewer->GetChart()->height(), CReportLiveChart::kDefaultHeight);

        dialog.show();
        EXPECT_EQ(dialog.size(), c.size);
        EXPECT_EQ(dialog.Viewer->objectName(), c.chartName);
        const int w = c.size.width();
        const int h = c.size.height();
        const QRect chart(0, 1, w, h * 3 / 5);
        EXPECT_EQ(dialog.SizeReference->geometry(), chart);
        EXPECT_EQ(dialog.Viewer->geometry(), chart);
        EXPECT_EQ(dialog.Grid->geometry(), QRect(0, chart.bottom() + 2, w, h - chart.bottom() - 2));
        EXPECT_EQ(dialog.Viewer->GetChart()->width(), w);
        EXPECT_EQ(dialog.Viewer->GetChart()->height(), h * 3 / 5);
        // The chart's own background shows outside its plot area.
        EXPECT_EQ(pixelRef(*dialog.Viewer, 3, chart.height() - 3), c.background);
        const COLORREF plot = pixelRef(*dialog.Viewer, 80 + 5, 40 + 5);
        EXPECT_TRUE(plot == RGB(0xFF, 0xFF, 0xFF) || plot == RGB(0xF8, 0xF8, 0xF8)) << "plot area " << plot;
    }
}

TEST_F(LiveChartTest, TimerRedrawsOnlyWhileShown)
{
    fillTables();
    CReportDynamicDlg dialog;
    dialog.SetPlan(&plan);
    EXPECT_EQ(dialog.RedrawTimer.interval(), 1000);
    EXPECT_FALSE(dialog.RedrawTimer.isActive());
    dialog.RedrawTimer.setInterval(5);
    dialog.show();
    ASSERT_TRUE(dialog.RedrawTimer.isActive());
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.Points().PointCount() == 4; }, 5000));
    EXPECT_EQ(dialog.Viewer->GetChart()->width(), dialog.SizeReference->width());

    dialog.hide();
    EXPECT_FALSE(dialog.RedrawTimer.isActive());
    plan.PortLists[1].clear();
    QTest::qWait(30);
    EXPECT_EQ(dialog.Points().PointCount(), 4) << "no redraw while hidden";
}

namespace {

// The Mixed Class procedure against the simulated chassis in simulated time, with the report window's
// live charts redrawn every virtual half second as their timer would.
class LiveChartRunTest : public SimulatorProcedureTest
{
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(startEngineOnSimulator());
        // Pair 1: source (2,1), hosts (2,2) and (2,3).
        planPairOne({1, 2});
        plan.TestDuration = 3;
        plan.InitialRate = 50;
        plan.MinRate = 10;
        plan.MaxRate = 50;
        plan.Resolution = 50;
    }
};

} // namespace

TEST_F(LiveChartRunTest, ChartsFollowTheRunningTest)
{
    CReportLiveChart *charts[] = {report.StandardChart, report.DynamicChart, report.MaxThroughputChart};
    struct Seen
    {
        double hostFrames = 0;
        double hostLatency = 0;
        double sourceLatency = 0;
        int redraws = 0;
    } seen;
    for (int tick = 1; tick <= 120; ++tick) {
        clock->callAt(tick * 500ms, [&] {
            for (CReportLiveChart *chart : charts) {
                chart->OnRedrawTimer();
                std::lock_guard<std::recursive_mutex> lock(g_ChartLock);
                const LivePoints &points = chart->Points();
                if (points.PointCount() != 3)
                    continue;
                ++seen.redraws;
                seen.hostFrames = std::max(seen.hostFrames, points.ThroughputValues[0]);
                seen.hostLatency = std::max(seen.hostLatency, points.CTLatencyValues[0]);
                seen.sourceLatency = std::max(seen.sourceLatency, points.CTLatencyValues[2]);
            }
        });
    }
    ASSERT_TRUE(report.PerformMixedClassTest()) << log.join("").toStdString();

    // The procedure listed its hosts, then its source.
    ASSERT_EQ(plan.PortLists[1].size(), 2u);
    ASSERT_EQ(plan.PortLists[2].size(), 1u);
    EXPECT_TRUE(plan.PortLists[0].empty());
    EXPECT_EQ(report.StandardChart->Points().XLabels, QStringList({"(1,2,2)", "(1,2,3)", "(1,2,1)"}));
    EXPECT_GT(seen.redraws, 0);
    EXPECT_GT(seen.hostFrames, 0) << "the hosts' receive counters grew while the traffic ran";
    EXPECT_GT(seen.hostLatency, 0);
    EXPECT_EQ(seen.sourceLatency, 0) << "the source is on the third list";
}
