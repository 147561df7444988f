#include "installer/Win32InstallShell.h"

namespace installer
{

const wchar_t kPackageResourceType[] = L"INSTALL";

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
    SetWindowTextW(window_, title);
}

void CWin32InstallShell::ShowMessage(const wchar_t* text, const wchar_t* caption, unsigned icon)
{
    MessageBoxW(window_, text, caption, icon | MB_OK);
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

}  // namespace installer
