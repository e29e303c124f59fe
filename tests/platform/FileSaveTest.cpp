// Every save of the program goes through one writer: whole or not at all, with the system's reason on
// failure. A full disk is played by a file size limit.
#include "common/FileSizeLimit.h"

#include "platform/FileSave.h"
#include "platform/IniFile.h"
#include "platform/XmlDocument.h"
#include "platform/pdf/PdfDocument.h"
#include "platform/xls/XlsBook.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cerrno>
#include <functional>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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

// Every entry under the folder, links included, with the target of each link.
QStringList entriesWithLinks(const QString &folder)
{
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info = it.nextFileInfo();
        entries << QDir(folder).relativeFilePath(info.filePath()) +
                       (info.isSymLink() ? QStringLiteral(" -> ") + info.symLinkTarget() : QString());
    }
    entries.sort();
    return entries;
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

// A path is resolved as the system resolves it: a chain of links leads to the file at its end, ".." in a
// link's target goes up from where the link before it led, and a dangling link names the file to create.
// The links stay as they were and no temporary file is left.
TEST(FileSave, FollowsEveryLinkOfThePathAsTheSystemDoes)
{
    QTemporaryDir dir;
    const QDir root(dir.path());
    ASSERT_TRUE(root.mkpath(QStringLiteral("real")) && root.mkpath(QStringLiteral("a/b")));
    putFile(root.filePath(QStringLiteral("real/target.xls")), "old");
    putFile(root.filePath(QStringLiteral("a/real.xml")), "old");
    putFile(root.filePath(QStringLiteral("real.xml")), "decoy");
    const QList<std::pair<QString, QString>> links = {
        {"l1", "real/target.xls"},    {"report.xls", "l1"},        {"sub", "a/b"},
        {"x.xml", "sub/../real.xml"}, {"dangling.xml", "new.xml"}, {"nowhere.xml", "gone/new.xml"},
        {"loop1", "loop2"},           {"loop2", "loop1"},
    };
    for (const auto &[link, target] : links)
        ASSERT_EQ(::symlink(QFile::encodeName(target).constData(), QFile::encodeName(root.filePath(link))),
                  0);
    const struct
    {
        const char *saved;
        int error;
        const char *written; // the file that holds the new bytes; nullptr: none
    } cases[] = {
        {"report.xls", 0, "real/target.xls"},
        {"x.xml", 0, "a/real.xml"},
        {"dangling.xml", 0, "new.xml"},
        {"nowhere.xml", ENOENT, nullptr},
        {"loop1", ELOOP, nullptr},
        {"sub/../real.xml", 0, "a/real.xml"},
    };
    for (const auto &c : cases) {
        const QStringList before = entriesWithLinks(dir.path());
        const QByteArray bytes = QByteArray("saved as ") + c.saved;
        const SaveResult result = saveFileWhole(root.filePath(QLatin1String(c.saved)), bytes);
        EXPECT_EQ(result.error, c.error) << c.saved;
        if (c.written) {
            EXPECT_EQ(contents(root.filePath(QLatin1String(c.written))), bytes) << c.saved;
        }
        QStringList after = entriesWithLinks(dir.path());
        if (c.written && !before.contains(QLatin1String(c.written)))
            after.removeOne(QLatin1String(c.written));
        EXPECT_EQ(after, before) << c.saved;
    }
    EXPECT_EQ(contents(root.filePath(QStringLiteral("real.xml"))), "decoy");
}

// A name of 254 or 255 bytes, the most a folder entry holds, is saved new and replaced.
TEST(FileSave, SavesTheLongestNamesAFolderHolds)
{
    for (const qsizetype length : {254, 255}) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QString(length - 4, u'n') + QStringLiteral(".xls"));
        EXPECT_TRUE(saveFileWhole(path, "first")) << length;
        EXPECT_TRUE(saveFileWhole(path, "second")) << length;
        EXPECT_EQ(contents(path), "second") << length;
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1) << length;
    }
}

// A file the user may not write (mode 0444) is refused, though its folder would let a rename replace
// it. Run as an unprivileged user: the superuser may write any file, so as root the save runs in a child
// that has dropped to the user and group "nobody" (65534).
TEST(FileSave, AReadOnlyFileIsRefusedWhereItsFolderIsWritable)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                      QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                                      QFileDevice::WriteOther | QFileDevice::ExeOther));
    const QString path = dir.filePath(QStringLiteral("locked.xml"));
    putFile(path, "old");
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup |
                                                QFileDevice::ReadOther));
    constexpr int kCannotDrop = 250;
    constexpr int kFolderUnreachable = 251;
    const auto save = [&] {
        if (::access(QFile::encodeName(dir.path()).constData(), W_OK | X_OK) != 0)
            return kFolderUnreachable;
        return saveFileWhole(path, "new").error;
    };
    int error = 0;
    if (::geteuid() != 0) {
        error = save();
    } else {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            const gid_t nobody = 65534;
            if (::setgroups(0, nullptr) != 0 || ::setresgid(nobody, nobody, nobody) != 0 ||
                ::setresuid(nobody, nobody, nobody) != 0)
                ::_exit(kCannotDrop);
            ::_exit(save());
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status)) << status;
        error = WEXITSTATUS(status);
    }
    if (error == kCannotDrop)
        GTEST_SKIP() << "run as root without the right to become the user nobody";
    if (error == kFolderUnreachable)
        GTEST_SKIP() << "the temporary folder " << dir.path().toStdString()
                     << " is out of an unprivileged user's reach";
    EXPECT_EQ(error, EACCES);
    EXPECT_EQ(contents(path), "old");
    struct stat info = {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0444u);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"locked.xml"});
}
