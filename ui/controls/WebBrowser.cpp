#include "ui/controls/WebBrowser.h"

#include <ocidl.h>
#include <wchar.h>

#include <initializer_list>

#include "ui/controls/ControlAttributes.h"

namespace
{
// Identifiers spelt out here: not every import library carries them.
const CLSID kClsidWebBrowser = {0x8856f961, 0x340a, 0x11d0, {0xa9, 0x6b, 0x00, 0xc0, 0x4f, 0xd7, 0x05, 0xa2}};
const IID kIidWebBrowser2 = {0xd30c1661, 0xcdaf, 0x11d0, {0x8a, 0x3e, 0x00, 0xc0, 0x4f, 0xc9, 0xe2, 0x6e}};
const IID kDiidWebBrowserEvents2 = {
    0x34a715a0, 0x6587, 0x11d0, {0x92, 0x4a, 0x00, 0x20, 0xaf, 0xc7, 0xac, 0x4d}};
const IID kIidDocHostUIHandler = {
    0xbd3f23c0, 0xd43e, 0x11cf, {0x89, 0x3b, 0x00, 0xaa, 0x00, 0xbd, 0xce, 0x1a}};
const IID kIidCustomDoc = {0x3050f3f0, 0x98b5, 0x11cf, {0xbb, 0x82, 0x00, 0xaa, 0x00, 0xbd, 0xce, 0x0b}};
const IID kIidServiceProvider = {
    0x6d5140c1, 0x7436, 0x11ce, {0x80, 0x34, 0x00, 0xaa, 0x00, 0x60, 0x09, 0xfa}};
const GUID kCgidDocHostCommandHandler = {
    0xf38bc242, 0xb950, 0x11d1, {0x89, 0x18, 0x00, 0xc0, 0x4f, 0xc2, 0xc8, 0x36}};

// The browser's event numbers (DWebBrowserEvents2).
const DISPID kStatusTextChange = 102;
const DISPID kCommandStateChange = 105;
const DISPID kBeforeNavigate2 = 250;
const DISPID kNavigateComplete2 = 252;
const DISPID kDocumentComplete = 259;
const DISPID kNavigateError = 271;
const DISPID kNewWindow3 = 273;

const DWORD kShowScriptError = 40;  // OLECMDID_SHOWSCRIPTERROR

// The event's arguments, in the order the browser declares them (DISPPARAMS
// holds them last first); null when there are fewer than count or one has
// another type than expected. VT_EMPTY in types accepts any type.
class CEventArgs
{
public:
    CEventArgs(DISPPARAMS* params) : params(params) {}

    bool Match(std::initializer_list<VARTYPE> types) const
    {
        if (params == NULL || params->rgvarg == NULL || params->cArgs < types.size())
            return false;
        UINT index = 0;
        for (VARTYPE type : types)
        {
            if (type != VT_EMPTY && At(index)->vt != type)
                return false;
            ++index;
        }
        return true;
    }
    VARIANT* At(UINT index) const { return &params->rgvarg[params->cArgs - 1 - index]; }

private:
    DISPPARAMS* params;
};

const VARTYPE kByRefVariant = VT_BYREF | VT_VARIANT;
const VARTYPE kByRefBool = VT_BYREF | VT_BOOL;

CWebBrowserEventHandler g_defaultAnswers;

// A property read by name through late binding, as script sees it; false
// when the object has no such property or refuses to give it.
bool GetProperty(IDispatch* object, LPCWSTR name, VARIANT& value)
{
    ::VariantInit(&value);
    if (object == NULL)
        return false;
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[1] = {const_cast<LPOLESTR>(name)};
    if (FAILED(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id)))
        return false;
    DISPPARAMS none = {NULL, NULL, 0, 0};
    if (SUCCEEDED(object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &value, NULL,
                                 NULL)))
        return true;
    ::VariantInit(&value);
    return false;
}

// An object-valued property, with a reference for the caller; null otherwise.
IDispatch* GetObjectProperty(IDispatch* object, LPCWSTR name)
{
    VARIANT value;
    if (!GetProperty(object, name, value))
        return NULL;
    IDispatch* result = NULL;
    if (value.vt == VT_DISPATCH && value.pdispVal != NULL)
    {
        result = value.pdispVal;
        result->AddRef();
    }
    ::VariantClear(&value);
    return result;
}

