#pragma once
// How controls read their attributes.
//
// Every control class has one table with a row per attribute name it knows,
// and its SetAttribute does three things: ignore a null name (and, below the
// base control, a null value), apply the row whose name matches, and hand
// every other name to its base class's SetAttribute. The chain ends at
// CControlUI, which keeps the names no class knows as custom attributes. A
// name in a derived table therefore hides the same name of a base table.
//
// The table is a static data member of the class, so that its rows may use
// the class's protected members; each row reads the value with the helpers
// of ui/core/AttributeValues.h and calls a setter:
//
//     // Progress.h, in the class:
//     static const TAttributeRow<CProgressUI> attributeTable[];
//
//     // Progress.cpp:
//     const TAttributeRow<CProgressUI> CProgressUI::attributeTable[] = {
//         {L"min", [](CProgressUI& c, LPCWSTR v) { c.SetMinValue(ParseInt(v)); }},
//         {L"hor", [](CProgressUI& c, LPCWSTR v) { c.SetHorizontal(ParseBool(v)); }},
//     };
//
//     void CProgressUI::SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue)
//     {
//         if (pstrName == NULL || pstrValue == NULL)
//             return;
//         if (!ApplyAttributeRow(attributeTable, *this, pstrName, pstrValue))
//             CLabelUI::SetAttribute(pstrName, pstrValue);
//     }
//
// Names are matched case-sensitively (AttributeIs). Rows are tried in table
// order; keep one row per name.

#include <windows.h>

#include <stddef.h>

#include "ui/core/AttributeValues.h"

template <class T> struct TAttributeRow
{
    LPCWSTR name;
    void (*apply)(T& control, LPCWSTR value);
};

// Applies the row named name to control; false when the table has none.
template <class T, size_t N>
bool ApplyAttributeRow(const TAttributeRow<T> (&table)[N], T& control, LPCWSTR name, LPCWSTR value)
{
    for (const TAttributeRow<T>& row : table)
    {
        if (AttributeIs(name, row.name))
        {
            row.apply(control, value);
            return true;
        }
    }
    return false;
}
