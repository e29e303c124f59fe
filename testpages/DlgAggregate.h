// The Aggregated Multicast test page, a child of the main view shown inside its tab area.
// So far the page itself and the operations the main view calls, which find nothing to do yet: the
// page's controls and grids are still to come.
#pragma once

#include "testpages/CustomFrame.h"

#include <QWidget>
#include <cstdint>
#include <vector>

class CIGMPTestPlan;

class CDlgAggregate : public QWidget
{
public:
    explicit CDlgAggregate(QWidget *parent = nullptr);
    // Reads the port-information grid into the page's per-port settings.
    void StorePortSettings();
    // Refills the pair grid from the test plan's test pairs.
    void FillPairGrid();
    // Relabels the page's controls from the current language.
    void SetLanguageText();

    // True when the page's settings can be run; the run refuses the page otherwise.
    bool CheckFieldsValid() const;
    // Copies the page's settings into the test plan.
    void ApplyToTestConfig(CIGMPTestPlan &plan) const;

    // The frame-size rows the runner walks, in order.
    std::vector<UtCustomFrame> FrameRows;
};
