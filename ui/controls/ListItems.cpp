#include "ui/controls/ListItems.h"

#include <wchar.h>

#include "ui/core/AttributeValues.h"
#include "ui/manager/Manager.h"
#include "ui/render/Color.h"
#include "ui/render/GdiScope.h"
#include "ui/render/Renderer.h"

namespace
{
// The open side of a measuring rectangle: far enough that the text never
// reaches it.
const int MeasureExtent = 9999;

RECT Deflated(const RECT& rc, const RECT& padding)
{
    return CUIRect(rc.left + padding.left, rc.top + padding.top, rc.right - padding.right,
                   rc.bottom - padding.bottom);
}

bool IsOdd(int drawIndex)
{
    return (drawIndex & 1) != 0;
}

void DrawRowText(HDC hDC, CManagerUI* manager, RECT& rc, const CUIString& text, DWORD color,
                 const TLinkColors& linkColors, const TListInfo& info, UINT style)
{
    if (info.showHtml)
    {
        int links = 0;
        CLinkColorResources resources(*manager, linkColors.link, linkColors.hover);
        CRenderer::DrawMarkupText(hDC, &resources, rc, text, color, NULL, NULL, links, info.font, style);
    }
    else
        CRenderer::DrawText(hDC, manager, rc, text, color, info.font, style);
}
}  // namespace

// ---- CListItemBase ----

template <class TBase>
CListItemBase<TBase>::CListItemBase() : index(-1),
                                        drawIndex(0),
                                        selected(false),
                                        buttonState(0),
                                        owner(NULL)
{
}

template <class TBase> LPVOID CListItemBase<TBase>::FindInterface(LPCWSTR pstrName)
{
    if (pstrName != NULL && wcscmp(pstrName, L"IListItem") == 0)
        return static_cast<IListItemUI*>(this);
    return TBase::FindInterface(pstrName);
}

template <class TBase> bool CListItemBase<TBase>::Activate()
{
    if (!TBase::Activate())
        return false;
    if (this->manager != NULL)
        this->manager->SendNotify(this, NotifyType::ItemActivate);
    return true;
}

template <class TBase> void CListItemBase<TBase>::SetVisible(bool bVisible)
{
    TBase::SetVisible(bVisible);
    if (!this->IsVisible() && selected)
    {
        selected = false;
        if (owner != NULL)
            owner->SelectItem(-1, false, true);
    }
}

template <class TBase> void CListItemBase<TBase>::SetEnabled(bool bEnable)
{
    TBase::SetEnabled(bEnable);
    if (!this->IsEnabled())
        buttonState = 0;
}

template <class TBase> void CListItemBase<TBase>::SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue)
{
    if (pstrName != NULL && AttributeIs(pstrName, L"selected"))
        Select(true, true);
    else
        TBase::SetAttribute(pstrName, pstrValue);
}

template <class TBase> bool CListItemBase<TBase>::Select(bool bSelect, bool bTakeFocus)
{
    // Refusing to deselect a disabled row would leave two rows selected
    // once the owner moves its selection on.
    if (bSelect && !this->IsEnabled())
        return false;
    if (bSelect == selected)
        return true;
    selected = bSelect;
    if (bSelect && owner != NULL)
        owner->SelectItem(index, bTakeFocus, true);
    InvalidateItem();
    return true;
}

template <class TBase> void CListItemBase<TBase>::InvalidateItem()
{
    if (!this->IsVisible() || this->manager == NULL)
        return;
    CControlUI* parent = this->GetParent();
    CContainerUI* container =
        parent != NULL ? static_cast<CContainerUI*>(parent->FindInterface(L"Container")) : NULL;
    if (container == NULL)
    {
        this->Invalidate();
        return;
    }
    RECT area;
    const RECT client = container->GetClientPos();
    if (!::IntersectRect(&area, &this->GetPos(), &client))
        return;
    for (CControlUI* ancestor = parent->GetParent(); ancestor != NULL; ancestor = ancestor->GetParent())
    {
        RECT clipped;
        if (!::IntersectRect(&clipped, &area, &ancestor->GetPos()))
            return;
        area = clipped;
    }
    this->manager->InvalidateRect(area);
}

