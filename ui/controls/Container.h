#pragma once

#include "ui/controls/Control.h"

class CScrollBarUI;

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

// A control with an ordered list of children, owned while autoDestroy is on.
// This is the accessor layer: the child list, ownership, propagation to the
// children and searching; layout, scrolling and painting of children come
// with the full container behaviour.
class CContainerUI : public CControlUI, public IContainerUI
{
public:
    CContainerUI();
    ~CContainerUI() override;

    // ---- Control interface overrides ----
    LPCWSTR GetClassName() const override;
    // "Container" answers the control, "IContainer" the child-list interface.
    LPVOID FindInterface(LPCWSTR pstrName) override;
    void SetManager(CManagerUI* pManager, CControlUI* pParent, bool bInit = true) override;
    // itemRect less the inset.
    RECT GetClientPos() const override;
    void MoveBy(int dx, int dy, bool bNeedInvalidate = true) override;
    void SetVisible(bool bVisible = true) override;
    void SetInheritedVisible(bool bVisible = true) override;
    CControlUI* FindControl(FINDCONTROLPROC Proc, LPVOID pData, UINT uFlags) override;

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

    // ---- Container operations, in slot order after the control's ----
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
    virtual void ProcessScrollBar(RECT rc, int cxRequired, int cyRequired);

protected:
    // Deletes a child now or through the manager's delayed cleanup.
    void DestroyChild(CControlUI* pControl);

    CPtrList items;
    CUIRect inset;
    int childPadding;
    int childAlign;
    int childVAlign;
    bool autoDestroy;
    bool delayedDestroy;
    bool mouseChildEnabled;
    bool scrollProcessing;
    CScrollBarUI* verticalScrollBar;    // owned; created by the scroll-bar support
    CScrollBarUI* horizontalScrollBar;  // owned
};
