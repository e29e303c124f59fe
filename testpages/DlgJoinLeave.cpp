#include "testpages/DlgJoinLeave.h"

CDlgJoinLeave::CDlgJoinLeave(QWidget *parent) : QWidget(parent) {}

void CDlgJoinLeave::StorePortSettings() {}

void CDlgJoinLeave::FillPairGrid() {}
