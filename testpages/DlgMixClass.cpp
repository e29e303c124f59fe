#include "testpages/DlgMixClass.h"

#include "engine/IGMPTestPlan.h"

CDlgMixClass::CDlgMixClass(QWidget *parent) : QWidget(parent) {}

void CDlgMixClass::StorePortSettings() {}

void CDlgMixClass::FillPairGrid() {}

void CDlgMixClass::SetLanguageText() {}

bool CDlgMixClass::CheckFieldsValid() const
{
    for (const UtCustomFrame &row : FrameRows) {
        if (!IsUsableFrameRow(row, false))
            return false;
    }
    return true;
}

// The pair and port settings are copied with the page's grids.
void CDlgMixClass::ApplyToTestConfig(CIGMPTestPlan &) const {}
