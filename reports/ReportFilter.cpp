#include "reports/ReportFilter.h"

#include "controls/grid/UGCtrl.h"
#include "engine/EngineHost.h"
#include "engine/EngineUtils.h"
#include "engine/IGMPTestPlan.h"
#include "ports/PortCheckGrid.h"

#include <climits>

namespace {

// The pair selector's row parameter: a check box.
constexpr int kGroupRowStyle = 0x1000;

} // namespace

CReportFilter::CReportFilter(QWidget *parent) : ReportPage(FilterPage, parent) {}

QStringList CReportFilter::groups()
{
    return EngineHost::instance().sourceFilterGroups();
}

QString CReportFilter::RxPortText(const QString &label)
{
    const qsizetype dash = label.indexOf(QLatin1Char('-'));
    return dash > 0 ? label.left(dash - 1) : label;
}

void CReportFilter::ResizeSeries(int count)
{
    for (std::vector<double> *series : {&TotalData, &MulticastData, &ReferenceData})
        series->assign(std::size_t(count), 0.0);
}

int CReportFilter::CountBars() const
{
    const std::uint64_t bars = std::uint64_t(groups().size()) * (plan() ? plan()->HostPorts.size() : 0);
    return bars <= std::uint64_t(INT_MAX) ? int(bars) : 0;
}

void CReportFilter::FillReportGrid()
{
    const CIGMPTestPlan *testPlan = plan();
    const QStringList groupTexts = groups();
    const int hosts = testPlan ? int(testPlan->HostPorts.size()) : 0;
    const int rows = int(groupTexts.size()) * hosts + kFirstResultRow;
    beginReportGrid(rows, 6, 150, {{0, 100}, {1, 100}, {2, 120}, {3, 100}, {5, 100}});
    writeHeaderRows("ResultPage_Grid_Title_Filter", 3);
    writeColumnTitles({text("ResultPage_Col_Group_Index"), text("ResultPage_Col_Group_Address"),
                       text("ResultPage_Col_Source_Port_Number"), text("ResultPage_Col_IGMP_Version"),
                       text("ResultPage_Col_Rx_Port"), text("ResultPage_Col_Test_Result")});
    for (int group = 0; group < groupTexts.size() && hosts > 0; ++group) {
        const int first = kFirstResultRow + group * hosts;
        const int last = first + hosts - 1;
        writeText(0, first, QString::asprintf("%d", group + 1), last);
        writeText(1, first, groupTexts[group], last);
        writeText(2, first, QString::asprintf("%d", int(testPlan->SourcePorts.size())), last);
        writeText(3, first, QString::asprintf("V%d", int(testPlan->IgmpVersion)), last);
        writeText(kVerdictColumn, first, text("ResultPage_Not_Available"), last);
        for (int host = 0; host < hosts; ++host) {
            const UtTestPort &port = testPlan->HostPorts[std::size_t(host)];
            QString label;
            if (!FormatPortLabel({port.Id, port.TYPE}, label))
                label = portText(port.Id);
            writeText(4, first + host, RxPortText(label));
            for (int column = 0; column < 6; ++column)
                setBorder(column, first + host, kDataBorder, nullptr);
        }
    }
    alignTable(kColumnTitleRow, rows - 1);
    Grid->RepaintAllParts();
}

void CReportFilter::AddGroupRow(std::uint32_t group)
{
    // The selector gets a row only where one fits: at the top while the page has no group, else at the
    // row after the groups, which lies past the end of the emptied selector.
    const int count = int(groups().size());
    PairSel->AddRow(count == 0 ? 0 : count, format("ResultPage_Group_Row", unsigned(group)),
                    count == 0 ? 1 : 0, nullptr, kGroupRowStyle);
}

void CReportFilter::CollectResults(std::uint32_t group)
{
    if (!plan() || group >= Records.size())
        return;
    const CIGMPTestPlan &testPlan = *plan();
    UtSourceFilterResult &result = Records[group];
    // The frames the sources together send at the run's load during the test.
    const double sent = testPlan.MaxRate / 100 * double(testPlan.ChartScale) * double(testPlan.TestDuration) *
                        double(testPlan.SourcePorts.size());
    const auto reference = sent > 0 ? std::uint64_t(sent) : 0;
    for (std::size_t host = 0; host < testPlan.HostPorts.size() && host < result.HostCount; ++host) {
        result.RxTotal[host] = testPlan.HostPorts[host].RxTotal;
        result.RxMulticast[host] = testPlan.HostPorts[host].RxMulticast;
        result.RxReference[host] = reference;
    }
}

void CReportFilter::BuildChartArrays()
{
    std::size_t bar = 0;
    for (const UtSourceFilterResult &result : Records) {
        for (std::uint32_t host = 0; host < result.HostCount && bar < TotalData.size(); ++host, ++bar) {
            TotalData[bar] = double(result.RxTotal[host]);
            MulticastData[bar] = double(result.RxMulticast[host]);
            ReferenceData[bar] = double(result.RxReference[host]);
        }
    }
}

void CReportFilter::FormatBarLabel()
{
    if (!plan())
        return;
    int bar = 0;
    for (const QString &group : groups()) {
        for (const UtTestPort &host : plan()->HostPorts) {
            if (bar >= BarLabels.size())
                return;
            BarLabels[bar++] = format("ResultPage_Label_Filter", int(host.Id.CID), int(host.Id.BID),
                                      int(host.Id.PID), int(plan()->FrameSize), group.toLatin1().constData());
        }
    }
}

std::unique_ptr<XYChart> CReportFilter::MakeChart(int first, int count, int width, int height,
                                                  bool onScreen) const
{
    std::unique_ptr<XYChart> chart = chartFrame(
        width, height, 150, width - 37, "ResultPage_Chart_Title_Filter", "ResultPage_Axis_Rx_Packets");
    chart->xAxis().setLabels(axisLabels(first, count)).setFontAngle(25);
    BarLayer &bars = chart->addBarLayer(4);
    bars.addDataSet(slice(TotalData, first, count), 0xFF8080, text("ResultPage_Set_Total"));
    bars.addDataSet(slice(MulticastData, first, count), 0xC20061, text("ResultPage_Set_Multicast"));
    bars.setBorderColor(ChartColor::kTransparent, ChartEffect::softLighting(8, 4));
    addMarkers(*chart, slice(ReferenceData, first, count), true, 0x00AA00, 3, "ResultPage_Tip_Expected");
    if (onScreen)
        chart->addExtraField(barLabels(first, count));
    return chart;
}
