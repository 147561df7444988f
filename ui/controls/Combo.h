#pragma once

#include "ui/controls/BoxLayout.h"
#include "ui/controls/ControlTag.h"
#include "ui/controls/ListInterfaces.h"

class CComboWnd;

// A drop-down list box. Closed, it shows the selected row inside a box with
// state images; activated, it opens a pop-up window with a manager of its
// own in which the rows are shown as a scrolling list. The rows always
// belong to the combo; while the drop-down is open they are also children of
// its body, and they come back when it closes.
class CComboUI : public CContainerUI, public IListOwnerUI
{
public:
    CComboUI();
    // Closes an open drop-down first, so that no row stays in its body.
    ~CComboUI() override;

    // ---- Control interface overrides ----
    LPCWSTR GetClassName() const override;
    LPVOID FindInterface(LPCWSTR pstrName) override;
    // The chosen row's text is the value, not the name; the action opens the list.
    DWORD GetAccessibleRole() override;
    bool GetAccessibleValue(CUIString& value) override;
    CUIString GetAccessibleText() override;
    LPCWSTR GetAccessibleAction() override;
    // A focused image shows the focus as well as a focus border does.
    bool HasFocusedLook() const override;
    UINT GetFlags() const override;
    // Opens the drop-down and sends "dropdown".
    bool Activate() override;
    // The selected row's text.
    CUIString GetText() const override;
    // The rows sit at empty rectangles while the drop-down is closed.
    void SetPos(RECT rc, bool bNeedInvalidate = true) override;
    // In the window the box is one target: its rows are hit only in the open drop-down.
    CControlUI* FindControl(FINDCONTROLPROC Proc, LPVOID pData, UINT uFlags) override;
    void MoveBy(int dx, int dy, bool bNeedInvalidate = true) override;
    void SetEnabled(bool bEnable = true) override;
    void HandleEvent(TControlEvent& event) override;
    void SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) override;
    void ScaleGeometry(int fromDpi, int toDpi) override;
    SIZE EstimateSize(SIZE szAvailable) override;
    // The box's own layers; the rows are not painted inside it.
    bool PaintContent(HDC hDC, const RECT& rcPaint, CControlUI* pStopControl) override;
    void PaintStatusImage(HDC hDC) override;
    void PaintText(HDC hDC) override;

    // ---- Children: rows keep their indexes and the selection follows them ----
    bool SetItemIndex(CControlUI* pControl, int iNewIndex) override;
    bool SetMultiItemIndex(CControlUI* pStartControl, int iCount, int iNewStartIndex) override;
    bool Add(CControlUI* pControl) override;
    bool AddAt(CControlUI* pControl, int iIndex) override;
    bool Remove(CControlUI* pControl, bool bDoNotDestroy = false) override;
    bool RemoveAt(int iIndex, bool bDoNotDestroy = false) override;
    void RemoveAll() override;

    // ---- IListOwnerUI ----
    TListInfo* GetListInfo() override { return &info; }
    int GetCurSel() const override { return curSel; }
    // An index past the last row selects the last row.
    bool SelectItem(int iIndex, bool bTakeFocus = false, bool bSendNotify = true) override;
    void HandleItemEvent(TControlEvent& event) override { HandleEvent(event); }
    bool ExpandItem(int, bool) override { return false; }
    int GetExpandedItem() const override { return -1; }

    // ---- Operations ----
    CComboWnd* GetDropDown() const { return dropDown; }
    UINT GetButtonState() const { return buttonState; }
    bool IsShowText() const { return showText; }
    void SetShowText(bool bShow);
    bool IsCloseOnSelect() const { return closeOnSelect; }
    void SetCloseOnSelect(bool bClose) { closeOnSelect = bClose; }
    RECT GetTextPadding() const { return textPadding; }
    void SetTextPadding(RECT rc);
    LPCWSTR GetDropBoxAttributeList() const { return dropBoxAttributes; }
    void SetDropBoxAttributeList(LPCWSTR pstrList) { dropBoxAttributes = pstrList; }
    // Width (0: the combo's) and greatest height of the drop-down.
    SIZE GetDropBoxSize() const { return dropBoxSize; }
    void SetDropBoxSize(SIZE szDropBox) { dropBoxSize = szDropBox; }
    void SetNormalImage(LPCWSTR pStrImage);
    void SetHotImage(LPCWSTR pStrImage);
    void SetPushedImage(LPCWSTR pStrImage);
    void SetFocusedImage(LPCWSTR pStrImage);
    void SetDisabledImage(LPCWSTR pStrImage);

protected:
    friend class CComboWnd;

    void Renumber(int first);
    // Gives every row an empty rectangle: the rows are shown in the drop-down only.
    void ParkItems();
    void AfterRowRemoved(int index);
    // Selects the next selectable row from index on without closing the drop-down.
    void SelectFrom(int index, bool bForward);
    bool HandleKey(WORD key);
    void DrawStateOrNormal(HDC hDC, TDrawSpec& image);

    static const TAttributeRow<CComboUI> attributeTable[];

    CComboWnd* dropDown;  // the open drop-down; it deletes itself
    int curSel;
    bool showText;
    bool closeOnSelect;
    CUIRect textPadding;
    CUIString dropBoxAttributes;
    UINT buttonState;
    CUISize dropBoxSize;
    TDrawSpec normalImage;
    TDrawSpec hotImage;
    TDrawSpec pushedImage;
    TDrawSpec focusedImage;
    TDrawSpec disabledImage;
    TListInfo info;
};

// The scrolling list inside the drop-down; it draws the combo's rows with
// their row lines.
class CComboBodyUI : public CVerticalLayoutUI
{
public:
    explicit CComboBodyUI(CComboUI* pOwner) : owner(pOwner) {}
    // The combo takes the keys for its rows: the body is no tab stop.
    UINT GetFlags() const override { return CVerticalLayoutUI::GetFlags() & ~FlagTabStop; }
    bool PaintContent(HDC hDC, const RECT& rcPaint, CControlUI* pStopControl) override;

protected:
    CComboUI* owner;  // not owned
};

// The element names that make these controls in skins.
inline constexpr TControlTag kComboTags[] = {
    {L"Combo", AnyCase, MakeControl<CComboUI>},
    {L"ComboBox", AnyCase, MakeControl<CComboUI>},
};
