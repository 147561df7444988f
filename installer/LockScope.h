#pragma once
// Scopes over a slim reader/writer lock, for the threads that unpack and write.

#include <windows.h>

namespace installer
{

// Holds the lock for one scope.
class ExclusiveLock
{
public:
    explicit ExclusiveLock(SRWLOCK& lock) : lock_(lock) { AcquireSRWLockExclusive(&lock_); }
    ~ExclusiveLock() { ReleaseSRWLockExclusive(&lock_); }
    ExclusiveLock(const ExclusiveLock&) = delete;
    ExclusiveLock& operator=(const ExclusiveLock&) = delete;

private:
    SRWLOCK& lock_;
};

// Lets go of a held lock for one scope, and takes it back at the end.
class ExclusiveUnlock
{
public:
    explicit ExclusiveUnlock(SRWLOCK& lock) : lock_(lock) { ReleaseSRWLockExclusive(&lock_); }
    ~ExclusiveUnlock() { AcquireSRWLockExclusive(&lock_); }
    ExclusiveUnlock(const ExclusiveUnlock&) = delete;
    ExclusiveUnlock& operator=(const ExclusiveUnlock&) = delete;

private:
    SRWLOCK& lock_;
};

}  // namespace installer
