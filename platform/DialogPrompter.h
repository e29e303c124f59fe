// The prompter of the running program: QMessageBox and QFileDialog, modal over the active window (or
// the program's main window when no window of the program is active), raised to the top.
#pragma once

#include "platform/Prompter.h"

class DialogPrompter : public Prompter
{
public:
    int messageBox(const QString &text, unsigned type = MB_OK, const QString &caption = QString()) override;
    QString openFileName(const QString &caption, const QString &fileName, const QString &filter) override;
    QString saveFileName(const QString &caption, const QString &fileName, const QString &filter,
                         const QString &defaultSuffix = QString()) override;
};
