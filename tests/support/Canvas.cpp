#include "tests/support/Canvas.h"

#include <stdlib.h>

#include "ui/render/Dib.h"

CCanvas::CCanvas(int width, int height, DWORD fill)
    : m_width(width),
      m_height(height),
      m_hDC(::CreateCompatibleDC(NULL)),
      m_bitmap(NULL),
      m_old(NULL),
      m_pixels(NULL)
{
    LPBYTE bits = NULL;
    m_bitmap = CreateTopDownDib(width, height, &bits);
    m_pixels = reinterpret_cast<DWORD*>(bits);
    m_old = ::SelectObject(m_hDC, m_bitmap);
    Fill(fill);
}

CCanvas::~CCanvas()
{
    ::SelectObject(m_hDC, m_old);
    ::DeleteObject(m_bitmap);
    ::DeleteDC(m_hDC);
}

DWORD CCanvas::At(int x, int y) const
{
    ::GdiFlush();
    return m_pixels[y * m_width + x];
}

void CCanvas::Fill(DWORD argb)
{
    ::GdiFlush();
    for (int i = 0; i < m_width * m_height; ++i)
        m_pixels[i] = argb;
}

void CCanvas::Set(int x, int y, DWORD argb)
{
    ::GdiFlush();
    m_pixels[y * m_width + x] = argb;
}

bool NearColor(DWORD actual, DWORD expected, int tolerance, bool withAlpha)
{
    for (int shift = 0; shift < (withAlpha ? 32 : 24); shift += 8)
    {
        const int a = static_cast<int>((actual >> shift) & 0xFF);
        const int e = static_cast<int>((expected >> shift) & 0xFF);
        if (abs(a - e) > tolerance)
            return false;
    }
    return true;
}

bool HasPixel(const CCanvas& canvas, DWORD rgb)
{
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x)
            if (canvas.Rgb(x, y) == rgb)
                return true;
    return false;
}
