// The Join/Leave delay procedure: the delay from each join or leave to the first or last frame.
#include "run/TestReportDlg.h"

#include "engine/EngineHost.h"
#include "engine/EngineUtils.h"
#include "engine/IGMPTestPlan.h"
#include "engine/PlanHostCalls.h"
#include "engine/PlanPortLookup.h"
#include "engine/Session.h"
#include "engine/TestPageHooks.h"
#include "run/ProcedureSupport.h"

#include <QScopeGuard>
#include <cmath>

using namespace std::chrono_literals;

using ProcedureSupport::dashLine;
using ProcedureSupport::millisecondsOf;
using ProcedureSupport::secondsAfterStart;
using ProcedureSupport::stopLeaveLine;
using TestPlanSupport::demoMode;
using TestPlanSupport::failureStatus;
using TestPlanSupport::log;
using TestPlanSupport::portText;
using TestPlanSupport::status;
using TestPlanSupport::statusText;

bool CTestReportDlg::PerformJoinLeaveDelayTest()
{
    CIGMPTestPlan &plan = Plan();
    JoinLeavePageHooks *page = EngineHost::instance().joinLeavePage;
    TxStopTimer.stop();
    Results.Ran[TestJoinLeave] = 1;
    plan.FillPortLists();
    plan.FrameSize = 64;
    if (!checkLinks(kLinkCheckLine, "Check_Link"))
        return false;
    if (!learnWithPortGroup(QStringLiteral("* Start learning procedure of all ports.")))
        return false;
    if (page)
        page->ShowResults(plan);
    statusText("* Start Join Delay Test");
    if (demoMode())
        WaitPumpingAbortable(1s);

    const bool skipped = TestPlanSupport::hardwareSkipped();
    const std::uint32_t seconds = secondsAfterStart(plan);
    const bool sendsLeaves = plan.IgmpVersion == 2 || plan.IgmpVersion == 3;
    for (std::uint32_t trial = 0; trial < plan.NumberOfTrials; ++trial) {
        if (stopped())
            return false;
        // A Stop ends the trial but not its memberships: the group it joined is left all the same.
        bool joined = false;
        const auto leaveWhenStopped = qScopeGuard([&] {
            if (joined && sendsLeaves && stopped()) {
                log(stopLeaveLine(1));
                plan.SendLeaveAll(1);
            }
        });
        if (plan.MeasureFlags & 1) {
            log(QString::asprintf(
                "* ===============             Test Trail - %d            ===============\n",
                int(trial + 1)));
            log(QStringLiteral("* Join Group from Host Port...\n"));
            statusText("* Join Group from Host Port...");
            joined = true;
            plan.SendTimestampedJoinsFromSources();
            log(QStringLiteral("* Send packet from Host Port...\n"));
            statusText("* Send packet from Host Port...");
            if (!plan.StartTestPairTraffic(64)) {
                failureStatus("Stat_Fill_AddEntty_Fail");
                return false;
            }
            WaitPumpingAbortable(millisecondsOf(plan.DelayAfterStart));
            plan.StartRxCapture(0);
            statusText("* Join Group from Client Port...");
            plan.SendTimestampedJoinsFromHosts();
            for (std::uint32_t second = 0; second < seconds; ++second) {
                if (stopped())
                    return false;
                WaitPumpingAbortable(1s);
            }
            statusText("* Collect Data of Time Stamp...");
            plan.StopRxCapture(0);
            plan.StopRxCaptureNext();
            WaitPumpingAbortable(1s);
            if (TimeStampsArrived)
                TimeStampsArrived(true);
            if (skipped && page)
                page->FillSyntheticDelayStamps(plan, 1);
            log(QStringLiteral("* Result :  \n\n"));
            log(dashLine());
            log(QStringLiteral("* RxPort              Join delay                \n"));
            log(dashLine());
            if (!printDelayTable(true))
                return false;
            log(QStringLiteral("* Finish Join Group Delay Test...\n"));
        }
        statusText("* Start Group Leave Delay Test");
        if (plan.MeasureFlags & 2) {
            if (!demoMode() && !plan.ClearTimestamps()) {
                failureStatus("Stat_Send_Multicast_Fail");
                return false;
            }
            statusText("* Join Group from All Ports...");
            log(QStringLiteral("* Join Group from All Ports...\n"));
            joined = true;
            plan.SendJoinAll(1);
            log(QStringLiteral("* Send packet from Host Port...\n"));
            statusText("* Send packet from Host Port...");
            if (!plan.StartTestPairTraffic(64)) {
                failureStatus("Stat_Fill_AddEntty_Fail");
                plan.ClearPortLists();
                return false;
            }
            plan.StartRxCapture(1);
            log(QStringLiteral("* Leave Group from all Client Ports...\n"));
            statusText("* Leave Group from all Client Ports...");
            plan.SendTimestampedLeavesFromHosts();
            WaitPumpingAbortable(millisecondsOf(seconds));
            statusText("* Collect Data of Time Stamp...");
            plan.StopRxCapture(1);
            WaitPumpingAbortable(3s);
            if (TimeStampsArrived)
                TimeStampsArrived(false);
            if (skipped && page)
                page->FillSyntheticDelayStamps(plan, 0);
            log(QStringLiteral("* Result :  \n\n"));
            log(dashLine());
            log(QStringLiteral("* RxPort              Leave Delay                \n"));
            log(dashLine());
            printDelayTable(false);
            log(QStringLiteral("* Finish Leave Group Delay Test...\n"));
        }
        // The trial ends with no membership left, the sources' included: the leave measurement leaves
        // only the hosts, and the next test must not receive on a port this one joined.
        joined = false; // this leave takes no Stop
        if (sendsLeaves && !plan.SendLeaveAll(1)) {
            failureStatus("Stat_Send_Leave_Fail");
            return false;
        }
        if (!(plan.MeasureFlags & 2))
            WaitPumpingAbortable(millisecondsOf(seconds));
    }
    return true;
}

