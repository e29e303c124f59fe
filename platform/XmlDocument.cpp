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

using XmlDocumentText::ascii;
using XmlDocumentText::classOf;
using XmlDocumentText::isNameStart;
using XmlDocumentText::isQuote;
using XmlDocumentText::isWhite;
using XmlDocumentText::NodeKind;
using XmlDocumentText::npos;
using XmlDocumentText::number;
using XmlDocumentText::QuoteChar;
using XmlDocumentText::sameText;
using XmlDocumentText::ScanError;
using XmlDocumentText::skipUnmarked;
using XmlDocumentText::TagNameEnd;
using XmlDocumentText::tagNameEnd;
using XmlDocumentText::toQString;
using XmlDocumentText::toView;
using XmlDocumentText::Units;
using XmlDocumentText::View;

namespace {

// The first "<" at or after `from`, or the end of the text.
std::size_t nextTagOpen(View text, std::size_t from)
{
    std::size_t i = skipUnmarked(text, from, [](Units units) { return units == uint16_t{'<'}; });
    while (i < text.size() && text[i] != u'<')
        ++i;
    return i;
}

std::u16string scanErrorText(ScanError error, std::size_t offset)
{
    const char *incorrect = nullptr;
    const char *unterminated = nullptr;
    switch (error) {
    case ScanError::None:
        return {};
    case ScanError::TagNameCharacter:
        incorrect = "tag name character";
        break;
    case ScanError::CommentTag:
        incorrect = "comment tag";
        break;
    case ScanError::Tag:
        incorrect = "tag";
        break;
    case ScanError::BangTag:
        incorrect = "! tag";
        break;
    case ScanError::ElementTag:
        unterminated = "Element tag";
        break;
    case ScanError::ElementEndTag:
        unterminated = "Element end tag";
        break;
    case ScanError::CDataSection:
        unterminated = "CDATA Section";
        break;
    case ScanError::Instruction:
        unterminated = "Processing instruction";
        break;
    case ScanError::Comment:
        unterminated = "Comment";
        break;
    case ScanError::Doctype:
        unterminated = "Doctype";
        break;
    }
    if (incorrect)
        return u"Incorrect " + ascii(incorrect) + u" at offset " + number(static_cast<long long>(offset));
    return ascii(unterminated) + u" at offset " + number(static_cast<long long>(offset)) + u" unterminated";
}

} // namespace

void UtXmlToken::RunTo(View marker, std::size_t from, ScanError unterminated)
{
    const std::size_t found = text.find(marker, from);
    if (found == npos) {
        kind = NodeKind::Error;
        error = unterminated;
        EndAt(text.size());
    } else {
        EndAt(found + marker.size());
    }
}

// An incorrect node runs like text to the next "<" after its own, so that scanning goes on.
void UtXmlToken::RunAsError(ScanError scanError)
{
    kind = NodeKind::Error;
    error = scanError;
    const std::size_t found = text.find(u'<', start + 1);
    EndAt(found == npos ? text.size() : found);
}

// A start tag runs to the first ">" outside quotation marks; "/>" closes an empty-element tag. Its name
// runs to white space, "/" or ">", and may hold quotation marks that pair with later ones.
void UtXmlToken::ScanStartTag()
{
    // Units up to the space mark no more than white space, "/", ">" and quotation marks.
    std::size_t i = skipUnmarked(text, start + 1, [](Units units) {
        return (units <= uint16_t{' '}) | (units == uint16_t{'/'}) | (units == uint16_t{'>'}) |
               (units == uint16_t{'"'}) | (units == uint16_t{'\''});
    });
    while (i < text.size() && !(classOf(text[i]) & (TagNameEnd | QuoteChar)))
        ++i;
    nameLength = (i < text.size() && isQuote(text[i]) ? tagNameEnd(text, i) : i) - start - 1;
    char16_t open = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (open) {
            if (c == open)
                open = 0;
        } else if (c == u'"' || c == u'\'') {
            open = c;
        } else if (c == u'>') {
            kind = text[i - 1] == u'/' ? NodeKind::EmptyTag : NodeKind::StartTag;
            EndAt(i + 1);
            return;
        }
    }
    kind = NodeKind::Error;
    error = ScanError::ElementTag;
    EndAt(text.size());
}

