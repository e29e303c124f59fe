// A prompter for tests: it shows nothing, records every prompt and gives the answers queued for it.
// An unscripted message box answers with its default button, an unscripted file dialog is cancelled.
// Constructing one installs it; destroying it puts the previous prompter back:
//
//     ScriptedPrompter prompter;
//     prompter.queueAnswer(IDNO);
//     frame.close();
//     EXPECT_EQ(prompter.messages(), QStringList{"Exit the program?"});
#pragma once

#include "platform/Prompter.h"

#include <QList>
#include <QQueue>
#include <QStringList>

class ScriptedPrompter : public Prompter
{
public:
    enum class Kind
    {
        Message,
        OpenFile,
        SaveFile
    };
    struct Prompt
    {
        Kind kind;
        QString text; // the message, or the dialog's caption
        unsigned type;
        QString fileName;
        QString filter;
    };

    ScriptedPrompter();
    ~ScriptedPrompter() override;
    ScriptedPrompter(const ScriptedPrompter &) = delete;
    ScriptedPrompter &operator=(const ScriptedPrompter &) = delete;

    // The next message box answers with this ID.
    void queueAnswer(int id);
    // The next file dialog answers with this path (an empty one cancels).
    void queueFileName(const QString &path);

    const QList<Prompt> &prompts() const { return m_prompts; }
    // The texts of the message boxes shown, in order.
    QStringList messages() const;

    int messageBox(const QString &text, unsigned type = MB_OK, const QString &caption = QString()) override;
    QString openFileName(const QString &caption, const QString &fileName, const QString &filter) override;
    QString saveFileName(const QString &caption, const QString &fileName, const QString &filter,
                         const QString &defaultSuffix = QString()) override;

private:
    Prompter *m_previous;
    QQueue<int> m_answers;
    QQueue<QString> m_fileNames;
    QList<Prompt> m_prompts;
};
