#include <gtest/gtest.h>

#include <windows.h>
#include <oleacc.h>

#include <string>

#include "richedit_window.h"
#include "ui/manager/ManagerAccessible.h"

// What a screen reader learns of a rich edit: editable text whose content is
// its value, named by its tooltip, read-only when it is.

namespace
{
VARIANT Self()
{
    VARIANT v;
    ::VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = CHILDID_SELF;
    return v;
}

std::wstring Read(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*), IAccessible* object)
{
    BSTR text = NULL;
    (object->*get)(Self(), &text);
    std::wstring out = text != NULL ? std::wstring(text, ::SysStringLen(text)) : std::wstring();
    ::SysFreeString(text);
    return out;
}

TEST(RichEditAccessible, ContentIsTheValueAndTheTooltipTheName)
{
    struct Case
    {
        LPCWSTR attributes;
        LONG readOnly;
    } cases[] = {
        {L"tooltip=\"Player name\" text=\"Ada\"", 0},
        {L"tooltip=\"Player name\" text=\"Ada\" readonly=\"true\"", STATE_SYSTEM_READONLY},
    };
    for (const Case& c : cases)
    {
        CEditWindow w((std::wstring(L"<Window size=\"300,200\"><VerticalLayout><RichEdit name=\"edit\" ") +
                       c.attributes + L"/></VerticalLayout></Window>")
                          .c_str());
        ASSERT_NE(w.Edit(), nullptr);
        IAccessible* object = CreateControlAccessible(w.Edit());
        ASSERT_NE(object, nullptr);
        VARIANT role, state;
        ASSERT_EQ(object->get_accRole(Self(), &role), S_OK);
        EXPECT_EQ(role.lVal, ROLE_SYSTEM_TEXT);
        EXPECT_EQ(Read(&IAccessible::get_accName, object), L"Player name");
        EXPECT_EQ(Read(&IAccessible::get_accValue, object), L"Ada");
        ASSERT_EQ(object->get_accState(Self(), &state), S_OK);
        EXPECT_EQ(state.lVal & STATE_SYSTEM_READONLY, c.readOnly);
        object->Release();
    }
}
}  // namespace
