#include "ui/manager/Manager.h"

#include "ui/controls/Control.h"
#include "ui/core/Check.h"

namespace
{
// Process-wide drawing helpers, created with the first manager and kept for
// the life of the process.
HPEN g_updateRectPen = NULL;
HMODULE g_msimg32 = NULL;

void InitProcessHelpers()
{
    if (g_updateRectPen != NULL)
        return;
    g_updateRectPen = ::CreatePen(PS_SOLID, 1, RGB(220, 0, 0));
    ::InitCommonControls();
    g_msimg32 = ::LoadLibraryW(L"msimg32.dll");
}

void InitSharedSet(TResourceSet& shared)
{
    shared.disabledFontColor = 0xFFA7A6AA;
    shared.defaultFontColor = 0xFF000000;
    shared.linkFontColor = 0xFF0000FF;
    shared.linkHoverFontColor = 0xFFD3215F;
    shared.selectedBkColor = 0xFFBAE4FF;

    LOGFONTW lf = {};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(LOGFONTW), &lf);
    lf.lfCharSet = DEFAULT_CHARSET;
    TFontEntry& font = shared.defaultFont;
    font.font = ::CreateFontIndirectW(&lf);
    font.faceName = lf.lfFaceName;
    font.size = -lf.lfHeight;
    font.bold = lf.lfWeight >= FW_BOLD;
    font.underline = lf.lfUnderline == 1;
    font.italic = lf.lfItalic == 1;
    font.metrics = TEXTMETRICW();
}

void CopyColours(const TResourceSet& from, TResourceSet& to)
{
    to.disabledFontColor = from.disabledFontColor;
    to.defaultFontColor = from.defaultFontColor;
    to.linkFontColor = from.linkFontColor;
    to.linkHoverFontColor = from.linkHoverFontColor;
    to.selectedBkColor = from.selectedBkColor;
}

bool RemoveFirst(CPtrList& list, LPVOID item)
{
    const int index = list.Find(item);
    return index >= 0 && list.Remove(index);
}

void AddUnlessNull(CPtrList& list, LPVOID item)
{
    if (item != NULL)
        list.Add(item);
}

CControlUI* CALLBACK RegisterName(CControlUI* pControl, LPVOID pData)
{
    CStringMap* nameMap = static_cast<CStringMap*>(pData);
    const CUIString controlName = pControl->GetName();
    if (!controlName.IsEmpty())
        nameMap->Set(controlName, pControl);
    return NULL;
}

CControlUI* CALLBACK ContainsPoint(CControlUI* pControl, LPVOID pData)
{
    const POINT* pt = static_cast<const POINT*>(pData);
    const RECT& rc = pControl->GetPos();
    return ::PtInRect(&rc, *pt) ? pControl : NULL;
}
}  // namespace

TResourceSet& CManagerUI::SharedResources()
{
    static TResourceSet shared;
    return shared;
}

CPtrList& CManagerUI::ManagerList()
{
    static CPtrList managers;
    return managers;
}

CManagerUI::CManagerUI()
    : paintWindow(NULL),
      paintDC(NULL),
      lastToolTipWidth(-1),
      tooltipWindow(NULL),
      toolInfo(),
      hoverTime(1000),
      noActivate(false),
      showUpdateRect(false),
      root(NULL),
      focus(NULL),
      hover(NULL),
      eventClick(NULL),
      eventKey(NULL),
      lastToolTip(NULL),
      lastMousePos{-1, -1},
      timerIdCounter(0x1000),
      firstLayout(true),
      updateNeeded(false),
      focusNeeded(false),
      offscreenPaint(true),
      opacity(255),
      layered(false),
      layeredChanged(false),
      layeredPushWhole(true),
      mouseTracking(false),
      mouseCaptured(false),
      painting(false),
      useVirtualWnd(false),
      asyncNotifyPosted(false),
      forceSharedResources(false),
      resources(),
      dpi(kSkinDpi),
      imageScaling(ImageScalingSmooth),
      scaledDefaultDpi(kSkinDpi)
{
    TResourceSet& shared = SharedResources();
    if (shared.defaultFont.faceName.IsEmpty())
        InitSharedSet(shared);
    CopyColours(shared, resources);
    resources.defaultFont.font = NULL;
    resources.defaultFont.size = 0;
    resources.defaultFont.bold = resources.defaultFont.underline = resources.defaultFont.italic = false;
    resources.defaultFont.metrics = TEXTMETRICW();
    InitProcessHelpers();
}