template <class TBase> void CListItemBase<TBase>::DrawItemBk(HDC hDC)
{
    TListInfo* info = Info();
    if (info == NULL)
        return;
    const bool enabled = this->IsEnabled();

    const DWORD color = ItemBkColor(*info);
    if (color != 0)
        CRenderer::DrawColor(hDC, this->GetPos(), color);

    // Image: the first state image that draws, else the row's own, else the list's.
    if (!enabled && this->DrawImage(hDC, info->disabledImage))
        return;
    if (selected && this->DrawImage(hDC, info->selectedImage))
        return;
    if (IsHot() && this->DrawImage(hDC, info->hotImage))
        return;
    if (this->bkImage != NULL && this->DrawImage(hDC, *this->bkImage))
        return;
    if (!info->alternateBk || !IsOdd(drawIndex))
        this->DrawImage(hDC, info->bkImage);
}

// Later states win.
template <class TBase> DWORD CListItemBase<TBase>::ItemBkColor(const TListInfo& info) const
{
    DWORD color = info.alternateBk && IsOdd(drawIndex) ? 0 : info.bkColor;
    if (IsHot())
        color = info.hotBkColor;
    if (selected)
        color = info.selectedBkColor;
    if (!this->IsEnabled())
        color = info.disabledBkColor;
    return color;
}

// The window's link colours where they read on the row's background. A
// selected row takes the skin's selected-link colours as they are; where a
// colour would vanish (blue links on the selection's blue, a red hot link on
// it) the row's text colour stands in, which the skin made to read there,
// or else black or white.
template <class TBase> TLinkColors CListItemBase<TBase>::ItemLinkColors(const TListInfo& info) const
{
    TLinkColors colors;
    if (this->manager == NULL)
        return colors;
    colors.link = this->manager->GetDefaultLinkFontColor();
    colors.hover = this->manager->GetDefaultLinkHoverFontColor();
    const DWORD background = ItemBkColor(info);
    const DWORD text = ItemTextColor(info);
    const bool skinLink = selected && info.selectedLinkColor != 0;
    const bool skinHover = selected && info.selectedLinkHoverColor != 0;
    if (skinLink)
        colors.link = info.selectedLinkColor;
    else if (ColorAlpha(background) != 0)
        colors.link = ReadableColorOn(background, colors.link, text);
    if (skinHover)
        colors.hover = info.selectedLinkHoverColor;
    else if (ColorAlpha(background) != 0)
        colors.hover = ReadableColorOn(background, colors.hover, text);
    return colors;
}

template <class TBase> DWORD CListItemBase<TBase>::ItemTextColor(const TListInfo& info) const
{
    DWORD color = info.textColor;
    if (IsHot())
        color = info.hotTextColor;
    if (selected)
        color = info.selectedTextColor;
    if (!this->IsEnabled())
        color = info.disabledTextColor;
    return color;
}

template <class TBase> void CListItemBase<TBase>::PassToOwner(TControlEvent& event)
{
    if (owner != NULL)
        owner->HandleItemEvent(event);
    else
        TBase::HandleEvent(event);
}

template <class TBase> void CListItemBase<TBase>::HandleRowEvent(TControlEvent& event)
{
    if (this->PassUnreachableMouseEvent(event))
        return;
    const bool enabled = this->IsEnabled();
    switch (event.kind)
    {
    case EventButtonDown:
    case EventRightButtonDown:
        if (enabled)
        {
            if (this->manager != NULL)
                this->manager->SendNotify(this, NotifyType::ItemClick);
            Select(true, true);
            InvalidateItem();
        }
        return;
    case EventButtonUp:
    case EventMouseMove:
        return;
    case EventMouseEnter:
    case EventMouseLeave:
        this->TrackHover(event, this->GetPos(), buttonState);
        return;
    case EventDoubleClick:
        if (enabled)
        {
            Activate();
            InvalidateItem();
        }
        return;
    case EventKeyDown:
        if (event.keyChar == VK_RETURN && this->IsKeyboardEnabled() && enabled)
        {
            Activate();
            InvalidateItem();
            return;
        }
        break;
    default:
        break;
    }
    PassToOwner(event);
}

template class CListItemBase<CControlUI>;
template class CListItemBase<CContainerUI>;

// ---- CListElementUI ----

LPCWSTR CListElementUI::GetClassName() const
{
    return L"ListElement";
}

LPVOID CListElementUI::FindInterface(LPCWSTR pstrName)
{
    if (pstrName != NULL && wcscmp(pstrName, L"ListElement") == 0)
        return static_cast<CListElementUI*>(this);
    return CListItemBase<CControlUI>::FindInterface(pstrName);
}

void CListElementUI::HandleEvent(TControlEvent& event)
{
    HandleRowEvent(event);
}

