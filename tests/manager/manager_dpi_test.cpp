#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/support/Canvas.h"
#include "tests/support/Images.h"
#include "tests/support/SkinFolder.h"
#include "tests/support/TestWindow.h"
#include "ui/controls/Control.h"
#include "ui/manager/Manager.h"
#include "ui/builder/LayoutBuilder.h"
#include "ui/render/Renderer.h"

namespace
{
const UINT kDpiChanged = 0x02E0;

LONG FontHeight(HFONT font)
{
    LOGFONTW lf = {};
    ::GetObjectW(font, sizeof(lf), &lf);
    return lf.lfHeight;
}

CControlUI* Build(CManagerUI& manager, const wchar_t* xml)
{
    CLayoutBuilder builder;
    CControlUI* root = builder.Create(xml, NULL, &manager);
    EXPECT_STREQ(builder.GetLastErrorMessage(), L"");
    if (root != NULL)
    {
        EXPECT_TRUE(manager.AttachRoot(root));
    }
    return root;
}

void LayOut(CManagerUI& manager, HWND window)
{
    RECT client;
    ::GetClientRect(window, &client);
    manager.GetRoot()->SetPos(client);
}

TEST(ManagerDpi, SkinLengthsAreScaledAndRoundedToTheNearestPixel)
{
    struct TCase
    {
        int dpi;
        int length;
        int expected;
    };
    const TCase cases[] = {{96, 7, 7},   {144, 7, 11},  {144, 1, 2}, {144, -3, -5},
                           {192, 7, 14}, {120, 10, 13}, {72, 10, 8}, {144, 0, 0}};
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.length << " at " << c.dpi);
        CManagerUI manager;
        manager.SetDpi(c.dpi);
        EXPECT_EQ(manager.GetDpi(), c.dpi);
        EXPECT_EQ(manager.ScaleSkin(c.length), c.expected);
    }
}

TEST(ManagerDpi, AnImpossibleDpiChangesNothing)
{
    CManagerUI manager;
    manager.SetDpi(144);
    for (int bad : {0, -96, 100000})
        manager.SetDpi(bad);
    EXPECT_EQ(manager.GetDpi(), 144);
}

TEST(ManagerDpi, WindowSettingsOfTheSkinAreInItsPixels)
{
    CManagerUI manager;
    CTestWindow window;
    manager.Init(window.Get());
    manager.SetDpi(144);
    manager.SetWindowAttribute(L"caption", L"0,0,0,30");
    manager.SetWindowAttribute(L"sizebox", L"4,4,4,4");
    manager.SetWindowAttribute(L"roundcorner", L"6,6");
    manager.SetWindowAttribute(L"mininfo", L"100,80");
    manager.SetWindowAttribute(L"maxinfo", L"800,600");
    manager.SetWindowAttribute(L"size", L"200,100");
    EXPECT_EQ(manager.GetCaptionRect().bottom, 45);
    EXPECT_EQ(manager.GetSizeBox().left, 6);
    EXPECT_EQ(manager.GetRoundCorner().cx, 9);
    EXPECT_EQ(manager.GetMinInfo().cx, 150);
    EXPECT_EQ(manager.GetMinInfo().cy, 120);
    EXPECT_EQ(manager.GetMaxInfo().cx, 1200);
    EXPECT_EQ(manager.GetInitSize().cx, 300);
    RECT rc;
    ::GetWindowRect(window.Get(), &rc);
    EXPECT_EQ(rc.right - rc.left, 300) << "the window itself takes the scaled size";
    EXPECT_EQ(rc.bottom - rc.top, 150);
}

TEST(ManagerDpi, FontsKeepTheSkinsSizeAndAreMadeAtTheScaledHeight)
{
    CManagerUI manager;
    manager.SetDpi(144);
    HFONT font = manager.AddFont(1, L"Arial", 12, false, false, false);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(FontHeight(font), -18);
    EXPECT_EQ(manager.GetFontInfo(1)->size, 12);
    EXPECT_EQ(manager.FindFont(L"Arial", 12, false, false, false), font);

    // Without a default of its own the window draws with the shared one at its size.
    const TFontEntry& shared = CManagerUI::SharedResources().defaultFont;
    TFontEntry* own = manager.GetDefaultFontInfo();
    EXPECT_EQ(own->size, shared.size);
    EXPECT_EQ(FontHeight(own->font), -manager.ScaleSkin(shared.size));
    EXPECT_GT(own->metrics.tmHeight, 0);

    CManagerUI plain;
    EXPECT_EQ(plain.GetDefaultFontInfo(), &shared) << "at 96 DPI the shared default itself";
}

