#include "kvserver/PcapWriter.h"

#include "platform/kvapi/KvProtocol.h"

#include <cerrno>
#include <cstring>

using KvProtocol::Writer;

namespace {

void option(std::vector<uint8_t> &body, uint16_t code, const void *value, size_t size)
{
    Writer out(body);
    out.u16(code).u16(static_cast<uint16_t>(size)).bytes(value, size);
    while (body.size() % 4)
        out.u8(0);
}

void endOfOptions(std::vector<uint8_t> &body)
{
    Writer(body).u32(0);
}

} // namespace

PcapWriter::~PcapWriter()
{
    close();
}

bool PcapWriter::open(const std::string &path, const std::vector<std::string> &interfaceNames,
                      std::string &error)
{
    close();
    m_file = std::fopen(path.c_str(), "wb");
    if (!m_file) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    std::vector<uint8_t> section;
    Writer(section).u32(0x1A2B3C4D).u16(1).u16(0).u32(0xFFFFFFFF).u32(0xFFFFFFFF); // length unknown
    block(0x0A0D0D0A, section);
    for (const std::string &name : interfaceNames) {
        std::vector<uint8_t> interface;
        Writer(interface).u16(1).u16(0).u32(0); // Ethernet, no snapshot limit
        option(interface, 2, name.data(), name.size());
        const uint8_t nanoseconds = 9;
        option(interface, 9, &nanoseconds, 1);
        endOfOptions(interface);
        block(1, interface);
    }
    std::fflush(m_file);
    return true;
}

void PcapWriter::write(size_t interfaceIndex, uint64_t nanoseconds, Direction direction, const uint8_t *frame,
                       size_t size)
{
    if (!m_file)
        return;
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
    option(packet, 2, flags, 4);
    endOfOptions(packet);
    block(6, packet);
}

void PcapWriter::block(uint32_t type, const std::vector<uint8_t> &body)
{
    const uint32_t total = static_cast<uint32_t>(12 + body.size());
    std::vector<uint8_t> whole;
    Writer(whole).u32(type).u32(total).bytes(body.data(), body.size()).u32(total);
    std::fwrite(whole.data(), 1, whole.size(), m_file);
}

void PcapWriter::close()
{
    if (m_file) {
        std::fclose(m_file);
        m_file = nullptr;
    }
}
