// The test ActiveX control. One object class serves both identifiers; the
// windowed one never activates windowless. Every call a test may want to
// check is counted in the exported record.

#include <windows.h>

#include <exdisp.h>
#include <mshtmhst.h>
#include <olectl.h>
#include <ocidl.h>
#include <oleidl.h>
#include <string.h>
#include <wchar.h>

#include "tests/activex/control/TestControlApi.h"

namespace
{
TTestControlStats g_stats;
TTestBrowserStats g_browserStats;
IOleClientSite* g_keptSite = NULL;
HINSTANCE g_module = NULL;

const wchar_t kWindowClass[] = L"TestActiveXWindow";

bool InLeftHalf(const RECT& bounds, POINT pt)
{
    const int middle = bounds.left + (bounds.right - bounds.left) / 2;
    return pt.x >= bounds.left && pt.x < middle && pt.y >= bounds.top && pt.y < bounds.bottom;
}

void FillSolid(HDC hdc, const RECT& rc, COLORREF colour)
{
    HBRUSH brush = ::CreateSolidBrush(colour);
    ::FillRect(hdc, &rc, brush);
    ::DeleteObject(brush);
}

void PaintPattern(HDC hdc, const RECT& bounds)
{
    RECT left = bounds;
    left.right = bounds.left + (bounds.right - bounds.left) / 2;
    RECT right = bounds;
    right.left = left.right;
    FillSolid(hdc, left, kTestLeftColour);
    FillSolid(hdc, right, kTestRightColour);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg)
    {
    case WM_PAINT:
    {
        PAINTSTRUCT ps;
        HDC hdc = ::BeginPaint(hwnd, &ps);
        RECT client;
        ::GetClientRect(hwnd, &client);
        FillSolid(hdc, client, kTestWindowColour);
        ::EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_PRINTCLIENT:
    {
        RECT client;
        ::GetClientRect(hwnd, &client);
        FillSolid(reinterpret_cast<HDC>(wParam), client, kTestWindowColour);
        return 0;
    }
    case WM_LBUTTONDOWN:
        ++g_stats.clicks;
        g_stats.lastMessage = msg;
        g_stats.lastLParam = lParam;
        return 0;
    default:
        return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

void RegisterWindowClass()
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = g_module;
    wc.hCursor = ::LoadCursorW(NULL, IDC_ARROW);
    wc.lpszClassName = kWindowClass;
    ::RegisterClassW(&wc);  // already registered is fine
}

class CTestControl : public IOleObject,
                     public IOleInPlaceObjectWindowless,
                     public IOleInPlaceActiveObject,
                     public IViewObjectEx,
                     public IOleControl,
                     public IPersistStreamInit,
                     public IRunnableObject
{
public:
    explicit CTestControl(bool windowlessClass)
        : refs(1),
          windowlessClass(windowlessClass),
          options(g_stats.options),
          site(NULL),
          inPlaceSite(NULL),
          active(false),
          window(NULL)
    {
        SetRectEmpty(&pos);
        ++g_stats.liveObjects;
        ++g_stats.created;
        g_stats.objectRefs = refs;
    }

    virtual ~CTestControl()
    {
        Deactivate();
        SetSite(NULL);
        --g_stats.liveObjects;
    }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (ppv == NULL)
            return E_POINTER;
        *ppv = NULL;
        if (riid == IID_IUnknown || riid == IID_IOleObject)
            *ppv = static_cast<IOleObject*>(this);
        else if (riid == IID_IOleWindow || riid == IID_IOleInPlaceObject)
            *ppv = static_cast<IOleInPlaceObject*>(static_cast<IOleInPlaceObjectWindowless*>(this));
        else if (riid == IID_IOleInPlaceObjectWindowless && windowlessClass)
            *ppv = static_cast<IOleInPlaceObjectWindowless*>(this);
        else if (riid == IID_IOleInPlaceActiveObject)
            *ppv = static_cast<IOleInPlaceActiveObject*>(this);
        else if (riid == IID_IViewObject || riid == IID_IViewObject2)
            *ppv = static_cast<IViewObject2*>(static_cast<IViewObjectEx*>(this));
        else if (riid == IID_IViewObjectEx && (options & TestOptionNoViewObjectEx) == 0)
            *ppv = static_cast<IViewObjectEx*>(this);
        else if (riid == IID_IOleControl)
            *ppv = static_cast<IOleControl*>(this);
        else if (riid == IID_IPersistStreamInit)
            *ppv = static_cast<IPersistStreamInit*>(this);
        else if (riid == IID_IRunnableObject)
            *ppv = static_cast<IRunnableObject*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override
    {
        g_stats.objectRefs = ++refs;
        return refs;
    }
    STDMETHODIMP_(ULONG) Release() override
    {
        const LONG left = --refs;
        g_stats.objectRefs = left;
        if (left == 0)
            delete this;
        return left;
    }

    // IOleObject
    STDMETHODIMP SetClientSite(IOleClientSite* pClientSite) override
    {
        ++g_stats.setClientSite;
        if (pClientSite == NULL && site != NULL && (options & TestOptionKeepSite) != 0 && g_keptSite == NULL)
        {
            g_keptSite = site;
            g_keptSite->AddRef();
        }
        SetSite(pClientSite);
        if (site != NULL)
        {
            IOleWindow* oleWindow = NULL;
            if (SUCCEEDED(site->QueryInterface(IID_IOleWindow, reinterpret_cast<void**>(&oleWindow))))
            {
                oleWindow->GetWindow(&g_stats.windowBeforeActivation);
                oleWindow->Release();
            }
        }
        return S_OK;
    }
    STDMETHODIMP GetClientSite(IOleClientSite** ppClientSite) override
    {
        if (ppClientSite == NULL)
            return E_POINTER;
        *ppClientSite = site;
        if (site != NULL)
            site->AddRef();
        return S_OK;
    }
    STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) override
    {
        ++g_stats.hostNames;
        return S_OK;
    }
    STDMETHODIMP Close(DWORD) override
    {
        ++g_stats.closes;
        Deactivate();
        return S_OK;
    }
    STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
    STDMETHODIMP DoVerb(LONG iVerb, LPMSG, IOleClientSite*, LONG, HWND, LPCRECT) override
    {
        if (iVerb == OLEIVERB_INPLACEACTIVATE || iVerb == OLEIVERB_UIACTIVATE || iVerb == OLEIVERB_SHOW)
            return Activate();
        return OLEOBJ_S_INVALIDVERB;
    }
    STDMETHODIMP EnumVerbs(IEnumOLEVERB**) override { return E_NOTIMPL; }
    STDMETHODIMP Update() override { return S_OK; }
    STDMETHODIMP IsUpToDate() override { return S_OK; }
    STDMETHODIMP GetUserClassID(CLSID* pClsid) override
    {
        if (pClsid == NULL)
            return E_POINTER;
        *pClsid = windowlessClass ? CLSID_TestWindowless : CLSID_TestWindowed;
        return S_OK;
    }
    STDMETHODIMP GetUserType(DWORD, LPOLESTR*) override { return E_NOTIMPL; }
    STDMETHODIMP SetExtent(DWORD, SIZEL* psizel) override
    {
        if (psizel != NULL)
            g_stats.extent = *psizel;
        return S_OK;
    }
    STDMETHODIMP GetExtent(DWORD, SIZEL* psizel) override
    {
        if (psizel == NULL)
            return E_POINTER;
        *psizel = g_stats.extent;
        return S_OK;
    }
    STDMETHODIMP Advise(IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP Unadvise(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP EnumAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
    STDMETHODIMP GetMiscStatus(DWORD, DWORD* pdwStatus) override
    {
        if (pdwStatus == NULL)
            return E_POINTER;
        *pdwStatus = OLEMISC_SETCLIENTSITEFIRST | OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_INSIDEOUT |
                     OLEMISC_RECOMPOSEONRESIZE;
        return S_OK;
    }
    STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

    // IOleWindow (both in-place interfaces)
    STDMETHODIMP GetWindow(HWND* phwnd) override
    {
        if (phwnd == NULL)
            return E_POINTER;
        *phwnd = window;
        return window != NULL ? S_OK : E_FAIL;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return S_OK; }

    // IOleInPlaceObject
    STDMETHODIMP InPlaceDeactivate() override
    {
        Deactivate();
        return S_OK;
    }
    STDMETHODIMP UIDeactivate() override { return S_OK; }
    STDMETHODIMP SetObjectRects(LPCRECT lprcPosRect, LPCRECT) override
    {
        if (lprcPosRect == NULL)
            return E_POINTER;
        pos = *lprcPosRect;
        g_stats.objectRects = pos;
        if (window != NULL)
            ::MoveWindow(window, pos.left, pos.top, pos.right - pos.left, pos.bottom - pos.top, TRUE);
        return S_OK;
    }
    STDMETHODIMP ReactivateAndUndo() override { return E_NOTIMPL; }

    // IOleInPlaceObjectWindowless
    STDMETHODIMP OnWindowMessage(UINT msg, WPARAM, LPARAM lParam, LRESULT* plResult) override
    {
        ++g_stats.messages;
        g_stats.lastMessage = msg;
        g_stats.lastLParam = lParam;
        if (msg == WM_LBUTTONDOWN)
            ++g_stats.clicks;
        if (plResult != NULL)
            *plResult = 0;
        return S_OK;
    }
    STDMETHODIMP GetDropTarget(IDropTarget**) override { return E_NOTIMPL; }

    // IOleInPlaceActiveObject
    STDMETHODIMP TranslateAccelerator(LPMSG) override { return S_FALSE; }
    STDMETHODIMP OnFrameWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnDocWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }

    // IViewObject
    STDMETHODIMP Draw(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, HDC hdcDraw, LPCRECTL lprcBounds, LPCRECTL,
                      BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) override
    {
        if (hdcDraw == NULL || lprcBounds == NULL)
            return E_INVALIDARG;
        ++g_stats.draws;
        const RECT bounds = {lprcBounds->left, lprcBounds->top, lprcBounds->right, lprcBounds->bottom};
        g_stats.drawBounds = bounds;
        PaintPattern(hdcDraw, bounds);
        return S_OK;
    }
    STDMETHODIMP GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE**) override
    {
        return S_FALSE;
    }
    STDMETHODIMP Freeze(DWORD, LONG, void*, DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP Unfreeze(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP SetAdvise(DWORD, DWORD, IAdviseSink*) override { return S_OK; }
    STDMETHODIMP GetAdvise(DWORD*, DWORD*, IAdviseSink**) override { return E_NOTIMPL; }
    // IViewObject2
    STDMETHODIMP GetExtent(DWORD, LONG, DVTARGETDEVICE*, LPSIZEL) override { return E_NOTIMPL; }
    // IViewObjectEx
    STDMETHODIMP GetRect(DWORD, LPRECTL) override { return E_NOTIMPL; }
    STDMETHODIMP GetViewStatus(DWORD* pdwStatus) override
    {
        if (pdwStatus == NULL)
            return E_POINTER;
        *pdwStatus = VIEWSTATUS_OPAQUE;
        return S_OK;
    }
    STDMETHODIMP QueryHitPoint(DWORD, LPCRECT pRectBounds, POINT ptlLoc, LONG, DWORD* pHitResult) override
    {
        if (pRectBounds == NULL || pHitResult == NULL)
            return E_POINTER;
        ++g_stats.hitQueries;
        *pHitResult = InLeftHalf(*pRectBounds, ptlLoc) ? HITRESULT_HIT : HITRESULT_OUTSIDE;
        return S_OK;
    }
    STDMETHODIMP QueryHitRect(DWORD, LPCRECT, LPCRECT, LONG, DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP GetNaturalExtent(DWORD, LONG, DVTARGETDEVICE*, HDC, DVEXTENTINFO*, LPSIZEL) override
    {
        return E_NOTIMPL;
    }

    // IOleControl
    STDMETHODIMP GetControlInfo(CONTROLINFO*) override { return E_NOTIMPL; }
    STDMETHODIMP OnMnemonic(MSG*) override { return E_NOTIMPL; }
    STDMETHODIMP OnAmbientPropertyChange(DISPID) override { return S_OK; }
    STDMETHODIMP FreezeEvents(BOOL) override { return S_OK; }

    // IPersistStreamInit
    STDMETHODIMP GetClassID(CLSID* pClassID) override { return GetUserClassID(pClassID); }
    STDMETHODIMP IsDirty() override { return S_FALSE; }
    STDMETHODIMP Load(LPSTREAM) override { return E_NOTIMPL; }
    STDMETHODIMP Save(LPSTREAM, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP GetSizeMax(ULARGE_INTEGER*) override { return E_NOTIMPL; }
    STDMETHODIMP InitNew() override
    {
        ++g_stats.initNew;
        return S_OK;
    }

    // IRunnableObject
    STDMETHODIMP GetRunningClass(LPCLSID lpClsid) override { return GetUserClassID(lpClsid); }
    STDMETHODIMP Run(LPBINDCTX) override { return S_OK; }
    BOOL STDMETHODCALLTYPE IsRunning() override { return TRUE; }
    STDMETHODIMP LockRunning(BOOL fLock, BOOL) override
    {
        g_stats.runningLocks += fLock ? 1 : -1;
        return S_OK;
    }
    STDMETHODIMP SetContainedObject(BOOL) override { return S_OK; }

private:
    void SetSite(IOleClientSite* newSite)
    {
        if (newSite != NULL)
            newSite->AddRef();
        if (site != NULL)
            site->Release();
        site = newSite;
    }

    HRESULT Activate()
    {
        if (active)
            return S_OK;
        if (site == NULL ||
            FAILED(site->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&inPlaceSite))))
            return E_UNEXPECTED;
        if (inPlaceSite->CanInPlaceActivate() != S_OK)
        {
            inPlaceSite->Release();
            inPlaceSite = NULL;
            return E_FAIL;
        }

        IOleInPlaceSiteWindowless* windowlessSite = NULL;
        bool windowless = false;
        if (windowlessClass && SUCCEEDED(inPlaceSite->QueryInterface(
                                   IID_IOleInPlaceSiteWindowless, reinterpret_cast<void**>(&windowlessSite))))
        {
            if (windowlessSite->CanWindowlessActivate() == S_OK)
            {
                BOOL noRedraw = FALSE;
                windowless = SUCCEEDED(windowlessSite->OnInPlaceActivateEx(&noRedraw, ACTIVATE_WINDOWLESS));
            }
        }
        if (!windowless)
            inPlaceSite->OnInPlaceActivate();
        active = true;
        ++g_stats.activations;
        g_stats.windowless = windowless;

        // Unset rectangles show up as this sentinel.
        const RECT unset = {-7, -7, -7, -7};
        RECT posRect = unset;
        RECT clipRect = unset;
        IOleInPlaceFrame* frame = NULL;
        IOleInPlaceUIWindow* document = NULL;
        OLEINPLACEFRAMEINFO frameInfo = {};
        frameInfo.cb = sizeof(frameInfo);
        if (SUCCEEDED(inPlaceSite->GetWindowContext(&frame, &document, &posRect, &clipRect, &frameInfo)))
        {
            if (frame != NULL)
                frame->Release();
            if (document != NULL)
                document->Release();
        }
        g_stats.contextPos = posRect;
        g_stats.contextClip = clipRect;
        pos = posRect;

        if (windowless)
        {
            HDC dc = reinterpret_cast<HDC>(1);
            g_stats.getDcResult = windowlessSite->GetDC(NULL, OLEDC_NODRAW, &dc);
            g_stats.getDcHandle = dc;
            if (SUCCEEDED(g_stats.getDcResult) && dc != NULL && dc != reinterpret_cast<HDC>(1))
                windowlessSite->ReleaseDC(dc);
        }
        else
        {
            HWND parent = NULL;
            inPlaceSite->GetWindow(&parent);
            RegisterWindowClass();
            window =
                ::CreateWindowExW(0, kWindowClass, L"TestActiveX", WS_CHILD | WS_VISIBLE, pos.left, pos.top,
                                  pos.right - pos.left, pos.bottom - pos.top, parent, NULL, g_module, NULL);
            g_stats.window = window;
        }
        if (windowlessSite != NULL)
            windowlessSite->Release();
        return S_OK;
    }

    void Deactivate()
    {
        if (!active)
            return;
        active = false;
        ++g_stats.deactivations;
        if (window != NULL)
        {
            ::DestroyWindow(window);
            window = NULL;
            g_stats.window = NULL;
        }
        IOleInPlaceSiteWindowless* windowlessSite = NULL;
        if (g_stats.windowless &&
            SUCCEEDED(inPlaceSite->QueryInterface(IID_IOleInPlaceSiteWindowless,
                                                  reinterpret_cast<void**>(&windowlessSite))))
        {
            windowlessSite->OnInPlaceDeactivateEx(TRUE);
            windowlessSite->Release();
        }
        else
        {
            inPlaceSite->OnInPlaceDeactivate();
        }
        inPlaceSite->Release();
        inPlaceSite = NULL;
    }

    LONG refs;
    bool windowlessClass;
    DWORD options;
    IOleClientSite* site;
    IOleInPlaceSite* inPlaceSite;
    bool active;
    HWND window;
    RECT pos;
};

// Identifiers spelt out here: not every import library carries them.
const IID kIidWebBrowser = {0xeab22ac1, 0x30c1, 0x11cf, {0xa7, 0xeb, 0x00, 0x00, 0xc0, 0x5b, 0xae, 0x0b}};
const IID kIidWebBrowserApp = {0x0002df05, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID kIidWebBrowser2 = {0xd30c1661, 0xcdaf, 0x11d0, {0x8a, 0x3e, 0x00, 0xc0, 0x4f, 0xc9, 0xe2, 0x6e}};
const IID kDiidWebBrowserEvents2 = {
    0x34a715a0, 0x6587, 0x11d0, {0x92, 0x4a, 0x00, 0x20, 0xaf, 0xc7, 0xac, 0x4d}};
const IID kIidCustomDoc = {0x3050f3f0, 0x98b5, 0x11cf, {0xbb, 0x82, 0x00, 0xaa, 0x00, 0xbd, 0xce, 0x0b}};
const DISPID kNavigateComplete2 = 252;
const DISPID kDocumentComplete = 259;

// A loaded page as the browser hands it out: the host may install its UI handler on it and look
// up names on it; both are recorded.
class CTestDocument : public ICustomDoc, public IDispatch
{
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (ppv == NULL)
            return E_POINTER;
        *ppv = NULL;
        if (riid == IID_IUnknown || riid == IID_IDispatch)
            *ppv = static_cast<IDispatch*>(this);
        else if (riid == kIidCustomDoc)
            *ppv = static_cast<ICustomDoc*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override
    {
        const LONG left = --refs;
        if (left == 0)
            delete this;
        return left;
    }

    // ICustomDoc
    STDMETHODIMP SetUIHandler(IDocHostUIHandler* handler) override
    {
        ++g_browserStats.uiHandlerCalls;
        g_browserStats.uiHandlerGiven = handler != NULL;
        // The page asks its first question at once, as a real one does when it shows.
        if (handler != NULL)
            g_browserStats.handlerAnswer = handler->UpdateUI();
        return S_OK;
    }

    // IDispatch: no names are known; each one asked for is recorded.
    STDMETHODIMP GetTypeInfoCount(UINT* count) override
    {
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override
    {
        for (UINT i = 0; i < count; ++i)
        {
            ids[i] = DISPID_UNKNOWN;
            const size_t used = wcslen(g_browserStats.names);
            const size_t room = sizeof(g_browserStats.names) / sizeof(wchar_t) - used;
            _snwprintf(g_browserStats.names + used, room - 1, L"%ls;", names[i]);
        }
        return DISP_E_UNKNOWNNAME;
    }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return DISP_E_MEMBERNOTFOUND;
    }

private:
    virtual ~CTestDocument() = default;
    LONG refs = 1;
};

// The windowed control, with the browser's interface and its event connection point.
class CTestBrowser : public CTestControl,
                     public IWebBrowser2,
                     public IConnectionPointContainer,
                     public IConnectionPoint
{
public:
    CTestBrowser() : CTestControl(false) {}

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (ppv == NULL)
            return E_POINTER;
        *ppv = NULL;
        if (riid == IID_IDispatch || riid == kIidWebBrowser || riid == kIidWebBrowserApp ||
            riid == kIidWebBrowser2)
            *ppv = static_cast<IWebBrowser2*>(this);
        else if (riid == IID_IConnectionPointContainer)
            *ppv = static_cast<IConnectionPointContainer*>(this);
        else
            return CTestControl::QueryInterface(riid, ppv);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return CTestControl::AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return CTestControl::Release(); }

    // IDispatch of the browser: nothing is scriptable here.
    STDMETHODIMP GetTypeInfoCount(UINT* count) override
    {
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return DISP_E_UNKNOWNNAME; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return DISP_E_MEMBERNOTFOUND;
    }

    // The two operations the host uses; the rest of the browser is not implemented.
    STDMETHODIMP Navigate2(VARIANT* url, VARIANT*, VARIANT*, VARIANT*, VARIANT*) override
    {
        if (url == NULL || url->vt != VT_BSTR)
            return E_INVALIDARG;
        ++g_browserStats.navigations;
        wcsncpy(g_browserStats.lastUrl, url->bstrVal != NULL ? url->bstrVal : L"",
                sizeof(g_browserStats.lastUrl) / sizeof(wchar_t) - 1);
        if (document != NULL)
            document->Release();
        document = new CTestDocument;
        VARIANT location;
        ::VariantInit(&location);
        location.vt = VT_BSTR;
        location.bstrVal = ::SysAllocString(url->bstrVal);
        FireLoaded(kNavigateComplete2, location);
        FireLoaded(kDocumentComplete, location);
        ::VariantClear(&location);
        return S_OK;
    }
    STDMETHODIMP get_Document(IDispatch** result) override
    {
        if (result == NULL)
            return E_POINTER;
        *result = document != NULL ? static_cast<IDispatch*>(document) : NULL;
        if (*result != NULL)
            (*result)->AddRef();
        return S_OK;
    }
    STDMETHODIMP GoBack() override { return E_NOTIMPL; }
    STDMETHODIMP GoForward() override { return E_NOTIMPL; }
    STDMETHODIMP GoHome() override { return E_NOTIMPL; }
    STDMETHODIMP GoSearch() override { return E_NOTIMPL; }
    STDMETHODIMP Navigate(BSTR, VARIANT*, VARIANT*, VARIANT*, VARIANT*) override { return E_NOTIMPL; }
    STDMETHODIMP Refresh() override { return E_NOTIMPL; }
    STDMETHODIMP Refresh2(VARIANT*) override { return E_NOTIMPL; }
    STDMETHODIMP Stop() override { return E_NOTIMPL; }
    STDMETHODIMP get_Application(IDispatch**) override { return E_NOTIMPL; }
    STDMETHODIMP get_Parent(IDispatch**) override { return E_NOTIMPL; }
    STDMETHODIMP get_Container(IDispatch**) override { return E_NOTIMPL; }
    STDMETHODIMP get_TopLevelContainer(VARIANT_BOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP get_Type(BSTR*) override { return E_NOTIMPL; }
    STDMETHODIMP get_Left(LONG*) override { return E_NOTIMPL; }
    STDMETHODIMP put_Left(LONG) override { return E_NOTIMPL; }
    STDMETHODIMP get_Top(LONG*) override { return E_NOTIMPL; }
    STDMETHODIMP put_Top(LONG) override { return E_NOTIMPL; }
    STDMETHODIMP get_Width(LONG*) override { return E_NOTIMPL; }
    STDMETHODIMP put_Width(LONG) override { return E_NOTIMPL; }
    STDMETHODIMP get_Height(LONG*) override { return E_NOTIMPL; }
    STDMETHODIMP put_Height(LONG) override { return E_NOTIMPL; }
    STDMETHODIMP get_LocationName(BSTR*) override { return E_NOTIMPL; }
    STDMETHODIMP get_LocationURL(BSTR*) override { return E_NOTIMPL; }
    STDMETHODIMP get_Busy(VARIANT_BOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP Quit() override { return E_NOTIMPL; }
    STDMETHODIMP ClientToWindow(int*, int*) override { return E_NOTIMPL; }
    STDMETHODIMP PutProperty(BSTR, VARIANT) override { return E_NOTIMPL; }
    STDMETHODIMP GetProperty(BSTR, VARIANT*) override { return E_NOTIMPL; }
    STDMETHODIMP get_Name(BSTR*) override { return E_NOTIMPL; }
    STDMETHODIMP get_HWND(SHANDLE_PTR*) override { return E_NOTIMPL; }
    STDMETHODIMP get_FullName(BSTR*) override { return E_NOTIMPL; }
    STDMETHODIMP get_Path(BSTR*) override { return E_NOTIMPL; }
    STDMETHODIMP get_Visible(VARIANT_BOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP put_Visible(VARIANT_BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP get_StatusBar(VARIANT_BOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP put_StatusBar(VARIANT_BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP get_StatusText(BSTR*) override { return E_NOTIMPL; }
    STDMETHODIMP put_StatusText(BSTR) override { return E_NOTIMPL; }
    STDMETHODIMP get_ToolBar(int*) override { return E_NOTIMPL; }
    STDMETHODIMP put_ToolBar(int) override { return E_NOTIMPL; }
    STDMETHODIMP get_MenuBar(VARIANT_BOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP put_MenuBar(VARIANT_BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP get_FullScreen(VARIANT_BOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP put_FullScreen(VARIANT_BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP QueryStatusWB(OLECMDID, OLECMDF*) override { return E_NOTIMPL; }
    STDMETHODIMP ExecWB(OLECMDID, OLECMDEXECOPT, VARIANT*, VARIANT*) override { return E_NOTIMPL; }
    STDMETHODIMP ShowBrowserBar(VARIANT*, VARIANT*, VARIANT*) override { return E_NOTIMPL; }
    STDMETHODIMP get_ReadyState(READYSTATE*) override { return E_NOTIMPL; }
    STDMETHODIMP get_Offline(VARIANT_BOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP put_Offline(VARIANT_BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP get_Silent(VARIANT_BOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP put_Silent(VARIANT_BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP get_RegisterAsBrowser(VARIANT_BOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP put_RegisterAsBrowser(VARIANT_BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP get_RegisterAsDropTarget(VARIANT_BOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP put_RegisterAsDropTarget(VARIANT_BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP get_TheaterMode(VARIANT_BOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP put_TheaterMode(VARIANT_BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP get_AddressBar(VARIANT_BOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP put_AddressBar(VARIANT_BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP get_Resizable(VARIANT_BOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP put_Resizable(VARIANT_BOOL) override { return E_NOTIMPL; }
    // IConnectionPointContainer: the browser's events only.
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
    STDMETHODIMP FindConnectionPoint(REFIID riid, IConnectionPoint** point) override
    {
        if (point == NULL)
            return E_POINTER;
        *point = NULL;
        if (riid != kDiidWebBrowserEvents2)
            return CONNECT_E_NOCONNECTION;
        *point = static_cast<IConnectionPoint*>(this);
        AddRef();
        return S_OK;
    }

    // IConnectionPoint: one sink at a time, cookie 1.
    STDMETHODIMP GetConnectionInterface(IID* iid) override
    {
        *iid = kDiidWebBrowserEvents2;
        return S_OK;
    }
    STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** container) override
    {
        *container = static_cast<IConnectionPointContainer*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override
    {
        if (sink == NULL || cookie == NULL)
            return E_POINTER;
        if (this->sink != NULL)
            return CONNECT_E_ADVISELIMIT;
        if (FAILED(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&this->sink))))
            return CONNECT_E_CANNOTCONNECT;
        ++g_browserStats.sinks;
        *cookie = 1;
        return S_OK;
    }
    STDMETHODIMP Unadvise(DWORD cookie) override
    {
        if (cookie != 1 || sink == NULL)
            return CONNECT_E_NOCONNECTION;
        sink->Release();
        sink = NULL;
        --g_browserStats.sinks;
        return S_OK;
    }
    STDMETHODIMP EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

protected:
    ~CTestBrowser() override
    {
        if (document != NULL)
            document->Release();
    }

private:
    // NavigateComplete2 and DocumentComplete: (the browser, the location by reference), given
    // last first as DISPPARAMS holds them.
    void FireLoaded(DISPID id, VARIANT& location)
    {
        if (sink == NULL)
            return;
        VARIANT args[2];
        ::VariantInit(&args[0]);
        args[0].vt = VT_BYREF | VT_VARIANT;
        args[0].pvarVal = &location;
        ::VariantInit(&args[1]);
        args[1].vt = VT_DISPATCH;
        args[1].pdispVal = static_cast<IWebBrowser2*>(this);
        DISPPARAMS params = {args, NULL, 2, 0};
        IDispatch* target = sink;
        target->AddRef();
        ++g_browserStats.eventsFired;
        g_browserStats.lastEventResult =
            target->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, NULL, NULL, NULL);
        target->Release();
    }

    CTestDocument* document = NULL;
    IDispatch* sink = NULL;
};

class CFactory : public IClassFactory
{
public:
    CFactory(bool windowlessClass, bool browserClass)
        : refs(1),
          windowlessClass(windowlessClass),
          browserClass(browserClass)
    {
    }
    virtual ~CFactory() = default;

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (ppv == NULL)
            return E_POINTER;
        *ppv = NULL;
        if (riid != IID_IUnknown && riid != IID_IClassFactory)
            return E_NOINTERFACE;
        *ppv = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override
    {
        const LONG left = --refs;
        if (left == 0)
            delete this;
        return left;
    }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override
    {
        if (ppv == NULL)
            return E_POINTER;
        *ppv = NULL;
        if (outer != NULL)
            return CLASS_E_NOAGGREGATION;
        CTestControl* object = browserClass ? new CTestBrowser : new CTestControl(windowlessClass);
        const HRESULT hr = object->QueryInterface(riid, ppv);
        object->Release();
        return hr;
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }

private:
    LONG refs;
    bool windowlessClass;
    bool browserClass;
};
}  // namespace

extern "C"
{
    BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
    {
        if (reason == DLL_PROCESS_ATTACH)
            g_module = instance;
        return TRUE;
    }

    __declspec(dllexport) HRESULT WINAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv)
    {
        if (ppv == NULL)
            return E_POINTER;
        *ppv = NULL;
        const bool windowlessClass = rclsid == CLSID_TestWindowless;
        const bool browserClass = rclsid == CLSID_TestBrowser;
        if (!windowlessClass && !browserClass && rclsid != CLSID_TestWindowed)
            return CLASS_E_CLASSNOTAVAILABLE;
        CFactory* factory = new CFactory(windowlessClass, browserClass);
        const HRESULT hr = factory->QueryInterface(riid, ppv);
        factory->Release();
        return hr;
    }

    __declspec(dllexport) HRESULT WINAPI DllCanUnloadNow()
    {
        return S_FALSE;
    }

    __declspec(dllexport) TTestControlStats* __cdecl TestControlStats()
    {
        return &g_stats;
    }

    __declspec(dllexport) TTestBrowserStats* __cdecl TestBrowserStats()
    {
        return &g_browserStats;
    }

    __declspec(dllexport) void __cdecl TestControlReset()
    {
        const int sinks = g_browserStats.sinks;
        memset(&g_browserStats, 0, sizeof(g_browserStats));
        g_browserStats.sinks = sinks;
        const DWORD options = g_stats.options;
        const LONG live = g_stats.liveObjects;
        memset(&g_stats, 0, sizeof(g_stats));
        g_stats.options = options;
        g_stats.liveObjects = live;
    }

    __declspec(dllexport) HRESULT __cdecl TestControlPokeStaleSite()
    {
        if (g_keptSite == NULL)
            return S_FALSE;
        HRESULT first = E_UNEXPECTED;
        auto note = [&first](HRESULT hr) {
            if (first == E_UNEXPECTED && hr != E_UNEXPECTED)
                first = hr;
        };
        IOleContainer* container = NULL;
        note(g_keptSite->GetContainer(&container));
        if (container != NULL)
            container->Release();
        note(g_keptSite->ShowObject());
        IOleInPlaceSiteWindowless* windowless = NULL;
        if (SUCCEEDED(g_keptSite->QueryInterface(IID_IOleInPlaceSiteWindowless,
                                                 reinterpret_cast<void**>(&windowless))))
        {
            HWND hwnd = NULL;
            note(windowless->GetWindow(&hwnd));
            note(windowless->CanInPlaceActivate());
            note(windowless->OnInPlaceActivateEx(NULL, ACTIVATE_WINDOWLESS));
            note(windowless->SetFocus(TRUE));
            note(windowless->SetCapture(TRUE));
            HDC dc = NULL;
            note(windowless->GetDC(NULL, 0, &dc));
            note(windowless->InvalidateRect(NULL, FALSE));
            windowless->Release();
        }
        g_keptSite->Release();
        g_keptSite = NULL;
        return first;
    }
}
