#pragma once

#include <windows.h>

#include <memory>

#include "ui/controls/ControlAttributes.h"
#include "ui/controls/ControlTag.h"
#include "ui/core/Collections.h"
#include "ui/core/Delegate.h"
#include "ui/core/Geometry.h"
#include "ui/core/UIDefs.h"
#include "ui/core/UIString.h"
#include "ui/render/ImageDescriptor.h"

class CManagerUI;
class CControlUI;

// FindControl's callback: a non-null answer ends the search with that control.
typedef CControlUI*(CALLBACK* FINDCONTROLPROC)(CControlUI* control, LPVOID data);

// Fractions of the parent's size added to a float control's position.
struct TPercentInfo
{
    double left;
    double top;
    double right;
    double bottom;
};

// The root of every control. The virtual operations below are the interface
// through which the window manager, the layout builder and the containers
// reach a control; a subclass adds its own operations after them, in its own
// declaration.
// A control has no window of its own: it is a rectangle of its manager's
// window that the manager lays out, paints, hit-tests and feeds with events.
class CControlUI
{
public:
    CControlUI();

    // ---- The control interface ----
    // Drops the control from its manager's mouse-leave list, then destroys it.
    virtual void Delete();
    virtual ~CControlUI();
    virtual CUIString GetName() const;
    // Stores the name; an attached control's name-map entry follows it.
    virtual void SetName(LPCWSTR pstrName);
    virtual LPCWSTR GetClassName() const;
    // The object answering an interface or class name, or null.
    virtual LPVOID FindInterface(LPCWSTR pstrName);
    virtual UINT GetFlags() const;
    virtual HWND GetNativeWindow() const;
    // Whether the control may react to activation (visible and enabled).
    virtual bool Activate();
    virtual CManagerUI* GetManager() const;
    virtual void SetManager(CManagerUI* pManager, CControlUI* pParent, bool bInit = true);
    virtual CControlUI* GetParent() const;
    virtual CControlUI* GetCover() const;
    virtual void SetCover(CControlUI* pControl);
    virtual CUIString GetText() const;
    virtual void SetText(LPCWSTR pstrText);

    virtual const RECT& GetPos() const;
    // The placed rectangle relative to the parent's top-left corner.
    virtual RECT GetRelativePos() const;
    virtual RECT GetClientPos() const;
    // Narrows area to every ancestor's rectangle (with bClientAreas, to its
    // client area, inside its bars and insets), nearest first. False when
    // nothing is left, or, with bStopAtHidden, at a hidden ancestor.
    inline bool ClipToAncestors(RECT& area, bool bStopAtHidden, bool bClientAreas = false) const;
    // A float control takes rc relative to its parent's top-left corner and
    // derives its float data from it; others take rc as it is.
    virtual void SetPos(RECT rc, bool bNeedInvalidate = true);
    virtual void MoveBy(int dx, int dy, bool bNeedInvalidate = true);
    virtual int GetWidth() const;
    virtual int GetHeight() const;
    virtual int GetX() const;
    virtual int GetY() const;
    virtual RECT GetPadding() const;
    virtual void SetPadding(int left, int top, int right, int bottom);
    virtual SIZE GetFixedXY() const;
    virtual void SetFixedXY(int cx, int cy);
    virtual TPercentInfo GetFloatPercent() const;
    virtual void SetFloatPercent(TPercentInfo percent);
    virtual int GetFixedWidth() const;
    virtual void SetFixedWidth(int cx);  // negative values are ignored
    virtual int GetFixedHeight() const;
    virtual void SetFixedHeight(int cy);
    virtual int GetMinWidth() const;
    virtual void SetMinWidth(int cx);
    // Never below the minimum width.
    virtual int GetMaxWidth() const;
    virtual void SetMaxWidth(int cx);
    virtual int GetMinHeight() const;
    virtual void SetMinHeight(int cy);
    virtual int GetMaxHeight() const;
    virtual void SetMaxHeight(int cy);

    virtual CUIString GetToolTip() const;
    // "<n>" in the text becomes a line break.
    virtual void SetToolTip(LPCWSTR pstrText);
    virtual void SetToolTipWidth(int nWidth);
    virtual int GetToolTipWidth() const;
    virtual WCHAR GetShortcut() const;
    virtual void SetShortcut(WCHAR ch);
    virtual bool HasContextMenu() const;
    virtual void SetContextMenu(bool bMenu);
    virtual const CUIString& GetUserData() const;
    virtual void SetUserData(LPCWSTR pstrText);
    virtual UINT_PTR GetTag() const;
    virtual void SetTag(UINT_PTR pTag);

