// The live chart dialog of the maximum-throughput approaching mode.
#pragma once

#include "reports/ReportLiveChart.h"

class CReportMaxThroughputDlg : public CReportLiveChart
{
public:
    // 456 x 273 dialog units.
    static LiveChartKind MaxThroughputKind()
    {
        return {{684, 444}, 0x11EEC2, "LiveChart_Title_MaxThroughput", 1185, 1186, 1187};
    }

    explicit CReportMaxThroughputDlg(QWidget *parent = nullptr)
        : CReportLiveChart(MaxThroughputKind(), parent)
    {
    }
};
