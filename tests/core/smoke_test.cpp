#include <gtest/gtest.h>
#include <windows.h>

// The test executables really run on Windows (under Wine): prove the platform answers.
TEST(Platform, RunsOnWin32)
{
    wchar_t path[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameW(nullptr, path, MAX_PATH), 0u);
    // The build's width, as CMake configured it, is the width of the running process.
    EXPECT_EQ(sizeof(void*), static_cast<size_t>(BUILD_POINTER_SIZE));
}
