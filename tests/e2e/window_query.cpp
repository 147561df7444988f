// Answers questions about the running installer's window from outside, so that
// a test can act where the user would:
//   window_query client          "x y width height" of the client area on the screen
//   window_query placement       "left top right bottom" of the window, then the same of its work area
//   window_query control NAME    "x y" on the screen of the middle of the control NAME
// The control's place comes from the skin the installer uses ("Setup.dat"
// beside its executable), built and laid out by the same framework at the
// size of the running window's client area.
#include "installer/FrameWindow.h"
#include "installer/SingleInstance.h"
#include "tests/e2e/client_area.h"
#include "ui/controls/Control.h"
#include "ui/manager/Manager.h"
#include "ui/builder/LayoutBuilder.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace
{

// The folder of the executable that owns the window, with a trailing backslash.
std::wstring ProgramFolder(HWND window)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (process == nullptr)
        return L"";
    // Programs in folders deeper than MAX_PATH are tested too.
    std::vector<wchar_t> path(32768);
    DWORD length = static_cast<DWORD>(path.size());
    const bool found = QueryFullProcessImageNameW(process, 0, path.data(), &length) != 0;
    CloseHandle(process);
    if (!found)
        return L"";
    std::wstring folder(path.data(), length);
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

int PrintControl(HWND window, const wchar_t* name)
{
    const std::wstring folder = ProgramFolder(window);
    if (folder.empty())
        return 3;
    CManagerUI::SetInstance(GetModuleHandleW(nullptr));
    CManagerUI::SetResourcePath(folder.c_str());
    CManagerUI::SetResourceZip(installer::kSkinArchive, false);

    RECT client = {};
    GetClientRect(window, &client);
    HWND host = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, client.right, client.bottom, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
    int result = 4;
    {
        CManagerUI manager;
        manager.Init(host);
        CLayoutBuilder builder;
        CControlUI* root = builder.Create(installer::kSkinFile, nullptr, &manager, nullptr);
        if (root != nullptr)
        {
            manager.AttachRoot(root);
            root->SetPos(client, false);
            if (CControlUI* control = manager.FindControlByName(name))
            {
                const RECT& pos = control->GetPos();
                POINT middle = {(pos.left + pos.right) / 2, (pos.top + pos.bottom) / 2};
                ClientToScreen(window, &middle);
                std::printf("%ld %ld\n", middle.x, middle.y);
                result = 0;
            }
        }
    }
    DestroyWindow(host);
    return result;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    HWND window = installer::FindRunningCopy();
    if (window == nullptr || argc < 2)
        return 1;
    const std::wstring what = argv[1];
    if (what == L"client")
    {
        PrintClientArea(window);
        return 0;
    }
    if (what == L"placement")
    {
        RECT rect = {};
        GetWindowRect(window, &rect);
        MONITORINFO monitor = {};
        monitor.cbSize = sizeof monitor;
        GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor);
        const RECT& work = monitor.rcWork;
        std::printf("%ld %ld %ld %ld %ld %ld %ld %ld\n", rect.left, rect.top, rect.right, rect.bottom,
                    work.left, work.top, work.right, work.bottom);
        return 0;
    }
    if (what == L"control" && argc == 3)
        return PrintControl(window, argv[2]);
    return 2;
}
