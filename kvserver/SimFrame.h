// A frame as the simulated device reads it: Ethernet, an optional 802.1Q tag, then IPv4 (IGMP, UDP)
// or ARP. Parsing checks every length and checksum the device relies on.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct SimIgmpRecord
{
    uint8_t type = 0; // 1 IS_IN, 2 IS_EX, 3 TO_IN, 4 TO_EX, 5 ALLOW, 6 BLOCK
    uint32_t group = 0;
    std::vector<uint32_t> sources;
};

struct SimFrame
{
    std::array<uint8_t, 6> dst{};
    std::array<uint8_t, 6> src{};
    bool tagged = false;
    uint16_t vlan = 0; // the tag's VLAN id; 0 untagged
    uint16_t etherType = 0;
    size_t length = 0; // bytes without the frame check sequence

    bool ipv4 = false;
    uint8_t protocol = 0;
    uint32_t ipSource = 0; // host order
    uint32_t ipDestination = 0;

    bool igmp = false;
    uint8_t igmpType = 0;
    uint32_t igmpGroup = 0;
    std::vector<SimIgmpRecord> records; // of an IGMPv3 report

    bool arp = false;
    uint16_t arpOperation = 0;
    std::array<uint8_t, 6> arpSenderMac{};
    uint32_t arpSenderIp = 0;
    uint32_t arpTargetIp = 0;

    bool isMulticast() const { return dst[0] & 1; }
    bool isBroadcast() const
    {
        for (uint8_t byte : dst) {
            if (byte != 0xFF)
                return false;
        }
        return true;
    }

    // Reads the frame; returns an empty text, or why the frame is malformed (then the fields are partial).
    static std::string parse(const uint8_t *bytes, size_t size, SimFrame &frame);
};

// One's complement sum of the bytes in network order, complemented: 0 over a correct header or message.
uint16_t simInternetChecksum(const uint8_t *bytes, size_t size);

// Dotted text of a host-order IPv4 address.
std::string simIpText(uint32_t address);
