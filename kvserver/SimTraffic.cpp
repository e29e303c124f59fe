#include "kvserver/SimTraffic.h"

#include "platform/kvapi/KvProtocol.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <tuple>

using KvProtocol::readBigEndian32;

namespace {

constexpr int64_t Second = 1'000'000'000'000;
constexpr int64_t SanePacing = Second / 1000; // an absurd gap is replaced by 1 ms between frames
constexpr double LoadTolerance = 1e-9;        // a load this close to the line rate still fits it

// Picoseconds per bit of a link code's speed; 0 when the link is down.
int64_t psPerBitOf(uint16_t linkCode)
{
    if (linkCode == 255)
        return 0;
    switch (linkCode & 0xFF) {
    case 2:
    case 3:
    case 6:
    case 7:
        return 10'000;
    case 8:
    case 9:
    case 10:
    case 11:
        return 1'000;
    case 12:
    case 13:
        return 100;
    default:
        return 100'000;
    }
}

// The fixed latency the receiving test module adds, by module type, link speed and port.
int64_t moduleOffsetPs(uint8_t type, uint16_t linkCode, uint8_t portNumber)
{
    const unsigned speed = linkCode & 0xFF;
    const bool slow = speed <= 1 || speed == 4 || speed == 5;
    const bool fast = speed == 2 || speed == 3 || speed == 6 || speed == 7;
    const bool gigabit = speed >= 8 && speed <= 11;
    const auto bySpeed = [&] { return slow ? 2.24 : fast ? 0.48 : gigabit ? 0.2 : 0.0; };
    double us = 0;
    switch (type) {
    case 52:
    case 66:
    case 67:
        us = 0.2;
        break;
    case 53:
        us = bySpeed();
        break;
    case 54:
        us = portNumber == 3 || portNumber == 4 ? bySpeed() : 0.32;
        break;
    case 55:
        us = (linkCode & 0xF000) == 0x8000 ? 0.32 : bySpeed();
        break;
    case 68:
        us = slow ? 3.12 : fast ? 0.32 : 0.0;
        break;
    case 84:
    case 88:
    case 147:
    case 148:
        us = 0.36;
        break;
    case 89:
        us = 0.44;
        break;
    default:
        break;
    }
    return std::llround(us * 1'000'000);
}

// A port's card and port in a printf format with two %u.
std::string portLabel(const char *format, const SimPortInfo &port)
{
    char text[32];
    std::snprintf(text, sizeof text, format, unsigned(port.card), unsigned(port.port));
    return text;
}

size_t frameBytes(const std::vector<uint8_t> &bytes)
{
    return bytes.size() + 4; // with the frame check sequence
}

} // namespace

int64_t SimTraffic::Job::frameTime(uint64_t index) const
{
    const uint64_t n = entries.size();
    const uint64_t pass = index / n;
    if (pass > uint64_t((INT64_MAX - start - cycle) / cycle))
        return INT64_MAX;
    return start + int64_t(pass) * cycle + offsets[index % n];
}

uint64_t SimTraffic::Job::sentBefore(int64_t t) const
{
    if (t <= start)
        return 0;
    const uint64_t n = entries.size();
    const uint64_t elapsed = uint64_t(t - start);
    const uint64_t passes = elapsed / uint64_t(cycle);
    if (passes > count / n)
        return count;
    const int64_t rest = int64_t(elapsed % uint64_t(cycle));
    const auto within =
        uint64_t(std::lower_bound(offsets.begin(), offsets.begin() + long(n), rest) - offsets.begin());
    return std::min(count, passes * n + within);
}

int64_t SimTraffic::Job::endTime() const
{
    const uint64_t last = count - 1;
    const int64_t sentAt = frameTime(last);
    const size_t slot = last % entries.size();
    const int64_t wire = offsets[slot + 1] - offsets[slot];
    return sentAt > INT64_MAX - wire ? INT64_MAX : sentAt + wire;
}

uint64_t SimTraffic::Job::ofSlot(uint64_t total, size_t slot) const
{
    const uint64_t n = entries.size();
    return total / n + (slot < total % n ? 1 : 0);
}

