// The Standard, Dynamic and Max Throughput parameter pages: start values, the checks run on every
// change of an edit, the minimum/maximum rate rule, Reset, Enter/Escape and the language texts.
#include "PageFixture.h"

#include "controls/widgets/NumEdit.h"
#include "controls/widgets/NumSpinCtrl.h"
#include "testpages/DynamicDlg.h"
#include "testpages/Ipv4Edit.h"
#include "testpages/MaxThroughputDlg.h"
#include "testpages/StandardDlg.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class ParameterDlgTest : public testing::Test, public PageFixture
{
protected:
    CStandardDlg standard;
    CDynamicDlg dynamic;
    CMaxThroughputDlg maxThroughput;
};

QStringList items(const QComboBox *combo)
{
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts << combo->itemText(i);
    return texts;
}

} // namespace

TEST_F(ParameterDlgTest, NewPagesShowTheirStartValues)
{
    for (CParameterDlg *page : std::initializer_list<CParameterDlg *>{&standard, &dynamic, &maxThroughput}) {
        EXPECT_EQ(page->JoinLeaveEdit->text(), "10");
        EXPECT_EQ(page->TestTimeEdit->text(), "10");
        EXPECT_EQ(page->PacketLengthEdit->text(), "64");
        EXPECT_EQ(page->HostLossEdit->text(), "10");
        EXPECT_EQ(page->NonIgmpLossEdit->text(), "10");
        EXPECT_EQ(page->GroupAddress->text(), "224.0.1.1");
        EXPECT_EQ(page->VersionCombo->currentText(), "Version 2");
        EXPECT_EQ(items(page->PayloadCombo),
                  (QStringList{"0x00", "0x55", "0x55AA", "0x5A5A", "0xAA", "0xFFFF", "Random"}));
        EXPECT_EQ(page->PayloadCombo->currentIndex(), 6);
    }
    EXPECT_EQ(standard.LoadRateEdit->text(), "10");
    EXPECT_EQ(dynamic.MinRateEdit->text(), "10");
    EXPECT_EQ(dynamic.MaxRateEdit->text(), "80");
    EXPECT_EQ(maxThroughput.InitialRateEdit->text(), "50");
    EXPECT_EQ(maxThroughput.LastMaxRate, 80u);
    EXPECT_TRUE(dynamic.RandomButton->isChecked());
    EXPECT_EQ(dynamic.LoadMode, 1);
}

TEST_F(ParameterDlgTest, EveryChangeIsCheckedAtOnce)
{
    const struct
    {
        CNumEdit *edit;
        const char *typed;
        const char *shown;
    } cases[] = {
        {dynamic.TestTimeEdit, "", "10"},
        {standard.TestTimeEdit, "", "1"},
        {standard.JoinLeaveEdit, "", "5"},
        {maxThroughput.JoinLeaveEdit, "51", "50"},
        {dynamic.PacketLengthEdit, "2000", "1514"},
        {standard.LoadRateEdit, "0", "1"},
        {maxThroughput.InitialRateEdit, "101", "100"},
        {standard.HostLossEdit, "", "1"},
        {dynamic.NonIgmpLossEdit, "", "1"},
        {dynamic.HostLossEdit, "1001", "1000"},
        {maxThroughput.HostLossEdit, "", ""},
    };
    for (const auto &c : cases) {
        c.edit->setText(QString::fromLatin1(c.typed));
        EXPECT_EQ(c.edit->text(), QString::fromLatin1(c.shown)) << c.typed;
    }
    // Typing is cut at the field's length; a spin writes a longer value.
    dynamic.TestTimeEdit->setText(QStringLiteral("100"));
    dynamic.TestTimeEdit->end(false);
    QTest::keyClicks(dynamic.TestTimeEdit, QStringLiteral("0x"));
    EXPECT_EQ(dynamic.TestTimeEdit->text(), "100");
    CNumSpinCtrl *testTimeSpin = dynamic.Spins[1];
    testTimeSpin->SetValue(999);
    dynamic.TestTimeEdit->setText(QStringLiteral("999"));
    testTimeSpin->DeltaPos(1);
    EXPECT_EQ(dynamic.TestTimeEdit->text(), "1000");
}

TEST_F(ParameterDlgTest, MinimumStaysBelowMaximumWithinOneToHundred)
{
    for (CParameterDlg *page : std::initializer_list<CParameterDlg *>{&dynamic, &maxThroughput}) {
        const struct
        {
            CNumEdit *edit;
            const char *typed;
            const char *minimum;
            const char *maximum;
        } steps[] = {
            {page->MinRateEdit, "90", "10", "80"},   {page->MaxRateEdit, "5", "10", "80"},
            {page->MaxRateEdit, "120", "10", "100"}, {page->MinRateEdit, "", "1", "100"},
            {page->MinRateEdit, "30", "30", "100"},  {page->MaxRateEdit, "31", "30", "31"},
            {page->MinRateEdit, "31", "30", "31"},
        };
        for (const auto &step : steps) {
            step.edit->setText(QString::fromLatin1(step.typed));
            EXPECT_EQ(page->MinRateEdit->text(), QString::fromLatin1(step.minimum)) << step.typed;
            EXPECT_EQ(page->MaxRateEdit->text(), QString::fromLatin1(step.maximum)) << step.typed;
        }
        // Reset brings back the start values and "Random" as the only mode.
        page->MaxMinButton->click();
        EXPECT_EQ(page->LoadMode, 0);
        page->ResetButton->click();
        EXPECT_EQ(page->MinRateEdit->text(), "10");
        EXPECT_EQ(page->MaxRateEdit->text(), "80");
        EXPECT_TRUE(page->RandomButton->isChecked());
        EXPECT_FALSE(page->MaxMinButton->isChecked());
        EXPECT_EQ(page->LoadMode, 1);
    }
}

TEST_F(ParameterDlgTest, EnterAndEscapeCloseOnlyTheRangePages)
{
    for (CParameterDlg *page : std::initializer_list<CParameterDlg *>{&standard, &dynamic, &maxThroughput}) {
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
            page->show();
            QTest::keyClick(page, key);
            EXPECT_EQ(page->isVisible(), page == &standard) << int(key);
        }
    }
}

TEST_F(ParameterDlgTest, LanguageTextsRelabelTheKeyedControls)
{
    EXPECT_EQ(standard.IgmpBox->title(), "IGMP Field");
    EXPECT_EQ(standard.LoadRateLabel->text(), "Load Rate(%):");
    EXPECT_EQ(standard.ResetButton->text(), "Reset");
    EXPECT_EQ(dynamic.AcceptBox->title(), "Acceptable Field (thousandths)");
    EXPECT_EQ(dynamic.MaxMinButton->text(), "Max_Min");
    EXPECT_EQ(maxThroughput.InitialRateLabel->text(), "Initial Rate(%):");
    EXPECT_EQ(maxThroughput.GroupLabel->text(), "Group Address:");
    g_LangMag.SetLangFile(QStringLiteral(KV_SOURCE_DIR "/resources/Language/LangChs.lng"));
    for (CParameterDlg *page : std::initializer_list<CParameterDlg *>{&standard, &dynamic, &maxThroughput}) {
        page->PayloadCombo->setCurrentIndex(2);
        page->SetLanguageText();
        EXPECT_EQ(page->ResetButton->text(), QString::fromUtf8("重置"));
        EXPECT_EQ(page->PayloadCombo->currentText(), "0x55AA");
    }
    EXPECT_EQ(maxThroughput.HostLossLabel->text(), QString::fromUtf8("主机端口丢包："));
}
