// The Mixed Class throughput procedure: joins, the mixed multicast and unicast traffic, and the judgement
// of every class.
#include "run/TestReportDlg.h"

#include "engine/EngineUtils.h"
#include "engine/IGMPTestPlan.h"
#include "engine/PlanHostCalls.h"
#include "engine/RateSearch.h"
#include "engine/TrialJudge.h"
#include "reports/CounterLog.h"
#include "reports/ReportMixClass.h"
#include "run/ProcedureSupport.h"

using namespace std::chrono_literals;

using ProcedureSupport::trialLine;
using TestPlanSupport::failureStatus;
using TestPlanSupport::log;
using TestPlanSupport::status;

bool CTestReportDlg::PerformMixedClassTest()
{
    CIGMPTestPlan &plan = Plan();
    PrologueOptions start;
    start.linkCheckLine = "* Checking link status of all ports...";
    start.waitAfterLearningMs = 1000;
    if (!startProcedure(TestMixClass, start))
        return false;
    log(QStringLiteral("* Start Join Group of all ports ..."));
    status("Stat_Send_Join");
    if (!plan.SendJoinAll(1)) {
        failureStatus("Stat_Send_Join_Fail");
        return false;
    }
    log(QStringLiteral("Done!\n"));
    waitAfterJoin();

    const RepetitionSteps steps{
        .page = MixClassPage,
        .passedRateColumn = CReportMixClass::kPassedRateColumn,
        .chartStep = frameSizeIndex(),
        .searchTexts = &RateSearch::kMixedClassTexts,
        .counters = UtResultSet::MixedClass,
        .refreshJoins = [&plan] { plan.SendJoinNic(1); },
        .readAndJudge =
            [this, &plan] {
                Kv_StopCounterStatistics(1);
                Kv_TQStopStreamCounter(1);
                ReadCounters();
                status("Stat_Print_Counter");
                WaitPumpingAbortable(500ms);
                CounterPage->UpdateCounterRows(plan);
                TrialJudge::CollectHostCounters(plan, plan.FrameSize);
                status("Stat_Judgement_result");
                return TrialJudge::PrintAndJudge(TrialJudge::Variant::MixedClass, plan,
                                                 [this] { return stopped(); });
            },
    };
    for (std::uint32_t trial = 0; trial < plan.NumberOfTrials; ++trial) {
        if (stopped())
            return false;
        log(QStringLiteral("* \n"));
        log(trialLine(trial + 1, plan.FrameSize));
        if (!runRepetitions(trial, steps))
            return false;
    }

    status("Stat_Send_Leave");
    if ((plan.IgmpVersion == 2 || plan.IgmpVersion == 3) && !plan.LeaveGroups()) {
        failureStatus("Stat_Send_Leave_Fail");
        return false;
    }
    TxStopTimer.start(1000);
    log(QStringLiteral("* Mixclass throughput Test Complete...\n\n"));
    return true;
}
