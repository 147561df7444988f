#include <gtest/gtest.h>

#include <windows.h>
#include <oleacc.h>

#include <string>
#include <vector>

#include "control_test_support.h"
#include "tests/support/TestWindow.h"
#include "ui/controls/Button.h"
#include "ui/controls/Container.h"
#include "ui/controls/Edit.h"
#include "ui/controls/Label.h"
#include "ui/controls/List.h"
#include "ui/controls/ListItems.h"
#include "ui/controls/Progress.h"
#include "ui/controls/TreeView.h"
#include "ui/manager/ManagerAccessible.h"
#include "ui/builder/LayoutBuilder.h"

namespace
{
const int kWidth = 400;
const int kHeight = 300;

// Every family once, with a name from the text, the tooltip and the label
// before, one without any (its identifier is not read), a hidden and a
// disabled control, and a nested box.
const wchar_t kSkin[] = L"<Window size=\"400,300\">"
                        L"<VBox name=\"root\">"
                        L"<Label text=\"Title\" height=\"20\"/>"
                        L"<Button name=\"ok\" text=\"OK\" height=\"20\"/>"
                        L"<Button name=\"tipped\" tooltip=\"Close\" height=\"20\"/>"
                        L"<Button name=\"bare\" height=\"20\"/>"
                        L"<Button name=\"hidden\" text=\"Hidden\" visible=\"false\" height=\"20\"/>"
                        L"<Button name=\"off\" text=\"Off\" enabled=\"false\" height=\"20\"/>"
                        L"<HBox height=\"20\">"
                        L"<Option name=\"a\" text=\"A\" group=\"g\" selected=\"true\"/>"
                        L"<Option name=\"b\" text=\"B\" group=\"g\"/>"
                        L"<CheckBox name=\"c\" text=\"C\"/>"
                        L"</HBox>"
                        L"<Label text=\"Volume\" height=\"20\"/>"
                        L"<Slider name=\"s\" min=\"0\" max=\"100\" value=\"30\" height=\"20\"/>"
                        L"<Progress name=\"p\" min=\"0\" max=\"200\" value=\"50\" height=\"20\"/>"
                        L"</VBox></Window>";

VARIANT Self()
{
    VARIANT v;
    ::VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = CHILDID_SELF;
    return v;
}

std::string Narrow(BSTR text)
{
    std::string out;
    for (UINT i = 0; text != NULL && i < ::SysStringLen(text); ++i)
        out += static_cast<char>(text[i] < 128 ? text[i] : '?');
    return out;
}

std::string RoleName(LONG role)
{
    switch (role)
    {
    case ROLE_SYSTEM_CLIENT:
        return "client";
    case ROLE_SYSTEM_PANE:
        return "pane";
    case ROLE_SYSTEM_STATICTEXT:
        return "text";
    case ROLE_SYSTEM_PUSHBUTTON:
        return "button";
    case ROLE_SYSTEM_RADIOBUTTON:
        return "radio";
    case ROLE_SYSTEM_CHECKBUTTON:
        return "check";
    case ROLE_SYSTEM_SLIDER:
        return "slider";
    case ROLE_SYSTEM_PROGRESSBAR:
        return "progress";
    case ROLE_SYSTEM_OUTLINEITEM:
        return "outlineitem";
    case ROLE_SYSTEM_LISTITEM:
        return "listitem";
    default:
        return std::to_string(role);
    }
}

std::string StateNames(LONG state)
{
    static const struct
    {
        LONG bit;
        const char* name;
    } names[] = {{STATE_SYSTEM_FOCUSED, "focused"},
                 {STATE_SYSTEM_FOCUSABLE, "focusable"},
                 {STATE_SYSTEM_CHECKED, "checked"},
                 {STATE_SYSTEM_UNAVAILABLE, "unavailable"},
                 {STATE_SYSTEM_INVISIBLE, "invisible"}};
    std::string out;
    for (const auto& n : names)
    {
        if (state & n.bit)
            out += (out.empty() ? "" : ",") + std::string(n.name);
    }
    return out;
}

// One line per object: role, name, states, value and default action. The
// hot state is left out: it follows the real pointer, which may rest on the
// test's window.
std::string Describe(IAccessible* object)
{
    VARIANT self = Self();
    VARIANT role, state;
    EXPECT_EQ(object->get_accRole(self, &role), S_OK);
    EXPECT_EQ(object->get_accState(self, &state), S_OK);
    BSTR name = NULL, value = NULL, action = NULL;
    object->get_accName(self, &name);
    object->get_accValue(self, &value);
    object->get_accDefaultAction(self, &action);
    std::string line = RoleName(role.lVal) + "|" + Narrow(name) + "|" + StateNames(state.lVal) + "|" +
                       Narrow(value) + "|" + Narrow(action);
    ::SysFreeString(name);
    ::SysFreeString(value);
    ::SysFreeString(action);
    return line;
}

void Walk(IAccessible* object, int depth, std::string& out)
{
    out += std::string(depth * 2, ' ') + Describe(object) + "\n";
    long count = 0;
    ASSERT_EQ(object->get_accChildCount(&count), S_OK);
    for (long i = 1; i <= count; ++i)
    {
        VARIANT index;
        ::VariantInit(&index);
        index.vt = VT_I4;
        index.lVal = i;
        IDispatch* dispatch = NULL;
        ASSERT_EQ(object->get_accChild(index, &dispatch), S_OK);
        IAccessible* child = NULL;
        ASSERT_EQ(dispatch->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&child)), S_OK);
        Walk(child, depth + 1, out);
        child->Release();
        dispatch->Release();
    }
}

