#include "ui/controls/ActiveX.h"

#include <new>

#include <ocidl.h>
#include <wchar.h>
#include <windowsx.h>

#include "ui/controls/ControlAttributes.h"
#include "ui/core/ComRefCount.h"
#include "ui/core/WindowWnd.h"

// The container side of OLE embedding. The site (CActiveXCtrl) is a COM
// object the embedded object may keep references to for longer than the
// control lives, so it holds only a weak pointer to its control: once the
// control lets go of it, every operation answers E_UNEXPECTED.

namespace
{
const UINT_PTR kLayeredRefreshTimer = 20;
const UINT kLayeredRefreshPeriod = 50;
// The caret of a control inside a layered window is drawn every tenth tick.
const int kCaretBlinkTicks = 10;

// WM_MOUSEMOVE .. WM_XBUTTONDBLCLK
bool IsMouseMessage(UINT msg)
{
    return msg >= 0x200 && msg <= 0x20D;
}

// WM_KEYDOWN .. WM_SYSDEADCHAR
bool IsKeyMessage(UINT msg)
{
    return msg >= 0x100 && msg <= 0x108;
}

bool IsButtonDown(UINT msg)
{
    return msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK || msg == WM_RBUTTONDOWN;
}

RECT AtOrigin(const RECT& rc)
{
    RECT moved = rc;
    ::OffsetRect(&moved, -rc.left, -rc.top);
    return moved;
}

template <class T> void ReleaseAndClear(T*& pointer)
{
    if (pointer != NULL)
    {
        pointer->Release();
        pointer = NULL;
    }
}

// The frame the object sees while in place: the manager's window.
class CActiveXFrameWnd : public CComRefCounted<IOleInPlaceFrame>
{
public:
    explicit CActiveXFrameWnd(HWND frame) : frame(frame), activeObject(NULL) {}
    virtual ~CActiveXFrameWnd() { ReleaseAndClear(activeObject); }

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (ppv == NULL)
            return E_POINTER;
        *ppv = NULL;
        if (riid != IID_IUnknown && riid != IID_IOleWindow && riid != IID_IOleInPlaceUIWindow &&
            riid != IID_IOleInPlaceFrame)
            return E_NOINTERFACE;
        *ppv = static_cast<IOleInPlaceFrame*>(this);
        AddRef();
        return S_OK;
    }

    STDMETHODIMP GetWindow(HWND* phwnd) override
    {
        if (phwnd == NULL)
            return E_POINTER;
        *phwnd = frame;
        return S_OK;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return S_OK; }
    STDMETHODIMP GetBorder(LPRECT) override { return S_OK; }
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject* pActiveObject, LPCOLESTR) override
    {
        if (pActiveObject != NULL)
            pActiveObject->AddRef();
        ReleaseAndClear(activeObject);
        activeObject = pActiveObject;
        return S_OK;
    }
    STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return S_OK; }
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHODIMP RemoveMenus(HMENU) override { return S_OK; }
    STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

private:
    HWND frame;
    IOleInPlaceActiveObject* activeObject;
};

// Enumerates the container's single embedded object.
class CActiveXEnum : public CComRefCounted<IEnumUnknown>
{
public:
    explicit CActiveXEnum(IUnknown* object) : position(0), object(object)
    {
        if (object != NULL)
            object->AddRef();
    }
    virtual ~CActiveXEnum() { ReleaseAndClear(object); }

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (ppv == NULL)
            return E_POINTER;
        *ppv = NULL;
        if (riid != IID_IUnknown && riid != IID_IEnumUnknown)
            return E_NOINTERFACE;
        *ppv = static_cast<IEnumUnknown*>(this);
        AddRef();
        return S_OK;
    }

    STDMETHODIMP Next(ULONG celt, IUnknown** rgelt, ULONG* pceltFetched) override
    {
        if (pceltFetched != NULL)
            *pceltFetched = 0;
        if (celt == 0)
            return S_OK;
        if (rgelt == NULL)
            return E_POINTER;
        if (position > 0 || object == NULL)
            return S_FALSE;
        ++position;
        rgelt[0] = object;
        object->AddRef();
        if (pceltFetched != NULL)
            *pceltFetched = 1;
        return celt == 1 ? S_OK : S_FALSE;
    }
    STDMETHODIMP Skip(ULONG celt) override
    {
        position += celt;
        return S_OK;
    }
    STDMETHODIMP Reset() override
    {
        position = 0;
        return S_OK;
    }
    STDMETHODIMP Clone(IEnumUnknown**) override { return E_NOTIMPL; }

private:
    ULONG position;
    IUnknown* object;
};
}  // namespace

// ---- The child window of a windowed object ----

class CActiveXWnd : public CWindowWnd
{
public:
    CActiveXWnd() : site(NULL), manager(NULL), ticks(0), caretShown(false) {}

    // Creates the window over the control; null when it cannot be created,
    // and the object is then already gone.
    static CActiveXWnd* Create(CActiveXCtrl* site, CManagerUI* manager, const RECT& rc);

    LPCWSTR GetWindowClassName() const override { return L"ActiveXWnd"; }
    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
    void OnFinalMessage(HWND hWnd) override;

private:
    LRESULT OnPrint(HDC hdc);
    void DrawCaret(HDC hdc);

