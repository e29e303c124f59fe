#include "testpages/DlgSourceFilter.h"

#include "engine/IGMPTestPlan.h"

CDlgSourceFilter::CDlgSourceFilter(QWidget *parent) : QWidget(parent) {}

void CDlgSourceFilter::StorePortSettings() {}

bool CDlgSourceFilter::CheckFieldsValid() const
{
    return true;
}

// The groups and sources are copied with the page's grids.
void CDlgSourceFilter::ApplyToTestConfig(CIGMPTestPlan &) const {}
