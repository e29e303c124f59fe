#include "testpages/DlgCapacity.h"

#include "engine/IGMPTestPlan.h"

CDlgCapacity::CDlgCapacity(QWidget *parent) : QWidget(parent) {}

void CDlgCapacity::StorePortSettings() {}

void CDlgCapacity::FillPairGrid() {}

bool CDlgCapacity::CheckFieldsValid() const
{
    for (const std::uint32_t frameSize : RunList) {
        if ((frameSize & 0xFFFF) < kMinFrameSize || (frameSize & 0xFFFF) > kMaxFrameSize)
            return false;
    }
    return true;
}

// The pair and port settings are copied with the page's grids.
void CDlgCapacity::ApplyToTestConfig(CIGMPTestPlan &) const {}
