#include "ui/controls/Control.h"

#include <math.h>
#include <limits.h>

#include "ui/core/Numeric.h"
#include "ui/manager/Manager.h"
#include "ui/manager/ManagerAccessible.h"

CControlUI::CControlUI()
    : manager(NULL),
      parent(NULL),
      cover(NULL),
      needUpdate(true),
      contextMenu(false),
      fixedWidth(0),
      fixedHeight(0),
      minWidth(0),
      minHeight(0),
      maxWidth(9999),
      maxHeight(9999),
      visible(true),
      inheritedVisible(true),
      enabled(true),
      mouseEnabled(true),
      keyboardEnabled(true),
      focused(false),
      isFloat(false),
      floatPercent{0.0, 0.0, 0.0, 0.0},
      shortcut(0),
      tag(0),
      bkColor(0),
      bkColor2(0),
      bkColor3(0),
      borderColor(0),
      focusBorderColor(0),
      colorHsl(false),
      borderStyle(0),
      toolTipWidth(300),
      inSizeHandlers(false)
{
}

void CControlUI::Delete()
{
    if (manager != NULL)
        manager->RemoveMouseLeaveNeeded(this);
    delete this;
}

CControlUI::~CControlUI()
{
    if (cover != NULL)
    {
        cover->Delete();
        cover = NULL;
    }
    RemoveAllCustomAttributes();
    destroyHandlers(this);
    ForgetAccessibleControl(this);
    if (manager != NULL)
        manager->ForgetControl(this);
}

CUIString CControlUI::GetName() const
{
    return name;
}

void CControlUI::SetName(LPCWSTR pstrName)
{
    if (name == pstrName)
        return;
    const CUIString oldName = name;
    name = pstrName;
    if (manager != NULL)
        manager->OnControlRenamed(this, oldName);
}

LPCWSTR CControlUI::GetClassName() const
{
    return L"Control";
}

LPVOID CControlUI::FindInterface(LPCWSTR pstrName)
{
    if (pstrName != NULL && wcscmp(pstrName, L"Control") == 0)
        return this;
    return NULL;
}

UINT CControlUI::GetFlags() const
{
    return 0;
}

HWND CControlUI::GetNativeWindow() const
{
    return NULL;
}

bool CControlUI::Activate()
{
    return IsVisible() && IsEnabled();
}

CManagerUI* CControlUI::GetManager() const
{
    return manager;
}

void CControlUI::SetManager(CManagerUI* pManager, CControlUI* pParent, bool bInit)
{
    if (cover != NULL)
        cover->SetManager(pManager, this, bInit);
    manager = pManager;
    parent = pParent;
    if (bInit && parent != NULL)
        Init();
}

CControlUI* CControlUI::GetParent() const
{
    return parent;
}

CControlUI* CControlUI::GetCover() const
{
    return cover;
}

void CControlUI::SetCover(CControlUI* pControl)
{
    if (pControl == cover)
        return;
    if (cover != NULL)
        cover->Delete();
    cover = pControl;
    if (cover == NULL)
        return;
    // A cover given before the control is attached still needs its parent;
    // it gets the manager with the control.
    if (manager != NULL)
        manager->InitControls(cover, this);
    else
        cover->SetManager(NULL, this, false);
    if (IsVisible())
        NeedUpdate();
    else
        cover->SetInheritedVisible(false);
}

CUIString CControlUI::GetText() const
{
    return text;
}

void CControlUI::SetText(LPCWSTR pstrText)
{
    if (text == pstrText)
        return;
    text = pstrText;
    Invalidate();
}

const RECT& CControlUI::GetPos() const
{
    return itemRect;
}

RECT CControlUI::GetRelativePos() const
{
    if (parent == NULL)
        return CUIRect();
    CUIRect rc = itemRect;
    const RECT& parentPos = parent->GetPos();
    rc.Offset(-parentPos.left, -parentPos.top);
    return rc;
}

RECT CControlUI::GetClientPos() const
{
    return itemRect;
}

namespace
{
// The one rounding rule of float placement: the share of a parent's size,
// truncated towards zero. Fractions that are not numbers count as 0.
long long ScaledShare(int size, double fraction)
{
    if (!isfinite(fraction))
        return 0;
    const double share = trunc(static_cast<double>(size) * fraction);
    return static_cast<long long>(Clamp(share, INT_MIN, INT_MAX));
}
}  // namespace

