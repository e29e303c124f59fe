// The switch to Chinese through the Language menu, then a walk over every window of the shell as the user
// opens them: no visible text may be left in English, apart from names and numbers.
#include "MainWindowTest.h"

#include "app/DlgDescription.h"
#include "app/DlgWaitProgress.h"
#include "app/KvIGMPTQApp.h"
#include "app/LogDlg.h"
#include "app/MMStatusBar.h"
#include "app/MainFormView.h"
#include "app/MainFrame.h"
#include "app/ProgInfoDlg.h"
#include "app/SelectConfigDlg.h"
#include "app/ToolBarDlg.h"
#include "controls/grid/UGCtrl.h"
#include "controls/widgets/ButtonST.h"
#include "controls/widgets/Label.h"
#include "controls/widgets/StaticEx.h"
#include "engine/VirtualWaitClock.h"
#include "platform/DialogPrompter.h"
#include "platform/IniFile.h"
#include "platform/ScriptedPrompter.h"
#include "ports/ModuleInfodlg.h"
#include "reports/DlgButton.h"
#include "reports/MyPropSheet.h"
#include "run/TestReportDlg.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTabBar>
#include <QTableWidget>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <gtest/gtest.h>
#include <set>

using namespace std::chrono_literals;

namespace {

// Words of Latin letters that the Chinese texts themselves use: names and abbreviations.
std::set<QString> namesOfTheChineseFile(const QString &file)
{
    std::set<QString> names{QStringLiteral("KvAPI")};
    IniFile ini;
    if (!ini.load(file))
        return names;
    static const QRegularExpression word(QStringLiteral("[A-Za-z]{2,}"));
    for (const auto &[key, text] : ini.entries(u"STRINGS")) {
        for (const QRegularExpressionMatch &match : word.globalMatch(text))
            names.insert(match.captured());
    }
    return names;
}

// The texts a window shows: its title, and those of its visible controls.
QStringList shownTexts(QWidget *window)
{
    QStringList texts{window->windowTitle()};
    QList<QWidget *> widgets = window->findChildren<QWidget *>();
    widgets.prepend(window);
    for (QWidget *widget : widgets) {
        if (!widget->isVisible())
            continue;
        if (auto *label = qobject_cast<QLabel *>(widget))
            texts << label->text();
        if (auto *button = qobject_cast<QAbstractButton *>(widget))
            texts << button->text();
        if (auto *box = qobject_cast<QGroupBox *>(widget))
            texts << box->title();
        if (auto *tabs = qobject_cast<QTabBar *>(widget)) {
            for (int i = 0; i < tabs->count(); ++i)
                texts << tabs->tabText(i);
        }
        if (auto *tree = qobject_cast<QTreeWidget *>(widget)) {
            for (QTreeWidgetItemIterator it(tree); *it; ++it)
                texts << (*it)->text(0);
        }
        if (auto *list = qobject_cast<QListWidget *>(widget)) {
            for (int i = 0; i < list->count(); ++i)
                texts << list->item(i)->text();
        }
        if (auto *table = qobject_cast<QTableWidget *>(widget)) {
            for (int i = 0; i < table->columnCount(); ++i)
                texts << table->model()->headerData(i, Qt::Horizontal).toString();
        }
        if (auto *edit = qobject_cast<QTextEdit *>(widget))
            texts << edit->toPlainText();
        if (auto *stat = dynamic_cast<CStaticEx *>(widget))
            texts << stat->GetText();
        if (auto *label = dynamic_cast<CLabel *>(widget))
            texts << label->GetText();
        if (auto *grid = dynamic_cast<CUGCtrl *>(widget)) {
            // The heading cells name the columns and rows.
            for (int col = -1; col < grid->GetColumnCount(); ++col) {
                QString heading;
                grid->GetCellTextTo(col, -1, heading);
                texts << heading;
            }
        }
    }
    return texts;
}

class LanguageWalkTest : public MainWindowTest
{
protected:
    LanguageWalkTest() : MainWindowTest({.fakeLink = true, .menusRelabelled = true})
    {
        // The program's name, as its main sets it, is the title of its message boxes.
        QApplication::setApplicationName(QStringLiteral("Tavrix-IGMP-TQ"));
        // The user has been working in English: the status bar says so.
        view->ShowSystemInfoPage();
        // The user's switch: the menu entry.
        frame->commandAction(CMainFrame::ID_LANGUAGE_CHINESE)->trigger();
        names = namesOfTheChineseFile(folder.languageFile("LangChs.lng"));
    }