class AccessibleTest : public testing::Test
{
protected:
    AccessibleTest() : host(manager, kWidth, kHeight, true)
    {
        CLayoutBuilder builder;
        CControlUI* root = builder.Create(kSkin, NULL, &manager);
        EXPECT_NE(root, nullptr);
        manager.AttachRoot(root);
        manager.AddNotifier(&notes);
        root->SetPos(Rect(0, 0, kWidth, kHeight));
        host.Pump();
    }
    ~AccessibleTest() override { manager.RemoveNotifier(&notes); }

    // The client object as a screen reader gets it from the window.
    IAccessible* Client()
    {
        IAccessible* client = NULL;
        EXPECT_EQ(::AccessibleObjectFromWindow(host.Get(), OBJID_CLIENT, __uuidof(IAccessible),
                                               reinterpret_cast<void**>(&client)),
                  S_OK);
        return client;
    }

    CControlUI* Find(const wchar_t* name) { return manager.FindControlByName(name); }

    int Count(const wchar_t* type)
    {
        int n = 0;
        for (const CNotifyRecorder::TRecord& r : notes.records)
            n += r.type == type ? 1 : 0;
        return n;
    }

    CManagerUI manager;
    CHostWindow host;
    CNotifyRecorder notes;
};

TEST_F(AccessibleTest, TheWindowAnswersWithTheTreeOfVisibleControls)
{
    IAccessible* client = Client();
    ASSERT_NE(client, nullptr);
    std::string tree;
    Walk(client, 0, tree);
    client->Release();
    // The client is named after the window; whether it has the keyboard
    // focus depends on the other windows of the display, so its states are
    // left out. The first tab stop has the focus since the first layout; the
    // hidden button is not listed.
    const size_t firstLine = tree.find('\n') + 1;
    EXPECT_EQ(tree.substr(0, tree.find('|', tree.find('|') + 1)), "client|host test");
    EXPECT_EQ(tree.substr(firstLine), "  text|Title|||\n"
                                      "  button|OK|focused,focusable||Press\n"
                                      "  button|Close|focusable||Press\n"
                                      "  button||focusable||Press\n"
                                      "  button|Off|unavailable||Press\n"
                                      "  pane||||\n"
                                      "    radio|A|focusable,checked||Select\n"
                                      "    radio|B|focusable||Select\n"
                                      "    check|C|focusable||Check\n"
                                      "  text|Volume|||\n"
                                      "  slider|Volume|focusable|30|\n"
                                      "  progress|||25%|\n");
}

// The call answers at once; the action runs on the window's next turn of its
// message loop, as a click would.
TEST_F(AccessibleTest, DefaultActionsPressSelectAndToggleOnTheNextTurn)
{
    struct Case
    {
        const wchar_t* name;
        HRESULT result;
        const wchar_t* notification;  // expected once, or null for none
    } cases[] = {
        {L"ok", S_OK, L"click"}, {L"b", S_OK, L"selectchanged"},      {L"c", S_OK, L"selectchanged"},
        {L"off", E_FAIL, NULL},  {L"s", DISP_E_MEMBERNOTFOUND, NULL},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "control " << std::string(c.name, c.name + wcslen(c.name)));
        notes.records.clear();
        IAccessible* object = CreateControlAccessible(Find(c.name));
        ASSERT_NE(object, nullptr);
        EXPECT_EQ(object->accDoDefaultAction(Self()), c.result);
        EXPECT_TRUE(notes.records.empty()) << "nothing runs inside the call";
        host.Pump();
        if (c.notification != NULL)
            EXPECT_EQ(Count(c.notification), 1);
        else
            EXPECT_TRUE(notes.records.empty());
        object->Release();
    }
    EXPECT_TRUE(static_cast<COptionUI*>(Find(L"b"))->IsSelected());
    EXPECT_FALSE(static_cast<COptionUI*>(Find(L"a"))->IsSelected());
    EXPECT_TRUE(static_cast<COptionUI*>(Find(L"c"))->IsSelected());
}

