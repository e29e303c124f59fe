// The simulator's traffic through the hardware library: trials forwarded by snooping, egress limits,
// the group table, join and leave stamps, IGMPv3 source filtering and the transmit model.
#include "SimTestKit.h"
#include "engine/EventCallback.h"

#include <cmath>

using namespace SimTestKit;

namespace {

constexpr Port Source{2, 1}, HostA{2, 2}, HostB{2, 3}, HostC{2, 4};
constexpr double GigabitBytes = 125'000'000;
const uint32_t Group = ip(239, 1, 1, 1);

uint32_t portIp(Port port)
{
    return ip(192, 168, port.card, port.port);
}

Mac macOf(Port port)
{
    return portMac(port.card, port.port);
}

// Bit of a port in the global commands' mask.
uint32_t maskOf(Port port)
{
    return 1u << (port.card * 4 + port.port - 9);
}

Bytes broadcastFrom(Port port)
{
    Bytes frame(60, 0);
    std::fill_n(frame.begin(), 6, 0xFF);
    const Mac mac = macOf(port);
    std::copy(mac.begin(), mac.end(), frame.begin() + 6);
    put16(frame, 12, 0xFFFF);
    return frame;
}

class SimTrafficTest : public SimFixture
{
protected:
    // Hosts announce their addresses and join the group; the joins take effect; counters start at 0.
    void joinHosts(const std::vector<Port> &hosts, uint32_t group = Group)
    {
        for (Port host : hosts) {
            ASSERT_EQ(sendNic(host, broadcastFrom(host)), 1);
            ASSERT_EQ(sendNic(host, igmpV2(0x16, macOf(host), portIp(host), group)), 1);
        }
        advance(10 * Ms);
        clearCounters();
    }

    static void clearCounters()
    {
        for (Port port : {Source, HostA, HostB, HostC}) {
            ASSERT_EQ(Kv_TQModule_ClearCounterStatistics(1, port.card, port.port), 1);
            ASSERT_EQ(Kv_TQModule_ClearAllStreamCounter(1, port.card, port.port), 1);
        }
    }

    // The Mixed Class streams of the source (multicast to the group, unicast to HostC), armed and started
    // by the global command, then the trial's time.
    uint64_t runMixedClass(size_t frameSize, double rate, double seconds)
    {
        const Pacing p = pacing(GigabitBytes, frameSize, rate, seconds);
        const Mac mac = macOf(Source);
        EXPECT_TRUE(addEntry(Source, multicastData(mac, portIp(Source), Group, frameSize), p.gap, 100));
        EXPECT_TRUE(addEntry(Source, unicastData(macOf(HostC), mac, frameSize), p.gap, 101));
        EXPECT_EQ(startTx(Source, 0, 1, p.count, 0), 1);
        EXPECT_EQ(Kv_QMC4_GlobalCmd_StartTx(1, maskOf(Source), 0), 1);
        advance(int64_t(seconds * 1000 + 10) * Ms);
        return p.count;
    }

    static UtPortCounters portCounters(Port port)
    {
        discardMessages();
        EXPECT_EQ(Kv_TQReadCounterStatistics(1), 1);
        UtPortCounters counters{};
        const auto m = message(KvProtocol::MsgPortCounters, port);
        EXPECT_TRUE(m && m->size() == 20 + 1372);
        if (m)
            ConvertPortCounters(m->data() + 20, counters);
        return counters;
    }
};

} // namespace

namespace {

class MixedClassFrameSizes : public SimTrafficTest, public testing::WithParamInterface<size_t>
{
};

} // namespace

