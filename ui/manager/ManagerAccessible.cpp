#include "ui/manager/ManagerAccessible.h"

#include <map>
#include <new>
#include <wctype.h>

#include "ui/controls/Control.h"
#include "ui/manager/Manager.h"

// The interface's identifier is always taken as __uuidof(IAccessible): the
// 64-bit libraries define IID_IAccessible twice (libuuid and liboleacc), and
// whichever the linker keeps, the other's users would compare wrong bytes.

namespace
{
// ---- The registry of controls that have been handed out ----

// Ids are negative so that they never clash with child numbers (1 to n).
class CAccessibleRegistry
{
public:
    LONG IdOf(CControlUI* control)
    {
        std::map<CControlUI*, LONG>::iterator found = ids.find(control);
        if (found != ids.end())
            return found->second;
        // Ids are not reused while the process lives; after two thousand
        // million controls the count starts over.
        nextId = nextId <= -0x7FFFFFFF ? -1 : nextId - 1;
        ids[control] = nextId;
        controls[nextId] = control;
        return nextId;
    }

    CControlUI* ControlOf(LONG id) const
    {
        std::map<LONG, CControlUI*>::const_iterator found = controls.find(id);
        return found != controls.end() ? found->second : NULL;
    }

    void Forget(CControlUI* control)
    {
        std::map<CControlUI*, LONG>::iterator found = ids.find(control);
        if (found == ids.end())
            return;
        controls.erase(found->second);
        ids.erase(found);
    }

private:
    std::map<CControlUI*, LONG> ids;
    std::map<LONG, CControlUI*> controls;
    LONG nextId = 0;
};

CAccessibleRegistry& Registry()
{
    static CAccessibleRegistry registry;
    return registry;
}

// ---- Tree helpers ----

CControlUI* CALLBACK MatchControl(CControlUI* control, LPVOID wanted)
{
    return control == wanted ? control : NULL;
}

// Whether control still lies in the tree of a live manager. Only pointers
// are compared until both are known to be alive: a control taken out of its
// tree without being destroyed keeps pointers to its old manager and parent,
// which may be gone.
bool IsAttached(CManagerUI* manager, CControlUI* control)
{
    if (manager == NULL || control == NULL || CManagerUI::ManagerList().Find(manager) < 0)
        return false;
    CControlUI* root = manager->GetRoot();
    return root != NULL && manager->GetPaintWindow() != NULL &&
           root->FindControl(MatchControl, control, 0) == control;
}

// The visible children of control in their container's order.
int VisibleChildCount(CControlUI* control)
{
    int count = 0;
    CControlUI* child = NULL;
    for (int i = 0; (child = control->GetAccessibleChild(i)) != NULL; ++i)
    {
        if (child->IsVisible())
            ++count;
    }
    return count;
}

// The visible child numbered n (from 1), or null.
CControlUI* VisibleChild(CControlUI* control, LONG n)
{
    if (n < 1)
        return NULL;
    LONG seen = 0;
    CControlUI* child = NULL;
    for (int i = 0; (child = control->GetAccessibleChild(i)) != NULL; ++i)
    {
        if (child->IsVisible() && ++seen == n)
            return child;
    }
    return NULL;
}

// The number of child among the visible children of its parent, or 0.
LONG VisibleIndex(CControlUI* parent, CControlUI* child)
{
    const int count = VisibleChildCount(parent);
    for (LONG n = 1; n <= count; ++n)
    {
        if (VisibleChild(parent, n) == child)
            return n;
    }
    return 0;
}

bool IsInside(CControlUI* ancestor, CControlUI* control)
{
    for (CControlUI* c = control; c != NULL; c = c->GetParent())
    {
        if (c == ancestor)
            return true;
    }
    return false;
}

// Whether parent lists child among its accessible children.
bool Lists(CControlUI* parent, CControlUI* child)
{
    CControlUI* listed = NULL;
    for (int i = 0; (listed = parent->GetAccessibleChild(i)) != NULL; ++i)
    {
        if (listed == child)
            return true;
    }
    return false;
}

// The object above control in the accessible tree. A container that its own
// parent does not list (a list's body, a tree node's row) is passed over: its
// parent lists the children in its place.
CControlUI* AccessibleParent(CControlUI* control)
{
    CControlUI* parent = control->GetParent();
    while (parent != NULL && parent->GetParent() != NULL && !Lists(parent->GetParent(), parent))
        parent = parent->GetParent();
    return parent;
}

// Every ancestor of control, and the control, is visible: it is shown.
bool IsShown(CControlUI* control)
{
    for (CControlUI* c = control; c != NULL; c = c->GetParent())
    {
        if (!c->IsVisible())
            return false;
    }
    return true;
}

// The innermost visible control of the subtree under a client point, or
// null outside it. Children drawn later lie on top, so they are asked first.
CControlUI* ControlAtPoint(CControlUI* control, POINT pt)
{
    if (!control->IsVisible() || !::PtInRect(&control->GetPos(), pt))
        return NULL;
    int count = 0;
    while (control->GetAccessibleChild(count) != NULL)
        ++count;
    for (int i = count - 1; i >= 0; --i)
    {
        CControlUI* hit = ControlAtPoint(control->GetAccessibleChild(i), pt);
        if (hit != NULL)
            return hit;
    }
    return control;
}

// Selected (an item) or the checked option of a group.
bool IsChosen(CControlUI* control)
{
    const DWORD state = control->GetAccessibleState();
    if (state & STATE_SYSTEM_SELECTED)
        return true;
    return control->GetAccessibleRole() == ROLE_SYSTEM_RADIOBUTTON && (state & STATE_SYSTEM_CHECKED) != 0;
}

// Where a control's name came from, in the order the sources are tried.
enum class NameSource
{
    Skin,     // "accname" in the skin, or set from code
    OwnText,  // the control's own visible text
    Label,    // the label placed just before it
    ToolTip,
    None
};

struct TAccessibleName
{
    CUIString text;
    NameSource source;
};

// A name is something to read: blanks alone are none.
bool IsReadable(const CUIString& text)
{
    for (LPCWSTR p = text; *p != L'\0'; ++p)
    {
        if (!iswspace(*p))
            return true;
    }
    return false;
}

// Labels and panes name nothing but themselves: a heading before a group of
// controls is read on its own.
bool TakesLabelBefore(CControlUI* control)
{
    const DWORD role = control->GetAccessibleRole();
    return role != ROLE_SYSTEM_STATICTEXT && role != ROLE_SYSTEM_PANE;
}

// The text of the label the skin places just before control in the same
// container (the nearest visible sibling before it), as a form names its
// fields; empty when that sibling is no label.
CUIString LabelBefore(CControlUI* control)
{
    CControlUI* parent = AccessibleParent(control);
    if (parent == NULL)
        return CUIString();
    CControlUI* before = NULL;
    CControlUI* child = NULL;
    for (int i = 0; (child = parent->GetAccessibleChild(i)) != NULL && child != control; ++i)
    {
        if (child->IsVisible())
            before = child;
    }
    if (child != control || before == NULL || before->GetAccessibleRole() != ROLE_SYSTEM_STATICTEXT)
        return CUIString();
    return before->GetAccessibleText();
}

// The name a screen reader reads, from the first source that gives one: the
// skin's "accname", the control's own text, the label before it, its
// tooltip. The control's identifier in the skin ("name") is never read.
TAccessibleName AccessibleName(CControlUI* control)
{
    TAccessibleName name = {control->GetAccessibleName(), NameSource::Skin};
    if (!IsReadable(name.text))
        name = {control->GetAccessibleText(), NameSource::OwnText};
    if (!IsReadable(name.text) && TakesLabelBefore(control))
        name = {LabelBefore(control), NameSource::Label};
    if (!IsReadable(name.text))
        name = {control->GetToolTip(), NameSource::ToolTip};
    if (!IsReadable(name.text))
        return {CUIString(), NameSource::None};
    CManagerUI::ResolveLanguageTokens(name.text);
    return name;
}

// The tooltip describes a control named from elsewhere; without one, what
// the control tells beyond its name.
CUIString AccessibleDescription(CControlUI* control)
{
    CUIString tip = control->GetToolTip();
    CUIString description;
    if (IsReadable(tip) && AccessibleName(control).source != NameSource::ToolTip)
        description = tip;
    else
        description = control->GetAccessibleDetails();
    CManagerUI::ResolveLanguageTokens(description);
    return description;
}

HRESULT ReturnString(const CUIString& text, BSTR* out)
{
    *out = ::SysAllocString(text);
    return *out != NULL ? S_OK : E_OUTOFMEMORY;
}

void SetEmpty(VARIANT* v)
{
    ::VariantInit(v);
    v->vt = VT_EMPTY;
}

void SetChildId(VARIANT* v, LONG id)
{
    ::VariantInit(v);
    v->vt = VT_I4;
    v->lVal = id;
}

// A COM callback must not let an exception out: any that escapes the
// handling becomes a failure result.
template <class F> HRESULT Guarded(F body)
{
    try
    {
        return body();
    }
    catch (...)
    {
        return E_UNEXPECTED;
    }
}

// ---- Actions asked for from outside ----

// A screen reader's call must not wait for what an action sets off (a modal
// box, an installation): the action is posted to the window's own thread and
// runs on the next turn of its message loop. What a queued request runs:
enum TQueuedAction : LPARAM
{
    kRunDefaultAction = 0,
    kTakeSelection = 1
};

bool CanRunDefaultAction(CControlUI* control)
{
    return control->GetAccessibleAction() != NULL && control->IsEnabled() && IsShown(control);
}

// Options and rows are selected by running their action.
bool CanTakeSelection(CControlUI* control)
{
    const bool selects = (control->GetAccessibleState() & STATE_SYSTEM_SELECTABLE) != 0 ||
                         control->GetAccessibleRole() == ROLE_SYSTEM_RADIOBUTTON;
    return selects && control->IsEnabled() && IsShown(control);
}

bool QueueAction(CControlUI* control, TQueuedAction action)
{
    HWND window = control->GetManager()->GetPaintWindow();
    return ::PostMessageW(window, AccessibleActionMessage, static_cast<WPARAM>(Registry().IdOf(control)),
                          action) != FALSE;
}

// ---- The accessible object ----

// One control, or the window's client area (which stands for the root).
class CControlAccessible final : public IAccessible
{
public:
    CControlAccessible(LONG controlId, bool client) : refs(1), id(controlId), isClient(client) {}

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (ppv == NULL)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == __uuidof(IAccessible))
        {
            *ppv = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = NULL;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ::InterlockedIncrement(&refs); }
    STDMETHODIMP_(ULONG) Release() override
    {
        const LONG left = ::InterlockedDecrement(&refs);
        if (left == 0)
            delete this;
        return left;
    }

