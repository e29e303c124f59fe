// The Group Capacity test page, a child of the main view shown inside its tab area.
// So far the page frame (pairs and port settings); the page's own fields and result grid are still to
// come.
#pragma once

#include "testpages/TestPageBase.h"

#include <cstdint>
#include <vector>

class CIGMPTestPlan;

class CDlgCapacity : public CTestPageBase
{
    Q_OBJECT

public:
    explicit CDlgCapacity(QWidget *parent = nullptr);

    // True when the page's settings can be run; the run refuses the page otherwise.
    bool CheckFieldsValid() const;
    // Copies the page's pairs, ports, settings and fixed values into the test plan.
    void ApplyToTestConfig(CIGMPTestPlan &plan);

    // One entry per run of the procedure (Capacity: the frame size).
    std::vector<std::uint32_t> RunList;
};
