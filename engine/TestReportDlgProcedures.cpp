// The test procedures after Mixed Class: Aggregate and Scale Group (the halving rate search over a
// growing client or group count), Latency, Group Capacity, Join/Leave delay and Source Filter.
#include "engine/EngineHost.h"
#include "engine/EngineUtils.h"
#include "engine/IGMPTestPlan.h"
#include "engine/RateSearch.h"
#include "engine/Session.h"
#include "engine/TestPageHooks.h"
#include "engine/TestReportDlg.h"
#include "engine/TestPlanSupport.h"
#include "engine/TrialJudge.h"
#include "reports/CounterLog.h"
#include "reports/ReportAggregate.h"
#include "reports/ReportFilter.h"
#include "reports/ReportLatency.h"
#include "reports/ReportScale.h"

#include <algorithm>
#include <cmath>
#include <cstring>

using TestPlanSupport::demoMode;
using TestPlanSupport::log;
using TestPlanSupport::portText;
using TestPlanSupport::status;
using TestPlanSupport::statusText;

namespace {

// The port record of a tested port, null when its index names none.
const UtPortRecord *recordOf(const UtTestPort &port)
{
    return port.PortIndex < g_Session.Ports.size() ? &g_Session.Ports[port.PortIndex] : nullptr;
}

// The first source port of a test pair (1-based), null when the pair has none.
const UtTestPort *sourceOfPair(const CIGMPTestPlan &plan, std::uint8_t pair)
{
    for (const UtTestPort &source : plan.SourcePorts) {
        const UtPortRecord *record = recordOf(source);
        if (record && record->SourcePair == pair)
            return &source;
    }
    return nullptr;
}

QString trialLine(std::uint32_t trial, std::uint16_t frameSize)
{
    return QString::asprintf(
        "* ===============        Test Trail - %d, Frame Size %d bytes        ===============\n", int(trial),
        int(frameSize));
}

const QString kDashLine = QStringLiteral("* ") + QString(148, QLatin1Char('-')) + QStringLiteral("\n");

// A wait of whole seconds in milliseconds, held to what one wait takes.
std::uint32_t millisecondsOf(std::uint32_t seconds)
{
    return std::uint32_t(std::min<std::uint64_t>(std::uint64_t(seconds) * 1000, UINT32_MAX));
}

// The seconds of a Join/Leave measurement after the delay: none when the delay is not below the duration.
std::uint32_t secondsAfterStart(const CIGMPTestPlan &plan)
{
    return plan.TestDuration > plan.DelayAfterStart ? plan.TestDuration - plan.DelayAfterStart : 0;
}

} // namespace

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
            Kv_TQReadCounterStatistics(1);
            Kv_TQReadStreamCounter(1);
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
            showTrialOnChart(page, frameSizeIndex());
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

