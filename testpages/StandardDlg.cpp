#include "testpages/StandardDlg.h"

CStandardDlg::CStandardDlg(QWidget *parent) : CParameterDlg(Kind::Standard, parent) {}
