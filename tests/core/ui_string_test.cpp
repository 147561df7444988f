#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "ui/core/UIString.h"

namespace
{

std::wstring Repeat(wchar_t ch, int n)
{
    return std::wstring(static_cast<size_t>(n), ch);
}

bool IsInline(const CUIString& s)
{
    const char* p = reinterpret_cast<const char*>(s.GetData());
    const char* self = reinterpret_cast<const char*>(&s);
    return p >= self && p < self + sizeof(s);
}

// Characters the heap block can hold; 0 while the text is inline.
size_t HeapChars(const CUIString& s)
{
    if (IsInline(s))
        return 0;
    return ::HeapSize(::GetProcessHeap(), 0, s.GetData()) / sizeof(WCHAR);
}

}  // namespace

TEST(UIString, AssignMovesBetweenInlineAndHeapAtSixtyThree)
{
    struct Case
    {
        int length;
        bool inlineExpected;
        size_t heapChars;
    } cases[] = {
        {0, true, 0}, {1, true, 0}, {62, true, 0}, {63, false, 64}, {64, false, 65}, {500, false, 501},
    };
    for (const Case& c : cases)
    {
        std::wstring text = Repeat(L'x', c.length);
        CUIString s(text.c_str());
        EXPECT_EQ(s.GetLength(), c.length) << c.length;
        EXPECT_EQ(IsInline(s), c.inlineExpected) << c.length;
        EXPECT_EQ(HeapChars(s), c.heapChars) << c.length;
        EXPECT_EQ(std::wstring(s.GetData()), text);
    }

    CUIString s(Repeat(L'y', 63).c_str());
    ASSERT_FALSE(IsInline(s));
    s = L"0123456789";
    EXPECT_TRUE(IsInline(s));
    EXPECT_EQ(std::wstring(s.GetData()), L"0123456789");
}

TEST(UIString, AssignWithLengthStopsAtTheSourceTerminator)
{
    CUIString s;
    s.Assign(L"abc", 5);
    EXPECT_EQ(s.GetLength(), 3);
    s.Assign(L"abcdef", 2);
    EXPECT_EQ(std::wstring(s.GetData()), L"ab");
    s.Assign(nullptr, 4);
    EXPECT_TRUE(s.IsEmpty());

    // A shorter long text reuses the block, a longer one needs a new one.
    std::wstring big = Repeat(L'b', 100);
    s = big.c_str();
    s = Repeat(L'c', 70).c_str();
    EXPECT_EQ(std::wstring(s.GetData()), Repeat(L'c', 70));
    s = Repeat(L'd', 120).c_str();
    EXPECT_EQ(std::wstring(s.GetData()), Repeat(L'd', 120));
}

TEST(UIString, AppendAcrossTheThreshold)
{
    struct Case
    {
        int before;
        int added;
        bool inlineAfter;
    } cases[] = {
        {60, 2, true}, {60, 3, false}, {0, 62, true}, {0, 63, false}, {62, 1, false}, {70, 5, false},
    };
    for (const Case& c : cases)
    {
        CUIString s(Repeat(L'a', c.before).c_str());
        s.Append(Repeat(L'b', c.added).c_str());
        EXPECT_EQ(IsInline(s), c.inlineAfter) << c.before << "+" << c.added;
        EXPECT_EQ(std::wstring(s.GetData()), Repeat(L'a', c.before) + Repeat(L'b', c.added));
        if (!c.inlineAfter)
        {
            EXPECT_EQ(HeapChars(s), static_cast<size_t>(c.before + c.added + 1));
        }
    }

    CUIString s(L"abc");
    s.Append(static_cast<LPCWSTR>(nullptr));
    s.Append(L'd');
    s += L"ef";
    s += CUIString(L"g");
    EXPECT_EQ(std::wstring(s.GetData()), L"abcdefg");
    s = static_cast<LPCWSTR>(nullptr);
    EXPECT_TRUE(s.IsEmpty());
}

