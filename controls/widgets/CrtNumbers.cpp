#include "CrtNumbers.h"

#include <charconv>
#include <climits>

namespace {

int skipBlanks(const QByteArray &bytes)
{
    int position = 0;
    while (position < bytes.size() &&
           (bytes[position] == ' ' || (bytes[position] >= '\t' && bytes[position] <= '\r')))
        ++position;
    return position;
}

} // namespace

int crtToInt(const QString &text)
{
    const QByteArray bytes = text.toLatin1();
    int position = skipBlanks(bytes);
    bool negative = false;
    if (position < bytes.size() && (bytes[position] == '+' || bytes[position] == '-'))
        negative = bytes[position++] == '-';
    long long value = 0;
    for (; position < bytes.size() && bytes[position] >= '0' && bytes[position] <= '9'; ++position) {
        value = value * 10 + (bytes[position] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

double crtToDouble(const QString &text)
{
    const QByteArray bytes = text.toLatin1();
    int position = skipBlanks(bytes);
    if (position < bytes.size() && bytes[position] == '+' &&
        !(position + 1 < bytes.size() && bytes[position + 1] == '-'))
        ++position;
    double value = 0.0;
    const char *begin = bytes.constData() + position;
    const auto result = std::from_chars(begin, bytes.constData() + bytes.size(), value);
    if (result.ec == std::errc::result_out_of_range)
        return 0.0;
    return result.ec == std::errc() ? value : 0.0;
}

QString crtFormat(double value, char conversion, int precision)
{
    char buffer[400];
    const std::chars_format format = conversion == 'f'   ? std::chars_format::fixed
                                     : conversion == 'e' ? std::chars_format::scientific
                                                         : std::chars_format::general;
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, format, conversion == 'g' ? 6 : precision);
    if (result.ec != std::errc())
        return QString();
    return QString::fromLatin1(buffer, result.ptr - buffer);
}
