#include "kvserver/PcapWriter.h"

#include "platform/kvapi/KvProtocol.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

using KvProtocol::Writer;

namespace {

// Frames are written out in pieces of about this many bytes.
constexpr size_t PcapBufferBytes = 64 * 1024;

void pcapOption(std::vector<uint8_t> &body, uint16_t code, const void *value, size_t size)
{
    Writer out(body);
    out.u16(code).u16(static_cast<uint16_t>(size)).bytes(value, size);
    while (body.size() % 4)
        out.u8(0);
}

void pcapEndOfOptions(std::vector<uint8_t> &body)
{
    Writer(body).u32(0);
}

} // namespace

PcapWriter::~PcapWriter()
{
    std::string ignored;
    close(ignored);
}

bool PcapWriter::open(const std::string &path, const std::vector<std::string> &interfaceNames,
                      std::string &error)
{
    close(error);
    m_path = path;
    m_fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (m_fd < 0) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    m_written = 0;
    std::vector<uint8_t> section;
    Writer(section).u32(0x1A2B3C4D).u16(1).u16(0).u32(0xFFFFFFFF).u32(0xFFFFFFFF); // length unknown
    block(0x0A0D0D0A, section);
    for (const std::string &name : interfaceNames) {
        std::vector<uint8_t> interface;
        Writer(interface).u16(1).u16(0).u32(0); // Ethernet, no snapshot limit
        pcapOption(interface, 2, name.data(), name.size());
        const uint8_t nanoseconds = 9;
        pcapOption(interface, 9, &nanoseconds, 1);
        pcapEndOfOptions(interface);
        block(1, interface);
    }
    // The header is written at once, so that a file that takes nothing is told before any frame.
    return flush(error);
}

bool PcapWriter::write(size_t interfaceIndex, uint64_t nanoseconds, Direction direction, const uint8_t *frame,
                       size_t size, std::string &error)
{
    if (!isOpen())
        return true;
    std::vector<uint8_t> packet;
    Writer out(packet);
    out.u32(static_cast<uint32_t>(interfaceIndex))
        .u32(static_cast<uint32_t>(nanoseconds >> 32))
        .u32(static_cast<uint32_t>(nanoseconds))
        .u32(static_cast<uint32_t>(size))
        .u32(static_cast<uint32_t>(size))
        .bytes(frame, size);
    while (packet.size() % 4)
        out.u8(0);
    const uint8_t flags[4] = {static_cast<uint8_t>(direction), 0, 0, 0}; // little-endian u32
    pcapOption(packet, 2, flags, 4);
    pcapEndOfOptions(packet);
    block(6, packet);
    return m_buffer.size() < PcapBufferBytes || flush(error);
}

void PcapWriter::block(uint32_t type, const std::vector<uint8_t> &body)
{
    const uint32_t total = static_cast<uint32_t>(12 + body.size());
    Writer(m_buffer).u32(type).u32(total).bytes(body.data(), body.size()).u32(total);
    m_blockEnds.push_back(m_buffer.size());
}

bool PcapWriter::flush(std::string &error)
{
    size_t done = 0;
    while (done < m_buffer.size()) {
        const ssize_t written = ::write(m_fd, m_buffer.data() + done, m_buffer.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            error = "cannot write " + m_path + ": " + std::strerror(written < 0 ? errno : EIO);
            // What reached the file ends within a block or at its end: the file keeps the whole blocks.
            const auto whole = std::upper_bound(m_blockEnds.begin(), m_blockEnds.end(), done);
            const size_t kept = whole == m_blockEnds.begin() ? 0 : *std::prev(whole);
            if (kept < done) // a device such as /dev/full cannot be cut, nor does it need to be
                [[maybe_unused]]
                const int cut = ::ftruncate(m_fd, off_t(m_written + kept));
            abandon();
            return false;
        }
        done += size_t(written);
    }
    m_written += done;
    m_buffer.clear();
    m_blockEnds.clear();
    return true;
}

void PcapWriter::abandon()
{
    ::close(m_fd);
    m_fd = -1;
    m_buffer.clear();
    m_blockEnds.clear();
}

bool PcapWriter::close(std::string &error)
{
    if (!isOpen())
        return true;
    if (!flush(error))
        return false;
    const int closed = ::close(m_fd);
    m_fd = -1;
    if (closed != 0) {
        error = "cannot write " + m_path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}
