#pragma once
// Integer pixels: sums and products of sizes are worked out in 64 bits and
// brought back into int only at the end, here, so that nothing wraps.

#include <limits.h>

#include <type_traits>

// value, or the nearest end of int's range when it lies beyond it.
inline int SaturateInt(long long value)
{
    return value > INT_MAX ? INT_MAX : (value < INT_MIN ? INT_MIN : static_cast<int>(value));
}

// The smaller and the larger of two values in their common type, so that an
// int set against a 64-bit sum is widened rather than the sum cut down.
template <typename A, typename B> inline typename std::common_type<A, B>::type Min(A a, B b)
{
    return a < b ? a : b;
}

template <typename A, typename B> inline typename std::common_type<A, B>::type Max(A a, B b)
{
    return a > b ? a : b;
}

// value kept within low..high, in value's type. Should low exceed high, low
// wins: a minimum size outranks a maximum.
template <typename T>
inline T Clamp(T value, typename std::common_type<T>::type low, typename std::common_type<T>::type high)
{
    if (value > high)
        value = high;
    return value < low ? low : value;
}
