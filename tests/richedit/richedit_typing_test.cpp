#include <gtest/gtest.h>

#include "richedit_window.h"
#include "ui/controls/TxtWinHost.h"

namespace
{
const wchar_t kPlain[] =
    L"<Window size=\"300,200\"><VerticalLayout bkcolor=\"#FFFFFFFF\">"
    L"<RichEdit name=\"edit\" inset=\"4,4,4,4\" %s/>"
    L"</VerticalLayout></Window>";

std::wstring Skin(LPCWSTR attributes)
{
    wchar_t buffer[1024];
    swprintf(buffer, 1024, kPlain, attributes);
    return buffer;
}
}  // namespace

TEST(RichEditTyping, TypedTextReachesTheTextServices)
{
    CEditWindow w(Skin(L"").c_str());
    ASSERT_NE(w.Edit(), nullptr);
    ASSERT_NE(w.Edit()->GetTextHost(), nullptr) << "the text services were created";
    w.ClickInto(50, 20);
    EXPECT_EQ(w.Manager().GetFocus(), w.Edit());
    TypeText("hello world");
    EXPECT_TRUE(w.PumpUntil([&] { return w.Edit()->GetText() == CUIString(L"hello world"); }))
        << (LPCWSTR)w.Edit()->GetText();
}