    // IDispatch: the object is reached through its vtable only.
    STDMETHODIMP GetTypeInfoCount(UINT* count) override
    {
        if (count == NULL)
            return E_POINTER;
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }

    // IAccessible
    STDMETHODIMP get_accParent(IDispatch** out) override;
    STDMETHODIMP get_accChildCount(long* out) override;
    STDMETHODIMP get_accChild(VARIANT child, IDispatch** out) override;
    STDMETHODIMP get_accName(VARIANT child, BSTR* out) override;
    STDMETHODIMP get_accValue(VARIANT child, BSTR* out) override;
    STDMETHODIMP get_accDescription(VARIANT child, BSTR* out) override;
    STDMETHODIMP get_accRole(VARIANT child, VARIANT* out) override;
    STDMETHODIMP get_accState(VARIANT child, VARIANT* out) override;
    STDMETHODIMP get_accHelp(VARIANT, BSTR* out) override { return NoString(out); }
    STDMETHODIMP get_accHelpTopic(BSTR* file, VARIANT, long* topic) override;
    STDMETHODIMP get_accKeyboardShortcut(VARIANT child, BSTR* out) override;
    STDMETHODIMP get_accFocus(VARIANT* out) override;
    STDMETHODIMP get_accSelection(VARIANT* out) override;
    STDMETHODIMP get_accDefaultAction(VARIANT child, BSTR* out) override;
    STDMETHODIMP accSelect(long flags, VARIANT child) override;
    STDMETHODIMP accLocation(long* x, long* y, long* cx, long* cy, VARIANT child) override;
    STDMETHODIMP accNavigate(long dir, VARIANT start, VARIANT* out) override;
    STDMETHODIMP accHitTest(long x, long y, VARIANT* out) override;
    STDMETHODIMP accDoDefaultAction(VARIANT child) override;
    STDMETHODIMP put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    STDMETHODIMP put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    ~CControlAccessible() = default;

