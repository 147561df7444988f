// The element names of skin XML and the control classes they create. A new
// control class joins the vocabulary with one line in the table (and its
// header above it).

#include "ui/markup/LayoutBuilder.h"

#include "ui/controls/ActiveX.h"
#include "ui/controls/BoxLayout.h"
#include "ui/controls/Button.h"
#include "ui/controls/ChildLayout.h"
#include "ui/controls/Combo.h"
#include "ui/controls/Container.h"
#include "ui/controls/Control.h"
#include "ui/controls/DateTime.h"
#include "ui/controls/Edit.h"
#include "ui/controls/GifAnim.h"
#include "ui/controls/Label.h"
#include "ui/controls/List.h"
#include "ui/controls/ListItems.h"
#include "ui/controls/Progress.h"
#include "ui/core/AttributeValues.h"
#include "ui/controls/RichEdit.h"
#include "ui/controls/ScrollBar.h"
#include "ui/controls/TabLayout.h"
#include "ui/controls/TileLayout.h"
#include "ui/controls/TreeView.h"
#include "ui/controls/WebBrowser.h"

namespace
{
template <class TControl> CControlUI* Make()
{
    return new TControl;
}

enum TTagMatch
{
    AnyCase,    // element names of skins are matched ignoring case
    ExactCase,  // only the spelling in the table
};

struct TControlTag
{
    LPCWSTR name;
    TTagMatch match;
    CControlUI* (*create)();
};

// "TreeNode" is not in the table: its elements attach to the node or tree
// view around them (see CLayoutBuilder::BuildTreeNode).
const TControlTag kControlTags[] = {
    {L"Control", AnyCase, Make<CControlUI>},
    {L"Container", AnyCase, Make<CContainerUI>},
    {L"VerticalLayout", AnyCase, Make<CVerticalLayoutUI>},
    {L"VBox", AnyCase, Make<CVerticalLayoutUI>},
    {L"HorizontalLayout", AnyCase, Make<CHorizontalLayoutUI>},
    {L"HBox", AnyCase, Make<CHorizontalLayoutUI>},
    {L"TileLayout", AnyCase, Make<CTileLayoutUI>},
    {L"TabLayout", AnyCase, Make<CTabLayoutUI>},
    {L"ChildLayout", AnyCase, Make<CChildLayoutUI>},
    {L"Progress", AnyCase, Make<CProgressUI>},
    {L"Slider", AnyCase, Make<CSliderUI>},
    {L"ScrollBar", AnyCase, Make<CScrollBarUI>},
    {L"Label", AnyCase, Make<CLabelUI>},
    {L"Text", AnyCase, Make<CTextUI>},
    {L"Button", AnyCase, Make<CButtonUI>},
    {L"Option", AnyCase, Make<COptionUI>},
    {L"CheckBox", AnyCase, Make<CCheckBoxUI>},
    {L"List", AnyCase, Make<CListUI>},
    {L"ListHeader", AnyCase, Make<CListHeaderUI>},
    {L"ListHeaderItem", AnyCase, Make<CListHeaderItemUI>},
    {L"ListLabelElement", AnyCase, Make<CListLabelElementUI>},
    {L"ListTextElement", AnyCase, Make<CListTextElementUI>},
    {L"ListContainerElement", AnyCase, Make<CListContainerElementUI>},
    {L"ListHBoxElement", AnyCase, Make<CListHBoxElementUI>},
    {L"Combo", AnyCase, Make<CComboUI>},
    {L"ComboBox", AnyCase, Make<CComboUI>},
    {L"Edit", AnyCase, Make<CEditUI>},
    {L"DateTime", AnyCase, Make<CDateTimeUI>},
    {L"TreeView", AnyCase, Make<CTreeViewUI>},
    {L"Tree", AnyCase, Make<CTreeViewUI>},
    {L"GifAnim", ExactCase, Make<CGifAnimUI>},
    {L"ActiveX", AnyCase, Make<CActiveXUI>},
    {L"WebBrowser", AnyCase, Make<CWebBrowserUI>},
    {L"RichEdit", AnyCase, Make<CRichEditUI>},
};

bool Matches(const TControlTag& tag, LPCWSTR name)
{
    return tag.match == ExactCase ? wcscmp(tag.name, name) == 0 : NameIsNoCase(name, tag.name);
}
}  // namespace

CControlUI* CLayoutBuilder::CreateControl(LPCWSTR pstrTag)
{
    if (pstrTag == NULL)
        return NULL;
    for (const TControlTag& tag : kControlTags)
    {
        if (Matches(tag, pstrTag))
            return tag.create();
    }
    return NULL;
}
