#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "ui/render/ClipScope.h"
#include "ui/render/DirectDraw.h"
#include "ui/render/GdiScope.h"
#include "ui/render/MsImg32.h"
#include "ui/render/Renderer.h"

// The renderer writes the pixels of a registered surface itself; every
// primitive must leave exactly the pixels GDI leaves, alpha byte included.

namespace
{

const int kWidth = 40;
const int kHeight = 30;

// A bottom-up 32-bit DIB in its own DC, as the manager's off-screen surface,
// filled with a pattern that gives every byte many different values.
class CPatternSurface
{
public:
    CPatternSurface()
    {
        CClientDC screen;
        m_surface.Create(screen.Get(), kWidth, kHeight, true);
        m_surface.SelectForLife();
        for (int i = 0; i < kWidth * kHeight; ++i)
            m_surface.Bits()[i] = static_cast<DWORD>(i) * 2654435761u;
    }

    HDC Dc() const { return m_surface.Dc(); }
    const CSurface& Surface() const { return m_surface; }
    std::vector<DWORD> Pixels() const
    {
        ::GdiFlush();
        return std::vector<DWORD>(m_surface.Bits(), m_surface.Bits() + kWidth * kHeight);
    }

private:
    struct CClientDC
    {
        CClientDC() : dc(::GetDC(NULL)) {}
        ~CClientDC() { ::ReleaseDC(NULL, dc); }
        HDC Get() const { return dc; }
        HDC dc;
    };
    CSurface m_surface;
};

typedef std::function<void(HDC)> TDraw;

// Draws through GDI on one surface and directly on another; the first pixel
// that differs is reported with its position.
void ExpectSamePixels(const TDraw& draw)
{
    CPatternSurface gdi;
    CPatternSurface direct;
    draw(gdi.Dc());
    {
        CDirectDrawScope scope(direct.Surface());
        draw(direct.Dc());
    }
    const std::vector<DWORD> expected = gdi.Pixels();
    const std::vector<DWORD> actual = direct.Pixels();
    for (int i = 0; i < kWidth * kHeight; ++i)
    {
        // Bottom-up rows: memory row r is client line height - 1 - r.
        ASSERT_EQ(actual[i], expected[i])
            << std::hex << "at " << std::dec << i % kWidth << "," << kHeight - 1 - i / kWidth;
    }
}

// The ways a primitive can find the DC's clip: none, a rectangle, nothing at
// all, and a rectangle that reaches beyond the bitmap.
enum class Clip
{
    None,
    Rect,
    Empty,
    Beyond
};

void WithClip(Clip clip, HDC hDC, const std::function<void()>& draw)
{
    CClipScope scope;
    if (clip == Clip::Rect)
        CClipScope::ClipRect(hDC, {5, 4, 31, 22}, scope);
    else if (clip == Clip::Empty)
        CClipScope::ClipRect(hDC, {5, 4, 5, 22}, scope);
    else if (clip == Clip::Beyond)
        CClipScope::ClipRect(hDC, {-10, -10, 100, 100}, scope);
    draw();
}

const Clip kClips[] = {Clip::None, Clip::Rect, Clip::Empty, Clip::Beyond};
const RECT kRects[] = {
    {2, 3, 30, 20},    // inside
    {-5, -6, 12, 9},   // over the top-left corner
    {25, 18, 60, 50},  // over the bottom-right corner
    {0, 0, kWidth, kHeight},
    {7, 7, 8, 8},  // one pixel
    {7, 7, 9, 9},
    {7, 7, 10, 10},
    {3, 10, 4, 25},    // one column
    {3, 10, 33, 11},   // one row
    {10, 10, 10, 20},  // empty
    {12, 12, 6, 6},    // inverted
};

TEST(DirectDraw, FillsGiveGdisPixels)
{
    const DWORD colours[] = {0xFF3366CC, 0xFF000000, 0x8033AA55, 0x80FFFFFF,
                             0x01FFFFFF, 0xFE204060, 0x7F000000, 0x00FF0000};
    for (Clip clip : kClips)
        for (const RECT& rc : kRects)
            for (DWORD colour : colours)
            {
                SCOPED_TRACE(testing::Message()
                             << "clip " << static_cast<int>(clip) << " rect " << rc.left << "," << rc.top
                             << "," << rc.right << "," << rc.bottom << " colour " << std::hex << colour);
                ExpectSamePixels(
                    [&](HDC hDC) { WithClip(clip, hDC, [&] { CRenderer::DrawColor(hDC, rc, colour); }); });
            }
}

// Every destination byte under every translucent alpha: the rounding of the
// blend must match GDI's everywhere, not only for the pattern's values.
TEST(DirectDraw, BlendMatchesGdiForEveryByteAndAlpha)
{
    for (int alpha = 1; alpha < 255; ++alpha)
    {
        SCOPED_TRACE(alpha);
        ExpectSamePixels([&](HDC hDC) {
            CRenderer::DrawColor(hDC, {0, 0, kWidth, kHeight}, static_cast<DWORD>(alpha) << 24 | 0x00C08040);
        });
    }
}

TEST(DirectDraw, GradientsGiveGdisPixels)
{
    struct TCase
    {
        DWORD first;
        DWORD second;
    } cases[] = {
        {0xFF000000, 0xFFFFFFFF}, {0xFFFF8000, 0xFF0080FF}, {0xFF102030, 0x00F0E0D0},  // opacity 127
        {0x80FF0000, 0x800000FF}, {0x00000000, 0x00FFFFFF},                            // nothing
    };
    const RECT rects[] = {{2, 3, 30, 20}, {-5, -6, 12, 9}, {25, 18, 60, 50}, {7, 7, 8, 8}, {3, 10, 33, 11}};
    for (Clip clip : kClips)
        for (const RECT& rc : rects)
            for (const TCase& c : cases)
                for (bool vertical : {false, true})
                {
                    SCOPED_TRACE(testing::Message()
                                 << "clip " << static_cast<int>(clip) << " rect " << rc.left << "," << rc.top
                                 << "," << rc.right << "," << rc.bottom << std::hex << " colours " << c.first
                                 << " " << c.second << (vertical ? " vertical" : " horizontal"));
                    ExpectSamePixels([&](HDC hDC) {
                        WithClip(clip, hDC,
                                 [&] { CRenderer::DrawGradient(hDC, rc, c.first, c.second, vertical, 16); });
                    });
                }
}

TEST(DirectDraw, FramesGiveGdisPixels)
{
    for (Clip clip : kClips)
        for (const RECT& rc : kRects)
            for (int size : {1, 2})
            {
                SCOPED_TRACE(testing::Message()
                             << "clip " << static_cast<int>(clip) << " rect " << rc.left << "," << rc.top
                             << "," << rc.right << "," << rc.bottom << " size " << size);
                ExpectSamePixels([&](HDC hDC) {
                    WithClip(clip, hDC, [&] { CRenderer::DrawRect(hDC, rc, size, 0xFF202020, PS_SOLID); });
                });
            }
}

// Where the direct path must step aside, GDI's answer is still the answer.
TEST(DirectDraw, RoundedClipsMappedDcsAndOtherPensKeepGdisPixels)
{
    const RECT rc = {2, 3, 30, 20};
    const TDraw primitives[] = {
        [&](HDC hDC) { CRenderer::DrawColor(hDC, rc, 0xFF3366CC); },
        [&](HDC hDC) { CRenderer::DrawColor(hDC, rc, 0x8033AA55); },
        [&](HDC hDC) { CRenderer::DrawGradient(hDC, rc, 0xFF000000, 0xFFFFFFFF, false, 16); },
        [&](HDC hDC) { CRenderer::DrawRect(hDC, rc, 1, 0xFF202020, PS_SOLID); },
    };
    for (const TDraw& primitive : primitives)
    {
        ExpectSamePixels([&](HDC hDC) {
            CClipScope round;
            CClipScope::ClipRoundRect(hDC, {0, 0, kWidth, kHeight}, {1, 1, 35, 25}, 12, 12, round);
            primitive(hDC);
        });
        ExpectSamePixels([&](HDC hDC) {
            CSavedDC saved(hDC);
            ::SetWindowOrgEx(hDC, -3, -2, NULL);
            primitive(hDC);
        });
    }
    ExpectSamePixels([&](HDC hDC) { CRenderer::DrawRect(hDC, rc, 1, 0xFF202020, PS_DOT); });
    ExpectSamePixels([&](HDC hDC) {
        CSavedDC saved(hDC);
        ::SetROP2(hDC, R2_XORPEN);
        CRenderer::DrawRect(hDC, rc, 2, 0xFF202020, PS_SOLID);
    });
}

// The equality tests mean something only if the direct path really runs:
// registered with a buffer of its own, a DC's direct drawing lands there and
// its bitmap stays as it was; outside the scope or where GDI must draw, the
// bitmap changes instead.
TEST(DirectDraw, DrawsDirectlyOnlyIntoRegisteredPlainSurfaces)
{
    enum class Situation
    {
        Registered,
        AfterScope,
        RoundedClip,
        Mapped
    };
    struct TCase
    {
        Situation situation;
        bool direct;
    } cases[] = {
        {Situation::Registered, true},
        {Situation::AfterScope, false},
        {Situation::RoundedClip, false},
        {Situation::Mapped, false},
    };
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(static_cast<int>(c.situation));
        CPatternSurface surface;
        const std::vector<DWORD> before = surface.Pixels();
        std::vector<DWORD> shadow(kWidth * kHeight, 0x12345678);
        {
            CDirectDrawScope scope(surface.Dc(), shadow.data(), kWidth, kHeight, true);
            if (c.situation != Situation::AfterScope)
            {
                CClipScope round;
                if (c.situation == Situation::RoundedClip)
                    CClipScope::ClipRoundRect(surface.Dc(), {0, 0, kWidth, kHeight}, {1, 1, 35, 25}, 12, 12,
                                              round);
                CSavedDC saved(surface.Dc());
                if (c.situation == Situation::Mapped)
                    ::SetViewportOrgEx(surface.Dc(), 1, 0, NULL);
                CRenderer::DrawColor(surface.Dc(), {10, 10, 20, 20}, 0xFF3366CC);
            }
        }
        if (c.situation == Situation::AfterScope)
            CRenderer::DrawColor(surface.Dc(), {10, 10, 20, 20}, 0xFF3366CC);
        const bool shadowChanged = shadow[(kHeight - 1 - 15) * kWidth + 15] != 0x12345678;
        const bool bitmapChanged = surface.Pixels() != before;
        EXPECT_EQ(shadowChanged, c.direct);
        EXPECT_EQ(bitmapChanged, !c.direct);
    }
}

}  // namespace

