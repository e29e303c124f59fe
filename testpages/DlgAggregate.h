// The Aggregated Multicast test page, a child of the main view shown inside its tab area: the rate-page
// fields and the range of client counts the test steps through, held to the smallest test pair.
#pragma once

#include "testpages/RateTestPage.h"

class CDlgAggregate : public CRateTestPage
{
    Q_OBJECT

public:
    explicit CDlgAggregate(QWidget *parent = nullptr);

    // Copies the page into the test plan; the rate and frame-length lines go to the test log.
    void ApplyToTestConfig(CIGMPTestPlan &plan);
    std::vector<SectionField> SectionFields() override;

    // Narrows both client fields to 1..limit (a value above it becomes the limit); a limit of 0 or
    // below (no pair in use) changes nothing.
    void SetClientLimit(int limit);

    NumberField InitialClientsField;
    NumberField MaxClientsField;

protected:
    bool countsValid() const override;
};
