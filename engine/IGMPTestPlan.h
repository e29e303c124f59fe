// The IGMP test plan: the parameters and port lists of the running test, and every hardware step the
// test procedures share (link checks, port groups, learning frames and ARP replies, joins and leaves,
// counters, data streams, traffic, capture and time stamps, and the counters of demo mode).
//
// Steps return 1 when done and 0 when a hardware call failed, the user stopped or a parameter was out
// of range. They walk the source ports, then the host ports, unless they say otherwise. In demo mode
// no step calls the hardware library.
#pragma once

#include "engine/BaseTestPlan.h"
#include "engine/SessionRecords.h"
#include "engine/TestIndex.h"
#include "engine/TestPlanRecords.h"
#include "platform/kvapi/KvAPI.h"

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

// Frame sizes the streams accept (bytes with the frame check sequence). A transmit entry carries the
// length; its frame area holds the headers, and the payload is the pattern.
constexpr std::uint32_t kMinFrameSize = 64;
constexpr std::uint32_t kMaxFrameSize = 16100;
// Most groups one join or traffic step handles (the Capacity page's limit).
constexpr std::uint32_t kMaxGroupCount = 8000;
constexpr std::size_t kMaxTestPairs = 8;

class CIGMPTestPlan : public CBaseTestPlan
{
public:
    CIGMPTestPlan();
    ~CIGMPTestPlan();
    CIGMPTestPlan(const CIGMPTestPlan &) = delete;
    CIGMPTestPlan &operator=(const CIGMPTestPlan &) = delete;

    // Port lists and reservation. A test's procedure fills the lists from its tested ports: list 2 the
    // host (receiving) ports, list 3 the source ports that are not also hosts, each port once; list 1
    // stays empty. The live charts show lists 2 and 3.
    void FillPortLists();
    std::uint16_t ClearPortLists();
    std::uint16_t ReservePorts() override;
    std::uint16_t ReleasePorts() override;

    // Link checks: 1 when every test port has link.
    std::uint16_t CheckLinkStates(std::uint8_t logFlag);
    std::uint16_t LogLinkStates();

    // Automatic ARP replies and learning frames.
    std::uint16_t StartAutoArpReply();
    std::uint16_t SendLearningFrames();

    // Counters.
    std::uint16_t ClearPortCounters();
    std::uint16_t ClearAllStreamCounters();
    std::uint16_t StopStreamCounters();
    std::uint16_t StopCounterStatistics();
    std::uint16_t ClearAllCounters();
    std::uint16_t StartGroupStreamCounters(std::uint32_t selector);

    // Joins and leaves.
    std::uint16_t SendJoinPerPort();
    std::uint16_t SendJoinNicLatency();
    std::uint16_t SendJoinAggregate(std::uint8_t clients);
    std::uint16_t SendJoinNicAggregate(std::uint8_t clients);
    std::uint16_t SendJoinNic(std::uint32_t groups);
    std::uint16_t SendJoinAll(std::uint32_t groups);
    // The Source Filter reports of every port: joins (operation 0) end at a Stop, leaves go out whole.
    std::uint16_t SendV3ReportNic(std::uint32_t operation);
    void SendJoinTimestamped(const UtTestPort &port, std::uint32_t list);
    void SendLeaveTimestamped(const UtTestPort &port);
    std::uint16_t SendTimestampedJoinsFromSources();
    std::uint16_t SendTimestampedJoinsFromHosts();
    std::uint16_t SendTimestampedLeavesFromHosts();
    std::uint16_t SendLeavePerPort();
    std::uint16_t LeaveGroups();
    std::uint16_t SendLeaveAggregate(std::uint8_t clients);
    // The leaves of the first `groups` groups from every port, in batches that take no Stop: a stopped
    // test leaves what it joined.
    std::uint16_t SendLeaveAll(std::uint32_t groups);

    // Traffic.
    std::uint16_t StartTestPairTraffic(std::uint32_t frameSize);
    std::uint16_t StartSourcePortTraffic(std::uint32_t frameSize, std::uint8_t pairNumber);
    std::uint16_t StopAllTx();

    // Receive capture and time stamps (phase 0 join, 1 leave).
    std::uint16_t StartRxCapture(std::uint8_t phase);
    std::uint16_t StopRxCapture(std::uint8_t phase);
    std::uint16_t StopRxCaptureNext();
    std::uint16_t ClearTimestamps();

    // Demo mode: counters as if the sources had sent for the seconds at the current rate.
    void SimulateCounters(std::int32_t seconds);

