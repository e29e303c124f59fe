#include "testpages/DlgScale.h"

CDlgScale::CDlgScale(QWidget *parent) : QWidget(parent) {}

void CDlgScale::StorePortSettings() {}

void CDlgScale::FillPairGrid() {}
