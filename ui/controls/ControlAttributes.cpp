#include "ui/controls/Control.h"
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

}  // namespace

void CControlUI::SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue)
{
    if (pstrName == NULL)
        return;
    LPCWSTR value = pstrValue != NULL ? pstrValue : L"";
    if (!ApplyPlacementAttribute(pstrName, value) && !ApplyLookAttribute(pstrName, value) &&
        !ApplyBehaviourAttribute(pstrName, value))
        AddCustomAttribute(pstrName, value);
}

bool CControlUI::ApplyPlacementAttribute(LPCWSTR name, LPCWSTR value)
{
    if (AttributeIs(name, L"pos"))
    {
        int rc[4];
        ParseIntList(value, rc, 4);
        SetFixedXY(rc[0], rc[1]);
        SetFixedWidth(Span(rc[0], rc[2]));  // negative sizes are ignored there
        SetFixedHeight(Span(rc[1], rc[3]));
    }
    else if (AttributeIs(name, L"padding"))
    {
        int rc[4];
        ParseIntList(value, rc, 4);
        SetPadding(rc[0], rc[1], rc[2], rc[3]);
    }
    else if (AttributeIs(name, L"width"))
        SetFixedWidth(ParseInt(value));
    else if (AttributeIs(name, L"height"))
        SetFixedHeight(ParseInt(value));
    else if (AttributeIs(name, L"minwidth"))
        SetMinWidth(ParseInt(value));
    else if (AttributeIs(name, L"minheight"))
        SetMinHeight(ParseInt(value));
    else if (AttributeIs(name, L"maxwidth"))
        SetMaxWidth(ParseInt(value));
    else if (AttributeIs(name, L"maxheight"))
        SetMaxHeight(ParseInt(value));
    else if (AttributeIs(name, L"float"))
    {
        if (HasComma(value))
        {
            double fractions[4];
            ReadFractionList(value, fractions, 4);
            TPercentInfo percent = {fractions[0], fractions[1], fractions[2], fractions[3]};
            SetFloatPercent(percent);
            SetFloat(true);
        }
        else
        {
            SetFloat(ParseBool(value));
        }
    }
    else
        return false;
    return true;
}

bool CControlUI::ApplyLookAttribute(LPCWSTR name, LPCWSTR value)
{
    // Only the background colours tolerate blanks before the "#".
    if (AttributeIs(name, L"bkcolor") || AttributeIs(name, L"bkcolor1"))
        SetBkColor(ParseColorValue(value, true));
    else if (AttributeIs(name, L"bkcolor2"))
        SetBkColor2(ParseColorValue(value, true));
    else if (AttributeIs(name, L"bkcolor3"))
        SetBkColor3(ParseColorValue(value, true));
    else if (AttributeIs(name, L"bordercolor"))
        SetBorderColor(ParseColorValue(value));
    else if (AttributeIs(name, L"focusbordercolor"))
        SetFocusBorderColor(ParseColorValue(value));
    else if (AttributeIs(name, L"colorhsl"))
        SetColorHSL(ParseBool(value));
    else if (AttributeIs(name, L"bordersize"))
    {
        if (HasComma(value))
        {
            int rc[4];
            ParseIntList(value, rc, 4);
            SetBorderSize(CUIRect(rc[0], rc[1], rc[2], rc[3]));
        }
        else
        {
            SetBorderSize(ParseInt(value));
        }
    }
    else if (AttributeIs(name, L"borderstyle"))
        SetBorderStyle(ParseInt(value));
    else if (AttributeIs(name, L"borderround"))
    {
        int radii[2];
        ParseIntList(value, radii, 2);
        SetBorderRound(CUISize(radii[0], radii[1]));
    }
    else if (AttributeIs(name, L"bkimage"))
        SetBkImage(value);
    else
        return false;
    return true;
}

bool CControlUI::ApplyBehaviourAttribute(LPCWSTR name, LPCWSTR value)
{
    if (AttributeIs(name, L"name"))
        SetName(value);
    else if (AttributeIs(name, L"text"))
        SetText(value);
    else if (AttributeIs(name, L"tooltip"))
        SetToolTip(value);
    else if (AttributeIs(name, L"userdata"))
        SetUserData(value);
    else if (AttributeIs(name, L"tag"))
        SetTag(static_cast<UINT_PTR>(ParseInt(value)));
    else if (AttributeIs(name, L"enabled"))
        SetEnabled(ParseBool(value));
    else if (AttributeIs(name, L"mouse"))
        SetMouseEnabled(ParseBool(value));
    else if (AttributeIs(name, L"keyboard"))
        SetKeyboardEnabled(ParseBool(value));
    else if (AttributeIs(name, L"visible"))
        SetVisible(ParseBool(value));
    else if (AttributeIs(name, L"shortcut"))
        SetShortcut(value[0]);
    else if (AttributeIs(name, L"menu"))
        SetContextMenu(ParseBool(value));
    else if (AttributeIs(name, L"virtualwnd"))
        SetVirtualWnd(value);
    else
        return false;
    return true;
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
