// The Latency procedure: one rate of one frame size, with the per-host latency lines and result cells.
#include "run/TestReportDlg.h"

#include "engine/EngineUtils.h"
#include "engine/IGMPTestPlan.h"
#include "engine/PlanHostCalls.h"
#include "engine/PlanPortLookup.h"
#include "engine/Session.h"
#include "engine/TrialJudge.h"
#include "reports/CounterLog.h"
#include "reports/ReportLatency.h"
#include "run/ProcedureSupport.h"

using namespace std::chrono_literals;

using ProcedureSupport::dashLine;
using ProcedureSupport::sourceOfPair;
using ProcedureSupport::trialLine;
using TestPlanSupport::demoMode;
using TestPlanSupport::failureStatus;
using TestPlanSupport::log;
using TestPlanSupport::portText;
using TestPlanSupport::status;

bool CTestReportDlg::PerformLatencyTest(double rate)
{
    CIGMPTestPlan &plan = Plan();
    PrologueOptions start;
    start.learningLine = "* Start learning procedure for all ports.";
    start.learningStatus = true;
    start.waitAfterLearningMs = 1000;
    start.pauseBetweenStepsMs = 100;
    start.logsFailedStep = true;
    if (!startProcedure(TestLatency, start))
        return false;
    log(QStringLiteral("* Start Join Group for all ports."));
    status("Stat_Send_Join");
    if (!plan.SendJoinPerPort()) {
        log(QStringLiteral("Join Group Fail"));
        failureStatus("Stat_Send_Join_Fail");
        return false;
    }
    WaitPumpingAbortable(100ms);

    for (std::uint32_t trial = 0; trial < plan.NumberOfTrials; ++trial) {
        if (stopped())
            return false;
        log(QStringLiteral("* \n"));
        log(trialLine(trial + 1, plan.FrameSize));
        TrialSeconds = 0;
        plan.CurrentRate = rate;
        CounterPage->InsertTrialRows(plan, QString(), trial, 1, plan.TestDuration);
        status("Stat_Clear_Counter");
        if (!plan.ClearAllCounters()) {
            log(QStringLiteral("ReSetAllCounterState Fail"));
            failureStatus("Stat_Clear_Counter_Fail");
            return false;
        }
        if (!SetStreamCounters(plan, 1)) {
            log(QStringLiteral("SetAllStreamCounterGroup"));
            return false;
        }
        WaitPumpingAbortable(20ms);
        status("Stat_Fill_AddEntty");
        if (!plan.StartTestPairTraffic(plan.FrameSize)) {
            log(QStringLiteral("FillAddEntry_Multicast Fail"));
            failureStatus("Stat_Fill_AddEntty_Fail");
            plan.ClearPortLists();
            return false;
        }
        startTrialCounters();
        writeResultCell(LatencyPage, ReportPage::kRateRow, LatencyPage->ValueColumn,
                        QString::asprintf("%.2f", rate));
        LatencyTimer.start(1000);
        for (std::uint32_t second = 0; second < plan.TestDuration; ++second) {
            if (stopped()) {
                LatencyTimer.stop();
                return false;
            }
            WaitPumpingAbortable(1s);
            if (second != 0 && second % 5 == 0)
                plan.SendJoinNicLatency();
            TickTestProgress();
            if (LatencySamplesArrived)
                LatencySamplesArrived();
            CounterPage->UpdateLatencyColumns(plan);
        }
        LatencyTimer.stop();
        WaitPumpingAbortable(500ms);
        if (stopped())
            return false;
        Kv_StopCounterStatistics(1);
        Kv_TQStopStreamCounter(1);
        if (stopped())
            return false;
        status("Stat_Read_Counter");
        ReadCounters();
        WaitPumpingAbortable(1s);
        status("Stat_Judgement_result");
        CounterPage->UpdateCounterRows(plan);
        CounterPage->UpdateLatencyColumns(plan);
        TrialJudge::CollectHostCounters(plan, plan.FrameSize);
        // The table shows what arrived; the latency figures are the result, there is no verdict.
        if (TrialJudge::PrintAndJudge(TrialJudge::Variant::Scale, plan, [this] { return stopped(); }) ==
            TrialJudge::Verdict::Stopped)
            return false;
        printLatencyTable();
        log(QStringLiteral("* \n"));
        LatencyPage->CollectResults();
        LatencyPage->BuildChartArrays();
        showTrialOnChart(LatencyPage, LatencyPage->CurrentStep);
        log(QStringLiteral("* Forwarding Latency Test Complete...\n\n"));
        Results.Counters[UtResultSet::Latency].push_back(
            {plan.FrameSize, CounterPage->FirstRow, CounterPage->LastRow});
        CounterPage->FirstRow = CounterPage->LastRow + 1;
    }

    if ((plan.IgmpVersion == 2 || plan.IgmpVersion == 3) && !plan.LeaveGroups()) {
        log(QStringLiteral("Send Leave Fail"));
        failureStatus("Stat_Send_Leave_Fail");
        return false;
    }
    return true;
}

void CTestReportDlg::printLatencyTable()
{
    const CIGMPTestPlan &plan = Plan();
    log(dashLine());
    log(QStringLiteral(
        "* Tx Port            RxPort               RxPkts             Avg. Latency           Max. "
        "Latency          Min. Latency       \n"));
    log(dashLine());
    for (std::size_t index = 0; index < kMaxTestPairs; ++index) {
        if (plan.PairSelected[index] != 1)
            continue;
        const auto pair = std::uint8_t(index + 1);
        const UtTestPort *source = sourceOfPair(plan, pair);
        const UtPortId sourceId = source ? source->Id : UtPortId{};
        for (std::size_t hostIndex = 0; hostIndex < plan.HostPorts.size(); ++hostIndex) {
            const UtTestPort &host = plan.HostPorts[hostIndex];
            if (!IsHostOfPair(host, pair))
                continue;
            // The figures are those of every trial of the rate so far: the runner clears them per rate.
            const double average = host.LatencyCount ? host.LatencySum / host.LatencyCount : 0;
            const double max = host.LatencyMax;
            const double min = host.LatencyMin;
            const int row = LatencyPage->ResultRow(LatencyPage->CurrentStep, hostIndex);
            writeResultCell(LatencyPage, row, CReportLatency::kMeasuredColumn,
                            QString::asprintf("%.2f/%.2f/%.2f", max, min, average));
            writeResultCell(LatencyPage, row, CReportLatency::kCompensatedColumn,
                            QString::asprintf("%.2f/%.2f/%.2f", CompensatedLatency(host, max),
                                              CompensatedLatency(host, min),
                                              CompensatedLatency(host, average)));
            log(QStringLiteral("*   ") + portText(sourceId) + QStringLiteral("     ") + portText(host.Id) +
                QString::asprintf(" %14llu", static_cast<unsigned long long>(host.RxMulticast)) +
                QString::asprintf("%20.2f          %20.2f       %20.2f\n", average, max, min));
        }
    }
}
