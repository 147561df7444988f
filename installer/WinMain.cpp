// Program entry: points the framework at the skin beside the executable,
// creates the main window and runs the message loop until it is closed.

#include "installer/FrameWindow.h"
#include "installer/Install.h"
#include "ui/manager/Manager.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    CManagerUI::SetInstance(instance);
    CManagerUI::SetResourcePath(CManagerUI::GetInstancePath());
    CManagerUI::SetResourceZip(installer::kSkinArchive, false);

    // The window object deletes itself after its window's last message.
    auto* frame = new installer::CFrameWindowWnd;
    if (frame->Create(nullptr, installer::kWindowTitle, installer::kFrameStyle, installer::kFrameExStyle) == nullptr)
        return 1;
    frame->ShowWindow(true, true);
    CManagerUI::MessageLoop();
    return 0;
}
