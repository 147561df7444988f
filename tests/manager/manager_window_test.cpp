#include <gtest/gtest.h>

#include <windows.h>

#include "tests/support/TestWindow.h"
#include "ui/controls/Control.h"
#include "ui/manager/Manager.h"

namespace
{
struct SizeCase
{
    const wchar_t* name;
    const wchar_t* value;
    SIZE expected;
};

struct RectCase
{
    const wchar_t* name;
    const wchar_t* value;
    RECT expected;
};
}  // namespace

TEST(WindowAttributes, NumberListsTakeAnySeparatorAndMissingNumbersAreZero)
{
    const SizeCase sizes[] = {
        {L"size", L"400,300", {400, 300}},
        {L"size", L"400;300", {400, 300}},
        {L"size", L"400, 300", {400, 300}},
        {L"SIZE", L"400", {400, 0}},
        {L"Size", L"", {0, 0}},
        {L"size", L"12x", {12, 0}},
    };
    for (const SizeCase& c : sizes)
    {
        CManagerUI manager;
        manager.SetWindowAttribute(c.name, c.value);
        EXPECT_EQ(manager.GetInitSize().cx, c.expected.cx) << c.value;
        EXPECT_EQ(manager.GetInitSize().cy, c.expected.cy) << c.value;
    }

    const RectCase rects[] = {
        {L"caption", L"0,0,0,32", {0, 0, 0, 32}},
        {L"Caption", L"1,2", {1, 2, 0, 0}},
        {L"caption", L"5,6,7,8,9", {5, 6, 7, 8}},
    };
    for (const RectCase& c : rects)
    {
        CManagerUI manager;
        manager.SetWindowAttribute(c.name, c.value);
        const RECT rc = manager.GetCaptionRect();
        EXPECT_TRUE(::EqualRect(&rc, &c.expected)) << c.value;
    }
}

TEST(WindowAttributes, EachNameReachesItsSettingWithItsCaseRule)
{
    CManagerUI manager;
    manager.SetWindowAttribute(L"SizeBox", L"4,4,6,6");
    manager.SetWindowAttribute(L"roundcorner", L"5,5");
    manager.SetWindowAttribute(L"MinInfo", L"100,80");
    manager.SetWindowAttribute(L"maxinfo", L"900,700");
    manager.SetWindowAttribute(L"showdirty", L"TRUE");
    manager.SetWindowAttribute(L"noactivate", L"true");
    manager.SetWindowAttribute(L"Opacity", L"128");
    manager.SetWindowAttribute(L"DefaultFontColor", L"#FF102030");
    manager.SetWindowAttribute(L"linkfontcolor", L"FF0000FF");
    manager.SetWindowAttribute(L"linkhoverfontcolor", L"#80FF0000");
    manager.SetWindowAttribute(L"disabledfontcolor", L"#FFA0A0A0");
    manager.SetWindowAttribute(L"selectedcolor", L"#FFBAE4FE");

    const RECT sizeBox = manager.GetSizeBox();
    const RECT expectedBox = {4, 4, 6, 6};
    EXPECT_TRUE(::EqualRect(&sizeBox, &expectedBox));
    EXPECT_EQ(manager.GetRoundCorner().cx, 5);
    EXPECT_EQ(manager.GetMinInfo().cx, 100);
    EXPECT_EQ(manager.GetMaxInfo().cy, 700);
    EXPECT_TRUE(manager.IsShowUpdateRect());
    EXPECT_TRUE(manager.IsNoActivate());
    EXPECT_EQ(manager.GetOpacity(), 128);
    EXPECT_EQ(manager.GetDefaultFontColor(), 0xFF102030u);
    EXPECT_EQ(manager.GetDefaultLinkFontColor(), 0xFF0000FFu);
    EXPECT_EQ(manager.GetDefaultLinkHoverFontColor(), 0x80FF0000u);
    EXPECT_EQ(manager.GetDefaultDisabledColor(), 0xFFA0A0A0u);
    EXPECT_EQ(manager.GetDefaultSelectedBkColor(), 0xFFBAE4FEu);
    EXPECT_EQ(CManagerUI::SharedResources().defaultFontColor, 0xFF000000u);  // this window only
}

TEST(WindowAttributes, UnknownAndMiscasedExactNamesBecomeCustomAttributes)
{
    CManagerUI manager;
    manager.SetWindowAttribute(L"NoActivate", L"true");
    manager.SetWindowAttribute(L"LayeredOpacity", L"10");
    manager.SetWindowAttribute(L"skin", L"blue");
    manager.SetWindowAttribute(L"skin", L"red");  // the first value stays
    manager.SetWindowAttribute(L"empty", L"");

    EXPECT_FALSE(manager.IsNoActivate());
    EXPECT_EQ(manager.GetOpacity(), 255);
    EXPECT_STREQ(manager.GetWindowCustomAttribute(L"NoActivate"), L"true");
    EXPECT_STREQ(manager.GetWindowCustomAttribute(L"LayeredOpacity"), L"10");
    EXPECT_STREQ(manager.GetWindowCustomAttribute(L"skin"), L"blue");
    EXPECT_EQ(manager.GetWindowCustomAttribute(L"empty"), nullptr);

    manager.SetWindowAttribute(L"layeredopacity", L"300");  // clamped to a byte
    EXPECT_EQ(manager.GetOpacity(), 255);
    manager.SetWindowAttribute(L"layeredopacity", L"64");
    EXPECT_EQ(manager.GetOpacity(), 64);
}

TEST(WindowAttributes, SizeResizesTheWindowOnlyBeforeTheTreeIsAttached)
{
    CTestWindow window;
    ASSERT_NE(window.Get(), nullptr);
    CManagerUI manager;
    manager.Init(window.Get());
    EXPECT_EQ(manager.GetPaintWindow(), window.Get());
    EXPECT_NE(manager.GetPaintDC(), nullptr);

    manager.SetWindowAttribute(L"size", L"320,240");
    RECT rc;
    ::GetWindowRect(window.Get(), &rc);
    EXPECT_EQ(rc.right - rc.left, 320);
    EXPECT_EQ(rc.bottom - rc.top, 240);
    EXPECT_EQ(rc.left, 10);  // not moved

    manager.AttachRoot(new CControlUI);
    manager.SetInitSize(500, 400);
    ::GetWindowRect(window.Get(), &rc);
    EXPECT_EQ(rc.right - rc.left, 320);
    EXPECT_EQ(manager.GetInitSize().cx, 500);
}

TEST(WindowAttributes, OpacityMakesTheWindowSystemLayered)
{
    CTestWindow window;
    CManagerUI manager;
    manager.Init(window.Get());
    manager.SetWindowAttribute(L"opacity", L"200");
    EXPECT_NE(::GetWindowLongW(window.Get(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
    EXPECT_FALSE(manager.IsLayered());

    CTestWindow other;
    CManagerUI layeredManager;
    layeredManager.Init(other.Get());
    layeredManager.SetLayered(true);
    EXPECT_TRUE(layeredManager.IsLayered());
    EXPECT_NE(::GetWindowLongW(other.Get(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
    layeredManager.SetLayered(false);
    EXPECT_EQ(::GetWindowLongW(other.Get(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
}
