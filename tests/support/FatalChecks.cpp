// Linked into every test program: a broken invariant fails the run at once,
// whatever the build type of the libraries under test.
#include "ui/core/Check.h"

#include <cstdio>
#include <cstdlib>

namespace
{
void FailTestRun(const char* expression, const char* file, int line)
{
    std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, expression);
    std::fflush(stderr);
    std::abort();
}

const bool g_installed = (SetCheckFailureHandler(FailTestRun), true);
}  // namespace
