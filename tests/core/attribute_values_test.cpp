#include <gtest/gtest.h>

#include "ui/core/AttributeValues.h"

// Control attributes read "true" exactly; the window's attributes and the
// skin's resource elements take it in any case. Each parser keeps its rule.
TEST(AttributeValues, TheTwoBooleanParsersDifferOnlyInCase)
{
    struct Case
    {
        LPCWSTR text;
        bool exact;
        bool ignoringCase;
    };
    const Case cases[] = {
        {L"true", true, true},    {L"True", false, true},   {L"TRUE", false, true},
        {L"false", false, false}, {L"1", false, false},     {L"", false, false},
        {L"true ", false, false}, {L" true", false, false}, {L"truex", false, false},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(c.exact, ParseBool(c.text)) << testing::PrintToString(c.text);
        EXPECT_EQ(c.ignoringCase, ParseBoolIgnoringCase(c.text)) << testing::PrintToString(c.text);
    }
    EXPECT_FALSE(ParseBoolIgnoringCase(NULL));
}
