#include "app/LangMag.h"

#include <QAction>
#include <QDateTime>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class LangMagTest : public testing::Test
{
protected:
    QTemporaryDir folder;
    QString path = folder.filePath(QStringLiteral("LangEng.lng"));
    CLangMag lang;

    void SetUp() override { lang.SetLangFile(path); }
    void writeFile(const QByteArray &bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }
};

} // namespace

TEST_F(LangMagTest, LooksUpTexts)
{
    writeFile("[STRINGS]\n"
              "Two_Lines=a\\nb\n"
              "Long=" +
              QByteArray(1500, 'x') +
              "\n"
              "Chinese=\xE7\xAB\xAF\xE5\x8F\xA3\n"
              "Menu_File=&File\n"
              "menu_file=second\n"
              "[OTHER]\n"
              "Elsewhere=x\n");
    struct Case
    {
        const char *key;
        QString expected;
    };
    const Case cases[] = {
        {"Two_Lines", QStringLiteral("a\nb")},
        {"Long", QString(1023, u'x')},
        {"Chinese", QString::fromUtf8("\xE7\xAB\xAF\xE5\x8F\xA3")},
        {"MENU_FILE", QStringLiteral("&File")},
        {"Missing", QString()},
        {"Elsewhere", QString()},
    };
    for (const Case &c : cases)
        EXPECT_EQ(lang.GetString(QString::fromUtf8(c.key)), c.expected) << c.key;
    EXPECT_EQ(lang.GetLangFile(), path);
}

TEST_F(LangMagTest, MissingFileOrBareFolderGivesEmptyTexts)
{
    EXPECT_EQ(lang.GetString(QStringLiteral("Menu_File")), QString());
    lang.SetLangFile(folder.path() + u'/');
    EXPECT_EQ(lang.GetString(QStringLiteral("Menu_File")), QString());
}

TEST_F(LangMagTest, ReadsTheFileAgainWhenItChanges)
{
    writeFile("[STRINGS]\nKey=one\n");
    EXPECT_EQ(lang.GetString(QStringLiteral("Key")), u"one");
    writeFile("[STRINGS]\nKey=three\n"); // another size
    EXPECT_EQ(lang.GetString(QStringLiteral("Key")), u"three");

    writeFile("[STRINGS]\nKey=seven\n"); // the same size: only the modification time tells
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        const QDateTime later = file.fileTime(QFileDevice::FileModificationTime).addSecs(5);
        ASSERT_TRUE(file.setFileTime(later, QFileDevice::FileModificationTime));
    }
    EXPECT_EQ(lang.GetString(QStringLiteral("Key")), u"seven");

    QFile::remove(path);
    EXPECT_EQ(lang.GetString(QStringLiteral("Key")), QString());
}

TEST_F(LangMagTest, LabelPassReadsEachKeyOnceUntilItsOutermostPassEnds)
{
    writeFile("[STRINGS]\nKey=one\nOther=two\n");
    {
        const CLangMag::LabelPass pass(lang);
        EXPECT_EQ(lang.GetString(QStringLiteral("Key")), u"one");
        writeFile("[STRINGS]\nKey=three\nOther=four\n");
        {
            const CLangMag::LabelPass inner(lang);
            EXPECT_EQ(lang.GetString(QStringLiteral("Key")), u"one");
        }
        EXPECT_EQ(lang.GetString(QStringLiteral("Key")), u"one");
        EXPECT_EQ(lang.GetString(QStringLiteral("Other")), u"four"); // not asked before: read now
        // Another language file is another set of texts.
        lang.SetLangFile(folder.path() + QStringLiteral("/missing.lng"));
        EXPECT_EQ(lang.GetString(QStringLiteral("Key")), QString());
        lang.SetLangFile(path);
        EXPECT_EQ(lang.GetString(QStringLiteral("Key")), u"three");
        writeFile("[STRINGS]\nKey=seven\n");
    }
    EXPECT_EQ(lang.GetString(QStringLiteral("Key")), u"seven");
}

TEST_F(LangMagTest, RelabelsMenuEntriesByPositionAndByCommand)
{
    writeFile("[STRINGS]\nMenu_File=&File\nMenu_Exit=E&xit\nMenu_English=English\n");
    QMenuBar bar;
    QMenu *file = bar.addMenu(QStringLiteral("?"));
    QAction *newTest = file->addAction(QStringLiteral("?"));
    newTest->setData(32771);
    file->addSeparator();
    QAction *exit = file->addAction(QStringLiteral("?"));
    exit->setData(57665);
    QMenu *language = file->addMenu(QStringLiteral("?"));
    QAction *english = language->addAction(QStringLiteral("?"));
    english->setData(32793);

    lang.SetMenuTextByPosition(&bar, QStringLiteral("Menu_File"), 0);
    lang.SetMenuTextByPosition(file, QStringLiteral("Menu_Exit"), 2); // the separator counts
    lang.SetMenuTextByPosition(file, QStringLiteral("Menu_Exit"), 9); // no such entry
    lang.SetMenuTextByCommand(&bar, QStringLiteral("Menu_English"), 32793);
    lang.SetMenuTextByCommand(&bar, QStringLiteral("Menu_English"), 1); // no such command

    EXPECT_EQ(file->title(), u"&File");
    EXPECT_EQ(exit->text(), u"E&xit");
    EXPECT_EQ(english->text(), u"English");
    EXPECT_EQ(newTest->text(), u"?");
    EXPECT_EQ(exit->data().toInt(), 57665);
    EXPECT_EQ(file->actions().size(), 4);
}
