// The Source Filter test page, a child of the main view shown inside its tab area.
// So far the page frame: the port-settings grid lists every port this program has locked; the page's
// port lists, groups and sources are still to come.
#pragma once

#include "testpages/TestPageBase.h"

#include <QStringList>
#include <cstdint>
#include <vector>

class CIGMPTestPlan;

class CDlgSourceFilter : public CTestPageBase
{
    Q_OBJECT

public:
    explicit CDlgSourceFilter(QWidget *parent = nullptr);

    // Lists one row per locked port (in port-table order), each with the page's group texts.
    void FillPortInfoGrid();
    // The labels of the ports this program has locked, in port-table order.
    static QStringList LockedPortLabels();

    // True when the page's settings can be run; the run refuses the page otherwise.
    bool CheckFieldsValid() const;
    // Copies the page's fixed values into the test plan.
    void ApplyToTestConfig(CIGMPTestPlan &plan);

    // Item counts of the group list and of the per-group record list.
    std::uint32_t GroupCount = 0;
    std::uint32_t RecordCount = 0;

private:
    void FillPortInfoGrid(int pairIndex) override;
};