    // The control this object stands for while it is alive and in a window.
    CControlUI* Self() const
    {
        CControlUI* control = Registry().ControlOf(id);
        if (control == NULL || !IsAttached(control->GetManager(), control))
            return NULL;
        // The client object follows the window's root; a replaced root leaves it behind.
        if (isClient && control->GetManager()->GetRoot() != control)
            return NULL;
        return control;
    }

    // What a VARIANT child argument names: the object itself (CHILDID_SELF),
    // a visible child by number, or, on the client object, any control of
    // the window by the id an event carried. Null when it names nothing.
    CControlUI* Target(const VARIANT& child, bool* self) const
    {
        *self = false;
        CControlUI* me = Self();
        if (me == NULL || child.vt != VT_I4)
            return NULL;
        if (child.lVal == CHILDID_SELF)
        {
            *self = true;
            return me;
        }
        if (child.lVal > 0)
            return VisibleChild(me, child.lVal);
        CControlUI* control = Registry().ControlOf(child.lVal);
        if (control == NULL || !IsAttached(me->GetManager(), control) || !IsInside(me, control))
            return NULL;
        return control;
    }

    // Runs body on the control that child names, after the common checks.
    template <class F> HRESULT OnTarget(const VARIANT& child, F body)
    {
        return Guarded([&]() -> HRESULT {
            if (Self() == NULL)
                return CO_E_OBJNOTCONNECTED;
            bool self = false;
            CControlUI* control = Target(child, &self);
            if (control == NULL)
                return E_INVALIDARG;
            return body(control, self && isClient);
        });
    }