// What changed between the call and the turn of the loop counts: a control
// disabled, hidden or deleted meanwhile does nothing.
TEST_F(AccessibleTest, AQueuedActionIsCheckedAgainBeforeItRuns)
{
    struct Case
    {
        const char* what;
        void (*change)(CControlUI*);
    } cases[] = {
        {"disabled", [](CControlUI* c) { c->SetEnabled(false); }},
        {"hidden", [](CControlUI* c) { c->SetVisible(false); }},
        {"removed", [](CControlUI* c) { static_cast<CContainerUI*>(c->GetParent())->Remove(c); }},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        CControlUI* ok = Find(L"ok");
        ASSERT_NE(ok, nullptr);
        notes.records.clear();
        IAccessible* object = CreateControlAccessible(ok);
        EXPECT_EQ(object->accDoDefaultAction(Self()), S_OK);
        c.change(ok);
        host.Pump();
        EXPECT_EQ(Count(L"click"), 0);
        object->Release();
        if (CControlUI* kept = Find(L"ok"))
        {
            kept->SetEnabled(true);
            kept->SetVisible(true);
        }
    }
}

// Taking the selection runs an option's handlers, so it is queued too; the
// focus moves at once.
TEST_F(AccessibleTest, TakingTheSelectionIsQueuedAndTheFocusIsNot)
{
    IAccessible* b = CreateControlAccessible(Find(L"b"));
    EXPECT_EQ(b->accSelect(SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION, Self()), S_OK);
    EXPECT_EQ(manager.GetFocus(), Find(L"b"));
    EXPECT_FALSE(static_cast<COptionUI*>(Find(L"b"))->IsSelected());
    host.Pump();
    EXPECT_TRUE(static_cast<COptionUI*>(Find(L"b"))->IsSelected());
    b->Release();

    IAccessible* ok = CreateControlAccessible(Find(L"ok"));
    EXPECT_EQ(ok->accSelect(SELFLAG_TAKESELECTION, Self()), S_FALSE) << "a button is no selection";
    notes.records.clear();
    host.Pump();
    EXPECT_EQ(Count(L"click"), 0);
    ok->Release();
}

TEST_F(AccessibleTest, ObjectsOfADeletedControlAreDisconnected)
{
    CControlUI* ok = Find(L"ok");
    IAccessible* object = CreateControlAccessible(ok);
    IAccessible* client = Client();
    VARIANT byEvent;
    ::VariantInit(&byEvent);
    byEvent.vt = VT_I4;
    byEvent.lVal = AccessibleEventId(ok);

    static_cast<CContainerUI*>(manager.GetRoot())->Remove(ok);
    host.Pump();  // the removed control is deleted at the next flush

    VARIANT self = Self();
    BSTR name = NULL;
    EXPECT_EQ(object->get_accName(self, &name), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(object->accDoDefaultAction(self), CO_E_OBJNOTCONNECTED);
    long count = -1;
    EXPECT_EQ(object->get_accChildCount(&count), CO_E_OBJNOTCONNECTED);
    IDispatch* gone = NULL;
    EXPECT_EQ(client->get_accChild(byEvent, &gone), E_INVALIDARG);
    EXPECT_EQ(gone, nullptr);
    object->Release();

    // A control taken out of the tree but kept alive is out of reach too.
    CControlUI* kept = Find(L"tipped");
    IAccessible* keptObject = CreateControlAccessible(kept);
    static_cast<CContainerUI*>(manager.GetRoot())->Remove(kept, true);
    EXPECT_EQ(keptObject->get_accName(self, &name), CO_E_OBJNOTCONNECTED);
    keptObject->Release();
    kept->Delete();

    // When the whole tree goes, the client object goes with it.
    manager.AttachRoot(new CControlUI);
    EXPECT_EQ(client->get_accChildCount(&count), CO_E_OBJNOTCONNECTED);
    client->Release();
}

TEST_F(AccessibleTest, FocusFollowsTheKeyboardAndIsTakenOnRequest)
{
    IAccessible* client = Client();
    VARIANT focus;
    manager.SetFocus(NULL);
    EXPECT_EQ(client->get_accFocus(&focus), S_FALSE);

    manager.SetNextTabControl(true);
    ASSERT_EQ(manager.GetFocus(), Find(L"ok"));
    ASSERT_EQ(client->get_accFocus(&focus), S_OK);
    ASSERT_EQ(focus.vt, VT_DISPATCH);
    IAccessible* focused = NULL;
    focus.pdispVal->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&focused));
    EXPECT_EQ(Describe(focused), "button|OK|focused,focusable||Press");
    focused->Release();
    ::VariantClear(&focus);

    IAccessible* slider = CreateControlAccessible(Find(L"s"));
    EXPECT_EQ(slider->accSelect(SELFLAG_TAKEFOCUS, Self()), S_OK);
    EXPECT_EQ(manager.GetFocus(), Find(L"s"));
    slider->Release();

    // A label is no tab stop and does not take the focus.
    IAccessible* label = CreateControlAccessible(static_cast<CContainerUI*>(manager.GetRoot())->GetItemAt(0));
    EXPECT_EQ(label->accSelect(SELFLAG_TAKEFOCUS, Self()), S_FALSE);
    EXPECT_EQ(manager.GetFocus(), Find(L"s"));
    label->Release();
    client->Release();
}

