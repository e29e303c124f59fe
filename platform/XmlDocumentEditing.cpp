// Editing the document in place (elements and attributes added or changed) and the escaping of
// text and attribute values.
#include "platform/XmlDocument.h"
#include "platform/XmlDocumentText.h"

#include <QFile>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using XmlDocumentText::isNameChar;
using XmlDocumentText::isNameStart;
using XmlDocumentText::npos;
using XmlDocumentText::number;
using XmlDocumentText::toView;
using XmlDocumentText::View;

// ---- editing ----

void XmlDocument::ReplaceSpan(std::size_t offset, std::size_t oldLength, std::u16string_view text)
{
    m_strDoc.replace(offset, oldLength, text);
}

// Moves the start of every element after `pos` in document order (its descendants, its following
// siblings and those of its ancestors) by `delta`.
void XmlDocument::ShiftPositions(int pos, int delta)
{
    int next = m_aPos[pos].firstChild;
    if (next == 0) {
        for (int up = pos; up != 0 && next == 0; up = m_aPos[up].parent)
            next = m_aPos[up].nextSibling;
    }
    while (next != 0) {
        m_aPos[next].start += static_cast<uint32_t>(delta);
        int following = m_aPos[next].firstChild;
        for (int up = next; up != 0 && following == 0; up = m_aPos[up].parent)
            following = m_aPos[up].nextSibling;
        next = following;
    }
}

// Grows the element at `pos` and every element around it, up to the document.
void XmlDocument::AdjustLengths(int pos, int delta)
{
    for (;;) {
        m_aPos[pos].length += static_cast<uint32_t>(delta);
        if (pos == 0)
            return;
        pos = m_aPos[pos].parent;
    }
}

// An empty-element tag "<p/>" gets content: "<p>" CR LF "</p>".
bool XmlDocument::OpenEmptyElement(int pos)
{
    UtXmlElemPos &rec = m_aPos[pos];
    if (rec.endTagLength != 0 || (rec.flags & UtXmlElemPos::NoEndTag) || rec.startTagLength < 3)
        return false;
    const std::u16string endTag = u"</" + std::u16string(TagNameAt(pos)) + u">";
    // "<p//>" would become "<p/>", empty again: a blank before its ">" keeps it a start tag.
    const bool slashBefore = m_strDoc[rec.start + rec.startTagLength - 3] == u'/';
    const std::u16string text = (slashBefore ? u" >\r\n" : u">\r\n") + endTag;
    ReplaceSpan(rec.start + rec.startTagLength - 2, 2, text);
    const int delta = static_cast<int>(text.size()) - 2;
    if (!slashBefore)
        rec.startTagLength -= 1;
    rec.endTagLength = static_cast<uint32_t>(endTag.size());
    AdjustLengths(pos, delta);
    ShiftPositions(pos, delta);
    return true;
}

bool XmlDocument::AddElement(QStringView name, QStringView value)
{
    const std::u16string tagName(toView(name));
    std::u16string node = u"<" + tagName;
    if (value.isEmpty())
        node += u"/>";
    else
        node += u">" + EscapeText(toView(value), 0) + u"</" + tagName + u">";
    node += u"\r\n";

    // After the current element and the line end that follows it, or before the parent's end tag.
    const int parent = m_iPos != 0 ? m_aPos[m_iPos].parent : m_iPosParent;
    std::size_t offset = 0;
    if (m_iPos != 0) {
        const UtXmlElemPos &cur = m_aPos[m_iPos];
        offset = cur.start + cur.length;
        const View after = View(m_strDoc).substr(offset);
        if (after.starts_with(u"\r\n"))
            offset += 2;
        else if (after.starts_with(u"\n"))
            offset += 1;
    } else {
        if (parent != 0)
            OpenEmptyElement(parent);
        const UtXmlElemPos &par = m_aPos[parent];
        offset = par.start + par.length - par.endTagLength;
    }
    if (m_strDoc.size() + node.size() > 0x7FFFFFFFu)
        return false;
    ReplaceSpan(offset, 0, node);

    const int pos = static_cast<int>(m_aPos.size());
    m_aPos.emplace_back();
    UtXmlElemPos &rec = m_aPos.back();
    rec.start = static_cast<uint32_t>(offset);
    rec.startTagLength = static_cast<uint32_t>(value.isEmpty() ? tagName.size() + 3 : tagName.size() + 2);
    rec.endTagLength = value.isEmpty() ? 0 : static_cast<uint32_t>(tagName.size() + 3);
    rec.length = static_cast<uint32_t>(node.size() - 2);
    rec.flags =
        std::min<uint32_t>((m_aPos[parent].flags & UtXmlElemPos::LevelMask) + 1, UtXmlElemPos::LevelMask);
    if (m_iPos != 0)
        LinkAfter(pos, m_iPos);
    else
        LinkAsLastChild(pos, parent);
    const int delta = static_cast<int>(node.size());
    AdjustLengths(parent, delta);
    ShiftPositions(pos, delta);
    m_iPos = pos;
    m_iPosParent = parent;
    m_iPosChild = 0;
    return true;
}

