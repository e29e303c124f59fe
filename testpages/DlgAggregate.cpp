#include "testpages/DlgAggregate.h"

CDlgAggregate::CDlgAggregate(QWidget *parent) : QWidget(parent) {}

void CDlgAggregate::StorePortSettings() {}

void CDlgAggregate::FillPairGrid() {}

void CDlgAggregate::SetLanguageText() {}
