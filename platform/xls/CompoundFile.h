#pragma once

#include <QByteArray>
#include <QString>

// A compound document (version 3, 512-byte sectors) holding one stream, as a workbook file needs.
// Streams under 4,096 bytes are padded to that size, so no short-stream allocation table is needed.
// Past 109 allocation-table sectors (about 6.8 MB) the table's own sector list continues in
// extension sectors.
namespace CompoundFile {

QByteArray build(const QString &streamName, const QByteArray &stream);

} // namespace CompoundFile
