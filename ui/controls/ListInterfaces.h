#pragma once

#include <windows.h>

#include "ui/core/UIDefs.h"
#include "ui/render/ImageDescriptor.h"

class CControlUI;
class CContainerUI;
class CListHeaderUI;

// How the rows of one list or combo draw themselves: the columns taken from
// the header, and the font, text format, colours and images of each state.
// Rows keep no look of their own; they read this record through their owner.
struct TListInfo
{
    enum
    {
        MaxColumns = 64
    };

    TListInfo();

    int columnCount;
    RECT columns[MaxColumns];  // window rectangles of the header items
    int itemHeight;            // for rows without a height of their own; 0 = measured
    int font;                  // -1: the window's default font
    UINT textStyle;
    RECT textPadding;
    DWORD textColor;
    DWORD bkColor;  // 0 = none
    TDrawSpec bkImage;
    bool alternateBk;  // rows at odd draw positions get no normal background
    DWORD selectedTextColor;
    DWORD selectedBkColor;
    // Links of a selected row; 0 = the window's link colours where they read
    // on the selection, else a colour that does.
    DWORD selectedLinkColor;
    DWORD selectedLinkHoverColor;
    TDrawSpec selectedImage;
    DWORD hotTextColor;
    DWORD hotBkColor;
    TDrawSpec hotImage;
    DWORD disabledTextColor;
    DWORD disabledBkColor;
    TDrawSpec disabledImage;
    int hLineSize;  // line between rows; 0 = none
    DWORD hLineColor;
    int vLineSize;  // line between columns; 0 = none
    DWORD vLineColor;
    bool showHtml;  // row texts are tagged text
    bool multiExpandable;
};

// What a row needs of the control that holds it: the shared look, the
// selection and the expansion. Lists and combos implement it.
class IListOwnerUI
{
public:
    virtual TListInfo* GetListInfo() = 0;
    virtual int GetCurSel() const = 0;
    // Moves the selection to the row at iIndex; false leaves none selected.
    virtual bool SelectItem(int iIndex, bool bTakeFocus = false, bool bSendNotify = true) = 0;
    // Rows pass on the events they do not handle themselves.
    virtual void HandleItemEvent(TControlEvent& event) = 0;
    virtual bool ExpandItem(int iIndex, bool bExpand = true) = 0;
    virtual int GetExpandedItem() const = 0;

protected:
    ~IListOwnerUI() = default;
};

// Supplies the column texts of text rows, in place of texts stored in them.
class IListTextCallback
{
public:
    virtual LPCWSTR GetItemText(CControlUI* pItem, int iIndex, int iSubItem) = 0;

protected:
    ~IListTextCallback() = default;
};

// A list with a header and a body of rows.
class IListUI : public IListOwnerUI
{
public:
    virtual CListHeaderUI* GetHeader() const = 0;
    // The body that holds the rows.
    virtual CContainerUI* GetList() const = 0;
    virtual IListTextCallback* GetTextCallback() const = 0;
    virtual void SetTextCallback(IListTextCallback* pCallback) = 0;

protected:
    ~IListUI() = default;
};

// A row of a list or of a combo's drop-down: it knows its index and owner,
// can be selected, hot and expanded, and draws itself from its owner's look.
class IListItemUI
{
public:
    virtual int GetIndex() const = 0;
    virtual void SetIndex(int iIndex) = 0;
    // Position among the visible rows at the owner's last layout.
    virtual int GetDrawIndex() const = 0;
    virtual void SetDrawIndex(int iIndex) = 0;
    virtual IListOwnerUI* GetOwner() = 0;
    // Takes the owner's "IListOwner" interface.
    virtual void SetOwner(CControlUI* pOwner) = 0;
    virtual bool IsSelected() const = 0;
    virtual bool Select(bool bSelect = true, bool bTakeFocus = false) = 0;
    virtual bool IsExpanded() const = 0;
    virtual bool Expand(bool bExpand = true) = 0;
    // Draws the row's text (or its column texts) inside rc.
    virtual void DrawItemText(HDC hDC, const RECT& rc) = 0;

protected:
    ~IListItemUI() = default;
};

// The interface of a control, null when it is none.
inline IListItemUI* AsListItem(CControlUI* pControl);
inline IListOwnerUI* AsListOwner(CControlUI* pControl);

#include "ui/controls/Control.h"

inline IListItemUI* AsListItem(CControlUI* pControl)
{
    return pControl != NULL ? static_cast<IListItemUI*>(pControl->FindInterface(L"IListItem")) : NULL;
}

inline IListOwnerUI* AsListOwner(CControlUI* pControl)
{
    return pControl != NULL ? static_cast<IListOwnerUI*>(pControl->FindInterface(L"IListOwner")) : NULL;
}

// The selected row of a list or a combo box is an index into its rows, -1
// for none. These keep it naming the same row as rows come and go, and do
// the part of selecting that both owners share.

// A row was inserted at index: the selected row moves down with the rows
// after it.
inline void SelectionAfterInsert(int& selected, int index)
{
    if (selected >= index)
        ++selected;
}

// The row at index was removed. True when it was the selected one: the
// selection is then empty and the owner selects a neighbour. Otherwise the
// index follows its row.
inline bool SelectionAfterRemove(int& selected, int index)
{
    if (selected == index)
    {
        selected = -1;
        return true;
    }
    if (selected > index)
        --selected;
    return false;
}

// Unselects the selected row (row, found at selected) and empties the
// selection. The index it had, -1 for none.
inline int DropSelection(int& selected, CControlUI* row, bool bSendNotify)
{
    const int previous = selected;
    if (selected >= 0)
    {
        if (IListItemUI* item = AsListItem(row))
            item->Select(false, bSendNotify);
        selected = -1;
    }
    return previous;
}

// The control as a row that can take the selection, a visible and enabled
// list item; null for anything else.
inline IListItemUI* SelectableRow(CControlUI* control)
{
    IListItemUI* row = AsListItem(control);
    return row != NULL && control->IsVisible() && control->IsEnabled() ? row : NULL;
}

// The "item..." attributes of lists and combos; false for another name. owner
// is invalidated for a change of look and laid out again for one of size.
// Vertical alignment, ellipsis and wrapping are read only with lineStyles.
bool ApplyListInfoAttribute(TListInfo& info, CControlUI& owner, LPCWSTR name, LPCWSTR value, bool lineStyles);
// The window moved to a display of another DPI: the rows' lengths follow.
void RescaleListInfo(TListInfo& info, int fromDpi, int toDpi);
