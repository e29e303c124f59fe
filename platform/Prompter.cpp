#include "platform/Prompter.h"

#include "platform/DialogPrompter.h"

#include <utility>

namespace {
Prompter *installedPrompter = nullptr;
}

Prompter &Prompter::current()
{
    static DialogPrompter dialogs;
    return installedPrompter ? *installedPrompter : dialogs;
}

Prompter *Prompter::install(Prompter *prompter)
{
    return std::exchange(installedPrompter, prompter);
}

QList<int> Prompter::buttonIds(unsigned type)
{
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE:
        return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL:
        return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO:
        return {IDYES, IDNO};
    case MB_RETRYCANCEL:
        return {IDRETRY, IDCANCEL};
    default:
        return {IDOK};
    }
}

int Prompter::defaultAnswer(unsigned type)
{
    const QList<int> buttons = buttonIds(type);
    const qsizetype index = (type & MB_DEFMASK) >> 8;
    return buttons.value(index < buttons.size() ? index : 0);
}
