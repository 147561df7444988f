// Every control's element names in one walk. A control declares its rows
// after its class; its family's rows are named here once.

#include "ui/controls/ControlTag.h"

#include <wchar.h>

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
#include "ui/controls/ListHeader.h"
#include "ui/controls/ListItems.h"
#include "ui/controls/Progress.h"
#include "ui/controls/RichEdit.h"
#include "ui/controls/ScrollBar.h"
#include "ui/controls/TabLayout.h"
#include "ui/controls/TileLayout.h"
#include "ui/controls/TreeView.h"
#include "ui/controls/WebBrowser.h"
#include "ui/core/AttributeValues.h"

namespace
{
struct TTagRows
{
    const TControlTag* first;
    size_t count;
};

template <size_t N> constexpr TTagRows Rows(const TControlTag (&rows)[N])
{
    return TTagRows{rows, N};
}

// "TreeNode" is not here: its elements attach to the node or tree view
// around them, which the builder handles itself.
const TTagRows kAllTags[] = {
    Rows(kControlTags),    Rows(kContainerTags),  Rows(kBoxLayoutTags),  Rows(kTileLayoutTags),
    Rows(kTabLayoutTags),  Rows(kChildLayoutTags), Rows(kProgressTags),  Rows(kScrollBarTags),
    Rows(kLabelTags),      Rows(kButtonTags),      Rows(kListTags),      Rows(kListHeaderTags),
    Rows(kListItemTags),   Rows(kComboTags),       Rows(kEditTags),      Rows(kDateTimeTags),
    Rows(kTreeViewTags),   Rows(kGifAnimTags),     Rows(kActiveXTags),   Rows(kWebBrowserTags),
    Rows(kRichEditTags),
};

bool Matches(const TControlTag& tag, LPCWSTR name)
{
    return tag.match == ExactCase ? wcscmp(tag.name, name) == 0 : NameIsNoCase(name, tag.name);
}
}  // namespace

const TControlTag* FindControlTag(LPCWSTR name)
{
    if (name == NULL)
        return NULL;
    for (const TTagRows& family : kAllTags)
    {
        for (size_t i = 0; i < family.count; ++i)
        {
            if (Matches(family.first[i], name))
                return &family.first[i];
        }
    }
    return NULL;
}