TEST_P(MixedClassFrameSizes, MixedClassAtFullRateGivesEveryHostExactlyWhatTheSourceSent)
{
    // 64 bytes for one second is an odd frame count, 512 bytes an even one.
    const size_t frameSize = GetParam();
    SCOPED_TRACE(frameSize);
    start();
    joinHosts({HostA, HostB, HostC});
    const uint64_t count = runMixedClass(frameSize, 100, 1.0);
    const uint64_t multicast = (count + 1) / 2, unicast = count / 2;
    const StreamCounts source = streams(Source);
    EXPECT_EQ(source.tx.at(0), multicast);
    EXPECT_EQ(source.tx.at(1), unicast);
    for (Port host : {HostA, HostB, HostC}) {
        const StreamCounts counts = streams(host);
        EXPECT_EQ(counts.rx.at(0), multicast);
        EXPECT_EQ(counts.rx.at(1), host.port == HostC.port ? unicast : 0u);
    }
    // The unicast host takes the whole line rate; its port counters say so in the app's decoding.
    const UtPortCounters c = portCounters(HostC);
    EXPECT_EQ(uint64_t(c.RxPackets), count);
    EXPECT_EQ(uint64_t(c.RxBytes), count * frameSize);
    EXPECT_EQ(uint64_t(c.MulticastRx), multicast);
    EXPECT_EQ(uint64_t(c.UnicastRx), unicast);
    EXPECT_EQ(uint64_t(portCounters(Source).TxPackets), count);
}

INSTANTIATE_TEST_SUITE_P(SimTraffic, MixedClassFrameSizes, testing::Values(size_t{64}, size_t{512}));

namespace {

struct SlowHostCase
{
    double rate;
    bool loses;
};

class SlowHostRates : public SimTrafficTest, public testing::WithParamInterface<SlowHostCase>
{
};

} // namespace

TEST_P(SlowHostRates, SlowHostBehindGigabitSourceLosesAtHalfRateOnly)
{
    const SlowHostCase &c = GetParam();
    SCOPED_TRACE(c.rate);
    start();
    ASSERT_EQ(Kv_TQModule_MediaType(1, HostB.card, HostB.port, 7, 0), 1); // 100 Mb/s
    joinHosts({HostA, HostB, HostC});
    const size_t frameSize = 512;
    const uint64_t count = runMixedClass(frameSize, c.rate, 1.0);
    const uint64_t multicast = (count + 1) / 2;
    EXPECT_EQ(streams(HostA).rx.at(0), multicast);
    const uint64_t slow = streams(HostB).rx.at(0);
    if (c.loses) {
        // Offered: half the frames at (size + 20) bytes each against 12.5 MB/s.
        const double offered = double(multicast) * (frameSize + 20);
        EXPECT_NEAR(double(slow), double(multicast) * 12'500'000 / offered, multicast * 0.01);
    } else {
        EXPECT_EQ(slow, multicast);
    }
}

INSTANTIATE_TEST_SUITE_P(SimTraffic, SlowHostRates,
                         testing::Values(SlowHostCase{50, true}, SlowHostCase{15, false}));

TEST_F(SimTrafficTest, GroupBeyondTheTableReachesNoPort)
{
    SimConfig config;
    config.device.groupTableSize = 100;
    start(config);
    std::vector<Bytes> groups;
    for (int g = 1; g <= 101; ++g) {
        ASSERT_EQ(sendNic(HostA, igmpV2(0x16, macOf(HostA), portIp(HostA), ip(239, 1, 1, g))), 1);
        groups.push_back(multicastData(macOf(Source), portIp(Source), ip(239, 1, 1, g), 128, 1));
    }
    advance(10 * Ms);
    clearCounters();
    EXPECT_TRUE(logHas("group table full (100 entries): 239.1.1.101"));
    // One frame per group in turn, as the group streams send them.
    for (const Bytes &frame : groups)
        ASSERT_TRUE(addEntry(Source, frame, 96, 100));
    const uint64_t rounds = 1000;
    ASSERT_EQ(startTx(Source, 0, 100, 101 * rounds, 1), 1);
    advance(200 * Ms); // 101,000 frames of 148 wire bytes take 120 ms
    EXPECT_EQ(streams(HostA).rx.at(0), 100 * rounds);
    for (Port other : {HostB, HostC})
        EXPECT_EQ(streams(other).rx.at(0), 0u);
    // Only the 101st group's frames: nobody receives one.
    clearCounters();
    ASSERT_TRUE(addEntry(Source, groups.back(), 96, 100));
    ASSERT_EQ(startTx(Source, 0, 0, 5000, 1), 1);
    advance(10 * Ms);
    for (Port host : {HostA, HostB, HostC})
        EXPECT_EQ(uint64_t(portCounters(host).RxPackets), 0u);
}

namespace {

struct LeaveCase
{
    bool fastLeave;
    double leaveMs; // fast leave: the leave delay; otherwise two unanswered 1 s queries
};

class LeaveModes : public SimTrafficTest, public testing::WithParamInterface<LeaveCase>
{
};

} // namespace

