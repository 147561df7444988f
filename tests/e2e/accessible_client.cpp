// A screen reader's view of a running window, through Active Accessibility
// only: it asks the window for its client object, walks the tree and prints
// one line per object, and can press a control by its default action.
//
//   accessible_client TITLE [--wait SECONDS] [--press NAME] [--focus NAME] [--absent TITLE]
//
// Each line: indentation by depth, then role|name|states|value|action.
// Children that are no objects of their own (the system's simple elements)
// are read through their parent. --press runs the default action of the
// first object named NAME (after printing the tree); --focus moves the
// keyboard focus to it first. --absent says, as soon as the press has
// returned, whether a window with that title is shown ("absent: yes" or
// "absent: no"). The exit code is 0 when the window was found, the tree
// walked without a failed call and the asked action succeeded; 1 otherwise.

#include <windows.h>
#include <oleacc.h>

#include <stdio.h>
#include <string.h>
#include <wchar.h>

#include <string>
#include <vector>

namespace
{
struct TName
{
    DWORD value;
    const char* name;
};

const TName kRoles[] = {
    {ROLE_SYSTEM_CLIENT, "client"},
    {ROLE_SYSTEM_PANE, "pane"},
    {ROLE_SYSTEM_PUSHBUTTON, "pushbutton"},
    {ROLE_SYSTEM_RADIOBUTTON, "radiobutton"},
    {ROLE_SYSTEM_CHECKBUTTON, "checkbox"},
    {ROLE_SYSTEM_STATICTEXT, "statictext"},
    {ROLE_SYSTEM_SLIDER, "slider"},
    {ROLE_SYSTEM_PROGRESSBAR, "progressbar"},
    {ROLE_SYSTEM_LIST, "list"},
    {ROLE_SYSTEM_LISTITEM, "listitem"},
    {ROLE_SYSTEM_COMBOBOX, "combobox"},
    {ROLE_SYSTEM_OUTLINE, "outline"},
    {ROLE_SYSTEM_OUTLINEITEM, "outlineitem"},
    {ROLE_SYSTEM_TEXT, "text"},
    {ROLE_SYSTEM_GRAPHIC, "graphic"},
    {ROLE_SYSTEM_SCROLLBAR, "scrollbar"},
    {ROLE_SYSTEM_PAGETABLIST, "pagetablist"},
    {ROLE_SYSTEM_PAGETAB, "pagetab"},
};

const TName kStates[] = {
    {STATE_SYSTEM_UNAVAILABLE, "unavailable"}, {STATE_SYSTEM_SELECTED, "selected"},
    {STATE_SYSTEM_FOCUSED, "focused"},         {STATE_SYSTEM_PRESSED, "pressed"},
    {STATE_SYSTEM_CHECKED, "checked"},         {STATE_SYSTEM_EXPANDED, "expanded"},
    {STATE_SYSTEM_COLLAPSED, "collapsed"},     {STATE_SYSTEM_READONLY, "readonly"},
    {STATE_SYSTEM_HOTTRACKED, "hot"},          {STATE_SYSTEM_INVISIBLE, "invisible"},
    {STATE_SYSTEM_FOCUSABLE, "focusable"},     {STATE_SYSTEM_SELECTABLE, "selectable"},
};

std::string Utf8(const wchar_t* text)
{
    if (text == NULL)
        return std::string();
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, NULL, 0, NULL, NULL);
    if (size <= 1)
        return std::string();
    std::string out(size - 1, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], size, NULL, NULL);
    return out;
}

std::string RoleName(const VARIANT& role)
{
    if (role.vt != VT_I4)
        return "?";
    for (const TName& entry : kRoles)
    {
        if (entry.value == static_cast<DWORD>(role.lVal))
            return entry.name;
    }
    char number[16];
    snprintf(number, sizeof number, "role%ld", role.lVal);
    return number;
}

