#include "control_test_support.h"

#include <stdlib.h>

CPixelCanvas::CPixelCanvas(int width, int height, DWORD fill)
    : m_width(width), m_dc(::CreateCompatibleDC(NULL)), m_bitmap(NULL), m_old(NULL), m_pixels(NULL)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = NULL;
    m_bitmap = ::CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    m_pixels = static_cast<DWORD*>(bits);
    m_old = ::SelectObject(m_dc, m_bitmap);
    for (int i = 0; i < width * height; ++i)
        m_pixels[i] = fill;
}

CPixelCanvas::~CPixelCanvas()
{
    ::SelectObject(m_dc, m_old);
    ::DeleteObject(m_bitmap);
    ::DeleteDC(m_dc);
}

DWORD CPixelCanvas::Rgb(int x, int y) const
{
    ::GdiFlush();
    return m_pixels[y * m_width + x] & 0xFFFFFF;
}

bool NearRgb(DWORD actual, DWORD expected, int tolerance)
{
    for (int shift = 0; shift < 24; shift += 8)
    {
        const int a = static_cast<int>((actual >> shift) & 0xFF);
        const int e = static_cast<int>((expected >> shift) & 0xFF);
        if (abs(a - e) > tolerance)
            return false;
    }
    return true;
}

void CNotifyRecorder::Notify(TNotifyMsg& msg)
{
    records.push_back(TRecord{std::wstring(msg.type), msg.sender, msg.wParam, msg.lParam});
}

void CEventRecorder::HandleEvent(TControlEvent& event)
{
    kinds.push_back(event.kind);
}

CUIRect Rect(int left, int top, int right, int bottom)
{
    return CUIRect(left, top, right, bottom);
}