    // Own visibility and the parent's, both required.
    virtual bool IsVisible() const;
    virtual void SetVisible(bool bVisible = true);
    virtual void SetInheritedVisible(bool bVisible = true);
    virtual bool IsEnabled() const;
    virtual void SetEnabled(bool bEnable = true);
    virtual bool IsMouseEnabled() const;
    virtual void SetMouseEnabled(bool bEnable = true);
    virtual bool IsKeyboardEnabled() const;
    virtual void SetKeyboardEnabled(bool bEnable = true);
    virtual bool IsFocused() const;
    virtual void SetFocus();
    virtual bool IsFloat() const;
    virtual void SetFloat(bool bFloat = true);

    virtual CControlUI* FindControl(FINDCONTROLPROC Proc, LPVOID pData, UINT uFlags);
    virtual void Init();
    virtual void InitSelf();
    // The only entry for events: the event handlers may veto HandleEvent.
    virtual void DispatchEvent(TControlEvent& event);
    virtual void HandleEvent(TControlEvent& event);

    virtual CUIString GetAttribute(LPCWSTR pstrName);
    virtual void SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue);
    virtual CUIString GetAttributeList(bool bIgnoreDefault = true);
    // Applies name="value" pairs separated by one blank, up to the first
    // malformed pair.
    virtual void ApplyAttributeList(LPCWSTR pstrList);
    virtual SIZE EstimateSize(SIZE szAvailable);

    // False stops the walk of the whole tree (the stop control was reached).
    virtual bool Paint(HDC hDC, const RECT& rcPaint, CControlUI* pStopControl);
    virtual bool PaintContent(HDC hDC, const RECT& rcPaint, CControlUI* pStopControl);
    virtual void PaintBkColor(HDC hDC);
    virtual void PaintBkImage(HDC hDC);
    virtual void PaintStatusImage(HDC hDC);
    virtual void PaintText(HDC hDC);
    virtual void PaintBorder(HDC hDC);
    virtual void PostPaint(HDC hDC, const RECT& rcPaint);

    // What assistive technology is told about the control (see
    // ControlAccessible.cpp). Families override what differs from a pane.
    // The role, a ROLE_SYSTEM_* value.
    virtual DWORD GetAccessibleRole();
    // STATE_SYSTEM_* bits the family adds to the common ones (checked,
    // selected, expanded); the manager adds focus, visibility and the rest.
    virtual DWORD GetAccessibleState();
    // The value, for controls that have one; false when there is none.
    virtual bool GetAccessibleValue(CUIString& value);
    // The name of the default action, or null when there is none.
    virtual LPCWSTR GetAccessibleAction();
    // Runs the default action; false when there is none or it cannot run.
    virtual bool DoAccessibleAction();
    // The control's own visible text as a screen reader reads it (a caption,
    // a button's text); empty when it has none, as an edit, whose content is
    // its value.
    virtual CUIString GetAccessibleText();
    // More about the control than its name says (a row's other columns);
    // empty when there is nothing more.
    virtual CUIString GetAccessibleDetails();
    // The control's children in order, visible or not; null past the last.
    virtual CControlUI* GetAccessibleChild(int index);
    // Whether the skin shows the focused state itself; when it does not,
    // the framework draws a focus frame around the focused control.
    virtual bool HasFocusedLook() const;
    // The window moved to a display of another DPI: the control scales its
    // own lengths (not its children's, which the manager visits too).
    // Families with lengths of their own scale them and call their base.
    virtual void ScaleGeometry(int fromDpi, int toDpi);

    // ---- Operations ----
    // A length the skin gives in 96-DPI pixels, in the pixels of the
    // control's window (unchanged without a manager).
    int ScaleSkin(int value) const;
    CUISize ScaleSkin(SIZE value) const;
    CUIRect ScaleSkin(const RECT& value) const;
    // The name a screen reader reads for the control, set by the skin's
    // "accname" or from code; it goes before every other source of a name.
    // Empty when none was set.
    CUIString GetAccessibleName() const;
    void SetAccessibleName(LPCWSTR pstrName);
    // Inline so that the manager, a lower library, can call them.
    inline void Invalidate();
    bool IsUpdateNeeded() const { return needUpdate; }
    inline void NeedUpdate();
    void NeedParentUpdate();
    // The own virtual window name, else the parent's.
    inline CUIString GetVirtualWnd() const;
    void SetVirtualWnd(LPCWSTR pstrValue);

    // Where the float formula puts this control inside a parent of the given
    // size, relative to the parent's top-left corner.
    RECT CalcFloatPos(int parentWidth, int parentHeight) const;

    // Draws descriptor inside the control, clipped to the part being painted; with
    // no DC it only resolves the image. False when the image cannot be had.
    bool DrawImage(HDC hDC, TDrawSpec& descriptor);

    DWORD GetBkColor() const { return bkColor; }
    void SetBkColor(DWORD dwColor);
    DWORD GetBkColor2() const { return bkColor2; }
    void SetBkColor2(DWORD dwColor);
    DWORD GetBkColor3() const { return bkColor3; }
    void SetBkColor3(DWORD dwColor);
    LPCWSTR GetBkImage() const { return bkImage != NULL ? bkImage->drawString.GetData() : L""; }
    // Resolves the image at once; a float control without a fixed size takes the image's.
    void SetBkImage(LPCWSTR pStrImage);
    DWORD GetBorderColor() const { return borderColor; }
    void SetBorderColor(DWORD dwColor);
    DWORD GetFocusBorderColor() const { return focusBorderColor; }
    void SetFocusBorderColor(DWORD dwColor);
    bool IsColorHSL() const { return colorHsl; }
    void SetColorHSL(bool bColorHSL);
    RECT GetBorderSize() const { return borderSize; }
    void SetBorderSize(int nSize);
    void SetBorderSize(RECT rc);
    int GetBorderStyle() const { return borderStyle; }
    void SetBorderStyle(int nStyle);
    SIZE GetBorderRound() const { return borderRound; }
    // Negative radii count as 0.
    void SetBorderRound(SIZE cxyRound);
    // False for an empty name or value; the first value stored under a name stays.
    bool AddCustomAttribute(LPCWSTR pstrName, LPCWSTR pstrAttr);
    LPCWSTR GetCustomAttribute(LPCWSTR pstrName) const;
    void RemoveAllCustomAttributes();

    // ---- Data ----
    CDelegateList initHandlers;
    CDelegateList destroyHandlers;
    CDelegateList sizeHandlers;
    CDelegateList eventHandlers;
    CDelegateList notifyHandlers;
    CDelegateList paintHandlers;
    CDelegateList postPaintHandlers;

