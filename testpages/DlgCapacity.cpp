#include "testpages/DlgCapacity.h"

CDlgCapacity::CDlgCapacity(QWidget *parent) : QWidget(parent) {}

void CDlgCapacity::StorePortSettings() {}

void CDlgCapacity::FillPairGrid() {}
