#pragma once

#include <windows.h>

#include <docobj.h>
#include <exdisp.h>
#include <mshtmhst.h>
#include <servprov.h>

#include "ui/controls/ActiveX.h"
#include "ui/controls/ControlTag.h"

// What the browser tells about a script error; values it does not give stay 0 or empty.
struct TScriptError
{
    long line;
    long character;
    long code;
    CUIString message;
    CUIString url;
};

// Receives a web browser's events and answers its document-host questions.
// Every operation has the answer the browser control gives without a
// handler, so a handler overrides only what it cares about. Arguments are
// the browser's own (see DWebBrowserEvents2 and IDocHostUIHandler).
class CWebBrowserEventHandler
{
public:
    virtual ~CWebBrowserEventHandler() = default;

    // Browser events; set *cancel to VARIANT_TRUE to stop what is announced.
    virtual void BeforeNavigate2(IDispatch*, VARIANT* /*url*/, VARIANT* /*flags*/, VARIANT* /*targetFrame*/,
                                 VARIANT* /*postData*/, VARIANT* /*headers*/, VARIANT_BOOL* /*cancel*/)
    {
    }
    virtual void NavigateError(IDispatch*, VARIANT* /*url*/, VARIANT* /*frame*/, VARIANT* /*statusCode*/,
                               VARIANT_BOOL* /*cancel*/)
    {
    }
    virtual void NavigateComplete2(IDispatch*, VARIANT* /*url*/) {}
    // Only for the top-level document.
    virtual void DocumentComplete(IDispatch*, VARIANT* /*url*/) {}
    virtual void NewWindow3(IDispatch** /*newBrowser*/, VARIANT_BOOL* /*cancel*/, DWORD /*flags*/,
                            BSTR /*urlContext*/, BSTR /*url*/)
    {
    }
    virtual void CommandStateChange(long /*command*/, VARIANT_BOOL /*enable*/) {}
    // A script of the page failed; the page goes on without a dialog either way.
    virtual void ScriptError(const TScriptError& /*error*/) {}

    // Document-host questions.
    virtual HRESULT ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) { return S_FALSE; }
    virtual HRESULT GetHostInfo(DOCHOSTUIINFO*) { return E_NOTIMPL; }
    virtual HRESULT ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                           IOleInPlaceUIWindow*)
    {
        return S_OK;
    }
    virtual HRESULT HideUI() { return S_OK; }
    virtual HRESULT UpdateUI() { return S_OK; }
    virtual HRESULT EnableModeless(BOOL) { return E_NOTIMPL; }
    virtual HRESULT OnDocWindowActivate(BOOL) { return E_NOTIMPL; }
    virtual HRESULT OnFrameWindowActivate(BOOL) { return E_NOTIMPL; }
    virtual HRESULT ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) { return E_NOTIMPL; }
    virtual HRESULT TranslateAccelerator(LPMSG, const GUID*, DWORD) { return S_FALSE; }
    virtual HRESULT GetOptionKeyPath(LPOLESTR*, DWORD) { return E_NOTIMPL; }
    virtual HRESULT GetDropTarget(IDropTarget*, IDropTarget**) { return S_FALSE; }
    virtual HRESULT GetExternal(IDispatch**) { return S_FALSE; }
    virtual HRESULT TranslateUrl(DWORD, OLECHAR*, OLECHAR**) { return E_NOTIMPL; }
    virtual HRESULT FilterDataObject(IDataObject*, IDataObject**) { return E_NOTIMPL; }
};