namespace
{

TEST(DirectDraw, EveryFastPrimitiveWritesDirectly)
{
    const RECT rc = {2, 3, 30, 20};
    const TDraw primitives[] = {
        [&](HDC hDC) { CRenderer::DrawColor(hDC, rc, 0xFF3366CC); },
        [&](HDC hDC) { CRenderer::DrawColor(hDC, rc, 0x8033AA55); },
        [&](HDC hDC) { CRenderer::DrawGradient(hDC, rc, 0xFF000000, 0xFFFFFFFF, false, 16); },
        [&](HDC hDC) { CRenderer::DrawGradient(hDC, rc, 0x80000000, 0x80FFFFFF, true, 16); },
        [&](HDC hDC) { CRenderer::DrawRect(hDC, rc, 1, 0xFF202020, PS_SOLID); },
        [&](HDC hDC) { CRenderer::DrawRect(hDC, rc, 2, 0xFF202020, PS_SOLID); },
    };
    for (size_t i = 0; i < sizeof(primitives) / sizeof(primitives[0]); ++i)
    {
        SCOPED_TRACE(i);
        CPatternSurface surface;
        const std::vector<DWORD> before = surface.Pixels();
        std::vector<DWORD> shadow(kWidth * kHeight, 0x12345678);
        {
            CDirectDrawScope scope(surface.Dc(), shadow.data(), kWidth, kHeight, true);
            primitives[i](surface.Dc());
        }
        EXPECT_EQ(surface.Pixels(), before);
        EXPECT_NE(shadow, std::vector<DWORD>(kWidth * kHeight, 0x12345678));
    }
}

}  // namespace

