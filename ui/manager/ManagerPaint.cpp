#include "ui/manager/Manager.h"

#include <string.h>

#include "ui/controls/Control.h"
#include "ui/render/ClipScope.h"
#include "ui/render/DirectDraw.h"
#include "ui/render/GdiScope.h"
#include "ui/render/Renderer.h"

// Invalidation and the paint pass: a pending layout first, then the dirty
// part of the tree into the off-screen surface, post-paint controls on top,
// and the dirty part copied to the window (or the whole window pushed with
// per-pixel alpha when it is layered).

namespace
{
typedef BOOL(WINAPI* TUpdateLayeredWindow)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*,
                                           DWORD);

TUpdateLayeredWindow UpdateLayeredWindowFunction()
{
    static TUpdateLayeredWindow function = reinterpret_cast<TUpdateLayeredWindow>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "UpdateLayeredWindow")));
    return function;
}

// The arguments of UpdateLayeredWindowIndirect, laid out as the system reads
// them; the function (and the record's name in older headers) may be missing.
struct TLayeredUpdate
{
    DWORD cbSize;
    HDC hdcDst;
    const POINT* pptDst;
    const SIZE* psize;
    HDC hdcSrc;
    const POINT* pptSrc;
    COLORREF crKey;
    const BLENDFUNCTION* pblend;
    DWORD dwFlags;
    const RECT* prcDirty;
};
typedef BOOL(WINAPI* TUpdateLayeredWindowIndirect)(HWND, const TLayeredUpdate*);

TUpdateLayeredWindowIndirect UpdateLayeredWindowIndirectFunction()
{
    static TUpdateLayeredWindowIndirect function =
        reinterpret_cast<TUpdateLayeredWindowIndirect>(reinterpret_cast<void*>(
            ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "UpdateLayeredWindowIndirect")));
    return function;
}

CControlUI* CALLBACK CollectOutOfDate(CControlUI* pControl, LPVOID pData)
{
    // Only out-of-date controls are collected; answering one makes the
    // search skip its subtree, which its own placing lays out anyway.
    if (!pControl->IsUpdateNeeded())
        return NULL;
    static_cast<CPtrList*>(pData)->Add(pControl);
    return pControl;
}

// Pixels of a 32-bit bottom-up DIB of the given height: row 0 is the
// bottom line, so client line y lives in memory row height - 1 - y.
size_t RowOffset(SIZE size, int y)
{
    return static_cast<size_t>(size.cy - 1 - y) * size.cx;
}

HPEN UpdateRectPen()
{
    static const HPEN pen = ::CreatePen(PS_SOLID, 1, RGB(220, 0, 0));
    return pen;
}

void ClearPixels(LPDWORD bits, SIZE size, const RECT& rc)
{
    if (bits == NULL)
        return;
    // Drawing calls may still be queued for the surface; they must land
    // before its memory is touched.
    ::GdiFlush();
    if (rc.right <= rc.left)
        return;
    const size_t rowBytes = static_cast<size_t>(rc.right - rc.left) * sizeof(DWORD);
    for (int y = rc.top; y < rc.bottom; ++y)
        memset(bits + RowOffset(size, y) + rc.left, 0, rowBytes);
}

// Every colour byte of the surface is scaled by the mask's alpha, and the
// alpha becomes the mask's: pixels outside the skin image's shape vanish.
void MaskPixels(LPDWORD bits, const DWORD* mask, SIZE size, const RECT& rc)
{
    ::GdiFlush();
    for (int y = rc.top; y < rc.bottom; ++y)
    {
        LPBYTE row = reinterpret_cast<LPBYTE>(bits + RowOffset(size, y));
        const BYTE* maskRow = reinterpret_cast<const BYTE*>(mask + RowOffset(size, y));
        for (int x = rc.left; x < rc.right; ++x)
        {
            const UINT a = maskRow[x * 4 + 3];
            LPBYTE pixel = row + x * 4;
            pixel[0] = static_cast<BYTE>(pixel[0] * a / 255);
            pixel[1] = static_cast<BYTE>(pixel[1] * a / 255);
            pixel[2] = static_cast<BYTE>(pixel[2] * a / 255);
            pixel[3] = static_cast<BYTE>(a);
        }
    }
}

