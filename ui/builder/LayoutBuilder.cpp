#include "ui/builder/LayoutBuilder.h"

#include <stdlib.h>
#include <wchar.h>

#include "ui/controls/ChildLayout.h"
#include "ui/controls/Container.h"
#include "ui/controls/Control.h"
#include "ui/controls/ControlTag.h"
#include "ui/controls/TreeView.h"
#include "ui/core/AttributeValues.h"
#include "ui/manager/Manager.h"
#include "ui/markup/ResourceLocations.h"

// What one outermost Create or Build shares with the builds of its includes.
struct CLayoutBuilder::TBuildContext
{
    CManagerUI* manager;         // may be null
    CUIString* error;            // the outermost builder's message; the first problem stays
    int* steps;                  // controls created and documents built so far
    int includeDepth;            // 0 for the outermost document
    const TBuildContext* outer;  // the build that included this one
    const CLayoutBuilder* builder;
};

namespace
{
bool NameIs(LPCWSTR name, LPCWSTR expected)
{
    return name != NULL && NameIsNoCase(name, expected);
}

bool IsResourceElement(LPCWSTR name)
{
    return NameIs(name, L"Image") || NameIs(name, L"Font") || NameIs(name, L"Default") ||
           NameIs(name, L"MultiLanguage");
}

int ReadNumber(LPCWSTR value)
{
    return static_cast<int>(wcstol(value, NULL, 10));
}

DWORD ReadMask(LPCWSTR value)
{
    if (*value == L'#')
        ++value;
    return wcstoul(value, NULL, 16);
}

void Report(CUIString& error, const CUIString& message)
{
    if (error.IsEmpty())
        error = message;
}

CUIString Quoted(LPCWSTR prefix, LPCWSTR name, LPCWSTR suffix)
{
    CUIString text(prefix);
    text += L"\"";
    text += name;
    text += L"\"";
    text += suffix;
    return text;
}

// ---- Resource elements: later attributes override earlier ones of any case ----

void AddImage(CXmlNode node, CManagerUI& manager)
{
    LPCWSTR name = NULL;
    LPCWSTR type = NULL;
    DWORD mask = 0;
    bool shared = false;
    for (int i = 0; i < node.GetAttributeCount(); ++i)
    {
        LPCWSTR attribute = node.GetAttributeName(i);
        LPCWSTR value = node.GetAttributeValue(i);
        if (NameIs(attribute, L"name"))
            name = value;
        else if (NameIs(attribute, L"restype"))
            type = value;
        else if (NameIs(attribute, L"mask"))
            mask = ReadMask(value);
        else if (NameIs(attribute, L"shared"))
            shared = ParseBoolIgnoringCase(value);
    }
    if (name != NULL)
        manager.AddImage(name, type, mask, shared);
}

void AddFont(CXmlNode node, CManagerUI& manager)
{
    int id = -1;
    LPCWSTR face = NULL;
    int size = 12;
    bool bold = false;
    bool underline = false;
    bool italic = false;
    bool isDefault = false;
    bool shared = false;
    for (int i = 0; i < node.GetAttributeCount(); ++i)
    {
        LPCWSTR attribute = node.GetAttributeName(i);
        LPCWSTR value = node.GetAttributeValue(i);
        if (NameIs(attribute, L"id"))
            id = ReadNumber(value);
        else if (NameIs(attribute, L"name"))
            face = value;
        else if (NameIs(attribute, L"size"))
            size = ReadNumber(value);
        else if (NameIs(attribute, L"bold"))
            bold = ParseBoolIgnoringCase(value);
        else if (NameIs(attribute, L"underline"))
            underline = ParseBoolIgnoringCase(value);
        else if (NameIs(attribute, L"italic"))
            italic = ParseBoolIgnoringCase(value);
        else if (NameIs(attribute, L"default"))
            isDefault = ParseBoolIgnoringCase(value);
        else if (NameIs(attribute, L"shared"))
            shared = ParseBoolIgnoringCase(value);
    }
    if (id < 0 || face == NULL)
        return;
    manager.AddFont(id, face, size, bold, underline, italic, shared);
    if (isDefault)
        manager.SetDefaultFont(face, size, bold, underline, italic, shared);
}

void AddDefaultList(CXmlNode node, CManagerUI& manager)
{
    LPCWSTR name = NULL;
    LPCWSTR list = L"";
    bool shared = false;
    for (int i = 0; i < node.GetAttributeCount(); ++i)
    {
        LPCWSTR attribute = node.GetAttributeName(i);
        LPCWSTR value = node.GetAttributeValue(i);
        if (NameIs(attribute, L"name"))
            name = value;
        else if (NameIs(attribute, L"value"))
            list = value;
        else if (NameIs(attribute, L"shared"))
            shared = ParseBoolIgnoringCase(value);
    }
    if (name != NULL)
        manager.AddDefaultAttributeList(name, list, shared);
}

void AddLanguageString(CXmlNode node)
{
    int id = -1;
    LPCWSTR text = NULL;
    for (int i = 0; i < node.GetAttributeCount(); ++i)
    {
        LPCWSTR attribute = node.GetAttributeName(i);
        LPCWSTR value = node.GetAttributeValue(i);
        if (NameIs(attribute, L"id"))
            id = ReadNumber(value);
        else if (NameIs(attribute, L"value"))
            text = value;
    }
    if (id >= 0 && text != NULL)
        CManagerUI::AddMultiLanguageString(id, text);
}

// Resource elements count only as children of the root, whatever the root is called.
void ApplyResourceElements(CXmlNode root, CManagerUI& manager)
{
    for (CXmlNode child = root.GetChild(); child.IsValid(); child = child.GetSibling())
    {
        LPCWSTR name = child.GetName();
        if (NameIs(name, L"Image"))
            AddImage(child, manager);
        else if (NameIs(name, L"Font"))
            AddFont(child, manager);
        else if (NameIs(name, L"Default"))
            AddDefaultList(child, manager);
        else if (NameIs(name, L"MultiLanguage"))
            AddLanguageString(child);
    }
}

// Window settings change the native window (size, layering), so they wait
// until the manager has one.
void ApplyWindowAttributes(CXmlNode root, CManagerUI& manager)
{
    if (!NameIs(root.GetName(), L"Window") || manager.GetPaintWindow() == NULL)
        return;
    for (int i = 0; i < root.GetAttributeCount(); ++i)
        manager.SetWindowAttribute(root.GetAttributeName(i), root.GetAttributeValue(i));
}

bool TakeStep(CUIString& error, int& steps)
{
    if (steps >= CLayoutBuilder::MAX_BUILD_STEPS)
    {
        CUIString message;
        message.Format(L"The skin creates more than %d controls and documents; the rest is not built",
                       static_cast<int>(CLayoutBuilder::MAX_BUILD_STEPS));
        Report(error, message);
        return false;
    }
    ++steps;
    return true;
}

// Default list first, own attributes after, so that the element's own win.
// The manager is lent only while configuring: fonts and images need it, and
// the tree is attached for good by its owner later. A control that its parent
// attached already (a parent with a manager) is configured where it is, so
// that it stays in the tree and its name is registered.
void Configure(CXmlNode node, CControlUI* control, CManagerUI* manager)
{
    const bool lendManager = manager != NULL && control->GetManager() == NULL;
    if (lendManager)
        control->SetManager(manager, NULL, false);
    LPCWSTR list = manager != NULL ? manager->GetDefaultAttributeList(node.GetName()) : NULL;
    if (list != NULL)
        control->ApplyAttributeList(list);
    for (int i = 0; i < node.GetAttributeCount(); ++i)
        control->SetAttribute(node.GetAttributeName(i), node.GetAttributeValue(i));
    if (lendManager)
        control->SetManager(NULL, NULL, false);
}
}  // namespace

