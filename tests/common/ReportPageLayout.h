// A result page's grid as the runner lays it out before a procedure runs.
#pragma once

#include "engine/IGMPTestPlan.h"
#include "reports/ReportPage.h"

// The grid laid out for the plan's frame size and rates.
inline void layOutForPlan(ReportPage &page, const CIGMPTestPlan &plan)
{
    page.FrameRows = {{plan.InitialRate, plan.MinRate, plan.MaxRate, plan.Resolution, plan.FrameSize}};
    page.FillReportGrid();
}
