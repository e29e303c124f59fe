#include "testpages/DlgSourceFilter.h"

CDlgSourceFilter::CDlgSourceFilter(QWidget *parent) : QWidget(parent) {}

void CDlgSourceFilter::StorePortSettings() {}
