#include "testpages/MaxThroughputDlg.h"

CMaxThroughputDlg::CMaxThroughputDlg(QWidget *parent) : QWidget(parent) {}

void CMaxThroughputDlg::SetLanguageText() {}
