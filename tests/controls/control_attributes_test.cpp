#include <gtest/gtest.h>

#include <limits.h>

#include "control_test_support.h"

namespace
{
struct TPosCase
{
    const wchar_t* value;
    int x, y, width, height;
};

// Width 7 and height 9 are set first, so a size the list makes negative
// shows up as those values left alone.
TEST(ControlAttributes, PosReadsFourNumbersWithOneSeparatorEach)
{
    const TPosCase cases[] = {
        {L"10,20,110,50", 10, 20, 100, 30},
        {L"10, 20, 110, 50", 10, 20, 100, 30},  // the blank is the skipped character
        {L"10 ,20,110,50", 10, 0, 10, 110},     // the blank is skipped instead of the comma
        {L"30,0,10,5", 30, 0, 7, 5},            // right < left: width unchanged
        {L"5", 5, 0, 7, 0},
        {L"1,2,3", 1, 2, 2, 9},
        {L"", 0, 0, 0, 0},
        {L"x,y", 0, 0, 0, 0},
        {L"-2147483648,0,2147483647,4", INT_MIN, 0, INT_MAX, 4},
    };
    for (const TPosCase& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "pos=" << c.value);
        CControlUI control;
        control.SetAttribute(L"width", L"7");
        control.SetAttribute(L"height", L"9");
        control.SetAttribute(L"pos", c.value);
        EXPECT_EQ(control.GetFixedXY().cx, c.x);
        EXPECT_EQ(control.GetFixedXY().cy, c.y);
        EXPECT_EQ(control.GetFixedWidth(), c.width);
        EXPECT_EQ(control.GetFixedHeight(), c.height);
    }
}

struct TListCase
{
    const wchar_t* list;
    RECT border;
    RECT padding;
    SIZE round;
};

TEST(ControlAttributes, BorderPaddingAndRoundLists)
{
    const TListCase cases[] = {
        {L"bordersize=\"3\"", {3, 3, 3, 3}, {0, 0, 0, 0}, {0, 0}},
        {L"bordersize=\" 2\"", {2, 2, 2, 2}, {0, 0, 0, 0}, {0, 0}},
        {L"bordersize=\"1,2,3,4\"", {1, 2, 3, 4}, {0, 0, 0, 0}, {0, 0}},
        {L"bordersize=\"1,2\"", {1, 2, 0, 0}, {0, 0, 0, 0}, {0, 0}},
        {L"bordersize=\"4,\"", {4, 0, 0, 0}, {0, 0, 0, 0}, {0, 0}},
        {L"padding=\"4,3,2,1\"", {0, 0, 0, 0}, {4, 3, 2, 1}, {0, 0}},
        {L"padding=\"4, 3, 2\"", {0, 0, 0, 0}, {4, 3, 2, 0}, {0, 0}},
        {L"borderround=\"4,6\"", {0, 0, 0, 0}, {0, 0, 0, 0}, {4, 6}},
        {L"borderround=\"4\"", {0, 0, 0, 0}, {0, 0, 0, 0}, {4, 0}},
        {L"borderround=\"-3,5\"", {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 5}},
    };
    for (const TListCase& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.list);
        CControlUI control;
        control.ApplyAttributeList(c.list);
        const RECT border = control.GetBorderSize();
        EXPECT_EQ(border.left, c.border.left);
        EXPECT_EQ(border.top, c.border.top);
        EXPECT_EQ(border.right, c.border.right);
        EXPECT_EQ(border.bottom, c.border.bottom);
        const RECT padding = control.GetPadding();
        EXPECT_EQ(padding.left, c.padding.left);
        EXPECT_EQ(padding.top, c.padding.top);
        EXPECT_EQ(padding.right, c.padding.right);
        EXPECT_EQ(padding.bottom, c.padding.bottom);
        EXPECT_EQ(control.GetBorderRound().cx, c.round.cx);
        EXPECT_EQ(control.GetBorderRound().cy, c.round.cy);
    }
}

struct TColorCase
{
    const wchar_t* name;
    const wchar_t* value;
    DWORD (CControlUI::*get)() const;
    DWORD expected;
};

