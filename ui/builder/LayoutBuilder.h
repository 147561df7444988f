#pragma once

#include <windows.h>

#include "ui/core/StringOrId.h"
#include "ui/core/UIString.h"
#include "ui/markup/XmlMarkup.h"

class CControlUI;
class CManagerUI;

// Turns one skin document into a control tree for one window. The root
// element's "Image", "Font", "Default" and "MultiLanguage" children and a
// "Window" root's attributes go to the manager; every other element becomes a
// control (see CreateControl), configured from the manager's default list for
// its element name and then from its own attributes, and added to its parent.
// "Include" elements build other documents into the same parent; a document
// that is being built already is not included again.
//
// Built controls have neither manager nor parent, unless they were built into
// a parent that is attached already: the caller hands the result to the
// manager, which attaches the whole tree at once.
class CLayoutBuilder
{
public:
    // Chains of includes deeper than this are refused (a document that
    // includes itself through a name the cycle check cannot see ends here).
    enum
    {
        MAX_INCLUDE_DEPTH = 16
    };
    // Controls nested deeper than this, counted across includes, are skipped
    // with their subtrees, as the parser refuses deeper documents.
    enum
    {
        MAX_TREE_DEPTH = CXmlMarkup::MAX_NESTING_DEPTH
    };
    // Controls created plus documents built, per outermost build: "count"
    // multiplies across nested includes, and this bounds the time and memory
    // a hostile skin can claim (the largest controls take about 8 KB each, and
    // a 32-bit process has 2 GB).
    enum
    {
        MAX_BUILD_STEPS = 100000
    };

    CLayoutBuilder();
    ~CLayoutBuilder();

    // Loads xml, then builds as Build does. xml is a resource identifier (of
    // the given type, from the skin's resource module), XML text when it
    // starts with "<", or else a skin file name. Null when loading fails.
    CControlUI* Create(CUIStringOrId xml, LPCWSTR type = NULL, CManagerUI* manager = NULL,
                       CControlUI* parent = NULL);
    // Builds the loaded document again; returns the first control created
    // directly below the root, or null when there is none. manager and parent
    // may be null.
    CControlUI* Build(CManagerUI* manager = NULL, CControlUI* parent = NULL);
    CXmlMarkup* GetMarkup();
    // Why the last Create or Build failed or fell short (a load failure, an
    // unknown element, controls inside a parent that holds none, a refused or
    // failed include, a tree too deep, the step budget); empty when
    // everything was built. Only the first problem is kept.
    LPCWSTR GetLastErrorMessage() const;

    // The control for an element name from the tag table, or null when no
    // tag matches.
    static CControlUI* CreateControl(LPCWSTR pstrTag);

private:
    struct TBuildContext;
    enum TAttachResult
    {
        Attached,
        Refused,      // the parent's container declined the control
        NoContainer,  // the parent cannot hold children
    };

    CLayoutBuilder(const CLayoutBuilder&) = delete;
    CLayoutBuilder& operator=(const CLayoutBuilder&) = delete;

    bool Load(CUIStringOrId xml, LPCWSTR type);
    bool LoadFromFile(LPCWSTR name);
    bool LoadFromResource(WORD id, LPCWSTR type);
    CControlUI* BuildIn(TBuildContext& context, CControlUI* parent, int level);
    CControlUI* ParseChildren(CXmlNode node, CControlUI* parent, TBuildContext& context, int level);
    CControlUI* BuildElement(CXmlNode node, TBuildContext& context, int level);
    bool BuildTreeNode(CXmlNode node, CControlUI* parent, TBuildContext& context, int level);
    TAttachResult AttachToParent(CXmlNode node, CControlUI* control, CControlUI* parent, void*& container);
    void Include(CXmlNode node, CControlUI* parent, TBuildContext& context, int level);
    bool LoadInclude(CLayoutBuilder& nested, LPCWSTR includeSource, const TBuildContext& context);
    static bool IsBeingBuilt(const CUIString& identity, const TBuildContext& context);

    CXmlMarkup markup;
    LPCWSTR resourceType;  // not owned; set when the document came from a resource
    CUIString source;      // what was loaded, to recognise includes of a document being built
    CUIString lastError;
};