    CActiveXCtrl* site;   // holds a reference while the window lives
    CManagerUI* manager;  // not owned; the window is its window's child
    int ticks;
    bool caretShown;
};

// ---- The site ----

class CActiveXCtrl : public CComRefCounted<IOleClientSite, IOleInPlaceSiteWindowless, IOleControlSite,
                                           IObjectWithSite, IOleContainer>
{
public:
    explicit CActiveXCtrl(CActiveXUI* owner)
        : owner(owner),
          window(NULL),
          unknownSite(NULL),
          viewObject(NULL),
          viewObjectEx(NULL),
          inPlaceObject(NULL),
          windowlessObject(NULL),
          accelerators(NULL),
          focused(false),
          uiActive(false),
          captured(false),
          locked(false),
          inPlaceActive(false),
          windowless(true),
          activationDecided(false),
          containerLocked(false)
    {
    }

    virtual ~CActiveXCtrl()
    {
        Detach();
        if (accelerators != NULL)
            ::DestroyAcceleratorTable(accelerators);
    }

    // ---- Used by the control ----
    // Takes the object's drawing interface, the richest first.
    void TakeViewObject(IOleObject* object)
    {
        ReleaseAndClear(viewObjectEx);
        ReleaseAndClear(viewObject);
        if (SUCCEEDED(object->QueryInterface(IID_IViewObjectEx, reinterpret_cast<void**>(&viewObjectEx))))
        {
            viewObject = viewObjectEx;
            viewObject->AddRef();
            return;
        }
        viewObjectEx = NULL;
        if (FAILED(object->QueryInterface(IID_IViewObject2, reinterpret_cast<void**>(&viewObject))) &&
            FAILED(object->QueryInterface(IID_IViewObject, reinterpret_cast<void**>(&viewObject))))
            viewObject = NULL;
    }

    // Ends in-place activation from the container's side: the object's
    // interfaces, the window and the running lock go.
    void Deactivate()
    {
        inPlaceActive = false;
        ReleaseAndClear(windowlessObject);
        ReleaseAndClear(inPlaceObject);
        DestroyHostWindow();
        Unlock();
    }

    // The control lets go: nothing of it is reached again.
    void Detach()
    {
        Deactivate();
        ReleaseAndClear(viewObjectEx);
        ReleaseAndClear(viewObject);
        ReleaseAndClear(unknownSite);
        owner = NULL;
    }

    void WindowGone() { window = NULL; }

    // ---- IUnknown ----
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (ppv == NULL)
            return E_POINTER;
        *ppv = NULL;
        if (riid == IID_IUnknown || riid == IID_IOleClientSite)
            *ppv = static_cast<IOleClientSite*>(this);
        else if (riid == IID_IOleWindow || riid == IID_IOleInPlaceSite || riid == IID_IOleInPlaceSiteEx ||
                 riid == IID_IOleInPlaceSiteWindowless)
            *ppv = static_cast<IOleInPlaceSiteWindowless*>(this);
        else if (riid == IID_IOleControlSite)
            *ppv = static_cast<IOleControlSite*>(this);
        else if (riid == IID_IObjectWithSite)
            *ppv = static_cast<IObjectWithSite*>(this);
        else if (riid == IID_IOleContainer || riid == IID_IParseDisplayName)
            *ppv = static_cast<IOleContainer*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }

    // ---- IOleClientSite ----
    STDMETHODIMP SaveObject() override { return Gone() ? E_UNEXPECTED : E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** ppmk) override
    {
        if (ppmk != NULL)
            *ppmk = NULL;
        return Gone() ? E_UNEXPECTED : E_NOTIMPL;
    }
    STDMETHODIMP GetContainer(IOleContainer** ppContainer) override
    {
        if (ppContainer == NULL)
            return E_POINTER;
        *ppContainer = NULL;
        if (Gone())
            return E_UNEXPECTED;
        if (unknownSite != NULL &&
            SUCCEEDED(unknownSite->QueryInterface(IID_IOleContainer, reinterpret_cast<void**>(ppContainer))))
            return S_OK;
        return QueryInterface(IID_IOleContainer, reinterpret_cast<void**>(ppContainer));
    }
    STDMETHODIMP ShowObject() override
    {
        if (Gone())
            return E_UNEXPECTED;
        if (window == NULL)
        {
            // A windowless object is drawn by the manager's next paint.
            owner->Invalidate();
            return S_OK;
        }
        if (viewObject == NULL)
            return S_OK;
        HDC dc = ::GetDC(window->GetHWND());
        if (dc == NULL)
            return E_FAIL;
        RECT client;
        ::GetClientRect(window->GetHWND(), &client);
        const RECTL bounds = {client.left, client.top, client.right, client.bottom};
        viewObject->Draw(DVASPECT_CONTENT, -1, NULL, NULL, NULL, dc, &bounds, &bounds, NULL, 0);
        ::ReleaseDC(window->GetHWND(), dc);
        return S_OK;
    }
    STDMETHODIMP OnShowWindow(BOOL) override { return Gone() ? E_UNEXPECTED : E_NOTIMPL; }
    STDMETHODIMP RequestNewObjectLayout() override { return Gone() ? E_UNEXPECTED : E_NOTIMPL; }

    // ---- IOleWindow ----
    STDMETHODIMP GetWindow(HWND* phwnd) override
    {
        if (phwnd == NULL)
            return E_POINTER;
        *phwnd = NULL;
        if (Gone())
            return E_UNEXPECTED;
        // Until the object has chosen how to activate, it lives in the manager's window.
        if (!activationDecided)
            *phwnd = PaintWindow();
        else
        {
            if (owner->hostWindow == NULL && !windowless)
                CreateHostWindow();
            *phwnd = owner->hostWindow;
        }
        return *phwnd != NULL ? S_OK : E_FAIL;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return Gone() ? E_UNEXPECTED : S_OK; }

    // ---- IOleInPlaceSite ----
    STDMETHODIMP CanInPlaceActivate() override { return Gone() ? E_UNEXPECTED : S_OK; }
    STDMETHODIMP OnInPlaceActivate() override { return OnInPlaceActivateEx(NULL, 0); }
    STDMETHODIMP OnUIActivate() override
    {
        if (Gone())
            return E_UNEXPECTED;
        uiActive = true;
        return S_OK;
    }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** ppFrame, IOleInPlaceUIWindow** ppDoc, LPRECT lprcPosRect,
                                  LPRECT lprcClipRect, LPOLEINPLACEFRAMEINFO lpFrameInfo) override
    {
        if (ppFrame != NULL)
            *ppFrame = NULL;
        if (ppDoc != NULL)
            *ppDoc = NULL;
        if (ppFrame == NULL || ppDoc == NULL || lprcPosRect == NULL || lprcClipRect == NULL)
            return E_POINTER;
        if (Gone())
            return E_UNEXPECTED;
        // A windowed object fills its own window; a windowless one the control's rectangle.
        RECT rc = owner->itemRect;
        if (window != NULL)
            ::GetClientRect(window->GetHWND(), &rc);
        *lprcPosRect = rc;
        *lprcClipRect = rc;
        *ppFrame = new (std::nothrow) CActiveXFrameWnd(PaintWindow());
        if (lpFrameInfo != NULL)
        {
            if (accelerators == NULL)
            {
                ACCEL empty = {};
                accelerators = ::CreateAcceleratorTableW(&empty, 1);
            }
            lpFrameInfo->fMDIApp = FALSE;
            lpFrameInfo->hwndFrame = PaintWindow();
            lpFrameInfo->haccel = accelerators;
            lpFrameInfo->cAccelEntries = 1;
        }
        return *ppFrame != NULL ? S_OK : E_OUTOFMEMORY;
    }
    STDMETHODIMP Scroll(SIZE) override { return Gone() ? E_UNEXPECTED : E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override
    {
        if (Gone())
            return E_UNEXPECTED;
        uiActive = false;
        return S_OK;
    }
    STDMETHODIMP OnInPlaceDeactivate() override { return OnInPlaceDeactivateEx(TRUE); }
    STDMETHODIMP DiscardUndoState() override { return Gone() ? E_UNEXPECTED : E_NOTIMPL; }
    STDMETHODIMP DeactivateAndUndo() override { return Gone() ? E_UNEXPECTED : E_NOTIMPL; }
    STDMETHODIMP OnPosRectChange(LPCRECT) override { return Gone() ? E_UNEXPECTED : E_NOTIMPL; }

    // ---- IOleInPlaceSiteEx ----
    STDMETHODIMP OnInPlaceActivateEx(BOOL* pfNoRedraw, DWORD dwFlags) override
    {
        if (pfNoRedraw != NULL)
            *pfNoRedraw = FALSE;
        if (Gone() || owner->oleObject == NULL)
            return E_UNEXPECTED;
        IOleObject* object = owner->oleObject;
        activationDecided = true;
        if (!locked)
            locked = SUCCEEDED(::OleLockRunning(object, TRUE, FALSE));

        HRESULT hr = E_FAIL;
        if ((dwFlags & ACTIVATE_WINDOWLESS) != 0)
        {
            windowless = true;
            hr = object->QueryInterface(IID_IOleInPlaceObjectWindowless,
                                        reinterpret_cast<void**>(&windowlessObject));
            if (SUCCEEDED(hr))
            {
                inPlaceObject = windowlessObject;
                inPlaceObject->AddRef();
                owner->hostWindow = PaintWindow();
                if (CManagerUI* manager = owner->GetManager())
                {
                    manager->RemoveMessageFilter(owner);
                    manager->AddMessageFilter(owner);
                }
            }
            else
            {
                windowlessObject = NULL;
            }
        }
        if (FAILED(hr))
        {
            windowless = false;
            hr = CreateHostWindow();
            if (SUCCEEDED(hr))
                hr = object->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlaceObject));
            if (FAILED(hr))
                inPlaceObject = NULL;
        }
        if (inPlaceObject != NULL)
        {
            const RECT rc = windowless ? RECT(owner->itemRect) : AtOrigin(owner->itemRect);
            hr = inPlaceObject->SetObjectRects(&rc, &rc);
        }
        inPlaceActive = SUCCEEDED(hr);
        return hr;
    }
    STDMETHODIMP OnInPlaceDeactivateEx(BOOL) override
    {
        if (Gone())
            return E_UNEXPECTED;
        Deactivate();
        return S_OK;
    }
    STDMETHODIMP RequestUIActivate() override { return Gone() ? E_UNEXPECTED : S_OK; }

    // ---- IOleInPlaceSiteWindowless ----
    STDMETHODIMP CanWindowlessActivate() override { return Gone() ? E_UNEXPECTED : S_OK; }
    STDMETHODIMP GetCapture() override
    {
        if (Gone())
            return E_UNEXPECTED;
        return captured ? S_OK : S_FALSE;
    }
    STDMETHODIMP SetCapture(BOOL fCapture) override
    {
        if (Gone())
            return E_UNEXPECTED;
        captured = fCapture != FALSE;
        if (captured)
            ::SetCapture(owner->hostWindow);
        else
            ::ReleaseCapture();
        return S_OK;
    }
    STDMETHODIMP GetFocus() override
    {
        if (Gone())
            return E_UNEXPECTED;
        return focused ? S_OK : S_FALSE;
    }
    STDMETHODIMP SetFocus(BOOL fFocus) override
    {
        if (Gone())
            return E_UNEXPECTED;
        if (fFocus)
            owner->SetFocus();
        focused = fFocus != FALSE;
        return S_OK;
    }
    STDMETHODIMP GetDC(LPCRECT, DWORD grfFlags, HDC* phDC) override
    {
        if (phDC == NULL)
            return E_POINTER;
        *phDC = NULL;
        if (Gone())
            return E_UNEXPECTED;
        // A windowless object draws only when the manager paints.
        if (windowless || owner->hostWindow == NULL)
            return E_FAIL;
        *phDC = ::GetDC(owner->hostWindow);
        if (*phDC == NULL)
            return E_FAIL;
        if ((grfFlags & OLEDC_PAINTBKGND) != 0)
        {
            const RECT rc = AtOrigin(owner->itemRect);
            ::FillRect(*phDC, &rc, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
        }
        return S_OK;
    }
    STDMETHODIMP ReleaseDC(HDC hDC) override
    {
        if (Gone())
            return E_UNEXPECTED;
        return ::ReleaseDC(owner->hostWindow, hDC) != 0 ? S_OK : E_FAIL;
    }
    STDMETHODIMP InvalidateRect(LPCRECT pRect, BOOL fErase) override
    {
        if (Gone())
            return E_UNEXPECTED;
        if (windowless)
            return InvalidateControl(pRect);
        if (owner->hostWindow == NULL)
            return E_FAIL;
        return ::InvalidateRect(owner->hostWindow, pRect, fErase) ? S_OK : E_FAIL;
    }
    STDMETHODIMP InvalidateRgn(HRGN hRGN, BOOL fErase) override
    {
        if (Gone())
            return E_UNEXPECTED;
        if (windowless)
            return InvalidateControl(NULL);
        if (owner->hostWindow == NULL)
            return E_FAIL;
        return ::InvalidateRgn(owner->hostWindow, hRGN, fErase) ? S_OK : E_FAIL;
    }
    STDMETHODIMP ScrollRect(INT, INT, LPCRECT, LPCRECT) override { return Gone() ? E_UNEXPECTED : S_OK; }
    STDMETHODIMP AdjustRect(LPRECT) override { return Gone() ? E_UNEXPECTED : S_OK; }
    STDMETHODIMP OnDefWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* plResult) override
    {
        if (plResult == NULL)
            return E_POINTER;
        *plResult = 0;
        if (Gone())
            return E_UNEXPECTED;
        if (owner->hostWindow == NULL)
            return E_FAIL;
        *plResult = ::DefWindowProcW(owner->hostWindow, msg, wParam, lParam);
        return S_OK;
    }

    // ---- IOleControlSite ----
    STDMETHODIMP OnControlInfoChanged() override { return Gone() ? E_UNEXPECTED : S_OK; }
    STDMETHODIMP LockInPlaceActive(BOOL) override { return Gone() ? E_UNEXPECTED : S_OK; }
    STDMETHODIMP GetExtendedControl(IDispatch** ppDisp) override
    {
        if (ppDisp == NULL)
            return E_POINTER;
        *ppDisp = NULL;
        if (Gone() || owner->oleObject == NULL)
            return E_UNEXPECTED;
        return owner->oleObject->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(ppDisp));
    }
    STDMETHODIMP TransformCoords(POINTL*, POINTF*, DWORD) override { return Gone() ? E_UNEXPECTED : S_OK; }
    STDMETHODIMP TranslateAccelerator(MSG*, DWORD) override { return Gone() ? E_UNEXPECTED : S_FALSE; }
    STDMETHODIMP OnFocus(BOOL fGotFocus) override
    {
        if (Gone())
            return E_UNEXPECTED;
        focused = fGotFocus != FALSE;
        return S_OK;
    }
    STDMETHODIMP ShowPropertyFrame() override { return Gone() ? E_UNEXPECTED : E_NOTIMPL; }

    // ---- IObjectWithSite ----
    STDMETHODIMP SetSite(IUnknown* pUnkSite) override
    {
        if (Gone())
            return E_UNEXPECTED;
        if (pUnkSite != NULL)
            pUnkSite->AddRef();
        ReleaseAndClear(unknownSite);
        unknownSite = pUnkSite;
        return S_OK;
    }
    STDMETHODIMP GetSite(REFIID riid, void** ppvSite) override
    {
        if (ppvSite == NULL)
            return E_POINTER;
        *ppvSite = NULL;
        if (Gone())
            return E_UNEXPECTED;
        if (unknownSite == NULL)
            return E_FAIL;
        return unknownSite->QueryInterface(riid, ppvSite);
    }

    // ---- IOleContainer ----
    STDMETHODIMP ParseDisplayName(IBindCtx*, LPOLESTR, ULONG*, IMoniker** ppmkOut) override
    {
        if (ppmkOut != NULL)
            *ppmkOut = NULL;
        return Gone() ? E_UNEXPECTED : E_NOTIMPL;
    }
    STDMETHODIMP EnumObjects(DWORD, IEnumUnknown** ppenum) override
    {
        if (ppenum == NULL)
            return E_POINTER;
        *ppenum = NULL;
        if (Gone())
            return E_UNEXPECTED;
        *ppenum = new (std::nothrow) CActiveXEnum(owner->oleObject);
        return *ppenum != NULL ? S_OK : E_OUTOFMEMORY;
    }
    STDMETHODIMP LockContainer(BOOL fLock) override
    {
        if (Gone())
            return E_UNEXPECTED;
        containerLocked = fLock != FALSE;
        return S_OK;
    }

    // ---- Data ----
    CActiveXUI* owner;  // not owned; null once the control let go
    CActiveXWnd* window;
    IUnknown* unknownSite;
    IViewObject* viewObject;
    IViewObjectEx* viewObjectEx;  // set only when the object offers it: it alone can hit-test
    IOleInPlaceObject* inPlaceObject;
    IOleInPlaceObjectWindowless* windowlessObject;
    HACCEL accelerators;
    bool focused;
    bool uiActive;
    bool captured;
    bool locked;
    bool inPlaceActive;
    bool windowless;
    bool activationDecided;
    bool containerLocked;

