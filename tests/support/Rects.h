#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include "ui/core/Geometry.h"

inline CUIRect Rect(int left, int top, int right, int bottom)
{
    return CUIRect(left, top, right, bottom);
}

// Each edge checked on its own, so that a failure names the edge that is off.
inline void ExpectRect(const RECT& actual, const RECT& expected)
{
    EXPECT_EQ(actual.left, expected.left);
    EXPECT_EQ(actual.top, expected.top);
    EXPECT_EQ(actual.right, expected.right);
    EXPECT_EQ(actual.bottom, expected.bottom);
}

inline void ExpectRect(const RECT& actual, int left, int top, int right, int bottom)
{
    ExpectRect(actual, Rect(left, top, right, bottom));
}
