#include "ui/core/Check.h"

#include <gtest/gtest.h>

#include <string>

#include "ui/core/Collections.h"

namespace
{
std::string g_lastExpression;
int g_failures = 0;

void RecordFailure(const char* expression, const char*, int)
{
    g_lastExpression = expression;
    ++g_failures;
}
}  // namespace

TEST(Check, AHeldConditionReportsNothingAndABrokenOneReportsItsExpression)
{
    CheckFailureHandler previous = SetCheckFailureHandler(RecordFailure);
    g_failures = 0;
    int index = 3;
    EXPECT_TRUE(UI_CHECK(index >= 0));
    EXPECT_EQ(0, g_failures);
    index = -1;
    EXPECT_FALSE(UI_CHECK(index >= 0));
    EXPECT_EQ(1, g_failures);
    EXPECT_EQ("index >= 0", g_lastExpression);
    EXPECT_EQ(RecordFailure, SetCheckFailureHandler(previous));
}

// Reading a list outside its items is the caller's mistake: reported, and
// read as null rather than from past the end of the storage.
TEST(Check, AListReadOutsideItsItemsIsReportedAndReadsNull)
{
    CheckFailureHandler previous = SetCheckFailureHandler(RecordFailure);
    g_failures = 0;
    CPtrList list;
    int value = 0;
    list.Add(&value);
    EXPECT_EQ(&value, list[0]);
    EXPECT_EQ(0, g_failures);
    const int outside[] = {-1, 1, 1000};
    for (int index : outside)
        EXPECT_EQ(nullptr, list[index]) << index;
    EXPECT_EQ(3, g_failures);
    SetCheckFailureHandler(previous);
}