private:
    bool Gone() const { return owner == NULL; }

    HWND PaintWindow() const
    {
        CManagerUI* manager = owner != NULL ? owner->GetManager() : NULL;
        return manager != NULL ? manager->GetPaintWindow() : NULL;
    }

    HRESULT InvalidateControl(LPCRECT pRect)
    {
        CManagerUI* manager = owner->GetManager();
        if (manager == NULL)
            return E_FAIL;
        RECT area = owner->itemRect;
        if (pRect != NULL && !::IntersectRect(&area, &area, pRect))
            return S_OK;
        manager->Invalidate(area);
        return S_OK;
    }

    HRESULT CreateHostWindow()
    {
        if (window != NULL)
            return S_OK;
        window = CActiveXWnd::Create(this, owner->GetManager(), owner->itemRect);
        if (window == NULL)
            return E_FAIL;
        owner->hostWindow = window->GetHWND();
        if (!owner->IsVisible())
            ::ShowWindow(owner->hostWindow, SW_HIDE);
        return S_OK;
    }

    void DestroyHostWindow()
    {
        if (window == NULL)
            return;
        const HWND hwnd = window->GetHWND();
        window = NULL;
        if (owner != NULL && owner->hostWindow == hwnd)
            owner->hostWindow = NULL;
        ::DestroyWindow(hwnd);
    }

    void Unlock()
    {
        if (!locked)
            return;
        locked = false;
        if (owner != NULL && owner->oleObject != NULL)
            ::OleLockRunning(owner->oleObject, FALSE, FALSE);
    }
};

