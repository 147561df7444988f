#include "ui/controls/TabLayout.h"

#include <wchar.h>

#include "ui/controls/ControlAttributes.h"
#include "ui/core/Numeric.h"
#include "ui/manager/Manager.h"

namespace
{
// "selectedid" goes on to the container as well: a name it does not know is
// kept as a custom attribute there.
const TAttributeRow<CTabLayoutUI> kTabAttributes[] = {
    {L"selectedid", [](CTabLayoutUI& c, LPCWSTR v) { c.SelectItem(ParseInt(v), true); }},
};
}  // namespace

CTabLayoutUI::CTabLayoutUI() : currentSel(-1)
{
}

CTabLayoutUI::~CTabLayoutUI()
{
}

LPCWSTR CTabLayoutUI::GetClassName() const
{
    return L"TabLayout";
}

LPVOID CTabLayoutUI::FindInterface(LPCWSTR pstrName)
{
    if (pstrName != NULL && wcscmp(pstrName, L"TabLayout") == 0)
        return static_cast<CTabLayoutUI*>(this);
    return CContainerUI::FindInterface(pstrName);
}

void CTabLayoutUI::SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue)
{
    if (pstrName == NULL || pstrValue == NULL)
        return;
    ApplyAttributeRow(kTabAttributes, *this, pstrName, pstrValue);
    CContainerUI::SetAttribute(pstrName, pstrValue);
}

// ---- Pages ----

void CTabLayoutUI::AfterAdd(CControlUI* pControl, int iIndex)
{
    if (currentSel == -1 && pControl->IsVisible())
    {
        currentSel = iIndex;
        return;
    }
    if (currentSel != -1 && iIndex <= currentSel)
        ++currentSel;  // the current page moved one place on
    pControl->SetVisible(false);
}

// The container's Add goes through AddAt, which this class overrides as
// well: both call the container's AddAt so that a page is counted once.
bool CTabLayoutUI::Add(CControlUI* pControl)
{
    if (!CContainerUI::AddAt(pControl, GetCount()))
        return false;
    AfterAdd(pControl, GetCount() - 1);
    return true;
}

bool CTabLayoutUI::AddAt(CControlUI* pControl, int iIndex)
{
    if (!CContainerUI::AddAt(pControl, iIndex))
        return false;
    AfterAdd(pControl, iIndex);
    return true;
}

// Removing the current page shows the first one left, without "tabselect";
// removing a page before it keeps the same page current.
bool CTabLayoutUI::Remove(CControlUI* pControl, bool bDoNotDestroy)
{
    const int index = GetItemIndex(pControl);
    if (!CContainerUI::Remove(pControl, bDoNotDestroy))
        return false;
    if (index == currentSel)
    {
        if (GetCount() == 0)
            currentSel = -1;
        else
        {
            currentSel = 0;
            GetItemAt(0)->SetVisible(true);
        }
        NeedParentUpdate();
    }
    else if (index < currentSel)
        --currentSel;
    return true;
}

void CTabLayoutUI::RemoveAll()
{
    currentSel = -1;
    CContainerUI::RemoveAll();
    NeedParentUpdate();
}

bool CTabLayoutUI::SelectItem(int iIndex, bool bNotify)
{
    if (iIndex < 0 || iIndex >= GetCount())
        return false;
    if (iIndex == currentSel)
        return true;
    const int previous = currentSel;
    currentSel = iIndex;
    for (int i = 0; i < GetCount(); ++i)
    {
        CControlUI* page = GetItemAt(i);
        if (i != iIndex)
        {
            page->SetVisible(false);
            continue;
        }
        page->SetVisible(true);
        page->SetFocus();
    }
    NeedParentUpdate();
    if (manager != NULL)
    {
        manager->SetNextTabControl();
        if (bNotify)
            manager->SendNotify(this, NotifyType::TabSelect, iIndex, previous);
    }
    return true;
}

// The current page takes the inner area (scroll bars play no part), within
// its margins and its size limits; hidden pages are not placed.
void CTabLayoutUI::SetPos(RECT rc, bool bNeedInvalidate)
{
    CControlUI::SetPos(rc, bNeedInvalidate);
    CUIRect area = itemRect;
    area.left += inset.left;
    area.top += inset.top;
    area.right -= inset.right;
    area.bottom -= inset.bottom;

    PlaceVisibleChildren([&](int i, CControlUI* child) {
        if (i != currentSel)
            return;
        const RECT pad = child->GetPadding();
        CUIRect room(area.left + pad.left, area.top + pad.top, area.right - pad.right,
                     area.bottom - pad.bottom);
        const SIZE wanted = child->EstimateSize(CUISize(room.GetWidth(), room.GetHeight()));
        int width = wanted.cx != 0 ? wanted.cx : (room.GetWidth() > 0 ? room.GetWidth() : 0);
        int height = wanted.cy != 0 ? wanted.cy : (room.GetHeight() > 0 ? room.GetHeight() : 0);
        width = Clamp(width, child->GetMinWidth(), child->GetMaxWidth());
        height = Clamp(height, child->GetMinHeight(), child->GetMaxHeight());
        child->SetPos(CUIRect(room.left, room.top, room.left + width, room.top + height), false);
    });
}
