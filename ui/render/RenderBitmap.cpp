#include "ui/render/Renderer.h"

#include "ui/render/GdiScope.h"
#include "ui/render/WindowPicture.h"

// A snapshot of what a window shows in a rectangle, for native child windows
// that want the skin behind them as their own background.

namespace
{
// The window's picture in a DC: either its finished surface, borrowed, or a
// fresh paint of its controls up to (and without) the given control.
class CWindowPictureDC
{
public:
    CWindowPictureDC(IWindowPicture& window, const RECT& rc, CControlUI* control)
        : m_dc(window.GetPictureDC()),
          m_old(NULL)
    {
        if (m_dc.Get() == NULL)
            return;
        // The finished surface holds every control, the one asked about
        // included: it serves only for a plain snapshot.
        HBITMAP finished = control == NULL ? window.GetFinishedPicture() : NULL;
        if (finished != NULL)
        {
            // While the window paints, its surface is selected into its own
            // DC and cannot be borrowed; then the controls are painted afresh.
            m_old = ::SelectObject(m_dc, finished);
            if (m_old != NULL)
                return;
        }
        m_painted.Reset(::CreateCompatibleBitmap(window.GetPictureDC(), rc.right, rc.bottom));
        if (m_painted.Get() == NULL)
            return;
        m_old = ::SelectObject(m_dc, m_painted);
        if (m_old != NULL)
            window.PaintPicture(m_dc, rc, control);
    }
    ~CWindowPictureDC()
    {
        if (m_old != NULL)
            ::SelectObject(m_dc, m_old);
    }
    CWindowPictureDC(const CWindowPictureDC&) = delete;
    CWindowPictureDC& operator=(const CWindowPictureDC&) = delete;

    bool IsReady() const { return m_old != NULL; }
    HDC Dc() const { return m_dc; }

private:
    CMemoryDC m_dc;
    CGdiObject<HBITMAP> m_painted;  // deleted after the destructor has selected it out
    HGDIOBJ m_old;
};
}  // namespace

HBITMAP CRenderer::GenerateBitmap(IWindowPicture* window, const RECT& rc, CControlUI* control,
                                  DWORD filterColor)
{
    if (window == NULL)
        return NULL;
    const int width = rc.right - rc.left;
    const int height = rc.bottom - rc.top;
    if (width <= 0 || height <= 0 || rc.left < 0 || rc.top < 0)
        return NULL;

    CWindowPictureDC picture(*window, rc, control);
    if (!picture.IsReady())
        return NULL;

    LPBYTE bits = NULL;
    HBITMAP snapshot = CreateDib32(window->GetPictureDC(), width, height, &bits);
    if (snapshot == NULL)
        return NULL;
    {
        CMemoryDC snapshotDC(window->GetPictureDC());
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