// ---- CActiveXWnd ----

CActiveXWnd* CActiveXWnd::Create(CActiveXCtrl* site, CManagerUI* manager, const RECT& rc)
{
    if (site == NULL || manager == NULL || manager->GetPaintWindow() == NULL)
        return NULL;
    CActiveXWnd* window = new (std::nothrow) CActiveXWnd;
    if (window == NULL)
        return NULL;
    window->site = site;
    window->manager = manager;
    site->AddRef();
    if (window->CWindowWnd::Create(manager->GetPaintWindow(), L"UIActiveX",
                                   WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, rc) == NULL)
    {
        site->Release();
        delete window;
        return NULL;
    }
    return window;
}

LRESULT CActiveXWnd::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    CActiveXUI* owner = site != NULL ? site->owner : NULL;
    switch (uMsg)
    {
    case WM_CREATE:
        if (owner != NULL)
            manager->AddNativeWindow(owner, hwnd);
        if (manager->IsLayered())
            ::SetTimer(hwnd, kLayeredRefreshTimer, kLayeredRefreshPeriod, NULL);
        return 0;
    case WM_SETFOCUS:
        if (site != NULL)
        {
            site->focused = true;
            if (!site->uiActive && owner != NULL && owner->oleObject != NULL)
            {
                RECT rc = owner->itemRect;
                owner->oleObject->DoVerb(OLEIVERB_UIACTIVATE, NULL, static_cast<IOleClientSite*>(site), 0,
                                         hwnd, &rc);
            }
        }
        break;
    case WM_KILLFOCUS:
        if (site != NULL)
            site->focused = false;
        break;
    case WM_PAINT:
    {
        PAINTSTRUCT ps;
        ::BeginPaint(hwnd, &ps);
        ::EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        if (site != NULL && site->viewObject != NULL)
            return 1;
        break;
    case WM_MOUSEACTIVATE:
        if (owner != NULL && owner->oleObject != NULL && site->inPlaceActive == false)
        {
            DWORD misc = 0;
            owner->oleObject->GetMiscStatus(DVASPECT_CONTENT, &misc);
            if ((misc & OLEMISC_NOUIACTIVATE) == 0)
            {
                RECT rc = owner->itemRect;
                owner->oleObject->DoVerb(OLEIVERB_INPLACEACTIVATE, NULL, static_cast<IOleClientSite*>(site),
                                         0, hwnd, &rc);
            }
        }
        break;
    case WM_TIMER:
        if (wParam == kLayeredRefreshTimer && manager->IsLayered())
        {
            if (owner != NULL)
                manager->AddNativeWindow(owner, hwnd);
            if (++ticks % kCaretBlinkTicks == 0)
                caretShown = !caretShown;
            return 0;
        }
        break;
    case WM_MOUSEWHEEL:
        return 0;
    case WM_PRINT:
        return OnPrint(reinterpret_cast<HDC>(wParam));
    default:
        break;
    }
    return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
}