    // Frames. The builders return false, and build nothing, when the port index or the pair number
    // does not name a port record or a test pair (the fault is logged).
    bool BuildFrameTemplate(UtTxEntry &entry, std::uint16_t portIndex) const;
    bool BuildIgmpFrame(UtTxEntry &entry, std::uint32_t message, std::uint32_t side, std::uint16_t portIndex,
                        std::uint8_t step, std::uint32_t groupIndex) const;
    // The data frame to pair pairIndex's group (0-based; in the Source Filter test the group list item),
    // on a template already in the entry.
    bool BuildMulticastDataFrame(UtTxEntry &entry, std::uint32_t frameSize, std::uint8_t pairIndex,
                                 std::uint16_t portIndex) const;
    // The group address of a pair (1-based), stepped by the group index when step is 1.
    bool NextGroupAddress(std::uint8_t out[4], std::uint8_t pairNumber, std::uint32_t groupIndex,
                          std::uint8_t step) const;
    // The number (1-based) of the first selected pair whose unicast port the port is; 0 for none.
    std::uint8_t PairOfUnicastPort(const UtPortId &id) const;
    // The address groupIndex groups after base (a.b.c.d): the index's low three bytes added to d, c and b
    // with their carries; a first octet carried past 239 wraps to 224 and bumps the third octet once more.
    static void StepGroupAddress(const std::uint8_t base[4], std::uint32_t groupIndex, std::uint8_t out[4]);

    // Streams: the rate step (gap, frame count) and the entries. Each returns 0, adding no entry, when
    // the frame size is out of range or the rate gives no frames.
    std::uint16_t FillTestPairStreams(UtTxEntry entry, std::uint32_t frameSize, std::uint8_t pairIndex,
                                      std::uint16_t portIndex, double rate);
    std::uint16_t FillSourceStreams(UtTxEntry entry, std::uint32_t frameSize, std::uint16_t portIndex,
                                    double rate);
    std::uint16_t FillGroupStreams(UtTxEntry entry, std::uint32_t frameSize, std::uint8_t pairIndex,
                                   std::uint16_t portIndex, double rate);
    std::uint16_t FillCapacityStreams(std::uint32_t frameSize, std::uint32_t groups);
    std::uint16_t FillCapacityGroupBursts(UtTxEntry entry, std::uint32_t frameSize, std::uint8_t pairIndex,
                                          std::uint16_t portIndex, std::uint32_t groups);

    // Chassis-wide port mask of a port list (card b, port p: bit b * 4 + p - 9) and the global
    // commands of the controller's family over it; none in demo mode.
    static std::uint64_t PortMask(const std::vector<UtTestPort> &ports);
    std::uint64_t AllTestPortsMask() const;
    static void GlobalStartTx(std::uint64_t mask);
    static void GlobalStopTx(std::uint64_t mask);

    std::array<std::vector<KV_PROJECT_PORT_T>, 3> PortLists;
    std::uint16_t FrameSize = 0;
    std::uint8_t RandomizeFlag = 1;
    std::uint32_t RunValueA = 0;
    std::uint32_t RunValueB = 0;
    std::uint32_t TestDuration = 0;
    std::uint32_t NumberOfTrials = 0;
    std::uint32_t DelayAfterStart = 0;
    std::uint32_t TestType = 0;
    double InitialRate = 0;
    double MaxRate = 0;
    double MinRate = 0;
    double Resolution = 0;
    double CurrentRate = 0;
    std::uint32_t TrialClients = 0;
    std::uint32_t DelayAfterJoin = 0;
    std::uint64_t TxFrameCount = 0;
    std::uint64_t ChartScale = 0;
    // The entry of the Source Filter group list the sources send to now (StartSourcePortTraffic).
    std::uint8_t SourceFilterGroup = 0;
    std::uint8_t PayloadPattern = 0;
    std::uint8_t IgmpVersion = 0;
    std::uint8_t InitialClients = 0;
    std::uint8_t MaxClients = 0;
    std::uint32_t InitialGroups = 0;
    std::uint32_t MaxGroups = 0;
    std::uint32_t GroupStep = 0;
    std::uint8_t MeasureFlags = 0;
    std::vector<UtTestPair> TestPairs;
    std::vector<UtTestPort> SourcePorts;
    std::vector<UtTestPort> HostPorts;
    std::uint8_t PairSelected[kMaxTestPairs] = {};
    std::uint8_t ScaleTrial = 0;
    std::uint8_t AggregateTrial = 0;
    UtFilterParams FilterParams;
    std::uint32_t V3ReportSize = 0;

    // The random source of the demo counters (0 .. RAND_MAX); tests set their own.
    std::function<int()> Random;

private:
    // The group index whose address NextGroupAddress last logged, per pair (1-based number - 1): the
    // same line for the next port of a walk over the groups is left out.
    mutable std::array<std::uint32_t, kMaxTestPairs> m_tracedGroupIndex{};

    enum PortSide : std::uint32_t
    {
        AsSource = 0,
        AsHost = 1,
    };
    struct StartWords
    {
        std::uint16_t first;
        std::uint16_t last;
        std::uint64_t count;
        std::uint16_t final;
    };

