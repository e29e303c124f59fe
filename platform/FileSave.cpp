#include "platform/FileSave.h"

#include <QFile>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
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

// The folder of a path, for flushing the rename to the disk.
QByteArray folderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

// The links a chain may pass before the save gives up, as the system does (ELOOP).
constexpr int kMaxLinksFollowed = 40;

// The file a save replaces, resolved as the system resolves a path: the folder part by realpath (every
// link and ".." in it), then the last name, which is followed on while it is a symbolic link. A link
// whose target does not exist (dangling) names the file the save creates, as writing through the link
// would; the target's folder must exist. Returns 0 and the path, or the system's error number.
int resolveSavedPath(QByteArray path, QByteArray &target)
{
    for (int links = 0; links <= kMaxLinksFollowed; ++links) {
        const qsizetype slash = path.lastIndexOf('/');
        const QByteArray name = path.mid(slash + 1);
        char folder[PATH_MAX];
        if (!::realpath(slash < 0 ? "." : folderOf(path).constData(), folder))
            return errno;
        const QByteArray folderPath(folder);
        const QByteArray candidate = (folderPath == "/" ? QByteArray() : folderPath) + '/' + name;
        struct stat info = {};
        if (::lstat(candidate.constData(), &info) != 0) {
            if (errno != ENOENT)
                return errno;
            target = candidate; // a new file
            return 0;
        }
        if (!S_ISLNK(info.st_mode)) {
            target = candidate;
            return 0;
        }
        char linked[PATH_MAX];
        const ssize_t length = ::readlink(candidate.constData(), linked, sizeof linked);
        if (length < 0)
            return errno;
        if (length == sizeof linked)
            return ENAMETOOLONG;
        const QByteArray next(linked, length);
        path = next.startsWith('/') ? next : folderPath + '/' + next;
    }
    return ELOOP;
}

} // namespace

SaveResult saveFileWhole(const QString &path, QByteArrayView bytes)
{
    const QByteArray named = QFile::encodeName(path);
    if (named.isEmpty())
        return {ENOENT};
    QByteArray target;
    if (const int error = resolveSavedPath(named, target))
        return {error};
    // Renaming over a file needs only the folder's permission: a file the user may not write is refused
    // here, as writing it in place would be.
    if (::faccessat(AT_FDCWD, target.constData(), W_OK, AT_EACCESS) != 0 && errno != ENOENT)
        return {errno};
    // A short hidden name beside the file: the file's own name may already be as long as names go.
    const QByteArray tempStem = folderOf(target) + "/.kvsave" + QByteArray::number(::getpid()) + '.';
    int fd = -1;
    QByteArray temp;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temp = tempStem + QByteArray::number(attempt);
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
