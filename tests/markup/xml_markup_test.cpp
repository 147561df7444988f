#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "tests/markup/xml_test_support.h"
#include "tests/support/SkinFolder.h"
#include "ui/markup/ResourceLocations.h"
#include "ui/markup/XmlMarkup.h"

namespace
{

struct DocumentCase
{
    const char* document;  // UTF-8
    bool ok;
    const wchar_t* message;
    const wchar_t* location;
    const wchar_t* dump;
};

const DocumentCase kDocuments[] = {
    // Shapes that load.
    {"<Window size=\"10,20\"><Button name=\"b1\"/></Window>", true, L"", L"",
     L"Window size=\"10,20\" {Button name=\"b1\"}"},
    {"<Control/>", true, L"", L"", L"Control"},
    {"<Control />", true, L"", L"", L"Control"},
    {"< Window\t/>", true, L"", L"", L"Window"},
    {"<a:b c_d=\"1\" e2 = \"2\"/>", true, L"", L"", L"a:b c_d=\"1\" e2=\"2\""},
    {"<a b=\"1\"c=\"2\"/>", true, L"", L"", L"a b=\"1\" c=\"2\""},
    {"<a x=\"1\"></a >", true, L"", L"", L"a x=\"1\""},
    {"<a>text<b/></a>", true, L"", L"", L"a {b}"},
    {"<a><!-- c --><b/><?pi x?><c/></a>", true, L"", L"", L"a {b c}"},
    {"<?xml version=\"1.0\"?><!-- note --><Window/>", true, L"", L"", L"Window"},
    {"<a/><b/>", true, L"", L"", L"a b"},
    {"<a/></b>", true, L"", L"", L"a"},  // an end tag at the top ends the document
    {"", true, L"", L"", L""},
    {"<!-- only a comment -->", true, L"", L"", L""},
    {"  \r\n\t ", true, L"", L"", L""},
    {"<a><!-- never closed", true, L"", L"", L"a"},
    {"\xE7\xAA\x97\xE5\x8F\xA3 \xE6\xA0\x87=\"\xE5\xAE\x89\"/>", false, L"Expected start tag",
     L"\x7A97\x53E3 \x6807=\"\x5B89\"/>", L""},
    {"<\xE7\xAA\x97\xE5\x8F\xA3 \xE6\xA0\x87=\"\xE5\xAE\x89\"/>", true, L"", L"",
     L"\x7A97\x53E3 \x6807=\"\x5B89\""},

    // Values and entities.
    {"<a x=\"1 &lt; 2 &amp; 3\"/>", true, L"", L"", L"a x=\"1 < 2 & 3\""},
    {"<a x=\"&amp;&apos;&lt;&gt;&quot;\"/>", true, L"", L"", L"a x=\"&'<>\"\""},
    {"<a x=\"&#65;\" y=\"&AMP;\" z=\"&quot\" w=\"&\"/>", true, L"", L"",
     L"a x=\"&#65;\" y=\"&AMP;\" z=\"&quot\" w=\"&\""},
    {"<a x=\"&amp;amp;\"/>", true, L"", L"", L"a x=\"&amp;\""},
    {"<a x=\"a  b\" y=\"c\td\ne\"/>", true, L"", L"", L"a x=\"a  b\" y=\"c\td\ne\""},
    {"<a x=\"\"/>", true, L"", L"", L"a x=\"\""},

    // A document may end while the root or a child of the root is open.
    {"<Window><Button>", true, L"", L"", L"Window {Button}"},
    {"<Window><Button text=\"Go\">label", true, L"", L"", L"Window {Button text=\"Go\"}"},
    {"<Window >", true, L"", L"", L"Window"},
    {"<Window>", true, L"", L"", L"Window"},
    {"<a><b></b>", true, L"", L"", L"a {b}"},
    {"<Window><VBox><Button>", false, L"Expected end-tag start", L"", L""},
    {"<a><b><c/>", false, L"Expected start tag", L"", L""},

    // Errors, with the text where they happened.
    {"text", false, L"Expected start tag", L"text", L""},
    {"<a><b/>text</a>", false, L"Expected start tag", L"text</a>", L""},
    {"<a>x</a>junk", false, L"Expected start tag", L"junk", L""},
    // A wrong character where a quote or ">" belongs is reported with the
    // text just after it; at the end of the text there is nothing after it.
    {"<a x='1'/>", false, L"Expected attribute value", L"1'/>", L""},
    {"<a x= 1 y=\"2\"/>", false, L"Expected attribute value", L" y=\"2\"/>", L""},
    {"<a x=", false, L"Expected attribute value", L"", L""},
    {"<a x= ", false, L"Expected attribute value", L"", L""},
    {"<a data-x=\"1\"/>", false, L"Error while parsing attributes", L"-x=\"1\"/>", L""},
    {"<a x=\"1\" y>", false, L"Error while parsing attributes", L">", L""},
    {"<a x", false, L"Error while parsing attributes", L"", L""},
    {"<a x=\"1", false, L"Error while parsing attribute string", L"", L""},
    {"<a x=\"1\"", false, L"Expected start-tag closing", L"", L""},
    {"<a x=\"1\" /", false, L"Expected start-tag closing", L"/", L""},
    {"<a x=\"1\"?>", false, L"Error while parsing attributes", L"?>", L""},
    {"<a x=\"1\"\t", false, L"Expected start-tag closing", L"", L""},
    {"<Window", false, L"Error parsing element name", L"", L""},
    {"<", false, L"Error parsing element name", L"", L""},
    {"<a></b>", false, L"Unmatched closing tag", L"b>", L""},
    {"<a></A>", false, L"Unmatched closing tag", L"A>", L""},
    {"<ab></a>", false, L"Unmatched closing tag", L"a>", L""},
    {"<a></ab>", false, L"Unmatched closing tag", L">", L""},
    {"<a></a", false, L"Unmatched closing tag", L"", L""},
    {"<a></a x>", false, L"Unmatched closing tag", L">", L""},
    {"<a></a\t/>", false, L"Unmatched closing tag", L">", L""},
    {"<a></a ", false, L"Unmatched closing tag", L"", L""},
    {"<a></", false, L"Unmatched closing tag", L"", L""},
    {"<a>0123456789012345678901234567890123456789012345678901234567890<b/></a>junk"
     "0123456789012345678901234567890123456789012345678901234567890",
     false, L"Expected start tag", L"junk012345678901234567890123456789012345678901234", L""},
};

}  // namespace

