#pragma once

#include <windows.h>
#include <commctrl.h>

#include "ui/core/Collections.h"
#include "ui/core/Geometry.h"
#include "ui/core/StringOrId.h"
#include "ui/core/UIDefs.h"
#include "ui/core/UIString.h"
#include "ui/render/FontEntry.h"
#include "ui/render/GdiScope.h"
#include "ui/render/ImageDescriptor.h"
#include "ui/render/ImageLoader.h"
#include "ui/render/TaggedText.h"
#include "ui/render/WindowPicture.h"

class CControlUI;

// One level of resources: the process-wide shared set, or a window's own.
// Look-ups try the window's set first, then the shared one.
struct TResourceSet
{
    DWORD disabledFontColor;
    DWORD defaultFontColor;
    DWORD linkFontColor;
    DWORD linkHoverFontColor;
    DWORD selectedBkColor;
    TFontEntry defaultFont;      // empty face name: not set at this level
    CStringMap fonts;            // decimal id -> owned TFontEntry*
    CStringMap images;           // name -> owned TImageEntry*
    CStringMap attributeLists;   // class name -> owned CUIString*
    CStringMap languageStrings;  // decimal id -> owned CUIString*; shared set only
};

// A control's system timer.
struct TTimerEntry
{
    CControlUI* control;
    UINT localId;
    HWND window;
    UINT winTimerId;
    bool killed;  // stopped, record kept for reuse
};

// One per skinned window: owns the control tree and what its controls share
// (fonts, images, default attribute lists, option groups, the skin's window
// settings, receivers, timers and painting surfaces). Controls are reached
// only through the control interface; text drawing and image descriptors
// reach the manager's fonts, images and colours through ITextResources, and
// snapshots of the window its picture through IWindowPicture.
class CManagerUI : public ITextResources, public IWindowPicture
{
public:
    CManagerUI();
    ~CManagerUI();

    // ---- Binding and the control tree ----
    // Binds the manager to its window; clears the window's own tables.
    void Init(HWND hWnd, LPCWSTR pstrName = NULL);
    // Makes control the root (an earlier root is scheduled for deletion).
    bool AttachRoot(CControlUI* pControl);
    // Attaches a subtree under parent (default: its own parent) and registers its names.
    bool InitControls(CControlUI* pControl, CControlUI* pParent = NULL);
    // Detaches control and deletes it when queued notifications are flushed.
    void ScheduleDelete(CControlUI* pControl);
    // Drops every reference the manager holds to a control being destroyed.
    void ForgetControl(CControlUI* pControl);
    // Renames an attached control; false when another control holds the name.
    bool RenameControl(CControlUI* pControl, LPCWSTR pstrName);
    // Called by a control whose name changed, so the name map follows.
    void OnControlRenamed(CControlUI* pControl, LPCWSTR pstrOldName);
    CControlUI* FindControlByName(LPCWSTR pstrName) const;
    // The top-most visible, mouse-enabled control at a client point.
    CControlUI* FindControlAt(POINT pt) const;

    HWND GetPaintWindow() const { return paintWindow; }
    HDC GetPaintDC() const { return paintDC; }
    HBITMAP GetOffscreenBitmap() const { return offscreen.Bitmap(); }
    CControlUI* GetRoot() const { return root; }
    CControlUI* GetFocus() const { return focus; }
    POINT GetMousePos() const override { return lastMousePos; }
    LPCWSTR GetName() const { return name; }
    bool IsLayered() const { return layered; }
    bool IsNoActivate() const { return noActivate; }
    bool IsPainting() const { return painting; }
    bool IsCaptured() const { return mouseCaptured; }
    bool IsUpdateNeeded() const { return updateNeeded; }
    // A native child window's rectangle in the paint window's client coordinates.
    RECT GetNativeWindowRect(HWND hChildWnd) const;

    // Marks the whole client area for repainting (in layered mode: for the
    // next layered push). Nothing happens before the manager has a window.
    void Invalidate();
    // Marks rc, first made well-formed (no negative origin, no negative size).
    void InvalidateRect(const RECT& rc);
    void Invalidate(const RECT& rc) { InvalidateRect(rc); }
    // The tree needs a layout pass before the next paint.
    void NeedUpdate();
    // Set for the duration of a paint pass.
    void SetPainting(bool bIsPainting) { painting = bIsPainting; }

