#include "platform/ProcessList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

QByteArray readSmallFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.read(4096);
}

// The state letter of /proc/<pid>/stat, after the command name in parentheses (which may hold any
// character, so the last ')' ends it).
char processState(const QString &processDir)
{
    const QByteArray stat = readSmallFile(processDir + QStringLiteral("/stat"));
    const qsizetype close = stat.lastIndexOf(')');
    return close >= 0 && close + 2 < stat.size() ? stat[close + 2] : '?';
}

} // namespace

bool isProcessRunning(const QString &programName)
{
    if (programName.isEmpty())
        return false;
    constexpr qsizetype kCommandNameLength = 15;
    const QString commandName = programName.left(kCommandNameLength);
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        bool isPid = false;
        entry.toUInt(&isPid);
        if (!isPid)
            continue;
        const QString dir = QStringLiteral("/proc/") + entry;
        const QString comm = QString::fromLocal8Bit(readSmallFile(dir + QStringLiteral("/comm"))).trimmed();
        const bool named =
            comm == commandName ||
            QFileInfo(QFile::symLinkTarget(dir + QStringLiteral("/exe"))).fileName() == programName;
        if (named && processState(dir) != 'Z')
            return true;
    }
    return false;
}