// The object a VARIANT holds, described; "none" when it holds nothing.
std::string Held(VARIANT& v)
{
    if (v.vt != VT_DISPATCH)
        return "none";
    IAccessible* object = NULL;
    v.pdispVal->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&object));
    const std::string line = Describe(object);
    object->Release();
    ::VariantClear(&v);
    return line;
}

TEST_F(AccessibleTest, NavigationParentAndSelectionFollowTheTree)
{
    IAccessible* a = CreateControlAccessible(Find(L"a"));
    VARIANT to;
    ASSERT_EQ(a->accNavigate(NAVDIR_NEXT, Self(), &to), S_OK);
    EXPECT_EQ(Held(to), "radio|B|focusable||Select");
    EXPECT_EQ(a->accNavigate(NAVDIR_PREVIOUS, Self(), &to), S_FALSE);
    EXPECT_EQ(Held(to), "none");

    IDispatch* dispatch = NULL;
    ASSERT_EQ(a->get_accParent(&dispatch), S_OK);
    IAccessible* box = NULL;
    dispatch->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&box));
    dispatch->Release();
    EXPECT_EQ(Describe(box), "pane||||");
    ASSERT_EQ(box->accNavigate(NAVDIR_LASTCHILD, Self(), &to), S_OK);
    EXPECT_EQ(Held(to), "check|C|focusable||Check");
    ASSERT_EQ(box->get_accSelection(&to), S_OK);
    EXPECT_EQ(Held(to), "radio|A|focusable,checked||Select");

    // The client's parent is the window itself, as the system describes it.
    IAccessible* client = Client();
    ASSERT_EQ(client->get_accParent(&dispatch), S_OK);
    ASSERT_NE(dispatch, nullptr);
    dispatch->Release();
    client->Release();
    box->Release();
    a->Release();
}

TEST_F(AccessibleTest, APointerOverAButtonMakesItHot)
{
    CControlUI* ok = Find(L"ok");
    TControlEvent leave = MakeEvent(EventMouseLeave, -1, -1);
    ok->DispatchEvent(leave);
    IAccessible* object = CreateControlAccessible(ok);
    VARIANT state;
    ASSERT_EQ(object->get_accState(Self(), &state), S_OK);
    EXPECT_EQ(state.lVal & STATE_SYSTEM_HOTTRACKED, 0);
    RECT pos = ok->GetPos();
    TControlEvent enter = MakeEvent(EventMouseEnter, pos.left + 2, pos.top + 2);
    ok->DispatchEvent(enter);
    ASSERT_EQ(object->get_accState(Self(), &state), S_OK);
    EXPECT_NE(state.lVal & STATE_SYSTEM_HOTTRACKED, 0);
    object->Release();
}

