#pragma once

#include "ui/controls/Control.h"
#include "ui/controls/ControlTag.h"

class CScrollBarUI;
class CUIAxis;

// The child list of a container, as the layout builder, the scroll bar and the
// list family see it. Every container implements it as a second base.
class IContainerUI
{
public:
    virtual CControlUI* GetItemAt(int iIndex) const = 0;
    virtual int GetItemIndex(CControlUI* pControl) const = 0;
    virtual bool SetItemIndex(CControlUI* pControl, int iNewIndex) = 0;
    virtual bool SetMultiItemIndex(CControlUI* pStartControl, int iCount, int iNewStartIndex) = 0;
    virtual int GetCount() const = 0;
    virtual bool Add(CControlUI* pControl) = 0;
    virtual bool AddAt(CControlUI* pControl, int iIndex) = 0;
    virtual bool Remove(CControlUI* pControl, bool bDoNotDestroy = false) = 0;
    virtual bool RemoveAt(int iIndex, bool bDoNotDestroy = false) = 0;
    virtual void RemoveAll() = 0;

protected:
    ~IContainerUI() = default;
};

// A control with an ordered list of children, owned while autoDestroy is on,
// and two optional scroll bars, always owned. On its own it gives every child
// its whole inner area; the box layouts derive from it and place children one
// after another. The container is the parent of its scroll bars.
class CContainerUI : public CControlUI, public IContainerUI
{
public:
    CContainerUI();
    ~CContainerUI() override;

    // ---- Control interface overrides ----
    LPCWSTR GetClassName() const override;
    // "Container" answers the control, "IContainer" the child-list interface.
    LPVOID FindInterface(LPCWSTR pstrName) override;
    CControlUI* GetAccessibleChild(int index) override;
    // A tab stop while its bars can scroll, so that the keyboard reaches
    // what it hides.
    UINT GetFlags() const override;
    void SetManager(CManagerUI* pManager, CControlUI* pParent, bool bInit = true) override;
    // itemRect less the inset and the visible scroll bars.
    RECT GetClientPos() const override;
    void SetPos(RECT rc, bool bNeedInvalidate = true) override;
    void MoveBy(int dx, int dy, bool bNeedInvalidate = true) override;
    void SetVisible(bool bVisible = true) override;
    void SetInheritedVisible(bool bVisible = true) override;
    void SetMouseEnabled(bool bEnable = true) override;
    CControlUI* FindControl(FINDCONTROLPROC Proc, LPVOID pData, UINT uFlags) override;
    void HandleEvent(TControlEvent& event) override;
    void SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) override;
    void ScaleGeometry(int fromDpi, int toDpi) override;
    bool PaintContent(HDC hDC, const RECT& rcPaint, CControlUI* pStopControl) override;

    // ---- IContainerUI ----
    CControlUI* GetItemAt(int iIndex) const override;
    int GetItemIndex(CControlUI* pControl) const override;
    bool SetItemIndex(CControlUI* pControl, int iNewIndex) override;
    bool SetMultiItemIndex(CControlUI* pStartControl, int iCount, int iNewStartIndex) override;
    int GetCount() const override;
    bool Add(CControlUI* pControl) override;
    bool AddAt(CControlUI* pControl, int iIndex) override;
    bool Remove(CControlUI* pControl, bool bDoNotDestroy = false) override;
    bool RemoveAt(int iIndex, bool bDoNotDestroy = false) override;
    void RemoveAll() override;

    // ---- Container operations ----
    virtual RECT GetInset() const;
    virtual void SetInset(int left, int top, int right, int bottom);
    virtual int GetChildPadding() const;
    virtual void SetChildPadding(int iPadding);  // negative stores 0
    virtual int GetChildAlign() const;
    virtual void SetChildAlign(int iAlign);
    virtual int GetChildVAlign() const;
    virtual void SetChildVAlign(int iVAlign);
    virtual bool IsAutoDestroy() const;
    virtual void SetAutoDestroy(bool bAuto);
    virtual bool IsDelayedDestroy() const;
    virtual void SetDelayedDestroy(bool bDelayed);
    virtual bool IsMouseChildEnabled() const;
    virtual void SetMouseChildEnabled(bool bEnable = true);
    virtual int FindSelectable(int iIndex, bool bForward = true) const;
    virtual SIZE GetScrollPos() const;
    virtual SIZE GetScrollRange() const;
    virtual void SetScrollPos(SIZE szPos);
    virtual void LineUp();
    virtual void LineDown();
    virtual void PageUp();
    virtual void PageDown();
    virtual void HomeUp();
    virtual void EndDown();
    virtual void LineLeft();
    virtual void LineRight();
    virtual void PageLeft();
    virtual void PageRight();
    virtual void HomeLeft();
    virtual void EndRight();
    virtual void EnableScrollBar(bool bEnableVertical = true, bool bEnableHorizontal = false);
    virtual CScrollBarUI* GetVerticalScrollBar() const;
    virtual CScrollBarUI* GetHorizontalScrollBar() const;
    virtual void SetFloatPos(int iIndex);
    // Places every visible float child by its own rule and hands each other
    // visible child, with its index, to place(index, child).
    template <typename TPlace> void PlaceVisibleChildren(TPlace place)
    {
        for (int i = 0; i < items.GetSize(); ++i)
        {
            CControlUI* child = static_cast<CControlUI*>(items[i]);
            if (!child->IsVisible())
                continue;
            if (child->IsFloat())
                SetFloatPos(i);
            else
                place(i, child);
        }
    }
    // Shows, hides, places and sizes the scroll bars for content of the given
    // size laid out in rc (the inner area the layout used), re-running the
    // layout when the bars' visibility changed the room left for it.
    virtual void ProcessScrollBar(RECT rc, int cxRequired, int cyRequired);