// An end tag runs to its first ">"; its name to white space or that ">".
void UtXmlToken::ScanEndTag()
{
    std::size_t i = start + 2;
    while (i < text.size() && text[i] != u'>' && !isWhite(text[i]))
        ++i;
    nameLength = i - start - 2;
    RunTo(u">", i, ScanError::ElementEndTag);
}

// A document-type declaration runs to its ">", past quoted texts and past the declarations of an
// internal subset in square brackets.
void UtXmlToken::ScanDocType()
{
    char16_t open = 0;
    bool inSubset = false;
    for (std::size_t i = start + 2; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (open) {
            if (c == open)
                open = 0;
        } else if (c == u'"' || c == u'\'') {
            open = c;
        } else if (c == u'[') {
            inSubset = true;
        } else if (c == u']') {
            inSubset = false;
        } else if (c == u'>' && !inSubset) {
            EndAt(i + 1);
            return;
        }
    }
    kind = NodeKind::Error;
    error = ScanError::Doctype;
    EndAt(text.size());
}

bool UtXmlToken::ScanNextNode()
{
    start = next;
    error = ScanError::None;
    if (start >= text.size())
        return false;
    if (text[start] != u'<') {
        // Text up to the next "<"; white space only is its own kind.
        std::size_t i = start;
        while (i < text.size() && isWhite(text[i]))
            ++i;
        kind = NodeKind::Whitespace;
        if (i < text.size() && text[i] != u'<') {
            kind = NodeKind::Text;
            i = nextTagOpen(text, i);
        }
        EndAt(i);
        return true;
    }
    const View rest = text.substr(start);
    const char16_t c = rest.size() > 1 ? rest[1] : 0;
    if (isNameStart(c)) {
        ScanStartTag();
    } else if (c == u'/') {
        kind = NodeKind::EndTag;
        ScanEndTag();
    } else if (c == u'?') {
        kind = NodeKind::Instruction;
        RunTo(u"?>", start + 2, ScanError::Instruction);
    } else if (c != u'!') {
        RunAsError(ScanError::TagNameCharacter);
    } else if (rest.starts_with(u"<!--")) {
        kind = NodeKind::Comment;
        RunTo(u"-->", start + 4, ScanError::Comment);
    } else if (rest.starts_with(u"<!-")) {
        RunAsError(ScanError::CommentTag);
    } else if (rest.starts_with(u"<![CDATA[")) {
        kind = NodeKind::CData;
        RunTo(u"]]>", start + 9, ScanError::CDataSection);
    } else if (rest.starts_with(u"<![")) {
        RunAsError(ScanError::Tag);
    } else if (rest.starts_with(u"<!D")) {
        kind = NodeKind::DocType;
        ScanDocType();
    } else {
        RunAsError(ScanError::BangTag);
    }
    return true;
}

// Quotation marks are paired as the scanner pairs them, also inside names and unquoted values, so that
// an attribute found here never straddles the quoted stretches that decided where the tag ends.
bool UtXmlToken::FindAttribute(std::size_t tagStart, std::size_t tagLength, View name)
{
    const std::size_t end = tagStart + tagLength;
    const auto pastQuoted = [&](std::size_t i) {
        const std::size_t close = text.find(text[i], i + 1);
        return close == npos || close >= end ? end : close + 1;
    };
    // Runs over characters that are not stop characters, skipping quoted stretches.
    const auto runTo = [&](std::size_t i, auto isStop) {
        while (i < end && !isStop(i))
            i = isQuote(text[i]) ? pastQuoted(i) : i + 1;
        return i;
    };
    std::size_t i = runTo(
        tagStart + 1, [&](std::size_t k) { return isWhite(text[k]) || text[k] == u'/' || text[k] == u'>'; });
    for (;;) {
        while (i < end && (isWhite(text[i]) || text[i] == u'/' || text[i] == u'?'))
            ++i;
        if (i >= end || text[i] == u'>')
            return false;
        const std::size_t nameStart = i;
        i = runTo(i, [&](std::size_t k) {
            const char16_t c = text[k];
            return isWhite(c) || c == u'=' || c == u'>' || c == u'/' || c == u'?';
        });
        nameEnd = i;
        valueStart = npos;
        valueLength = 0;
        quote = 0;
        std::size_t j = i;
        while (j < end && isWhite(text[j]))
            ++j;
        if (j < end && text[j] == u'=') {
            ++j;
            while (j < end && isWhite(text[j]))
                ++j;
            valueStart = j;
            if (j < end && isQuote(text[j])) {
                quote = text[j];
                j = pastQuoted(j);
            } else {
                // An unquoted value ends at white space or at the tag's closing ">" or "/>".
                j = runTo(j, [&](std::size_t k) {
                    return isWhite(text[k]) || text[k] == u'>' ||
                           (text[k] == u'/' && k + 1 < end && text[k + 1] == u'>');
                });
            }
            valueLength = j - valueStart;
            i = j;
        }
        if (text.substr(nameStart, nameEnd - nameStart) == name)
            return true;
    }
}

