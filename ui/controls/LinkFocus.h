#pragma once

#include <windows.h>

#include "ui/core/UIString.h"

// Links in tagged text are reachable by the keyboard: Tab visits them one by
// one inside the control that shows them before the focus leaves it, and
// Return or Space follows the link that has the focus, as a click would.

// A tab stop with links inside it that Tab and Shift+Tab visit before leaving
// it. The manager asks it first on every Tab (never on Ctrl+Tab, which
// always leaves).
class ITabLinksUI
{
public:
    // Moves the keyboard's link on by one; false when there is none further
    // that way: the control then shows no focused link and the focus leaves.
    virtual bool MoveLinkFocus(bool bForward) = 0;
    // The control has just taken the focus by Tab (bForward) or Shift+Tab.
    virtual void EnterByTab(bool bForward) = 0;

protected:
    ~ITabLinksUI() = default;
};

// The control's links interface, null when it has none.
class CControlUI;
ITabLinksUI* AsTabLinks(CControlUI* pControl);

// The links drawn at the last paint, as tagged text records them: one entry
// per line a link covers. The keyboard goes from link to link, that is to
// the entries that start one.
struct TLinkEntries
{
    const RECT* rects;
    const CUIString* texts;
    int count;

    // Whether entry i carries on the link of entry i - 1 on a further line.
    bool ContinuesLink(int i) const;
    // The entry that starts the link after (or before) the one starting at
    // current; current -1 stands before the first link going forward and
    // after the last going back. -1 when there is none that way.
    int AdjacentLink(int current, bool bForward) const;
    // Entries from first up to (not including) the returned one make one link.
    int LinkEnd(int first) const;
};

// Frames every line of the link starting at entry first with the focus look,
// its dots in textColor (0: black).
void PaintLinkFocus(HDC hDC, const TLinkEntries& links, int first, DWORD textColor);
