#include "app/ViewPageDirectory.h"

#include "app/MainFormView.h"
#include "engine/IGMPTestPlan.h"
#include "engine/TestReportDlg.h"
#include "reports/MyPropSheet.h"
#include "reports/ReportAggregate.h"
#include "reports/ReportFilter.h"
#include "reports/ReportLatency.h"
#include "reports/ReportMixClass.h"
#include "reports/ReportScale.h"
#include "testpages/TestPageBase.h"

ViewPageDirectory::ViewPageDirectory(CMainFormView &view) : m_view(view), m_previous(install(this)) {}

ViewPageDirectory::~ViewPageDirectory()
{
    if (current() == this)
        install(m_previous);
}

// The directory's test page numbers are the view's test numbers.
static_assert(PageDirectory::MixClass == TestMixClass && PageDirectory::Aggregate == TestAggregate &&
              PageDirectory::Scale == TestScale && PageDirectory::Latency == TestLatency &&
              PageDirectory::Capacity == TestCapacity && PageDirectory::JoinLeave == TestJoinLeave &&
              PageDirectory::SourceFilter == TestSourceFilter);

CTestPageBase *ViewPageDirectory::testPage(int page) const
{
    return dynamic_cast<CTestPageBase *>(m_view.TestPage(page));
}

bool ViewPageDirectory::IsTestPageShown(int page) const
{
    const CTestPageBase *shown = testPage(page);
    return shown && m_view.IsPageShown(shown);
}

bool ViewPageDirectory::IsResultPageShown(int page) const
{
    const CTestReportDlg *report = m_view.ReportDlg;
    return report && m_view.IsPageShown(report) && report->PropSheet->GetActiveIndex() == page;
}

void ViewPageDirectory::StorePortSettings(int page)
{
    if (CTestPageBase *target = testPage(page))
        target->StorePortSettings();
}

void ViewPageDirectory::FillPortInfoGrid(int page, int row)
{
    if (CTestPageBase *target = testPage(page))
        target->FillPortInfoGridForPairRow(row);
}

// The Mixed Class page's unicast-port list and the Aggregate page's client limit come with those
// pages' own fields; until then a tick there changes nothing beyond the list itself.
void ViewPageDirectory::SetUnicastPort(int) {}

void ViewPageDirectory::ShowUnicastPort(int) {}

void ViewPageDirectory::SetClientLimit(int) {}

void ViewPageDirectory::ClearPairSelection(int pair)
{
    if (pair < 0 || pair >= int(kMaxTestPairs))
        return;
    for (int test = 0; test < TestCount; ++test) {
        if (CTestPageBase *page = testPage(test))
            page->PairChecked[std::size_t(pair + 1)] = 0;
    }
}

void ViewPageDirectory::MovePairSelection(int from, int to)
{
    if (from < 0 || to < 0 || from >= int(kMaxTestPairs) || to >= int(kMaxTestPairs))
        return;
    for (int test = 0; test < TestCount; ++test) {
        if (CTestPageBase *page = testPage(test))
            page->PairChecked[std::size_t(to + 1)] = page->PairChecked[std::size_t(from + 1)];
    }
}

void ViewPageDirectory::CollectResults(int page)
{
    CTestReportDlg *report = m_view.ReportDlg;
    if (!report)
        return;
    switch (page) {
    case ResultMixClass:
        report->MixClassPage->CollectResults();
        break;
    case ResultAggregate:
        report->AggregatePage->CollectResults();
        break;
    case ResultScale:
        report->ScalePage->CollectResults();
        break;
    case ResultLatency:
        report->LatencyPage->CollectResults();
        break;
    case ResultFilter:
        report->FilterPage->CollectResults();
        break;
    default:
        break;
    }
}

void ViewPageDirectory::DrawChart(int page)
{
    CTestReportDlg *report = m_view.ReportDlg;
    if (!report)
        return;
    switch (page) {
    case ResultMixClass:
        report->MixClassPage->BuildChartArrays();
        break;
    case ResultAggregate:
        report->AggregatePage->BuildChartArrays();
        break;
    case ResultScale:
        report->ScalePage->BuildChartArrays();
        break;
    case ResultLatency:
        report->LatencyPage->BuildChartArrays();
        break;
    case ResultFilter:
        report->FilterPage->BuildChartArrays();
        break;
    default:
        break;
    }
}
