#include "controls/widgets/NumEdit.h"
#include "controls/widgets/NumSpinCtrl.h"
#include "platform/NumberText.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <clocale>
#include <gtest/gtest.h>

namespace {

NumEditConfig floatRange(float minimum, float maximum)
{
    CNumEdit edit;
    edit.SetFloatRange(minimum, maximum);
    return edit.config();
}

NumEditConfig intRange(int minimum, int maximum)
{
    CNumEdit edit;
    edit.SetIntRange(minimum, maximum);
    return edit.config();
}

struct FilterCase
{
    const char *name;
    NumEditConfig config;
    QString text;
    int selStart;
    int selLength;
    QChar typed;
    bool accepted;
};

} // namespace

TEST(NumEditTest, RangesGiveLimitsWidthsAndRangeTexts)
{
    CNumEdit edit;
    edit.SetIntRange(300, 1);
    EXPECT_EQ(edit.config().minimum, 1);
    EXPECT_EQ(edit.config().maximum, 300);
    EXPECT_EQ(edit.config().textLimit, 3);
    EXPECT_EQ(edit.GetRangeText(), "Range is 1~300");

    CNumEdit rate;
    rate.SetFloatRange(0.01f, 100);
    EXPECT_EQ(rate.config().textLimit, 6);
    EXPECT_EQ(rate.config().integerWidth, 3);
    EXPECT_EQ(rate.GetRangeText(), "Range is 0.01~100.00");

    CNumEdit negative;
    negative.SetIntRange(-1000, 5);
    EXPECT_EQ(negative.config().textLimit, 5);
    EXPECT_EQ(negative.GetRangeText(), "Range is -1000~5");
}

TEST(NumEditTest, CharacterFilter)
{
    const NumEditConfig rate = floatRange(0.01f, 100);
    const NumEditConfig count = intRange(1, 300);
    const NumEditConfig signedCount = intRange(-50, 50);
    const NumEditConfig none;
    const FilterCase cases[] = {
        {"decimal after one decimal", rate, "12.3", 4, 0, '4', true},
        {"third decimal at the end", rate, "12.34", 5, 0, '5', false},
        {"third decimal with the caret at the front", rate, "12.34", 0, 0, '5', false},
        {"fourth integer digit", rate, "123", 3, 0, '4', false},
        {"dot into an empty text", rate, "", 0, 0, '.', false},
        {"dot after digits", rate, "12", 2, 0, '.', true},
        {"second dot", rate, "1.2", 3, 0, '.', false},
        {"digit replacing a selected decimal", rate, "12.34", 4, 1, '9', true},
        {"letter", rate, "12", 2, 0, 'a', false},
        {"backspace", rate, "12.34", 5, 0, QChar(8), true},
        {"minus in a positive range", count, "12", 2, 0, '-', false},
        {"minus into an empty positive range", count, "", 0, 0, '-', false},
        {"dot in an integer range", count, "12", 2, 0, '.', false},
        {"digit in an integer range", count, "12", 2, 0, '7', true},
        {"digit past the length limit", count, "123", 3, 0, '4', false},
        {"digit replacing within the limit", count, "123", 0, 1, '4', true},
        {"minus at the front of a signed range", signedCount, "12", 0, 0, '-', true},
        {"minus inside a signed range", signedCount, "12", 1, 0, '-', false},
        {"second minus", signedCount, "-12", 0, 0, '-', false},
        {"no range takes anything", none, "ab", 2, 0, 'x', true},
    };
    for (const FilterCase &test : cases)
        EXPECT_EQ(test.config.acceptsChar(test.text, test.selStart, test.selLength, test.typed),
                  test.accepted)
            << test.name;
}

TEST(NumEditTest, TypingIsFilteredButSetTextIsKeptWhole)
{
    CNumEdit edit;
    edit.SetIntRange(1, 300);
    edit.setText("123456789");
    EXPECT_EQ(edit.text(), "123456789");

    edit.clear();
    QTest::keyClicks(&edit, "12-.a34");
    EXPECT_EQ(edit.text(), "123");
    QTest::keyClick(&edit, Qt::Key_Backspace);
    EXPECT_EQ(edit.text(), "12");
}

TEST(NumEditTest, PasteIsCutAtTheLimit)
{
    CNumEdit edit;
    edit.SetIntRange(1, 300);
    edit.setText("1");
    edit.end(false);
    QApplication::clipboard()->setText("98765");
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit.text(), "198");
}

