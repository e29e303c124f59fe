// Frames of the test plan: the port's frame template, IGMP reports and leaves, multicast data frames
// and the address helpers they share.
#include "engine/IGMPTestPlan.h"

#include "engine/PlanHostCalls.h"
#include "engine/PlanPortLookup.h"
#include "engine/PlanWireFormat.h"

#include <algorithm>
#include <cstring>

using namespace TestPlanSupport;

namespace {

constexpr std::size_t kMinFrameLength = 60; // without the frame check sequence
constexpr std::size_t kNicFrameRoom = sizeof(UtNicSendBlock::Frame);
constexpr std::uint8_t kIgmpV3Destination[4] = {224, 0, 0, 22};

// The Internet checksum of a header or message whose checksum field is still 0, stored so that a
// recomputation over the finished bytes gives 0.
void storeChecksum(std::uint8_t *field, const std::uint8_t *data, std::size_t length)
{
    const std::uint16_t sum = InetChecksum(length, data);
    std::memcpy(field, &sum, 2);
}

void writeIpv4Header(std::uint8_t *ip, std::size_t optionLength, std::size_t totalLength, std::uint8_t ttl,
                     std::uint8_t protocol, const std::uint8_t source[4], const std::uint8_t destination[4])
{
    ip[0] = static_cast<std::uint8_t>(0x40 | ((20 + optionLength) / 4));
    ip[1] = 0;
    putBe16(ip + 2, static_cast<std::uint16_t>(totalLength));
    std::memset(ip + 4, 0, 4);
    ip[8] = ttl;
    ip[9] = protocol;
    ip[10] = ip[11] = 0;
    std::memcpy(ip + 12, source, 4);
    std::memcpy(ip + 16, destination, 4);
}

void addressBytes(std::uint32_t value, std::uint8_t out[4])
{
    out[0] = static_cast<std::uint8_t>(value >> 24);
    out[1] = static_cast<std::uint8_t>(value >> 16);
    out[2] = static_cast<std::uint8_t>(value >> 8);
    out[3] = static_cast<std::uint8_t>(value);
}

// The decimal integer at the start of a part, read as _wtoi reads it.
bool readDecimalPart(QStringView part, std::uint32_t &value)
{
    qsizetype at = 0;
    while (at < part.size() && part[at].isSpace())
        ++at;
    bool negative = false;
    if (at < part.size() && (part[at] == u'+' || part[at] == u'-'))
        negative = part[at++] == u'-';
    std::uint64_t number = 0;
    const qsizetype digitsFrom = at;
    while (at < part.size() && part[at] >= u'0' && part[at] <= u'9' && number <= 0xFFFFFFFF)
        number = number * 10 + (part[at++].unicode() - u'0');
    value = static_cast<std::uint32_t>(negative ? 0 - number : number);
    return at > digitsFrom && at == part.size() && !negative && number <= 255;
}

} // namespace

bool CIGMPTestPlan::BuildFrameTemplate(UtTxEntry &entry, std::uint16_t portIndex) const
{
    if (portIndex >= g_Session.Ports.size()) {
        log(QString::asprintf("* Port index %d names no port, no frame built.\n", portIndex));
        return false;
    }
    const UtPortRecord &record = g_Session.Ports[portIndex];
    entry.Port = {record.CID, record.BID, record.PID};
    entry.EntryNumber = 0;
    switch (LineRateOfMedia(record.SpeedMedia)) {
    case kLineRate1G:
        entry.Gap = 500'000;
        break;
    case kLineRate100M:
        entry.Gap = 50'000;
        break;
    case kLineRate10M:
        entry.Gap = 250'000;
        break;
    default: // 10G and a link with no running speed keep the entry's gap
        break;
    }
    entry.Word12 = 96;
    entry.Word16 = 1;
    entry.Word20 = 0;
    entry.Word24 = 0;
    entry.PayloadPattern = PayloadPattern;
    entry.Words28[0] = entry.Words28[1] = entry.Words28[2] = 1;
    entry.Word34 = entry.Word36 = 0;
    entry.FrameLength = kMinFrameLength;
    entry.Word40 = entry.Word42 = 0;
    entry.StreamNumber = 1;
    entry.Word46 = 0;
    entry.FrameLength2 = kMinFrameLength;
    entry.Byte80 = 0;
    entry.Byte81 = 0xFF;
    entry.Word82 = 0xFFFF;
    std::fill(std::begin(entry.Words84), std::end(entry.Words84), 0xFFFFFFFFu);

    std::uint8_t *frame = entry.Frame;
    std::memset(frame, 0xFF, 6);
    std::memcpy(frame + 6, record.MAC, 6);
    std::size_t header = 14;
    if (portTagged(record)) {
        putTag(frame + 12, record.VLanPriority, record.CFI, record.VLanID);
        header = 18;
    }
    putBe16(frame + header - 2, 0x0800);
    std::uint8_t *ip = frame + header;
    std::uint8_t source[4], gateway[4];
    std::memcpy(source, &record.IPAddress, 4);
    std::memcpy(gateway, &record.GatewayIP, 4);
    writeIpv4Header(ip, 0, 46, 0x80, 0x01, source, gateway);
    storeChecksum(ip + 10, ip, 20);
    const std::uint8_t echoHead[6] = {0x08, 0, 0, 0, 0, 0};
    std::memcpy(ip + 20, echoHead, sizeof echoHead);
    return true;
}

