#include "testpages/DlgMixClass.h"

#include "engine/IGMPTestPlan.h"

CDlgMixClass::CDlgMixClass(QWidget *parent) : CRateTestPage(PortLayout::MixClass, 1, parent) {}

bool CDlgMixClass::CheckFieldsValid()
{
    FillPortInfoGridForCheckedPairs();
    return CheckFrameRows(false);
}

void CDlgMixClass::ApplyToTestConfig(CIGMPTestPlan &plan)
{
    ApplyRatePage(plan);
    plan.ChartScale = 0;
}
