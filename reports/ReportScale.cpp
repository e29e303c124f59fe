#include "reports/ReportScale.h"

#include <QTableWidget>

CReportScale::CReportScale(QWidget *parent) : ReportPage(parent) {}

// The page's chart and its records' counts come with the result pages themselves; the runners and
// procedures call these at their places already.
void CReportScale::CollectResults() {}

void CReportScale::BuildChartArrays()
{
    UpdateViewPort();
}