bool IntersectsClient(RECT& rc, const RECT& client)
{
    RECT clipped;
    if (!::IntersectRect(&clipped, &rc, &client))
        return false;
    rc = clipped;
    return true;
}

// Begins and ends a paint on the window; the window is valid afterwards.
class CPaintScope
{
public:
    explicit CPaintScope(HWND hWnd) : m_hWnd(hWnd), m_ps() { ::BeginPaint(hWnd, &m_ps); }
    ~CPaintScope() { ::EndPaint(m_hWnd, &m_ps); }
    CPaintScope(const CPaintScope&) = delete;
    CPaintScope& operator=(const CPaintScope&) = delete;
    const PAINTSTRUCT& Get() const { return m_ps; }

private:
    HWND m_hWnd;
    PAINTSTRUCT m_ps;
};
}  // namespace

struct CManagerUI::Painter
{
    static bool OnPaint(CManagerUI& m);
    static void OnPrintClient(CManagerUI& m, HDC hDC, LPARAM flags);

    static void PaintBlack(CManagerUI& m);
    static bool TakeLayeredDirtyRect(CManagerUI& m, const RECT& client, RECT& paint);
    // False when the pass ends after the layout (layered opacity change).
    static bool Layout(CManagerUI& m, const RECT& client);
    static void PlaceOutOfDate(CManagerUI& m);
    static bool EnsureSurfaces(CManagerUI& m, const RECT& client);
    static void ReleaseSurfaces(CManagerUI& m);
    static void PaintOffscreen(CManagerUI& m, const RECT& client, const RECT& paint);
    static void ComposeNativeWindows(CManagerUI& m, const RECT& paint);
    static void PushLayered(CManagerUI& m, const RECT& client, const RECT& paint);
    static bool PrepareBackground(CManagerUI& m, const RECT& client);
    static void FrameUpdateRect(CManagerUI& m, const RECT& paint);
    static void EndPass(CManagerUI& m);
};

// ---- Invalidation ----

void CManagerUI::Invalidate()
{
    if (paintWindow == NULL)
        return;
    if (layered)
    {
        RECT client = {};
        ::GetClientRect(paintWindow, &client);
        RECT joined;
        ::UnionRect(&joined, &layeredDirtyRect, &client);
        layeredDirtyRect = joined;
        return;
    }
    ::InvalidateRect(paintWindow, NULL, FALSE);
}

void CManagerUI::InvalidateRect(const RECT& rc)
{
    // Without a window there is nothing to mark; a null window handle would
    // make the system invalidate every window.
    if (paintWindow == NULL)
        return;
    RECT clamped = rc;
    clamped.left = clamped.left < 0 ? 0 : clamped.left;
    clamped.top = clamped.top < 0 ? 0 : clamped.top;
    clamped.right = clamped.right < clamped.left ? clamped.left : clamped.right;
    clamped.bottom = clamped.bottom < clamped.top ? clamped.top : clamped.bottom;
    if (layered)
    {
        RECT joined;
        ::UnionRect(&joined, &layeredDirtyRect, &clamped);
        layeredDirtyRect = joined;
        return;
    }
    ::InvalidateRect(paintWindow, &clamped, FALSE);
}

// ---- Snapshots ----

HBITMAP CManagerUI::GetFinishedPicture()
{
    return layered ? NULL : offscreen.Bitmap();
}

void CManagerUI::PaintPicture(HDC hDC, const RECT& rc, CControlUI* stop)
{
    if (root != NULL && hDC != NULL)
        root->Paint(hDC, rc, stop);
}

// ---- WM_PAINT ----

bool CManagerUI::HandlePaint()
{
    return Painter::OnPaint(*this);
}
void CManagerUI::HandlePrintClient(HDC hDC, LPARAM flags)
{
    Painter::OnPrintClient(*this, hDC, flags);
}

