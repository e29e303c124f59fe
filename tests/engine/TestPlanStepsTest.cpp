// The test plan's hardware steps as the hardware library sees them: the calls, their order, the
// blocks byte for byte, the pauses in virtual time, failures, Stop and refused parameters.
#include "TestPlanFixture.h"
#include "app/LangMag.h"
#include "common/TestFiles.h"

#include <cstring>

using namespace std::chrono_literals;

namespace {

class TestPlanSteps : public TestPlanFixture
{
protected:
    struct Start
    {
        uint16_t first, last;
        uint64_t count;
        uint16_t final;
        bool operator==(const Start &) const = default;
    };
    std::vector<Start> startsOf(uint8_t card, uint8_t port) const
    {
        std::vector<Start> starts;
        for (const RecordedCall &call : server->calls(Op::Kv_TQModule_StartTxPkt)) {
            if (call.isPort(Chassis, card, port)) {
                const auto block = call.block<UtTxStartBlock>(4);
                starts.push_back({block.FirstEntry, block.LastEntry, block.FrameCount, block.Final});
            }
        }
        return starts;
    }
    std::vector<UtTxEntry> entriesOf(uint8_t card, uint8_t port) const
    {
        std::vector<UtTxEntry> entries;
        for (const RecordedCall &call : server->calls(Op::Kv_TQModule_FillTxPkt_AddEntry)) {
            if (call.isPort(Chassis, card, port))
                entries.push_back(call.block<UtTxEntry>(4));
        }
        return entries;
    }
    std::vector<Op> ops() const
    {
        std::vector<Op> found;
        for (const RecordedCall &call : server->calls())
            found.push_back(call.op);
        return found;
    }
    size_t count(Op op) const { return server->calls(op).size(); }
    void failOp(Op op, uint8_t card = 0, uint8_t port = 0)
    {
        server->setAnswer([=](const RecordedCall &call) {
            return call.op == op && (card == 0 || call.isPort(Chassis, card, port)) ? 0 : 1;
        });
    }
};

} // namespace

TEST_F(TestPlanSteps, LinkCheckLogsTheDownPortsOnlyWhenAsked)
{
    server->setAnswer([](const RecordedCall &call) {
        return call.op == Op::Kv_TQModule_LinkStatus &&
                       (call.isPort(Chassis, 2, 2) || call.isPort(Chassis, 3, 2))
                   ? 0
                   : 1;
    });
    EXPECT_EQ(plan.CheckLinkStates(0), 0);
    EXPECT_TRUE(log.isEmpty());
    EXPECT_EQ(plan.CheckLinkStates(1), 0);
    EXPECT_EQ(
        log, (QStringList{"(1, 2, 2) Check link States failed!\n", "(1, 3, 2) Check link States failed!\n"}));
    EXPECT_EQ(count(Op::Kv_TQModule_LinkStatus), 10u);

    g_Session.PortHwInfo[5].SpeedMedia = 255;
    EXPECT_EQ(plan.LogLinkStates(), 0);
    g_Session.PortHwInfo[5].SpeedMedia = 11;
    EXPECT_EQ(plan.LogLinkStates(), 1);

    server->clear();
    run.RequestStop();
    EXPECT_EQ(plan.CheckLinkStates(1), 0);
    EXPECT_EQ(plan.LogLinkStates(), 0);
    EXPECT_TRUE(server->calls().empty());

    run.StopRequested = 0;
    plan.SourcePorts.clear();
    plan.HostPorts.clear();
    EXPECT_EQ(plan.CheckLinkStates(1), 1);
    EXPECT_EQ(plan.LogLinkStates(), 1);
}

TEST_F(TestPlanSteps, PortGroupHoldsEveryTestPort)
{
    ASSERT_EQ(SetupPortGroup(plan, 1), 1);
    const auto calls = server->calls(Op::Kv_SetupGroup);
    ASSERT_EQ(calls.size(), 1u);
    const auto group = calls[0].block<KvGroupBlock>(0);
    EXPECT_EQ(v(group.Ports.Chassis), 1u);
    EXPECT_EQ(v(group.Ports.Mask[0]), 0x00000307u); // card 2 ports 1-3, card 3 ports 1-2
    EXPECT_EQ(v(group.Flag), 1);
}

