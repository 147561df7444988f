#include "ui/controls/Control.h"

#include "ui/controls/ControlAttributes.h"
#include "ui/core/AttributeValues.h"

#include <math.h>
#include <wchar.h>

#include "ui/core/Numeric.h"
#include "ui/render/Color.h"

// Attribute values are never rejected: a malformed number reads as what can
// be read, and no reader looks past the end of its value.

namespace
{

void ReadFractionList(LPCWSTR value, double* fractions, int count)
{
    LPCWSTR p = value;
    for (int i = 0; i < count; ++i)
    {
        fractions[i] = 0.0;
        if (*p == L'\0')
            continue;
        LPWSTR end = NULL;
        const double read = wcstod(p, &end);
        fractions[i] = isfinite(read) ? read : 0.0;
        p = end;
        if (*p != L'\0')
            ++p;
    }
}

// right - left of "pos", kept inside int so that the setters see a size.
int Span(int from, int to)
{
    return SaturateInt(static_cast<long long>(to) - from);
}

bool HasComma(LPCWSTR value)
{
    return wcschr(value, L',') != NULL;
}

// The position and size rules: "pos" is left,top,right,bottom; negative
// sizes are ignored by the size setters. "float" is a boolean, or with a
// comma four fractions of the parent's size, which also make it float.
void ApplyPos(CControlUI& c, LPCWSTR v)
{
    int rc[4];
    ParseIntList(v, rc, 4);
    c.SetFixedXY(rc[0], rc[1]);
    c.SetFixedWidth(Span(rc[0], rc[2]));
    c.SetFixedHeight(Span(rc[1], rc[3]));
}

void ApplyFloat(CControlUI& c, LPCWSTR v)
{
    if (!HasComma(v))
    {
        c.SetFloat(ParseBool(v));
        return;
    }
    double fractions[4];
    ReadFractionList(v, fractions, 4);
    const TPercentInfo percent = {fractions[0], fractions[1], fractions[2], fractions[3]};
    c.SetFloatPercent(percent);
    c.SetFloat(true);
}

// One width for every side, or with a comma one per side.
void ApplyBorderSize(CControlUI& c, LPCWSTR v)
{
    if (HasComma(v))
        c.SetBorderSize(ParseIntRect(v));
    else
        c.SetBorderSize(ParseInt(v));
}

}  // namespace

