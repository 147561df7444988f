#pragma once
// Attribute tables: a control class lists the attributes it reads itself, one
// row each, and hands every other name to its base class's SetAttribute.

#include <stddef.h>
#include <windows.h>

#include "ui/core/AttributeValues.h"

template <class TControl>
struct TAttributeRow
{
    LPCWSTR name;
    void (*apply)(TControl& control, LPCWSTR value);
};

// Applies the row named name; false when the table has none.
template <class TControl, size_t N>
bool ApplyAttributeRow(const TAttributeRow<TControl> (&rows)[N], TControl& control, LPCWSTR name, LPCWSTR value)
{
    for (const TAttributeRow<TControl>& row : rows)
    {
        if (AttributeIs(name, row.name))
        {
            row.apply(control, value);
            return true;
        }
    }
    return false;
}