TEST_F(TestPlanSteps, ArpReplyTables)
{
    UtPortRecord &record = g_Session.Ports[1];
    const struct
    {
        uint8_t flag;
        uint8_t uniVlan;
        uint16_t mode;
        uint16_t entries;
    } cases[] = {{1, 0, 0x8801, 1}, {2, 1, 0x8081, 2}, {0, 0, 0xFFFF, 1}, {7, 0, 0xFFFF, 1}};
    for (const auto &c : cases) {
        record.Flag = c.flag;
        record.UniVLanState = c.uniVlan;
        record.UniVLanPriority = 5;
        record.UniVLanID = 100;
        server->clear();
        ASSERT_EQ(plan.StartAutoArpReply(), 1);
        const auto calls = server->calls(Op::Kv_TQModule_StartAutoARPReply);
        ASSERT_EQ(calls.size(), 5u);
        const std::vector<uint8_t> table(calls[2].arguments.begin() + 4, calls[2].arguments.end());
        ASSERT_EQ(table.size(), 3724u);
        std::vector<uint8_t> head = hexBytes("0100 0202 01010001 0000");
        head.push_back(uint8_t(c.entries));
        head.push_back(0);
        EXPECT_EQ(std::vector<uint8_t>(table.begin(), table.begin() + 12), head);
        // Entry 1: MAC, no tag, IP, gateway, prefix 24.
        EXPECT_EQ(std::vector<uint8_t>(table.begin() + 12, table.begin() + 34),
                  hexBytes("0A3F5C010202 FFFFFFFF FFFFFFFF C0A80202 C0A80101"));
        EXPECT_EQ(table[12 + 54], 24);
        EXPECT_EQ(table[126] | table[127] << 8, c.mode);
        EXPECT_EQ(table[76], c.uniVlan ? 0x81 : 0xFF);
        if (c.uniVlan) {
            EXPECT_EQ(std::vector<uint8_t>(table.begin() + 76, table.begin() + 80), hexBytes("8100A064"));
        }
        EXPECT_EQ(table[200], 0xFF);
    }
    failOp(Op::Kv_TQModule_StartAutoARPReply, 2, 1);
    server->clear();
    EXPECT_EQ(plan.StartAutoArpReply(), 0);
    EXPECT_EQ(count(Op::Kv_TQModule_StartAutoARPReply), 5u) << "the walk goes on";
}

TEST_F(TestPlanSteps, LearningFramesPerPort)
{
    g_Session.Ports[1].UniVLanState = 1;
    g_Session.Ports[1].UniVLanPriority = 5;
    g_Session.Ports[1].UniVLanID = 100;
    ASSERT_EQ(plan.SendLearningFrames(), 1);
    EXPECT_EQ(clock.now(), 2500ms) << "500 ms before each of five starts";
    const auto first = entriesOf(2, 1);
    ASSERT_EQ(first.size(), 2u);
    EXPECT_EQ(v(first[0].EntryNumber), 0u);
    EXPECT_EQ(v(first[0].Word40), 1);
    EXPECT_EQ(v(first[1].EntryNumber), 1u);
    EXPECT_EQ(v(first[1].Word40), 0);
    EXPECT_EQ(first[1].Frame[12], 0xFF);
    EXPECT_EQ(first[1].Frame[13], 0xFF);
    EXPECT_EQ(first[1].Frame[14], 0x45);
    const auto tagged = entriesOf(2, 2);
    ASSERT_EQ(tagged.size(), 2u);
    EXPECT_EQ(std::vector<uint8_t>(tagged[1].Frame + 12, tagged[1].Frame + 18), hexBytes("8100A064FFFF"));
    EXPECT_EQ(startsOf(2, 1), (std::vector<Start>{{0, 1, 10, 1}}));
    const auto configs = server->calls(Op::Kv_TQModule_FillTxPkt_TxConfig);
    ASSERT_EQ(configs.size(), 5u);
    EXPECT_EQ(configs[0].arguments[4 + 13], 0);
    EXPECT_EQ(configs[0].arguments[4 + 12], 0xFF);

    // A refused entry ends the step at once.
    server->clear();
    failOp(Op::Kv_TQModule_FillTxPkt_AddEntry, 2, 2);
    EXPECT_EQ(plan.SendLearningFrames(), 0);
    EXPECT_EQ(count(Op::Kv_TQModule_StartTxPkt), 2u) << "the sources (2,1) and (3,1) came first";
}

