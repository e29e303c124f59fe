// The Group Capacity procedure: one burst per group count, and the count every host received.
#include "run/TestReportDlg.h"

#include "engine/EngineHost.h"
#include "engine/EngineUtils.h"
#include "engine/IGMPTestPlan.h"
#include "engine/PlanHostCalls.h"
#include "engine/PlanPortLookup.h"
#include "engine/TestPageHooks.h"
#include "reports/CounterLog.h"
#include "run/ProcedureSupport.h"

#include <QScopeGuard>

using namespace std::chrono_literals;

using ProcedureSupport::dashLine;
using ProcedureSupport::stopLeaveLine;
using ProcedureSupport::trialLine;
using TestPlanSupport::demoMode;
using TestPlanSupport::failureStatus;
using TestPlanSupport::log;
using TestPlanSupport::portText;
using TestPlanSupport::status;
using TestPlanSupport::statusText;

bool CTestReportDlg::PerformCapacityTest(std::uint32_t frameSize)
{
    CIGMPTestPlan &plan = Plan();
    CapacityPageHooks *page = EngineHost::instance().capacityPage;
    TxStopTimer.stop();
    Results.Ran[TestCapacity] = 1;
    plan.FillPortLists();
    plan.FrameSize = std::uint16_t(frameSize);
    // The page shows this run from here on, however far it gets: no count of an earlier run stands for
    // this one's.
    if (page)
        page->LayOutResults(plan);
    if (stopped())
        return false;
    if (!checkLinks())
        return false;
    if (!demoMode() && !plan.ClearTimestamps()) {
        failureStatus("Stat_Send_Multicast_Fail");
        return false;
    }
    if (!learnWithPortGroup(QStringLiteral("* Start learning procedure of all ports..")))
        return false;
    // The bursts go at full line rate: the counter rows show that load, not the last rate test's.
    plan.CurrentRate = 100;
    CounterPage->InsertTrialRows(plan, QString(), 0, 0, 0);

    for (std::uint32_t trial = 1; trial <= plan.NumberOfTrials; ++trial) {
        if (stopped())
            return false;
        log(QStringLiteral("* \n"));
        log(trialLine(trial, plan.FrameSize));
        std::uint32_t lastRun = 0;
        // A Stop ends the trial but not its memberships: the groups it joined are left all the same.
        std::uint32_t joined = 0;
        const auto leaveWhenStopped = qScopeGuard([&] {
            if (joined != 0 && stopped()) {
                log(stopLeaveLine(joined));
                plan.SendLeaveAll(joined);
            }
        });
        // 64-bit so that a step past 2^32 - 1 ends the search instead of wrapping; a step of 0 (the
        // page refuses it) would try the same count until it fails, so it tries it once.
        for (std::uint64_t groups = plan.InitialGroups; groups <= plan.MaxGroups; groups += plan.GroupStep) {
            const auto count = std::uint32_t(groups);
            if (stopped())
                return false;
            lastRun = count;
            log(QString::asprintf("============     Number of  Group %u  joined in trail - %u ===========\n",
                                  count, trial));
            status("Stat_Send_Join");
            if (demoMode())
                WaitPumpingAbortable(1s);
            joined = count; // the earlier steps' groups are among these
            if (!plan.SendJoinAll(count)) {
                failureStatus("Stat_Send_Join_Fail");
                return false;
            }
            status("Stat_Clear_Counter");
            if (!plan.ClearAllCounters())
                return false;
            if (!SetStreamCounters(plan, 1))
                return false;
            statusText("Testing...Load Test Parameter into Module...");
            if (!plan.FillCapacityStreams(plan.FrameSize, count)) {
                failureStatus("Stat_Fill_AddEntty_Fail");
                return false;
            }
            startTrialCounters();
            WaitPumpingAbortable(1s);
            if (stopped())
                return false;
            ReadCounters();
            WaitPumpingAbortable(500ms);
            if (demoMode() && page)
                page->FillSyntheticCounters(plan, count);
            CounterPage->UpdateCounterRows(plan);
            if (page)
                page->ShowResults(plan);
            CounterPage->FirstRow = CounterPage->LastRow + 1;
            status("Stat_Judgement_result");
            if (demoMode())
                WaitPumpingAbortable(1s);
            log(QStringLiteral("* Result :  \n\n"));
            log(dashLine());
            log(QStringLiteral("* RxPort              Port Capacity                \n"));
            log(dashLine());
            for (const UtTestPort &host : plan.HostPorts) {
                const auto received = std::uint32_t(host.RxMulticast);
                log(QStringLiteral("* ") + portText(host.Id) +
                    QString::asprintf(host.Monitor ? "       --      %u\t\t==>Mornitor Port\n"
                                                   : "       --      %u\n",
                                      received));
            }
            log(dashLine());
            if (!page || !page->CheckGroupStepPassed(plan, count) || plan.GroupStep == 0)
                break;
        }
        log(QString::asprintf("============     Number of  Group %u  Leave in trail - %u ===========\n",
                              lastRun, trial));
        joined = 0; // this leave takes no Stop
        if (!plan.SendLeaveAll(lastRun)) {
            failureStatus("Stat_Send_Leave_Fail");
            return false;
        }
    }
    log(QStringLiteral("* Finish Group Capacity Test ...\n"));
    return true;
}
