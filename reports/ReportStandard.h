// The live chart dialog of the standard mode.
#pragma once

#include "reports/ReportLiveChart.h"

class CReportStandard : public CReportLiveChart
{
public:
    // 448 x 257 dialog units.
    static LiveChartKind StandardKind()
    {
        return {{672, 418}, 0x87CEFA, "LiveChart_Title_Standard", 1179, 1180, 1181};
    }

    explicit CReportStandard(QWidget *parent = nullptr) : CReportLiveChart(StandardKind(), parent) {}
};
