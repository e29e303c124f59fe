// Language lookups: through the language manager's cache, against parsing the file for every lookup.
#include "app/LangMag.h"
#include "platform/IniFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// A language file of the real one's size: 600 keys of about 40 characters.
struct LanguageFile
{
    QTemporaryDir folder;
    QString path = folder.filePath(QStringLiteral("LangEng.lng"));
    LanguageFile()
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return;
        file.write("[STRINGS]\n");
        for (int i = 0; i < 600; ++i)
            file.write(
                QStringLiteral("Key_%1=Text number %1 of the language file\\nsecond line\n").arg(i).toUtf8());
    }
};

void BM_CachedGetString(benchmark::State &state)
{
    LanguageFile file;
    CLangMag lang;
    lang.SetLangFile(file.path);
    int i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(lang.GetString(QStringLiteral("Key_%1").arg(i++ % 600)));
}
BENCHMARK(BM_CachedGetString);

void BM_ParseFileForEveryLookup(benchmark::State &state)
{
    LanguageFile file;
    int i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(IniFile::getString(
            file.path, u"STRINGS", QStringLiteral("Key_%1").arg(i++ % 600), QString(), 1024));
}
BENCHMARK(BM_ParseFileForEveryLookup);

} // namespace

BENCHMARK_MAIN();
