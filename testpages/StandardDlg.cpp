#include "testpages/StandardDlg.h"

CStandardDlg::CStandardDlg(QWidget *parent) : QWidget(parent) {}

void CStandardDlg::SetLanguageText() {}
