#include "reports/ReportLatency.h"

#include "controls/grid/UGCtrl.h"
#include "engine/EngineUtils.h"
#include "engine/IGMPTestPlan.h"
#include "engine/LatencyRates.h"
#include "engine/Session.h"

#include <climits>

CReportLatency::CReportLatency(QWidget *parent) : ReportPage(LatencyPage, parent) {}

void CReportLatency::ResizeSeries(int count)
{
    for (std::vector<double> *series : {&AvgCtData, &AvgSfData, &MaxData, &MinData})
        series->assign(std::size_t(count), 0.0);
}

double CReportLatency::TwoDecimals(double value)
{
    return std::int32_t((value + 0.005) * 100) / 100.0;
}

std::vector<double> CReportLatency::RowRates(const UtCustomFrame &row, double rateStep)
{
    std::vector<double> rates;
    forEachRate(row.InitialRate, rateStep, row.MaxRate, [&rates](std::uint32_t, double rate) {
        rates.push_back(rate);
        return true;
    });
    return rates;
}

int CReportLatency::ResultRow(std::uint32_t step, std::size_t hostIndex) const
{
    const std::uint64_t hosts = plan() ? plan()->HostPorts.size() : 0;
    const std::uint64_t row = kFirstResultRow + std::uint64_t(step) * hosts + hostIndex;
    // A row past the grid's reach is no row: SetCell drops it.
    return row <= std::uint64_t(INT_MAX) ? int(row) : -1;
}

void CReportLatency::FillReportGrid()
{
    const CIGMPTestPlan *testPlan = plan();
    // In the Latency test MinRate holds the rate step; each frame-size row has its own initial and end rate.
    std::vector<std::vector<double>> rowRates;
    std::uint64_t steps = 0;
    for (const UtCustomFrame &frame : FrameRows) {
        rowRates.push_back(testPlan ? RowRates(frame, testPlan->MinRate) : std::vector<double>{});
        steps += rowRates.back().size();
    }
    const std::uint64_t hosts = testPlan ? testPlan->HostPorts.size() : 0;
    const std::uint64_t wanted = hosts * steps + kFirstResultRow;
    const int rows = wanted <= std::uint64_t(INT_MAX) ? int(wanted) : -1;
    beginReportGrid(rows, 9, 85, {{0, 100}, {1, 60}, {2, 80}, {3, 60}, {4, 80}, {5, 90}, {7, 130}, {8, 130}});
    writeHeaderRows("ResultPage_Grid_Title_Latency", 5);
    writeColumnTitles({text("ResultPage_Col_Frame_Size"), text("ResultPage_Col_Rate"),
                       text("ResultPage_Col_Rx_Port"), text("ResultPage_Col_Test_Pair"),
                       text("ResultPage_Col_Tx_Port"), text("ResultPage_Col_Group_Address"),
                       text("ResultPage_Col_IGMP_Version"), text("ResultPage_Col_CT"),
                       text("ResultPage_Col_SF")});
    if (rows < 0 || hosts == 0 || steps == 0) {
        Grid->RepaintAllParts();
        return;
    }
    int row = kFirstResultRow;
    for (std::size_t frameRow = 0; frameRow < FrameRows.size(); ++frameRow) {
        const std::vector<double> &rates = rowRates[frameRow];
        // A row without a rate has no block.
        if (rates.empty())
            continue;
        writeText(0, row, QString::asprintf("%d", int(FrameRows[frameRow].FrameSize)),
                  row + int(hosts * rates.size()) - 1);
        for (const double rate : rates) {
            writeText(1, row, QString::asprintf("%.2f", rate), row + int(hosts) - 1);
            for (const UtTestPort &host : testPlan->HostPorts) {
                const UtPortRecord *record = g_Session.RecordOf(host);
                const std::uint8_t pair = record ? record->HostPair : 0;
                writeText(2, row, portText(host.Id));
                writeText(3, row, QString::asprintf("%d", int(pair)));
                // The pair's first source port; none leaves the cell empty.
                for (const UtTestPort &source : testPlan->SourcePorts) {
                    const UtPortRecord *sourceRecord = g_Session.RecordOf(source);
                    if (sourceRecord && sourceRecord->SourcePair == pair) {
                        writeText(4, row, portText(source.Id));
                        break;
                    }
                }
                writeText(5, row, groupText(pair));
                writeText(6, row, QString::asprintf("V%d", int(testPlan->IgmpVersion)));
                for (int column = 0; column < 9; ++column)
                    setBorder(column, row, kDataBorder, nullptr);
                ++row;
            }
        }
    }
    alignTable(kColumnTitleRow, rows - 1);
    for (int tableRow = kColumnTitleRow; tableRow < rows; ++tableRow)
        Grid->SetCellAlignment(0, tableRow, kAlignCentre);
    Grid->RepaintAllParts();
}