TEST_F(AccessibleTest, HitTestAndLocationAgreeInScreenCoordinates)
{
    IAccessible* client = Client();
    IAccessible* checkBox = CreateControlAccessible(Find(L"c"));
    long x = 0, y = 0, cx = 0, cy = 0;
    ASSERT_EQ(checkBox->accLocation(&x, &y, &cx, &cy, Self()), S_OK);
    RECT pos = Find(L"c")->GetPos();
    POINT origin = {pos.left, pos.top};
    ::ClientToScreen(host.Get(), &origin);
    EXPECT_EQ(x, origin.x);
    EXPECT_EQ(y, origin.y);
    EXPECT_EQ(cx, pos.right - pos.left);
    EXPECT_EQ(cy, pos.bottom - pos.top);

    // The client answers with the innermost control, through the box.
    VARIANT hit;
    ASSERT_EQ(client->accHitTest(x + cx / 2, y + cy / 2, &hit), S_OK);
    ASSERT_EQ(hit.vt, VT_DISPATCH);
    IAccessible* found = NULL;
    hit.pdispVal->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&found));
    EXPECT_EQ(Describe(found), "check|C|focusable||Check");
    found->Release();
    ::VariantClear(&hit);

    // Outside the window nothing is hit.
    POINT outside = {kWidth + 50, kHeight + 50};
    ::ClientToScreen(host.Get(), &outside);
    EXPECT_EQ(client->accHitTest(outside.x, outside.y, &hit), S_FALSE);
    EXPECT_EQ(hit.vt, VT_EMPTY);
    checkBox->Release();
    client->Release();
}

// The events a screen reader hears, with the object each one is about.
std::vector<std::string> heard;

void CALLBACK Listen(HWINEVENTHOOK, DWORD event, HWND window, LONG objectId, LONG childId, DWORD, DWORD)
{
    IAccessible* object = NULL;
    VARIANT child;
    ::VariantInit(&child);
    if (FAILED(::AccessibleObjectFromEvent(window, objectId, childId, &object, &child)) || object == NULL)
    {
        heard.push_back("unreachable");
        return;
    }
    BSTR name = NULL;
    object->get_accName(child, &name);
    heard.push_back((event == EVENT_OBJECT_FOCUS ? "focus " : "value ") + Narrow(name));
    ::SysFreeString(name);
    object->Release();
}

TEST_F(AccessibleTest, FocusAndValueChangesAreAnnounced)
{
    heard.clear();
    HWINEVENTHOOK hook = ::SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_VALUECHANGE, NULL, Listen,
                                           ::GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(hook, nullptr);
    manager.SetFocus(Find(L"s"), true);
    TControlEvent end = KeyDown(VK_END);
    Find(L"s")->DispatchEvent(end);
    host.PumpUntil([] { return heard.size() >= 2; }, 2000);
    ::UnhookWinEvent(hook);
    EXPECT_EQ(heard, (std::vector<std::string>{"focus Volume", "value Volume"}));
}

TEST(SliderKeys, KeysMoveTheValueAndAnnounceIt)
{
    struct Case
    {
        WORD key;
        int start;
        int expected;
        int notes;
    } cases[] = {
        {VK_RIGHT, 50, 55, 1},   {VK_UP, 50, 55, 1},   {VK_LEFT, 50, 45, 1}, {VK_DOWN, 50, 45, 1},
        {VK_PRIOR, 50, 70, 1},   {VK_NEXT, 50, 30, 1}, {VK_HOME, 50, 0, 1},  {VK_END, 50, 200, 1},
        {VK_RIGHT, 198, 200, 1}, {VK_NEXT, 10, 0, 1},  {L'A', 50, 50, 0},    {VK_SPACE, 50, 50, 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "key " << c.key << " from " << c.start);
        CManagerUI manager;
        CNotifyRecorder notes;
        manager.AddNotifier(&notes);
        CSliderUI slider;
        slider.SetManager(&manager, NULL, false);
        slider.SetMinValue(0);
        slider.SetMaxValue(200);
        slider.SetChangeStep(5);
        slider.SetValue(c.start);
        TControlEvent event = KeyDown(c.key);
        slider.DispatchEvent(event);
        EXPECT_EQ(slider.GetValue(), c.expected);
        EXPECT_EQ(static_cast<int>(notes.records.size()), c.notes);
        manager.RemoveNotifier(&notes);
    }
}

TEST(SliderKeys, ADisabledSliderIgnoresKeys)
{
    CManagerUI manager;
    CSliderUI slider;
    slider.SetManager(&manager, NULL, false);
    slider.SetValue(40);
    slider.SetEnabled(false);
    TControlEvent event = KeyDown(VK_END);
    slider.DispatchEvent(event);
    EXPECT_EQ(slider.GetValue(), 40);
}

