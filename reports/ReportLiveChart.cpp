#include "reports/ReportLiveChart.h"

#include "controls/grid/MyCug.h"
#include "engine/EngineHost.h"
#include "engine/EngineUtils.h"
#include "engine/IGMPTestPlan.h"
#include "engine/LanguageText.h"
#include "engine/RunState.h"
#include "engine/Session.h"
#include "platform/chart/ChartViewer.h"
#include "platform/chart/XYChart.h"

#include <QGroupBox>
#include <QResizeEvent>
#include <algorithm>
#include <limits>
#include <mutex>

namespace {

// A value the chart draws no bar for.
constexpr double kLiveNoBar = std::numeric_limits<double>::infinity();
constexpr double kLiveUsPerTick = 0.04;
constexpr std::uint32_t kLiveThroughputColor = 0x818181FF;
constexpr std::uint32_t kLiveCTColor = 0x81FF81;
constexpr std::uint32_t kLiveSFColor = 0xF4D331;

QString liveChartControlName(int id)
{
    return QStringLiteral("ctl%1").arg(id);
}

// Glass bars, touching within a group, with their values above them.
void styleLiveBars(BarLayer &layer)
{
    layer.setBorderColor(ChartColor::kTransparent, ChartEffect::glassEffect(3, 4, 5));
    layer.setBarGap(0.2, -1.7E-100);
    layer.setDataLabelStyle(QString(), 8, ChartColor::kText, 0);
}

} // namespace

CReportLiveChart::CReportLiveChart(const LiveChartKind &kind, QWidget *parent)
    : QWidget(parent), Viewer(new ChartViewer(this)), Grid(new MyCug(this)), GroupBox(new QGroupBox(this)),
      SizeReference(new QWidget(this)), m_kind(kind)
{
    GroupBox->setObjectName(liveChartControlName(kind.groupId));
    Viewer->setObjectName(liveChartControlName(kind.chartId));
    Grid->setObjectName(liveChartControlName(kind.gridId));
    SizeReference->setObjectName(liveChartControlName(1261));
    // The size reference only measures the chart; it has no size until the first layout.
    SizeReference->hide();
    SizeReference->setGeometry(0, 0, 0, 0);
    GroupBox->lower();
    Grid->InitAttachedWindow(this);

    RedrawTimer.setInterval(kRedrawInterval);
    connect(&RedrawTimer, &QTimer::timeout, this, &CReportLiveChart::OnRedrawTimer);
    resize(kind.size);
    hide();
}

CReportLiveChart::~CReportLiveChart() = default;

LivePoints CReportLiveChart::ComputeLivePoints(const CIGMPTestPlan &plan, const UtSession &session)
{
    LivePoints points;
    points.HasCounters = !session.PortCounters.empty();
    points.HasStates = !session.PortStates.empty();
    for (std::size_t list = 1; list <= 2; ++list) {
        for (const KV_PROJECT_PORT_T &entry : plan.PortLists[list]) {
            const UtPortId &id = entry.Id;
            const int index = LookupPortIndex(id.CID, session.PortIndex, id.BID, id.PID);
            points.XLabels << QString::asprintf("(%d,%d,%d)", id.CID, id.BID, id.PID);
            points.FillerValues.push_back(kLiveNoBar);
            double throughput = 0;
            if (index >= 0 && std::size_t(index) < session.PortCounters.size())
                throughput = double(session.PortCounters[std::size_t(index)].NormalSize);
            points.ThroughputValues.push_back(throughput);
            double ct = 0;
            double sf = 0;
            // Only the ports of the second list carry a latency.
            if (list == 1 && index >= 0 && std::size_t(index) < session.PortStates.size()) {
                ct = session.PortStates[std::size_t(index)].MaxLatencyTicks * kLiveUsPerTick;
                const std::uint8_t type = index < kMaxTestPorts ? session.PortTable[index].TYPE : 0;
                const float stampDelay = TimestampTickUs(type) * float(2 * plan.FrameSize + 16);
                sf = std::max(0.0, ct - double(stampDelay));
            }
            points.CTLatencyValues.push_back(ct);
            points.SFLatencyValues.push_back(sf);
        }
    }
    return points;
}

