// The result pages of the report window and the set of benchmarks the last run ran: what the
// spreadsheet and PDF reports read of the window that owns the counter page.
#pragma once

#include "engine/ResultSet.h"

class ReportPage;

struct ReportResultPages
{
    const UtResultSet *Results = nullptr;
    ReportPage *MixClass = nullptr;
    ReportPage *Aggregate = nullptr;
    ReportPage *Scale = nullptr;
    ReportPage *Latency = nullptr;
    ReportPage *Filter = nullptr;

    // Whether the last run ran the benchmark (its flag in the result set).
    bool ran(int test) const { return Results && Results->Ran[std::size_t(test)] != 0; }
};
