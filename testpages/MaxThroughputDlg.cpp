#include "testpages/MaxThroughputDlg.h"

CMaxThroughputDlg::CMaxThroughputDlg(QWidget *parent) : CParameterDlg(Kind::MaxThroughput, parent) {}