TEST(XmlMarkup, DocumentTable)
{
    for (const DocumentCase& c : kDocuments)
    {
        SCOPED_TRACE(c.document);
        CXmlMarkup markup;
        bool ok = LoadGuarded(markup, c.document);
        EXPECT_EQ(ok, c.ok);
        EXPECT_EQ(Str(markup.GetLastErrorMessage()), c.message);
        EXPECT_EQ(Str(markup.GetLastErrorLocation()), c.location);
        EXPECT_EQ(DumpDocument(markup), c.dump);
        EXPECT_EQ(markup.IsValid(), c.ok);
    }
}

TEST(XmlMarkup, SameDocumentsFromAWideString)
{
    for (const DocumentCase& c : kDocuments)
    {
        SCOPED_TRACE(c.document);
        std::string utf8 = c.document;
        std::wstring wide(utf8.size(), L'\0');
        wide.resize(::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0],
                                          static_cast<int>(wide.size())));
        CXmlMarkup markup;
        EXPECT_EQ(markup.LoadFromString(wide.c_str()), c.ok);
        EXPECT_EQ(Str(markup.GetLastErrorMessage()), c.message);
        EXPECT_EQ(DumpDocument(markup), c.dump);
    }
}

TEST(XmlMarkup, NestingIsLimited)
{
    auto nested = [](int depth) {
        std::string doc;
        for (int i = 0; i < depth; ++i)
            doc += "<a>";
        for (int i = 0; i < depth; ++i)
            doc += "</a>";
        return doc;
    };
    CXmlMarkup markup;
    EXPECT_TRUE(LoadGuarded(markup, nested(CXmlMarkup::MAX_NESTING_DEPTH)));
    int depth = 0;
    for (CXmlNode node = markup.GetRoot(); node.IsValid(); node = node.GetChild())
        ++depth;
    EXPECT_EQ(depth, CXmlMarkup::MAX_NESTING_DEPTH);

    EXPECT_FALSE(LoadGuarded(markup, nested(CXmlMarkup::MAX_NESTING_DEPTH + 1)));
    EXPECT_EQ(Str(markup.GetLastErrorMessage()), L"Elements nested too deeply");
    EXPECT_FALSE(markup.IsValid());

    // Far deeper than any stack would take unchecked.
    std::string deep;
    for (int i = 0; i < 100000; ++i)
        deep += "<a>";
    EXPECT_FALSE(LoadGuarded(markup, deep));
    EXPECT_EQ(Str(markup.GetLastErrorMessage()), L"Elements nested too deeply");
}