// Sources inside the string itself: the old storage must not be read after
// it was freed or moved.
TEST(UIString, AssignAndAppendFromItself)
{
    const std::wstring long70 = Repeat(L'p', 35) + Repeat(L'q', 35);
    const std::wstring short10 = L"0123456789";

    {
        CUIString s(long70.c_str());
        s.Append(s);
        EXPECT_EQ(std::wstring(s.GetData()), long70 + long70);
    }
    {
        CUIString s(short10.c_str());
        s.Append(s);  // stays inline
        EXPECT_EQ(std::wstring(s.GetData()), short10 + short10);
    }
    {
        CUIString s(Repeat(L'z', 40).c_str());
        s.Append(s);  // inline to heap
        EXPECT_EQ(std::wstring(s.GetData()), Repeat(L'z', 80));
    }
    {
        CUIString s(long70.c_str());
        s.Append(s.GetData() + 60);  // a suffix of a heap text
        EXPECT_EQ(std::wstring(s.GetData()), long70 + long70.substr(60));
    }
    {
        CUIString s(long70.c_str());
        s.Assign(s.GetData() + 35);  // short suffix of a heap text: back to inline
        EXPECT_EQ(std::wstring(s.GetData()), Repeat(L'q', 35));
        EXPECT_TRUE(IsInline(s));
    }
    {
        std::wstring text = Repeat(L'r', 5) + Repeat(L's', 80);
        CUIString s(text.c_str());
        s.Assign(s.GetData() + 5);  // long suffix, block reused
        EXPECT_EQ(std::wstring(s.GetData()), Repeat(L's', 80));
    }
    {
        CUIString s(short10.c_str());
        s.Assign(s.GetData() + 3, 4);
        EXPECT_EQ(std::wstring(s.GetData()), L"3456");
    }
    {
        CUIString s(long70.c_str());
        s = s;
        EXPECT_EQ(std::wstring(s.GetData()), long70);
        s = s.GetData();
        EXPECT_EQ(std::wstring(s.GetData()), long70);
    }
}

TEST(UIString, LeftMidAndFindBounds)
{
    CUIString abcde(L"abcde");
    EXPECT_EQ(std::wstring(abcde.Left(-1).GetData()), L"");
    EXPECT_EQ(std::wstring(abcde.Left(2).GetData()), L"ab");
    EXPECT_EQ(std::wstring(abcde.Left(1000).GetData()), L"abcde");

    CUIString abcdef(L"abcdef");
    struct MidCase
    {
        int start;
        int count;
        const wchar_t* expected;
    } mids[] = {
        {2, -1, L"cdef"}, {4, 10, L"ef"}, {6, -1, L""}, {0, 0, L""}, {1, 2, L"bc"}, {0, -1, L"abcdef"},
    };
    for (const MidCase& c : mids)
        EXPECT_EQ(std::wstring(abcdef.Mid(c.start, c.count).GetData()), c.expected)
            << c.start << "," << c.count;

    CUIString abc(L"abc");
    struct FindCase
    {
        const wchar_t* text;
        int start;
        int expected;
    } finds[] = {
        {L"b", 0, 1}, {L"b", 2, -1}, {L"b", 4, -1},    {L"b", -1, -1},
        {L"", 3, 3},  {L"bc", 1, 1}, {L"abcd", 0, -1}, {L"c", 3, -1},
    };
    for (const FindCase& c : finds)
        EXPECT_EQ(abc.Find(c.text, c.start), c.expected) << c.text << "@" << c.start;

    struct CharCase
    {
        wchar_t ch;
        int start;
        int expected;
    } chars[] = {
        {L'c', 0, 2}, {L'c', 2, 2}, {L'c', 3, -1}, {L'a', 1, -1}, {L'a', -2, -1}, {L'z', 0, -1},
    };
    for (const CharCase& c : chars)
        EXPECT_EQ(abc.Find(c.ch, c.start), c.expected) << char(c.ch) << "@" << c.start;

    CUIString path(L"a/b/c");
    EXPECT_EQ(path.ReverseFind(L'/'), 3);
    EXPECT_EQ(path.ReverseFind(L'x'), -1);
}

