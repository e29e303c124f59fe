// The language manager: every visible text is looked up by its key in section "STRINGS" of the current
// language file (an INI file in the folder "Language/").
#pragma once

#include <QHash>
#include <QString>
#include <memory>
#include <sys/stat.h>

class QTranslator;

class QWidget;

class CLangMag
{
public:
    CLangMag();
    ~CLangMag();
    CLangMag(const CLangMag &) = delete;
    CLangMag &operator=(const CLangMag &) = delete;

    // Full path of the language file: program folder + "Language/" + file name. No fallback file.
    void SetLangFile(const QString &path);
    QString GetLangFile() const;

    // The English file of the program's language folder, whose texts stand in for those the selected
    // file lacks.
    static constexpr const char *kEnglishFileName = "LangEng.lng";

    // Selects the file `fileName` of the language folder (a plain name: a path is not taken) with the
    // folder's English file behind it. A file that is missing, unreadable or holds no text gives way to
    // the English file. `problem` names the selected file and why it was not (wholly) used, and stays
    // empty when it was; no name selects the English file without a word. False when no file of the
    // folder holds any text: nothing is selected then.
    bool SelectLanguage(const QString &folder, const QString &fileName, QString &problem);
    // What the user is told when no file of the folder holds any text (in English: there is no other).
    static QString NoLanguageText(const QString &folder);

    // The text of a key, cut to 1023 characters, with every backslash-n pair turned into a line break;
    // the fallback file's text when the language file lacks the key or holds an empty text for it; empty
    // when neither holds a text. The files are read again whenever they change.
    QString GetString(const QString &key) const;

    // Relabel one entry of a menu (a QMenu or a QMenuBar) with the text of a key: by position
    // (separators count), or by command id, searched in sub-menus too. An entry's command id is the
    // integer data of its QAction. The entry keeps its id and its sub-menu.
    void SetMenuTextByPosition(QWidget *menu, const QString &key, int position) const;
    void SetMenuTextByCommand(QWidget *menu, const QString &key, int command) const;

    // While one lives, a pass that labels many windows at once (start-up builds every page and then
    // relabels them) reads each key from the file once; later requests for the key in the pass reuse
    // that text. Passes may nest; the texts are forgotten when the outermost one ends.
    class LabelPass
    {
    public:
        explicit LabelPass(const CLangMag &manager);
        ~LabelPass();
        LabelPass(const LabelPass &) = delete;
        LabelPass &operator=(const LabelPass &) = delete;

    private:
        const CLangMag &m_manager;
    };

private:
    // The parsed file, kept while its identity, size and modification time stay the same.
    struct Cache
    {
        QString path;
        bool loaded = false;
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        timespec modified{};
        QHash<QString, QString> texts; // case-folded key -> raw text
    };
    static const QHash<QString, QString> &textsOf(const QString &path, Cache &cache);
    void loadQtTranslation();

    QString LangFile;
    QString m_fallbackFile;
    mutable Cache m_cache;
    mutable Cache m_fallbackCache;
    mutable int m_labelPasses = 0;
    mutable QHash<QString, QString> m_passTexts; // key as asked -> text, while a pass lives
    std::unique_ptr<QTranslator> m_qtTranslator;
};

extern CLangMag g_LangMag;
