#include "ui/controls/Label.h"

#include <wchar.h>

#include "ui/manager/Manager.h"
#include "ui/render/Renderer.h"

CTextUI::CTextUI() : linkCount(0), linkRects(), hotLink(-1)
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
    return CLabelUI::FindInterface(pstrName);
}

UINT CTextUI::GetFlags() const
{
    return IsEnabled() && linkCount > 0 ? FlagSetCursor : 0;
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

void CTextUI::HandleEvent(TControlEvent& event)
{
    if (PassUnreachableMouseEvent(event))
        return;
    if (!HandleLinkEvent(event))
        CLabelUI::HandleEvent(event);
}

void CTextUI::PaintText(HDC hDC)
{
    if (text.IsEmpty())
    {
        linkCount = 0;
        hotLink = -1;
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
}
