// The start-up shims: single-instance lock, process list, program launcher, server probe, host
// addresses and the server connection dialog.
#include "platform/HostAddresses.h"
#include "platform/ProcessList.h"
#include "platform/ProgramLauncher.h"
#include "platform/ServerConnectDialog.h"
#include "platform/ServerProbe.h"
#include "platform/SingleInstanceLock.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>
#include <gtest/gtest.h>

#include <unistd.h>

namespace {
QString uniqueName()
{
    return QStringLiteral("kvtest-") + QUuid::createUuid().toString(QUuid::Id128);
}
} // namespace

TEST(SingleInstanceLock, SecondHolderIsRefusedUntilTheFirstEnds)
{
    const QString name = uniqueName();
    {
        SingleInstanceLock first;
        ASSERT_EQ(first.tryLock(name), SingleInstanceLock::Result::Locked);
        EXPECT_EQ(first.tryLock(name), SingleInstanceLock::Result::Locked); // the holder asking again
        SingleInstanceLock second;
        EXPECT_EQ(second.tryLock(name), SingleInstanceLock::Result::HeldByAnother);
        EXPECT_FALSE(second.isLocked());
        // A stale lock file does not matter: only a live holder counts.
    }
    SingleInstanceLock later;
    EXPECT_EQ(later.tryLock(name), SingleInstanceLock::Result::Locked);
    QFile::remove(SingleInstanceLock::lockFilePath(name));
}

TEST(ProcessList, FindsThisProcessByCommandAndExecutableName)
{
    const QString exe = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    EXPECT_TRUE(isProcessRunning(exe));
    EXPECT_FALSE(isProcessRunning(uniqueName()));
    EXPECT_FALSE(isProcessRunning(QString()));
    EXPECT_FALSE(isProcessRunning(exe.toUpper())); // case-sensitive
}

TEST(ProgramLauncher, MapsEveryFailureAndStartsARealProgram)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString text = dir.filePath(QStringLiteral("notes.txt"));
    const QString noFormat = dir.filePath(QStringLiteral("garbage"));
    const QString script = dir.filePath(QStringLiteral("touch.sh"));
    const QString marker = dir.filePath(QStringLiteral("ran"));
    for (const QString &path : {text, noFormat, script}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(path == script ? "#!/bin/sh\ntouch \"$1\"\n" : "plain bytes\n");
    }
    QFile::setPermissions(noFormat, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    EXPECT_EQ(launchDetached(dir.filePath(QStringLiteral("missing/KvServerAP"))), LaunchResult::PathNotFound);
    EXPECT_EQ(launchDetached(dir.filePath(QStringLiteral("KvServerAP"))), LaunchResult::FileNotFound);
    EXPECT_EQ(launchDetached(text), LaunchResult::BadFormat); // not executable
    EXPECT_EQ(launchDetached(noFormat), LaunchResult::BadFormat);
    EXPECT_EQ(launchDetached(dir.path()), LaunchResult::BadFormat); // a folder

    ASSERT_EQ(launchDetached(script, {marker}), LaunchResult::Started);
    for (int i = 0; i < 200 && !QFile::exists(marker); ++i)
        usleep(10'000);
    EXPECT_TRUE(QFile::exists(marker));
}

TEST(ServerProbe, TellsAListeningPortFromAClosedOne)
{
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    const auto port = std::uint16_t(server.serverPort());
    EXPECT_TRUE(acceptsConnections(QStringLiteral("127.0.0.1"), port));
    server.close();
    EXPECT_FALSE(acceptsConnections(QStringLiteral("127.0.0.1"), port));
    EXPECT_FALSE(acceptsConnections(QStringLiteral("not an address"), port));
    EXPECT_FALSE(acceptsConnections(QStringLiteral("127.0.0.1"), 0));
}

TEST(HostAddresses, ListLoopbackOnceAndOnlyDottedIPv4)
{
    const QStringList addresses = hostIPv4Addresses();
    EXPECT_EQ(addresses.count(QStringLiteral("127.0.0.1")), 1);
    for (const QString &address : addresses)
        EXPECT_EQ(address.count(u'.'), 3) << address.toStdString();
}

TEST(ServerConnectDialog, AnswersConnectDemoOrCancelAndFillsTheBuffer)
{
    {
        ServerConnectDialog dialog(false, {QStringLiteral("10.0.0.5")});
        EXPECT_EQ(dialog.addressBox()->currentText(), QStringLiteral("127.0.0.1"));
        EXPECT_EQ(dialog.connectButton()->text(), QStringLiteral("Connect"));
        dialog.addressBox()->setEditText(QStringLiteral("192.168.1.300"));
        dialog.connectButton()->click();
        EXPECT_EQ(dialog.result(), 0); // still open: a bad address is refused
        EXPECT_FALSE(dialog.errorLabel()->isHidden());
        dialog.addressBox()->setEditText(QStringLiteral("192.168.7.20"));
        dialog.connectButton()->click();
        EXPECT_EQ(dialog.result(), ServerConnectDialog::Connect);
        KvConnectAnswer answer;
        dialog.fillAnswer(answer);
        EXPECT_EQ(answer.Count, 1);
        const KvConnectAnswerEntry expected{{192, 168, 7, 20}, 1};
        EXPECT_EQ(std::memcmp(&answer.Entries[0], &expected, sizeof expected), 0);
    }
    {
        // Typed and confirmed with Enter: a bad address stays out of the list, a good one goes in.
        ServerConnectDialog dialog(false, {QStringLiteral("10.0.0.5")});
        dialog.show();
        QLineEdit *edit = dialog.addressBox()->lineEdit();
        edit->selectAll();
        QTest::keyClicks(edit, QStringLiteral("999.1.1.1"));
        QTest::keyClick(edit, Qt::Key_Return);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_FALSE(dialog.errorLabel()->isHidden());
        EXPECT_EQ(dialog.addressBox()->count(), 2);
        EXPECT_LT(dialog.addressBox()->findText(QStringLiteral("999.1.1.1")), 0);
        edit->selectAll();
        QTest::keyClicks(edit, QStringLiteral("10.9.8.7"));
        QTest::keyClick(edit, Qt::Key_Return);
        EXPECT_EQ(dialog.result(), ServerConnectDialog::Connect);
        EXPECT_GE(dialog.addressBox()->findText(QStringLiteral("10.9.8.7")), 0);
    }
    {
        ServerConnectDialog dialog(true);
        EXPECT_EQ(dialog.demoButton()->text(), QStringLiteral("演示模式"));
        dialog.demoButton()->click();
        EXPECT_EQ(dialog.result(), ServerConnectDialog::Demo);
    }
    {
        ServerConnectDialog dialog(false);
        dialog.open();
        static_cast<QDialog &>(dialog).reject(); // Escape and the close box
        EXPECT_EQ(dialog.result(), ServerConnectDialog::Cancelled);
    }
}