bool CTestReportDlg::PerformLatencyTest(double rate)
{
    CIGMPTestPlan &plan = Plan();
    TxStopTimer.stop();
    Results.Ran[3] = 1;
    plan.FillPortLists();
    if (stopped())
        return false;
    log(QStringLiteral("* Checking link status of all ports ..."));
    status("Stat_Check_Link");
    if (!checkLinks())
        return false;
    WaitPumpingAbortable(100);
    if (!SetupPortGroup(plan, 1)) {
        log(QStringLiteral("SetupGroup Fail"));
        status("Stat_Set_Media_Fail");
        return false;
    }
    WaitPumpingAbortable(2000);
    if (!demoMode() && !plan.ClearTimestamps()) {
        log(QStringLiteral("SendSysTimeStamp Fail"));
        status("Stat_Send_Multicast_Fail");
        return false;
    }
    WaitPumpingAbortable(100);
    log(QStringLiteral("* Start learning procedure for all ports."));
    if (!plan.StartAutoArpReply()) {
        log(QStringLiteral("SetARPAutoReply Fail"));
        status("Stat_Set_Media_Fail");
        return false;
    }
    log(QStringLiteral("."));
    status("Stat_Send_Learning");
    WaitPumpingAbortable(100);
    if (!plan.SendLearningFrames()) {
        log(QStringLiteral("SendPkt_Learning Fail"));
        status("Stat_Send_Learning_Fail");
        return false;
    }
    log(QStringLiteral(". Done!\n"));
    WaitPumpingAbortable(1000);
    log(QStringLiteral("* Start Join Group for all ports."));
    status("Stat_Send_Join");
    if (!plan.SendJoinPerPort()) {
        log(QStringLiteral("Join Group Fail"));
        status("Stat_Send_Join_Fail");
        return false;
    }
    WaitPumpingAbortable(100);

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
            status("Stat_Clear_Counter_Fail");
            return false;
        }
        if (!SetStreamCounters(plan, 1)) {
            log(QStringLiteral("SetAllStreamCounterGroup"));
            return false;
        }
        WaitPumpingAbortable(20);
        status("Stat_Fill_AddEntty");
        if (!plan.StartTestPairTraffic(plan.FrameSize)) {
            log(QStringLiteral("FillAddEntry_Multicast Fail"));
            status("Stat_Fill_AddEntty_Fail");
            plan.ClearPortLists();
            return false;
        }
        if (!stopped())
            Kv_StartCounterStatistics(1, 1);
        if (!stopped())
            plan.StartGroupStreamCounters(1);
        writeResultCell(LatencyPage, ReportPage::kRateRow, LatencyPage->ValueColumn,
                        QString::asprintf("%.2f", rate));
        LatencyTimer.start(1000);
        for (std::uint32_t second = 0; second < plan.TestDuration; ++second) {
            if (stopped()) {
                LatencyTimer.stop();
                return false;
            }
            WaitPumpingAbortable(1000);
            if (second != 0 && second % 5 == 0)
                plan.SendJoinNicLatency();
            TickTestProgress();
            CounterPage->UpdateLatencyColumns(plan);
        }
        LatencyTimer.stop();
        WaitPumpingAbortable(500);
        if (stopped())
            return false;
        Kv_StopCounterStatistics(1);
        Kv_TQStopStreamCounter(1);
        if (stopped())
            return false;
        status("Stat_Read_Counter");
        Kv_TQReadCounterStatistics(1);
        Kv_TQReadStreamCounter(1);
        WaitPumpingAbortable(1000);
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
        showTrialOnChart(LatencyPage, frameSizeIndex());
        log(QStringLiteral("* Forwarding Latency Test Complete...\n\n"));
        Results.Counters[UtResultSet::Latency].push_back(
            {plan.FrameSize, CounterPage->FirstRow, CounterPage->LastRow});
        CounterPage->FirstRow = CounterPage->LastRow + 1;
    }

    if ((plan.IgmpVersion == 2 || plan.IgmpVersion == 3) && !plan.LeaveGroups()) {
        log(QStringLiteral("Send Leave Fail"));
        status("Stat_Send_Leave_Fail");
        return false;
    }
    return true;
}

void CTestReportDlg::printLatencyTable()
{
    const CIGMPTestPlan &plan = Plan();
    log(kDashLine);
    log(QStringLiteral(
        "* Tx Port            RxPort               RxPkts             Avg. Latency           Max. "
        "Latency          Min. Latency       \n"));
    log(kDashLine);
    for (std::size_t index = 0; index < kMaxTestPairs; ++index) {
        if (plan.PairSelected[index] != 1)
            continue;
        const auto pair = std::uint8_t(index + 1);
        const UtTestPort *source = sourceOfPair(plan, pair);
        const UtPortId sourceId = source ? source->Id : UtPortId{};
        for (const UtTestPort &host : plan.HostPorts) {
            const UtPortRecord *record = recordOf(host);
            if (!record || record->HostPair != pair)
                continue;
            const double average = host.LatencyCount ? host.LatencySum / host.LatencyCount : 0;
            const double max = host.LatencyMax;
            const double min = host.LatencyMin;
            const int row = int(reportRow());
            writeResultCell(LatencyPage, row, CReportLatency::kMeasuredColumn,
                            QString::asprintf("%.2f/%.2f/%.2f", max, min, average));
            writeResultCell(LatencyPage, row, CReportLatency::kCompensatedColumn,
                            QString::asprintf("%.2f/%.2f/%.2f", CompensatedLatency(host, max),
                                              CompensatedLatency(host, min),
                                              CompensatedLatency(host, average)));
            setReportRow(reportRow() + 1);
            log(QStringLiteral("*   ") + portText(sourceId) + QStringLiteral("     ") + portText(host.Id) +
                QString::asprintf(" %14llu", static_cast<unsigned long long>(host.RxMulticast)) +
                QString::asprintf("%20.2f          %20.2f       %20.2f\n", average, max, min));
        }
    }
}

