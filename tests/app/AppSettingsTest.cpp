#include "app/AppSettings.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class AppSettingsTest : public testing::Test
{
protected:
    QTemporaryDir folder;
    QString path = folder.filePath(QStringLiteral("Setting.ini"));

    QByteArray readFile()
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

} // namespace

TEST_F(AppSettingsTest, WritesLineBreaksAsBackslashNAndIntsAsDecimal)
{
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("; kept\n[Language]\nSelLangFile=LangEng.lng\n");
    }
    EXPECT_EQ(readSettingInt(path, u"Language", u"AutoClear", -1), -1);
    EXPECT_TRUE(writeSetting(path, u"Language", u"Note", QStringLiteral("a\nb\r\nc")));
    EXPECT_TRUE(writeSettingInt(path, u"Language", u"AutoClear", -1));
    EXPECT_EQ(readFile(),
              QByteArray("; kept\n[Language]\nSelLangFile=LangEng.lng\nNote=a\\nb\\nc\nAutoClear=-1\n"));
    EXPECT_EQ(readSettingInt(path, u"Language", u"AutoClear", 7), -1);
    EXPECT_EQ(readSetting(path, u"Language", u"SelLangFile", QString(), 101), u"LangEng.lng");
    EXPECT_EQ(readSetting(path, u"Language", u"SelLangFile", QString(), 5), u"Lang");
}

TEST(AppSettings, LivesInTheProgramFolder)
{
    EXPECT_TRUE(settingsFilePath().endsWith(QStringLiteral("/Setting.ini")));
}
