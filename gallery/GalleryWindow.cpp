#include "gallery/GalleryWindow.h"

#include "ui/controls/Button.h"
#include "ui/controls/Control.h"
#include "ui/controls/GifAnim.h"
#include "ui/controls/List.h"
#include "ui/controls/Progress.h"
#include "ui/controls/RichEdit.h"
#include "ui/controls/TabLayout.h"
#include "ui/builder/LayoutBuilder.h"

#include <wchar.h>

#include <vector>

namespace gallery
{

const wchar_t kGalleryClassName[] = L"GalleryUI";
const wchar_t kGalleryTitle[] = L"Control gallery";
const wchar_t kSkinArchive[] = L"Gallery.dat";
const wchar_t kSkinFile[] = L"Gallery.xml";

namespace
{
// The skin's names for the page stack, the option attribute naming a page and
// the attribute pinning a state.
const wchar_t kPagesName[] = L"pages";
const wchar_t kPageAttribute[] = L"page";
const wchar_t kStateAttribute[] = L"gallerystate";
const wchar_t kListName[] = L"gallery_list";
// The rich edit whose words below get a format of their own.
const wchar_t kRichName[] = L"rich_paragraphs";
const wchar_t kRichRun[] = L"coloured and bold run";
// Pinned "open" waits for this timer: the first paints still move the
// focus, which would close a drop-down opened before them.
const UINT_PTR kOpenTimer = 0x6A11;
const UINT kOpenDelay = 300;
// A button's attributes naming the animated picture it starts or stops.
const wchar_t kPlayAttribute[] = L"playgif";
const wchar_t kStopAttribute[] = L"stopgif";

CControlUI* CALLBACK CollectPinned(CControlUI* control, LPVOID data)
{
    if (control->GetCustomAttribute(kStateAttribute) != nullptr)
        static_cast<std::vector<CControlUI*>*>(data)->push_back(control);
    return nullptr;
}

CControlUI* CALLBACK FindPageOption(CControlUI* control, LPVOID data)
{
    LPCWSTR page = control->GetCustomAttribute(kPageAttribute);
    if (page == nullptr || control->FindInterface(L"Option") == nullptr)
        return nullptr;
    return _wtoi(page) == *static_cast<int*>(data) ? control : nullptr;
}

// Where the pointer stands for a pinned control: a slider's thumb, so that a
// pinned press does not move it; the middle of anything else.
POINT PinPoint(CControlUI* control)
{
    RECT rc = control->GetPos();
    if (auto* slider = static_cast<CSliderUI*>(control->FindInterface(L"Slider")))
        rc = slider->GetThumbRect();
    return {rc.left + (rc.right - rc.left) / 2, rc.top + (rc.bottom - rc.top) / 2};
}

CGifAnimUI* FindAnimation(CManagerUI& manager, LPCWSTR name)
{
    CControlUI* control = name != nullptr ? manager.FindControlByName(name) : nullptr;
    return control != nullptr ? static_cast<CGifAnimUI*>(control->FindInterface(L"GifAnim")) : nullptr;
}

// Colours and embolds the first run of the rich edit's text that reads as
// given, then leaves the caret at the start; nothing when the text lacks it.
void FormatRichRun(CManagerUI& manager, LPCWSTR name, LPCWSTR run)
{
    CControlUI* control = manager.FindControlByName(name);
    auto* edit =
        control != nullptr ? static_cast<CRichEditUI*>(control->FindInterface(L"RichEdit")) : nullptr;
    if (edit == nullptr)
        return;
    const CUIString text = edit->GetText();
    LPCWSTR found = wcsstr(text, run);
    if (found == nullptr)
        return;
    const long start = static_cast<long>(found - static_cast<LPCWSTR>(text));
    edit->SetSel(start, start + static_cast<long>(wcslen(run)));
    CHARFORMAT2W format = {};
    format.dwMask = CFM_COLOR | CFM_BOLD;
    format.dwEffects = CFE_BOLD;
    format.crTextColor = RGB(0xD0, 0x40, 0x2F);
    edit->SetSelectionCharFormat(format);
    edit->SetSel(0, 0);
}

void SendPointerEvent(CControlUI* control, EventKind kind)
{
    TControlEvent event = {};
    event.kind = kind;
    event.sender = control;
    event.point = PinPoint(control);
    event.timestamp = ::GetTickCount();
    control->DispatchEvent(event);
}
}  // namespace

LPCWSTR CListTexts::GetItemText(CControlUI*, int iIndex, int iSubItem)
{
    const int row = iIndex + 1;
    switch (iSubItem)
    {
    case 0:
        swprintf(text, 160, L"%d", row);
        break;
    case 1:
        swprintf(text, 160, L"report_%03d.txt", row);
        break;
    case 2:
        swprintf(text, 160, L"%d KB", (iIndex * 37) % 900 + 12);
        break;
    default:
        if (iIndex % 4 == 2)
            swprintf(text, 160,
                     L"{a https://example.org/%d}open{/a} or {a https://example.org/%d/log}log{/a}", row,
                     row);
        else
            swprintf(text, 160, L"checked on day %d", iIndex % 28 + 1);
        break;
    }
    return text;
}

int PageFromCommandLine(LPCWSTR commandLine)
{
    if (commandLine == nullptr)
        return 0;
    LPCWSTR option = wcsstr(commandLine, L"--page");
    if (option == nullptr)
        return 0;
    const long page = wcstol(option + 6, nullptr, 10);
    return page > 0 && page < 1000 ? static_cast<int>(page) : 0;
}

CGalleryWnd::CGalleryWnd(int page) : firstPage(page)
{
}

LPCWSTR CGalleryWnd::GetWindowClassName() const
{
    return kGalleryClassName;
}

UINT CGalleryWnd::GetClassStyle() const
{
    return CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
}

LRESULT CGalleryWnd::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    if (uMsg == WM_CREATE)
        return OnCreate();
    if (uMsg == WM_DESTROY)
        ::PostQuitMessage(0);
    if (uMsg == WM_TIMER && wParam == kOpenTimer)
    {
        ::KillTimer(GetHWND(), kOpenTimer);
        OpenPinned();
        return 0;
    }
    LRESULT result = 0;
    if (manager.MessageHandler(uMsg, wParam, lParam, result))
        return result;
    return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
}