struct XmlDocument::OpenElement
{
    int pos;
    std::size_t nameStart;
    std::size_t nameLength;
};

XmlDocument::XmlDocument()
{
    ParseText({});
}

bool XmlDocument::ParseText(QStringView text)
{
    m_strDoc.assign(toView(text));
    m_strResult.clear();
    m_iPosParent = m_iPos = m_iPosChild = 0;
    m_aPos.assign(1, UtXmlElemPos{});
    m_aPos[0].length = static_cast<uint32_t>(m_strDoc.size());
    if (m_strDoc.empty()) {
        m_strResult = u"Empty document";
        return false;
    }
    // Offsets are 32-bit; a larger text is refused rather than indexed wrongly.
    if (m_strDoc.size() > 0x7FFFFFFFu) {
        m_aPos[0].length = 0;
        m_strDoc.clear();
        m_strResult = u"Document too large";
        return false;
    }
    ParseElements();
    const char16_t *rootError = nullptr;
    if (m_aPos[0].firstChild == 0)
        rootError = u"No root element";
    else if (m_aPos[m_aPos[0].firstChild].nextSibling != 0)
        rootError = u"Root element has sibling";
    if (rootError) {
        // Joined to the parser's own error, which comes first.
        if (!m_strResult.empty())
            m_strResult += u"; ";
        m_strResult += rootError;
    }
    return IsWellFormed();
}

bool XmlDocument::IsWellFormed() const
{
    if (m_aPos.size() < 2 || (m_aPos[0].flags & UtXmlElemPos::NotWellFormed))
        return false;
    const int root = m_aPos[0].firstChild;
    return root != 0 && m_aPos[root].nextSibling == 0;
}

void XmlDocument::SetError(const std::u16string &text)
{
    if (m_strResult.empty())
        m_strResult = text;
}

void XmlDocument::MarkIllFormed(const std::vector<OpenElement> &stack)
{
    m_aPos[0].flags |= UtXmlElemPos::NotWellFormed;
    if (!stack.empty())
        m_aPos[stack.back().pos].flags |= UtXmlElemPos::IllFormedContent;
}

void XmlDocument::LinkAsLastChild(int pos, int parent)
{
    UtXmlElemPos &rec = m_aPos[pos];
    rec.parent = parent;
    rec.nextSibling = 0;
    const int first = m_aPos[parent].firstChild;
    if (first == 0) {
        m_aPos[parent].firstChild = pos;
        rec.flags |= UtXmlElemPos::FirstChild;
        rec.prevSibling = pos;
    } else {
        const int last = m_aPos[first].prevSibling;
        m_aPos[last].nextSibling = pos;
        rec.prevSibling = last;
        m_aPos[first].prevSibling = pos;
    }
}

void XmlDocument::LinkAfter(int pos, int previous)
{
    UtXmlElemPos &rec = m_aPos[pos];
    const int parent = m_aPos[previous].parent;
    rec.parent = parent;
    rec.prevSibling = previous;
    rec.nextSibling = m_aPos[previous].nextSibling;
    if (rec.nextSibling != 0)
        m_aPos[rec.nextSibling].prevSibling = pos;
    else
        m_aPos[m_aPos[parent].firstChild].prevSibling = pos;
    m_aPos[previous].nextSibling = pos;
}

