#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "dispatch_test_support.h"
#include "ui/render/Dib.h"
#include "ui/render/GdiScope.h"
#include "ui/render/Renderer.h"

namespace
{
const int kWidth = 120;
const int kHeight = 80;

// Top-down 32-bit copy of a bitmap that is not selected anywhere.
std::vector<DWORD> ReadBitmap(HBITMAP bitmap, int width, int height)
{
    std::vector<DWORD> pixels(static_cast<size_t>(width) * height, 0xDEADBEEF);
    BITMAPINFO info = TopDownDibInfo(width, height);
    HDC screen = ::GetDC(NULL);
    ::GetDIBits(screen, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    ::ReleaseDC(NULL, screen);
    return pixels;
}

// The layered surface's pixel at client (x, y); its rows are bottom-up.
DWORD LayeredPixel(const CManagerProbe& manager, int x, int y)
{
    return manager.OffscreenBits()[static_cast<size_t>(kHeight - 1 - y) * kWidth + x];
}

DWORD Rgb(DWORD pixel)
{
    return pixel & 0x00FFFFFF;
}

// A root without a background of its own and two children:
// "solid" (opaque blue) at (10,10)-(50,50), "glass" (half-transparent red)
// at (60,10)-(110,50).
class PaintPipeline : public CDispatchFixture
{
protected:
    PaintPipeline() : CDispatchFixture(kWidth, kHeight, true)
    {
        panel->SetName(L"root");
        solid = new CProbeControl("solid", NULL, {10, 10, 50, 50});
        glass = new CProbeControl("glass", NULL, {60, 10, 110, 50});
        solid->SetBkColor(0xFF0000FF);
        glass->SetBkColor(0x80FF0000);
        panel->Add(solid);
        panel->Add(glass);
        manager.AddNotifier(&receivers);
    }

    void Attach() { manager.AttachRoot(panel); }

    // Runs the paints the window asks for, as its message loop would; the count.
    int PaintPending()
    {
        int passes = 0;
        RECT dirty;
        for (; passes < 10 && ::GetUpdateRect(host.Get(), &dirty, FALSE); ++passes)
            Deliver(manager, WM_PAINT);
        return passes;
    }

    std::vector<DWORD> Offscreen() { return ReadBitmap(manager.GetOffscreenBitmap(), kWidth, kHeight); }

    CProbeControl* solid;
    CProbeControl* glass;
};
}  // namespace

TEST_F(PaintPipeline, WindowInitComesOnceAfterTheLayoutAndBeforeAnyDrawing)
{
    struct CWatch : INotifyUI
    {
        CProbeControl* probe = NULL;
        int inits = 0;
        int paintsAtInit = -1;
        RECT placedAtInit = {};
        void Notify(TNotifyMsg& msg) override
        {
            if (!(msg.type == NotifyType::WindowInit))
                return;
            ++inits;
            paintsAtInit = probe->paints;
            placedAtInit = probe->GetPos();
        }
    } watch;
    watch.probe = solid;
    manager.AddNotifier(&watch);
    Attach();
    PaintPending();
    EXPECT_EQ(watch.inits, 1);
    EXPECT_EQ(watch.paintsAtInit, 0);
    const RECT placed = {10, 10, 50, 50};
    EXPECT_TRUE(::EqualRect(&watch.placedAtInit, &placed));
    EXPECT_GT(solid->paints, 0);

    manager.Invalidate();
    solid->NeedUpdate();
    PaintPending();
    EXPECT_EQ(watch.inits, 1) << "not again for the same root";
    manager.RemoveNotifier(&watch);
}

TEST_F(PaintPipeline, ARequestMadeWhilePaintingGivesExactlyOneMorePass)
{
    struct Case
    {
        const char* what;
        void (*request)(CProbeControl& self);
    };
    const Case cases[] = {
        {"layout", [](CProbeControl& self) { self.NeedUpdate(); }},
        {"repaint", [](CProbeControl& self) { self.Invalidate(); }},
    };
    Attach();
    PaintPending();
    for (const Case& c : cases)
    {
        solid->paints = 0;
        solid->onPaint = c.request;
        manager.InvalidateRect(solid->GetPos());
        Deliver(manager, WM_PAINT);
        solid->onPaint = NULL;
        EXPECT_EQ(solid->paints, 1) << c.what << ": no loop inside the pass";
        EXPECT_EQ(PaintPending(), 1) << c.what;
        EXPECT_EQ(solid->paints, 2) << c.what;
    }
}

TEST_F(PaintPipeline, OnlyOutOfDateControlsArePlacedAgain)
{
    Attach();
    PaintPending();
    solid->placements = glass->placements = panel->placements = 0;

    glass->NeedUpdate();
    PaintPending();
    EXPECT_EQ(glass->placements, 1);
    EXPECT_EQ(solid->placements, 0);
    EXPECT_EQ(panel->placements, 0);
}

TEST_F(PaintPipeline, PartialRepaintsLeaveTheSameImageAsAFullRepaint)
{
    Attach();
    PaintPending();
    const std::vector<DWORD> full = Offscreen();
    ASSERT_EQ(Rgb(full[20 * kWidth + 20]), 0x0000FFu);
    const DWORD glassPixel = Rgb(full[20 * kWidth + 80]);
    ASSERT_NE(glassPixel, 0u);

    // Half of the translucent control, again and again: its fill must not
    // build up, inside or outside the repainted half.
    for (int i = 0; i < 3; ++i)
    {
        manager.InvalidateRect({60, 10, 85, 50});
        PaintPending();
    }
    EXPECT_EQ(Offscreen(), full);

    // A change shown by a partial repaint looks as a full repaint would.
    glass->SetBkColor(0x8000FF00);
    PaintPending();
    const std::vector<DWORD> partial = Offscreen();
    manager.Invalidate();
    PaintPending();
    EXPECT_EQ(partial, Offscreen());
}

TEST_F(PaintPipeline, DirtyAreasBeyondTheClientAreaAreClipped)
{
    Attach();
    PaintPending();
    const std::vector<DWORD> full = Offscreen();
    manager.InvalidateRect({-40, -40, 5000, 5000});
    manager.InvalidateRect({50, 40, 10, 5});  // inverted: clamped to nothing
    PaintPending();
    EXPECT_EQ(Offscreen(), full);
}

TEST_F(PaintPipeline, ResizingLaysTheTreeOutAgainOnSurfacesOfTheNewSize)
{
    Attach();
    PaintPending();
    ::SetWindowPos(host.Get(), NULL, 0, 0, kWidth + 40, kHeight + 20,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    PaintPending();
    BITMAP info = {};
    ASSERT_NE(::GetObjectW(manager.GetOffscreenBitmap(), sizeof(info), &info), 0);
    EXPECT_EQ(info.bmWidth, kWidth + 40);
    EXPECT_EQ(info.bmHeight, kHeight + 20);
    const RECT placed = {0, 0, kWidth + 40, kHeight + 20};
    EXPECT_TRUE(::EqualRect(&panel->GetPos(), &placed));
}

TEST_F(PaintPipeline, PrintClientPaintsTheTreeIntoTheCallersContextAndIsNotHandled)
{
    Attach();
    PaintPending();
    CSurface target;
    ASSERT_TRUE(target.Create(NULL, kWidth, kHeight, true));
    CSelectScope selected(target.Dc(), target.Bitmap());
    bool handled = true;
    Deliver(manager, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(target.Dc()), PRF_CLIENT, &handled);
    EXPECT_FALSE(handled);
    const DWORD* pixels = target.Bits();  // bottom-up rows
    EXPECT_EQ(Rgb(pixels[(kHeight - 1 - 20) * kWidth + 20]), 0x0000FFu);
    EXPECT_EQ(Rgb(pixels[(kHeight - 1 - 5) * kWidth + 5]), 0u) << "nothing paints there";
}

TEST_F(PaintPipeline, InvalidatingWithoutAWindowTouchesNoWindow)
{
    ::ValidateRect(host.Get(), NULL);
    CManagerUI unbound;
    unbound.InvalidateRect({0, 0, 10, 10});
    unbound.Invalidate();
    RECT dirty;
    EXPECT_FALSE(::GetUpdateRect(host.Get(), &dirty, FALSE));
}

namespace
{
class LayeredPaint : public PaintPipeline
{
protected:
    void Layer(LPCWSTR image = NULL)
    {
        Attach();
        manager.SetLayered(true);
        if (image != NULL)
            manager.SetLayeredImage(image);
        ASSERT_TRUE(manager.IsLayered());
        PaintLayered();
    }
    // What a tick of the layered timer does.
    void PaintLayered()
    {
        for (int i = 0; i < 5 && !::IsRectEmpty(&Dirty()); ++i)
            Deliver(manager, WM_TIMER, 0x2000, 0);
    }
    RECT& Dirty()
    {
        dirty = manager.LayeredDirtyRect();
        return dirty;
    }
    RECT dirty;
};
}  // namespace

TEST_F(LayeredPaint, UnpaintedAreasStayTransparentAndTranslucentFillsDoNotBuildUp)
{
    Layer();
    ASSERT_NE(manager.OffscreenBits(), (LPDWORD)NULL);
    EXPECT_EQ(LayeredPixel(manager, 5, 5), 0u);
    EXPECT_EQ(Rgb(LayeredPixel(manager, 20, 20)), 0x0000FFu);
    const DWORD glassPixel = LayeredPixel(manager, 80, 20);
    EXPECT_EQ(glassPixel >> 24, 0x80u);

    for (int i = 0; i < 3; ++i)
    {
        manager.InvalidateRect({60, 10, 85, 50});
        PaintLayered();
    }
    EXPECT_EQ(LayeredPixel(manager, 80, 20), glassPixel);
    EXPECT_EQ(LayeredPixel(manager, 100, 20), glassPixel) << "outside the dirty half";
    EXPECT_EQ(LayeredPixel(manager, 5, 5), 0u);
}

TEST_F(LayeredPaint, ADirtyRectangleReachingOutsideTheWindowIsClipped)
{
    Layer();
    const DWORD glassPixel = LayeredPixel(manager, 80, 20);
    manager.SetLayeredDirtyRect({-50, -50, kWidth + 50, kHeight + 50});
    PaintLayered();
    EXPECT_EQ(LayeredPixel(manager, 80, 20), glassPixel);
    EXPECT_EQ(LayeredPixel(manager, 0, kHeight - 1), 0u);
}

TEST_F(LayeredPaint, TheLayeredImageMasksWhatTheControlsPaintEveryTime)
{
    // The image covers the left half with alpha 0x80; the right half has alpha 0.
    Layer(L"color='#80FFFFFF' dest='0,0,60,80'");
    for (int pass = 0; pass < 3; ++pass)
    {
        const DWORD masked = LayeredPixel(manager, 20, 20);
        EXPECT_EQ(masked >> 24, 0x80u) << pass;
        EXPECT_NEAR(static_cast<int>(masked & 0xFF), 0xFF * 0x80 / 0xFF, 1) << pass;
        EXPECT_EQ(LayeredPixel(manager, 80, 20), 0u) << pass << ": outside the image's shape";
        manager.InvalidateRect({0, 0, kWidth, kHeight});
        PaintLayered();
    }
}

TEST_F(LayeredPaint, NativeChildWindowsAreComposedAndDroppedOnceDestroyed)
{
    Layer();
    HWND child = ::CreateWindowExW(0, L"STATIC", L"child", WS_CHILD | WS_VISIBLE, 10, 55, 40, 20, host.Get(),
                                   NULL, ::GetModuleHandleW(NULL), NULL);
    ASSERT_NE(child, (HWND)NULL);
    ASSERT_TRUE(manager.AddNativeWindow(solid, child));
    PaintLayered();
    EXPECT_EQ(manager.NativeWindowCount(), 1);
    EXPECT_EQ(LayeredPixel(manager, 30, 65) >> 24, 0xFFu) << "what the child drew is opaque";
    EXPECT_EQ(LayeredPixel(manager, 30, 78), 0u) << "below the child nothing was drawn";

    ::DestroyWindow(child);
    manager.InvalidateRect({0, 0, kWidth, kHeight});
    PaintLayered();
    EXPECT_EQ(LayeredPixel(manager, 30, 65), 0u);
    EXPECT_EQ(manager.NativeWindowCount(), 0);
}

TEST(PaintSurfaces, AZeroSizeClientPaintsNothingAndCreatesNoSurface)
{
    CManagerProbe manager;
    CHostWindow host(manager, 0, 0, true);
    CTestPanel* panel = new CTestPanel;
    manager.AttachRoot(panel);
    manager.SetLayered(true);
    manager.SetLayeredDirtyRect({0, 0, 30, 30});
    bool handled = false;
    Deliver(manager, WM_PAINT, 0, 0, &handled);
    EXPECT_TRUE(handled);
    EXPECT_EQ(manager.GetOffscreenBitmap(), (HBITMAP)NULL);
    EXPECT_FALSE(manager.IsPainting());
}
