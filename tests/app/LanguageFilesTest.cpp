// Checks the two language files on their own and against the sources: both hold the same keys, every
// text is usable, format texts take the same arguments in both languages, and every key the program
// looks up exists in both. The files are read here by a small parser of their own, independent of the
// program's INI reader, so that a fault in one is not hidden by the same fault in the other.
#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>
#include <gtest/gtest.h>

#include <map>
#include <set>

// Failure messages show texts as text (GoogleTest finds this through the argument's namespace).
static void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

const QString languageDir = QStringLiteral(KV_SOURCE_DIR "/resources/Language/");
const QStringList languageFileNames{QStringLiteral("LangEng.lng"), QStringLiteral("LangChs.lng")};

struct LanguageFile
{
    std::map<QString, QString> texts; // key -> text as stored (backslash-n not yet expanded)
    QStringList problems;             // one line per fault found while reading
};

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// Reads "[STRINGS]" and its "Key=Text" lines; everything else is reported as a problem.
LanguageFile parseLanguageText(const QByteArray &bytes)
{
    LanguageFile result;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder(bytes);
    if (decoder.hasError())
        result.problems << QStringLiteral("not valid UTF-8");
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);

    QString section;
    std::set<QString> foldedKeys; // the program's reader compares keys case-insensitively
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        const QString where = QStringLiteral("line %1: ").arg(i + 1);
        if (line.isEmpty() || line.startsWith(u';'))
            continue;
        if (line.startsWith(u'[')) {
            section = line;
            if (section != QStringLiteral("[STRINGS]"))
                result.problems << where + QStringLiteral("unexpected section ") + section;
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (section.isEmpty() || equals <= 0) {
            result.problems << where + QStringLiteral("not a key of [STRINGS]: ") + line;
            continue;
        }
        const QString key = line.left(equals).trimmed();
        const QString value = line.mid(equals + 1).trimmed();
        if (!foldedKeys.insert(key.toCaseFolded()).second) {
            result.problems << where + QStringLiteral("duplicate key ") + key;
            continue;
        }
        if (value.isEmpty())
            result.problems << where + QStringLiteral("empty text of ") + key;
        // A backslash only ever starts a line break; anything else would be shown literally.
        static const QRegularExpression strayBackslash(QStringLiteral(R"(\\(?!n))"));
        if (value.contains(strayBackslash))
            result.problems << where + QStringLiteral("backslash not followed by n in ") + key;
        result.texts.emplace(key, value);
    }
    if (result.texts.empty())
        result.problems << QStringLiteral("no texts");
    return result;
}

LanguageFile parseLanguageFile(const QString &fileName)
{
    const QString path = languageDir + fileName;
    if (!QFile::exists(path))
        return {{}, {QStringLiteral("missing file ") + path}};
    return parseLanguageText(readBytes(path));
}

// The printf conversions (and Qt's %1 .. %99) of a text, in order.
QStringList formatPlaceholders(const QString &text)
{
    static const QRegularExpression placeholder(QStringLiteral(
        R"(%(?:%|[-+ #0]*(?:\d+|\*)?(?:\.(?:\d+|\*))?(?:hh|h|ll|l|L|z|j|t|I64)?[diouxXeEfFgGcCsSpaA]|\d{1,2}))"));
    QStringList found;
    for (auto it = placeholder.globalMatch(text); it.hasNext();)
        found << it.next().captured();
    return found;
}

