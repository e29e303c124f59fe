// The chart viewer with real mouse events offscreen: zooming, drag-scrolling, the update hold, tips.
#include "platform/chart/ChartViewer.h"
#include "platform/chart/ChartCursors.h"

#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QtTest>
#include <gtest/gtest.h>

namespace {

// A viewer 600 x 300 showing a chart whose plot area is (100, 50) 400 x 200, one bar in the middle.
struct ViewerFixture : testing::Test
{
    ChartViewer viewer;
    QSignalSpy changed{&viewer, &ChartViewer::viewPortChanged};
    QSignalSpy clicks{&viewer, &ChartViewer::clicked};

    void SetUp() override
    {
        viewer.resize(600, 300);
        auto chart = std::make_unique<XYChart>(600, 300);
        chart->setPlotArea(100, 50, 400, 200, 0xFFFFFF);
        chart->addBarLayer().addDataSet({0, 10, 0}, 0xFF0000, QStringLiteral("Total"));
        viewer.SetChart(std::move(chart));
        viewer.setZoomInWidthLimit(0.1);
        viewer.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&viewer));
    }
    void press(QPoint p) { QTest::mousePress(&viewer, Qt::LeftButton, {}, p); }
    void release(QPoint p) { QTest::mouseRelease(&viewer, Qt::LeftButton, {}, p); }
    void move(QPoint p, Qt::MouseButtons buttons = Qt::LeftButton)
    {
        QMouseEvent event(QEvent::MouseMove, p, viewer.mapToGlobal(p), Qt::NoButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(&viewer, &event);
    }
};

} // namespace

TEST_F(ViewerFixture, UpdateHoldMergesChangesUntilTheIntervalEnds)
{
    bool chartFlag = false, mapFlag = true;
    QObject::connect(&viewer, &ChartViewer::viewPortChanged, [&] {
        chartFlag = viewer.NeedUpdateChart();
        mapFlag = viewer.NeedUpdateImageMap();
    });
    viewer.UpdateViewPort(true, false); // at once
    EXPECT_EQ(changed.size(), 1);
    EXPECT_TRUE(chartFlag);
    viewer.UpdateViewPort(true, true);
    viewer.UpdateViewPort(false, false); // the chart request accumulates, the map's is replaced
    EXPECT_EQ(changed.size(), 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return changed.size() == 2; }, 5000));
    EXPECT_TRUE(chartFlag);
    EXPECT_FALSE(mapFlag);
    EXPECT_FALSE(viewer.NeedUpdateChart()); // cleared once handled
    QTest::qWait(60);
    EXPECT_EQ(changed.size(), 2); // nothing pending, nothing more
}

TEST_F(ViewerFixture, NoUpdateIntervalSendsEveryChangeAtOnce)
{
    viewer.SetUpdateInterval(0);
    for (int i = 0; i < 3; ++i)
        viewer.UpdateViewPort(true, false);
    EXPECT_EQ(changed.size(), 3);
}

TEST_F(ViewerFixture, ZoomInClickDragAndLimit)
{
    viewer.SetUpdateInterval(0);
    viewer.SetMouseUsage(ChartViewer::MouseUsageZoomIn);
    // A press and release 3 pixels apart is a click: twice as narrow around the point.
    press(QPoint(300, 100));
    release(QPoint(303, 100));
    EXPECT_EQ(changed.size(), 1);
    EXPECT_NEAR(viewer.getViewPortWidth(), 0.5, 1e-9);
    EXPECT_NEAR(viewer.getViewPortLeft(), 0.5075 - 0.5075 * 0.5, 1e-9);

    // A drag shows the selection over the whole plot height, then zooms to it.
    const double left = viewer.getViewPortLeft();
    press(QPoint(200, 100));
    move(QPoint(300, 120));
    EXPECT_EQ(viewer.SelectionRect(), QRect(QPoint(200, 50), QPoint(300, 249)));
    release(QPoint(300, 120));
    EXPECT_TRUE(viewer.SelectionRect().isNull());
    EXPECT_EQ(changed.size(), 2);
    EXPECT_NEAR(viewer.getViewPortLeft(), left + 0.25 * 0.5, 1e-9);
    EXPECT_NEAR(viewer.getViewPortWidth(), 0.125, 1e-9);

    // At the width limit the cursor is the empty glass and a release changes nothing.
    viewer.setViewPortWidth(0.1);
    move(QPoint(300, 100), Qt::NoButton);
    EXPECT_EQ(viewer.cursor().bitmap().toImage(), GetNoZoomCursor().bitmap().toImage());
    press(QPoint(300, 100));
    move(QPoint(400, 100));
    EXPECT_TRUE(viewer.SelectionRect().isNull());
    release(QPoint(400, 100));
    EXPECT_EQ(changed.size(), 2);
    EXPECT_EQ(clicks.size(), 0);

    viewer.SetMouseUsage(ChartViewer::MouseUsageZoomOut);
    press(QPoint(300, 100));
    release(QPoint(300, 100));
    EXPECT_EQ(changed.size(), 3);
    EXPECT_NEAR(viewer.getViewPortWidth(), 0.2, 1e-9);
}

