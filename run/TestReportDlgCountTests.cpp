// The Aggregate and Scale Group procedures: the halving rate search over a growing client or group count.
#include "run/TestReportDlg.h"

#include "engine/EngineUtils.h"
#include "engine/IGMPTestPlan.h"
#include "engine/PlanHostCalls.h"
#include "engine/RateSearch.h"
#include "engine/TrialJudge.h"
#include "reports/CounterLog.h"
#include "reports/ReportAggregate.h"
#include "reports/ReportScale.h"
#include "run/ProcedureSupport.h"

using namespace std::chrono_literals;

using ProcedureSupport::trialLine;
using TestPlanSupport::demoMode;
using TestPlanSupport::failureStatus;
using TestPlanSupport::log;
using TestPlanSupport::status;

bool CTestReportDlg::PerformAggregateTest()
{
    CIGMPTestPlan &plan = Plan();
    PrologueOptions start;
    start.learningStatus = true;
    if (!startProcedure(TestAggregate, start))
        return false;

    // A u8 count: the loop variable is wider so that a maximum of 255 ends.
    for (unsigned clients = plan.InitialClients; clients <= plan.MaxClients; ++clients) {
        const auto count = std::uint8_t(clients);
        plan.AggregateTrial = count;
        status("Stat_Send_Join");
        if (!plan.SendJoinAggregate(count)) {
            failureStatus("Stat_Send_Join_Fail");
            return false;
        }
        waitAfterJoin();
        if (!runCountTrials(true, count))
            return false;
        if ((plan.IgmpVersion == 2 || plan.IgmpVersion == 3) && !plan.SendLeaveAggregate(count)) {
            failureStatus("Stat_Send_Join_Fail");
            return false;
        }
        setReportRow(reportRow() + std::uint32_t(plan.SourcePorts.size()));
    }
    log(QStringLiteral("* Aggregate Test Complete...\n\n"));
    TxStopTimer.start(1000);
    WaitPumpingAbortable(1s);
    return true;
}

bool CTestReportDlg::PerformScaleGroupTest()
{
    CIGMPTestPlan &plan = Plan();
    PrologueOptions start;
    start.learningStatus = true;
    if (!startProcedure(TestScale, start))
        return false;

    // 64-bit so that a maximum of 2^32 - 1 ends.
    for (std::uint64_t groups = plan.InitialGroups; groups <= plan.MaxGroups; ++groups) {
        const auto count = std::uint32_t(groups);
        if (stopped())
            return false;
        plan.ScaleTrial = std::uint8_t(count);
        status("Stat_Send_Join");
        if (!plan.SendJoinAll(count)) {
            failureStatus("Stat_Send_Join_Fail");
            return false;
        }
        WaitPumpingAbortable(1s);
        if (!runCountTrials(false, count))
            return false;
        if (!plan.SendLeaveAll(count)) {
            failureStatus("Stat_Send_Join_Fail");
            return false;
        }
        setReportRow(reportRow() + std::uint32_t(plan.SourcePorts.size()));
        WaitPumpingAbortable(10ms);
    }
    log(QStringLiteral("* Scale Group Forwarding Test Complete...\n\n"));
    TxStopTimer.start(1000);
    WaitPumpingAbortable(1s);
    return true;
}

bool CTestReportDlg::runCountTrials(bool aggregate, std::uint32_t count)
{
    CIGMPTestPlan &plan = Plan();
    ReportCountPage *page = aggregate ? static_cast<ReportCountPage *>(AggregatePage) : ScalePage;
    page->CurrentCount = count;
    const RepetitionSteps steps{
        .page = page,
        .passedRateColumn = ReportCountPage::kPassedRateColumn,
        .chartStep = page->StepOf(frameSizeIndex(), count),
        .searchTexts = &RateSearch::kAggregateTexts,
        .counters = aggregate ? UtResultSet::Aggregate : UtResultSet::ScaleGroup,
        .refreshJoins =
            [&plan, aggregate, count] {
                if (aggregate)
                    plan.SendJoinNicAggregate(std::uint8_t(count));
                else
                    plan.SendJoinNic(count);
            },
        .readAndJudge = [this, aggregate] { return readCountCounters(aggregate); },
    };
    for (std::uint32_t trial = 0; trial < plan.NumberOfTrials; ++trial) {
        if (stopped())
            return false;
        if (aggregate)
            plan.TrialClients = count;
        log(QStringLiteral("* \n"));
        if (aggregate) {
            log(QString::asprintf(
                "* ===============        Current Client - %d, Max. Client %d         ===============\n",
                int(count), int(plan.MaxClients)));
        } else {
            log(QString::asprintf(
                "* ===============        Current Groups - %u, Max. Groups %u         ===============\n",
                count, plan.MaxGroups));
        }
        log(trialLine(trial + 1, plan.FrameSize));
        if (!runRepetitions(trial, steps))
            return false;
    }
    return true;
}

TrialJudge::Verdict CTestReportDlg::readCountCounters(bool aggregate)
{
    CIGMPTestPlan &plan = Plan();
    if (stopped())
        return TrialJudge::Verdict::Stopped;
    Kv_StopCounterStatistics(1);
    Kv_TQStopStreamCounter(1);
    if (stopped())
        return TrialJudge::Verdict::Stopped;
    status("Stat_Read_Counter");
    ReadCounters();
    WaitPumpingAbortable(500ms);
    if (aggregate) {
        CounterPage->UpdateCounterRows(plan);
        if (stopped())
            return TrialJudge::Verdict::Stopped;
        TrialJudge::CollectHostCounters(plan, plan.FrameSize);
        status("Stat_Judgement_result");
    } else {
        status("Stat_Judgement_result");
        CounterPage->UpdateCounterRows(plan);
        TrialJudge::CollectHostCounters(plan, plan.FrameSize);
    }
    return TrialJudge::PrintAndJudge(aggregate ? TrialJudge::Variant::Aggregate : TrialJudge::Variant::Scale,
                                     plan, [this] { return stopped(); });
}
