#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

// The record stream of a BIFF8 workbook: each record is a 16-bit id, a 16-bit length and at most 8,224
// bytes of data; longer data continue in CONTINUE records.
class BiffStream
{
public:
    static constexpr qsizetype kMaxRecordData = 8224;
    static constexpr std::uint16_t kContinue = 0x003C;

    enum SubstreamType : std::uint16_t
    {
        WorkbookGlobals = 0x0005,
        Worksheet = 0x0010
    };

    // Appends one record; data longer than a record holds go on in CONTINUE records.
    void record(std::uint16_t id, const QByteArray &data);
    // A record whose data is one 16-bit number.
    void record16(std::uint16_t id, std::uint16_t value);
    // The BOF record that opens a substream of the workbook, and the EOF record that closes it.
    void beginSubstream(SubstreamType type);
    void endSubstream();
    qsizetype size() const { return m_bytes.size(); }
    QByteArray &bytes() { return m_bytes; }

    // A text as BIFF8 stores it: 8-bit characters when every character fits, UTF-16 otherwise.
    // `lengthBytes` is 1 for the short form (sheet and font names) and 2 for the long one.
    static QByteArray unicodeString(const QString &text, int lengthBytes);
    static bool fitsInLatin1(const QString &text);

private:
    QByteArray m_bytes;
};
