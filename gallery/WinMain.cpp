// Gallery entry: points the framework at the gallery's skin beside the
// executable, opens the window on the page the command line names
// ("--page N", counted from 0) and runs the message loop until it is closed.

#include "gallery/GalleryWindow.h"
#include "ui/manager/Manager.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int)
{
    CManagerUI::SetInstance(instance);
    CManagerUI::SetResourcePath(CManagerUI::GetInstancePath());
    CManagerUI::SetResourceZip(gallery::kSkinArchive, false);

    // The window object deletes itself after its window's last message.
    auto* window = new gallery::CGalleryWnd(gallery::PageFromCommandLine(commandLine));
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    // A fixed place near the top-left corner, not the system's cascade, so
    // that the window opens in the same spot every time; the skin sets its size.
    if (window->Create(nullptr, gallery::kGalleryTitle, style, 0, 40, 40, 640, 480) == nullptr)
        return 1;
    window->ShowWindow(true, true);
    CManagerUI::MessageLoop();
    return 0;
}
