// Prints where the installer's client area is on the screen ("x y width height"),
// so that a test can click a control at the place the skin puts it.
//   client_origin [WINDOW_CLASS]     (the installer's class when not given)
#include "tests/e2e/client_area.h"

#include <windows.h>

int wmain(int argc, wchar_t** argv)
{
    // Screen pixels as they are, whatever the display's DPI: a program that says
    // nothing about DPI may be told scaled coordinates.
    ::SetProcessDPIAware();
    HWND window = FindWindowW(argc > 1 ? argv[1] : L"MarnetUI", nullptr);
    if (window == nullptr)
        return 1;
    PrintClientArea(window);
    return 0;
}