uint64_t SimTraffic::Job::ofFlow(uint64_t total, const Flow &flow) const
{
    const uint64_t n = entries.size();
    const auto partial = std::lower_bound(flow.entries.begin(), flow.entries.end(), uint32_t(total % n));
    return flow.entries.size() * (total / n) + uint64_t(partial - flow.entries.begin());
}

SimTraffic::SimTraffic(const SimConfig &config, std::vector<SimPortInfo> ports, Log logSink, Log warningSink)
    : m_config(config), m_log(std::move(logSink)), m_warn(std::move(warningSink)),
      m_device(
          config.device,
          [&] {
              std::vector<std::string> names;
              for (const SimPortInfo &port : ports)
                  names.push_back(portLabel("(%u,%u)", port));
              return names;
          }(),
          m_log)
{
    for (const SimPortInfo &info : ports) {
        Port port;
        port.info = info;
        m_ports.push_back(std::move(port));
    }
    if (!m_config.pcapFile.empty()) {
        std::vector<std::string> names;
        for (const SimPortInfo &info : ports)
            names.push_back(portLabel("port %u/%u", info));
        if (!m_pcap.open(m_config.pcapFile, names, m_recordingError))
            log(m_recordingError);
    }
}

void SimTraffic::log(const std::string &line) const
{
    if (m_log)
        m_log(line);
}

void SimTraffic::warn(const std::string &line) const
{
    if (m_warn)
        m_warn(line);
    else
        log(line);
}

std::string SimTraffic::portName(size_t port) const
{
    return portLabel("port (%u,%u)", m_ports[port].info);
}

uint32_t SimTraffic::ticks(const Port &port, int64_t t) const
{
    return t <= port.clockZero ? 0 : static_cast<uint32_t>(uint64_t((t - port.clockZero) / TickPs));
}

void SimTraffic::setSourceDropped(uint32_t source, bool dropped)
{
    integrate(m_now);
    m_device.setSourceDropped(source, dropped);
}

void SimTraffic::setLink(size_t port, uint16_t linkCode)
{
    m_ports[port].linkCode = linkCode;
    m_ports[port].psPerBit = psPerBitOf(linkCode);
    m_ports[port].moduleOffset = moduleOffsetPs(m_ports[port].info.type, linkCode, m_ports[port].info.port);
    ++m_linkVersion;
}

bool SimTraffic::addEntry(size_t port, const UtTxEntry &entry)
{
    Port &p = m_ports[port];
    if (entry.FrameLength < 14 || entry.FrameLength > MaxFrameLength) {
        log(portName(port) + ": entry with frame length " + std::to_string(entry.FrameLength) + " refused");
        return false;
    }
    if (p.pending.size() >= MaxPendingEntries) {
        log(portName(port) + ": more than " + std::to_string(MaxPendingEntries) + " pending entries refused");
        return false;
    }
    auto frame = std::make_shared<TxFrame>();
    // The entry holds the head of a longer frame; the module fills the rest (zeros here).
    frame->bytes.assign(entry.Frame, entry.Frame + std::min<size_t>(entry.FrameLength, sizeof entry.Frame));
    frame->bytes.resize(entry.FrameLength, 0);
    frame->error = SimFrame::parse(frame->bytes.data(), frame->bytes.size(), frame->frame);
    frame->stream = entry.StreamNumber;
    frame->gap = entry.Gap;
    p.pending.push_back(std::move(frame));
    return true;
}

