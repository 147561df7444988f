#include "ui/controls/Combo.h"

#include <wchar.h>

#include "ui/controls/ComboWnd.h"
#include "ui/core/AttributeValues.h"
#include "ui/render/ClipScope.h"
#include "ui/render/Renderer.h"

namespace
{
int DefaultLineHeight(CManagerUI* manager)
{
    const TFontEntry* font = manager != NULL ? manager->GetDefaultFontInfo() : NULL;
    return (font != NULL ? font->metrics.tmHeight : 0) + (manager != NULL ? manager->ScaleSkin(8) : 8);
}
}  // namespace

CComboUI::CComboUI()
    : dropDown(NULL),
      curSel(-1),
      showText(true),
      closeOnSelect(true),
      buttonState(0),
      dropBoxSize(0, 150)
{
}

CComboUI::~CComboUI()
{
    // Destroying the drop-down gives the rows back before the container
    // deletes them.
    if (dropDown != NULL && ::IsWindow(dropDown->GetHWND()))
        ::DestroyWindow(dropDown->GetHWND());
}

LPCWSTR CComboUI::GetClassName() const
{
    return L"Combo";
}

LPVOID CComboUI::FindInterface(LPCWSTR pstrName)
{
    if (pstrName != NULL && wcscmp(pstrName, L"IListOwner") == 0)
        return static_cast<IListOwnerUI*>(this);
    if (pstrName != NULL && wcscmp(pstrName, L"Combo") == 0)
        return static_cast<CComboUI*>(this);
    return CContainerUI::FindInterface(pstrName);
}

UINT CComboUI::GetFlags() const
{
    return FlagTabStop;
}

bool CComboUI::Activate()
{
    if (!CControlUI::Activate())
        return false;
    if (dropDown == NULL && CComboWnd::Open(this) != NULL && manager != NULL)
        manager->SendNotify(this, NotifyType::DropDown);
    Invalidate();
    return true;
}

CUIString CComboUI::GetText() const
{
    CControlUI* row = GetItemAt(curSel);
    return row != NULL ? row->GetText() : CUIString();
}

void CComboUI::SetPos(RECT rc, bool bNeedInvalidate)
{
    // While the drop-down holds the rows they are laid out there.
    if (dropDown == NULL || !dropDown->HoldsItems())
        ParkItems();
    CControlUI::SetPos(rc, bNeedInvalidate);
}

void CComboUI::ParkItems()
{
    const RECT none = {};
    for (int i = 0; i < items.GetSize(); ++i)
        static_cast<CControlUI*>(items[i])->SetPos(none, false);
}

CControlUI* CComboUI::FindControl(FINDCONTROLPROC Proc, LPVOID pData, UINT uFlags)
{
    if ((uFlags & FindHitTest) != 0)
        return CControlUI::FindControl(Proc, pData, uFlags);
    return CContainerUI::FindControl(Proc, pData, uFlags);
}

void CComboUI::MoveBy(int dx, int dy, bool bNeedInvalidate)
{
    CControlUI::MoveBy(dx, dy, bNeedInvalidate);
}

void CComboUI::SetEnabled(bool bEnable)
{
    CContainerUI::SetEnabled(bEnable);
    if (!IsEnabled())
        buttonState = 0;
}

SIZE CComboUI::EstimateSize(SIZE szAvailable)
{
    if (fixedHeight != 0)
        return CControlUI::EstimateSize(szAvailable);
    return CUISize(fixedWidth, DefaultLineHeight(manager));
}

void CComboUI::SetShowText(bool bShow)
{
    SetAndInvalidate(showText, bShow);
}
void CComboUI::SetTextPadding(RECT rc)
{
    SetAndInvalidate(textPadding, CUIRect(rc));
}

void CComboUI::SetNormalImage(LPCWSTR pStrImage)
{
    ReplaceImage(normalImage, pStrImage);
}

void CComboUI::SetHotImage(LPCWSTR pStrImage)
{
    ReplaceImage(hotImage, pStrImage);
}

