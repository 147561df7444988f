#include <gtest/gtest.h>

#include <objidl.h>
#include <gdiplus.h>

#include <algorithm>

#include "control_test_support.h"
#include "ui/controls/Button.h"
#include "ui/controls/Label.h"
#include "ui/render/GdiplusSession.h"

namespace
{
// ---- The shared session ----

struct TSessionCalls
{
    int starts;
    int stops;
    ULONG_PTR lastStopToken;
    bool failStart;
};
TSessionCalls calls;

bool CountingStart(ULONG_PTR* token)
{
    if (calls.failStart)
        return false;
    ++calls.starts;
    *token = 0x1000 + calls.starts;
    return true;
}

void CountingStop(ULONG_PTR token)
{
    ++calls.stops;
    calls.lastStopToken = token;
}

// The session started and stopped by counting stand-ins: Wine's GDI+ works
// without being started, so only the bookkeeping can show a fault.
class GdiplusSession : public testing::Test
{
protected:
    void SetUp() override
    {
        calls = TSessionCalls{0, 0, 0, false};
        ASSERT_EQ(CGdiplusSession::GetRefCount(), 0);
        ASSERT_TRUE(CGdiplusSession::SetProcs(CountingStart, CountingStop));
    }
    void TearDown() override
    {
        while (CGdiplusSession::GetRefCount() > 0)
            CGdiplusSession::Release();
        CGdiplusSession::SetProcs(NULL, NULL);
    }
};

TEST_F(GdiplusSession, FirstReferenceStartsAndLastStopsWithTheSameToken)
{
    ASSERT_TRUE(CGdiplusSession::Acquire());
    ASSERT_TRUE(CGdiplusSession::Acquire());
    EXPECT_EQ(calls.starts, 1);
    EXPECT_FALSE(CGdiplusSession::SetProcs(NULL, NULL));  // not while a session runs

    CGdiplusSession::Release();
    EXPECT_EQ(calls.stops, 0);
    CGdiplusSession::Release();
    EXPECT_EQ(calls.stops, 1);
    EXPECT_EQ(calls.lastStopToken, 0x1001u);

    CGdiplusSession::Release();  // one too many: no second stop, no negative count
    EXPECT_EQ(calls.stops, 1);
    EXPECT_EQ(CGdiplusSession::GetRefCount(), 0);

    ASSERT_TRUE(CGdiplusSession::Acquire());  // a new session after the last one ended
    EXPECT_EQ(calls.starts, 2);
}

TEST_F(GdiplusSession, FailedStartTakesNoReferenceAndIsTriedAgain)
{
    calls.failStart = true;
    EXPECT_FALSE(CGdiplusSession::Acquire());
    EXPECT_EQ(CGdiplusSession::GetRefCount(), 0);
    {
        CGdiplusUse use;
        EXPECT_FALSE(use.Ensure());
    }
    EXPECT_EQ(calls.stops, 0);

    calls.failStart = false;
    EXPECT_TRUE(CGdiplusSession::Acquire());
    EXPECT_EQ(calls.starts, 1);
}

TEST_F(GdiplusSession, LabelsTakeTheSessionOnlyForEffectsAndKeepItWhileTheyLive)
{
    CManagerUI manager;
    CCanvas canvas(80, 20, 0xFFFFFFFF);
    CLabelUI* plain = new CLabelUI;
    CButtonUI* button = new CButtonUI;
    for (CLabelUI* label : {plain, static_cast<CLabelUI*>(button)})
    {
        label->SetManager(&manager, NULL, false);
        label->SetText(L"plain");
        label->SetPos(Rect(0, 0, 80, 20));
        label->Paint(canvas.Dc(), Rect(0, 0, 80, 20), NULL);
    }
    EXPECT_EQ(calls.starts, 0);

    CLabelUI* first = new CLabelUI;
    CLabelUI* second = new CLabelUI;
    for (CLabelUI* label : {first, second})
    {
        label->SetManager(&manager, NULL, false);
        label->ApplyAttributeList(L"text=\"glow\" enabledeffect=\"true\"");
        label->SetPos(Rect(0, 0, 80, 20));
        label->Paint(canvas.Dc(), Rect(0, 0, 80, 20), NULL);
        label->Paint(canvas.Dc(), Rect(0, 0, 80, 20), NULL);
    }
    EXPECT_EQ(calls.starts, 1);
    EXPECT_EQ(CGdiplusSession::GetRefCount(), 2);

    first->Delete();
    plain->Delete();
    button->Delete();
    EXPECT_EQ(calls.stops, 0);
    second->Delete();
    EXPECT_EQ(calls.stops, 1);
}

// ---- Effects on real GDI+ ----

CUIString FamilyName(Gdiplus::GpFont* font)
{
    using namespace Gdiplus::DllExports;
    Gdiplus::GpFontFamily* family = NULL;
    WCHAR name[LF_FACESIZE] = L"";
    if (GdipGetFamily(font, &family) == Gdiplus::Ok)
    {
        GdipGetFamilyName(family, name, LANG_NEUTRAL);
        GdipDeleteFontFamily(family);
    }
    return CUIString(name);
}

class GdiplusFont : public testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(use.Ensure()); }
    CGdiplusUse use;
};

