#pragma once
// Where a window's client area is on the screen, for the programs that let the
// end-to-end scripts act where the user would.

#include <windows.h>

#include <cstdio>

// Prints "x y width height" of the window's client area in screen coordinates.
inline void PrintClientArea(HWND window)
{
    POINT origin = {0, 0};
    RECT client = {};
    ClientToScreen(window, &origin);
    GetClientRect(window, &client);
    std::printf("%ld %ld %ld %ld\n", origin.x, origin.y, client.right, client.bottom);
}
