#include "ui/manager/Manager.h"

#include <wchar.h>

#include "ui/controls/Control.h"
#include "ui/render/Renderer.h"

// The skin is written for a 96-DPI display. A manager scales what the skin
// gives in pixels to its window's DPI when it reads it, so that controls and
// painting work in the window's own pixels and nothing scales at 96 DPI.

namespace
{
// Beyond these the system has no monitor; a bad value from a message stays out.
const int kLowestDpi = 24;
const int kHighestDpi = 96 * 8;

typedef UINT(WINAPI* TGetDpiForWindow)(HWND);

int Scale(int value, int to, int from)
{
    return to == from ? value : ::MulDiv(value, to, from);
}

CUISize ScaleSize(SIZE size, int to, int from)
{
    return CUISize(Scale(size.cx, to, from), Scale(size.cy, to, from));
}

CUIRect ScaleRect(const RECT& rc, int to, int from)
{
    return CUIRect(Scale(rc.left, to, from), Scale(rc.top, to, from), Scale(rc.right, to, from),
                   Scale(rc.bottom, to, from));
}

CControlUI* CALLBACK ScaleControl(CControlUI* pControl, LPVOID pData)
{
    const int* dpis = static_cast<const int*>(pData);
    pControl->ScaleGeometry(dpis[0], dpis[1]);
    return NULL;
}
}  // namespace

int WindowDpi(HWND hWnd)
{
    static const TGetDpiForWindow getDpiForWindow = reinterpret_cast<TGetDpiForWindow>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    int dpi = 0;
    if (getDpiForWindow != NULL && hWnd != NULL)
        dpi = static_cast<int>(getDpiForWindow(hWnd));
    if (dpi <= 0)
    {
        HDC screen = ::GetDC(NULL);
        if (screen != NULL)
        {
            dpi = ::GetDeviceCaps(screen, LOGPIXELSX);
            ::ReleaseDC(NULL, screen);
        }
    }
    return dpi > 0 ? dpi : kSkinDpi;
}

int CManagerUI::ScaleSkin(int value) const
{
    return Scale(value, dpi, kSkinDpi);
}

CUISize CManagerUI::ScaleSkin(SIZE value) const
{
    return ScaleSize(value, dpi, kSkinDpi);
}

CUIRect CManagerUI::ScaleSkin(const RECT& value) const
{
    return ScaleRect(value, dpi, kSkinDpi);
}

void CManagerUI::SetDpi(int newDpi)
{
    if (newDpi < kLowestDpi || newDpi > kHighestDpi || newDpi == dpi)
        return;
    const int oldDpi = dpi;
    dpi = newDpi;
    ScaleWindowSettings(oldDpi, newDpi);
    RecreateFonts();
    ReloadImages();
    ScaleControls(oldDpi, newDpi);
    if (root != NULL)
    {
        root->NeedUpdate();
        Invalidate();
    }
}

void CManagerUI::SetImageScaling(TImageScaling scaling)
{
    if (scaling == imageScaling)
        return;
    imageScaling = scaling;
    if (dpi != kSkinDpi)
    {
        ReloadImages();
        Invalidate();
    }
}

void CManagerUI::ScaleWindowSettings(int from, int to)
{
    minInfo = ScaleSize(minInfo, to, from);
    maxInfo = ScaleSize(maxInfo, to, from);
    initSize = ScaleSize(initSize, to, from);
    roundCorner = ScaleSize(roundCorner, to, from);
    sizeBox = ScaleRect(sizeBox, to, from);
    captionRect = ScaleRect(captionRect, to, from);
}

void CManagerUI::ScaleControls(int from, int to)
{
    if (root == NULL)
        return;
    int dpis[2] = {from, to};
    root->FindControl(ScaleControl, dpis, 0);
}
