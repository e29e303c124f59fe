#include "platform/XmlDocument.h"

#include <QFile>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

using View = std::u16string_view;

View toView(QStringView text)
{
    return View(reinterpret_cast<const char16_t *>(text.utf16()), static_cast<std::size_t>(text.size()));
}

QString toQString(View text)
{
    return QString(reinterpret_cast<const QChar *>(text.data()), static_cast<qsizetype>(text.size()));
}

std::u16string ascii(std::string_view text)
{
    return std::u16string(text.begin(), text.end());
}

std::u16string number(long long value)
{
    return ascii(std::to_string(value));
}

// Classes of the characters below 128, looked up in one step while scanning.
enum CharClass : uint8_t
{
    WhiteChar = 1,     // " \t\n\r"
    NameStartChar = 2, // letters, "_", ":"
    NameChar = 4,      // name start characters, digits, "-", "."
    TagNameEnd = 8,    // ends a tag name: white space, "/", ">"
    QuoteChar = 16,
};

constexpr auto charClasses = [] {
    std::array<uint8_t, 128> classes{};
    for (const char c : {' ', '\t', '\n', '\r'})
        classes[c] = WhiteChar | TagNameEnd;
    for (int c = 0; c < 128; ++c) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':')
            classes[c] = NameStartChar | NameChar;
        else if ((c >= '0' && c <= '9') || c == '-' || c == '.')
            classes[c] = NameChar;
    }
    classes['/'] = classes['>'] = TagNameEnd;
    classes['"'] = classes['\''] = QuoteChar;
    return classes;
}();

// Characters of 128 and above count as letters, so that names in any script are accepted.
uint8_t classOf(char16_t c)
{
    return c < 128 ? charClasses[c] : NameStartChar | NameChar;
}

bool isWhite(char16_t c)
{
    return classOf(c) & WhiteChar;
}

bool isNameStart(char16_t c)
{
    return classOf(c) & NameStartChar;
}

bool isNameChar(char16_t c)
{
    return classOf(c) & NameChar;
}

bool isQuote(char16_t c)
{
    return c == u'"' || c == u'\'';
}

// The end of the tag name that starts at `from`: the first white space, "/" or ">" at or after it.
std::size_t tagNameEnd(View text, std::size_t from)
{
    while (from < text.size() && !(classOf(text[from]) & TagNameEnd))
        ++from;
    return from;
}

// Equal texts, compared as memory.
bool sameText(const char16_t *a, const char16_t *b, std::size_t length)
{
    return std::memcmp(a, b, length * sizeof(char16_t)) == 0;
}

constexpr std::size_t npos = View::npos;

// Kinds of node the scanner reads.
enum class NodeKind
{
    StartTag,
    EmptyTag,
    EndTag,
    Instruction,
    Comment,
    CData,
    DocType,
    Text,
    Whitespace,
    Error
};

enum class ScanError
{
    None,
    TagNameCharacter,
    CommentTag,
    Tag,
    BangTag,
    ElementTag,
    ElementEndTag,
    CDataSection,
    Instruction,
    Comment,
    Doctype,
};

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

// The scanner's state over a text: reads one node after the other from the scan offset.
struct UtXmlToken
{
    explicit UtXmlToken(View text, std::size_t from = 0) : text(text), next(from) {}

    // Reads the node at the scan offset; false at the end of the text.
    bool ScanNextNode();
    // Walks the attributes of the start tag [tagStart, tagStart + tagLength) for the named one.
    bool FindAttribute(std::size_t tagStart, std::size_t tagLength, View name);