TEST(ControlAttributes, ColoursAreArgbWithOptionalHashAndPrefix)
{
    const TColorCase cases[] = {
        {L"bkcolor", L"#FFFF0000", &CControlUI::GetBkColor, 0xFFFF0000},
        {L"bkcolor", L"FF0000", &CControlUI::GetBkColor, 0x00FF0000},  // six digits: alpha 0
        {L"bkcolor", L" #FF112233", &CControlUI::GetBkColor, 0xFF112233},
        {L"bkcolor", L"nonsense", &CControlUI::GetBkColor, 0},
        {L"bkcolor1", L"#80102030", &CControlUI::GetBkColor, 0x80102030},
        {L"bkcolor2", L"0xFF00FF00", &CControlUI::GetBkColor2, 0xFF00FF00},
        {L"bkcolor3", L"#FF0000zz", &CControlUI::GetBkColor3, 0x00FF0000},
        {L"bordercolor", L"#FF00FF00", &CControlUI::GetBorderColor, 0xFF00FF00},
        {L"bordercolor", L" #FFFF0000", &CControlUI::GetBorderColor, 0},  // no blanks before "#" here
        {L"focusbordercolor", L"#FF0000FF", &CControlUI::GetFocusBorderColor, 0xFF0000FF},
    };
    for (const TColorCase& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.name << "=" << c.value);
        CControlUI control;
        control.SetAttribute(c.name, c.value);
        EXPECT_EQ((control.*c.get)(), c.expected);
    }
}

struct TBoolCase
{
    const wchar_t* name;
    const wchar_t* value;
    bool expected;
};

bool ReadBack(const CControlUI& control, const wchar_t* name)
{
    const std::wstring n = name;
    if (n == L"visible")
        return control.IsVisible();
    if (n == L"enabled")
        return control.IsEnabled();
    if (n == L"mouse")
        return control.IsMouseEnabled();
    if (n == L"keyboard")
        return control.IsKeyboardEnabled();
    if (n == L"menu")
        return control.HasContextMenu();
    if (n == L"colorhsl")
        return control.IsColorHSL();
    return control.IsFloat();
}

// Each case starts from the opposite value, so both directions are seen.
TEST(ControlAttributes, BooleansAreTrueOnlyForExactlyTrue)
{
    const TBoolCase cases[] = {
        {L"visible", L"true", true},  {L"visible", L"false", false}, {L"visible", L"True", false},
        {L"visible", L"1", false},    {L"enabled", L"false", false}, {L"enabled", L"true", true},
        {L"mouse", L"true", true},    {L"mouse", L"no", false},      {L"keyboard", L"TRUE", false},
        {L"keyboard", L"true", true}, {L"menu", L"true", true},      {L"menu", L" true", false},
        {L"colorhsl", L"true", true}, {L"float", L"true", true},     {L"float", L"0.25", false},
    };
    for (const TBoolCase& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.name << "=" << c.value);
        CControlUI control;
        control.SetAttribute(c.name, c.expected ? L"false" : L"true");
        ASSERT_EQ(ReadBack(control, c.name), !c.expected);
        control.SetAttribute(c.name, c.value);
        EXPECT_EQ(ReadBack(control, c.name), c.expected);
    }
}

TEST(ControlAttributes, FloatFractionsMakeTheControlFloat)
{
    struct TCase
    {
        const wchar_t* value;
        double left, top, right, bottom;
    } const cases[] = {
        {L"0.5,0,0.5,0", 0.5, 0, 0.5, 0},     {L"0.5, 0.25, 1, 1", 0.5, 0.25, 1, 1},
        {L"0.5,0.25", 0.5, 0.25, 0, 0},       {L"1,", 1, 0, 0, 0},
        {L"nan,inf,1e400,0.5", 0, 0, 0, 0.5},  // what is not a finite number reads as 0
    };
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "float=" << c.value);
        CControlUI control;
        control.SetAttribute(L"float", c.value);
        EXPECT_TRUE(control.IsFloat());
        const TPercentInfo percent = control.GetFloatPercent();
        EXPECT_DOUBLE_EQ(percent.left, c.left);
        EXPECT_DOUBLE_EQ(percent.top, c.top);
        EXPECT_DOUBLE_EQ(percent.right, c.right);
        EXPECT_DOUBLE_EQ(percent.bottom, c.bottom);
    }
}

