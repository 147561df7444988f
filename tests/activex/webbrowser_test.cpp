#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/activex/control/TestControlApi.h"
#include "tests/support/ManagerProbe.h"
#include "tests/support/Rects.h"
#include "tests/support/TestWindow.h"
#include "ui/controls/BoxLayout.h"
#include "ui/controls/WebBrowser.h"

// The browser's logic, driven by direct calls (the browser engine itself
// cannot load pages here), and the whole path of a navigation with a stand-in
// browser from the test control's module.

namespace
{
const GUID kCgidDocHostCommandHandler = {
    0xf38bc242, 0xb950, 0x11d1, {0x89, 0x18, 0x00, 0xc0, 0x4f, 0xc2, 0xc8, 0x36}};
const IID kIidServiceProvider = {
    0x6d5140c1, 0x7436, 0x11ce, {0x80, 0x34, 0x00, 0xaa, 0x00, 0x60, 0x09, 0xfa}};

class CRecordingHandler : public CWebBrowserEventHandler
{
public:
    void BeforeNavigate2(IDispatch*, VARIANT* url, VARIANT*, VARIANT*, VARIANT*, VARIANT*,
                         VARIANT_BOOL* cancel) override
    {
        if (url != NULL && url->vt == VT_BSTR)
            lastUrl = url->bstrVal;
        *cancel = VARIANT_TRUE;
    }
    void DocumentComplete(IDispatch*, VARIANT*) override { ++documentsComplete; }
    void CommandStateChange(long command, VARIANT_BOOL enable) override
    {
        lastCommand = command;
        lastEnable = enable;
    }
    HRESULT ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) override { return S_OK; }
    void ScriptError(const TScriptError& error) override
    {
        ++scriptErrors;
        lastError = error;
    }

    int scriptErrors = 0;
    TScriptError lastError = {0, 0, 0, CUIString(), CUIString()};
    std::wstring lastUrl;
    int documentsComplete = 0;
    long lastCommand = 0;
    VARIANT_BOOL lastEnable = VARIANT_FALSE;
};

// An object that is only an IUnknown, standing in for documents and browsers.
class CPlainObject : public IDispatch
{
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        *ppv = NULL;
        if (riid != IID_IUnknown && riid != IID_IDispatch)
            return E_NOINTERFACE;
        *ppv = this;
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }
};

// An object with named properties, read through IDispatch as scripts read
// them: stands in for a document, its window and the window's event.
class CPropertyBag : public CPlainObject
{
public:
    ~CPropertyBag()
    {
        for (auto& property : properties)
            VariantClear(&property.second);
    }
    void SetObject(const wchar_t* name, IDispatch* object)
    {
        VARIANT value;
        VariantInit(&value);
        value.vt = VT_DISPATCH;
        value.pdispVal = object;
        Set(name, value);
    }
    void SetLong(const wchar_t* name, long number)
    {
        VARIANT value;
        VariantInit(&value);
        value.vt = VT_I4;
        value.lVal = number;
        Set(name, value);
    }
    void SetText(const wchar_t* name, const wchar_t* text)
    {
        VARIANT value;
        VariantInit(&value);
        value.vt = VT_BSTR;
        value.bstrVal = ::SysAllocString(text);
        Set(name, value);
    }

    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override
    {
        if (names == NULL || ids == NULL || count != 1)
            return E_INVALIDARG;
        for (size_t i = 0; i < properties.size(); ++i)
        {
            if (properties[i].first == names[0])
            {
                ids[0] = static_cast<DISPID>(i + 1);
                return S_OK;
            }
        }
        return DISP_E_UNKNOWNNAME;
    }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                        UINT*) override
    {
        if (id < 1 || static_cast<size_t>(id) > properties.size() || result == NULL ||
            (flags & DISPATCH_PROPERTYGET) == 0)
            return DISP_E_MEMBERNOTFOUND;
        return VariantCopy(result, &properties[id - 1].second);
    }

private:
    void Set(const wchar_t* name, const VARIANT& value) { properties.push_back({name, value}); }

    std::vector<std::pair<std::wstring, VARIANT>> properties;
};