RECT CControlUI::CalcFloatPos(int parentWidth, int parentHeight) const
{
    const long long cx = fixedXY.cx;
    const long long cy = fixedXY.cy;
    RECT rc;
    rc.left = SaturateInt(ScaledShare(parentWidth, floatPercent.left) + cx);
    rc.top = SaturateInt(ScaledShare(parentHeight, floatPercent.top) + cy);
    rc.right = SaturateInt(ScaledShare(parentWidth, floatPercent.right) + fixedWidth + cx);
    rc.bottom = SaturateInt(ScaledShare(parentHeight, floatPercent.bottom) + fixedHeight + cy);
    return rc;
}

void CControlUI::PlaceFloat(const RECT& rcRelative)
{
    const RECT& parentRect = parent->GetPos();
    const int width = parentRect.right - parentRect.left;
    const int height = parentRect.bottom - parentRect.top;
    itemRect = rcRelative;
    itemRect.Offset(parentRect.left, parentRect.top);
    // The inverse of CalcFloatPos, so that the parent puts the control back
    // exactly where it is now.
    fixedXY.cx = SaturateInt(rcRelative.left - ScaledShare(width, floatPercent.left));
    fixedXY.cy = SaturateInt(rcRelative.top - ScaledShare(height, floatPercent.top));
    fixedWidth = SaturateInt(static_cast<long long>(rcRelative.right) -
                             ScaledShare(width, floatPercent.right) - fixedXY.cx);
    fixedHeight = SaturateInt(static_cast<long long>(rcRelative.bottom) -
                              ScaledShare(height, floatPercent.bottom) - fixedXY.cy);
}

void CControlUI::RunSizeHandlers()
{
    // A size handler that places the control again must not recurse.
    if (inSizeHandlers)
        return;
    inSizeHandlers = true;
    sizeHandlers(this);
    inSizeHandlers = false;
}

void CControlUI::InvalidateMoved(CUIRect area)
{
    area.Join(itemRect);
    if (ClipToAncestors(area, true))
        manager->Invalidate(area);
}

// The cover follows the control wherever it went, also when the move itself
// could not be seen: a cover left behind would stay displaced once scrolling
// brings the control back into view.
void CControlUI::PlaceCover()
{
    if (cover == NULL || !cover->IsVisible())
        return;
    RECT rc;
    if (cover->IsFloat())
    {
        rc = cover->CalcFloatPos(itemRect.GetWidth(), itemRect.GetHeight());
    }
    else
    {
        rc = itemRect;
        rc.right = rc.left + Clamp(itemRect.GetWidth(), cover->GetMinWidth(), cover->GetMaxWidth());
        rc.bottom = rc.top + Clamp(itemRect.GetHeight(), cover->GetMinHeight(), cover->GetMaxHeight());
    }
    cover->SetPos(rc, false);
}

void CControlUI::SetPos(RECT rc, bool bNeedInvalidate)
{
    // Negative sizes become empty ones.
    rc.right = rc.right > rc.left ? rc.right : rc.left;
    rc.bottom = rc.bottom > rc.top ? rc.bottom : rc.top;

    // What was there must be repainted too.
    const CUIRect oldRect = itemRect;

    // A float control without a parent has nothing to be relative to.
    if (!isFloat)
        itemRect = rc;
    else if (parent != NULL)
        PlaceFloat(rc);

    // A detached control only records where it is; an attached one tells its
    // size handlers, counts as laid out, repaints and takes its cover along.
    if (manager == NULL)
        return;
    RunSizeHandlers();
    needUpdate = false;
    if (bNeedInvalidate && IsVisible())
        InvalidateMoved(::IsRectEmpty(&oldRect) ? itemRect : oldRect);
    PlaceCover();
}

void CControlUI::MoveBy(int dx, int dy, bool bNeedInvalidate)
{
    const CUIRect oldRect = itemRect;
    itemRect.Offset(dx, dy);
    if (bNeedInvalidate && manager != NULL && IsVisible())
        InvalidateMoved(oldRect);
    if (cover != NULL && cover->IsVisible())
        cover->MoveBy(dx, dy, false);
}

int CControlUI::GetWidth() const
{
    return itemRect.GetWidth();
}
int CControlUI::GetHeight() const
{
    return itemRect.GetHeight();
}
int CControlUI::GetX() const
{
    return itemRect.left;
}
int CControlUI::GetY() const
{
    return itemRect.top;
}

RECT CControlUI::GetPadding() const
{
    return padding;
}

void CControlUI::SetPadding(int left, int top, int right, int bottom)
{
    padding = CUIRect(left, top, right, bottom);
    NeedParentUpdate();
}

SIZE CControlUI::GetFixedXY() const
{
    return fixedXY;
}

void CControlUI::SetFixedXY(int cx, int cy)
{
    fixedXY = CUISize(cx, cy);
    NeedParentUpdate();
}