    // ---- The window's picture, for snapshots ----
    HDC GetPictureDC() override { return paintDC; }
    // The off-screen surface of an opaque window; a layered window's holds
    // per-pixel alpha, which is no picture of what the window shows.
    HBITMAP GetFinishedPicture() override;
    void PaintPicture(HDC hDC, const RECT& rc, CControlUI* stop) override;

    // ---- Messages and input ----
    // The manager's reaction to one window message; false leaves the message
    // to the default processing.
    bool MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    // Tab and Shift+Tab, Alt shortcut letters and system keys; true consumes.
    bool PreMessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam);
    // True when an accelerator of the list consumed the message.
    bool TranslateAccelerator(LPMSG pMsg);
    // Offers a queued message to the managers before it is dispatched.
    static bool PreTranslateMessage(const LPMSG pMsg);
    // Runs until WM_QUIT.
    static void MessageLoop();
    // The control gets the focus after the next layout pass.
    void SetFocusNeeded(CControlUI* pControl);
    // Focuses the next (or previous) tab stop, wrapping around.
    bool SetNextTabControl(bool bForward = true);
    void SetCapture();
    void ReleaseCapture();

    // ---- Focus and notifications ----
    // Moves the focus to a visible, enabled control of this manager, or clears
    // it (null), with the kill-focus and set-focus events and notifications.
    void SetFocus(CControlUI* pControl, bool bFocusWnd = true);
    // Runs the sender's notify handlers and the receivers now, or queues a
    // copy for the flush message (bAsync); without bEnableRepeat a queued
    // message of the same sender and type takes the new values instead.
    void SendNotify(CControlUI* pControl, LPCWSTR pstrMessage, WPARAM wParam = 0, LPARAM lParam = 0,
                    bool bAsync = false, bool bEnableRepeat = true);

    // ---- Fonts ----
    // Files a new font under id (replacing and deleting an earlier one); null on failure.
    HFONT AddFont(int id, LPCWSTR pStrFontName, int nSize, bool bBold, bool bUnderline, bool bItalic,
                  bool bShared = false) override;
    HFONT FindFont(LPCWSTR pStrFontName, int nSize, bool bBold, bool bUnderline, bool bItalic) const override;
    // Unknown or negative ids give the default font.
    HFONT GetFont(int id) override;
    // Entries are measured when first asked for; never null.
    TFontEntry* GetFontInfo(int id) override;
    TFontEntry* GetFontInfoByHandle(HFONT hFont) override;
    // True when a font is filed under id in the window's or the shared table.
    bool HasFontId(int id) override;
    // Keeps the old default when the font cannot be created.
    void SetDefaultFont(LPCWSTR pStrFontName, int nSize, bool bBold, bool bUnderline, bool bItalic,
                        bool bShared = false);
    // The window's own default once set, else the shared one.
    TFontEntry* GetDefaultFontInfo();
    void RemoveAllFonts(bool bShared = false);

    // ---- Images ----
    // Loads and files an image; a name already filed keeps its entry's address
    // and gets the new pixels. Null when loading fails (the old entry stays).
    TImageEntry* AddImage(LPCWSTR bitmap, LPCWSTR type = NULL, DWORD mask = 0, bool bShared = false);
    TImageEntry* GetImage(LPCWSTR bitmap) const;
    TImageEntry* GetImageOrAdd(LPCWSTR bitmap, LPCWSTR type, DWORD mask) override;
    void RemoveAllImages(bool bShared = false);

    // ---- Default attribute lists ----
    void AddDefaultAttributeList(LPCWSTR pStrControlName, LPCWSTR pStrControlAttrList, bool bShared = false);
    LPCWSTR GetDefaultAttributeList(LPCWSTR pStrControlName) const;
    void RemoveAllDefaultAttributeLists(bool bShared = false);

    // ---- Multi-language strings (process-wide) ----
    static void AddMultiLanguageString(int id, LPCWSTR pStrMultiLanguage);
    static LPCWSTR GetMultiLanguageString(int id);
    // Replaces every known %{n} token by language string n.
    static void ResolveLanguageTokens(CUIString& text);
    void ResolveTextTokens(CUIString& text) override { ResolveLanguageTokens(text); }

    // ---- Option groups ----
    bool AddOptionGroup(LPCWSTR pStrGroupName, CControlUI* pControl);
    CPtrList* GetOptionGroup(LPCWSTR pStrGroupName) const;
    void RemoveOptionGroup(LPCWSTR pStrGroupName, CControlUI* pControl);
    void RemoveAllOptionGroups();

    // ---- Unknown "Window" attributes ----
    // The first value stored under a name stays.
    void AddWindowCustomAttribute(LPCWSTR pstrName, LPCWSTR pstrAttr);
    LPCWSTR GetWindowCustomAttribute(LPCWSTR pstrName) const;
    void RemoveAllWindowCustomAttributes();

    // ---- Colours ----
    // With bShared the process default changes, and this window follows it
    // unless it had overridden the colour.
    void SetDefaultDisabledColor(DWORD dwColor, bool bShared = false);
    DWORD GetDefaultDisabledColor() const { return resources.disabledFontColor; }
    void SetDefaultFontColor(DWORD dwColor, bool bShared = false);
    DWORD GetDefaultFontColor() const { return resources.defaultFontColor; }
    void SetDefaultLinkFontColor(DWORD dwColor, bool bShared = false);
    DWORD GetDefaultLinkFontColor() const override { return resources.linkFontColor; }
    void SetDefaultLinkHoverFontColor(DWORD dwColor, bool bShared = false);
    DWORD GetDefaultLinkHoverFontColor() const override { return resources.linkHoverFontColor; }
    void SetDefaultSelectedBkColor(DWORD dwColor, bool bShared = false);
    DWORD GetDefaultSelectedBkColor() const override { return resources.selectedBkColor; }

    // ---- Window settings ----
    // Applies one attribute of the skin's "Window" element.
    void SetWindowAttribute(LPCWSTR pstrName, LPCWSTR pstrValue);
    // Also resizes the window while no root is attached.
    void SetInitSize(int cx, int cy);
    SIZE GetInitSize() const { return initSize; }
    void SetSizeBox(const RECT& rc) { sizeBox = rc; }
    RECT GetSizeBox() const { return sizeBox; }
    void SetCaptionRect(const RECT& rc) { captionRect = rc; }
    RECT GetCaptionRect() const { return captionRect; }
    void SetRoundCorner(int cx, int cy) { roundCorner = CUISize(cx, cy); }
    SIZE GetRoundCorner() const { return roundCorner; }
    void SetMinInfo(int cx, int cy) { minInfo = CUISize(cx, cy); }
    SIZE GetMinInfo() const { return minInfo; }
    void SetMaxInfo(int cx, int cy) { maxInfo = CUISize(cx, cy); }
    SIZE GetMaxInfo() const { return maxInfo; }
    void SetShowUpdateRect(bool show) { showUpdateRect = show; }
    bool IsShowUpdateRect() const { return showUpdateRect; }
    void SetNoActivate(bool bNoActivate) { noActivate = bNoActivate; }
    // Constant window opacity through the system's layered-window attributes.
    void SetOpacity(BYTE nOpacity);
    BYTE GetOpacity() const { return opacity; }
    // Per-pixel layered painting; ignored for child windows.
    void SetLayered(bool bLayered);
    void SetLayeredImage(LPCWSTR pstrImage);
    const TDrawSpec& GetLayeredImage() const { return layeredImage; }
    void SetLayeredOpacity(BYTE nOpacity);
    void SetForceSharedResources(bool bForce) { forceSharedResources = bForce; }
    void SetUseVirtualWnd(bool bUse) { useVirtualWnd = bUse; }
    bool IsUseVirtualWnd() const { return useVirtualWnd; }

    // ---- Receivers and auxiliary lists ----
    void AddNotifier(INotifyUI* pNotifier);
    void RemoveNotifier(INotifyUI* pNotifier);
    void AddMessageFilter(IMessageFilterUI* pFilter);
    void RemoveMessageFilter(IMessageFilterUI* pFilter);
    void AddPostPaint(CControlUI* pControl);
    void RemovePostPaint(CControlUI* pControl);
    void AddTranslateAccelerator(ITranslateAccelerator* pTranslateAccelerator);
    void RemoveTranslateAccelerator(ITranslateAccelerator* pTranslateAccelerator);
    void AddMouseLeaveNeeded(CControlUI* pControl);
    void RemoveMouseLeaveNeeded(CControlUI* pControl);
    // Records a control's native child window; its area is invalidated either way.
    bool AddNativeWindow(CControlUI* pControl, HWND hChildWnd);
    void RemoveNativeWindow(HWND hChildWnd);

    // ---- Timers ----
    // Control timers share the window's system timers. Starting a running
    // timer again fails and keeps its period; a stopped one restarts.
    bool SetTimer(CControlUI* pControl, UINT nTimerID, UINT uElapse);
    // Stops a timer and keeps its record; false when none runs under that id.
    bool KillTimer(CControlUI* pControl, UINT nTimerID);
    // Stops and forgets every timer of the control.
    void KillTimers(CControlUI* pControl);
    void RemoveAllTimers();

    // ---- Process-wide skin locations ----
    static void SetInstance(HINSTANCE hInst);
    static HINSTANCE GetInstance();
    static CUIString GetInstancePath();
    static void SetResourcePath(LPCWSTR pStrPath);
    static const CUIString& GetResourcePath();
    static void SetResourceZip(LPCWSTR pStrZip, bool bCachedResourceZip = true);
    static const CUIString& GetResourceZip();
    static bool IsResourceZipCached();
    static HINSTANCE GetResourceModule();
    // Reads an image by the skin's rules (a skin file without type; an
    // executable resource of that type, else the name as a path, with one)
    // and decodes it. With type "*COLOR*" the name is a colour text for a
    // 1x1 image. Null on any failure. The caller owns the entry.
    static TImageEntry* LoadSkinImage(CUIStringOrId name, LPCWSTR type = NULL, DWORD mask = 0);

    // The process-wide resource set and every manager bound to a window.
    static TResourceSet& SharedResources();
    static CPtrList& ManagerList();

