#include "ui/render/Dib.h"

#include <climits>
#include <cstdint>

HBITMAP CreateTopDownDib(int width, int height, LPBYTE* bits)
{
    *bits = NULL;
    uint64_t byteCount = static_cast<uint64_t>(width) * static_cast<uint64_t>(height) * 4u;
    if (width <= 0 || height <= 0 || byteCount > static_cast<uint64_t>(INT_MAX))
        return NULL;
    BITMAPINFO info = TopDownDibInfo(width, height);
    void* pixels = NULL;
    HBITMAP bitmap = CreateDIBSection(NULL, &info, DIB_RGB_COLORS, &pixels, NULL, 0);
    if (bitmap == NULL || pixels == NULL)
    {
        if (bitmap != NULL)
            DeleteObject(bitmap);
        return NULL;
    }
    *bits = static_cast<LPBYTE>(pixels);
    return bitmap;
}

BITMAPINFO TopDownDibInfo(int width, int height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biSizeImage = static_cast<DWORD>(width) * static_cast<DWORD>(height) * 4u;
    return info;
}