long GetLongProperty(IDispatch* object, LPCWSTR name)
{
    VARIANT value;
    long result = 0;
    if (GetProperty(object, name, value) && SUCCEEDED(::VariantChangeType(&value, &value, 0, VT_I4)))
        result = value.lVal;
    ::VariantClear(&value);
    return result;
}

CUIString GetTextProperty(IDispatch* object, LPCWSTR name)
{
    VARIANT value;
    CUIString result;
    if (GetProperty(object, name, value) && SUCCEEDED(::VariantChangeType(&value, &value, 0, VT_BSTR)) &&
        value.bstrVal != NULL)
        result = value.bstrVal;
    ::VariantClear(&value);
    return result;
}

// The failing script's details, kept on the event object of the document's window.
TScriptError ReadScriptError(IUnknown* document)
{
    TScriptError error = {0, 0, 0, CUIString(), CUIString()};
    IDispatch* documentDispatch = NULL;
    if (document == NULL ||
        FAILED(document->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&documentDispatch))))
        return error;
    IDispatch* window = GetObjectProperty(documentDispatch, L"parentWindow");
    IDispatch* event = GetObjectProperty(window, L"event");
    if (event != NULL)
    {
        error.line = GetLongProperty(event, L"errorLine");
        error.character = GetLongProperty(event, L"errorCharacter");
        error.code = GetLongProperty(event, L"errorCode");
        error.message = GetTextProperty(event, L"errorMessage");
        error.url = GetTextProperty(event, L"errorUrl");
        event->Release();
    }
    if (window != NULL)
        window->Release();
    documentDispatch->Release();
    return error;
}

const TAttributeRow<CWebBrowserUI> kBrowserAttributes[] = {
    {L"homepage", [](CWebBrowserUI& c, LPCWSTR v) { c.SetHomePage(v); }},
    {L"autonavi", [](CWebBrowserUI& c, LPCWSTR v) { c.SetAutoNavigate(ParseBool(v)); }},
};
}  // namespace

CWebBrowserUI::CWebBrowserUI()
    : webBrowser(NULL),
      refs(0),
      eventCookie(0),
      eventConnection(NULL),
      uiHandlerSet(false),
      autoNavigate(false),
      eventHandler(NULL)
{
    clsid = kClsidWebBrowser;
}

CWebBrowserUI::~CWebBrowserUI()
{
    // The browser holds this object's interfaces: take them back before it goes.
    CWebBrowserUI::ReleaseControl();
}

LPCWSTR CWebBrowserUI::GetClassName() const
{
    return L"WebBrowser";
}

LPVOID CWebBrowserUI::FindInterface(LPCWSTR pstrName)
{
    if (pstrName != NULL && wcscmp(pstrName, L"WebBrowser") == 0)
        return this;
    return CActiveXUI::FindInterface(pstrName);
}

void CWebBrowserUI::SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue)
{
    if (pstrName == NULL || pstrValue == NULL)
        return;
    if (!ApplyAttributeRow(kBrowserAttributes, *this, pstrName, pstrValue))
        CActiveXUI::SetAttribute(pstrName, pstrValue);
}

bool CWebBrowserUI::CreateControl()
{
    CWebBrowserUI::ReleaseControl();
    const bool result = CActiveXUI::CreateControl();
    if (manager != NULL)
    {
        manager->RemoveTranslateAccelerator(this);
        manager->AddTranslateAccelerator(this);
    }
    if (oleObject == NULL ||
        FAILED(oleObject->QueryInterface(kIidWebBrowser2, reinterpret_cast<void**>(&webBrowser))))
    {
        webBrowser = NULL;
        return result;
    }
    // Connected first: the browser reports the start of a navigation from inside Navigate2, and a
    // handler must be able to see (and cancel) the home page like any other.
    ConnectEvents();
    if (autoNavigate)
        NavigateHomePage();
    return result;
}

void CWebBrowserUI::ReleaseControl()
{
    created = false;
    if (manager != NULL)
        manager->RemoveTranslateAccelerator(this);
    DisconnectEvents();
    SetDocumentUIHandler(NULL);
    if (webBrowser != NULL)
    {
        webBrowser->Release();
        webBrowser = NULL;
    }
    CActiveXUI::ReleaseControl();
}

bool CWebBrowserUI::NavigateHomePage()
{
    return !homePage.IsEmpty() && Navigate2(homePage);
}