TEST_P(LeaveModes, JoinAndLeaveStampsGiveTheConfiguredDelays)
{
    const LeaveCase &c = GetParam();
    SCOPED_TRACE(c.fastLeave);
    SimConfig config;
    config.device.joinDelay = 3 * Ms * 1000; // picoseconds
    config.device.leaveDelay = 7 * Ms * 1000;
    config.device.fastLeave = c.fastLeave;
    config.device.lastMemberQueryInterval = 1000 * Ms * 1000;
    config.device.lastMemberQueryCount = 2;
    start(config);
    // The source streams at line rate from before the join to after the leave.
    ASSERT_TRUE(addEntry(Source, multicastData(macOf(Source), portIp(Source), Group, 64), 96, 100));
    ASSERT_EQ(startTx(Source, 0, 0, 10'000'000, 1), 1);
    ASSERT_EQ(Kv_QMC4_GlobalCmd_ClearTS(1, maskOf(Source) | maskOf(HostA), 0), 1);

    const auto delayMs = [&](uint8_t igmpType, uint32_t flags, int64_t wait) {
        UtRxCaptureBlock capture;
        std::memset(&capture, 0xFF, sizeof capture);
        capture.Port = {1, HostA.card, HostA.port};
        capture.MacFilter = 0x5E010101;
        capture.Flags = flags;
        EXPECT_EQ(Kv_TQModule_StartRxCapture(1, HostA.card, HostA.port, capture), 1);
        EXPECT_EQ(Kv_TQModule_NICModeSetTimestampCaptureNo(1, HostA.card, HostA.port, 1), 1);
        EXPECT_EQ(sendNic(HostA, igmpV2(igmpType, macOf(HostA), portIp(HostA), Group)), 1);
        discardMessages();
        EXPECT_EQ(Kv_TQModule_NICModeGetTimestampCap(1, HostA.card, HostA.port), 1);
        const auto tx = message(KvProtocol::MsgTxTimestamp, HostA);
        advance(wait);
        EXPECT_EQ(Kv_TQModule_StopRxCapture(1, HostA.card, HostA.port), 1);
        const auto rx = message(KvProtocol::MsgRxTimestamp, HostA);
        EXPECT_TRUE(tx && rx);
        if (!tx || !rx)
            return -1.0;
        EXPECT_EQ(KvProtocol::readBigEndian16(rx->data() + 26), 1);
        const double ticks = double(KvProtocol::readBigEndian32(rx->data() + 36)) -
                             KvProtocol::readBigEndian32(tx->data() + 28);
        return ticks * 0.04 / 1000;
    };
    // First frame after the join; latest frame before the leave. The device adds microseconds.
    EXPECT_NEAR(delayMs(0x16, 0x00100000, 20 * Ms), 3.0, 0.005);
    EXPECT_NEAR(delayMs(0x17, 0x80100000, 2100 * Ms), c.leaveMs, 0.005);
    // A capture that matched nothing still answers, with stamp 0.
    EXPECT_EQ(Kv_TQModule_StartRxCapture(1, HostB.card, HostB.port, UtRxCaptureBlock{}), 1);
    EXPECT_EQ(Kv_TQModule_StopRxCapture(1, HostB.card, HostB.port), 1);
    const auto none = message(KvProtocol::MsgRxTimestamp, HostB);
    ASSERT_TRUE(none);
    EXPECT_EQ(KvProtocol::readBigEndian32(none->data() + 36), 0u);
}

INSTANTIATE_TEST_SUITE_P(SimTraffic, LeaveModes,
                         testing::Values(LeaveCase{true, 7.0}, LeaveCase{false, 2000.0}));

namespace {

// Frames each source sends in the source filtering cases.
constexpr uint64_t FromFirstSource = 3000, FromSecondSource = 5000;

struct FilterCase
{
    bool sourceFiltering;
    uint64_t includeGets, excludeGets; // frames of both sources together
};

class SourceFilterModes : public SimTrafficTest, public testing::WithParamInterface<FilterCase>
{
};

} // namespace