bool CTestReportDlg::PerformCapacityTest(std::uint32_t frameSize)
{
    CIGMPTestPlan &plan = Plan();
    CapacityPageHooks *page = EngineHost::instance().capacityPage;
    TxStopTimer.stop();
    Results.Ran[4] = 1;
    plan.FillPortLists();
    plan.FrameSize = std::uint16_t(frameSize);
    if (stopped())
        return false;
    if (page)
        page->SetCapacityText(QStringLiteral("n/a"));
    log(QStringLiteral("* Checking link status of all ports ..."));
    status("Stat_Check_Link");
    if (!checkLinks())
        return false;
    if (!demoMode() && !plan.ClearTimestamps()) {
        status("Stat_Send_Multicast_Fail");
        return false;
    }
    if (!SetupPortGroup(plan, 1)) {
        status("Stat_Set_Media_Fail");
        return false;
    }
    if (!plan.StartAutoArpReply()) {
        status("Stat_Set_Media_Fail");
        return false;
    }
    log(QStringLiteral("* Start learning procedure of all ports.."));
    status("Stat_Send_Learning");
    if (demoMode())
        WaitPumpingAbortable(1000);
    if (!plan.SendLearningFrames()) {
        status("Stat_Send_Learning_Fail");
        return false;
    }
    log(QStringLiteral(". Done!\n"));
    WaitPumpingAbortable(100);
    CounterPage->InsertTrialRows(plan, QString(), 0, 0, 0);
    if (page)
        page->ShowResults(plan);

    for (std::uint32_t trial = 1; trial <= plan.NumberOfTrials; ++trial) {
        if (stopped())
            return false;
        log(QStringLiteral("* \n"));
        log(trialLine(trial, plan.FrameSize));
        std::uint32_t lastRun = 0;
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
                WaitPumpingAbortable(1000);
            if (!plan.SendJoinAll(count)) {
                status("Stat_Send_Join_Fail");
                return false;
            }
            status("Stat_Clear_Counter");
            if (!plan.ClearAllCounters())
                return false;
            if (!SetStreamCounters(plan, 1))
                return false;
            statusText("Testing...Load Test Parameter into Module...");
            if (!plan.FillCapacityStreams(plan.FrameSize, count)) {
                status("Stat_Fill_AddEntty_Fail");
                return false;
            }
            if (!stopped())
                Kv_StartCounterStatistics(1, 1);
            if (!stopped())
                plan.StartGroupStreamCounters(1);
            WaitPumpingAbortable(1000);
            if (stopped())
                return false;
            Kv_TQReadCounterStatistics(1);
            Kv_TQReadStreamCounter(1);
            WaitPumpingAbortable(500);
            if (demoMode() && page)
                page->FillSyntheticCounters(plan, count);
            CounterPage->UpdateCounterRows(plan);
            if (page)
                page->ShowResults(plan);
            CounterPage->FirstRow = CounterPage->LastRow + 1;
            status("Stat_Judgement_result");
            if (demoMode())
                WaitPumpingAbortable(1000);
            log(QStringLiteral("* Result :  \n\n"));
            log(kDashLine);
            log(QStringLiteral("* RxPort              Port Capacity                \n"));
            log(kDashLine);
            for (const UtTestPort &host : plan.HostPorts) {
                const auto received = std::uint32_t(host.RxMulticast);
                log(QStringLiteral("* ") + portText(host.Id) +
                    QString::asprintf(host.Monitor ? "       --      %u\t\t==>Mornitor Port\n"
                                                   : "       --      %u\n",
                                      received));
            }
            log(kDashLine);
            if (!page || !page->CheckGroupStepPassed(plan, count) || plan.GroupStep == 0)
                break;
        }
        log(QString::asprintf("============     Number of  Group %u  Leave in trail - %u ===========\n",
                              lastRun, trial));
        if (!plan.SendLeaveAll(lastRun)) {
            status("Stat_Send_Leave_Fail");
            return false;
        }
    }
    log(QStringLiteral("* Finish Group Capacity Test ...\n"));
    return true;
}

