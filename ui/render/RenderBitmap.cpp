#include "ui/render/Renderer.h"

#include "ui/controls/Control.h"
#include "ui/manager/Manager.h"
#include "ui/render/GdiScope.h"

// A snapshot of what a window shows in a rectangle, for native child windows
// that want the skin behind them as their own background.

namespace
{
// The window's picture in a DC: either its finished off-screen surface, or a
// fresh paint of the tree up to (and without) the given control.
class CWindowPicture
{
public:
    CWindowPicture(CManagerUI& manager, const RECT& rc, CControlUI* control)
        : m_dc(manager.GetPaintDC()), m_old(NULL)
    {
        if (m_dc.Get() == NULL)
            return;
        // The finished surface holds every control, the one asked about
        // included, and nothing of a layered window's translucency: it only
        // serves for a plain snapshot of an opaque window.
        const bool fromSurface = control == NULL && !manager.IsLayered() && manager.GetOffscreenBitmap() != NULL;
        if (fromSurface)
        {
            // The surface is selected into the manager's own DC while it paints;
            // then it cannot be borrowed and the tree is painted afresh.
            m_old = ::SelectObject(m_dc, manager.GetOffscreenBitmap());
            if (m_old != NULL)
                return;
        }
        m_painted.Reset(::CreateCompatibleBitmap(manager.GetPaintDC(), rc.right, rc.bottom));
        if (m_painted.Get() == NULL)
            return;
        m_old = ::SelectObject(m_dc, m_painted);
        if (manager.GetRoot() != NULL)
            manager.GetRoot()->Paint(m_dc, rc, control);
    }
    ~CWindowPicture()
    {
        if (m_old != NULL)
            ::SelectObject(m_dc, m_old);
    }
    CWindowPicture(const CWindowPicture&) = delete;
    CWindowPicture& operator=(const CWindowPicture&) = delete;

    bool IsReady() const { return m_old != NULL; }
    HDC Dc() const { return m_dc; }

private:
    CMemoryDC m_dc;
    CGdiObject<HBITMAP> m_painted;  // deleted after the destructor has selected it out
    HGDIOBJ m_old;
};
}  // namespace

HBITMAP CRenderer::GenerateBitmap(CManagerUI* manager, const RECT& rc, CControlUI* control, DWORD filterColor)
{
    if (manager == NULL)
        return NULL;
    const int width = rc.right - rc.left;
    const int height = rc.bottom - rc.top;
    if (width <= 0 || height <= 0 || rc.left < 0 || rc.top < 0)
        return NULL;

    CWindowPicture picture(*manager, rc, control);
    if (!picture.IsReady())
        return NULL;

    LPBYTE bits = NULL;
    HBITMAP snapshot = CreateDib32(manager->GetPaintDC(), width, height, &bits);
    if (snapshot == NULL)
        return NULL;
    {
        CMemoryDC snapshotDC(manager->GetPaintDC());
        CSelectScope selected(snapshotDC, snapshot);
        ::BitBlt(snapshotDC, 0, 0, width, height, picture.Dc(), rc.left, rc.top, SRCCOPY);
        // A filter without alpha would tint nothing.
        if (filterColor > 0xFFFFFF)
        {
            const RECT whole = {0, 0, width, height};
            DrawColor(snapshotDC, whole, filterColor);
        }
    }
    ::GdiFlush();
    return snapshot;
}