TEST(UIString, Replace)
{
    struct Case
    {
        const wchar_t* text;
        const wchar_t* from;
        const wchar_t* to;
        const wchar_t* expected;
        int count;
    } cases[] = {
        {L"aaa", L"a", L"aa", L"aaaaaa", 3},
        {L"abcabc", L"bc", L"", L"aa", 2},
        {L"abc", L"x", L"y", L"abc", 0},
        {L"abc", L"", L"y", L"abc", 0},  // empty search text: nothing to do, and it ends
        {L"abc", nullptr, L"y", L"abc", 0},
        {L"a,b", L",", nullptr, L"ab", 1},
        {L"x", L"x", L"yx", L"yx", 1},
    };
    for (const Case& c : cases)
    {
        CUIString s(c.text);
        EXPECT_EQ(s.Replace(c.from, c.to), c.count) << c.text;
        EXPECT_EQ(std::wstring(s.GetData()), c.expected) << c.text;
    }

    // Growing across the inline limit, and arguments that point into the string.
    std::wstring dots = Repeat(L'.', 40);
    CUIString s(dots.c_str());
    EXPECT_EQ(s.Replace(L".", L"::"), 40);
    EXPECT_EQ(std::wstring(s.GetData()), Repeat(L':', 80));

    CUIString t(L"ab-ab");
    EXPECT_EQ(t.Replace(t.GetData() + 3, L"X"), 2);
    EXPECT_EQ(std::wstring(t.GetData()), L"X-X");
}

TEST(UIString, FormatIsBounded)
{
    CUIString s;
    EXPECT_EQ(s.Format(L"%4d-%02d-%02d", 2024, 1, 5), 10);
    EXPECT_EQ(std::wstring(s.GetData()), L"2024-01-05");

    // Longer than the inline buffer: kept whole.
    std::wstring mid = Repeat(L'm', 500);
    EXPECT_EQ(s.Format(L"<%s>", mid.c_str()), 502);
    EXPECT_EQ(std::wstring(s.GetData()), L"<" + mid + L">");

    // Longer than the formatter ever writes: cut, never overrun.
    std::wstring huge = Repeat(L'h', 5000);
    s.Format(L"%s", huge.c_str());
    EXPECT_GT(s.GetLength(), 0);
    EXPECT_LE(s.GetLength(), 1024);
    EXPECT_EQ(std::wstring(s.GetData()), Repeat(L'h', s.GetLength()));

    // The format may be the string's own text.
    s = L"%d apples";
    s.Format(s.GetData(), 3);
    EXPECT_EQ(std::wstring(s.GetData()), L"3 apples");
}

TEST(UIString, CompareCaseAndOperators)
{
    CUIString s(L"Button");
    EXPECT_EQ(s.Compare(L"Button"), 0);
    EXPECT_LT(s.Compare(L"Buttons"), 0);
    EXPECT_GT(s.Compare(L"Butto"), 0);
    EXPECT_NE(s.Compare(L"button"), 0);
    EXPECT_EQ(s.CompareNoCase(L"bUTTON"), 0);
    EXPECT_TRUE(s == L"Button");
    EXPECT_TRUE(s != L"button");
    EXPECT_GT(s.Compare(nullptr), 0);
    // Ordinal: code unit 0xE9 sorts after every ASCII letter.
    EXPECT_GT(CUIString(L"\x00e9").Compare(L"z"), 0);

    s.MakeLower();
    EXPECT_EQ(std::wstring(s.GetData()), L"button");

    CUIString one(L'x');
    EXPECT_EQ(std::wstring((one + L"y" + CUIString(L"z")).GetData()), L"xyz");
    EXPECT_EQ(one.GetAt(0), L'x');
    CUIString copy(one);
    copy = L'q';
    EXPECT_EQ(std::wstring(copy.GetData()), L"q");
    EXPECT_EQ(std::wstring(one.GetData()), L"x");
}