bool CTestReportDlg::PerformJoinLeaveDelayTest()
{
    CIGMPTestPlan &plan = Plan();
    JoinLeavePageHooks *page = EngineHost::instance().joinLeavePage;
    TxStopTimer.stop();
    Results.Ran[5] = 1;
    plan.FillPortLists();
    plan.FrameSize = 64;
    log(QStringLiteral("* Checking link status of all ports ..."));
    status("Check_Link");
    if (!checkLinks())
        return false;
    if (!SetupPortGroup(plan, 1)) {
        status("Stat_Set_Media_Fail");
        return false;
    }
    if (!plan.StartAutoArpReply()) {
        status("Stat_Set_Media_Fail");
        return false;
    }
    log(QStringLiteral("* Start learning procedure of all ports."));
    status("Stat_Send_Learning");
    if (demoMode())
        WaitPumpingAbortable(1000);
    if (!plan.SendLearningFrames()) {
        status("Stat_Send_Learning_Fail");
        return false;
    }
    log(QStringLiteral(". Done!\n"));
    WaitPumpingAbortable(100);
    if (page)
        page->ShowResults(plan);
    statusText("* Start Join Delay Test");
    if (demoMode())
        WaitPumpingAbortable(1000);

    const bool skipped = g_Session.DemoHardware != 0 || demoMode();
    const std::uint32_t seconds = secondsAfterStart(plan);
    for (std::uint32_t trial = 0; trial < plan.NumberOfTrials; ++trial) {
        if (stopped())
            return false;
        if (plan.MeasureFlags & 1) {
            log(QString::asprintf(
                "* ===============             Test Trail - %d            ===============\n",
                int(trial + 1)));
            log(QStringLiteral("* Join Group from Host Port...\n"));
            statusText("* Join Group from Host Port...");
            plan.SendTimestampedJoinsFromSources();
            log(QStringLiteral("* Send packet from Host Port...\n"));
            statusText("* Send packet from Host Port...");
            if (!plan.StartTestPairTraffic(64)) {
                status("Stat_Fill_AddEntty_Fail");
                return false;
            }
            WaitPumpingAbortable(millisecondsOf(plan.DelayAfterStart));
            plan.StartRxCapture(0);
            statusText("* Join Group from Client Port...");
            plan.SendTimestampedJoinsFromHosts();
            for (std::uint32_t second = 0; second < seconds; ++second) {
                if (stopped())
                    return false;
                WaitPumpingAbortable(1000);
            }
            statusText("* Collect Data of Time Stamp...");
            plan.StopRxCapture(0);
            plan.StopRxCaptureNext();
            WaitPumpingAbortable(1000);
            if (skipped && page)
                page->FillSyntheticDelayStamps(plan, 1);
            log(QStringLiteral("* Result :  \n\n"));
            log(kDashLine);
            log(QStringLiteral("* RxPort              Join delay                \n"));
            log(kDashLine);
            if (!printDelayTable(true))
                return false;
            log(QStringLiteral("* Finish Join Group Delay Test...\n"));
        }
        statusText("* Start Group Leave Delay Test");
        if (plan.MeasureFlags & 2) {
            if (!demoMode() && !plan.ClearTimestamps()) {
                status("Stat_Send_Multicast_Fail");
                return false;
            }
            statusText("* Join Group from All Ports...");
            log(QStringLiteral("* Join Group from All Ports...\n"));
            plan.SendJoinAll(1);
            log(QStringLiteral("* Send packet from Host Port...\n"));
            statusText("* Send packet from Host Port...");
            if (!plan.StartTestPairTraffic(64)) {
                status("Stat_Fill_AddEntty_Fail");
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
            WaitPumpingAbortable(3000);
            if (skipped && page)
                page->FillSyntheticDelayStamps(plan, 0);
            log(QStringLiteral("* Result :  \n\n"));
            log(kDashLine);
            log(QStringLiteral("* RxPort              Leave Delay                \n"));
            log(kDashLine);
            printDelayTable(false);
            log(QStringLiteral("* Finish Leave Group Delay Test...\n"));
        } else {
            if ((plan.IgmpVersion == 2 || plan.IgmpVersion == 3) && !plan.SendLeaveAll(1)) {
                status("Stat_Send_Leave_Fail");
                return false;
            }
            WaitPumpingAbortable(millisecondsOf(seconds));
        }
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
        const UtPortRecord *sourceRecord = recordOf(source);
        const std::uint8_t pair = sourceRecord ? sourceRecord->SourcePair : 0;
        ++row; // the pair's heading row
        for (const UtPortRecord &record : g_Session.Ports) {
            if (record.HostPair != pair)
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
    log(kDashLine);
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

bool CTestReportDlg::PerformSourceFilterTest()
{
    CIGMPTestPlan &plan = Plan();
    TxStopTimer.stop();
    Results.Ran[6] = 1;
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
    if (!plan.SendLearningFrames()) {
        status("Stat_Send_Learning_Fail");
        return false;
    }
    log(QStringLiteral(". Done!\n"));
    WaitPumpingAbortable(100);
    log(QStringLiteral("* Start Join Group of all ports ..."));
    status("Stat_Send_Join");
    if (!plan.SendV3ReportNic(0)) {
        status("Stat_Send_Join_Fail");
        return false;
    }
    log(QStringLiteral("Done!\n"));
    waitAfterJoin();
    setReportRow(ReportPage::kFirstResultRow);

    const QStringList groups = EngineHost::instance().sourceFilterGroups();
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
            status("Stat_Clear_Counter");
            if (!plan.ClearAllCounters())
                return false;
            status("Stat_Start_Counter");
            if (!SetStreamCounters(plan, 1))
                return false;
            WaitPumpingAbortable(20);
            status("Stat_Fill_Addentry");
            if (!plan.StartSourcePortTraffic(plan.FrameSize, std::uint8_t(k))) {
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
                if (second != 0 && second % 5 == 0)
                    plan.SendV3ReportNic(0);
                TickTestProgress();
            }
            Kv_StopCounterStatistics(1);
            Kv_TQStopStreamCounter(1);
            if (stopped())
                return false;
            Kv_TQReadCounterStatistics(1);
            Kv_TQReadStreamCounter(1);
            status("Stat_Print_Counter");
            WaitPumpingAbortable(500);
            CounterPage->UpdateCounterRows(plan);
            TrialJudge::CollectHostCounters(plan, plan.FrameSize);
            // Only the filter check below decides: the pairs' table is shown for the counts.
            if (TrialJudge::PrintAndJudge(TrialJudge::Variant::Scale, plan, [this] { return stopped(); }) ==
                TrialJudge::Verdict::Stopped)
                return false;
            status("Stat_Judgement_result");
            QStringList failures;
            const bool pass = checkFilterGroup(group, failures);
            log(kDashLine);
            log(QStringLiteral("* Result : \n"));
            FilterPage->CollectResults(std::uint32_t(k));
            FilterPage->BuildChartArrays();
            // The view follows the group under measurement (a group's bars are its host ports).
            showTrialOnChart(FilterPage, std::uint32_t(k));

            UtV3FilterCounterResult result{firstRow, lastRow, {}};
            result.Texts << QStringLiteral("Group %1 Test Result: %2")
                                .arg(group, pass ? QStringLiteral("Pass") : QStringLiteral("Failed"));
            CounterPage->SetRowResult(int(lastRow), result.Texts.front(), pass ? kPassColor : kFailColor);
            if (pass) {
                log(QStringLiteral("Pass!\n"));
            } else {
                for (const QString &failure : failures) {
                    log(failure);
                    result.Texts << failure;
                }
            }
            Results.Filter.push_back(std::move(result));
            CounterPage->FirstRow = lastRow + 1;
            writeResultCell(FilterPage, int(reportRow()), CReportFilter::kVerdictColumn,
                            pass ? QStringLiteral("Pass") : QStringLiteral("Fail"));
            writeResultCell(FilterPage, ReportPage::kRateRow, FilterPage->ValueColumn,
                            QString::asprintf("%.2f", plan.CurrentRate));
            setReportRow(reportRow() + std::uint32_t(plan.HostPorts.size()));
        }
    }

    status("Stat_Send_Leave");
    if ((plan.IgmpVersion == 2 || plan.IgmpVersion == 3) && !plan.SendV3ReportNic(1)) {
        status("Stat_Send_Leave_Fail");
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
    const UtPortRecord *record = nullptr;
    for (const UtPortRecord &candidate : g_Session.Ports) {
        if (candidate.CID == source.Id.CID && candidate.BID == source.Id.BID &&
            candidate.PID == source.Id.PID) {
            record = &candidate;
            break;
        }
    }
    if (!record)
        return false;
    std::uint8_t bytes[4];
    std::memcpy(bytes, &record->IPAddress, 4);
    const std::uint32_t sourceAddress = std::uint32_t(bytes[0]) << 24 | std::uint32_t(bytes[1]) << 16 |
                                        std::uint32_t(bytes[2]) << 8 | bytes[3];
    std::uint32_t group = 0;
    if (!ParseIpv4Text(groupText, group))
        return false;
    for (const UtFilterHost &entry : EngineHost::instance().sourceFilterHosts()) {
        UtPortKey key{};
        if (!ParsePortLabel(entry.PortLabel, key) || key.Id.CID != host.Id.CID || key.Id.BID != host.Id.BID ||
            key.Id.PID != host.Id.PID)
            continue;
        for (const UtFilterGroup &filter : entry.Groups) {
            std::uint32_t address = 0;
            if (!ParseIpv4Text(filter.GroupAddress, address) || address != group)
                continue;
            // Addresses compare as values, as the membership report carries them.
            bool listed = false;
            for (const QString &text : filter.Sources) {
                std::uint32_t listedAddress = 0;
                if (ParseIpv4Text(text, listedAddress) && listedAddress == sourceAddress)
                    listed = true;
            }
            return filter.Mode == 1 ? listed : !listed;
        }
        return false;
    }
    return false;
}