// BeforeNavigate2's seven arguments, stored last first as the browser sends them.
struct TBeforeNavigate
{
    TBeforeNavigate(IDispatch* browser, const wchar_t* address)
    {
        url.vt = VT_BSTR;
        url.bstrVal = ::SysAllocString(address);
        VariantInit(&empty);
        VariantInit(&args[0]);
        args[0].vt = VT_BYREF | VT_BOOL;
        args[0].pboolVal = &cancel;
        for (int i = 1; i <= 5; ++i)
        {
            VariantInit(&args[i]);
            args[i].vt = VT_BYREF | VT_VARIANT;
            args[i].pvarVal = i == 5 ? &url : &empty;
        }
        VariantInit(&args[6]);
        args[6].vt = VT_DISPATCH;
        args[6].pdispVal = browser;
        params.rgvarg = args;
        params.cArgs = 7;
    }
    ~TBeforeNavigate() { ::SysFreeString(url.bstrVal); }

    VARIANT url;
    VARIANT empty;
    VARIANT_BOOL cancel = VARIANT_FALSE;
    VARIANT args[7];
    DISPPARAMS params = {};
};

const DISPID kBeforeNavigate2 = 250;
const DISPID kDocumentComplete = 259;
const DISPID kCommandStateChange = 105;
const DISPID kStatusTextChange = 102;

HRESULT Fire(CWebBrowserUI& browser, DISPID id, DISPPARAMS* params, REFIID riid = IID_NULL)
{
    return browser.Invoke(id, riid, 0, DISPATCH_METHOD, params, NULL, NULL, NULL);
}

TEST(WebBrowserTest, EventsReachTheHandlerOnlyWithWellFormedArguments)
{
    CWebBrowserUI browser;
    CRecordingHandler handler;
    browser.SetEventHandler(&handler);
    CPlainObject frame;

    TBeforeNavigate good(&frame, L"http://example.invalid/");
    EXPECT_EQ(S_OK, Fire(browser, kBeforeNavigate2, &good.params));
    EXPECT_EQ(L"http://example.invalid/", handler.lastUrl);
    EXPECT_EQ(VARIANT_TRUE, good.cancel);

    TBeforeNavigate tooFew(&frame, L"http://few.invalid/");
    tooFew.params.rgvarg = tooFew.args + 1;  // the cancel flag is missing
    tooFew.params.cArgs = 6;
    TBeforeNavigate wrongType(&frame, L"http://type.invalid/");
    wrongType.args[0].vt = VT_BOOL;  // a value where the browser passes a flag to set
    TBeforeNavigate noArgs(&frame, L"http://none.invalid/");
    noArgs.params.rgvarg = NULL;
    const struct
    {
        const char* label;
        DISPPARAMS* params;
    } malformed[] = {{"no parameters", NULL},
                     {"too few", &tooFew.params},
                     {"wrong type", &wrongType.params},
                     {"no argument array", &noArgs.params}};
    for (const auto& m : malformed)
    {
        SCOPED_TRACE(m.label);
        EXPECT_EQ(E_INVALIDARG, Fire(browser, kBeforeNavigate2, m.params));
    }
    EXPECT_EQ(L"http://example.invalid/", handler.lastUrl);
    EXPECT_EQ(E_INVALIDARG, Fire(browser, kBeforeNavigate2, &good.params, IID_IDispatch));

    VARIANT state[2];
    VariantInit(&state[0]);
    state[0].vt = VT_BOOL;
    state[0].boolVal = VARIANT_TRUE;
    VariantInit(&state[1]);
    state[1].vt = VT_I4;
    state[1].lVal = 2;  // CSC_NAVIGATEBACK
    DISPPARAMS stateParams = {state, NULL, 2, 0};
    EXPECT_EQ(S_OK, Fire(browser, kCommandStateChange, &stateParams));
    EXPECT_EQ(2, handler.lastCommand);
    EXPECT_EQ(VARIANT_TRUE, handler.lastEnable);

    EXPECT_EQ(S_OK, Fire(browser, kStatusTextChange, NULL));
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND, Fire(browser, 9999, &stateParams));
}