std::optional<SimTraffic::Job> SimTraffic::buildJob(size_t port, const UtTxStartBlock &start)
{
    Port &p = m_ports[port];
    if (start.FirstEntry > start.LastEntry || start.LastEntry >= p.pending.size()) {
        log(portName(port) + ": start of entries " + std::to_string(start.FirstEntry) + ".." +
            std::to_string(start.LastEntry) + " with " + std::to_string(p.pending.size()) +
            " entries added refused");
        return std::nullopt;
    }
    if (p.psPerBit == 0) {
        log(portName(port) + ": start refused, link down");
        return std::nullopt;
    }
    Job job;
    job.firstSlot = start.FirstEntry;
    job.count = start.FrameCount;
    // The start takes the most recent entries; older leftovers are dropped.
    const size_t from = p.pending.size() - (size_t(start.LastEntry) + 1) + start.FirstEntry;
    job.entries.assign(p.pending.begin() + long(from), p.pending.end());
    p.pending.clear();
    job.offsets.push_back(0);
    for (const TxFramePtr &frame : job.entries) {
        int64_t wire =
            (int64_t(frameBytes(frame->bytes)) + 8) * 8 * p.psPerBit + int64_t(frame->gap) * p.psPerBit;
        if (int64_t(frame->gap) * p.psPerBit > Second) {
            log(portName(port) + ": gap of " + std::to_string(frame->gap) + " bit times paced at 1 ms");
            wire = SanePacing;
        }
        job.offsets.push_back(job.offsets.back() + wire);
    }
    job.cycle = job.offsets.back();
    job.frameByFrame = job.count <= FrameByFrameLimit;
    return job;
}

bool SimTraffic::startTxPkt(size_t port, const UtTxStartBlock &start)
{
    std::optional<Job> job = buildJob(port, start);
    if (!job)
        return false;
    if (job->count == 0)
        return true;
    if (start.Final) {
        beginJob(port, *job);
    } else {
        m_ports[port].armed = std::move(job);
    }
    return true;
}

void SimTraffic::beginJob(size_t port, Job &job)
{
    job.start = m_now;
    job.sent = 0;
    if (!job.frameByFrame) {
        // A long job's frames are counted; the device learns from (and takes in) each entry once.
        std::vector<size_t> ignored;
        for (const TxFramePtr &frame : job.entries) {
            if (m_ports[port].psPerBit > 0)
                m_device.receive(frame->frame, frame->error, port, m_now, ignored);
            if (frame->frame.igmp || frame->frame.arp)
                log(portName(port) + ": control frame in a job of " + std::to_string(job.count) +
                    " frames taken in once");
        }
    }
    m_ports[port].running = std::move(job);
}

void SimTraffic::startArmed(size_t port)
{
    Port &p = m_ports[port];
    if (!p.armed)
        return;
    Job job = std::move(*p.armed);
    p.armed.reset();
    beginJob(port, job);
}

void SimTraffic::stopTx(size_t port)
{
    m_ports[port].running.reset();
    m_ports[port].armed.reset();
}

void SimTraffic::clearTimestamps(size_t port)
{
    m_ports[port].clockZero = m_now;
}

void SimTraffic::advanceTo(int64_t t)
{
    while (t > m_now) {
        int64_t next = t;
        next = std::min(next, std::max(m_now, m_device.nextChangeTime()));
        for (const Port &port : m_ports) {
            if (!port.running)
                continue;
            const Job &job = *port.running;
            next =
                std::min(next, job.frameByFrame ? job.frameTime(job.sent) : std::max(m_now, job.endTime()));
        }
        if (next >= t)
            break;
        integrate(next);
        m_now = next;
        m_device.applyChanges(next);
        for (size_t i = 0; i < m_ports.size(); ++i) {
            std::optional<Job> &job = m_ports[i].running;
            if (job && job->frameByFrame) {
                while (job && job->sent < job->count && job->frameTime(job->sent) == next) {
                    const uint64_t index = job->sent++;
                    const size_t slot = index % job->entries.size();
                    const TxFramePtr frame = job->entries[slot];
                    sendOne(i, *frame, next, int(job->firstSlot + slot));
                }
            }
            if (job && job->sent >= job->count)
                job.reset();
        }
    }
    integrate(t);
    m_now = std::max(m_now, t);
}

