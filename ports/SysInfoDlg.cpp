#include "ports/SysInfoDlg.h"

CSysInfoDlg::CSysInfoDlg(QWidget *parent) : QWidget(parent) {}

void CSysInfoDlg::SetLanguageText() {}