// Closes the open elements stack[from..] that have no end tag: each is cut to its start tag and its
// children follow it as siblings, all under `target`. Each child list is moved once, in document order,
// so a chain of unclosed elements costs time in proportion to their children.
void XmlDocument::CloseWithoutEndTag(std::vector<OpenElement> &stack, std::size_t from, int target)
{
    for (std::size_t k = from; k < stack.size(); ++k) {
        UtXmlElemPos &rec = m_aPos[stack[k].pos];
        rec.flags |= UtXmlElemPos::NoEndTag;
        rec.length = rec.startTagLength;
        rec.endTagLength = 0;
        const int first = rec.firstChild;
        if (first == 0)
            continue;
        rec.firstChild = 0;
        const int last = m_aPos[first].prevSibling;
        for (int child = first; child != 0; child = m_aPos[child].nextSibling)
            m_aPos[child].parent = target;
        // The target's list is not empty: it ends with the element just closed.
        const int targetFirst = m_aPos[target].firstChild;
        const int targetLast = m_aPos[targetFirst].prevSibling;
        m_aPos[first].flags &= ~UtXmlElemPos::FirstChild;
        m_aPos[targetLast].nextSibling = first;
        m_aPos[first].prevSibling = targetLast;
        m_aPos[targetFirst].prevSibling = last;
    }
    stack.resize(from);
}

void XmlDocument::EndElement(int pos, std::size_t endTagStart, std::size_t endTagLength)
{
    UtXmlElemPos &rec = m_aPos[pos];
    rec.length = static_cast<uint32_t>(endTagStart + endTagLength - rec.start);
    rec.endTagLength = static_cast<uint32_t>(endTagLength);
}

void XmlDocument::ParseElements()
{
    std::vector<OpenElement> stack;
    m_aPos.reserve(m_strDoc.size() / 32 + 16);
    const View doc = m_strDoc;
    UtXmlToken token(doc);
    for (;;) {
        // Text is not indexed and holds no errors: the next node starts at the next "<".
        const std::size_t at = nextTagOpen(doc, token.next);
        token.next = at;
        // The usual end tag, "</" with the innermost open element's name and ">", is matched in place.
        if (!stack.empty() && at + 1 < doc.size() && doc[at] == u'<' && doc[at + 1] == u'/') {
            const OpenElement &inner = stack.back();
            const std::size_t close = at + 2 + inner.nameLength;
            if (close < doc.size() && doc[close] == u'>' &&
                sameText(doc.data() + at + 2, doc.data() + inner.nameStart, inner.nameLength)) {
                EndElement(inner.pos, at, close + 1 - at);
                stack.pop_back();
                token.next = close + 1;
                continue;
            }
        }
        if (!token.ScanNextNode())
            break;
        switch (token.kind) {
        case NodeKind::StartTag:
        case NodeKind::EmptyTag: {
            const int parent = stack.empty() ? 0 : stack.back().pos;
            const int pos = static_cast<int>(m_aPos.size());
            m_aPos.emplace_back();
            UtXmlElemPos &rec = m_aPos.back();
            rec.start = static_cast<uint32_t>(token.start);
            rec.startTagLength = static_cast<uint32_t>(token.length);
            rec.flags = std::min<uint32_t>((m_aPos[0].flags & UtXmlElemPos::LevelMask) + stack.size() + 1,
                                           UtXmlElemPos::LevelMask);
            LinkAsLastChild(pos, parent);
            if (token.kind == NodeKind::EmptyTag)
                rec.length = rec.startTagLength;
            else
                stack.push_back({pos, token.start + 1, token.nameLength});
            break;
        }
        case NodeKind::EndTag: {
            const View name = doc.substr(token.start + 2, token.nameLength);
            std::size_t k = stack.size();
            while (k > 0 && !(stack[k - 1].nameLength == name.size() &&
                              sameText(doc.data() + stack[k - 1].nameStart, name.data(), name.size())))
                --k;
            if (k == 0) {
                MarkIllFormed(stack);
                SetError(u"No start tag for end tag '" + std::u16string(name) + u"' at offset " +
                         number(static_cast<long long>(token.start)));
                break;
            }
            const OpenElement matched = stack[k - 1];
            if (k < stack.size()) {
                const OpenElement &inner = stack.back();
                m_aPos[0].flags |= UtXmlElemPos::NotWellFormed;
                SetError(u"End tag '" + std::u16string(name) + u"' at offset " +
                         number(static_cast<long long>(token.start)) + u" does not match start tag '" +
                         std::u16string(doc.substr(inner.nameStart, inner.nameLength)) + u"' at offset " +
                         number(static_cast<long long>(m_aPos[inner.pos].start)));
                CloseWithoutEndTag(stack, k, matched.pos);
            }
            EndElement(matched.pos, token.start, token.length);
            stack.pop_back();
            break;
        }
        case NodeKind::Error:
            MarkIllFormed(stack);
            SetError(scanErrorText(token.error, token.start));
            break;
        default:
            break;
        }
    }
    if (!stack.empty()) {
        const OpenElement &inner = stack.back();
        m_aPos[0].flags |= UtXmlElemPos::NotWellFormed;
        SetError(u"Element '" + std::u16string(doc.substr(inner.nameStart, inner.nameLength)) +
                 u"' at offset " + number(static_cast<long long>(m_aPos[inner.pos].start)) + u" not ended");
        CloseWithoutEndTag(stack, 0, 0);
    }
}