protected:
    // Message handlers and the paint pass; defined beside their messages.
    struct Input;
    struct Painter;
    bool HandlePaint();
    void HandlePrintClient(HDC hDC, LPARAM flags);

    TResourceSet& ChosenSet(bool bShared);
    void FreeQueuedNotifications();
    void DeleteScheduledControls();
    void ClearWindowTables();
    void MeasureFont(TFontEntry& entry) const;

    // ---- Data ----
    CUIString name;
    HWND paintWindow;
    HDC paintDC;
    CSurface offscreen;   // what a paint pass draws into; a DIB section when layered
    CSurface background;  // the layered image, drawn once per change of it
    int lastToolTipWidth;
    HWND tooltipWindow;
    TOOLINFOW toolInfo;
    DWORD hoverTime;
    bool noActivate;
    bool showUpdateRect;
    CControlUI* root;  // owned: the tree
    CControlUI* focus;
    CControlUI* hover;
    CControlUI* eventClick;
    CControlUI* eventKey;
    CControlUI* lastToolTip;
    POINT lastMousePos;
    CUISize minInfo;
    CUISize maxInfo;
    CUISize initSize;
    CUIRect sizeBox;
    CUISize roundCorner;
    CUIRect captionRect;
    UINT timerIdCounter;
    bool firstLayout;
    bool updateNeeded;
    bool focusNeeded;
    bool offscreenPaint;
    BYTE opacity;
    bool layered;
    bool layeredChanged;
    bool layeredPushWhole;  // the screen has not seen the present surface yet: push all of it
    CUIRect layeredDirtyRect;
    TDrawSpec layeredImage;
    bool mouseTracking;
    bool mouseCaptured;
    bool painting;
    bool useVirtualWnd;
    bool asyncNotifyPosted;
    CPtrList notifiers;                 // INotifyUI*
    CPtrList timers;                    // owned TTimerEntry*
    CPtrList messageFilters;            // IMessageFilterUI*
    CPtrList postPaintControls;         // CControlUI*
    CPtrList nativeWindows;             // HWND
    CPtrList nativeWindowControls;      // CControlUI*, parallel to nativeWindows
    CPtrList delayedCleanup;            // owned CControlUI*
    CPtrList asyncNotify;               // owned TNotifyMsg*
    CPtrList foundControls;             // CControlUI*
    CPtrList mouseLeaveNeeded;          // CControlUI*
    CStringMap nameMap;                 // name -> CControlUI*
    CStringMap windowCustomAttributes;  // name -> owned CUIString*
    CStringMap optionGroups;            // group -> owned CPtrList* of CControlUI*
    bool forceSharedResources;
    TResourceSet resources;          // this window's own set
    CPtrList translateAccelerators;  // ITranslateAccelerator*

private:
    CManagerUI(const CManagerUI&) = delete;
    CManagerUI& operator=(const CManagerUI&) = delete;
};

// Posted to the paint window to deliver queued notifications and delete
// scheduled controls.
const UINT FlushMessage = WM_APP + 1;

// Posted to the paint window to run a control's default action that a
// screen reader asked for (see ManagerAccessible.h).
const UINT AccessibleActionMessage = WM_APP + 2;

// The paint window's system timer that pushes a layered window's pending
// changes to the screen; control timers use ids below it.
const UINT_PTR kLayeredTimerId = 0x2000;
