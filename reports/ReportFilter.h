// The Source Filter result page of the report window: its grid and the result records of the running test.
#pragma once

#include "reports/ReportPage.h"
#include "reports/ResultRecords.h"

class CReportFilter : public ReportPage
{
public:
    // A group's verdict for the hosts' block of rows.
    static constexpr int kVerdictColumn = 5;

    explicit CReportFilter(QWidget *parent = nullptr);

    // Fills the records of the current step from the tested ports' counters.
    void CollectResults();
    // Turns the records into the chart's bars.
    void BuildChartArrays();

    // Adds the row "Group %d" (1-based) to the grid.
    void AddGroupRow(std::uint8_t groupIndex);
    std::vector<UtSourceFilterResult> Records;
};