TEST_F(ViewerFixture, DragScrollFollowsAndAsksForTheMapAtTheEnd)
{
    viewer.SetUpdateInterval(0);
    viewer.SetMouseUsage(ChartViewer::MouseUsageScroll);
    viewer.setViewPortLeft(0.5);
    viewer.setViewPortWidth(0.25);
    std::vector<std::pair<bool, bool>> flags;
    QObject::connect(&viewer, &ChartViewer::viewPortChanged,
                     [&] { flags.emplace_back(viewer.NeedUpdateChart(), viewer.NeedUpdateImageMap()); });
    press(QPoint(300, 100));
    move(QPoint(303, 100)); // under the minimum drag
    EXPECT_TRUE(flags.empty());
    move(QPoint(380, 100));
    move(QPoint(460, 100));
    release(QPoint(460, 100));
    ASSERT_EQ(flags.size(), 3u);
    EXPECT_EQ(flags[0], std::make_pair(true, false));
    EXPECT_EQ(flags[2], std::make_pair(false, true));
    EXPECT_NEAR(viewer.getViewPortLeft(), 0.5 - 160.0 / 400 * 0.25, 1e-9);
    EXPECT_EQ(clicks.size(), 0);
    // A press and release without moving is a click.
    press(QPoint(300, 100));
    release(QPoint(300, 100));
    EXPECT_EQ(clicks.size(), 1);
}

TEST_F(ViewerFixture, PressesOutsideThePlotOrWithoutUsageDoNothing)
{
    viewer.SetUpdateInterval(0);
    viewer.SetMouseUsage(ChartViewer::MouseUsageZoomIn);
    press(QPoint(50, 100)); // left of the plot area
    release(QPoint(50, 100));
    viewer.SetMouseUsage(ChartViewer::MouseUsageDefault);
    press(QPoint(300, 100));
    release(QPoint(300, 100));
    EXPECT_EQ(changed.size(), 0);
    EXPECT_EQ(clicks.size(), 0);
    // Without a chart there is no plot area at all.
    viewer.SetMouseUsage(ChartViewer::MouseUsageZoomIn);
    viewer.SetChart(nullptr);
    EXPECT_EQ(viewer.GetChart(), nullptr);
    press(QPoint(300, 100));
    release(QPoint(300, 100));
    EXPECT_EQ(changed.size(), 0);
}

TEST_F(ViewerFixture, TipsComeFromTheHotSpots)
{
    viewer.SetDefaultToolTip(QStringLiteral("chart"));
    const QPoint onBar(300, 240);
    // No image map: the default tip everywhere, never the hand.
    move(onBar, Qt::NoButton);
    EXPECT_EQ(viewer.CurrentToolTip(), QStringLiteral("chart"));
    EXPECT_NE(viewer.cursor().shape(), Qt::PointingHandCursor);

    viewer.SetImageMap(viewer.GetChart()->imageMap(QStringLiteral("title='{dataSetName}:{value}'")));
    ASSERT_NE(viewer.GetImageMapHandler(), nullptr);
    move(onBar, Qt::NoButton);
    EXPECT_EQ(viewer.CurrentToolTip(), QStringLiteral("Total:10"));
    EXPECT_NE(viewer.cursor().shape(), Qt::PointingHandCursor); // no path: the arrow stays
    move(QPoint(120, 100), Qt::NoButton);
    EXPECT_EQ(viewer.CurrentToolTip(), QStringLiteral("chart"));
    move(onBar, Qt::LeftButton); // no tip while a button is down
    EXPECT_TRUE(viewer.CurrentToolTip().isEmpty());

    // A hot spot with a path shows the hand.
    viewer.SetImageMap({{QRect(290, 60, 20, 20), QStringLiteral("go"), QStringLiteral("x")}});
    move(QPoint(300, 70), Qt::NoButton);
    EXPECT_EQ(viewer.cursor().shape(), Qt::PointingHandCursor);
    // A new chart drops the image map.
    viewer.SetChart(std::make_unique<XYChart>(600, 300));
    EXPECT_EQ(viewer.GetImageMapHandler(), nullptr);
}
