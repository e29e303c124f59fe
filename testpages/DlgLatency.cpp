#include "testpages/DlgLatency.h"

#include "engine/IGMPTestPlan.h"

CDlgLatency::CDlgLatency(QWidget *parent) : CRateTestPage(PortLayout::Standard, 4, parent) {}

bool CDlgLatency::CheckFieldsValid()
{
    FillPortInfoGridForCheckedPairs();
    if (!(RateStep > 0) || !(InitialRate > 0) || !(MaxRate <= 100))
        return false;
    return CheckFrameRows(true);
}

void CDlgLatency::ApplyToTestConfig(CIGMPTestPlan &plan)
{
    ApplyRatePage(plan);
    plan.InitialRate = InitialRate;
    plan.MinRate = RateStep;
    plan.MaxRate = MaxRate;
}