void CComboUI::SetPushedImage(LPCWSTR pStrImage)
{
    ReplaceImage(pushedImage, pStrImage);
}

void CComboUI::SetFocusedImage(LPCWSTR pStrImage)
{
    ReplaceImage(focusedImage, pStrImage);
}

void CComboUI::SetDisabledImage(LPCWSTR pStrImage)
{
    ReplaceImage(disabledImage, pStrImage);
}

// ---- Children ----

void CComboUI::Renumber(int first)
{
    for (int i = first < 0 ? 0 : first; i < items.GetSize(); ++i)
    {
        if (IListItemUI* row = AsListItem(static_cast<CControlUI*>(items[i])))
            row->SetIndex(i);
    }
}

bool CComboUI::Add(CControlUI* pControl)
{
    if (IListItemUI* row = AsListItem(pControl))
    {
        row->SetOwner(this);
        row->SetIndex(items.GetSize());
    }
    return CContainerUI::Add(pControl);
}

bool CComboUI::AddAt(CControlUI* pControl, int iIndex)
{
    if (!CContainerUI::AddAt(pControl, iIndex))
        return false;
    if (IListItemUI* row = AsListItem(pControl))
        row->SetOwner(this);
    Renumber(iIndex);
    SelectionAfterInsert(curSel, iIndex);
    return true;
}

bool CComboUI::Remove(CControlUI* pControl, bool bDoNotDestroy)
{
    const int index = GetItemIndex(pControl);
    if (index < 0)
        return false;
    if (dropDown != NULL)
        dropDown->ForgetItem(pControl);
    if (!CContainerUI::Remove(pControl, bDoNotDestroy))
        return false;
    AfterRowRemoved(index);
    return true;
}

bool CComboUI::RemoveAt(int iIndex, bool bDoNotDestroy)
{
    CControlUI* row = GetItemAt(iIndex);
    return row != NULL && Remove(row, bDoNotDestroy);
}

void CComboUI::RemoveAll()
{
    if (dropDown != NULL)
    {
        for (int i = 0; i < items.GetSize(); ++i)
            dropDown->ForgetItem(static_cast<CControlUI*>(items[i]));
    }
    curSel = -1;
    CContainerUI::RemoveAll();
}

void CComboUI::AfterRowRemoved(int index)
{
    Renumber(index);
    if (SelectionAfterRemove(curSel, index))
        SelectItem(FindSelectable(index, false), false, true);
}

bool CComboUI::SetItemIndex(CControlUI* pControl, int iNewIndex)
{
    CControlUI* selected = GetItemAt(curSel);
    const int oldIndex = GetItemIndex(pControl);
    if (!CContainerUI::SetItemIndex(pControl, iNewIndex))
        return false;
    Renumber(oldIndex < iNewIndex ? oldIndex : iNewIndex);
    curSel = selected != NULL ? GetItemIndex(selected) : -1;
    return true;
}

bool CComboUI::SetMultiItemIndex(CControlUI* pStartControl, int iCount, int iNewStartIndex)
{
    CControlUI* selected = GetItemAt(curSel);
    const int oldIndex = GetItemIndex(pStartControl);
    if (!CContainerUI::SetMultiItemIndex(pStartControl, iCount, iNewStartIndex))
        return false;
    Renumber(oldIndex < iNewStartIndex ? oldIndex : iNewStartIndex);
    curSel = selected != NULL ? GetItemIndex(selected) : -1;
    return true;
}

// ---- Selection ----

bool CComboUI::SelectItem(int iIndex, bool bTakeFocus, bool bSendNotify)
{
    if (closeOnSelect && dropDown != NULL)
        dropDown->Close(1);
    if (iIndex == curSel)
        return true;
    const int previous = DropSelection(curSel, GetItemAt(curSel), bSendNotify);
    if (iIndex < 0 || items.IsEmpty())
        return false;
    if (iIndex >= items.GetSize())
        iIndex = items.GetSize() - 1;
    CControlUI* control = GetItemAt(iIndex);
    IListItemUI* row = SelectableRow(control);
    if (row == NULL)
        return false;
    curSel = iIndex;
    if (dropDown != NULL || bTakeFocus)
        control->SetFocus();
    row->Select(true, bSendNotify);
    if (manager != NULL && bSendNotify)
        manager->SendNotify(this, NotifyType::ItemSelect, static_cast<WPARAM>(curSel),
                            static_cast<LPARAM>(previous));
    Invalidate();
    return true;
}

