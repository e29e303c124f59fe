// Records frames to a capture file in the pcapng format: one interface per tester port, nanosecond
// time stamps, and the direction of each frame (sent by the port or delivered to it).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

class PcapWriter
{
public:
    enum Direction
    {
        Delivered = 1, // inbound at the tester port
        Sent = 2,      // outbound from the tester port
    };

    PcapWriter() = default;
    ~PcapWriter();
    PcapWriter(const PcapWriter &) = delete;
    PcapWriter &operator=(const PcapWriter &) = delete;

    // Creates the file with one interface per name; false with a reason when it cannot be written.
    bool open(const std::string &path, const std::vector<std::string> &interfaceNames, std::string &error);
    bool isOpen() const { return m_file != nullptr; }
    // One frame (without its check sequence) at a time in nanoseconds.
    void write(size_t interfaceIndex, uint64_t nanoseconds, Direction direction, const uint8_t *frame,
               size_t size);
    void close();

private:
    void block(uint32_t type, const std::vector<uint8_t> &body);

    FILE *m_file = nullptr;
};
