// Reads the numbers of a configuration file's section. A value outside its field's range is never
// narrowed into another value: the field keeps its value and the element is listed, with its text,
// among the refused values that the loader names once after loading.
#pragma once

#include "platform/XmlDocument.h"

#include <QStringList>
#include <limits>
#include <optional>

class ConfigFieldReader
{
public:
    ConfigFieldReader(XmlDocument &xml, QStringList &refused) : m_xml(xml), m_refused(refused) {}

    // The next child of that name when its text is one whole number within [minimum, maximum]; a child
    // with any other text is refused. False when there is no such child or it was refused.
    bool readInRange(QStringView name, qint64 minimum, qint64 maximum, qint64 &value);
    // readInRange of the child found last, for an element whose presence matters apart from its value.
    bool readFoundChild(qint64 minimum, qint64 maximum, qint64 &value);
    // readInRange as a field's type: within the type's range unless narrower bounds are given. The
    // caller stores the value, so that a field of a packed record is written as such.
    template <typename Field>
    std::optional<Field> readField(QStringView name, qint64 minimum = std::numeric_limits<Field>::min(),
                                   qint64 maximum = std::numeric_limits<Field>::max())
    {
        qint64 value = 0;
        if (!readInRange(name, minimum, maximum, value))
            return std::nullopt;
        return static_cast<Field>(value);
    }
    // The next child of that name as a flag: a whole number, 0 for false and any other for true; a
    // child with any other text is refused. Empty when there is no such child or it was refused.
    std::optional<bool> readFlag(QStringView name);
    // Lists the child found last, with its text, among the refused values.
    void refuseChild() { refuseElement(m_xml.GetChildPos()); }
    // Lists the element at that position of the document, with its text: for a value found wrong only
    // once the elements after it are read.
    void refuseElement(int pos);

private:
    XmlDocument &m_xml;
    QStringList &m_refused;
};
