// Number texts of the grid cells under fixed en-US rules: decimal point ".", thousands separator
// ",", groups of three, a leading zero and a leading minus sign. Nothing here depends on the
// process locale.
#pragma once

#include <QString>
#include <optional>

namespace GridNumberFormat {

constexpr QChar kDecimalSeparator = u'.';
constexpr QChar kThousandSeparator = u',';
constexpr QChar kCurrencySymbol = u'$';

// Formats a plain number text ("-1234.5", ".5", "7") with thousands grouping and exactly `digits`
// digits after the point (padding with zeros or rounding half up). Gives nothing when the text is
// not a plain number or the result would not fit a 256-character buffer.
std::optional<QString> groupDigits(const QString &plain, int digits);

// Reads the longest leading part of `text` that is a number, as the C runtime's wcstod does
// ("12abc" gives 12, "abc" gives 0), always with "." as the decimal point.
double parsePrefix(const QString &text);

// Removes the thousands separators and the currency symbol, then reads the number prefix.
double parseLocaleNumber(const QString &text);

} // namespace GridNumberFormat
