#include "testpages/DlgScale.h"

#include "engine/IGMPTestPlan.h"

CDlgScale::CDlgScale(QWidget *parent) : QWidget(parent) {}

void CDlgScale::StorePortSettings() {}

void CDlgScale::FillPairGrid() {}

bool CDlgScale::CheckFieldsValid() const
{
    for (const UtCustomFrame &row : FrameRows) {
        if (!IsUsableFrameRow(row, false))
            return false;
    }
    return true;
}

// The pair and port settings are copied with the page's grids.
void CDlgScale::ApplyToTestConfig(CIGMPTestPlan &) const {}
