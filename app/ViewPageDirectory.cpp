#include "app/ViewPageDirectory.h"

#include "app/MainFormView.h"
#include "engine/IGMPTestPlan.h"
#include "reports/MyPropSheet.h"
#include "reports/ReportAggregate.h"
#include "reports/ReportFilter.h"
#include "reports/ReportLatency.h"
#include "reports/ReportMixClass.h"
#include "reports/ReportScale.h"
#include "run/TestReportDlg.h"
#include "testpages/DlgAggregate.h"
#include "testpages/DlgMixClass.h"

ViewPageDirectory::ViewPageDirectory(CMainFormView &view) : m_view(view), m_previous(install(this)) {}

ViewPageDirectory::~ViewPageDirectory()
{
    if (current() == this)
        install(m_previous);
}

// The directory's test page numbers are the view's test numbers.
static_assert(int(PageDirectory::MixClass) == TestMixClass &&
              int(PageDirectory::Aggregate) == TestAggregate && int(PageDirectory::Scale) == TestScale &&
              int(PageDirectory::Latency) == TestLatency && int(PageDirectory::Capacity) == TestCapacity &&
              int(PageDirectory::JoinLeave) == TestJoinLeave &&
              int(PageDirectory::SourceFilter) == TestSourceFilter);

CTestPageBase *ViewPageDirectory::testPage(int page) const
{
    return m_view.TestPage(page);
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

void ViewPageDirectory::SetUnicastPort(int row)
{
    if (m_view.MixClassPage)
        m_view.MixClassPage->SetUnicastPort(row);
}

void ViewPageDirectory::ShowUnicastPort(int row)
{
    if (m_view.MixClassPage)
        m_view.MixClassPage->ShowUnicastPort(row);
}

void ViewPageDirectory::SetClientLimit(int limit)
{
    if (m_view.AggregatePage)
        m_view.AggregatePage->SetClientLimit(limit);
}

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

ReportPage *ViewPageDirectory::resultPage(int page) const
{
    CTestReportDlg *report = m_view.ReportDlg;
    if (!report)
        return nullptr;
    switch (page) {
    case ResultMixClass:
        return report->MixClassPage;
    case ResultAggregate:
        return report->AggregatePage;
    case ResultScale:
        return report->ScalePage;
    case ResultLatency:
        return report->LatencyPage;
    case ResultFilter:
        return report->FilterPage;
    default:
        return nullptr;
    }
}

void ViewPageDirectory::CollectResults(int page)
{
    if (ReportPage *target = resultPage(page))
        target->CollectResults();
}

void ViewPageDirectory::DrawChart(int page)
{
    ReportPage *target = resultPage(page);
    if (!target)
        return;
    // The Mixed Class page redraws chart and tool tips through its viewer; the others draw the chart.
    if (page == ResultMixClass)
        target->UpdateViewPort();
    else
        target->DrawChart();
}
