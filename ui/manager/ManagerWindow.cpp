#include "ui/manager/Manager.h"

#include <wchar.h>

#include "ui/controls/Control.h"
#include "ui/core/AttributeValues.h"
#include "ui/core/Numeric.h"
#include "ui/render/Color.h"
#include "ui/render/Renderer.h"

namespace
{
const UINT kLayeredTimerPeriod = 10;

typedef BOOL(WINAPI* TSetLayeredWindowAttributes)(HWND, COLORREF, BYTE, DWORD);

void* User32Function(LPCSTR name)
{
    HMODULE user32 = ::GetModuleHandleW(L"User32.dll");
    return user32 != NULL ? reinterpret_cast<void*>(::GetProcAddress(user32, name)) : NULL;
}

CUISize ParseSize(LPCWSTR text)
{
    int v[2];
    ParseIntList(text, v, 2);
    return CUISize(v[0], v[1]);
}

CUIRect ParseRect(LPCWSTR text)
{
    int v[4];
    ParseIntList(text, v, 4);
    return CUIRect(v[0], v[1], v[2], v[3]);
}

BYTE ParseByte(LPCWSTR text)
{
    const long value = text != NULL ? wcstol(text, NULL, 10) : 0;
    return static_cast<BYTE>(Clamp(value, 0L, 255L));
}

struct TWindowAttribute
{
    LPCWSTR name;
    bool exactCase;
    void (*apply)(CManagerUI& manager, LPCWSTR value);
};

// Sizes and rectangles are in the skin's 96-DPI pixels, kept in the window's.
const TWindowAttribute kWindowAttributes[] = {
    {L"size", false,
     [](CManagerUI& m, LPCWSTR v) {
         const CUISize s = m.ScaleSkin(ParseSize(v));
         m.SetInitSize(s.cx, s.cy);
     }},
    {L"sizebox", false, [](CManagerUI& m, LPCWSTR v) { m.SetSizeBox(m.ScaleSkin(ParseRect(v))); }},
    {L"caption", false, [](CManagerUI& m, LPCWSTR v) { m.SetCaptionRect(m.ScaleSkin(ParseRect(v))); }},
    {L"roundcorner", false,
     [](CManagerUI& m, LPCWSTR v) {
         const CUISize s = m.ScaleSkin(ParseSize(v));
         m.SetRoundCorner(s.cx, s.cy);
     }},
    {L"mininfo", false,
     [](CManagerUI& m, LPCWSTR v) {
         const CUISize s = m.ScaleSkin(ParseSize(v));
         m.SetMinInfo(s.cx, s.cy);
     }},
    {L"maxinfo", false,
     [](CManagerUI& m, LPCWSTR v) {
         const CUISize s = m.ScaleSkin(ParseSize(v));
         m.SetMaxInfo(s.cx, s.cy);
     }},
    {L"showdirty", false, [](CManagerUI& m, LPCWSTR v) { m.SetShowUpdateRect(ParseBoolIgnoringCase(v)); }},
    {L"noactivate", true, [](CManagerUI& m, LPCWSTR v) { m.SetNoActivate(ParseBoolIgnoringCase(v)); }},
    {L"opacity", false, [](CManagerUI& m, LPCWSTR v) { m.SetOpacity(ParseByte(v)); }},
    {L"layeredopacity", true, [](CManagerUI& m, LPCWSTR v) { m.SetLayeredOpacity(ParseByte(v)); }},
    {L"layeredimage", true,
     [](CManagerUI& m, LPCWSTR v) {
         m.SetLayered(true);
         m.SetLayeredImage(v);
     }},
    {L"disabledfontcolor", false,
     [](CManagerUI& m, LPCWSTR v) { m.SetDefaultDisabledColor(ParseColorValue(v)); }},
    {L"defaultfontcolor", false, [](CManagerUI& m, LPCWSTR v) { m.SetDefaultFontColor(ParseColorValue(v)); }},
    {L"linkfontcolor", false,
     [](CManagerUI& m, LPCWSTR v) { m.SetDefaultLinkFontColor(ParseColorValue(v)); }},
    {L"linkhoverfontcolor", false,
     [](CManagerUI& m, LPCWSTR v) { m.SetDefaultLinkHoverFontColor(ParseColorValue(v)); }},
    {L"selectedcolor", false,
     [](CManagerUI& m, LPCWSTR v) { m.SetDefaultSelectedBkColor(ParseColorValue(v)); }},
    {L"imagescaling", false,
     [](CManagerUI& m, LPCWSTR v) {
         m.SetImageScaling(v != NULL && _wcsicmp(v, L"nearest") == 0 ? ImageScalingNearest
                                                                     : ImageScalingSmooth);
     }},
};

const TWindowAttribute* FindWindowAttribute(LPCWSTR name)
{
    for (const TWindowAttribute& attribute : kWindowAttributes)
    {
        const bool same =
            attribute.exactCase ? wcscmp(name, attribute.name) == 0 : _wcsicmp(name, attribute.name) == 0;
        if (same)
            return &attribute;
    }
    return NULL;
}

void SetExStyleBit(HWND hWnd, DWORD bit, bool on)
{
    const DWORD style = static_cast<DWORD>(::GetWindowLongW(hWnd, GWL_EXSTYLE));
    const DWORD wanted = on ? (style | bit) : (style & ~bit);
    if (wanted != style)
        ::SetWindowLongW(hWnd, GWL_EXSTYLE, static_cast<LONG>(wanted));
}
}  // namespace