TPercentInfo CControlUI::GetFloatPercent() const
{
    return floatPercent;
}

void CControlUI::SetFloatPercent(TPercentInfo percent)
{
    floatPercent = percent;
    NeedParentUpdate();
}

int CControlUI::GetFixedWidth() const
{
    return fixedWidth;
}
int CControlUI::GetFixedHeight() const
{
    return fixedHeight;
}

// The parent is asked to re-layout even for an unchanged value.
void CControlUI::SetFixedWidth(int cx)
{
    if (cx < 0)
        return;
    fixedWidth = cx;
    NeedParentUpdate();
}

void CControlUI::SetFixedHeight(int cy)
{
    if (cy < 0)
        return;
    fixedHeight = cy;
    NeedParentUpdate();
}

namespace
{
// The min/max setters share one rule: negative or unchanged values are ignored.
bool StoreLimit(int& field, int value)
{
    if (value < 0 || value == field)
        return false;
    field = value;
    return true;
}

// A text that most controls never have: an empty text frees its block, so
// "not set" and "set to nothing" read alike.
void StoreRareText(std::unique_ptr<CUIString>& field, LPCWSTR text)
{
    if (text == NULL || *text == L'\0')
        field.reset();
    else if (field != NULL)
        *field = text;
    else
        field.reset(new CUIString(text));
}
}  // namespace

int CControlUI::GetMinWidth() const
{
    return minWidth;
}
int CControlUI::GetMaxWidth() const
{
    return maxWidth > minWidth ? maxWidth : minWidth;
}
int CControlUI::GetMinHeight() const
{
    return minHeight;
}
int CControlUI::GetMaxHeight() const
{
    return maxHeight > minHeight ? maxHeight : minHeight;
}

void CControlUI::SetMinWidth(int cx)
{
    if (StoreLimit(minWidth, cx))
        NeedParentUpdate();
}

void CControlUI::SetMaxWidth(int cx)
{
    if (StoreLimit(maxWidth, cx))
        NeedParentUpdate();
}

void CControlUI::SetMinHeight(int cy)
{
    if (StoreLimit(minHeight, cy))
        NeedParentUpdate();
}

void CControlUI::SetMaxHeight(int cy)
{
    if (StoreLimit(maxHeight, cy))
        NeedParentUpdate();
}

CUIString CControlUI::GetToolTip() const
{
    return toolTip != NULL ? *toolTip : CUIString();
}

void CControlUI::SetToolTip(LPCWSTR pstrText)
{
    CUIString tip(pstrText);
    tip.Replace(L"<n>", L"\r\n");
    StoreRareText(toolTip, tip);
}

CUIString CControlUI::GetAccessibleName() const
{
    return accessibleName != NULL ? *accessibleName : CUIString();
}

void CControlUI::SetAccessibleName(LPCWSTR pstrName)
{
    StoreRareText(accessibleName, pstrName);
}

void CControlUI::SetToolTipWidth(int nWidth)
{
    toolTipWidth = nWidth;
}
int CControlUI::GetToolTipWidth() const
{
    return toolTipWidth;
}
WCHAR CControlUI::GetShortcut() const
{
    return shortcut;
}
void CControlUI::SetShortcut(WCHAR ch)
{
    shortcut = ch;
}
bool CControlUI::HasContextMenu() const
{
    return contextMenu;
}
void CControlUI::SetContextMenu(bool bMenu)
{
    contextMenu = bMenu;
}
const CUIString& CControlUI::GetUserData() const
{
    static const CUIString none;
    return userData != NULL ? *userData : none;
}
void CControlUI::SetUserData(LPCWSTR pstrText)
{
    StoreRareText(userData, pstrText);
}
UINT_PTR CControlUI::GetTag() const
{
    return tag;
}
void CControlUI::SetTag(UINT_PTR pTag)
{
    tag = pTag;
}

bool CControlUI::IsVisible() const
{
    return visible && inheritedVisible;
}

void CControlUI::SetVisible(bool bVisible)
{
    if (visible == bVisible)
        return;
    const bool wasVisible = IsVisible();
    visible = bVisible;
    focused = false;
    if (!bVisible)
        DropManagerFocus();
    if (IsVisible() != wasVisible)
        NeedParentUpdate();
    if (cover != NULL)
        cover->SetInheritedVisible(IsVisible());
}

void CControlUI::SetInheritedVisible(bool bVisible)
{
    inheritedVisible = bVisible;
    if (!bVisible)
        DropManagerFocus();
    if (cover != NULL)
        cover->SetInheritedVisible(IsVisible());
}

bool CControlUI::IsEnabled() const
{
    return enabled;
}