void SimTraffic::refreshForwarding(size_t port, Job &job)
{
    const uint64_t version = m_device.version() * 0x10000 + (m_linkVersion & 0xFFFF);
    if (job.cacheVersion == version)
        return;
    job.cacheVersion = version;
    job.flows.clear();
    job.flowOf.assign(job.entries.size(), -1);
    job.egressLoad.assign(m_ports.size(), 0.0);
    if (m_ports[port].psPerBit == 0)
        return;
    using FlowKey = std::tuple<std::vector<size_t>, int, size_t, bool, bool, uint16_t>;
    std::map<FlowKey, int> flowIndex;
    const double percent = m_config.device.smallFrameForwardingPercent;
    for (size_t s = 0; s < job.entries.size(); ++s) {
        const TxFrame &frame = *job.entries[s];
        if (!frame.error.empty() || frame.frame.igmp)
            continue;
        m_device.forwardTargets(frame.frame, port, m_integrated, m_scratchTargets);
        std::vector<size_t> targets;
        const double weight =
            frameBytes(frame.bytes) <= 64 && frame.frame.isMulticast() ? 100.0 / percent : 1.0;
        for (size_t egress : m_scratchTargets) {
            if (m_ports[egress].psPerBit == 0)
                continue;
            targets.push_back(egress);
            job.egressLoad[egress] += weight * double((frameBytes(frame.bytes) + 20) * 8) *
                                      double(m_ports[egress].psPerBit) / double(job.cycle);
        }
        if (targets.empty())
            continue;
        FlowKey key{targets,
                    frame.stream,
                    frame.bytes.size(),
                    frame.frame.isMulticast(),
                    frame.frame.tagged,
                    frame.frame.etherType};
        const auto [found, added] = flowIndex.emplace(std::move(key), int(job.flows.size()));
        if (added)
            job.flows.push_back({{}, std::move(targets)});
        job.flows[size_t(found->second)].entries.push_back(uint32_t(s));
        job.flowOf[s] = found->second;
    }
}

void SimTraffic::integrate(int64_t t)
{
    if (t <= m_integrated)
        return;
    std::vector<double> load(m_ports.size(), 0.0);
    for (size_t i = 0; i < m_ports.size(); ++i) {
        std::optional<Job> &job = m_ports[i].running;
        if (!job || job->frameByFrame || job->sent >= job->count)
            continue;
        refreshForwarding(i, *job);
        for (size_t e = 0; e < load.size(); ++e)
            load[e] += job->egressLoad[e];
    }
    const uint64_t lossPpm = m_config.device.lossPpm;
    for (size_t i = 0; i < m_ports.size(); ++i) {
        std::optional<Job> &job = m_ports[i].running;
        if (!job || job->frameByFrame || job->sent >= job->count)
            continue;
        const uint64_t total = job->sentBefore(t);
        if (total <= job->sent)
            continue;
        const size_t n = job->entries.size();
        for (size_t s = 0; s < n; ++s) {
            const uint64_t frames = job->ofSlot(total, s) - job->ofSlot(job->sent, s);
            if (frames > 0)
                countTx(m_ports[i], *job->entries[s], frames, int(job->firstSlot + s));
        }
        for (const Job::Flow &flow : job->flows) {
            const uint64_t frames = job->ofFlow(total, flow) - job->ofFlow(job->sent, flow);
            if (frames == 0)
                continue;
            const TxFrame &frame = *job->entries[flow.entries.front()];
            for (size_t egress : flow.targets) {
                const double share = load[egress] > 1.0 + LoadTolerance ? 1.0 / load[egress] : 1.0;
                uint64_t delivered = static_cast<uint64_t>(std::floor(double(frames) * share));
                delivered -= delivered * lossPpm / 1'000'000;
                if (delivered == 0)
                    continue;
                const int64_t latencyPs = latency(egress, frame, load[egress]);
                deliver(egress, frame, delivered, latencyPs);
                if (!m_ports[egress].captureActive)
                    continue;
                // The capture looks at each entry's own frames: the first or the last one delivered.
                for (uint32_t s : flow.entries) {
                    const uint64_t before = job->ofSlot(job->sent, s), after = job->ofSlot(total, s);
                    const auto reached = static_cast<uint64_t>(std::floor(double(after - before) * share));
                    if (reached > 0)
                        capture(egress, *job->entries[s], job->frameTime(before * n + s) + latencyPs,
                                job->frameTime((before + reached - 1) * n + s) + latencyPs);
                }
            }
        }
        if (m_pcap.isOpen() && m_pcapRecorded < m_config.pcapFrameLimit)
            recordJob(i, *job, total, load);
        job->sent = total;
    }
    m_integrated = t;
}

