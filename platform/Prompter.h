// The one way the program asks the user something: message boxes and file-name dialogs. The program
// calls Prompter::current(); it shows real dialogs unless a test installed a ScriptedPrompter.
#pragma once

#include <QList>
#include <QString>

// Message box types: one button set, optionally an icon and a default button, combined with '|'.
constexpr unsigned MB_OK = 0x0;
constexpr unsigned MB_OKCANCEL = 0x1;
constexpr unsigned MB_ABORTRETRYIGNORE = 0x2;
constexpr unsigned MB_YESNOCANCEL = 0x3;
constexpr unsigned MB_YESNO = 0x4;
constexpr unsigned MB_RETRYCANCEL = 0x5;
constexpr unsigned MB_ICONERROR = 0x10;
constexpr unsigned MB_ICONHAND = MB_ICONERROR;
constexpr unsigned MB_ICONSTOP = MB_ICONERROR;
constexpr unsigned MB_ICONQUESTION = 0x20;
constexpr unsigned MB_ICONWARNING = 0x30;
constexpr unsigned MB_ICONEXCLAMATION = MB_ICONWARNING;
constexpr unsigned MB_ICONINFORMATION = 0x40;
constexpr unsigned MB_ICONASTERISK = MB_ICONINFORMATION;
constexpr unsigned MB_DEFBUTTON1 = 0x000;
constexpr unsigned MB_DEFBUTTON2 = 0x100;
constexpr unsigned MB_DEFBUTTON3 = 0x200;
constexpr unsigned MB_TYPEMASK = 0x00F;
constexpr unsigned MB_ICONMASK = 0x0F0;
constexpr unsigned MB_DEFMASK = 0xF00;

// The button that closed a message box.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

class Prompter
{
public:
    virtual ~Prompter() = default;

    // Shows the text with the type's buttons and icon; returns the ID of the button pressed.
    // An empty caption shows the application's name.
    virtual int messageBox(const QString &text, unsigned type = MB_OK,
                           const QString &caption = QString()) = 0;
    // Asks for an existing file. fileName is the folder to start in, or a file in it to propose; filter
    // is in Qt's form ("XML files (*.xml);;All files (*)"). Empty when cancelled.
    virtual QString openFileName(const QString &caption, const QString &fileName, const QString &filter) = 0;
    // Asks for a file to write; defaultSuffix is added to a name typed without one. Empty when cancelled.
    virtual QString saveFileName(const QString &caption, const QString &fileName, const QString &filter,
                                 const QString &defaultSuffix = QString()) = 0;

    // The prompter in use: the dialog one unless another was installed.
    static Prompter &current();
    // Installs a prompter (null: the dialog one) and returns the one installed before.
    static Prompter *install(Prompter *prompter);

    // The IDs of a message box type's buttons, left to right, and of its default button.
    static QList<int> buttonIds(unsigned type);
    static int defaultAnswer(unsigned type);
};