LRESULT CActiveXWnd::OnPrint(HDC hdc)
{
    if (hdc == NULL || site == NULL || site->viewObject == NULL)
        return 0;
    RECT client;
    ::GetClientRect(hwnd, &client);
    const RECTL bounds = {client.left, client.top, client.right, client.bottom};
    site->viewObject->Draw(DVASPECT_CONTENT, -1, NULL, NULL, NULL, hdc, &bounds, &bounds, NULL, 0);
    if (caretShown)
        DrawCaret(hdc);
    return 0;
}

void CActiveXWnd::DrawCaret(HDC hdc)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    if (!::GetGUIThreadInfo(::GetCurrentThreadId(), &info) || info.hwndCaret == NULL)
        return;
    if (info.hwndCaret != hwnd && !::IsChild(hwnd, info.hwndCaret))
        return;
    POINT top = {info.rcCaret.left, info.rcCaret.top};
    POINT bottom = {info.rcCaret.left, info.rcCaret.bottom};
    ::MapWindowPoints(info.hwndCaret, hwnd, &top, 1);
    ::MapWindowPoints(info.hwndCaret, hwnd, &bottom, 1);
    HGDIOBJ oldPen = ::SelectObject(hdc, ::GetStockObject(BLACK_PEN));
    ::MoveToEx(hdc, top.x, top.y, NULL);
    ::LineTo(hdc, bottom.x, bottom.y);
    ::SelectObject(hdc, oldPen);
}

