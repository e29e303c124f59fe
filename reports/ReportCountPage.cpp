#include "reports/ReportCountPage.h"

#include "controls/grid/UGCtrl.h"
#include "engine/IGMPTestPlan.h"
#include "engine/Session.h"

#include <algorithm>
#include <climits>

ReportCountPage::ReportCountPage(PageIndex index, const Style &style, QWidget *parent)
    : ReportPage(index, parent), m_style(style)
{
}

void ReportCountPage::ResizeSeries(int count)
{
    MeasuredData.assign(std::size_t(count), 0.0);
    ExpectedData.assign(std::size_t(count), 0.0);
}

void ReportCountPage::FillReportGrid()
{
    const CIGMPTestPlan *testPlan = plan();
    const std::uint64_t sources = testPlan ? testPlan->SourcePorts.size() : 0;
    const std::uint32_t first = firstCount();
    const std::uint32_t last = lastCount();
    const std::uint64_t counts = last >= first ? std::uint64_t(last) - first + 1 : 0;
    const std::uint64_t wanted = sources * FrameRows.size() * counts + kFirstResultRow;
    // A table past the grid's reach is not laid out.
    const int rows = wanted <= std::uint64_t(INT_MAX) ? int(wanted) : -1;
    beginReportGrid(rows, 8, 85, {{0, m_style.firstColumnWidth}, {6, 100}, {7, 120}});
    writeHeaderRows(m_style.gridTitleKey, 4);
    writeColumnTitles({text("ResultPage_Col_Frame_Size"), text("ResultPage_Col_Resolution"),
                       text("ResultPage_Col_IGMP_Version"), text(m_style.countTitleKey),
                       text("ResultPage_Col_Test_Pair"), text("ResultPage_Col_Tx_Port"),
                       text(m_style.groupTitleKey), text("ResultPage_Col_Last_Pass_Rate")});
    if (rows < 0 || sources == 0 || counts == 0) {
        Grid->RepaintAllParts();
        return;
    }
    int row = kFirstResultRow;
    for (const UtCustomFrame &frame : FrameRows) {
        const int frameLast = row + int(sources * counts) - 1;
        writeText(0, row, QString::asprintf("%d", int(frame.FrameSize)), frameLast);
        writeText(1, row, QString::asprintf("%.2f", frame.Resolution), frameLast);
        writeText(2, row, QString::asprintf("V%d", int(testPlan->IgmpVersion)), frameLast);
        for (std::uint64_t count = first; count <= last; ++count) {
            const int countLast = row + int(sources) - 1;
            writeText(3, row, QString::asprintf("%llu", static_cast<unsigned long long>(count)), countLast);
            writeText(kPassedRateColumn, row, text("ResultPage_NA"), countLast);
            for (const UtTestPort &source : testPlan->SourcePorts) {
                const UtPortRecord *record = g_Session.RecordOf(source);
                const std::uint8_t pair = record ? record->SourcePair : 0;
                writeText(4, row, QString::asprintf("%d", int(pair)));
                writeText(5, row, portText(source.Id));
                writeText(6, row, groupText(pair));
                for (int column = 0; column < 8; ++column)
                    setBorder(column, row, kDataBorder, nullptr);
                ++row;
            }
        }
    }
    alignTable(kColumnTitleRow, rows - 1);
    Grid->RepaintAllParts();
}

std::uint32_t ReportCountPage::StepOf(std::uint32_t frameRow, std::uint32_t count) const
{
    const std::uint32_t first = firstCount();
    const std::uint32_t last = lastCount();
    if (last < first || count < first)
        return 0;
    const std::uint64_t step = std::uint64_t(frameRow) * (std::uint64_t(last) - first + 1) + (count - first);
    return std::uint32_t(std::min<std::uint64_t>(step, UINT32_MAX));
}

void ReportCountPage::CollectResults()
{
    if (!plan())
        return;
    const CIGMPTestPlan &testPlan = *plan();
    const std::uint64_t seconds = testPlan.TestDuration;
    // What the source sends at the row's maximum load.
    const auto expected = std::uint64_t(testPlan.MaxRate / 100 * double(testPlan.ChartScale));
    for (UtAggregateResult &result : Records) {
        if (result.FrameSize != testPlan.FrameSize || result.StepCount != CurrentCount)
            continue;
        std::uint32_t slot = 0;
        for (const UtTestPort &host : testPlan.HostPorts) {
            if (!IsHostOfPair(host, result.PairNo) || slot >= result.HostCount)
                continue;
            result.RxRate[slot] = seconds ? host.RxTotal / seconds : 0;
            result.ExpectedRate[slot] = expected;
            ++slot;
        }
    }
}

void ReportCountPage::BuildChartArrays()
{
    std::size_t bar = 0;
    for (const UtAggregateResult &result : Records) {
        for (std::uint32_t slot = 0; slot < result.HostCount && bar < MeasuredData.size(); ++slot, ++bar) {
            MeasuredData[bar] = double(result.RxRate[slot]);
            ExpectedData[bar] = double(result.ExpectedRate[slot]);
        }
    }
}

void ReportCountPage::FormatBarLabel()
{
    if (!plan())
        return;
    const std::vector<UtPairFrame> &steps = entries();
    int bar = 0;
    for (std::size_t i = 0; i < steps.size() && i < Records.size(); ++i) {
        // Only a count of the test's range has bars of its own.
        const std::uint32_t count = Records[i].StepCount;
        if (count < firstCount() || count > lastCount())
            continue;
        for (const UtTestPort &host : plan()->HostPorts) {
            if (!IsHostOfPair(host, steps[i].PairNo) || bar >= BarLabels.size())
                continue;
            BarLabels[bar++] = format(m_style.labelKey, int(host.Id.CID), int(host.Id.BID), int(host.Id.PID),
                                      int(steps[i].FrameSize), int(steps[i].PairNo), int(count));
        }
    }
}

std::unique_ptr<XYChart> ReportCountPage::MakeChart(int first, int count, int width, int height,
                                                    bool onScreen) const
{
    std::unique_ptr<XYChart> chart =
        chartFrame(width, height, 150, width - 37, m_style.chartTitleKey, "ResultPage_Axis_Rx_Packets");
    chart->xAxis().setLabels(axisLabels(first, count)).setFontAngle(m_style.labelAngle);
    BarLayer &bars = chart->addBarLayer(4);
    bars.addDataSet(slice(MeasuredData, first, count), 0xFF8080, text("ResultPage_Set_Total"));
    bars.setBorderColor(ChartColor::kTransparent, ChartEffect::softLighting(8, 4));
    if (onScreen) {
        const char *captionKey = CurrentCount <= 1 ? m_style.singularCaptionKey : m_style.captionKey;
        TextBox &caption = chart->addText(width / 2, 80,
                                          QStringLiteral("<*font=arialbd.ttf,size=10,color=000000*>") +
                                              format(captionKey, int(CurrentCount)),
                                          QString(), 8, ChartColor::kText, TextBox::TopLeft);
        caption.setAlignment(TextBox::TopRight);
    }
    addMarkers(*chart, slice(ExpectedData, first, count), true, 0x00AA00, 3, "ResultPage_Tip_Expected");
    if (onScreen)
        chart->addExtraField(barLabels(first, count));
    return chart;
}