// Pixels of the focus frame's colour on the line two pixels inside the top edge.
int FramePixels(const wchar_t* attributes, bool focused)
{
    CManagerUI manager;
    CCanvas canvas(60, 30, 0xFFFFFFFF);
    CButtonUI button;
    button.SetManager(&manager, NULL, false);
    button.ApplyAttributeList(attributes);
    button.SetPos(Rect(0, 0, 60, 30));
    if (focused)
    {
        TControlEvent event = MakeEvent(EventSetFocus);
        button.DispatchEvent(event);
    }
    button.Paint(canvas.Dc(), Rect(0, 0, 60, 30), NULL);
    int dark = 0;
    for (int x = 2; x < 58; ++x)
        dark += canvas.Rgb(x, 2) == 0x000000 ? 1 : 0;
    return dark;
}

TEST(FocusFrame, DrawnOnlyWhenTheSkinShowsNoFocusOfItsOwn)
{
    EXPECT_GT(FramePixels(L"", true), 10) << "a dotted frame";
    EXPECT_LT(FramePixels(L"", true), 56) << "dotted, not solid";
    EXPECT_EQ(FramePixels(L"", false), 0) << "not focused";
    EXPECT_EQ(FramePixels(L"focusedtextcolor=\"#FFFF0000\"", true), 0) << "a focused colour wins";
    EXPECT_EQ(FramePixels(L"bordersize=\"1\" focusbordercolor=\"#FFFF0000\"", true), 0)
        << "a focus border wins";
    EXPECT_EQ(FramePixels(L"keyboard=\"false\"", true), 0) << "no tab stop";
}
}  // namespace

namespace
{
TEST(AccessibleText, TaggedTextIsReadWithoutItsTags)
{
    struct Case
    {
        bool showHtml;
        const wchar_t* text;
        const wchar_t* read;
    } cases[] = {
        {true, L"{b}Bold{/b} and {c #FFFF0000}red{/c}{n}next", L"Bold and red next"},
        {true, L"<i>slanted</i> <a link>here</a>", L"slanted here"},
        {true, L"{unclosed and {} and 2 < 3 > 1", L"{unclosed and {} and 2 < 3 > 1"},
        {false, L"{b}kept{/b}", L"{b}kept{/b}"},
    };
    for (const Case& c : cases)
    {
        CLabelUI label;
        label.SetShowHtml(c.showHtml);
        label.SetText(c.text);
        EXPECT_STREQ(static_cast<LPCWSTR>(label.GetAccessibleText()), c.read);
    }
}
}  // namespace

namespace
{
TEST(AccessibleText, AnEditReadsItsContentAsTheValueButNeverAPassword)
{
    struct Case
    {
        bool password;
        bool readOnly;
        bool hasValue;
        DWORD state;
    } cases[] = {
        {false, false, true, 0},
        {false, true, true, STATE_SYSTEM_READONLY},
        {true, false, false, STATE_SYSTEM_PROTECTED},
    };
    for (const Case& c : cases)
    {
        CEditUI edit;
        edit.SetText(L"secret");
        edit.SetToolTip(L"Password");
        edit.SetPasswordMode(c.password);
        edit.SetReadOnly(c.readOnly);
        CUIString value;
        EXPECT_EQ(edit.GetAccessibleValue(value), c.hasValue);
        EXPECT_STREQ(static_cast<LPCWSTR>(value), c.hasValue ? L"secret" : L"");
        EXPECT_EQ(edit.GetAccessibleRole(), static_cast<DWORD>(ROLE_SYSTEM_TEXT));
        EXPECT_EQ(edit.GetAccessibleState(), c.state);
        EXPECT_TRUE(edit.GetAccessibleText().IsEmpty()) << "the content is no name";
    }
}
}  // namespace

namespace
{
// A shown window built from the controls of body, inside a vertical box.
class CBuiltWindow
{
public:
    explicit CBuiltWindow(const std::wstring& body) : host(manager, kWidth, kHeight, true)
    {
        const std::wstring xml = L"<Window size=\"400,300\"><VBox>" + body + L"</VBox></Window>";
        CLayoutBuilder builder;
        CControlUI* root = builder.Create(xml.c_str(), NULL, &manager);
        EXPECT_NE(root, nullptr);
        manager.AttachRoot(root);
        root->SetPos(Rect(0, 0, kWidth, kHeight));
        host.Pump();
    }

    CControlUI* Find(const wchar_t* name) { return manager.FindControlByName(name); }

