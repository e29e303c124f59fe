#include "platform/ConfigFieldReader.h"

namespace {

// A refused text is shown at most this long.
constexpr qsizetype kShownTextChars = 40;

} // namespace

bool ConfigFieldReader::readInRange(QStringView name, qint64 minimum, qint64 maximum, qint64 &value)
{
    return m_xml.FindChildElement(name) && readFoundChild(minimum, maximum, value);
}

bool ConfigFieldReader::readFoundChild(qint64 minimum, qint64 maximum, qint64 &value)
{
    bool whole = false;
    const qint64 read = m_xml.GetChildText().trimmed().toLongLong(&whole);
    if (!whole || read < minimum || read > maximum) {
        refuseChild();
        return false;
    }
    value = read;
    return true;
}

std::optional<bool> ConfigFieldReader::readFlag(QStringView name)
{
    qint64 value = 0;
    if (!readInRange(name, std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max(), value))
        return std::nullopt;
    return value != 0;
}

void ConfigFieldReader::refuseElement(int pos)
{
    // The element's path below the file's root, so that equal names of different sections differ.
    const auto elements = m_xml.GetElemTable();
    QStringList path;
    for (int at = pos; at > 0 && elements[std::size_t(at)].parent > 0; at = elements[std::size_t(at)].parent)
        path.prepend(m_xml.GetTagNameAt(at));
    QString text = m_xml.GetTextAt(pos).trimmed();
    if (text.size() > kShownTextChars)
        text = text.left(kShownTextChars) + QStringLiteral("...");
    m_refused << path.join(u'/') + QStringLiteral(" = ") + text;
}