void CReportLatency::CollectResults()
{
    if (!plan())
        return;
    CIGMPTestPlan &testPlan = *plan();
    // The chart's scale: a tenth above the largest latency of the step.
    testPlan.ChartScale = 0;
    for (UtLatencyResult &result : Records) {
        if (result.Step != CurrentStep)
            continue;
        std::uint32_t slot = 0;
        for (const UtTestPort &host : testPlan.HostPorts) {
            if (!IsHostOfPair(host, result.PairNo) || slot >= result.HostCount)
                continue;
            result.MaxLatency[slot] = host.LatencyMax;
            result.AvgLatency[slot] =
                host.LatencyCount ? host.LatencySum / host.LatencyCount : host.LatencySum;
            result.MinLatency[slot] = host.LatencyMin;
            ++slot;
            if (double(testPlan.ChartScale) < host.LatencyMax)
                testPlan.ChartScale = std::uint64_t(host.LatencyMax + host.LatencyMax / 10);
        }
    }
}

void CReportLatency::BuildChartArrays()
{
    if (!plan())
        return;
    const CIGMPTestPlan &testPlan = *plan();
    std::size_t bar = 0;
    for (const UtLatencyResult &result : Records) {
        // The pair's host ports in host-port order give each bar's compensation.
        std::vector<const UtTestPort *> hosts;
        for (const UtTestPort &host : testPlan.HostPorts) {
            if (IsHostOfPair(host, result.PairNo))
                hosts.push_back(&host);
        }
        for (std::uint32_t slot = 0; slot < result.HostCount && bar < AvgCtData.size(); ++slot, ++bar) {
            const double average = result.AvgLatency[slot];
            AvgCtData[bar] = TwoDecimals(average);
            AvgSfData[bar] = slot < hosts.size() ? TwoDecimals(CompensatedLatency(*hosts[slot], average))
                                                 : TwoDecimals(average);
            MaxData[bar] = TwoDecimals(result.MaxLatency[slot]);
            MinData[bar] = TwoDecimals(result.MinLatency[slot]);
        }
    }
}

void CReportLatency::FormatBarLabel()
{
    if (!plan())
        return;
    const std::vector<UtPairFrame> &steps = entries();
    int bar = 0;
    for (std::size_t i = 0; i < steps.size() && i < Records.size(); ++i) {
        for (const UtTestPort &host : plan()->HostPorts) {
            if (!IsHostOfPair(host, steps[i].PairNo) || bar >= BarLabels.size())
                continue;
            BarLabels[bar++] =
                format("ResultPage_Label_Latency", int(host.Id.CID), int(host.Id.BID), int(host.Id.PID),
                       int(steps[i].FrameSize), int(steps[i].PairNo), Records[i].Rate);
        }
    }
}

std::unique_ptr<XYChart> CReportLatency::MakeChart(int first, int count, int width, int height,
                                                   bool onScreen) const
{
    std::unique_ptr<XYChart> chart = chartFrame(
        width, height, 160, width - 50, "ResultPage_Chart_Title_Latency", "ResultPage_Axis_Rx_Latency");
    chart->xAxis().setLabels(axisLabels(first, count)).setFontAngle(30);
    BarLayer &bars = chart->addBarLayer(4);
    bars.addDataSet(slice(AvgCtData, first, count), 0xFF8080, text("ResultPage_Set_Avg_CT"));
    bars.addDataSet(slice(AvgSfData, first, count), 0xC20061, text("ResultPage_Set_Avg_SF"));
    bars.setBorderColor(ChartColor::kTransparent, ChartEffect::softLighting(8, 4));
    addMarkers(*chart, slice(MaxData, first, count), true, 0x00AA00, 3, "ResultPage_Tip_Max_Latency");
    addMarkers(*chart, slice(MinData, first, count), false, 0x3D9EFF, 2, "ResultPage_Tip_Min_Latency");
    // The legend names the two markers in colours of their own.
    LegendBox &legend = addLegend(*chart, width - 50);
    legend.addKey(text("ResultPage_Key_Max_Latency"), 0x72220E, 2);
    legend.addKey(text("ResultPage_Key_Min_Latency"), 0x3D9EFF, 2);
    if (onScreen)
        chart->addExtraField(barLabels(first, count));
    return chart;
}
