// The Source Filter test page, a child of the main view shown inside its tab area.
// So far the page itself and the operations the main view calls, which find nothing to do yet: the
// page's controls and grids are still to come.
#pragma once

#include <QWidget>
#include <cstdint>
#include <vector>

class CIGMPTestPlan;

class CDlgSourceFilter : public QWidget
{
public:
    explicit CDlgSourceFilter(QWidget *parent = nullptr);
    // Reads the port-information grid into the page's per-port settings.
    void StorePortSettings();

    // True when the page's settings can be run; the run refuses the page otherwise.
    bool CheckFieldsValid() const;
    // Copies the page's settings into the test plan.
    void ApplyToTestConfig(CIGMPTestPlan &plan) const;

    // Item counts of the group list and of the per-group record list.
    std::uint32_t GroupCount = 0;
    std::uint32_t RecordCount = 0;
};
