#pragma once
// The test ActiveX control: an in-process COM server (test_activex.dll) whose
// objects paint a known pattern and record what their container asks of
// them. Tests read and steer it through the record below, which the DLL
// exports.

#include <windows.h>

// {6A1F3C52-8E0B-4D7A-9C11-2B5E7D90A301}: activates windowless when the site allows it.
const CLSID CLSID_TestWindowless = {
    0x6a1f3c52, 0x8e0b, 0x4d7a, {0x9c, 0x11, 0x2b, 0x5e, 0x7d, 0x90, 0xa3, 0x01}};
// {6A1F3C52-8E0B-4D7A-9C11-2B5E7D90A302}: always in a child window of its own.
const CLSID CLSID_TestWindowed = {
    0x6a1f3c52, 0x8e0b, 0x4d7a, {0x9c, 0x11, 0x2b, 0x5e, 0x7d, 0x90, 0xa3, 0x02}};

// {6A1F3C52-8E0B-4D7A-9C11-2B5E7D90A303}: a stand-in for the platform's web browser. It is the
// windowed control with the browser's interface besides: Navigate2 loads a document of its own
// (which answers only ICustomDoc and IDispatch) and fires NavigateComplete2 and DocumentComplete
// to the connected event sink at once, as the browser does when a page has loaded.
const CLSID CLSID_TestBrowser = {
    0x6a1f3c52, 0x8e0b, 0x4d7a, {0x9c, 0x11, 0x2b, 0x5e, 0x7d, 0x90, 0xa3, 0x03}};

#define TEST_WINDOWLESS_CLSID L"{6A1F3C52-8E0B-4D7A-9C11-2B5E7D90A301}"
#define TEST_WINDOWED_CLSID L"{6A1F3C52-8E0B-4D7A-9C11-2B5E7D90A302}"

// The windowless pattern: the left half of the bounds red, the right half
// blue; only the left half answers a hit test. The windowed object's window
// is green all over.
const COLORREF kTestLeftColour = RGB(255, 0, 0);
const COLORREF kTestRightColour = RGB(0, 0, 255);
const COLORREF kTestWindowColour = RGB(0, 170, 0);

enum TTestControlOption
{
    // The view object is only an IViewObject2 (no hit testing of its own).
    TestOptionNoViewObjectEx = 1,
    // The object keeps a reference to its client site after it is closed, as
    // a careless control might; TestControlPokeStaleSite calls it later.
    TestOptionKeepSite = 2,
};

struct TTestControlStats
{
    DWORD options;  // TTestControlOption bits, read when an object is created
    LONG liveObjects;
    LONG objectRefs;  // reference count of the newest object
    int created;
    int initNew;
    int setClientSite;
    int hostNames;
    int closes;
    int activations;
    int deactivations;
    bool windowless;
    HWND window;                  // the windowed object's own window
    HWND windowBeforeActivation;  // what the site's GetWindow said before activating
    RECT contextPos;              // position rectangle from GetWindowContext
    RECT contextClip;
    RECT objectRects;     // the last SetObjectRects position
    SIZEL extent;         // the last SetExtent, HIMETRIC
    HRESULT getDcResult;  // the site's GetDC answer when activated windowless
    HDC getDcHandle;
    int draws;
    RECT drawBounds;
    int hitQueries;
    int messages;
    UINT lastMessage;
    LPARAM lastLParam;
    int clicks;  // WM_LBUTTONDOWN seen windowless or in the own window
    LONG runningLocks;
};

#define TEST_BROWSER_CLSID L"{6A1F3C52-8E0B-4D7A-9C11-2B5E7D90A303}"

// What the stand-in browser and its documents were asked.
struct TTestBrowserStats
{
    int navigations;
    wchar_t lastUrl[128];
    int sinks;                // event sinks connected now
    int eventsFired;          // events delivered to a sink
    HRESULT lastEventResult;  // what the sink answered the last one
    int uiHandlerCalls;       // ICustomDoc::SetUIHandler on a document
    bool uiHandlerGiven;      // the last call handed a handler (not null)
    HRESULT handlerAnswer;    // the handler's answer to the document's first question (UpdateUI)
    wchar_t names[256];       // names looked up on a document (GetIDsOfNames), each followed by ';'
};

extern "C"
{
    typedef TTestControlStats*(__cdecl* TTestControlStatsProc)();
    typedef TTestBrowserStats*(__cdecl* TTestBrowserStatsProc)();
    typedef void(__cdecl* TTestControlResetProc)();
    typedef HRESULT(__cdecl* TTestControlPokeProc)();
}
// Exported names: "TestControlStats", "TestBrowserStats", "TestControlReset" (clears everything
// but the options, the browser's record too) and "TestControlPokeStaleSite" (calls the kept site's
// operations and releases it: E_UNEXPECTED when every call answered so, the
// first other answer otherwise, S_FALSE without a kept site).