TEST(ManagerDpi, ChangingTheDpiMakesTheWindowsFontsAgainUnderTheSameEntries)
{
    CManagerUI manager;
    manager.AddFont(1, L"Arial", 12, true, false, false);
    manager.SetDefaultFont(L"Arial", 10, false, false, false);
    TFontEntry* entry = manager.GetFontInfo(1);
    const int heightAt96 = entry->metrics.tmHeight;
    manager.SetDpi(192);
    EXPECT_EQ(manager.GetFontInfo(1), entry);
    EXPECT_EQ(FontHeight(entry->font), -24);
    EXPECT_TRUE(entry->bold);
    EXPECT_GT(entry->metrics.tmHeight, heightAt96);
    EXPECT_EQ(FontHeight(manager.GetDefaultFontInfo()->font), -20);
    manager.SetDpi(96);
    EXPECT_EQ(FontHeight(entry->font), -12);
}

// WM_DPICHANGED as the system sends it when the window moves to a monitor
// of another DPI: the new DPI in wParam, the suggested window rectangle in lParam.
TEST(ManagerDpi, DpiChangedScalesTheTreeAndTakesTheSuggestedRectangle)
{
    CManagerUI manager;
    CHostWindow host(manager, 200, 150);
    ASSERT_EQ(manager.GetDpi(), WindowDpi(host.Get()));
    manager.SetDpi(96);
    Build(manager,
          L"<Window caption=\"0,0,0,30\" mininfo=\"100,80\"><Font id=\"1\" name=\"Arial\" size=\"12\"/>"
          L"<VBox inset=\"2,2,2,2\"><Control name=\"c\" width=\"100\" height=\"20\" padding=\"4,4,4,4\""
          L" bordersize=\"1\"/><Label name=\"l\" font=\"1\" text=\"Hello\" textpadding=\"2,0,2,0\"/>"
          L"</VBox></Window>");
    LayOut(manager, host.Get());
    CControlUI* c = manager.FindControlByName(L"c");
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->GetPos().left, 6);
    EXPECT_EQ(c->GetWidth(), 100);
    TFontEntry* font = manager.GetFontInfo(1);

    RECT suggested = {10, 20, 310, 245};
    EXPECT_EQ(
        ::SendMessageW(host.Get(), kDpiChanged, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested)),
        0);
    EXPECT_EQ(manager.GetDpi(), 144);
    RECT now;
    ::GetWindowRect(host.Get(), &now);
    EXPECT_TRUE(::EqualRect(&now, &suggested))
        << now.left << "," << now.top << "," << now.right << "," << now.bottom;
    EXPECT_EQ(manager.GetCaptionRect().bottom, 45);
    EXPECT_EQ(manager.GetMinInfo().cx, 150);
    EXPECT_EQ(manager.GetFontInfo(1), font);
    EXPECT_EQ(FontHeight(font->font), -18);
    EXPECT_TRUE(manager.IsUpdateNeeded());

    LayOut(manager, host.Get());
    EXPECT_EQ(c->GetPos().left, 9) << "inset 3 and padding 6";
    EXPECT_EQ(c->GetWidth(), 150);
    EXPECT_EQ(c->GetHeight(), 30);
    EXPECT_EQ(c->GetBorderSize().left, 2);

    // Back on a 96-DPI monitor every length is what the skin says again.
    RECT back = {10, 20, 210, 170};
    ::SendMessageW(host.Get(), kDpiChanged, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&back));
    LayOut(manager, host.Get());
    EXPECT_EQ(c->GetPos().left, 6);
    EXPECT_EQ(c->GetWidth(), 100);
    EXPECT_EQ(c->GetBorderSize().left, 1);
    EXPECT_EQ(manager.GetCaptionRect().bottom, 30);
    EXPECT_EQ(FontHeight(font->font), -12);
}

