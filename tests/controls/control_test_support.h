#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "ui/controls/Control.h"
#include "ui/manager/Manager.h"

// A 32-bit top-down DIB selected into a memory DC; pixels read as 0xAARRGGBB.
class CPixelCanvas
{
public:
    CPixelCanvas(int width, int height, DWORD fill);
    ~CPixelCanvas();
    CPixelCanvas(const CPixelCanvas&) = delete;
    CPixelCanvas& operator=(const CPixelCanvas&) = delete;

    HDC Dc() const { return m_dc; }
    // Red, green and blue only: GDI leaves the alpha byte alone.
    DWORD Rgb(int x, int y) const;

private:
    int m_width;
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_old;
    DWORD* m_pixels;
};

// Every channel of two 0xRRGGBB values within tolerance.
bool NearRgb(DWORD actual, DWORD expected, int tolerance);

// Keeps the type, sender and parameters of every notification it receives.
class CNotifyRecorder : public INotifyUI
{
public:
    struct TRecord
    {
        std::wstring type;
        CControlUI* sender;
        WPARAM wParam;
        LPARAM lParam;
    };

    void Notify(TNotifyMsg& msg) override;
    std::vector<TRecord> records;
};

// A control that remembers which events reached its HandleEvent.
class CEventRecorder : public CControlUI
{
public:
    void HandleEvent(TControlEvent& event) override;
    std::vector<int> kinds;
};

CUIRect Rect(int left, int top, int right, int bottom);
