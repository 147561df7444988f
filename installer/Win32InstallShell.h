#pragma once
// The installation's surroundings on a real desktop: the package resource of
// this executable, the main window's title, message boxes, process start, the
// elevation request. The routine may run on a worker thread: the boxes are
// then shown by the window's own thread (it is asked with a sent message), so
// that they belong to the window as they always have.

#include "installer/Install.h"

#include <windows.h>

#include <string>

namespace installer
{

constexpr int kPackageResourceId = 130;
extern const wchar_t kPackageResourceType[];

// Posted to the main window as entries are placed: wParam entries done of lParam.
constexpr UINT kShellProgressMessage = WM_APP + 42;

// Sent to the main window by a worker that needs a box: lParam points to a ShellBoxRequest, the
// result is MessageBoxW's.
constexpr UINT kShellBoxMessage = WM_APP + 40;

struct ShellBoxRequest
{
    const wchar_t* text;
    const wchar_t* caption;
    UINT flags;
};

// Shows a box for a request, owned by window (null: no owner).
int ShowShellBox(HWND window, const ShellBoxRequest& request);

class CWin32InstallShell : public IInstallShell
{
public:
    // Boxes belong to window; with none they have no owner and the title is left alone.
    explicit CWin32InstallShell(HWND window) : window_(window) {}

    PackageLookup LoadPackage(const unsigned char*& bytes, std::size_t& length) override;
    void ReleasePackage() override;
    void SetTitle(const wchar_t* title) override;
    // Owned by the main window: the box stays above it, the window takes no input while the box is
    // open, and the keyboard focus returns to the window when it closes.
    void ShowMessage(const wchar_t* text, const wchar_t* caption, unsigned icon) override;
    bool StartProcess(wchar_t* commandLine) override;
    bool AskYesNo(const wchar_t* text, const wchar_t* caption, unsigned icon) override;
    bool RestartElevated() override;
    bool StopRequested() override { return stop_ != 0; }
    void SetProgress(std::uint32_t done, std::uint32_t count) override;

    // From any thread: the routine stops at its next chunk and undoes what it did.
    void RequestStop() { InterlockedExchange(&stop_, 1); }
    // True once an elevated copy was started: this one has nothing left to do.
    bool Restarted() const { return restarted_; }

protected:
    int Box(const wchar_t* text, const wchar_t* caption, UINT flags);

private:
    HWND window_;
    HGLOBAL loaded_ = nullptr;
    volatile LONG stop_ = 0;
    bool restarted_ = false;
};

// No window, no boxes, no Notepad: a run whose only report is its exit code.
class CSilentInstallShell : public CWin32InstallShell
{
public:
    CSilentInstallShell() : CWin32InstallShell(nullptr) {}

    void SetTitle(const wchar_t*) override {}
    void ShowMessage(const wchar_t*, const wchar_t*, unsigned) override {}
    bool StartProcess(wchar_t*) override { return false; }
    bool AskYesNo(const wchar_t*, const wchar_t*, unsigned) override { return false; }
    bool RestartElevated() override { return false; }
    void SetProgress(std::uint32_t, std::uint32_t) override {}
};

// The arguments this process was started with, as one string without the program's name.
std::wstring ArgumentsOfThisProcess();

}  // namespace installer