void CManagerUI::SetWindowAttribute(LPCWSTR pstrName, LPCWSTR pstrValue)
{
    if (pstrName == NULL)
        return;
    if (const TWindowAttribute* attribute = FindWindowAttribute(pstrName))
        attribute->apply(*this, pstrValue != NULL ? pstrValue : L"");
    else
        AddWindowCustomAttribute(pstrName, pstrValue);
}

void CManagerUI::SetInitSize(int cx, int cy)
{
    initSize = CUISize(cx, cy);
    if (root == NULL && paintWindow != NULL)
        ::SetWindowPos(paintWindow, NULL, 0, 0, cx, cy, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
}

void CManagerUI::SetOpacity(BYTE nOpacity)
{
    opacity = nOpacity;
    if (paintWindow == NULL)
        return;
    TSetLayeredWindowAttributes setAttributes =
        reinterpret_cast<TSetLayeredWindowAttributes>(User32Function("SetLayeredWindowAttributes"));
    if (setAttributes == NULL)
        return;
    SetExStyleBit(paintWindow, WS_EX_LAYERED, true);
    setAttributes(paintWindow, 0, nOpacity, LWA_ALPHA);
    // The system composites the whole window; the manager paints as usual.
    layered = false;
    Invalidate();
}

void CManagerUI::SetLayered(bool bLayered)
{
    if (paintWindow == NULL || bLayered == layered)
        return;
    if ((::GetWindowLongW(paintWindow, GWL_STYLE) & WS_CHILD) != 0)
        return;
    static void* const updateLayeredWindow = User32Function("UpdateLayeredWindow");
    if (updateLayeredWindow == NULL)
        return;
    if (bLayered)
        ::SetTimer(paintWindow, kLayeredTimerId, kLayeredTimerPeriod, NULL);
    else
        ::KillTimer(paintWindow, kLayeredTimerId);
    SetExStyleBit(paintWindow, WS_EX_LAYERED, bLayered);
    layered = bLayered;
    if (root != NULL)
        root->NeedUpdate();
    Invalidate();
}

void CManagerUI::SetLayeredImage(LPCWSTR pstrImage)
{
    layeredImage.Clear();
    layeredImage.drawString = pstrImage;
    const RECT none = {};
    CRenderer::DrawImageSpec(NULL, static_cast<IImageLookup*>(this), none, none, layeredImage);
}

void CManagerUI::SetLayeredOpacity(BYTE nOpacity)
{
    opacity = nOpacity;
    layeredChanged = true;
    Invalidate();
}