bool CIGMPTestPlan::NextGroupAddress(std::uint8_t out[4], std::uint8_t pairNumber, std::uint32_t groupIndex,
                                     std::uint8_t step) const
{
    if (pairNumber < 1 || pairNumber > kMaxTestPairs || pairNumber > TestPairs.size()) {
        log(QString::asprintf("* Test pair %d does not exist, no group address.\n", pairNumber));
        return false;
    }
    const std::uint8_t *base = TestPairs[pairNumber - 1].GroupIP;
    std::memcpy(out, base, 4);
    if (step == 1)
        StepGroupAddress(base, groupIndex, out);
    if (step != 1 || groupIndex <= 250) {
        // Below index 251 a walk over the groups starts again: its lines are all still to come.
        m_tracedGroupIndex.fill(0);
        return true;
    }
    // Once per group and pair of a walk, however many ports send to it: a step of thousands of groups
    // would otherwise fill the log with copies.
    if (m_tracedGroupIndex[pairNumber - 1] != groupIndex)
        log(QString::asprintf("bf %d,%d,%d,%d -- af %d,%d,%d,%d   -idx %u \n", base[0], base[1], base[2],
                              base[3], out[0], out[1], out[2], out[3], groupIndex));
    m_tracedGroupIndex[pairNumber - 1] = groupIndex;
    return true;
}

void CIGMPTestPlan::StepGroupAddress(const std::uint8_t base[4], std::uint32_t groupIndex,
                                     std::uint8_t out[4])
{
    const unsigned d = base[3] + (groupIndex & 0xFF);
    unsigned c = base[2] + (d >> 8) + ((groupIndex >> 8) & 0xFF);
    const unsigned b = base[1] + (c >> 8) + ((groupIndex >> 16) & 0xFF);
    unsigned a = base[0] + (b >> 8);
    if (a > 239) {
        a = 224;
        c += 1;
    }
    out[0] = static_cast<std::uint8_t>(a);
    out[1] = static_cast<std::uint8_t>(b);
    out[2] = static_cast<std::uint8_t>(c);
    out[3] = static_cast<std::uint8_t>(d);
}

std::size_t CIGMPTestPlan::writeFilterReport(std::uint8_t *igmp, std::size_t room, const UtPortRecord &record,
                                             std::uint32_t message) const
{
    std::uint16_t records = 0;
    std::size_t length = 8;
    for (const UtFilterHost &host : EngineHost::instance().sourceFilterHosts()) {
        UtPortKey key{};
        if (!ParsePortLabel(host.PortLabel, key) || key.Id != record.Id())
            continue;
        for (const UtFilterGroup &group : host.Groups) {
            std::uint32_t address = 0;
            if (!ParseIpv4Text(group.GroupAddress, address)) {
                log(QStringLiteral("* Source Filter group \"%1\" is no address, skipped.\n")
                        .arg(group.GroupAddress));
                continue;
            }
            std::vector<std::uint32_t> sources;
            if (message == 0) {
                for (const QString &text : group.Sources) {
                    std::uint32_t source = 0;
                    if (ParseIpv4Text(text, source))
                        sources.push_back(source);
                }
            }
            const std::size_t recordLength = 8 + 4 * sources.size();
            if (length + recordLength > room) {
                log(QStringLiteral("* Source Filter report of %1 does not fit one frame.\n")
                        .arg(portText(record.Id())));
                return 0;
            }
            std::uint8_t *at = igmp + length;
            at[0] = message == 0 ? (group.Mode == 1 ? 1 : 2) : 3;
            at[1] = 0;
            putBe16(at + 2, static_cast<std::uint16_t>(sources.size()));
            addressBytes(address, at + 4);
            for (std::size_t i = 0; i < sources.size(); ++i)
                addressBytes(sources[i], at + 8 + 4 * i);
            length += recordLength;
            ++records;
        }
        break;
    }
    igmp[0] = 0x22;
    std::memset(igmp + 1, 0, 5);
    putBe16(igmp + 6, records);
    return length;
}

