// The counter dialog: its grid and buttons, and the workbook it exports, read back with an independent
// reader.
#include "reports/CounterDlg.h"
#include "common/EnglishTexts.h"
#include "common/XlsReadBack.h"
#include "controls/grid/MyCug.h"
#include "controls/widgets/ButtonST.h"
#include "platform/ScriptedPrompter.h"

#include <QCoreApplication>
#include <QFile>
#include <QGroupBox>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class CounterDlgTest : public testing::Test
{
protected:
    void SetUp() override
    {
        EngineHost::instance().reset();
        english.install();
        dialog = std::make_unique<CCounterDlg>();
        dialog->SetButtonTexts();
        dialog->SetRowTitles({"Port No.", "Module Name", "Media Type", "Join/Leave", "Packet Tx", "Byte Tx",
                              "Packet Rx", "Byte Rx", QString::fromUtf8("Packet loss rate(\u2030)"),
                              "Packet loss count", "Result"});
    }
    void TearDown() override { EngineHost::instance().reset(); }

    QString cellText(int col, int row) const
    {
        QString text;
        dialog->CounterGrid->GetCellTextTo(col, row, text);
        return text;
    }

    EnglishTexts english;
    std::unique_ptr<CCounterDlg> dialog;
    QTemporaryDir dir;
};

} // namespace

TEST_F(CounterDlgTest, GridButtonsAndLayout)
{
    MyCug &grid = *dialog->CounterGrid;
    EXPECT_EQ(grid.GetRowCount(), CCounterDlg::kRows);
    EXPECT_EQ(grid.GetColumnCount(), CCounterDlg::kColumns);
    EXPECT_EQ(grid.GetColumnWidth(2), 100);
    EXPECT_EQ(grid.GetRowHeight(10), 25);
    EXPECT_EQ(cellText(0, -1), "Server Port");
    EXPECT_EQ(cellText(2, -1), "Non-IGMP Port");
    EXPECT_EQ(cellText(-1, 0), "Port No.");
    EXPECT_EQ(cellText(-1, 10), "Result");
    CUGCell heading;
    grid.GetCellComposite(-1, 3, &heading);
    EXPECT_EQ(heading.m_alignment, 1);
    grid.GetCellComposite(1, -1, &heading);
    EXPECT_EQ(heading.m_alignment, 4);
    EXPECT_NE(heading.m_font, nullptr);

    EXPECT_EQ(dialog->SaveButton->text(), "Save");
    EXPECT_EQ(dialog->ClearButton->text(), "Clear");
    EXPECT_FALSE(dialog->ClearButton->isEnabled());
    EXPECT_TRUE(dialog->isHidden());

    dialog->show();
    dialog->resize(600, 400);
    QCoreApplication::processEvents();
    EXPECT_EQ(dialog->FrameBox->geometry(), QRect(0, 0, 600, 400));
    EXPECT_EQ(dialog->SaveButton->pos(), QPoint(10, 10));
    EXPECT_EQ(dialog->ClearButton->x(), dialog->SaveButton->geometry().right() + 1 + 15);
    EXPECT_EQ(grid.geometry(), QRect(0, dialog->SaveButton->geometry().bottom() + 11, 600,
                                     400 - 5 - (dialog->SaveButton->geometry().bottom() + 11)));

    grid.SetCellText(1, 4, "12");
    dialog->OnClear();
    EXPECT_EQ(cellText(1, 4), "");
    EXPECT_EQ(cellText(-1, 4), "Packet Tx");
}