// Every key that a source text hands to the language manager as a literal: the key argument of
// GetString and SetMenuTextByPosition/ByCommand, and any literal of a language key family (the
// tables of key and control id that the dialogs relabel themselves from).
std::set<QString> languageKeysInSource(const QString &source)
{
    static const QString literal = QStringLiteral(R"re((?:QStringLiteral\s*\(\s*u?"([^"\\]*)"\s*\))re"
                                                  R"re(|QLatin1String(?:View)?\s*\(\s*"([^"\\]*)"\s*\))re"
                                                  R"re(|(?:u8|u|L)?"([^"\\]*)"(?:_s|_L1)?))re");
    static const QRegularExpression lookup(
        QStringLiteral(R"re(\b(?:GetString\s*\(\s*|SetMenuTextBy(?:Position|Command)\s*\([^,;]+,\s*))re") +
        literal);
    static const QRegularExpression familyLiteral(QStringLiteral(
        R"re("((?:Menu|Tree|Des|Note|Stat|Status|PortDlg|Reserved|SysInfo|StandardDlg|DynamicDlg)re"
        R"re(|MaxDlg|MaxDlgDlg|Select_Config|Bar|LogDlg|Tab|CounterDlg|MSG_RANGE_OF|TestPage|PacketDlg|ResultPage|ChartSet|LiveChart|PdfReport|XlsReport)_[A-Za-z0-9_/]+)")re"
        R"re(|"(Check_Link|Defualt_Initrate)")re"));
    std::set<QString> keys;
    for (const QRegularExpression *pattern : {&lookup, &familyLiteral}) {
        for (auto it = pattern->globalMatch(source); it.hasNext();) {
            const QRegularExpressionMatch match = it.next();
            for (int group = 1; group <= match.lastCapturedIndex(); ++group) {
                if (match.hasCaptured(group)) {
                    keys.insert(match.captured(group));
                    break;
                }
            }
        }
    }
    return keys;
}

class LanguageFilesTest : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        english = new LanguageFile(parseLanguageFile(languageFileNames[0]));
        chinese = new LanguageFile(parseLanguageFile(languageFileNames[1]));
    }
    static void TearDownTestSuite()
    {
        delete english;
        delete chinese;
    }

    static QString englishText(const QString &key) { return textOf(*english, key); }
    static QString chineseText(const QString &key) { return textOf(*chinese, key); }

    static LanguageFile *english;
    static LanguageFile *chinese;

private:
    static QString textOf(const LanguageFile &file, const QString &key)
    {
        const auto it = file.texts.find(key);
        return it == file.texts.end() ? QString() : it->second;
    }
};

LanguageFile *LanguageFilesTest::english = nullptr;
LanguageFile *LanguageFilesTest::chinese = nullptr;

