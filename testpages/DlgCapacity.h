// The Group Capacity test page, a child of the main view shown inside its tab area.
// So far the page frame (pairs and port settings); the page's own fields and result grid are still to
// come.
#pragma once

#include "engine/TestPageHooks.h"
#include "testpages/TestPageBase.h"

#include <cstdint>
#include <vector>

class CIGMPTestPlan;
class QLabel;
class QTableWidget;

class CDlgCapacity : public CTestPageBase, public CapacityPageHooks
{
    Q_OBJECT

public:
    // The frame's texts and the result grid's headings in the current language.
    void SetLanguageText() override;
    explicit CDlgCapacity(QWidget *parent = nullptr);
    ~CDlgCapacity() override;

    // True when the page's settings can be run; the run refuses the page otherwise.
    bool CheckFieldsValid() const;
    // Copies the page's pairs, ports, settings and fixed values into the test plan.
    void ApplyToTestConfig(CIGMPTestPlan &plan);

    // One entry per run of the procedure (Capacity: the frame size).
    std::vector<std::uint32_t> RunList;

    // The results of the Group Capacity procedure, which the page installs in EngineHost: one row per
    // test pair, its receiving ports below with their received frames, the monitor port in red.
    void ShowResults(CIGMPTestPlan &plan) override;
    bool CheckGroupStepPassed(const CIGMPTestPlan &plan, std::uint32_t groups) override;
    bool FillSyntheticCounters(const CIGMPTestPlan &plan, std::uint32_t groups) override;
    void SetCapacityText(const QString &text) override;
    QTableWidget *ResultGrid;
    // The last group count that passed.
    QLabel *CapacityLabel;

private:
    void installResultWidgets();
};
