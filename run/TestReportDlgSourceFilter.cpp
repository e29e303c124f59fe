// The IGMPv3 Source Filter procedure: each host receives only the sources its filter admits.
#include "run/TestReportDlg.h"

#include "engine/EngineHost.h"
#include "engine/EngineUtils.h"
#include "engine/IGMPTestPlan.h"
#include "engine/PlanHostCalls.h"
#include "engine/PlanPortLookup.h"
#include "engine/SourceFilterAdmission.h"
#include "engine/TrialJudge.h"
#include "reports/CounterLog.h"
#include "reports/ReportFilter.h"
#include "run/ProcedureSupport.h"

#include <QScopeGuard>
#include <vector>

using namespace std::chrono_literals;

using ProcedureSupport::dashLine;
using ProcedureSupport::stopLeaveLine;
using TestPlanSupport::demoMode;
using TestPlanSupport::failureStatus;
using TestPlanSupport::log;
using TestPlanSupport::portText;
using TestPlanSupport::status;

bool CTestReportDlg::PerformSourceFilterTest()
{
    CIGMPTestPlan &plan = Plan();
    // The page's stream settings go back at the end of the test, however it ends: a later run must
    // neither test with them nor save them as the ports' own.
    const auto restoreStreams = qScopeGuard([this] { RestorePortMedia(); });
    PrologueOptions start;
    start.settleAfterPortGroup = false;
    if (!startProcedure(TestSourceFilter, start))
        return false;
    const QStringList groups = EngineHost::instance().sourceFilterGroups();
    const bool sendsLeaves = plan.IgmpVersion == 2 || plan.IgmpVersion == 3;
    // A Stop ends the test but not its memberships: the groups it joined are left all the same.
    bool joined = true;
    const auto leaveWhenStopped = qScopeGuard([&] {
        if (joined && sendsLeaves && stopped()) {
            log(stopLeaveLine(std::uint32_t(groups.size())));
            plan.SendV3ReportNic(1);
        }
    });
    log(QStringLiteral("* Start Join Group of all ports ..."));
    status("Stat_Send_Join");
    if (!plan.SendV3ReportNic(0)) {
        failureStatus("Stat_Send_Join_Fail");
        return false;
    }
    log(QStringLiteral("Done!\n"));
    waitAfterJoin();

    // A group passes only while it has passed in every trial so far: 0, or the first trial it failed.
    std::vector<std::uint32_t> firstFailedTrial(std::size_t(groups.size()), 0);
    const auto hosts = std::uint32_t(plan.HostPorts.size());
    for (std::uint32_t trial = 0; trial < plan.NumberOfTrials; ++trial) {
        if (stopped())
            return false;
        for (int k = 0; k < groups.size(); ++k) {
            const QString &group = groups[k];
            plan.CurrentRate = plan.InitialRate;
            log(QStringLiteral("* \n"));
            log(QString::asprintf("* ===============        Test Trail - %d, Frame Size %d bytes, Group:%s   "
                                  "     ===============\n",
                                  int(trial + 1), int(plan.FrameSize), group.toLatin1().constData()));
            CounterPage->InsertTrialRows(plan, group, trial, 0, plan.TestDuration);
            const std::uint32_t firstRow = CounterPage->FirstRow;
            const std::uint32_t lastRow = CounterPage->LastRow;
            TrialSeconds = 0;
            if (!resetTrialCounters())
                return false;
            status("Stat_Fill_Addentry");
            if (!plan.StartSourcePortTraffic(plan.FrameSize, std::uint8_t(k))) {
                failureStatus("Stat_Fill_AddEntty_Fail");
                return false;
            }
            startTrialCounters();
            // No stop test in the seconds: a Stop ends each wait at once and is tested after them.
            for (std::uint32_t second = 0; second < plan.TestDuration && !stopped(); ++second) {
                WaitPumpingAbortable(1s);
                if (second != 0 && second % 5 == 0)
                    plan.SendV3ReportNic(0);
                TickTestProgress();
            }
            Kv_StopCounterStatistics(1);
            Kv_TQStopStreamCounter(1);
            if (stopped())
                return false;
            ReadCounters();
            status("Stat_Print_Counter");
            WaitPumpingAbortable(500ms);
            CounterPage->UpdateCounterRows(plan);
            TrialJudge::CollectHostCounters(plan, plan.FrameSize);
            // Only the filter check below decides: the pairs' table is shown for the counts.
            if (TrialJudge::PrintAndJudge(TrialJudge::Variant::Scale, plan, [this] { return stopped(); }) ==
                TrialJudge::Verdict::Stopped)
                return false;
            status("Stat_Judgement_result");
            QStringList failures;
            const bool trialPassed = checkFilterGroup(group, failures);
            std::uint32_t &failedIn = firstFailedTrial[std::size_t(k)];
            if (!trialPassed && failedIn == 0)
                failedIn = trial + 1;
            const bool pass = failedIn == 0;
            log(dashLine());
            log(QStringLiteral("* Result : \n"));
            // The counts shown are the last trial's.
            FilterPage->CollectResults(std::uint32_t(k));
            FilterPage->BuildChartArrays();
            // The view follows the group under measurement (a group's bars are its host ports).
            showTrialOnChart(FilterPage, std::uint32_t(k));

            // The trial's block on the counter page: this trial's verdict and its failures.
            UtV3FilterCounterResult result{firstRow, lastRow, {}};
            result.Texts << QStringLiteral("Group %1 Test Result: %2")
                                .arg(group, trialPassed ? QStringLiteral("Pass") : QStringLiteral("Failed"));
            CounterPage->SetRowResult(int(lastRow), result.Texts.front(),
                                      trialPassed ? kPassColor : kFailColor);
            result.Texts << failures;
            // The log's verdict covers the trials so far.
            if (pass)
                log(QStringLiteral("Pass!\n"));
            for (const QString &failure : failures)
                log(failure);
            if (trialPassed && !pass)
                log(QString::asprintf("* Group %s failed in trial %d \n", group.toLatin1().constData(),
                                      int(failedIn)));
            Results.Filter.push_back(std::move(result));
            CounterPage->FirstRow = lastRow + 1;
            // Every trial writes the group's own block of rows, whose verdict covers the trials so far.
            setReportRow(std::uint32_t(ReportPage::kFirstResultRow) + std::uint32_t(k) * hosts);
            writeResultCell(FilterPage, int(reportRow()), CReportFilter::kVerdictColumn,
                            pass ? QStringLiteral("Pass") : QStringLiteral("Fail"));
            writeResultCell(FilterPage, ReportPage::kRateRow, FilterPage->ValueColumn,
                            QString::asprintf("%.2f", plan.CurrentRate));
        }
    }

    status("Stat_Send_Leave");
    joined = false; // this leave takes no Stop
    if (sendsLeaves && !plan.SendV3ReportNic(1)) {
        failureStatus("Stat_Send_Leave_Fail");
        return false;
    }
    TxStopTimer.start(1000);
    log(QStringLiteral("* IGMP V3 Filter Test Complete...\n\n"));
    return true;
}

