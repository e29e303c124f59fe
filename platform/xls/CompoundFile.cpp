#include "platform/xls/CompoundFile.h"

#include "platform/xls/ByteWriter.h"

#include <cstdint>
#include <vector>

namespace {

constexpr qsizetype kSectorSize = 512;
constexpr qsizetype kMiniStreamCutoff = 4096;
constexpr std::uint32_t kFreeSector = 0xFFFFFFFF;
constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kFatSector = 0xFFFFFFFD;
constexpr std::uint32_t kDifatSector = 0xFFFFFFFC;
constexpr std::uint32_t kNoStream = 0xFFFFFFFF;
constexpr qsizetype kIdsPerSector = kSectorSize / 4;
constexpr qsizetype kHeaderDifatEntries = 109;

qsizetype sectorsFor(qsizetype bytes)
{
    return (bytes + kSectorSize - 1) / kSectorSize;
}

void directoryEntry(ByteWriter &out, const QString &name, std::uint8_t type, std::uint32_t child,
                    std::uint32_t start, std::uint32_t size)
{
    QByteArray nameBytes;
    ByteWriter nameOut(nameBytes);
    for (QChar c : name)
        nameOut.u16(c.unicode());
    nameBytes.resize(64, '\0');
    out.bytes(nameBytes);
    out.u16(name.isEmpty() ? 0 : std::uint16_t((name.size() + 1) * 2));
    out.u8(type);
    out.u8(1); // black
    out.u32(kNoStream);
    out.u32(kNoStream);
    out.u32(child);
    out.zeros(16 + 4 + 8 + 8); // class id, state bits, creation and modification times
    out.u32(start);
    out.u32(size);
    out.u32(0);
}

} // namespace

QByteArray CompoundFile::build(const QString &streamName, const QByteArray &stream)
{
    QByteArray padded = stream;
    if (padded.size() < kMiniStreamCutoff)
        padded.resize(kMiniStreamCutoff, '\0');
    const qsizetype streamSectors = sectorsFor(padded.size());
    const qsizetype dataSectors = streamSectors + 1; // the stream, then one directory sector

    // The allocation table covers every sector, its own and the extension sectors included.
    qsizetype fatSectors = 0;
    qsizetype difatSectors = 0;
    for (;;) {
        const qsizetype total = dataSectors + fatSectors + difatSectors;
        const qsizetype neededFat = (total + kIdsPerSector - 1) / kIdsPerSector;
        const qsizetype neededDifat =
            neededFat > kHeaderDifatEntries
                ? (neededFat - kHeaderDifatEntries + kIdsPerSector - 2) / (kIdsPerSector - 1)
                : 0;
        if (neededFat == fatSectors && neededDifat == difatSectors)
            break;
        fatSectors = neededFat;
        difatSectors = neededDifat;
    }
    const auto directorySector = std::uint32_t(streamSectors);
    const auto firstFatSector = std::uint32_t(dataSectors);
    const auto firstDifatSector = std::uint32_t(dataSectors + fatSectors);

    std::vector<std::uint32_t> fat(std::size_t(fatSectors * kIdsPerSector), kFreeSector);
    for (qsizetype i = 0; i < streamSectors; ++i)
        fat[std::size_t(i)] = i + 1 < streamSectors ? std::uint32_t(i + 1) : kEndOfChain;
    fat[directorySector] = kEndOfChain;
    for (qsizetype i = 0; i < fatSectors; ++i)
        fat[std::size_t(firstFatSector + i)] = kFatSector;
    for (qsizetype i = 0; i < difatSectors; ++i)
        fat[std::size_t(firstDifatSector + i)] = kDifatSector;

    QByteArray file;
    file.reserve(kSectorSize * (1 + dataSectors + fatSectors + difatSectors));
    ByteWriter out(file);
    out.bytes(QByteArray::fromHex("D0CF11E0A1B11AE1"));
    out.zeros(16);
    out.u16(0x003E); // minor version
    out.u16(0x0003); // major version: 512-byte sectors
    out.u16(0xFFFE); // little-endian
    out.u16(9);      // sector shift
    out.u16(6);      // short sector shift
    out.zeros(6);
    out.u32(0); // directory sectors (always 0 in version 3)
    out.u32(std::uint32_t(fatSectors));
    out.u32(directorySector);
    out.u32(0); // transaction signature
    out.u32(std::uint32_t(kMiniStreamCutoff));
    out.u32(kEndOfChain); // no short-stream table
    out.u32(0);
    out.u32(difatSectors ? firstDifatSector : kEndOfChain);
    out.u32(std::uint32_t(difatSectors));
    for (qsizetype i = 0; i < kHeaderDifatEntries; ++i)
        out.u32(i < fatSectors ? std::uint32_t(firstFatSector + i) : kFreeSector);

    file.append(padded);
    file.resize(kSectorSize * (1 + streamSectors), '\0');

    directoryEntry(out, QStringLiteral("Root Entry"), 5, 1, kEndOfChain, 0);
    directoryEntry(out, streamName, 2, kNoStream, 0, std::uint32_t(padded.size()));
    directoryEntry(out, QString(), 0, kNoStream, 0, 0);
    directoryEntry(out, QString(), 0, kNoStream, 0, 0);

    for (std::uint32_t id : fat)
        out.u32(id);

    // Extension sectors: 127 allocation-table sector numbers each, then the next extension sector.
    qsizetype listed = kHeaderDifatEntries;
    for (qsizetype i = 0; i < difatSectors; ++i) {
        for (qsizetype k = 0; k < kIdsPerSector - 1; ++k, ++listed)
            out.u32(listed < fatSectors ? std::uint32_t(firstFatSector + listed) : kFreeSector);
        out.u32(i + 1 < difatSectors ? std::uint32_t(firstDifatSector + i + 1) : kEndOfChain);
    }
    return file;
}