    View text;
    std::size_t next = 0;
    // The node just read; for a start or end tag also the length of its name, which follows "<" or "</".
    NodeKind kind = NodeKind::Text;
    std::size_t start = 0;
    std::size_t length = 0;
    std::size_t nameLength = 0;
    ScanError error = ScanError::None;
    // The attribute FindAttribute found: its name's end and its value (with the quotes when quoted).
    std::size_t nameEnd = 0;
    std::size_t valueStart = npos;
    std::size_t valueLength = 0;
    char16_t quote = 0;

private:
    void EndAt(std::size_t end)
    {
        length = end - start;
        next = end;
    }
    // The node runs to the end of the given marker, or is unterminated up to the end of the text.
    void RunTo(View marker, std::size_t from, ScanError unterminated);
    void RunAsError(ScanError scanError);
    void ScanStartTag();
    void ScanEndTag();
    void ScanDocType();
};

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
    std::size_t i = start + 1;
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
            i = std::min(text.find(u'<', i), text.size());
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
        // The usual end tag, "</" with the innermost open element's name and ">", is matched in place.
        const std::size_t at = token.next;
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

// ---- files ----

QString XmlDocument::GetLastErrorText()
{
    const char *text = std::strerror(errno);
    return QString::fromLocal8Bit(text, static_cast<qsizetype>(std::strcspn(text, "\r\n")));
}

namespace {

// Keeps errno as the failure left it while the result text is formed.
QString failureText()
{
    const int saved = errno;
    QString text = XmlDocument::GetLastErrorText();
    errno = saved;
    return text;
}

bool writeAll(int fd, const char *data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// Writes the bytes to a new file beside `path` and renames it over `path`: the file is replaced whole
// or not at all.
bool replaceFile(const QByteArray &path, const std::string &bytes)
{
    int fd = -1;
    QByteArray temp;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temp = path + ".tmp" + QByteArray::number(::getpid()) + '.' + QByteArray::number(attempt);
        fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return false;
    }
    if (fd < 0)
        return false;
    bool ok = writeAll(fd, bytes.data(), bytes.size()) && ::fsync(fd) == 0;
    int saved = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        saved = errno;
    }
    if (ok && std::rename(temp.constData(), path.constData()) != 0) {
        ok = false;
        saved = errno;
    }
    if (!ok)
        ::unlink(temp.constData());
    errno = saved;
    return ok;
}

} // namespace

bool XmlDocument::ReadTextFile(const QString &path, QString &text, QString &result)
{
    std::FILE *file = std::fopen(QFile::encodeName(path).constData(), "rb");
    if (!file) {
        result = failureText();
        return false;
    }
    std::string bytes;
    char buffer[65536];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.append(buffer, got);
    // A file that opens but cannot be read (a folder, an I/O error) fails as well.
    const bool readFailed = std::ferror(file) != 0;
    const int saved = errno;
    std::fclose(file);
    if (readFailed) {
        errno = saved;
        result = failureText();
        return false;
    }
    const std::u16string decoded = DecodeUtf8(bytes);
    text = toQString(decoded);
    result = QStringLiteral("%1 bytes to %2 wide chars").arg(bytes.size()).arg(decoded.size());
    return true;
}

