// Every save of the program goes through one writer: whole or not at all, with the system's reason on
// failure. A full disk is played by a file size limit.
#include "common/FileSizeLimit.h"

#include "platform/FileSave.h"
#include "platform/IniFile.h"
#include "platform/XmlDocument.h"
#include "platform/pdf/PdfDocument.h"
#include "platform/xls/XlsBook.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cerrno>
#include <functional>
#include <gtest/gtest.h>

namespace {

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void putFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

} // namespace

TEST(FileSave, ReplacesTheFileWholeKeepingItsPermissionsAndLinks)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.xml"));
    putFile(path, "old");
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                QFileDevice::ReadGroup));
    const QFileDevice::Permissions before = QFileInfo(path).permissions();
    EXPECT_TRUE(saveFileWhole(path, "new contents"));
    EXPECT_EQ(contents(path), "new contents");
    EXPECT_EQ(QFileInfo(path).permissions(), before);

    const QString link = dir.filePath(QStringLiteral("link.xml"));
    ASSERT_TRUE(QFile::link(path, link));
    EXPECT_TRUE(saveFileWhole(link, "through the link"));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(contents(path), "through the link");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::System), (QStringList{"a.xml", "link.xml"}));

    const SaveResult missing = saveFileWhole(dir.filePath(QStringLiteral("no/such.xml")), "x");
    EXPECT_FALSE(missing);
    EXPECT_EQ(missing.error, ENOENT);
    EXPECT_EQ(missing.reason(), "No such file or directory");
}

// A write past the limit fails as on a full disk: every writer reports it, removes its temporary file
// and leaves the old file byte for byte as it was, whatever the size of the new one.
TEST(FileSave, AFullDiskLeavesTheOldFileAsItWasAndSaysWhy)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("saved"));
    const QByteArray old = "the old file\n";
    XlsBook book;
    book.addSheet(QStringLiteral("Sheet"))->writeStr(0, 0, QStringLiteral("text"));
    PdfDocument pdf;
    ASSERT_TRUE(pdf.AddPage());
    IniFile ini = IniFile::fromBytes("[Language]\nSelLangFile=" + QByteArray(200, 'x') + "\n");
    struct Case
    {
        const char *name;
        std::function<SaveResult()> save;
    };
    const Case cases[] = {
        {"100 bytes", [&] { return saveFileWhole(path, QByteArray(100, 'a')); }},
        {"4 KiB", [&] { return saveFileWhole(path, QByteArray(4096, 'a')); }},
        {"16 KiB", [&] { return saveFileWhole(path, QByteArray(16384, 'a')); }},
        {"200 KiB", [&] { return saveFileWhole(path, QByteArray(200 * 1024, 'a')); }},
        {"workbook", [&] { return book.save(path); }},
        {"PDF", [&] { return pdf.SaveToFile(path); }},
        {"INI file", [&] { return ini.save(path); }},
        {"XML text",
         [&] {
             QString reason;
             const bool written = XmlDocument::WriteTextFile(path, QString(300, u'x'), reason);
             EXPECT_EQ(reason, "File too large");
             return written ? SaveResult{} : SaveResult{errno};
         }},
    };
    for (const Case &c : cases) {
        putFile(path, old);
        SaveResult result;
        {
            const FileSizeLimit limit(64);
            result = c.save();
        }
        EXPECT_FALSE(result) << c.name;
        EXPECT_EQ(result.error, EFBIG) << c.name;
        EXPECT_EQ(contents(path), old) << c.name;
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"saved"}) << c.name;
    }
}
