#include "platform/ColorRef.h"

#include <gtest/gtest.h>

TEST(ColorRef, KeepsBlueInTheHighByteAndRedInTheLow)
{
    // 0xFF8000 is a blue (pass) and 0x0000FF a red (fail): the two must not swap.
    EXPECT_EQ(fromColorRef(0xFF8000), QColor(0x00, 0x80, 0xFF));
    EXPECT_EQ(fromColorRef(0x0000FF), QColor(0xFF, 0x00, 0x00));
    EXPECT_EQ(RGB(0x12, 0x34, 0x56), 0x563412u);
    EXPECT_EQ(toColorRef(QColor(0x12, 0x34, 0x56)), 0x563412u);
}
