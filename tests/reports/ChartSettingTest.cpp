// The chart setting dialog: what it lists for the page that opened it, how "Auto (Running Step)"
// locks its lists, "Del", and how it is opened and closed.
#include "reports/ChartSetting.h"
#include "common/EnglishTexts.h"
#include "controls/widgets/ButtonST.h"
#include "engine/EngineHost.h"
#include "engine/Session.h"
#include "ports/PortCheckGrid.h"
#include "reports/ChartSettingOpener.h"
#include "testpages/DlgAggregate.h"
#include "testpages/DlgLatency.h"
#include "testpages/DlgMixClass.h"
#include "testpages/DlgScale.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

class ChartSettingTest : public testing::Test
{
protected:
    void SetUp() override
    {
        g_Session.resetTables();
        EngineHost::instance().reset();
        english.install();
        ChartSettingOpener::SetConfigPages({&mixClass, &aggregate, &scale, &latency});
    }
    void TearDown() override
    {
        ChartSettingOpener::ClearOpener();
        ChartSettingOpener::SetConfigPages({});
        EngineHost::instance().reset();
    }

    static QStringList rowTexts(CPortCheckGrid *grid)
    {
        QStringList texts;
        for (int row = 0; row < grid->GetRowCount(); ++row) {
            QString text;
            grid->GetRowText(row, text);
            texts << text;
        }
        return texts;
    }
    static QList<bool> enabledStates(const CChartSetting &dialog)
    {
        QList<bool> states;
        for (QWidget *control :
             std::initializer_list<QWidget *>{dialog.TestPairGrid, dialog.FrameSizeGrid, dialog.CurrentGrid,
                                              dialog.AddButton, dialog.DelButton})
            states << control->isEnabled();
        return states;
    }

    // Runs the opener of the page and, once the dialog is up, the check on it; the check closes it.
    int openAndCheck(ChartSettingOpener::Page page, std::uint8_t autoByte,
                     const std::function<void(CChartSetting &)> &check)
    {
        bool ran = false;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<CChartSetting *>(QApplication::activeModalWidget());
            EXPECT_NE(dialog, nullptr);
            if (!dialog)
                return;
            check(*dialog);
            ran = true;
            if (dialog->isVisible())
                dialog->reject();
        });
        const int result = ChartSettingOpener::OnSetting(page, autoByte, nullptr);
        EXPECT_TRUE(ran);
        return result;
    }

    EnglishTexts english;
    CDlgMixClass mixClass;
    CDlgAggregate aggregate;
    CDlgScale scale;
    CDlgLatency latency;
};

} // namespace

TEST_F(ChartSettingTest, ListsTheOpenersPairsAndFrameSizes)
{
    aggregate.PairChecked.fill(0);
    aggregate.PairChecked[2] = 1;
    aggregate.PairChecked[5] = 1;
    aggregate.CustomFrameTable = DefaultCustomFrames();
    ChartSettingOpener::MarkOpener(ChartSettingOpener::Aggregate, 0);
    CChartSetting dialog;
    EXPECT_EQ(dialog.windowTitle(), "Custom Chart Setting");
    EXPECT_EQ(rowTexts(dialog.TestPairGrid), QStringList({"Test Pair 2", "Test Pair 5"}));
    EXPECT_EQ(rowTexts(dialog.FrameSizeGrid),
              QStringList({"64", "128", "256", "512", "1024", "1280", "1518"}));
    for (CPortCheckGrid *grid : {dialog.TestPairGrid, dialog.FrameSizeGrid}) {
        for (int row = 0; row < grid->GetRowCount(); ++row)
            EXPECT_EQ(IsRowChecked(grid, row), 0) << row;
    }
    EXPECT_EQ(dialog.CurrentGrid->GetRowCount(), 0);
    EXPECT_EQ(dialog.CurrentGrid->GetColumnCount(), 2);
    EXPECT_FALSE(dialog.AutoCheck->isChecked());
    EXPECT_EQ(enabledStates(dialog), QList<bool>({true, true, true, true, true}));
    EXPECT_TRUE(dialog.TestPairButton->isHidden());

    // Another opener shows its own test; an empty table adds no row.
    latency.PairChecked.fill(0);
    latency.PairChecked[8] = 1;
    latency.CustomFrameTable.clear();
    ChartSettingOpener::MarkOpener(ChartSettingOpener::Latency, 0);
    CChartSetting other;
    EXPECT_EQ(rowTexts(other.TestPairGrid), QStringList({"Test Pair 8"}));
    EXPECT_EQ(other.FrameSizeGrid->GetRowCount(), 0);
}