bool CManagerUI::Painter::OnPaint(CManagerUI& m)
{
    // A window without a tree is black.
    if (m.root == NULL)
    {
        PaintBlack(m);
        return true;
    }

    // The paint rectangle: what is dirty, inside the client area.
    RECT client = {};
    ::GetClientRect(m.paintWindow, &client);
    RECT paint = {};
    if (m.layered)
    {
        m.offscreenPaint = true;
        if (!TakeLayeredDirtyRect(m, client, paint))
        {
            ::ValidateRect(m.paintWindow, NULL);
            return true;
        }
    }
    else
    {
        if (!::GetUpdateRect(m.paintWindow, &paint, FALSE))
            return true;
        if (!IntersectsClient(paint, client))
        {
            ::ValidateRect(m.paintWindow, NULL);
            return true;
        }
    }

    // The layout, then a focus move that waited for it. Moving the
    // focus first would only postpone it again while the layout is pending,
    // and the invalidation that postpones it is swallowed by this very paint.
    m.painting = true;
    if (!Layout(m, client))
    {
        m.painting = false;
        ::ValidateRect(m.paintWindow, NULL);
        return true;
    }
    if (m.focusNeeded)
        m.SetNextTabControl(true);

    // Surfaces that cannot be had (no memory, a zero-size client) mean
    // no pass: the window is validated and the next invalidation retries.
    if (m.offscreenPaint && !EnsureSurfaces(m, client))
    {
        ::ValidateRect(m.paintWindow, NULL);
        EndPass(m);
        return true;
    }

    // The tree paints into the off-screen surface, which is then copied or
    // pushed to the window, or straight into the window's DC without one.
    {
        CPaintScope scope(m.paintWindow);
        // Placing controls may have invalidated more than the update rectangle
        // read above; BeginPaint validates all of it, so all of it is painted.
        if (!m.layered)
        {
            RECT joined;
            ::UnionRect(&joined, &paint, &scope.Get().rcPaint);
            paint = joined;
        }
        if (IntersectsClient(paint, client))
        {
            if (m.offscreenPaint)
            {
                PaintOffscreen(m, client, paint);
            }
            else
            {
                CSavedDC saved(m.paintDC);
                m.root->Paint(m.paintDC, paint, NULL);
            }
        }
    }

    EndPass(m);
    return true;
}

void CManagerUI::Painter::PaintBlack(CManagerUI& m)
{
    CPaintScope scope(m.paintWindow);
    CRenderer::DrawColor(scope.Get().hdc, scope.Get().rcPaint, 0xFF000000);
}

bool CManagerUI::Painter::TakeLayeredDirtyRect(CManagerUI& m, const RECT& client, RECT& paint)
{
    paint = m.layeredDirtyRect;
    ::SetRectEmpty(&m.layeredDirtyRect);
    return !::IsRectEmpty(&paint) && IntersectsClient(paint, client);
}

bool CManagerUI::Painter::Layout(CManagerUI& m, const RECT& client)
{
    if (!m.updateNeeded)
    {
        if (m.layered && m.layeredChanged)
        {
            if (m.offscreen.Bits() != NULL)
                ClearPixels(m.offscreen.Bits(), CUISize(client.right, client.bottom), client);
            m.root->SetPos(client, true);
        }
        return true;
    }

    m.updateNeeded = false;
    if (::IsRectEmpty(&client))
        return true;
    if (m.root->IsUpdateNeeded())
    {
        // A full layout may change the client size: the surfaces follow.
        ReleaseSurfaces(m);
        m.root->SetPos(client, true);
    }
    else
    {
        PlaceOutOfDate(m);
    }

    if (m.firstLayout)
    {
        m.firstLayout = false;
        m.SendNotify(m.root, NotifyType::WindowInit, 0, 0, false);
        if (m.layered && m.layeredChanged)
        {
            m.Invalidate();
            return false;
        }
    }
    return true;
}

void CManagerUI::Painter::PlaceOutOfDate(CManagerUI& m)
{
    m.foundControls.Empty();
    m.root->FindControl(CollectOutOfDate, &m.foundControls, FindMeFirst | FindUpdateTest | FindVisible);
    for (int i = 0; i < m.foundControls.GetSize(); ++i)
    {
        CControlUI* control = static_cast<CControlUI*>(m.foundControls[i]);
        control->SetPos(control->IsFloat() ? control->GetRelativePos() : control->GetPos(), true);
    }
}