    static HRESULT NoString(BSTR* out)
    {
        if (out == NULL)
            return E_POINTER;
        *out = NULL;
        return S_FALSE;
    }

    // The object of a control as an IDispatch; the root is the client object.
    static IDispatch* ObjectFor(CControlUI* control)
    {
        const bool client = control->GetManager() != NULL && control->GetManager()->GetRoot() == control;
        CControlAccessible* object = new (std::nothrow) CControlAccessible(Registry().IdOf(control), client);
        return object;
    }

    static HWND WindowOf(CControlUI* control) { return control->GetManager()->GetPaintWindow(); }

    LONG refs;
    const LONG id;
    const bool isClient;
};

STDMETHODIMP CControlAccessible::get_accParent(IDispatch** out)
{
    return Guarded([&]() -> HRESULT {
        if (out == NULL)
            return E_POINTER;
        *out = NULL;
        CControlUI* me = Self();
        if (me == NULL)
            return CO_E_OBJNOTCONNECTED;
        if (isClient)
            return ::CreateStdAccessibleObject(WindowOf(me), OBJID_WINDOW, IID_IDispatch,
                                               reinterpret_cast<void**>(out));
        CControlUI* parent = AccessibleParent(me);
        if (parent == NULL)
            return S_FALSE;
        *out = ObjectFor(parent);
        return *out != NULL ? S_OK : E_OUTOFMEMORY;
    });
}

STDMETHODIMP CControlAccessible::get_accChildCount(long* out)
{
    return Guarded([&]() -> HRESULT {
        if (out == NULL)
            return E_POINTER;
        *out = 0;
        CControlUI* me = Self();
        if (me == NULL)
            return CO_E_OBJNOTCONNECTED;
        *out = VisibleChildCount(me);
        return S_OK;
    });
}

STDMETHODIMP CControlAccessible::get_accChild(VARIANT child, IDispatch** out)
{
    if (out == NULL)
        return E_POINTER;
    *out = NULL;
    return OnTarget(child, [&](CControlUI* control, bool) -> HRESULT {
        *out = ObjectFor(control);
        return *out != NULL ? S_OK : E_OUTOFMEMORY;
    });
}

