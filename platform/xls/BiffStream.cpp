#include "platform/xls/BiffStream.h"

#include "platform/xls/ByteWriter.h"

#include <algorithm>

void BiffStream::record(std::uint16_t id, const QByteArray &data)
{
    ByteWriter out(m_bytes);
    qsizetype offset = 0;
    do {
        const qsizetype chunk = std::min(kMaxRecordData, data.size() - offset);
        out.u16(offset == 0 ? id : kContinue);
        out.u16(std::uint16_t(chunk));
        m_bytes.append(data.constData() + offset, chunk);
        offset += chunk;
    } while (offset < data.size());
}

void BiffStream::record16(std::uint16_t id, std::uint16_t value)
{
    QByteArray data;
    ByteWriter(data).u16(value);
    record(id, data);
}

void BiffStream::beginSubstream(SubstreamType type)
{
    QByteArray data;
    ByteWriter out(data);
    out.u16(0x0600); // BIFF8
    out.u16(type);
    out.u16(0x0DBB); // build and year of the writing application
    out.u16(0x07CC);
    out.u32(0);
    out.u32(0x06); // lowest version that can read the file
    record(0x0809, data);
}

void BiffStream::endSubstream()
{
    record(0x000A, {});
}

bool BiffStream::fitsInLatin1(const QString &text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x100; });
}

QByteArray BiffStream::unicodeString(const QString &text, int lengthBytes)
{
    QByteArray data;
    ByteWriter out(data);
    if (lengthBytes == 1)
        out.u8(std::uint8_t(text.size()));
    else
        out.u16(std::uint16_t(text.size()));
    const bool latin1 = fitsInLatin1(text);
    out.u8(latin1 ? 0 : 1);
    for (QChar c : text) {
        if (latin1)
            out.u8(std::uint8_t(c.unicode()));
        else
            out.u16(c.unicode());
    }
    return data;
}
