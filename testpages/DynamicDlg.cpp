#include "testpages/DynamicDlg.h"

CDynamicDlg::CDynamicDlg(QWidget *parent) : QWidget(parent) {}

void CDynamicDlg::SetLanguageText() {}