    // The accessible object of a control; the caller releases it.
    IAccessible* Object(const wchar_t* name)
    {
        CControlUI* control = Find(name);
        EXPECT_NE(control, nullptr);
        return control != NULL ? CreateControlAccessible(control) : NULL;
    }

    CManagerUI manager;
    CHostWindow host;
};

std::string NameOf(IAccessible* object)
{
    BSTR text = NULL;
    object->get_accName(Self(), &text);
    const std::string out = Narrow(text);
    ::SysFreeString(text);
    return out;
}

std::string DescriptionOf(IAccessible* object)
{
    BSTR text = NULL;
    object->get_accDescription(Self(), &text);
    const std::string out = Narrow(text);
    ::SysFreeString(text);
    return out;
}

// The sources of a name in their order: the skin's accname, the control's
// own text, the label just before it, the tooltip; never its identifier.
TEST(AccessibleName, ComesFromTheFirstSourceThatHasOne)
{
    struct Case
    {
        const wchar_t* body;  // holds the control named "t"
        const char* name;
        const char* description;
    } cases[] = {
        {L"<Label text=\"Field\"/><Button name=\"t\" accname=\"Go\" text=\"Start\" tooltip=\"Tip\"/>", "Go",
         "Tip"},
        {L"<Label text=\"Field\"/><CheckBox name=\"t\" text=\"Agree\" tooltip=\"Tip\"/>", "Agree", "Tip"},
        {L"<Label text=\"User\"/><Edit name=\"t\" text=\"content\" tooltip=\"Tip\"/>", "User", "Tip"},
        {L"<Edit name=\"t\" text=\"content\" tooltip=\"Tip\"/>", "Tip", ""},
        {L"<Button name=\"t\"/>", "", ""},
        {L"<Button name=\"t\" accname=\"  \" text=\"Start\"/>", "Start", ""},
        {L"<Text text=\"{b}Pass{/b}word\" showhtml=\"true\"/><Edit name=\"t\" password=\"true\"/>",
         "Password", ""},
        {L"<Label text=\"Hidden\" visible=\"false\"/><Edit name=\"t\"/>", "", ""},
        {L"<Label text=\"Shown\"/><Label text=\"Near\" visible=\"false\"/><Edit name=\"t\"/>", "Shown", ""},
        {L"<Label text=\"Far\"/><Button text=\"B\"/><Edit name=\"t\"/>", "", ""},
        {L"<HBox><Label text=\"Inside\"/></HBox><Edit name=\"t\"/>", "", ""},
        {L"<Label text=\"Heading\"/><HBox name=\"t\"/>", "", ""},
        {L"<Label text=\"Heading\"/><Label name=\"t\"/>", "", ""},
        {L"<Label text=\"Size\"/><Combo name=\"t\"><ListLabelElement text=\"Large\" "
         L"selected=\"true\"/></Combo>",
         "Size", ""},
        {L"<Label text=\"Date\"/><DateTime name=\"t\" text=\"2026-03-07\"/>", "Date", ""},
        {L"<Label text=\"Level\"/><Progress name=\"t\" value=\"10\"/>", "Level", ""},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << std::string(c.body, c.body + wcslen(c.body)));
        CBuiltWindow window(c.body);
        IAccessible* object = window.Object(L"t");
        ASSERT_NE(object, nullptr);
        EXPECT_EQ(NameOf(object), c.name);
        EXPECT_EQ(DescriptionOf(object), c.description);
        object->Release();
    }
}

TEST(AccessibleName, CanBeSetFromCodeAndCleared)
{
    CBuiltWindow window(L"<Label text=\"Field\"/><Edit name=\"t\"/>");
    IAccessible* object = window.Object(L"t");
    window.Find(L"t")->SetAccessibleName(L"From code");
    EXPECT_EQ(NameOf(object), "From code");
    window.Find(L"t")->SetAccessibleName(L"");
    EXPECT_EQ(NameOf(object), "Field");
    object->Release();
}

// Texts from the list's callback, tagged, with an empty third column.
class CRowTexts : public IListTextCallback
{
public:
    LPCWSTR GetItemText(CControlUI*, int index, int column) override
    {
        static const wchar_t* const kColumns[][3] = {{L"{b}first{/b}", L"1 KB", L""},
                                                     {L"second", L"2 KB", L"{a}new{/a}"}};
        return index >= 0 && index < 2 && column >= 0 && column < 3 ? kColumns[index][column] : L"";
    }
};

