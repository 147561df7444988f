#include "installer/FrameWindow.h"

#include "installer/Install.h"
#include "installer/SingleInstance.h"
#include "installer/Win32InstallShell.h"
#include "installer/WindowPlacement.h"
#include "ui/controls/Control.h"
#include "ui/markup/LayoutBuilder.h"

#include <mmsystem.h>

#include <string>

namespace installer
{

const wchar_t kFrameClassName[] = L"MarnetUI";
const wchar_t kSkinArchive[] = L"Setup.dat";
const wchar_t kSkinFile[] = L"Setup.xml";
const wchar_t kInstallControlName[] = L"Install";
const wchar_t kSkinMissingText[] = L"安装程序旁的界面文件“Setup.dat”缺失或已损坏，无法显示安装界面。\n"
                                   L"请将 Setup.exe 与 Setup.dat 放在同一文件夹中，然后重新运行。";

namespace
{
const wchar_t kHintText[] = L"请将安装程序放置于游戏目录下。";
const wchar_t kHintCaption[] = L"安装运行提示";
}  // namespace

CFrameWindowWnd::CFrameWindowWnd() = default;

LPCWSTR CFrameWindowWnd::GetWindowClassName() const
{
    return kFrameClassName;
}

UINT CFrameWindowWnd::GetClassStyle() const
{
    return CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
}

LRESULT CFrameWindowWnd::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    if (uMsg == WM_CREATE)
        return OnCreate();
    if (uMsg == WM_DESTROY)
        OnDestroy();
    // Escape does what the close box does.
    if (uMsg == WM_KEYDOWN && wParam == VK_ESCAPE)
    {
        ::PostMessageW(GetHWND(), WM_CLOSE, 0, 0);
        return 0;
    }
    LRESULT result = 0;
    if (manager.MessageHandler(uMsg, wParam, lParam, result))
        return result;
    return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
}

void CFrameWindowWnd::OnFinalMessage(HWND)
{
    delete this;
}

void CFrameWindowWnd::Notify(TNotifyMsg& msg)
{
    // A queued notification may have lost its sender: look at the type first.
    if (msg.type != NotifyType::Click || msg.sender == nullptr)
        return;
    if (msg.sender->GetName() == kInstallControlName)
        InstallPackage();
}

void CFrameWindowWnd::ShowStartupHint()
{
    MessageBoxW(nullptr, kHintText, kHintCaption, MB_ICONINFORMATION);
}

void CFrameWindowWnd::ReportMissingSkin(LPCWSTR reason)
{
    std::wstring text = kSkinMissingText;
    if (reason != nullptr && reason[0] != 0)
        text.append(L"\n\n").append(reason);
    MessageBoxW(nullptr, text.c_str(), kSetupCaption, MB_ICONERROR);
}

void CFrameWindowWnd::InstallPackage()
{
    CWin32InstallShell shell(GetHWND());
    installer::InstallPackage(shell);
}

LRESULT CFrameWindowWnd::OnCreate()
{
    manager.Init(GetHWND());
    SetSmallIcon();
    // A window without its skin would show nothing the user could act on: it is not created,
    // and the entry point ends the program.
    if (!BuildSkin())
        return -1;
    PlaceWindow(GetHWND(), manager.GetInitSize(), manager.GetMinInfo());
    MarkAsRunningCopy(GetHWND());
    manager.AddNotifier(this);
    ShowStartupHint();
    PlayTune();
    return 0;
}

void CFrameWindowWnd::OnDestroy()
{
    RemovePropW(GetHWND(), kRunningCopyMark);
    StopTune();
    PostQuitMessage(0);
}

void CFrameWindowWnd::SetSmallIcon()
{
    HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kIconResourceId));
    ::SendMessageW(GetHWND(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

bool CFrameWindowWnd::BuildSkin()
{
    CLayoutBuilder builder;
    CControlUI* root = builder.Create(kSkinFile, nullptr, &manager, nullptr);
    if (root == nullptr)
    {
        ReportMissingSkin(builder.GetLastErrorMessage());
        return false;
    }
    manager.AttachRoot(root);
    return true;
}

void CFrameWindowWnd::PlayTune()
{
    waveResource = FindResourceW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kTuneResourceId), L"WAVE");
    if (waveResource == nullptr)
        return;
    waveData = LoadResource(nullptr, waveResource);
    if (waveData == nullptr)
        return;
    if (const void* wave = LockResource(waveData))
        PlaySoundW(static_cast<LPCWSTR>(wave), nullptr, SND_ASYNC | SND_MEMORY | SND_LOOP);
}

void CFrameWindowWnd::StopTune()
{
    PlaySoundA(nullptr, nullptr, SND_FILENAME);
    if (waveData != nullptr)
        FreeResource(waveData);
    waveData = nullptr;
}

}  // namespace installer
