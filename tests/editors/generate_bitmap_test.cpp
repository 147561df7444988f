#include <gtest/gtest.h>

#include <windows.h>

#include "editor_test_support.h"
#include "ui/render/GdiScope.h"
#include "ui/render/Renderer.h"

// What a window shows in a rectangle, as a bitmap of its own.

namespace
{
// A brown window with a blue control at (40,20)-(80,60).
const wchar_t kWindow[] =
    L"<VerticalLayout bkcolor=\"#FFC08040\">"
    L"<Control name=\"cover\" float=\"true\" pos=\"40,20,80,60\" bkcolor=\"#FF0000FF\" />"
    L"</VerticalLayout>";

const DWORD kBrown = 0xC08040;
const DWORD kBlue = 0x0000FF;

DWORD Halved(DWORD rgb)
{
    return ((rgb >> 1) & 0x7F7F7F);
}

void ExpectNear(DWORD actual, DWORD expected)
{
    for (int shift = 0; shift < 24; shift += 8)
        EXPECT_NEAR(static_cast<int>((actual >> shift) & 0xFF), static_cast<int>((expected >> shift) & 0xFF), 1)
            << std::hex << actual << " for " << expected;
}

class CBitmap
{
public:
    explicit CBitmap(HBITMAP bitmap) : m_bitmap(bitmap) {}
    ~CBitmap()
    {
        if (m_bitmap != NULL)
            ::DeleteObject(m_bitmap);
    }
    HBITMAP Get() const { return m_bitmap; }
    SIZE Size() const
    {
        BITMAP info = {};
        ::GetObjectW(m_bitmap, sizeof(info), &info);
        SIZE size = {info.bmWidth, info.bmHeight};
        return size;
    }

private:
    HBITMAP m_bitmap;
};
}  // namespace

TEST(GenerateBitmap, ShowsTheWindowInTheRectangleAndAFilterDarkensItByHalf)
{
    CEditorHost host(200, 100, kWindow);
    CManagerUI& manager = host.Manager();
    ASSERT_TRUE(host.PumpUntil([&] { return manager.GetOffscreenBitmap() != NULL; }));
    const RECT rc = {30, 10, 90, 70};

    struct TCase
    {
        const char* name;
        CControlUI* control;
        DWORD filter;
        DWORD outside;  // at (5,5) of the picture: the window's background
        DWORD inside;   // at (30,30): where the cover is
    };
    CControlUI* cover = host.Find<CControlUI>(L"cover");
    const TCase cases[] = {
        {"the window's own picture", NULL, 0, kBrown, kBlue},
        {"a filter without alpha tints nothing", NULL, 0x00FFFFFF, kBrown, kBlue},
        {"black at half alpha", NULL, 0x80000000, Halved(kBrown), Halved(kBlue)},
        {"what lies behind the cover", cover, 0, kBrown, kBrown},
        {"behind the cover, darkened", cover, 0x80000000, Halved(kBrown), Halved(kBrown)},
    };
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        CBitmap picture(CRenderer::GenerateBitmap(&manager, rc, c.control, c.filter));
        ASSERT_NE(picture.Get(), nullptr);
        EXPECT_EQ(picture.Size().cx, 60);
        EXPECT_EQ(picture.Size().cy, 60);
        ExpectNear(DibRgb(picture.Get(), 5, 5), c.outside);
        ExpectNear(DibRgb(picture.Get(), 30, 30), c.inside);
        ExpectNear(DibRgb(picture.Get(), 59, 59), c.outside);
    }
}

TEST(GenerateBitmap, NothingWithoutAManagerOrForAnEmptyRectangle)
{
    CEditorHost host(200, 100, kWindow);
    const RECT some = {0, 0, 10, 10};
    const RECT empty = {20, 20, 20, 40};
    const RECT inverted = {30, 30, 10, 10};
    EXPECT_EQ(CRenderer::GenerateBitmap(NULL, some, NULL, 0), (HBITMAP)NULL);
    EXPECT_EQ(CRenderer::GenerateBitmap(&host.Manager(), empty, NULL, 0), (HBITMAP)NULL);
    EXPECT_EQ(CRenderer::GenerateBitmap(&host.Manager(), inverted, NULL, 0), (HBITMAP)NULL);
}
