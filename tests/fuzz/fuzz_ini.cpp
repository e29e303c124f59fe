// The INI reader and writer over arbitrary file contents: nothing may crash or hang, and a value that
// was written reads back the same after the file is saved and read again.
#include "platform/IniFile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    IniFile file = IniFile::fromBytes(bytes);

    // Names and a value taken from the input's first line, split at '|'.
    const QString head = QString::fromUtf8(bytes.left(bytes.indexOf('\n'))).left(64);
    const QStringList parts = head.split(u'|');
    const QString section = parts.value(0, QStringLiteral("Language"));
    const QString key = parts.value(1, QStringLiteral("SelLangFile"));
    const QString value = parts.value(2);

    QString before;
    file.find(section, key, before);
    file.entries(section);
    if (file.setValue(section, key, value)) {
        QString written;
        if (!file.find(section, key, written))
            __builtin_trap();
        QString reread;
        if (!IniFile::fromBytes(file.toBytes()).find(section, key, reread) || reread != written)
            __builtin_trap();
    }
    return 0;
}
