#include "platform/FileSave.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

QString SaveResult::reason() const
{
    if (error == 0)
        return QString();
    const char *text = std::strerror(error);
    return QString::fromLocal8Bit(text, static_cast<qsizetype>(std::strcspn(text, "\r\n")));
}

namespace {

bool writeEvery(int fd, const char *data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (written == 0) {
            errno = EIO;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// The file a save replaces: the target of a symbolic link, else the path itself.
QByteArray savedPath(const QString &path)
{
    const QFileInfo info(path);
    if (info.isSymLink()) {
        const QString target = info.symLinkTarget();
        if (!target.isEmpty())
            return QFile::encodeName(target);
    }
    return QFile::encodeName(path);
}

// The folder of a path, for flushing the rename to the disk.
QByteArray folderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

} // namespace

SaveResult saveFileWhole(const QString &path, QByteArrayView bytes)
{
    const QByteArray target = savedPath(path);
    if (target.isEmpty())
        return {ENOENT};
    int fd = -1;
    QByteArray temp;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temp = target + ".tmp" + QByteArray::number(::getpid()) + '.' + QByteArray::number(attempt);
        fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return {errno};
    }
    if (fd < 0)
        return {EEXIST};
    // The new file takes the permissions of the one it replaces.
    struct stat old = {};
    if (::stat(target.constData(), &old) == 0)
        ::fchmod(fd, old.st_mode & 07777);
    bool ok = writeEvery(fd, bytes.data(), std::size_t(bytes.size())) && ::fsync(fd) == 0;
    int error = ok ? 0 : errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && std::rename(temp.constData(), target.constData()) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        ::unlink(temp.constData());
        return {error};
    }
    // The rename itself reaches the disk with its folder; a folder that cannot be flushed loses nothing.
    const int folder = ::open(folderOf(target).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return {};
}
