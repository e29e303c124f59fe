// Starts a program detached from this one (it outlives us and never becomes our zombie) and says why
// it could not be started.
#pragma once

#include <QString>
#include <QStringList>

enum class LaunchResult
{
    Started,
    OutOfResources, // the system could not create the process
    FileNotFound,   // no such file in an existing folder
    PathNotFound,   // the folder does not exist
    BadFormat       // not an executable program
};

// Starts the program file (a full path) in its own folder with the arguments; *pid (when given)
// receives the started process's id.
LaunchResult launchDetached(const QString &programPath, const QStringList &arguments = {},
                            qint64 *pid = nullptr);
