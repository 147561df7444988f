#pragma once
// Every off-screen picture of the framework is a 32-bit top-down DIB section,
// so that pixel (x, y) sits at bits[y * width + x] whatever GDI does.

#include <windows.h>

// Null when the size is empty, does not fit in memory arithmetic, or GDI refuses it.
HBITMAP CreateTopDownDib(int width, int height, LPBYTE* bits);

// The header that describes such a picture, also for reading any bitmap's
// pixels in this layout. The size is the caller's to check.
BITMAPINFO TopDownDibInfo(int width, int height);