bool CTestReportDlg::printDelayTable(bool join)
{
    const CIGMPTestPlan &plan = Plan();
    JoinLeavePageHooks *page = EngineHost::instance().joinLeavePage;
    const int column = join ? JoinLeavePageHooks::kJoinColumn : JoinLeavePageHooks::kLeaveColumn;
    double sum = 0;
    double count = 0;
    int row = 0;
    for (const UtTestPort &source : plan.SourcePorts) {
        if (join && stopped())
            return false;
        const UtPortRecord *sourceRecord = g_Session.RecordOf(source);
        const std::uint8_t pair = sourceRecord ? sourceRecord->SourcePair : 0;
        ++row; // the pair's heading row
        for (const UtPortRecord &record : g_Session.Ports) {
            if (!IsHostOfPair(record, pair))
                continue;
            const int index = LookupPortIndex(record.CID, g_Session.PortIndex, record.BID, record.PID);
            const UtDelayStamp stamp = index >= 0 && std::size_t(index) < g_Session.DelayStamps.size()
                                           ? g_Session.DelayStamps[std::size_t(index)]
                                           : UtDelayStamp{};
            const std::uint32_t tx = stamp.TxStamp;
            const std::uint32_t rx = stamp.RxStamp;
            const double delay = (rx * 0.04 - tx * 0.04) / 1000;
            const QString port = portText({record.CID, record.BID, record.PID});
            QString cell;
            if (delay > 0) {
                cell = QString::asprintf(join ? "%.2f ms " : "%.2f ms", delay);
                sum += delay;
                count += 1;
                log(QStringLiteral("* ") + port +
                    QString::asprintf("       --      %.2f ms ,TX : %X   ,  RX:  %X\n", delay, tx, rx));
            } else {
                cell = QStringLiteral("n/a");
                log(QStringLiteral("* ") + port +
                    (join ? QStringLiteral("       --      n/a\n")
                          : QString::asprintf("       --      n/a, ,TX : %X   ,  RX:  %X \n", tx, rx)));
            }
            if (page)
                page->SetDelayCell(row, column, cell);
            ++row;
        }
    }
    const char *name = join ? "Join" : "Leave";
    log(dashLine());
    if (count > 0) {
        const double average = std::trunc(sum / count * 100) / 100;
        if (page)
            page->SetAverageText(column, QString::asprintf("%.2f ms", average));
        log(QString::asprintf("* Average %s Group Delay  :   %.2f  ms \n", name, average));
    } else {
        if (page)
            page->SetAverageText(column, QStringLiteral("N/A"));
        log(QString::asprintf("* Average %s Group Delay  :   N/A  \n", name));
    }
    return true;
}
