#include "control_test_support.h"

#include "ui/render/Dib.h"

#include <stdlib.h>

CPixelCanvas::CPixelCanvas(int width, int height, DWORD fill)
    : m_width(width), m_dc(::CreateCompatibleDC(NULL)), m_bitmap(NULL), m_old(NULL), m_pixels(NULL)
{
    LPBYTE bits = NULL;
    m_bitmap = CreateTopDownDib(width, height, &bits);
    m_pixels = reinterpret_cast<DWORD*>(bits);
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
