#include "testpages/DlgAggregate.h"

#include "engine/IGMPTestPlan.h"

CDlgAggregate::CDlgAggregate(QWidget *parent) : CRateTestPage(PortLayout::Standard, 2, parent) {}

bool CDlgAggregate::CheckFieldsValid()
{
    FillPortInfoGridForCheckedPairs();
    for (const UtCustomFrame &row : FrameRows) {
        if (!IsUsableFrameRow(row, false))
            return false;
    }
    return true;
}

void CDlgAggregate::ApplyToTestConfig(CIGMPTestPlan &plan)
{
    ApplyRatePage(plan);
}
