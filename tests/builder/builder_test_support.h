#pragma once

#include <windows.h>

#include <string>

#include "tests/support/TestWindow.h"
#include "ui/controls/Container.h"
#include "ui/controls/Control.h"
#include "ui/manager/Manager.h"
#include "ui/builder/LayoutBuilder.h"

// Blocks handed out by operator new and not yet deleted, across the whole test
// program: a build whose tree is deleted again must bring it back where it was.
long LiveHeapBlocks();

// A built tree as text: class name, "#name" when named, a cover in square
// brackets and the children in braces, e.g. "Container#box[Control#c]{Control#a Control}".
inline std::wstring DescribeTree(CControlUI* control)
{
    if (control == NULL)
        return L"(null)";
    std::wstring out = control->GetClassName();
    const CUIString name = control->GetName();
    if (!name.IsEmpty())
        out += L"#" + std::wstring(name.GetData());
    if (control->GetCover() != NULL)
        out += L"[" + DescribeTree(control->GetCover()) + L"]";
    IContainerUI* container = static_cast<IContainerUI*>(control->FindInterface(L"IContainer"));
    if (container != NULL && container->GetCount() > 0)
    {
        out += L"{";
        for (int i = 0; i < container->GetCount(); ++i)
            out += (i > 0 ? L" " : L"") + DescribeTree(container->GetItemAt(i));
        out += L"}";
    }
    return out;
}

// The deepest chain of containers below control, control itself counting 1.
inline int TreeDepth(CControlUI* control)
{
    IContainerUI* container = static_cast<IContainerUI*>(control->FindInterface(L"IContainer"));
    int deepest = 0;
    for (int i = 0; container != NULL && i < container->GetCount(); ++i)
    {
        const int depth = TreeDepth(container->GetItemAt(i));
        if (depth > deepest)
            deepest = depth;
    }
    return deepest + 1;
}
