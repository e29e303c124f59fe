#include "controls/grid/UGCell.h"
#include "controls/grid/GridNumberFormat.h"
#include "platform/SysColor.h"

#include <gtest/gtest.h>

namespace {

TEST(UGCell, NewCellHasDefaultPropertiesAndNoText)
{
    CUGCell cell;
    EXPECT_EQ(cell.m_properties, 0x08008788u);
    EXPECT_EQ(cell.GetDisplayText(), nullptr);
    EXPECT_EQ(cell.m_cellTypeIndex, -1);
    EXPECT_EQ(cell.m_cellTypeParam, -1);
    EXPECT_EQ(cell.m_joinRowOffset, -1);
    EXPECT_EQ(cell.m_joinColOffset, -1);
    EXPECT_EQ(cell.m_backColor, sysColor(SysColor::Window));
    EXPECT_EQ(cell.m_textColor, sysColor(SysColor::WindowText));
}

TEST(UGCell, AssignTextSetsOrClearsTheTextBit)
{
    CUGCell cell;
    cell.m_properties = 0;
    cell.AssignText("x");
    EXPECT_EQ(cell.m_properties, CellProp::Text | CellProp::DataType);
    EXPECT_EQ(cell.m_dataType, CellData::Text);
    cell.AssignText("");
    EXPECT_FALSE(cell.Has(CellProp::Text));
    EXPECT_EQ(cell.GetDisplayText(), nullptr);
}

struct DisplayCase
{
    double number;
    int decimals; // -100: no decimals property
    bool noGrouping;
    const char *expected;
};

class UGCellDisplay : public testing::TestWithParam<DisplayCase>
{
};

TEST_P(UGCellDisplay, FormatsNumbersWithFixedEnglishRules)
{
    const DisplayCase &c = GetParam();
    CUGCell cell;
    cell.SetNumber(c.number);
    if (c.decimals != -100) {
        cell.m_decimals = c.decimals;
        cell.m_properties |= CellProp::Decimals;
    }
    if (c.noGrouping)
        cell.m_properties |= CellProp::NoGrouping;
    const QString *text = cell.GetDisplayText();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->toStdString(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, UGCellDisplay,
    testing::Values(DisplayCase{2.5, -100, false, "2.5"}, DisplayCase{2.5, 2, false, "2.50"},
                    DisplayCase{0, -100, false, "0"}, DisplayCase{1234567, -100, false, "1,234,567"},
                    DisplayCase{-1234.5, -100, false, "-1,234.5"},
                    DisplayCase{0.1, -100, false, "0.10000000000000000555"},
                    DisplayCase{1234567, -100, true, "1234567"}, DisplayCase{0.5, -100, false, "0.5"},
                    DisplayCase{1234.5678, 2, false, "1,234.57"},
                    // A negative decimal count shows whole numbers.
                    DisplayCase{2.4, -3, false, "2"}, DisplayCase{999.999, 2, false, "1,000.00"}));

TEST(UGCell, NumberTooLongForTheFormatBufferIsShownWithoutGrouping)
{
    CUGCell cell;
    cell.SetNumber(1e300);
    const QString *text = cell.GetDisplayText();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->size(), 301);
    EXPECT_FALSE(text->contains(u','));
}

TEST(UGCell, BoolValues)
{
    struct Case
    {
        bool number;
        double value;
        const char *text;
        int expected;
    };
    const Case cases[] = {{true, 0.5, "", 1},    {true, 0, "", 0},   {false, 0, "true", 1},
                          {false, 0, "Tick", 1}, {false, 0, "1", 1}, {false, 0, "x", 0}};
    for (const Case &c : cases) {
        CUGCell cell;
        if (c.number)
            cell.SetNumber(c.value);
        else
            cell.AssignText(c.text);
        EXPECT_EQ(cell.GetBoolValue(), c.expected) << c.text << " " << c.value;
    }
}

TEST(UGCell, MergeOverlaysOnlyPresentProperties)
{
    CUGCell destination;
    destination.AssignText("keep");
    destination.m_backColor = RGB(1, 2, 3);
    CUGCell source;
    source.m_properties = CellProp::TextColor;
    source.m_textColor = RGB(9, 8, 7);
    source.m_backColor = RGB(100, 100, 100);
    source.m_text = "ignored";
    destination.MergeFrom(source);
    EXPECT_EQ(destination.m_textColor, RGB(9, 8, 7));
    EXPECT_EQ(destination.m_backColor, RGB(1, 2, 3));
    EXPECT_EQ(*destination.GetDisplayText(), "keep");
}

TEST(UGCell, ExtraDataIsCopiedAsAValue)
{
    CUGCell source;
    source.m_extraData = QByteArray("abc");
    source.m_properties |= CellProp::ExtraData;
    CUGCell destination;
    destination.MergeFrom(source);
    source.ClearOwnedData();
    EXPECT_EQ(destination.m_extraData, QByteArray("abc"));
    EXPECT_FALSE(source.Has(CellProp::ExtraData));
}

TEST(UGCell, ChangeDataTypeToNumberParsesTheText)
{
    CUGCell cell;
    cell.AssignText("1,234.5");
    cell.ChangeDataType(CellData::Number);
    EXPECT_DOUBLE_EQ(cell.m_number, 1234.5);
    EXPECT_TRUE(cell.m_text.isEmpty());
    EXPECT_EQ(*cell.GetDisplayText(), "1,234.5");
}

TEST(UGCell, ChangeDataTypeToCurrencyAndDate)
{
    CUGCell number;
    number.SetNumber(12.34);
    number.ChangeDataType(CellData::Currency);
    EXPECT_EQ(number.m_text, "12.3");
    EXPECT_DOUBLE_EQ(number.m_number, 12.34);

    CUGCell text;
    text.AssignText("$1,234.56");
    text.ChangeDataType(CellData::Currency);
    EXPECT_DOUBLE_EQ(text.m_number, 1234);

    CUGCell date;
    date.AssignText("1900-01-01");
    date.ChangeDataType(CellData::Date);
    EXPECT_DOUBLE_EQ(date.m_number, 2.0);
}

TEST(UGCell, ParsesNumberPrefixes)
{
    EXPECT_DOUBLE_EQ(CUGCell::ParseLocaleNumber("12abc"), 12);
    EXPECT_DOUBLE_EQ(CUGCell::ParseLocaleNumber("abc"), 0);
    EXPECT_DOUBLE_EQ(CUGCell::ParseLocaleNumber("  -3.5e2x"), -350);
    EXPECT_DOUBLE_EQ(CUGCell::ParseLocaleNumber("$1,000,000.25"), 1000000.25);
}

TEST(UGCell, ParsesDates)
{
    bool valid = false;
    EXPECT_DOUBLE_EQ(CUGCell::ParseDateText("1899-12-31 12:00", &valid), 1.5);
    EXPECT_TRUE(valid);
    EXPECT_DOUBLE_EQ(CUGCell::ParseDateText("1/2/1900", &valid), 3.0);
    EXPECT_DOUBLE_EQ(CUGCell::ParseDateText("hello", &valid), 0.0);
    EXPECT_FALSE(valid);
    EXPECT_DOUBLE_EQ(CUGCell::ParseDateText("2020-13-40", &valid), -1.0);
    EXPECT_FALSE(valid);
}

TEST(GridNumberFormat, RejectsTextsThatAreNotPlainNumbers)
{
    EXPECT_FALSE(GridNumberFormat::groupDigits("nan", 0).has_value());
    EXPECT_FALSE(GridNumberFormat::groupDigits("-", 0).has_value());
    EXPECT_FALSE(GridNumberFormat::groupDigits("1.2.3", 1).has_value());
    EXPECT_EQ(GridNumberFormat::groupDigits(".5", 1), QString("0.5"));
    EXPECT_EQ(GridNumberFormat::groupDigits("-999999", 0), QString("-999,999"));
}

} // namespace