TEST_F(TestPlanSteps, StreamCounterTable)
{
    const struct
    {
        std::vector<int> pairsInUse;
        uint32_t testType;
        std::vector<uint8_t> bits;
    } cases[] = {
        {{0, 1, 2}, TestMixClass, {0x3F, 0}},
        {{0, 1, 2, 3, 4}, TestAggregate, {0xFF, 0x03}},
        {{0, 2}, TestLatency, {0x33, 0}},
        {{0, 1, 2, 3, 4, 5, 6, 7}, TestSourceFilter, {0x03, 0}},
    };
    for (const auto &c : cases) {
        for (auto &pair : plan.TestPairs)
            pair.Status = 0;
        for (int i : c.pairsInUse)
            plan.TestPairs[i].Status = 1;
        plan.TestType = c.testType;
        server->clear();
        log.clear();
        ASSERT_EQ(SetStreamCounters(plan, 1), 1);
        const auto calls = server->calls(Op::Kv_TQSetStreamCounter);
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].u32(0), 1u);
        const std::vector<uint8_t> table(calls[0].arguments.begin() + 4, calls[0].arguments.end());
        ASSERT_EQ(table.size(), 654u);
        EXPECT_EQ(table[0], 100);
        EXPECT_EQ(std::vector<uint8_t>(table.begin() + 8, table.begin() + 10), c.bits);
        EXPECT_EQ(std::vector<uint8_t>(table.begin() + 72, table.begin() + 74), c.bits);
        EXPECT_EQ(table[648], 14);
        EXPECT_EQ(log, QStringList{"Done!\n"});
    }
    failOp(Op::Kv_TQSetStreamCounter);
    log.clear();
    EXPECT_EQ(SetStreamCounters(plan, 1), 0);
    EXPECT_EQ(log, (QStringList{"Failed!\n", "Done!\n"}));
}

TEST_F(TestPlanSteps, ClearAllCountersStopsAtTheFirstFailure)
{
    const struct
    {
        Op failing;
        const char *statusKey;
        size_t callsBefore; // calls made up to and including the failing operation
    } cases[] = {
        {Op::Kv_TQModule_StopCounterStatistics, "Stat_Stop_Trigger_Fail", 5},
        {Op::Kv_TQModule_StopStreamCounter, "Stat_Stop_Stream_Fail", 10},
        {Op::Kv_TQModule_ClearCounterStatistics, "Stat_Clear_Counter_Fail", 15},
        {Op::Kv_TQModule_ClearAllStreamCounter, "Stat_Clear_Stream_Fail", 20},
    };
    const QString savedLanguage = g_LangMag.GetLangFile();
    g_LangMag.SetLangFile(sourceLanguageFile(QStringLiteral("LangEng.lng")));
    EngineHost::instance().languageText = [](const QString &key) { return g_LangMag.GetString(key); };
    for (const auto &c : cases) {
        server->clear();
        log.clear();
        status.clear();
        failOp(c.failing, 2, 3);
        EXPECT_EQ(plan.ClearAllCounters(), 0);
        EXPECT_EQ(server->calls().size(), c.callsBefore);
        EXPECT_EQ(status, QStringList{g_LangMag.GetString(QString::fromLatin1(c.statusKey))});
        EXPECT_FALSE(status[0].isEmpty());
        EXPECT_EQ(log, (QStringList{"* Clear counter for all ports ...", "Failed! \n"}));
    }
    g_LangMag.SetLangFile(savedLanguage);
    server->setAnswer(nullptr);
    server->clear();
    log.clear();
    g_Session.PortStates[2].MaxLatencyTicks = 99;
    EXPECT_EQ(plan.ClearAllCounters(), 1);
    EXPECT_EQ(log.last(), "Done! \n");
    EXPECT_EQ(v(g_Session.PortStates[2].MaxLatencyTicks), 0u) << "no stale largest latency";

    run.RequestStop();
    server->clear();
    log.clear();
    EXPECT_EQ(plan.ClearAllCounters(), 0);
    EXPECT_EQ(log, QStringList{"* Clear counter for all ports ..."});
    EXPECT_TRUE(server->calls().empty());
}

