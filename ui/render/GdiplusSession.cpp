#include "ui/render/GdiplusSession.h"

// Lean Windows headers leave out the COM types the GDI+ headers use.
#include <objidl.h>
#include <gdiplus.h>

namespace
{
bool StartGdiplus(ULONG_PTR* token)
{
    Gdiplus::GdiplusStartupInput input;  // version 1, no callback, no suppression
    return Gdiplus::GdiplusStartup(token, &input, NULL) == Gdiplus::Ok;
}

void StopGdiplus(ULONG_PTR token)
{
    Gdiplus::GdiplusShutdown(token);
}

struct TSessionState
{
    CGdiplusSession::StartupProc startup;
    CGdiplusSession::ShutdownProc shutdown;
    ULONG_PTR token;
    int references;
};

TSessionState& State()
{
    static TSessionState state = {StartGdiplus, StopGdiplus, 0, 0};
    return state;
}
}  // namespace

bool CGdiplusSession::Acquire()
{
    TSessionState& state = State();
    if (state.references == 0)
    {
        ULONG_PTR token = 0;
        if (!state.startup(&token))
            return false;
        state.token = token;
    }
    ++state.references;
    return true;
}

void CGdiplusSession::Release()
{
    TSessionState& state = State();
    if (state.references == 0)
        return;
    if (--state.references == 0)
    {
        state.shutdown(state.token);
        state.token = 0;
    }
}

int CGdiplusSession::GetRefCount()
{
    return State().references;
}

bool CGdiplusSession::SetProcs(StartupProc startup, ShutdownProc shutdown)
{
    TSessionState& state = State();
    if (state.references != 0)
        return false;
    state.startup = startup != NULL ? startup : StartGdiplus;
    state.shutdown = shutdown != NULL ? shutdown : StopGdiplus;
    return true;
}

Gdiplus::GpFont* CreateGdiplusFont(HDC hDC, HFONT hFont)
{
    using namespace Gdiplus::DllExports;
    Gdiplus::GpFont* font = NULL;
    LOGFONTW logFont;
    if (hFont != NULL && ::GetObjectW(hFont, sizeof(logFont), &logFont) == sizeof(logFont) &&
        GdipCreateFontFromLogfontW(hDC, &logFont, &font) == Gdiplus::Ok && font != NULL)
        return font;
    font = NULL;
    if (GdipCreateFontFromDC(hDC, &font) != Gdiplus::Ok)
        return NULL;
    return font;
}
