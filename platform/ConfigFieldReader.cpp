#include "platform/ConfigFieldReader.h"

#include "platform/NumberText.h"

#include <climits>

namespace {

// A refused text is shown at most this long.
constexpr qsizetype kShownTextChars = 40;

} // namespace

bool ConfigFieldReader::readInt(QStringView name, qint64 &value)
{
    if (!m_xml.FindChildElement(name))
        return false;
    parseDecimalPrefix(m_xml.GetChildText(), value, LLONG_MIN, LLONG_MAX);
    return true;
}

bool ConfigFieldReader::readInRange(QStringView name, qint64 minimum, qint64 maximum, qint64 &value)
{
    if (!m_xml.FindChildElement(name))
        return false;
    bool whole = false;
    const qint64 read = m_xml.GetChildText().trimmed().toLongLong(&whole);
    if (!whole || read < minimum || read > maximum) {
        refuseChild();
        return false;
    }
    value = read;
    return true;
}

void ConfigFieldReader::refuseChild()
{
    // The element's path below the file's root, so that equal names of different sections differ.
    const auto elements = m_xml.GetElemTable();
    QStringList path;
    for (int pos = m_xml.GetChildPos(); pos > 0 && elements[std::size_t(pos)].parent > 0;
         pos = elements[std::size_t(pos)].parent)
        path.prepend(m_xml.GetTagNameAt(pos));
    QString text = m_xml.GetChildText().trimmed();
    if (text.size() > kShownTextChars)
        text = text.left(kShownTextChars) + QStringLiteral("...");
    m_refused << path.join(u'/') + QStringLiteral(" = ") + text;
}
