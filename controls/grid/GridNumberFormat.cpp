#include "controls/grid/GridNumberFormat.h"

#include <clocale>
#include <cstdlib>
#include <locale.h>

namespace GridNumberFormat {

namespace {

constexpr int kFormatBufferSize = 256;

// Adds one to the decimal digit string, carrying to the left; gives true when a digit was
// carried out of the leftmost position.
bool incrementDigits(QString &digits)
{
    for (qsizetype i = digits.size() - 1; i >= 0; --i) {
        if (digits[i] != u'9') {
            digits[i] = QChar(digits[i].unicode() + 1);
            return false;
        }
        digits[i] = u'0';
    }
    return true;
}

bool allDigits(const QString &text)
{
    for (QChar ch : text) {
        if (ch < u'0' || ch > u'9')
            return false;
    }
    return true;
}

locale_t cLocale()
{
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return locale;
}

} // namespace

std::optional<QString> groupDigits(const QString &plain, int digits)
{
    if (digits < 0)
        return std::nullopt;
    QString text = plain;
    const bool negative = text.startsWith(u'-');
    if (negative)
        text.remove(0, 1);
    const qsizetype point = text.indexOf(kDecimalSeparator);
    QString whole = point < 0 ? text : text.left(point);
    QString fraction = point < 0 ? QString() : text.mid(point + 1);
    if ((whole.isEmpty() && fraction.isEmpty()) || !allDigits(whole) || !allDigits(fraction))
        return std::nullopt;

    if (fraction.size() > digits) {
        const bool roundUp = fraction[digits] >= u'5';
        fraction.truncate(digits);
        if (roundUp) {
            if (incrementDigits(fraction)) {
                if (incrementDigits(whole))
                    whole.prepend(u'1');
            }
        }
    }
    fraction = fraction.leftJustified(digits, u'0');
    while (whole.size() > 1 && whole.startsWith(u'0'))
        whole.remove(0, 1);
    if (whole.isEmpty())
        whole = QStringLiteral("0");

    QString grouped;
    grouped.reserve(whole.size() + whole.size() / 3);
    for (qsizetype i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0)
            grouped += kThousandSeparator;
        grouped += whole[i];
    }
    QString result = negative ? QStringLiteral("-") + grouped : grouped;
    if (digits > 0)
        result += kDecimalSeparator + fraction;
    if (result.size() >= kFormatBufferSize)
        return std::nullopt;
    return result;
}

double parsePrefix(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    return strtod_l(bytes.constData(), nullptr, cLocale());
}

double parseLocaleNumber(const QString &text)
{
    QString plain = text;
    plain.remove(kThousandSeparator);
    plain.remove(kCurrencySymbol);
    return parsePrefix(plain);
}

} // namespace GridNumberFormat
