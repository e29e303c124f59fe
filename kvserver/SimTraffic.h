// The tester ports' traffic: transmit tables and jobs, single frames, automatic ARP replies, port and
// stream counters, receive capture and time stamps, with the simulated device between the ports.
// Frames of long jobs are counted by arithmetic between the moments at which forwarding changes, so a
// minute at line rate costs a handful of steps. Times in picoseconds.
#pragma once

#include "kvserver/PcapWriter.h"
#include "kvserver/SimConfig.h"
#include "kvserver/SimDevice.h"
#include "kvserver/SimMessages.h"
#include "platform/kvapi/KvAPI.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct SimPortInfo
{
    uint8_t card;
    uint8_t port;
    uint8_t type; // module type code
};

class SimTraffic
{
public:
    using Log = std::function<void(const std::string &)>;

    // Stream numbers count for counter item (number - base) below this.
    static constexpr unsigned CounterItems = 512;
    // A job of at most this many frames is sent frame by frame; longer ones are counted.
    static constexpr uint64_t FrameByFrameLimit = 4096;
    static constexpr size_t MaxPendingEntries = 4096;
    // The longest frame of a transmit entry without its check sequence: 16,100 bytes on the wire.
    static constexpr uint16_t MaxFrameLength = 16'096;
    static constexpr int64_t TickPs = 40'000; // time stamps count 40 ns ticks

    // Lines of what the simulation does go to logSink; the faults of the simulator itself (a capture
    // file that can no longer be written) to warningSink, or to logSink when it is empty.
    SimTraffic(const SimConfig &config, std::vector<SimPortInfo> ports, Log logSink, Log warningSink = {});

    // Why the configured capture file could not be created or stopped being written; empty when it
    // records or none was asked for.
    const std::string &recordingError() const { return m_recordingError; }
    // Writes the rest of the capture and closes it; a failure is warned of.
    void closeRecording();

    // Moves the simulation to t (never back).
    void advanceTo(int64_t t);

    void setLink(size_t port, uint16_t linkCode); // 255: link down

    bool addEntry(size_t port, const UtTxEntry &entry);
    bool startTxPkt(size_t port, const UtTxStartBlock &start);
    void startArmed(size_t port); // the global start
    void stopTx(size_t port);     // the global stop
    void clearTimestamps(size_t port);

    bool nicSend(size_t port, const UtNicSendBlock &block);
    void armTxStamps(size_t port, uint32_t count);
    std::vector<uint8_t> txStampMessage(size_t port, KvPortId id) const;

    bool setArpTable(size_t port, const KvArpReplyTable &table);

    void startCapture(size_t port, const UtRxCaptureBlock &block);
    std::vector<uint8_t> stopCapture(size_t port, KvPortId id); // its 0x0200, also when nothing matched

    void clearPortCounters(size_t port);
    void clearStreamCounters(size_t port);
    void setStreamTable(const KvStreamCounterTable &table);
    std::vector<uint8_t> portCounterMessage(size_t port, KvPortId id) const;
    // Starts a new latency interval of the port's items.
    std::vector<uint8_t> streamMessage(size_t port, KvPortId id);

    // Test control: the device drops multicast from the source address (host order) from now on, or
    // forwards it again; what was sent before counts as it was forwarded then.
    void setSourceDropped(uint32_t source, bool dropped);

    // Frames counted so far for a counter item of a port.
    uint64_t rxItemFrames(size_t port, unsigned item) const;

private:
    struct TxFrame
    {
        std::vector<uint8_t> bytes; // without the frame check sequence
        SimFrame frame;
        std::string error; // the device's verdict on the frame
        int stream = -1;   // none for single frames
        uint32_t gap = 96; // bit times after the frame
    };
    using TxFramePtr = std::shared_ptr<const TxFrame>;

