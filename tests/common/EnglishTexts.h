// The engine asks the application for its texts through EngineHost. Procedure tests that compare
// the texts a run writes install the English language file as that source, and put the old file
// back when they end.
#pragma once

#include "app/LangMag.h"
#include "common/TestFiles.h"
#include "engine/EngineHost.h"

// The engine's texts from the language manager's current file, as the application wires them.
inline void installLanguageTexts()
{
    EngineHost::instance().languageText = [](const QString &name) { return g_LangMag.GetString(name); };
}

class EnglishTexts
{
public:
    // Call after EngineHost::reset(), which drops the text source.
    void install()
    {
        savedLanguage = g_LangMag.GetLangFile();
        g_LangMag.SetLangFile(sourceLanguageFile(QStringLiteral("LangEng.lng")));
        installLanguageTexts();
    }

    ~EnglishTexts()
    {
        if (!savedLanguage.isNull())
            g_LangMag.SetLangFile(savedLanguage);
    }

    static QString key(const char *name) { return g_LangMag.GetString(QString::fromLatin1(name)); }

private:
    QString savedLanguage;
};