// The address line of a group past 250 is logged once per group and pair of a walk, not once per port.
TEST_F(TestPlanSteps, GroupAddressLineOncePerGroupAndPair)
{
    const auto lines = [this] { return log.filter("-idx").join("").toStdString(); };
    ASSERT_EQ(plan.SendJoinAll(253), 1);
    const std::string walk = lines();
    EXPECT_EQ(walk, "bf 239,1,1,1 -- af 239,1,1,252   -idx 251 \n"
                    "bf 225,0,0,250 -- af 225,0,1,245   -idx 251 \n"
                    "bf 239,1,1,1 -- af 239,1,1,253   -idx 252 \n"
                    "bf 225,0,0,250 -- af 225,0,1,246   -idx 252 \n");
    // Each walk logs its own.
    log.clear();
    ASSERT_EQ(plan.SendJoinAll(253), 1);
    ASSERT_EQ(plan.SendLeaveAll(253), 1);
    EXPECT_EQ(lines(), walk + walk);
}

TEST_F(TestPlanSteps, JoinAllInBatchesOf32)
{
    plan.HostPorts[1].Monitor = 1; // (2,3) takes no part in the batches
    ASSERT_EQ(plan.SendJoinAll(70), 1);
    EXPECT_EQ(count(Op::Kv_QMC4_GlobalCmd_StopTx), 3u);
    EXPECT_EQ(count(Op::Kv_QMC4_GlobalCmd_StartTx), 3u);
    const std::vector<Start> batches{{0, 31, 32, 1}, {0, 31, 32, 1}, {0, 5, 6, 1}};
    EXPECT_EQ(startsOf(2, 1), batches);
    EXPECT_EQ(startsOf(3, 2), batches);
    EXPECT_TRUE(startsOf(2, 3).empty());
    const auto entries = entriesOf(2, 2);
    ASSERT_EQ(entries.size(), 70u);
    EXPECT_EQ(v(entries[33].Word40), 2);
    EXPECT_EQ(v(entries[33].StreamNumber), 1);
    EXPECT_EQ(v(entries[69].Word40), 6);
    // Group 69 of pair 1 (239.1.1.1 + 69).
    EXPECT_EQ(std::vector<uint8_t>(entries[69].Frame + 30, entries[69].Frame + 34), hexBytes("EF010146"));
    const auto starts = server->calls(Op::Kv_QMC4_GlobalCmd_StartTx);
    EXPECT_EQ(starts[0].u32(2), 0x37u);
    EXPECT_EQ(starts[0].u32(6), 0u);

    // Leaves: armed, started by the global command, then the leave line and 5 s.
    server->clear();
    log.clear();
    const auto before = clock.now();
    ASSERT_EQ(plan.SendLeaveAll(3), 1);
    EXPECT_EQ(startsOf(2, 1), (std::vector<Start>{{0, 2, 3, 0}}));
    EXPECT_EQ(log, QStringList{"* Leave Group...\n\n"});
    EXPECT_GE(clock.now() - before, 5000ms);

    // No group: nothing at all.
    server->clear();
    log.clear();
    EXPECT_EQ(plan.SendJoinAll(0), 1);
    EXPECT_EQ(plan.SendLeaveAll(0), 1);
    EXPECT_TRUE(server->calls().empty());
    EXPECT_TRUE(log.isEmpty());

    // More groups than a step handles are refused.
    EXPECT_EQ(plan.SendJoinAll(kMaxGroupCount + 1), 0);
    EXPECT_EQ(plan.SendJoinNic(kMaxGroupCount + 1), 0);
    EXPECT_TRUE(server->calls().empty());
}

TEST_F(TestPlanSteps, JoinAggregateTakesTheFirstClientsOfEachPair)
{
    // Pair 1 gets a third host (2,4).
    g_Session.Ports[3].HostPair = 1;
    plan.HostPorts.insert(plan.HostPorts.begin() + 2, testPortOf(3));
    ASSERT_EQ(plan.SendJoinAggregate(2), 1);
    std::vector<std::pair<int, int>> order;
    for (const RecordedCall &call : server->calls(Op::Kv_TQModule_FillTxPkt_AddEntry))
        order.push_back({call.arguments[2], call.arguments[3]});
    EXPECT_EQ(order, (std::vector<std::pair<int, int>>{{2, 2}, {2, 3}, {3, 2}, {2, 1}, {3, 1}}));
    EXPECT_EQ(startsOf(2, 2), (std::vector<Start>{{0, 0, 5, 0}}));
    const auto all = ops();
    EXPECT_EQ(all.front(), Op::Kv_QMC4_GlobalCmd_StopTx);
    EXPECT_EQ(all.back(), Op::Kv_QMC4_GlobalCmd_StartTx);

    server->clear();
    clock.callAfter(0ms, [&] { run.RequestStop(); });
    WaitPumping(0);
    EXPECT_EQ(plan.SendJoinAggregate(2), 0);
    EXPECT_EQ(count(Op::Kv_QMC4_GlobalCmd_StartTx), 0u);
}

