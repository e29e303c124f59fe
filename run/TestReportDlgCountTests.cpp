// The Aggregate and Scale Group procedures: the halving rate search over a growing client or group count.
#include "run/TestReportDlg.h"

#include "engine/EngineHost.h"
#include "engine/EngineUtils.h"
#include "engine/IGMPTestPlan.h"
#include "engine/RateSearch.h"
#include "engine/Session.h"
#include "engine/TestPageHooks.h"
#include "engine/TestPlanSupport.h"
#include "engine/TrialJudge.h"
#include "reports/CounterLog.h"
#include "reports/ReportAggregate.h"
#include "reports/ReportScale.h"
#include "run/ProcedureSupport.h"

#include <algorithm>
#include <cmath>
#include <cstring>

using ProcedureSupport::trialLine;
using TestPlanSupport::demoMode;
using TestPlanSupport::log;
using TestPlanSupport::status;

bool CTestReportDlg::PerformAggregateTest()
{
    CIGMPTestPlan &plan = Plan();
    TxStopTimer.stop();
    Results.Ran[1] = 1;
    plan.FillPortLists();
    if (stopped())
        return false;
    log(QStringLiteral("* Checking link status of all ports ..."));
    status("Stat_Check_Link");
    if (!checkLinks())
        return false;
    if (!SetupPortGroup(plan, 1)) {
        status("Stat_Set_Media_Fail");
        return false;
    }
    WaitPumpingAbortable(2000);
    if (!demoMode() && !plan.ClearTimestamps()) {
        status("Stat_Send_Multicast_Fail");
        return false;
    }
    log(QStringLiteral("* Start learning procedure of all ports."));
    if (!plan.StartAutoArpReply()) {
        status("Stat_Set_Media_Fail");
        return false;
    }
    log(QStringLiteral("."));
    status("Stat_Send_Learning");
    if (!plan.SendLearningFrames()) {
        status("Stat_Send_Learning_Fail");
        return false;
    }
    log(QStringLiteral(". Done!\n"));
    WaitPumpingAbortable(100);

    // A u8 count: the loop variable is wider so that a maximum of 255 ends.
    for (unsigned clients = plan.InitialClients; clients <= plan.MaxClients; ++clients) {
        const auto count = std::uint8_t(clients);
        plan.AggregateTrial = count;
        status("Stat_Send_Join");
        if (!plan.SendJoinAggregate(count)) {
            status("Stat_Send_Join_Fail");
            return false;
        }
        waitAfterJoin();
        if (!runCountTrials(true, count))
            return false;
        if ((plan.IgmpVersion == 2 || plan.IgmpVersion == 3) && !plan.SendLeaveAggregate(count)) {
            status("Stat_Send_Join_Fail");
            return false;
        }
        setReportRow(reportRow() + std::uint32_t(plan.SourcePorts.size()));
    }
    log(QStringLiteral("* Aggregate Test Complete...\n\n"));
    TxStopTimer.start(1000);
    WaitPumpingAbortable(1000);
    return true;
}

bool CTestReportDlg::PerformScaleGroupTest()
{
    CIGMPTestPlan &plan = Plan();
    TxStopTimer.stop();
    Results.Ran[2] = 1;
    plan.FillPortLists();
    if (stopped())
        return false;
    log(QStringLiteral("* Checking link status of all ports ..."));
    status("Stat_Check_Link");
    if (!checkLinks())
        return false;
    if (!SetupPortGroup(plan, 1)) {
        status("Stat_Set_Media_Fail");
        return false;
    }
    WaitPumpingAbortable(2000);
    if (!demoMode() && !plan.ClearTimestamps()) {
        status("Stat_Send_Multicast_Fail");
        return false;
    }
    log(QStringLiteral("* Start learning procedure of all ports."));
    if (!plan.StartAutoArpReply()) {
        status("Stat_Set_Media_Fail");
        return false;
    }
    log(QStringLiteral("."));
    status("Stat_Send_Learning");
    if (!plan.SendLearningFrames()) {
        status("Stat_Send_Learning_Fail");
        return false;
    }
    log(QStringLiteral(". Done!\n"));
    WaitPumpingAbortable(100);

    // 64-bit so that a maximum of 2^32 - 1 ends.
    for (std::uint64_t groups = plan.InitialGroups; groups <= plan.MaxGroups; ++groups) {
        const auto count = std::uint32_t(groups);
        if (stopped())
            return false;
        plan.ScaleTrial = std::uint8_t(count);
        status("Stat_Send_Join");
        if (!plan.SendJoinAll(count)) {
            status("Stat_Send_Join_Fail");
            return false;
        }
        WaitPumpingAbortable(1000);
        if (!runCountTrials(false, count))
            return false;
        if (!plan.SendLeaveAll(count)) {
            status("Stat_Send_Join_Fail");
            return false;
        }
        setReportRow(reportRow() + std::uint32_t(plan.SourcePorts.size()));
        WaitPumpingAbortable(10);
    }
    log(QStringLiteral("* Scale Group Forwarding Test Complete...\n\n"));
    TxStopTimer.start(1000);
    WaitPumpingAbortable(1000);
    return true;
}

