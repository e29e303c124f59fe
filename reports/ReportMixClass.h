// The Mixed Class result page of the report window: its grid and the result records of the running test.
#pragma once

#include "reports/ReportPage.h"
#include "reports/ResultRecords.h"

class CReportMixClass : public ReportPage
{
public:
    explicit CReportMixClass(QWidget *parent = nullptr);

    // Fills the records of the current step from the tested ports' counters.
    void CollectResults();
    // Turns the records into the chart's bars.
    void BuildChartArrays();

    std::vector<UtMixClassResult> Records;
};
