// The Latency result page of the report window: its grid and the result records of the running test.
#pragma once

#include "reports/ReportPage.h"
#include "reports/ResultRecords.h"

class CReportLatency : public ReportPage
{
public:
    // A host's maximum/minimum/average latency, as measured and less its module's own latency.
    static constexpr int kMeasuredColumn = 7;
    static constexpr int kCompensatedColumn = 8;

    explicit CReportLatency(QWidget *parent = nullptr);

    // Fills the records of the current step from the tested ports' counters.
    void CollectResults();
    // Turns the records into the chart's bars.
    void BuildChartArrays();

    // The load rate of the procedure call under way.
    double CurrentRate = 0;
    std::vector<UtLatencyResult> Records;
};
