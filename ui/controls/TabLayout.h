#pragma once

#include "ui/controls/Container.h"
#include "ui/controls/ControlTag.h"

// A stack of pages of which one is shown at a time. Selecting a page shows
// it, hides the others and announces the change with "tabselect"; pages
// added later stay hidden, and removing pages keeps the selection on the
// same page where it can.
class CTabLayoutUI : public CContainerUI
{
public:
    CTabLayoutUI();
    ~CTabLayoutUI() override;

    // ---- Control interface overrides ----
    LPCWSTR GetClassName() const override;
    LPVOID FindInterface(LPCWSTR pstrName) override;
    // Places the current page (and float children) over the inner area.
    void SetPos(RECT rc, bool bNeedInvalidate = true) override;
    void SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) override;

    // ---- IContainerUI ----
    bool Add(CControlUI* pControl) override;
    bool AddAt(CControlUI* pControl, int iIndex) override;
    bool Remove(CControlUI* pControl, bool bDoNotDestroy = false) override;
    void RemoveAll() override;

    // ---- Operations ----
    // Shows page iIndex; false for an index that names no page. With bNotify
    // a change sends "tabselect" (wParam the new page, lParam the old, -1 for none).
    bool SelectItem(int iIndex, bool bNotify = true);
    // The shown page, -1 for none.
    int GetCurSel() const { return currentSel; }

protected:
    // A page added while another is current stays hidden.
    void AfterAdd(CControlUI* pControl, int iIndex);

    // ---- Data ----
    int currentSel;
};

// The element name that makes this control in skins.
inline constexpr TControlTag kTabLayoutTags[] = {
    {L"TabLayout", AnyCase, MakeControl<CTabLayoutUI>},
};
