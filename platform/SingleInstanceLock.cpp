#include "platform/SingleInstanceLock.h"

#include <QFile>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

SingleInstanceLock::~SingleInstanceLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

QString SingleInstanceLock::lockFilePath(const QString &name)
{
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) + u'/' + name +
           QStringLiteral(".lock");
}

SingleInstanceLock::Result SingleInstanceLock::tryLock(const QString &name)
{
    if (m_fd >= 0)
        return Result::Locked;
    const QString path = lockFilePath(name);
    const auto failed = [&](int error) {
        m_error = path + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(error));
        return Result::Failed;
    };
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return failed(errno);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK)
            return Result::HeldByAnother;
        return failed(error);
    }
    m_fd = fd;
    m_error.clear();
    return Result::Locked;
}
