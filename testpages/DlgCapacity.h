// The Group Capacity test page: how many multicast groups the device under test forwards at once. The
// user sets the trials, the delay after the start, the frame size, the initial, step and maximum group
// counts, the IGMP version and one monitor port that must receive nothing; the page shows the received
// frames per port and the last group count that passed.
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

class CDlgCapacity : public CTestPageBase, public CapacityPageHooks
{
    Q_OBJECT

public:
    explicit CDlgCapacity(QWidget *parent = nullptr);
    ~CDlgCapacity() override;

    // The page's texts and the result grid's headings in the current language.
    void SetLanguageText() override;
    std::vector<SectionField> SectionFields() override;

    // True when every field holds a number within its range, the initial groups do not exceed the
    // maximum, a pair is ticked, a monitor port is listed and at least one port besides the monitor
    // receives (the last with a message).
    bool CheckFieldsValid() override;
    // Copies the pairs, ports, settings and fields into the test plan, the monitor port flagged (added
    // to the hosts when it is none), and the frame size into RunList.
    void ApplyToTestConfig(CIGMPTestPlan &plan);
    // Lists "(%d, %d, %d)" of every locked port that is no source, in text order, keeping the choice.
    void FillMonitorPortCombo();

    // One entry per run of the procedure: the frame size.
    std::vector<std::uint32_t> RunList;

    // The results of the Group Capacity procedure, which the page installs in EngineHost: one row per
    // test pair, its receiving ports below with their received frames, the monitor port in red.
    void LayOutResults(const CIGMPTestPlan &plan) override;
    void ShowResults(CIGMPTestPlan &plan) override;
    bool CheckGroupStepPassed(const CIGMPTestPlan &plan, std::uint32_t groups) override;
    bool FillSyntheticCounters(const CIGMPTestPlan &plan, std::uint32_t groups) override;

    PageNumberField Trials;          // 1 to 5
    PageNumberField DelayAfterStart; // seconds, 1 to 300
    PageNumberField FrameSize;       // bytes, the engine's frame-size range
    PageNumberField InitialGroups;   // 1 to the engine's group count
    PageNumberField GroupStep;       // 1 to the engine's group count
    PageNumberField MaxGroups;       // 1 to the engine's group count
    QLabel *IgmpVersionLabel = nullptr;
    QComboBox *IgmpVersionCombo = nullptr;
    QLabel *MonitorLabel = nullptr;
    QComboBox *MonitorCombo = nullptr;
    QCheckBox *SendLeaveCheck = nullptr; // never shown
    QGroupBox *ResultBox = nullptr;
    QTableWidget *ResultGrid = nullptr;
    QGroupBox *LastPassBox = nullptr;
    // The last group count that passed.
    QLabel *CapacityLabel = nullptr;

protected:
    void afterPairGridFill() override;

private:
    void createFields();
    void createResultWidgets();
    // The grid's rows; the hosts' received counts when `withCounts`, else empty count cells.
    void fillResultGrid(const CIGMPTestPlan &plan, bool withCounts);
};
