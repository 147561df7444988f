#include "ui/controls/ChildLayout.h"

#include <wchar.h>

#include "ui/controls/ControlAttributes.h"

namespace
{
const TAttributeRow<CChildLayoutUI> kChildAttributes[] = {
    {L"xmlfile", [](CChildLayoutUI& c, LPCWSTR v) { c.SetChildLayoutXML(v); }},
};

// The files child layouts are building at this moment, innermost first. A
// built file's child layouts are initialised while it is being added, so a
// file that contains itself, directly or through other child layouts, finds
// its own name here instead of building for ever.
struct TFileInBuild
{
    LPCWSTR name;
    const TFileInBuild* outer;
};
const TFileInBuild* g_filesInBuild = NULL;

bool IsInBuild(LPCWSTR name)
{
    for (const TFileInBuild* file = g_filesInBuild; file != NULL; file = file->outer)
    {
        if (_wcsicmp(file->name, name) == 0)
            return true;
    }
    return false;
}

// Names the file for as long as it lives on the stack.
class CFileInBuildScope
{
public:
    explicit CFileInBuildScope(LPCWSTR name) : entry{name, g_filesInBuild} { g_filesInBuild = &entry; }
    ~CFileInBuildScope() { g_filesInBuild = entry.outer; }

private:
    TFileInBuild entry;
};
}  // namespace

CChildLayoutUI::CChildLayoutUI()
{
}

CChildLayoutUI::~CChildLayoutUI()
{
}

LPCWSTR CChildLayoutUI::GetClassName() const
{
    return L"ChildLayout";
}

LPVOID CChildLayoutUI::FindInterface(LPCWSTR pstrName)
{
    if (pstrName != NULL && wcscmp(pstrName, L"ChildLayout") == 0)
        return static_cast<CChildLayoutUI*>(this);
    return CControlUI::FindInterface(pstrName);
}

void CChildLayoutUI::SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue)
{
    if (pstrName == NULL || pstrValue == NULL)
        return;
    if (!ApplyAttributeRow(kChildAttributes, *this, pstrName, pstrValue))
        CContainerUI::SetAttribute(pstrName, pstrValue);
}

void CChildLayoutUI::SetChildLayoutXML(LPCWSTR pstrXml)
{
    xmlFile = pstrXml;
}

// The content replaces what an earlier Init built, so that initialising the
// layout again (it moved to another parent) does not show the file twice.
void CChildLayoutUI::Init()
{
    buildMessage.Empty();
    if (xmlFile.IsEmpty())
        return;
    if (IsInBuild(xmlFile))
    {
        buildMessage = L"ChildLayout \"";
        buildMessage += xmlFile;
        buildMessage += L"\" is not built: it contains itself";
        RemoveAll();
        return;
    }
    if (contentBuilder == NULL)
    {
        buildMessage = L"ChildLayout \"";
        buildMessage += xmlFile;
        buildMessage += L"\" is not built: nothing builds skin files for it";
        RemoveAll();
        return;
    }
    CFileInBuildScope inBuild(xmlFile);
    CControlUI* content = contentBuilder(xmlFile, manager, buildMessage);
    RemoveAll();
    if (content != NULL)
        Add(content);
}
