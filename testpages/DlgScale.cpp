#include "testpages/DlgScale.h"

#include "engine/IGMPTestPlan.h"

CDlgScale::CDlgScale(QWidget *parent) : CRateTestPage(PortLayout::Standard, 3, parent) {}

bool CDlgScale::CheckFieldsValid()
{
    FillPortInfoGridForCheckedPairs();
    return CheckFrameRows(false);
}

void CDlgScale::ApplyToTestConfig(CIGMPTestPlan &plan)
{
    ApplyRatePage(plan);
}