const wchar_t kListSkin[] = L"<List name=\"list\" height=\"80\" itemshowhtml=\"true\">"
                            L"<ListHeader height=\"20\">"
                            L"<ListHeaderItem text=\"Name\" width=\"100\"/>"
                            L"<ListHeaderItem text=\"Size\" width=\"60\"/>"
                            L"<ListHeaderItem text=\"Notes\" width=\"100\"/>"
                            L"</ListHeader>"
                            L"<ListTextElement name=\"r0\"/><ListTextElement name=\"r1\"/>"
                            L"</List>";

// A row is named by its first column and described by the others, whether
// the texts come from the list's callback or were set on the row.
TEST(AccessibleName, ATextRowIsNamedByItsFirstColumn)
{
    CBuiltWindow window(kListSkin);
    CRowTexts texts;
    static_cast<CListUI*>(window.Find(L"list"))->SetTextCallback(&texts);
    IAccessible* r0 = window.Object(L"r0");
    IAccessible* r1 = window.Object(L"r1");
    EXPECT_EQ(Describe(r0), "listitem|first|||Select");
    EXPECT_EQ(DescriptionOf(r0), "Size: 1 KB");
    EXPECT_EQ(NameOf(r1), "second");
    EXPECT_EQ(DescriptionOf(r1), "Size: 2 KB, Notes: new");

    static_cast<CListUI*>(window.Find(L"list"))->SetTextCallback(NULL);
    CListTextElementUI* row = static_cast<CListTextElementUI*>(window.Find(L"r0"));
    row->SetText(0, L"own");
    row->SetText(1, L"3 KB");
    EXPECT_EQ(NameOf(r0), "own");
    EXPECT_EQ(DescriptionOf(r0), "Size: 3 KB");
    r0->Release();
    r1->Release();
}

const wchar_t kTreeSkin[] =
    L"<TreeView name=\"tree\" height=\"100\" visiblecheckbtn=\"true\">"
    L"<TreeNode name=\"top\" text=\"Top\"><TreeNode name=\"leaf\" text=\"Leaf\"/></TreeNode>"
    L"</TreeView>";

// A node stands for its folder button and its text: it is named by its text
// and expands or collapses; its check box, named after it, is its child.
TEST(AccessibleTree, ANodeExpandsAndCollapsesAndItsCheckBoxIsNamed)
{
    CBuiltWindow window(kTreeSkin);
    CTreeNodeUI* top = static_cast<CTreeNodeUI*>(window.Find(L"top"));
    IAccessible* node = window.Object(L"top");
    std::string tree;
    Walk(node, 0, tree);
    // The tree view is the one tab stop: Space on the node ticks the check box.
    EXPECT_EQ(tree, "outlineitem|Top|||Collapse\n"
                    "  check|Top|||Check\n");

    EXPECT_EQ(node->accDoDefaultAction(Self()), S_OK);
    window.host.Pump();
    EXPECT_FALSE(top->IsFolderExpanded());
    EXPECT_FALSE(window.Find(L"leaf")->IsVisible()) << "the child row is hidden";
    EXPECT_EQ(Describe(node), "outlineitem|Top|||Expand");
    EXPECT_EQ(node->accDoDefaultAction(Self()), S_OK);
    window.host.Pump();
    EXPECT_TRUE(top->IsFolderExpanded());
    EXPECT_TRUE(window.Find(L"leaf")->IsVisible());

    // A leaf has nothing to open: it is selected.
    IAccessible* leaf = window.Object(L"leaf");
    EXPECT_EQ(Describe(leaf), "outlineitem|Leaf|||Select");

    // The check box leads back to its node, and its node's text names it.
    VARIANT first;
    ASSERT_EQ(node->accNavigate(NAVDIR_FIRSTCHILD, Self(), &first), S_OK);
    ASSERT_EQ(first.vt, VT_DISPATCH);
    IAccessible* checkBox = NULL;
    first.pdispVal->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&checkBox));
    ::VariantClear(&first);
    IDispatch* parent = NULL;
    ASSERT_EQ(checkBox->get_accParent(&parent), S_OK);
    IAccessible* parentObject = NULL;
    parent->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&parentObject));
    parent->Release();
    EXPECT_EQ(NameOf(parentObject), "Top");
    top->SetItemText(L"Renamed");
    EXPECT_EQ(NameOf(checkBox), "Renamed");
    parentObject->Release();
    checkBox->Release();
    leaf->Release();
    node->Release();
}
}  // namespace