bool CTestReportDlg::runCountTrials(bool aggregate, std::uint32_t count)
{
    CIGMPTestPlan &plan = Plan();
    ReportCountPage *page = aggregate ? static_cast<ReportCountPage *>(AggregatePage) : ScalePage;
    page->CurrentCount = count;
    for (std::uint32_t trial = 0; trial < plan.NumberOfTrials; ++trial) {
        if (stopped())
            return false;
        if (aggregate)
            plan.TrialClients = count;
        RateSearch search(plan.InitialRate, plan.MinRate, plan.MaxRate, plan.Resolution);
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
        bool goOn = true;
        for (std::uint32_t repetition = 1; goOn; ++repetition) {
            if (stopped())
                return false;
            TrialSeconds = 0;
            plan.CurrentRate = search.current();
            CounterPage->InsertTrialRows(plan, QString(), trial, repetition, plan.TestDuration);
            status("Stat_Clear_Counter");
            if (!plan.ClearAllCounters())
                return false;
            status("Stat_Start_Counter");
            if (!SetStreamCounters(plan, 1))
                return false;
            WaitPumpingAbortable(20);
            status("Stat_Fill_Addentry");
            if (!plan.StartTestPairTraffic(plan.FrameSize)) {
                status("Stat_Fill_AddEntty_Fail");
                return false;
            }
            if (!stopped())
                Kv_StartCounterStatistics(1, 1);
            if (!stopped())
                plan.StartGroupStreamCounters(1);
            // No stop test in the seconds: a Stop ends each wait at once and is tested after them.
            for (std::uint32_t second = 0; second < plan.TestDuration && !stopped(); ++second) {
                WaitPumpingAbortable(1000);
                if (second != 0 && second % 5 == 0) {
                    if (aggregate)
                        plan.SendJoinNicAggregate(std::uint8_t(count));
                    else
                        plan.SendJoinNic(count);
                }
                TickTestProgress();
            }
            if (stopped())
                return false;
            Kv_StopCounterStatistics(1);
            Kv_TQStopStreamCounter(1);
            if (stopped())
                return false;
            status("Stat_Read_Counter");
            ReadCounters();
            if (aggregate) {
                WaitPumpingAbortable(500);
                CounterPage->UpdateCounterRows(plan);
                if (stopped())
                    return false;
                TrialJudge::CollectHostCounters(plan, plan.FrameSize);
                status("Stat_Judgement_result");
            } else {
                WaitPumpingAbortable(500);
                status("Stat_Judgement_result");
                CounterPage->UpdateCounterRows(plan);
                TrialJudge::CollectHostCounters(plan, plan.FrameSize);
            }
            const TrialJudge::Verdict verdict = TrialJudge::PrintAndJudge(
                aggregate ? TrialJudge::Variant::Aggregate : TrialJudge::Variant::Scale, plan,
                [this] { return stopped(); });
            if (verdict == TrialJudge::Verdict::Stopped)
                return false;
            const bool pass = verdict == TrialJudge::Verdict::Pass;
            log(QStringLiteral("* Result : \n"));

            page->CollectResults();
            page->BuildChartArrays();
            const QString rate = QString::asprintf("%.2f", search.current());
            writeResultCell(page, ReportPage::kRateRow, page->ValueColumn, rate);
            showTrialOnChart(page, page->StepOf(frameSizeIndex(), count));
            if (pass) {
                CounterPage->SetRowResult(int(CounterPage->LastRow), QStringLiteral("Pass"), kPassColor);
                writeResultCell(page, int(reportRow()), ReportCountPage::kPassedRateColumn, rate);
            } else {
                CounterPage->SetRowResult(int(CounterPage->LastRow), QStringLiteral("Failed"), kFailColor);
            }
            QString line;
            goOn = search.step(pass, RateSearch::kAggregateTexts, &line) == RateSearch::Step::Continue;
            log(line);
            if (!goOn) {
                Results.Counters[aggregate ? UtResultSet::Aggregate : UtResultSet::ScaleGroup].push_back(
                    {plan.FrameSize, CounterPage->FirstRow, CounterPage->LastRow});
            }
            CounterPage->FirstRow = CounterPage->LastRow + 1;
        }
    }
    return true;
}