// ---- CListLabelElementUI ----

CListLabelElementUI::CListLabelElementUI()
    : estimateDirty(true),
      lastItemHeight(0),
      lastFont(-1),
      lastTextStyle(0),
      measureCount(0)
{
}

LPCWSTR CListLabelElementUI::GetClassName() const
{
    return L"ListLabelElement";
}

LPVOID CListLabelElementUI::FindInterface(LPCWSTR pstrName)
{
    if (pstrName != NULL && wcscmp(pstrName, L"ListLabelElement") == 0)
        return static_cast<CListLabelElementUI*>(this);
    return CListElementUI::FindInterface(pstrName);
}

void CListLabelElementUI::SetText(LPCWSTR pstrText)
{
    estimateDirty = true;
    CListElementUI::SetText(pstrText);
}

void CListLabelElementUI::SetFixedWidth(int cx)
{
    estimateDirty = true;
    CListElementUI::SetFixedWidth(cx);
}

void CListLabelElementUI::SetFixedHeight(int cy)
{
    estimateDirty = true;
    CListElementUI::SetFixedHeight(cy);
}

void CListLabelElementUI::SetOwner(CControlUI* pOwner)
{
    estimateDirty = true;
    CListElementUI::SetOwner(pOwner);
}

CUIString CListLabelElementUI::MeasuredText()
{
    return text;
}

bool CListLabelElementUI::WidthFromColumns(const TListInfo&, int&) const
{
    return false;
}

bool CListLabelElementUI::IsEstimateStale(const TListInfo& info, SIZE szAvailable,
                                          const CUIString& measured) const
{
    if (estimateDirty)
        return true;
    const bool singleLine = (info.textStyle & DT_SINGLELINE) != 0;
    if (!singleLine && (szAvailable.cx != lastAvailable.cx || szAvailable.cy != lastAvailable.cy))
        return true;
    return info.itemHeight != lastItemHeight || info.font != lastFont || info.textStyle != lastTextStyle ||
           !::EqualRect(&info.textPadding, &lastTextPadding) || measured != lastMeasured;
}

void CListLabelElementUI::MeasureInto(const TListInfo& info, const CUIString& measured, RECT& rc, UINT style)
{
    ++measureCount;
    HDC hDC = manager->GetPaintDC();
    // A DC of its own to measure on when the window has none yet.
    CMemoryDC scratch(NULL);
    if (hDC == NULL)
        hDC = scratch.Get();
    if (hDC != NULL)
        DrawRowText(hDC, manager, rc, measured, 0, TLinkColors(), info, style);
}

SIZE CListLabelElementUI::EstimateSize(SIZE szAvailable)
{
    const TListInfo* info = Info();
    if (info == NULL)
        return CUISize();
    if (fixedWidth > 0)
    {
        if (fixedHeight > 0)
            return CUISize(fixedWidth, fixedHeight);
        if (info->itemHeight != 0)
            return CUISize(fixedWidth, info->itemHeight);
    }
    // Without a window there is no font to measure with yet.
    if (manager == NULL)
        return CUISize(fixedWidth, fixedHeight != 0 ? fixedHeight : info->itemHeight);

    // A single-line row whose width is fixed or comes from the columns is as
    // tall as the font, whatever its text: the text is then not even asked for
    // (a list of many rows would ask its callback for every one).
    int knownWidth = 0;
    const bool textDecides = (info->textStyle & DT_SINGLELINE) == 0 ||
                             (fixedWidth == 0 && !WidthFromColumns(*info, knownWidth));
    const CUIString measured = textDecides ? MeasuredText() : CUIString();
    if (!IsEstimateStale(*info, szAvailable, measured))
        return estimated;
    estimateDirty = false;
    lastAvailable = szAvailable;
    lastItemHeight = info->itemHeight;
    lastFont = info->font;
    lastTextStyle = info->textStyle;
    lastTextPadding = info->textPadding;
    lastMeasured = measured;

    const RECT& padding = info->textPadding;
    int width = fixedWidth;
    int height = fixedHeight != 0 ? fixedHeight : info->itemHeight;
    // Rows in columns are as wide as the columns, whatever their text.
    const bool columnWidth = width == 0 && WidthFromColumns(*info, width);
    // Alignment would move the measured rectangle instead of sizing it.
    const UINT measureStyle = (info->textStyle & ~(DT_CENTER | DT_RIGHT)) | DT_CALCRECT;
    if ((info->textStyle & DT_SINGLELINE) != 0)
    {
        if (height == 0)
        {
            const TFontEntry* font = manager->GetFontInfo(info->font);
            height = (font != NULL ? font->metrics.tmHeight : 0) + manager->ScaleSkin(8) + padding.top +
                     padding.bottom;
        }
        if (width == 0 && !columnWidth)
        {
            RECT rc = {0, 0, MeasureExtent, height};
            MeasureInto(*info, measured, rc, measureStyle);
            width = rc.right - rc.left + padding.left + padding.right;
        }
    }
    else
    {
        if (width == 0)
            width = szAvailable.cx;
        RECT rc = {padding.left, 0, width - padding.right, MeasureExtent};
        MeasureInto(*info, measured, rc, measureStyle);
        height = rc.bottom - rc.top + padding.top + padding.bottom;
    }
    estimated = CUISize(width, height);
    return estimated;
}

