#include "testpages/DlgLatency.h"

#include "engine/IGMPTestPlan.h"

#include <QComboBox>

CDlgLatency::CDlgLatency(QWidget *parent) : CRateTestPage({PortLayout::Standard, 4, true, 1}, parent) {}

void CDlgLatency::ApplyToTestConfig(CIGMPTestPlan &plan)
{
    ApplyRatePage(plan);
    applyTiming(plan);
    LogRateParameters();
    plan.PayloadPattern = PayloadPatternOfIndex(PayloadCombo->currentIndex());
    plan.InitialRate = rateOf(InitialRateField);
    plan.MinRate = rateOf(MinRateField);
    plan.MaxRate = rateOf(MaxRateField);
    plan.Resolution = 0;
    plan.IgmpVersion = IgmpVersionOfIndex(IgmpVersionCombo->currentIndex());
}
