// Program entry: hands over to a copy that runs already, or points the
// framework at the skin beside the executable, creates the main window and
// runs the message loop until it is closed. Ends with 1 when the window could
// not be created (its skin is missing or damaged, and the user was told).

#include "installer/FrameWindow.h"
#include "installer/Install.h"
#include "installer/SingleInstance.h"
#include "ui/manager/Manager.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    // Long enough for a copy started a moment earlier to create its window.
    constexpr DWORD kWaitForRunningCopyMs = 5000;
    installer::SingleInstance single;
    if (!single.IsFirst())
    {
        installer::BringRunningCopyForward(kWaitForRunningCopyMs);
        return 0;
    }

    CManagerUI::SetInstance(instance);
    CManagerUI::SetResourcePath(CManagerUI::GetInstancePath());
    CManagerUI::SetResourceZip(installer::kSkinArchive, false);

    // The window object deletes itself after its window's last message.
    auto* frame = new installer::CFrameWindowWnd;
    if (frame->Create(nullptr, installer::kWindowTitle, installer::kFrameStyle, installer::kFrameExStyle) ==
        nullptr)
        return 1;
    frame->ShowWindow(true, true);
    CManagerUI::MessageLoop();
    return 0;
}