TEST(LanguageFileParser, ReportsEveryKindOfFault)
{
    struct Case
    {
        const char *name;
        QByteArray bytes;
        const char *problem; // part of the one problem expected; empty for a sound file
    };
    const Case cases[] = {
        {"sound, CR LF, comment, BOM", "\xEF\xBB\xBF[STRINGS]\r\n; note\r\nA=x\\ny\r\n", ""},
        {"invalid UTF-8", "[STRINGS]\nA=\xC3\x28\n", "UTF-8"},
        {"duplicate in another case", "[STRINGS]\nAb=x\nAB=y\n", "duplicate key AB"},
        {"empty text", "[STRINGS]\nA=x\nB=  \n", "empty text of B"},
        {"stray backslash", "[STRINGS]\nA=x\\ty\n", "backslash"},
        {"key before the section", "A=x\n[STRINGS]\nB=y\n", "not a key"},
        {"other section", "[STRINGS]\nA=x\n[Other]\nB=y\n", "unexpected section"},
        {"line without =", "[STRINGS]\nA=x\njunk\n", "not a key"},
        {"empty file", "", "no texts"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const LanguageFile file = parseLanguageText(c.bytes);
        if (*c.problem == '\0') {
            EXPECT_TRUE(file.problems.isEmpty()) << file.problems.join(u'\n').toStdString();
            EXPECT_EQ(file.texts.at(QStringLiteral("A")), QStringLiteral("x\\ny"));
        } else {
            ASSERT_EQ(file.problems.size(), 1) << file.problems.join(u'\n').toStdString();
            EXPECT_TRUE(file.problems.first().contains(QLatin1String(c.problem)))
                << file.problems.first().toStdString();
        }
    }
}

TEST(LanguageFileParser, FindsPlaceholdersInOrder)
{
    EXPECT_EQ(formatPlaceholders(QStringLiteral("%d of %-3s at %02u, %.2f %lu %1 100%%")),
              (QStringList{"%d", "%-3s", "%02u", "%.2f", "%lu", "%1", "%%"}));
    EXPECT_TRUE(formatPlaceholders(QStringLiteral("Load Rate(%): 5 %")).isEmpty());
}

TEST(LanguageKeyScanner, FindsKeysInEveryLookupForm)
{
    const QString source = QStringLiteral(R"(
        g_LangMag.GetString(QStringLiteral("Key_One"));
        lang.GetString(u"Key_Two"_s) + lang.GetString( "Key_Three" );
        m.GetString(u"Key_Four");
        g_LangMag.SetMenuTextByCommand(menu, QStringLiteral("Key_Five"), 32793);
        g_LangMag.SetMenuTextByPosition(bar->menu(), u"Key_Six"_s, 0);
        const Row rows[] = {{1152, u"StandardDlg_IGMP_Field"}, {1257, "MaxDlgDlg_BT_Reset"}};
        status(u"Check_Link"_s); show("SysInfo_S/N"); label("Defualt_Initrate");
        GetString(key); log("Not a key"); xml("DUT_Name"); xml("Select_state");
    )");
    const std::set<QString> expected{"Key_One",
                                     "Key_Two",
                                     "Key_Three",
                                     "Key_Four",
                                     "Key_Five",
                                     "Key_Six",
                                     "StandardDlg_IGMP_Field",
                                     "MaxDlgDlg_BT_Reset",
                                     "Check_Link",
                                     "SysInfo_S/N",
                                     "Defualt_Initrate"};
    EXPECT_EQ(languageKeysInSource(source), expected);
}

TEST_F(LanguageFilesTest, BothFilesAreSoundUtf8IniWithoutDuplicatesOrEmptyTexts)
{
    EXPECT_TRUE(english->problems.isEmpty()) << english->problems.join(u'\n').toStdString();
    EXPECT_TRUE(chinese->problems.isEmpty()) << chinese->problems.join(u'\n').toStdString();
}

TEST_F(LanguageFilesTest, BothFilesHoldTheSameKeys)
{
    for (const auto &[key, text] : english->texts)
        EXPECT_TRUE(chinese->texts.count(key)) << "only in LangEng.lng: " << key.toStdString();
    for (const auto &[key, text] : chinese->texts)
        EXPECT_TRUE(english->texts.count(key)) << "only in LangChs.lng: " << key.toStdString();
}

TEST_F(LanguageFilesTest, FormatTextsTakeTheSameArgumentsInBothLanguages)
{
    for (const auto &[key, text] : english->texts) {
        if (!chinese->texts.count(key))
            continue; // reported by BothFilesHoldTheSameKeys
        EXPECT_EQ(formatPlaceholders(text), formatPlaceholders(chineseText(key))) << key.toStdString();
    }
}

TEST_F(LanguageFilesTest, ChineseFileIsTranslated)
{
    // A text copied over untranslated holds no Chinese character; names and symbols alone never fill one.
    static const QRegularExpression han(QStringLiteral(R"(\p{Han})"));
    for (const auto &[key, text] : chinese->texts)
        EXPECT_TRUE(text.contains(han)) << key.toStdString() << "=" << text.toStdString();
}

// Texts that the program compares with one another rather than only showing them.
TEST_F(LanguageFilesTest, TextsThatTheProgramMatchesStayDistinguishable)
{
    // The check marks of the port and traffic commands compare the banner text without blanks.
    EXPECT_EQ(englishText("Tab_Port_Config").remove(u' '), QStringLiteral("PortConfig"));
    EXPECT_EQ(englishText("Tree_Test_Config").remove(u' '), QStringLiteral("TrafficConfig"));

    const QStringList treeKeys{"Tree_System_Info",
                               "Tree_Port_Info_Config",
                               "Tree_Port_Config",
                               "Tree_Test_Config",
                               "Tree_Forward_Throughput",
                               "Tree_Mix_Class",
                               "Tree_Aggregate_Group",
                               "Tree_Scaled_Group",
                               "Tree_Latency",
                               "Tree_Capacity",
                               "Tree_Join_Leave",
                               "Tree_Source_Filter",
                               "Tree_Report",
                               "Tree_Report_Mix_Class",
                               "Tree_Report_Aggregate_Group",
                               "Tree_Report_Scaled_Group",
                               "Tree_Report_Latency",
                               "Tree_Report_Source_Filter"};
    // Tree nodes found by "contains" must not be found inside another node's text.
    const QStringList containedKeys{
        "Tree_System_Info",         "Tree_Report_Mix_Class", "Tree_Report_Aggregate_Group",
        "Tree_Report_Scaled_Group", "Tree_Report_Latency",   "Tree_Report_Source_Filter"};
    // The reservation tree tells an item's level by which of these texts it contains; item numbers
    // are read between the last parentheses, so the texts hold none.
    const QStringList levelKeys{"Reserved_Board", "Reserved_Port", "Reserved_Chassis"};

    for (const LanguageFile *file : {english, chinese}) {
        const auto text = [file](const QString &key) {
            return file->texts.count(key) ? file->texts.at(key) : QString();
        };
        std::set<QString> nodeTexts;
        for (const QString &key : treeKeys) {
            EXPECT_TRUE(nodeTexts.insert(text(key)).second)
                << "two tree nodes read " << text(key).toStdString();
            EXPECT_FALSE(text(key).contains(QStringLiteral("Tavrix-IGMP"))) << key.toStdString();
        }
        for (const QString &contained : containedKeys) {
            for (const QString &other : treeKeys) {
                if (other != contained) {
                    EXPECT_FALSE(text(other).contains(text(contained)))
                        << other.toStdString() << " contains " << contained.toStdString();
                }
            }
        }
        for (const QString &level : levelKeys) {
            EXPECT_FALSE(text("Reserved_Active_Port").contains(text(level))) << level.toStdString();
            EXPECT_FALSE(text(level).contains(u'(') || text(level).contains(u')')) << level.toStdString();
            for (const QString &other : levelKeys) {
                if (other != level) {
                    EXPECT_FALSE(text(other).contains(text(level)))
                        << other.toStdString() << " contains " << level.toStdString();
                }
            }
        }
    }
}

TEST_F(LanguageFilesTest, EveryKeyTheSourcesLookUpIsInBothFiles)
{
    const QStringList sourceFolders{"engine", "app", "controls", "ports", "testpages", "reports"};
    std::map<QString, QString> usedAt; // key -> first file that uses it
    for (const QString &folder : sourceFolders) {
        const QString path = QStringLiteral(KV_SOURCE_DIR "/") + folder;
        QDirIterator it(path, {"*.cpp", "*.h"}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            const QString source = QString::fromUtf8(readBytes(file));
            for (const QString &key : languageKeysInSource(source))
                usedAt.emplace(key, QDir(QStringLiteral(KV_SOURCE_DIR)).relativeFilePath(file));
        }
    }
    for (const auto &[key, file] : usedAt) {
        EXPECT_TRUE(english->texts.count(key))
            << key.toStdString() << " (" << file.toStdString() << ") missing in LangEng.lng";
        EXPECT_TRUE(chinese->texts.count(key))
            << key.toStdString() << " (" << file.toStdString() << ") missing in LangChs.lng";
    }
}

TEST_F(LanguageFilesTest, BuildLaysTheCurrentFilesBesideThePrograms)
{
    const QString runtimeDir = QCoreApplication::applicationDirPath() + QStringLiteral("/Language/");
    for (const QString &name : languageFileNames) {
        SCOPED_TRACE(name.toStdString());
        ASSERT_TRUE(QFile::exists(runtimeDir + name));
        EXPECT_TRUE(readBytes(runtimeDir + name) == readBytes(languageDir + name))
            << "stale copy in " << runtimeDir.toStdString();
    }
}

} // namespace