CLayoutBuilder::CLayoutBuilder() : resourceType(NULL)
{
}

CLayoutBuilder::~CLayoutBuilder()
{
}

CXmlMarkup* CLayoutBuilder::GetMarkup()
{
    return &markup;
}

LPCWSTR CLayoutBuilder::GetLastErrorMessage() const
{
    return lastError;
}

CControlUI* CLayoutBuilder::Create(CUIStringOrId xml, LPCWSTR type, CManagerUI* manager, CControlUI* parent)
{
    lastError.Empty();
    if (!Load(xml, type))
    {
        lastError = markup.GetLastErrorMessage();
        return NULL;
    }
    return Build(manager, parent);
}

CControlUI* CLayoutBuilder::Build(CManagerUI* manager, CControlUI* parent)
{
    lastError.Empty();
    if (!markup.IsValid())
    {
        lastError = L"No skin document is loaded";
        return NULL;
    }
    int steps = 0;
    TBuildContext context = {manager, &lastError, &steps, 0, NULL, this};
    return BuildIn(context, parent, 1);
}

bool CLayoutBuilder::Load(CUIStringOrId xml, LPCWSTR type)
{
    if (xml.IsId())
        return LoadFromResource(xml.GetId(), type);
    LPCWSTR text = xml.GetString();
    if (text[0] != L'<')
        return LoadFromFile(text);
    resourceType = NULL;
    source.Empty();
    return markup.LoadFromString(text);
}