void SimTraffic::recordJob(size_t port, const Job &job, uint64_t total, const std::vector<double> &load)
{
    // Frame by frame while the capture file takes more: each sent frame, then its copies.
    const size_t n = job.entries.size();
    const std::vector<size_t> nowhere;
    for (size_t s = 0; s < n; ++s) {
        const TxFrame &frame = *job.entries[s];
        const uint64_t before = job.ofSlot(job.sent, s), after = job.ofSlot(total, s);
        const std::vector<size_t> &targets =
            job.flowOf[s] < 0 ? nowhere : job.flows[size_t(job.flowOf[s])].targets;
        for (uint64_t k = before; k < after && m_pcapRecorded < m_config.pcapFrameLimit; ++k) {
            const int64_t sentAt = job.frameTime(k * n + s);
            record(port, sentAt, PcapWriter::Sent, frame);
            for (size_t egress : targets) {
                const double share = load[egress] > 1.0 + LoadTolerance ? 1.0 / load[egress] : 1.0;
                if (double(k - before) < std::floor(double(after - before) * share))
                    record(egress, sentAt + latency(egress, frame, load[egress]), PcapWriter::Delivered,
                           frame);
            }
        }
    }
}

int64_t SimTraffic::latency(size_t egress, const TxFrame &frame, double load) const
{
    const Port &port = m_ports[egress];
    const double busy = std::min(load, 1.0);
    return m_config.device.baseLatency + int64_t(frameBytes(frame.bytes) * 8) * port.psPerBit +
           int64_t(double(m_config.device.queueingLatency) * busy * busy) + port.moduleOffset;
}

void SimTraffic::countTx(Port &port, const TxFrame &frame, uint64_t frames, int slot)
{
    port.counters.txPackets += frames;
    port.counters.txBytes += frames * frameBytes(frame.bytes);
    if (slot >= 0 && size_t(slot) < port.txSlots.size()) {
        port.txSlots[size_t(slot)] += frames;
        port.txSlotEnd = std::max(port.txSlotEnd, size_t(slot) + 1);
    }
}

void SimTraffic::sendOne(size_t port, const TxFrame &frame, int64_t t, int slot)
{
    countTx(m_ports[port], frame, 1, slot);
    record(port, t, PcapWriter::Sent, frame);
    if (m_ports[port].psPerBit == 0)
        return;
    // Counted frames are accounted up to now before the device takes this one in and perhaps learns.
    if (t == m_now)
        integrate(t);
    std::vector<size_t> targets;
    m_device.receive(frame.frame, frame.error, port, t, targets);
    for (size_t egress : targets) {
        if (m_ports[egress].psPerBit == 0)
            continue;
        const int64_t latencyPs = latency(egress, frame, 0);
        const int64_t arrival = t + latencyPs;
        deliver(egress, frame, 1, latencyPs);
        capture(egress, frame, arrival, arrival);
        record(egress, arrival, PcapWriter::Delivered, frame);
        if (frame.frame.arp && frame.frame.arpOperation == 1)
            answerArp(egress, frame.frame, arrival);
    }
}

void SimTraffic::deliver(size_t egress, const TxFrame &frame, uint64_t frames, int64_t latencyPs)
{
    Port &port = m_ports[egress];
    SimMessages::PortCounters &c = port.counters;
    const size_t size = frameBytes(frame.bytes);
    c.rxPackets += frames;
    c.rxBytes += frames * size;
    (frame.frame.isMulticast() ? c.rxMulticast : c.rxUnicast) += frames;
    if (frame.frame.tagged)
        c.rxVlan += frames;
    if (frame.frame.etherType == 0x0800)
        c.rxIpv4 += frames;
    if (size < 64)
        c.undersize += frames;
    else if (size > (frame.frame.tagged ? 1522u : 1518u))
        c.oversize += frames;
    else
        c.normalSize += frames;
    if (size <= 1522) {
        static constexpr size_t Limits[] = {64, 127, 255, 511, 1023};
        const size_t bucket =
            size_t(std::lower_bound(std::begin(Limits), std::end(Limits), size) - std::begin(Limits));
        c.buckets[bucket] += frames;
    }
    if (frame.stream >= int(m_streamBase) && unsigned(frame.stream) - m_streamBase < CounterItems) {
        const unsigned item = unsigned(frame.stream) - m_streamBase;
        RxItem &counted = port.rxItems[item];
        counted.frames += frames;
        port.rxItemEnd = std::max(port.rxItemEnd, item + 1);
        counted.latencyTicks =
            std::max(counted.latencyTicks, uint32_t(std::min<int64_t>(latencyPs / TickPs, UINT32_MAX)));
        if (!(m_enableBits[item / 8] & (1u << (item % 8))) && !m_warnedItems[item]) {
            m_warnedItems[item] = true;
            log("counter item " + std::to_string(item) + " counted but not enabled");
        }
    }
}