TEST_F(TestPlanSteps, LeavePerPortByTableOrAsSourceFilterReports)
{
    plan.IgmpVersion = 3;
    plan.TestType = TestMixClass;
    const auto before = clock.now();
    ASSERT_EQ(plan.SendLeavePerPort(), 1);
    EXPECT_EQ(clock.now() - before, 5 * 500ms + 200ms);
    EXPECT_EQ(count(Op::Kv_TQModule_StartTxPkt), 5u);
    EXPECT_EQ(startsOf(2, 2), (std::vector<Start>{{0, 0, 1, 1}}));
    EXPECT_EQ(entriesOf(2, 2)[0].Frame[14 + 20 + 8], 3) << "CHANGE_TO_INCLUDE";

    server->clear();
    plan.TestType = TestSourceFilter;
    filterHosts = {{"(  1, 2,2) - QM-M13", {{"225.1.1.1", 2, {"10.0.0.1"}}}}};
    ASSERT_EQ(plan.SendLeavePerPort(), 1);
    EXPECT_EQ(count(Op::Kv_TQModule_StartTxPkt), 0u);
    const auto sends = server->calls(Op::Kv_TQModule_NICModeSend);
    ASSERT_EQ(sends.size(), 5u);
    const auto block = std::make_unique<UtNicSendBlock>(sends[0].block<UtNicSendBlock>(4));
    EXPECT_EQ(block->Port.BID, 2);
    EXPECT_EQ(block->Port.PID, 2);
    EXPECT_EQ(v(block->FrameLength), 60);
    EXPECT_EQ(block->Frame[34], 0x22);
    EXPECT_EQ(std::vector<uint8_t>(block->Frame + 38, block->Frame + 50),
              hexBytes("00000001 03000000 E1010101"));
    EXPECT_EQ(block->Frame[34 + 8], 3);
    EXPECT_EQ(block->Frame[34 + 10] << 8 | block->Frame[34 + 11], 0) << "no sources";
    EXPECT_EQ(block->Frame[64], 0xFF) << "64 bytes copied";
}

TEST_F(TestPlanSteps, RateGivesGapAndFrameCount)
{
    const struct
    {
        uint32_t frameSize;
        uint16_t media;
        double rate;
        uint32_t gap;
        uint64_t frames;
        uint64_t maxFps;
    } cases[] = {
        {64, 11, 100, 96, 14880950, 1488095},
        {64, 11, 50, 768, 7440475, 1488095},
        {64, 255, 100, 96, 148800, 14880},    // unknown speed: 10 Mb/s
        {1518, 7, 10, 8 * 13854, 8127, 8127}, // 100 Mb/s: F = 812.7, 15,380.7 - 1,526 bytes
    };
    for (const auto &c : cases) {
        g_Session.PortHwInfo[0].SpeedMedia = c.media;
        server->clear();
        UtTxEntry entry;
        std::memset(&entry, 0xFF, sizeof entry);
        plan.BuildFrameTemplate(entry, 0);
        ASSERT_EQ(plan.FillSourceStreams(entry, c.frameSize, 0, c.rate), 1);
        const auto entries = entriesOf(2, 1);
        ASSERT_EQ(entries.size(), 1u);
        EXPECT_EQ(v(entries[0].Gap), c.gap) << c.frameSize << " " << c.rate;
        EXPECT_EQ(v(entries[0].FrameLength), c.frameSize - 4);
        EXPECT_EQ(v(entries[0].StreamNumber), 100);
        EXPECT_EQ(plan.TxFrameCount, c.frames);
        EXPECT_EQ(plan.ChartScale, c.maxFps);
    }
    // A rate of 0 % sends nothing and divides by nothing.
    server->clear();
    UtTxEntry entry{};
    EXPECT_EQ(plan.FillSourceStreams(entry, 64, 0, 0), 0);
    EXPECT_EQ(plan.FillTestPairStreams(entry, 64, 0, 0, 0), 0);
    EXPECT_EQ(plan.TxFrameCount, 0u);
    EXPECT_TRUE(server->calls().empty());
    // Frame sizes outside the range are refused.
    EXPECT_EQ(plan.FillSourceStreams(entry, 63, 0, 100), 0);
    EXPECT_EQ(plan.FillSourceStreams(entry, kMaxFrameSize + 1, 0, 100), 0);
    EXPECT_EQ(plan.StartTestPairTraffic(20), 0);
    EXPECT_EQ(plan.FillCapacityStreams(64, kMaxGroupCount + 1), 0);
    EXPECT_TRUE(server->calls().empty());
}