std::unique_ptr<XYChart> CReportLiveChart::makeChart(int width, int height) const
{
    auto chart =
        std::make_unique<XYChart>(width, height, ChartColor(m_kind.background), ChartColor::kTransparent, 0);
    const ChartColor grid = ChartColor::dashLine(0xAAAAAA, 0x0202);
    chart->setPlotArea(80, 40, width - 150, height - 100, 0xFFFFFF, 0xF8F8F8, ChartColor::kTransparent, grid,
                       grid);
    chart->addTitle(languageText(m_kind.titleKey), QStringLiteral("timesbi.ttf"), 18, ChartColor::kText,
                    ChartColor::kTransparent, ChartColor::kTransparent);

    Axis &x = chart->xAxis();
    x.setTitle(languageText("LiveChart_Axis_Port"), QString(), 8);
    x.setTickLength(0);
    x.setWidth(2);
    Axis &y = chart->yAxis();
    y.setWidth(2);
    y.setTitle(languageText("LiveChart_Axis_Receive"), QString(), 8);
    Axis &y2 = chart->yAxis2();
    y2.setLinearScale(0, 50, 10, 0);
    y2.setTitle(languageText("LiveChart_Axis_Latency"), QString(), 8);
    if (!m_points.XLabels.isEmpty()) {
        x.setLabels(m_points.XLabels);
        x.setTickOffset(0.5);
    }

    LegendBox &legend = chart->addLegend(100, height - 55, 2, QStringLiteral("arialbi.ttf"), 8);
    legend.setAlignment(TextBox::Top);
    legend.setText(QStringLiteral("{dataGroupName} {dataSetName}"));
    legend.setBackground(ChartColor::kTransparent, ChartColor::kTransparent);
    return chart;
}

void CReportLiveChart::addThroughputLayer(XYChart &chart) const
{
    BarLayer &layer = chart.addBarLayer(0);
    layer.setUseYAxis();
    layer.addDataSet(m_points.ThroughputValues, kLiveThroughputColor,
                     languageText("LiveChart_Set_Throughput"));
    layer.addDataSet(m_points.FillerValues, kLiveThroughputColor);
    layer.addDataSet(m_points.FillerValues, kLiveThroughputColor);
    styleLiveBars(layer);
}

void CReportLiveChart::addLatencyLayer(XYChart &chart) const
{
    BarLayer &layer = chart.addBarLayer(0);
    layer.setUseYAxis2();
    layer.addDataSet(m_points.FillerValues, kLiveCTColor);
    layer.addDataSet(m_points.CTLatencyValues, kLiveCTColor, languageText("LiveChart_Set_CT"));
    layer.addDataSet(m_points.SFLatencyValues, kLiveSFColor, languageText("LiveChart_Set_SF"));
    styleLiveBars(layer);
}

void CReportLiveChart::showChart(ChartViewer &viewer, std::unique_ptr<XYChart> chart)
{
    // The viewer owns the chart it shows.
    viewer.SetChart(std::move(chart));
    viewer.SetImageMap(viewer.GetChart()->imageMap(QStringLiteral("title='{xLabel}-{dataSetName}:{value}'")));
    viewer.UpdateViewPort(true, true);
}

void CReportLiveChart::InitChart()
{
    const QSize size = SizeReference->size();
    const bool measured = size.width() > 0 && size.height() > 0;
    auto chart =
        makeChart(measured ? size.width() : kDefaultWidth, measured ? size.height() : kDefaultHeight);
    addThroughputLayer(*chart);
    addLatencyLayer(*chart);
    showChart(*Viewer, std::move(chart));
}

void CReportLiveChart::RedrawChart(int width, int height, ChartViewer &viewer)
{
    std::lock_guard<std::recursive_mutex> lock(g_ChartLock);
    m_points = m_plan ? ComputeLivePoints(*m_plan, g_Session) : LivePoints{};
    auto chart = makeChart(width, height);
    if (m_points.HasCounters)
        addThroughputLayer(*chart);
    if (m_points.HasStates)
        addLatencyLayer(*chart);
    showChart(viewer, std::move(chart));
}

void CReportLiveChart::OnRedrawTimer()
{
    RedrawChart(SizeReference->width(), SizeReference->height(), *Viewer);
}

void CReportLiveChart::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    GroupBox->setGeometry(rect());
    const QRect box = GroupBox->rect();
    const int chartHeight = box.height() * 3 / 5;
    const QRect chartRect(box.left(), box.top() + 1, box.width(), chartHeight);
    SizeReference->setGeometry(chartRect);
    InitChart();
    Viewer->setGeometry(chartRect);
    const int gridTop = chartRect.top() + chartRect.height() + 1;
    Grid->setGeometry(box.left(), gridTop, box.width(), std::max(0, box.top() + box.height() - gridTop));
}

void CReportLiveChart::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    RedrawTimer.start();
}

void CReportLiveChart::hideEvent(QHideEvent *event)
{
    RedrawTimer.stop();
    QWidget::hideEvent(event);
}