    // Every English word of the window's texts, with the window's name.
    void check(QWidget *window, const char *where) { check(shownTexts(window), where); }
    void check(const QStringList &texts, const char *where)
    {
        static const QRegularExpression word(QStringLiteral("[A-Za-z]{2,}"));
        // Web and mail addresses are names, whatever the language.
        static const QRegularExpression address(QStringLiteral(R"(\S+@\S+|(https?://|www\.)\S+)"));
        for (QString text : texts) {
            text.remove(address);
            for (const QRegularExpressionMatch &match : word.globalMatch(text)) {
                if (!names.count(match.captured()))
                    english << QStringLiteral("%1: \"%2\"").arg(QLatin1String(where), text.left(60));
            }
        }
        english.removeDuplicates();
    }

    // Runs a modal step and checks the modal window it opens before closing it.
    template <typename Step> void checkModal(Step step, const char *where)
    {
        bool seen = false;
        QTimer::singleShot(0, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            if (!modal)
                return;
            seen = true;
            check(modal, where);
            if (auto *dialog = qobject_cast<QDialog *>(modal))
                dialog->reject();
            else
                modal->close();
        });
        step();
        EXPECT_TRUE(seen) << where;
    }

    std::set<QString> names;
    QStringList english;
};

} // namespace

TEST_F(LanguageWalkTest, EveryWindowShowsChineseAfterTheSwitch)
{
    QStringList menus;
    for (QAction *popup : frame->menuBar()->actions()) {
        menus << popup->text();
        for (QAction *entry : popup->menu()->actions())
            menus << entry->text();
    }
    check(menus, "menus");
    for (int pane = 0; pane < frame->StatusBar->PaneCount(); ++pane)
        check({frame->StatusBar->PaneText(pane)}, "status bar");
    check(frame.get(), "start page");

    // Every node of the navigation tree, clicked as the user does.
    QTreeWidget *tree = view->NavTree;
    QList<QTreeWidgetItem *> items;
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        items << *it;
    for (QTreeWidgetItem *item : items) {
        tree->scrollToItem(item);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
        check(frame.get(), "tree page");
    }
    // The test panel behind the Apply button, and the report window's counter page.
    QTest::mouseClick(view->ApplyButton, Qt::LeftButton);
    ASSERT_TRUE(view->DescriptionPage->isVisible());
    view->DescriptionPage->ShowObjective(1);
    check(frame.get(), "test panel");
    // The report window: each result page, the counter page and the export bars that a finished run shows.
    view->ShowReportPage();
    CTestReportDlg *report = view->ReportDlg;
    for (int tab = 0; tab <= CTestReportDlg::kCounterPage; ++tab) {
        report->PropSheet->SetActivePage(tab);
        check(frame.get(), tab == CTestReportDlg::kCounterPage ? "counter page" : "result page");
    }
    for (CDlgButton *bar : {report->ExcelBar, report->PdfBar}) {
        bar->ResultsReady = 1;
        bar->show();
        check(bar, "export bar");
    }

    // The log window from the tool bar.
    QTest::mouseClick(frame->ToolBar->Log, Qt::LeftButton);
    ASSERT_TRUE(view->LogDlg->isVisible());
    check(view->LogDlg, "log window");

    // The dialogs of the Help menu.
    checkModal([&] { frame->OnCommand(CMainFrame::ID_APP_ABOUT); }, "about box");
    checkModal([&] { frame->OnCommand(CMainFrame::ID_SYSTEM_REQUIREMENTS); }, "system requirements");
    checkModal(
        [&] {
            CSelectConfigDlg choice(frame.get());
            choice.exec();
        },
        "start-up choice");

    // The busy dialog of the module information, and the wait dialog of a stopping test.
    app->DemoMode = 1;
    VirtualWaitClock clock;
    clock.callAfter(1000ms, [&] {
        if (CProgInfoDlg *busy = app->ProgressBar.Dialog())
            check({busy->Text}, "busy dialog");
    });
    frame->OnCommand(CMainFrame::ID_MODULE_INFO);
    ASSERT_FALSE(frame->ModuleInfoDlg.isNull());
    check(frame->ModuleInfoDlg, "module information");
    CDlgWaitProgress wait;
    wait.show();
    check(&wait, "wait dialog");

    // The buttons of a question and of a note.
    DialogPrompter questions;
    checkModal([&] { questions.messageBox(QStringLiteral("?"), MB_YESNO | MB_ICONQUESTION); }, "question");
    checkModal([&] { questions.messageBox(QStringLiteral("!"), MB_OKCANCEL); }, "note");

    EXPECT_TRUE(english.isEmpty()) << english.join(u'\n').toStdString();
}