void CComboUI::SelectFrom(int index, bool bForward)
{
    const bool closing = closeOnSelect;
    closeOnSelect = false;
    SelectItem(FindSelectable(index, bForward), false, true);
    closeOnSelect = closing;
}

// ---- Events ----

bool CComboUI::HandleKey(WORD key)
{
    switch (key)
    {
    case VK_F4:
        Activate();
        return true;
    case VK_UP:
    case VK_PRIOR:
        SelectFrom(curSel - 1, false);
        return true;
    case VK_DOWN:
    case VK_NEXT:
        SelectFrom(curSel + 1, true);
        return true;
    case VK_HOME:
        SelectFrom(0, false);
        return true;
    case VK_END:
        SelectFrom(GetCount() - 1, true);
        return true;
    default:
        return false;
    }
}

void CComboUI::HandleEvent(TControlEvent& event)
{
    if (PassUnreachableMouseEvent(event))
        return;
    switch (event.kind)
    {
    case EventButtonDown:
        if (IsEnabled())
        {
            Activate();
            buttonState |= StatePushed | StateCaptured;
        }
        return;
    case EventButtonUp:
        if ((buttonState & StateCaptured) != 0)
        {
            buttonState &= ~StateCaptured;
            Invalidate();
        }
        return;
    case EventMouseMove:
    case EventContextMenu:
        return;
    case EventKeyDown:
        if (IsKeyboardEnabled() && IsEnabled())
        {
            HandleKey(event.keyChar);
            return;
        }
        break;
    case EventScrollWheel:
        if (IsEnabled())
        {
            if (event.wParam == 1)
                SelectFrom(curSel + 1, true);
            else
                SelectFrom(curSel - 1, false);
            return;
        }
        break;
    case EventMouseEnter:
    case EventMouseLeave:
        TrackHover(event, itemRect, buttonState);
        return;
    default:
        break;
    }
    // Focus changes repaint the box through the control's own handling.
    CControlUI::HandleEvent(event);
}

// ---- Attributes ----

const TAttributeRow<CComboUI> CComboUI::attributeTable[] = {
    {L"textpadding", [](CComboUI& c, LPCWSTR v) { c.SetTextPadding(c.ScaleSkin(ParseIntRect(v))); }},
    {L"showtext", [](CComboUI& c, LPCWSTR v) { c.SetShowText(ParseBool(v)); }},
    {L"normalimage", [](CComboUI& c, LPCWSTR v) { c.SetNormalImage(v); }},
    {L"hotimage", [](CComboUI& c, LPCWSTR v) { c.SetHotImage(v); }},
    {L"pushedimage", [](CComboUI& c, LPCWSTR v) { c.SetPushedImage(v); }},
    {L"focusedimage", [](CComboUI& c, LPCWSTR v) { c.SetFocusedImage(v); }},
    {L"disabledimage", [](CComboUI& c, LPCWSTR v) { c.SetDisabledImage(v); }},
    {L"dropbox", [](CComboUI& c, LPCWSTR v) { c.SetDropBoxAttributeList(v); }},
    {L"dropboxsize",
     [](CComboUI& c, LPCWSTR v) {
         int size[2];
         ParseIntList(v, size, 2);
         c.SetDropBoxSize(c.ScaleSkin(CUISize(size[0], size[1])));
     }},
};

void CComboUI::SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue)
{
    if (pstrName == NULL || pstrValue == NULL)
        return;
    if (!ApplyAttributeRow(attributeTable, *this, pstrName, pstrValue) &&
        !ApplyListInfoAttribute(info, *this, pstrName, pstrValue, false))
        CContainerUI::SetAttribute(pstrName, pstrValue);
}

