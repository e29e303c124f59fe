#include "testpages/DlgMixClass.h"

CDlgMixClass::CDlgMixClass(QWidget *parent) : QWidget(parent) {}

void CDlgMixClass::StorePortSettings() {}

void CDlgMixClass::FillPairGrid() {}

void CDlgMixClass::SetLanguageText() {}