    // The port record of a tested port, null (and logged) when its index names none.
    const UtPortRecord *recordOf(const UtTestPort &port) const;
    // A zeroed entry with the port's template and IGMP frame.
    bool buildIgmpEntry(UtTxEntry &entry, const UtTestPort &port, std::uint32_t message, std::uint32_t side,
                        std::uint8_t step, std::uint32_t groupIndex) const;
    // One port on the transmit-table path: entry, pause, start. 0 when a call failed.
    std::uint16_t sendIgmpByTable(const UtTestPort &port, std::uint32_t message, std::uint32_t side,
                                  std::uint32_t pauseMs, const StartWords &start);
    // One port on the single-frame path.
    void sendIgmpByNic(const UtTestPort &port, std::uint32_t message, std::uint32_t side, std::uint8_t step,
                       std::uint32_t groupIndex, std::uint32_t copyBytes, bool sendSkipped);
    std::uint16_t sendBatches(std::uint32_t groups, std::uint32_t message, bool stoppable);
    void sendTimestamped(const UtTestPort &port, std::uint32_t message, std::uint32_t side);
    // The Source Filter report of a port into the frame at the IGMP offset; its IGMP length.
    std::size_t writeFilterReport(std::uint8_t *igmp, std::size_t room, const UtPortRecord &record,
                                  std::uint32_t message) const;
    bool writeDataFrame(UtTxEntry &entry, std::uint32_t frameSize, const std::uint8_t group[4],
                        std::uint8_t ttl, bool sourceFilterPorts, std::uint16_t portIndex) const;
    // Entry `groupIndex` of a port's stream table: the data frame to that group of the pair, added to the
    // table.
    bool addGroupEntry(UtTxEntry &entry, std::uint32_t frameSize, std::uint8_t pairIndex,
                       std::uint16_t portIndex, std::uint32_t groupIndex, std::uint16_t stream);
    // False (logged) when a data stream cannot have frames of this size.
    bool trafficFrameSizeUsable(std::uint32_t frameSize) const;
    // The data frame of pair `pairIndex` (0-based) sent from port record `recordIndex`, on an entry filled
    // with 0xFF; false when it cannot be built.
    bool buildDataEntry(UtTxEntry &entry, std::size_t recordIndex, std::uint32_t frameSize,
                        std::uint8_t pairIndex) const;
    // Starts the source ports' transmission together unless Stop was asked for; `result`, or 0 on Stop.
    std::uint16_t startSourcePorts(std::uint16_t result);
    // Gap and frame count of a stream; false (nothing to send) when the rate or frame size is unusable.
    bool applyRate(UtTxEntry &entry, std::uint32_t frameSize, std::uint16_t portIndex, double rate);
    // What the visit of one test port tells the walk over the test ports.
    enum class PortVisit
    {
        Next,   // go on with the next port
        Failed, // the walk's result becomes 0; go on with the next port
        Abort,  // end the walk with 0 now
    };
    struct PortWalkChecks
    {
        bool stopBeforeEachList = true; // also test the stop flag before each port list
        bool demoEndsWalk = true;       // in demo mode, end with 1 before the first port's hardware call
        std::uint32_t pauseAfterListMs = 0;
    };
    // Visits the source ports, then the host ports, testing the stop flag before each port (0 when set).
    // 1 unless a visit failed.
    std::uint16_t walkTestPorts(const PortWalkChecks &checks,
                                const std::function<PortVisit(const UtTestPort &)> &visit);
    std::uint16_t perPortCall(std::uint16_t (*call)(std::uint16_t, std::uint8_t, std::uint8_t),
                              std::uint32_t pauseMs, bool pauseAfterList);
    void copyTxFrameCount(const UtPortRecord &record);
    std::uint32_t pairGroupMacFilter(const UtTestPort &port, PortSide side, bool &ok) const;
};

// Tells the hardware the ports of the test group (sources and hosts of the plan).
std::uint16_t SetupPortGroup(CIGMPTestPlan &plan, std::uint8_t flag);
// The table of counted streams.
std::uint16_t SetStreamCounters(CIGMPTestPlan &plan, std::uint32_t selector);

// Multicast MAC of an IPv4 group: 01:00:5E, second octet AND 0x7F, third, fourth.
void GroupIpToMac(std::uint8_t mac[6], const std::uint8_t address[4]);
// "a.b.c.d" into a << 24 | b << 16 | c << 8 | d; each part read as a decimal integer from its start.
// False when the text is not four parts of 0-255 (the value is then built from what was read).
bool ParseIpv4Text(QStringView text, std::uint32_t &value);
// Leading one bits of a port record's subnet mask; -1 when the mask has no zero bit or the index
// names no record.
std::int8_t SubnetPrefixLength(std::uint16_t portIndex);
