// Program entry: runs silently or restores without a window when the command
// line asks for it; otherwise hands over to a copy that runs already, or points
// the framework at the skin beside the executable, creates the main window and
// runs the message loop until it is closed. Ends with 1 when the window could
// not be created (its skin is missing or damaged, and the user was told).
//
// Arguments (case does not matter; any others are ignored):
//   /S        install with no window, no tune and no boxes; the exit code is the outcome
//   /restore  put the game's original files back; with /S silently as well

#include "installer/FrameWindow.h"
#include "installer/Install.h"
#include "installer/SingleInstance.h"
#include "installer/Win32InstallShell.h"
#include "ui/manager/Manager.h"

#include <windows.h>

#include <shellapi.h>

#include <memory>

namespace
{

struct Arguments
{
    bool silent = false;
    bool restore = false;
};

Arguments ReadArguments()
{
    Arguments arguments;
    int count = 0;
    LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
    if (words == nullptr)
        return arguments;
    for (int i = 1; i < count; ++i)
    {
        if (lstrcmpiW(words[i], L"/S") == 0)
            arguments.silent = true;
        else if (lstrcmpiW(words[i], L"/restore") == 0)
            arguments.restore = true;
    }
    LocalFree(words);
    return arguments;
}

// A run without the main window: silent, or a restore whose boxes stand on their own.
int RunWithoutWindow(const Arguments& arguments)
{
    installer::SingleInstance single;
    if (!single.IsFirst())
        return installer::kStatusAlreadyRunning;
    std::unique_ptr<installer::CWin32InstallShell> shell;
    if (arguments.silent)
        shell = std::make_unique<installer::CSilentInstallShell>();
    else
        shell = std::make_unique<installer::CWin32InstallShell>(nullptr);
    return arguments.restore ? installer::RestorePackage(*shell) : installer::InstallPackage(*shell);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    const Arguments arguments = ReadArguments();
    if (arguments.silent || arguments.restore)
        return RunWithoutWindow(arguments);

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
