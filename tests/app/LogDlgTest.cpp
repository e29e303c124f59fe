// The test log: line splitting, Auto Clear against the text limit, the setting, and hiding on close.
#include "app/LogDlg.h"
#include "app/AppSettings.h"
#include "app/MainFormView.h"

#include <QCheckBox>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
QString writeSettings(const QTemporaryDir &dir, const QByteArray &content)
{
    const QString path = dir.filePath(QStringLiteral("Setting.ini"));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(content);
    return path;
}
} // namespace

TEST(LogDlg, SplitsTextIntoLinesThatEachEndWithALineFeed)
{
    const struct
    {
        QStringList appended;
        QString log;
    } cases[] = {
        {{QStringLiteral("abc")}, QStringLiteral("abc\n")},
        {{QStringLiteral("a\nb")}, QStringLiteral("a\nb\n")},
        {{QStringLiteral("a\n\nb\n")}, QStringLiteral("a\n\nb\n")},
        {{QStringLiteral("one\r\ntwo\r\n"), QStringLiteral("x\ry")}, QStringLiteral("one\ntwo\nxy\n")},
        {{QString()}, QStringLiteral("\n")},
    };
    for (const auto &c : cases) {
        CLogDlg log{QString()};
        for (const QString &text : c.appended)
            log.AppendLog(text);
        EXPECT_EQ(log.text(), c.log);
        EXPECT_EQ(log.textLength(), c.log.size());
    }
}

TEST(LogDlg, AutoClearEmptiesTheLogBeforeAPieceWouldPassTheLimit)
{
    QTemporaryDir dir;
    const QString settings = writeSettings(dir, "[Language]\nAutoClear=1\n");
    {
        CLogDlg log(settings, nullptr, 10);
        ASSERT_TRUE(log.autoClearBox()->isChecked());
        log.AppendLog(QStringLiteral("1234\n1234\n")); // 10 characters: exactly the limit
        EXPECT_EQ(log.textLength(), 10);
        log.AppendLog(QStringLiteral("abc\n"));
        EXPECT_EQ(log.text(), QStringLiteral("abc\n"));
        // A last line without a line feed is not tested: past the limit it is refused.
        log.AppendLog(QStringLiteral("de\nfghij"));
        EXPECT_EQ(log.textLength(), 7);
        log.autoClearBox()->setChecked(false);
        EXPECT_EQ(log.AutoClear, 0);
    }
    // The choice is written back when it changes.
    EXPECT_EQ(readSettingInt(settings, u"Language", u"AutoClear", -1), 0);
}

TEST(LogDlg, WithoutAutoClearPiecesBeyondTheLimitAreDropped)
{
    CLogDlg log{QString(), nullptr, 10};
    log.AppendLog(QStringLiteral("12345678\nab\ncd\n"));
    EXPECT_EQ(log.text(), QStringLiteral("12345678\n"));
    log.clearButton()->click();
    EXPECT_EQ(log.textLength(), 0);
    log.AppendLog(QStringLiteral("ab"));
    EXPECT_EQ(log.text(), QStringLiteral("ab\n"));
}

TEST(LogDlg, AutoClearSettingIsReadAndOutOfRangeValuesMeanOff)
{
    const struct
    {
        QByteArray file;
        bool checked;
    } cases[] = {
        {"[Language]\nSelLangFile=LangEng.lng\n", false}, // absent: -1, taken as off
        {"[Language]\nAutoClear=2\n", true},
        {"[Language]\nAutoClear=7\n", false},
        {"[Language]\nAutoClear=x\n", false},
    };
    for (const auto &c : cases) {
        QTemporaryDir dir;
        CLogDlg log(writeSettings(dir, c.file));
        EXPECT_EQ(log.autoClearBox()->isChecked(), c.checked) << c.file.constData();
    }
}

TEST(LogDlg, ClosingHidesAndKeepsTheText)
{
    CMainFormView view;
    CMainFormView::AppendLog(&view, QStringLiteral("* Start Mixed Class Test\n"));
    view.LogDlg->show();
    EXPECT_TRUE(view.LogDlg->close());
    EXPECT_FALSE(view.LogDlg->isVisible());
    view.LogDlg->show();
    EXPECT_EQ(view.LogDlg->text(), QStringLiteral("* Start Mixed Class Test\n"));
    CMainFormView::AppendLog(nullptr, QStringLiteral("nowhere")); // no view: nothing happens
}
