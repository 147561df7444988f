#pragma once

#include "ui/controls/BoxLayout.h"
#include "ui/controls/ControlTag.h"
#include "ui/controls/ListHeader.h"
#include "ui/controls/LinkFocus.h"
#include "ui/controls/ListInterfaces.h"

class CListTextElementUI;

class CListUI;

// The scrolling part of a list that holds its rows. It lays the rows out in
// the list's columns with the row lines between them, and paints and hit-tests
// only the rows that can be seen.
//
// Scrolling up and down moves only the rows that can be seen, before and
// after: the others keep the rectangle they had and are brought to their
// place when they are needed (painted, hit, scrolled into view, or before
// the rows change). The body remembers where the last layout put each row
// and how far the content has moved since.
class CListBodyUI : public CVerticalLayoutUI
{
public:
    explicit CListBodyUI(CListUI* pOwner);
    ~CListBodyUI() override;

    // The list is the tab stop and takes the keys for its rows.
    UINT GetFlags() const override { return CVerticalLayoutUI::GetFlags() & ~FlagTabStop; }

    void SetPos(RECT rc, bool bNeedInvalidate = true) override;
    void MoveBy(int dx, int dy, bool bNeedInvalidate = true) override;
    CControlUI* FindControl(FINDCONTROLPROC Proc, LPVOID pData, UINT uFlags) override;
    void HandleEvent(TControlEvent& event) override;
    bool PaintContent(HDC hDC, const RECT& rcPaint, CControlUI* pStopControl) override;
    // The header scrolls sideways with the rows.
    void SetScrollPos(SIZE szPos) override;

    // Every change of the rows first brings them all to their places.
    bool SetItemIndex(CControlUI* pControl, int iNewIndex) override;
    bool SetMultiItemIndex(CControlUI* pStartControl, int iCount, int iNewStartIndex) override;
    bool AddAt(CControlUI* pControl, int iIndex) override;
    bool Remove(CControlUI* pControl, bool bDoNotDestroy = false) override;
    void RemoveAll() override;

    // Brings the row at iIndex to where the scrolled content has it.
    void RefreshRow(int iIndex);

protected:
    // Where the last layout placed a row.
    struct TRowSlot
    {
        int top;
        int bottom;
        int applied;  // how much of the vertical movement since the layout the row has taken
        bool placed;  // visible and in the flow
    };

    // The slots describe the rows as they are (no change since the layout).
    bool SlotsValid() const { return slotCount > 0 && slotCount == items.GetSize() && !hasFloatItems; }
    void RefreshAll();
    void ForgetSlots();
    bool ReserveSlots(int count);
    // The first row at or after index that the layout placed.
    int NextPlaced(int index) const;
    // The first placed row whose bottom lies below y, or the row count.
    int FirstPlacedBelow(int y) const;
    // Rows first..end-1 are those that reach into [top, bottom).
    void RowsBetween(int top, int bottom, int& first, int& end) const;
    bool PaintRows(HDC hDC, const RECT& rcPaint);
    // The row lines below rows first..end-1.
    void PaintRowLines(HDC hDC, const RECT& rcPaint, int first, int end);

    CListUI* owner;      // not owned: the list holds this body
    bool hasFloatItems;  // seen at the last layout
    TRowSlot* slots;     // owned
    int slotCount;
    int slotCapacity;
    int shift;  // vertical movement of the content since the layout
};

// A vertical list of selectable rows under an optional header of resizable
// columns. The list has exactly two children of its own, the header and the
// body; every control added to the list goes to one of them. The list keeps
// the selection, the expanded row and the look every row draws itself with.
// It is one tab stop; Tab then visits the links of the selected row before it
// leaves, and Return or Space follows the focused one as a click does.
class CListUI : public CVerticalLayoutUI, public IListUI, public ITabLinksUI
{
public:
    CListUI();
    ~CListUI() override;

