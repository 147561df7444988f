#include "ui/controls/Control.h"

#include "ui/manager/Manager.h"

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
      toolTipWidth(300)
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
    if (manager != NULL)
        manager->InitControls(cover, this);
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

void CControlUI::SetPos(RECT rc, bool bNeedInvalidate)
{
    if (bNeedInvalidate)
        Invalidate();
    itemRect = rc;
    needUpdate = false;
    if (cover != NULL)
        cover->SetPos(rc, false);
    if (bNeedInvalidate)
        Invalidate();
}

void CControlUI::MoveBy(int dx, int dy, bool bNeedInvalidate)
{
    if (bNeedInvalidate)
        Invalidate();
    itemRect.Offset(dx, dy);
    if (cover != NULL)
        cover->MoveBy(dx, dy, false);
    if (bNeedInvalidate)
        Invalidate();
}

int CControlUI::GetWidth() const { return itemRect.GetWidth(); }
int CControlUI::GetHeight() const { return itemRect.GetHeight(); }
int CControlUI::GetX() const { return itemRect.left; }
int CControlUI::GetY() const { return itemRect.top; }

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

int CControlUI::GetFixedWidth() const { return fixedWidth; }
int CControlUI::GetFixedHeight() const { return fixedHeight; }

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
}  // namespace

int CControlUI::GetMinWidth() const { return minWidth; }
int CControlUI::GetMaxWidth() const { return maxWidth > minWidth ? maxWidth : minWidth; }
int CControlUI::GetMinHeight() const { return minHeight; }
int CControlUI::GetMaxHeight() const { return maxHeight > minHeight ? maxHeight : minHeight; }

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
    return toolTip;
}

void CControlUI::SetToolTip(LPCWSTR pstrText)
{
    CUIString tip(pstrText);
    tip.Replace(L"<n>", L"\r\n");
    toolTip = tip;
}

void CControlUI::SetToolTipWidth(int nWidth) { toolTipWidth = nWidth; }
int CControlUI::GetToolTipWidth() const { return toolTipWidth; }
WCHAR CControlUI::GetShortcut() const { return shortcut; }
void CControlUI::SetShortcut(WCHAR ch) { shortcut = ch; }
bool CControlUI::HasContextMenu() const { return contextMenu; }
void CControlUI::SetContextMenu(bool bMenu) { contextMenu = bMenu; }
const CUIString& CControlUI::GetUserData() const { return userData; }
void CControlUI::SetUserData(LPCWSTR pstrText) { userData = pstrText; }
UINT_PTR CControlUI::GetTag() const { return tag; }
void CControlUI::SetTag(UINT_PTR pTag) { tag = pTag; }

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
    if (IsVisible() != wasVisible)
        NeedParentUpdate();
    if (cover != NULL)
        cover->SetInheritedVisible(IsVisible());
}

void CControlUI::SetInheritedVisible(bool bVisible)
{
    inheritedVisible = bVisible;
    if (cover != NULL)
        cover->SetInheritedVisible(IsVisible());
}

bool CControlUI::IsEnabled() const { return enabled; }

void CControlUI::SetEnabled(bool bEnable)
{
    if (enabled == bEnable)
        return;
    enabled = bEnable;
    Invalidate();
}

bool CControlUI::IsMouseEnabled() const { return mouseEnabled; }
void CControlUI::SetMouseEnabled(bool bEnable) { mouseEnabled = bEnable; }
bool CControlUI::IsKeyboardEnabled() const { return keyboardEnabled; }
void CControlUI::SetKeyboardEnabled(bool bEnable) { keyboardEnabled = bEnable; }
bool CControlUI::IsFocused() const { return focused; }

void CControlUI::SetFocus()
{
    // Focus moves belong to the manager's input routing, which is built later.
}

bool CControlUI::IsFloat() const { return isFloat; }

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
    if ((uFlags & FindHitTest) != 0 && !::PtInRect(&itemRect, *static_cast<const POINT*>(pData)))
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

void CControlUI::HandleEvent(TControlEvent&)
{
}

CUIString CControlUI::GetAttribute(LPCWSTR)
{
    return CUIString();
}

void CControlUI::SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue)
{
    if (pstrName == NULL)
        return;
    if (wcscmp(pstrName, L"name") == 0)
        SetName(pstrValue);
    else if (wcscmp(pstrName, L"text") == 0)
        SetText(pstrValue);
    else
        AddCustomAttribute(pstrName, pstrValue);
}

CUIString CControlUI::GetAttributeList(bool)
{
    return CUIString();
}

void CControlUI::ApplyAttributeList(LPCWSTR)
{
}

SIZE CControlUI::EstimateSize(SIZE)
{
    return CUISize(fixedWidth, fixedHeight);
}

bool CControlUI::Paint(HDC hDC, const RECT& rcPaint, CControlUI* pStopControl)
{
    if (pStopControl == this)
        return false;
    RECT visiblePart;
    if (!::IntersectRect(&visiblePart, &rcPaint, &itemRect))
        return true;
    if (!paintHandlers(this))
        return true;
    return PaintContent(hDC, rcPaint, pStopControl);
}

bool CControlUI::PaintContent(HDC hDC, const RECT&, CControlUI*)
{
    PaintBkColor(hDC);
    PaintBkImage(hDC);
    PaintStatusImage(hDC);
    PaintText(hDC);
    PaintBorder(hDC);
    return true;
}

void CControlUI::PaintBkColor(HDC) {}
void CControlUI::PaintBkImage(HDC) {}
void CControlUI::PaintStatusImage(HDC) {}
void CControlUI::PaintText(HDC) {}
void CControlUI::PaintBorder(HDC) {}

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
}

CUIString CControlUI::GetVirtualWnd() const
{
    if (!virtualWnd.IsEmpty())
        return virtualWnd;
    if (parent != NULL)
        return parent->GetVirtualWnd();
    return CUIString();
}

void CControlUI::SetVirtualWnd(LPCWSTR pstrValue)
{
    virtualWnd = pstrValue;
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