void CControlUI::SetEnabled(bool bEnable)
{
    if (enabled == bEnable)
        return;
    enabled = bEnable;
    Invalidate();
}

bool CControlUI::IsMouseEnabled() const
{
    return mouseEnabled;
}
void CControlUI::SetMouseEnabled(bool bEnable)
{
    mouseEnabled = bEnable;
}
bool CControlUI::IsKeyboardEnabled() const
{
    return keyboardEnabled;
}
void CControlUI::SetKeyboardEnabled(bool bEnable)
{
    keyboardEnabled = bEnable;
}
bool CControlUI::IsFocused() const
{
    return focused;
}

void CControlUI::SetFocus()
{
    if (manager != NULL)
        manager->SetFocus(this, false);
}

void CControlUI::DropManagerFocus()
{
    if (manager != NULL && manager->GetFocus() == this)
        manager->SetFocus(NULL, true);
}

bool CControlUI::IsFloat() const
{
    return isFloat;
}

void CControlUI::SetFloat(bool bFloat)
{
    if (isFloat == bFloat)
        return;
    isFloat = bFloat;
    NeedParentUpdate();
}

bool CControlUI::IsSkippedBySearch(FINDCONTROLPROC Proc, LPVOID pData, UINT uFlags)
{
    if ((uFlags & FindVisible) != 0 && !IsVisible())
        return true;
    if ((uFlags & FindEnabled) != 0 && !IsEnabled())
        return true;
    if ((uFlags & FindHitTest) != 0 &&
        (pData == NULL || !::PtInRect(&itemRect, *static_cast<const POINT*>(pData))))
        return true;
    return (uFlags & FindUpdateTest) != 0 && Proc(this, pData) != NULL;
}

CControlUI* CControlUI::FindControl(FINDCONTROLPROC Proc, LPVOID pData, UINT uFlags)
{
    if (IsSkippedBySearch(Proc, pData, uFlags))
        return NULL;
    // A control the mouse cannot reach is never a hit itself; its cover still can be.
    const bool selfEligible = (uFlags & FindHitTest) == 0 || IsMouseEnabled();
    if ((uFlags & FindMeFirst) != 0 && selfEligible)
    {
        if (CControlUI* found = Proc(this, pData))
            return found;
    }
    if (cover != NULL)
    {
        if (CControlUI* found = cover->FindControl(Proc, pData, uFlags))
            return found;
    }
    if ((uFlags & FindMeFirst) == 0 && selfEligible)
        return Proc(this, pData);
    return NULL;
}

void CControlUI::Init()
{
    InitSelf();
    initHandlers(this);
}

void CControlUI::InitSelf()
{
}

void CControlUI::DispatchEvent(TControlEvent& event)
{
    if (eventHandlers(&event))
        HandleEvent(event);
}

void CControlUI::HandleEvent(TControlEvent& event)
{
    switch (event.kind)
    {
    case EventSetCursor:
        ::SetCursor(::LoadCursorW(NULL, IDC_ARROW));
        return;
    case EventSetFocus:
        focused = true;
        Invalidate();
        return;
    case EventKillFocus:
        focused = false;
        Invalidate();
        return;
    case EventTimer:
        if (manager != NULL)
            manager->SendNotify(this, NotifyType::Timer, event.wParam, event.lParam, false);
        return;
    case EventContextMenu:
        if (contextMenu)
        {
            if (manager != NULL)
                manager->SendNotify(this, NotifyType::Menu, event.wParam, event.lParam, false);
            return;
        }
        break;
    default:
        break;
    }
    if (parent != NULL)
        parent->HandleEvent(event);
}

bool CControlUI::PassUnreachableMouseEvent(TControlEvent& event)
{
    if (IsMouseEnabled() || !IsMouseEvent(event.kind))
        return false;
    PassMouseOn(event);
    return true;
}

void CControlUI::PassMouseOn(TControlEvent& event)
{
    if (parent != NULL)
        parent->HandleEvent(event);
    else
        CControlUI::HandleEvent(event);
}

CControlUI::HoverChange CControlUI::TrackHover(const TControlEvent& event, const RECT& area, UINT& state,
                                               UINT hotBit)
{
    if (event.kind == EventMouseEnter)
    {
        if (IsEnabled() && (state & hotBit) == 0 && ::PtInRect(&area, event.point))
        {
            state |= hotBit;
            InvalidateHotLook();
        }
        return HoverEntered;
    }
    if (event.kind != EventMouseLeave)
        return HoverNone;
    if (!IsRealLeave(event, area))
        return HoverCovered;
    if ((state & hotBit) != 0)
    {
        state &= ~hotBit;
        InvalidateHotLook();
    }
    return HoverLeft;
}

