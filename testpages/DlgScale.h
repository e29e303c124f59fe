// The Scaled Group test page, a child of the main view shown inside its tab area: the rate-page fields
// and the range of group counts the test steps through for every frame size.
#pragma once

#include "testpages/RateTestPage.h"

class CDlgScale : public CRateTestPage
{
    Q_OBJECT

public:
    explicit CDlgScale(QWidget *parent = nullptr);

    // Copies the page into the test plan; the rate and frame-length lines go to the test log.
    void ApplyToTestConfig(CIGMPTestPlan &plan);
    std::vector<SectionField> SectionFields() override;

    NumberField InitialGroupsField;
    NumberField MaxGroupsField;

protected:
    bool countsValid() const override;
};
