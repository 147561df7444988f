// Prints where the installer's client area is on the screen ("x y width height"),
// so that a test can click a control at the place the skin puts it.
//   client_origin [WINDOW_CLASS]     (the installer's class when not given)
#include <windows.h>

#include <cstdio>

int wmain(int argc, wchar_t** argv)
{
    HWND window = FindWindowW(argc > 1 ? argv[1] : L"MarnetUI", nullptr);
    if (window == nullptr)
        return 1;
    POINT origin = {0, 0};
    RECT client = {};
    ClientToScreen(window, &origin);
    GetClientRect(window, &client);
    std::printf("%ld %ld %ld %ld\n", origin.x, origin.y, client.right, client.bottom);
    return 0;
}
