#pragma once
// The installation's surroundings on a real desktop: the package resource of
// this executable, the main window's title, message boxes, process start.

#include "installer/Install.h"

#include <windows.h>

namespace installer
{

constexpr int kPackageResourceId = 130;
extern const wchar_t kPackageResourceType[];

class CWin32InstallShell : public IInstallShell
{
public:
    explicit CWin32InstallShell(HWND window) : window_(window) {}

    PackageLookup LoadPackage(const unsigned char*& bytes, std::size_t& length) override;
    void ReleasePackage() override;
    void SetTitle(const wchar_t* title) override;
    // Owned by the main window: the box stays above it, the window takes no input while the box is
    // open, and the keyboard focus returns to the window when it closes.
    void ShowMessage(const wchar_t* text, const wchar_t* caption, unsigned icon) override;
    bool StartProcess(wchar_t* commandLine) override;

private:
    HWND window_;
    HGLOBAL loaded_ = nullptr;
};

}  // namespace installer