TEST_P(SourceFilterModes, Igmpv3FilterDeliversExactlyTheAdmittedSources)
{
    constexpr Port SecondSource{3, 1};
    const uint32_t s1 = portIp(Source), s2 = portIp(SecondSource);
    const FilterCase &c = GetParam();
    SCOPED_TRACE(c.sourceFiltering);
    SimConfig config;
    config.device.sourceFiltering = c.sourceFiltering;
    start(config);
    ASSERT_EQ(sendNic(HostA, igmpV3(macOf(HostA), portIp(HostA), {{1, Group, {s1}}})), 1); // INCLUDE {S1}
    ASSERT_EQ(sendNic(HostB, igmpV3(macOf(HostB), portIp(HostB), {{2, Group, {s1}}})), 1); // EXCLUDE {S1}
    ASSERT_EQ(sendNic(HostC, igmpV3(macOf(HostC), portIp(HostC), {{4, Group, {}}, {6, Group, {s2}}})), 1);
    advance(10 * Ms);
    ASSERT_TRUE(addEntry(Source, multicastData(macOf(Source), s1, Group, 128, 10), 96, 100));
    ASSERT_EQ(startTx(Source, 0, 0, FromFirstSource, 0), 1);
    ASSERT_TRUE(addEntry(SecondSource, multicastData(macOf(SecondSource), s2, Group, 128, 10), 96, 102));
    ASSERT_EQ(startTx(SecondSource, 0, 0, FromSecondSource, 0), 1);
    ASSERT_EQ(Kv_QMC4_GlobalCmd_StartTx(1, maskOf(Source) | maskOf(SecondSource), 0), 1);
    advance(100 * Ms);
    const auto total = [](const StreamCounts &counts) { return counts.rx.at(0) + counts.rx.at(2); };
    EXPECT_EQ(total(streams(HostA)), c.includeGets);
    EXPECT_EQ(total(streams(HostB)), c.excludeGets);
    // Excluding {} then blocking S2 leaves only S1 (or everything without source filtering).
    EXPECT_EQ(total(streams(HostC)),
              c.sourceFiltering ? FromFirstSource : FromFirstSource + FromSecondSource);
    // TO_IN {} leaves: nothing more arrives.
    ASSERT_EQ(sendNic(HostA, igmpV3(macOf(HostA), portIp(HostA), {{3, Group, {}}})), 1);
    advance(10 * Ms);
    clearCounters();
    ASSERT_TRUE(addEntry(Source, multicastData(macOf(Source), s1, Group, 128, 10), 96, 100));
    ASSERT_EQ(startTx(Source, 0, 0, FromFirstSource, 1), 1);
    advance(100 * Ms);
    EXPECT_EQ(streams(HostA).rx.at(0), 0u);
}

INSTANTIATE_TEST_SUITE_P(SimTraffic, SourceFilterModes,
                         testing::Values(FilterCase{true, FromFirstSource, FromSecondSource},
                                         FilterCase{false, FromFirstSource + FromSecondSource,
                                                    FromFirstSource + FromSecondSource}));

TEST_F(SimTrafficTest, MalformedFramesAreDroppedAndLogged)
{
    start();
    const Bytes good = igmpV2(0x16, macOf(HostA), portIp(HostA), Group);
    struct Case
    {
        const char *why;
        size_t offset;
        uint8_t value;
        bool headerChecksumRedone;
    };
    const Case cases[] = {
        {"IPv4 header checksum", 14 + 10, 0x00, false},    // checksum byte changed
        {"IPv4 total length", 14 + 3, 0x60, true},         // beyond the frame
        {"IGMP checksum", 14 + 20 + 2, 0x00, false},       // message checksum changed
        {"IPv4 version or header length", 14, 0x44, true}, // header shorter than 20 bytes
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.why);
        Bytes bad = good;
        bad[c.offset] = bad[c.offset] == c.value ? uint8_t(c.value + 1) : c.value;
        if (c.headerChecksumRedone) {
            put16(bad, 14 + 10, 0);
            put16(bad, 14 + 10, checksum(bad, 14, 20));
        }
        ASSERT_EQ(sendNic(HostA, bad), 1);
        EXPECT_TRUE(logHas(std::string("dropped a malformed frame from (2,2): ") + c.why));
    }
    // An IGMPv3 report announcing more records than it carries.
    Bytes v3 = igmpV3(macOf(HostA), portIp(HostA), {{2, Group, {}}});
    put16(v3, 38 + 6, 2);
    put16(v3, 38 + 2, 0);
    put16(v3, 38 + 2, checksum(v3, 38, 16));
    ASSERT_EQ(sendNic(HostA, v3), 1);
    EXPECT_TRUE(logHas("IGMPv3 record past the message"));
    // None of them joined: the source's frames reach nobody. A sound report draws no drop line.
    advance(10 * Ms);
    ASSERT_TRUE(addEntry(Source, multicastData(macOf(Source), portIp(Source), Group, 64), 96, 100));
    ASSERT_EQ(startTx(Source, 0, 0, 1000, 1), 1);
    advance(10 * Ms);
    EXPECT_EQ(streams(HostA).rx.at(0), 0u);
    const size_t drops = server->callLog().size();
    ASSERT_EQ(sendNic(HostB, igmpV2(0x16, macOf(HostB), portIp(HostB), Group)), 1);
    for (size_t i = drops; i < server->callLog().size(); ++i)
        EXPECT_EQ(server->callLog()[i].find("dropped"), std::string::npos);
}