bool CWebBrowserUI::Navigate2(LPCWSTR pstrUrl)
{
    if (webBrowser == NULL || pstrUrl == NULL)
        return false;
    VARIANT url;
    ::VariantInit(&url);
    url.vt = VT_BSTR;
    url.bstrVal = ::SysAllocString(pstrUrl);
    if (url.bstrVal == NULL)
        return false;
    VARIANT none;
    ::VariantInit(&none);
    const HRESULT hr = webBrowser->Navigate2(&url, &none, &none, &none, &none);
    ::VariantClear(&url);
    return SUCCEEDED(hr);
}

void CWebBrowserUI::ConnectEvents()
{
    if (webBrowser == NULL || eventConnection != NULL)
        return;
    IConnectionPointContainer* container = NULL;
    if (FAILED(
            webBrowser->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container))))
        return;
    IConnectionPoint* point = NULL;
    if (SUCCEEDED(container->FindConnectionPoint(kDiidWebBrowserEvents2, &point)) && point != NULL)
    {
        if (SUCCEEDED(point->Advise(static_cast<IDispatch*>(this), &eventCookie)))
            eventConnection = point;
        else
            point->Release();
    }
    container->Release();
}

void CWebBrowserUI::DisconnectEvents()
{
    if (eventConnection == NULL)
        return;
    eventConnection->Unadvise(eventCookie);
    eventConnection->Release();
    eventConnection = NULL;
    eventCookie = 0;
}

void CWebBrowserUI::SetDocumentUIHandler(IDocHostUIHandler* handler)
{
    if (webBrowser == NULL || (handler == NULL && !uiHandlerSet))
        return;
    IDispatch* document = NULL;
    if (FAILED(webBrowser->get_Document(&document)) || document == NULL)
        return;
    // The system's declaration, with external linkage: an interface declared inside this file
    // alone, implemented nowhere in it, lets the optimiser conclude that no object of it exists
    // and replace the call with one to the pure virtual handler.
    ICustomDoc* customDoc = NULL;
    if (SUCCEEDED(document->QueryInterface(kIidCustomDoc, reinterpret_cast<void**>(&customDoc))))
    {
        uiHandlerSet = SUCCEEDED(customDoc->SetUIHandler(handler)) && handler != NULL;
        customDoc->Release();
    }
    document->Release();
}

bool CWebBrowserUI::IsTopLevel(IDispatch* browser) const
{
    if (webBrowser == NULL || browser == NULL)
        return false;
    IUnknown* mine = NULL;
    IUnknown* theirs = NULL;
    bool same = false;
    if (SUCCEEDED(webBrowser->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&mine))) &&
        SUCCEEDED(browser->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&theirs))))
        same = mine == theirs;
    if (mine != NULL)
        mine->Release();
    if (theirs != NULL)
        theirs->Release();
    return same;
}

CWebBrowserEventHandler& CWebBrowserUI::Handler()
{
    return eventHandler != NULL ? *eventHandler : g_defaultAnswers;
}

// ---- IUnknown ----

STDMETHODIMP CWebBrowserUI::QueryInterface(REFIID riid, void** ppv)
{
    if (ppv == NULL)
        return E_POINTER;
    *ppv = NULL;
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == kDiidWebBrowserEvents2)
        *ppv = static_cast<IDispatch*>(this);
    else if (riid == kIidDocHostUIHandler)
        *ppv = static_cast<IDocHostUIHandler*>(this);
    else if (riid == IID_IOleCommandTarget)
        *ppv = static_cast<IOleCommandTarget*>(this);
    else if (riid == kIidServiceProvider)
        *ppv = static_cast<IServiceProvider*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CWebBrowserUI::AddRef()
{
    return static_cast<ULONG>(::InterlockedIncrement(&refs));
}

STDMETHODIMP_(ULONG) CWebBrowserUI::Release()
{
    return static_cast<ULONG>(::InterlockedDecrement(&refs));
}

// ---- IDispatch ----

STDMETHODIMP CWebBrowserUI::GetTypeInfoCount(UINT* pctinfo)
{
    if (pctinfo == NULL)
        return E_INVALIDARG;
    *pctinfo = 0;
    return S_OK;
}

