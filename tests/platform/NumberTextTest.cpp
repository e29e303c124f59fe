#include "platform/NumberText.h"

#include <clocale>
#include <cmath>
#include <gtest/gtest.h>

TEST(NumberText, FormatsTheCWay)
{
    EXPECT_EQ(formatInt(-42), u"-42");
    EXPECT_EQ(formatUInt(18446744073709551615ull), u"18446744073709551615");
    EXPECT_EQ(formatFixed(2.5, 2), u"2.50");
    EXPECT_EQ(formatFixed(0.125, 2), u"0.12"); // exact binary value rounds half to even, as printf
    EXPECT_EQ(formatFixed(-1.0 / 3, 3), u"-0.333");
    EXPECT_EQ(formatFixed(99.999, 0), u"100");
    EXPECT_EQ(formatFixed(1e20, 1), u"100000000000000000000.0");
}

TEST(NumberText, GroupsThousandsEnUsStyle)
{
    const std::pair<const char16_t *, const char16_t *> cases[] = {
        {u"0", u"0"},
        {u"999", u"999"},
        {u"1234", u"1,234"},
        {u"1234567", u"1,234,567"},
        {u"-1234.5", u"-1,234.5"},
        {u"123456.789", u"123,456.789"},
        {u"", u""},
        {u"abc", u"abc"},
    };
    for (const auto &[in, out] : cases)
        EXPECT_EQ(groupThousands(in), QStringView(out));
}

TEST(NumberText, ParsesIntegerPrefixesAndClamps)
{
    struct Case
    {
        const char16_t *text;
        bool found;
        qint64 value;
    };
    const Case cases[] = {
        {u"12abc", true, 12},
        {u"  \t-7", true, -7},
        {u"+5", true, 5},
        {u"", false, 0},
        {u"abc", false, 0},
        {u"- 5", false, 0},
        {u"2147483647", true, INT_MAX},
        {u"2147483648", true, INT_MAX},
        {u"-2147483649", true, INT_MIN},
        {u"99999999999999999999999", true, INT_MAX},
        {u"1.9", true, 1},
    };
    for (const Case &c : cases) {
        qint64 value = -99;
        EXPECT_EQ(parseDecimalPrefix(c.text, value), c.found) << QString::fromUtf16(c.text).toStdString();
        EXPECT_EQ(value, c.value) << QString::fromUtf16(c.text).toStdString();
    }
    qint64 value = 0;
    EXPECT_TRUE(parseDecimalPrefix(u"300", value, 0, 255));
    EXPECT_EQ(value, 255);
    EXPECT_TRUE(parseDecimalPrefix(u"-9223372036854775808", value, LLONG_MIN, LLONG_MAX));
    EXPECT_EQ(value, LLONG_MIN);
    EXPECT_EQ(toIntPrefix(u"42 ms"), 42);
    EXPECT_EQ(toIntPrefix(u"x"), 0);
}

TEST(NumberText, ParsesDoublePrefixesWhateverTheLocale)
{
    // A locale with a decimal comma must not change how numbers are read.
    const char *german = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    struct Case
    {
        const char16_t *text;
        bool ok;
        double value;
    };
    const Case cases[] = {
        {u"12abc", true, 12},  {u" -2.5%", true, -2.5}, {u".5", true, 0.5}, {u"1.", true, 1},
        {u"1e3x", true, 1000}, {u"1e", true, 1},        {u"1e+", true, 1},  {u"2E-2", true, 0.02},
        {u"", false, 0},       {u".", false, 0},        {u"nan", false, 0}, {u"inf", false, 0},
        {u"0x10", true, 0},    {u"1,5", true, 1},
    };
    for (const Case &c : cases) {
        bool ok = !c.ok;
        EXPECT_DOUBLE_EQ(toDoublePrefix(c.text, &ok), c.value) << QString::fromUtf16(c.text).toStdString();
        EXPECT_EQ(ok, c.ok) << QString::fromUtf16(c.text).toStdString();
    }
    EXPECT_TRUE(std::isinf(toDoublePrefix(u"1e999")));
    EXPECT_EQ(toDoublePrefix(u"1e-999"), 0.0);
    EXPECT_EQ(formatFixed(1.5, 1), u"1.5");
    if (german)
        std::setlocale(LC_NUMERIC, "C");
}
