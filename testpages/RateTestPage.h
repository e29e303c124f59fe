// What the four rate pages (Mixed Class, Aggregate, Scale, Latency) add to the page frame: the
// "Initial Rate (%):" label, the custom frame-size table with its "Custom" box and "Edit.." button, the
// rows the next run walks and the host ports of the last copy into the test plan.
#pragma once

#include "testpages/CustomFrame.h"
#include "testpages/TestPageBase.h"

#include <functional>
#include <vector>

class CPacketCustomPage;
class QCheckBox;
class QGridLayout;
class QPushButton;

class CRateTestPage : public CTestPageBase
{
    Q_OBJECT

public:
    // kind: the frame-size editor's test kind (1 Mixed Class, 2 Aggregate, 3 Scale, 4 Latency).
    CRateTestPage(PortLayout layout, std::uint32_t kind, QWidget *parent);

    // The seven default rows into the custom frame-size table.
    void InitCustomFrameTable();
    // "Edit..": the frame-size editor on this page's table, modally.
    void OnEditCustom();
    // Also the "Initial Rate (%):" label.
    void SetLanguageText() override;

    // Runs the editor; tests put a double here.
    std::function<int(CPacketCustomPage &)> RunEditor;

    // The frame-size rows the runner walks, in order.
    std::vector<UtCustomFrame> FrameRows;
    // The custom frame-size table: always seven rows.
    std::vector<UtCustomFrame> CustomFrameTable;
    // The host ports of the last copy into the test plan, in the order of the plan's host list.
    std::vector<UtTestPort> HostPortList;

    QGridLayout *ConfigLayout = nullptr; // inside ConfigBox
    QLabel *InitialRateLabel = nullptr;
    QCheckBox *CustomCheck = nullptr;
    QPushButton *EditButton = nullptr;

protected:
    // The copy into the test plan that every rate page shares: the pairs and ports, the host list.
    void ApplyRatePage(CIGMPTestPlan &plan);
    // True when every frame-size row can be run (a latency page's rows by their rate step). A row
    // below the 64-byte minimum, which the editor allows, is named in a message.
    bool CheckFrameRows(bool rateStep) const;

private:
    std::uint32_t m_kind;
};