// ---- navigation ----

std::u16string_view XmlDocument::TagNameAt(int pos) const
{
    if (!IsValidPos(pos))
        return {};
    const UtXmlElemPos &rec = m_aPos[pos];
    const View tag = View(m_strDoc).substr(rec.start, rec.startTagLength);
    return tag.substr(1, tagNameEnd(tag, 1) - 1);
}

QString XmlDocument::GetTagNameAt(int pos) const
{
    return toQString(TagNameAt(pos));
}

bool XmlDocument::FindElement(QStringView name)
{
    const View wanted = toView(name);
    int pos = m_iPos != 0 ? m_aPos[m_iPos].nextSibling : m_aPos[m_iPosParent].firstChild;
    for (; pos != 0; pos = m_aPos[pos].nextSibling) {
        if (wanted.empty() || TagNameAt(pos) == wanted) {
            m_iPos = pos;
            m_iPosParent = m_aPos[pos].parent;
            m_iPosChild = 0;
            return true;
        }
    }
    return false;
}

bool XmlDocument::FindChildElement(QStringView name)
{
    if (m_iPos == 0) {
        m_iPos = m_aPos[m_iPosParent].firstChild;
        m_iPosChild = 0;
        if (m_iPos == 0)
            return false;
    }
    const View wanted = toView(name);
    int pos = m_iPosChild != 0 ? m_aPos[m_iPosChild].nextSibling : m_aPos[m_iPos].firstChild;
    for (; pos != 0; pos = m_aPos[pos].nextSibling) {
        if (wanted.empty() || TagNameAt(pos) == wanted) {
            m_iPosChild = pos;
            return true;
        }
    }
    return false;
}

bool XmlDocument::EnterElement()
{
    if (m_iPos == 0)
        return false;
    m_iPosParent = m_iPos;
    m_iPos = m_iPosChild;
    m_iPosChild = 0;
    return true;
}

bool XmlDocument::LeaveElement()
{
    if (m_iPosParent == 0)
        return false;
    m_iPosChild = m_iPos;
    m_iPos = m_iPosParent;
    m_iPosParent = m_aPos[m_iPos].parent;
    return true;
}

QString XmlDocument::GetTextAt(int pos) const
{
    if (!IsValidPos(pos))
        return {};
    const UtXmlElemPos &rec = m_aPos[pos];
    if (rec.firstChild != 0 || rec.endTagLength == 0)
        return {};
    const std::size_t contentEnd = rec.start + rec.length - rec.endTagLength;
    UtXmlToken token(View(m_strDoc).substr(0, contentEnd), rec.start + rec.startTagLength);
    std::u16string text;
    while (token.ScanNextNode()) {
        if (token.kind == NodeKind::Text || token.kind == NodeKind::Whitespace)
            text += UnescapeText(token.text.substr(token.start, token.length));
        else if (token.kind == NodeKind::CData)
            text += token.text.substr(token.start + 9, token.length - 12);
    }
    return toQString(text);
}

QString XmlDocument::GetAttributeAt(int pos, QStringView name) const
{
    if (!IsValidPos(pos))
        return {};
    const UtXmlElemPos &rec = m_aPos[pos];
    UtXmlToken token(m_strDoc);
    if (!token.FindAttribute(rec.start, rec.startTagLength, toView(name)) || token.valueStart == npos)
        return {};
    View value = token.text.substr(token.valueStart, token.valueLength);
    if (token.quote) {
        value.remove_prefix(1);
        if (!value.empty() && value.back() == token.quote)
            value.remove_suffix(1);
    }
    return toQString(UnescapeText(value));
}
