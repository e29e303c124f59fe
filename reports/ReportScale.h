// The Scale Group result page of the report window: its grid and the result records of the running test.
#pragma once

#include "reports/ReportPage.h"
#include "reports/ResultRecords.h"

class CReportScale : public ReportPage
{
public:
    // Each passing trial's rate goes into this column of the count's first row.
    static constexpr int kPassedRateColumn = 7;

    explicit CReportScale(QWidget *parent = nullptr);

    // Fills the records of the current step from the tested ports' counters.
    void CollectResults();
    // Turns the records into the chart's bars.
    void BuildChartArrays();

    std::vector<UtAggregateResult> Records;
};
