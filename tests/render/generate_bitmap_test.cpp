#include <gtest/gtest.h>

#include <windows.h>

#include "tests/support/TestWindow.h"
#include "ui/controls/Control.h"
#include "ui/manager/Manager.h"
#include "ui/builder/LayoutBuilder.h"
#include "ui/render/Renderer.h"

// What a window shows in a rectangle, as a bitmap of its own.

namespace
{
// A brown window with a blue control at (40,20)-(80,60).
const wchar_t kWindow[] =
    L"<Window><VerticalLayout bkcolor=\"#FFC08040\">"
    L"<Control name=\"cover\" float=\"true\" pos=\"40,20,80,60\" bkcolor=\"#FF0000FF\" />"
    L"</VerticalLayout></Window>";

const DWORD kBrown = 0xC08040;
const DWORD kBlue = 0x0000FF;

// A shown window painted from kWindow.
class CPaintedWindow
{
public:
    CPaintedWindow() : m_host(m_manager, 200, 100, true)
    {
        CLayoutBuilder builder;
        m_manager.AttachRoot(builder.Create(kWindow, NULL, &m_manager));
        m_host.PumpUntil([this] { return m_manager.GetOffscreenBitmap() != NULL; }, 3000);
    }
    CManagerUI& Manager() { return m_manager; }

private:
    CManagerUI m_manager;
    CHostWindow m_host;
};

// Red, green and blue at (x, y) of a 32-bit DIB section, whichever way its rows run.
DWORD DibRgb(HBITMAP dib, int x, int y)
{
    DIBSECTION section = {};
    if (::GetObjectW(dib, sizeof(section), &section) != sizeof(section) || section.dsBm.bmBits == NULL)
        return 0xFFFFFFFF;
    ::GdiFlush();
    const int height = section.dsBmih.biHeight;
    const int row = height > 0 ? height - 1 - y : y;
    const DWORD* pixels = static_cast<const DWORD*>(section.dsBm.bmBits);
    return pixels[row * section.dsBm.bmWidth + x] & 0xFFFFFF;
}

DWORD Halved(DWORD rgb)
{
    return ((rgb >> 1) & 0x7F7F7F);
}

void ExpectNear(DWORD actual, DWORD expected)
{
    for (int shift = 0; shift < 24; shift += 8)
        EXPECT_NEAR(static_cast<int>((actual >> shift) & 0xFF), static_cast<int>((expected >> shift) & 0xFF),
                    1)
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
    CPaintedWindow window;
    CManagerUI& manager = window.Manager();
    ASSERT_NE(manager.GetOffscreenBitmap(), (HBITMAP)NULL) << "the window has painted";

    const RECT rc = {30, 10, 90, 70};

    struct TCase
    {
        const char* name;
        CControlUI* control;
        DWORD filter;
        DWORD outside;  // at (5,5) of the picture: the window's background
        DWORD inside;   // at (30,30): where the cover is
    };
    CControlUI* cover = manager.FindControlByName(L"cover");
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
    CPaintedWindow window;
    const RECT some = {0, 0, 10, 10};
    const RECT empty = {20, 20, 20, 40};
    const RECT inverted = {30, 30, 10, 10};
    EXPECT_EQ(CRenderer::GenerateBitmap(NULL, some, NULL, 0), (HBITMAP)NULL);
    EXPECT_EQ(CRenderer::GenerateBitmap(&window.Manager(), empty, NULL, 0), (HBITMAP)NULL);
    EXPECT_EQ(CRenderer::GenerateBitmap(&window.Manager(), inverted, NULL, 0), (HBITMAP)NULL);
}
