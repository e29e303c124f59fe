#include "platform/DialogPrompter.h"
#include "platform/ScriptedPrompter.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

TEST(ScriptedPrompter, RecordsPromptsAndGivesScriptedOrDefaultAnswers)
{
    Prompter *before = &Prompter::current();
    {
        ScriptedPrompter prompter;
        EXPECT_EQ(&Prompter::current(), &prompter);
        prompter.queueAnswer(IDNO);
        prompter.queueFileName(QStringLiteral("/tmp/a.xml"));

        EXPECT_EQ(Prompter::current().messageBox(QStringLiteral("Stop?"), MB_YESNO | MB_ICONQUESTION), IDNO);
        const std::pair<unsigned, int> defaults[] = {
            {MB_OK, IDOK},
            {MB_OKCANCEL | MB_ICONWARNING, IDOK},
            {MB_YESNO | MB_DEFBUTTON2, IDNO},
            {MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL},
            {MB_RETRYCANCEL, IDRETRY},
            {MB_ABORTRETRYIGNORE | MB_DEFBUTTON2, IDRETRY},
            {MB_OK | MB_DEFBUTTON3, IDOK}, // no third button: the first
        };
        for (const auto &[type, answer] : defaults)
            EXPECT_EQ(Prompter::current().messageBox(QStringLiteral("unscripted"), type), answer) << type;

        EXPECT_EQ(Prompter::current().saveFileName(QStringLiteral("Save"), QStringLiteral("/tmp/"),
                                                   QStringLiteral("XML (*.xml)"), QStringLiteral("xml")),
                  u"/tmp/a.xml");
        EXPECT_TRUE(Prompter::current().openFileName(QStringLiteral("Open"), QString(), QString()).isEmpty());

        EXPECT_EQ(prompter.messages().size(), 8);
        EXPECT_EQ(prompter.messages().front(), u"Stop?");
        ASSERT_EQ(prompter.prompts().size(), 10);
        EXPECT_EQ(prompter.prompts()[0].type, MB_YESNO | MB_ICONQUESTION);
        EXPECT_EQ(prompter.prompts()[8].kind, ScriptedPrompter::Kind::SaveFile);
        EXPECT_EQ(prompter.prompts()[8].filter, u"XML (*.xml)");
        EXPECT_EQ(prompter.prompts()[9].kind, ScriptedPrompter::Kind::OpenFile);
    }
    EXPECT_EQ(&Prompter::current(), before);
}

namespace {

// Runs `act` on the modal dialog once it is up.
void whenModal(std::function<void(QWidget *)> act)
{
    QTimer::singleShot(0, qApp, [act] {
        if (QWidget *modal = QApplication::activeModalWidget())
            act(modal);
        else
            whenModal(act);
    });
}

} // namespace

TEST(DialogPrompter, ShowsTheButtonSetAndIconAndReturnsThePressedButton)
{
    DialogPrompter dialogs;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    qsizetype buttons = 0;
    bool defaultIsNo = false;
    whenModal([&](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        ASSERT_NE(box, nullptr);
        icon = box->icon();
        buttons = box->buttons().size();
        defaultIsNo = box->defaultButton() == box->button(QMessageBox::No);
        box->button(QMessageBox::No)->click();
    });
    EXPECT_EQ(
        dialogs.messageBox(QStringLiteral("Stop the server?"), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2),
        IDNO);
    EXPECT_EQ(icon, QMessageBox::Question);
    EXPECT_EQ(buttons, 2);
    EXPECT_TRUE(defaultIsNo);

    whenModal([](QWidget *modal) { QTest::keyClick(modal, Qt::Key_Escape); });
    EXPECT_EQ(dialogs.messageBox(QStringLiteral("Go on?"), MB_OKCANCEL), IDCANCEL);
}

TEST(DialogPrompter, SaveDialogReturnsTheChosenFileWithItsSuffix)
{
    QTemporaryDir folder;
    DialogPrompter dialogs;
    whenModal([](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        ASSERT_NE(dialog, nullptr);
        dialog->selectFile(QStringLiteral("report"));
        static_cast<QDialog *>(dialog)->accept(); // through QDialog: the file dialog checks the name
    });
    const QString chosen = dialogs.saveFileName(QStringLiteral("Save"), folder.path(),
                                                QStringLiteral("XML files (*.xml)"), QStringLiteral("xml"));
    EXPECT_EQ(chosen, folder.filePath(QStringLiteral("report.xml")));

    whenModal([](QWidget *modal) { qobject_cast<QDialog *>(modal)->reject(); });
    EXPECT_TRUE(dialogs.openFileName(QStringLiteral("Open"), folder.path(), QString()).isEmpty());
}
