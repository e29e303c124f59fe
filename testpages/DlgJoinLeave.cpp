#include "testpages/DlgJoinLeave.h"

#include "engine/IGMPTestPlan.h"

CDlgJoinLeave::CDlgJoinLeave(QWidget *parent) : QWidget(parent) {}

void CDlgJoinLeave::StorePortSettings() {}

void CDlgJoinLeave::FillPairGrid() {}

bool CDlgJoinLeave::CheckFieldsValid() const
{
    return true;
}

// The pair and port settings are copied with the page's grids.
void CDlgJoinLeave::ApplyToTestConfig(CIGMPTestPlan &) const {}
