#include "ui/controls/Label.h"

#include <wchar.h>

#include "ui/manager/Manager.h"
#include "ui/render/Renderer.h"

CTextUI::CTextUI() : linkCount(0), linkRects(), hotLink(-1), focusedLink(-1)
{
    textStyle = DT_WORDBREAK;
    textPadding.left = 2;
    textPadding.right = 2;
}

CTextUI::~CTextUI()
{
}

LPCWSTR CTextUI::GetClassName() const
{
    return L"Text";
}

LPVOID CTextUI::FindInterface(LPCWSTR pstrName)
{
    if (pstrName != NULL && wcscmp(pstrName, L"Text") == 0)
        return this;
    if (pstrName != NULL && wcscmp(pstrName, L"TabLinks") == 0)
        return static_cast<ITabLinksUI*>(this);
    return CLabelUI::FindInterface(pstrName);
}

UINT CTextUI::GetFlags() const
{
    if (!IsEnabled() || linkCount == 0)
        return 0;
    return FlagSetCursor | (IsKeyboardEnabled() ? FlagTabStop : 0);
}

RECT CTextUI::GetLinkRect(int index) const
{
    if (index < 0 || index >= linkCount)
        return CUIRect();
    return linkRects[index];
}

CUIString CTextUI::GetLinkText(int index) const
{
    if (index < 0 || index >= linkCount)
        return CUIString();
    return linkTexts[index];
}

int CTextUI::LinkAt(POINT pt) const
{
    for (int i = 0; i < linkCount; ++i)
    {
        if (::PtInRect(&linkRects[i], pt))
            return i;
    }
    return -1;
}

bool CTextUI::HandleLinkEvent(TControlEvent& event)
{
    switch (event.kind)
    {
    case EventSetCursor:
        if (LinkAt(event.point) < 0)
            return false;
        ::SetCursor(::LoadCursorW(NULL, IDC_HAND));
        return true;
    case EventButtonDown:
    case EventDoubleClick:
        if (!IsEnabled() || LinkAt(event.point) < 0)
            return false;
        Invalidate();
        return true;
    case EventButtonUp:
    {
        const int link = IsEnabled() ? LinkAt(event.point) : -1;
        if (link < 0)
            return false;
        if (manager != NULL)
            manager->SendNotify(this, NotifyType::Link, static_cast<WPARAM>(link), 0, false);
        return true;
    }
    case EventContextMenu:
        return true;
    case EventMouseMove:
    {
        if (!IsEnabled() || linkCount == 0)
            return false;
        const int link = LinkAt(event.point);
        if (link != hotLink)
        {
            hotLink = link;
            Invalidate();
        }
        return true;
    }
    case EventMouseLeave:
        if (!IsEnabled() || linkCount == 0 || hotLink == -1)
            return false;
        // A control drawn over the link takes the pointer without it leaving
        // the link: the link stays hot until it is left.
        if (IsRealLeave(event, linkRects[hotLink]))
        {
            hotLink = -1;
            Invalidate();
        }
        return true;
    default:
        return false;
    }
}

TLinkEntries CTextUI::Entries() const
{
    TLinkEntries entries = {linkRects, linkTexts, linkCount};
    return entries;
}

void CTextUI::SetFocusedLink(int link)
{
    if (link == focusedLink)
        return;
    focusedLink = link;
    Invalidate();
}

bool CTextUI::HasFocusedLook() const
{
    return focusedLink >= 0 || CLabelUI::HasFocusedLook();
}

bool CTextUI::MoveLinkFocus(bool bForward)
{
    // Without a focused link (the text was clicked) going back leaves at once.
    const int next = focusedLink < 0 && !bForward ? -1 : Entries().AdjacentLink(focusedLink, bForward);
    SetFocusedLink(next);
    return next >= 0;
}

void CTextUI::EnterByTab(bool bForward)
{
    SetFocusedLink(Entries().AdjacentLink(-1, bForward));
}

bool CTextUI::HandleLinkKey(TControlEvent& event)
{
    switch (event.kind)
    {
    case EventSetFocus:
    case EventKillFocus:
        // Focused by a click or code, the text shows its frame; Tab then
        // picks a link.
        SetFocusedLink(-1);
        return false;
    case EventKeyDown:
        if ((event.keyChar != VK_RETURN && event.keyChar != VK_SPACE) || focusedLink < 0 || !IsEnabled())
            return false;
        if (manager != NULL)
            manager->SendNotify(this, NotifyType::Link, static_cast<WPARAM>(focusedLink), 0, false);
        return true;
    default:
        return false;
    }
}

void CTextUI::HandleEvent(TControlEvent& event)
{
    if (PassUnreachableMouseEvent(event))
        return;
    if (!HandleLinkKey(event) && !HandleLinkEvent(event))
        CLabelUI::HandleEvent(event);
}

void CTextUI::PaintText(HDC hDC)
{
    if (text.IsEmpty())
    {
        linkCount = 0;
        hotLink = -1;
        focusedLink = -1;
        return;
    }
    FillDefaultColors();
    RECT rc = TextRect();
    if (showHtml)
    {
        linkCount = MaxLinks;
        CRenderer::DrawMarkupText(hDC, manager, rc, text, StateTextColor(), linkRects, linkTexts, linkCount,
                                  font, textStyle);
    }
    else
    {
        CRenderer::DrawText(hDC, manager, rc, text, StateTextColor(), font, textStyle);
        linkCount = 0;
    }
    if (hotLink >= linkCount)
        hotLink = -1;
    if (focusedLink >= linkCount)
        focusedLink = -1;
    if (focusedLink >= 0 && IsFocused())
        PaintLinkFocus(hDC, Entries(), focusedLink, StateTextColor());
}
