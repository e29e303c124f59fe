// The program's own XML reader and writer: one UTF-16 text plus an index of its elements. Reading walks
// the index and cuts names, texts and attribute values out of the text; writing edits the text in place
// and shifts the index, so text that is not touched stays exactly as it was.
#pragma once

#include <QString>
#include <QStringView>

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// One element of the index. Offsets and lengths count UTF-16 units of the document text.
struct UtXmlElemPos
{
    enum : uint32_t
    {
        LevelMask = 0xFFFF,   // nesting level where the start tag stood
        FirstChild = 0x80000, // the record is the first child of its parent
        NoEndTag = 0x100000,  // closed without a matching end tag
        IllFormedContent = 0x200000,
        NotWellFormed = 0x800000, // record 0 only
    };
    uint32_t start = 0;  // offset of the element's "<"
    uint32_t length = 0; // start tag to the end of the end tag
    uint32_t startTagLength = 0;
    uint32_t endTagLength = 0; // 0 for an empty-element tag or a missing end tag
    uint32_t flags = 0;
    int32_t parent = 0;
    int32_t firstChild = 0;
    int32_t nextSibling = 0;
    int32_t prevSibling = 0; // on a first child: the last child of the parent
};

class XmlDocument
{
public:
    // Flags of EscapeText.
    enum : int
    {
        EscapeKeepEntities = 8, // an "&" that already starts an entity reference stays
        EscapeQuotes = 0x100,   // also "'" and '"', for attribute values
    };

    XmlDocument();

    // Replaces the document and rebuilds the index; true when the text is well formed. The first error
    // found is kept in the result text.
    bool ParseText(QStringView text);
    bool IsWellFormed() const;
    const std::u16string &GetDocText() const { return m_strDoc; }
    QString GetResult() const { return QString::fromStdU16String(m_strResult); }

    // Whole-file reading and writing as UTF-8. On failure the result is the C-runtime error text and
    // errno still holds the error (ENOENT: the file does not exist; EFBIG: it holds more than maxBytes).
    // Writing replaces the file whole or leaves it untouched.
    static bool ReadTextFile(const QString &path, QString &text, QString &result,
                             std::size_t maxBytes = SIZE_MAX);
    static bool WriteTextFile(const QString &path, QStringView text, QString &result);
    // The same for callers that need no result text.
    static bool ReadTextFile(const QString &path, QString &text)
    {
        QString result;
        return ReadTextFile(path, text, result);
    }
    static bool WriteTextFile(const QString &path, QStringView text)
    {
        QString result;
        return WriteTextFile(path, text, result);
    }
    static QString GetLastErrorText();

    // Navigation over the parent, current and child positions (0 = none).
    // Back to the top of the document, as after parsing: the next FindElement starts at the first element.
    void ResetPos() { m_iPosParent = m_iPos = m_iPosChild = 0; }
    bool FindElement(QStringView name = {});
    bool FindChildElement(QStringView name = {});
    bool EnterElement();
    bool LeaveElement();
    int GetParentPos() const { return m_iPosParent; }
    int GetCurrentPos() const { return m_iPos; }
    int GetChildPos() const { return m_iPosChild; }

    QString GetCurrentTagName() const { return GetTagNameAt(m_iPos); }
    QString GetChildTagName() const { return GetTagNameAt(m_iPosChild); }
    QString GetTagNameAt(int pos) const;
    QString GetChildText() const { return GetTextAt(m_iPosChild); }
    QString GetXmlNodeText() const { return GetTextAt(m_iPos); }
    QString GetTextAt(int pos) const;
    QString GetAttributeAt(int pos, QStringView name) const;
    QString GetChildAttribute(QStringView name) const { return GetAttributeAt(m_iPosChild, name); }

    bool SetAttributeAt(int pos, QStringView name, QStringView value);
    bool AddElement(QStringView name, QStringView value = {});
    bool AddElementInt(QStringView name, int value);

    static std::u16string EscapeText(std::u16string_view text, int flags);
    static std::u16string UnescapeText(std::u16string_view text, std::ptrdiff_t length = -1);

    // UTF-8. DecodeUtf8Char reads one sequence and advances past it, or past one byte when it is
    // malformed (result -1). EncodeUtf8Char/EncodeUtf8 only count when out is null; a lone surrogate is
    // written as U+FFFD. DecodeUtf8 is the file decoder: "?" for malformed bytes, stops at a NUL byte.
    static int DecodeUtf8Char(const unsigned char *&p, const unsigned char *end);
    static int EncodeUtf8Char(char32_t codePoint, char *out);
    static std::size_t EncodeUtf8(std::u16string_view text, char *out);
    static QString DecodeUtf8(std::string_view bytes);

    // The element index; record 0 stands for the document.
    std::span<const UtXmlElemPos> GetElemTable() const { return m_aPos; }

private:
    struct OpenElement;

    void ParseElements();
    void LinkAsLastChild(int pos, int parent);
    void LinkAfter(int pos, int previous);
    void EndElement(int pos, std::size_t endTagStart, std::size_t endTagLength);
    void CloseWithoutEndTag(std::vector<OpenElement> &stack, std::size_t from, int target);
    void MarkIllFormed(const std::vector<OpenElement> &stack);
    void SetError(const std::u16string &text);
    bool IsValidPos(int pos) const { return pos > 0 && static_cast<std::size_t>(pos) < m_aPos.size(); }
    std::u16string_view TagNameAt(int pos) const;
    bool OpenEmptyElement(int pos);
    void ReplaceSpan(std::size_t offset, std::size_t oldLength, std::u16string_view text);
    void ShiftPositions(int pos, int delta);
    void AdjustLengths(int pos, int delta);

    std::u16string m_strDoc;
    std::u16string m_strResult;
    int m_iPosParent = 0;
    int m_iPos = 0;
    int m_iPosChild = 0;
    std::vector<UtXmlElemPos> m_aPos;
};
