// The main window's reaction to notifications, and its life without a skin.

#include "installer/FrameWindow.h"
#include "ui/controls/Control.h"
#include "ui/manager/Manager.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {

using installer::CFrameWindowWnd;

// Counts installations instead of unpacking, and shows no box.
class QuietFrame : public CFrameWindowWnd
{
public:
    static int installs;
    static int destroyed;

protected:
    ~QuietFrame() override { ++destroyed; }
    void ShowStartupHint() override {}
    void InstallPackage() override { ++installs; }
};
int QuietFrame::installs = 0;
int QuietFrame::destroyed = 0;

TEST(FrameWindowNotify, OnlyAClickFromInstallRunsTheInstallation)
{
    CControlUI install, lowerCase, other;
    install.SetName(L"Install");
    lowerCase.SetName(L"install");
    other.SetName(L"Cancel");
    struct {
        const wchar_t* type;
        CControlUI* sender;
        int installs;
    } cases[] = {
        {L"click", &install, 1},
        {L"click", &lowerCase, 0},
        {L"click", &other, 0},
        {L"selectchanged", &install, 0},
        {L"Click", &install, 0},
        {L"click", nullptr, 0}, // a queued notification whose sender is gone
    };
    QuietFrame* frame = new QuietFrame;
    for (const auto& c : cases) {
        QuietFrame::installs = 0;
        TNotifyMsg msg{};
        msg.type = c.type;
        msg.sender = c.sender;
        frame->Notify(msg);
        EXPECT_EQ(QuietFrame::installs, c.installs) << static_cast<const wchar_t*>(c.type);
    }
    frame->OnFinalMessage(nullptr); // the window object deletes itself
}

// Without Setup.dat the window has no root, yet it is created, shown and closed normally.
TEST(FrameWindowLife, WithoutASkinTheWindowStillClosesAndCleansUp)
{
    wchar_t emptyFolder[MAX_PATH];
    GetTempPathW(MAX_PATH, emptyFolder);
    CManagerUI::SetResourcePath(emptyFolder);
    CManagerUI::SetResourceZip(L"no-such-skin.dat", false);

    QuietFrame::destroyed = 0;
    QuietFrame* frame = new QuietFrame;
    HWND window = frame->Create(nullptr, L"frame test", installer::kFrameStyle & ~WS_VISIBLE,
                                installer::kFrameExStyle);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(frame->GetManager().GetRoot(), nullptr);
    frame->ShowWindow(true, false);
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(QuietFrame::destroyed, 1);

    MSG msg;
    bool sawQuit = false;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        sawQuit = sawQuit || msg.message == WM_QUIT;
    EXPECT_TRUE(sawQuit);
}

} // namespace
