#pragma once

#include <windows.h>

#include <stddef.h>

class CControlUI;

// How an element name of skin XML is compared with a tag.
enum TTagMatch
{
    AnyCase,    // element names of skins are matched ignoring case
    ExactCase,  // only the spelling of the row
};

// One element name that skins may use and the control it makes. Each control
// declares its rows right after its class, so that a new control brings its
// own name; the layout builder only walks the rows.
struct TControlTag
{
    LPCWSTR name;
    TTagMatch match;
    CControlUI* (*create)();
};

template <class TControl> CControlUI* MakeControl()
{
    return new TControl;
}

// The row for an element name, or null when no control answers to it.
const TControlTag* FindControlTag(LPCWSTR name);
