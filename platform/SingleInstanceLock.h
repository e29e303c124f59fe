// One running instance per program: an exclusive flock on "<name>.lock" in the temporary folder. The
// lock is held while the object lives; the kernel frees it when the process ends, however it ends.
#pragma once

#include <QString>

class SingleInstanceLock
{
public:
    SingleInstanceLock() = default;
    ~SingleInstanceLock();
    SingleInstanceLock(const SingleInstanceLock &) = delete;
    SingleInstanceLock &operator=(const SingleInstanceLock &) = delete;

    // True when this object now holds the lock of the name (also when it held it already); false when
    // another holder has it or the lock file cannot be opened.
    bool tryLock(const QString &name);
    bool isLocked() const { return m_fd >= 0; }

    static QString lockFilePath(const QString &name);

private:
    int m_fd = -1;
};