TEST(NumEditTest, LeavingTheFieldClampsOrCallsBack)
{
    QWidget page;
    auto *edit = new CNumEdit(&page);
    auto *other = new QLineEdit(&page);
    other->move(0, 40);
    int calls = 0;
    QWidget *calledWith = nullptr;
    edit->SetCallback([&](QWidget *parent) {
        ++calls;
        calledWith = parent;
    });
    edit->SetIntRange(1, 5);
    page.show();
    page.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&page));

    edit->setFocus();
    edit->setText("7");
    other->setFocus();
    QTRY_VERIFY(edit->hasFocus());
    EXPECT_EQ(edit->text(), "5");
    EXPECT_EQ(edit->selectedText(), "5");
    EXPECT_EQ(calls, 0);

    other->setFocus();
    EXPECT_EQ(edit->text(), "5");
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(calledWith, &page);
    QCoreApplication::processEvents(); // a posted return of the focus would run here
    EXPECT_TRUE(other->hasFocus());

    edit->setFocus();
    edit->setText("0");
    other->setFocus();
    QTRY_VERIFY(edit->hasFocus());
    EXPECT_EQ(edit->text(), "1");
}

TEST(NumEditTest, FocusOutFixUsesTheModesNumbers)
{
    const NumEditConfig rate = floatRange(0.01f, 100);
    EXPECT_EQ(rate.focusOutFix("150").value_or("kept"), "100.00");
    EXPECT_EQ(rate.focusOutFix("0").value_or("kept"), "0.01");
    EXPECT_EQ(rate.focusOutFix("50.5").value_or("kept"), "kept");
    EXPECT_EQ(rate.focusOutFix("100").value_or("kept"), "kept");
    EXPECT_EQ(rate.focusOutFix("1e300").value_or("kept"), "100.00");
    EXPECT_EQ(rate.focusOutFix("-1e300").value_or("kept"), "0.01");
    const NumEditConfig count = intRange(0, 10);
    EXPECT_EQ(count.focusOutFix("11").value_or("kept"), "10");
    EXPECT_EQ(count.focusOutFix(" 7 ").value_or("kept"), "kept");
    // A pasted text that is no number of the mode gives the minimum; a long number its bound.
    const NumEditConfig trials = intRange(1, 100);
    for (const char *text : {"abc", "12abc", "10^23", "2.5", "", "1e3"})
        EXPECT_EQ(trials.focusOutFix(text).value_or("kept"), "1") << text;
    EXPECT_EQ(trials.focusOutFix("100000000000000000000000").value_or("kept"), "100");
    EXPECT_EQ(trials.focusOutFix("-5").value_or("kept"), "1");
    for (const char *text : {"nan", "inf", "1.2.3"})
        EXPECT_EQ(rate.focusOutFix(text).value_or("kept"), "0.01") << text;
    EXPECT_TRUE(trials.holdsInRange("100"));
    EXPECT_FALSE(trials.holdsInRange("101"));
}

TEST(NumEditTest, NoRangeOnlyCallsBack)
{
    QWidget page;
    auto *edit = new CNumEdit(&page);
    auto *other = new QLineEdit(&page);
    int calls = 0;
    edit->SetCallback([&](QWidget *) { ++calls; });
    page.show();
    page.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&page));
    edit->setFocus();
    edit->setText("-99999");
    other->setFocus();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(edit->text(), "-99999");
    QCoreApplication::processEvents(); // a posted return of the focus would run here
    EXPECT_TRUE(other->hasFocus());
}

TEST(NumEditTest, NumbersIgnoreQtsDefaultLocale)
{
    const QLocale previousDefault;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_DOUBLE_EQ(toDoublePrefix(u"50.5"), 50.5);
    EXPECT_EQ(formatFixed(50.5, 2), "50.50");
    EXPECT_EQ(SpinMath::format(50.5, -1, true), "50.5");
    QLocale::setDefault(previousDefault);
}

TEST(NumEditTest, NumbersAreReadInTheCLocaleWhateverTheCRuntimesLocale)
{
    const char *previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8"))
        GTEST_SKIP() << "the de_DE.UTF-8 locale is not installed";
    EXPECT_DOUBLE_EQ(toDoublePrefix(u"50.5"), 50.5);
    EXPECT_EQ(SpinMath::format(50.5, -1, true), "50.5");
    EXPECT_EQ(floatRange(0.01f, 100).focusOutFix("150.5").value_or(""), "100.00");
    std::setlocale(LC_NUMERIC, saved.c_str());
}