void CActiveXWnd::OnFinalMessage(HWND hWnd)
{
    if (manager != NULL)
        manager->RemoveNativeWindow(hWnd);
    if (site != NULL)
    {
        if (site->window == this)
            site->WindowGone();
        if (site->owner != NULL && site->owner->hostWindow == hWnd)
            site->owner->hostWindow = NULL;
        site->Release();
    }
    delete this;
}

// ---- CActiveXUI ----

namespace
{
const TAttributeRow<CActiveXUI> kActiveXAttributes[] = {
    {L"clsid", [](CActiveXUI& c, LPCWSTR v) { c.SetClsid(v); }},
    {L"modulename", [](CActiveXUI& c, LPCWSTR v) { c.SetModuleName(v); }},
    {L"delaycreate", [](CActiveXUI& c, LPCWSTR v) { c.SetDelayCreate(ParseBool(v)); }},
};

// Class identifiers are copied to a buffer of this many characters.
const size_t kClsidTextMax = 99;

typedef HRESULT(STDAPICALLTYPE* TDllGetClassObject)(REFCLSID, REFIID, LPVOID*);
}  // namespace

CActiveXUI::CActiveXUI()
    : clsid(CLSID_NULL),
      created(false),
      delayCreate(true),
      oleObject(NULL),
      site(NULL),
      hostWindow(NULL),
      module(NULL),
      comInitialized(SUCCEEDED(::CoInitialize(NULL)))
{
}

CActiveXUI::~CActiveXUI()
{
    CActiveXUI::ReleaseControl();
    if (module != NULL)
        ::FreeLibrary(module);
    if (comInitialized)
        ::CoUninitialize();
}

LPCWSTR CActiveXUI::GetClassName() const
{
    return L"ActiveX";
}

LPVOID CActiveXUI::FindInterface(LPCWSTR pstrName)
{
    if (pstrName != NULL && wcscmp(pstrName, L"ActiveX") == 0)
        return this;
    return CControlUI::FindInterface(pstrName);
}

UINT CActiveXUI::GetFlags() const
{
    return FlagTabStop;
}

HWND CActiveXUI::GetNativeWindow() const
{
    return hostWindow;
}

void CActiveXUI::SetManager(CManagerUI* pManager, CControlUI* pParent, bool bInit)
{
    CControlUI::SetManager(pManager, pParent, bInit);
    if (manager != NULL && !created && !delayCreate && HasClsid())
        CreateControl();
}

