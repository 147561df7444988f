#pragma once

#include <memory>

#include "ui/controls/Container.h"
#include "ui/controls/ControlTag.h"
#include "ui/controls/LinkFocus.h"
#include "ui/controls/ListInterfaces.h"

// The colours a row draws the links of its tagged text in; 0 leaves the
// window's.
struct TLinkColors
{
    DWORD link = 0;
    DWORD hover = 0;
};

// What every row shares, whatever its base: its index and owner, selection,
// the hot state, activation, the repaint clipped to the scrolled area, and
// the background drawn from the owner's look. TBase is CControlUI for the
// simple rows and CContainerUI for rows that hold controls.
template <class TBase> class CListItemBase : public TBase, public IListItemUI
{
public:
    // A flag of rows that the manager does not look at.
    enum
    {
        RowFlag = 0x04
    };

    CListItemBase();

    // ---- Control interface overrides ----
    LPVOID FindInterface(LPCWSTR pstrName) override;
    UINT GetFlags() const override { return RowFlag; }
    // Sends "itemactivate"; false when hidden or disabled.
    bool Activate() override;
    // A row that is hidden while selected leaves its owner without a selection.
    void SetVisible(bool bVisible = true) override;
    // A disabled row is no longer hot.
    void SetEnabled(bool bEnable = true) override;
    // "selected" selects the row, whatever its value.
    void SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) override;

    // ---- IListItemUI ----
    int GetIndex() const override { return index; }
    void SetIndex(int iIndex) override { index = iIndex; }
    int GetDrawIndex() const override { return drawIndex; }
    void SetDrawIndex(int iIndex) override { drawIndex = iIndex; }
    IListOwnerUI* GetOwner() override { return owner; }
    void SetOwner(CControlUI* pOwner) override { owner = AsListOwner(pOwner); }
    bool IsSelected() const override { return selected; }
    // A disabled row cannot be selected; deselecting always works.
    bool Select(bool bSelect = true, bool bTakeFocus = false) override;
    bool IsExpanded() const override { return false; }
    bool Expand(bool) override { return false; }

    bool IsHot() const { return (buttonState & StateHot) != 0; }

protected:
    TListInfo* Info() const { return owner != NULL ? owner->GetListInfo() : NULL; }
    // Repaints the part of the row that shows through its container's
    // scrolled area and its ancestors.
    void InvalidateItem();
    // The owner's background colour and image for the row's state.
    void DrawItemBk(HDC hDC);
    // The owner's background colour for the row's state; 0 for none.
    DWORD ItemBkColor(const TListInfo& info) const;
    // The owner's text colour for the row's state.
    DWORD ItemTextColor(const TListInfo& info) const;
    // Link colours that read on the row's background.
    TLinkColors ItemLinkColors(const TListInfo& info) const;
    // Clicks, hover, activation; what a row does not handle goes to its owner.
    void HandleRowEvent(TControlEvent& event);
    void PassToOwner(TControlEvent& event);
    // A row's mouse events go to its list, or, without one, to its parent:
    // never back into the row's own handling, which would pass them on again.
    void PassMouseOn(TControlEvent& event) override
    {
        if (owner != NULL)
            owner->HandleItemEvent(event);
        else
            CControlUI::PassMouseOn(event);
    }
    void InvalidateHotLook() override { InvalidateItem(); }

    int index;
    int drawIndex;
    bool selected;
    UINT buttonState;     // StateHot
    IListOwnerUI* owner;  // not owned
};

// The base of the simple rows, which draw one text or one per column.
class CListElementUI : public CListItemBase<CControlUI>
{
public:
    LPCWSTR GetClassName() const override;
    LPVOID FindInterface(LPCWSTR pstrName) override;
    // A row that can be selected.
    DWORD GetAccessibleRole() override;
    DWORD GetAccessibleState() override;
    LPCWSTR GetAccessibleAction() override;
    void HandleEvent(TControlEvent& event) override;
};

// A row of one text. Its size is measured in the owner's font and padding and
// kept until the text, the owner's look, its fixed size or, for wrapped text,
// the width offered change.
class CListLabelElementUI : public CListElementUI
{
public:
    CListLabelElementUI();

    LPCWSTR GetClassName() const override;
    LPVOID FindInterface(LPCWSTR pstrName) override;
    void SetText(LPCWSTR pstrText) override;
    void SetFixedWidth(int cx) override;
    void SetFixedHeight(int cy) override;
    void SetOwner(CControlUI* pOwner) override;
    // The text without its tags when the owner shows tagged text.
    CUIString GetAccessibleText() override;
    SIZE EstimateSize(SIZE szAvailable) override;
    // The background and the text from the owner's look, nothing of the
    // control's own layers.
    bool PaintContent(HDC hDC, const RECT& rcPaint, CControlUI* pStopControl) override;
    void DrawItemText(HDC hDC, const RECT& rc) override;