bool XmlDocument::AddElementInt(QStringView name, int value)
{
    return AddElement(name, QString::number(value));
}

bool XmlDocument::SetAttributeAt(int pos, QStringView name, QStringView value)
{
    if (!IsValidPos(pos))
        return false;
    UtXmlElemPos &rec = m_aPos[pos];
    const std::u16string quoted = u"\"" + EscapeText(toView(value), EscapeQuotes) + u"\"";
    UtXmlToken token(m_strDoc);
    std::size_t offset = 0;
    std::size_t oldLength = 0;
    std::u16string text;
    if (token.FindAttribute(rec.start, rec.startTagLength, toView(name))) {
        if (token.valueStart != npos) {
            offset = token.valueStart;
            oldLength = token.valueLength;
            text = quoted;
        } else {
            offset = token.nameEnd;
            text = u"=" + quoted;
        }
    } else {
        offset = rec.start + rec.startTagLength - 1;
        if (m_strDoc[offset - 1] == u'/' && rec.endTagLength == 0)
            --offset;
        text = u" " + std::u16string(toView(name)) + u"=" + quoted;
    }
    if (m_strDoc.size() + text.size() > 0x7FFFFFFFu)
        return false;
    ReplaceSpan(offset, oldLength, text);
    const int delta = static_cast<int>(text.size()) - static_cast<int>(oldLength);
    rec.startTagLength += static_cast<uint32_t>(delta);
    AdjustLengths(pos, delta);
    ShiftPositions(pos, delta);
    return true;
}

// ---- escaping ----

std::u16string XmlDocument::EscapeText(std::u16string_view text, int flags)
{
    std::u16string out;
    out.reserve(text.size() + text.size() / 10 + 7);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        switch (c) {
        case u'<':
            out += u"&lt;";
            break;
        case u'>':
            out += u"&gt;";
            break;
        case u'&': {
            if (flags & EscapeKeepEntities) {
                // An entity reference: "#", a letter, "_" or ":" and then name characters up to ";".
                std::size_t j = i + 1;
                if (j < text.size() && (text[j] == u'#' || isNameStart(text[j]))) {
                    ++j;
                    while (j < text.size() && isNameChar(text[j]))
                        ++j;
                    if (j < text.size() && text[j] == u';') {
                        out += u'&';
                        break;
                    }
                }
            }
            out += u"&amp;";
            break;
        }
        case u'\'':
            out += (flags & EscapeQuotes) ? View(u"&apos;") : View(u"'");
            break;
        case u'"':
            out += (flags & EscapeQuotes) ? View(u"&quot;") : View(u"\"");
            break;
        default:
            out += c;
        }
    }
    return out;
}

namespace {

// The character of a numeric reference "&#...;" body (after the "#"), or -1 when it is no character:
// decimal, or hexadecimal after a lower-case "x", read like the C runtime's strtol.
long numericReference(View body)
{
    int base = 10;
    if (!body.empty() && body[0] == u'x') {
        base = 16;
        body.remove_prefix(1);
    }
    char digits[8] = {};
    for (std::size_t i = 0; i < body.size() && i < 7; ++i)
        digits[i] = body[i] < 0x80 ? static_cast<char>(body[i]) : '?';
    const long value = std::strtol(digits, nullptr, base);
    if (value <= 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return -1;
    return value;
}

} // namespace

std::u16string XmlDocument::UnescapeText(std::u16string_view text, std::ptrdiff_t length)
{
    if (length >= 0 && static_cast<std::size_t>(length) < text.size())
        text = text.substr(0, static_cast<std::size_t>(length));
    static constexpr struct
    {
        View name;
        char16_t c;
    } entities[] = {{u"lt;", u'<'}, {u"gt;", u'>'}, {u"amp;", u'&'}, {u"apos;", u'\''}, {u"quot;", u'"'}};
    std::u16string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t amp = text.find(u'&', i);
        out.append(text.substr(i, amp == npos ? npos : amp - i));
        if (amp == npos)
            break;
        i = amp;
        const View rest = text.substr(amp + 1);
        bool replaced = false;
        if (rest.starts_with(u'#')) {
            // At most 7 characters between "#" and ";".
            const std::size_t semicolon = rest.substr(0, 9).find(u';');
            const long value = semicolon == npos ? -1 : numericReference(rest.substr(1, semicolon - 1));
            if (value > 0xFFFF) {
                out += static_cast<char16_t>(0xD800 + ((value - 0x10000) >> 10));
                out += static_cast<char16_t>(0xDC00 + ((value - 0x10000) & 0x3FF));
            } else if (value > 0) {
                out += static_cast<char16_t>(value);
            }
            if (value > 0) {
                i = amp + 1 + semicolon + 1;
                replaced = true;
            }
        } else {
            for (const auto &entity : entities) {
                if (rest.starts_with(entity.name)) {
                    out += entity.c;
                    i = amp + 1 + entity.name.size();
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced) {
            out += u'&';
            ++i;
        }
    }
    return out;
}
