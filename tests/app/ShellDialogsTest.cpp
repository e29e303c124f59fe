// The start-up choice, the System Requirements table, the logo page and the About box.
#include "ShellTestSupport.h"

#include "app/AboutDlg.h"
#include "app/LangMag.h"
#include "app/LogoDlg.h"
#include "app/SelectConfigDlg.h"
#include "app/SystemRequirements.h"
#include "engine/ModuleVersionTable.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace {
struct EnglishTexts
{
    EnglishTexts() : before(g_LangMag.GetLangFile())
    {
        g_LangMag.SetLangFile(QStringLiteral(KV_SOURCE_DIR "/resources/Language/LangEng.lng"));
    }
    ~EnglishTexts() { g_LangMag.SetLangFile(before); }
    QString before;
};
} // namespace

TEST(SelectConfigDlg, OkGivesTheChoiceEscapeGivesMinusOneEnterDoesNothing)
{
    EnglishTexts english;
    {
        CSelectConfigDlg dialog;
        EXPECT_EQ(dialog.openRadio()->text(), QStringLiteral("Open an Existing Configuration"));
        EXPECT_TRUE(dialog.openRadio()->isChecked());
        dialog.open();
        QTest::keyClick(&dialog, Qt::Key_Return);
        QTest::keyClick(&dialog, Qt::Key_Enter);
        EXPECT_TRUE(dialog.isVisible());
        dialog.okButton()->click();
        EXPECT_EQ(dialog.result(), 1);
    }
    {
        CSelectConfigDlg dialog;
        dialog.open();
        dialog.createRadio()->click();
        dialog.okButton()->click();
        EXPECT_EQ(dialog.result(), 2);
    }
    {
        CSelectConfigDlg dialog;
        dialog.open();
        dialog.createRadio()->click();
        QTest::keyClick(&dialog, Qt::Key_Escape);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), -1);
    }
}

TEST(SystemRequirements, TableListsTheTenModelsInOrderReadOnly)
{
    CSystemRequirements dialog;
    QTableWidget *table = dialog.table();
    ASSERT_EQ(table->rowCount(), 10);
    ASSERT_EQ(table->columnCount(), 3);
    EXPECT_EQ(table->horizontalHeaderItem(0)->text(), QStringLiteral("FPGA"));
    EXPECT_EQ(table->horizontalHeaderItem(1)->text(), QStringLiteral("Firmware"));
    EXPECT_EQ(table->horizontalHeaderItem(2)->text(), QStringLiteral("PROM"));
    EXPECT_EQ(table->findChild<QLabel *>(QStringLiteral("corner"))->text(), QStringLiteral("Module Name"));
    for (int row = 0; row < 10; ++row) {
        EXPECT_EQ(table->verticalHeaderItem(row)->text(), g_ModuleVersionTable[size_t(row)].Model);
        EXPECT_EQ(table->item(row, 1)->text(), g_ModuleVersionTable[size_t(row)].Firmware);
        EXPECT_EQ(table->columnWidth(row % 3), 60);
    }
    EXPECT_EQ(table->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_EQ(table->item(7, 0)->text(), QStringLiteral("v1.4b014")); // QM-M18
}

TEST(LogoDlg, PictureIsStretchedOverTheGreyPage)
{
    CLogoDlg logo;
    logo.resize(400, 300);
    logo.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(logo.picture()->geometry(), logo.rect());
    EXPECT_EQ(logo.palette().color(QPalette::Window), QColor(192, 192, 192));
}

TEST(AboutDlg, ShowsVersionsAndTheBuildDate)
{
    ShellGlobalsGuard guard;
    TempProgramFolder folder;
    FakeLink link;
    CKvIGMPTQApp app(std::make_unique<FakeServices>(folder.path()));
    CAboutDlg about;
    EXPECT_EQ(about.versionLabel()->text(), QStringLiteral("Version: v1.0b016"));
    EXPECT_EQ(about.libraryLabel()->text(), QStringLiteral("KvAPI:   v2.0.1"));
    EXPECT_EQ(about.buildDateLabel()->text(), QStringLiteral("2017/11/27"));
    EXPECT_EQ(link.calls, QStringList{QStringLiteral("GetVerNum")});
}
