#include "controls/widgets/NumSpinCtrl.h"
#include "controls/widgets/NumEdit.h"

#include <QTest>
#include <gtest/gtest.h>

TEST(NumSpinCtrlTest, IntegerRangeAndPosition)
{
    EXPECT_EQ(SpinMath::integerRange(0, 100, 1), 100);
    EXPECT_EQ(SpinMath::integerRange(0, 1000000, 1), 32767);
    EXPECT_EQ(SpinMath::integerRange(100, 0, 1), 100);
    EXPECT_EQ(SpinMath::integerRange(0, 1, 0.01), 100);
    EXPECT_EQ(SpinMath::position(50, 0, 100, 100), 50);
    EXPECT_EQ(SpinMath::position(-3, 0, 100, 100), 0);
    EXPECT_EQ(SpinMath::position(250, 0, 100, 100), 100);
    EXPECT_EQ(SpinMath::position(0.5, 0, 1, 3), 2);
}

TEST(NumSpinCtrlTest, StepsClampOrWrapWithTolerance)
{
    struct Case
    {
        double value;
        int delta;
        bool wrap;
        double expected;
    } cases[] = {
        {100, 1, false, 100}, {100, 1, true, 0},   {99.5, 1, false, 100}, {0, -1, false, 0},
        {0, -1, true, 100},   {50, -1, false, 49}, {0.5, -1, false, 0},
    };
    for (const Case &test : cases)
        EXPECT_DOUBLE_EQ(SpinMath::stepValue(test.value, test.delta, 1, 0, 100, test.wrap), test.expected)
            << test.value << " " << test.delta;
    // A result past a bound by no more than the tolerance is kept as it is.
    EXPECT_DOUBLE_EQ(SpinMath::stepValue(99.00000001, 1, 1, 0, 100, false), 100.00000001);
}

TEST(NumSpinCtrlTest, FormatsWithPrecisionAndTrim)
{
    EXPECT_EQ(SpinMath::format(50, -1, true), "50");
    EXPECT_EQ(SpinMath::format(0.1, -1, true), "0.1");
    EXPECT_EQ(SpinMath::format(1e7, -1, true), "1e+07");
    EXPECT_EQ(SpinMath::format(12.5, 2, true), "12.5");
    EXPECT_EQ(SpinMath::format(50, 2, true), "50");
    EXPECT_EQ(SpinMath::format(12.5, 2, false), "12.50");
    EXPECT_EQ(SpinMath::format(12.5, 0, true), "12");
    EXPECT_EQ(SpinMath::format(1e7, 2, true), "1e+07");
    EXPECT_EQ(SpinMath::format(100, 0, true), "100");
}

TEST(NumSpinCtrlTest, RangeAndStepPositionsForTheBuddy)
{
    CNumEdit edit;
    CNumSpinCtrl spin;
    spin.SetBuddy(&edit);
    edit.setText("50");
    spin.SetRangeAndStep(0, 100, 1);
    EXPECT_EQ(spin.GetRange(), 100);
    EXPECT_EQ(spin.GetPos(), 50);
    spin.SetRangeAndStep(0, 1000000, 1);
    EXPECT_EQ(spin.GetRange(), 32767);
    spin.SetRangeAndStep(5, 7, 0);
    EXPECT_EQ(spin.GetRange(), 32767);
    spin.SetRangeAndStep(0, 100, 1);
    spin.SetValue(-3);
    EXPECT_EQ(spin.GetPos(), 0);
    spin.SetValue(250);
    EXPECT_EQ(spin.GetPos(), 100);
}

TEST(NumSpinCtrlTest, ArrowClicksAndKeysStepTheBuddy)
{
    QWidget page;
    auto *edit = new CNumEdit(&page);
    auto *spin = new CNumSpinCtrl(&page);
    spin->setGeometry(100, 0, 16, 22);
    spin->SetBuddy(edit);
    spin->SetDecimals(2);
    edit->setText("99.5");
    spin->SetRangeAndStep(0, 100, 0.25);
    page.show();

    QTest::mouseClick(spin, Qt::LeftButton, {}, QPoint(8, 4));
    EXPECT_EQ(edit->text(), "99.75");
    QTest::mouseClick(spin, Qt::LeftButton, {}, QPoint(8, 4));
    QTest::mouseClick(spin, Qt::LeftButton, {}, QPoint(8, 4));
    EXPECT_EQ(edit->text(), "100");
    QTest::mouseClick(spin, Qt::LeftButton, {}, QPoint(8, 18));
    EXPECT_EQ(edit->text(), "99.75");

    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Down);
    EXPECT_EQ(edit->text(), "99.5");
    QTest::keyClick(edit, Qt::Key_Up);
    EXPECT_EQ(edit->text(), "99.75");

    spin->SetWrap(true);
    edit->setText("100");
    QTest::mouseClick(spin, Qt::LeftButton, {}, QPoint(8, 4));
    EXPECT_EQ(edit->text(), "0");
}

TEST(NumSpinCtrlTest, WithoutBuddyTheValueIsZero)
{
    CNumSpinCtrl spin;
    EXPECT_EQ(spin.GetValue(), 0.0);
    spin.SetBuddyValue(5);
    spin.DeltaPos(1);
    EXPECT_EQ(spin.GetPos(), 1);
}
