// Whether a program runs on this machine, from the process list in /proc.
#pragma once

#include <QString>

// True when a live process (not a zombie) runs the program: its command name (cut by the kernel to 15
// characters) or the file name of its executable equals the name, case-sensitively.
bool isProcessRunning(const QString &programName);