bool CIGMPTestPlan::BuildIgmpFrame(UtTxEntry &entry, std::uint32_t message, std::uint32_t side,
                                   std::uint16_t portIndex, std::uint8_t step, std::uint32_t groupIndex) const
{
    if (portIndex >= g_Session.Ports.size())
        return false;
    if (IgmpVersion < 1 || IgmpVersion > 3) {
        log(QString::asprintf("* IGMP version %d is not 1, 2 or 3, no report built.\n", IgmpVersion));
        return false;
    }
    const UtPortRecord &record = g_Session.Ports[portIndex];
    const std::uint8_t pair = side == AsSource ? record.SourcePair : record.HostPair;
    const bool sourceFilter = IgmpVersion == 3 && TestType == TestSourceFilter;
    const std::size_t option = g_Session.RouterAlert ? 4 : 0;

    std::uint8_t group[4] = {};
    if (!sourceFilter && !NextGroupAddress(group, pair, groupIndex, step)) {
        log(QStringLiteral("* Port %1 sends no IGMP frame.\n").arg(portText(record.Id())));
        return false;
    }
    const std::uint8_t *destination = IgmpVersion == 3 ? kIgmpV3Destination : group;

    std::uint8_t *frame = entry.Frame;
    std::size_t header = 14;
    if (portTagged(record)) {
        putTag(frame + 12, record.VLanPriority, record.CFI, record.VLanID);
        header = 18;
    }
    putBe16(frame + header - 2, 0x0800);
    GroupIpToMac(frame, destination);
    std::uint8_t *ip = frame + header;
    std::uint8_t *igmp = ip + 20 + option;

    std::size_t igmpLength = 8;
    if (sourceFilter) {
        igmpLength = writeFilterReport(igmp, kNicFrameRoom - header - 20 - option, record, message);
        if (igmpLength == 0)
            return false;
    } else if (IgmpVersion == 3) {
        igmpLength = 16;
        const std::uint8_t report[16] = {
            0x22, 0, 0, 0,        0,        0,        0,       1, std::uint8_t(message == 0 ? 2 : 3),
            0,    0, 0, group[0], group[1], group[2], group[3]};
        std::memcpy(igmp, report, sizeof report);
    } else {
        igmp[0] = message == 1 ? 0x17 : (IgmpVersion == 1 ? 0x12 : 0x16);
        igmp[1] = 0;
        igmp[2] = igmp[3] = 0;
        std::memcpy(igmp + 4, group, 4);
    }
    std::uint8_t source[4];
    std::memcpy(source, &record.IPAddress, 4);
    writeIpv4Header(ip, option, 20 + option + igmpLength, 1, 2, source, destination);
    if (option) {
        const std::uint8_t routerAlert[4] = {0x94, 0x04, 0, 0};
        std::memcpy(ip + 20, routerAlert, 4);
    }
    storeChecksum(ip + 10, ip, 20 + option);
    storeChecksum(igmp + 2, igmp, igmpLength);

    if (sourceFilter) {
        const std::size_t content = header + 20 + option + igmpLength;
        std::size_t length = std::max(content, kMinFrameLength);
        if (message == 0 && V3ReportSize >= kMinFrameSize && V3ReportSize - 4 <= kNicFrameRoom)
            length = std::max<std::size_t>(length, V3ReportSize - 4);
        entry.FrameLength = entry.FrameLength2 = static_cast<std::uint16_t>(length);
    }
    if (!hardwareSkipped())
        Kv_TQModule_FillTxPkt_TxConfig(entry.Port.CID, entry.Port.BID, entry.Port.PID, txConfig(1));
    return true;
}