TEST_F(TestPlanSteps, MixedClassTrafficOfTheSelectedPairs)
{
    plan.TestType = TestMixClass;
    plan.CurrentRate = 100;
    plan.TestPairs[0].UniCid = 1;
    plan.TestPairs[0].UniBid = 2;
    plan.TestPairs[0].UniPid = 4;
    ASSERT_EQ(plan.StartTestPairTraffic(64), 1);
    const auto entries = entriesOf(2, 1);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(v(entries[0].StreamNumber), 100);
    EXPECT_EQ(v(entries[1].StreamNumber), 101);
    EXPECT_EQ(v(entries[1].EntryNumber), 1u);
    EXPECT_EQ(std::vector<uint8_t>(entries[1].Frame, entries[1].Frame + 14),
              hexBytes("0A3F5C010204 0A3F5C010201 FFFF"));
    EXPECT_EQ(startsOf(2, 1), (std::vector<Start>{{0, 1, 14880950, 0}}));
    EXPECT_EQ(entriesOf(3, 1).size(), 2u);
    EXPECT_EQ(v(plan.SourcePorts[0].TxFrames), 14880950u);
    EXPECT_EQ(log[0], "* Source Port of Test Pair - 0 (   1,  2, 1) Transmit packet  ==>   14880950\n");
    EXPECT_EQ(ops().back(), Op::Kv_QMC4_GlobalCmd_StartTx);
    EXPECT_EQ(server->calls(Op::Kv_QMC4_GlobalCmd_StartTx)[0].u32(2), 0x11u);

    // No selected pair: no entry, but the global start with every source.
    server->clear();
    std::fill(std::begin(plan.PairSelected), std::end(plan.PairSelected), 0);
    ASSERT_EQ(plan.StartTestPairTraffic(64), 1);
    EXPECT_EQ(ops(), std::vector<Op>{Op::Kv_QMC4_GlobalCmd_StartTx});

    // Stop during the pause: 0 and no global start.
    server->clear();
    plan.PairSelected[0] = 1;
    clock.callAfter(100ms, [&] { run.RequestStop(); });
    EXPECT_EQ(plan.StartTestPairTraffic(64), 0);
    EXPECT_EQ(count(Op::Kv_QMC4_GlobalCmd_StartTx), 0u);
}

TEST_F(TestPlanSteps, GlobalCommandFormByController)
{
    plan.SourcePorts.push_back(testPortOf(0));
    plan.SourcePorts.back().Id = {Chassis, 10, 1}; // bit 32
    EXPECT_EQ(CIGMPTestPlan::PortMask(plan.SourcePorts), 0x100000011ull);
    const struct
    {
        char model;
        Op stop;
        size_t highAt; // 0: no high word
        uint32_t high;
    } cases[] = {{'0', Op::Kv_QMC4_GlobalCmd_StopTx, 6, 1},
                 {'1', Op::Kv_QMC2_GlobalCmd_StopTx, 0, 0},
                 {'_', Op::Kv_QMC6_GlobalCmd_StopTx, 6, 0}};
    for (const auto &c : cases) {
        g_Session.Controller.Model = uint8_t(c.model);
        server->clear();
        EXPECT_EQ(plan.StopAllTx(), 1);
        const auto calls = server->calls();
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].op, c.stop);
        EXPECT_EQ(calls[0].u16(0), 1);
        EXPECT_EQ(calls[0].u32(2), 0x11u);
        if (c.highAt)
            EXPECT_EQ(calls[0].u32(c.highAt), c.high);
        else
            EXPECT_EQ(calls[0].arguments.size(), 6u);
    }
    g_Session.Controller.Model = '3';
    server->clear();
    EXPECT_EQ(plan.StopAllTx(), 1);
    EXPECT_TRUE(server->calls().empty());
}

