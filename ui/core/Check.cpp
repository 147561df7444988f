#include "ui/core/Check.h"

#include <cstdio>
#include <cstdlib>

namespace
{
void DefaultCheckFailure(const char* expression, const char* file, int line)
{
#ifdef NDEBUG
    (void)expression;
    (void)file;
    (void)line;
#else
    std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, expression);
    std::abort();
#endif
}

CheckFailureHandler g_checkFailureHandler = DefaultCheckFailure;
}  // namespace

CheckFailureHandler SetCheckFailureHandler(CheckFailureHandler handler)
{
    CheckFailureHandler previous = g_checkFailureHandler;
    g_checkFailureHandler = handler ? handler : DefaultCheckFailure;
    return previous;
}

void ReportCheckFailure(const char* expression, const char* file, int line)
{
    g_checkFailureHandler(expression, file, line);
}
