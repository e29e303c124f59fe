#include "app/LangMag.h"

#include "platform/IniFile.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QMenu>
#include <QTranslator>

CLangMag g_LangMag;

CLangMag::CLangMag() = default;
CLangMag::~CLangMag() = default;

namespace {

// The size of the lookup buffer: longer texts are cut to one less.
constexpr int kTextBufferChars = 1024;

QAction *findCommand(const QList<QAction *> &actions, int command)
{
    for (QAction *action : actions) {
        bool isNumber = false;
        if (action->data().toInt(&isNumber) == command && isNumber)
            return action;
        if (QMenu *subMenu = action->menu())
            if (QAction *found = findCommand(subMenu->actions(), command))
                return found;
    }
    return nullptr;
}

} // namespace

void CLangMag::SetLangFile(const QString &path)
{
    LangFile = path;
    m_fallbackFile.clear();
    m_passTexts.clear();
    loadQtTranslation();
}

bool CLangMag::SelectLanguage(const QString &folder, const QString &fileName, QString &problem)
{
    problem.clear();
    const QString englishFile = folder + QLatin1String(kEnglishFileName);
    Cache englishCache;
    const QHash<QString, QString> &englishTexts = textsOf(englishFile, englishCache);
    const QString name = fileName.isEmpty() ? QLatin1String(kEnglishFileName) : fileName;
    QString reason;
    // Only a file of the folder itself: no separator, and not the folder or its parent.
    const bool plainName = !name.contains(u'/') && name != u"." && name != u"..";
    // The English file itself is read once.
    const bool isEnglish = plainName && name == QLatin1String(kEnglishFileName);
    Cache chosenCache = isEnglish ? englishCache : Cache();
    if (!plainName) {
        reason = QStringLiteral("it is not a file of the folder %1").arg(folder);
    } else {
        const QFileInfo info(folder + name);
        if (!info.exists())
            reason = QStringLiteral("the file does not exist");
        else if (!info.isFile() || !info.isReadable())
            reason = QStringLiteral("the file cannot be read");
        else if ((isEnglish ? chosenCache.texts : textsOf(info.filePath(), chosenCache)).isEmpty())
            reason = QStringLiteral("the file holds no text");
    }
    const QString chosen = reason.isEmpty() ? folder + name : englishFile;
    if (reason.isEmpty()) {
        int missing = 0;
        QString example;
        for (auto it = englishTexts.cbegin(); it != englishTexts.cend(); ++it) {
            if (chosenCache.texts.contains(it.key()))
                continue;
            if (missing++ == 0 || it.key() < example)
                example = it.key();
        }
        if (missing > 0)
            problem = QStringLiteral("The language file %1 lacks %2 of the English texts (among them %3): "
                                     "they are shown in English.")
                          .arg(folder + name)
                          .arg(missing)
                          .arg(example);
    } else if (!englishTexts.isEmpty()) {
        problem = QStringLiteral("The language file %1 cannot be used: %2.\nThe English texts are shown.")
                      .arg(folder + name, reason);
    }
    if (!reason.isEmpty() && englishTexts.isEmpty())
        return false;
    SetLangFile(chosen);
    m_fallbackFile = englishFile;
    // The files just read need no second reading.
    m_cache = reason.isEmpty() ? chosenCache : englishCache;
    m_fallbackCache = englishCache;
    return true;
}

QString CLangMag::NoLanguageText(const QString &folder)
{
    return QStringLiteral("No usable language file was found in the folder %1.").arg(folder);
}

void CLangMag::loadQtTranslation()
{
    // Qt's own texts (the buttons of questions, the file dialogs) follow the language: Chinese takes Qt's
    // translation, English its built-in texts.
    if (!QCoreApplication::instance())
        return;
    const bool chinese =
        QFileInfo(LangFile).fileName().compare(QLatin1String("LangChs.lng"), Qt::CaseInsensitive) == 0;
    if (!chinese) {
        m_qtTranslator.reset();
        return;
    }
    if (m_qtTranslator)
        return;
    auto translator = std::make_unique<QTranslator>();
    if (translator->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
        QCoreApplication::installTranslator(translator.get()))
        m_qtTranslator = std::move(translator);
}

QString CLangMag::GetLangFile() const
{
    return LangFile;
}

const QHash<QString, QString> &CLangMag::textsOf(const QString &path, Cache &cache)
{
    struct stat info = {};
    const bool exists = ::stat(QFile::encodeName(path).constData(), &info) == 0 && S_ISREG(info.st_mode);
    if (!exists) {
        cache = Cache();
        return cache.texts;
    }
    if (cache.loaded && cache.path == path && cache.device == info.st_dev && cache.inode == info.st_ino &&
        cache.size == info.st_size && cache.modified.tv_sec == info.st_mtim.tv_sec &&
        cache.modified.tv_nsec == info.st_mtim.tv_nsec)
        return cache.texts;

    cache = Cache{path, true, info.st_dev, info.st_ino, info.st_size, info.st_mtim, {}};
    IniFile file;
    if (file.load(path)) {
        for (const auto &[key, text] : file.entries(u"STRINGS")) {
            const QString folded = key.toCaseFolded();
            if (!cache.texts.contains(folded)) // the first of equal keys wins
                cache.texts.insert(folded, text);
        }
        // An empty text counts as missing: the English text stands in for it.
        cache.texts.removeIf([](const auto &entry) { return entry.value().isEmpty(); });
    }
    return cache.texts;
}

QString CLangMag::GetString(const QString &key) const
{
    if (m_labelPasses > 0)
        if (const auto known = m_passTexts.constFind(key); known != m_passTexts.cend())
            return *known;
    const QString folded = key.trimmed().toCaseFolded();
    const QHash<QString, QString> &own = textsOf(LangFile, m_cache);
    QString text;
    if (const auto found = own.constFind(folded); found != own.cend())
        text = *found;
    else if (!m_fallbackFile.isEmpty() && m_fallbackFile != LangFile)
        text = textsOf(m_fallbackFile, m_fallbackCache).value(folded);
    if (text.size() >= kTextBufferChars) {
        text.truncate(kTextBufferChars - 1);
        if (text.back().isHighSurrogate())
            text.chop(1);
    }
    text.replace(QStringLiteral("\\n"), QStringLiteral("\n"));
    if (m_labelPasses > 0)
        m_passTexts.insert(key, text);
    return text;
}

CLangMag::LabelPass::LabelPass(const CLangMag &manager) : m_manager(manager)
{
    ++m_manager.m_labelPasses;
}

CLangMag::LabelPass::~LabelPass()
{
    if (--m_manager.m_labelPasses == 0)
        m_manager.m_passTexts.clear();
}

void CLangMag::SetMenuTextByPosition(QWidget *menu, const QString &key, int position) const
{
    if (!menu)
        return;
    const QList<QAction *> actions = menu->actions();
    if (position >= 0 && position < actions.size())
        actions[position]->setText(GetString(key));
}

void CLangMag::SetMenuTextByCommand(QWidget *menu, const QString &key, int command) const
{
    if (!menu)
        return;
    if (QAction *action = findCommand(menu->actions(), command))
        action->setText(GetString(key));
}