    struct Job
    {
        std::vector<TxFramePtr> entries;
        uint16_t firstSlot = 0; // table entry of entries[0]
        uint64_t count = 0;
        int64_t start = 0;
        int64_t cycle = 0;            // wire time of one pass over the entries
        std::vector<int64_t> offsets; // send time of each slot within a pass
        uint64_t sent = 0;            // frames accounted for
        bool frameByFrame = false;
        // Entries that go to the same ports and count alike, counted together.
        struct Flow
        {
            std::vector<uint32_t> entries; // ascending
            std::vector<size_t> targets;
        };
        // Forwarding of the entries and the load they put on each egress, valid for cacheVersion.
        uint64_t cacheVersion = UINT64_MAX;
        std::vector<Flow> flows;
        std::vector<int> flowOf; // of each entry, -1 when it reaches no port
        std::vector<double> egressLoad;

        int64_t frameTime(uint64_t index) const;
        uint64_t sentBefore(int64_t t) const;
        int64_t endTime() const;
        uint64_t ofSlot(uint64_t total, size_t slot) const;
        uint64_t ofFlow(uint64_t total, const Flow &flow) const;
    };

    struct RxItem
    {
        uint64_t frames = 0;
        uint32_t latencyTicks = 0;
    };

    struct Port
    {
        SimPortInfo info;
        uint16_t linkCode = 255;
        int64_t psPerBit = 0;     // 0 link down
        int64_t moduleOffset = 0; // latency the receiving module adds
        std::vector<TxFramePtr> pending;
        std::optional<Job> armed;
        std::optional<Job> running;
        SimMessages::PortCounters counters;
        std::vector<uint64_t> txSlots = std::vector<uint64_t>(MaxPendingEntries); // frames by table entry
        size_t txSlotEnd = 0;                                                     // past the last counted
        std::vector<RxItem> rxItems = std::vector<RxItem>(CounterItems);
        unsigned rxItemEnd = 0; // past the last counted
        int64_t clockZero = 0;
        uint32_t txStampsArmed = 0;
        uint32_t txStamp = 0;
        bool captureActive = false;
        bool captureLatest = false;
        uint32_t captureFilter = 0;
        bool captured = false;
        uint32_t captureStamp = 0;
        std::vector<KvArpAddressEntry> arpEntries; // empty: no replies
    };

    std::string portName(size_t port) const;
    uint32_t ticks(const Port &port, int64_t t) const;
    std::optional<Job> buildJob(size_t port, const UtTxStartBlock &start);
    void beginJob(size_t port, Job &job);
    void refreshForwarding(size_t port, Job &job);
    void integrate(int64_t t);
    void sendOne(size_t port, const TxFrame &frame, int64_t t, int slot);
    void countTx(Port &port, const TxFrame &frame, uint64_t frames, int slot);
    int64_t latency(size_t egress, const TxFrame &frame, double load) const;
    void deliver(size_t egress, const TxFrame &frame, uint64_t frames, int64_t latencyPs);
    void capture(size_t egress, const TxFrame &frame, int64_t firstArrival, int64_t lastArrival);
    void recordJob(size_t port, const Job &job, uint64_t total, const std::vector<double> &load);
    void answerArp(size_t egress, const SimFrame &request, int64_t t);
    void record(size_t port, int64_t t, PcapWriter::Direction direction, const TxFrame &frame);
    void log(const std::string &line) const;
    void warn(const std::string &line) const;

    SimConfig m_config;
    Log m_log;
    Log m_warn;
    std::vector<Port> m_ports;
    SimDevice m_device;
    int64_t m_now = 0;
    int64_t m_integrated = 0; // arithmetic jobs are accounted up to here
    uint64_t m_linkVersion = 0;
    uint32_t m_streamBase = 100;
    uint8_t m_enableBits[64] = {};
    unsigned m_enabledEnd = 0; // past the last enabled item
    std::vector<bool> m_warnedItems = std::vector<bool>(CounterItems);
    PcapWriter m_pcap;
    std::string m_recordingError;
    uint64_t m_pcapRecorded = 0;
    std::vector<size_t> m_scratchTargets;
};