void CActiveXUI::SetPos(RECT rc, bool bNeedInvalidate)
{
    CControlUI::SetPos(rc, bNeedInvalidate);
    if (!created)
        CreateControl();
    if (oleObject == NULL || site == NULL)
        return;

    // The extent is physical (hundredths of a millimetre): the control's pixels
    // at its window's DPI, so a control on a high-DPI display is not told it is larger.
    const int dpi = manager != NULL ? manager->GetDpi() : WindowDpi(NULL);
    SIZEL himetric = {::MulDiv(itemRect.right - itemRect.left, 2540, dpi),
                      ::MulDiv(itemRect.bottom - itemRect.top, 2540, dpi)};
    oleObject->SetExtent(DVASPECT_CONTENT, &himetric);
    SyncWindow();
}

void CActiveXUI::MoveBy(int dx, int dy, bool bNeedInvalidate)
{
    CControlUI::MoveBy(dx, dy, bNeedInvalidate);
    SyncWindow();
}

void CActiveXUI::SyncWindow()
{
    if (site == NULL)
        return;
    if (site->inPlaceObject != NULL)
    {
        const RECT rc = site->windowless ? RECT(itemRect) : AtOrigin(itemRect);
        site->inPlaceObject->SetObjectRects(&rc, &rc);
    }
    if (site->window != NULL)
        ::MoveWindow(site->window->GetHWND(), itemRect.left, itemRect.top, itemRect.right - itemRect.left,
                     itemRect.bottom - itemRect.top, TRUE);
}

void CActiveXUI::SetVisible(bool bVisible)
{
    CControlUI::SetVisible(bVisible);
    if (site != NULL && site->window != NULL)
        ::ShowWindow(site->window->GetHWND(), IsVisible() ? SW_SHOW : SW_HIDE);
}

void CActiveXUI::SetInheritedVisible(bool bVisible)
{
    CControlUI::SetInheritedVisible(bVisible);
    if (site != NULL && site->window != NULL)
        ::ShowWindow(site->window->GetHWND(), IsVisible() ? SW_SHOW : SW_HIDE);
}

void CActiveXUI::SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue)
{
    if (pstrName == NULL || pstrValue == NULL)
        return;
    if (!ApplyAttributeRow(kActiveXAttributes, *this, pstrName, pstrValue))
        CControlUI::SetAttribute(pstrName, pstrValue);
}

bool CActiveXUI::PaintContent(HDC hDC, const RECT&, CControlUI*)
{
    if (hDC != NULL && site != NULL && site->windowless && site->viewObject != NULL)
    {
        const RECTL bounds = {itemRect.left, itemRect.top, itemRect.right, itemRect.bottom};
        site->viewObject->Draw(DVASPECT_CONTENT, -1, NULL, NULL, NULL, hDC, &bounds, &bounds, NULL, 0);
    }
    return true;
}

bool CActiveXUI::IsWindowlessActive() const
{
    return site != NULL && site->inPlaceActive && site->windowless && site->windowlessObject != NULL;
}

LRESULT CActiveXUI::MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled)
{
    if (!IsWindowlessActive() || manager == NULL)
        return 0;
    const bool mouse = IsMouseMessage(uMsg);
    if (mouse && !IsMouseEnabled())
        return 0;

    bool markHandled = true;
    if (uMsg == WM_HELP || uMsg == WM_CONTEXTMENU)
        markHandled = false;
    else if (IsKeyMessage(uMsg))
    {
        if (!IsFocused())
            return 0;
    }
    else if (!mouse && uMsg != WM_SETCURSOR)
        return 0;
    else
    {
        if (!site->captured)
        {
            POINT pt;
            if (uMsg == WM_SETCURSOR || uMsg == WM_MOUSEWHEEL)
            {
                // These carry a screen point, or none at all.
                if (uMsg == WM_SETCURSOR)
                    ::GetCursorPos(&pt);
                else
                    pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
                ::ScreenToClient(manager->GetPaintWindow(), &pt);
            }
            else
            {
                pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            }
            // Only an IViewObjectEx can say which of its pixels are its own.
            bool hit = false;
            if (site->viewObjectEx != NULL)
            {
                DWORD result = HITRESULT_OUTSIDE;
                hit =
                    site->viewObjectEx->QueryHitPoint(DVASPECT_CONTENT, &itemRect, pt, 0, &result) == S_OK &&
                    result == HITRESULT_HIT;
            }
            else
            {
                hit = ::PtInRect(&itemRect, pt) != FALSE;
            }
            if (!hit)
                return 0;
        }
        if (uMsg == WM_SETCURSOR)
            markHandled = false;
        if (IsButtonDown(uMsg))
        {
            if (!manager->IsNoActivate())
                ::SetFocus(manager->GetPaintWindow());
            SetFocus();
        }
    }

    LRESULT result = 0;
    // S_FALSE means the object left the message alone.
    if (site->windowlessObject->OnWindowMessage(uMsg, wParam, lParam, &result) == S_OK)
        bHandled = markHandled;
    return result;
}

