#pragma once
// The gallery's one window: builds "Gallery.xml" from "Gallery.dat" and shows
// its pages, one at a time, as the options along the top choose. Controls
// that carry a "gallerystate" attribute ("hot", "pushed" or "focused") are put
// into that state whenever their page is shown, so that every look of every
// control can be seen at once.

#include "ui/core/UIDefs.h"
#include "ui/core/WindowWnd.h"
#include "ui/manager/Manager.h"

#include <windows.h>

class CTabLayoutUI;

namespace gallery {

extern const wchar_t kGalleryClassName[];
extern const wchar_t kGalleryTitle[];
extern const wchar_t kSkinArchive[];
extern const wchar_t kSkinFile[];

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

    int firstPage;
    CTabLayoutUI* pages = nullptr;  // owned by the manager's tree
    CManagerUI manager;
};

// The page a command line asks for with "--page N"; 0 without one.
int PageFromCommandLine(LPCWSTR commandLine);

} // namespace gallery
