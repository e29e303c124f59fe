#include "reports/ReportMixClass.h"

#include "controls/grid/UGCtrl.h"
#include "engine/IGMPTestPlan.h"
#include "engine/Session.h"

CReportMixClass::CReportMixClass(QWidget *parent) : ReportPage(MixClassPage, parent) {}

void CReportMixClass::ResizeSeries(int count)
{
    for (std::vector<double> *series : {&TotalData, &UnicastData, &MulticastData, &ExpectedData})
        series->assign(std::size_t(count), 0.0);
}

void CReportMixClass::FillReportGrid()
{
    const CIGMPTestPlan *testPlan = plan();
    const int sources = testPlan ? int(testPlan->SourcePorts.size()) : 0;
    const int rows = int(FrameRows.size()) * sources + kFirstResultRow;
    beginReportGrid(rows, 7, 85, {{0, 100}, {5, 100}, {6, 120}});
    writeHeaderRows("ResultPage_Grid_Title_Mix_Class", 3);
    writeColumnTitles({text("ResultPage_Col_Frame_Size"), text("ResultPage_Col_Resolution"),
                       text("ResultPage_Col_IGMP_Version"), text("ResultPage_Col_Test_Pair"),
                       text("ResultPage_Col_Tx_Port"), text("ResultPage_Col_Group_Address"),
                       text("ResultPage_Col_Last_Pass_Rate")});
    int first = kFirstResultRow;
    for (const UtCustomFrame &row : FrameRows) {
        if (sources == 0)
            break;
        const int last = first + sources - 1;
        writeText(0, first, QString::asprintf("%d", int(row.FrameSize)), last);
        writeText(1, first, QString::asprintf("%.2f", row.Resolution), last);
        writeText(2, first, QString::asprintf("V%d", int(testPlan->IgmpVersion)), last);
        writeText(kPassedRateColumn, first, text("ResultPage_NA"), last);
        for (int s = 0; s < sources; ++s) {
            const UtTestPort &source = testPlan->SourcePorts[std::size_t(s)];
            const UtPortRecord *record = g_Session.RecordOf(source);
            const std::uint8_t pair = record ? record->SourcePair : 0;
            writeText(3, first + s, QString::asprintf("%d", int(pair)));
            writeText(4, first + s, portText(source.Id));
            writeText(5, first + s, groupText(pair));
            for (int column = 0; column < 7; ++column)
                setBorder(column, first + s, kDataBorder, nullptr);
        }
        first = last + 1;
    }
    alignTable(kColumnTitleRow, rows - 1);
    Grid->RepaintAllParts();
}

void CReportMixClass::CollectResults()
{
    if (!plan())
        return;
    const CIGMPTestPlan &testPlan = *plan();
    const std::uint64_t seconds = testPlan.TestDuration;
    // The markers stand at the row's maximum load: the unicast port's at all of it, the others' at half.
    const double fullLoad = testPlan.MaxRate / 100 * double(testPlan.ChartScale);
    for (UtMixClassResult &result : Records) {
        if (result.FrameSize != testPlan.FrameSize)
            continue;
        std::uint32_t slot = 0;
        for (const UtTestPort &host : testPlan.HostPorts) {
            if (!IsHostOfPair(host, result.PairNo) || slot >= result.HostCount)
                continue;
            result.RxTotal[slot] = seconds ? host.RxTotal / seconds : 0;
            result.RxUnicast[slot] = seconds ? host.RxUnicast / seconds : 0;
            result.RxMulticast[slot] = seconds ? host.RxMulticast / seconds : 0;
            result.Expected[slot] = plan()->PairOfUnicastPort(host.Id) == result.PairNo
                                        ? std::uint64_t(fullLoad)
                                        : std::uint64_t(fullLoad * 0.5);
            ++slot;
        }
    }
}

void CReportMixClass::BuildChartArrays()
{
    std::size_t bar = 0;
    for (const UtMixClassResult &result : Records) {
        for (std::uint32_t slot = 0; slot < result.HostCount && bar < TotalData.size(); ++slot, ++bar) {
            TotalData[bar] = double(result.RxTotal[slot]);
            UnicastData[bar] = double(result.RxUnicast[slot]);
            MulticastData[bar] = double(result.RxMulticast[slot]);
            ExpectedData[bar] = double(result.Expected[slot]);
        }
    }
}

void CReportMixClass::FormatBarLabel()
{
    if (!plan())
        return;
    int bar = 0;
    for (const UtPairFrame &entry : entries()) {
        for (const UtTestPort &host : plan()->HostPorts) {
            if (!IsHostOfPair(host, entry.PairNo) || bar >= BarLabels.size())
                continue;
            BarLabels[bar++] = format("ResultPage_Label_Mix_Class", int(host.Id.CID), int(host.Id.BID),
                                      int(host.Id.PID), int(entry.FrameSize), int(entry.PairNo));
        }
    }
}

std::unique_ptr<XYChart> CReportMixClass::MakeChart(int first, int count, int width, int height,
                                                    bool onScreen) const
{
    std::unique_ptr<XYChart> chart = chartFrame(
        width, height, 150, width - 40, "ResultPage_Chart_Title_Mix_Class", "ResultPage_Axis_Rx_Packets");
    chart->yAxis().setTickDensity(12);
    chart->xAxis().setLabels(axisLabels(first, count)).setFontAngle(30);
    BarLayer &bars = chart->addBarLayer(4);
    bars.addDataSet(slice(TotalData, first, count), 0xFF8080, text("ResultPage_Set_Total"));
    bars.addDataSet(slice(MulticastData, first, count), 0xC20061, text("ResultPage_Set_Multicast"));
    bars.addDataSet(slice(UnicastData, first, count), 0x3D9EFF, text("ResultPage_Set_Unicast"));
    bars.setBorderColor(ChartColor::kTransparent, ChartEffect::softLighting(8, 4));
    addMarkers(*chart, slice(ExpectedData, first, count), true, 0x00AA00, 3, "ResultPage_Tip_Expected");
    if (onScreen)
        chart->addExtraField(barLabels(first, count));
    return chart;
}
