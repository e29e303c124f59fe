// A procedure of the report window against the chassis simulator: the plan of SimulatorPlanTest run
// by a report window, from the first result row on.
#pragma once

#include "common/ReportPageLayout.h"
#include "common/SimulatorPlanTest.h"
#include "reports/ReportSources.h"
#include "run/TestReportDlg.h"

class SimulatorProcedureTest : public SimulatorPlanTest
{
protected:
    // SimulatorPlanTest::planPairOne, given to the report window.
    void planPairOne(const std::vector<std::uint8_t> &hosts, UnicastPort unicast = UnicastPort::None)
    {
        SimulatorPlanTest::planPairOne(hosts, unicast);
        report.SetPlan(&plan);
        run.ReportRow = ReportPage::kFirstResultRow;
    }

    // The page's grid laid out for the plan, as the runner leaves it.
    void layOut(ReportPage *page) { layOutForPlan(*page, plan); }

    void TearDown() override
    {
        ReportSources::instance().reset();
        SimulatorPlanTest::TearDown();
    }

    CTestReportDlg report;
};
