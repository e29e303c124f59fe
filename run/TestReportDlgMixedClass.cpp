// The Mixed Class throughput procedure: joins, the mixed multicast and unicast traffic, and the judgement
// of every class.
#include "run/TestReportDlg.h"

#include "engine/EngineHost.h"
#include "engine/EngineUtils.h"
#include "engine/IGMPTestPlan.h"
#include "engine/RateSearch.h"
#include "engine/RunState.h"
#include "engine/Session.h"
#include "engine/TestPlanSupport.h"
#include "engine/TrialJudge.h"
#include "reports/CounterLog.h"
#include "reports/ReportMixClass.h"

using TestPlanSupport::log;
using TestPlanSupport::status;

bool CTestReportDlg::PerformMixedClassTest()
{
    CIGMPTestPlan &plan = Plan();
    // A timer 2 left from an earlier step would stop this test's traffic.
    TxStopTimer.stop();
    Results.Ran[0] = 1;
    plan.FillPortLists();
    if (stopped())
        return false;
    log(QStringLiteral("* Checking link status of all ports..."));
    status("Stat_Check_Link");
    if (!checkLinks())
        return false;
    if (!SetupPortGroup(plan, 1)) {
        status("Stat_Set_Media_Fail");
        return false;
    }
    WaitPumpingAbortable(2000);
    if (!EngineHost::instance().isDemoMode() && !plan.ClearTimestamps()) {
        status("Stat_Send_Multicast_Fail");
        return false;
    }
    log(QStringLiteral("* Start learning procedure of all ports."));
    if (!plan.StartAutoArpReply()) {
        status("Stat_Set_Media_Fail");
        return false;
    }
    log(QStringLiteral("."));
    if (!plan.SendLearningFrames()) {
        status("Stat_Send_Learning_Fail");
        return false;
    }
    log(QStringLiteral(". Done!\n"));
    WaitPumpingAbortable(1000);
    log(QStringLiteral("* Start Join Group of all ports ..."));
    status("Stat_Send_Join");
    if (!plan.SendJoinAll(1)) {
        status("Stat_Send_Join_Fail");
        return false;
    }
    log(QStringLiteral("Done!\n"));
    waitAfterJoin();

    for (std::uint32_t trial = 0; trial < plan.NumberOfTrials; ++trial) {
        if (stopped())
            return false;
        RateSearch search(plan.InitialRate, plan.MinRate, plan.MaxRate, plan.Resolution);
        log(QStringLiteral("* \n"));
        log(QString::asprintf(
            "* ===============        Test Trail - %d, Frame Size %d bytes        ===============\n",
            int(trial + 1), int(plan.FrameSize)));
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
            for (std::uint32_t second = 0; second < plan.TestDuration; ++second) {
                if (stopped())
                    return false;
                WaitPumpingAbortable(1000);
                // Joins refreshed every five seconds keep the groups alive on the device.
                if (second != 0 && second % 5 == 0)
                    plan.SendJoinNic(1);
                TickTestProgress();
            }
            Kv_StopCounterStatistics(1);
            Kv_TQStopStreamCounter(1);
            ReadCounters();
            status("Stat_Print_Counter");
            WaitPumpingAbortable(500);
            CounterPage->UpdateCounterRows(plan);
            TrialJudge::CollectHostCounters(plan, plan.FrameSize);

            status("Stat_Judgement_result");
            const TrialJudge::Verdict verdict = TrialJudge::PrintAndJudge(TrialJudge::Variant::MixedClass,
                                                                          plan, [this] { return stopped(); });
            if (verdict == TrialJudge::Verdict::Stopped)
                return false;
            const bool pass = verdict == TrialJudge::Verdict::Pass;
            log(QStringLiteral("* Result : \n"));

            MixClassPage->CollectResults();
            MixClassPage->BuildChartArrays();
            const QString rate = QString::asprintf("%.2f", search.current());
            writeResultCell(MixClassPage, ReportPage::kRateRow, MixClassPage->ValueColumn, rate);
            showTrialOnChart(MixClassPage, frameSizeIndex());
            if (pass) {
                CounterPage->SetRowResult(int(CounterPage->LastRow), QStringLiteral("Pass"), kPassColor);
                writeResultCell(MixClassPage, int(reportRow()), CReportMixClass::kPassedRateColumn, rate);
            } else {
                CounterPage->SetRowResult(int(CounterPage->LastRow), QStringLiteral("Failed"), kFailColor);
            }
            QString line;
            goOn = search.step(pass, RateSearch::kMixedClassTexts, &line) == RateSearch::Step::Continue;
            log(line);

            if (!goOn) {
                Results.Counters[UtResultSet::MixedClass].push_back(
                    {plan.FrameSize, CounterPage->FirstRow, CounterPage->LastRow});
            }
            CounterPage->FirstRow = CounterPage->LastRow + 1;
        }
    }

    status("Stat_Send_Leave");
    if ((plan.IgmpVersion == 2 || plan.IgmpVersion == 3) && !plan.LeaveGroups()) {
        status("Stat_Send_Leave_Fail");
        return false;
    }
    TxStopTimer.start(1000);
    log(QStringLiteral("* Mixclass throughput Test Complete...\n\n"));
    return true;
}
