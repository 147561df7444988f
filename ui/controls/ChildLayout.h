#pragma once

#include "ui/controls/Container.h"
#include "ui/controls/ControlTag.h"

// A container whose content is another skin file, built when the layout is
// initialised (normally when it joins a window). It holds no children of its
// own in XML: it answers neither "Container" nor "IContainer".
class CChildLayoutUI : public CContainerUI
{
public:
    CChildLayoutUI();
    ~CChildLayoutUI() override;

    // ---- Control interface overrides ----
    LPCWSTR GetClassName() const override;
    LPVOID FindInterface(LPCWSTR pstrName) override;
    // Builds the file: what it builds becomes the only child; a file that
    // cannot be built, or one that is being built already further up (a file
    // that contains itself), leaves the layout empty.
    void Init() override;
    void SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) override;

    // ---- Operations ----
    // Builds a skin file for a manager: the content, or null with the reason
    // in message (which may also carry a shortfall of built content).
    typedef CControlUI* (*TContentBuilder)(LPCWSTR file, CManagerUI* manager, CUIString& message);
    // Whoever creates the layout from markup hands it the way to build its
    // file; without one the layout stays empty and says why.
    void SetContentBuilder(TContentBuilder builder) { contentBuilder = builder; }
    // Takes effect at the next Init.
    void SetChildLayoutXML(LPCWSTR pstrXml);
    LPCWSTR GetChildLayoutXML() const { return xmlFile; }
    // Why the last Init built nothing or fell short; empty when all went well.
    LPCWSTR GetBuildMessage() const { return buildMessage; }

protected:
    // ---- Data ----
    CUIString xmlFile;
    CUIString buildMessage;
    TContentBuilder contentBuilder = NULL;
};

// The element name that makes this control in skins.
inline constexpr TControlTag kChildLayoutTags[] = {
    {L"ChildLayout", AnyCase, MakeControl<CChildLayoutUI>},
};