STDMETHODIMP CControlAccessible::get_accName(VARIANT child, BSTR* out)
{
    if (out == NULL)
        return E_POINTER;
    *out = NULL;
    return OnTarget(child, [&](CControlUI* control, bool client) -> HRESULT {
        if (client)
        {
            WCHAR title[256] = L"";
            ::GetWindowTextW(WindowOf(control), title, 256);
            return ReturnString(CUIString(title), out);
        }
        const TAccessibleName name = AccessibleName(control);
        return name.source == NameSource::None ? S_FALSE : ReturnString(name.text, out);
    });
}

STDMETHODIMP CControlAccessible::get_accValue(VARIANT child, BSTR* out)
{
    if (out == NULL)
        return E_POINTER;
    *out = NULL;
    return OnTarget(child, [&](CControlUI* control, bool client) -> HRESULT {
        CUIString value;
        if (client || !control->GetAccessibleValue(value))
            return S_FALSE;
        return ReturnString(value, out);
    });
}

STDMETHODIMP CControlAccessible::get_accDescription(VARIANT child, BSTR* out)
{
    if (out == NULL)
        return E_POINTER;
    *out = NULL;
    return OnTarget(child, [&](CControlUI* control, bool client) -> HRESULT {
        const CUIString description = client ? CUIString() : AccessibleDescription(control);
        return description.IsEmpty() ? S_FALSE : ReturnString(description, out);
    });
}

STDMETHODIMP CControlAccessible::get_accRole(VARIANT child, VARIANT* out)
{
    if (out == NULL)
        return E_POINTER;
    SetEmpty(out);
    return OnTarget(child, [&](CControlUI* control, bool client) -> HRESULT {
        SetChildId(out, client ? ROLE_SYSTEM_CLIENT : control->GetAccessibleRole());
        return S_OK;
    });
}

STDMETHODIMP CControlAccessible::get_accState(VARIANT child, VARIANT* out)
{
    if (out == NULL)
        return E_POINTER;
    SetEmpty(out);
    return OnTarget(child, [&](CControlUI* control, bool client) -> HRESULT {
        CManagerUI* manager = control->GetManager();
        DWORD state = client ? 0 : control->GetAccessibleState();
        if (!IsShown(control))
            state |= STATE_SYSTEM_INVISIBLE;
        if (!control->IsEnabled())
            state |= STATE_SYSTEM_UNAVAILABLE;
        if (!client && (control->GetFlags() & FlagTabStop) != 0 && control->IsEnabled())
            state |= STATE_SYSTEM_FOCUSABLE;
        if (manager->GetFocus() == control)
            state |= STATE_SYSTEM_FOCUSED;
        if (client && ::GetFocus() == WindowOf(control))
            state |= STATE_SYSTEM_FOCUSED;
        SetChildId(out, static_cast<LONG>(state));
        return S_OK;
    });
}

STDMETHODIMP CControlAccessible::get_accHelpTopic(BSTR* file, VARIANT, long* topic)
{
    if (file != NULL)
        *file = NULL;
    if (topic != NULL)
        *topic = 0;
    return S_FALSE;
}

STDMETHODIMP CControlAccessible::get_accKeyboardShortcut(VARIANT child, BSTR* out)
{
    if (out == NULL)
        return E_POINTER;
    *out = NULL;
    return OnTarget(child, [&](CControlUI* control, bool client) -> HRESULT {
        const WCHAR key = control->GetShortcut();
        if (client || key == 0)
            return S_FALSE;
        CUIString text;
        text.Format(L"Alt+%c", static_cast<WCHAR>(towupper(key)));
        return ReturnString(text, out);
    });
}

STDMETHODIMP CControlAccessible::get_accFocus(VARIANT* out)
{
    return Guarded([&]() -> HRESULT {
        if (out == NULL)
            return E_POINTER;
        SetEmpty(out);
        CControlUI* me = Self();
        if (me == NULL)
            return CO_E_OBJNOTCONNECTED;
        CControlUI* focus = me->GetManager()->GetFocus();
        if (focus == me)
        {
            SetChildId(out, CHILDID_SELF);
            return S_OK;
        }
        if (focus == NULL || !IsInside(me, focus))
            return S_FALSE;
        IDispatch* object = ObjectFor(focus);
        if (object == NULL)
            return E_OUTOFMEMORY;
        out->vt = VT_DISPATCH;
        out->pdispVal = object;
        return S_OK;
    });
}