protected:
    // A length of the window's pixels at fromDpi in its pixels at toDpi.
    static int Rescale(int value, int fromDpi, int toDpi);
    static CUISize Rescale(SIZE value, int fromDpi, int toDpi);
    static CUIRect Rescale(const RECT& value, int fromDpi, int toDpi);
    // The visibility, enabled, hit-test and update-test filters of FindControl.
    bool IsSkippedBySearch(FINDCONTROLPROC Proc, LPVOID pData, UINT uFlags);
    // Repaints the old area joined with the present rectangle, clipped by the
    // ancestors; nothing when a hidden ancestor or an empty clip hides it.
    void InvalidateMoved(CUIRect area);
    // The plain look setters: store the value and repaint.
    template <typename T> void SetAndInvalidate(T& field, const T& value)
    {
        field = value;
        Invalidate();
    }
    // Takes pStrImage as descriptor's picture and repaints when it changed.
    void ReplaceImage(TDrawSpec& descriptor, LPCWSTR pStrImage);
    void RunSizeHandlers();
    // A focused tab stop whose skin has no focused look gets a focus frame.
    bool NeedsFocusFrame();
    void PaintFocusFrame(HDC hDC);
    // The mouse passes through a control it cannot reach: its mouse events
    // go on through PassMouseOn. False for every other event.
    bool PassUnreachableMouseEvent(TControlEvent& event);
    // Where a mouse event the control does not take goes: to the parent, or
    // at the root to the control's plain handling. A list row hands it to its
    // list, a scroll bar to the container that owns it.
    virtual void PassMouseOn(TControlEvent& event);

    // What a pointer enter or leave report did to a control's hot look.
    enum HoverChange
    {
        HoverNone,     // the event was neither
        HoverEntered,  // the pointer came in: hot now, when the control is enabled
        HoverCovered,  // the pointer went onto a control drawn above, still inside: hot still
        HoverLeft      // the pointer left: no longer hot
    };
    // The hot look of every control that has one, kept as hotBit in state:
    // entering area sets it (while enabled); a leave while the pointer is
    // still inside area means a control drawn above took the pointer, so the
    // bit stays and the manager is asked to report the real leave; a real
    // leave clears it (enabled or not, so that no stale hot look survives a
    // disabled spell) and drops that request. Repaints through
    // InvalidateHotLook when the bit changes.
    HoverChange TrackHover(const TControlEvent& event, const RECT& area, UINT& state, UINT hotBit = StateHot);
    // The leave half alone, for controls whose hot part is not one bit (links,
    // a scroll bar's parts): true for a real leave, false while the pointer
    // is still inside area.
    bool IsRealLeave(const TControlEvent& event, const RECT& area);
    // Repaints after the hot look changed; a list row repaints only what its
    // list shows of it.
    virtual void InvalidateHotLook();
    // A control that stops being visible cannot keep the keyboard focus.
    void DropManagerFocus();
    // Takes a float rectangle relative to the parent and keeps the float data
    // consistent with where the control now is.
    void PlaceFloat(const RECT& rcRelative);
    void PlaceCover();

    CManagerUI* manager;  // not owned
    CControlUI* parent;   // not owned
    CControlUI* cover;    // owned
    // Texts few controls have are held on the heap only once set: a list of
    // thousands of rows then costs a fraction of the memory to build.
    std::unique_ptr<CUIString> virtualWnd;
    CUIString name;
    bool needUpdate;
    bool contextMenu;
    CUIRect itemRect;
    CUIRect padding;
    CUISize fixedXY;
    int fixedWidth;
    int fixedHeight;
    int minWidth;
    int minHeight;
    int maxWidth;
    int maxHeight;
    bool visible;
    bool inheritedVisible;
    bool enabled;
    bool mouseEnabled;
    bool keyboardEnabled;
    bool focused;
    bool isFloat;
    TPercentInfo floatPercent;
    CUIString text;
    std::unique_ptr<CUIString> toolTip;
    std::unique_ptr<CUIString> accessibleName;
    WCHAR shortcut;
    std::unique_ptr<CUIString> userData;
    UINT_PTR tag;
    DWORD bkColor;
    DWORD bkColor2;
    DWORD bkColor3;
    std::unique_ptr<TDrawSpec> bkImage;  // made by the first image set
    DWORD borderColor;
    DWORD focusBorderColor;
    bool colorHsl;  // stored only
    int borderStyle;
    int toolTipWidth;
    CUISize borderRound;
    CUIRect paintRect;  // the part of itemRect the current Paint call covers
    CUIRect borderSize;
    bool inSizeHandlers;
    CStringMap customAttributes;  // values are owned CUIString*

    static const TAttributeRow<CControlUI> attributeTable[];

