#pragma once

#include <windows.h>

#include "ui/render/ImageLoader.h"

// A 32-bit top-down DIB section selected into a memory DC: draw into Dc(),
// then read pixels back as 0xAARRGGBB.
class CCanvas
{
public:
    CCanvas(int width, int height, DWORD fill = 0xFFFFFFFF);
    ~CCanvas();
    CCanvas(const CCanvas&) = delete;
    CCanvas& operator=(const CCanvas&) = delete;

    HDC Dc() const { return m_hDC; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    DWORD At(int x, int y) const;
    // Red, green and blue only: GDI leaves the alpha byte alone.
    DWORD Rgb(int x, int y) const { return At(x, y) & 0xFFFFFF; }
    void Fill(DWORD argb);
    void Set(int x, int y, DWORD argb);

private:
    int m_width;
    int m_height;
    HDC m_hDC;
    HBITMAP m_bitmap;
    HGDIOBJ m_old;
    DWORD* m_pixels;
};

// True when every channel of two 0xAARRGGBB values (alpha ignored unless
// withAlpha) differs by at most tolerance.
bool NearColor(DWORD actual, DWORD expected, int tolerance, bool withAlpha = false);

// Whether any pixel of the canvas has exactly this 0xRRGGBB colour.
bool HasPixel(const CCanvas& canvas, DWORD rgb);

// Pixel (x, y) of a decoded image as stored: premultiplied 0xAARRGGBB.
inline DWORD ImagePixel(const TImageEntry& image, int x, int y)
{
    return reinterpret_cast<const DWORD*>(image.bits)[y * image.width + x];
}