std::string StateNames(const VARIANT& state)
{
    if (state.vt != VT_I4)
        return "?";
    std::string out;
    for (const TName& entry : kStates)
    {
        if ((static_cast<DWORD>(state.lVal) & entry.value) == 0)
            continue;
        if (!out.empty())
            out += ',';
        out += entry.name;
    }
    return out;
}

// A string property: its text, empty when the object has none.
template <class F> std::string Text(F get, bool& ok)
{
    BSTR text = NULL;
    const HRESULT hr = get(&text);
    if (FAILED(hr))
        ok = false;
    std::string out = Utf8(text);
    ::SysFreeString(text);
    return out;
}

struct TWalk
{
    std::wstring press;
    std::wstring focus;
    std::wstring absent;
    IAccessible* found = NULL;  // owned reference, the object to press
    bool ok = true;
    int objects = 0;
};

// The object to walk for a child. The system's objects for child windows may
// answer nothing themselves (Wine's window objects do not); their window's
// client object does, as a screen reader would read it.
IAccessible* ChildObject(IDispatch* dispatch)
{
    IAccessible* child = NULL;
    if (FAILED(dispatch->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&child))))
        return NULL;
    VARIANT self;
    ::VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    VARIANT role;
    ::VariantInit(&role);
    if (SUCCEEDED(child->get_accRole(self, &role)))
        return child;
    HWND window = NULL;
    IAccessible* client = NULL;
    if (SUCCEEDED(::WindowFromAccessibleObject(child, &window)) && window != NULL)
        ::AccessibleObjectFromWindow(window, OBJID_CLIENT, __uuidof(IAccessible),
                                     reinterpret_cast<void**>(&client));
    child->Release();
    return client;
}

// Prints one line for the object, or for its simple element child.
std::string Describe(IAccessible* object, const VARIANT& child, int depth, TWalk& walk, BSTR* rawName)
{
    VARIANT role, state;
    ::VariantInit(&role);
    ::VariantInit(&state);
    if (FAILED(object->get_accRole(child, &role)) || FAILED(object->get_accState(child, &state)))
        walk.ok = false;
    if (FAILED(object->get_accName(child, rawName)))
        walk.ok = false;
    const std::string name = Utf8(*rawName);
    const std::string value = Text([&](BSTR* out) { return object->get_accValue(child, out); }, walk.ok);
    const std::string action =
        Text([&](BSTR* out) { return object->get_accDefaultAction(child, out); }, walk.ok);
    printf("%*s%s|%s|%s|%s|%s\n", depth * 2, "", RoleName(role).c_str(), name.c_str(),
           StateNames(state).c_str(), value.c_str(), action.c_str());
    return name;
}

void Walk(IAccessible* object, int depth, TWalk& walk)
{
    if (++walk.objects > 5000 || depth > 64)
    {
        walk.ok = false;
        return;
    }
    VARIANT self;
    ::VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;

    BSTR rawName = NULL;
    Describe(object, self, depth, walk, &rawName);
    if (walk.found == NULL && rawName != NULL && (walk.press == rawName || walk.focus == rawName))
    {
        walk.found = object;
        object->AddRef();
    }
    ::SysFreeString(rawName);

    long count = 0;
    if (FAILED(object->get_accChildCount(&count)))
    {
        walk.ok = false;
        return;
    }
    if (count <= 0)
        return;
    std::vector<VARIANT> children(count);
    long got = 0;
    if (FAILED(::AccessibleChildren(object, 0, count, children.data(), &got)))
    {
        walk.ok = false;
        return;
    }
    for (long i = 0; i < got; ++i)
    {
        VARIANT& child = children[i];
        if (child.vt == VT_I4)
        {
            BSTR elementName = NULL;
            ++walk.objects;
            Describe(object, child, depth + 1, walk, &elementName);
            ::SysFreeString(elementName);
        }
        else if (child.vt == VT_DISPATCH && child.pdispVal != NULL)
        {
            IAccessible* accessible = ChildObject(child.pdispVal);
            if (accessible != NULL)
            {
                Walk(accessible, depth + 1, walk);
                accessible->Release();
            }
            else
            {
                walk.ok = false;
            }
        }
        else
        {
            walk.ok = false;
        }
        ::VariantClear(&child);
    }
}