protected:
    // Deletes a child now or through the manager's delayed cleanup.
    void DestroyChild(CControlUI* pControl);
    // Every flowing child at area's top left, as large as area within its limits.
    void FillWithChildren(const CUIRect& area);
    // itemRect less the inset, less the room of each bar that is visible.
    CUIRect InnerRect() const;
    bool IsBarShown(const CScrollBarUI* bar) const;
    bool IsBarActive(const CScrollBarUI* bar) const;  // shown and enabled
    int BarThickness(const CScrollBarUI* bar) const;
    CScrollBarUI* CreateScrollBar(bool bHorizontal);
    void EnableBar(CScrollBarUI*& bar, bool enable, bool bHorizontal);
    int MoveBar(CScrollBarUI* bar, int position);
    // Lays the container out again with its present rectangle.
    void Replace(bool bNeedInvalidate);
    void ProcessOneScrollBar(CScrollBarUI* bar, const RECT& rc, int required);
    void ShowBar(CScrollBarUI* bar, long long range);
    void HideBar(CScrollBarUI* bar);
    // Lays the container out again while bars it has just shown must stay.
    void ReplaceShowingBars();
    void FitShownBar(CScrollBarUI* bar, const RECT& rc, int required);
    // What SettleBar did: nothing, took a new range, or took one that pulled
    // the position back, so that the content must follow.
    enum RangeChange
    {
        RangeSame,
        RangeTaken,
        RangePulledBack
    };
    RangeChange SettleBar(CScrollBarUI* bar, const RECT& rc, long long range);
    void ProcessBothScrollBars(RECT rc, int cxRequired, int cyRequired);
    // The line, page, home and end moves of both directions.
    enum ScrollMove
    {
        ScrollLineBack,
        ScrollLineForward,
        ScrollPageBack,
        ScrollPageForward,
        ScrollHome,
        ScrollEnd
    };
    void ScrollAlong(const CUIAxis& axis, ScrollMove move);
    CScrollBarUI* BarAlong(const CUIAxis& axis) const;
    int LineStep(const CUIAxis& axis) const;
    long long PageLength(const CUIAxis& axis) const;
    bool HandleScrollKey(WORD key);
    bool HandleScrollWheel(const TControlEvent& event);
    // The lines one wheel notch scrolls (the system's setting), or
    // WheelScrollsPage when the setting asks for a page.
    static int WheelScrollLines();
    enum
    {
        WheelScrollsPage = -1
    };
    void ScrollByWheel(void (CContainerUI::*line)(), void (CContainerUI::*page)());
    bool PaintChildren(HDC hDC, const RECT& rcPaint, CControlUI* pStopControl);
    // Paints the visible scroll bars that meet rcPaint, over the content.
    // False, as Paint, once pStopControl is reached.
    bool PaintScrollBars(HDC hDC, const RECT& rcPaint, CControlUI* pStopControl);

    CPtrList items;
    CUIRect inset;
    int childPadding;
    int childAlign;
    int childVAlign;
    bool autoDestroy;
    bool delayedDestroy;
    bool mouseChildEnabled;
    bool scrollProcessing;
    CScrollBarUI* verticalScrollBar;    // owned
    CScrollBarUI* horizontalScrollBar;  // owned
    // How many layouts ProcessScrollBar has re-run inside one another: content
    // whose size follows the room it is offered could otherwise keep showing
    // and hiding bars for ever.
    int scrollRelayoutDepth;

    static const TAttributeRow<CContainerUI> attributeTable[];
};

// The element name that makes this control in skins.
inline constexpr TControlTag kContainerTags[] = {
    {L"Container", AnyCase, MakeControl<CContainerUI>},
};