bool CLayoutBuilder::LoadFromFile(LPCWSTR name)
{
    resourceType = NULL;
    source.Empty();
    if (!markup.LoadFromFile(name, XMLFILE_ENCODING_UTF8))
        return false;
    source = name;
    return true;
}

bool CLayoutBuilder::LoadFromResource(WORD id, LPCWSTR type)
{
    resourceType = NULL;
    source.Empty();
    CUIString message;
    if (type == NULL)
        return markup.Fail(L"A skin resource needs a resource type");
    HMODULE module = CResourceLocations::GetResourceModule();
    HRSRC resource = ::FindResourceW(module, MAKEINTRESOURCEW(id), type);
    HGLOBAL loaded = resource != NULL ? ::LoadResource(module, resource) : NULL;
    const BYTE* bytes = loaded != NULL ? static_cast<const BYTE*>(::LockResource(loaded)) : NULL;
    if (bytes == NULL)
    {
        message.Format(L"The skin resource %d was not found", static_cast<int>(id));
        return markup.Fail(message);
    }
    if (!markup.LoadFromMemory(bytes, ::SizeofResource(module, resource), XMLFILE_ENCODING_UTF8))
        return false;
    resourceType = type;
    source.Format(L"#%d", static_cast<int>(id));
    return true;
}

CControlUI* CLayoutBuilder::BuildIn(TBuildContext& context, CControlUI* parent, int level)
{
    CXmlNode root = markup.GetRoot();
    if (!root.IsValid())
        return NULL;
    if (context.manager != NULL)
    {
        ApplyResourceElements(root, *context.manager);
        ApplyWindowAttributes(root, *context.manager);
    }
    return ParseChildren(root, parent, context, level);
}

// Children are built before their parent is configured and attached; a level
// ends with null when its parent cannot hold children. level is the depth of
// the controls this call creates, counted from the outermost root.
CControlUI* CLayoutBuilder::ParseChildren(CXmlNode node, CControlUI* parent, TBuildContext& context,
                                          int level)
{
    CControlUI* result = NULL;
    void* container = NULL;  // the parent's IContainerUI, looked up once
    for (CXmlNode child = node.GetChild(); child.IsValid(); child = child.GetSibling())
    {
        LPCWSTR name = child.GetName();
        if (IsResourceElement(name))
            continue;
        if (NameIs(name, L"Include"))
        {
            Include(child, parent, context, level);
            continue;
        }
        if (NameIs(name, L"TreeNode"))
        {
            if (!BuildTreeNode(child, parent, context, level))
                return NULL;
            continue;
        }
        // Without a parent only the first control of the level has an owner
        // (the caller); the others would be built for nothing.
        if (parent == NULL && result != NULL)
            continue;
        CControlUI* control = BuildElement(child, context, level);
        if (control == NULL)
            continue;
        if (parent != NULL)
        {
            switch (AttachToParent(child, control, parent, container))
            {
            case Attached:
                break;
            case Refused:
                control->Delete();
                continue;
            case NoContainer:
                control->Delete();
                Report(*context.error, Quoted(L"A ", parent->GetClassName(),
                                              L" cannot hold controls; the ones inside it are not built"));
                return NULL;
            }
        }
        Configure(child, control, context.manager);
        if (result == NULL)
            result = control;
    }
    return result;
}