TEST_F(SimTrafficTest, TransmitModelFollowsTheCallSites)
{
    start();
    joinHosts({HostA});
    const Bytes data = multicastData(macOf(Source), portIp(Source), Group, 64);
    // A burst started at once is not sent again by a later global start.
    ASSERT_TRUE(addEntry(Source, data, 96, 100));
    ASSERT_EQ(startTx(Source, 0, 0, 5, 1), 1);
    advance(1 * Ms);
    ASSERT_EQ(Kv_QMC4_GlobalCmd_StartTx(1, maskOf(Source), 0), 1);
    advance(1 * Ms);
    EXPECT_EQ(streams(HostA).rx.at(0), 5u);

    // A start names the most recent entries: the leftover of an earlier batch is not sent.
    clearCounters();
    Bytes stale = data;
    ASSERT_TRUE(addEntry(Source, stale, 96, 7));
    ASSERT_TRUE(addEntry(Source, data, 96, 100));
    ASSERT_EQ(startTx(Source, 0, 0, 3, 1), 1);
    advance(1 * Ms);
    EXPECT_EQ(streams(HostA).rx.at(0), 3u);
    EXPECT_EQ(uint64_t(portCounters(HostA).RxPackets), 3u);

    // Entries beyond those added: refused and logged.
    ASSERT_TRUE(addEntry(Source, data, 96, 100));
    EXPECT_EQ(startTx(Source, 0, 1, 10, 1), 0);
    EXPECT_TRUE(logHas("start of entries 0..1 with 1 entries added refused"));

    // A single frame during a running job leaves its count intact; a stop ends it. Four requests
    // (two time checks, the frame and the stop) come on top of the 0.2 ms.
    clearCounters();
    ASSERT_TRUE(addEntry(Source, data, 96, 100));
    ASSERT_EQ(startTx(Source, 0, 0, 1'000'000, 1), 1);
    advance(100'000); // 0.1 ms: 148 frames of 672 ns
    ASSERT_EQ(sendNic(Source, broadcastFrom(Source)), 1);
    advance(100'000);
    ASSERT_EQ(Kv_QMC4_GlobalCmd_StopTx(1, maskOf(Source), 0), 1);
    advance(10 * Ms);
    const uint64_t beforeStop = (200'000'000 + 4 * SimChassis::RequestTime - 1) / 672'000 + 1;
    EXPECT_EQ(streams(Source).tx.at(0), beforeStop); // frames sent before the stop: 0, 672 ns, ...
    EXPECT_EQ(uint64_t(portCounters(Source).TxPackets), beforeStop + 1);

    // An absurd gap (the 0xFF pre-fill) is paced at 1 ms and logged.
    clearCounters();
    ASSERT_TRUE(addEntry(Source, data, 0xFFFFFFFF, 100));
    ASSERT_EQ(startTx(Source, 0, 0, 10, 1), 1);
    advance(4 * Ms + Ms / 2);
    EXPECT_EQ(streams(HostA).rx.at(0), 5u); // at 0, 1, ... 4 ms
    EXPECT_TRUE(logHas("gap of 4294967295 bit times paced at 1 ms"));
}

// A burst goes out at its gap from the moment it is started; a stop, or a new start on the port, halts
// only the frames not yet due. Each request takes its round trip's time, and frames may be longer than
// the entry's frame area.
TEST_F(SimTrafficTest, BurstsRunFromTheirStartAndAStopHaltsOnlyWhatIsNotYetDue)
{
    start();
    joinHosts({HostA});
    const auto framesBefore = [](int64_t ps, int64_t wirePs) { return uint64_t((ps - 1) / wirePs + 1); };
    struct Case
    {
        size_t frameSize;
        uint64_t burst;
    };
    for (const Case c : {Case{64, 1000}, Case{9000, 5}, Case{16100, 3}}) {
        SCOPED_TRACE(c.frameSize);
        const Bytes data = multicastData(macOf(Source), portIp(Source), Group, c.frameSize);
        const int64_t wirePs = int64_t(c.frameSize + 20) * 8 * 1000;
        // Stopped by the very next request.
        clearCounters();
        ASSERT_TRUE(addEntry(Source, data, 96, 100));
        ASSERT_EQ(startTx(Source, 0, 0, c.burst, 1), 1);
        ASSERT_EQ(Kv_QMC4_GlobalCmd_StopTx(1, maskOf(Source), 0), 1);
        advance(100 * Ms);
        const uint64_t due = framesBefore(SimChassis::RequestTime, wirePs);
        EXPECT_EQ(streams(HostA).rx.at(0), due);
        EXPECT_EQ(uint64_t(portCounters(HostA).RxBytes), due * c.frameSize);
        // Left alone, the whole burst.
        clearCounters();
        ASSERT_TRUE(addEntry(Source, data, 96, 100));
        ASSERT_EQ(startTx(Source, 0, 0, c.burst, 1), 1);
        advance(100 * Ms);
        EXPECT_EQ(streams(HostA).rx.at(0), c.burst);
    }
    // A new start two requests after the first (its entry and itself) takes the port over.
    clearCounters();
    const Bytes data = multicastData(macOf(Source), portIp(Source), Group, 64);
    ASSERT_TRUE(addEntry(Source, data, 96, 100));
    ASSERT_EQ(startTx(Source, 0, 0, 1000, 1), 1);
    ASSERT_TRUE(addEntry(Source, data, 96, 100));
    ASSERT_EQ(startTx(Source, 0, 0, 2, 1), 1);
    advance(10 * Ms);
    EXPECT_EQ(streams(HostA).rx.at(0), framesBefore(2 * SimChassis::RequestTime, 672'000) + 2);
}

namespace {

class ArpReplyModes : public SimTrafficTest, public testing::WithParamInterface<uint16_t>
{
};

} // namespace

TEST_P(ArpReplyModes, PortsAnswerArpRequestsFromTheirTable)
{
    const uint16_t mode = GetParam();
    SCOPED_TRACE(mode);
    start();
    auto table = std::make_unique<KvArpReplyTable>();
    std::memset(table.get(), 0xFF, sizeof *table);
    table->Port = {1, HostA.card, HostA.port};
    table->EntryCount = 1;
    const Mac mac = macOf(HostA);
    std::copy(mac.begin(), mac.end(), table->Entry1.MAC);
    const uint8_t address[4] = {10, 0, 0, 2};
    std::copy_n(address, 4, table->Entry1.IPAddress);
    table->ReplyMode = mode;
    ASSERT_EQ(Kv_TQModule_StartAutoARPReply(1, HostA.card, HostA.port, *table), 1);
    clearCounters();
    // A broadcast request from the source for 10.0.0.2.
    Bytes request(60, 0);
    std::fill_n(request.begin(), 6, 0xFF);
    const Mac asking = macOf(Source);
    std::copy(asking.begin(), asking.end(), request.begin() + 6);
    const uint8_t arp[] = {0x08, 0x06, 0, 1, 0x08, 0, 6, 4, 0, 1};
    std::copy(std::begin(arp), std::end(arp), request.begin() + 12);
    std::copy(asking.begin(), asking.end(), request.begin() + 22);
    put32(request, 28, ip(10, 0, 0, 1));
    put32(request, 38, ip(10, 0, 0, 2));
    ASSERT_EQ(sendNic(Source, request), 1);
    const UtPortCounters answered = portCounters(Source);
    EXPECT_EQ(uint64_t(answered.UnicastRx), mode == 0xFFFF ? 0u : 1u);
    EXPECT_EQ(uint64_t(portCounters(HostA).TxPackets), mode == 0xFFFF ? 0u : 1u);
}

INSTANTIATE_TEST_SUITE_P(SimTraffic, ArpReplyModes,
                         testing::Values(uint16_t(0x8801), uint16_t(0x8081), uint16_t(0xFFFF)));

TEST_F(SimTrafficTest, PeriodicReportsFollowSimulatedTimeUntilStopped)
{
    start();
    ASSERT_EQ(Kv_StartCounterStatistics(1, 1), 1);
    ASSERT_EQ(Kv_TQStartStreamCounter(1, 1), 1);
    discardMessages();
    advance(1000 * Ms);
    EXPECT_TRUE(message(KvProtocol::MsgPortCounters, HostC));
    EXPECT_TRUE(message(KvProtocol::MsgStreamStatistics, HostC));
    ASSERT_EQ(Kv_StopCounterStatistics(1), 1);
    ASSERT_EQ(Kv_TQStopStreamCounter(1), 1);
    discardMessages(); // the reports sent before the stop
    advance(3000 * Ms);
    QCoreApplication::processEvents();
    for (const Bytes &m : s_messages) {
        const uint16_t code = KvProtocol::readBigEndian16(m.data());
        EXPECT_TRUE(code != KvProtocol::MsgPortCounters && code != KvProtocol::MsgStreamStatistics);
    }
    // A group that was never set up is refused.
    EXPECT_EQ(Kv_TQReadCounterStatistics(2), 0);
}

TEST_F(SimTrafficTest, ScaledRealTimeSendsReportsWithoutBeingAsked)
{
    SimConfig config;
    config.timeScale = 100; // a simulated second every 10 ms
    start(config, true);
    discardMessages();
    ASSERT_EQ(Kv_StartCounterStatistics(1, 1), 1);
    EXPECT_TRUE(message(KvProtocol::MsgPortCounters, HostC));
    EXPECT_TRUE(message(KvProtocol::MsgPortCounters, HostC)); // and the next second's
}

namespace {

struct ProfileCase
{
    const char *profile;
    double joinedShare;  // of the frames sent
    bool floodsUnjoined; // unregistered groups reach every port
};

class DeviceProfiles : public SimTrafficTest, public testing::WithParamInterface<ProfileCase>
{
};

} // namespace

TEST_P(DeviceProfiles, ProfilesShapeWhatAHostReceives)
{
    const ProfileCase &c = GetParam();
    SCOPED_TRACE(c.profile);
    SimConfig config;
    ASSERT_TRUE(simDeviceProfile(c.profile, config.device));
    start(config);
    joinHosts({HostA});
    const Pacing p = pacing(GigabitBytes, 64, 100, 1.0);
    ASSERT_TRUE(addEntry(Source, multicastData(macOf(Source), portIp(Source), Group, 64), p.gap, 100));
    ASSERT_EQ(startTx(Source, 0, 0, p.count, 1), 1);
    advance(1010 * Ms);
    // 64-byte multicast at 90 % of line rate in the realistic profile; 10 frames a million lost in
    // the faulty one.
    const uint64_t lost = c.floodsUnjoined ? p.count * 10 / 1'000'000 : 0;
    EXPECT_NEAR(double(streams(HostA).rx.at(0)), double(p.count - lost) * c.joinedShare, 1.0);
    EXPECT_EQ(streams(HostB).rx.at(0), 0u); // a registered group goes to its members only
    // A group nobody joined: dropped, or flooded by the faulty profile.
    clearCounters();
    ASSERT_TRUE(
        addEntry(Source, multicastData(macOf(Source), portIp(Source), ip(239, 9, 9, 9), 64), 96, 100));
    ASSERT_EQ(startTx(Source, 0, 0, 1000, 1), 1);
    advance(10 * Ms);
    EXPECT_EQ(streams(HostB).rx.at(0), c.floodsUnjoined ? 1000u : 0u);
}

INSTANTIATE_TEST_SUITE_P(SimTraffic, DeviceProfiles,
                         testing::Values(ProfileCase{"ideal", 1.0, false},
                                         ProfileCase{"realistic", 0.9, false},
                                         ProfileCase{"faulty", 1.0, true}));