bool CListLabelElementUI::PaintContent(HDC hDC, const RECT&, CControlUI*)
{
    DrawItemBk(hDC);
    DrawItemText(hDC, itemRect);
    return true;
}

void CListLabelElementUI::DrawItemText(HDC hDC, const RECT& rc)
{
    const TListInfo* info = Info();
    if (text.IsEmpty() || info == NULL)
        return;
    RECT textRect = Deflated(rc, info->textPadding);
    DrawRowText(hDC, manager, textRect, text, ItemTextColor(*info), ItemLinkColors(*info), *info,
                info->textStyle);
}

// ---- CListTextElementUI ----

CListTextElementUI::CListTextElementUI() : linkCount(0), hotLink(-1), focusedLink(-1), listOwner(NULL)
{
}

CListTextElementUI::~CListTextElementUI()
{
    for (int i = 0; i < columnTexts.GetSize(); ++i)
        delete static_cast<CUIString*>(columnTexts[i]);
}

LPCWSTR CListTextElementUI::GetClassName() const
{
    return L"ListTextElement";
}

LPVOID CListTextElementUI::FindInterface(LPCWSTR pstrName)
{
    if (pstrName != NULL && wcscmp(pstrName, L"ListTextElement") == 0)
        return static_cast<CListTextElementUI*>(this);
    return CListLabelElementUI::FindInterface(pstrName);
}

UINT CListTextElementUI::GetFlags() const
{
    return IsEnabled() && linkCount > 0 ? (RowFlag | FlagSetCursor) : RowFlag;
}

void CListTextElementUI::SetOwner(CControlUI* pOwner)
{
    CListLabelElementUI::SetOwner(pOwner);
    listOwner = pOwner != NULL ? static_cast<IListUI*>(pOwner->FindInterface(L"IList")) : NULL;
}

LPCWSTR CListTextElementUI::GetText(int iColumn) const
{
    const CUIString* stored = static_cast<const CUIString*>(columnTexts.GetAt(iColumn));
    return stored != NULL ? static_cast<LPCWSTR>(*stored) : L"";
}

void CListTextElementUI::SetText(int iColumn, LPCWSTR pstrText)
{
    if (iColumn < 0 || iColumn >= TListInfo::MaxColumns)
        return;
    while (columnTexts.GetSize() <= iColumn)
        columnTexts.Add(new CUIString);
    CUIString* stored = static_cast<CUIString*>(columnTexts[iColumn]);
    if (*stored == (pstrText != NULL ? pstrText : L""))
        return;
    *stored = pstrText != NULL ? pstrText : L"";
    estimateDirty = true;
    InvalidateItem();
}

CUIString CListTextElementUI::ColumnText(int iColumn)
{
    IListTextCallback* callback = listOwner != NULL ? listOwner->GetTextCallback() : NULL;
    if (callback != NULL)
    {
        LPCWSTR supplied = callback->GetItemText(this, index, iColumn);
        return CUIString(supplied != NULL ? supplied : L"");
    }
    return CUIString(GetText(iColumn));
}

CUIString CListTextElementUI::MeasuredText()
{
    IListTextCallback* callback = listOwner != NULL ? listOwner->GetTextCallback() : NULL;
    if (callback != NULL)
    {
        LPCWSTR supplied = callback->GetItemText(this, index, 0);
        return CUIString(supplied != NULL ? supplied : L"");
    }
    if (columnTexts.GetSize() > 0)
        return CUIString(GetText(0));
    return text;
}

