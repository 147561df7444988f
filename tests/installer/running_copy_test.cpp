// The installer's boxes and its single running copy, against real windows.

#include "installer/FrameWindow.h"
#include "installer/SingleInstance.h"
#include "installer/Win32InstallShell.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace
{

// A plain top-level window of the given class, destroyed with the object. A class it registered
// goes with it, so that the real frame window of other tests registers its own.
class TestWindow
{
public:
    explicit TestWindow(const wchar_t* className, DWORD style = WS_POPUP, HWND owner = nullptr)
        : className_(className)
    {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = className;
        registered_ = RegisterClassW(&wc) != 0;  // fails when another window registered it already
        window_ = CreateWindowExW(0, className, L"test", style, 10, 10, 200, 100, owner, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    }
    ~TestWindow()
    {
        DestroyWindow(window_);
        if (registered_)
            UnregisterClassW(className_.c_str(), GetModuleHandleW(nullptr));
    }
    HWND Get() const { return window_; }

private:
    std::wstring className_;
    bool registered_ = false;
    HWND window_;
};

// What a message box looked like while it was open; it is answered at once.
struct BoxSeen
{
    int count = 0;
    HWND owner = nullptr;
    bool ownerEnabled = true;
    std::wstring caption;
};
BoxSeen g_box;
HHOOK g_hook = nullptr;

LRESULT CALLBACK AnswerBox(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE)
    {
        HWND box = reinterpret_cast<HWND>(wParam);
        wchar_t className[16] = {};
        GetClassNameW(box, className, 16);
        if (std::wstring(className) == L"#32770")
        {
            ++g_box.count;
            g_box.owner = GetWindow(box, GW_OWNER);
            g_box.ownerEnabled = g_box.owner != nullptr && IsWindowEnabled(g_box.owner);
            wchar_t caption[64] = {};
            GetWindowTextW(box, caption, 64);
            g_box.caption = caption;
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        }
    }
    return CallNextHookEx(g_hook, code, wParam, lParam);
}

// The completion, presence and error boxes belong to the main window: they stay above it, and it
// takes no input until they are closed.
TEST(InstallShellBoxes, AreOwnedByTheMainWindow)
{
    TestWindow main(L"OwnerTestWindow", WS_POPUP | WS_VISIBLE);
    ASSERT_NE(main.Get(), nullptr);
    g_box = BoxSeen{};
    g_hook = SetWindowsHookExW(WH_CBT, AnswerBox, nullptr, GetCurrentThreadId());
    installer::CWin32InstallShell shell(main.Get());
    shell.ShowMessage(L"安装完成", installer::kSetupCaption, installer::kIconInformation);
    UnhookWindowsHookEx(g_hook);
    EXPECT_EQ(g_box.count, 1);
    EXPECT_EQ(g_box.owner, main.Get());
    EXPECT_FALSE(g_box.ownerEnabled) << "the window must not take input under its box";
    EXPECT_EQ(g_box.caption, installer::kSetupCaption);
    EXPECT_TRUE(IsWindowEnabled(main.Get()));
}

TEST(SingleInstance, OnlyTheFirstCopyOwnsTheMutex)
{
    installer::SingleInstance first;
    EXPECT_TRUE(first.IsFirst());
    {
        installer::SingleInstance second;
        EXPECT_FALSE(second.IsFirst());
    }
    EXPECT_TRUE(first.IsFirst());
}

// A copy started in this one's place (elevated, say) must not hand over to it; when none could be
// started, this one is the running copy again.
TEST(SingleInstance, StepsAsideForASuccessorAndBackWhenNoneStarted)
{
    installer::SingleInstance running;
    installer::LetSuccessorRun();
    {
        installer::SingleInstance successor;
        EXPECT_TRUE(successor.IsFirst());
    }
    installer::KeepRunning(nullptr);
    installer::SingleInstance later;
    EXPECT_FALSE(later.IsFirst());
}

TEST(SingleInstance, FindsOnlyTheMarkedMainWindow)
{
    TestWindow unmarked(installer::kFrameClassName);
    TestWindow otherClass(L"NotTheFrameClass");
    installer::MarkAsRunningCopy(otherClass.Get());
    EXPECT_EQ(installer::FindRunningCopy(), nullptr);

    TestWindow marked(installer::kFrameClassName);
    installer::MarkAsRunningCopy(marked.Get());
    EXPECT_EQ(installer::FindRunningCopy(), marked.Get());
    EXPECT_TRUE(installer::BringRunningCopyForward(0));
}

// What a later copy brings forward: the box the running copy shows, else its window.
TEST(SingleInstance, TheFrontWindowIsTheBoxWhenThereIsOne)
{
    {
        TestWindow main(installer::kFrameClassName, WS_POPUP | WS_VISIBLE);
        EXPECT_EQ(installer::FrontWindowOf(main.Get()), main.Get());
        TestWindow owned(L"OwnedTestWindow", WS_POPUP | WS_VISIBLE, main.Get());
        ASSERT_NE(owned.Get(), nullptr);
        SetActiveWindow(owned.Get());
        EXPECT_EQ(installer::FrontWindowOf(main.Get()), owned.Get());
    }
    // Before the window is shown, the start-up hint is an unowned window of the same thread.
    TestWindow hidden(installer::kFrameClassName);
    TestWindow hint(L"OwnerTestWindow", WS_POPUP | WS_VISIBLE);
    EXPECT_EQ(installer::FrontWindowOf(hidden.Get()), hint.Get());
}

}  // namespace