bool CControlUI::IsRealLeave(const TControlEvent& event, const RECT& area)
{
    if (::PtInRect(&area, event.point))
    {
        if (manager != NULL)
            manager->AddMouseLeaveNeeded(this);
        return false;
    }
    if (manager != NULL)
        manager->RemoveMouseLeaveNeeded(this);
    return true;
}

void CControlUI::InvalidateHotLook()
{
    Invalidate();
}

CUIString CControlUI::GetAttribute(LPCWSTR)
{
    return CUIString();
}

CUIString CControlUI::GetAttributeList(bool)
{
    return CUIString();
}

int CControlUI::ScaleSkin(int value) const
{
    return manager != NULL ? manager->ScaleSkin(value) : value;
}

CUISize CControlUI::ScaleSkin(SIZE value) const
{
    return manager != NULL ? manager->ScaleSkin(value) : CUISize(value.cx, value.cy);
}

CUIRect CControlUI::ScaleSkin(const RECT& value) const
{
    return manager != NULL ? manager->ScaleSkin(value) : CUIRect(value);
}

int CControlUI::Rescale(int value, int fromDpi, int toDpi)
{
    return fromDpi == toDpi || fromDpi <= 0 ? value : ::MulDiv(value, toDpi, fromDpi);
}

CUISize CControlUI::Rescale(SIZE value, int fromDpi, int toDpi)
{
    return CUISize(Rescale(value.cx, fromDpi, toDpi), Rescale(value.cy, fromDpi, toDpi));
}

CUIRect CControlUI::Rescale(const RECT& value, int fromDpi, int toDpi)
{
    return CUIRect(Rescale(value.left, fromDpi, toDpi), Rescale(value.top, fromDpi, toDpi),
                   Rescale(value.right, fromDpi, toDpi), Rescale(value.bottom, fromDpi, toDpi));
}

void CControlUI::ScaleGeometry(int fromDpi, int toDpi)
{
    padding = Rescale(padding, fromDpi, toDpi);
    borderSize = Rescale(borderSize, fromDpi, toDpi);
    fixedXY = Rescale(fixedXY, fromDpi, toDpi);
    borderRound = Rescale(borderRound, fromDpi, toDpi);
    fixedWidth = Rescale(fixedWidth, fromDpi, toDpi);
    fixedHeight = Rescale(fixedHeight, fromDpi, toDpi);
    minWidth = Rescale(minWidth, fromDpi, toDpi);
    minHeight = Rescale(minHeight, fromDpi, toDpi);
    maxWidth = Rescale(maxWidth, fromDpi, toDpi);
    maxHeight = Rescale(maxHeight, fromDpi, toDpi);
    NeedUpdate();
}

SIZE CControlUI::EstimateSize(SIZE)
{
    return CUISize(fixedWidth, fixedHeight);
}

void CControlUI::PostPaint(HDC, const RECT&)
{
    postPaintHandlers(this);
}

void CControlUI::NeedParentUpdate()
{
    if (parent != NULL)
    {
        parent->NeedUpdate();
        parent->Invalidate();
    }
    else
    {
        NeedUpdate();
    }
    // A hidden parent asks for nothing itself, yet the layout is stale.
    if (manager != NULL)
        manager->NeedUpdate();
}

void CControlUI::SetVirtualWnd(LPCWSTR pstrValue)
{
    StoreRareText(virtualWnd, pstrValue);
    if (manager != NULL)
        manager->SetUseVirtualWnd(true);
}

bool CControlUI::AddCustomAttribute(LPCWSTR pstrName, LPCWSTR pstrAttr)
{
    if (pstrName == NULL || pstrName[0] == L'\0' || pstrAttr == NULL || pstrAttr[0] == L'\0')
        return false;
    if (customAttributes.Find(pstrName) != NULL)
        return false;
    CUIString* value = new CUIString(pstrAttr);
    if (!customAttributes.Insert(pstrName, value))
    {
        delete value;
        return false;
    }
    return true;
}

LPCWSTR CControlUI::GetCustomAttribute(LPCWSTR pstrName) const
{
    const CUIString* value = static_cast<const CUIString*>(customAttributes.Find(pstrName));
    return value != NULL ? value->GetData() : NULL;
}

void CControlUI::RemoveAllCustomAttributes()
{
    for (int i = 0; i < customAttributes.GetSize(); ++i)
        delete static_cast<CUIString*>(customAttributes.Find(customAttributes.GetAt(i), false));
    customAttributes.Resize(CStringMap::DEFAULT_BUCKETS);
}
