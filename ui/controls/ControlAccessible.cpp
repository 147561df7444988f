// What each control family tells assistive technology: its role, the states
// only it knows, its value and its default action. The manager's accessible
// object (ui/manager/ManagerAccessible.cpp) adds what every control shares:
// name, focus, visibility, availability, hot state and location.

#include <windows.h>
#include <oleacc.h>
#include <wchar.h>
#include <wctype.h>

#include "ui/controls/Button.h"
#include "ui/controls/Combo.h"
#include "ui/controls/Container.h"
#include "ui/controls/Control.h"
#include "ui/controls/DateTime.h"
#include "ui/controls/Edit.h"
#include "ui/controls/GifAnim.h"
#include "ui/controls/Label.h"
#include "ui/controls/List.h"
#include "ui/controls/ListHeader.h"
#include "ui/controls/ListItems.h"
#include "ui/controls/Progress.h"
#include "ui/controls/RichEdit.h"
#include "ui/controls/ScrollBar.h"
#include "ui/controls/TreeView.h"

// ---- Every control ----

// A plain control or a container is a pane grouping what lies on it.
DWORD CControlUI::GetAccessibleRole()
{
    return ROLE_SYSTEM_PANE;
}

DWORD CControlUI::GetAccessibleState()
{
    return 0;
}

bool CControlUI::GetAccessibleValue(CUIString&)
{
    return false;
}

LPCWSTR CControlUI::GetAccessibleAction()
{
    return NULL;
}

bool CControlUI::DoAccessibleAction()
{
    if (GetAccessibleAction() == NULL)
        return false;
    return Activate();
}

CUIString CControlUI::GetAccessibleText()
{
    return GetText();
}

CUIString CControlUI::GetAccessibleDetails()
{
    return CUIString();
}

CControlUI* CControlUI::GetAccessibleChild(int)
{
    return NULL;
}

// A focus border colour is the skin's own way of showing the focus.
bool CControlUI::HasFocusedLook() const
{
    return focusBorderColor != 0 && borderSize.left > 0;
}

// ---- Containers ----

CControlUI* CContainerUI::GetAccessibleChild(int index)
{
    return index >= 0 && index < GetCount() ? GetItemAt(index) : NULL;
}

// ---- Labels and text ----

DWORD CLabelUI::GetAccessibleRole()
{
    return ROLE_SYSTEM_STATICTEXT;
}

namespace
{
// A tag is one letter, optionally closed by "/" before it and followed by
// its arguments after a blank: "{b}", "{/c}", "<c #FF0000>", "{n}".
bool IsTag(LPCWSTR open, LPCWSTR close)
{
    LPCWSTR p = open + 1;
    if (*p == L'/')
        ++p;
    if (!iswalpha(*p))
        return false;
    ++p;
    return p == close || *p == L' ';
}

// Tagged text as it reads: the tags left out, a line break read as a blank.
CUIString WithoutTags(const CUIString& tagged)
{
    CUIString plain;
    for (LPCWSTR p = tagged; *p != L'\0'; ++p)
    {
        const WCHAR closing = *p == L'{' ? L'}' : *p == L'<' ? L'>' : L'\0';
        LPCWSTR close = closing != L'\0' ? wcschr(p, closing) : NULL;
        if (close == NULL || !IsTag(p, close))
        {
            plain.Append(*p);
            continue;
        }
        if (close == p + 2 && p[1] == L'n')
            plain.Append(L' ');
        p = close;
    }
    return plain;
}
}  // namespace

CUIString CLabelUI::GetAccessibleText()
{
    return showHtml ? WithoutTags(GetText()) : GetText();
}

// ---- Buttons, options and check boxes ----

DWORD CButtonUI::GetAccessibleRole()
{
    return ROLE_SYSTEM_PUSHBUTTON;
}

DWORD CButtonUI::GetAccessibleState()
{
    DWORD state = 0;
    if (buttonState & StateHot)
        state |= STATE_SYSTEM_HOTTRACKED;
    if (buttonState & StatePushed)
        state |= STATE_SYSTEM_PRESSED;
    return state;
}

LPCWSTR CButtonUI::GetAccessibleAction()
{
    return L"Press";
}

// The same activation as a click or the Space key, so a screen reader's
// press sends "click" as well.
bool CButtonUI::DoAccessibleAction()
{
    return IsEnabled() && Activate();
}

