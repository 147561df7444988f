#pragma once
// Faults injected into the installer's writes, so that tests can show what a
// full disk, a folder without rights or a slow disk does to an installation on
// a machine that has none of them. Off unless the environment variable
// SETUP_TEST_WRITES (or a unit test) sets them:
//   fail=N   the N-th write (file data and manifest writes, counted from 1) fails as on a full disk
//   deny=N   the N-th write fails for lack of rights
//   delay=MS every write waits MS milliseconds first
// Settings combine with commas: "delay=300,fail=4".

#include <windows.h>

namespace installer
{

// Replaces the settings (null: read the environment again) and restarts the count.
void ConfigureWriteFaults(const char* settings);

// Called before each write: waits when asked to, and answers the error the write is to fail
// with, or ERROR_SUCCESS when it is to go ahead.
DWORD NextWriteFault();

}  // namespace installer
