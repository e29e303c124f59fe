// The start-up choice, the System Requirements table, the logo page and the About box.
#include "ShellTestSupport.h"
#include "common/EnglishTexts.h"

#include "app/AboutDlg.h"
#include "app/LangMag.h"
#include "app/LogoDlg.h"
#include "app/SelectConfigDlg.h"
#include "app/SystemRequirements.h"
#include "controls/widgets/Label.h"
#include "engine/ModuleVersionTable.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// The About box of an application in English, its hardware calls recorded.
class AboutDlg : public testing::Test
{
protected:
    AboutDlg() { english.install(); }

    ShellGlobalsGuard guard;
    TempProgramFolder folder;
    FakeLink link;
    CKvIGMPTQApp app{std::make_unique<FakeServices>(folder.path())};
    EnglishTexts english;
};

} // namespace

TEST(SelectConfigDlg, OkGivesTheChoiceEscapeGivesMinusOneEnterDoesNothing)
{
    EnglishTexts english;
    english.install();
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
    EnglishTexts english;
    english.install();
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

// The two links are link labels: blue, underlined, with the hand cursor; a click opens the web page or a
// mail.
TEST_F(AboutDlg, LinksAreLinkLabels)
{
    CAboutDlg about;
    about.show();
    QList<QUrl> opened;
    for (CLabel *label : {about.webLink(), about.mailLink()}) {
        label->SetUrlOpener([&](const QUrl &url) {
            opened << url;
            return true;
        });
        EXPECT_EQ(label->cursor().shape(), Qt::PointingHandCursor);
        EXPECT_TRUE(label->isVisible());
        QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(3, 3));
    }
    EXPECT_EQ(opened, (QList<QUrl>{QUrl(QStringLiteral("https://www.corvane.example/")),
                                   QUrl(QStringLiteral("mailto:support@corvane.example"))}));
    EXPECT_EQ(about.webLink()->GetText(), QStringLiteral("www.corvane.example"));
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

TEST_F(AboutDlg, ShowsVersionsAndTheBuildDate)
{
    CAboutDlg about;
    EXPECT_EQ(about.versionLabel()->text(), QStringLiteral("Version: v1.0b016"));
    EXPECT_EQ(about.libraryLabel()->text(), QStringLiteral("KvAPI:   v2.0.1"));
    EXPECT_EQ(about.buildDateLabel()->text(), QStringLiteral("2017/11/27"));
    EXPECT_EQ(link.calls, QStringList{QStringLiteral("GetVerNum")});
}
