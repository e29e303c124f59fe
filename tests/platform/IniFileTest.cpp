#include "platform/IniFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class IniFileTest : public testing::Test
{
protected:
    QTemporaryDir folder;
    QString path = folder.filePath(QStringLiteral("Setting.ini"));

    void writeFile(const QByteArray &bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray readFile()
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    QString get(const char *section, const char *key, int bufferChars = 1024)
    {
        return IniFile::getString(path, QString::fromUtf8(section), QString::fromUtf8(key),
                                  QStringLiteral("<default>"), bufferChars);
    }
};

} // namespace

TEST_F(IniFileTest, ReadsWithTheProfileRules)
{
    writeFile("; [Language] in a comment\n"
              "Stray=before any section\n"
              "[Language]\n"
              "  SelLangFile  =  LangChs.lng  \n"
              "selLANGfile=second match is ignored\n"
              ";AutoClear=9\n"
              "Quoted=\"  a, b  \"\n"
              "Single='x'\n"
              "Unpaired=\"x'\n"
              "Empty=\n"
              "NoEquals\n"
              "[language]\n"
              "Other=in the second section of that name\n"
              "[STRINGS]\n"
              "Text=a\\nb\n");
    struct Case
    {
        const char *section, *key, *expected;
    };
    const Case table[] = {
        {"language", "SELLANGFILE", "LangChs.lng"},
        {" Language ", " SelLangFile ", "LangChs.lng"},
        {"Language", "AutoClear", "<default>"},
        {"Language", "Quoted", "  a, b  "},
        {"Language", "Single", "x"},
        {"Language", "Unpaired", "\"x'"},
        {"Language", "Empty", ""},
        {"Language", "NoEquals", "<default>"},
        {"Language", "Other", "<default>"},
        {"Language", "Stray", "<default>"},
        {"Missing", "SelLangFile", "<default>"},
        {"STRINGS", "Text", "a\\nb"}, // backslash escapes are the caller's business
    };
    for (const Case &c : table)
        EXPECT_EQ(get(c.section, c.key), QString::fromUtf8(c.expected)) << c.section << "/" << c.key;
}

TEST_F(IniFileTest, MissingFileGivesDefaultsAndIntsReadDecimally)
{
    EXPECT_EQ(get("Language", "SelLangFile"), u"<default>");
    EXPECT_EQ(IniFile::getInt(path, u"Language", u"AutoClear", -1), -1);
    writeFile("[Language]\nAutoClear=2\nNegative=-3\nPrefix=12abc\nWords=abc\n");
    EXPECT_EQ(IniFile::getInt(path, u"Language", u"AutoClear", -1), 2);
    EXPECT_EQ(IniFile::getInt(path, u"Language", u"Negative", -1), -3);
    EXPECT_EQ(IniFile::getInt(path, u"Language", u"Prefix", -1), 12);
    EXPECT_EQ(IniFile::getInt(path, u"Language", u"Words", -1), -1);
    EXPECT_EQ(IniFile::getInt(path, u"Language", u"Absent", -1), -1);
}

TEST_F(IniFileTest, CutsLongValuesToTheBuffer)
{
    writeFile("[S]\nLong=" + QByteArray(1500, 'x') + "\nEmoji=ab\xF0\x9F\x98\x80\n");
    EXPECT_EQ(get("S", "Long").size(), 1023);
    EXPECT_EQ(get("S", "Long", 1), u"");
    EXPECT_EQ(get("S", "Emoji", 4), u"ab"); // never half a surrogate pair
}

TEST_F(IniFileTest, WritesInPlaceAndKeepsEveryOtherLine)
{
    writeFile(
        "\xEF\xBB\xBF; settings\r\n[Language]\r\nselLangFile = LangEng.lng\r\n\r\n[Other]\r\nKey=1\r\n");
    EXPECT_TRUE(IniFile::putString(path, u"LANGUAGE", u"SelLangFile", QStringLiteral("LangChs.lng")));
    EXPECT_TRUE(IniFile::putString(path, u"Language", u"AutoClear", QStringLiteral("1")));
    EXPECT_TRUE(IniFile::putString(path, u"New", u"Key", QStringLiteral("v")));
    EXPECT_EQ(readFile(), QByteArray("\xEF\xBB\xBF; settings\r\n[Language]\r\nselLangFile=LangChs.lng\r\n"
                                     "AutoClear=1\r\n\r\n[Other]\r\nKey=1\r\n[New]\r\nKey=v\r\n"));
}

TEST_F(IniFileTest, CreatesTheFileAndRefusesWhatWouldBreakIt)
{
    EXPECT_TRUE(IniFile::putString(path, u"Language", u"AutoClear", QStringLiteral("-1")));
    EXPECT_EQ(readFile(), QByteArray("[Language]\nAutoClear=-1\n"));
    const QByteArray before = readFile();
    EXPECT_FALSE(IniFile::putString(path, u"Language", u"AutoClear", QStringLiteral("a\nb")));
    EXPECT_FALSE(IniFile::putString(path, u"Language", u"Auto=Clear", QStringLiteral("1")));
    EXPECT_FALSE(IniFile::putString(path, u"Lang]uage", u"Key", QStringLiteral("1")));
    EXPECT_FALSE(IniFile::putString(path, u"Language", u" ", QStringLiteral("1")));
    EXPECT_FALSE(IniFile::putString(folder.filePath(QStringLiteral("no/such/dir/Setting.ini")), u"S", u"K",
                                    QStringLiteral("v")));
    EXPECT_EQ(readFile(), before);
}

TEST_F(IniFileTest, UnreadableFileIsNeverOverwritten)
{
    // A folder in the file's place stands for a file that cannot be read.
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("Setting.ini")));
    EXPECT_FALSE(IniFile::putString(path, u"S", u"K", QStringLiteral("v")));
    EXPECT_TRUE(QFileInfo(path).isDir());
}

TEST(IniFileEntries, ListsTheFirstSectionsKeysInOrder)
{
    const IniFile file = IniFile::fromBytes("[STRINGS]\nA=1\n;B=2\nC = \"3\"\n[strings]\nD=4\n");
    const auto entries = file.entries(u"Strings");
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries[0], std::make_pair(QStringLiteral("A"), QStringLiteral("1")));
    EXPECT_EQ(entries[1], std::make_pair(QStringLiteral("C"), QStringLiteral("3")));
    EXPECT_TRUE(file.entries(u"None").isEmpty());
}
