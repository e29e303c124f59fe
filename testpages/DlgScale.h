// The Scaled Group test page, a child of the main view shown inside its tab area: the rate-page frame
// (pairs, port settings, custom frame sizes); the page's own fields are still to come.
#pragma once

#include "testpages/RateTestPage.h"

class CDlgScale : public CRateTestPage
{
    Q_OBJECT

public:
    explicit CDlgScale(QWidget *parent = nullptr);

    // True when the page's settings can be run: the port grid is first rebuilt from the ticked pairs.
    bool CheckFieldsValid();
    // Copies the page's pairs, ports and settings into the test plan.
    void ApplyToTestConfig(CIGMPTestPlan &plan);
};
