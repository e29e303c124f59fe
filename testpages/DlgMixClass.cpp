#include "testpages/DlgMixClass.h"

#include "engine/IGMPTestPlan.h"

CDlgMixClass::CDlgMixClass(QWidget *parent) : CRateTestPage(PortLayout::MixClass, 1, parent) {}

bool CDlgMixClass::CheckFieldsValid()
{
    FillPortInfoGridForCheckedPairs();
    for (const UtCustomFrame &row : FrameRows) {
        if (!IsUsableFrameRow(row, false))
            return false;
    }
    return true;
}

void CDlgMixClass::ApplyToTestConfig(CIGMPTestPlan &plan)
{
    ApplyRatePage(plan);
    plan.ChartScale = 0;
}