TEST(ManagerDpi, DpiChangedWithoutARectangleOnlyRescales)
{
    CManagerUI manager;
    CHostWindow host(manager, 200, 150);
    manager.SetDpi(96);
    RECT before;
    ::GetWindowRect(host.Get(), &before);
    ::SendMessageW(host.Get(), kDpiChanged, MAKEWPARAM(192, 192), 0);
    EXPECT_EQ(manager.GetDpi(), 192);
    RECT after;
    ::GetWindowRect(host.Get(), &after);
    EXPECT_TRUE(::EqualRect(&before, &after));
}

// Hit testing and the keyboard focus work on the scaled tree: the pointer
// finds the control where it is drawn, and Tab walks the same stops.
TEST(ManagerDpi, HitTestingAndFocusFollowTheScaledTree)
{
    CManagerUI manager;
    CHostWindow host(manager, 300, 100, true);
    manager.SetDpi(144);
    Build(manager, L"<Window><HBox><Button name=\"a\" width=\"40\" text=\"A\"/><Control width=\"20\"/>"
                   L"<Button name=\"b\" width=\"40\" text=\"B\"/></HBox></Window>");
    // The window's own paint lays the tree out, as it does for the user.
    ASSERT_TRUE(host.PumpUntil([&] { return !manager.IsUpdateNeeded(); }, 5000));
    CControlUI* a = manager.FindControlByName(L"a");
    CControlUI* b = manager.FindControlByName(L"b");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->GetPos().left, 90);
    EXPECT_EQ(b->GetPos().right, 150);
    EXPECT_EQ(manager.FindControlAt({59, 10}), a);
    EXPECT_EQ(manager.FindControlAt({100, 10}), b);
    EXPECT_EQ(manager.FindControlAt({149, 10}), b);
    EXPECT_NE(manager.FindControlAt({150, 10}), b);

    LRESULT lRes = 0;
    manager.MessageHandler(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(120, 10), lRes);
    manager.MessageHandler(WM_LBUTTONUP, 0, MAKELPARAM(120, 10), lRes);
    EXPECT_EQ(manager.GetFocus(), b) << "a click at 120 lands on the right button";

    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_SHIFT] = 0;
    ::SetKeyboardState(keys);
    EXPECT_TRUE(manager.PreMessageHandler(WM_KEYDOWN, VK_TAB, 0));
    EXPECT_EQ(manager.GetFocus(), a) << "Tab wraps to the first stop";
}

// Pictures: the nearest larger picture beside the normal one at or above
// the DPI, else the normal one resized; either ends at the DPI's size.
class ManagerDpiImages : public ::testing::Test
{
protected:
    void SetUp() override { m_skin.reset(new CSkinFolder(L"manager_dpi_")); }
    void TearDown() override { m_skin.reset(); }

    void WritePng(const wchar_t* name, int width, int height, DWORD argb)
    {
        const std::vector<BYTE> png =
            EncodePng(width, height, MakeRgba(width, height, [argb](int, int) { return argb; }));
        ASSERT_TRUE(WriteFileBytes(m_skin->Path() + name, png.data(), png.size()));
    }

    static DWORD Pixel(const TImageEntry* image, int x, int y)
    {
        return reinterpret_cast<const DWORD*>(image->bits)[y * image->width + x];
    }

    std::unique_ptr<CSkinFolder> m_skin;
};

TEST_F(ManagerDpiImages, TheNearestLargerPictureIsPickedAndMadeToTheDpisSize)
{
    WritePng(L"pic.png", 4, 4, 0xFFFF0000);
    WritePng(L"pic@2x.png", 8, 8, 0xFF0000FF);
    WritePng(L"only.png", 4, 2, 0xFF00FF00);
    struct TCase
    {
        int dpi;
        const wchar_t* name;
        int size;
        DWORD colour;
    };
    const TCase cases[] = {
        {96, L"pic.png", 4, 0xFFFF0000},   {192, L"pic.png", 8, 0xFF0000FF},
        {144, L"pic.png", 6, 0xFF0000FF},  {120, L"pic.png", 5, 0xFF0000FF},
        {288, L"pic.png", 12, 0xFFFF0000}, {144, L"only.png", 6, 0xFF00FF00},
        {192, L"only.png", 8, 0xFF00FF00},
    };
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.dpi);
        CManagerUI manager;
        manager.SetDpi(c.dpi);
        TImageEntry* image = manager.GetImageOrAdd(c.name, NULL, 0);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->width, c.size);
        EXPECT_EQ(Pixel(image, image->width - 1, image->height - 1), c.colour);
        EXPECT_EQ(image->dpi, c.dpi == 96 ? 0 : c.dpi);
    }
}