// The selected child: the first visible child that says it is selected or
// checked in a group (a list's item, a group's option).
STDMETHODIMP CControlAccessible::get_accSelection(VARIANT* out)
{
    return Guarded([&]() -> HRESULT {
        if (out == NULL)
            return E_POINTER;
        SetEmpty(out);
        CControlUI* me = Self();
        if (me == NULL)
            return CO_E_OBJNOTCONNECTED;
        const int count = VisibleChildCount(me);
        for (LONG n = 1; n <= count; ++n)
        {
            CControlUI* child = VisibleChild(me, n);
            if (!IsChosen(child))
                continue;
            IDispatch* object = ObjectFor(child);
            if (object == NULL)
                return E_OUTOFMEMORY;
            out->vt = VT_DISPATCH;
            out->pdispVal = object;
            return S_OK;
        }
        return S_FALSE;
    });
}

STDMETHODIMP CControlAccessible::get_accDefaultAction(VARIANT child, BSTR* out)
{
    if (out == NULL)
        return E_POINTER;
    *out = NULL;
    return OnTarget(child, [&](CControlUI* control, bool client) -> HRESULT {
        LPCWSTR action = client ? NULL : control->GetAccessibleAction();
        return action == NULL ? S_FALSE : ReturnString(CUIString(action), out);
    });
}

// Taking the focus moves the keyboard focus to the control as Tab would, at
// once; taking the selection queues the action of options and items that
// select, as it runs the application's handlers.
STDMETHODIMP CControlAccessible::accSelect(long flags, VARIANT child)
{
    return OnTarget(child, [&](CControlUI* control, bool client) -> HRESULT {
        if (client)
            return E_INVALIDARG;
        HRESULT hr = S_OK;
        if (flags & SELFLAG_TAKEFOCUS)
        {
            if ((control->GetFlags() & FlagTabStop) == 0 || !control->IsEnabled() || !IsShown(control))
                return S_FALSE;
            control->GetManager()->SetFocus(control, true);
        }
        if (flags & (SELFLAG_TAKESELECTION | SELFLAG_ADDSELECTION))
        {
            if (!CanTakeSelection(control))
                return S_FALSE;
            hr = QueueAction(control, kTakeSelection) ? S_OK : E_FAIL;
        }
        return hr;
    });
}

STDMETHODIMP CControlAccessible::accLocation(long* x, long* y, long* cx, long* cy, VARIANT child)
{
    if (x == NULL || y == NULL || cx == NULL || cy == NULL)
        return E_POINTER;
    *x = *y = *cx = *cy = 0;
    return OnTarget(child, [&](CControlUI* control, bool client) -> HRESULT {
        HWND window = WindowOf(control);
        RECT rc = control->GetPos();
        if (client)
            ::GetClientRect(window, &rc);
        POINT origin = {rc.left, rc.top};
        ::ClientToScreen(window, &origin);
        *x = origin.x;
        *y = origin.y;
        *cx = rc.right - rc.left;
        *cy = rc.bottom - rc.top;
        return S_OK;
    });
}

STDMETHODIMP CControlAccessible::accNavigate(long dir, VARIANT start, VARIANT* out)
{
    if (out == NULL)
        return E_POINTER;
    SetEmpty(out);
    return OnTarget(start, [&](CControlUI* control, bool) -> HRESULT {
        CControlUI* found = NULL;
        switch (dir)
        {
        case NAVDIR_FIRSTCHILD:
            found = VisibleChild(control, 1);
            break;
        case NAVDIR_LASTCHILD:
            found = VisibleChild(control, VisibleChildCount(control));
            break;
        case NAVDIR_NEXT:
        case NAVDIR_PREVIOUS:
        {
            CControlUI* parent = AccessibleParent(control);
            if (parent == NULL)
                return S_FALSE;
            const LONG n = VisibleIndex(parent, control);
            if (n > 0)
                found = VisibleChild(parent, dir == NAVDIR_NEXT ? n + 1 : n - 1);
            break;
        }
        default:
            return E_NOTIMPL;
        }
        if (found == NULL)
            return S_FALSE;
        IDispatch* object = ObjectFor(found);
        if (object == NULL)
            return E_OUTOFMEMORY;
        out->vt = VT_DISPATCH;
        out->pdispVal = object;
        return S_OK;
    });
}

