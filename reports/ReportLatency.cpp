#include "reports/ReportLatency.h"

#include <QTableWidget>

CReportLatency::CReportLatency(QWidget *parent) : ReportPage(parent) {}

// The page's chart and its records' counts come with the result pages themselves; the runners and
// procedures call these at their places already.
void CReportLatency::CollectResults() {}

void CReportLatency::BuildChartArrays()
{
    UpdateViewPort();
}
