// A small run for the result pages: test pairs whose source and host ports are port records of the
// session (pair n on card n + 1: the source on port 1, the hosts on ports 2 and up), the plan, the run
// state with the pages' entry lists, the English texts and the report headers' names.
#pragma once

#include "common/EnglishTexts.h"
#include "common/TestPlanPorts.h"
#include "engine/EngineHost.h"
#include "engine/IGMPTestPlan.h"
#include "engine/RunState.h"
#include "engine/Session.h"
#include "platform/chart/ChartViewer.h"
#include "reports/ReportPage.h"

#include <gtest/gtest.h>

// The runner's records and entries of a page: per frame size, count (or rate index) and pair in use,
// with the host counts of the first step's pairs as the page's bars per step.
template <typename Page, typename AddRecord>
void buildRunnerSteps(Page &page, RunState &run, const CIGMPTestPlan &plan, TestIndex test,
                      const std::vector<std::uint16_t> &frames, std::uint32_t first, std::uint32_t last,
                      AddRecord addRecord)
{
    page.Records.clear();
    run.PairFrameLists[test].clear();
    page.ReceiverTotal = 0;
    for (const std::uint16_t frame : frames) {
        for (std::uint32_t step = first; step <= last; ++step) {
            for (std::uint8_t n = 1; n <= kMaxTestPairs; ++n) {
                if (plan.PairSelected[n - 1] != 1)
                    continue;
                run.PairFrameLists[test].push_back({n, frame, 1});
                addRecord(page, frame, n, plan.TestPairs[n - 1].num_of_destmember, step);
                if (frame == frames.front() && step == first)
                    page.ReceiverTotal += plan.TestPairs[n - 1].num_of_destmember;
            }
        }
    }
}

class ResultPageFixture : public testing::Test
{
protected:
    void SetUp() override
    {
        g_Session.resetTables();
        EngineHost &host = EngineHost::instance();
        host.reset();
        english.install();
        host.testerNameSource = [] { return QStringLiteral("Tester A"); };
        host.dutNameSource = [] { return QStringLiteral("Switch B"); };
        host.filterGroupTexts = [this] { return groups; };
        for (std::uint8_t n = 1; n <= kMaxTestPairs; ++n)
            plan.TestPairs.push_back(
                pairOf({.id = n, .status = 0, .hosts = 0, .source = {}, .group = {224, 0, n, 1}}));
        plan.TestDuration = 10;
        plan.FrameSize = 64;
        plan.IgmpVersion = 2;
    }

    void TearDown() override
    {
        EngineHost::instance().reset();
        g_Session.resetTables();
    }

    // Pair n in use with its source port and `hosts` host ports (at most three).
    void addPair(std::uint8_t n, int hosts)
    {
        UtTestPair &pair = plan.TestPairs[n - 1];
        pair.Status = 1;
        pair.num_of_destmember = std::uint16_t(hosts);
        const std::uint8_t group[4] = {239, 0, 0, n};
        std::copy(std::begin(group), std::end(group), pair.GroupIP);
        plan.PairSelected[n - 1] = 1;
        for (int port = 1; port <= hosts + 1; ++port) {
            UtPortRecord record = MakePortRecord({1, std::uint8_t(n + 1), std::uint8_t(port)}, 53, 11);
            (port == 1 ? record.SourcePair : record.HostPair) = n;
            g_Session.Ports.push_back(record);
            UtTestPort tested{};
            tested.Id = {record.CID, record.BID, record.PID};
            tested.TYPE = 53;
            tested.SpeedMedia = 11;
            tested.PortIndex = std::uint16_t(g_Session.Ports.size() - 1);
            (port == 1 ? plan.SourcePorts : plan.HostPorts).push_back(tested);
        }
    }

    // The host ports of pair n, in host-port order.
    std::vector<UtTestPort *> hostsOf(std::uint8_t n)
    {
        std::vector<UtTestPort *> hosts;
        for (UtTestPort &host : plan.HostPorts) {
            if (g_Session.Ports[host.PortIndex].HostPair == n)
                hosts.push_back(&host);
        }
        return hosts;
    }

    // A page as the report window holds it: the plan set, a size for its chart, redraws at once.
    static void prepare(ReportPage &page, CIGMPTestPlan &plan)
    {
        page.SetPlan(&plan);
        page.resize(1000, 500);
        page.Viewer->SetUpdateInterval(0);
    }

    RunState run;
    CIGMPTestPlan plan;
    EnglishTexts english;
    QStringList groups;
};
