#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <new>
#include <vector>

#include "ui/core/WindowWnd.h"

namespace
{
// Records what reaches HandleMessage and what OnFinalMessage sees.
class CRecordingWnd : public CWindowWnd
{
public:
    explicit CRecordingWnd(LPCWSTR className = L"TestRecordingWnd") : m_className(className) {}

    LPCWSTR GetWindowClassName() const override { return m_className; }

    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override
    {
        messages.push_back(uMsg);
        return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
    }

    void OnFinalMessage(HWND hWnd) override
    {
        finalHandle = hWnd;
        handleDuringFinal = GetHWND();
    }

    std::vector<UINT> messages;
    HWND finalHandle = NULL;
    HWND handleDuringFinal = reinterpret_cast<HWND>(1);

private:
    LPCWSTR m_className;
};

class CEditSuperclassWnd : public CRecordingWnd
{
public:
    CEditSuperclassWnd() : CRecordingWnd(L"TestEditWnd") {}
    LPCWSTR GetSuperClassName() const override { return L"Edit"; }
};

HWND CreateHidden(CWindowWnd& wnd)
{
    return wnd.Create(NULL, L"test", WS_OVERLAPPEDWINDOW, 0, 0, 0, 200, 100);
}

bool PeekClose(HWND hWnd, WPARAM* pCode)
{
    MSG msg;
    if (!::PeekMessageW(&msg, hWnd, WM_CLOSE, WM_CLOSE, PM_REMOVE))
        return false;
    *pCode = msg.wParam;
    return true;
}
}  // namespace

TEST(WindowWnd, SecondRegistrationOfAnOwnClassFindsItExisting)
{
    CRecordingWnd first(L"TestTwiceWnd"), second(L"TestTwiceWnd");
    ASSERT_TRUE(first.RegisterWindowClass());
    ::SetLastError(0);
    EXPECT_TRUE(second.RegisterWindowClass());
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS));

    HWND a = CreateHidden(first);
    HWND b = CreateHidden(second);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_NE(a, b);
    ::DestroyWindow(a);
    ::DestroyWindow(b);
}

TEST(WindowWnd, EditSuperclassFallsBackToTheSystemEditProcedure)
{
    CEditSuperclassWnd wnd;
    HWND hWnd = CreateHidden(wnd);
    ASSERT_NE(hWnd, nullptr);

    // Only the edit procedure knows EM_GETLIMITTEXT; DefWindowProcW answers 0.
    wnd.SendMessage(EM_SETLIMITTEXT, 5, 0);
    EXPECT_EQ(wnd.SendMessage(EM_GETLIMITTEXT, 0, 0), 5);
    EXPECT_EQ(::GetPropW(hWnd, L"WndX"), static_cast<CWindowWnd*>(&wnd));
    EXPECT_EQ(::GetWindowLongPtrW(hWnd, GWLP_USERDATA), 0);

    // A second window of the class still gets the edit procedure as fallback.
    CEditSuperclassWnd other;
    ASSERT_NE(CreateHidden(other), nullptr);
    other.SendMessage(EM_SETLIMITTEXT, 9, 0);
    EXPECT_EQ(other.SendMessage(EM_GETLIMITTEXT, 0, 0), 9);

    ::DestroyWindow(other.GetHWND());
    ::DestroyWindow(hWnd);
    EXPECT_EQ(wnd.finalHandle, hWnd);
}

TEST(WindowWnd, FinalMessageReceivesTheOldHandleAfterDetaching)
{
    CRecordingWnd wnd;
    HWND hWnd = CreateHidden(wnd);
    ASSERT_NE(hWnd, nullptr);
    EXPECT_EQ(wnd.GetHWND(), hWnd);
    EXPECT_EQ(::GetWindowLongPtrW(hWnd, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&wnd));

    ::DestroyWindow(hWnd);
    EXPECT_EQ(wnd.finalHandle, hWnd);
    EXPECT_EQ(wnd.handleDuringFinal, nullptr);
    EXPECT_EQ(wnd.GetHWND(), nullptr);
    EXPECT_EQ(wnd.messages.back(), static_cast<UINT>(WM_DESTROY));  // WM_NCDESTROY bypasses the handler
}

TEST(WindowWnd, ClosePostsTheCodeOnlyToALiveWindow)
{
    CRecordingWnd wnd;
    HWND hWnd = CreateHidden(wnd);
    ASSERT_NE(hWnd, nullptr);

    WPARAM code = 0;
    wnd.Close(7);
    ASSERT_TRUE(PeekClose(hWnd, &code));
    EXPECT_EQ(code, 7u);

    ::DestroyWindow(hWnd);
    wnd.Close(7);
    EXPECT_FALSE(PeekClose(NULL, &code));
}

TEST(WindowWnd, ShowWindowChoosesShowOrHide)
{
    CRecordingWnd wnd;
    ASSERT_NE(CreateHidden(wnd), nullptr);
    wnd.ShowWindow(true, false);
    EXPECT_TRUE(::IsWindowVisible(wnd));
    wnd.ShowWindow(false, true);
    EXPECT_FALSE(::IsWindowVisible(wnd));
    ::DestroyWindow(wnd);
    wnd.ShowWindow(true, true);  // no window: nothing happens
}

TEST(WindowWnd, MessagesBeforeCreationAreServedWithoutTheWrapper)
{
    CRecordingWnd wnd;
    ASSERT_NE(CreateHidden(wnd), nullptr);
    // WM_GETMINMAXINFO precedes WM_NCCREATE for a top-level window.
    ASSERT_FALSE(wnd.messages.empty());
    EXPECT_EQ(wnd.messages.front(), static_cast<UINT>(WM_NCCREATE));
    ::DestroyWindow(wnd);

    // A window of the class created without a wrapper is plain DefWindowProcW.
    HWND bare = ::CreateWindowExW(0, L"TestRecordingWnd", L"bare", WS_OVERLAPPEDWINDOW, 0, 0, 50, 50, NULL,
                                  NULL, ::GetModuleHandleW(NULL), NULL);
    ASSERT_NE(bare, nullptr);
    ::SetWindowTextW(bare, L"plain");
    wchar_t text[16] = {};
    ::GetWindowTextW(bare, text, 16);
    EXPECT_STREQ(text, L"plain");
    ::DestroyWindow(bare);
}

namespace
{
// A self-owning wrapper that refuses WM_CREATE. It lives in a caller-provided
// buffer so that "deleting" it can poison the bytes instead of freeing them,
// which makes any later write by Create visible.
class CRefusingWnd : public CWindowWnd
{
public:
    LPCWSTR GetWindowClassName() const override { return L"TestRefusingWnd"; }
    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override
    {
        if (uMsg == WM_CREATE)
            return -1;
        return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
    }
    void OnFinalMessage(HWND) override
    {
        void* self = this;
        this->~CRefusingWnd();
        std::memset(self, 0xCD, sizeof(CRefusingWnd));
    }
};
}  // namespace

TEST(WindowWnd, FailedCreationLeavesADeletedWrapperUntouched)
{
    alignas(CRefusingWnd) unsigned char buffer[sizeof(CRefusingWnd)];
    CRefusingWnd* wnd = new (buffer) CRefusingWnd;

    EXPECT_EQ(wnd->Create(NULL, L"refused", WS_OVERLAPPEDWINDOW, 0, 0, 0, 50, 50), nullptr);
    for (unsigned char byte : buffer)
        ASSERT_EQ(byte, 0xCD);
}
