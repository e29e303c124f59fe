#include "reports/ReportMixClass.h"

#include <QTableWidget>

CReportMixClass::CReportMixClass(QWidget *parent) : ReportPage(parent) {}

// The page's chart and its records' counts come with the result pages themselves; the runners and
// procedures call these at their places already.
void CReportMixClass::CollectResults() {}

void CReportMixClass::BuildChartArrays()
{
    UpdateViewPort();
}
