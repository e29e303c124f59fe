#include "testpages/DlgLatency.h"

CDlgLatency::CDlgLatency(QWidget *parent) : QWidget(parent) {}

void CDlgLatency::StorePortSettings() {}

void CDlgLatency::FillPairGrid() {}
