#include "testpages/DlgJoinLeave.h"

#include "engine/IGMPTestPlan.h"

CDlgJoinLeave::CDlgJoinLeave(QWidget *parent) : CTestPageBase(PortLayout::Standard, parent) {}

bool CDlgJoinLeave::CheckFieldsValid() const
{
    return true;
}

void CDlgJoinLeave::ApplyToTestConfig(CIGMPTestPlan &plan)
{
    ApplyPairsAndPorts(plan, nullptr);
    plan.InitialRate = 0.0;
    plan.MinRate = 0.0;
    plan.MaxRate = 0.0;
    plan.Resolution = 0.0;
    plan.CurrentRate = 100.0;
    plan.PayloadPattern = 0;
}