TEST_F(TestPlanSteps, ScaleGroupAndCapacityStreams)
{
    plan.TestType = TestScale;
    plan.ScaleTrial = 3;
    plan.CurrentRate = 50;
    std::fill(std::begin(plan.PairSelected) + 1, std::end(plan.PairSelected), 0);
    ASSERT_EQ(plan.StartTestPairTraffic(64), 1);
    const auto groupEntries = entriesOf(2, 1);
    ASSERT_EQ(groupEntries.size(), 3u);
    EXPECT_EQ(v(groupEntries[2].EntryNumber), 2u);
    EXPECT_EQ(v(groupEntries[2].Word40), 3);
    EXPECT_EQ(groupEntries[2].Frame[22], 1) << "TTL 1";
    EXPECT_EQ(groupEntries[2].Frame[33], 3) << "239.1.1.3";
    EXPECT_EQ(startsOf(2, 1), (std::vector<Start>{{0, 2, 7440475, 0}}));

    server->clear();
    plan.ScaleTrial = 0;
    EXPECT_EQ(plan.StartTestPairTraffic(64), 0) << "no group is refused";
    EXPECT_TRUE(startsOf(2, 1).empty());

    server->clear();
    ASSERT_EQ(plan.FillCapacityStreams(64, 70), 1);
    EXPECT_EQ(startsOf(2, 1), (std::vector<Start>{{0, 31, 32, 1}, {0, 31, 32, 1}, {0, 5, 6, 1}}));
    const auto bursts = entriesOf(2, 1);
    ASSERT_EQ(bursts.size(), 70u);
    EXPECT_EQ(v(bursts[0].Gap), 96u);
    EXPECT_EQ(v(plan.SourcePorts[0].TxFrames), 70u) << "the frames actually sent";
}

TEST_F(TestPlanSteps, SourceFilterTrafficStartsTheEntryItBuilt)
{
    plan.TestType = TestSourceFilter;
    plan.CurrentRate = 100;
    filterGroups = {"225.1.1.1", "225.1.1.2"};
    ASSERT_EQ(plan.StartSourcePortTraffic(64, 1), 1);
    EXPECT_EQ(entriesOf(2, 1).size(), 1u);
    EXPECT_EQ(startsOf(2, 1), (std::vector<Start>{{0, 0, 14880950, 0}}));
    const UtTxEntry entry = entriesOf(2, 1)[0];
    EXPECT_EQ(std::vector<uint8_t>(entry.Frame + 30, entry.Frame + 38), hexBytes("E1010102 E1FB1E9E"));
    EXPECT_EQ(v(entry.Frame[22]), 0x0A);
    EXPECT_EQ(log[0], "* Source Port (   1,  2, 1) Transmit packet  ==>   14880950\n");

    server->clear();
    EXPECT_EQ(plan.StartSourcePortTraffic(64, 5), 0) << "no such group";
    EXPECT_TRUE(entriesOf(2, 1).empty());
}

