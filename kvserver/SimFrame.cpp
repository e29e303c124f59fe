#include "kvserver/SimFrame.h"

#include <algorithm>

namespace {

uint16_t be16(const uint8_t *at)
{
    return static_cast<uint16_t>((at[0] << 8) | at[1]);
}

uint32_t be32(const uint8_t *at)
{
    return (uint32_t(at[0]) << 24) | (uint32_t(at[1]) << 16) | (uint32_t(at[2]) << 8) | at[3];
}

std::string parseIgmp(const uint8_t *igmp, size_t size, SimFrame &frame)
{
    if (size < 8)
        return "IGMP message shorter than 8 bytes";
    if (simInternetChecksum(igmp, size) != 0)
        return "IGMP checksum";
    frame.igmp = true;
    frame.igmpType = igmp[0];
    frame.igmpGroup = be32(igmp + 4);
    if (frame.igmpType != 0x22)
        return {};
    const unsigned count = be16(igmp + 6);
    size_t at = 8;
    for (unsigned i = 0; i < count; ++i) {
        if (at + 8 > size)
            return "IGMPv3 record past the message";
        SimIgmpRecord record;
        record.type = igmp[at];
        const size_t auxiliary = size_t(igmp[at + 1]) * 4;
        const unsigned sources = be16(igmp + at + 2);
        record.group = be32(igmp + at + 4);
        at += 8;
        if (at + 4 * size_t(sources) + auxiliary > size)
            return "IGMPv3 sources past the message";
        for (unsigned s = 0; s < sources; ++s, at += 4)
            record.sources.push_back(be32(igmp + at));
        at += auxiliary;
        frame.records.push_back(std::move(record));
    }
    return {};
}

std::string parseIpv4(const uint8_t *ip, size_t available, SimFrame &frame)
{
    if (available < 20)
        return "IPv4 header past the frame";
    const size_t headerSize = size_t(ip[0] & 0x0F) * 4;
    if ((ip[0] >> 4) != 4 || headerSize < 20 || headerSize > available)
        return "IPv4 version or header length";
    if (simInternetChecksum(ip, headerSize) != 0)
        return "IPv4 header checksum";
    const size_t total = be16(ip + 2);
    if (total < headerSize || total > available)
        return "IPv4 total length";
    frame.ipv4 = true;
    frame.protocol = ip[9];
    frame.ipSource = be32(ip + 12);
    frame.ipDestination = be32(ip + 16);
    const uint8_t *payload = ip + headerSize;
    const size_t payloadSize = total - headerSize;
    if (frame.protocol == 2)
        return parseIgmp(payload, payloadSize, frame);
    if (frame.protocol == 17) {
        if (payloadSize < 8)
            return "UDP header past the IPv4 packet";
        const size_t udpLength = be16(payload + 4);
        if (udpLength < 8 || udpLength > payloadSize)
            return "UDP length";
    }
    return {};
}

std::string parseArp(const uint8_t *arp, size_t available, SimFrame &frame)
{
    if (available < 28)
        return "ARP message past the frame";
    if (be16(arp) != 1 || be16(arp + 2) != 0x0800 || arp[4] != 6 || arp[5] != 4)
        return "ARP hardware or protocol type";
    frame.arp = true;
    frame.arpOperation = be16(arp + 6);
    std::copy_n(arp + 8, 6, frame.arpSenderMac.begin());
    frame.arpSenderIp = be32(arp + 14);
    frame.arpTargetIp = be32(arp + 24);
    return {};
}

} // namespace

uint16_t simInternetChecksum(const uint8_t *bytes, size_t size)
{
    uint32_t sum = 0;
    for (size_t i = 0; i + 1 < size; i += 2)
        sum += be16(bytes + i);
    if (size % 2)
        sum += uint32_t(bytes[size - 1]) << 8;
    while (sum >> 16)
        sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<uint16_t>(~sum);
}

std::string simIpText(uint32_t address)
{
    return std::to_string(address >> 24) + "." + std::to_string((address >> 16) & 0xFF) + "." +
           std::to_string((address >> 8) & 0xFF) + "." + std::to_string(address & 0xFF);
}

std::string SimFrame::parse(const uint8_t *bytes, size_t size, SimFrame &frame)
{
    frame = SimFrame{};
    frame.length = size;
    if (size < 60)
        return "frame shorter than 64 bytes";
    std::copy_n(bytes, 6, frame.dst.begin());
    std::copy_n(bytes + 6, 6, frame.src.begin());
    size_t at = 12;
    if (be16(bytes + 12) == 0x8100) {
        frame.tagged = true;
        frame.vlan = be16(bytes + 14) & 0x0FFF;
        at = 16;
    }
    frame.etherType = be16(bytes + at);
    at += 2;
    if (frame.etherType == 0x0800)
        return parseIpv4(bytes + at, size - at, frame);
    if (frame.etherType == 0x0806)
        return parseArp(bytes + at, size - at, frame);
    return {};
}