bool XmlDocument::WriteTextFile(const QString &path, QStringView text, QString &result)
{
    const View wide = toView(text);
    std::string bytes(EncodeUtf8(wide, nullptr), '\0');
    EncodeUtf8(wide, bytes.data());
    if (!replaceFile(QFile::encodeName(path), bytes)) {
        result = failureText();
        return false;
    }
    result = QStringLiteral("%1 wide chars to %2 bytes").arg(wide.size()).arg(bytes.size());
    return true;
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
    const std::u16string text = u">\r\n" + endTag;
    ReplaceSpan(rec.start + rec.startTagLength - 2, 2, text);
    const int delta = static_cast<int>(text.size()) - 2;
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

// ---- UTF-8 ----

int XmlDocument::DecodeUtf8Char(const unsigned char *&p, const unsigned char *end)
{
    const unsigned char lead = *p;
    int count = 0;
    int codePoint = 0;
    int minimum = 0;
    if (lead < 0x80) {
        ++p;
        return lead;
    } else if ((lead & 0xE0) == 0xC0) {
        count = 1;
        codePoint = lead & 0x1F;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        count = 2;
        codePoint = lead & 0x0F;
        minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        count = 3;
        codePoint = lead & 0x07;
        minimum = 0x10000;
    } else {
        ++p;
        return -1;
    }
    if (end - p <= count) {
        ++p;
        return -1;
    }
    for (int i = 1; i <= count; ++i) {
        if ((p[i] & 0xC0) != 0x80) {
            ++p;
            return -1;
        }
        codePoint = (codePoint << 6) | (p[i] & 0x3F);
    }
    // Overlong forms, surrogates and values beyond Unicode are malformed.
    if (codePoint < minimum || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
        ++p;
        return -1;
    }
    p += count + 1;
    return codePoint;
}

int XmlDocument::EncodeUtf8Char(char32_t codePoint, char *out)
{
    unsigned char bytes[4];
    int count = 0;
    if (codePoint < 0x80) {
        bytes[count++] = static_cast<unsigned char>(codePoint);
    } else if (codePoint < 0x800) {
        bytes[count++] = static_cast<unsigned char>(0xC0 | (codePoint >> 6));
        bytes[count++] = static_cast<unsigned char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        bytes[count++] = static_cast<unsigned char>(0xE0 | (codePoint >> 12));
        bytes[count++] = static_cast<unsigned char>(0x80 | ((codePoint >> 6) & 0x3F));
        bytes[count++] = static_cast<unsigned char>(0x80 | (codePoint & 0x3F));
    } else {
        bytes[count++] = static_cast<unsigned char>(0xF0 | (codePoint >> 18));
        bytes[count++] = static_cast<unsigned char>(0x80 | ((codePoint >> 12) & 0x3F));
        bytes[count++] = static_cast<unsigned char>(0x80 | ((codePoint >> 6) & 0x3F));
        bytes[count++] = static_cast<unsigned char>(0x80 | (codePoint & 0x3F));
    }
    if (out)
        std::memcpy(out, bytes, static_cast<std::size_t>(count));
    return count;
}

std::size_t XmlDocument::EncodeUtf8(std::u16string_view text, char *out)
{
    std::size_t size = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t codePoint = text[i];
        if (codePoint >= 0xD800 && codePoint <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (codePoint >= 0xD800 && codePoint <= 0xDFFF) {
            codePoint = 0xFFFD;
        }
        size += static_cast<std::size_t>(EncodeUtf8Char(codePoint, out ? out + size : nullptr));
    }
    return size;
}

namespace {

// Decodes UTF-8 into `out`, which has room for one unit per byte (no sequence gives more units than it
// has bytes), and returns the number of units written. Runs of plain ASCII are copied 16 bytes at a time.
std::size_t decodeUtf8Into(std::string_view bytes, char16_t *out)
{
    constexpr uint64_t ones = 0x0101010101010101u;
    constexpr uint64_t highBits = 0x8080808080808080u;
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const auto *end = p + bytes.size();
    char16_t *o = out;
    while (p < end) {
        while (end - p >= 16) {
            uint64_t low = 0;
            uint64_t high = 0;
            std::memcpy(&low, p, 8);
            std::memcpy(&high, p + 8, 8);
            // A byte of 0x80 or above sets its top bit, and so does a NUL byte once 1 is taken from it.
            if ((low | (low - ones) | high | (high - ones)) & highBits)
                break;
            for (int k = 0; k < 16; ++k)
                o[k] = p[k];
            p += 16;
            o += 16;
        }
        if (p == end || *p == 0)
            break;
        const int codePoint = XmlDocument::DecodeUtf8Char(p, end);
        if (codePoint < 0) {
            *o++ = u'?';
        } else if (codePoint >= 0x10000) {
            *o++ = static_cast<char16_t>(0xD800 + ((codePoint - 0x10000) >> 10));
            *o++ = static_cast<char16_t>(0xDC00 + ((codePoint - 0x10000) & 0x3FF));
        } else {
            *o++ = static_cast<char16_t>(codePoint);
        }
    }
    return static_cast<std::size_t>(o - out);
}

} // namespace

std::u16string XmlDocument::DecodeUtf8(std::string_view bytes)
{
    std::u16string text(bytes.size(), u'\0');
    text.resize(decodeUtf8Into(bytes, text.data()));
    return text;
}