TEST_F(CounterDlgTest, WorkbookHoldsTheCounterSheet)
{
    dialog->CounterGrid->SetCellText(0, 4, "1500");
    dialog->CounterGrid->SetCellText(2, 10, "Pass");
    dialog->TesterName = "Bench 4";
    dialog->DutName = QString::fromUtf8("交换机 A");
    ScriptedPrompter prompter;
    const QString path = dir.filePath("counter.xls");
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("an older file");
    old.close();
    prompter.queueFileName(path);
    dialog->SaveButton->click();
    ASSERT_EQ(prompter.prompts().size(), 1);
    EXPECT_EQ(prompter.prompts()[0].fileName, "*.xls");
    EXPECT_TRUE(prompter.messages().isEmpty());

    const QJsonObject read = readXlsBack(path);
    const QJsonArray sheets = read["sheets"].toArray();
    ASSERT_EQ(sheets.size(), 1);
    const QJsonObject sheet = sheets[0].toObject();
    EXPECT_EQ(sheet["name"].toString(), "Counter");
    EXPECT_EQ(xlsCell(sheet, 0, 0)[3].toString(), "Export Counter Report");
    EXPECT_EQ(xlsCell(sheet, 2, 2)[3].toString(),
              "            Corvane Technologies : Tavrix-IGMP-TQ Counter Report");
    EXPECT_EQ(xlsCell(sheet, 5, 0)[3].toString(), "Tester Name:Bench 4");
    EXPECT_EQ(xlsCell(sheet, 6, 0)[3].toString(), QString::fromUtf8("DUT Name:交换机 A"));
    // With three grid columns the time goes to E9 and the columns B to E are 20 characters wide.
    EXPECT_TRUE(QRegularExpression("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$")
                    .match(xlsCell(sheet, 8, 4)[3].toString())
                    .hasMatch());
    const QJsonObject widths = sheet["columnWidths"].toObject();
    for (const char *column : {"1", "4"})
        EXPECT_EQ(widths[column].toInt(), widths["2"].toInt()) << column;
    EXPECT_FALSE(widths.contains("5"));

    // The table from B11: the corner is written empty, then headings and cells.
    const QJsonArray corner = xlsCell(sheet, 10, 1);
    ASSERT_FALSE(corner.isEmpty());
    EXPECT_EQ(corner[3].toString(), "");
    EXPECT_EQ(xlsCell(sheet, 10, 2)[3].toString(), "Server Port");
    EXPECT_EQ(xlsCell(sheet, 10, 4)[3].toString(), "Non-IGMP Port");
    EXPECT_EQ(xlsCell(sheet, 11, 1)[3].toString(), "Port No.");
    EXPECT_EQ(xlsCell(sheet, 19, 1)[3].toString(), QString::fromUtf8("Packet loss rate(\u2030)"));
    EXPECT_EQ(xlsCell(sheet, 15, 2)[3].toString(), "1500");
    EXPECT_EQ(xlsCell(sheet, 21, 4)[3].toString(), "Pass");
    EXPECT_EQ(sheet["rows"].toInt(), 22);
    const QJsonArray formats = read["formats"].toArray();
    const QJsonObject headingFormat = formats[xlsCell(sheet, 10, 3)[4].toInt()].toObject();
    EXPECT_EQ(headingFormat["fillColour"].toInt(), 22);
    EXPECT_EQ(headingFormat["border"].toInt(), 1);
    const QJsonObject emptyCellFormat = formats[xlsCell(sheet, 12, 3)[4].toInt()].toObject();
    EXPECT_EQ(emptyCellFormat["fillColour"].toInt(), 42);
    EXPECT_EQ(emptyCellFormat["border"].toInt(), 1);
    for (const QJsonObject &title : {formats[xlsCell(sheet, 0, 0)[4].toInt()].toObject(),
                                     formats[xlsCell(sheet, 2, 2)[4].toInt()].toObject()}) {
        EXPECT_TRUE(title["bold"].toBool());
        EXPECT_EQ(title["points"].toInt(), 16);
        EXPECT_EQ(title["alignH"].toInt(), 1);
    }
}

TEST_F(CounterDlgTest, CancelWritesNothingAndAFailedSaveIsReported)
{
    ScriptedPrompter prompter;
    prompter.queueFileName(QString());
    ExportCounterWorkbook(*dialog);
    EXPECT_TRUE(prompter.messages().isEmpty());
    EXPECT_TRUE(QDir(dir.path()).isEmpty());

    prompter.queueFileName(dir.filePath("missing/counter.xls"));
    ExportCounterWorkbook(*dialog);
    EXPECT_EQ(prompter.messages(), QStringList{"Save File Fail.\nNo such file or directory"});
    EXPECT_FALSE(QFile::exists(dir.filePath("missing/counter.xls")));
}

TEST(FormatLocalTime, DateAndTimeOfTheLocalZone)
{
    const qint64 time = 1'700'000'000;
    EXPECT_EQ(FormatLocalTime(time),
              QDateTime::fromSecsSinceEpoch(time).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
}
