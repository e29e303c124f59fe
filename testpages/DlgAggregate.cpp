#include "testpages/DlgAggregate.h"

#include "engine/IGMPTestPlan.h"

CDlgAggregate::CDlgAggregate(QWidget *parent) : CRateTestPage(PortLayout::Standard, 2, parent) {}

bool CDlgAggregate::CheckFieldsValid()
{
    FillPortInfoGridForCheckedPairs();
    return CheckFrameRows(false);
}

void CDlgAggregate::ApplyToTestConfig(CIGMPTestPlan &plan)
{
    ApplyRatePage(plan);
}