bool CListTextElementUI::WidthFromColumns(const TListInfo& info, int& width) const
{
    if (info.columnCount <= 0)
        return false;
    width = info.columns[info.columnCount - 1].right - info.columns[0].left;
    return true;
}

CListTextElementUI::TLinks& CListTextElementUI::Links()
{
    if (links == nullptr)
        links.reset(new TLinks());
    return *links;
}

RECT CListTextElementUI::GetLinkRect(int iLink) const
{
    if (iLink < 0 || iLink >= linkCount)
        return CUIRect();
    return links->rects[iLink];
}

TLinkEntries CListTextElementUI::GetLinkEntries() const
{
    TLinkEntries entries = {links != nullptr ? links->rects : NULL, links != nullptr ? links->texts : NULL,
                            links != nullptr ? linkCount : 0};
    return entries;
}

void CListTextElementUI::SetFocusedLink(int iLink)
{
    if (iLink == focusedLink)
        return;
    focusedLink = iLink;
    InvalidateItem();
}

bool CListTextElementUI::Select(bool bSelect, bool bTakeFocus)
{
    if (!bSelect)
        SetFocusedLink(-1);
    return CListLabelElementUI::Select(bSelect, bTakeFocus);
}

int CListTextElementUI::LinkAt(POINT pt) const
{
    for (int i = 0; i < linkCount; ++i)
    {
        if (::PtInRect(&links->rects[i], pt))
            return i;
    }
    return -1;
}

void CListTextElementUI::DrawItemText(HDC hDC, const RECT& rc)
{
    const TListInfo* info = Info();
    linkCount = 0;
    if (listOwner == NULL || info == NULL)
        return;
    const DWORD color = ItemTextColor(*info);
    const TLinkColors linkColors = ItemLinkColors(*info);
    CLinkColorResources linkResources(*manager, linkColors.link, linkColors.hover);
    auto draw = [&](RECT& textRect, const CUIString& columnText) {
        if (!info->showHtml)
        {
            CRenderer::DrawText(hDC, manager, textRect, columnText, color, info->font, info->textStyle);
            return;
        }
        int slots = MaxLinks - linkCount;
        TLinks& found = Links();
        CRenderer::DrawMarkupText(hDC, &linkResources, textRect, columnText, color, found.rects + linkCount,
                                  found.texts + linkCount, slots, info->font, info->textStyle);
        linkCount += slots;
    };

    if (info->columnCount <= 0)
    {
        RECT textRect = Deflated(rc, info->textPadding);
        draw(textRect, MeasuredText());
    }
    for (int i = 0; i < info->columnCount; ++i)
    {
        RECT cell = {info->columns[i].left, rc.top, info->columns[i].right, rc.bottom};
        if (info->vLineSize > 0 && i < info->columnCount - 1)
        {
            const int x = cell.right - info->vLineSize / 2;
            const RECT line = {x, rc.top, x, rc.bottom};
            CRenderer::DrawLine(hDC, line, info->vLineSize, info->vLineColor);
            cell.right -= info->vLineSize;
        }
        RECT textRect = Deflated(cell, info->textPadding);
        draw(textRect, ColumnText(i));
    }
    for (int i = linkCount; links != nullptr && i < MaxLinks; ++i)
    {
        ::SetRectEmpty(&links->rects[i]);
        links->texts[i].Empty();
    }
    if (hotLink >= linkCount)
        hotLink = -1;
    if (focusedLink >= linkCount)
        focusedLink = -1;
    if (focusedLink >= 0)
        PaintLinkFocus(hDC, GetLinkEntries(), focusedLink, color);
}

void CListTextElementUI::HandleLinkEvent(TControlEvent& event)
{
    switch (event.kind)
    {
    case EventMouseMove:
    {
        const int link = LinkAt(event.point);
        if (link != hotLink)
        {
            hotLink = link;
            InvalidateItem();
        }
        break;
    }
    case EventMouseLeave:
        if (hotLink < 0 || links == nullptr || !IsRealLeave(event, links->rects[hotLink]))
            break;
        hotLink = -1;
        InvalidateItem();
        break;
    default:
        break;
    }
}

void CListTextElementUI::HandleEvent(TControlEvent& event)
{
    if (IsMouseEnabled())
    {
        if (event.kind == EventSetCursor && LinkAt(event.point) >= 0)
        {
            ::SetCursor(::LoadCursorW(NULL, IDC_HAND));
            return;
        }
        if (event.kind == EventButtonUp && IsEnabled())
        {
            const int link = LinkAt(event.point);
            if (link >= 0 && manager != NULL)
            {
                manager->SendNotify(this, NotifyType::Link, static_cast<WPARAM>(link));
                return;
            }
        }
        HandleLinkEvent(event);
    }
    CListLabelElementUI::HandleEvent(event);
}

