#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/activex/control/TestControlApi.h"
#include "tests/support/Canvas.h"
#include "tests/support/ManagerProbe.h"
#include "tests/support/Rects.h"
#include "tests/support/TestWindow.h"
#include "ui/controls/ActiveX.h"
#include "ui/controls/BoxLayout.h"
#include "ui/builder/LayoutBuilder.h"

namespace
{
const wchar_t kModule[] = L"test_activex.dll";
const int kWidth = 300;
const int kHeight = 200;

// The test control's record, read through its exports. The test keeps its
// own reference to the DLL so that the record outlives every control.
class CTestControlDll
{
public:
    CTestControlDll() : module(::LoadLibraryW(kModule))
    {
        stats = reinterpret_cast<TTestControlStatsProc>(Proc("TestControlStats"));
        reset = reinterpret_cast<TTestControlResetProc>(Proc("TestControlReset"));
        poke = reinterpret_cast<TTestControlPokeProc>(Proc("TestControlPokeStaleSite"));
    }
    ~CTestControlDll()
    {
        if (module != NULL)
            ::FreeLibrary(module);
    }
    bool Loaded() const { return stats != NULL && reset != NULL && poke != NULL; }

    HMODULE module;
    TTestControlStatsProc stats = NULL;
    TTestControlResetProc reset = NULL;
    TTestControlPokeProc poke = NULL;

private:
    void* Proc(const char* name) const
    {
        return module != NULL ? reinterpret_cast<void*>(::GetProcAddress(module, name)) : NULL;
    }
};

HWND HostChild(HWND parent)
{
    return ::FindWindowExW(parent, NULL, L"ActiveXWnd", NULL);
}

// A window's rectangle in its parent's client coordinates.
RECT RectInParent(HWND hwnd)
{
    RECT rc;
    ::GetWindowRect(hwnd, &rc);
    ::MapWindowPoints(HWND_DESKTOP, ::GetParent(hwnd), reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

bool HasVisibleStyle(HWND hwnd)
{
    return (::GetWindowLongW(hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
}

LPARAM PointParam(int x, int y)
{
    return MAKELPARAM(x, y);
}

class CNotifyLog : public INotifyUI
{
public:
    void Notify(TNotifyMsg& msg) override
    {
        types.push_back(static_cast<LPCWSTR>(msg.type));
        senders.push_back(msg.sender);
    }
    std::vector<std::wstring> types;
    std::vector<CControlUI*> senders;
};

class ActiveXTest : public ::testing::Test
{
protected:
    ActiveXTest() : host(manager, kWidth, kHeight)
    {
        if (dll.Loaded())
        {
            dll.reset();
            Stats().options = 0;
        }
    }

    void SetUp() override { ASSERT_TRUE(dll.Loaded()) << "test_activex.dll beside the test program"; }

    TTestControlStats& Stats() { return *dll.stats(); }

    // root (vertical) > row (horizontal, 30 high gap above) > 20 wide gap, the control (120 x 60)
    CActiveXUI* Build(const wchar_t* clsid, const wchar_t* module = kModule)
    {
        root = new CVerticalLayoutUI;
        row = new CHorizontalLayoutUI;
        gap = new CControlUI;
        control = new CActiveXUI;
        CControlUI* top = new CControlUI;
        top->SetFixedHeight(30);
        gap->SetFixedWidth(20);
        control->SetFixedWidth(120);
        control->SetFixedHeight(60);
        if (module != NULL)
            control->SetAttribute(L"modulename", module);
        control->SetAttribute(L"clsid", clsid);
        row->Add(gap);
        row->Add(control);
        root->Add(top);
        root->Add(row);
        manager.AttachRoot(root);
        return control;
    }

    void Layout() { root->SetPos(Rect(0, 0, kWidth, kHeight)); }

    LRESULT Send(UINT msg, int x, int y)
    {
        return ::SendMessageW(host.Get(), msg, msg == WM_LBUTTONDOWN ? MK_LBUTTON : 0, PointParam(x, y));
    }

    CTestControlDll dll;
    CManagerProbe manager;
    CHostWindow host;
    CVerticalLayoutUI* root = NULL;
    CHorizontalLayoutUI* row = NULL;
    CControlUI* gap = NULL;
    CActiveXUI* control = NULL;
};

TEST_F(ActiveXTest, AWindowlessObjectIsCreatedAtTheFirstLayoutAndPaintsIntoTheWindow)
{
    Build(TEST_WINDOWLESS_CLSID);
    EXPECT_EQ(0, Stats().created);  // creation waits for the first placement
    Layout();

    ASSERT_EQ(1, Stats().created);
    ExpectRect(control->GetPos(), Rect(20, 30, 140, 90));
    EXPECT_EQ(1, Stats().initNew);
    EXPECT_EQ(1, Stats().activations);
    EXPECT_TRUE(Stats().windowless);
    EXPECT_EQ(host.Get(), control->GetNativeWindow());
    EXPECT_EQ(NULL, HostChild(host.Get()));
    // Asked before activation, the site names the manager's window and creates nothing.
    EXPECT_EQ(host.Get(), Stats().windowBeforeActivation);
    // A windowless object gets the control's rectangle as its context, and no DC outside painting.
    ExpectRect(Stats().contextPos, Rect(20, 30, 140, 90));
    ExpectRect(Stats().objectRects, Rect(20, 30, 140, 90));
    EXPECT_EQ(E_FAIL, Stats().getDcResult);
    EXPECT_EQ(NULL, Stats().getDcHandle);
    // The extent is in hundredths of a millimetre at the screen's resolution.
    HDC screen = ::GetDC(NULL);
    EXPECT_EQ(::MulDiv(120, 2540, ::GetDeviceCaps(screen, LOGPIXELSX)), Stats().extent.cx);
    EXPECT_EQ(::MulDiv(60, 2540, ::GetDeviceCaps(screen, LOGPIXELSY)), Stats().extent.cy);
    ::ReleaseDC(NULL, screen);

    CCanvas canvas(kWidth, kHeight);
    root->Paint(canvas.Dc(), Rect(0, 0, kWidth, kHeight), NULL);
    ExpectRect(Stats().drawBounds, Rect(20, 30, 140, 90));
    EXPECT_EQ(0xFF0000u, canvas.Rgb(21, 31));
    EXPECT_EQ(0xFF0000u, canvas.Rgb(79, 89));
    EXPECT_EQ(0x0000FFu, canvas.Rgb(80, 31));
    EXPECT_EQ(0x0000FFu, canvas.Rgb(139, 89));
    EXPECT_EQ(0xFFFFFFu, canvas.Rgb(19, 31));
    EXPECT_EQ(0xFFFFFFu, canvas.Rgb(140, 60));
}

TEST_F(ActiveXTest, TheWindowHearsOfTheObjectAfterItIsCreated)
{
    CNotifyLog log;
    manager.AddNotifier(&log);
    Build(TEST_WINDOWLESS_CLSID);
    Layout();
    host.Pump();
    manager.RemoveNotifier(&log);
    const auto at = std::find(log.types.begin(), log.types.end(), L"showactivex");
    ASSERT_NE(log.types.end(), at);
    EXPECT_EQ(control, log.senders[at - log.types.begin()]);
}

TEST_F(ActiveXTest, MouseMessagesReachAWindowlessObjectOnlyWhereItSaysItIsHit)
{
    Build(TEST_WINDOWLESS_CLSID);
    Layout();

    Send(WM_LBUTTONDOWN, 100, 50);  // right half: the object's hit test says outside
    EXPECT_EQ(0, Stats().clicks);
    EXPECT_GE(Stats().hitQueries, 1);

    Send(WM_LBUTTONDOWN, 30, 50);
    EXPECT_EQ(1, Stats().clicks);
    EXPECT_EQ(PointParam(30, 50), Stats().lastLParam);
    EXPECT_TRUE(control->IsFocused());

    Send(WM_LBUTTONDOWN, 200, 150);  // outside the control
    EXPECT_EQ(1, Stats().clicks);
}

TEST_F(ActiveXTest, KeysReachAWindowlessObjectOnlyWhileItHasTheFocus)
{
    Build(TEST_WINDOWLESS_CLSID);
    Layout();
    ::SendMessageW(host.Get(), WM_KEYDOWN, 'A', 0);
    EXPECT_EQ(0, Stats().messages);

    control->SetFocus();
    ::SendMessageW(host.Get(), WM_KEYDOWN, 'A', 0);
    EXPECT_EQ(1, Stats().messages);
    EXPECT_EQ(static_cast<UINT>(WM_KEYDOWN), Stats().lastMessage);
}

TEST_F(ActiveXTest, WithoutAnExtendedViewObjectTheControlsRectangleIsTheHitArea)
{
    Stats().options = TestOptionNoViewObjectEx;
    Build(TEST_WINDOWLESS_CLSID);
    Layout();

    Send(WM_LBUTTONDOWN, 100, 50);
    EXPECT_EQ(1, Stats().clicks);
    EXPECT_EQ(0, Stats().hitQueries);
    Send(WM_LBUTTONDOWN, 200, 150);
    EXPECT_EQ(1, Stats().clicks);
}

TEST_F(ActiveXTest, AWindowedObjectsWindowFollowsLayoutAndVisibility)
{
    Build(TEST_WINDOWED_CLSID);
    Layout();

    ASSERT_EQ(1, Stats().activations);
    EXPECT_FALSE(Stats().windowless);
    const HWND child = HostChild(host.Get());
    ASSERT_NE(nullptr, child);
    EXPECT_EQ(child, control->GetNativeWindow());
    EXPECT_EQ(1, manager.NativeWindowCount());
    ExpectRect(RectInParent(child), Rect(20, 30, 140, 90));
    // The object fills the host window.
    ExpectRect(Stats().contextPos, Rect(0, 0, 120, 60));
    ASSERT_NE(nullptr, Stats().window);
    EXPECT_EQ(child, ::GetParent(Stats().window));
    ExpectRect(RectInParent(Stats().window), Rect(0, 0, 120, 60));

    gap->SetFixedWidth(50);
    control->SetFixedWidth(100);
    Layout();
    ExpectRect(RectInParent(child), Rect(50, 30, 150, 90));
    ExpectRect(RectInParent(Stats().window), Rect(0, 0, 100, 60));

    row->SetVisible(false);
    EXPECT_FALSE(HasVisibleStyle(child));
    row->SetVisible(true);
    EXPECT_TRUE(HasVisibleStyle(child));
    control->SetVisible(false);
    EXPECT_FALSE(HasVisibleStyle(child));
}

TEST_F(ActiveXTest, ALayeredWindowShowsAWindowedObjectInItsSurface)
{
    manager.SetLayered(true);
    Build(TEST_WINDOWED_CLSID);
    ::ShowWindow(host.Get(), SW_SHOWNOACTIVATE);
    // Each tick of the layered timer lays out and paints what is dirty.
    for (int i = 0; i < 5; ++i)
        ::SendMessageW(host.Get(), WM_TIMER, 0x2000, 0);

    ASSERT_NE(nullptr, HostChild(host.Get()));
    EXPECT_EQ(1, manager.NativeWindowCount());
    ASSERT_NE(nullptr, manager.OffscreenBits());
    // The surface is bottom-up; the object draws its pattern into the printed window.
    auto pixel = [&](int x, int y) { return manager.OffscreenBits()[(kHeight - 1 - y) * kWidth + x]; };
    EXPECT_EQ(0xFFFF0000u, pixel(30, 50));
    EXPECT_EQ(0xFF0000FFu, pixel(130, 50));
    EXPECT_EQ(0u, pixel(10, 10));
}

TEST_F(ActiveXTest, AClickOnAWindowedObjectLandsInItsWindow)
{
    Build(TEST_WINDOWED_CLSID);
    Layout();
    const POINT inHost = {60, 50};
    const HWND child = ::ChildWindowFromPointEx(host.Get(), inHost, CWP_ALL);
    ASSERT_EQ(HostChild(host.Get()), child);
    POINT inChild = inHost;
    ::MapWindowPoints(host.Get(), child, &inChild, 1);
    const HWND objectWindow = ::ChildWindowFromPointEx(child, inChild, CWP_ALL);
    ASSERT_EQ(Stats().window, objectWindow);
    ::SendMessageW(objectWindow, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(inChild.x, inChild.y));
    EXPECT_EQ(1, Stats().clicks);
    EXPECT_EQ(PointParam(40, 20), Stats().lastLParam);
}

TEST_F(ActiveXTest, DeletingTheControlReleasesEverything)
{
    const wchar_t* classes[] = {TEST_WINDOWLESS_CLSID, TEST_WINDOWED_CLSID};
    for (const wchar_t* clsid : classes)
    {
        SCOPED_TRACE(clsid);
        dll.reset();
        Build(clsid);
        Layout();
        ASSERT_EQ(1, Stats().liveObjects);
        ASSERT_EQ(1, Stats().runningLocks);

        row->Remove(control);
        host.Pump();
        EXPECT_EQ(0, Stats().liveObjects);
        EXPECT_EQ(0, Stats().objectRefs);
        EXPECT_EQ(0, Stats().runningLocks);
        EXPECT_EQ(1, Stats().closes);
        EXPECT_EQ(NULL, HostChild(host.Get()));
        EXPECT_EQ(0, manager.NativeWindowCount());
        // The message filter went with the control.
        Send(WM_LBUTTONDOWN, 30, 50);
        EXPECT_EQ(0, Stats().clicks);
    }
}

TEST_F(ActiveXTest, ASiteKeptByTheObjectAnswersUnexpectedOnceTheControlIsGone)
{
    Stats().options = TestOptionKeepSite;
    Build(TEST_WINDOWLESS_CLSID);
    Layout();
    row->Remove(control);
    host.Pump();
    EXPECT_EQ(E_UNEXPECTED, dll.poke());
}

TEST_F(ActiveXTest, AMissingModuleOrClassGivesNoObject)
{
    const struct
    {
        const char* label;
        const wchar_t* module;
        const wchar_t* clsid;
    } cases[] = {
        {"no such module", L"no_such_control.dll", TEST_WINDOWLESS_CLSID},
        {"class not in the module", kModule, L"{00000000-1111-2222-3333-444444444444}"},
        {"unregistered class, no module", NULL, L"{00000000-1111-2222-3333-444444444444}"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.label);
        Build(c.clsid, c.module);
        Layout();
        EXPECT_TRUE(control->IsCreated());
        EXPECT_EQ(0, Stats().created);
        EXPECT_EQ(NULL, control->GetNativeWindow());
        void* unknown = &unknown;
        EXPECT_EQ(E_FAIL, control->GetControl(IID_IUnknown, &unknown));
        EXPECT_EQ(nullptr, unknown);
        CCanvas canvas(kWidth, kHeight);
        root->Paint(canvas.Dc(), Rect(0, 0, kWidth, kHeight), NULL);
        EXPECT_EQ(0xFFFFFFu, canvas.Rgb(30, 50));
        Send(WM_LBUTTONDOWN, 30, 50);
        host.Pump();
    }
}

TEST_F(ActiveXTest, MalformedClassNamesAreIgnored)
{
    CActiveXUI loose;
    const wchar_t* names[] = {L"", L"{not a class}", L"No.Such.ProgId",
                              L"{00000000-0000-0000-0000-000000000000}"};
    for (const wchar_t* name : names)
    {
        SCOPED_TRACE(testing::Message() << static_cast<int>(wcslen(name)));
        EXPECT_FALSE(loose.SetClsid(name));
        EXPECT_TRUE(IsEqualCLSID(CLSID_NULL, loose.GetClsid()));
    }
}

TEST_F(ActiveXTest, CreationWithoutDelayWaitsForAManager)
{
    CActiveXUI* early = new CActiveXUI;
    early->SetAttribute(L"modulename", kModule);
    early->SetAttribute(L"delaycreate", L"false");
    early->SetAttribute(L"clsid", TEST_WINDOWLESS_CLSID);
    EXPECT_FALSE(early->IsCreated());
    EXPECT_EQ(0, Stats().created);

    CVerticalLayoutUI* tree = new CVerticalLayoutUI;
    tree->Add(early);
    manager.AttachRoot(tree);
    EXPECT_TRUE(early->IsCreated());
    EXPECT_EQ(1, Stats().created);
    EXPECT_EQ(1, Stats().activations);
}

TEST_F(ActiveXTest, TurningDelayedCreationOffCreatesAtOnce)
{
    Build(TEST_WINDOWLESS_CLSID);
    EXPECT_FALSE(control->IsCreated());
    control->SetAttribute(L"delaycreate", L"false");
    EXPECT_TRUE(control->IsCreated());
    EXPECT_EQ(1, Stats().created);
    // A new class replaces the object at once.
    control->SetAttribute(L"clsid", TEST_WINDOWED_CLSID);
    EXPECT_EQ(2, Stats().created);
    EXPECT_EQ(1, Stats().liveObjects);
}

TEST(ActiveXTagTest, TheBuilderKnowsTheHostTags)
{
    const struct
    {
        const wchar_t* tag;
        const wchar_t* className;
    } tags[] = {{L"ActiveX", L"ActiveX"}, {L"activex", L"ActiveX"}, {L"WebBrowser", L"WebBrowser"}};
    for (const auto& t : tags)
    {
        CControlUI* made = CLayoutBuilder::CreateControl(t.tag);
        ASSERT_NE(nullptr, made);
        EXPECT_STREQ(t.className, made->GetClassName());
        EXPECT_NE(nullptr, made->FindInterface(L"ActiveX"));
        made->Delete();
    }
}
}  // namespace
