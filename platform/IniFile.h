// Private-profile INI files (Setting.ini, the language files), read and written with the rules of the
// Windows profile functions that their callers expect: section and key names are case-insensitive and
// the first match wins; blanks around keys and values are trimmed; one pair of matching quotes around
// a value is removed; lines starting with ';' are comments; a missing file, section or key gives the
// default. Writing replaces a value in place, adds a missing key at the end of its section or a missing
// section at the end of the file, and keeps every other line as it was. Files are UTF-8 (a byte-order
// mark is accepted and kept).
#pragma once

#include "platform/FileSave.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <utility>

class IniFile
{
public:
    // The profile calls: each reads (and writes) the file anew.
    // The value cut to bufferChars - 1 characters, as a buffer of that size would hold it.
    static QString getString(const QString &path, QStringView section, QStringView key,
                             const QString &defaultValue, int bufferChars);
    // The decimal value at the start of the value text; the default when the key is missing or its value
    // holds no number.
    static int getInt(const QString &path, QStringView section, QStringView key, int defaultValue);
    // Fails when nothing was written: the file exists but cannot be read, the names or the value would
    // break the file's lines (EINVAL), or the file could not be saved (it is then left as it was).
    static SaveResult putString(const QString &path, QStringView section, QStringView key,
                                const QString &value);

    // Largest file read; a longer one counts as unreadable.
    static constexpr qint64 kMaxFileSize = 16 * 1024 * 1024;

    IniFile() = default;
    // The file's text; false (and an empty file) when it exists but cannot be read. A missing file
    // reads as empty.
    bool load(const QString &path);
    // Whole or not at all: written to a temporary file beside it, then renamed over it.
    SaveResult save(const QString &path) const;
    static IniFile fromBytes(const QByteArray &bytes);
    QByteArray toBytes() const;

    // The trimmed, unquoted value of the first matching key of the first matching section.
    bool find(QStringView section, QStringView key, QString &value) const;
    // Every key of the first matching section with its value, in file order.
    QList<std::pair<QString, QString>> entries(QStringView section) const;
    bool setValue(QStringView section, QStringView key, const QString &value);

private:
    // Lines [first, last) of the first matching section's body; first == -1 when there is none.
    std::pair<qsizetype, qsizetype> sectionBody(QStringView section) const;

    QStringList m_lines;
    bool m_byteOrderMark = false;
    bool m_crLf = false;
};
