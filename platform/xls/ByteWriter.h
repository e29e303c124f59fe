#pragma once

#include <QByteArray>

#include <bit>
#include <cstdint>
#include <cstring>

// Appends little-endian values to a byte buffer, as the spreadsheet and compound-file formats store them.
class ByteWriter
{
public:
    explicit ByteWriter(QByteArray &bytes) : m_bytes(bytes) {}

    void u8(std::uint8_t value) { m_bytes.append(char(value)); }
    void u16(std::uint16_t value)
    {
        u8(std::uint8_t(value));
        u8(std::uint8_t(value >> 8));
    }
    void u32(std::uint32_t value)
    {
        u16(std::uint16_t(value));
        u16(std::uint16_t(value >> 16));
    }
    void f64(double value) { u64(std::bit_cast<std::uint64_t>(value)); }
    void u64(std::uint64_t value)
    {
        u32(std::uint32_t(value));
        u32(std::uint32_t(value >> 32));
    }
    void zeros(qsizetype count) { m_bytes.append(count, '\0'); }
    void bytes(const QByteArray &data) { m_bytes.append(data); }

    // Overwrites a 32-bit value already written at `offset`.
    static void patch32(QByteArray &bytes, qsizetype offset, std::uint32_t value)
    {
        for (int i = 0; i < 4; ++i)
            bytes[offset + i] = char(value >> (8 * i));
    }

private:
    QByteArray &m_bytes;
};
