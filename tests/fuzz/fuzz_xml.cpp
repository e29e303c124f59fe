// Fuzzes the XML document class. The input up to its first NUL byte is the document as UTF-8 (the file
// decoder stops there too); each byte after it is one navigation or editing step. Checks: no crash or
// hang, UTF-8 round trips, escaping round trips, the index stays consistent, and on a document without
// parser errors every edit leaves the index a fresh parse of the edited text would build.
#include "platform/XmlDocument.h"
#include "tests/platform/XmlDocumentOutline.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

bool parsedCleanly(const XmlDocument &doc)
{
    return !(doc.GetElemTable()[0].flags & UtXmlElemPos::NotWellFormed);
}

void checkAgainstFreshParse(const XmlDocument &doc)
{
    check(xmlIndexIsConsistent(doc));
    XmlDocument fresh;
    fresh.ParseText(doc.GetDocText());
    check(parsedCleanly(fresh));
    check(xmlOutline(fresh) == xmlOutline(doc));
}

void readEverything(const XmlDocument &doc)
{
    const int count = static_cast<int>(doc.GetElemTable().size());
    for (int pos = 0; pos <= count; ++pos) {
        doc.GetTagNameAt(pos);
        doc.GetTextAt(pos);
        doc.GetAttributeAt(pos, u"a");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string_view input(reinterpret_cast<const char *>(data), size);
    const std::size_t nul = input.find('\0');
    const std::u16string text = XmlDocument::DecodeUtf8(input).toStdU16String();

    // The decoded text survives encoding and decoding unchanged.
    std::string bytes(XmlDocument::EncodeUtf8(text, nullptr), '\0');
    XmlDocument::EncodeUtf8(text, bytes.data());
    check(XmlDocument::DecodeUtf8(bytes).toStdU16String() == text);
    check(XmlDocument::UnescapeText(XmlDocument::EscapeText(text, XmlDocument::EscapeQuotes)) == text);

    XmlDocument doc;
    doc.ParseText(text);
    check(xmlIndexIsConsistent(doc));
    readEverything(doc);
    const bool clean = parsedCleanly(doc);

    const std::string_view steps = nul == std::string_view::npos ? std::string_view() : input.substr(nul + 1);
    for (std::size_t i = 0; i < steps.size() && i < 64; ++i) {
        const auto step = static_cast<unsigned char>(steps[i]);
        bool edited = false;
        switch (step % 9) {
        case 0:
            doc.FindElement();
            break;
        case 1:
            doc.FindChildElement();
            break;
        case 2:
            doc.EnterElement();
            break;
        case 3:
            doc.LeaveElement();
            break;
        case 4:
            edited = doc.AddElement(u"x", u"v<&>'\"");
            break;
        case 5:
            edited = doc.AddElement(u"e");
            break;
        case 6:
            edited =
                doc.SetAttributeAt(step & 0x10 ? doc.GetChildPos() : doc.GetCurrentPos(), u"a", u"q\"'<");
            break;
        case 7:
            edited = doc.SetAttributeAt(step & 0x10 ? doc.GetChildPos() : doc.GetCurrentPos(), u"b", u"");
            break;
        case 8:
            doc.FindChildElement(u"x");
            break;
        }
        doc.GetCurrentTagName();
        doc.GetChildText();
        doc.GetChildAttribute(u"a");
        if (edited) {
            check(xmlIndexIsConsistent(doc));
            if (clean)
                checkAgainstFreshParse(doc);
        }
    }
    readEverything(doc);
    return 0;
}
