#pragma once
// The installer's one window: builds the skin "Setup.xml" from "Setup.dat",
// sizes and centres itself, greets the user, plays the tune, and runs the
// installation when the control named "Install" is clicked (the restore for
// "Restore", where the skin has one). Both run on a worker thread, so that the
// window keeps painting and moving; its buttons are disabled meanwhile, and
// closing it asks whether to stop. Without a skin it tells the user so and is
// not created at all.

#include "ui/core/UIDefs.h"
#include "ui/core/WindowWnd.h"
#include "ui/manager/Manager.h"

#include <windows.h>

#include <memory>
#include <string>

namespace installer
{

class CWin32InstallShell;

extern const wchar_t kFrameClassName[];
extern const wchar_t kSkinArchive[];
extern const wchar_t kSkinFile[];
extern const wchar_t kInstallControlName[];
extern const wchar_t kRestoreControlName[];
extern const wchar_t kProgressControlName[];  // a progress bar the skin may have
extern const wchar_t kStopQuestion[];
extern const wchar_t kSkinMissingText[];
constexpr DWORD kFrameStyle = 0x96C80000;  // popup, visible, clip siblings/children, caption, system menu
constexpr DWORD kFrameExStyle = 0x100;     // WS_EX_WINDOWEDGE
constexpr int kIconResourceId = 107;
constexpr int kTuneResourceId = 129;

// Why the skin could not be read or built, for the player: the builder's reason in Chinese.
std::wstring DescribeSkinFailure(LPCWSTR frameworkReason);

class CFrameWindowWnd : public CWindowWnd, public INotifyUI
{
public:
    CFrameWindowWnd();

    LPCWSTR GetWindowClassName() const override;
    UINT GetClassStyle() const override;
    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
    // The window object owns itself: it goes with its window.
    void OnFinalMessage(HWND hWnd) override;

    // Runs the installation for a "click" of the control named "Install", the restore for one of
    // "Restore"; ignores the rest.
    void Notify(TNotifyMsg& msg) override;

    CManagerUI& GetManager() { return manager; }
    // True while an installation or a restore runs.
    bool IsBusy() const { return worker != nullptr; }

protected:
    ~CFrameWindowWnd() override;

    // Overridable so that tests can drive the window without modal boxes or unpacking.
    virtual void ShowStartupHint();
    // Says that the skin could not be loaded or built, and why (in the player's language).
    virtual void ReportMissingSkin(LPCWSTR reason);
    virtual void InstallPackage();
    virtual void RestorePackage();
    // Asks whether to stop a running installation; true for yes.
    virtual bool ConfirmStop();

private:
    enum class Job
    {
        Install,
        Restore
    };

    void StartJob(Job job);
    static DWORD WINAPI RunJob(void* self);
    void OnJobDone();
    void OnCloseWhileBusy();
    void EnableActions(bool enable);
    // Shows entries done of count on the skin's progress bar named "Progress", where there is one.
    void ShowProgress(int done, int count);
    LRESULT OnCreate();
    void OnDestroy();
    void SetSmallIcon();
    bool BuildSkin();
    void PlayTune();
    void StopTune();

    HANDLE worker = nullptr;
    Job job = Job::Install;
    std::unique_ptr<CWin32InstallShell> shell;
    bool closeWhenDone = false;

    HRSRC waveResource = nullptr;
    HGLOBAL waveData = nullptr;
    CManagerUI manager;
};

}  // namespace installer