TEST_F(GdiplusFont, ChineseFaceNameSurvives)
{
    // A face name outside the ANSI code page: through the narrow LOGFONT it
    // would turn into question marks, GDI+ would not find the family and the
    // DC's font would be drawn instead.
    const wchar_t face[] = L"\x5FAE\x8F6F\x96C5\x9ED1";
    Gdiplus::GpFontFamily* expected = NULL;
    ASSERT_EQ(Gdiplus::DllExports::GdipCreateFontFamilyFromName(face, NULL, &expected), Gdiplus::Ok)
        << "the test prefix maps this face to an installed font";
    WCHAR expectedName[LF_FACESIZE] = L"";
    Gdiplus::DllExports::GdipGetFamilyName(expected, expectedName, LANG_NEUTRAL);
    Gdiplus::DllExports::GdipDeleteFontFamily(expected);

    CManagerUI manager;
    HFONT hFont = manager.AddFont(0, face, 16, false, false, false);
    ASSERT_NE(hFont, (HFONT)NULL);
    CCanvas canvas(10, 10, 0xFFFFFFFF);
    Gdiplus::GpFont* font = CreateGdiplusFont(canvas.Dc(), hFont);
    ASSERT_NE(font, nullptr);
    EXPECT_STREQ(FamilyName(font), expectedName);
    Gdiplus::REAL size = 0;
    Gdiplus::DllExports::GdipGetFontSize(font, &size);
    EXPECT_GT(size, 0);
    Gdiplus::DllExports::GdipDeleteFont(font);
}

TEST_F(GdiplusFont, WithoutAFontTheDeviceContextsFontIsUsed)
{
    CCanvas canvas(10, 10, 0xFFFFFFFF);
    Gdiplus::GpFont* font = CreateGdiplusFont(canvas.Dc(), NULL);
    ASSERT_NE(font, nullptr);
    Gdiplus::DllExports::GdipDeleteFont(font);
}

// Bounds of the pixels that differ from white.
RECT InkBounds(const CCanvas& canvas, int width, int height)
{
    RECT ink = {width, height, -1, -1};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (canvas.Rgb(x, y) != 0xFFFFFF)
            {
                ink.left = std::min<LONG>(ink.left, x);
                ink.top = std::min<LONG>(ink.top, y);
                ink.right = std::max<LONG>(ink.right, x + 1);
                ink.bottom = std::max<LONG>(ink.bottom, y + 1);
            }
    return ink;
}

class LabelEffects : public testing::Test
{
protected:
    void SetUp() override
    {
        manager.AddFont(0, L"Tahoma", 24, true, false, false);
        label.SetManager(&manager, NULL, false);
        label.ApplyAttributeList(
            L"font=\"0\" text=\"HH\" enabledeffect=\"true\" align=\"left\" valign=\"top\" "
            L"textcolor=\"#FF0000FF\"");
        label.SetPos(Rect(20, 20, 120, 60));
    }

    RECT PaintInk()
    {
        CCanvas canvas(140, 80, 0xFFFFFFFF);
        label.Paint(canvas.Dc(), Rect(0, 0, 140, 80), NULL);
        return InkBounds(canvas, 140, 80);
    }

    CManagerUI manager;
    CLabelUI label;
};

TEST_F(LabelEffects, ShadowAndOutlineWidenTheInkByTheirOffsets)
{
    const RECT text = PaintInk();
    ASSERT_LT(text.left, text.right);
    EXPECT_GE(text.left, 20);
    EXPECT_GE(text.top, 20);

    label.SetAttribute(L"enabledshadow", L"true");
    label.SetAttribute(L"shadowoffset", L"6,-180");  // straight down
    const RECT shadowed = PaintInk();
    EXPECT_EQ(shadowed.left, text.left);
    EXPECT_EQ(shadowed.top, text.top);
    EXPECT_NEAR(shadowed.bottom, text.bottom + 6, 1);

    label.SetAttribute(L"enabledshadow", L"false");
    label.ApplyAttributeList(L"enabledstroke=\"true\" strokecolor=\"#FFFF0000\"");
    const RECT outlined = PaintInk();
    EXPECT_LT(outlined.left, text.left);
    EXPECT_GE(outlined.left, text.left - 2);
    EXPECT_GT(outlined.right, text.right);
    EXPECT_LE(outlined.right, text.right + 2);
}

TEST(LabelGlow, ReducedCopyShrinksByTheFuzzButNeverGrows)
{
    struct
    {
        int cx, cy;
        float fuzzy;
        int expectedCx, expectedCy;
    } const cases[] = {
        {100, 40, 3.0f, 33, 13},     {100, 40, 1.0f, 100, 40}, {100, 40, 0.5f, 100, 40},
        {100, 40, 0.0001f, 100, 40}, {100, 40, 1000.0f, 1, 1}, {2, 2, 3.0f, 1, 1},
    };
    for (const auto& c : cases)
    {
        const SIZE reduced = CLabelUI::GlowReducedSize(CUISize(c.cx, c.cy), c.fuzzy);
        EXPECT_EQ(reduced.cx, c.expectedCx) << c.fuzzy;
        EXPECT_EQ(reduced.cy, c.expectedCy) << c.fuzzy;
    }
}

TEST_F(LabelEffects, GlowWithAnyFuzzDrawsWithinTheTextRectangle)
{
    // A fuzz factor below one must not make the "reduced" copy larger than the text.
    for (LPCWSTR fuzz : {L"3", L"1", L"0.001"})
    {
        label.SetAttribute(L"enabledluminous", L"true");
        label.SetAttribute(L"luminousfuzzy", fuzz);
        const RECT ink = PaintInk();
        EXPECT_LT(ink.left, ink.right) << testing::PrintToString(std::wstring(fuzz));
        EXPECT_GE(ink.left, 20);
        EXPECT_LE(ink.right, 120);
    }
}
}  // namespace
