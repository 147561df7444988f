#include "installer/SingleInstance.h"

#include "installer/FrameWindow.h"

namespace installer
{

// Named after the product, so that installers of other patches run beside this one.
const wchar_t kRunningCopyMutex[] = L"Local\\Lumora.Tessaly.PatchSetup";
const wchar_t kRunningCopyMark[] = L"Lumora.Tessaly.PatchSetup";

namespace
{

constexpr DWORD kPollMs = 100;

// The first SingleInstance of the process (the entry point's), while it lives.
SingleInstance* g_holder = nullptr;

BOOL CALLBACK FindMarked(HWND window, LPARAM found)
{
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    if (lstrcmpW(className, kFrameClassName) != 0 || GetPropW(window, kRunningCopyMark) == nullptr)
        return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

BOOL CALLBACK FindVisible(HWND window, LPARAM found)
{
    if (!IsWindowVisible(window) || !IsWindowEnabled(window))
        return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

}  // namespace

SingleInstance::SingleInstance()
{
    Hold();
    first_ = !(mutex_ != nullptr && GetLastError() == ERROR_ALREADY_EXISTS);
    if (g_holder == nullptr)
        g_holder = this;
}

void SingleInstance::Hold()
{
    if (mutex_ == nullptr)
        mutex_ = CreateMutexW(nullptr, FALSE, kRunningCopyMutex);
}

SingleInstance::~SingleInstance()
{
    Release();
    if (g_holder == this)
        g_holder = nullptr;
}

void SingleInstance::Release()
{
    if (mutex_ != nullptr)
        CloseHandle(mutex_);
    mutex_ = nullptr;
}

// The main window of the running copy, when it belongs to this process.
HWND OwnMainWindow()
{
    HWND window = FindRunningCopy();
    DWORD process = 0;
    if (window != nullptr)
        GetWindowThreadProcessId(window, &process);
    return process == GetCurrentProcessId() ? window : nullptr;
}

void LetSuccessorRun()
{
    if (g_holder != nullptr)
        g_holder->Release();
    if (HWND window = OwnMainWindow())
        RemovePropW(window, kRunningCopyMark);
}

void KeepRunning(HWND mainWindow)
{
    if (g_holder != nullptr)
        g_holder->Hold();
    if (mainWindow != nullptr)
        MarkAsRunningCopy(mainWindow);
}

void MarkAsRunningCopy(HWND window)
{
    SetPropW(window, kRunningCopyMark, reinterpret_cast<HANDLE>(1));
}

HWND FindRunningCopy()
{
    HWND found = nullptr;
    EnumWindows(FindMarked, reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND FrontWindowOf(HWND mainWindow)
{
    // Shown, the window keeps its boxes as owned pop-ups; before it is shown, the start-up hint
    // is a window of the same thread without an owner.
    if (IsWindowVisible(mainWindow))
        return GetLastActivePopup(mainWindow);
    HWND found = nullptr;
    EnumThreadWindows(GetWindowThreadProcessId(mainWindow, nullptr), FindVisible,
                      reinterpret_cast<LPARAM>(&found));
    return found != nullptr ? found : mainWindow;
}

bool BringRunningCopyForward(DWORD waitMs)
{
    HWND running = FindRunningCopy();
    for (DWORD waited = 0; running == nullptr && waited < waitMs; waited += kPollMs)
    {
        Sleep(kPollMs);
        running = FindRunningCopy();
    }
    if (running == nullptr)
        return false;
    // The running copy may be busy installing: nothing here waits for its thread to answer.
    HWND front = FrontWindowOf(running);
    if (IsIconic(front))
        ShowWindowAsync(front, SW_RESTORE);
    SetForegroundWindow(front);
    return true;
}

}  // namespace installer