bool CTestReportDlg::checkFilterGroup(const QString &groupText, QStringList &failures)
{
    const CIGMPTestPlan &plan = Plan();
    bool pass = true;
    bool headingShown = false;
    for (const UtTestPort &host : plan.HostPorts) {
        std::uint64_t expected = 0;
        QString lineA = QStringLiteral("* -");
        QString lineB = QStringLiteral("* ");
        QString lineC = QStringLiteral("*  ");
        for (const UtTestPort &source : plan.SourcePorts) {
            lineA += QString(33, QLatin1Char('-'));
            lineB += QStringLiteral(" Tx Port            TxPkts         ");
            if (IsSourceExpected(source, host, groupText))
                expected += source.TxFrames;
            lineC += portText(source.Id) +
                     QString::asprintf("%14llu       ", static_cast<unsigned long long>(source.TxFrames));
        }
        lineA += QString(57, QLatin1Char('-')) + QStringLiteral("\n");
        lineB += QStringLiteral("Rx Port         Expect RxPkts     RxPkts(Multicast)\n");
        const std::uint64_t received = host.RxMulticast;
        lineC += QStringLiteral("  ") + portText(host.Id) +
                 QString::asprintf("    %14llu    %14llu\n", static_cast<unsigned long long>(expected),
                                   static_cast<unsigned long long>(received));
        if (!headingShown) {
            log(lineA);
            log(lineB);
            log(lineA);
            headingShown = true;
        }
        if (received != expected) {
            pass = false;
            if (received > expected) {
                failures << QStringLiteral("* ") + portText(host.Id) +
                                QString::asprintf(" failed to receive multicast pkt accidentally ==> %lld \n",
                                                  static_cast<long long>(received - expected));
            } else {
                failures << QStringLiteral("* ") + portText(host.Id) +
                                QString::asprintf(" failed due to multicast packet loss %lld \n",
                                                  static_cast<long long>(expected - received));
            }
        }
        log(lineC);
    }
    return pass;
}

bool CTestReportDlg::IsSourceExpected(const UtTestPort &source, const UtTestPort &host,
                                      const QString &groupText) const
{
    return SourceFilterAdmits(source.Id, host.Id, groupText, EngineHost::instance().sourceFilterHosts());
}
