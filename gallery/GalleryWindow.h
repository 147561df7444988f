#pragma once
// The gallery's one window: builds "Gallery.xml" from "Gallery.dat" and shows
// its pages, one at a time, as the options along the top choose. Controls
// that carry a "gallerystate" attribute ("hot", "pushed" or "focused") are put
// into that state whenever their page is shown, so that every look of every
// control can be seen at once; "open" activates a control (a combo opens its
// drop-down) once the window has settled after showing the page.

#include "ui/controls/ListInterfaces.h"
#include "ui/core/UIDefs.h"
#include "ui/core/WindowWnd.h"
#include "ui/manager/Manager.h"

#include <windows.h>

class CTabLayoutUI;

namespace gallery
{

extern const wchar_t kGalleryClassName[];
extern const wchar_t kGalleryTitle[];
extern const wchar_t kSkinArchive[];
extern const wchar_t kSkinFile[];

// The column texts of the list page: a number, a file name, a size and a
// note, every fourth note with two links.
class CListTexts : public IListTextCallback
{
public:
    LPCWSTR GetItemText(CControlUI* pItem, int iIndex, int iSubItem) override;

private:
    wchar_t text[160] = {};
};

class CGalleryWnd : public CWindowWnd, public INotifyUI
{
public:
    // The window opens on page firstPage (0 when it names no page).
    explicit CGalleryWnd(int firstPage);

    LPCWSTR GetWindowClassName() const override;
    UINT GetClassStyle() const override;
    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
    // The window object owns itself: it goes with its window.
    void OnFinalMessage(HWND hWnd) override;
    // Page options switch pages; the first layout pins the states.
    void Notify(TNotifyMsg& msg) override;

protected:
    ~CGalleryWnd() override = default;

private:
    LRESULT OnCreate();
    // Shows page index and selects its option; false when there is no such page.
    bool ShowPage(int index);
    // Lays the window out now, so that the pinned controls know where they are.
    void LayOut();
    void ApplyPinnedStates();
    // Activates the controls pinned "open" on the page shown.
    void OpenPinned();

    int firstPage;
    CTabLayoutUI* pages = nullptr;  // owned by the manager's tree
    CListTexts listTexts;
    CManagerUI manager;
};

// The page a command line asks for with "--page N"; 0 without one.
int PageFromCommandLine(LPCWSTR commandLine);

}  // namespace gallery
