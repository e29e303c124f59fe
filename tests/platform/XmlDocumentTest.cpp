#include "platform/XmlDocument.h"
#include "tests/platform/XmlDocumentOutline.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>
#include <string>

namespace {

std::string u8(QStringView text)
{
    return text.toString().toStdString();
}

// After an edit the index must equal the one a fresh parse of the edited text builds.
void expectIndexMatchesFreshParse(const XmlDocument &edited)
{
    XmlDocument fresh;
    fresh.ParseText(edited.GetDocText());
    EXPECT_EQ(xmlOutline(edited), xmlOutline(fresh));
    EXPECT_TRUE(xmlIndexIsConsistent(edited));
}

struct ParseCase
{
    const char16_t *text;
    bool wellFormed;
    const char *result;
};

class XmlParse : public testing::TestWithParam<ParseCase>
{
};

TEST_P(XmlParse, GivesWellFormednessAndFirstError)
{
    const ParseCase &c = GetParam();
    XmlDocument doc;
    EXPECT_EQ(doc.ParseText(c.text), c.wellFormed);
    EXPECT_EQ(doc.IsWellFormed(), c.wellFormed);
    EXPECT_EQ(u8(doc.GetResult()), c.result);
    EXPECT_TRUE(xmlIndexIsConsistent(doc));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, XmlParse,
    testing::Values(
        ParseCase{u"", false, "Empty document"}, ParseCase{u"<a/>", true, ""},
        ParseCase{u"<?xml version=\"1.0\"?>\r\n<!-- c -->\r\n<a>\r\n<b>x</b>\r\n</a>\r\n", true, ""},
        ParseCase{u"\uFEFF<a/>", true, ""}, ParseCase{u"<a t='x>y' u=\"/\"/>", true, ""},
        ParseCase{u"<!DOCTYPE a [<!ELEMENT a ANY>]><a><![CDATA[<b>]]></a>", true, ""},
        ParseCase{u"<a><b></a>", false, "End tag 'a' at offset 6 does not match start tag 'b' at offset 3"},
        ParseCase{u"<a></b></a>", false, "No start tag for end tag 'b' at offset 3"},
        ParseCase{u"<a/><b/>", false, "Root element has sibling"},
        // An earlier parser error comes first, the root check is joined after "; ".
        ParseCase{u"<a><b>", false, "Element 'b' at offset 3 not ended; Root element has sibling"},
        ParseCase{u"plain text", false, "No root element"},
        ParseCase{u"<!-- x", false, "Comment at offset 0 unterminated; No root element"},
        ParseCase{u"<a>< b</a>", false, "Incorrect tag name character at offset 3"},
        ParseCase{u"<a><!-x--></a>", false, "Incorrect comment tag at offset 3"},
        ParseCase{u"<a><![X[y]]></a>", false, "Incorrect tag at offset 3"},
        ParseCase{u"<a><!X></a>", false, "Incorrect ! tag at offset 3"},
        ParseCase{u"<a", false, "Element tag at offset 0 unterminated; No root element"},
        ParseCase{u"<a></a", false, "Element end tag at offset 3 unterminated"},
        ParseCase{u"<a><![CDATA[x</a>", false, "CDATA Section at offset 3 unterminated"},
        ParseCase{u"<a><?pi x</a>", false, "Processing instruction at offset 3 unterminated"},
        ParseCase{u"<!DOCTYPE a", false, "Doctype at offset 0 unterminated; No root element"},
        ParseCase{u"<a></a><b", false, "Element tag at offset 7 unterminated"}));

TEST(XmlDocument, SkippedElementLosesItsEndAndItsChildrenFollowIt)
{
    XmlDocument doc;
    ASSERT_FALSE(doc.ParseText(u"<a><b><c/>x</a>"));
    ASSERT_TRUE(doc.FindElement(u"a"));
    ASSERT_TRUE(doc.FindChildElement(u"b"));
    const UtXmlElemPos &b = doc.GetElemTable()[doc.GetChildPos()];
    EXPECT_TRUE(b.flags & UtXmlElemPos::NoEndTag);
    EXPECT_EQ(b.length, 3u);
    EXPECT_EQ(b.firstChild, 0);
    ASSERT_TRUE(doc.FindChildElement(u"c")); // now b's sibling under a
    EXPECT_TRUE(doc.GetElemTable()[0].flags & UtXmlElemPos::NotWellFormed);
}

TEST(XmlDocument, DeepUnclosedNestingParsesWithoutOverflow)
{
    constexpr int depth = 200000;
    std::u16string text;
    for (int i = 0; i < depth; ++i)
        text += u"<a>";
    XmlDocument doc;
    EXPECT_FALSE(doc.ParseText(text));
    EXPECT_EQ(u8(doc.GetResult()), "Element 'a' at offset " + std::to_string(3 * (depth - 1)) +
                                       " not ended; Root element has sibling");
    // The level saturates instead of spilling into the flag bits.
    EXPECT_EQ(doc.GetElemTable().back().flags, UtXmlElemPos::NoEndTag | UtXmlElemPos::LevelMask);
    EXPECT_TRUE(xmlIndexIsConsistent(doc));
}

TEST(XmlDocument, NavigatesForwardOnly)
{
    XmlDocument doc;
    ASSERT_TRUE(doc.ParseText(u"<r><x>1</x><y/><z><w>3</w></z></r>"));
    // No current element: FindChildElement selects the first element and searches its children.
    ASSERT_TRUE(doc.FindChildElement(u"y"));
    EXPECT_EQ(u8(doc.GetCurrentTagName()), "r");
    // An element before the child found last is not found, and the child stays.
    EXPECT_FALSE(doc.FindChildElement(u"x"));
    EXPECT_EQ(u8(doc.GetChildTagName()), "y");
    ASSERT_TRUE(doc.FindChildElement(u"z"));

    ASSERT_TRUE(doc.EnterElement());
    EXPECT_EQ(u8(doc.GetCurrentTagName()), "z");
    ASSERT_TRUE(doc.FindChildElement(u"w"));
    EXPECT_EQ(u8(doc.GetChildText()), "3");
    ASSERT_TRUE(doc.LeaveElement());
    EXPECT_EQ(u8(doc.GetCurrentTagName()), "r");
    EXPECT_EQ(u8(doc.GetChildTagName()), "z");
    EXPECT_FALSE(doc.LeaveElement()); // r is at the top

    // FindElement walks the siblings after the current element.
    XmlDocument siblings;
    siblings.ParseText(u"<r><x>1</x><y/><x>2</x></r>");
    ASSERT_TRUE(siblings.FindElement(u"r"));
    ASSERT_TRUE(siblings.EnterElement());
    ASSERT_TRUE(siblings.FindElement(u"x"));
    ASSERT_TRUE(siblings.FindElement(u"x"));
    EXPECT_EQ(u8(siblings.GetXmlNodeText()), "2");
    EXPECT_FALSE(siblings.FindElement(u"x"));
    EXPECT_EQ(u8(siblings.GetXmlNodeText()), "2"); // positions unchanged
    EXPECT_FALSE(XmlDocument().EnterElement());
}

TEST(XmlDocument, TextsAndAttributesAreUnescaped)
{
    XmlDocument doc;
    ASSERT_TRUE(doc.ParseText(u"<r>"
                              u"<t>x &lt; y<![CDATA[<z>&amp;]]>&#x1F600;&#65;&#0;<!-- c --></t>"
                              u"<e/><p><c/></p>"
                              u"<a one=\"1 &amp; 2\" two='it&apos;s' three=3 four = \"4\"/>"
                              u"</r>"));
    ASSERT_TRUE(doc.FindChildElement(u"t"));
    EXPECT_EQ(u8(doc.GetChildText()), "x < y<z>&amp;\U0001F600A&#0;");
    ASSERT_TRUE(doc.FindChildElement(u"e"));
    EXPECT_EQ(u8(doc.GetChildText()), "");
    ASSERT_TRUE(doc.FindChildElement(u"p"));
    EXPECT_EQ(u8(doc.GetChildText()), ""); // has a child element

    ASSERT_TRUE(doc.FindChildElement(u"a"));
    EXPECT_EQ(u8(doc.GetChildAttribute(u"one")), "1 & 2");
    EXPECT_EQ(u8(doc.GetChildAttribute(u"two")), "it's");
    EXPECT_EQ(u8(doc.GetChildAttribute(u"three")), "3");
    EXPECT_EQ(u8(doc.GetChildAttribute(u"four")), "4");
    EXPECT_EQ(u8(doc.GetChildAttribute(u"on")), "");
    EXPECT_EQ(u8(doc.GetAttributeAt(0, u"one")), "");
}

struct AttributeCase
{
    const char16_t *text;
    const char16_t *name;
    const char16_t *value;
    const char *expected;
};

class XmlSetAttribute : public testing::TestWithParam<AttributeCase>
{
};

TEST_P(XmlSetAttribute, ReplacesOrAppendsAndShiftsTheIndex)
{
    const AttributeCase &c = GetParam();
    XmlDocument doc;
    doc.ParseText(c.text);
    ASSERT_TRUE(doc.FindElement(u"r"));
    ASSERT_TRUE(doc.FindChildElement(u"e"));
    ASSERT_TRUE(doc.SetAttributeAt(doc.GetChildPos(), c.name, c.value));
    EXPECT_EQ(u8(doc.GetDocText()), c.expected);
    EXPECT_EQ(doc.GetChildAttribute(c.name), QStringView(c.value).toString());
    expectIndexMatchesFreshParse(doc);
}

INSTANTIATE_TEST_SUITE_P(
    Tags, XmlSetAttribute,
    testing::Values(AttributeCase{u"<r><e/><f/></r>", u"HostPort", u"(  1, 2,3)",
                                  "<r><e HostPort=\"(  1, 2,3)\"/><f/></r>"},
                    AttributeCase{u"<r><e x='1'><c/></e><f/></r>", u"x", u"<\"'&",
                                  "<r><e x=\"&lt;&quot;&apos;&amp;\"><c/></e><f/></r>"},
                    AttributeCase{u"<r><e x=1 y=\"2\">t</e></r>", u"x", u"long value",
                                  "<r><e x=\"long value\" y=\"2\">t</e></r>"},
                    AttributeCase{u"<r><e b></e></r>", u"b", u"v", "<r><e b=\"v\"></e></r>"},
                    AttributeCase{u"<r><e a=\"1\">t</e><f/></r>", u"b", u"2",
                                  "<r><e a=\"1\" b=\"2\">t</e><f/></r>"},
                    // An unquoted value ends before "/>", and quotation marks pair
                    // as they did when the end of the tag was found.
                    AttributeCase{u"<r><e a=b/><f/></r>", u"a", u"v", "<r><e a=\"v\"/><f/></r>"},
                    AttributeCase{u"<r><e a=x'y>z'>t</e></r>", u"a", u"v", "<r><e a=\"v\">t</e></r>"}));

TEST(XmlDocument, AddElementOpensAnEmptyParent)
{
    // A stray "/" before the closing "/>" must not leave the parent empty.
    const std::pair<const char16_t *, const char *> cases[] = {
        {u"<p/>", "<p>\r\n<c/>\r\n</p>"},
        {u"<p//>", "<p/ >\r\n<c/>\r\n</p>"},
    };
    for (const auto &[text, edited] : cases) {
        XmlDocument doc;
        doc.ParseText(text);
        ASSERT_TRUE(doc.FindElement(u"p"));
        ASSERT_TRUE(doc.EnterElement());
        ASSERT_TRUE(doc.AddElement(u"c"));
        EXPECT_EQ(u8(doc.GetDocText()), edited);
        EXPECT_TRUE(doc.IsWellFormed());
        expectIndexMatchesFreshParse(doc);
    }
}

TEST(XmlDocument, AddElementGoesAfterTheLineEndOfTheCurrentElement)
{
    XmlDocument doc;
    doc.ParseText(u"<r>\r\n<a/>\r\n<b/>\r\n</r>");
    doc.FindElement(u"r");
    doc.EnterElement();
    ASSERT_TRUE(doc.FindElement(u"a"));
    ASSERT_TRUE(doc.AddElement(u"x", u"1"));
    ASSERT_TRUE(doc.AddElement(u"y"));
    EXPECT_EQ(u8(doc.GetDocText()), "<r>\r\n<a/>\r\n<x>1</x>\r\n<y/>\r\n<b/>\r\n</r>");
    EXPECT_EQ(u8(doc.GetCurrentTagName()), "y");
    expectIndexMatchesFreshParse(doc);
}

// The configuration file's way of working: a head without a root, the root added, sections appended
// under it by later documents over the written text, then read back.
TEST(XmlDocument, BuildsAndReadsAConfigurationLikeDocument)
{
    const std::u16string head = u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<!-- Used by tests -->\r\n";
    XmlDocument doc;
    EXPECT_FALSE(doc.ParseText(head));
    ASSERT_TRUE(doc.AddElement(u"Root"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.AddElement(u"DUT_Name", u"a<b & c>"));
    ASSERT_TRUE(doc.AddElement(u"Tester_Name", u""));
    ASSERT_TRUE(doc.AddElement(u"SystemConfig"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.AddElementInt(u"LockCnt", -2));
    ASSERT_TRUE(doc.LeaveElement());
    expectIndexMatchesFreshParse(doc);

    XmlDocument section;
    ASSERT_TRUE(section.ParseText(doc.GetDocText()));
    ASSERT_TRUE(section.FindElement(u"Root"));
    ASSERT_TRUE(section.EnterElement());
    ASSERT_TRUE(section.AddElement(u"Section"));
    ASSERT_TRUE(section.EnterElement());
    ASSERT_TRUE(section.AddElement(u"HostPort1"));
    ASSERT_TRUE(section.SetAttributeAt(section.GetCurrentPos(), u"HostPort", u"(1,2,3)"));
    ASSERT_TRUE(section.AddElementInt(u"Count", 7));
    expectIndexMatchesFreshParse(section);
    EXPECT_EQ(u8(section.GetDocText()), u8(head) + "<Root>\r\n"
                                                   "<DUT_Name>a&lt;b &amp; c&gt;</DUT_Name>\r\n"
                                                   "<Tester_Name/>\r\n"
                                                   "<SystemConfig>\r\n"
                                                   "<LockCnt>-2</LockCnt>\r\n"
                                                   "</SystemConfig>\r\n"
                                                   "<Section>\r\n"
                                                   "<HostPort1 HostPort=\"(1,2,3)\"/>\r\n"
                                                   "<Count>7</Count>\r\n"
                                                   "</Section>\r\n"
                                                   "</Root>\r\n");

    XmlDocument reader;
    ASSERT_TRUE(reader.ParseText(section.GetDocText()));
    ASSERT_TRUE(reader.FindChildElement(u"DUT_Name"));
    EXPECT_EQ(u8(reader.GetChildText()), "a<b & c>");
    ASSERT_TRUE(reader.FindChildElement(u"Section"));
    ASSERT_TRUE(reader.EnterElement());
    ASSERT_TRUE(reader.FindChildElement(u"HostPort1"));
    EXPECT_EQ(u8(reader.GetChildAttribute(u"HostPort")), "(1,2,3)");
    ASSERT_TRUE(reader.FindChildElement(u"Count"));
    EXPECT_EQ(u8(reader.GetChildText()), "7");
}

struct EscapeCase
{
    const char16_t *text;
    int flags;
    const char16_t *escaped;
};

TEST(XmlDocument, EscapesAndUnescapes)
{
    const EscapeCase escapes[] = {
        {u"&lt;", XmlDocument::EscapeKeepEntities, u"&lt;"},
        {u"&lt;", 0, u"&amp;lt;"},
        {u"a<b>c&d", XmlDocument::EscapeKeepEntities, u"a&lt;b&gt;c&amp;d"},
        {u"&#12; &x.y-z; &\u00E9; &1;", XmlDocument::EscapeKeepEntities, u"&#12; &x.y-z; &\u00E9; &amp;1;"},
        {u"'\"", XmlDocument::EscapeQuotes, u"&apos;&quot;"},
        {u"'\"", 0, u"'\""},
    };
    for (const EscapeCase &c : escapes)
        EXPECT_EQ(XmlDocument::EscapeText(c.text, c.flags), c.escaped) << u8(c.text) << " flags " << c.flags;

    const std::pair<const char16_t *, const char16_t *> unescapes[] = {
        {u"&lt;&gt;&amp;&apos;&quot;", u"<>&'\""},
        {u"&#65;&#x41;&#x1F600;", u"AA\U0001F600"},
        {u"&#X41; &#0; &#-5; &#x110000; &#xD800; &#12345678;",
         u"&#X41; &#0; &#-5; &#x110000; &#xD800; &#12345678;"},
        {u"&foo; &amp a& &", u"&foo; &amp a& &"},
    };
    for (const auto &[text, plain] : unescapes)
        EXPECT_EQ(XmlDocument::UnescapeText(text), plain) << u8(text);
    EXPECT_EQ(XmlDocument::UnescapeText(u"&lt;&gt;", 4), u"<");
}

TEST(XmlDocument, Utf8DecodingAndEncoding)
{
    const std::pair<std::string, std::u16string> decodes[] = {
        {"A\xC3\xA9\xE4\xB8\xAD", u"A\u00E9\u4E2D"},
        {"\xF0\x9F\x98\x80", u"\U0001F600"},
        {"\xEF\xBB\xBF<a/>", u"\uFEFF<a/>"},
        {"\xFF|\xC3|\xE4\xB8|\xC0\xAF|\xED\xA0\x80|\xF4\x90\x80\x80", u"?|?|??|??|???|????"},
        {std::string("ab\0cd", 5), u"ab"},
        // Long ASCII runs are decoded in blocks: a NUL or a multi-byte sequence inside or after a block.
        {std::string("0123456\0"
                     "89abcdef0123456789",
                     26),
         u"0123456"},
        {std::string("0123456789abcdef0123\0x", 22), u"0123456789abcdef0123"},
        {"0123456789abcdef\xC3\xA9"
         "0123456789abcdefg\xFF",
         u"0123456789abcdef\u00E9"
         u"0123456789abcdefg?"},
    };
    for (const auto &[bytes, text] : decodes)
        EXPECT_EQ(XmlDocument::DecodeUtf8(bytes).toStdU16String(), text) << bytes;

    const std::u16string text = u"A\u00E9\u4E2D\U0001F600\xD800";
    std::string bytes(XmlDocument::EncodeUtf8(text, nullptr), '\0');
    XmlDocument::EncodeUtf8(text, bytes.data());
    EXPECT_EQ(bytes, "A\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80\xEF\xBF\xBD");
}

TEST(XmlDocument, FileRoundTripKeepsChineseAndEmoji)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("config.xml"));
    XmlDocument doc;
    doc.ParseText(u"<r/>");
    doc.FindElement(u"r");
    doc.EnterElement();
    doc.AddElement(u"Name", u"\u6D4B\u8BD5\U0001F600");
    const QString written = QString::fromStdU16String(doc.GetDocText());

    QString result;
    ASSERT_TRUE(XmlDocument::WriteTextFile(path, doc.GetDocText(), result));
    const QByteArray utf8 = written.toUtf8();
    EXPECT_EQ(result, QStringLiteral("%1 wide chars to %2 bytes").arg(written.size()).arg(utf8.size()));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), utf8);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("config.xml")});

    QString text;
    ASSERT_TRUE(XmlDocument::ReadTextFile(path, text, result));
    EXPECT_EQ(text, written);
    EXPECT_EQ(result, QStringLiteral("%1 bytes to %2 wide chars").arg(utf8.size()).arg(written.size()));
    XmlDocument reader;
    ASSERT_TRUE(reader.ParseText(text));
    ASSERT_TRUE(reader.FindChildElement(u"Name"));
    EXPECT_EQ(reader.GetChildText(), QStringView(u"\u6D4B\u8BD5\U0001F600"));
}

