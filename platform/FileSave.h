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
// and a symbolic link keeps pointing at the file it names. The path is resolved as the system resolves
// it: every link of a chain is followed to the file at its end, and ".." goes up from where a link led.
// A dangling link makes the save create the file it names (its folder must exist). A file the user may
// not write is refused (EACCES), even where its folder would let it be replaced.
SaveResult saveFileWhole(const QString &path, QByteArrayView bytes);