TEST(WebBrowserTest, OnlyTheTopLevelDocumentIsReportedComplete)
{
    CWebBrowserUI browser;  // no browser object: every frame is someone else's
    CRecordingHandler handler;
    browser.SetEventHandler(&handler);
    CPlainObject frame;
    VARIANT url;
    VariantInit(&url);
    VARIANT args[2];
    VariantInit(&args[0]);
    args[0].vt = VT_BYREF | VT_VARIANT;
    args[0].pvarVal = &url;
    VariantInit(&args[1]);
    args[1].vt = VT_DISPATCH;
    args[1].pdispVal = &frame;
    DISPPARAMS params = {args, NULL, 2, 0};
    EXPECT_EQ(S_OK, Fire(browser, kDocumentComplete, &params));
    EXPECT_EQ(0, handler.documentsComplete);
}

TEST(WebBrowserTest, ScriptErrorsAreSuppressed)
{
    CWebBrowserUI browser;
    CPlainObject document;
    VARIANT in;
    VariantInit(&in);
    in.vt = VT_UNKNOWN;
    in.punkVal = &document;
    VARIANT out;
    VariantInit(&out);

    EXPECT_EQ(S_OK, browser.Exec(&kCgidDocHostCommandHandler, OLECMDID_SHOWSCRIPTERROR, 0, &in, &out));
    EXPECT_EQ(VT_BOOL, out.vt);
    EXPECT_EQ(VARIANT_TRUE, out.boolVal);

    VARIANT number;
    VariantInit(&number);
    number.vt = VT_I4;
    const struct
    {
        const char* label;
        const GUID* group;
        DWORD command;
        VARIANT* in;
        VARIANT* out;
        HRESULT expected;
    } cases[] = {
        {"no group", NULL, OLECMDID_SHOWSCRIPTERROR, &in, &out, OLECMDERR_E_UNKNOWNGROUP},
        {"other group", &IID_IUnknown, OLECMDID_SHOWSCRIPTERROR, &in, &out, OLECMDERR_E_UNKNOWNGROUP},
        {"other command", &kCgidDocHostCommandHandler, OLECMDID_PRINT, &in, &out, OLECMDERR_E_NOTSUPPORTED},
        {"no output", &kCgidDocHostCommandHandler, OLECMDID_SHOWSCRIPTERROR, &in, NULL, E_INVALIDARG},
        {"no input", &kCgidDocHostCommandHandler, OLECMDID_SHOWSCRIPTERROR, NULL, &out, E_INVALIDARG},
        {"input not a document", &kCgidDocHostCommandHandler, OLECMDID_SHOWSCRIPTERROR, &number, &out,
         E_INVALIDARG},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(c.expected, browser.Exec(c.group, c.command, 0, c.in, c.out));
    }
    EXPECT_EQ(OLECMDERR_E_NOTSUPPORTED, browser.QueryStatus(&kCgidDocHostCommandHandler, 0, NULL, NULL));
}

