#pragma once
// Checks of programmer errors: an invariant that a caller broke, not bad input
// from a skin, a package or an archive (those return a failure with a message).
// A failed check is fatal in tests and debug builds and silent in the product,
// where the code after the check goes on as safely as it can:
//
//     if (!UI_CHECK(index >= 0)) return false;

// Called with the failed expression and where it is; the default is fatal
// when NDEBUG is not defined and silent otherwise.
using CheckFailureHandler = void (*)(const char* expression, const char* file, int line);

// Installs the handler for failed checks; null restores the default. Returns the previous one.
CheckFailureHandler SetCheckFailureHandler(CheckFailureHandler handler);

// Reports a failed check to the installed handler.
void ReportCheckFailure(const char* expression, const char* file, int line);

// The condition's value, after reporting it when it is false.
#define UI_CHECK(condition) ((condition) ? true : (ReportCheckFailure(#condition, __FILE__, __LINE__), false))