TEST(ControlAttributes, NumbersTextsAndLimits)
{
    CControlUI control;
    control.ApplyAttributeList(L"width=\" 42px\" height=\"abc\" minwidth=\"40\" maxwidth=\"5\" "
                               L"minheight=\"-3\" maxheight=\"60\" tag=\"123\" name=\"ok\" text=\"Go\" "
                               L"tooltip=\"a<n>b<n>\" userdata=\"u d\" shortcut=\"Xyz\" virtualwnd=\"page\"");
    EXPECT_EQ(control.GetFixedWidth(), 42);
    EXPECT_EQ(control.GetFixedHeight(), 0);
    EXPECT_EQ(control.GetMaxWidth(), 40);  // a maximum below the minimum acts as the minimum
    EXPECT_EQ(control.GetMinHeight(), 0);  // negative limits are ignored
    EXPECT_EQ(control.GetMaxHeight(), 60);
    EXPECT_EQ(control.GetTag(), 123u);
    EXPECT_EQ(control.GetName(), L"ok");
    EXPECT_EQ(control.GetText(), L"Go");
    EXPECT_EQ(control.GetToolTip(), L"a\r\nb\r\n");
    EXPECT_EQ(control.GetUserData(), L"u d");
    EXPECT_EQ(control.GetShortcut(), L'X');
    EXPECT_EQ(control.GetVirtualWnd(), L"page");

    control.SetAttribute(L"shortcut", L"");
    EXPECT_EQ(control.GetShortcut(), 0);
    control.SetAttribute(L"width", L"-5");
    EXPECT_EQ(control.GetFixedWidth(), 42);
}

TEST(ControlAttributes, UnknownNamesKeepTheirFirstValue)
{
    CControlUI control;
    control.ApplyAttributeList(L"shadow=\"1\" shadow=\"2\" Width=\"80\" empty=\"\"");
    EXPECT_STREQ(control.GetCustomAttribute(L"shadow"), L"1");
    EXPECT_STREQ(control.GetCustomAttribute(L"Width"), L"80");  // names are case-sensitive
    EXPECT_EQ(control.GetFixedWidth(), 0);
    EXPECT_EQ(control.GetCustomAttribute(L"empty"), nullptr);
    EXPECT_FALSE(control.AddCustomAttribute(L"", L"x"));
    EXPECT_FALSE(control.AddCustomAttribute(L"x", L""));

    control.RemoveAllCustomAttributes();
    EXPECT_EQ(control.GetCustomAttribute(L"shadow"), nullptr);
    EXPECT_TRUE(control.AddCustomAttribute(L"shadow", L"3"));
    EXPECT_STREQ(control.GetCustomAttribute(L"shadow"), L"3");
}

struct TListSyntaxCase
{
    const wchar_t* list;
    const wchar_t* a;  // null: not applied
    const wchar_t* b;
};

TEST(ControlAttributeList, PairsStopAtTheFirstMalformedOne)
{
    const TListSyntaxCase cases[] = {
        {L"a=\"1\" b=\"2\"", L"1", L"2"},
        {L"a=\"1\" b=\"2\" ", L"1", L"2"},
        {L"a=\"1\",b=\"2\"", L"1", nullptr},  // a comma is not the separator
        {L"a=\"1\"b=\"2\"", L"1", nullptr},
        {L"a = \"1\" b=\"2\"", nullptr, nullptr},  // blanks around "="
        {L"a='1' b=\"2\"", nullptr, nullptr},
        {L"a=\"1\" b=\"2", L"1", nullptr},  // unterminated value
        {L"a=\"1\" b", L"1", nullptr},      // a name without "=" at the end
        {L"a=\"1\" b=", L"1", nullptr},
        {L"a", nullptr, nullptr},
        {L"", nullptr, nullptr},
    };
    for (const TListSyntaxCase& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.list);
        CControlUI control;
        control.ApplyAttributeList(c.list);
        const LPCWSTR a = control.GetCustomAttribute(L"a");
        const LPCWSTR b = control.GetCustomAttribute(L"b");
        if (c.a == nullptr)
            EXPECT_EQ(a, nullptr);
        else
            EXPECT_STREQ(a, c.a);
        if (c.b == nullptr)
            EXPECT_EQ(b, nullptr);
        else
            EXPECT_STREQ(b, c.b);
    }
    CControlUI control;
    control.ApplyAttributeList(NULL);
}

// A list handed over inside a larger buffer: what lies after its end must
// never be taken for the rest of a name that has no "=".
TEST(ControlAttributeList, NothingPastTheEndOfTheListIsRead)
{
    const wchar_t buffer[] = L"text=\"a\" tag\0=\"7\" name=\"past\"";
    CControlUI control;
    control.ApplyAttributeList(buffer);
    EXPECT_EQ(control.GetText(), L"a");
    EXPECT_EQ(control.GetTag(), 0u);
    EXPECT_EQ(control.GetName(), L"");

    const wchar_t nameOnly[] = L"tag\0=\"7\"";
    control.ApplyAttributeList(nameOnly);
    EXPECT_EQ(control.GetTag(), 0u);
}
}  // namespace
