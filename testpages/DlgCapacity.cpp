#include "testpages/DlgCapacity.h"

#include "engine/IGMPTestPlan.h"

CDlgCapacity::CDlgCapacity(QWidget *parent) : CTestPageBase(PortLayout::Standard, parent) {}

bool CDlgCapacity::CheckFieldsValid() const
{
    for (const std::uint32_t frameSize : RunList) {
        if ((frameSize & 0xFFFF) < kMinFrameSize || (frameSize & 0xFFFF) > kMaxFrameSize)
            return false;
    }
    return true;
}

void CDlgCapacity::ApplyToTestConfig(CIGMPTestPlan &plan)
{
    ApplyPairsAndPorts(plan, nullptr);
    plan.TestDuration = 0;
    plan.InitialRate = 0.0;
    plan.MinRate = 0.0;
    plan.MaxRate = 0.0;
    plan.Resolution = 0.0;
    plan.PayloadPattern = 0;
}