    // How many times the text was measured (for tests of the size cache).
    int GetMeasureCount() const { return measureCount; }

protected:
    // The text the size is measured from.
    virtual CUIString MeasuredText();
    // The width a row has whatever its text; false when the text decides.
    virtual bool WidthFromColumns(const TListInfo& info, int& width) const;
    bool IsEstimateStale(const TListInfo& info, SIZE szAvailable, const CUIString& measured) const;
    // Measures text inside rc (DT_CALCRECT), in the owner's font and format.
    void MeasureInto(const TListInfo& info, const CUIString& measured, RECT& rc, UINT style);

    bool estimateDirty;
    CUISize estimated;
    CUISize lastAvailable;
    int lastItemHeight;
    int lastFont;
    UINT lastTextStyle;
    CUIRect lastTextPadding;
    CUIString lastMeasured;
    int measureCount;
};

// A row of one text per column, from the list's text callback when it has
// one, with links in tagged text.
class CListTextElementUI : public CListLabelElementUI
{
public:
    enum
    {
        MaxLinks = 8
    };

    CListTextElementUI();
    ~CListTextElementUI() override;

    LPCWSTR GetClassName() const override;
    LPVOID FindInterface(LPCWSTR pstrName) override;
    UINT GetFlags() const override;
    void SetOwner(CControlUI* pOwner) override;
    void HandleEvent(TControlEvent& event) override;
    void DrawItemText(HDC hDC, const RECT& rc) override;
    // The first column's text is the name; the others, after their
    // headers' texts, are the details.
    CUIString GetAccessibleText() override;
    CUIString GetAccessibleDetails() override;

    // The text of a column; an empty one when none was set.
    LPCWSTR GetText(int iColumn) const;
    void SetText(int iColumn, LPCWSTR pstrText);
    using CListLabelElementUI::GetText;
    using CListLabelElementUI::SetText;

    int GetLinkCount() const { return linkCount; }
    RECT GetLinkRect(int iLink) const;
    int GetHotLink() const { return hotLink; }
    // The links of the last paint, as the keyboard walks them.
    TLinkEntries GetLinkEntries() const;
    // The link the keyboard is on (its first entry), -1 for none; its list
    // sets it while it has the focus, and a row that loses the selection
    // drops it.
    int GetFocusedLink() const { return focusedLink; }
    void SetFocusedLink(int iLink);
    bool Select(bool bSelect = true, bool bTakeFocus = false) override;

protected:
    CUIString MeasuredText() override;
    bool WidthFromColumns(const TListInfo& info, int& width) const override;
    // The callback's text for a column, else the column's own.
    CUIString ColumnText(int iColumn);
    int LinkAt(POINT pt) const;
    void HandleLinkEvent(TControlEvent& event);

    // Where the links of tagged text were drawn and what they name. Most rows
    // show none, so the storage is made when a row first draws tagged text.
    struct TLinks
    {
        RECT rects[MaxLinks];
        CUIString texts[MaxLinks];
    };
    TLinks& Links();

    int linkCount;
    std::unique_ptr<TLinks> links;  // null until tagged text is drawn
    int hotLink;
    int focusedLink;
    IListUI* listOwner;    // not owned
    CPtrList columnTexts;  // owned CUIString*
};

// A row that is a container of any controls, and can be expanded.
class CListContainerElementUI : public CListItemBase<CContainerUI>
{
public:
    CListContainerElementUI();

    LPCWSTR GetClassName() const override;
    LPVOID FindInterface(LPCWSTR pstrName) override;
    // A row that can be selected.
    DWORD GetAccessibleRole() override;
    DWORD GetAccessibleState() override;
    LPCWSTR GetAccessibleAction() override;
    void HandleEvent(TControlEvent& event) override;
    // "expandable" besides the row's attributes.
    void SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) override;
    // Its fixed size; without a height, the owner's row height.
    SIZE EstimateSize(SIZE szAvailable) override;
    bool PaintContent(HDC hDC, const RECT& rcPaint, CControlUI* pStopControl) override;

    bool IsExpanded() const override { return expanded; }
    // An expandable row tells its owner, which may collapse another row, and
    // sends "itemexpand" or "itemcollapse".
    bool Expand(bool bExpand = true) override;
    void DrawItemText(HDC, const RECT&) override {}

    bool IsExpandable() const { return expandable; }
    void SetExpandable(bool bExpandable) { expandable = bExpandable; }

protected:
    bool expandable;
    bool expanded;
};

// A container row that places its children in the owner's columns, one
// child per column.
class CListHBoxElementUI : public CListContainerElementUI
{
public:
    LPCWSTR GetClassName() const override;
    LPVOID FindInterface(LPCWSTR pstrName) override;
    void SetPos(RECT rc, bool bNeedInvalidate = true) override;
    bool PaintContent(HDC hDC, const RECT& rcPaint, CControlUI* pStopControl) override;
};

// The element names that make these controls in skins.
inline constexpr TControlTag kListItemTags[] = {
    {L"ListLabelElement", AnyCase, MakeControl<CListLabelElementUI>},
    {L"ListTextElement", AnyCase, MakeControl<CListTextElementUI>},
    {L"ListContainerElement", AnyCase, MakeControl<CListContainerElementUI>},
    {L"ListHBoxElement", AnyCase, MakeControl<CListHBoxElementUI>},
};