    // ---- Control interface overrides ----
    LPCWSTR GetClassName() const override;
    LPVOID FindInterface(LPCWSTR pstrName) override;
    DWORD GetAccessibleRole() override;
    UINT GetFlags() const override;
    void SetPos(RECT rc, bool bNeedInvalidate = true) override;
    // A hidden header moves too, though it is not laid out.
    void MoveBy(int dx, int dy, bool bNeedInvalidate = true) override;
    void HandleEvent(TControlEvent& event) override;
    void SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) override;
    void ScaleGeometry(int fromDpi, int toDpi) override;

    // ---- Children: header elements go to the header, the rest to the body ----
    CControlUI* GetItemAt(int iIndex) const override;
    int GetItemIndex(CControlUI* pControl) const override;
    bool SetItemIndex(CControlUI* pControl, int iNewIndex) override;
    bool SetMultiItemIndex(CControlUI* pStartControl, int iCount, int iNewStartIndex) override;
    int GetCount() const override;
    // A second header is refused while the list's header has columns.
    bool Add(CControlUI* pControl) override;
    bool AddAt(CControlUI* pControl, int iIndex) override;
    bool Remove(CControlUI* pControl, bool bDoNotDestroy = false) override;
    bool RemoveAt(int iIndex, bool bDoNotDestroy = false) override;
    void RemoveAll() override;

    // ---- Spacing and scrolling belong to the body ----
    int GetChildPadding() const override;
    void SetChildPadding(int iPadding) override;
    int FindSelectable(int iIndex, bool bForward = true) const override;
    SIZE GetScrollPos() const override;
    SIZE GetScrollRange() const override;
    void SetScrollPos(SIZE szPos) override;
    void LineUp() override;
    void LineDown() override;
    void PageUp() override;
    void PageDown() override;
    void HomeUp() override;
    void EndDown() override;
    void LineLeft() override;
    void LineRight() override;
    void PageLeft() override;
    void PageRight() override;
    void HomeLeft() override;
    void EndRight() override;
    void EnableScrollBar(bool bEnableVertical = true, bool bEnableHorizontal = false) override;
    CScrollBarUI* GetVerticalScrollBar() const override;
    CScrollBarUI* GetHorizontalScrollBar() const override;

    // ---- IListUI ----
    TListInfo* GetListInfo() override { return &info; }
    int GetCurSel() const override { return curSel; }
    bool SelectItem(int iIndex, bool bTakeFocus = false, bool bSendNotify = true) override;
    void HandleItemEvent(TControlEvent& event) override { HandleEvent(event); }
    // Without several expandable rows, expanding one collapses the other.
    bool ExpandItem(int iIndex, bool bExpand = true) override;
    int GetExpandedItem() const override { return expandedItem; }
    CListHeaderUI* GetHeader() const override { return header; }
    CContainerUI* GetList() const override { return body; }
    IListTextCallback* GetTextCallback() const override { return textCallback; }
    void SetTextCallback(IListTextCallback* pCallback) override { textCallback = pCallback; }

    // ---- ITabLinksUI: the selected row's links ----
    bool MoveLinkFocus(bool bForward) override;
    void EnterByTab(bool bForward) override;

    // ---- Operations ----
    // Scrolls the row at iIndex into view.
    void EnsureVisible(int iIndex);
    bool IsScrollSelect() const { return scrollSelect; }
    void SetScrollSelect(bool bScrollSelect) { scrollSelect = bScrollSelect; }
    // Copies the header items' rectangles into the columns (at most 64).
    void RefreshColumns();
    // True while the list places its header and body.
    bool IsPlacing() const { return placing; }
    // Lays the whole list out again where it is.
    void PlaceAgain(bool bNeedInvalidate);

protected:
    enum TChildKind
    {
        HeaderChild,
        HeaderItemChild,
        RowChild,
    };
    static TChildKind KindOf(CControlUI* pControl);

    // Gives rows first..last-1 their present positions as indexes.
    void Renumber(int first, int last);
    // A row left the body at index: later rows move up, and the selection
    // and the expanded row follow.
    void AfterRowRemoved(int index);
    // Rows were moved inside the body; the selection and expansion follow
    // the rows that had them.
    void AfterRowsMoved(CControlUI* selected, CControlUI* expanded);
    CControlUI* RowAt(int index) const;
    // The selected row when it is a text row, which may show links.
    CListTextElementUI* SelectedTextRow() const;
    // Return or Space on the selected row's focused link; false when none has the focus.
    bool FollowFocusedLink();
    // Selects the next selectable row from index on, in one direction.
    void SelectFrom(int index, bool bForward);
    // Page Up and Page Down: the selection moves by a view's worth of rows.
    void MoveSelectionByPage(bool bForward);
    bool HandleKey(WORD key);
    // The list's own layout: the vertical layout of header and body, the
    // columns taken from the header around it, the sideways scroll applied.
    void PlaceHeaderAndBody(const RECT& rc, bool bNeedInvalidate);
    // A header item came or went.
    void ColumnsChanged();
    // Places a hidden header so that its columns still follow its items.
    void LayOutHiddenHeader();
    // From the first column's left to the last one's right; -1 without columns.
    int ColumnSpan() const;

    static const TAttributeRow<CListUI> attributeTable[];

    bool scrollSelect;
    int curSel;
    int expandedItem;
    bool expanding;                   // ExpandItem is asking a row to expand or collapse
    bool placing;                     // inside SetPos
    IListTextCallback* textCallback;  // not owned
    CListBodyUI* body;                // a child of the list
    CListHeaderUI* header;            // a child of the list; null once removed
    TListInfo info;
};

// The element name that makes this control in skins.
inline constexpr TControlTag kListTags[] = {
    {L"List", AnyCase, MakeControl<CListUI>},
};
