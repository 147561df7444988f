#pragma once
// The installer's one window: builds the skin "Setup.xml" from "Setup.dat",
// sizes and centres itself, greets the user, plays the tune, and runs the
// installation when the control named "Install" is clicked. Without a skin it
// tells the user so and is not created at all.

#include "ui/core/UIDefs.h"
#include "ui/core/WindowWnd.h"
#include "ui/manager/Manager.h"

#include <windows.h>

namespace installer
{

extern const wchar_t kFrameClassName[];
extern const wchar_t kSkinArchive[];
extern const wchar_t kSkinFile[];
extern const wchar_t kInstallControlName[];
extern const wchar_t kSkinMissingText[];
constexpr DWORD kFrameStyle = 0x96C80000;  // popup, visible, clip siblings/children, caption, system menu
constexpr DWORD kFrameExStyle = 0x100;     // WS_EX_WINDOWEDGE
constexpr int kIconResourceId = 107;
constexpr int kTuneResourceId = 129;

class CFrameWindowWnd : public CWindowWnd, public INotifyUI
{
public:
    CFrameWindowWnd();

    LPCWSTR GetWindowClassName() const override;
    UINT GetClassStyle() const override;
    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
    // The window object owns itself: it goes with its window.
    void OnFinalMessage(HWND hWnd) override;

    // Runs the installation for a "click" of the control named "Install"; ignores the rest.
    void Notify(TNotifyMsg& msg) override;

    CManagerUI& GetManager() { return manager; }

protected:
    ~CFrameWindowWnd() override = default;

    // Overridable so that tests can drive the window without modal boxes or unpacking.
    virtual void ShowStartupHint();
    // Says that the skin could not be loaded or built; reason is the builder's, possibly empty.
    virtual void ReportMissingSkin(LPCWSTR reason);
    virtual void InstallPackage();

private:
    LRESULT OnCreate();
    void OnDestroy();
    void SetSmallIcon();
    bool BuildSkin();
    void PlayTune();
    void StopTune();

    HRSRC waveResource = nullptr;
    HGLOBAL waveData = nullptr;
    CManagerUI manager;
};

}  // namespace installer
