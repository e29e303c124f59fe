// Numbers as text the C way, whatever the user's locale: "%d", "%u" and "%.Nf" formatting, en-US
// digit grouping, and the prefix parsing of the C runtime ("12abc" reads as 12).
#pragma once

#include <QString>
#include <QStringView>
#include <climits>
#include <initializer_list>

QString formatInt(qint64 value);
QString formatUInt(quint64 value);
// "%.*f": fixed notation with the given number of decimals (0..60).
QString formatFixed(double value, int decimals);
// Puts a ',' between each group of three digits of the whole part of a C number text:
// "-1234567.25" -> "-1,234,567.25". Text after the whole part is kept as it is.
QString groupThousands(QStringView number);

// Reads a decimal integer at the start of the text: leading blanks, an optional sign, then digits up to
// the first non-digit; a value beyond [min, max] is clamped. False (value 0) when no digit is there.
bool parseDecimalPrefix(QStringView text, qint64 &value, qint64 min = INT_MIN, qint64 max = INT_MAX);
// The integer at the start of the text, 0 when there is none.
int toIntPrefix(QStringView text);
// The decimal number at the start of the text (blanks, sign, digits, '.', digits, exponent), as the C
// runtime reads it; 0 and *ok false when there is none. Overflow gives +-HUGE_VAL.
double toDoublePrefix(QStringView text, bool *ok = nullptr);
// A text with "%d", "%u" and "%s" placeholders filled in order from the values ("%%" gives "%").
// Never a printf format: any other '%' stays as it is, and a placeholder without a value stays too.
QString fillPlaceholders(const QString &text, std::initializer_list<QString> values);