STDMETHODIMP CWebBrowserUI::GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo)
{
    if (ppTInfo != NULL)
        *ppTInfo = NULL;
    return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*)
{
    return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::Invoke(DISPID dispIdMember, REFIID riid, LCID, WORD, DISPPARAMS* pDispParams,
                                   VARIANT*, EXCEPINFO*, UINT*)
{
    if (riid != IID_NULL)
        return E_INVALIDARG;
    const CEventArgs args(pDispParams);
    switch (dispIdMember)
    {
    case kBeforeNavigate2:
        if (!args.Match({VT_DISPATCH, kByRefVariant, kByRefVariant, kByRefVariant, kByRefVariant,
                         kByRefVariant, kByRefBool}))
            return E_INVALIDARG;
        Handler().BeforeNavigate2(args.At(0)->pdispVal, args.At(1)->pvarVal, args.At(2)->pvarVal,
                                  args.At(3)->pvarVal, args.At(4)->pvarVal, args.At(5)->pvarVal,
                                  args.At(6)->pboolVal);
        return S_OK;
    case kNavigateError:
        if (!args.Match({VT_DISPATCH, kByRefVariant, kByRefVariant, kByRefVariant, kByRefBool}))
            return E_INVALIDARG;
        Handler().NavigateError(args.At(0)->pdispVal, args.At(1)->pvarVal, args.At(2)->pvarVal,
                                args.At(3)->pvarVal, args.At(4)->pboolVal);
        return S_OK;
    case kNewWindow3:
        if (!args.Match({VT_BYREF | VT_DISPATCH, kByRefBool, VT_EMPTY, VT_BSTR, VT_BSTR}) ||
            (args.At(2)->vt != VT_I4 && args.At(2)->vt != VT_UI4))
            return E_INVALIDARG;
        Handler().NewWindow3(args.At(0)->ppdispVal, args.At(1)->pboolVal, args.At(2)->ulVal,
                             args.At(3)->bstrVal, args.At(4)->bstrVal);
        return S_OK;
    case kCommandStateChange:
        if (!args.Match({VT_I4, VT_BOOL}))
            return E_INVALIDARG;
        Handler().CommandStateChange(args.At(0)->lVal, args.At(1)->boolVal);
        return S_OK;
    case kNavigateComplete2:
        if (!args.Match({VT_DISPATCH, kByRefVariant}))
            return E_INVALIDARG;
        // A new document asks its questions of the control from now on.
        SetDocumentUIHandler(static_cast<IDocHostUIHandler*>(this));
        Handler().NavigateComplete2(args.At(0)->pdispVal, args.At(1)->pvarVal);
        return S_OK;
    case kDocumentComplete:
        if (!args.Match({VT_DISPATCH, kByRefVariant}))
            return E_INVALIDARG;
        if (IsTopLevel(args.At(0)->pdispVal))
            Handler().DocumentComplete(args.At(0)->pdispVal, args.At(1)->pvarVal);
        return S_OK;
    case kStatusTextChange:
        return S_OK;
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}

// ---- IDocHostUIHandler ----

STDMETHODIMP CWebBrowserUI::ShowContextMenu(DWORD dwID, POINT* ppt, IUnknown* pcmdtReserved,
                                            IDispatch* pdispReserved)
{
    return Handler().ShowContextMenu(dwID, ppt, pcmdtReserved, pdispReserved);
}

STDMETHODIMP CWebBrowserUI::GetHostInfo(DOCHOSTUIINFO* pInfo)
{
    return Handler().GetHostInfo(pInfo);
}

STDMETHODIMP CWebBrowserUI::ShowUI(DWORD dwID, IOleInPlaceActiveObject* pActiveObject,
                                   IOleCommandTarget* pCommandTarget, IOleInPlaceFrame* pFrame,
                                   IOleInPlaceUIWindow* pDoc)
{
    return Handler().ShowUI(dwID, pActiveObject, pCommandTarget, pFrame, pDoc);
}

STDMETHODIMP CWebBrowserUI::HideUI()
{
    return Handler().HideUI();
}

STDMETHODIMP CWebBrowserUI::UpdateUI()
{
    return Handler().UpdateUI();
}

STDMETHODIMP CWebBrowserUI::EnableModeless(BOOL fEnable)
{
    return Handler().EnableModeless(fEnable);
}

STDMETHODIMP CWebBrowserUI::OnDocWindowActivate(BOOL fActivate)
{
    return Handler().OnDocWindowActivate(fActivate);
}

STDMETHODIMP CWebBrowserUI::OnFrameWindowActivate(BOOL fActivate)
{
    return Handler().OnFrameWindowActivate(fActivate);
}

STDMETHODIMP CWebBrowserUI::ResizeBorder(LPCRECT prcBorder, IOleInPlaceUIWindow* pUIWindow, BOOL fRameWindow)
{
    return Handler().ResizeBorder(prcBorder, pUIWindow, fRameWindow);
}

STDMETHODIMP CWebBrowserUI::TranslateAccelerator(LPMSG lpMsg, const GUID* pguidCmdGroup, DWORD nCmdID)
{
    return Handler().TranslateAccelerator(lpMsg, pguidCmdGroup, nCmdID);
}

STDMETHODIMP CWebBrowserUI::GetOptionKeyPath(LPOLESTR* pchKey, DWORD dw)
{
    return Handler().GetOptionKeyPath(pchKey, dw);
}

STDMETHODIMP CWebBrowserUI::GetDropTarget(IDropTarget* pDropTarget, IDropTarget** ppDropTarget)
{
    return Handler().GetDropTarget(pDropTarget, ppDropTarget);
}

STDMETHODIMP CWebBrowserUI::GetExternal(IDispatch** ppDispatch)
{
    if (ppDispatch != NULL)
        *ppDispatch = NULL;
    return Handler().GetExternal(ppDispatch);
}

STDMETHODIMP CWebBrowserUI::TranslateUrl(DWORD dwTranslate, OLECHAR* pchURLIn, OLECHAR** ppchURLOut)
{
    if (ppchURLOut != NULL)
        *ppchURLOut = NULL;
    return Handler().TranslateUrl(dwTranslate, pchURLIn, ppchURLOut);
}

STDMETHODIMP CWebBrowserUI::FilterDataObject(IDataObject* pDO, IDataObject** ppDORet)
{
    if (ppDORet != NULL)
        *ppDORet = NULL;
    return Handler().FilterDataObject(pDO, ppDORet);
}

// ---- IServiceProvider ----

STDMETHODIMP CWebBrowserUI::QueryService(REFGUID, REFIID, void** ppvObject)
{
    // No service is offered: an object that only looks like one would be worse.
    if (ppvObject != NULL)
        *ppvObject = NULL;
    return E_NOINTERFACE;
}

// ---- IOleCommandTarget ----

STDMETHODIMP CWebBrowserUI::QueryStatus(const GUID*, ULONG, OLECMD[], OLECMDTEXT*)
{
    return OLECMDERR_E_NOTSUPPORTED;
}

STDMETHODIMP CWebBrowserUI::Exec(const GUID* pguidCmdGroup, DWORD nCmdID, DWORD, VARIANT* pvaIn,
                                 VARIANT* pvaOut)
{
    if (pguidCmdGroup == NULL || *pguidCmdGroup != kCgidDocHostCommandHandler)
        return OLECMDERR_E_UNKNOWNGROUP;
    if (nCmdID != kShowScriptError)
        return OLECMDERR_E_NOTSUPPORTED;
    // The document comes in; whether scripts go on comes out.
    if (pvaIn == NULL || pvaOut == NULL || (pvaIn->vt != VT_UNKNOWN && pvaIn->vt != VT_DISPATCH) ||
        pvaIn->punkVal == NULL)
        return E_INVALIDARG;
    Handler().ScriptError(ReadScriptError(pvaIn->punkVal));
    // Scripts keep running and no error dialog is shown.
    ::VariantClear(pvaOut);
    pvaOut->vt = VT_BOOL;
    pvaOut->boolVal = VARIANT_TRUE;
    return S_OK;
}

// ---- ITranslateAccelerator ----

LRESULT CWebBrowserUI::TranslateAccelerator(MSG* pMsg)
{
    if (pMsg == NULL || pMsg->message < WM_KEYDOWN || pMsg->message > WM_SYSDEADCHAR)
        return S_FALSE;
    if (webBrowser == NULL || hostWindow == NULL)
        return S_FALSE;
    const HWND focus = ::GetFocus();
    if (focus != hostWindow && !::IsChild(hostWindow, focus))
        return S_FALSE;
    IOleInPlaceActiveObject* active = NULL;
    if (FAILED(webBrowser->QueryInterface(IID_IOleInPlaceActiveObject, reinterpret_cast<void**>(&active))))
        return S_FALSE;
    const HRESULT hr = active->TranslateAccelerator(pMsg);
    active->Release();
    return hr;
}