// An ActiveX host preset to the platform's web browser: it navigates to its
// home page when asked to, passes the browser's events and document-host
// questions to an optional handler, and keeps script errors from showing
// dialogs. Its COM interfaces share one identity whose reference count does
// not own the control: the control is deleted like any other, and it
// disconnects from the browser before it goes.
class CWebBrowserUI : public CActiveXUI,
                      public IDocHostUIHandler,
                      public IServiceProvider,
                      public IOleCommandTarget,
                      public IDispatch,
                      public ITranslateAccelerator
{
public:
    CWebBrowserUI();
    ~CWebBrowserUI() override;

    // ---- Overridables ----
    LPCWSTR GetClassName() const override;
    LPVOID FindInterface(LPCWSTR pstrName) override;
    void SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) override;
    void ReleaseControl() override;
    bool CreateControl() override;
    // Navigates to the home page; false without browser or home page.
    virtual bool NavigateHomePage();

    // ---- Operations ----
    void SetHomePage(LPCWSTR pstrUrl) { homePage = pstrUrl; }
    const CUIString& GetHomePage() const { return homePage; }
    void SetAutoNavigate(bool bAuto) { autoNavigate = bAuto; }
    bool IsAutoNavigate() const { return autoNavigate; }
    // Not owned; null restores the browser's own answers.
    void SetEventHandler(CWebBrowserEventHandler* pHandler) { eventHandler = pHandler; }
    bool Navigate2(LPCWSTR pstrUrl);
    IWebBrowser2* GetWebBrowser2() const { return webBrowser; }

    // ---- IUnknown (one identity for every interface below) ----
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // ---- IDispatch: the browser's event sink ----
    STDMETHODIMP GetTypeInfoCount(UINT* pctinfo) override;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo) override;
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    STDMETHODIMP Invoke(DISPID dispIdMember, REFIID riid, LCID, WORD, DISPPARAMS* pDispParams, VARIANT*,
                        EXCEPINFO*, UINT*) override;

    // ---- IDocHostUIHandler ----
    STDMETHODIMP ShowContextMenu(DWORD dwID, POINT* ppt, IUnknown* pcmdtReserved,
                                 IDispatch* pdispReserved) override;
    STDMETHODIMP GetHostInfo(DOCHOSTUIINFO* pInfo) override;
    STDMETHODIMP ShowUI(DWORD dwID, IOleInPlaceActiveObject* pActiveObject, IOleCommandTarget* pCommandTarget,
                        IOleInPlaceFrame* pFrame, IOleInPlaceUIWindow* pDoc) override;
    STDMETHODIMP HideUI() override;
    STDMETHODIMP UpdateUI() override;
    STDMETHODIMP EnableModeless(BOOL fEnable) override;
    STDMETHODIMP OnDocWindowActivate(BOOL fActivate) override;
    STDMETHODIMP OnFrameWindowActivate(BOOL fActivate) override;
    STDMETHODIMP ResizeBorder(LPCRECT prcBorder, IOleInPlaceUIWindow* pUIWindow, BOOL fRameWindow) override;
    STDMETHODIMP TranslateAccelerator(LPMSG lpMsg, const GUID* pguidCmdGroup, DWORD nCmdID) override;
    STDMETHODIMP GetOptionKeyPath(LPOLESTR* pchKey, DWORD dw) override;
    STDMETHODIMP GetDropTarget(IDropTarget* pDropTarget, IDropTarget** ppDropTarget) override;
    STDMETHODIMP GetExternal(IDispatch** ppDispatch) override;
    STDMETHODIMP TranslateUrl(DWORD dwTranslate, OLECHAR* pchURLIn, OLECHAR** ppchURLOut) override;
    STDMETHODIMP FilterDataObject(IDataObject* pDO, IDataObject** ppDORet) override;

    // ---- IServiceProvider ----
    STDMETHODIMP QueryService(REFGUID guidService, REFIID riid, void** ppvObject) override;

    // ---- IOleCommandTarget: script errors ----
    STDMETHODIMP QueryStatus(const GUID* pguidCmdGroup, ULONG cCmds, OLECMD prgCmds[],
                             OLECMDTEXT* pCmdText) override;
    STDMETHODIMP Exec(const GUID* pguidCmdGroup, DWORD nCmdID, DWORD nCmdexecopt, VARIANT* pvaIn,
                      VARIANT* pvaOut) override;

    // ---- ITranslateAccelerator ----
    LRESULT TranslateAccelerator(MSG* pMsg) override;

private:
    CWebBrowserEventHandler& Handler();
    // Makes the control the UI handler of the browser's document (null: none).
    void SetDocumentUIHandler(IDocHostUIHandler* handler);
    void ConnectEvents();
    void DisconnectEvents();
    bool IsTopLevel(IDispatch* browser) const;

    IWebBrowser2* webBrowser;
    LONG refs;
    DWORD eventCookie;
    IConnectionPoint* eventConnection;
    bool uiHandlerSet;
    CUIString homePage;
    bool autoNavigate;
    CWebBrowserEventHandler* eventHandler;  // not owned
};

// The element name that makes this control in skins.
inline constexpr TControlTag kWebBrowserTags[] = {
    {L"WebBrowser", AnyCase, MakeControl<CWebBrowserUI>},
};
