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
    m_passTexts.clear();
    loadQtTranslation();
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

const QHash<QString, QString> &CLangMag::texts() const
{
    struct stat info = {};
    const bool exists = ::stat(QFile::encodeName(LangFile).constData(), &info) == 0 && S_ISREG(info.st_mode);
    if (!exists) {
        m_cache = Cache();
        return m_cache.texts;
    }
    if (m_cache.loaded && m_cache.path == LangFile && m_cache.device == info.st_dev &&
        m_cache.inode == info.st_ino && m_cache.size == info.st_size &&
        m_cache.modified.tv_sec == info.st_mtim.tv_sec && m_cache.modified.tv_nsec == info.st_mtim.tv_nsec)
        return m_cache.texts;

    m_cache = Cache{LangFile, true, info.st_dev, info.st_ino, info.st_size, info.st_mtim, {}};
    IniFile file;
    if (file.load(LangFile)) {
        for (const auto &[key, text] : file.entries(u"STRINGS")) {
            const QString folded = key.toCaseFolded();
            if (!m_cache.texts.contains(folded)) // the first of equal keys wins
                m_cache.texts.insert(folded, text);
        }
    }
    return m_cache.texts;
}

QString CLangMag::GetString(const QString &key) const
{
    if (m_labelPasses > 0)
        if (const auto known = m_passTexts.constFind(key); known != m_passTexts.cend())
            return *known;
    QString text = texts().value(key.trimmed().toCaseFolded());
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