bool CIGMPTestPlan::writeDataFrame(UtTxEntry &entry, std::uint32_t frameSize, const std::uint8_t group[4],
                                   std::uint8_t ttl, bool sourceFilterPorts, std::uint16_t portIndex) const
{
    if (frameSize < kMinFrameSize || frameSize > kMaxFrameSize) {
        log(QString::asprintf("* Frame size %u is outside %u-%u, no stream built.\n", frameSize,
                              kMinFrameSize, kMaxFrameSize));
        return false;
    }
    if (portIndex >= g_Session.Ports.size())
        return false;
    const UtPortRecord &record = g_Session.Ports[portIndex];
    std::uint8_t *frame = entry.Frame;
    GroupIpToMac(frame, group);
    std::size_t header = 14;
    if (portTagged(record)) {
        putTag(frame + 12, record.VLanPriority, record.CFI, record.VLanID);
        header = 18;
    }
    std::uint8_t *ip = frame + header;
    std::uint8_t source[4];
    std::memcpy(source, &record.IPAddress, 4);
    const std::size_t total = frameSize - 4 - header;
    writeIpv4Header(ip, 0, total, ttl, 0x11, source, group);
    storeChecksum(ip + 10, ip, 20);
    std::uint8_t *udp = ip + 20;
    putBe16(udp, sourceFilterPorts ? 0xE1FB : 7);
    putBe16(udp + 2, sourceFilterPorts ? 0x1E9E : 7);
    putBe16(udp + 4, static_cast<std::uint16_t>(total - 20));
    udp[6] = udp[7] = 0;
    entry.FrameLength2 = kMinFrameLength;
    return true;
}

bool CIGMPTestPlan::BuildMulticastDataFrame(UtTxEntry &entry, std::uint32_t frameSize, std::uint8_t pairIndex,
                                            std::uint16_t portIndex) const
{
    std::uint8_t group[4] = {};
    const bool sourceFilter = TestType == TestSourceFilter;
    if (sourceFilter) {
        const QStringList groups = EngineHost::instance().sourceFilterGroups();
        std::uint32_t address = 0;
        if (pairIndex >= groups.size() || !ParseIpv4Text(groups[pairIndex], address)) {
            log(QString::asprintf("* Source Filter group %d does not exist, no stream built.\n", pairIndex));
            return false;
        }
        addressBytes(address, group);
    } else {
        if (pairIndex >= TestPairs.size() || pairIndex >= kMaxTestPairs) {
            log(QString::asprintf("* Test pair %d does not exist, no stream built.\n", pairIndex + 1));
            return false;
        }
        std::memcpy(group, TestPairs[pairIndex].GroupIP, 4);
    }
    return writeDataFrame(entry, frameSize, group, sourceFilter ? 0x0A : 0x40, sourceFilter, portIndex);
}

void GroupIpToMac(std::uint8_t mac[6], const std::uint8_t address[4])
{
    mac[0] = 0x01;
    mac[1] = 0x00;
    mac[2] = 0x5E;
    mac[3] = address[1] & 0x7F;
    mac[4] = address[2];
    mac[5] = address[3];
}

bool ParseIpv4Text(QStringView text, std::uint32_t &value)
{
    value = 0;
    bool valid = true;
    int count = 0;
    for (const QStringView part : text.split(u'.')) {
        std::uint32_t number = 0;
        valid = readDecimalPart(part, number) && valid;
        if (count < 4)
            value |= (number & 0xFF) << (8 * (3 - count));
        ++count;
    }
    return valid && count == 4;
}

std::int8_t SubnetPrefixLength(std::uint16_t portIndex)
{
    if (portIndex >= g_Session.Ports.size())
        return -1;
    std::uint8_t mask[4];
    std::memcpy(mask, &g_Session.Ports[portIndex].Mask, 4);
    std::int8_t ones = 0;
    for (const std::uint8_t byte : mask) {
        for (int bit = 7; bit >= 0; --bit) {
            if (!(byte & (1 << bit)))
                return ones;
            ++ones;
        }
    }
    return -1;
}