TEST(WebBrowserTest, AScriptErrorsDetailsReachTheHandler)
{
    CPropertyBag event;
    event.SetLong(L"errorLine", 12);
    event.SetLong(L"errorCharacter", 5);
    event.SetLong(L"errorCode", 0x1B6);
    event.SetText(L"errorMessage", L"boom");
    event.SetText(L"errorUrl", L"http://page.invalid/");
    CPropertyBag window;
    window.SetObject(L"event", &event);
    CPropertyBag document;
    document.SetObject(L"parentWindow", &window);

    CWebBrowserUI browser;
    CRecordingHandler handler;
    browser.SetEventHandler(&handler);
    VARIANT in;
    VariantInit(&in);
    in.vt = VT_DISPATCH;
    in.pdispVal = &document;
    VARIANT out;
    VariantInit(&out);
    EXPECT_EQ(S_OK, browser.Exec(&kCgidDocHostCommandHandler, OLECMDID_SHOWSCRIPTERROR, 0, &in, &out));
    EXPECT_EQ(VARIANT_TRUE, out.boolVal);
    ASSERT_EQ(1, handler.scriptErrors);
    EXPECT_EQ(12, handler.lastError.line);
    EXPECT_EQ(5, handler.lastError.character);
    EXPECT_EQ(0x1B6, handler.lastError.code);
    EXPECT_STREQ(L"boom", handler.lastError.message);
    EXPECT_STREQ(L"http://page.invalid/", handler.lastError.url);

    // A document without the details still gets its dialog suppressed.
    CPlainObject bare;
    in.pdispVal = &bare;
    EXPECT_EQ(S_OK, browser.Exec(&kCgidDocHostCommandHandler, OLECMDID_SHOWSCRIPTERROR, 0, &in, &out));
    EXPECT_EQ(VARIANT_TRUE, out.boolVal);
    EXPECT_EQ(2, handler.scriptErrors);
    EXPECT_EQ(0, handler.lastError.line);
    EXPECT_TRUE(handler.lastError.message.IsEmpty());
}

TEST(WebBrowserTest, DocumentHostQuestionsHaveTheBrowsersOwnAnswersWithoutAHandler)
{
    CWebBrowserUI browser;
    POINT pt = {0, 0};
    IDispatch* external = reinterpret_cast<IDispatch*>(1);
    OLECHAR* translated = reinterpret_cast<OLECHAR*>(1);
    EXPECT_EQ(S_FALSE, browser.ShowContextMenu(0, &pt, NULL, NULL));
    EXPECT_EQ(S_OK, browser.ShowUI(0, NULL, NULL, NULL, NULL));
    EXPECT_EQ(S_OK, browser.HideUI());
    EXPECT_EQ(S_OK, browser.UpdateUI());
    EXPECT_EQ(S_FALSE, browser.GetExternal(&external));
    EXPECT_EQ(nullptr, external);
    EXPECT_EQ(E_NOTIMPL, browser.TranslateUrl(0, NULL, &translated));
    EXPECT_EQ(nullptr, translated);
    EXPECT_EQ(E_NOTIMPL, browser.GetHostInfo(NULL));

    CRecordingHandler handler;
    browser.SetEventHandler(&handler);
    EXPECT_EQ(S_OK, browser.ShowContextMenu(0, &pt, NULL, NULL));
}

TEST(WebBrowserTest, OffersNoServices)
{
    CWebBrowserUI browser;
    IServiceProvider* provider = NULL;
    ASSERT_EQ(S_OK, browser.QueryInterface(kIidServiceProvider, reinterpret_cast<void**>(&provider)));
    void* service = &service;
    EXPECT_EQ(E_NOINTERFACE, provider->QueryService(IID_IUnknown, IID_IUnknown, &service));
    EXPECT_EQ(nullptr, service);
    provider->Release();
}

TEST(WebBrowserTest, TheBrowserObjectIsHostedWithoutNavigating)
{
    CManagerProbe manager;
    CHostWindow host(manager, 200, 150);
    CVerticalLayoutUI* root = new CVerticalLayoutUI;
    CWebBrowserUI* browser = new CWebBrowserUI;
    browser->SetAttribute(L"homepage", L"about:blank");
    root->Add(browser);
    manager.AttachRoot(root);
    root->SetPos(Rect(0, 0, 200, 150));
    EXPECT_TRUE(browser->IsCreated());
    EXPECT_NE(nullptr, browser->GetWebBrowser2());

    // The browser holds the event sink until the control disconnects it.
    const ULONG withSink = browser->AddRef();
    browser->Release();
    EXPECT_GE(withSink, 2u);
    browser->ReleaseControl();
    EXPECT_EQ(nullptr, browser->GetWebBrowser2());
    const ULONG withoutSink = browser->AddRef();
    browser->Release();
    EXPECT_EQ(1u, withoutSink);
    manager.AttachRoot(new CControlUI);
    host.Pump();
}
// Answers the document's first question in a way of its own, so that its arrival here shows.
class CCountingHandler : public CRecordingHandler
{
public:
    HRESULT UpdateUI() override
    {
        ++updates;
        return S_FALSE;
    }
    int updates = 0;
};

