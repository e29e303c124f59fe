// Where the tests find the files they read, whatever folder they are started from: the language files
// of the source tree, and the programs the build lays out beside the test programs.
#pragma once

#include <QCoreApplication>
#include <QString>

// A language file of the source tree ("LangEng.lng", "LangChs.lng").
inline QString sourceLanguageFile(const QString &name)
{
    return QStringLiteral(KV_SOURCE_DIR "/resources/Language/") + name;
}

// A program built beside the running test program, such as the server program "KvServerAP".
inline QString besideTestProgram(const QString &name)
{
    return QCoreApplication::applicationDirPath() + u'/' + name;
}