bool CActiveXUI::SetClsid(LPCWSTR pstrClsid)
{
    if (pstrClsid == NULL || *pstrClsid == L'\0')
        return false;
    WCHAR text[kClsidTextMax + 1];
    wcsncpy(text, pstrClsid, kClsidTextMax);
    text[kClsidTextMax] = L'\0';
    CLSID parsed = CLSID_NULL;
    const HRESULT hr = text[0] == L'{' ? ::CLSIDFromString(text, &parsed) : ::CLSIDFromProgID(text, &parsed);
    if (FAILED(hr) || parsed == CLSID_NULL)
        return false;
    created = false;
    clsid = parsed;
    if (!delayCreate)
        CreateControl();
    return true;
}

void CActiveXUI::SetDelayCreate(bool bDelayCreate)
{
    if (delayCreate == bDelayCreate)
        return;
    delayCreate = bDelayCreate;
    if (!delayCreate && !created && HasClsid())
        CreateControl();
}

HRESULT CActiveXUI::GetControl(REFIID riid, void** ppv)
{
    if (ppv == NULL)
        return E_POINTER;
    *ppv = NULL;
    if (oleObject == NULL)
        return E_FAIL;
    return oleObject->QueryInterface(riid, ppv);
}

IUnknown* CActiveXUI::CreateFromModule()
{
    if (moduleName.IsEmpty())
        return NULL;
    // Nothing made from the previous module is alive any more: creation released it.
    if (module != NULL)
        ::FreeLibrary(module);
    module = ::LoadLibraryW(moduleName);
    if (module == NULL)
        return NULL;
    TDllGetClassObject getClassObject = reinterpret_cast<TDllGetClassObject>(
        reinterpret_cast<void*>(::GetProcAddress(module, "DllGetClassObject")));
    if (getClassObject == NULL)
        return NULL;
    IClassFactory* factory = NULL;
    if (FAILED(getClassObject(clsid, IID_IClassFactory, reinterpret_cast<LPVOID*>(&factory))) ||
        factory == NULL)
        return NULL;
    IUnknown* object = NULL;
    if (FAILED(factory->CreateInstance(NULL, IID_IOleObject, reinterpret_cast<void**>(&object))))
        object = NULL;
    factory->Release();
    return object;
}

bool CActiveXUI::CreateControl()
{
    CActiveXUI::ReleaseControl();
    // Without a manager there is no window to host in; the control tries
    // again when it is given one or placed.
    if (manager == NULL || !HasClsid())
        return false;
    created = true;

    IUnknown* unknown = CreateFromModule();
    if (unknown == NULL && FAILED(::CoCreateInstance(clsid, NULL, CLSCTX_ALL, IID_IOleControl,
                                                     reinterpret_cast<void**>(&unknown))))
        return false;
    if (unknown == NULL)
        return false;
    const HRESULT asObject = unknown->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&oleObject));
    unknown->Release();
    if (FAILED(asObject) || oleObject == NULL)
    {
        oleObject = NULL;
        return false;
    }

    site = new CActiveXCtrl(this);
    IOleClientSite* clientSite = static_cast<IOleClientSite*>(site);
    DWORD misc = 0;
    oleObject->GetMiscStatus(DVASPECT_CONTENT, &misc);
    bool siteSet = false;
    if ((misc & OLEMISC_SETCLIENTSITEFIRST) != 0)
    {
        oleObject->SetClientSite(clientSite);
        siteSet = true;
    }
    IPersistStreamInit* persist = NULL;
    if (SUCCEEDED(oleObject->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&persist))))
    {
        const HRESULT initialised = persist->InitNew();
        persist->Release();
        if (FAILED(initialised))
            return false;
    }
    if (!siteSet)
        oleObject->SetClientSite(clientSite);
    site->TakeViewObject(oleObject);
    HRESULT hr = oleObject->SetHostNames(L"UIActiveX", NULL);
    manager->SendNotify(this, NotifyType::ShowActiveX, 0, 0, true);
    if ((misc & OLEMISC_INVISIBLEATRUNTIME) == 0)
    {
        RECT rc = itemRect;
        hr = oleObject->DoVerb(OLEIVERB_INPLACEACTIVATE, NULL, clientSite, 0, manager->GetPaintWindow(), &rc);
    }
    IObjectWithSite* withSite = NULL;
    if (oleObject != NULL &&
        SUCCEEDED(oleObject->QueryInterface(IID_IObjectWithSite, reinterpret_cast<void**>(&withSite))))
    {
        hr = withSite->SetSite(clientSite);
        withSite->Release();
    }
    return SUCCEEDED(hr);
}

void CActiveXUI::ReleaseControl()
{
    hostWindow = NULL;
    if (oleObject != NULL)
    {
        IObjectWithSite* withSite = NULL;
        if (SUCCEEDED(oleObject->QueryInterface(IID_IObjectWithSite, reinterpret_cast<void**>(&withSite))))
        {
            withSite->SetSite(NULL);
            withSite->Release();
        }
        oleObject->Close(OLECLOSE_NOSAVE);
        // An object that did not deactivate on closing still gives up its
        // window and its running lock here.
        if (site != NULL)
            site->Deactivate();
        oleObject->SetClientSite(NULL);
    }
    if (site != NULL)
    {
        site->Detach();
        site->Release();
        site = NULL;
    }
    ReleaseAndClear(oleObject);
    if (manager != NULL)
        manager->RemoveMessageFilter(this);
}