TEST_F(ManagerDpiImages, TheSmallestVariantAtOrAboveTheScaleWins)
{
    WritePng(L"pic.png", 4, 4, 0xFFFF0000);
    WritePng(L"pic@1.5x.png", 6, 6, 0xFFFFFF00);
    WritePng(L"pic@2x.png", 8, 8, 0xFF0000FF);
    CManagerUI manager;
    manager.SetDpi(144);
    TImageEntry* image = manager.GetImageOrAdd(L"pic.png", NULL, 0);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(Pixel(image, 0, 0), 0xFFFFFF00u);

    // A change of DPI loads the image again into the same entry.
    manager.SetDpi(192);
    EXPECT_EQ(manager.GetImage(L"pic.png"), image);
    EXPECT_EQ(image->width, 8);
    EXPECT_EQ(Pixel(image, 0, 0), 0xFF0000FFu);
    manager.SetDpi(96);
    EXPECT_EQ(image->width, 4);
    EXPECT_EQ(Pixel(image, 0, 0), 0xFFFF0000u);
}

TEST_F(ManagerDpiImages, ColoursAreOnePixelAtEveryDpi)
{
    CManagerUI manager;
    manager.SetDpi(144);
    TImageEntry* colour = manager.GetImageOrAdd(L"#FF102030", kColorImageType, 0);
    ASSERT_NE(colour, nullptr);
    EXPECT_EQ(colour->width, 1);
}

// A descriptor's destination, source and corners are in the skin's pixels:
// on a 144-DPI window they land one and a half times as far and large.
TEST_F(ManagerDpiImages, DescriptorRectanglesAreScaledWithTheImage)
{
    // Two 4x4 sprites side by side: red, then blue.
    const std::vector<BYTE> png =
        EncodePng(8, 4, MakeRgba(8, 4, [](int x, int) { return x < 4 ? 0xFFFF0000u : 0xFF0000FFu; }));
    ASSERT_TRUE(WriteFileBytes(m_skin->Path() + L"sprites.png", png.data(), png.size()));
    CManagerUI manager;
    manager.SetDpi(144);
    manager.SetImageScaling(ImageScalingNearest);
    CCanvas canvas(40, 40, 0xFF000000);
    const RECT item = {0, 0, 40, 40};
    TDrawSpec descriptor;
    descriptor.Assign(L"file='sprites.png' source='4,0,8,4' dest='2,2,6,6'");
    ASSERT_TRUE(CRenderer::DrawImageSpec(canvas.Dc(), &manager, item, item, descriptor));
    EXPECT_EQ(descriptor.dest.left, 3);
    EXPECT_EQ(descriptor.dest.right, 9);
    EXPECT_EQ(descriptor.source.left, 6);
    EXPECT_EQ(descriptor.source.right, 12);
    int blue = 0;
    for (int y = 0; y < 40; ++y)
    {
        for (int x = 0; x < 40; ++x)
        {
            const bool inside = x >= 3 && x < 9 && y >= 3 && y < 9;
            const DWORD expected = inside ? 0x0000FFu : 0x000000u;
            EXPECT_EQ(canvas.Rgb(x, y), expected) << x << "," << y;
            blue += canvas.Rgb(x, y) == 0x0000FFu ? 1 : 0;
        }
    }
    EXPECT_EQ(blue, 36);

    // Parsed for 144 DPI, read again for 96 once the window is there.
    manager.SetDpi(96);
    CCanvas again(40, 40, 0xFF000000);
    ASSERT_TRUE(CRenderer::DrawImageSpec(again.Dc(), &manager, item, item, descriptor));
    EXPECT_EQ(descriptor.dest.right, 6);
    EXPECT_EQ(again.Rgb(5, 5), 0x0000FFu);
    EXPECT_EQ(again.Rgb(6, 6), 0x000000u);
}
}  // namespace
