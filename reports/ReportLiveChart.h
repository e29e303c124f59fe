// A live bar chart of the ports of the running test, over a grid: for each port of the test plan's
// second and then third port list, the frames it received and, on a second axis, its cut-through (CT)
// and store-and-forward (SF) latency. While the window is shown its timer rebuilds the chart from the
// per-port tables once a second. The report window's three live chart dialogs (CReportStandard,
// CReportDynamicDlg, CReportMaxThroughputDlg) differ only in their LiveChartKind.
#pragma once

#include <QSize>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <vector>

class CIGMPTestPlan;
class ChartViewer;
class MyCug;
class QGroupBox;
class UtSession;
class XYChart;

// What tells the three dialogs apart.
struct LiveChartKind
{
    QSize size;                   // pixels
    std::uint32_t background;     // chart background, 0xRRGGBB
    const char *titleKey;         // language key of the chart title
    int groupId, chartId, gridId; // control ids, the controls' object names "ctl<id>"
};

// The chart's values, one entry per point (port) in each array.
struct LivePoints
{
    QStringList XLabels;
    // The unnamed data sets that keep the bar slots of the two layers apart: no bar.
    std::vector<double> FillerValues;
    std::vector<double> ThroughputValues; // frames received
    std::vector<double> CTLatencyValues;  // microseconds
    std::vector<double> SFLatencyValues;  // microseconds
    // Whether the per-port counter and state tables exist: without them their bar layer is left out.
    bool HasCounters = false;
    bool HasStates = false;

    int PointCount() const { return int(XLabels.size()); }
};

class CReportLiveChart : public QWidget
{
public:
    // Period of timer 1.
    static constexpr int kRedrawInterval = 1000;
    // The chart's size while the size reference has none.
    static constexpr int kDefaultWidth = 500;
    static constexpr int kDefaultHeight = 300;

    CReportLiveChart(const LiveChartKind &kind, QWidget *parent);
    ~CReportLiveChart() override;

    // The test plan whose port lists the chart shows; none: no points.
    void SetPlan(const CIGMPTestPlan *plan) { m_plan = plan; }

    // The points of the plan's second and third port lists from the session's tables: throughput the
    // normal-size receive counter; CT the latency ticks times 0.04 us; SF the CT less the module's
    // time-stamp tick times (2 x frame size + 16), never below 0; ports of the third list have no
    // latency. A port the session does not know shows 0.
    static LivePoints ComputeLivePoints(const CIGMPTestPlan &plan, const UtSession &session);

    // Builds the chart at the size reference's size (the default size while it has none) from the
    // points as they stand.
    void InitChart();
    // Takes the points anew from the tables and rebuilds the chart at the given size, under the chart
    // lock.
    void RedrawChart(int width, int height, ChartViewer &viewer);
    // Timer 1: a redraw at the size reference's size.
    void OnRedrawTimer();

    const LiveChartKind &Kind() const { return m_kind; }
    // The points the chart shows; read them under the chart lock while a run may redraw.
    const LivePoints &Points() const { return m_points; }

    ChartViewer *Viewer;
    MyCug *Grid;
    QGroupBox *GroupBox;
    QWidget *SizeReference;
    QTimer RedrawTimer; // 1

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    // Chart, plot area, title, axes and legend.
    std::unique_ptr<XYChart> makeChart(int width, int height) const;
    void addThroughputLayer(XYChart &chart) const;
    void addLatencyLayer(XYChart &chart) const;
    // Hands the chart to the viewer with its hot spots.
    static void showChart(ChartViewer &viewer, std::unique_ptr<XYChart> chart);

    LiveChartKind m_kind;
    const CIGMPTestPlan *m_plan = nullptr;
    LivePoints m_points;
};