bool CManagerUI::Painter::EnsureSurfaces(CManagerUI& m, const RECT& client)
{
    if (!m.offscreen.IsEmpty())
        return true;
    ReleaseSurfaces(m);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    if (width <= 0 || height <= 0)
        return false;
    // A DIB section in both modes: the renderer writes fills, blends and
    // frames straight into its pixels instead of making a GDI call for each.
    m.layeredPushWhole = true;
    return m.offscreen.Create(m.paintDC, width, height, true);
}

void CManagerUI::Painter::ReleaseSurfaces(CManagerUI& m)
{
    m.offscreen.Release();
    m.background.Release();
}

void CManagerUI::Painter::PaintOffscreen(CManagerUI& m, const RECT& client, const RECT& paint)
{
    CSelectScope selected(m.offscreen.Dc(), m.offscreen.Bitmap());
    {
        CDirectDrawScope direct(m.offscreen);
        CSavedDC saved(m.offscreen.Dc());
        // The surface is reused between passes: what was painted there before
        // must not show through translucent layers or compound under the mask.
        // Cleared to zero: transparent in a layered window, black in a normal one.
        ClearPixels(m.offscreen.Bits(), CUISize(client.right, client.bottom), paint);
        // Controls may draw beyond the paint rectangle (a translucent fill of
        // their whole rectangle); outside it the surface keeps what it had.
        ::IntersectClipRect(m.offscreen.Dc(), paint.left, paint.top, paint.right, paint.bottom);
        ForgetDirectClip(m.offscreen.Dc());

        m.root->Paint(m.offscreen.Dc(), paint, NULL);
        if (m.layered)
            ComposeNativeWindows(m, paint);
        for (int i = 0; i < m.postPaintControls.GetSize(); ++i)
            static_cast<CControlUI*>(m.postPaintControls[i])->PostPaint(m.offscreen.Dc(), paint);
    }
    if (m.layered)
    {
        PushLayered(m, client, paint);
        return;
    }
    ::BitBlt(m.paintDC, paint.left, paint.top, paint.right - paint.left, paint.bottom - paint.top,
             m.offscreen.Dc(), paint.left, paint.top, SRCCOPY);
    if (m.showUpdateRect)
        FrameUpdateRect(m, paint);
}

void CManagerUI::Painter::ComposeNativeWindows(CManagerUI& m, const RECT& paint)
{
    for (int i = m.nativeWindows.GetSize() - 1; i >= 0; --i)
    {
        HWND child = static_cast<HWND>(m.nativeWindows[i]);
        if (!::IsWindow(child))
        {
            m.nativeWindows.Remove(i);
            m.nativeWindowControls.Remove(i);
            continue;
        }
        if (!::IsWindowVisible(child))
            continue;
        const RECT rc = m.GetNativeWindowRect(child);
        RECT overlap;
        if (!::IntersectRect(&overlap, &rc, &paint))
            continue;
        const int width = rc.right - rc.left;
        const int height = rc.bottom - rc.top;
        CMemoryDC childDC(m.offscreen.Dc());
        LPBYTE bits = NULL;
        CGdiObject<HBITMAP> bitmap(CRenderer::CreateDib32(m.offscreen.Dc(), width, height, &bits));
        if (childDC.Get() == NULL || bitmap.Get() == NULL || bits == NULL)
            continue;
        CSelectScope selected(childDC, bitmap);
        LPDWORD pixels = reinterpret_cast<LPDWORD>(bits);
        const size_t count = static_cast<size_t>(width) * height;
        for (size_t p = 0; p < count; ++p)
            pixels[p] = 0;
        ::SendMessageW(child, WM_PRINT, reinterpret_cast<WPARAM>(childDC.Get()),
                       PRF_CHECKVISIBLE | PRF_CLIENT | PRF_CHILDREN | PRF_OWNED);
        ::GdiFlush();
        // GDI leaves alpha at 0; whatever the child drew is opaque.
        for (size_t p = 0; p < count; ++p)
        {
            if (pixels[p] != 0)
                pixels[p] |= 0xFF000000;
        }
        ::BitBlt(m.offscreen.Dc(), rc.left, rc.top, width, height, childDC, 0, 0, SRCCOPY);
    }
}

