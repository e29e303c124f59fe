#include "testpages/DynamicDlg.h"

CDynamicDlg::CDynamicDlg(QWidget *parent) : CParameterDlg(Kind::Dynamic, parent) {}
