#include "platform/DialogPrompter.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMainWindow>
#include <QMessageBox>

namespace {

struct ButtonOfId
{
    int id;
    QMessageBox::StandardButton button;
};

constexpr ButtonOfId kButtons[] = {
    {IDOK, QMessageBox::Ok},       {IDCANCEL, QMessageBox::Cancel}, {IDABORT, QMessageBox::Abort},
    {IDRETRY, QMessageBox::Retry}, {IDIGNORE, QMessageBox::Ignore}, {IDYES, QMessageBox::Yes},
    {IDNO, QMessageBox::No},
};

QMessageBox::StandardButton buttonOf(int id)
{
    for (const ButtonOfId &entry : kButtons)
        if (entry.id == id)
            return entry.button;
    return QMessageBox::NoButton;
}

int idOf(QMessageBox::StandardButton button)
{
    for (const ButtonOfId &entry : kButtons)
        if (entry.button == button)
            return entry.id;
    return IDCANCEL;
}

QMessageBox::Icon iconOf(unsigned type)
{
    switch (type & MB_ICONMASK) {
    case MB_ICONERROR:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONWARNING:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

// The window a prompt belongs to: the active one, else the program's visible main window. A prompt
// without an owner may open behind the program's windows when another program has the focus (the
// window manager keeps it from taking the focus), and the modal prompt then blocks a program that
// seems to show nothing.
QWidget *ownerWindow()
{
    if (QWidget *active = QApplication::activeWindow())
        return active;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && qobject_cast<QMainWindow *>(window))
            return window;
    }
    return nullptr;
}

QString captionOr(const QString &caption)
{
    return caption.isEmpty() ? QGuiApplication::applicationDisplayName() : caption;
}

// Starts the dialog in the folder of fileName, proposing its file name when it names a file.
void startAt(QFileDialog &dialog, const QString &fileName)
{
    const QFileInfo info(fileName);
    if (fileName.isEmpty() || info.isDir()) {
        dialog.setDirectory(fileName);
        return;
    }
    dialog.setDirectory(info.absolutePath());
    dialog.selectFile(info.fileName());
}

QString run(QFileDialog &dialog)
{
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

} // namespace

int DialogPrompter::messageBox(const QString &text, unsigned type, const QString &caption)
{
    QMessageBox box(iconOf(type), captionOr(caption), text, QMessageBox::NoButton, ownerWindow());
    const QList<int> ids = buttonIds(type);
    for (int id : ids)
        box.addButton(buttonOf(id));
    box.setDefaultButton(buttonOf(defaultAnswer(type)));
    // Escape answers Cancel, or OK when that is the only button; Yes/No boxes have no escape answer.
    if (ids.contains(IDCANCEL))
        box.setEscapeButton(buttonOf(IDCANCEL));
    else if (ids == QList<int>{IDOK})
        box.setEscapeButton(buttonOf(IDOK));
    box.show();
    box.raise();
    box.activateWindow();
    box.exec();
    return idOf(box.standardButton(box.clickedButton()));
}

QString DialogPrompter::openFileName(const QString &caption, const QString &fileName, const QString &filter)
{
    QFileDialog dialog(ownerWindow(), captionOr(caption), QString(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    startAt(dialog, fileName);
    return run(dialog);
}

QString DialogPrompter::saveFileName(const QString &caption, const QString &fileName, const QString &filter,
                                     const QString &defaultSuffix)
{
    QFileDialog dialog(ownerWindow(), captionOr(caption), QString(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(defaultSuffix);
    startAt(dialog, fileName);
    return run(dialog);
}
