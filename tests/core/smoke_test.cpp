#include <gtest/gtest.h>
#include <windows.h>

// The test executables really run on Windows (under Wine): prove the platform answers.
TEST(Platform, RunsOnWin32)
{
    wchar_t path[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameW(nullptr, path, MAX_PATH), 0u);
    EXPECT_EQ(sizeof(void*), 4u);
}
