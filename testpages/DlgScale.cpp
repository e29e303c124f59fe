#include "testpages/DlgScale.h"

#include "engine/IGMPTestPlan.h"

CDlgScale::CDlgScale(QWidget *parent) : CRateTestPage(PortLayout::Standard, 3, parent) {}

bool CDlgScale::CheckFieldsValid()
{
    FillPortInfoGridForCheckedPairs();
    for (const UtCustomFrame &row : FrameRows) {
        if (!IsUsableFrameRow(row, false))
            return false;
    }
    return true;
}

void CDlgScale::ApplyToTestConfig(CIGMPTestPlan &plan)
{
    ApplyRatePage(plan);
}
