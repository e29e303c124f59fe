// Feeds language files to the language manager: the input is the whole file. Each run reads a few of
// the program's keys, every key the file names, the same keys again inside a labelling pass, and labels
// the entries of a small menu.
#include "app/LangMag.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cstdlib>

namespace {

QApplication &application()
{
    static int argc = 1;
    static char name[] = "fuzz_language";
    static char *argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Made once and kept to the end: Qt's caches stay reachable rather than freed in an order of exit.
    static QApplication *instance = new QApplication(argc, argv);
    return *instance;
}

// The keys the file names: the text before each '=' of every line.
QStringList keysOf(const QByteArray &text)
{
    QStringList keys;
    for (const QByteArray &line : text.split('\n')) {
        const qsizetype equals = line.indexOf('=');
        if (equals > 0)
            keys << QString::fromUtf8(line.left(equals));
    }
    return keys;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    application();
    static QTemporaryDir folder;
    static int written = 0;
    static QMenu *menu = nullptr;
    if (!menu) {
        menu = new QMenu;
        menu->addAction(QStringLiteral("Open"))->setData(32771);
        menu->addSeparator();
        menu->addMenu(QStringLiteral("Language"))->addAction(QStringLiteral("English"))->setData(32901);
    }
    // A new file each run, so the manager never takes it for the one it read before.
    const QString path = folder.filePath(QStringLiteral("Lang%1.lng").arg(++written));
    const QByteArray text(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
            std::abort();
    }
    g_LangMag.SetLangFile(path);
    QStringList keys = keysOf(text);
    keys << QStringLiteral("IDS_MENU_FILE") << QStringLiteral("Note_LoadConfigFile") << QString();
    for (const QString &key : keys)
        g_LangMag.GetString(key);
    {
        CLangMag::LabelPass pass(g_LangMag);
        for (const QString &key : keys)
            g_LangMag.GetString(key);
        const QString first = keys.value(0);
        g_LangMag.SetMenuTextByPosition(menu, first, 0);
        g_LangMag.SetMenuTextByPosition(menu, first, 5);
        g_LangMag.SetMenuTextByCommand(menu, first, 32901);
    }
    QFile::remove(path);
    return 0;
}