void SimTraffic::capture(size_t egress, const TxFrame &frame, int64_t firstArrival, int64_t lastArrival)
{
    Port &port = m_ports[egress];
    if (port.captureActive && frame.bytes.size() >= 6 &&
        readBigEndian32(frame.bytes.data() + 2) == port.captureFilter) {
        if (port.captureLatest) {
            port.captureStamp = ticks(port, lastArrival);
            port.captured = true;
        } else if (!port.captured) {
            port.captureStamp = ticks(port, firstArrival);
            port.captured = true;
        }
    }
}

void SimTraffic::answerArp(size_t egress, const SimFrame &request, int64_t t)
{
    for (const KvArpAddressEntry &entry : m_ports[egress].arpEntries) {
        if (readBigEndian32(entry.IPAddress) != request.arpTargetIp)
            continue;
        const bool tagged = entry.VlanTag[0] != 0xFF;
        const uint16_t vlan = uint16_t(((entry.VlanTag[2] << 8) | entry.VlanTag[3]) & 0x0FFF);
        if (tagged != request.tagged || (tagged && vlan != request.vlan))
            continue;
        TxFrame reply;
        std::vector<uint8_t> &b = reply.bytes;
        b.insert(b.end(), request.arpSenderMac.begin(), request.arpSenderMac.end());
        b.insert(b.end(), entry.MAC, entry.MAC + 6);
        if (tagged)
            b.insert(b.end(), entry.VlanTag, entry.VlanTag + 4);
        const uint8_t head[] = {0x08, 0x06, 0x00, 0x01, 0x08, 0x00, 0x06, 0x04, 0x00, 0x02};
        b.insert(b.end(), std::begin(head), std::end(head));
        b.insert(b.end(), entry.MAC, entry.MAC + 6);
        b.insert(b.end(), entry.IPAddress, entry.IPAddress + 4);
        b.insert(b.end(), request.arpSenderMac.begin(), request.arpSenderMac.end());
        for (int shift = 24; shift >= 0; shift -= 8)
            b.push_back(uint8_t(request.arpSenderIp >> shift));
        b.resize(std::max<size_t>(b.size(), 60), 0);
        reply.error = SimFrame::parse(b.data(), b.size(), reply.frame);
        sendOne(egress, reply, t, -1);
        return;
    }
}

bool SimTraffic::nicSend(size_t port, const UtNicSendBlock &block)
{
    if (block.FrameLength < 14 || block.FrameLength > sizeof block.Frame) {
        log(portName(port) + ": single frame of length " + std::to_string(block.FrameLength) + " refused");
        return false;
    }
    Port &p = m_ports[port];
    TxFrame frame;
    frame.bytes.assign(block.Frame, block.Frame + block.FrameLength);
    frame.error = SimFrame::parse(frame.bytes.data(), frame.bytes.size(), frame.frame);
    if (p.txStampsArmed > 0) {
        p.txStamp = ticks(p, m_now);
        --p.txStampsArmed;
    }
    sendOne(port, frame, m_now, -1);
    return true;
}

void SimTraffic::armTxStamps(size_t port, uint32_t count)
{
    m_ports[port].txStampsArmed = count;
}

std::vector<uint8_t> SimTraffic::txStampMessage(size_t port, KvPortId id) const
{
    return SimMessages::txTimestamp(m_ports[port].info.type, id, m_ports[port].txStamp);
}

