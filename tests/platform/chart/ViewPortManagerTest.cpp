// The view-port arithmetic across the plot area (only the horizontal direction is used).
#include "platform/chart/ViewPortManager.h"

#include <gtest/gtest.h>

namespace {

ViewPortManager manager(double left, double width, double limit = 0.1)
{
    ViewPortManager vp;
    vp.setChartMetrics(QRect(100, 50, 400, 200));
    vp.setZoomInWidthLimit(limit);
    vp.setViewPortLeft(left);
    vp.setViewPortWidth(width);
    return vp;
}

} // namespace

TEST(ViewPortManager, ZoomAtKeepsTheDataUnderThePointer)
{
    struct Case
    {
        double left, width, ratio;
        int x;
        double expectLeft, expectWidth;
        bool changed;
    } cases[] = {
        {0, 1, 2, 300, 0.25, 0.5, true},       // middle: the half around it
        {0, 1, 2, 100, 0, 0.5, true},          // left edge stays
        {0.5, 0.5, 0.5, 500, 0, 1, true},      // zoom out from the right edge, clamped at 0
        {0.4, 0.2, 4, 300, 0.45, 0.1, true},   // stopped at the width limit
        {0.45, 0.1, 2, 300, 0.45, 0.1, false}, // already at the limit
        {0, 1, 0.5, 300, 0, 1, false},         // cannot zoom out further
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.left << ' ' << c.width << ' ' << c.ratio << ' ' << c.x);
        ViewPortManager vp = manager(c.left, c.width);
        const double anchor = c.left + (c.x - 100) / 400.0 * c.width;
        EXPECT_EQ(vp.zoomAt(0, c.x, 100, c.ratio), c.changed);
        EXPECT_NEAR(vp.getViewPortLeft(), c.expectLeft, 1e-9);
        EXPECT_NEAR(vp.getViewPortWidth(), c.expectWidth, 1e-9);
        // Unless clamped at an end, the data under the pointer stays under it.
        if (c.expectLeft > 0 && c.expectLeft + c.expectWidth < 1) {
            EXPECT_NEAR(vp.getViewPortLeft() + (c.x - 100) / 400.0 * vp.getViewPortWidth(), anchor, 1e-9);
        }
        EXPECT_EQ(vp.getViewPortHeight(), 1); // the vertical view is left alone
    }
}

TEST(ViewPortManager, ZoomToDragAndValidate)
{
    ViewPortManager vp = manager(0.2, 0.5);
    EXPECT_TRUE(vp.zoomTo(0, 300, 60, 200, 240)); // right to left works the same
    EXPECT_NEAR(vp.getViewPortLeft(), 0.2 + 0.25 * 0.5, 1e-9);
    EXPECT_NEAR(vp.getViewPortWidth(), 0.125, 1e-9);

    vp = manager(0.2, 0.5);
    vp.startDrag();
    EXPECT_TRUE(vp.dragTo(0, 80, 30)); // dragging right shows data further left
    EXPECT_NEAR(vp.getViewPortLeft(), 0.2 - 0.2 * 0.5, 1e-9);
    EXPECT_TRUE(vp.dragTo(0, 800, 0)); // measured from the start of the drag, clamped at 0
    EXPECT_EQ(vp.getViewPortLeft(), 0);
    EXPECT_FALSE(vp.dragTo(0, 1000, 0));
    EXPECT_TRUE(vp.dragTo(0, -2000, 0));
    EXPECT_NEAR(vp.getViewPortLeft(), 0.5, 1e-9);

    struct Case
    {
        double left, width, expectLeft, expectWidth;
    } cases[] = {{-0.3, 0.5, 0, 0.5}, {0.8, 0.5, 0.5, 0.5}, {0.3, 0.01, 0.3, 0.1}, {0.2, 3, 0, 1}};
    for (const Case &c : cases) {
        ViewPortManager clamped = manager(c.left, c.width);
        clamped.validateViewPort();
        EXPECT_NEAR(clamped.getViewPortLeft(), c.expectLeft, 1e-9) << c.left << ' ' << c.width;
        EXPECT_NEAR(clamped.getViewPortWidth(), c.expectWidth, 1e-9) << c.left << ' ' << c.width;
    }
    EXPECT_TRUE(manager(0, 0.5).canZoomIn(0));
    EXPECT_FALSE(manager(0, 0.1).canZoomIn(0));
    EXPECT_TRUE(manager(0, 0.5).canZoomOut(0));
    EXPECT_FALSE(manager(0, 1).canZoomOut(0));
    EXPECT_TRUE(manager(0, 1).inPlotArea(100, 50));
    EXPECT_FALSE(manager(0, 1).inPlotArea(500, 50));
}
