#include "platform/ScriptedPrompter.h"

ScriptedPrompter::ScriptedPrompter() : m_previous(Prompter::install(this)) {}

ScriptedPrompter::~ScriptedPrompter()
{
    Prompter::install(m_previous);
}

void ScriptedPrompter::queueAnswer(int id)
{
    m_answers.enqueue(id);
}

void ScriptedPrompter::queueFileName(const QString &path)
{
    m_fileNames.enqueue(path);
}

QStringList ScriptedPrompter::messages() const
{
    QStringList texts;
    for (const Prompt &prompt : m_prompts)
        if (prompt.kind == Kind::Message)
            texts.append(prompt.text);
    return texts;
}

int ScriptedPrompter::messageBox(const QString &text, unsigned type, const QString &)
{
    m_prompts.append({Kind::Message, text, type, QString(), QString()});
    return m_answers.isEmpty() ? defaultAnswer(type) : m_answers.dequeue();
}

QString ScriptedPrompter::openFileName(const QString &caption, const QString &fileName, const QString &filter)
{
    m_prompts.append({Kind::OpenFile, caption, 0, fileName, filter});
    return m_fileNames.isEmpty() ? QString() : m_fileNames.dequeue();
}

QString ScriptedPrompter::saveFileName(const QString &caption, const QString &fileName, const QString &filter,
                                       const QString &)
{
    m_prompts.append({Kind::SaveFile, caption, 0, fileName, filter});
    return m_fileNames.isEmpty() ? QString() : m_fileNames.dequeue();
}