bool CButtonUI::HasFocusedLook() const
{
    return !focusedImage.drawString.IsEmpty() || focusedTextColor != 0 || CLabelUI::HasFocusedLook();
}

DWORD COptionUI::GetAccessibleRole()
{
    return ROLE_SYSTEM_RADIOBUTTON;
}

DWORD COptionUI::GetAccessibleState()
{
    return CButtonUI::GetAccessibleState() | (selected ? STATE_SYSTEM_CHECKED : 0);
}

// In a group an option is selected; on its own it toggles like a check box.
LPCWSTR COptionUI::GetAccessibleAction()
{
    if (!groupName.IsEmpty())
        return L"Select";
    return selected ? L"Uncheck" : L"Check";
}

DWORD CCheckBoxUI::GetAccessibleRole()
{
    return ROLE_SYSTEM_CHECKBUTTON;
}

LPCWSTR CCheckBoxUI::GetAccessibleAction()
{
    return IsSelected() ? L"Uncheck" : L"Check";
}

// ---- Progress bars and sliders ----

DWORD CProgressUI::GetAccessibleRole()
{
    return ROLE_SYSTEM_PROGRESSBAR;
}

bool CProgressUI::GetAccessibleValue(CUIString& text)
{
    const long long range = static_cast<long long>(maxValue) - minValue;
    const long long done = static_cast<long long>(value) - minValue;
    const int percent = range > 0 ? static_cast<int>(done * 100 / range) : 0;
    text.Format(L"%d%%", percent);
    return true;
}

DWORD CSliderUI::GetAccessibleRole()
{
    return ROLE_SYSTEM_SLIDER;
}

bool CSliderUI::GetAccessibleValue(CUIString& text)
{
    text.Format(L"%d", value);
    return true;
}

// ---- Scroll bars ----

DWORD CScrollBarUI::GetAccessibleRole()
{
    return ROLE_SYSTEM_SCROLLBAR;
}

bool CScrollBarUI::GetAccessibleValue(CUIString& text)
{
    text.Format(L"%d", scrollPos);
    return true;
}

// ---- Animated pictures ----

DWORD CGifAnimUI::GetAccessibleRole()
{
    return ROLE_SYSTEM_ANIMATION;
}

// ---- Rich edit ----

DWORD CRichEditUI::GetAccessibleRole()
{
    return ROLE_SYSTEM_TEXT;
}

DWORD CRichEditUI::GetAccessibleState()
{
    return IsReadOnly() ? STATE_SYSTEM_READONLY : 0;
}

bool CRichEditUI::GetAccessibleValue(CUIString& value)
{
    value = GetText();
    return true;
}

// The name comes from the tooltip or the skin's name, as a label beside the
// field cannot be known here.
CUIString CRichEditUI::GetAccessibleText()
{
    return CUIString();
}

bool CRichEditUI::HasFocusedLook() const
{
    return true;
}

// ---- Edit and date picker ----

DWORD CEditUI::GetAccessibleRole()
{
    return ROLE_SYSTEM_TEXT;
}

DWORD CEditUI::GetAccessibleState()
{
    return (IsReadOnly() ? STATE_SYSTEM_READONLY : 0) | (IsPasswordMode() ? STATE_SYSTEM_PROTECTED : 0);
}

// A password is never read out.
bool CEditUI::GetAccessibleValue(CUIString& value)
{
    if (IsPasswordMode())
        return false;
    value = GetText();
    return true;
}

CUIString CEditUI::GetAccessibleText()
{
    return CUIString();
}

DWORD CDateTimeUI::GetAccessibleRole()
{
    return ROLE_SYSTEM_DROPLIST;
}

bool CDateTimeUI::GetAccessibleValue(CUIString& value)
{
    value = GetText();
    return true;
}

CUIString CDateTimeUI::GetAccessibleText()
{
    return CUIString();
}

// ---- Lists, their rows, combos and trees ----

DWORD CListUI::GetAccessibleRole()
{
    return ROLE_SYSTEM_LIST;
}

namespace
{
DWORD RowState(const IListItemUI& row)
{
    return STATE_SYSTEM_SELECTABLE | (row.IsSelected() ? STATE_SYSTEM_SELECTED : 0);
}
}  // namespace

