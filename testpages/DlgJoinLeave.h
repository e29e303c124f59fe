// The Join/Leave delay test page: how long the device under test takes to start forwarding a group
// after a host joins it and to stop after the host leaves. The user sets the trials, the delay after
// the source joined, the test duration, the IGMP version and which delays to measure; the page shows
// the delay per receiving port and the two averages.
#pragma once

#include "engine/TestPageHooks.h"
#include "testpages/PageNumberField.h"
#include "testpages/TestPageBase.h"

#include <cstdint>
#include <vector>

class CIGMPTestPlan;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QTableWidget;

class CDlgJoinLeave : public CTestPageBase, public JoinLeavePageHooks
{
    Q_OBJECT

public:
    explicit CDlgJoinLeave(QWidget *parent = nullptr);
    ~CDlgJoinLeave() override;

    // The page's texts and the result grid's headings in the current language.
    void SetLanguageText() override;
    std::vector<SectionField> SectionFields() override;

    // True when every field holds a number within its range, a pair is ticked and at least one delay
    // is to be measured.
    bool CheckFieldsValid() override;
    // Copies the pairs, ports, settings, fields and the measure flags into the test plan; the test
    // always runs with 64-byte frames (RunList).
    void ApplyToTestConfig(CIGMPTestPlan &plan);
    // A click on a measure box: the last delay to measure cannot be unticked.
    void OnEnableMeasureJoin();
    void OnEnableMeasureLeave();

    // One entry per run of the procedure: the frame size, always 64.
    std::vector<std::uint32_t> RunList;

    // The results of the Join/Leave procedure, which the page installs in EngineHost: one row per test
    // pair, its receiving ports below with their join and leave delays, and the two averages.
    void ShowResults(const CIGMPTestPlan &plan) override;
    // Made-up stamps from the plan's random source: join delays of 0.18 to 0.22 ms, leave delays of
    // 0.58 to 0.62 ms.
    bool FillSyntheticDelayStamps(const CIGMPTestPlan &plan, std::uint8_t kind) override;
    void SetDelayCell(int row, int column, const QString &text) override;
    void SetAverageText(int column, const QString &text) override;

    PageNumberField Trials;         // 1 to 5
    PageNumberField DelayAfterJoin; // seconds after the source joined, 1 to 300
    PageNumberField TestDuration;   // seconds, 1 to 300
    QLabel *IgmpVersionLabel = nullptr;
    QComboBox *IgmpVersionCombo = nullptr;
    QCheckBox *MeasureJoinCheck = nullptr;
    QCheckBox *MeasureLeaveCheck = nullptr;
    QCheckBox *SendLeaveCheck = nullptr; // never shown
    QGroupBox *ResultBox = nullptr;
    QTableWidget *ResultGrid = nullptr;
    QGroupBox *AverageBox = nullptr;
    QLabel *JoinAverageCaption = nullptr;
    QLabel *LeaveAverageCaption = nullptr;
    QLabel *JoinAverageLabel = nullptr;
    QLabel *LeaveAverageLabel = nullptr;

private:
    void createFields();
    void createResultWidgets();
};