namespace
{

// The direct path remembers the clip between primitives; every way the clip
// changes in painting (scopes ending, switching, a saved state restored)
// must show in what it draws next.
TEST(DirectDraw, FollowsClipChangesBetweenPrimitives)
{
    const RECT all = {0, 0, kWidth, kHeight};
    const TDraw steps[] = {
        [&](HDC hDC) {
            {
                CClipScope inner;
                CClipScope::ClipRect(hDC, {5, 4, 20, 15}, inner);
                CRenderer::DrawColor(hDC, all, 0xFF3366CC);
            }
            CRenderer::DrawColor(hDC, all, 0x80FF0000);
        },
        [&](HDC hDC) {
            CClipScope outer;
            CClipScope::ClipRect(hDC, {2, 2, 30, 25}, outer);
            CClipScope inner;
            CClipScope::ClipRect(hDC, {5, 4, 20, 15}, inner);
            CRenderer::DrawColor(hDC, all, 0xFF3366CC);
            CClipScope::UseOldClip(hDC, inner);
            CRenderer::DrawRect(hDC, all, 1, 0xFF102030);
            CRenderer::DrawColor(hDC, all, 0x40FFFFFF);
            CClipScope::UseNewClip(hDC, inner);
            CRenderer::DrawColor(hDC, all, 0xFF00FF00);
        },
        [&](HDC hDC) {
            {
                CSavedDC saved(hDC);
                ::IntersectClipRect(hDC, 3, 3, 9, 9);
                ForgetDirectClip(hDC);
                CRenderer::DrawColor(hDC, all, 0xFF3366CC);
            }
            CRenderer::DrawColor(hDC, all, 0x80FF0000);
        },
    };
    for (size_t i = 0; i < sizeof(steps) / sizeof(steps[0]); ++i)
    {
        SCOPED_TRACE(i);
        ExpectSamePixels(steps[i]);
    }
}

}  // namespace