TEST_F(TestPlanSteps, CaptureBlocksAndStops)
{
    g_Session.Ports[5].ModuleType = 0x37;
    plan.HostPorts[2].TYPE = 0x37;
    g_Session.DelayStamps[1] = {0, 10, 20, 3};
    ASSERT_EQ(plan.StartRxCapture(1), 1);
    EXPECT_EQ(clock.now(), 500ms);
    EXPECT_EQ(v(g_Session.DelayStamps[1].RxStamp), 0u) << "stale stamp cleared";
    const auto captures = server->calls(Op::Kv_TQModule_StartRxCapture);
    ASSERT_EQ(captures.size(), 5u);
    const auto host = captures[0].block<UtRxCaptureBlock>(4);
    EXPECT_EQ(host.Port.BID, 2);
    EXPECT_EQ(host.Port.PID, 2);
    EXPECT_EQ(v(host.MacFilter), 0x5E010101u) << "the pair's group 239.1.1.1";
    EXPECT_EQ(v(host.Word132), 0x80000000u);
    EXPECT_EQ(v(host.Flags), 0x84000000u);
    EXPECT_EQ(v(host.Word160), 0);
    EXPECT_EQ(host.Reserved4[0], 0xFF);
    const auto newer = captures[2].block<UtRxCaptureBlock>(4);
    EXPECT_EQ(v(newer.MacFilter), 0x5E0000FAu) << "pair 2 group 225.0.0.250";
    EXPECT_EQ(v(newer.Flags), 0x80100000u);

    server->clear();
    ASSERT_EQ(plan.StopRxCapture(1), 1);
    EXPECT_EQ(count(Op::Kv_TQModule_StopRxCaptureLatest), 1u);
    EXPECT_EQ(count(Op::Kv_TQModule_StopRxCapture), 4u);
    server->clear();
    ASSERT_EQ(plan.StopRxCapture(0), 1);
    EXPECT_EQ(count(Op::Kv_TQModule_StopRxCapture), 5u);
    failOp(Op::Kv_TQModule_StopRxCaptureNext, 2, 1);
    EXPECT_EQ(plan.StopRxCaptureNext(), 0);
}

TEST_F(TestPlanSteps, ClearTimestampsMask)
{
    plan.SourcePorts.push_back(testPortOf(0));
    plan.SourcePorts.back().Id = {Chassis, 9, 4}; // bit 31
    plan.SourcePorts.push_back(testPortOf(0));
    plan.SourcePorts.back().Id = {Chassis, 10, 1}; // bit 32: not in a 32-bit mask
    g_Session.DelayStamps[0] = {0, 5, 6, 0};
    ASSERT_EQ(plan.ClearTimestamps(), 1);
    const auto calls = server->calls(Op::Kv_QMC4_GlobalCmd_ClearTS);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].u32(2), 0x80000037u);
    EXPECT_EQ(calls[0].u32(6), 0u);
    EXPECT_EQ(v(g_Session.DelayStamps[0].TxStamp), 0u);

    g_Session.Controller.Model = '2';
    EXPECT_EQ(plan.ClearTimestamps(), 0);
    server->clear();
    g_Session.Controller.Model = '1';
    run.RequestStop();
    EXPECT_EQ(plan.ClearTimestamps(), 0);
    EXPECT_TRUE(server->calls().empty());
}

TEST_F(TestPlanSteps, TimestampedJoinsAndLeaves)
{
    g_Session.DelayStamps[1].TxStamp = 1234;
    ASSERT_EQ(plan.SendTimestampedJoinsFromHosts(), 1);
    EXPECT_EQ(v(g_Session.DelayStamps[1].TxStamp), 0u);
    EXPECT_EQ(ops(), (std::vector<Op>{Op::Kv_TQModule_NICModeSet, Op::Kv_TQModule_FillTxPkt_TxConfig,
                                      Op::Kv_TQModule_NICModeSetTimestampCaptureNo,
                                      Op::Kv_TQModule_NICModeSend, Op::Kv_TQModule_NICModeGetTimestampCap,
                                      Op::Kv_TQModule_NICModeSet, Op::Kv_TQModule_FillTxPkt_TxConfig,
                                      Op::Kv_TQModule_NICModeSetTimestampCaptureNo,
                                      Op::Kv_TQModule_NICModeSend, Op::Kv_TQModule_NICModeGetTimestampCap,
                                      Op::Kv_TQModule_NICModeSet, Op::Kv_TQModule_FillTxPkt_TxConfig,
                                      Op::Kv_TQModule_NICModeSetTimestampCaptureNo,
                                      Op::Kv_TQModule_NICModeSend, Op::Kv_TQModule_NICModeGetTimestampCap}));
    const auto settings = server->calls(Op::Kv_TQModule_NICModeSet)[0].block<UtNicModeSettings>(4);
    EXPECT_EQ(v(settings.Word6), 16);
    EXPECT_EQ(v(settings.Word8), 96u);
    EXPECT_EQ(settings.PortMac[5], 2);
    EXPECT_EQ(server->calls(Op::Kv_TQModule_NICModeSetTimestampCaptureNo)[0].u32(4), 1u);

    server->clear();
    run.RequestStop();
    EXPECT_EQ(plan.SendTimestampedLeavesFromHosts(), 0);
    EXPECT_TRUE(server->calls().empty());
}
