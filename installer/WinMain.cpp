// Interim program entry: a plain window with the installer's title that shows
// the start-up hint, plays the tune and runs one installation. The skinned
// main window replaces it once the framework can show the skin.

#include "installer/Install.h"
#include "installer/Win32InstallShell.h"

#include <windows.h>
#include <mmsystem.h>

namespace {

const wchar_t kWindowClass[] = L"MarnetUI";
const wchar_t kHintText[] = L"请将安装程序放置于游戏目录下。";
const wchar_t kHintCaption[] = L"安装运行提示";
constexpr DWORD kWindowStyle = 0x96C80000;
constexpr DWORD kWindowExStyle = 0x100;
constexpr int kIconId = 107;
constexpr int kTuneId = 129;
constexpr UINT kRunInstall = WM_APP + 1;

HGLOBAL g_tune = nullptr;

void PlayTune()
{
    HRSRC resource = FindResourceW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kTuneId), L"WAVE");
    if (resource == nullptr)
        return;
    g_tune = LoadResource(nullptr, resource);
    if (g_tune == nullptr)
        return;
    if (const void* wave = LockResource(g_tune))
        PlaySoundW(static_cast<LPCWSTR>(wave), nullptr, SND_ASYNC | SND_MEMORY | SND_LOOP);
}

void StopTune()
{
    PlaySoundA(nullptr, nullptr, SND_FILENAME);
    if (g_tune != nullptr)
        FreeResource(g_tune);
    g_tune = nullptr;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: {
        HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kIconId));
        SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
        MessageBoxW(nullptr, kHintText, kHintCaption, MB_ICONINFORMATION);
        PlayTune();
        return 0;
    }
    case kRunInstall: {
        installer::CWin32InstallShell shell(window);
        installer::InstallPackage(shell);
        return 0;
    }
    case WM_DESTROY:
        StopTune();
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kWindowClass;
    if (!RegisterClassExW(&windowClass))
        return 1;

    HWND window = CreateWindowExW(kWindowExStyle, kWindowClass, installer::kWindowTitle, kWindowStyle,
                                  CW_USEDEFAULT, CW_USEDEFAULT, 480, 320, nullptr, nullptr, instance, nullptr);
    if (window == nullptr)
        return 1;
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    PostMessageW(window, kRunInstall, 0, 0);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