TEST(XmlMarkup, SeventyAttributesReportSixtyFour)
{
    std::string doc = "<Window";
    for (int i = 0; i < 70; ++i)
        doc += " a" + std::to_string(i) + "=\"v" + std::to_string(i) + "\"";
    doc += "><Child/></Window>";
    CXmlMarkup markup;
    ASSERT_TRUE(LoadGuarded(markup, doc));
    CXmlNode root = markup.GetRoot();
    EXPECT_EQ(root.GetAttributeCount(), CXmlNode::MAX_XML_ATTRIBUTES);
    EXPECT_EQ(Str(root.GetAttributeName(0)), L"a0");
    EXPECT_EQ(Str(root.GetAttributeName(63)), L"a63");
    EXPECT_EQ(Str(root.GetAttributeValue(63)), L"v63");
    EXPECT_EQ(Str(root.GetAttributeName(64)), L"");
    EXPECT_EQ(root.GetAttributeValue(L"a69"), nullptr);  // parsed, but out of reach
    EXPECT_EQ(Str(root.GetName()), L"Window");
    EXPECT_EQ(Str(root.GetChild().GetName()), L"Child");
}

TEST(XmlMarkup, NodeAccessors)
{
    CXmlMarkup markup(L"<Window caption=\"0,0,0,30\" size=\"abcdef\"><A/><B x=\"1\"/></Window>");
    CXmlNode root = markup.GetRoot();
    ASSERT_TRUE(root.IsValid());
    EXPECT_TRUE(root.HasAttributes());
    EXPECT_TRUE(root.HasChildren());
    EXPECT_FALSE(root.HasSiblings());
    EXPECT_FALSE(root.GetParent().IsValid());

    WCHAR buffer[4] = {};
    EXPECT_TRUE(root.GetAttributeValue(L"size", buffer, 3));
    EXPECT_EQ(std::wstring(buffer), L"abc");
    WCHAR whole[16] = {};
    EXPECT_TRUE(root.GetAttributeValue(L"size", whole, 15));
    EXPECT_EQ(std::wstring(whole), L"abcdef");
    EXPECT_FALSE(root.GetAttributeValue(L"Size", whole, 15));  // names are case-sensitive
    EXPECT_EQ(Str(root.GetAttributeName(-1)), L"");
    EXPECT_EQ(Str(root.GetAttributeValue(2)), L"");

    CXmlNode a = root.GetChild();
    EXPECT_FALSE(a.HasAttributes());
    EXPECT_EQ(a.GetAttributeCount(), 0);
    EXPECT_EQ(Str(a.GetParent().GetName()), L"Window");
    CXmlNode b = a.GetSibling();
    EXPECT_EQ(Str(b.GetAttributeValue(L"x")), L"1");
    EXPECT_FALSE(b.GetSibling().IsValid());

    CXmlNode invalid;
    EXPECT_FALSE(invalid.IsValid());
    EXPECT_EQ(invalid.GetName(), nullptr);
    EXPECT_EQ(invalid.GetAttributeName(0), nullptr);
    EXPECT_EQ(invalid.GetAttributeValue(0), nullptr);
    EXPECT_EQ(invalid.GetAttributeCount(), 0);
    EXPECT_FALSE(invalid.HasChildren());
    EXPECT_FALSE(invalid.GetChild().IsValid());
    EXPECT_FALSE(invalid.GetAttributeValue(L"x", whole, 15));
}

TEST(XmlMarkup, WhitespaceAfterABlankCanBeDropped)
{
    CXmlMarkup markup;
    markup.SetPreserveWhitespace(false);
    ASSERT_TRUE(markup.LoadFromString(L"<a x=\"a  \t b\" y=\"c\td\"/>"));
    EXPECT_EQ(Str(markup.GetRoot().GetAttributeValue(L"x")), L"a b");
    EXPECT_EQ(Str(markup.GetRoot().GetAttributeValue(L"y")), L"c\td");
}

TEST(XmlMarkup, ReleaseReloadAndFailureState)
{
    CXmlMarkup markup;
    EXPECT_FALSE(markup.IsValid());
    EXPECT_FALSE(markup.GetRoot().IsValid());

    ASSERT_TRUE(markup.LoadFromString(L"<a/>"));
    EXPECT_TRUE(markup.IsValid());
    EXPECT_FALSE(markup.LoadFromString(L"<a></b>"));
    EXPECT_FALSE(markup.IsValid());
    EXPECT_FALSE(markup.GetRoot().IsValid());
    EXPECT_EQ(Str(markup.GetLastErrorMessage()), L"Unmatched closing tag");

    ASSERT_TRUE(markup.LoadFromString(L"<b/>"));
    EXPECT_EQ(Str(markup.GetLastErrorMessage()), L"");
    EXPECT_EQ(Str(markup.GetRoot().GetName()), L"b");
    markup.Release();
    EXPECT_FALSE(markup.IsValid());

    // An empty document is a loaded document without a root.
    ASSERT_TRUE(markup.LoadFromString(L""));
    EXPECT_TRUE(markup.IsValid());
    EXPECT_FALSE(markup.GetRoot().IsValid());
}