// The control for one element with its children built into it; null when the
// element is skipped with its subtree.
CControlUI* CLayoutBuilder::BuildElement(CXmlNode node, TBuildContext& context, int level)
{
    if (level > MAX_TREE_DEPTH)
    {
        CUIString message;
        message.Format(L"Controls are nested deeper than %d levels; the deeper ones are not built",
                       static_cast<int>(MAX_TREE_DEPTH));
        Report(*context.error, message);
        return NULL;
    }
    CControlUI* control = CreateControl(node.GetName());
    if (control == NULL)
    {
        Report(*context.error,
               Quoted(L"The element ", node.GetName(), L" is unknown; it is skipped with its content"));
        return NULL;
    }
    if (!TakeStep(*context.error, *context.steps))
    {
        control->Delete();
        return NULL;
    }
    if (node.HasChildren())
        ParseChildren(node, control, context, level + 1);
    return control;
}

// A tree node keeps the controls inside its element in its row layout, after
// its own parts.
CLayoutBuilder::TAttachResult CLayoutBuilder::AttachToParent(CXmlNode node, CControlUI* control,
                                                             CControlUI* parent, void*& container)
{
    LPCWSTR cover = node.GetAttributeValue(L"cover");
    if (cover != NULL && wcscmp(cover, L"true") == 0)
    {
        parent->SetCover(control);
        return Attached;
    }
    if (CTreeNodeUI* treeNode = static_cast<CTreeNodeUI*>(parent->FindInterface(L"TreeNode")))
        return treeNode->GetRowLayout()->Add(control) ? Attached : Refused;
    if (container == NULL)
        container = parent->FindInterface(L"IContainer");
    if (container == NULL)
        return NoContainer;
    return static_cast<IContainerUI*>(container)->Add(control) ? Attached : Refused;
}

// A "TreeNode" element: a child node of the node around it, or a top-level
// node of the tree view around it. The node is configured before the
// elements inside it are built, so that its children take its indentation
// and item group; a top-level node joins the tree view last, bringing its
// whole subtree. False when the parent is neither a node nor a tree view:
// the level ends there. Without any parent the element is skipped.
bool CLayoutBuilder::BuildTreeNode(CXmlNode node, CControlUI* parent, TBuildContext& context, int level)
{
    if (parent == NULL)
    {
        Report(*context.error, L"A \"TreeNode\" needs a tree view around it; it is skipped");
        return true;
    }
    CTreeNodeUI* parentNode = static_cast<CTreeNodeUI*>(parent->FindInterface(L"TreeNode"));
    CTreeViewUI* treeView =
        parentNode == NULL ? static_cast<CTreeViewUI*>(parent->FindInterface(L"TreeView")) : NULL;
    if (parentNode == NULL && treeView == NULL)
    {
        Report(*context.error, L"A \"TreeNode\" belongs inside a tree view or another tree node; "
                               L"it is skipped with what follows it");
        return false;
    }
    if (level > MAX_TREE_DEPTH)
    {
        CUIString message;
        message.Format(L"Controls are nested deeper than %d levels; the deeper ones are not built",
                       static_cast<int>(MAX_TREE_DEPTH));
        Report(*context.error, message);
        return true;
    }
    if (!TakeStep(*context.error, *context.steps))
        return true;
    CTreeNodeUI* treeNode = new CTreeNodeUI;
    if (parentNode != NULL && !parentNode->AddChildNode(treeNode))
    {
        treeNode->Delete();
        return true;
    }
    Configure(node, treeNode, context.manager);
    if (node.HasChildren())
        ParseChildren(node, treeNode, context, level + 1);
    if (treeView != NULL && !treeView->Add(treeNode))
        treeNode->Delete();
    return true;
}

