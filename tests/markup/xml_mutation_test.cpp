#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "tests/markup/xml_test_support.h"
#include "ui/markup/XmlMarkup.h"

// Damaged skins: every mutated document must either load into a sane tree or
// fail with a message. Deterministic (fixed seed) and bounded.

namespace
{

class Rng
{
public:
    explicit Rng(unsigned seed) : m_state(seed) {}
    unsigned Next()
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return m_state;
    }
    size_t Below(size_t n) { return n == 0 ? 0 : Next() % n; }

private:
    unsigned m_state;
};

const char* const kSeeds[] = {
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
    "<Window size=\"480,320\" caption=\"0,0,0,32\" roundcorner=\"4,4\">\n"
    "  <Font name=\"\xE5\xBE\xAE\xE8\xBD\xAF\xE9\x9B\x85\xE9\xBB\x91\" size=\"12\" default=\"true\"/>\n"
    "  <Default name=\"Button\" value=\"normalimage=&quot;btn.png&quot; textcolor=&quot;#FF000000&quot;\"/>\n"
    "  <!-- main layout -->\n"
    "  <VerticalLayout bkimage=\"bg.png\">\n"
    "    <HorizontalLayout height=\"32\">\n"
    "      <Label text=\"Setup &amp; go\" align=\"center\"/>\n"
    "      <Button name=\"closebtn\" width=\"24\" tooltip=\"&lt;close&gt;\"/>\n"
    "    </HorizontalLayout>\n"
    "    <Text text=\"\xE5\xAE\x89\xE8\xA3\x85\"  padding=\"8,8,8,8\"/>\n"
    "    <Button name=\"Install\" text=\"Install\" pos=\"10,10,110,40\"/>\n"
    "  </VerticalLayout>\n"
    "</Window>\n",

    "<Window><List><ListHeader><ListHeaderItem text=\"a\"/><ListHeaderItem text=\"b\"/></ListHeader>"
    "<ListTextElement text=\"x\"/></List><Combo><ListLabelElement text=\"1\"/></Combo></Window>",

    "<a x=\"1 &lt; 2\" y='3'><b/>tail<?pi?><c z=\"&apos;&quot;\">text &amp; more</c></a>",

    "<Window><TabLayout selectedid=\"0\"><VBox><HBox><Control/><Control width=\"1\"/></HBox></VBox>"
    "<ChildLayout xmlfile=\"sub.xml\"/></TabLayout>",
};

const std::string kTokens[] = {
    "<",
    ">",
    "/>",
    "</",
    "\"",
    "=",
    "&",
    "&amp;",
    "&lt",
    "<!--",
    "-->",
    "<?",
    "?>",
    " ",
    "\t",
    "\n",
    std::string("\0", 1),
    "\xEF\xBB\xBF",
    "\xFF\xFE",
    "\xC3",
    "\xE5\xAE",
    "\xF0\x9F\x98\x80",
    "a",
    ":",
    "<Window>",
    "</Window>",
    "<a x=\"",
    "'",
};

std::string Mutate(Rng& rng, std::string doc)
{
    int steps = 1 + static_cast<int>(rng.Below(3));
    for (int i = 0; i < steps; ++i)
    {
        size_t at = rng.Below(doc.size() + 1);
        switch (rng.Below(6))
        {
        case 0:  // overwrite one byte
            if (!doc.empty())
                doc[rng.Below(doc.size())] = static_cast<char>(rng.Next());
            break;
        case 1:  // insert a token
        {
            size_t t = rng.Below(sizeof(kTokens) / sizeof(kTokens[0]));
            doc.insert(at, kTokens[t]);
            break;
        }
        case 2:  // delete a range
            doc.erase(at, rng.Below(16) + 1);
            break;
        case 3:  // cut the end off
            doc.resize(at);
            break;
        case 4:  // duplicate a range, which deepens or repeats structure
        {
            size_t len = rng.Below(64) + 1;
            std::string piece = doc.substr(at, len);
            doc.insert(rng.Below(doc.size() + 1), piece);
            break;
        }
        default:  // swap two bytes
            if (doc.size() > 1)
                std::swap(doc[rng.Below(doc.size())], doc[rng.Below(doc.size())]);
            break;
        }
    }
    return doc;
}

bool IsIdentifier(LPCWSTR p)
{
    for (; *p; ++p)
    {
        if (!(*p == L'_' || *p == L':' || ::IsCharAlphaNumericW(*p)))
            return false;
    }
    return true;
}

// Walks the whole tree; names are identifiers, links agree, nothing is null.
int CheckTree(const CXmlNode& first, const CXmlNode& parent, int depth)
{
    int count = 0;
    for (CXmlNode node = first; node.IsValid(); node = node.GetSibling())
    {
        ++count;
        EXPECT_LE(depth, CXmlMarkup::MAX_NESTING_DEPTH);
        LPCWSTR name = node.GetName();
        EXPECT_NE(name, nullptr);
        EXPECT_TRUE(IsIdentifier(name)) << Str(name);
        if (parent.IsValid())
        {
            EXPECT_EQ(node.GetParent().GetName(), parent.GetName());
        }
        int n = node.GetAttributeCount();
        EXPECT_LE(n, CXmlNode::MAX_XML_ATTRIBUTES);
        for (int i = 0; i < n; ++i)
        {
            EXPECT_TRUE(IsIdentifier(node.GetAttributeName(i))) << Str(node.GetAttributeName(i));
            EXPECT_NE(node.GetAttributeValue(i), nullptr);
        }
        if (node.HasChildren())
            count += CheckTree(node.GetChild(), node, depth + 1);
    }
    return count;
}

}  // namespace

TEST(XmlMutation, EveryDamagedDocumentLoadsOrFailsWithAMessage)
{
    Rng rng(0x5EED1234u);
    const int kRuns = 4000;
    int loaded = 0;
    int failed = 0;
    for (int run = 0; run < kRuns; ++run)
    {
        const std::string seed = kSeeds[rng.Below(sizeof(kSeeds) / sizeof(kSeeds[0]))];
        std::string doc = Mutate(rng, seed);
        int encoding = XMLFILE_ENCODING_UTF8;
        unsigned pick = rng.Below(10);
        if (pick == 0)
            encoding = XMLFILE_ENCODING_ANSI;
        else if (pick == 1)
            encoding = XMLFILE_ENCODING_UNICODE;  // mostly fails for want of a byte-order mark
        else if (pick == 2)
            doc = "\xEF\xBB\xBF" + doc;

        CXmlMarkup markup;
        markup.SetPreserveWhitespace(run % 2 == 0);
        bool ok = LoadGuarded(markup, doc, encoding);
        SCOPED_TRACE("run " + std::to_string(run));
        if (ok)
        {
            ++loaded;
            EXPECT_TRUE(markup.IsValid());
            EXPECT_EQ(Str(markup.GetLastErrorMessage()), L"");
            CheckTree(markup.GetRoot(), CXmlNode(), 1);
        }
        else
        {
            ++failed;
            EXPECT_FALSE(markup.IsValid());
            EXPECT_NE(Str(markup.GetLastErrorMessage()), L"");
            EXPECT_LE(wcslen(markup.GetLastErrorLocation()), 49u);
        }
        if (HasFailure())
            break;
    }
    // Both outcomes must be well represented, or the run proves little.
    RecordProperty("loaded", loaded);
    RecordProperty("failed", failed);
    EXPECT_GT(loaded, kRuns / 20);
    EXPECT_GT(failed, kRuns / 20);
}
