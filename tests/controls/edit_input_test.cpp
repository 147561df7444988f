#include <gtest/gtest.h>

#include <windows.h>

#include "editor_test_support.h"
#include "ui/controls/Container.h"
#include "ui/controls/Edit.h"

// The edit driven as a user drives it: real clicks and key strokes on a
// shown window.

namespace
{
const wchar_t kTwoEdits[] = L"<VerticalLayout bkcolor=\"#FFE0E0E0\">"
                            L"<Edit name=\"first\" height=\"30\" />"
                            L"<Edit name=\"second\" height=\"30\" />"
                            L"<Control name=\"rest\" />"
                            L"</VerticalLayout>";

std::wstring EditorText(HWND editor)
{
    wchar_t buffer[256] = {};
    ::GetWindowTextW(editor, buffer, 256);
    return buffer;
}
}  // namespace

TEST(EditInput, AClickOpensTheEditorAndEveryKeyStrokeIsCopiedAndAnnounced)
{
    CEditorHost host(300, 200, kTwoEdits);
    CEditUI* first = host.Find<CEditUI>(L"first");
    ASSERT_NE(first, nullptr);
    // Away from the first tab stop, which the window focuses when it opens.
    host.Find<CControlUI>(L"rest")->SetFocus();
    host.Pump();
    ASSERT_FALSE(first->IsEditing());

    ClickControl(host, first);
    ASSERT_TRUE(host.PumpUntil([&] { return first->IsEditing(); }))
        << "a click gives the focus, which opens the editor";
    HWND editor = first->GetNativeWindow();
    ASSERT_TRUE(::IsWindow(editor));
    EXPECT_EQ(::GetParent(editor), host.Get());
    EXPECT_EQ(::GetFocus(), editor) << "the user types into the editor";

    TypeText("abc");
    ASSERT_TRUE(host.PumpUntil([&] { return host.Count("first:textchanged") == 3; }))
        << "one notification per change, delivered from the queue";
    EXPECT_STREQ(first->GetText(), L"abc");

    PressKey(VK_RETURN);
    ASSERT_TRUE(host.PumpUntil([&] { return host.Count("first:return") == 1; }));
    host.Pump();
    EXPECT_STREQ(first->GetText(), L"abc") << "Enter goes to the application, not into the text";
    EXPECT_EQ(EditorText(editor), L"abc");
    EXPECT_EQ(host.Count("first:textchanged"), 3u);

    // A click on the background keeps the focus, as in a dialog; a click on
    // another edit closes the editor, and the control keeps the text.
    ClickControl(host, host.Find<CControlUI>(L"rest"));
    host.Pump();
    EXPECT_EQ(host.Manager().GetFocus(), first);
    CEditUI* second = host.Find<CEditUI>(L"second");
    ClickControl(host, second);
    ASSERT_TRUE(host.PumpUntil([&] { return !first->IsEditing(); }));
    EXPECT_FALSE(::IsWindow(editor));
    EXPECT_STREQ(first->GetText(), L"abc");
    EXPECT_TRUE(host.PumpUntil([&] { return host.Manager().GetFocus() == second; }));
}

TEST(EditInput, TabOpensTheNextEditAndClosesTheOneLeft)
{
    CEditorHost host(300, 200, kTwoEdits);
    CEditUI* first = host.Find<CEditUI>(L"first");
    CEditUI* second = host.Find<CEditUI>(L"second");

    // The window's first layout focuses its first tab stop.
    ASSERT_TRUE(host.PumpUntil([&] { return first->IsEditing(); })) << "an edit is a tab stop";
    EXPECT_EQ(::GetFocus(), first->GetNativeWindow());
    TypeText("x1");
    ASSERT_TRUE(host.PumpUntil([&] { return host.Count("first:textchanged") == 2; }));

    // Tab pressed inside the editor still moves the window's focus.
    PressKey(VK_TAB);
    ASSERT_TRUE(host.PumpUntil([&] { return second->IsEditing(); }));
    EXPECT_EQ(host.Manager().GetFocus(), second);
    EXPECT_FALSE(first->IsEditing());
    EXPECT_STREQ(first->GetText(), L"x1");
    EXPECT_EQ(CountChildWindows(host.Get(), L"EditWnd"), 1) << "one editor at a time";
    TypeText("y");
    ASSERT_TRUE(host.PumpUntil([&] { return host.Count("second:textchanged") == 1; }));
    EXPECT_STREQ(second->GetText(), L"y");
}

TEST(EditInput, ReadOnlyAndNumberOnlyEditorsRefuseWhatTheyMust)
{
    CEditorHost host(300, 200,
                     L"<VerticalLayout>"
                     L"<Edit name=\"fixed\" height=\"30\" text=\"keep\" readonly=\"true\" />"
                     L"<Edit name=\"digits\" height=\"30\" numberonly=\"true\" maxchar=\"3\" />"
                     L"<Control />"
                     L"</VerticalLayout>");
    CEditUI* fixed = host.Find<CEditUI>(L"fixed");
    CEditUI* digits = host.Find<CEditUI>(L"digits");

    ClickControl(host, fixed);
    ASSERT_TRUE(host.PumpUntil([&] { return fixed->IsEditing(); }));
    TypeText("zz");
    host.PumpUntil([] { return false; }, 200);
    EXPECT_STREQ(fixed->GetText(), L"keep");
    EXPECT_EQ(host.Count("fixed:textchanged"), 0u);

    ClickControl(host, digits);
    ASSERT_TRUE(host.PumpUntil([&] { return digits->IsEditing(); }));
    EXPECT_FALSE(fixed->IsEditing());
    EXPECT_NE(::GetWindowLongW(digits->GetNativeWindow(), GWL_STYLE) & ES_NUMBER, 0);
    TypeText("1a23456");
    host.PumpUntil([] { return false; }, 300);
    EXPECT_STREQ(digits->GetText(), L"123") << "letters refused, and no more than maxchar";
}
