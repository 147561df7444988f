#include "editor_test_support.h"

#include <wchar.h>

namespace
{
struct TWindowCount
{
    const wchar_t* className;
    int count;
};

BOOL CALLBACK CountOne(HWND hWnd, LPARAM data)
{
    TWindowCount* counter = reinterpret_cast<TWindowCount*>(data);
    wchar_t name[64] = {};
    ::GetClassNameW(hWnd, name, 64);
    if (counter->className == NULL || wcscmp(name, counter->className) == 0)
        ++counter->count;
    return TRUE;
}
}  // namespace

int CountChildWindows(HWND parent, const wchar_t* className)
{
    TWindowCount counter = {className, 0};
    if (parent != NULL && ::IsWindow(parent))
        ::EnumChildWindows(parent, CountOne, reinterpret_cast<LPARAM>(&counter));
    return counter.count;
}

int CountThreadWindows()
{
    TWindowCount counter = {NULL, 0};
    ::EnumThreadWindows(::GetCurrentThreadId(), CountOne, reinterpret_cast<LPARAM>(&counter));
    return counter.count;
}

RECT ChildRect(HWND parent, HWND child)
{
    RECT rc = {};
    ::GetWindowRect(child, &rc);
    ::MapWindowPoints(NULL, parent, reinterpret_cast<LPPOINT>(&rc), 2);
    return rc;
}
