// The report window: a child page of the main view that shows the result pages and the counter page in
// its property sheet. So far the window and its sheet with six empty places, which the result pages
// (Mixed Class, Aggregate, Scale, Latency, Filter) and the counter page are to fill.
#pragma once

#include <QWidget>

class CMyPropSheet;

class CTestReportDlg : public QWidget
{
public:
    static constexpr int kSheetPages = 6;

    explicit CTestReportDlg(QWidget *parent = nullptr);
    ~CTestReportDlg() override;

    CMyPropSheet *PropSheet;

protected:
    void resizeEvent(QResizeEvent *event) override;
};

// The one report window; null while it does not exist.
extern CTestReportDlg *g_ReportDlg;