TEST_F(ChartSettingTest, FilterPageOrNoOpenerListsNothing)
{
    mixClass.PairChecked.fill(1);
    for (const bool filter : {true, false}) {
        SCOPED_TRACE(filter ? "Filter page" : "no opener");
        if (filter)
            ChartSettingOpener::MarkOpener(ChartSettingOpener::Filter, 1);
        else
            ChartSettingOpener::ClearOpener();
        CChartSetting dialog;
        EXPECT_EQ(dialog.TestPairGrid->GetRowCount(), 0);
        EXPECT_EQ(dialog.FrameSizeGrid->GetRowCount(), 0);
        EXPECT_EQ(dialog.CurrentGrid->GetRowCount(), 0);
        EXPECT_FALSE(dialog.AutoCheck->isChecked());
        EXPECT_EQ(enabledStates(dialog), QList<bool>({true, true, true, true, true}));
    }
}

TEST_F(ChartSettingTest, AutoRunningStepLocksTheListsUntilUnticked)
{
    mixClass.PairChecked[1] = 1;
    ChartSettingOpener::MarkOpener(ChartSettingOpener::MixClass, 1);
    CChartSetting dialog;
    dialog.show();
    EXPECT_TRUE(dialog.AutoCheck->isChecked());
    EXPECT_EQ(enabledStates(dialog), QList<bool>({false, false, false, false, false}));
    QTest::mouseClick(dialog.AutoCheck, Qt::LeftButton);
    EXPECT_EQ(enabledStates(dialog), QList<bool>({true, true, true, true, true}));
    QTest::mouseClick(dialog.AutoCheck, Qt::LeftButton);
    EXPECT_EQ(enabledStates(dialog), QList<bool>({false, false, false, false, false}));
    EXPECT_EQ(ChartSettingOpener::AutoRunningStep(), 1) << "the page's byte is not touched";
}

TEST_F(ChartSettingTest, DelRemovesEveryTickedRow)
{
    CChartSetting dialog;
    dialog.DelButton->click();
    EXPECT_EQ(dialog.CurrentGrid->GetRowCount(), 0) << "nothing to delete";

    const struct
    {
        const char *label;
        int checked;
    } rows[] = {{"a", 0}, {"b", 1}, {"c", 1}, {"d", 0}, {"e", 1}};
    for (int row = 0; row < 5; ++row)
        ASSERT_EQ(dialog.CurrentGrid->AddRow(row, QString::fromLatin1(rows[row].label), rows[row].checked,
                                             nullptr, CChartSetting::kRowCheckStyle),
                  1);
    dialog.DelButton->click();
    EXPECT_EQ(rowTexts(dialog.CurrentGrid), QStringList({"a", "d"}));
    dialog.DelButton->click();
    EXPECT_EQ(rowTexts(dialog.CurrentGrid), QStringList({"a", "d"}));
}

TEST_F(ChartSettingTest, OpenerMarksThePageWhileTheDialogIsOpen)
{
    scale.PairChecked.fill(0);
    scale.PairChecked[3] = 1;
    openAndCheck(ChartSettingOpener::Scale, 1, [](CChartSetting &dialog) {
        EXPECT_EQ(ChartSettingOpener::Bytes(), (std::array<std::uint8_t, 5>{0, 0, 1, 0, 0}));
        EXPECT_EQ(rowTexts(dialog.TestPairGrid), QStringList({"Test Pair 3"}));
        EXPECT_TRUE(dialog.AutoCheck->isChecked());
        EXPECT_EQ(dialog.focusWidget(), dialog.OkButton) << "OK is the first tab stop";
    });
    EXPECT_EQ(ChartSettingOpener::Bytes(), (std::array<std::uint8_t, 5>{}));
    EXPECT_EQ(ChartSettingOpener::OpeningPage(), ChartSettingOpener::kNone);
}

TEST_F(ChartSettingTest, ClosesOnlyWithEscOrEnter)
{
    // "OK", "Add" and Enter on a push button leave it open; Esc closes it.
    const int cancelled = openAndCheck(ChartSettingOpener::MixClass, 0, [](CChartSetting &dialog) {
        dialog.OkButton->click();
        dialog.AddButton->click();
        QTest::keyClick(dialog.OkButton, Qt::Key_Return);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_TRUE(dialog.windowFlags().testFlag(Qt::CustomizeWindowHint));
        EXPECT_FALSE(dialog.windowFlags().testFlag(Qt::WindowCloseButtonHint));
        QTest::keyClick(&dialog, Qt::Key_Escape);
        EXPECT_FALSE(dialog.isVisible());
    });
    EXPECT_EQ(cancelled, QDialog::Rejected);

    // Enter away from the push buttons ends it as OK, with the same (no) effect.
    const int accepted = openAndCheck(ChartSettingOpener::MixClass, 0, [](CChartSetting &dialog) {
        dialog.AutoCheck->setFocus();
        QTest::keyClick(dialog.AutoCheck, Qt::Key_Return);
        EXPECT_FALSE(dialog.isVisible());
    });
    EXPECT_EQ(accepted, QDialog::Accepted);
    EXPECT_EQ(ChartSettingOpener::Bytes(), (std::array<std::uint8_t, 5>{}));
}