// ---- CListContainerElementUI ----

CListContainerElementUI::CListContainerElementUI() : expandable(false), expanded(false)
{
}

LPCWSTR CListContainerElementUI::GetClassName() const
{
    return L"ListContainerElement";
}

LPVOID CListContainerElementUI::FindInterface(LPCWSTR pstrName)
{
    if (pstrName != NULL && wcscmp(pstrName, L"ListContainerElement") == 0)
        return static_cast<CListContainerElementUI*>(this);
    return CListItemBase<CContainerUI>::FindInterface(pstrName);
}

void CListContainerElementUI::HandleEvent(TControlEvent& event)
{
    HandleRowEvent(event);
}

void CListContainerElementUI::SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue)
{
    if (pstrName != NULL && pstrValue != NULL && AttributeIs(pstrName, L"expandable"))
        SetExpandable(ParseBool(pstrValue));
    else
        CListItemBase<CContainerUI>::SetAttribute(pstrName, pstrValue);
}

SIZE CListContainerElementUI::EstimateSize(SIZE)
{
    const TListInfo* info = Info();
    const int height = fixedHeight != 0 ? fixedHeight : (info != NULL ? info->itemHeight : 0);
    return CUISize(fixedWidth, height);
}

bool CListContainerElementUI::PaintContent(HDC hDC, const RECT& rcPaint, CControlUI* pStopControl)
{
    DrawItemBk(hDC);
    return CContainerUI::PaintContent(hDC, rcPaint, pStopControl);
}

bool CListContainerElementUI::Expand(bool bExpand)
{
    if (owner == NULL)
        return false;
    if (bExpand == expanded)
        return true;
    expanded = bExpand;
    if (!expandable)
        return true;
    if (!owner->ExpandItem(index, bExpand))
    {
        expanded = !bExpand;
        return false;
    }
    if (manager != NULL)
        manager->SendNotify(this, bExpand ? NotifyType::ItemExpand : NotifyType::ItemCollapse);
    return true;
}

// ---- CListHBoxElementUI ----

LPCWSTR CListHBoxElementUI::GetClassName() const
{
    return L"ListHBoxElement";
}

LPVOID CListHBoxElementUI::FindInterface(LPCWSTR pstrName)
{
    if (pstrName != NULL && wcscmp(pstrName, L"ListHBoxElement") == 0)
        return static_cast<CListHBoxElementUI*>(this);
    return CListContainerElementUI::FindInterface(pstrName);
}

void CListHBoxElementUI::SetPos(RECT rc, bool bNeedInvalidate)
{
    if (owner == NULL)
    {
        CListContainerElementUI::SetPos(rc, bNeedInvalidate);
        return;
    }
    CControlUI::SetPos(rc, bNeedInvalidate);
    const TListInfo* info = Info();
    if (info == NULL)
        return;
    int column = 0;
    PlaceVisibleChildren([&](int, CControlUI* child) {
        const RECT pad = child->GetPadding();
        if (info->columnCount <= 0)
        {
            // Without columns every child takes the whole row.
            child->SetPos(Deflated(itemRect, pad), false);
            return;
        }
        if (column >= info->columnCount)
            return;  // more children than columns: the rest are not placed
        RECT cell = {info->columns[column].left + pad.left, itemRect.top + pad.top,
                     info->columns[column].right - pad.right, itemRect.bottom - pad.bottom};
        if (info->vLineSize > 0 && column < info->columnCount - 1)
            cell.right -= info->vLineSize;
        child->SetPos(cell, false);
        ++column;
    });
}

bool CListHBoxElementUI::PaintContent(HDC hDC, const RECT& rcPaint, CControlUI* pStopControl)
{
    const TListInfo* info = Info();
    if (info == NULL)
        return true;
    DrawItemBk(hDC);
    if (info->vLineSize > 0)
    {
        for (int i = 0; i < info->columnCount - 1; ++i)
        {
            const int x = info->columns[i].right - info->vLineSize / 2;
            const RECT line = {x, itemRect.top, x, itemRect.bottom};
            CRenderer::DrawLine(hDC, line, info->vLineSize, info->vLineColor);
        }
    }
    return CContainerUI::PaintContent(hDC, rcPaint, pStopControl);
}
