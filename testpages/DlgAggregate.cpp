#include "testpages/DlgAggregate.h"

#include "engine/IGMPTestPlan.h"

CDlgAggregate::CDlgAggregate(QWidget *parent) : QWidget(parent) {}

void CDlgAggregate::StorePortSettings() {}

void CDlgAggregate::FillPairGrid() {}

void CDlgAggregate::SetLanguageText() {}

bool CDlgAggregate::CheckFieldsValid() const
{
    for (const UtCustomFrame &row : FrameRows) {
        if (!IsUsableFrameRow(row, false))
            return false;
    }
    return true;
}

// The pair and port settings are copied with the page's grids.
void CDlgAggregate::ApplyToTestConfig(CIGMPTestPlan &) const {}
