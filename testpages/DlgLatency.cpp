#include "testpages/DlgLatency.h"

#include "engine/IGMPTestPlan.h"

CDlgLatency::CDlgLatency(QWidget *parent) : QWidget(parent) {}

void CDlgLatency::StorePortSettings() {}

void CDlgLatency::FillPairGrid() {}

bool CDlgLatency::CheckFieldsValid() const
{
    if (!(RateStep > 0) || !(InitialRate > 0) || !(MaxRate <= 100))
        return false;
    for (const UtCustomFrame &row : FrameRows) {
        if (!IsUsableFrameRow(row, true))
            return false;
    }
    return true;
}

void CDlgLatency::ApplyToTestConfig(CIGMPTestPlan &plan) const
{
    plan.InitialRate = InitialRate;
    plan.MinRate = RateStep;
    plan.MaxRate = MaxRate;
}
