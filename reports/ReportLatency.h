// The Latency result page: per step (a frame-size row at one of its load rates) and pair in use one
// record with the latencies of the pair's host ports; a grid with one row per host port for each step,
// whose CT and SF columns the procedure fills; a chart of the average latency as measured (CT) and less
// the module's own latency (SF), with markers at the largest and the smallest latency.
#pragma once

#include "reports/ReportPage.h"
#include "reports/ResultRecords.h"

class CReportLatency : public ReportPage
{
    Q_OBJECT

public:
    // A host's maximum/minimum/average latency, as measured and less its module's own latency.
    static constexpr int kMeasuredColumn = 7;
    static constexpr int kCompensatedColumn = 8;

    explicit CReportLatency(QWidget *parent = nullptr);

    void FillReportGrid() override;
    void CollectResults() override;
    void BuildChartArrays() override;
    void FormatBarLabel() override;

    // x + 0.005, times 100, truncated, divided by 100: the value the chart shows.
    static double TwoDecimals(double value);
    // The load rates a frame-size row runs: its initial rate, by the test's rate step, while not above
    // its end rate. The runner, its records and the grid all take a row's steps from here.
    static std::vector<double> RowRates(const UtCustomFrame &row, double rateStep);
    // The grid row of the host port at hostIndex (in the plan's host-port order) in a step's block.
    int ResultRow(std::uint32_t step, std::size_t hostIndex) const;

    // The load rate of the procedure call under way, and its step: the index of the (frame-size row,
    // rate) pair in the run, counted over all rows.
    double CurrentRate = 0;
    std::uint32_t CurrentStep = 0;
    std::vector<UtLatencyResult> Records;
    // One value per bar (microseconds): average CT, average SF, maximum and minimum CT.
    std::vector<double> AvgCtData;
    std::vector<double> AvgSfData;
    std::vector<double> MaxData;
    std::vector<double> MinData;

protected:
    int CountBars() const override { return hostsOfEntries(); }
    void ResizeSeries(int count) override;
    std::unique_ptr<XYChart> MakeChart(int first, int count, int width, int height,
                                       bool onScreen) const override;
};
