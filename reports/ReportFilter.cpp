#include "reports/ReportFilter.h"

#include <QTableWidget>

CReportFilter::CReportFilter(QWidget *parent) : ReportPage(parent) {}

// The page's chart and its records' counts come with the result pages themselves; the runners and
// procedures call these at their places already.
void CReportFilter::CollectResults() {}

void CReportFilter::BuildChartArrays()
{
    UpdateViewPort();
}

void CReportFilter::AddGroupRow(std::uint8_t groupIndex)
{
    SetCell(Grid->rowCount(), 0, QString::asprintf("Group %d", int(groupIndex) + 1));
}
