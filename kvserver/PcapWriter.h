// Records frames to a capture file in the pcapng format: one interface per tester port, nanosecond
// time stamps, and the direction of each frame (sent by the port or delivered to it).
#pragma once

#include <cstdint>
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

    // Creates the file and writes its header, one interface per name; false with a reason ("cannot
    // write <path>: <why>") when it cannot be written.
    bool open(const std::string &path, const std::vector<std::string> &interfaceNames, std::string &error);
    bool isOpen() const { return m_fd >= 0; }
    // One frame (without its check sequence) at a time in nanoseconds. False with a reason when the
    // file can no longer be written: it is then cut after its last whole block and closed.
    bool write(size_t interfaceIndex, uint64_t nanoseconds, Direction direction, const uint8_t *frame,
               size_t size, std::string &error);
    // Writes what is buffered and closes; false with a reason when that fails (the file is then cut
    // after its last whole block). True when nothing is open.
    bool close(std::string &error);

private:
    void block(uint32_t type, const std::vector<uint8_t> &body);
    // Writes the buffer out; on a failure cuts the file after its last whole block and closes it.
    bool flush(std::string &error);
    void abandon();

    int m_fd = -1;
    std::string m_path;
    std::vector<uint8_t> m_buffer;   // whole blocks not yet written
    std::vector<size_t> m_blockEnds; // the end of each block in the buffer
    uint64_t m_written = 0;          // bytes in the file, all of them whole blocks
};
