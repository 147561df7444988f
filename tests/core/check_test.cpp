#include "ui/core/Check.h"

#include <gtest/gtest.h>

#include <string>

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
