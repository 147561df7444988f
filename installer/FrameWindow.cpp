#include "installer/FrameWindow.h"

#include "installer/Install.h"
#include "installer/SingleInstance.h"
#include "installer/Win32InstallShell.h"
#include "installer/WindowPlacement.h"
#include "ui/controls/Control.h"
#include "ui/controls/Progress.h"
#include "ui/builder/LayoutBuilder.h"

#include <mmsystem.h>

#include <string>

namespace installer
{

const wchar_t kFrameClassName[] = L"MarnetUI";
const wchar_t kSkinArchive[] = L"Setup.dat";
const wchar_t kSkinFile[] = L"Setup.xml";
const wchar_t kInstallControlName[] = L"Install";
const wchar_t kRestoreControlName[] = L"Restore";
const wchar_t kProgressControlName[] = L"Progress";
const wchar_t kStopQuestion[] = L"正在安装补丁。是否停止安装？\n已替换的文件将恢复原状。";
const wchar_t kSkinMissingText[] = L"安装程序旁的界面文件“Setup.dat”缺失或已损坏，无法显示安装界面。\n"
                                   L"请将 Setup.exe 与 Setup.dat 放在同一文件夹中，然后重新运行。";

namespace
{
const wchar_t kHintText[] = L"请将安装程序放置于游戏目录下。";
const wchar_t kHintCaption[] = L"安装运行提示";

// Posted by the worker when its job has ended.
constexpr UINT kJobDoneMessage = WM_APP + 41;
// The worker needs little stack; the default would reserve (and under Wine commit) megabytes.
constexpr SIZE_T kWorkerStackSize = 256 * 1024;

// The framework's reasons for a skin it could not read, in the player's language. They name the
// archive and the skin file, which are the only ones the installer reads itself.
struct SkinReason
{
    const wchar_t* framework;
    const wchar_t* player;
};
const SkinReason kSkinReasons[] = {
    {L"Error opening zip file", L"“Setup.dat”不是有效的界面文件包，可能已损坏。"},
    {L"Error opening file", L"无法打开界面文件。"},
    {L"File is empty", L"界面文件是空的。"},
    {L"File too large", L"界面文件过大。"},
    {L"Could not read file", L"无法读取界面文件。"},
    {L"Could not find ziped file", L"“Setup.dat”中缺少“Setup.xml”。"},
    {L"Could not unzip file", L"“Setup.dat”中的“Setup.xml”已损坏，无法解压。"},
};

bool SkinArchiveExists()
{
    const std::wstring archive = std::wstring(CManagerUI::GetResourcePath()) + kSkinArchive;
    const DWORD attributes = GetFileAttributesW(archive.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}
}  // namespace

std::wstring DescribeSkinFailure(LPCWSTR frameworkReason)
{
    if (!SkinArchiveExists())
        return L"找不到“Setup.dat”。";
    const std::wstring reason = frameworkReason != nullptr ? frameworkReason : L"";
    for (const SkinReason& known : kSkinReasons)
    {
        if (reason == known.framework)
            return known.player;
    }
    // The rest are faults in the document itself; their details help whoever made the skin.
    if (reason.empty())
        return L"“Setup.xml”中没有可显示的界面。";
    return L"“Setup.xml”的内容有误（" + reason + L"）。";
}

CFrameWindowWnd::CFrameWindowWnd() = default;

CFrameWindowWnd::~CFrameWindowWnd()
{
    // The window cannot close while a job runs; this only guards against a destroyed window.
    if (worker != nullptr)
    {
        shell->RequestStop();
        WaitForSingleObject(worker, INFINITE);
        CloseHandle(worker);
    }
}

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
    if (uMsg == kShellBoxMessage)
        return ShowShellBox(GetHWND(), *reinterpret_cast<const ShellBoxRequest*>(lParam));
    if (uMsg == kShellProgressMessage)
    {
        ShowProgress(static_cast<int>(wParam), static_cast<int>(lParam));
        return 0;
    }
    if (uMsg == kJobDoneMessage)
    {
        OnJobDone();
        return 0;
    }
    // Escape does what the close box does (and so asks first while an installation runs).
    if (uMsg == WM_KEYDOWN && wParam == VK_ESCAPE)
    {
        ::PostMessageW(GetHWND(), WM_CLOSE, 0, 0);
        return 0;
    }
    if (uMsg == WM_CLOSE && IsBusy())
    {
        OnCloseWhileBusy();
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
    else if (msg.sender->GetName() == kRestoreControlName)
        RestorePackage();
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
    StartJob(Job::Install);
}

void CFrameWindowWnd::RestorePackage()
{
    StartJob(Job::Restore);
}

bool CFrameWindowWnd::ConfirmStop()
{
    return MessageBoxW(GetHWND(), kStopQuestion, kSetupCaption, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void CFrameWindowWnd::StartJob(Job next)
{
    if (IsBusy())
        return;
    job = next;
    shell = std::make_unique<CWin32InstallShell>(GetHWND());
    worker = CreateThread(nullptr, kWorkerStackSize, &CFrameWindowWnd::RunJob, this,
                          STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (worker == nullptr)
    {
        // No thread to spare: the job runs here, as it would have before there were workers.
        RunJob(this);
        MSG done;
        PeekMessageW(&done, GetHWND(), kJobDoneMessage, kJobDoneMessage, PM_REMOVE);
        shell.reset();
        return;
    }
    EnableActions(false);
}

DWORD WINAPI CFrameWindowWnd::RunJob(void* self)
{
    auto* frame = static_cast<CFrameWindowWnd*>(self);
    if (frame->job == Job::Install)
        installer::InstallPackage(*frame->shell);
    else
        installer::RestorePackage(*frame->shell);
    ::PostMessageW(frame->GetHWND(), kJobDoneMessage, 0, 0);
    return 0;
}

void CFrameWindowWnd::OnJobDone()
{
    if (worker == nullptr)
        return;
    WaitForSingleObject(worker, INFINITE);
    CloseHandle(worker);
    worker = nullptr;
    const bool restarted = shell->Restarted();
    shell.reset();
    EnableActions(true);
    // An elevated copy carries on in this one's place.
    if (closeWhenDone || restarted)
        DestroyWindow(GetHWND());
}

void CFrameWindowWnd::OnCloseWhileBusy()
{
    // A restore is short and puts files back: it finishes first. An installation stops and is undone.
    if (job == Job::Install && !ConfirmStop())
        return;
    // The job may have ended while the question was open.
    if (!IsBusy())
    {
        DestroyWindow(GetHWND());
        return;
    }
    closeWhenDone = true;
    shell->RequestStop();
}

void CFrameWindowWnd::ShowProgress(int done, int count)
{
    CControlUI* control = manager.FindControlByName(kProgressControlName);
    auto* progress = control != nullptr ? static_cast<CProgressUI*>(control->FindInterface(L"Progress")) : nullptr;
    if (progress == nullptr)
        return;
    progress->SetMinValue(0);
    progress->SetMaxValue(count > 0 ? count : 1);
    progress->SetValue(done);
}

void CFrameWindowWnd::EnableActions(bool enable)
{
    for (const wchar_t* name : {kInstallControlName, kRestoreControlName})
        if (CControlUI* control = manager.FindControlByName(name))
            control->SetEnabled(enable);
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
        ReportMissingSkin(DescribeSkinFailure(builder.GetLastErrorMessage()).c_str());
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
