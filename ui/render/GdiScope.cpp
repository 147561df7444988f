#include "ui/render/GdiScope.h"

#include "ui/render/Renderer.h"

bool CSurface::Create(HDC reference, int width, int height, bool dib)
{
    Release();
    m_hDC = ::CreateCompatibleDC(reference);
    if (dib)
    {
        LPBYTE bits = NULL;
        m_bitmap = CRenderer::CreateDib32(reference, width, height, &bits);
        m_bits = reinterpret_cast<LPDWORD>(bits);
    }
    else
    {
        m_bitmap = ::CreateCompatibleBitmap(reference, width, height);
    }
    const bool ready = m_hDC != NULL && m_bitmap != NULL && (!dib || m_bits != NULL);
    if (!ready)
    {
        Release();
        return false;
    }
    m_width = width;
    m_height = height;
    return true;
}

void CSurface::SelectForLife()
{
    if (m_hDC != NULL && m_bitmap != NULL)
        ::SelectObject(m_hDC, m_bitmap);
}

void CSurface::Release()
{
    // The DC goes first: a bitmap still selected into a DC cannot be deleted.
    if (m_hDC != NULL)
        ::DeleteDC(m_hDC);
    if (m_bitmap != NULL)
        ::DeleteObject(m_bitmap);
    m_hDC = NULL;
    m_bitmap = NULL;
    m_bits = NULL;
    m_width = 0;
    m_height = 0;
}