CManagerUI::~CManagerUI()
{
    DeleteScheduledControls();
    FreeQueuedNotifications();
    nameMap.Resize(0);
    if (root != NULL)
    {
        CControlUI* tree = root;
        root = NULL;
        tree->Delete();
    }
    if (resources.defaultFont.font != NULL)
        ::DeleteObject(resources.defaultFont.font);
    if (scaledDefaultFont.font != NULL)
        ::DeleteObject(scaledDefaultFont.font);
    ClearWindowTables();
    if (tooltipWindow != NULL)
        ::DestroyWindow(tooltipWindow);
    lastToolTip = NULL;
    if (paintDC != NULL)
        ::ReleaseDC(paintWindow, paintDC);
    RemoveFirst(ManagerList(), this);
}

void CManagerUI::ClearWindowTables()
{
    RemoveAllFonts(false);
    RemoveAllImages(false);
    RemoveAllDefaultAttributeLists(false);
    RemoveAllWindowCustomAttributes();
    RemoveAllOptionGroups();
    RemoveAllTimers();
}

void CManagerUI::Init(HWND hWnd, LPCWSTR pstrName)
{
    nameMap.Resize(CStringMap::DEFAULT_BUCKETS);
    ClearWindowTables();
    name = pstrName;
    if (hWnd == paintWindow)
        return;
    if (paintDC != NULL)
        ::ReleaseDC(paintWindow, paintDC);
    const bool listed = paintWindow != NULL;
    paintWindow = hWnd;
    paintDC = ::GetDC(hWnd);
    SetDpi(WindowDpi(hWnd));
    if (!listed)
        ManagerList().Add(this);
}

bool CManagerUI::AttachRoot(CControlUI* pControl)
{
    // Nothing keeps pointing into the tree being replaced. The focused
    // control loses the focus as in any focus change, notification included.
    SetFocus(NULL, false);
    eventKey = hover = eventClick = lastToolTip = NULL;

    // The old tree and everything queued for it go.
    if (root != NULL)
    {
        DeleteScheduledControls();
        FreeQueuedNotifications();
        nameMap.RemoveAll();
        postPaintControls.Empty();
        nativeWindows.Empty();
        nativeWindowControls.Empty();
        ScheduleDelete(root);
    }

    // The new root is laid out, announced and given the focus at the next paint.
    root = pControl;
    firstLayout = updateNeeded = focusNeeded = true;

    return InitControls(root, NULL);
}

bool CManagerUI::InitControls(CControlUI* pControl, CControlUI* pParent)
{
    if (pControl == NULL)
        return false;
    pControl->SetManager(this, pParent != NULL ? pParent : pControl->GetParent(), true);
    pControl->FindControl(RegisterName, &nameMap, 0);
    return true;
}

void CManagerUI::ScheduleDelete(CControlUI* pControl)
{
    if (!UI_CHECK(pControl != NULL))
        return;
    pControl->SetManager(this, NULL, false);
    delayedCleanup.Add(pControl);
    if (paintWindow != NULL)
        ::PostMessageW(paintWindow, FlushMessage, 0, 0);
}

void CManagerUI::DeleteScheduledControls()
{
    // Deleting a control may schedule more; take the list first.
    while (!delayedCleanup.IsEmpty())
    {
        CPtrList batch(delayedCleanup);
        delayedCleanup.Empty();
        for (int i = 0; i < batch.GetSize(); ++i)
            static_cast<CControlUI*>(batch[i])->Delete();
    }
}

void CManagerUI::FreeQueuedNotifications()
{
    for (int i = 0; i < asyncNotify.GetSize(); ++i)
        delete static_cast<TNotifyMsg*>(asyncNotify[i]);
    asyncNotify.Empty();
}

void CManagerUI::ForgetControl(CControlUI* pControl)
{
    if (!UI_CHECK(pControl != NULL))
        return;
    CControlUI** const references[] = {&eventKey, &hover, &eventClick, &focus, &lastToolTip};
    for (CControlUI** reference : references)
    {
        if (*reference == pControl)
            *reference = NULL;
    }
    KillTimers(pControl);

    const CUIString controlName = pControl->GetName();
    if (!controlName.IsEmpty() && nameMap.Find(controlName, false) == pControl)
        nameMap.Remove(controlName);

    for (int i = 0; i < asyncNotify.GetSize(); ++i)
    {
        TNotifyMsg* msg = static_cast<TNotifyMsg*>(asyncNotify[i]);
        if (msg->sender == pControl)
            msg->sender = NULL;
    }

    // Painting and native-window bookkeeping must not reach a destroyed control.
    while (RemoveFirst(postPaintControls, pControl))
    {
    }
    while (RemoveFirst(mouseLeaveNeeded, pControl))
    {
    }
    for (int i = nativeWindowControls.GetSize() - 1; i >= 0; --i)
    {
        if (nativeWindowControls[i] == pControl)
        {
            nativeWindowControls.Remove(i);
            nativeWindows.Remove(i);
        }
    }
}