void CGalleryWnd::OnFinalMessage(HWND)
{
    delete this;
}

// A skin that cannot be built leaves the window without a root: painted
// black, but it can still be closed.
LRESULT CGalleryWnd::OnCreate()
{
    manager.Init(GetHWND());
    CLayoutBuilder builder;
    manager.AttachRoot(builder.Create(kSkinFile, nullptr, &manager, nullptr));
    manager.AddNotifier(this);
    if (CControlUI* list = manager.FindControlByName(kListName))
    {
        if (auto* texts = static_cast<CListUI*>(list->FindInterface(L"List")))
            texts->SetTextCallback(&listTexts);
    }
    FormatRichRun(manager, kRichName, kRichRun);
    pages = static_cast<CTabLayoutUI*>(manager.FindControlByName(kPagesName));
    if (pages != nullptr && pages->FindInterface(L"TabLayout") == nullptr)
        pages = nullptr;
    if (!ShowPage(firstPage))
        ShowPage(0);
    return 0;
}

void CGalleryWnd::Notify(TNotifyMsg& msg)
{
    if (msg.type == NotifyType::WindowInit)
    {
        ApplyPinnedStates();
        return;
    }
    if (msg.sender == nullptr)
        return;
    if (msg.type == NotifyType::Click)
    {
        if (CGifAnimUI* gif = FindAnimation(manager, msg.sender->GetCustomAttribute(kPlayAttribute)))
            gif->PlayGif();
        if (CGifAnimUI* gif = FindAnimation(manager, msg.sender->GetCustomAttribute(kStopAttribute)))
            gif->StopGif();
        return;
    }
    if (msg.type != NotifyType::SelectChanged)
        return;
    auto* option = static_cast<COptionUI*>(msg.sender->FindInterface(L"Option"));
    LPCWSTR page = msg.sender->GetCustomAttribute(kPageAttribute);
    if (option == nullptr || page == nullptr || !option->IsSelected())
        return;
    ShowPage(_wtoi(page));
    LayOut();
    ApplyPinnedStates();
}

bool CGalleryWnd::ShowPage(int index)
{
    if (pages == nullptr || !pages->SelectItem(index, true))
        return false;
    CControlUI* root = manager.GetRoot();
    CControlUI* option = root != nullptr ? root->FindControl(FindPageOption, &index, 0) : nullptr;
    if (option != nullptr)
        static_cast<COptionUI*>(option->FindInterface(L"Option"))->SetSelected(true, false);
    return true;
}

void CGalleryWnd::LayOut()
{
    CControlUI* root = manager.GetRoot();
    RECT client = {};
    ::GetClientRect(GetHWND(), &client);
    if (root != nullptr)
        root->SetPos(client, true);
}

// Hot and pushed come from the events a pointer would send; the focus is
// the window's, so only one control can show it, and it is handed over at
// the next paint, after the focus move that a new page or a new tree asks for.
void CGalleryWnd::ApplyPinnedStates()
{
    CControlUI* root = manager.GetRoot();
    if (root == nullptr)
        return;
    std::vector<CControlUI*> pinned;
    root->FindControl(CollectPinned, &pinned, FindVisible);
    for (CControlUI* control : pinned)
    {
        const CUIString state = control->GetCustomAttribute(kStateAttribute);
        if (state == L"hot" || state == L"pushed")
            SendPointerEvent(control, EventMouseEnter);
        if (state == L"pushed")
            SendPointerEvent(control, EventButtonDown);
        if (state == L"focused")
            manager.SetFocusNeeded(control);
        if (state == L"open")
            ::SetTimer(GetHWND(), kOpenTimer, kOpenDelay, nullptr);
        control->Invalidate();
    }
}

void CGalleryWnd::OpenPinned()
{
    CControlUI* root = manager.GetRoot();
    if (root == nullptr)
        return;
    std::vector<CControlUI*> pinned;
    root->FindControl(CollectPinned, &pinned, FindVisible);
    for (CControlUI* control : pinned)
    {
        if (CUIString(control->GetCustomAttribute(kStateAttribute)) == L"open")
            control->Activate();
    }
}

}  // namespace gallery
