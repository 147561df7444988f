#pragma once

#include <windows.h>

#include <stddef.h>

// A window's message handlers as a table, one row a message, written near
// the top of the class that handles them. THandler is that class's handler
// type; the table is searched in order.
template <class THandler> struct TMessageRow
{
    UINT message;
    THandler handler;
};

// The handler of message in rows, or null when the table has none.
template <class THandler, size_t N>
THandler FindMessageHandler(const TMessageRow<THandler> (&rows)[N], UINT message)
{
    for (const TMessageRow<THandler>& row : rows)
    {
        if (row.message == message)
            return row.handler;
    }
    return NULL;
}
