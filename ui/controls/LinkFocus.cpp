#include "ui/controls/LinkFocus.h"

#include "ui/controls/Control.h"

ITabLinksUI* AsTabLinks(CControlUI* pControl)
{
    return pControl != NULL ? static_cast<ITabLinksUI*>(pControl->FindInterface(L"TabLinks")) : NULL;
}

// A link broken over lines leaves entries of the same target one under the
// other; two links to one target on the same line stay two links.
bool TLinkEntries::ContinuesLink(int i) const
{
    return i > 0 && i < count && texts[i] == texts[i - 1].GetData() && rects[i].top >= rects[i - 1].bottom;
}

int TLinkEntries::AdjacentLink(int current, bool bForward) const
{
    if (bForward)
    {
        for (int i = current < 0 ? 0 : LinkEnd(current); i < count; ++i)
        {
            if (!ContinuesLink(i))
                return i;
        }
        return -1;
    }
    for (int i = (current < 0 ? count : current) - 1; i >= 0; --i)
    {
        if (!ContinuesLink(i))
            return i;
    }
    return -1;
}

int TLinkEntries::LinkEnd(int first) const
{
    int end = first + 1;
    while (end < count && ContinuesLink(end))
        ++end;
    return end;
}

void PaintLinkFocus(HDC hDC, const TLinkEntries& links, int first, DWORD textColor)
{
    if (first < 0 || first >= links.count)
        return;
    const int end = links.LinkEnd(first);
    for (int i = first; i < end; ++i)
    {
        // The frame lies just around the link's text, so that it hides none of it.
        RECT frame = links.rects[i];
        ::InflateRect(&frame, 1, 0);
        DrawFocusFrame(hDC, frame, textColor);
    }
}