TEST(XmlDocument, FileFailuresAreReported)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QString text = QStringLiteral("unchanged");
    QString result;
    errno = 0;
    EXPECT_FALSE(XmlDocument::ReadTextFile(dir.filePath(QStringLiteral("missing.xml")), text, result));
    EXPECT_EQ(errno, ENOENT);
    EXPECT_EQ(result, QStringLiteral("No such file or directory"));
    EXPECT_EQ(text, QStringLiteral("unchanged"));
    errno = 0;
    EXPECT_FALSE(XmlDocument::ReadTextFile(dir.filePath(QStringLiteral("missing.xml")), text));
    EXPECT_EQ(errno, ENOENT); // also through the form without a result text

    errno = 0;
    EXPECT_FALSE(XmlDocument::ReadTextFile(dir.path(), text, result)); // a folder opens but does not read
    EXPECT_EQ(errno, EISDIR);

    errno = 0;
    EXPECT_FALSE(XmlDocument::WriteTextFile(dir.filePath(QStringLiteral("no/such.xml")), u"<a/>", result));
    EXPECT_EQ(errno, ENOENT);
    EXPECT_EQ(result, QStringLiteral("No such file or directory"));

    // The rename over a folder fails after the whole text was written: nothing is left behind.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("taken")));
    EXPECT_FALSE(XmlDocument::WriteTextFile(dir.filePath(QStringLiteral("taken")), u"<a/>", result));
    EXPECT_FALSE(result.isEmpty());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("taken")});
}

} // namespace
