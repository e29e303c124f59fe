// The live chart dialog of the dynamic mode.
#pragma once

#include "reports/ReportLiveChart.h"

class CReportDynamicDlg : public CReportLiveChart
{
public:
    // 448 x 265 dialog units.
    static LiveChartKind DynamicKind()
    {
        return {{672, 431}, 0xBBFEFE, "LiveChart_Title_Dynamic", 1182, 1183, 1184};
    }

    explicit CReportDynamicDlg(QWidget *parent = nullptr) : CReportLiveChart(DynamicKind(), parent) {}
};
