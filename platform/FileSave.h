// One way to save a file: written whole to a temporary file in the same folder, every write checked,
// flushed to the disk, then renamed over the old file. A failure leaves the old file as it was.
#pragma once

#include <QByteArrayView>
#include <QString>

// The outcome of a save: error 0 when the file was saved, else the system's error number.
struct SaveResult
{
    int error = 0;

    explicit operator bool() const { return error == 0; }
    // The system's text for the error (empty for a save that succeeded).
    QString reason() const;
};

// Replaces the file at path by the bytes, whole or not at all; an existing file keeps its permissions
// and a symbolic link keeps pointing at the file it names.
SaveResult saveFileWhole(const QString &path, QByteArrayView bytes);
