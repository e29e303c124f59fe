// One running instance per program and user: an exclusive flock on "<name>.lock" in the user's runtime
// folder. The lock is held while the object lives; the kernel frees it when the process ends, however
// it ends.
#pragma once

#include <QString>

class SingleInstanceLock
{
public:
    enum class Result
    {
        Locked,        // this object holds the lock
        HeldByAnother, // another live holder has it
        Failed         // the lock file could not be opened or locked (see error())
    };

    SingleInstanceLock() = default;
    ~SingleInstanceLock();
    SingleInstanceLock(const SingleInstanceLock &) = delete;
    SingleInstanceLock &operator=(const SingleInstanceLock &) = delete;

    // Takes the lock of the name (Locked also when this object held it already).
    Result tryLock(const QString &name);
    bool isLocked() const { return m_fd >= 0; }
    // Why the last tryLock failed: the lock file's path and the system's reason.
    QString error() const { return m_error; }

    static QString lockFilePath(const QString &name);

private:
    int m_fd = -1;
    QString m_error;
};