bool SimTraffic::setArpTable(size_t port, const KvArpReplyTable &table)
{
    Port &p = m_ports[port];
    if (table.ReplyMode == 0xFFFF) {
        p.arpEntries.clear();
        return true;
    }
    if ((table.ReplyMode != 0x8801 && table.ReplyMode != 0x8081) || table.EntryCount < 1 ||
        table.EntryCount > 2) {
        log(portName(port) + ": ARP reply table refused");
        return false;
    }
    p.arpEntries = {table.Entry1};
    if (table.EntryCount == 2)
        p.arpEntries.push_back(table.Entry2);
    return true;
}

void SimTraffic::startCapture(size_t port, const UtRxCaptureBlock &block)
{
    Port &p = m_ports[port];
    p.captureActive = true;
    p.captureLatest = (block.Flags & 0x80000000u) != 0;
    p.captureFilter = block.MacFilter;
    p.captured = false;
    p.captureStamp = 0;
}

std::vector<uint8_t> SimTraffic::stopCapture(size_t port, KvPortId id)
{
    Port &p = m_ports[port];
    p.captureActive = false;
    return SimMessages::rxTimestamp(p.info.type, id, p.captured, p.captured ? p.captureStamp : 0);
}

void SimTraffic::clearPortCounters(size_t port)
{
    m_ports[port].counters = {};
}

void SimTraffic::clearStreamCounters(size_t port)
{
    std::fill(m_ports[port].txSlots.begin(), m_ports[port].txSlots.end(), 0);
    m_ports[port].txSlotEnd = 0;
    std::fill(m_ports[port].rxItems.begin(), m_ports[port].rxItems.end(), RxItem{});
    m_ports[port].rxItemEnd = 0;
}

void SimTraffic::setStreamTable(const KvStreamCounterTable &table)
{
    m_streamBase = table.BaseStream;
    std::memcpy(m_enableBits, table.EnableBits, sizeof m_enableBits);
    m_enabledEnd = 0;
    for (unsigned item = 0; item < CounterItems; ++item) {
        if (m_enableBits[item / 8] & (1u << (item % 8)))
            m_enabledEnd = item + 1;
    }
}

std::vector<uint8_t> SimTraffic::portCounterMessage(size_t port, KvPortId id) const
{
    return SimMessages::portCounters(m_ports[port].info.type, id, m_ports[port].counters);
}

std::vector<uint8_t> SimTraffic::streamMessage(size_t port, KvPortId id)
{
    Port &p = m_ports[port];
    std::vector<SimMessages::TxStreamItem> tx;
    for (size_t slot = 0; slot < std::max<size_t>(2, p.txSlotEnd); ++slot) {
        if (slot < 2 || p.txSlots[slot] > 0)
            tx.push_back({uint16_t(slot), p.txSlots[slot]});
    }
    std::vector<SimMessages::RxStreamItem> rx;
    for (unsigned item = 0; item < std::max(m_enabledEnd, p.rxItemEnd); ++item) {
        RxItem &counted = p.rxItems[item];
        const bool enabled = m_enableBits[item / 8] & (1u << (item % 8));
        if (counted.frames == 0 && !enabled)
            continue;
        rx.push_back({uint16_t(item), counted.frames, counted.latencyTicks});
        counted.latencyTicks = 0; // the next report gives the next interval's largest
    }
    return SimMessages::streamStatistics(p.info.type, id, tx, rx);
}

uint64_t SimTraffic::rxItemFrames(size_t port, unsigned item) const
{
    return item < CounterItems ? m_ports[port].rxItems[item].frames : 0;
}

void SimTraffic::record(size_t port, int64_t t, PcapWriter::Direction direction, const TxFrame &frame)
{
    if (!m_pcap.isOpen() || m_pcapRecorded >= m_config.pcapFrameLimit)
        return;
    if (!m_pcap.write(port, uint64_t(std::max<int64_t>(t, 0) / 1000), direction, frame.bytes.data(),
                      frame.bytes.size(), m_recordingError)) {
        warn("capture stopped: " + m_recordingError);
        return;
    }
    if (++m_pcapRecorded == m_config.pcapFrameLimit)
        log("capture file limit of " + std::to_string(m_config.pcapFrameLimit) + " frames reached");
}

void SimTraffic::closeRecording()
{
    if (!m_pcap.close(m_recordingError))
        warn("capture stopped: " + m_recordingError);
}
