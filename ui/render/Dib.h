#pragma once
// Every off-screen picture of the framework is a 32-bit top-down DIB section,
// so that pixel (x, y) sits at bits[y * width + x] whatever GDI does.

#include <windows.h>

// Null when the size is empty, does not fit in memory arithmetic, or GDI refuses it.
HBITMAP CreateTopDownDib(int width, int height, LPBYTE* bits);
