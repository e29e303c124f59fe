// The text helpers the XML document's scanner, editing and file code share: views of UTF-16 text, the
// character classes of names and white space, and the sixteen-byte lanes the scanner tests at once.
#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace XmlDocumentText {

using View = std::u16string_view;

inline View toView(QStringView text)
{
    return View(reinterpret_cast<const char16_t *>(text.utf16()), static_cast<std::size_t>(text.size()));
}

inline QString toQString(View text)
{
    return QString(reinterpret_cast<const QChar *>(text.data()), static_cast<qsizetype>(text.size()));
}

inline std::u16string ascii(std::string_view text)
{
    return std::u16string(text.begin(), text.end());
}

inline std::u16string number(long long value)
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

inline constexpr auto charClasses = [] {
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
inline uint8_t classOf(char16_t c)
{
    return c < 128 ? charClasses[c] : NameStartChar | NameChar;
}

inline bool isWhite(char16_t c)
{
    return classOf(c) & WhiteChar;
}

inline bool isNameStart(char16_t c)
{
    return classOf(c) & NameStartChar;
}

inline bool isNameChar(char16_t c)
{
    return classOf(c) & NameChar;
}

inline bool isQuote(char16_t c)
{
    return c == u'"' || c == u'\'';
}

// The end of the tag name that starts at `from`: the first white space, "/" or ">" at or after it.
inline std::size_t tagNameEnd(View text, std::size_t from)
{
    while (from < text.size() && !(classOf(text[from]) & TagNameEnd))
        ++from;
    return from;
}

// Equal texts, compared as memory.
inline bool sameText(const char16_t *a, const char16_t *b, std::size_t length)
{
    return std::memcmp(a, b, length * sizeof(char16_t)) == 0;
}

// Sixteen bytes, eight UTF-16 units, or sixteen units: tested and converted at once.
using Bytes = uint8_t __attribute__((vector_size(16)));
using Units = uint16_t __attribute__((vector_size(16)));
using WideUnits = uint16_t __attribute__((vector_size(32)));

// True when a comparison of the lanes of Bytes or Units marked any.
template <typename Marked> inline bool anyMarked(const Marked &marked)
{
    uint64_t halves[2];
    static_assert(sizeof marked == sizeof halves);
    std::memcpy(halves, &marked, sizeof halves);
    return (halves[0] | halves[1]) != 0;
}

// Skips the runs of eight units in which `marks` marks none and returns the offset of the first unit not
// skipped; the caller's exact test goes on from there. `marks` may mark more units than the caller stops
// at, never fewer.
template <typename Marks> inline std::size_t skipUnmarked(View text, std::size_t from, Marks marks)
{
    while (from + 8 <= text.size()) {
        Units units;
        std::memcpy(&units, text.data() + from, sizeof units);
        if (anyMarked(marks(units)))
            break;
        from += 8;
    }
    return from;
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

} // namespace XmlDocumentText

// The scanner's state over a text: reads one node after the other from the scan offset.
struct UtXmlToken
{
    explicit UtXmlToken(XmlDocumentText::View text, std::size_t from = 0) : text(text), next(from) {}

    // Reads the node at the scan offset; false at the end of the text.
    bool ScanNextNode();
    // Walks the attributes of the start tag [tagStart, tagStart + tagLength) for the named one.
    bool FindAttribute(std::size_t tagStart, std::size_t tagLength, XmlDocumentText::View name);

    XmlDocumentText::View text;
    std::size_t next = 0;
    // The node just read; for a start or end tag also the length of its name, which follows "<" or "</".
    XmlDocumentText::NodeKind kind = XmlDocumentText::NodeKind::Text;
    std::size_t start = 0;
    std::size_t length = 0;
    std::size_t nameLength = 0;
    XmlDocumentText::ScanError error = XmlDocumentText::ScanError::None;
    // The attribute FindAttribute found: its name's end and its value (with the quotes when quoted).
    std::size_t nameEnd = 0;
    std::size_t valueStart = XmlDocumentText::npos;
    std::size_t valueLength = 0;
    char16_t quote = 0;

private:
    void EndAt(std::size_t end)
    {
        length = end - start;
        next = end;
    }
    // The node runs to the end of the given marker, or is unterminated up to the end of the text.
    void RunTo(XmlDocumentText::View marker, std::size_t from, XmlDocumentText::ScanError unterminated);
    void RunAsError(XmlDocumentText::ScanError scanError);
    void ScanStartTag();
    void ScanEndTag();
    void ScanDocType();
};