private:
    CControlUI(const CControlUI&) = delete;
    CControlUI& operator=(const CControlUI&) = delete;
};

// The framework's focus look inside frame: dots in dotColor (0: black) on a
// line of the opposite brightness, so that it shows on light and dark
// backgrounds alike.
void DrawFocusFrame(HDC hDC, const RECT& frame, DWORD dotColor);

#include "ui/manager/Manager.h"

inline bool CControlUI::ClipToAncestors(RECT& area, bool bStopAtHidden, bool bClientAreas) const
{
    for (const CControlUI* ancestor = parent; ancestor != NULL; ancestor = ancestor->GetParent())
    {
        if (bStopAtHidden && !ancestor->IsVisible())
            return false;
        const RECT bounds = bClientAreas ? ancestor->GetClientPos() : ancestor->GetPos();
        RECT clipped;
        if (!::IntersectRect(&clipped, &area, &bounds))
            return false;
        area = clipped;
    }
    return !::IsRectEmpty(&area);
}

inline void CControlUI::Invalidate()
{
    if (manager == NULL || !IsVisible())
        return;
    RECT area = itemRect;
    if (ClipToAncestors(area, false))
        manager->Invalidate(area);
}

inline void CControlUI::NeedUpdate()
{
    if (!IsVisible())
        return;
    needUpdate = true;
    Invalidate();
    if (manager != NULL)
        manager->NeedUpdate();
}

inline CUIString CControlUI::GetVirtualWnd() const
{
    if (virtualWnd != NULL)
        return *virtualWnd;
    if (parent != NULL)
        return parent->GetVirtualWnd();
    return CUIString();
}

// The element name that makes this control in skins.
inline constexpr TControlTag kControlTags[] = {
    {L"Control", AnyCase, MakeControl<CControlUI>},
};
