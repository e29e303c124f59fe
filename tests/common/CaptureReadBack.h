#pragma once

// Reads a capture file in the pcapng format back, apart from the simulator's writer: the interface
// names, and every packet with its interface, time, direction flags and bytes.

#include <QFile>
#include <QString>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace CaptureReadBack {

using Bytes = std::vector<uint8_t>;

struct Packet
{
    uint32_t interface;
    uint64_t nanoseconds;
    uint32_t flags = 0; // 1 inbound, 2 outbound
    Bytes data;
};

struct Capture
{
    bool valid = false;
    std::vector<std::string> interfaces;
    std::vector<Packet> packets;
};

inline uint32_t le32(const Bytes &b, size_t at)
{
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}

inline uint16_t le16(const Bytes &b, size_t at)
{
    return uint16_t(b[at] | b[at + 1] << 8);
}

// Walks the options of a block body from `at` to `end`, calling back with each code and value.
template <typename Visit> void options(const Bytes &b, size_t at, size_t end, Visit visit)
{
    while (at + 4 <= end) {
        const uint16_t code = le16(b, at), size = le16(b, at + 2);
        if (code == 0 || at + 4 + size > end)
            return;
        visit(code, Bytes(b.begin() + long(at + 4), b.begin() + long(at + 4 + size)));
        at += 4 + (size + 3u) / 4 * 4;
    }
}

inline Capture readCapture(const QString &path)
{
    QFile file(path);
    Capture capture;
    if (!file.open(QIODevice::ReadOnly))
        return capture;
    const QByteArray all = file.readAll();
    const Bytes b(all.begin(), all.end());
    size_t at = 0;
    while (at + 12 <= b.size()) {
        const uint32_t type = le32(b, at), length = le32(b, at + 4);
        if (length < 12 || length % 4 || at + length > b.size() || le32(b, at + length - 4) != length)
            return capture;
        const size_t body = at + 8, end = at + length - 4;
        if (type == 0x0A0D0D0A) {
            if (le32(b, body) != 0x1A2B3C4D || le16(b, body + 4) != 1)
                return capture;
        } else if (type == 1) {
            EXPECT_EQ(le16(b, body), 1); // Ethernet
            std::string name;
            bool nanoseconds = false;
            options(b, body + 8, end, [&](uint16_t code, const Bytes &value) {
                if (code == 2)
                    name.assign(value.begin(), value.end());
                if (code == 9)
                    nanoseconds = value.size() == 1 && value[0] == 9;
            });
            EXPECT_TRUE(nanoseconds);
            capture.interfaces.push_back(name);
        } else if (type == 6) {
            Packet packet;
            packet.interface = le32(b, body);
            packet.nanoseconds = uint64_t(le32(b, body + 4)) << 32 | le32(b, body + 8);
            const uint32_t captured = le32(b, body + 12);
            EXPECT_EQ(captured, le32(b, body + 16));
            packet.data.assign(b.begin() + long(body + 20), b.begin() + long(body + 20 + captured));
            options(b, body + 20 + (captured + 3u) / 4 * 4, end, [&](uint16_t code, const Bytes &value) {
                if (code == 2 && value.size() == 4)
                    packet.flags = le32(value, 0);
            });
            capture.packets.push_back(std::move(packet));
        }
        at += length;
    }
    capture.valid = at == b.size();
    return capture;
}

} // namespace CaptureReadBack