// The control under a screen point: the object itself, or the innermost
// visible control inside it.
STDMETHODIMP CControlAccessible::accHitTest(long x, long y, VARIANT* out)
{
    return Guarded([&]() -> HRESULT {
        if (out == NULL)
            return E_POINTER;
        SetEmpty(out);
        CControlUI* me = Self();
        if (me == NULL)
            return CO_E_OBJNOTCONNECTED;
        POINT pt = {x, y};
        ::ScreenToClient(WindowOf(me), &pt);
        CControlUI* hit = ControlAtPoint(me, pt);
        if (hit == NULL)
        {
            if (!isClient)
                return S_FALSE;
            RECT client;
            ::GetClientRect(WindowOf(me), &client);
            if (!::PtInRect(&client, pt))
                return S_FALSE;
            hit = me;
        }
        if (hit == me)
        {
            SetChildId(out, CHILDID_SELF);
            return S_OK;
        }
        IDispatch* object = ObjectFor(hit);
        if (object == NULL)
            return E_OUTOFMEMORY;
        out->vt = VT_DISPATCH;
        out->pdispVal = object;
        return S_OK;
    });
}

// Answers once the action is queued; it runs when the window's thread next
// turns its message loop, if the control can still run it then.
STDMETHODIMP CControlAccessible::accDoDefaultAction(VARIANT child)
{
    return OnTarget(child, [&](CControlUI* control, bool client) -> HRESULT {
        if (client || control->GetAccessibleAction() == NULL)
            return DISP_E_MEMBERNOTFOUND;
        if (!CanRunDefaultAction(control))
            return E_FAIL;
        return QueueAction(control, kRunDefaultAction) ? S_OK : E_FAIL;
    });
}
}  // namespace

// ---- Entry points ----

IAccessible* CreateClientAccessible(CManagerUI* manager)
{
    if (manager == NULL || manager->GetRoot() == NULL)
        return NULL;
    return new (std::nothrow) CControlAccessible(Registry().IdOf(manager->GetRoot()), true);
}

IAccessible* CreateControlAccessible(CControlUI* control)
{
    if (control == NULL)
        return NULL;
    const bool client = control->GetManager() != NULL && control->GetManager()->GetRoot() == control;
    return new (std::nothrow) CControlAccessible(Registry().IdOf(control), client);
}

bool AnswerAccessibleObjectRequest(CManagerUI* manager, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (static_cast<LONG>(lParam) != OBJID_CLIENT)
        return false;
    IAccessible* object = CreateClientAccessible(manager);
    if (object == NULL)
        return false;
    result = ::LresultFromObject(__uuidof(IAccessible), wParam, object);
    object->Release();
    return SUCCEEDED(static_cast<HRESULT>(result));
}

void RunQueuedAccessibleAction(CManagerUI* manager, WPARAM wParam, LPARAM lParam)
{
    CControlUI* control = Registry().ControlOf(static_cast<LONG>(wParam));
    if (control == NULL || control->GetManager() != manager || !IsAttached(manager, control))
        return;
    const bool allowed = lParam == kTakeSelection ? CanTakeSelection(control) : CanRunDefaultAction(control);
    if (allowed)
        control->DoAccessibleAction();
}

LONG AccessibleEventId(CControlUI* control)
{
    return Registry().IdOf(control);
}

void RaiseAccessibleEvent(DWORD event, CManagerUI* manager, CControlUI* control)
{
    if (manager == NULL || control == NULL || manager->GetPaintWindow() == NULL)
        return;
    const LONG child = manager->GetRoot() == control ? CHILDID_SELF : AccessibleEventId(control);
    ::NotifyWinEvent(event, manager->GetPaintWindow(), OBJID_CLIENT, child);
}

void ForgetAccessibleControl(CControlUI* control)
{
    Registry().Forget(control);
}
