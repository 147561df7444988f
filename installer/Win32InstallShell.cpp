#include "installer/Win32InstallShell.h"

#include "installer/SingleInstance.h"

#include <objbase.h>
#include <shellapi.h>

#include <string>
#include <vector>

namespace installer
{

const wchar_t kPackageResourceType[] = L"INSTALL";

int ShowShellBox(HWND window, const ShellBoxRequest& request)
{
    return MessageBoxW(window, request.text, request.caption, request.flags);
}

std::wstring ArgumentsOfThisProcess()
{
    // The program's name ends at its closing quote, or at the first blank when it is not quoted.
    const wchar_t* line = GetCommandLineW();
    if (*line == L'"')
    {
        ++line;
        while (*line != 0 && *line != L'"')
            ++line;
        if (*line == L'"')
            ++line;
    }
    else
    {
        while (*line != 0 && *line != L' ' && *line != L'\t')
            ++line;
    }
    while (*line == L' ' || *line == L'\t')
        ++line;
    return line;
}

PackageLookup CWin32InstallShell::LoadPackage(const unsigned char*& bytes, std::size_t& length)
{
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(kPackageResourceId), kPackageResourceType);
    if (resource == nullptr)
        return PackageLookup::NotFound;
    loaded_ = LoadResource(module, resource);
    if (loaded_ == nullptr)
        return PackageLookup::LoadFailed;
    bytes = static_cast<const unsigned char*>(LockResource(loaded_));
    length = bytes ? SizeofResource(module, resource) : 0;
    return PackageLookup::Loaded;
}

void CWin32InstallShell::ReleasePackage()
{
    if (loaded_ != nullptr)
        FreeResource(loaded_);
    loaded_ = nullptr;
}

void CWin32InstallShell::SetTitle(const wchar_t* title)
{
    if (window_ != nullptr)
        SetWindowTextW(window_, title);
}

void CWin32InstallShell::SetProgress(std::uint32_t done, std::uint32_t count)
{
    if (window_ != nullptr)
        PostMessageW(window_, kShellProgressMessage, done, count);
}

int CWin32InstallShell::Box(const wchar_t* text, const wchar_t* caption, UINT flags)
{
    const ShellBoxRequest request{text, caption, flags};
    if (window_ == nullptr || GetWindowThreadProcessId(window_, nullptr) == GetCurrentThreadId())
        return ShowShellBox(window_, request);
    return static_cast<int>(SendMessageW(window_, kShellBoxMessage, 0, reinterpret_cast<LPARAM>(&request)));
}

void CWin32InstallShell::ShowMessage(const wchar_t* text, const wchar_t* caption, unsigned icon)
{
    Box(text, caption, icon | MB_OK);
}

bool CWin32InstallShell::AskYesNo(const wchar_t* text, const wchar_t* caption, unsigned icon)
{
    return Box(text, caption, icon | MB_YESNO) == IDYES;
}

bool CWin32InstallShell::StartProcess(wchar_t* commandLine)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

bool CWin32InstallShell::RestartElevated()
{
    wchar_t program[MAX_PATH * 4];
    const DWORD length = GetModuleFileNameW(nullptr, program, MAX_PATH * 4);
    if (length == 0 || length >= MAX_PATH * 4)
        return false;
    wchar_t folder[MAX_PATH * 4];
    const DWORD folderLength = GetCurrentDirectoryW(MAX_PATH * 4, folder);
    const std::wstring arguments = ArgumentsOfThisProcess();
    // The new copy must not find this one still holding the single-copy lock and hand over to it.
    LetSuccessorRun();
    SHELLEXECUTEINFOW execute{};
    execute.cbSize = sizeof(execute);
    execute.fMask = SEE_MASK_NOASYNC;
    execute.hwnd = window_;
    execute.lpVerb = L"runas";
    execute.lpFile = program;
    execute.lpParameters = arguments.empty() ? nullptr : arguments.c_str();
    execute.lpDirectory = folderLength > 0 && folderLength < MAX_PATH * 4 ? folder : nullptr;
    execute.nShow = SW_SHOWNORMAL;
    // The shell may reach its handlers through COM, and this may be a worker thread.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    restarted_ = ShellExecuteExW(&execute) != 0;
    if (SUCCEEDED(com))
        CoUninitialize();
    // Refused (the user said no to the system's question): this copy stays the running one.
    if (!restarted_)
        KeepRunning(window_);
    return restarted_;
}

}  // namespace installer
