// Prints where the installer's client area is on the screen ("x y width height"),
// so that a test can click a control at the place the skin puts it.
#include <windows.h>

#include <cstdio>

int wmain()
{
    HWND window = FindWindowW(L"MarnetUI", nullptr);
    if (window == nullptr)
        return 1;
    POINT origin = {0, 0};
    RECT client = {};
    ClientToScreen(window, &origin);
    GetClientRect(window, &client);
    std::printf("%ld %ld %ld %ld\n", origin.x, origin.y, client.right, client.bottom);
    return 0;
}
