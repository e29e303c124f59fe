#include "platform/NumberText.h"

#include <algorithm>
#include <charconv>
#include <clocale>
#include <cstdlib>
#include <locale.h>
#include <string>

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\v' || c == u'\f';
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

qsizetype skipBlanks(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    return i;
}

// strtod under the C locale, independent of the process's LC_NUMERIC.
double strtodC(const char *text)
{
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return strtod_l(text, nullptr, cLocale);
}

} // namespace

QString formatInt(qint64 value)
{
    return QString::number(value);
}

QString formatUInt(quint64 value)
{
    return QString::number(value);
}

QString formatFixed(double value, int decimals)
{
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed,
                                      std::clamp(decimals, 0, 60));
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

QString groupThousands(QStringView number)
{
    qsizetype start = (!number.isEmpty() && (number[0] == u'-' || number[0] == u'+')) ? 1 : 0;
    qsizetype end = start;
    while (end < number.size() && isDigit(number[end]))
        ++end;
    QString grouped = number.left(start).toString();
    for (qsizetype i = start; i < end; ++i) {
        if (i > start && (end - i) % 3 == 0)
            grouped += u',';
        grouped += number[i];
    }
    grouped += number.mid(end);
    return grouped;
}

bool parseDecimalPrefix(QStringView text, qint64 &value, qint64 min, qint64 max)
{
    qsizetype i = skipBlanks(text);
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        negative = text[i++] == u'-';
    if (i >= text.size() || !isDigit(text[i])) {
        value = 0;
        return false;
    }
    // Accumulate as a negative number so that the lowest value fits; once beyond the bound, clamp.
    const qint64 limit = negative ? min : -max;
    qint64 accumulated = 0;
    bool clamped = false;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        qint64 next = 0;
        if (clamped || __builtin_mul_overflow(accumulated, 10, &next) ||
            __builtin_sub_overflow(next, text[i].unicode() - u'0', &next) || next < limit)
            clamped = true;
        else
            accumulated = next;
    }
    if (clamped)
        value = negative ? min : max;
    else
        value = std::clamp(negative ? accumulated : -accumulated, min, max);
    return true;
}

int toIntPrefix(QStringView text)
{
    qint64 value = 0;
    parseDecimalPrefix(text, value);
    return static_cast<int>(value);
}

double toDoublePrefix(QStringView text, bool *ok)
{
    // Take the longest prefix of the C decimal form, then convert exactly that.
    std::string number;
    qsizetype i = skipBlanks(text);
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        number += char(text[i++].unicode());
    int mantissaDigits = 0;
    for (; i < text.size() && isDigit(text[i]); ++i, ++mantissaDigits)
        number += char(text[i].unicode());
    if (i < text.size() && text[i] == u'.') {
        number += '.';
        for (++i; i < text.size() && isDigit(text[i]); ++i, ++mantissaDigits)
            number += char(text[i].unicode());
    }
    if (mantissaDigits == 0) {
        if (ok)
            *ok = false;
        return 0.0;
    }
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        std::string exponent = "e";
        if (j < text.size() && (text[j] == u'-' || text[j] == u'+'))
            exponent += char(text[j++].unicode());
        if (j < text.size() && isDigit(text[j])) {
            for (; j < text.size() && isDigit(text[j]); ++j)
                exponent += char(text[j].unicode());
            number += exponent;
        }
    }
    if (ok)
        *ok = true;
    return strtodC(number.c_str());
}

QString fillPlaceholders(const QString &text, std::initializer_list<QString> values)
{
    QString result;
    result.reserve(text.size());
    auto next = values.begin();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'%' || i + 1 >= text.size()) {
            result += c;
            continue;
        }
        const QChar kind = text[i + 1];
        if (kind == u'%') {
            result += u'%';
            ++i;
        } else if ((kind == u'd' || kind == u'u' || kind == u's') && next != values.end()) {
            result += *next++;
            ++i;
        } else {
            result += c;
        }
    }
    return result;
}
