// The Latency test page, a child of the main view shown inside its tab area: the rate-page fields with
// a rate step in place of the minimum rate and no resolution; the test measures every rate from the
// initial one by the step up to the maximum.
#pragma once

#include "testpages/RateTestPage.h"

class CDlgLatency : public CRateTestPage
{
    Q_OBJECT

public:
    explicit CDlgLatency(QWidget *parent = nullptr);

    // Copies the page into the test plan, the rates included (the plan's minimum rate holds the step);
    // the rate and frame-length lines go to the test log.
    void ApplyToTestConfig(CIGMPTestPlan &plan);
};