bool CManagerUI::Painter::PrepareBackground(CManagerUI& m, const RECT& client)
{
    const SIZE size = CUISize(client.right, client.bottom);
    const bool fresh = m.background.IsEmpty();
    if (fresh)
    {
        if (!m.background.Create(m.paintDC, size.cx, size.cy, true))
            return false;
        m.background.SelectForLife();
    }
    if (!fresh && !m.layeredChanged)
        return true;
    ClearPixels(m.background.Bits(), size, client);
    CClipScope clip;
    CClipScope::ClipRect(m.background.Dc(), client, clip);
    CRenderer::DrawImageSpec(m.background.Dc(), static_cast<IImageLookup*>(&m), client, client,
                             m.layeredImage);
    return true;
}

void CManagerUI::Painter::PushLayered(CManagerUI& m, const RECT& client, const RECT& paint)
{
    RECT window = {};
    ::GetWindowRect(m.paintWindow, &window);
    const SIZE size = CUISize(client.right, client.bottom);
    if (m.layeredImage.image != NULL && PrepareBackground(m, client) && m.layeredImage.image->hasAlpha)
        MaskPixels(m.offscreen.Bits(), m.background.Bits(), size, paint);

    POINT destination = {window.left, window.top};
    SIZE extent = size;
    POINT source = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, m.opacity, AC_SRC_ALPHA};
    // Only the repainted part travels to the screen where the system takes a
    // dirty rectangle; the whole image otherwise (and whenever that is refused).
    // A new surface (a first push, a new size) goes whole.
    TUpdateLayeredWindowIndirect updateIndirect = UpdateLayeredWindowIndirectFunction();
    if (updateIndirect != NULL && !m.layeredPushWhole)
    {
        const TLayeredUpdate info = {sizeof(TLayeredUpdate),
                                     m.paintDC,
                                     &destination,
                                     &extent,
                                     m.offscreen.Dc(),
                                     &source,
                                     0,
                                     &blend,
                                     ULW_ALPHA,
                                     &paint};
        if (updateIndirect(m.paintWindow, &info))
            return;
    }
    TUpdateLayeredWindow update = UpdateLayeredWindowFunction();
    if (update == NULL)
        return;
    if (update(m.paintWindow, m.paintDC, &destination, &extent, m.offscreen.Dc(), &source, 0, &blend,
               ULW_ALPHA))
        m.layeredPushWhole = false;
}

void CManagerUI::Painter::FrameUpdateRect(CManagerUI& m, const RECT& paint)
{
    CSelectScope pen(m.paintDC, UpdateRectPen());
    CSelectScope brush(m.paintDC, ::GetStockObject(HOLLOW_BRUSH));
    ::Rectangle(m.paintDC, paint.left, paint.top, paint.right, paint.bottom);
}

void CManagerUI::Painter::EndPass(CManagerUI& m)
{
    m.painting = false;
    m.layeredChanged = false;
    // A control that changed its layout while painting gets one more pass.
    if (m.updateNeeded)
        m.Invalidate();
}

// ---- WM_PRINTCLIENT ----

void CManagerUI::Painter::OnPrintClient(CManagerUI& m, HDC hDC, LPARAM flags)
{
    if (m.root == NULL || hDC == NULL)
        return;
    RECT client = {};
    ::GetClientRect(m.paintWindow, &client);
    CSavedDC saved(hDC);
    m.root->Paint(hDC, client, NULL);
    if ((flags & PRF_CHILDREN) == 0)
        return;
    for (HWND child = ::GetWindow(m.paintWindow, GW_CHILD); child != NULL;
         child = ::GetWindow(child, GW_HWNDNEXT))
    {
        const RECT rc = m.GetNativeWindowRect(child);
        ::SetWindowOrgEx(hDC, -rc.left, -rc.top, NULL);
        ::SendMessageW(child, WM_PRINT, reinterpret_cast<WPARAM>(hDC), flags | PRF_NONCLIENT);
    }
}