// A completed navigation, as the browser reports it, from the control's own home page to the event
// handler: the control connects to the browser's events, navigates, installs itself as the new
// document's UI handler (whose questions then reach the event handler), and reports the top-level
// document complete. The document is a real object of another module, reached through its own
// interface: a call the compiler had wrongly resolved would crash here.
TEST(WebBrowserTest, ACompletedNavigationInstallsTheControlAsTheDocumentsUIHandler)
{
    HMODULE module = ::LoadLibraryW(L"test_activex.dll");
    ASSERT_NE(nullptr, module);
    auto stats = reinterpret_cast<TTestBrowserStatsProc>(::GetProcAddress(module, "TestBrowserStats"));
    auto reset = reinterpret_cast<TTestControlResetProc>(::GetProcAddress(module, "TestControlReset"));
    ASSERT_NE(nullptr, stats);
    ASSERT_NE(nullptr, reset);
    reset();
    TTestBrowserStats& seen = *stats();

    CManagerProbe manager;
    CHostWindow host(manager, 200, 150);
    CVerticalLayoutUI* root = new CVerticalLayoutUI;
    CWebBrowserUI* browser = new CWebBrowserUI;
    CCountingHandler handler;
    browser->SetEventHandler(&handler);
    browser->SetAttribute(L"clsid", TEST_BROWSER_CLSID);
    browser->SetAttribute(L"modulename", L"test_activex.dll");
    browser->SetAttribute(L"homepage", L"http://example.invalid/start");
    browser->SetAttribute(L"autonavi", L"true");
    root->Add(browser);
    manager.AttachRoot(root);
    root->SetPos(Rect(0, 0, 200, 150));
    ASSERT_TRUE(browser->IsCreated());
    ASSERT_NE(nullptr, browser->GetWebBrowser2());

    EXPECT_EQ(1, seen.sinks);
    EXPECT_EQ(1, seen.navigations);
    EXPECT_STREQ(L"http://example.invalid/start", seen.lastUrl);
    EXPECT_EQ(2, seen.eventsFired);
    EXPECT_EQ(S_OK, seen.lastEventResult);
    EXPECT_EQ(1, seen.uiHandlerCalls);
    EXPECT_TRUE(seen.uiHandlerGiven);
    EXPECT_EQ(S_FALSE, seen.handlerAnswer);
    EXPECT_EQ(1, handler.updates);
    EXPECT_EQ(1, handler.documentsComplete);

    // A page's script error: the control asks the browser's document for the details by name.
    IDispatch* document = nullptr;
    ASSERT_EQ(S_OK, browser->GetWebBrowser2()->get_Document(&document));
    ASSERT_NE(nullptr, document);
    VARIANT in;
    VariantInit(&in);
    in.vt = VT_UNKNOWN;
    in.punkVal = document;
    VARIANT out;
    VariantInit(&out);
    EXPECT_EQ(S_OK, browser->Exec(&kCgidDocHostCommandHandler, OLECMDID_SHOWSCRIPTERROR, 0, &in, &out));
    EXPECT_EQ(VARIANT_TRUE, out.boolVal);
    EXPECT_STREQ(L"parentWindow;", seen.names);
    EXPECT_EQ(1, handler.scriptErrors);
    document->Release();

    // Each later page gets the handler too.
    EXPECT_TRUE(browser->Navigate2(L"http://example.invalid/next"));
    EXPECT_EQ(2, seen.uiHandlerCalls);
    EXPECT_EQ(2, handler.documentsComplete);

    // Released, the control takes itself off the document and disconnects from the events.
    browser->ReleaseControl();
    EXPECT_EQ(3, seen.uiHandlerCalls);
    EXPECT_FALSE(seen.uiHandlerGiven);
    EXPECT_EQ(0, seen.sinks);
    manager.AttachRoot(new CControlUI);
    host.Pump();
    ::FreeLibrary(module);
}
}  // namespace