// ---- Painting ----

bool CComboUI::PaintContent(HDC hDC, const RECT& rcPaint, CControlUI* pStopControl)
{
    return CControlUI::PaintContent(hDC, rcPaint, pStopControl);
}

void CComboUI::DrawStateOrNormal(HDC hDC, TDrawSpec& image)
{
    if (!DrawImage(hDC, image))
        DrawImage(hDC, normalImage);
}

bool CComboUI::HasFocusedLook() const
{
    return !focusedImage.drawString.IsEmpty() || CContainerUI::HasFocusedLook();
}

void CComboUI::PaintStatusImage(HDC hDC)
{
    if (IsFocused())
        buttonState |= StateFocused;
    else
        buttonState &= ~StateFocused;
    if (!IsEnabled())
        buttonState |= StateDisabled;
    else
        buttonState &= ~StateDisabled;

    if ((buttonState & StateDisabled) != 0)
        DrawStateOrNormal(hDC, disabledImage);
    else if ((buttonState & StatePushed) != 0)
        DrawStateOrNormal(hDC, pushedImage);
    else if ((buttonState & StateHot) != 0)
        DrawStateOrNormal(hDC, hotImage);
    else if ((buttonState & StateFocused) != 0)
        DrawStateOrNormal(hDC, focusedImage);
    else
        DrawImage(hDC, normalImage);
}

void CComboUI::PaintText(HDC hDC)
{
    CControlUI* selected = GetItemAt(curSel);
    if (!showText || selected == NULL)
        return;
    const RECT rc = {itemRect.left + textPadding.left, itemRect.top + textPadding.top,
                     itemRect.right - textPadding.right, itemRect.bottom - textPadding.bottom};
    if (IListItemUI* row = AsListItem(selected))
    {
        row->DrawItemText(hDC, rc);
        return;
    }
    const RECT old = selected->GetPos();
    selected->SetPos(rc, false);
    selected->Paint(hDC, rc, NULL);
    selected->SetPos(old, false);
}

// ---- CComboBodyUI ----

bool CComboBodyUI::PaintContent(HDC hDC, const RECT& rcPaint, CControlUI* pStopControl)
{
    const TListInfo* info = owner != NULL ? owner->GetListInfo() : NULL;
    int drawIndex = 0;
    for (int i = 0; i < items.GetSize(); ++i)
    {
        CControlUI* row = static_cast<CControlUI*>(items[i]);
        if (!row->IsVisible() || row->IsFloat())
            continue;
        if (IListItemUI* item = AsListItem(row))
            item->SetDrawIndex(drawIndex);
        ++drawIndex;
    }
    if (!CVerticalLayoutUI::PaintContent(hDC, rcPaint, pStopControl))
        return false;
    if (info == NULL || info->hLineSize <= 0)
        return true;
    RECT area;
    const RECT inner = InnerRect();
    if (!::IntersectRect(&area, &rcPaint, &inner))
        return true;
    CClipScope clip;
    CClipScope::ClipRect(hDC, area, clip);
    for (int i = 0; i < items.GetSize(); ++i)
    {
        CControlUI* row = static_cast<CControlUI*>(items[i]);
        if (!row->IsVisible() || row->IsFloat())
            continue;
        const RECT& pos = row->GetPos();
        const int y = pos.bottom + row->GetPadding().bottom + info->hLineSize / 2;
        const RECT line = {pos.left, y, pos.right, y};
        CRenderer::DrawLine(hDC, line, info->hLineSize, info->hLineColor);
    }
    return true;
}

void CComboUI::ScaleGeometry(int fromDpi, int toDpi)
{
    textPadding = Rescale(textPadding, fromDpi, toDpi);
    dropBoxSize = Rescale(dropBoxSize, fromDpi, toDpi);
    RescaleListInfo(info, fromDpi, toDpi);
    CContainerUI::ScaleGeometry(fromDpi, toDpi);
}
