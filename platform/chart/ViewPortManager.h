// The visible part of a chart's data as fractions of the whole (left and width across, top and height
// down, each in [0, 1]) and the plot area they are shown in; zooming and dragging move it. Directions:
// 0 horizontal, 1 vertical, any other value both.
#pragma once

#include <QRect>

class ViewPortManager
{
public:
    // The plot area of the chart on show; an empty one (no chart) is never hit.
    void setChartMetrics(const QRect &plotArea) { m_plot = plotArea; }
    bool inPlotArea(int x, int y) const { return m_plot.contains(x, y); }
    int getPlotAreaLeft() const { return m_plot.left(); }
    int getPlotAreaTop() const { return m_plot.top(); }
    int getPlotAreaWidth() const { return m_plot.width(); }
    int getPlotAreaHeight() const { return m_plot.height(); }

    double getViewPortLeft() const { return m_left; }
    double getViewPortWidth() const { return m_width; }
    double getViewPortTop() const { return m_top; }
    double getViewPortHeight() const { return m_height; }
    void setViewPortLeft(double left) { m_left = left; }
    void setViewPortWidth(double width) { m_width = width; }
    void setViewPortTop(double top) { m_top = top; }
    void setViewPortHeight(double height) { m_height = height; }
    // The narrowest view a zoom in may reach.
    void setZoomInWidthLimit(double limit) { m_widthLimit = limit; }
    void setZoomInHeightLimit(double limit) { m_heightLimit = limit; }

    bool canZoomIn(int direction) const;
    bool canZoomOut(int direction) const;
    // Zooms by the ratio (above 1 in, below 1 out) keeping the data under (x, y) in place; true when
    // the view changed.
    bool zoomAt(int direction, int x, int y, double ratio);
    // Zooms to the data between the two points.
    bool zoomTo(int direction, int x1, int y1, int x2, int y2);
    // Remembers the view at the start of a drag; dragTo moves it by the pointer's offset from there.
    void startDrag();
    bool dragTo(int direction, int dx, int dy);
    // Keeps the view inside [0, 1] and no narrower than the limits.
    void validateViewPort();

private:
    static bool horizontal(int direction) { return direction != 1; }
    static bool vertical(int direction) { return direction != 0; }
    bool changedFrom(double left, double width, double top, double height) const;

    QRect m_plot;
    double m_left = 0;
    double m_width = 1;
    double m_top = 0;
    double m_height = 1;
    double m_widthLimit = 0.01;
    double m_heightLimit = 0.01;
    double m_dragLeft = 0;
    double m_dragTop = 0;
};