// Builds another document into parent count times. Its resource elements and
// window attributes reach the manager as the outer document's do; its
// controls never count as this level's result.
void CLayoutBuilder::Include(CXmlNode node, CControlUI* parent, TBuildContext& context, int level)
{
    if (!node.HasAttributes())
        return;
    // Values are read in place: a copy cut to some length could name another document.
    LPCWSTR countText = node.GetAttributeValue(L"count");
    const int count = countText != NULL ? ReadNumber(countText) : 1;
    LPCWSTR includeSource = node.GetAttributeValue(L"source");
    if (includeSource == NULL || count <= 0)
        return;

    CLayoutBuilder nested;
    if (!LoadInclude(nested, includeSource, context))
        return;
    TBuildContext inner = {context.manager,          context.error, context.steps,
                           context.includeDepth + 1, &context,      &nested};
    for (int i = 0; i < count && TakeStep(*context.error, *context.steps); ++i)
    {
        CControlUI* built = nested.BuildIn(inner, parent, level);
        // Without a parent nothing owns what an include built.
        if (parent == NULL && built != NULL)
            built->Delete();
    }
}

// Loads an include's document once for all its repetitions, or reports why
// not: a failure is not retried.
bool CLayoutBuilder::LoadInclude(CLayoutBuilder& nested, LPCWSTR includeSource, const TBuildContext& context)
{
    if (context.includeDepth >= MAX_INCLUDE_DEPTH)
    {
        CUIString message;
        message.Format(L" is not built: includes are nested deeper than %d levels",
                       static_cast<int>(MAX_INCLUDE_DEPTH));
        Report(*context.error, Quoted(L"Include ", includeSource, message));
        return false;
    }
    // A document that came from a resource includes resources of its own type.
    const long id = resourceType != NULL ? wcstol(includeSource, NULL, 10) : 0;
    CUIString identity = includeSource;
    if (resourceType != NULL)
    {
        if (id <= 0 || id > 0xFFFF)
        {
            Report(*context.error, Quoted(L"Include ", includeSource, L" is not a resource number"));
            return false;
        }
        identity.Format(L"#%d", static_cast<int>(id));
    }
    if (IsBeingBuilt(identity, context))
    {
        Report(*context.error,
               Quoted(L"Include ", includeSource, L" includes a document that is being built"));
        return false;
    }
    const bool loaded = resourceType != NULL ? nested.LoadFromResource(static_cast<WORD>(id), resourceType)
                                             : nested.LoadFromFile(includeSource);
    if (!loaded)
    {
        CUIString reason(L": ");
        reason += nested.markup.GetLastErrorMessage();
        Report(*context.error, Quoted(L"Include ", includeSource, reason));
    }
    return loaded;
}

bool CLayoutBuilder::IsBeingBuilt(const CUIString& identity, const TBuildContext& context)
{
    for (const TBuildContext* build = &context; build != NULL; build = build->outer)
    {
        const CUIString& built = build->builder->source;
        if (!built.IsEmpty() && built.CompareNoCase(identity) == 0)
            return true;
    }
    return false;
}

namespace
{
// What a child layout builds when it joins a window: its file, built by a
// builder of its own for the layout's manager.
CControlUI* BuildChildLayoutContent(LPCWSTR file, CManagerUI* manager, CUIString& message)
{
    CLayoutBuilder builder;
    CControlUI* content = builder.Create(file, NULL, manager, NULL);
    message = builder.GetLastErrorMessage();
    return content;
}
}  // namespace

// A child layout is handed the builder's way of building its file, so that
// the controls never reach up to the builder themselves.
CControlUI* CLayoutBuilder::CreateControl(LPCWSTR pstrTag)
{
    const TControlTag* tag = FindControlTag(pstrTag);
    if (tag == NULL)
        return NULL;
    CControlUI* control = tag->create();
    if (CChildLayoutUI* child = static_cast<CChildLayoutUI*>(control->FindInterface(L"ChildLayout")))
        child->SetContentBuilder(BuildChildLayoutContent);
    return control;
}