bool CManagerUI::RenameControl(CControlUI* pControl, LPCWSTR pstrName)
{
    if (pControl == NULL || pControl->GetManager() != this || pstrName == NULL || pstrName[0] == L'\0')
        return false;
    if (pControl->GetName() == pstrName)
        return true;
    CControlUI* holder = static_cast<CControlUI*>(nameMap.Find(pstrName, false));
    if (holder != NULL && holder != pControl)
        return false;
    pControl->SetName(pstrName);  // comes back through OnControlRenamed
    return nameMap.Find(pstrName) == pControl;
}

void CManagerUI::OnControlRenamed(CControlUI* pControl, LPCWSTR pstrOldName)
{
    if (pstrOldName != NULL && pstrOldName[0] != L'\0' && nameMap.Find(pstrOldName, false) == pControl)
        nameMap.Remove(pstrOldName);
    // A control attached only for a moment (no parent and not the root, as
    // while the skin builder applies attributes) is registered later, with
    // its tree; registering it now could leave an entry behind if it is dropped.
    const bool inTree = pControl == root || pControl->GetParent() != NULL;
    const CUIString newName = pControl->GetName();
    if (newName.IsEmpty() || !inTree)
        return;
    // Another control keeps a name it already holds.
    CControlUI* holder = static_cast<CControlUI*>(nameMap.Find(newName, false));
    if (holder == NULL)
        nameMap.Insert(newName, pControl);
}

CControlUI* CManagerUI::FindControlByName(LPCWSTR pstrName) const
{
    return static_cast<CControlUI*>(nameMap.Find(pstrName));
}

CControlUI* CManagerUI::FindControlAt(POINT pt) const
{
    if (root == NULL)
        return NULL;
    return root->FindControl(ContainsPoint, &pt, FindVisible | FindHitTest | FindTopFirst);
}

RECT CManagerUI::GetNativeWindowRect(HWND hChildWnd) const
{
    RECT rc = {};
    ::GetWindowRect(hChildWnd, &rc);
    ::MapWindowPoints(NULL, paintWindow, reinterpret_cast<LPPOINT>(&rc), 2);
    return rc;
}

void CManagerUI::NeedUpdate()
{
    updateNeeded = true;
}

void CManagerUI::AddNotifier(INotifyUI* pNotifier)
{
    AddUnlessNull(notifiers, pNotifier);
}
void CManagerUI::RemoveNotifier(INotifyUI* pNotifier)
{
    RemoveFirst(notifiers, pNotifier);
}
void CManagerUI::AddMessageFilter(IMessageFilterUI* pFilter)
{
    AddUnlessNull(messageFilters, pFilter);
}
void CManagerUI::RemoveMessageFilter(IMessageFilterUI* pFilter)
{
    RemoveFirst(messageFilters, pFilter);
}
void CManagerUI::AddPostPaint(CControlUI* pControl)
{
    AddUnlessNull(postPaintControls, pControl);
}
void CManagerUI::RemovePostPaint(CControlUI* pControl)
{
    RemoveFirst(postPaintControls, pControl);
}

void CManagerUI::AddTranslateAccelerator(ITranslateAccelerator* pTranslateAccelerator)
{
    AddUnlessNull(translateAccelerators, pTranslateAccelerator);
}

void CManagerUI::RemoveTranslateAccelerator(ITranslateAccelerator* pTranslateAccelerator)
{
    RemoveFirst(translateAccelerators, pTranslateAccelerator);
}

void CManagerUI::AddMouseLeaveNeeded(CControlUI* pControl)
{
    if (UI_CHECK(pControl != NULL) && mouseLeaveNeeded.Find(pControl) < 0)
        mouseLeaveNeeded.Add(pControl);
}

void CManagerUI::RemoveMouseLeaveNeeded(CControlUI* pControl)
{
    RemoveFirst(mouseLeaveNeeded, pControl);
}

bool CManagerUI::AddNativeWindow(CControlUI* pControl, HWND hChildWnd)
{
    if (!UI_CHECK(pControl != NULL) || hChildWnd == NULL)
        return false;
    Invalidate(GetNativeWindowRect(hChildWnd));
    if (nativeWindows.Find(hChildWnd) >= 0)
        return false;
    nativeWindows.Add(hChildWnd);
    nativeWindowControls.Add(pControl);
    return true;
}

void CManagerUI::RemoveNativeWindow(HWND hChildWnd)
{
    const int index = nativeWindows.Find(hChildWnd);
    if (index < 0)
        return;
    nativeWindows.Remove(index);
    nativeWindowControls.Remove(index);
}