DWORD CListElementUI::GetAccessibleRole()
{
    return ROLE_SYSTEM_LISTITEM;
}

DWORD CListElementUI::GetAccessibleState()
{
    return RowState(*this);
}

LPCWSTR CListElementUI::GetAccessibleAction()
{
    return L"Select";
}

DWORD CListContainerElementUI::GetAccessibleRole()
{
    return ROLE_SYSTEM_LISTITEM;
}

DWORD CListContainerElementUI::GetAccessibleState()
{
    return RowState(*this);
}

LPCWSTR CListContainerElementUI::GetAccessibleAction()
{
    return L"Select";
}

DWORD CComboUI::GetAccessibleRole()
{
    return ROLE_SYSTEM_COMBOBOX;
}

bool CComboUI::GetAccessibleValue(CUIString& value)
{
    value = GetText();
    return true;
}

CUIString CComboUI::GetAccessibleText()
{
    return CUIString();
}

LPCWSTR CComboUI::GetAccessibleAction()
{
    return L"Open";
}

DWORD CTreeViewUI::GetAccessibleRole()
{
    return ROLE_SYSTEM_OUTLINE;
}

DWORD CTreeNodeUI::GetAccessibleRole()
{
    return ROLE_SYSTEM_OUTLINEITEM;
}

DWORD CTreeNodeUI::GetAccessibleState()
{
    DWORD state = CListContainerElementUI::GetAccessibleState();
    if (GetChildNodeCount() > 0)
        state |= IsFolderExpanded() ? STATE_SYSTEM_EXPANDED : STATE_SYSTEM_COLLAPSED;
    return state;
}

CUIString CTreeNodeUI::GetAccessibleText()
{
    return GetItemText();
}

// A node with children opens and closes, as its folder button does; a leaf
// is selected like any row.
LPCWSTR CTreeNodeUI::GetAccessibleAction()
{
    if (GetChildNodeCount() == 0)
        return CListContainerElementUI::GetAccessibleAction();
    return IsFolderExpanded() ? L"Collapse" : L"Expand";
}

bool CTreeNodeUI::DoAccessibleAction()
{
    if (GetChildNodeCount() == 0)
        return CListContainerElementUI::DoAccessibleAction();
    if (!IsEnabled())
        return false;
    folderButton->SetSelected(!folderButton->IsSelected(), true);
    return true;
}

// The node itself says what its indentation, folder button and text show
// (its name, its action, expanded or collapsed); what is left of its row (the
// check box, controls a skin added) are its children.
CControlUI* CTreeNodeUI::GetAccessibleChild(int index)
{
    for (int i = 0, seen = 0; i < rowLayout->GetCount(); ++i)
    {
        CControlUI* part = rowLayout->GetItemAt(i);
        if (part == dottedLine || part == folderButton || part == itemButton)
            continue;
        if (seen++ == index)
            return part;
    }
    return NULL;
}

// ---- Rows of text ----

namespace
{
CUIString RowText(const TListInfo* info, const CUIString& text)
{
    return info != NULL && info->showHtml ? WithoutTags(text) : text;
}
}  // namespace

CUIString CListLabelElementUI::GetAccessibleText()
{
    return RowText(Info(), GetText());
}

// A row is named by its first column, as the text callback or the row gives it.
CUIString CListTextElementUI::GetAccessibleText()
{
    return RowText(Info(), MeasuredText());
}

// The other columns, each after its header's text: "Size: 12 KB, Notes: new".
CUIString CListTextElementUI::GetAccessibleDetails()
{
    CListHeaderUI* header = listOwner != NULL ? listOwner->GetHeader() : NULL;
    const int headerColumns = header != NULL ? header->GetCount() : 0;
    const int columns = headerColumns > columnTexts.GetSize() ? headerColumns : columnTexts.GetSize();
    CUIString details;
    for (int i = 1; i < columns; ++i)
    {
        const CUIString column = RowText(Info(), ColumnText(i));
        if (column.IsEmpty())
            continue;
        if (!details.IsEmpty())
            details.Append(L", ");
        CControlUI* heading = i < headerColumns ? header->GetItemAt(i) : NULL;
        const CUIString title = heading != NULL ? heading->GetAccessibleText() : CUIString();
        if (!title.IsEmpty())
        {
            details.Append(title);
            details.Append(L": ");
        }
        details.Append(column);
    }
    return details;
}
