#include "reports/ReportAggregate.h"

#include <QTableWidget>

CReportAggregate::CReportAggregate(QWidget *parent) : ReportPage(parent) {}

// The page's chart and its records' counts come with the result pages themselves; the runners and
// procedures call these at their places already.
void CReportAggregate::CollectResults() {}

void CReportAggregate::BuildChartArrays()
{
    UpdateViewPort();
}
