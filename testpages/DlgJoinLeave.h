// The Join/Leave delay test page, a child of the main view shown inside its tab area.
// So far the page frame (pairs and port settings); the page's own fields and result grid are still to
// come.
#pragma once

#include "engine/TestPageHooks.h"
#include "testpages/TestPageBase.h"

#include <cstdint>
#include <functional>
#include <vector>

class CIGMPTestPlan;
class QLabel;
class QTableWidget;

class CDlgJoinLeave : public CTestPageBase, public JoinLeavePageHooks
{
    Q_OBJECT

public:
    // The frame's texts and the result grid's headings in the current language.
    void SetLanguageText() override;
    explicit CDlgJoinLeave(QWidget *parent = nullptr);
    ~CDlgJoinLeave() override;

    // True when the page's settings can be run; the run refuses the page otherwise.
    bool CheckFieldsValid() const;
    // Copies the page's pairs, ports, settings and fixed values into the test plan.
    void ApplyToTestConfig(CIGMPTestPlan &plan);

    // One entry per run of the procedure (Capacity: the frame size).
    std::vector<std::uint32_t> RunList;

    // The results of the Join/Leave procedure, which the page installs in EngineHost: one row per test
    // pair, its receiving ports below with their join and leave delays, and the two averages.
    void ShowResults(const CIGMPTestPlan &plan) override;
    bool FillSyntheticDelayStamps(const CIGMPTestPlan &plan, std::uint8_t kind) override;
    void SetDelayCell(int row, int column, const QString &text) override;
    void SetAverageText(int column, const QString &text) override;
    QTableWidget *ResultGrid;
    QLabel *JoinAverageLabel;
    QLabel *LeaveAverageLabel;
    // The random source of the made-up stamps (0 .. RAND_MAX); tests set their own.
    std::function<int()> Random;

private:
    void installResultWidgets();
};
