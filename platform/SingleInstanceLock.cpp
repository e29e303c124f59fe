#include "platform/SingleInstanceLock.h"

#include <QDir>
#include <QFile>

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
    return QDir::tempPath() + u'/' + name + QStringLiteral(".lock");
}

bool SingleInstanceLock::tryLock(const QString &name)
{
    if (m_fd >= 0)
        return true;
    const QByteArray path = QFile::encodeName(lockFilePath(name));
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
    return true;
}
