#pragma once

#include <windows.h>

#include <ole2.h>

#include "ui/controls/Control.h"
#include "ui/controls/ControlTag.h"

class CActiveXCtrl;

// Hosts an ActiveX control (a COM object named by its class identifier) in
// the windowless tree. The object is created from the registry, or from a
// DLL named by "modulename" without any registration, on the first
// placement; it is activated in place either windowless (it draws into the
// window's off-screen surface and gets the window's messages through the
// manager's message filter) or in a child window of its own that follows the
// control's position and visibility. CActiveXCtrl is its container site.
class CActiveXUI : public CControlUI, public IMessageFilterUI
{
    friend class CActiveXCtrl;
    friend class CActiveXWnd;

public:
    CActiveXUI();
    ~CActiveXUI() override;

    // ---- Overridables ----
    LPCWSTR GetClassName() const override;
    LPVOID FindInterface(LPCWSTR pstrName) override;
    UINT GetFlags() const override;
    // The window the object lives in: the manager's when windowless, else its own.
    HWND GetNativeWindow() const override;
    // Creation waits for a manager: it is then created when it may not wait
    // for the first placement.
    void SetManager(CManagerUI* pManager, CControlUI* pParent, bool bInit = true) override;
    // Creates the object on the first placement and keeps its rectangles in step.
    void SetPos(RECT rc, bool bNeedInvalidate = true) override;
    void MoveBy(int dx, int dy, bool bNeedInvalidate = true) override;
    void SetVisible(bool bVisible = true) override;
    void SetInheritedVisible(bool bVisible = true) override;
    void SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) override;
    bool PaintContent(HDC hDC, const RECT& rcPaint, CControlUI* pStopControl) override;
    // The window's messages for a windowless object.
    LRESULT MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;

    // Closes and releases the object and the site; the class stays set.
    virtual void ReleaseControl();
    // Creates, sets up and activates the object; false when any step fails.
    virtual bool CreateControl();

    // ---- Operations ----
    // "{...}" or a programmatic identifier; false when it names no class.
    bool SetClsid(LPCWSTR pstrClsid);
    const CLSID& GetClsid() const { return clsid; }
    void SetModuleName(LPCWSTR pstrName) { moduleName = pstrName; }
    const CUIString& GetModuleName() const { return moduleName; }
    void SetDelayCreate(bool bDelayCreate);
    bool IsDelayCreate() const { return delayCreate; }
    bool IsCreated() const { return created; }
    // Asks the object for an interface; E_FAIL (and null) without object.
    HRESULT GetControl(REFIID riid, void** ppv);

protected:
    bool HasClsid() const { return clsid != CLSID_NULL; }
    // The object's interface asked of the module named by moduleName, null when that fails.
    IUnknown* CreateFromModule();
    // Keeps a windowed object's window over the control and visible with it.
    void SyncWindow();
    // The site's in-place object as its windowless interface, or null.
    bool IsWindowlessActive() const;

    CLSID clsid;
    CUIString moduleName;
    bool created;
    bool delayCreate;
    IOleObject* oleObject;
    CActiveXCtrl* site;  // owned reference
    HWND hostWindow;
    HMODULE module;  // loaded for moduleName, freed when the control goes
    bool comInitialized;
};

// The element name that makes this control in skins.
inline constexpr TControlTag kActiveXTags[] = {
    {L"ActiveX", AnyCase, MakeControl<CActiveXUI>},
};