TEST(XmlMarkup, ManyElementsGrowTheTable)
{
    std::string doc = "<List>";
    for (int i = 0; i < 3000; ++i)
        doc += "<Item n=\"" + std::to_string(i) + "\"/>";
    doc += "</List>";
    CXmlMarkup markup;
    ASSERT_TRUE(LoadGuarded(markup, doc));
    int count = 0;
    for (CXmlNode item = markup.GetRoot().GetChild(); item.IsValid(); item = item.GetSibling())
    {
        EXPECT_EQ(Str(item.GetAttributeValue(L"n")), std::to_wstring(count));
        ++count;
    }
    EXPECT_EQ(count, 3000);
}

TEST(XmlMarkup, ByteOrderMarksAndEncodings)
{
    const std::string utf8Doc = "<a t=\"\xE5\xAE\x89\xC3\xA9\"/>";
    const std::wstring expected = L"a t=\"\x5B89\x00E9\"";
    const std::wstring wideDoc = L"<a t=\"\x5B89\x00E9\"/>";
    auto utf16 = [&](bool bigEndian, bool bom) {
        std::string bytes;
        if (bom)
            bytes += bigEndian ? "\xFE\xFF" : "\xFF\xFE";
        for (wchar_t ch : wideDoc)
        {
            char hi = static_cast<char>(ch >> 8), lo = static_cast<char>(ch & 0xFF);
            bytes += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
        }
        return bytes;
    };

    struct Case
    {
        const char* label;
        std::string bytes;
        int encoding;
        bool ok;
        std::wstring dump;
    } cases[] = {
        {"utf-8", utf8Doc, XMLFILE_ENCODING_UTF8, true, expected},
        {"utf-8 bom", "\xEF\xBB\xBF" + utf8Doc, XMLFILE_ENCODING_UTF8, true, expected},
        {"utf-8 bom only", "\xEF\xBB\xBF", XMLFILE_ENCODING_UTF8, true, L""},
        {"utf-8 partial bom", "\xEF\xBB", XMLFILE_ENCODING_UTF8, false, L""},
        {"utf-8 bom twice", "\xEF\xBB\xBF\xEF\xBB\xBF" + utf8Doc, XMLFILE_ENCODING_UTF8, false, L""},
        {"utf-16le", utf16(false, true), XMLFILE_ENCODING_UNICODE, true, expected},
        {"utf-16be", utf16(true, true), XMLFILE_ENCODING_UNICODE, true, expected},
        {"utf-16le odd byte", utf16(false, true) + "x", XMLFILE_ENCODING_UNICODE, true, expected},
        {"utf-16 no bom", utf16(false, false), XMLFILE_ENCODING_UNICODE, false, L""},
        {"utf-16 one byte", "\xFF", XMLFILE_ENCODING_UNICODE, false, L""},
        {"utf-16 bom only", "\xFF\xFE", XMLFILE_ENCODING_UNICODE, true, L""},
        {"empty utf-16", "", XMLFILE_ENCODING_UNICODE, false, L""},
        {"unknown encoding", utf8Doc, 7, false, L""},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        CXmlMarkup markup;
        EXPECT_EQ(LoadGuarded(markup, c.bytes, c.encoding), c.ok);
        EXPECT_EQ(DumpDocument(markup), c.dump);
        if (!c.ok)
        {
            EXPECT_NE(Str(markup.GetLastErrorMessage()), L"");
        }
    }

    // ANSI goes through the system code page, whatever it is here.
    const std::string ansiDoc = "<a t=\"caf\xE9\"/>";
    WCHAR converted[32] = {};
    ::MultiByteToWideChar(CP_ACP, 0, ansiDoc.data(), static_cast<int>(ansiDoc.size()), converted, 31);
    CXmlMarkup ansi;
    ASSERT_TRUE(LoadGuarded(ansi, ansiDoc, XMLFILE_ENCODING_ANSI));
    EXPECT_EQ(Str(ansi.GetRoot().GetAttributeValue(L"t")), std::wstring(converted + 6, 4));
}

TEST(XmlMarkup, LoadFromFileReadsThroughTheSkinLocations)
{
    const CSkinFolder skin(L"xml_markup_test");
    const std::string doc = "\xEF\xBB\xBF<Window><Button name=\"Install\"/></Window>";
    ASSERT_TRUE(WriteFileBytes(skin.Path() + L"skin.xml", doc));

    CXmlMarkup markup;
    EXPECT_TRUE(markup.LoadFromFile(L"skin.xml")) << markup.GetLastErrorMessage();
    EXPECT_EQ(DumpDocument(markup), L"Window {Button name=\"Install\"}");
    EXPECT_FALSE(markup.LoadFromFile(L"missing.xml"));
    EXPECT_EQ(Str(markup.GetLastErrorMessage()), L"Error opening file");
    EXPECT_EQ(Str(markup.GetLastErrorLocation()), L"");
    EXPECT_FALSE(markup.IsValid());
}
