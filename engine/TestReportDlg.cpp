#include "engine/TestReportDlg.h"

#include "reports/MyPropSheet.h"

CTestReportDlg *g_ReportDlg = nullptr;

CTestReportDlg::CTestReportDlg(QWidget *parent) : QWidget(parent), PropSheet(new CMyPropSheet(this))
{
    for (int page = 0; page < kSheetPages; ++page)
        PropSheet->addTab(new QWidget(PropSheet), QString());
    g_ReportDlg = this;
}

CTestReportDlg::~CTestReportDlg()
{
    if (g_ReportDlg == this)
        g_ReportDlg = nullptr;
}

// The sheet fills the window less 5 pixels on every side.
void CTestReportDlg::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    PropSheet->setGeometry(rect().adjusted(5, 5, -5, -5));
}