struct TFind
{
    const wchar_t* title;
    HWND found;
};

BOOL CALLBACK FindByTitle(HWND window, LPARAM data)
{
    TFind* find = reinterpret_cast<TFind*>(data);
    wchar_t title[512] = L"";
    ::GetWindowTextW(window, title, 512);
    if (::IsWindowVisible(window) && wcscmp(title, find->title) == 0)
    {
        find->found = window;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2)
    {
        fprintf(stderr, "usage: accessible_client TITLE [--wait SECONDS] [--press NAME] [--focus NAME] "
                        "[--absent TITLE]\n");
        return 2;
    }
    TWalk walk;
    int waitSeconds = 20;
    for (int i = 2; i + 1 < argc; i += 2)
    {
        if (wcscmp(argv[i], L"--press") == 0)
            walk.press = argv[i + 1];
        else if (wcscmp(argv[i], L"--focus") == 0)
            walk.focus = argv[i + 1];
        else if (wcscmp(argv[i], L"--absent") == 0)
            walk.absent = argv[i + 1];
        else if (wcscmp(argv[i], L"--wait") == 0)
            waitSeconds = _wtoi(argv[i + 1]);
    }

    TFind find = {argv[1], NULL};
    for (int tries = 0; find.found == NULL && tries < waitSeconds * 10; ++tries)
    {
        ::EnumWindows(FindByTitle, reinterpret_cast<LPARAM>(&find));
        if (find.found == NULL)
            ::Sleep(100);
    }
    if (find.found == NULL)
    {
        fprintf(stderr, "no window with that title\n");
        return 1;
    }

    ::CoInitialize(NULL);
    IAccessible* client = NULL;
    const HRESULT hr = ::AccessibleObjectFromWindow(find.found, OBJID_CLIENT, __uuidof(IAccessible),
                                                    reinterpret_cast<void**>(&client));
    if (FAILED(hr) || client == NULL)
    {
        fprintf(stderr, "AccessibleObjectFromWindow failed: 0x%08lx\n", static_cast<unsigned long>(hr));
        ::CoUninitialize();
        return 1;
    }
    Walk(client, 0, walk);
    fflush(stdout);
    client->Release();

    int code = walk.ok ? 0 : 1;
    if (!walk.ok)
        fprintf(stderr, "a call on the tree failed\n");
    if (!walk.press.empty() || !walk.focus.empty())
    {
        VARIANT self;
        ::VariantInit(&self);
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        if (walk.found == NULL)
        {
            fprintf(stderr, "no object with that name\n");
            code = 1;
        }
        else
        {
            if (!walk.focus.empty() && FAILED(walk.found->accSelect(SELFLAG_TAKEFOCUS, self)))
            {
                fprintf(stderr, "accSelect failed\n");
                code = 1;
            }
            // The press answers at once, whatever the action sets off.
            if (!walk.press.empty())
            {
                const HRESULT pressed = walk.found->accDoDefaultAction(self);
                TFind shown = {walk.absent.c_str(), NULL};
                if (!walk.absent.empty())
                    ::EnumWindows(FindByTitle, reinterpret_cast<LPARAM>(&shown));
                printf("pressed: 0x%08lx\n", static_cast<unsigned long>(pressed));
                if (!walk.absent.empty())
                    printf("absent: %s\n", shown.found == NULL ? "yes" : "no");
                if (FAILED(pressed))
                    code = 1;
            }
            walk.found->Release();
        }
    }
    fflush(stdout);
    ::CoUninitialize();
    return code;
}
