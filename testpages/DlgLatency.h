// The Latency test page, a child of the main view shown inside its tab area: the rate-page frame
// (pairs, port settings, custom frame sizes) and the page-level rates; the page's own fields are still
// to come.
#pragma once

#include "testpages/RateTestPage.h"

class CDlgLatency : public CRateTestPage
{
    Q_OBJECT

public:
    explicit CDlgLatency(QWidget *parent = nullptr);

    // True when the page's settings can be run: the port grid is first rebuilt from the ticked pairs.
    bool CheckFieldsValid();
    // Copies the page's pairs, ports, settings and rates into the test plan.
    void ApplyToTestConfig(CIGMPTestPlan &plan);

    // Page-level rates: the rate loop of every row runs from InitialRate by RateStep up to MaxRate.
    double InitialRate = 0;
    double RateStep = 0;
    double MaxRate = 0;
};
