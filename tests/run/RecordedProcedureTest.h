// A procedure of the report window in virtual time against the recording server: the small chassis of
// TestPlanFixture, the engine's texts in English, and one 2-second trial with no delay after the joins,
// written from the first result row on.
#pragma once

#include "common/EnglishTexts.h"
#include "common/ReportPageLayout.h"
#include "engine/TestPlanFixture.h"
#include "reports/ReportPage.h"
#include "run/TestReportDlg.h"

#include <cstddef>

class RecordedProcedureTest : public TestPlanFixture
{
protected:
    void SetUp() override
    {
        TestPlanFixture::SetUp();
        english.install();
        report.SetPlan(&plan);
        plan.NumberOfTrials = 1;
        plan.TestDuration = 2;
        plan.DelayAfterJoin = 0;
        run.ReportRow = ReportPage::kFirstResultRow;
    }

    // A rate search from 100 % down to 10 % by 1 %.
    void searchFromFullRate()
    {
        plan.InitialRate = 100;
        plan.MinRate = 10;
        plan.MaxRate = 100;
        plan.Resolution = 1;
    }

    static QString key(const char *name) { return EnglishTexts::key(name); }
    std::size_t callCount(Op op) const { return server->calls(op).size(); }
    // The page's grid laid out for the plan, as the runner leaves it.
    void layOut(ReportPage *page) { layOutForPlan(*page, plan); }

    CTestReportDlg report;
    EnglishTexts english;
};
