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

extern "C"
{
    typedef TTestControlStats*(__cdecl* TTestControlStatsProc)();
    typedef void(__cdecl* TTestControlResetProc)();
    typedef HRESULT(__cdecl* TTestControlPokeProc)();
}
// Exported names: "TestControlStats", "TestControlReset" (clears everything
// but the options) and "TestControlPokeStaleSite" (calls the kept site's
// operations and releases it: E_UNEXPECTED when every call answered so, the
// first other answer otherwise, S_FALSE without a kept site).
