#include "platform/ProgramLauncher.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>

namespace {

// An ELF binary or a script with an interpreter line: the formats the kernel runs.
bool hasExecutableFormat(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(4);
    return head == QByteArray("\x7f"
                              "ELF",
                              4) ||
           head.startsWith("#!");
}

} // namespace

LaunchResult launchDetached(const QString &programPath, const QStringList &arguments, qint64 *pid)
{
    const QFileInfo program(programPath);
    if (!program.dir().exists())
        return LaunchResult::PathNotFound;
    if (!program.exists())
        return LaunchResult::FileNotFound;
    if (!program.isFile() || !program.isExecutable() || !hasExecutableFormat(programPath))
        return LaunchResult::BadFormat;
    if (!QProcess::startDetached(program.absoluteFilePath(), arguments, program.absolutePath(), pid))
        return LaunchResult::OutOfResources;
    return LaunchResult::Started;
}