// Only the background colours tolerate blanks before the "#".
const TAttributeRow<CControlUI> CControlUI::attributeTable[] = {
    // Placement.
    {L"pos", ApplyPos},
    {L"padding",
     [](CControlUI& c, LPCWSTR v) {
         const RECT rc = ParseIntRect(v);
         c.SetPadding(rc.left, rc.top, rc.right, rc.bottom);
     }},
    {L"width", [](CControlUI& c, LPCWSTR v) { c.SetFixedWidth(ParseInt(v)); }},
    {L"height", [](CControlUI& c, LPCWSTR v) { c.SetFixedHeight(ParseInt(v)); }},
    {L"minwidth", [](CControlUI& c, LPCWSTR v) { c.SetMinWidth(ParseInt(v)); }},
    {L"minheight", [](CControlUI& c, LPCWSTR v) { c.SetMinHeight(ParseInt(v)); }},
    {L"maxwidth", [](CControlUI& c, LPCWSTR v) { c.SetMaxWidth(ParseInt(v)); }},
    {L"maxheight", [](CControlUI& c, LPCWSTR v) { c.SetMaxHeight(ParseInt(v)); }},
    {L"float", ApplyFloat},
    // Looks.
    {L"bkcolor", [](CControlUI& c, LPCWSTR v) { c.SetBkColor(ParseColorValue(v, true)); }},
    {L"bkcolor1", [](CControlUI& c, LPCWSTR v) { c.SetBkColor(ParseColorValue(v, true)); }},
    {L"bkcolor2", [](CControlUI& c, LPCWSTR v) { c.SetBkColor2(ParseColorValue(v, true)); }},
    {L"bkcolor3", [](CControlUI& c, LPCWSTR v) { c.SetBkColor3(ParseColorValue(v, true)); }},
    {L"bordercolor", [](CControlUI& c, LPCWSTR v) { c.SetBorderColor(ParseColorValue(v)); }},
    {L"focusbordercolor", [](CControlUI& c, LPCWSTR v) { c.SetFocusBorderColor(ParseColorValue(v)); }},
    {L"colorhsl", [](CControlUI& c, LPCWSTR v) { c.SetColorHSL(ParseBool(v)); }},
    {L"bordersize", ApplyBorderSize},
    {L"borderstyle", [](CControlUI& c, LPCWSTR v) { c.SetBorderStyle(ParseInt(v)); }},
    {L"borderround",
     [](CControlUI& c, LPCWSTR v) {
         int r[2];
         ParseIntList(v, r, 2);
         c.SetBorderRound(CUISize(r[0], r[1]));
     }},
    {L"bkimage", [](CControlUI& c, LPCWSTR v) { c.SetBkImage(v); }},
    // Behaviour.
    {L"name", [](CControlUI& c, LPCWSTR v) { c.SetName(v); }},
    {L"text", [](CControlUI& c, LPCWSTR v) { c.SetText(v); }},
    {L"tooltip", [](CControlUI& c, LPCWSTR v) { c.SetToolTip(v); }},
    {L"accname", [](CControlUI& c, LPCWSTR v) { c.SetAccessibleName(v); }},
    {L"userdata", [](CControlUI& c, LPCWSTR v) { c.SetUserData(v); }},
    {L"tag", [](CControlUI& c, LPCWSTR v) { c.SetTag(static_cast<UINT_PTR>(ParseInt(v))); }},
    {L"enabled", [](CControlUI& c, LPCWSTR v) { c.SetEnabled(ParseBool(v)); }},
    {L"mouse", [](CControlUI& c, LPCWSTR v) { c.SetMouseEnabled(ParseBool(v)); }},
    {L"keyboard", [](CControlUI& c, LPCWSTR v) { c.SetKeyboardEnabled(ParseBool(v)); }},
    {L"visible", [](CControlUI& c, LPCWSTR v) { c.SetVisible(ParseBool(v)); }},
    {L"shortcut", [](CControlUI& c, LPCWSTR v) { c.SetShortcut(v[0]); }},
    {L"menu", [](CControlUI& c, LPCWSTR v) { c.SetContextMenu(ParseBool(v)); }},
    {L"virtualwnd", [](CControlUI& c, LPCWSTR v) { c.SetVirtualWnd(v); }},
};

void CControlUI::SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue)
{
    if (pstrName == NULL)
        return;
    LPCWSTR value = pstrValue != NULL ? pstrValue : L"";
    if (!ApplyAttributeRow(attributeTable, *this, pstrName, value))
        AddCustomAttribute(pstrName, value);
}

// name="value" pairs, one blank between pairs. The first malformed pair ends
// the list; the pairs before it stay applied. A value cannot hold a double
// quote. Every step checks for the end of the text: a list cut short (a
// trailing name without "=") stops there instead of reading on past it.
void CControlUI::ApplyAttributeList(LPCWSTR pstrList)
{
    if (pstrList == NULL)
        return;
    CUIString name;
    CUIString value;
    LPCWSTR p = pstrList;
    while (*p != L'\0')
    {
        LPCWSTR nameStart = p;
        while (*p != L'\0' && *p != L'=')
            ++p;
        if (*p != L'=')
            return;
        name.Assign(nameStart, static_cast<int>(p - nameStart));
        ++p;
        if (*p != L'"')
            return;
        LPCWSTR valueStart = ++p;
        while (*p != L'\0' && *p != L'"')
            ++p;
        if (*p != L'"')
            return;
        value.Assign(valueStart, static_cast<int>(p - valueStart));
        SetAttribute(name, value);
        ++p;
        if (*p != L' ')
            return;
        ++p;
    }
}
